// The generator's writer: the lines of a catalogue as the program lists them.
#pragma once

#include <string>
#include <vector>

#include "merge.h"

namespace catgen {

// "code<TAB>NAME - text (also OTHER, NAMES)": the code as a user types it (Win32 codes in decimal,
// the others as eight upper-case hexadecimal digits), and the text right after one name, so that
// it can be read in a narrow list.
std::string Line(const Entry& entry, bool hex);

// The lines in order, each ended by CR LF. UTF-8, as the merge gives it.
std::string Catalogue(const std::vector<Entry>& entries, bool hex);

}  // namespace catgen
