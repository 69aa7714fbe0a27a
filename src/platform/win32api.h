// The Win32 calls that the windows make themselves, declared as the system declares them.
#pragma once

#include <cstdint>

#include "platform/forms.h"
#include "platform/system.h"

#ifndef LB_SETHORIZONTALEXTENT
#define LB_GETHORIZONTALEXTENT 0x0193
#define LB_SETHORIZONTALEXTENT 0x0194
#endif

#ifndef HKEY_LOCAL_MACHINE
#define HKEY_LOCAL_MACHINE (static_cast<forms::RegKey>(static_cast<std::int32_t>(0x80000002u)))
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_MORE_DATA 234L
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define KEY_READ 0x20019
#endif

namespace forms {

std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);

}  // namespace forms
