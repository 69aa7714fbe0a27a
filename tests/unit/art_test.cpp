// The committed pictures: still what the generator draws, and fit for the places the windows
// put them. The files are read back here with a reader of their own, not the generator's code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
// Icon and cursor files hold one image here: the directory entry, then the image it points to.
Dib ReadIconImage(const std::string& name) {
  std::string b = ReadAll(kResources / name);
  return Dib(b, U32(b, 6 + 12), true);
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

TEST(Art, IconIsARoundDiscWithACross) {
  std::string file = ReadAll(kResources / "AppIcon.ico");
  ASSERT_EQ(U16(file, 2), 1u);  // icon
  ASSERT_EQ(U16(file, 4), 1u);
  EXPECT_EQ(U8(file, 6), 32u);
  EXPECT_EQ(U8(file, 7), 32u);
  EXPECT_EQ(U16(file, 6 + 6), 24u);
  EXPECT_EQ(U32(file, 6 + 8) + U32(file, 6 + 12), file.size());
  Dib d = ReadIconImage("AppIcon.ico");
  EXPECT_EQ(d.Field(8), 64u);
  EXPECT_EQ(d.bits, 24u);

  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      // Squared distance of the pixel's centre from the picture's, in half pixels.
      int dx = 2 * x + 1 - 32, dy = 2 * y + 1 - 32, d2 = dx * dx + dy * dy;
      if (d2 > 32 * 32) {
        EXPECT_TRUE(d.Transparent(x, y)) << x << "," << y;
        EXPECT_EQ(d.At(x, y), (Rgb{0, 0, 0})) << "colour under the mask shows on the screen at " << x << "," << y;
      } else if (d2 < 28 * 28) {
        EXPECT_FALSE(d.Transparent(x, y)) << x << "," << y;
      }
    }
  EXPECT_EQ(d.At(16, 16), (Rgb{255, 255, 255}));
  // Between the arms of the cross: the disc's own red.
  for (Rgb p : {d.At(16, 4), d.At(4, 16), d.At(27, 16), d.At(16, 27)}) EXPECT_TRUE(p.r > 200 && p.g < 64 && p.b < 64);
}

TEST(Art, CursorPointsWithItsFingertipAtTheHotSpot) {
  std::string file = ReadAll(kResources / "HandCursor.cur");
  ASSERT_EQ(U16(file, 2), 2u);  // cursor
  ASSERT_EQ(U16(file, 4), 1u);
  EXPECT_EQ(U16(file, 6 + 4), 6u);
  EXPECT_EQ(U16(file, 6 + 6), 0u);
  EXPECT_EQ(U32(file, 6 + 8) + U32(file, 6 + 12), file.size());
  Dib d = ReadIconImage("HandCursor.cur");
  EXPECT_EQ(d.bits, 1u);
  EXPECT_EQ(d.width, 32);
  EXPECT_EQ(d.height, 32);
  EXPECT_EQ(d.Entry(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(d.Entry(1), (Rgb{255, 255, 255}));

  EXPECT_FALSE(d.Transparent(6, 0));
  int black = 0, white = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (d.Transparent(x, y)) {
        // Mask set and colour white would invert the screen instead of showing it.
        EXPECT_EQ(d.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;
        continue;
      }
      (d.At(x, y) == Rgb{0, 0, 0} ? black : white)++;
      if (y == 0) {
        EXPECT_LE(std::abs(x - 6), 2) << "the top row is the fingertip only";
      }
    }
  EXPECT_GT(white, 100);
  EXPECT_GT(black, 40);
  EXPECT_TRUE(d.Transparent(0, 0) && d.Transparent(31, 0) && d.Transparent(0, 31) && d.Transparent(31, 31));
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

}  // namespace
