// Reads the error codes that a winerror.h defines: every "#define NAME value" whose value is a
// Win32 error code or an HRESULT, with the names that share each code.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace catgen {

struct Codes {
  std::map<std::uint32_t, std::vector<std::string>> win32;  // code 0..65535 -> names, as defined
  std::map<std::uint32_t, std::vector<std::string>> ole;    // HRESULT -> names, as defined
};

Codes ParseWinError(std::string_view header);

}  // namespace catgen
