#include "resources/art.h"

#include <string_view>

#include "resources/font.h"
#include "resources/resource.h"

namespace art {

namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{192, 192, 192}, kDarkGrey{128, 128, 128},
    kLightGrey{223, 223, 223}, kNavy{0, 0, 128}, kBlue{0, 0, 255}, kRed{255, 0, 0}, kDarkRed{128, 0, 0};
// The main window's background, so that the help picture sits on it without a seam.
constexpr Rgb kWindowBack{192, 188, 192};

// Icons and pointers are drawn at 32 x 32 design pixels.
Scale OfSize(int size) { return {size, 32}; }

// A red disc with a white X. With a hard edge the disc keeps its own colours to the rim, for
// pictures whose background is not known.
void ErrorSign(Canvas& c, int cx, int cy, int r, bool hard_edge) {
  int rim = r >= 10_px ? 1_px : 0;
  if (hard_edge)
    c.FillHard(Disc(cx, cy, r), kDarkRed);
  else
    c.Fill(Disc(cx, cy, r), kDarkRed);
  c.Fill(Disc(cx, cy, r - rim), kRed);
  c.Fill(DiagonalCross(cx, cy, r / 2, r * 2 / 15), kWhite);
}

// Raised or sunken 3-D edge two lines wide, drawn on the rectangle's outer pixels.
void Edge(Canvas& c, int x0, int y0, int x1, int y1, Rgb outer_lit, Rgb outer_dark, Rgb inner_lit, Rgb inner_dark) {
  c.Frame(x0, y0, x1, y1, 0, outer_lit, outer_dark);
  c.Frame(x0, y0, x1, y1, 1, inner_lit, inner_dark);
}

}  // namespace

Masked AppIcon(int size) {
  Canvas c(32, 32, kBlack, OfSize(size));
  const Shape disc = Disc(16_px, 16_px, 15_px);
  ErrorSign(c, 16_px, 16_px, 15_px, true);
  Mask opaque = c.Covered(disc);
  return {std::move(c), std::move(opaque)};
}

Canvas Help(Scale s) {
  Canvas c(32, 32, kWindowBack, s);
  Shape bubble = Union(RoundBox(1.5_px, 1.5_px, 30.5_px, 24.5_px, 7_px),
                       Triangle(7_px, 22_px, 14_px, 22_px, 4_px, 30.5_px));
  c.Fill(bubble, {40, 64, 128});
  c.Fill(Erode(bubble, 1_px), {196, 220, 255});

  // The question mark: a hook that turns down into a stem, and a dot.
  const int cx = 16_px, cy = 8.5_px, outer = 5.5_px;
  Shape ring = Minus(Disc(cx, cy, outer), Disc(cx, cy, 2.5_px));
  // The ring's upper half and its lower right quarter.
  Shape hook = Intersect(ring, Union(Box(cx - outer, cy - outer, cx + outer, cy), Box(cx, cy, cx + outer, cy + outer)));
  Shape mark = Union(hook, Box(cx - 1.5_px, cy + 2.5_px, cx + 1.5_px, cy + 8.5_px));
  c.Fill(mark, kNavy);
  c.Fill(Disc(cx, cy + 12_px, 2_px), kNavy);
  return c;
}

Pointer HandCursor(int size) {
  // '#' outline, '.' fill, anything else the screen. The fingertip is the hot spot.
  static constexpr std::array<std::string_view, 23> kHand = {
      "     ###",
      "    #...#",
      "    #...#",
      "    #...#",
      "    #...#",
      "    #...#",
      "    #...#",
      "    #...####",
      "    #...#...####",
      "    #...#...#...###",
      "    #...#...#...#..#",
      " ## #.......#...#..#",
      "#..##...........#..#",
      "#...#..............#",
      " #.................#",
      " #.................#",
      "  #................#",
      "  #...............#",
      "   #..............#",
      "   #.............#",
      "    #............#",
      "    #............#",
      "    ##############",
  };
  const Scale s = OfSize(size);
  Canvas c(32, 32, kBlack, s);
  // The whole hand white first, then its outline over it: the outline's strokes may reach into
  // the fill at some sizes, never out of it.
  c.Pixels(0, 0, kHand, "#.", kWhite);
  Mask shown = c.Where(kWhite);
  c.Pixels(0, 0, kHand, "#", kBlack);
  return {std::move(c), std::move(shown), s.Of(6), s.Of(0)};
}

Canvas ErrorBox(Scale s) {
  Canvas c(318, 106, kGrey, s);
  Edge(c, 0, 0, 317, 105, kLightGrey, kBlack, kWhite, kDarkGrey);

  c.Rect(3, 3, 314, 20, kNavy);
  ErrorSign(c, 11.5_px, 12_px, 6.5_px, false);
  DrawText(c, SmallFont(), 22, 7, "Illegal Operation", kWhite, {.bold = true});

  // Close box: a raised grey button with a black X.
  static constexpr std::array<std::string_view, 7> kX = {
      "##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##",
  };
  const int bx = 296, by = 5;
  c.Rect(bx, by, bx + 15, by + 13, kGrey);
  Edge(c, bx, by, bx + 15, by + 13, kWhite, kBlack, kGrey, kDarkGrey);
  c.Pixels(bx + 4, by + 3, kX, "#", kBlack);

  ErrorSign(c, 38_px, 45_px, 17_px, false);
  DrawText(c, SmallFont(), 68, 34, "This program has performed an illegal operation", kBlack);
  DrawText(c, SmallFont(), 68, 48, "and will be closed", kBlack);
  // The program lays its input box over the white field; the label's place is fixed with it.
  DrawText(c, SmallFont(), 68, 80, "Error Code Number:", kBlack);
  c.Rect(172, 72, 292, 90, kWhite);
  Edge(c, 172, 72, 292, 90, kDarkGrey, kWhite, kBlack, kLightGrey);
  return c;
}

Canvas LogoBanner(Scale s) {
  Canvas c(67, 143, kNavy, s);
  c.Rect(3, 3, 63, 139, kWhite);  // inside a three-pixel frame

  const std::string_view name = "ORVANTA";
  const TextStyle style{.scale_x = 3, .scale_y = 2, .bold = true};
  const int shadow = 2, gap = 5, pitch = 7 * style.scale_y + gap;
  const int height = static_cast<int>(name.size()) * pitch - gap + shadow;
  int y = (143 - height) / 2;
  for (char letter : name) {
    std::string_view one(&letter, 1);
    int x = (67 - TextWidth(BannerFont(), one, style) - shadow) / 2;
    DrawText(c, BannerFont(), x + shadow, y + shadow, one, kDarkGrey, style);
    DrawText(c, BannerFont(), x, y, one, kBlue, style);
    y += pitch;
  }
  return c;
}

std::optional<Canvas> Bitmap(int resource, Scale s) {
  switch (resource) {
    case IDB_HELP:
      return Help(s);
    case IDB_ERRORBOX:
      return ErrorBox(s);
    case IDB_LOGOBANNER:
      return LogoBanner(s);
    default:
      return std::nullopt;
  }
}

std::optional<Masked> Icon(int resource, int size) {
  if (resource != IDI_APPICON) return std::nullopt;
  return AppIcon(size);
}

}  // namespace art
