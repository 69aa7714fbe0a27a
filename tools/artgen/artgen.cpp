// Draws Quorvex's pictures and writes them as Windows files into the folder it is given:
//   artgen <folder>
// The output depends on nothing but this source, so the committed files can be checked against it.
#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "font.h"
#include "paint.h"
#include "winfiles.h"

namespace artgen {
namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGrey{192, 192, 192}, kDarkGrey{128, 128, 128},
    kLightGrey{223, 223, 223}, kNavy{0, 0, 128}, kBlue{0, 0, 255}, kRed{255, 0, 0}, kDarkRed{128, 0, 0};
// The main window's background, so that the help picture sits on it without a seam.
constexpr Rgb kWindowBack{192, 188, 192};

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

Mask Opaque(const Canvas& c, const Shape& s) {
  Mask m;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) m.push_back(Canvas::Coverage(s, x, y) * 2 >= kSamples);
  return m;
}

Bytes AppIcon() {
  Canvas c(32, 32, kBlack);
  const int r = 15_px;
  ErrorSign(c, 16_px, 16_px, r, true);
  return Ico24(c, Opaque(c, Disc(16_px, 16_px, r)));
}

Bytes Help() {
  Canvas c(32, 32, kWindowBack);
  Shape bubble = Union(RoundBox(1.5_px, 1.5_px, 30.5_px, 24.5_px, 7_px),
                       Triangle(7_px, 22_px, 14_px, 22_px, 4_px, 30.5_px));
  c.Fill(bubble, {40, 64, 128});
  c.Fill(Erode(bubble, 1_px), {196, 220, 255});

  // The question mark: a hook that turns down into a stem, and a dot.
  const int cx = 16_px, cy = 8.5_px;
  Shape ring = Minus(Disc(cx, cy, 5.5_px), Disc(cx, cy, 2.5_px));
  Shape hook = [ring, cx, cy](int x, int y) { return ring(x, y) && (y <= cy || x >= cx); };
  Shape mark = Union(hook, Box(cx - 1.5_px, cy + 2.5_px, cx + 1.5_px, cy + 8.5_px));
  c.Fill(mark, kNavy);
  c.Fill(Disc(cx, cy + 12_px, 2_px), kNavy);
  return Bmp24(c);
}

Bytes HandCursor() {
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
  Canvas c(32, 32, kBlack);
  Mask shown(32 * 32, false);
  for (std::size_t y = 0; y < kHand.size(); ++y)
    for (std::size_t x = 0; x < kHand[y].size(); ++x) {
      char p = kHand[y][x];
      if (p != '#' && p != '.') continue;
      c.Set(static_cast<int>(x), static_cast<int>(y), p == '#' ? kBlack : kWhite);
      shown[y * 32 + x] = true;
    }
  return Cur1(c, shown, 6, 0);
}

// Raised or sunken 3-D edge two pixels wide, drawn on the rectangle's outer pixels.
void Edge(Canvas& c, int x0, int y0, int x1, int y1, Rgb outer_lit, Rgb outer_dark, Rgb inner_lit, Rgb inner_dark) {
  c.Rect(x0, y0, x1, y0, outer_lit);
  c.Rect(x0, y0, x0, y1, outer_lit);
  c.Rect(x0, y1, x1, y1, outer_dark);
  c.Rect(x1, y0, x1, y1, outer_dark);
  c.Rect(x0 + 1, y0 + 1, x1 - 1, y0 + 1, inner_lit);
  c.Rect(x0 + 1, y0 + 1, x0 + 1, y1 - 1, inner_lit);
  c.Rect(x0 + 1, y1 - 1, x1 - 1, y1 - 1, inner_dark);
  c.Rect(x1 - 1, y0 + 1, x1 - 1, y1 - 1, inner_dark);
}

Bytes ErrorBox() {
  Canvas c(318, 106, kGrey);
  Edge(c, 0, 0, 317, 105, kLightGrey, kBlack, kWhite, kDarkGrey);

  c.Rect(3, 3, 314, 20, kNavy);
  ErrorSign(c, 11.5_px, 12_px, 6.5_px, false);
  DrawText(c, SmallFont(), 22, 7, "Illegal Operation", kWhite, {.bold = true});

  // Close box: a raised grey button with a black X.
  const int bx = 296, by = 5;
  c.Rect(bx, by, bx + 15, by + 13, kGrey);
  Edge(c, bx, by, bx + 15, by + 13, kWhite, kBlack, kGrey, kDarkGrey);
  for (int i = 0; i < 7; ++i) {
    c.Rect(bx + 4 + i, by + 3 + i, bx + 5 + i, by + 3 + i, kBlack);
    c.Rect(bx + 10 - i, by + 3 + i, bx + 11 - i, by + 3 + i, kBlack);
  }

  ErrorSign(c, 38_px, 45_px, 17_px, false);
  DrawText(c, SmallFont(), 68, 34, "This program has performed an illegal operation", kBlack);
  DrawText(c, SmallFont(), 68, 48, "and will be closed", kBlack);
  // The program lays its input box over the white field; the label's place is fixed with it.
  DrawText(c, SmallFont(), 68, 80, "Error Code Number:", kBlack);
  c.Rect(172, 72, 292, 90, kWhite);
  Edge(c, 172, 72, 292, 90, kDarkGrey, kWhite, kBlack, kLightGrey);
  return Bmp8(c);
}

Bytes LogoBanner() {
  Canvas c(67, 143, kNavy);
  c.Rect(3, 3, 63, 139, kWhite);  // inside a three-pixel frame

  const std::string_view name = "ORVANTA";
  const TextStyle style{.scale_x = 3, .scale_y = 2, .bold = true};
  const int shadow = 2, gap = 5, pitch = 7 * style.scale_y + gap;
  const int height = static_cast<int>(name.size()) * pitch - gap + shadow;
  int y = (c.Height() - height) / 2;
  for (char letter : name) {
    std::string_view one(&letter, 1);
    int x = (c.Width() - TextWidth(BannerFont(), one, style) - shadow) / 2;
    DrawText(c, BannerFont(), x + shadow, y + shadow, one, kDarkGrey, style);
    DrawText(c, BannerFont(), x, y, one, kBlue, style);
    y += pitch;
  }
  return Bmp24(c);
}

void Save(const std::filesystem::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace
}  // namespace artgen

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    artgen::Save(out / "AppIcon.ico", artgen::AppIcon());
    artgen::Save(out / "Help.bmp", artgen::Help());
    artgen::Save(out / "HandCursor.cur", artgen::HandCursor());
    artgen::Save(out / "ErrorBox.bmp", artgen::ErrorBox());
    artgen::Save(out / "LogoBanner.bmp", artgen::LogoBanner());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
