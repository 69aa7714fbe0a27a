#include "resources/paint.h"

#include <cstdlib>
#include <utility>

namespace art {

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

// A stroke of pixel art w design pixels wide, in whole device pixels: to the nearest, but never so
// wide that it closes the gap of one art pixel (`gap` design pixels) that may follow it, which
// would run bold letters together at 125 %.
int Stroke(const Scale& s, int w, int gap) {
  const int room = static_cast<int>(static_cast<long long>(w + gap) * s.num / s.den) - 1;
  return std::max(1, std::min(s.Of(w), room));
}

// The device pixel that holds a sub-pixel point.
int PixelOf(int sub) { return sub >= 0 ? sub / kSub : -((-sub + kSub - 1) / kSub); }

}  // namespace

Shape Disc(int cx, int cy, int r) {
  return Shape([=](const Scale& s) {
    const int x = s.Of(cx), y = s.Of(cy), rr = s.Of(r);
    return Region{[=](int px, int py) { return Sq(px - x) + Sq(py - y) <= Sq(rr); }, x - rr, y - rr, x + rr, y + rr};
  });
}

Shape Box(int x0, int y0, int x1, int y1) {
  return Shape([=](const Scale& s) {
    const int l = s.Of(x0), t = s.Of(y0), r = s.Of(x1), b = s.Of(y1);
    return Region{[=](int x, int y) { return x >= l && x <= r && y >= t && y <= b; }, l, t, r, b};
  });
}

Shape RoundBox(int x0, int y0, int x1, int y1, int radius) {
  return Shape([=](const Scale& s) {
    const int l = s.Of(x0), t = s.Of(y0), r = s.Of(x1), b = s.Of(y1), c = s.Of(radius);
    auto inside = [=](int x, int y) {
      if (x < l || x > r || y < t || y > b) return false;
      // Only the corners are cut: measure from the nearest corner's centre.
      int dx = x < l + c ? l + c - x : (x > r - c ? x - (r - c) : 0);
      int dy = y < t + c ? t + c - y : (y > b - c ? y - (b - c) : 0);
      return Sq(dx) + Sq(dy) <= Sq(c);
    };
    return Region{inside, l, t, r, b};
  });
}

Shape Triangle(int ax, int ay, int bx, int by, int cx, int cy) {
  return Shape([=](const Scale& s) {
    const int x1 = s.Of(ax), y1 = s.Of(ay), x2 = s.Of(bx), y2 = s.Of(by), x3 = s.Of(cx), y3 = s.Of(cy);
    auto inside = [=](int x, int y) {
      long long s1 = Side(x1, y1, x2, y2, x, y), s2 = Side(x2, y2, x3, y3, x, y), s3 = Side(x3, y3, x1, y1, x, y);
      return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
    };
    return Region{inside, std::min({x1, x2, x3}), std::min({y1, y2, y3}), std::max({x1, x2, x3}),
                  std::max({y1, y2, y3})};
  });
}

Shape DiagonalCross(int cx, int cy, int reach, int w) {
  return Shape([=](const Scale& s) {
    const int x0 = s.Of(cx), y0 = s.Of(cy), r = s.Of(reach), hw = s.Of(w);
    auto inside = [=](int x, int y) {
      int dx = x - x0, dy = y - y0;
      if (std::abs(dx) > r || std::abs(dy) > r) return false;
      // Distance to a diagonal is |dx -+ dy| / sqrt(2); compare squares to stay exact.
      return Sq(dx - dy) <= 2 * Sq(hw) || Sq(dx + dy) <= 2 * Sq(hw);
    };
    return Region{inside, x0 - r, y0 - r, x0 + r, y0 + r};
  });
}

Shape Union(Shape a, Shape b) {
  return Shape([a = std::move(a), b = std::move(b)](const Scale& s) {
    Region ra = a.At(s), rb = b.At(s);
    return Region{[ia = std::move(ra.inside), ib = std::move(rb.inside)](int x, int y) { return ia(x, y) || ib(x, y); },
                  std::min(ra.x0, rb.x0), std::min(ra.y0, rb.y0), std::max(ra.x1, rb.x1), std::max(ra.y1, rb.y1)};
  });
}

Shape Intersect(Shape a, Shape b) {
  return Shape([a = std::move(a), b = std::move(b)](const Scale& s) {
    Region ra = a.At(s), rb = b.At(s);
    return Region{[ia = std::move(ra.inside), ib = std::move(rb.inside)](int x, int y) { return ia(x, y) && ib(x, y); },
                  std::max(ra.x0, rb.x0), std::max(ra.y0, rb.y0), std::min(ra.x1, rb.x1), std::min(ra.y1, rb.y1)};
  });
}

Shape Minus(Shape a, Shape b) {
  return Shape([a = std::move(a), b = std::move(b)](const Scale& s) {
    Region ra = a.At(s), rb = b.At(s);
    return Region{[ia = std::move(ra.inside), ib = std::move(rb.inside)](int x, int y) { return ia(x, y) && !ib(x, y); },
                  ra.x0, ra.y0, ra.x1, ra.y1};
  });
}

