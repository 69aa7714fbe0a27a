// The catalogues beside the exe, read back and checked against the sources they were made from:
// one entry per line in ascending code order, every code that the headers, the reference tables
// and the tables of documented codes name, each with its own text or, without one, its family.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "headers.h"
#include "corrections.h"
#include "merge.h"
#include "reference.h"

namespace {

using catgen::Family;

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
  std::vector<std::string> lines;                       // without their CR LF
  std::multimap<std::uint32_t, std::string> byCode;     // in file order within a code
  std::vector<std::string> Lines(std::uint32_t code) const {
    std::vector<std::string> found;
    for (auto [at, end] = byCode.equal_range(code); at != end; ++at) found.push_back(at->second);
    return found;
  }
  // The line of the code that the name begins, or the first line of the code that holds it.
  std::string Find(std::uint32_t code, const std::string& name) const {
    std::string holding;
    for (const std::string& line : Lines(code)) {
      if (line.compare(line.find('\t') + 1, name.size() + 1, name + " ") == 0 ||
          line.substr(line.find('\t') + 1) == name)
        return line;
      if (holding.empty() && line.find(name) != std::string::npos) holding = line;
    }
    return holding;
  }
};

Catalogue Load(const char* name, bool hex) {
  Catalogue c{Read(std::string(QUORVEX_OUTPUT_DIR) + "/" + name), {}, {}};
  std::size_t start = 0;
  while (start < c.bytes.size()) {
    std::size_t end = c.bytes.find("\r\n", start);
    if (end == std::string::npos) end = c.bytes.size();
    c.lines.push_back(c.bytes.substr(start, end - start));
    start = end + 2;
  }
  for (const std::string& line : c.lines) {
    const std::string code = line.substr(0, line.find('\t'));
    c.byCode.emplace(static_cast<std::uint32_t>(std::stoul(code, nullptr, hex ? 16 : 10)), line);
  }
  return c;
}

const Catalogue& Win32() {
  static const Catalogue c = Load("errmsg.orv", false);
  return c;
}
const Catalogue& Hex() {
  static const Catalogue c = Load("errmsg2.orv", true);
  return c;
}

const std::vector<catgen::Named>& HeaderCodes() {
  static const std::vector<catgen::Named> codes = [] {
    std::vector<catgen::Named> all;
    for (const auto& h : catgen::ReadHeaders(catgen::ReadIncludeFolder(Local(QUORVEX_ERROR_HEADERS))))
      all.insert(all.end(), h.codes.begin(), h.codes.end());
    return all;
  }();
  return codes;
}

const std::vector<catgen::Described>& ReferenceCodes() {
  static const std::vector<catgen::Described> codes =
      std::string(QUORVEX_REFERENCE_TSV).empty() ? std::vector<catgen::Described>{}
                                                 : catgen::ReadReference(Read(QUORVEX_REFERENCE_TSV)).codes;
  return codes;
}

// What FormatMessage of the system says of a Win32 code, in US English, on one line.
std::string SystemText(std::uint32_t code) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = buffer ? catgen::OneLine(std::string(buffer, length)) : "";
  LocalFree(buffer);
  return text;
}

const Catalogue& Of(Family f) { return f == Family::Win32 || f == Family::Ras ? Win32() : Hex(); }

