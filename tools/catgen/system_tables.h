// What the running system knows of error codes: its own error table, and every module of the
// system folder that carries a message table. Windows only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

// The system's own error table, as FormatMessage gives it: a text for each Win32 code it knows.
std::vector<Message> SystemErrorTexts(bool userLanguage);

// Every module of the system folder with a message table (found by its RT_MESSAGETABLE resource),
// in file-name order, with its messages in US English or in the user's language.
std::vector<MessageTable> ModuleTables(bool userLanguage);

std::string AnsiToUtf8(std::string_view text);
// Characters the ANSI code page lacks become "?".
std::string Utf8ToAnsi(std::string_view text);

}  // namespace catgen
