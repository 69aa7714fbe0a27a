// The Windows picture files, written field by field in little-endian order.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/art.h"

namespace art {

using Bytes = std::vector<std::uint8_t>;

Bytes Bmp24(const Canvas& c);
// 256-colour palette made of the picture's own colours; more than 256 of them is an error.
Bytes Bmp8(const Canvas& c);
// An icon of 24-bit images with their transparency masks, in the order given.
Bytes Ico24(const std::vector<Masked>& images);
// A cursor of two-colour images, in the order given: light pixels white, dark ones black.
Bytes Cur1(const std::vector<Pointer>& images);

}  // namespace art
