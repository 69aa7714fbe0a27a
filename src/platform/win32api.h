// The Win32 calls that the windows make themselves, declared as the system declares them.
#pragma once

#include <cstdint>

#include "platform/forms.h"

#ifndef LB_SETHORIZONTALEXTENT
#define LB_GETHORIZONTALEXTENT 0x0193
#define LB_SETHORIZONTALEXTENT 0x0194
#endif

namespace forms {

std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);

}  // namespace forms
