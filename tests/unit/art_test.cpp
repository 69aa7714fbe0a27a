// The committed pictures: still what the generator draws, and fit for the places the windows
// put them. The files are read back here with a reader of their own, not the generator's code.
// Then the pictures as the program draws them at other resolutions: the same shapes, larger.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/art.h"
#include "temp_folder.h"

namespace {

const std::filesystem::path kResources = QUORVEX_RESOURCES;

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U8(const std::string& b, std::size_t at) { return static_cast<unsigned char>(b.at(at)); }
std::uint32_t U16(const std::string& b, std::size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
std::uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
  bool Dark() const { return r + g + b < 3 * 64; }
  bool Bluish() const { return b >= 128 && r < 64 && g < 64; }
};

// A device-independent bitmap inside a file, with pixels addressed from the top-left. In icons and
// cursors the header counts two images' height, and the transparency mask follows the colours.
struct Dib {
  std::string bytes;
  std::size_t header = 0;
  std::int32_t width = 0, height = 0;
  std::uint32_t bits = 0, palette_size = 0;
  bool with_mask = false;

  Dib(std::string file, std::size_t at, bool mask) : bytes(std::move(file)), header(at), with_mask(mask) {
    width = static_cast<std::int32_t>(U32(bytes, at + 4));
    height = static_cast<std::int32_t>(U32(bytes, at + 8)) / (mask ? 2 : 1);
    bits = U16(bytes, at + 14);
    std::uint32_t used = U32(bytes, at + 32);
    palette_size = bits > 8 ? 0 : (used ? used : 1u << bits);
  }
  std::uint32_t Field(std::size_t offset) const { return U32(bytes, header + offset); }
  std::uint32_t Stride(std::uint32_t b) const { return (static_cast<std::uint32_t>(width) * b + 31) / 32 * 4; }
  std::size_t Pixels() const { return header + 40 + palette_size * 4; }
  // Rows are stored bottom-up.
  std::size_t Row(int y, std::uint32_t b) const { return static_cast<std::size_t>(height - 1 - y) * Stride(b); }
  Rgb Entry(std::uint32_t i) const {
    std::size_t at = header + 40 + i * 4;
    return {static_cast<int>(U8(bytes, at + 2)), static_cast<int>(U8(bytes, at + 1)), static_cast<int>(U8(bytes, at))};
  }
  Rgb At(int x, int y) const {
    std::size_t row = Pixels() + Row(y, bits);
    if (bits == 24) {
      std::size_t at = row + static_cast<std::size_t>(x) * 3;
      return {static_cast<int>(U8(bytes, at + 2)), static_cast<int>(U8(bytes, at + 1)), static_cast<int>(U8(bytes, at))};
    }
    if (bits == 8) return Entry(U8(bytes, row + static_cast<std::size_t>(x)));
    return Entry(U8(bytes, row + static_cast<std::size_t>(x / 8)) >> (7 - x % 8) & 1);
  }
  bool Transparent(int x, int y) const {
    std::size_t mask = Pixels() + Stride(bits) * static_cast<std::size_t>(height);
    return U8(bytes, mask + Row(y, 1) + static_cast<std::size_t>(x / 8)) >> (7 - x % 8) & 1;
  }
};

Dib ReadBmp(const std::string& name) { return Dib(ReadAll(kResources / name), 14, false); }

// One image of an icon or cursor file: its directory entry, and the image it points to.
struct DirImage {
  int size;                // the entry's width, 0 meaning 256
  std::uint32_t f1, f2;    // planes and bits of an icon, the hot spot of a cursor
  Dib dib;
};

std::vector<DirImage> ReadImages(const std::string& name, std::uint32_t type) {
  std::string b = ReadAll(kResources / name);
  EXPECT_EQ(U16(b, 2), type) << name;
  std::vector<DirImage> images;
  std::uint32_t end = 6 + 16 * U16(b, 4);
  for (std::uint32_t i = 0; i < U16(b, 4); ++i) {
    const std::size_t e = 6 + 16 * i;
    const int size = U8(b, e) ? static_cast<int>(U8(b, e)) : 256;
    EXPECT_EQ(U8(b, e + 1), U8(b, e)) << name << ": square images";
    EXPECT_EQ(U32(b, e + 12), end) << name << ": the images follow one another";
    end = U32(b, e + 12) + U32(b, e + 8);
    images.push_back({size, U16(b, e + 4), U16(b, e + 6), Dib(b, U32(b, e + 12), true)});
    EXPECT_EQ(images.back().dib.width, size);
    EXPECT_EQ(images.back().dib.height, size);
  }
  EXPECT_EQ(end, b.size()) << name;
  return images;
}

TEST(Art, CommittedFilesAreWhatTheGeneratorDraws) {
  TempFolder out;
  std::string command = std::string("\"") + QUORVEX_ARTGEN + "\" \"" + out.Path().string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : {"AppIcon.ico", "Help.bmp", "HandCursor.cur", "ErrorBox.bmp", "LogoBanner.bmp"}) {
    std::string drawn = ReadAll(out.Path() / name);
    EXPECT_FALSE(drawn.empty()) << name;
    EXPECT_TRUE(drawn == ReadAll(kResources / name)) << name << " differs from the generator's; run artgen src/resources";
  }
}

