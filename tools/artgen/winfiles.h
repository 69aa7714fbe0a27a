// The Windows picture files, written field by field in little-endian order.
#pragma once

#include <cstdint>
#include <vector>

#include "paint.h"

namespace artgen {

using Bytes = std::vector<std::uint8_t>;
// One flag a pixel, row by row from the top: false where the screen shows through.
using Mask = std::vector<bool>;

Bytes Bmp24(const Canvas& c);
// 256-colour palette made of the picture's own colours; more than 256 of them is an error.
Bytes Bmp8(const Canvas& c);
// One 24-bit image with its transparency mask.
Bytes Ico24(const Canvas& c, const Mask& opaque);
// One two-colour image: light pixels white, dark ones black.
Bytes Cur1(const Canvas& c, const Mask& opaque, int hot_x, int hot_y);

}  // namespace artgen
