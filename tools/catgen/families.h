// Who gives a code, in a few words, for the lines that have no text to say it: the header that
// names the code, or for winerror.h's HRESULTs the facility they belong to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace catgen {

// The words for a header's codes; the header's own name where the table has none.
std::string HeaderWords(std::string_view header);

// Whether the table has words for the header.
bool HasHeaderWords(std::string_view header);

// The family a name of a header belongs to, for telling the meanings of one number apart: its
// header's words and its prefix (XAUDIO2_ and XAUDIO20_ are two), where prefixes that give the
// same meanings (TS_ and TF_, MAPI_ and CdoE_) are one family whatever their headers.
std::string FamilyKey(std::string_view name, std::string_view header);

// The words for an HRESULT's facility; "facility N" where the table has none.
std::string FacilityWords(std::uint32_t hresult);

}  // namespace catgen
