// The first reader of the generator: the codes that the toolchain's error headers define, each
// "#define NAME value" whose value is a code of the header's family, with every name of each code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

// Which definitions of a header are codes, and of which family.
struct HeaderRule {
  std::string_view file;
  // What a plain number is: a Win32 or RAS code from `lowest` to 65535, an HRESULT when its error
  // bit is set (mferror.h writes a few without a cast), never an NTSTATUS (those are all cast).
  // A value cast to HRESULT or NTSTATUS is of that family in every header.
  Family plain = Family::Win32;
  std::string_view prefix = {};  // the names of its codes begin with this; empty: any name
  std::uint32_t lowest = 0;      // a family that starts at a base has no codes below it
};

// The headers read, in this order: a name's first definition counts, and a header may use what an
// earlier one defines (corerror.h builds its codes with winerror.h's MAKE_HRESULT).
const std::vector<HeaderRule>& ErrorHeaders();

struct HeaderText {
  HeaderRule rule;
  std::string text;
};

struct HeaderCodes {
  std::string_view file;
  std::vector<Named> codes;  // in the order of definition
  std::size_t skipped = 0;   // definitions of code names whose value could not be evaluated
};

std::vector<HeaderCodes> ReadHeaders(const std::vector<HeaderText>& headers);

}  // namespace catgen
