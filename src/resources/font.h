// Two small pixel fonts, with only the letters the pictures need: asking for another one throws, so a
// new text without its glyphs fails the generator's first run.
#pragma once

#include <string_view>
#include <vector>

#include "resources/paint.h"

namespace art {

struct Glyph {
  char c;
  int top;  // first row drawn, counted from the top of the capitals
  std::vector<std::string_view> rows;  // '#' is ink; every row as wide as the glyph
};

struct Font {
  int gap;    // blank columns after each glyph
  int space;  // advance of a space
  std::vector<Glyph> glyphs;
};

// Dialog text: capitals and ascenders 9 rows tall, descenders 2 more.
const Font& SmallFont();
// The maker's name on the banner: capitals 7 rows tall, meant to be drawn enlarged.
const Font& BannerFont();

// Each font pixel is scale_x by scale_y design pixels; bold widens every stroke by one to the right.
using TextStyle = PixelStyle;

// Width in design pixels of the inked span, from the first glyph's left column to the last one's right.
int TextWidth(const Font& f, std::string_view text, TextStyle style = {});
// Draws with the top of the capitals at design row y.
void DrawText(Canvas& c, const Font& f, int x, int y, std::string_view text, Rgb ink, TextStyle style = {});

}  // namespace art
