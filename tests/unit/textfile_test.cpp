// Reading catalogue files line by line: the line ends of every editor, and bytes no list can hold.
#include "platform/textfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

std::vector<std::wstring> ReadLines(const std::string& bytes) {
  TempFolder folder;
  folder.Write("f.txt", bytes);
  forms::TextFile file;
  EXPECT_TRUE(file.Open(folder.WidePath() + L"\\f.txt"));
  std::vector<std::wstring> lines;
  while (!file.Eof()) lines.push_back(file.LineInput());
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<std::wstring> lines;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineRules : public testing::TestWithParam<LineCase> {};

TEST_P(LineRules, SplitsAsDocumented) { EXPECT_EQ(ReadLines(GetParam().bytes), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    TextFile, LineRules,
    testing::Values(
        LineCase{"Empty", "", {}},
        LineCase{"CrLf", "1 one\r\n2 two\r\n", {L"1 one", L"2 two"}},
        LineCase{"LastLineWithoutEnd", "1 one\r\n2 two", {L"1 one", L"2 two"}},
        LineCase{"EmptyLinesKept", "a\r\n\r\n\r\nb\r\n", {L"a", L"", L"", L"b"}},
        LineCase{"OnlyLineEnd", "\r\n", {L""}},
        LineCase{"LoneLf", "a\nb\n", {L"a", L"b"}},
        LineCase{"LoneCr", "a\rb\r", {L"a", L"b"}},
        LineCase{"Mixed", "a\r\nb\nc\rd", {L"a", L"b", L"c", L"d"}},
        LineCase{"LfCrIsTwoEnds", "a\n\rb", {L"a", L"", L"b"}},
        LineCase{"CrCrLf", "a\r\r\nb", {L"a", L"", L"b"}},
        LineCase{"NothingTrimmed", "  5 \t text  \r\n", {L"  5 \t text  "}},
        LineCase{"NulKeepsTheRest", std::string("ab\0cd\r\nef", 9), {L"ab cd", L"ef"}},
        LineCase{"ControlBytesKept", "\x01\x1b\x7f\r\nz", {L"\x01\x1b\x7f", L"z"}},
        LineCase{"AnsiCodePage", "\x80 \xe9\xff\r\n", {L"\u20ac \u00e9\u00ff"}},
        LineCase{"Utf8ByteOrderMarkAsAnsi", "\xef\xbb\xbfx", {L"\u00ef\u00bb\u00bfx"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(TextFile, CrLfSplitAcrossTheReadBufferCountsOnce) {
  // The reader fills 64 KiB at a time; a CR at the end of one fill and its LF at the start of the
  // next must still make one line end.
  std::string first(64 * 1024 - 1, 'x');
  const auto lines = ReadLines(first + "\r\nnext");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), first.size());
  EXPECT_EQ(lines[1], L"next");
}

TEST(TextFile, LongLineIsOneEntry) {
  const auto lines = ReadLines(std::string(1 << 20, 'q') + "\r\nend\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 1u << 20);
}

TEST(TextFile, WhatCannotBeOpenedOrReadYieldsNothing) {
  TempFolder folder;
  forms::TextFile file;
  EXPECT_FALSE(file.Open(folder.WidePath() + L"\\missing.txt"));
  EXPECT_TRUE(file.Eof());
  std::filesystem::create_directory(folder.Path() / "dir");
  if (file.Open(folder.WidePath() + L"\\dir")) {
    EXPECT_TRUE(file.Eof());  // a folder: no lines
  }
}

}  // namespace
