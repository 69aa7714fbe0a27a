// Who gives a code, in a few words, for the lines that have no text to say it: the header that
// names the code, or for winerror.h's HRESULTs the facility they belong to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace catgen {

// The words for a header's codes; the header's own name where the table has none.
std::string HeaderWords(std::string_view header);

// The words for an HRESULT's facility; "facility N" where the table has none.
std::string FacilityWords(std::uint32_t hresult);

}  // namespace catgen
