#include "main/modVar.h"

namespace modVar {

int EntryIndex = 0;
int MatchPosition = 0;
std::int16_t SearchLength = 0;
std::wstring SearchText;

}  // namespace modVar
