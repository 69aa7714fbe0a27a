// The first reader of the generator: the error codes that the toolchain's headers define. Every
// header of the include folder is read, and one rule says which of its definitions are codes:
//
//   A definition ("#define NAME value", or an enumerator) is a code when its name is of an error
//   family (E_ or _E_, ERR, ERROR_, STATUS_, and S_ or _S_ for success) and its value is one: cast
//   to HRESULT or NTSTATUS; a plain number with the error bit set (0x80000000 to 0xFFFFFFFF, an
//   HRESULT); a success code of a family whose errors the header gives as HRESULTs; or, for an
//   ERROR_ name, a plain number from 0 to 65535 (a Win32 code).
//   Whatever its name, a value made an HRESULT or NTSTATUS error (a cast, MAKE_HRESULT of
//   severity 1) is a code, and so is a plain error value beside a family's codes: families are
//   taken by their prefix (PDH_MORE_DATA with pdhmsg.h's PDH_CSTATUS_ codes), not name by name.
//   A name defined as exactly another code's name is that code's alias, whatever it is called
//   (EXCEPTION_ACCESS_VIOLATION, STILL_ACTIVE).
//
// Markers, bounds and flags are no codes, told by value and use, never by their names: a name
// that another definition of its header computes or compares with (NERR_BASE + 2), and two plain
// numbers defined one after the other that enclose a block of the header's codes (DIERR_DRIVERFIRST,
// DIERR_DRIVERLAST). A marker with the value of the code defined beside it names that code.
// Facilities, severities, DISPIDs and a window message's results (LB_ERR is -1) are not codes
// either. A few headers need more or less than the rule: HeaderExceptions() says which, and why.
// The facilities that headers use and the toolchain lacks (OPC, XPS) have Microsoft's numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

// How a header's definitions are read where the rule alone would read it wrong.
struct HeaderRule {
  enum class Take {
    ByRule,     // the rule above
    EveryName,  // every name whose value is of the family below or cast to one, whatever it is called
    Nothing,    // the header's error-like names are no codes
  };
  std::string_view file;
  Take take = Take::ByRule;
  // With EveryName: what a plain number from `lowest` to 65535 is (an HRESULT or NTSTATUS value is
  // cast in these headers), and the names taken begin with `prefix`.
  Family plain = Family::Win32;
  std::string_view prefix = {};
  std::uint32_t lowest = 0;
  // Its Win32 codes reuse numbers that winerror.h gives another meaning: they keep lines of their own.
  bool ownMeanings = false;
};

const std::vector<HeaderRule>& HeaderExceptions();
HeaderRule RuleFor(std::string_view file);

struct HeaderText {
  std::string file;  // the name within the include folder, such as "winerror.h"
  std::string text;
};

struct HeaderCodes {
  std::string file;
  std::vector<Named> codes;           // in the order of definition
  std::vector<std::string> left;      // names of an error family whose values are no codes
  std::size_t skipped = 0;            // definitions of such names whose value could not be evaluated
};

// The headers of a folder, in the order they are read: winerror.h first, as the others build on
// it, then by name. A name's first definition counts where a header does not define it itself.
std::vector<HeaderText> ReadIncludeFolder(const std::string& folder);

std::vector<HeaderCodes> ReadHeaders(const std::vector<HeaderText>& headers);

}  // namespace catgen
