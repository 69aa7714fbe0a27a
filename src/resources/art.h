// Quorvex's pictures, each described once in design pixels and drawn at any scale. tools/artgen
// writes them into the files that the resource script holds (the bitmaps at 96 dpi, the icon and
// the pointer at every stored size); the program draws a bitmap itself on a display of any other
// resolution, at its exact scale.
#pragma once

#include <array>
#include <optional>

#include "resources/paint.h"

namespace art {

// The sizes that AppIcon.ico and HandCursor.cur hold, in pixels.
inline constexpr std::array<int, 8> kIconSizes{16, 20, 24, 32, 40, 48, 64, 256};
inline constexpr std::array<int, 3> kCursorSizes{32, 48, 64};

// A picture that lets the screen show through where its mask is false.
struct Masked {
  Canvas picture;
  Mask opaque;
};

struct Pointer {
  Canvas picture;  // black and white
  Mask opaque;
  int hot_x, hot_y;
};

// 32 x 32: a pale blue speech bubble with a dark blue question mark, on the main window's colour.
Canvas Help(Scale s = {});
// 318 x 106, at most 256 colours at 96 dpi: a drawing of an error message box, whose white field
// (columns 172 to 292, rows 72 to 90) the main window's input box covers.
Canvas ErrorBox(Scale s = {});
// 67 x 143: the maker's name, letter under letter, in a blue frame.
Canvas LogoBanner(Scale s = {});
// A red disc with a white diagonal cross, size x size pixels.
Masked AppIcon(int size);
// A hand with the index finger up, size x size pixels; the hot spot is the fingertip.
Pointer HandCursor(int size);

// The bitmap of this resource number at the scale; nothing for a number that names none.
std::optional<Canvas> Bitmap(int resource, Scale s);
// The icon of this resource number at this size; nothing for a number that names none.
std::optional<Masked> Icon(int resource, int size);

}  // namespace art
