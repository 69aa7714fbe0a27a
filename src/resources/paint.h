// Drawing on an in-memory picture with exact integer arithmetic, so that the art comes out the
// same, byte for byte, from any compiler and optimisation level.
//
// A picture is described once, in design pixels (its own pixels at 96 dpi), and drawn at a scale.
// Positions snap to whole device pixels; lines and the strokes of pixel art are whole pixels wide,
// so that they stay sharp; shapes, tested at sub-pixel points, simply grow.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace art {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  auto operator<=>(const Rgb&) const = default;
};

// Device pixels per design pixel, as a fraction: dpi / 96 on a display, size / 32 for an icon.
struct Scale {
  int num = 1, den = 1;

  // A length or position in design units, in device units: to the nearest, halves away from zero.
  int Of(int v) const {
    const long long n = static_cast<long long>(v) * num;
    return static_cast<int>(n >= 0 ? (2 * n + den) / (2 * den) : -((-2 * n + den) / (2 * den)));
  }
  // A line's width: never thinner than one device pixel.
  int Line(int v) const { return std::max(1, Of(v)); }
};

// Shapes are tested at sub-pixel points: one pixel is kSub units wide, and its samples lie at
// the centres of a 4 x 4 grid inside it.
inline constexpr int kSub = 8;
inline constexpr int kSamples = 16;
constexpr int operator""_px(long double v) { return static_cast<int>(v * kSub + (v < 0 ? -0.5L : 0.5L)); }
constexpr int operator""_px(unsigned long long v) { return static_cast<int>(v) * kSub; }

// A shape at one scale: which device sub-pixel points lie inside, and the box (inclusive, in
// device sub-pixel units) outside which none does, so that filling looks at those pixels only.
struct Region {
  std::function<bool(int x, int y)> inside;
  int x0, y0, x1, y1;
};

// A shape described in design sub-pixel units, to be drawn at any scale.
class Shape {
 public:
  explicit Shape(std::function<Region(const Scale&)> at) : at_(std::move(at)) {}
  Region At(const Scale& s) const { return at_(s); }

 private:
  std::function<Region(const Scale&)> at_;
};

Shape Disc(int cx, int cy, int r);
Shape Box(int x0, int y0, int x1, int y1);
Shape RoundBox(int x0, int y0, int x1, int y1, int r);
// Triangle with its corners in any order.
Shape Triangle(int ax, int ay, int bx, int by, int cx, int cy);
// The diagonal cross of an error sign: two bars of half-width w, cut square at reach from the centre.
Shape DiagonalCross(int cx, int cy, int reach, int w);
Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Minus(Shape a, Shape b);
// The points at least d inside the shape, for outlines of any shape: paint it, then its eroded self.
Shape Erode(Shape s, int d);

// How pixel art is drawn: each of its pixels scale_x by scale_y design pixels; bold widens every
// stroke by one design pixel to the right.
struct PixelStyle {
  int scale_x = 1, scale_y = 1;
  bool bold = false;
};

// One flag a device pixel, row by row from the top.
using Mask = std::vector<bool>;

class Canvas {
 public:
  // The size in design pixels; the canvas holds that size at the scale, in device pixels.
  Canvas(int width, int height, Rgb background, Scale scale = {});

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

  // Edge pixels are blended by coverage.
  void Fill(const Shape& s, Rgb c);
  // Pixels at least half covered are painted outright: for pictures with few colours.
  void FillHard(const Shape& s, Rgb c);
  // The pixels at least half covered by the shape: a mask that matches FillHard.
  Mask Covered(const Shape& s) const;
  // The pixels of this colour.
  Mask Where(Rgb c) const;

  // Inclusive rectangle of design pixels.
  void Rect(int x0, int y0, int x1, int y1, Rgb c);
  // The four lines along the edge of an inclusive rectangle of design pixels, `inset` line widths
  // in from its outer pixels: lit at the top and left, dark at the bottom and right. The outer
  // rectangle stays where it is at any scale; the lines are whole device pixels wide.
  void Frame(int x0, int y0, int x1, int y1, int inset, Rgb lit, Rgb dark);
  // Pixel art with its top-left at design pixel (x, y): rows of characters, one a pixel, where
  // the characters in `ink` are painted. A pixel's block runs to where its neighbour's begins
  // when that neighbour (right, or below) is ink too, and is one stroke wide otherwise (whole
  // device pixels): strokes stay even at any scale, and exactly doubled at twice the size. Pixels
  // that touch only at a corner still touch.
  void Pixels(int x, int y, std::span<const std::string_view> rows, std::string_view ink, Rgb c, PixelStyle style = {});

 private:
  // Half-open rectangle of device pixels, clipped to the canvas.
  void Paint(int x0, int y0, int x1, int y1, Rgb c);
  // How many of the device pixel's samples fall inside the region, 0 to kSamples.
  static int Coverage(const Region& r, int x, int y);
  // Calls f(x, y, coverage) for each device pixel the region may cover.
  template <typename F>
  void EachCovered(const Region& r, F f) const;

  int width_, height_;
  Scale scale_;
  std::vector<Rgb> pixels_;
};

}  // namespace art
