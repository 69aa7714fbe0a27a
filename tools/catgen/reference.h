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

// The hand-kept table (hand_kept.tsv): HRESULTs that people look up and that neither the headers
// nor the reference name, each with the Microsoft page that names it. Lines of code, name, family,
// text and page, separated by tabs; lines beginning with "#" are comments.
struct Kept {
  Code code;
  std::string name, family, text, page;
};

struct HandKept {
  std::vector<Kept> codes;
  std::size_t skipped = 0;  // lines that are not five fields with a code of eight hexadecimal digits
};

HandKept ReadHandKept(std::string_view tsv);

}  // namespace catgen