struct BmpCase {
  const char* name;
  int width, height;
  std::uint32_t bits;
};

void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }

class Bitmaps : public testing::TestWithParam<BmpCase> {};

TEST_P(Bitmaps, HeadersDescribeTheFile) {
  const BmpCase& c = GetParam();
  Dib d = ReadBmp(c.name);
  ASSERT_GE(d.bytes.size(), 54u);
  EXPECT_EQ(d.bytes.substr(0, 2), "BM");
  EXPECT_EQ(U32(d.bytes, 2), d.bytes.size());
  EXPECT_EQ(U32(d.bytes, 10), d.Pixels());
  EXPECT_EQ(d.Field(0), 40u);
  EXPECT_EQ(d.width, c.width);
  EXPECT_EQ(d.height, c.height);  // positive: bottom-up
  EXPECT_EQ(U16(d.bytes, 14 + 12), 1u);
  EXPECT_EQ(d.bits, c.bits);
  EXPECT_EQ(d.Field(16), 0u);  // uncompressed
  EXPECT_EQ(d.Field(20), d.Stride(c.bits) * static_cast<std::uint32_t>(c.height));
  EXPECT_EQ(d.Pixels() + d.Field(20), d.bytes.size());
  EXPECT_EQ(d.palette_size, c.bits == 8 ? 256u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Art, Bitmaps,
                         testing::Values(BmpCase{"Help.bmp", 32, 32, 24}, BmpCase{"ErrorBox.bmp", 318, 106, 8},
                                         BmpCase{"LogoBanner.bmp", 67, 143, 24}));

// A red disc with a white cross filling a square of n pixels; transparent(x, y) and at(x, y) read
// the picture.
template <typename Transparent, typename At>
void ExpectDiscWithACross(int n, Transparent transparent, At at) {
  SCOPED_TRACE(testing::Message() << n << " x " << n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      // Squared distance of the pixel's centre from the picture's, in half pixels.
      int dx = 2 * x + 1 - n, dy = 2 * y + 1 - n, d2 = dx * dx + dy * dy;
      if (d2 > n * n) {
        EXPECT_TRUE(transparent(x, y)) << x << "," << y;
        EXPECT_EQ(at(x, y), (Rgb{0, 0, 0})) << "colour under the mask shows on the screen at " << x << "," << y;
      } else if (d2 * 32 * 32 < 28 * 28 * n * n) {
        EXPECT_FALSE(transparent(x, y)) << x << "," << y;
      }
    }
  EXPECT_EQ(at(n / 2, n / 2), (Rgb{255, 255, 255}));
  // Between the arms of the cross: the disc's own red.
  for (Rgb p : {at(n / 2, n / 8), at(n / 8, n / 2), at(n * 27 / 32, n / 2), at(n / 2, n * 27 / 32)})
    EXPECT_TRUE(p.r > 200 && p.g < 64 && p.b < 64) << p.r << "," << p.g << "," << p.b;
}

TEST(Art, IconIsARoundDiscWithACrossAtEverySize) {
  std::vector<int> sizes;
  for (const DirImage& image : ReadImages("AppIcon.ico", 1)) {
    sizes.push_back(image.size);
    const Dib& d = image.dib;
    EXPECT_EQ(image.f1, 1u);  // planes
    EXPECT_EQ(image.f2, 24u);
    EXPECT_EQ(d.Field(8), 2u * static_cast<std::uint32_t>(image.size));
    EXPECT_EQ(d.bits, 24u);
    ExpectDiscWithACross(image.size, [&](int x, int y) { return d.Transparent(x, y); },
                         [&](int x, int y) { return d.At(x, y); });
  }
  // The title bar's, the taskbar's and Explorer's sizes, and the about window's picture at each scale.
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

TEST(Art, CursorPointsWithItsFingertipAtTheHotSpotAtEverySize) {
  std::vector<int> sizes;
  for (const DirImage& image : ReadImages("HandCursor.cur", 2)) {
    const int n = image.size, hot = (6 * n + 16) / 32;
    SCOPED_TRACE(testing::Message() << n << " x " << n);
    sizes.push_back(n);
    EXPECT_EQ(image.f1, static_cast<std::uint32_t>(hot));
    EXPECT_EQ(image.f2, 0u);
    const Dib& d = image.dib;
    EXPECT_EQ(d.bits, 1u);
    EXPECT_EQ(d.Entry(0), (Rgb{0, 0, 0}));
    EXPECT_EQ(d.Entry(1), (Rgb{255, 255, 255}));

    EXPECT_FALSE(d.Transparent(hot, 0));
    int black = 0, white = 0;
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        if (d.Transparent(x, y)) {
          // Mask set and colour white would invert the screen instead of showing it.
          EXPECT_EQ(d.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;
          continue;
        }
        (d.At(x, y) == Rgb{0, 0, 0} ? black : white)++;
        if (y == 0) {
          EXPECT_LE(std::abs(x - hot) * 32, 2 * n) << "the top row is the fingertip only";
        }
      }
    EXPECT_GT(white * 32 * 32, 100 * n * n);
    EXPECT_GT(black * 32, 40 * n);
    EXPECT_TRUE(d.Transparent(0, 0) && d.Transparent(n - 1, 0) && d.Transparent(0, n - 1) &&
                d.Transparent(n - 1, n - 1));
  }
  // The system's pointer sizes at 100, 150 and 200 %.
  EXPECT_EQ(sizes, (std::vector<int>{32, 48, 64}));
}

TEST(Art, ErrorBoxLeavesThePlacesTheWindowUses) {
  Dib d = ReadBmp("ErrorBox.bmp");
  ASSERT_EQ(d.bits, 8u);
  const Rgb white{255, 255, 255}, body{192, 192, 192};

  // The input box goes over the field: white inside its two-pixel edge, and the edge is sunken.
  for (int y = 74; y <= 88; ++y)
    for (int x = 174; x <= 290; ++x) ASSERT_EQ(d.At(x, y), white) << x << "," << y;
  EXPECT_NE(d.At(172, 72), white);
  EXPECT_NE(d.At(200, 73), white);

  // The label's ink fills its box exactly, with plain body between it and the field.
  int left = 999, right = -1, top = 999, bottom = -1;
  for (int y = 70; y <= 95; ++y)
    for (int x = 60; x <= 171; ++x)
      if (d.At(x, y).Dark()) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  EXPECT_EQ(left, 68);
  EXPECT_EQ(right, 158);
  EXPECT_EQ(top, 80);
  EXPECT_EQ(bottom, 88);
  for (int y = 80; y <= 88; ++y)
    for (int x = 159; x <= 171; ++x) EXPECT_EQ(d.At(x, y), body) << x << "," << y;

  // A blue title bar at the top, with white lettering.
  int bar = 0, title = 0;
  for (int y = 3; y <= 20; ++y)
    for (int x = 20; x <= 290; ++x) {
      bar += d.At(x, y).Bluish();
      title += d.At(x, y) == white;
    }
  EXPECT_GT(bar, 18 * 271 * 3 / 4);
  EXPECT_GT(title, 100);
}

TEST(Art, HelpBlendsWithTheWindowAndBannerIsFramed) {
  Dib help = ReadBmp("Help.bmp");
  const Rgb window{192, 188, 192};
  EXPECT_TRUE(help.At(0, 0) == window && help.At(31, 0) == window && help.At(31, 31) == window);
  int mark = 0;
  for (int y = 4; y < 24; ++y)
    for (int x = 8; x < 24; ++x) mark += help.At(x, y).Bluish();
  EXPECT_GT(mark, 30);
  // Right way up: below the bubble only its tail, at the left.
  int tail = 0;
  for (int y = 26; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (x >= 16) {
        EXPECT_EQ(help.At(x, y), window) << x << "," << y;
      }
      tail += help.At(x, y) != window;
    }
  EXPECT_GT(tail, 3);

  Dib banner = ReadBmp("LogoBanner.bmp");
  for (int x = 0; x < 67; ++x) EXPECT_TRUE(banner.At(x, 0).Bluish() && banner.At(x, 142).Bluish()) << x;
  for (int y = 0; y < 143; ++y) EXPECT_TRUE(banner.At(0, y).Bluish() && banner.At(66, y).Bluish()) << y;
  int letters = 0, shadow = 0;
  for (int y = 4; y < 139; ++y)
    for (int x = 4; x < 63; ++x) {
      Rgb p = banner.At(x, y);
      letters += p.Bluish();
      shadow += p.r == p.g && p.g == p.b && p.r > 64 && p.r < 200;
    }
  EXPECT_GT(letters, 7 * 60);
  EXPECT_GT(shadow, 7 * 20);
  EXPECT_EQ(banner.At(5, 5), (Rgb{255, 255, 255}));
}

// ---- the pictures as the program draws them at the display's scale

// A design pixel position at dpi, to the nearest device pixel.
int At(int design, int dpi) { return (2 * design * dpi + 96) / 192; }

Rgb Of(const art::Canvas& c, int x, int y) {
  art::Rgb p = c.At(x, y);
  return {p.r, p.g, p.b};
}

// Pixels in the box (inclusive) that pass the test: their bounding box and how many there are.
struct Ink {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1, count = 0;
};
template <typename Test>
Ink InkOf(const art::Canvas& c, int x0, int y0, int x1, int y1, Test is_ink) {
  Ink ink;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (is_ink(Of(c, x, y))) {
        ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        ++ink.count;
      }
  return ink;
}

// How many separate pieces (touching at an edge or a corner) the ink in the box makes: letters
// that run together, or strokes that break apart, change the count.
template <typename Test>
int Pieces(const art::Canvas& c, int x0, int y0, int x1, int y1, Test is_ink) {
  const int w = x1 - x0 + 1, h = y1 - y0 + 1;
  std::vector<bool> seen(static_cast<std::size_t>(w * h), false);
  int pieces = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      if (seen[static_cast<std::size_t>((y - y0) * w + x - x0)] || !is_ink(Of(c, x, y))) continue;
      ++pieces;
      std::vector<std::pair<int, int>> todo{{x, y}};
      seen[static_cast<std::size_t>((y - y0) * w + x - x0)] = true;
      while (!todo.empty()) {
        auto [px, py] = todo.back();
        todo.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = px + dx, ny = py + dy;
            if (nx < x0 || nx > x1 || ny < y0 || ny > y1) continue;
            const auto at = static_cast<std::size_t>((ny - y0) * w + nx - x0);
            if (seen[at] || !is_ink(Of(c, nx, ny))) continue;
            seen[at] = true;
            todo.push_back({nx, ny});
          }
      }
    }
  return pieces;
}

