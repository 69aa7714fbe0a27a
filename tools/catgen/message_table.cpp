#include "message_table.h"

namespace catgen {

namespace {

std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t U32(std::string_view b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// How a message's text is stored.
constexpr std::uint32_t kAnsi = 0, kUnicode = 1, kUtf8 = 2;

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;  // half a pair
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The resource: a count of blocks, then per block its lowest and highest id and where its entries
// begin; each entry is its length in bytes (itself included), how its text is stored, and the text
// padded with NULs.
std::vector<Message> ReadMessageTable(std::string_view resource, const AnsiDecoder& ansi) {
  std::vector<Message> messages;
  if (resource.size() < 4) return messages;
  const std::uint32_t blocks = U32(resource, 0);
  for (std::uint32_t b = 0; b < blocks && 4 + (b + 1) * 12ull <= resource.size(); ++b) {
    const std::uint32_t low = U32(resource, 4 + b * 12), high = U32(resource, 8 + b * 12);
    std::size_t at = U32(resource, 12 + b * 12);
    for (std::uint64_t id = low; id <= high; ++id) {
      if (at + 4 > resource.size()) break;
      const std::uint32_t length = U16(resource, at), flags = U16(resource, at + 2);
      if (length < 4 || at + length > resource.size()) break;
      std::string_view bytes = resource.substr(at + 4, length - 4);
      at += length;
      std::string text;
      if (flags == kUnicode) {
        std::u16string wide;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) wide += static_cast<char16_t>(U16(bytes, i));
        text = Utf16ToUtf8(wide.substr(0, wide.find(u'\0')));
      } else if (flags == kAnsi || flags == kUtf8) {
        bytes = bytes.substr(0, bytes.find('\0'));
        text = flags == kUtf8 ? std::string(bytes) : ansi(bytes);
      } else {
        continue;
      }
      messages.push_back({static_cast<std::uint32_t>(id), std::move(text)});
    }
  }
  return messages;
}

}  // namespace catgen
