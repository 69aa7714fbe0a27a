// The working values of the code search. They live as long as the program; only the input box's
// change handler reads or writes them, and it sets each one before use.
#pragma once

#include <cstdint>
#include <string>

namespace modVar {

extern int EntryIndex;             // entry of the full list being compared, from 0
extern int MatchPosition;          // 1-based position of the search text in the entry's start, 0 for none
extern std::int16_t SearchLength;  // characters in the input
extern std::wstring SearchText;    // the input, upper-cased

}  // namespace modVar
