#include "winfiles.h"

#include <algorithm>
#include <stdexcept>

namespace art {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots an inch

class Writer {
 public:
  void U8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(std::uint32_t v) { U8(v & 0xff); U8(v >> 8 & 0xff); }
  void U32(std::uint32_t v) { U16(v & 0xffff); U16(v >> 16); }
  // Rows of pixels end on a four-byte boundary, counted from the row's start, not the file's.
  void EndRow(std::size_t row_start) { while ((bytes_.size() - row_start) % 4) U8(0); }
  void Append(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
  std::size_t Size() const { return bytes_.size(); }
  Bytes Take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
};

std::uint32_t Stride(int width, int bits) { return (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4; }

// biHeight counts the mask too in icons and cursors, and biSizeImage covers both.
void InfoHeader(Writer& w, int width, int height, int bits, std::uint32_t colours, bool with_mask) {
  std::uint32_t image = Stride(width, bits) * height + (with_mask ? Stride(width, 1) * height : 0);
  w.U32(kInfoHeaderSize);
  w.U32(static_cast<std::uint32_t>(width));
  w.U32(static_cast<std::uint32_t>(with_mask ? 2 * height : height));
  w.U16(1);
  w.U16(static_cast<std::uint32_t>(bits));
  w.U32(0);  // BI_RGB
  w.U32(image);
  w.U32(with_mask ? 0 : kPixelsPerMetre);
  w.U32(with_mask ? 0 : kPixelsPerMetre);
  w.U32(colours);
  w.U32(0);
}

void FileHeader(Writer& w, std::uint32_t total, std::uint32_t pixels_at) {
  w.U8('B');
  w.U8('M');
  w.U32(total);
  w.U32(0);
  w.U32(pixels_at);
}

void Colour(Writer& w, Rgb c) {
  w.U8(c.b);
  w.U8(c.g);
  w.U8(c.r);
  w.U8(0);
}

// Rows bottom-up, each one padded to four bytes; bit(x, y) says whether a 1-bit pixel is set.
template <typename Bit>
void Rows1(Writer& w, int width, int height, Bit bit) {
  for (int y = height - 1; y >= 0; --y) {
    std::size_t start = w.Size();
    for (int x0 = 0; x0 < width; x0 += 8) {
      std::uint32_t byte = 0;
      for (int i = 0; i < 8 && x0 + i < width; ++i) byte |= (bit(x0 + i, y) ? 0x80u : 0u) >> i;
      w.U8(byte);
    }
    w.EndRow(start);
  }
}

void Rows24(Writer& w, const Canvas& c, const Mask* opaque) {
  for (int y = c.Height() - 1; y >= 0; --y) {
    std::size_t start = w.Size();
    for (int x = 0; x < c.Width(); ++x) {
      // Under a transparent mask bit the colour is XORed onto the screen: it must be black.
      Rgb p = opaque && !(*opaque)[static_cast<std::size_t>(y * c.Width() + x)] ? Rgb{} : c.At(x, y);
      w.U8(p.b);
      w.U8(p.g);
      w.U8(p.r);
    }
    w.EndRow(start);
  }
}

void DirEntry(Writer& w, const Canvas& c, int colours, int field1, int field2, std::uint32_t size, std::uint32_t at) {
  // A size of 256 is written as 0.
  w.U8(static_cast<std::uint32_t>(c.Width() & 0xff));
  w.U8(static_cast<std::uint32_t>(c.Height() & 0xff));
  w.U8(static_cast<std::uint32_t>(colours));
  w.U8(0);
  w.U16(static_cast<std::uint32_t>(field1));
  w.U16(static_cast<std::uint32_t>(field2));
  w.U32(size);
  w.U32(at);
}

// Icon and cursor files: a directory of one entry for each image, then the images in that order.
template <typename Image, typename Entry, typename Write>
Bytes Directory(std::uint32_t type, const std::vector<Image>& images, Entry entry, Write write) {
  std::vector<Bytes> written;
  for (const Image& image : images) {
    Writer one;
    write(one, image);
    written.push_back(one.Take());
  }
  Writer w;
  w.U16(0);
  w.U16(type);
  w.U16(static_cast<std::uint32_t>(images.size()));
  auto at = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto size = static_cast<std::uint32_t>(written[i].size());
    entry(w, images[i], size, at);
    at += size;
  }
  for (const Bytes& image : written) w.Append(image);
  return w.Take();
}

}  // namespace

Bytes Bmp24(const Canvas& c) {
  Writer w;
  std::uint32_t header = kFileHeaderSize + kInfoHeaderSize;
  FileHeader(w, header + Stride(c.Width(), 24) * c.Height(), header);
  InfoHeader(w, c.Width(), c.Height(), 24, 0, false);
  Rows24(w, c, nullptr);
  return w.Take();
}

Bytes Bmp8(const Canvas& c) {
  std::vector<Rgb> palette;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) palette.push_back(c.At(x, y));
  std::sort(palette.begin(), palette.end());
  palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
  if (palette.size() > 256) throw std::runtime_error("more than 256 colours in an 8-bit picture");
  auto used = static_cast<std::ptrdiff_t>(palette.size());
  palette.resize(256);  // the unused entries are black

  Writer w;
  std::uint32_t header = kFileHeaderSize + kInfoHeaderSize + 256 * 4;
  FileHeader(w, header + Stride(c.Width(), 8) * c.Height(), header);
  InfoHeader(w, c.Width(), c.Height(), 8, 256, false);
  for (Rgb p : palette) Colour(w, p);
  for (int y = c.Height() - 1; y >= 0; --y) {
    std::size_t start = w.Size();
    for (int x = 0; x < c.Width(); ++x)
      w.U8(static_cast<std::uint32_t>(std::lower_bound(palette.begin(), palette.begin() + used, c.At(x, y)) -
                                      palette.begin()));
    w.EndRow(start);
  }
  return w.Take();
}

Bytes Ico24(const std::vector<Masked>& images) {
  auto entry = [](Writer& w, const Masked& m, std::uint32_t size, std::uint32_t at) {
    DirEntry(w, m.picture, 0, 1, 24, size, at);  // planes, bits a pixel
  };
  auto write = [](Writer& w, const Masked& m) {
    const Canvas& c = m.picture;
    InfoHeader(w, c.Width(), c.Height(), 24, 0, true);
    Rows24(w, c, &m.opaque);
    Rows1(w, c.Width(), c.Height(), [&](int x, int y) { return !m.opaque[static_cast<std::size_t>(y * c.Width() + x)]; });
  };
  return Directory(1, images, entry, write);
}

Bytes Cur1(const std::vector<Pointer>& images) {
  auto entry = [](Writer& w, const Pointer& p, std::uint32_t size, std::uint32_t at) {
    DirEntry(w, p.picture, 2, p.hot_x, p.hot_y, size, at);
  };
  auto write = [](Writer& w, const Pointer& p) {
    const Canvas& c = p.picture;
    InfoHeader(w, c.Width(), c.Height(), 1, 2, true);
    Colour(w, {0, 0, 0});
    Colour(w, {255, 255, 255});
    auto shown = [&](int x, int y) { return static_cast<bool>(p.opaque[static_cast<std::size_t>(y * c.Width() + x)]); };
    Rows1(w, c.Width(), c.Height(), [&](int x, int y) {
      Rgb px = c.At(x, y);
      return shown(x, y) && px.r + px.g + px.b > 3 * 127;
    });
    Rows1(w, c.Width(), c.Height(), [&](int x, int y) { return !shown(x, y); });
  };
  return Directory(2, images, entry, write);
}

}  // namespace art