Shape Erode(Shape shape, int d) {
  return Shape([shape = std::move(shape), d](const Scale& s) {
    Region r = shape.At(s);
    // Eight directions; the diagonal steps are d / sqrt(2), rounded.
    const int dd = s.Of(d), e = (dd * 181 + 128) / 256;
    auto inside = [in = std::move(r.inside), dd, e](int x, int y) {
      return in(x, y) && in(x - dd, y) && in(x + dd, y) && in(x, y - dd) && in(x, y + dd) && in(x - e, y - e) &&
             in(x + e, y - e) && in(x - e, y + e) && in(x + e, y + e);
    };
    return Region{inside, r.x0, r.y0, r.x1, r.y1};
  });
}

Canvas::Canvas(int width, int height, Rgb background, Scale scale)
    : width_(scale.Of(width)),
      height_(scale.Of(height)),
      scale_(scale),
      pixels_(static_cast<std::size_t>(width_ * height_), background) {}

int Canvas::Coverage(const Region& r, int x, int y) {
  int n = 0;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) n += r.inside(x * kSub + 1 + 2 * i, y * kSub + 1 + 2 * j) ? 1 : 0;
  return n;
}

template <typename F>
void Canvas::EachCovered(const Region& r, F f) const {
  const int x0 = std::max(0, PixelOf(r.x0)), x1 = std::min(width_ - 1, PixelOf(r.x1));
  const int y0 = std::max(0, PixelOf(r.y0)), y1 = std::min(height_ - 1, PixelOf(r.y1));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (int n = Coverage(r, x, y)) f(x, y, n);
}

void Canvas::Fill(const Shape& s, Rgb c) {
  EachCovered(s.At(scale_), [&](int x, int y, int n) {
    Rgb& p = pixels_[static_cast<std::size_t>(y * width_ + x)];
    p = Blend(p, c, n);
  });
}

void Canvas::FillHard(const Shape& s, Rgb c) {
  EachCovered(s.At(scale_), [&](int x, int y, int n) {
    if (n * 2 >= kSamples) pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
  });
}

Mask Canvas::Covered(const Shape& s) const {
  Mask m(pixels_.size(), false);
  EachCovered(s.At(scale_), [&](int x, int y, int n) { m[static_cast<std::size_t>(y * width_ + x)] = n * 2 >= kSamples; });
  return m;
}

Mask Canvas::Where(Rgb c) const {
  Mask m(pixels_.size(), false);
  for (std::size_t i = 0; i < pixels_.size(); ++i) m[i] = pixels_[i] == c;
  return m;
}

void Canvas::Paint(int x0, int y0, int x1, int y1, Rgb c) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width_), y1 = std::min(y1, height_);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
}

void Canvas::Rect(int x0, int y0, int x1, int y1, Rgb c) {
  Paint(scale_.Of(x0), scale_.Of(y0), scale_.Of(x1 + 1), scale_.Of(y1 + 1), c);
}

void Canvas::Frame(int x0, int y0, int x1, int y1, int inset, Rgb lit, Rgb dark) {
  const int w = scale_.Line(1), in = inset * w;
  const int l = scale_.Of(x0) + in, t = scale_.Of(y0) + in, r = scale_.Of(x1 + 1) - in, b = scale_.Of(y1 + 1) - in;
  Paint(l, t, r, t + w, lit);
  Paint(l, t, l + w, b, lit);
  Paint(l, b - w, r, b, dark);
  Paint(r - w, t, r, b, dark);
}

void Canvas::Pixels(int x, int y, std::span<const std::string_view> rows, std::string_view ink, Rgb c,
                    PixelStyle style) {
  auto inked = [&](int col, int row) {
    return row >= 0 && col >= 0 && row < static_cast<int>(rows.size()) &&
           col < static_cast<int>(rows[static_cast<std::size_t>(row)].size()) &&
           ink.find(rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]) != std::string_view::npos;
  };
  const int sx = style.scale_x, sy = style.scale_y;
  const int stroke_x = Stroke(scale_, sx + (style.bold ? 1 : 0), sx), stroke_y = Stroke(scale_, sy, sy);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    for (int col = 0; col < static_cast<int>(rows[static_cast<std::size_t>(row)].size()); ++col) {
      if (!inked(col, row)) continue;
      const int left = scale_.Of(x + col * sx), top = scale_.Of(y + row * sy);
      const int next_x = scale_.Of(x + (col + 1) * sx), next_y = scale_.Of(y + (row + 1) * sy);
      int right = inked(col + 1, row) ? next_x : left + stroke_x;
      int bottom = inked(col, row + 1) ? next_y : top + stroke_y;
      // Pixels that touch at a corner keep touching where a stroke is narrower than its pixel.
      if (inked(col + 1, row - 1) || inked(col + 1, row + 1)) right = std::max(right, next_x);
      if (inked(col - 1, row + 1) || inked(col + 1, row + 1)) bottom = std::max(bottom, next_y);
      Paint(left, top, right, bottom, c);
    }
}

}  // namespace art
