// Sequential input of a text file: 8-bit text in the system's ANSI code page, read line by line
// and handed out as wide text.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

class TextFile {
 public:
  TextFile() = default;
  ~TextFile() { Close(); }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // False when the file cannot be opened for reading.
  bool Open(const std::wstring& path);
  // True when no byte is left to read (or the file cannot be read any further).
  bool Eof();
  // The next line, without its line end. CR LF, a lone LF and a lone CR each end a line, so
  // files saved by any editor read the same. A NUL byte, which no list entry can hold, reads as
  // a space so that the rest of its line survives.
  std::wstring LineInput();
  void Close();

 private:
  bool Fill();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

// Turns 8-bit text in the system's ANSI code page into wide text; every byte yields a character.
std::wstring AnsiToWide(std::string_view text);

}  // namespace forms
