#include "platform/textfile.h"

#include <algorithm>

namespace forms {

namespace {
constexpr std::size_t kChunk = 64 * 1024;

#ifndef _WIN32
// Paths are Windows paths, wide; the native file system takes UTF-8 and separates with "/".
std::string NarrowPath(const std::wstring& path) {
  std::string out;
  for (wchar_t w : path) {
    auto c = static_cast<char32_t>(w);
    if (c == U'\\') {
      out += '/';
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
#endif
}  // namespace

bool TextFile::Open(const std::wstring& path) {
  Close();
#ifdef _WIN32
  file_ = _wfopen(path.c_str(), L"rb");
#else
  file_ = std::fopen(NarrowPath(path).c_str(), "rb");
#endif
  if (!file_) return false;
  buffer_.resize(kChunk);
  pos_ = end_ = 0;
  return true;
}

void TextFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  pos_ = end_ = 0;
}

bool TextFile::Fill() {
  if (pos_ < end_) return true;
  if (!file_) return false;
  // A read error (a folder, a locked file) ends the input like the end of the file does.
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  pos_ = 0;
  return end_ > 0;
}

bool TextFile::Eof() { return !Fill(); }

std::wstring TextFile::LineInput() {
  std::string line;
  while (Fill()) {
    const char* begin = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* brk = std::find_if(begin, stop, [](char c) { return c == '\r' || c == '\n'; });
    line.append(begin, brk);
    pos_ += static_cast<std::size_t>(brk - begin);
    if (brk == stop) continue;
    ++pos_;
    if (*brk == '\r' && Fill() && buffer_[pos_] == '\n') ++pos_;
    break;
  }
  std::replace(line.begin(), line.end(), '\0', ' ');
  return AnsiToWide(line);
}

}  // namespace forms