// The colours in the box (inclusive).
std::vector<Rgb> Colours(const art::Canvas& c, int x0, int y0, int x1, int y1) {
  std::vector<Rgb> found;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (std::find(found.begin(), found.end(), Of(c, x, y)) == found.end()) found.push_back(Of(c, x, y));
  return found;
}

// An extent in device pixels is the design's times the scale, give or take a pixel.
void ExpectNear(int got, int design, int dpi, const char* what) {
  EXPECT_LE(std::abs(got - At(design, dpi)), 1) << what << ": " << got << ", not " << At(design, dpi);
}

// 100 % to 200 % in steps of 25, and two resolutions between them and beyond.
class AtEveryScale : public testing::TestWithParam<int> {};

TEST_P(AtEveryScale, ErrorBoxKeepsItsFieldUnderTheInputBoxAndSharpText) {
  const int dpi = GetParam();
  const art::Canvas box = art::ErrorBox({dpi, 96}), design = art::ErrorBox();
  ASSERT_EQ(box.Width(), At(318, dpi));
  ASSERT_EQ(box.Height(), At(106, dpi));
  const Rgb body{192, 192, 192}, white{255, 255, 255}, dark_grey{128, 128, 128};

  // The input box is laid out over the field at exactly the scaled place: the field's outer
  // corners are there, with the body right outside them.
  const int l = At(172, dpi), t = At(72, dpi), r = At(293, dpi) - 1, b = At(91, dpi) - 1;
  EXPECT_EQ(Of(box, l, t), dark_grey);
  EXPECT_EQ(Of(box, r, b), white);
  for (Rgb outside : {Of(box, l - 1, t), Of(box, l, t - 1), Of(box, r + 1, b), Of(box, r, b + 1)}) EXPECT_EQ(outside, body);
  // Its edge lines are solid, a design pixel thick at the scale, and its inside white.
  EXPECT_EQ(Colours(box, l, t, r, b).size(), 4u);
  int line = 0;
  while (Of(box, l + line, (t + b) / 2) == dark_grey) ++line;
  EXPECT_LT(std::abs(line * 96 - dpi), 96) << "a line " << line << " pixels thick";
  EXPECT_EQ(Of(box, (l + r) / 2, (t + b) / 2), white);

  // The label beside the field: black on the body only, the same letters, at the scaled place.
  auto black = [](Rgb p) { return p.Dark(); };
  const Ink label = InkOf(box, At(60, dpi), At(70, dpi), l - 1, At(95, dpi), black);
  ExpectNear(label.left, 68, dpi, "label's left");
  ExpectNear(label.right + 1, 159, dpi, "label's right");
  ExpectNear(label.top, 80, dpi, "label's top");
  ExpectNear(label.bottom + 1, 89, dpi, "label's bottom");
  EXPECT_EQ(Colours(box, label.left, label.top, label.right, label.bottom).size(), 2u);
  EXPECT_EQ(Pieces(box, label.left, label.top, label.right, label.bottom, black),
            Pieces(design, 68, 80, 158, 88, black));
  // The message's two lines and the bold title, letter for letter as at 100 %.
  EXPECT_EQ(Pieces(box, At(66, dpi), At(32, dpi), At(310, dpi), At(62, dpi), black),
            Pieces(design, 66, 32, 310, 62, black));
  auto lettering = [&](Rgb p) { return p == white; };
  EXPECT_EQ(Pieces(box, At(21, dpi), At(3, dpi), At(294, dpi), At(20, dpi), lettering),
            Pieces(design, 21, 3, 294, 20, lettering));
  // The title bar spans the top, inside the box's edge.
  const Ink bar = InkOf(box, 0, 0, box.Width() - 1, At(30, dpi), [](Rgb p) { return p.Bluish(); });
  ExpectNear(bar.left, 3, dpi, "bar's left");
  ExpectNear(bar.top, 3, dpi, "bar's top");
  ExpectNear(bar.bottom + 1, 21, dpi, "bar's bottom");
  ExpectNear(bar.right + 1, 315, dpi, "bar's right");
}

