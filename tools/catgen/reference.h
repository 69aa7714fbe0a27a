// The second reader of the generator: Microsoft's published error tables ([MS-ERREF]), as
// reference.py writes them out of Debian's python3-impacket.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

struct Reference {
  std::vector<Described> codes;
  std::size_t skipped = 0;  // lines that are not family, code, name and text
};

Reference ReadReference(std::string_view tsv);

// The tables of documented codes (documented/*.tsv, one per family): codes that Microsoft's
// documentation lists, each with the name its page gives, the family the catalogue shows, a text
// in our own short words and the page. Lines of code, name, family, text and page, separated by
// tabs; lines beginning with "#" are comments. A code is a Win32 code in decimal (a RAS or other
// 16-bit code returned as one included), every other code eight hexadecimal digits; the merge
// finds the family of codes that names it.
struct Kept {
  Code code;  // Win32 for a decimal code, HResult for the others, until the merge places it
  std::string name, family, text, page;
};

struct Documented {
  std::vector<Kept> codes;
  // Lines that are not five fields: a code as above, a name of letters, digits and underscores,
  // a family, a text that ends with a full stop, and a page of Microsoft's documentation.
  std::size_t skipped = 0;
};

Documented ReadDocumented(std::string_view tsv);

}  // namespace catgen
