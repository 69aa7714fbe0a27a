// The third reader of the generator: a module's message table (its RT_MESSAGETABLE resource), read
// from the resource's bytes, every message with its exact id. Finding the modules and their
// resources needs Windows (system_tables.cpp); reading the bytes does not.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

// Turns a message stored as 8-bit text, in the system's ANSI code page, into UTF-8.
using AnsiDecoder = std::function<std::string(std::string_view)>;

// Messages that lie outside the resource, or that it does not hold whole, are left out.
std::vector<Message> ReadMessageTable(std::string_view resource, const AnsiDecoder& ansi);

std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace catgen
