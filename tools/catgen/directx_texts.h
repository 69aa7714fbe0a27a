// A reader of texts that the toolchain itself carries: MinGW-w64's DirectX error library
// (libdxerr9), whose DXGetErrorDescription describes the codes of Direct3D 9, DirectDraw,
// DirectSound, DirectInput, DirectPlay, DirectMusic and DirectShow. Its DirectX 8 sibling
// (libdxerr8) describes a subset of the same codes. Windows only.
#pragma once

#include <cstdint>
#include <vector>

#include "codes.h"

namespace catgen {

// For each HRESULT the library knows: the name it gives the code and its text.
std::vector<Described> DirectXTexts(const std::vector<std::uint32_t>& hresults);

}  // namespace catgen
