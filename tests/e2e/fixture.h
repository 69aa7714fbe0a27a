// What every end-to-end test starts from: a folder with both catalogues and a program to start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver.h"

namespace e2e {

// Not in numeric or alphabetical order, so that only file order matches.
inline const std::vector<std::string> kWin32Lines{
    "5 Access is denied.",
    "2 The system cannot find the file specified.",
    "87 The parameter is incorrect.",
};
inline const std::vector<std::string> kOleLines{
    "-2147467263 Not implemented",
    "-2147024809 One or more arguments are invalid",
};

// The file of these lines, each ended by CR LF.
inline std::string CatalogueFile(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

inline std::vector<std::wstring> Entries(const std::vector<std::string>& lines) {
  std::vector<std::wstring> entries;
  for (const std::string& line : lines) entries.push_back(Widen(line));
  return entries;
}

class AppTest : public testing::Test {
 protected:
  void SetUp() override {
    folder.Write(L"errmsg.orv", CatalogueFile(kWin32Lines));
    folder.Write(L"errmsg2.orv", CatalogueFile(kOleLines));
  }

  // Positions are checked in pixels at 96 dpi, whatever a run before this one left behind.
  ScreenDpi screen{96};
  // Declared before the program so that it goes after it, once the program has ended.
  Folder folder;
  App app;
};

}  // namespace e2e
