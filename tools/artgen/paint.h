// Drawing on an in-memory picture with exact integer arithmetic, so that the art comes out the
// same, byte for byte, from any compiler and optimisation level.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace artgen {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  auto operator<=>(const Rgb&) const = default;
};

// Shapes are tested at sub-pixel points: one pixel is kSub units wide, and its samples lie at
// the centres of a 4 x 4 grid inside it.
inline constexpr int kSub = 8;
inline constexpr int kSamples = 16;
constexpr int operator""_px(long double v) { return static_cast<int>(v * kSub + (v < 0 ? -0.5L : 0.5L)); }
constexpr int operator""_px(unsigned long long v) { return static_cast<int>(v) * kSub; }

using Shape = std::function<bool(int x, int y)>;

Shape Disc(int cx, int cy, int r);
Shape Box(int x0, int y0, int x1, int y1);
Shape RoundBox(int x0, int y0, int x1, int y1, int r);
// Triangle with its corners in any order.
Shape Triangle(int ax, int ay, int bx, int by, int cx, int cy);
// The diagonal cross of an error sign: two bars of half-width w, cut square at reach from the centre.
Shape DiagonalCross(int cx, int cy, int reach, int w);
Shape Union(Shape a, Shape b);
Shape Minus(Shape a, Shape b);
// The points at least d inside the shape, for outlines of any shape: paint it, then its eroded self.
Shape Erode(Shape s, int d);

class Canvas {
 public:
  Canvas(int width, int height, Rgb background);

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  void Set(int x, int y, Rgb c);

  // How many of the pixel's samples fall inside the shape, 0 to kSamples.
  static int Coverage(const Shape& s, int x, int y);
  // Edge pixels are blended by coverage.
  void Fill(const Shape& s, Rgb c);
  // Pixels at least half covered are painted outright: for pictures with few colours.
  void FillHard(const Shape& s, Rgb c);
  // Inclusive pixel rectangle.
  void Rect(int x0, int y0, int x1, int y1, Rgb c);

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

}  // namespace artgen
