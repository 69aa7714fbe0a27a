// The second reader of the generator: Microsoft's published error tables ([MS-ERREF]), as
// reference.py writes them out of Debian's python3-impacket.
#pragma once

#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

struct Reference {
  std::vector<Described> codes;
  std::size_t skipped = 0;  // lines that are not family, code, name and text
};

Reference ReadReference(std::string_view tsv);

}  // namespace catgen
