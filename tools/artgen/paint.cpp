#include "paint.h"

#include <cstdlib>
#include <utility>

namespace artgen {

namespace {

long long Sq(long long v) { return v * v; }

// Which side of the line a->b the point lies on.
long long Side(int ax, int ay, int bx, int by, int px, int py) {
  return static_cast<long long>(bx - ax) * (py - ay) - static_cast<long long>(by - ay) * (px - ax);
}

Rgb Blend(Rgb under, Rgb over, int coverage) {
  auto mix = [coverage](int a, int b) {
    return static_cast<std::uint8_t>((b * coverage + a * (kSamples - coverage) + kSamples / 2) / kSamples);
  };
  return {mix(under.r, over.r), mix(under.g, over.g), mix(under.b, over.b)};
}

}  // namespace

Shape Disc(int cx, int cy, int r) {
  return [=](int x, int y) { return Sq(x - cx) + Sq(y - cy) <= Sq(r); };
}

Shape Box(int x0, int y0, int x1, int y1) {
  return [=](int x, int y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}

Shape RoundBox(int x0, int y0, int x1, int y1, int r) {
  return [=](int x, int y) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    // Only the corners are cut: measure from the nearest corner's centre.
    int dx = x < x0 + r ? x0 + r - x : (x > x1 - r ? x - (x1 - r) : 0);
    int dy = y < y0 + r ? y0 + r - y : (y > y1 - r ? y - (y1 - r) : 0);
    return Sq(dx) + Sq(dy) <= Sq(r);
  };
}

Shape Triangle(int ax, int ay, int bx, int by, int cx, int cy) {
  return [=](int x, int y) {
    long long s1 = Side(ax, ay, bx, by, x, y), s2 = Side(bx, by, cx, cy, x, y), s3 = Side(cx, cy, ax, ay, x, y);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
  };
}

Shape DiagonalCross(int cx, int cy, int reach, int w) {
  return [=](int x, int y) {
    int dx = x - cx, dy = y - cy;
    if (std::abs(dx) > reach || std::abs(dy) > reach) return false;
    // Distance to a diagonal is |dx -+ dy| / sqrt(2); compare squares to stay exact.
    return Sq(dx - dy) <= 2 * Sq(w) || Sq(dx + dy) <= 2 * Sq(w);
  };
}

Shape Union(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](int x, int y) { return a(x, y) || b(x, y); };
}

Shape Minus(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](int x, int y) { return a(x, y) && !b(x, y); };
}

Shape Erode(Shape s, int d) {
  // Eight directions; the diagonal steps are d / sqrt(2), rounded.
  int e = (d * 181 + 128) / 256;
  return [s = std::move(s), d, e](int x, int y) {
    return s(x, y) && s(x - d, y) && s(x + d, y) && s(x, y - d) && s(x, y + d) && s(x - e, y - e) &&
           s(x + e, y - e) && s(x - e, y + e) && s(x + e, y + e);
  };
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), background) {}

void Canvas::Set(int x, int y, Rgb c) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
}

int Canvas::Coverage(const Shape& s, int x, int y) {
  int n = 0;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) n += s(x * kSub + 1 + 2 * i, y * kSub + 1 + 2 * j) ? 1 : 0;
  return n;
}

void Canvas::Fill(const Shape& s, Rgb c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (int n = Coverage(s, x, y)) Set(x, y, Blend(At(x, y), c, n));
}

void Canvas::FillHard(const Shape& s, Rgb c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (Coverage(s, x, y) * 2 >= kSamples) Set(x, y, c);
}

void Canvas::Rect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) Set(x, y, c);
}

}  // namespace artgen
