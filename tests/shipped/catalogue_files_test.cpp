// The catalogues beside the exe, read back: one entry per code in ascending order, every code that
// winerror.h names, each entry on one line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "winerror_parse.h"

namespace {

// A path of the build machine; under Wine its root is drive Z:.
std::string Local(std::string path) { return !path.empty() && path[0] == '/' ? "Z:" + path : path; }

std::string Read(const std::string& path) {
  std::ifstream in(Local(path), std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Catalogue {
  std::string bytes;
  std::vector<std::string> lines;  // without their CR LF
};

Catalogue Load(const char* name) {
  Catalogue c{Read(std::string(QUORVEX_OUTPUT_DIR) + "/" + name), {}};
  std::size_t start = 0;
  while (start < c.bytes.size()) {
    const std::size_t end = c.bytes.find("\r\n", start);
    if (end == std::string::npos) {
      c.lines.push_back(c.bytes.substr(start));
      break;
    }
    c.lines.push_back(c.bytes.substr(start, end - start));
    start = end + 2;
  }
  return c;
}

std::string Code(const std::string& line) { return line.substr(0, line.find('\t')); }

const catgen::Codes& Header() {
  static const catgen::Codes codes = catgen::ParseWinError(Read(QUORVEX_WINERROR_H));
  return codes;
}

class ShippedCatalogue : public testing::TestWithParam<const char*> {};

TEST_P(ShippedCatalogue, IsOneLinePerEntryEndingInCrLf) {
  const Catalogue c = Load(GetParam());
  ASSERT_FALSE(c.lines.empty());
  EXPECT_LT(c.lines.size(), 32767u / 4) << "well within what the list holds";
  EXPECT_EQ(c.bytes.substr(c.bytes.size() - 2), "\r\n");
  EXPECT_NE(c.bytes.substr(c.bytes.size() - 4), "\r\n\r\n") << "no empty entry at the end";
  for (const auto& line : c.lines) {
    EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << line;
    ASSERT_NE(line.find('\t'), std::string::npos) << "code, tab, names and text: " << line;
    EXPECT_GT(line.size(), line.find('\t') + 1) << "something follows the code: " << line;
  }
}

INSTANTIATE_TEST_SUITE_P(Both, ShippedCatalogue, testing::Values("errmsg.orv", "errmsg2.orv"));

TEST(ShippedCatalogues, Win32CodesAreDecimalAscendingAndCompleteWithTheirNames) {
  const Catalogue c = Load("errmsg.orv");
  long previous = -1;
  std::map<long, std::string> byCode;
  for (const auto& line : c.lines) {
    const std::string code = Code(line);
    ASSERT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << line;
    ASSERT_TRUE(code == "0" || code[0] != '0') << "no leading zeros: " << line;
    const long n = std::stol(code);
    EXPECT_GT(n, previous) << "ascending and unique: " << line;
    previous = n;
    byCode[n] = line;
  }
  for (const auto& [code, names] : Header().win32) {
    ASSERT_TRUE(byCode.count(code)) << "code " << code << " (" << names[0] << ") is missing";
    for (const auto& name : names) EXPECT_NE(byCode[code].find(name), std::string::npos) << byCode[code];
  }
  EXPECT_EQ(byCode[2].rfind("2\tERROR_FILE_NOT_FOUND", 0), 0u) << byCode[2];
  EXPECT_EQ(byCode[5].rfind("5\tERROR_ACCESS_DENIED", 0), 0u) << byCode[5];
}

TEST(ShippedCatalogues, OleCodesAreEightUpperCaseHexDigitsAscendingAndComplete) {
  const Catalogue c = Load("errmsg2.orv");
  unsigned long long previous = 0;
  bool first = true;
  std::map<unsigned long, std::string> byCode;
  for (const auto& line : c.lines) {
    const std::string code = Code(line);
    ASSERT_EQ(code.size(), 8u) << line;
    ASSERT_EQ(code.find_first_not_of("0123456789ABCDEF"), std::string::npos) << line;
    const unsigned long n = std::stoul(code, nullptr, 16);
    EXPECT_TRUE(first || n > previous) << "ascending and unique: " << line;
    previous = n;
    first = false;
    byCode[n] = line;
  }
  for (const auto& [code, names] : Header().ole) {
    ASSERT_TRUE(byCode.count(code)) << names[0] << " is missing";
    for (const auto& name : names) EXPECT_NE(byCode[code].find(name), std::string::npos) << byCode[code];
  }
  EXPECT_EQ(byCode[0x80004001].rfind("80004001\tE_NOTIMPL", 0), 0u) << byCode[0x80004001];
  EXPECT_EQ(byCode[0x80070005].rfind("80070005\tE_ACCESSDENIED", 0), 0u) << byCode[0x80070005];
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