TEST_P(AtEveryScale, HelpBannerAndIconKeepTheirShapes) {
  const int dpi = GetParam();
  const art::Canvas help = art::Help({dpi, 96});
  ASSERT_EQ(help.Width(), At(32, dpi));
  ASSERT_EQ(help.Height(), At(32, dpi));
  const Rgb window{192, 188, 192};
  const Ink bubble = InkOf(help, 0, 0, help.Width() - 1, help.Height() - 1, [&](Rgb p) { return p != window; });
  ExpectNear(bubble.left, 1, dpi, "bubble's left");
  ExpectNear(bubble.top, 1, dpi, "bubble's top");
  ExpectNear(bubble.right + 1, 31, dpi, "bubble's right");
  ExpectNear(bubble.bottom + 1, 31, dpi, "tail's end");
  // The question mark: a hook with its stem, and the dot below.
  auto navy = [](Rgb p) { return p.Bluish(); };
  EXPECT_EQ(Pieces(help, 0, 0, help.Width() - 1, help.Height() - 1, navy), 2);

  const art::Canvas banner = art::LogoBanner({dpi, 96});
  ASSERT_EQ(banner.Width(), At(67, dpi));
  ASSERT_EQ(banner.Height(), At(143, dpi));
  // The frame is three design pixels wide on every side.
  const int w = banner.Width(), h = banner.Height(), frame = At(3, dpi);
  for (auto [x, y] : {std::pair{frame - 1, h / 2}, {w - frame, h / 2}, {w / 2, frame - 1}, {w / 2, h - frame}})
    EXPECT_TRUE(Of(banner, x, y).Bluish()) << x << "," << y;
  for (auto [x, y] : {std::pair{frame, h / 2}, {w - frame - 1, h / 2}, {w / 2, frame}, {w / 2, h - frame - 1}})
    EXPECT_EQ(Of(banner, x, y), (Rgb{255, 255, 255})) << x << "," << y;
  // Seven letters, each of one piece, with their shadows two design pixels down and right.
  auto blue = [](Rgb p) { return p == Rgb{0, 0, 255}; };
  EXPECT_EQ(Pieces(banner, frame, frame, w - frame - 1, h - frame - 1, blue), 7);
  const Ink letters = InkOf(banner, 0, 0, w - 1, h - 1, blue);
  const Ink shadows = InkOf(banner, 0, 0, w - 1, h - 1, [](Rgb p) { return p == Rgb{128, 128, 128}; });
  EXPECT_LE(std::abs(shadows.right - letters.right - At(2, dpi)), 1);
  EXPECT_LE(std::abs(shadows.bottom - letters.bottom - At(2, dpi)), 1);

  // The about window's icon picture, where the icon file holds no image of its size.
  const int n = At(32, dpi);
  const art::Masked icon = art::AppIcon(n);
  ASSERT_EQ(icon.picture.Width(), n);
  ExpectDiscWithACross(n, [&](int x, int y) { return !icon.opaque[static_cast<std::size_t>(y * n + x)]; },
                       [&](int x, int y) { return Of(icon.picture, x, y); });
}

INSTANTIATE_TEST_SUITE_P(Art, AtEveryScale, testing::Values(96, 108, 120, 144, 168, 192, 216),
                         [](const testing::TestParamInfo<int>& dpi) { return std::to_string(dpi.param) + "dpi"; });

}  // namespace