// The text of a line: after its name and " - ", before any further names; or all that follows
// the code when the line has no name.
std::string Text(const std::string& line) {
  const std::string rest = line.substr(line.find('\t') + 1);
  const std::size_t dash = rest.find(" - ");
  if (dash != std::string::npos) {
    const std::string text = rest.substr(dash + 3);
    return text.substr(0, text.find(" (also "));
  }
  // A name alone is one word, with nothing after it but its mark or its further names in brackets.
  const std::size_t space = rest.find(' ');
  const bool word = rest.substr(0, space).find_first_not_of(
                        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos;
  return word && (space == std::string::npos || rest.compare(space, 2, " (") == 0) ? "" : rest;
}

std::size_t WithText(const Catalogue& c) {
  std::size_t n = 0;
  for (const auto& line : c.lines) n += !Text(line).empty();
  return n;
}

class ShippedCatalogue : public testing::TestWithParam<bool> {};

TEST_P(ShippedCatalogue, IsOneLinePerEntryInAscendingCodeOrderEndingInCrLf) {
  const bool hex = GetParam();
  const Catalogue& c = hex ? Hex() : Win32();
  ASSERT_FALSE(c.lines.empty());
  EXPECT_LT(c.lines.size(), 32767u) << "the list holds them all";
  EXPECT_EQ(c.bytes.substr(c.bytes.size() - 2), "\r\n");
  EXPECT_NE(c.bytes.substr(c.bytes.size() - 4), "\r\n\r\n") << "no empty entry at the end";
  std::uint32_t previous = 0;
  for (const auto& line : c.lines) {
    EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << line;
    const std::size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << "code, tab, name and text: " << line;
    const std::string code = line.substr(0, tab);
    if (hex) {
      ASSERT_EQ(code.size(), 8u) << line;
      ASSERT_EQ(code.find_first_not_of("0123456789ABCDEF"), std::string::npos) << line;
    } else {
      ASSERT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << line;
      ASSERT_TRUE(code == "0" || code[0] != '0') << "no leading zeros: " << line;
    }
    const auto n = static_cast<std::uint32_t>(std::stoul(code, nullptr, hex ? 16 : 10));
    EXPECT_GE(n, previous) << "ascending: " << line;
    previous = n;
    EXPECT_GT(line.size(), tab + 1) << "something follows the code: " << line;
    if (const std::size_t dash = line.find(" - ", tab); dash != std::string::npos) {
      EXPECT_NE(line.find_first_not_of(' ', dash + 3), std::string::npos) << "a blank text: " << line;
    }
    EXPECT_EQ(line.find('\t', tab + 1), std::string::npos) << "one tab only: " << line;
  }
  std::printf("%s: %zu entries, %zu with a text\n", hex ? "errmsg2.orv" : "errmsg.orv", c.lines.size(), WithText(c));
}

INSTANTIATE_TEST_SUITE_P(Both, ShippedCatalogue, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Hex" : "Win32"; });

// The tables of documented codes, every row of every table.
std::vector<catgen::Kept> DocumentedCodes() {
  std::vector<catgen::Kept> rows;
  WIN32_FIND_DATAA found;
  const std::string folder = Local(QUORVEX_DOCUMENTED);
  HANDLE search = FindFirstFileA((folder + "\\*.tsv").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return rows;
  do {
    const catgen::Documented table = catgen::ReadDocumented(Read(std::string(QUORVEX_DOCUMENTED) + "/" + found.cFileName));
    EXPECT_EQ(table.skipped, 0u) << found.cFileName;
    rows.insert(rows.end(), table.codes.begin(), table.codes.end());
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return rows;
}

TEST(ShippedCatalogues, HoldEveryCodeTheHeadersAndTheDocumentedTablesNameWithEachName) {
  ASSERT_GT(HeaderCodes().size(), 10000u);
  for (const catgen::Named& n : HeaderCodes()) {
    const std::string line = Of(n.code.family).Find(n.code.value, n.name);
    // A plain number that may be a marker stands only where another source knows its code.
    EXPECT_TRUE(!line.empty() || n.doubtful) << n.name << " is missing";
  }
  // A documented code stands with a text: ours, or one of a source that comes before ours.
  const auto rows = DocumentedCodes();
  ASSERT_GT(rows.size(), 2000u);
  for (const catgen::Kept& k : rows) {
    const Catalogue& c = k.code.family == Family::Win32 ? Win32() : Hex();
    std::string line = c.Find(k.code.value, k.name);
    for (const std::string& other : c.Lines(k.code.value))
      if (line.empty() && Text(other) == k.text) line = other;
    ASSERT_FALSE(line.empty()) << k.name << " is missing";
    EXPECT_FALSE(Text(line).empty()) << line;
  }
  // The name people know first.
  EXPECT_EQ(Win32().Find(2, "ERROR_FILE_NOT_FOUND").rfind("2\tERROR_FILE_NOT_FOUND - ", 0), 0u);
  EXPECT_EQ(Hex().Find(0, "S_OK").rfind("00000000\tS_OK - The operation completed successfully. (also ", 0), 0u);
  EXPECT_EQ(Hex().Find(0x80070002, "ERROR_FILE_NOT_FOUND").rfind("80070002\tERROR_FILE_NOT_FOUND (Win32 2) - ", 0), 0u);
  EXPECT_EQ(Hex().Find(0x8007000B, "ERROR_BAD_FORMAT").rfind("8007000B\tERROR_BAD_FORMAT (Win32 11) - ", 0), 0u);
  EXPECT_EQ(Hex().Find(0x80004001, "E_NOTIMPL").rfind("80004001\tE_NOTIMPL - ", 0), 0u);
  EXPECT_EQ(Hex().Find(0xC0000005, "STATUS_ACCESS_VIOLATION").rfind("C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS) - ", 0), 0u);
}

// The marks the catalogues are held to: 15,000 distinct codes in the hexadecimal one, and a text
// on 95 % of the Win32 lines and 70 % of the others.
TEST(ShippedCatalogues, MeetTheirFigures) {
  if (ReferenceCodes().empty() || QUORVEX_USER_LANGUAGE) GTEST_SKIP() << "built from other sources than these figures";
  std::set<std::uint32_t> codes;
  for (const auto& [code, line] : Hex().byCode) codes.insert(code);
  EXPECT_GE(codes.size(), 15000u);
  EXPECT_GE(WithText(Win32()) * 100, Win32().lines.size() * 95);
  EXPECT_GE(WithText(Hex()) * 100, Hex().lines.size() * 70);
}

TEST(ShippedCatalogues, HoldEveryReferenceCodeWithItsNameAndText) {
  if (ReferenceCodes().empty()) GTEST_SKIP() << "built without the reference tables";
  for (const catgen::Described& d : ReferenceCodes()) {
    const std::string line = Of(d.code.family).Find(d.code.value, d.name);
    ASSERT_FALSE(line.empty()) << d.name << " is missing";
    const std::string text = catgen::OneLine(d.text);
    // Where a correction departs from the reference (corrections.h), the line says something else.
    const bool corrected = text.empty() || text == d.name || text == "No description" || catgen::OnlyInserts(text) ||
                           (text.front() == '{' && text.back() == '}') || d.code.value == 0x8007000E ||
                           d.code.value == 0x80070032;
    if (QUORVEX_USER_LANGUAGE || corrected) continue;
    EXPECT_EQ(Text(line), text) << line;
  }
}

TEST(ShippedCatalogues, WrapEveryWin32CodeInAnHResultWithItsText) {
  for (const auto& [code, line] : Win32().byCode) {
    if (code == 0) continue;
    const std::string text = Text(line), number = std::to_string(code);
    bool found = false;
    for (const std::string& wrap : Hex().Lines(0x80070000u | code)) {
      const bool marked = wrap.find(" " + number + ")") != std::string::npos || wrap.find(" " + number + ",") != std::string::npos;
      // An HRESULT of winerror.h's with a text of its own (E_ACCESSDENIED) speaks for the code first.
      const bool ownText = wrap.compare(9, 2, "E_") == 0 || wrap.compare(9, 2, "S_") == 0;
      found |= marked && (text.empty() || ownText || Text(wrap) == text);
    }
    EXPECT_TRUE(found) << "no 8007 line with the text of " << line;
  }
}

// Every line says something: a text of its own, never its name nor "No description", never a
// caption alone where the NTSTATUS code of the same name has the whole message; without a text,
// the family that gives the code, in brackets right after the name.
TEST(ShippedCatalogues, GiveEveryLineATextOrItsFamily) {
  std::map<std::string, std::string> ntstatus;
  for (const catgen::Described& d : ReferenceCodes())
    if (d.code.family == Family::NtStatus) ntstatus[d.name] = catgen::OneLine(d.text);
  for (const Catalogue* c : {&Win32(), &Hex()}) {
    for (const std::string& line : c->lines) {
      const std::string rest = line.substr(line.find('\t') + 1), name = rest.substr(0, rest.find(' ')), text = Text(line);
      EXPECT_NE(text, "No description") << line;
      EXPECT_NE(text, name) << line;
      if (text.empty()) {
        EXPECT_EQ(rest.compare(name.size(), 2, " ("), 0) << "no family: " << line;
        EXPECT_NE(rest.compare(name.size(), 7, " (also "), 0) << "no family: " << line;
      }
      const std::size_t family = rest.find(" (");
      if (family != std::string::npos && family == name.size()) {
        EXPECT_EQ(rest.substr(family, rest.find(')', family) - family).find(".h"), std::string::npos) << "a file as the family: " << line;
      }
      if (!text.empty() && text.front() == '{' && text.back() == '}' && name.rfind("ERROR_", 0) == 0) {
        const auto twin = ntstatus.find("STATUS_" + name.substr(6));
        EXPECT_TRUE(twin == ntstatus.end() || twin->second.rfind(text, 0) != 0 || twin->second == text)
            << "a caption alone: " << line;
      }
    }
  }
}

TEST(ShippedCatalogues, GiveNoSmallHexCodeTheWin32TextOfItsNumber) {
  std::set<std::pair<std::uint32_t, std::string>> referenceTexts;
  for (const catgen::Described& d : ReferenceCodes())
    if (d.code.family != Family::Win32) referenceTexts.emplace(d.code.value, catgen::OneLine(d.text));
  for (const auto& [code, line] : Hex().byCode) {
    if (code > 0xFFFF) break;
    const std::string text = Text(line);
    if (text.empty()) continue;
    // The Win32 texts of the number: the catalogue's, and the system's own.
    std::vector<std::string> win32 = {SystemText(code)};
    for (const std::string& other : Win32().Lines(code)) win32.push_back(Text(other));
    for (const std::string& other : win32) {
      if (other == text) {
        EXPECT_TRUE(referenceTexts.count({code, text})) << line;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
