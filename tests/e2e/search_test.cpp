// Searching as a person types into the input box: what each keystroke leaves in the full list and
// in the result list.
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <initializer_list>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

// Codes that begin alike, out of numeric order, and lines that only look like a match.
const std::vector<std::string> kCodes{
    "5 Access is denied.",
    "50 The request is not supported.",
    "6 The handle is invalid.",
    "53 The network path was not found.",
    " 5 leading space",
    "531 Five three one.",
    "5",
    "87 The parameter is incorrect.",
};
// Hexadecimal codes in both cases.
const std::vector<std::string> kHexCodes{
    "8007000e Not enough storage is available to complete this operation.",
    "8000FFFF Catastrophic failure",
    "80004001 Not implemented",
    "80070057 One or more arguments are invalid",
};

// The lines at these places, as the lists show them.
std::vector<std::wstring> Pick(const std::vector<std::string>& lines, std::initializer_list<int> indexes) {
  std::vector<std::wstring> picked;
  for (int i : indexes) picked.push_back(Widen(lines[static_cast<std::size_t>(i)]));
  return picked;
}

// Keys typed into the box, and what the result list holds once the box shows the text.
struct Step {
  const wchar_t* keys;  // "\b" is Backspace
  const wchar_t* text;
  std::vector<std::wstring> found;
};

class Search : public AppTest {
 protected:
  void Begin(const std::vector<std::string>& win32, DWORD timeout = kWait) {
    folder.Write(L"errmsg.orv", CatalogueFile(win32));
    folder.Write(L"errmsg2.orv", CatalogueFile(kHexCodes));
    ASSERT_TRUE(app.Start(folder, timeout));
    input = app.Control(kInput);
    names = app.Control(kNames);
    results = app.Control(kResults);
    ASSERT_TRUE(app.PlaceFocus(input));
  }

  // The result list in place of the full list, holding just these entries, and the focus left in
  // the input box.
  void ExpectResults(const std::vector<std::wstring>& expected) {
    EXPECT_FALSE(IsWindowVisible(names));
    EXPECT_TRUE(IsWindowVisible(results));
    EXPECT_EQ(ListEntries(results), expected);
    EXPECT_EQ(app.Focus(), input);
  }

  void ExpectFullList(const std::vector<std::string>& catalogue) {
    EXPECT_TRUE(IsWindowVisible(names));
    EXPECT_FALSE(IsWindowVisible(results));
    EXPECT_EQ(ListEntries(names), Entries(catalogue));
    EXPECT_EQ(app.Focus(), input);
  }

  // The keys as typed, where "\b" is Backspace.
  static void TypeKeys(std::wstring_view keys) {
    if (keys == L"\b") {
      Press({VK_BACK});
    } else {
      Type(keys);
    }
  }

  // Each step's keys, then what the lists show: a search runs before the box answers again.
  void Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      SCOPED_TRACE(testing::Message() << "box " << testing::PrintToString(std::wstring(step.text)));
      TypeKeys(step.keys);
      ASSERT_TRUE(WaitForText(input, step.text));
      ExpectResults(step.found);
    }
  }

  // Selects whatever the box holds and deletes it, as a person would.
  void Empty(DWORD timeout = kWait) {
    Press({VK_END});
    Press({VK_SHIFT, VK_HOME});
    Press({VK_DELETE});
    ASSERT_TRUE(WaitForText(input, L"", timeout));
  }

  // Each row typed into an emptied box, and what the results then hold.
  struct Row {
    const wchar_t* typed;
    std::vector<std::wstring> found;
  };
  void TypeEachIntoAnEmptyBox(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      SCOPED_TRACE(testing::Message() << "typed " << testing::PrintToString(std::wstring(row.typed)));
      ASSERT_NO_FATAL_FAILURE(Empty());
      Type(row.typed);
      ASSERT_TRUE(WaitForText(input, row.typed));
      ExpectResults(row.found);
    }
  }

  HWND input = nullptr;
  HWND names = nullptr;
  HWND results = nullptr;
};

TEST_F(Search, EachKeystrokeNarrowsOrWidensTheResults) {
  ASSERT_NO_FATAL_FAILURE(Begin(kCodes));
  const std::vector<std::wstring> fives = Pick(kCodes, {0, 1, 3, 5, 6});
  const std::vector<Step> steps{
      {L"5", L"5", fives},
      {L"3", L"53", Pick(kCodes, {3, 5})},
      {L"1", L"531", Pick(kCodes, {5})},
      {L"\b", L"53", Pick(kCodes, {3, 5})},
      {L"\b", L"5", fives},
      {L" ", L"5 ", Pick(kCodes, {0})},
      {L"\b", L"5", fives},
  };
  ASSERT_NO_FATAL_FAILURE(Run(steps));

  // Back to an empty box: the full list again, the results hidden but kept.
  Press({VK_BACK});
  ASSERT_TRUE(WaitForText(input, L""));
  ExpectFullList(kCodes);
  EXPECT_EQ(ListEntries(results), fives);
}

TEST_F(Search, EntriesShorterThanTheInputNeverMatch) {
  const std::vector<std::string> shortCodes{"53", "5", "531"};
  ASSERT_NO_FATAL_FAILURE(Begin(shortCodes));
  const std::vector<Step> steps{
      {L"5", L"5", Pick(shortCodes, {0, 1, 2})},
      {L"3", L"53", Pick(shortCodes, {0, 2})},
      {L"1", L"531", Pick(shortCodes, {2})},
      // Longer than every entry, though each of them begins it.
      {L"0", L"5310", {}},
  };
  ASSERT_NO_FATAL_FAILURE(Run(steps));
}

TEST_F(Search, OnlyTheBeginningOfAnEntryCounts) {
  ASSERT_NO_FATAL_FAILURE(Begin(kCodes));
  const std::vector<Row> rows{
      {L"Access", {}},
      {L"denied.", {}},
      {L"3", {}},
      {L" 5", Pick(kCodes, {4})},
      {L"5 access IS", Pick(kCodes, {0})},
  };
  ASSERT_NO_FATAL_FAILURE(TypeEachIntoAnEmptyBox(rows));
}

TEST_F(Search, HexadecimalCodesMatchInEitherCase) {
  ASSERT_NO_FATAL_FAILURE(Begin(kCodes));
  Click(app.Control(kOleErrors));
  ASSERT_TRUE(WaitForText(app.Control(kTotal), L"4 OLE error codes"));
  ASSERT_TRUE(app.PlaceFocus(input));
  const std::vector<Row> rows{
      {L"8000ffff", Pick(kHexCodes, {1})},
      {L"8000fFfF c", Pick(kHexCodes, {1})},
      {L"8007000E", Pick(kHexCodes, {0})},
      {L"8000", Pick(kHexCodes, {1, 2})},
      {L"800", Pick(kHexCodes, {0, 1, 2, 3})},
      {L"8007000e not ENOUGH", Pick(kHexCodes, {0})},
  };
  ASSERT_NO_FATAL_FAILURE(TypeEachIntoAnEmptyBox(rows));
}

TEST_F(Search, PastingSearchesAsTypingDoes) {
  ASSERT_NO_FATAL_FAILURE(Begin(kCodes));
  ASSERT_TRUE(SetClipboardText(L"53"));
  Press({VK_CONTROL, 'V'});
  ASSERT_TRUE(WaitForText(input, L"53"));
  ExpectResults(Pick(kCodes, {3, 5}));
}

TEST_F(Search, SwitchingCataloguesKeepsTheResultsUntilTheNextKeystroke) {
  ASSERT_NO_FATAL_FAILURE(Begin(kCodes));
  HWND total = app.Control(kTotal);
  Type(L"8");
  ASSERT_TRUE(WaitForText(input, L"8"));
  ExpectResults(Pick(kCodes, {7}));

  Click(app.Control(kOleErrors));
  ASSERT_TRUE(WaitForText(total, L"4 OLE error codes"));
  EXPECT_EQ(ListEntries(names), Entries(kHexCodes));
  EXPECT_FALSE(IsWindowVisible(names));
  EXPECT_TRUE(IsWindowVisible(results));
  EXPECT_EQ(ListEntries(results), Pick(kCodes, {7}));
  EXPECT_EQ(Text(input), L"8");

  // The click left the focus on the option: back into the box, as a person would.
  ASSERT_TRUE(app.PlaceFocus(input));
  Press({VK_END});
  Type(L"0");
  ASSERT_TRUE(WaitForText(input, L"80"));
  ExpectResults(Pick(kHexCodes, {0, 1, 2, 3}));

  Click(app.Control(kWinErrors));
  ASSERT_TRUE(WaitForText(total, L"8 Win error codes"));
  EXPECT_EQ(ListEntries(results), Pick(kHexCodes, {0, 1, 2, 3}));
  ASSERT_TRUE(app.PlaceFocus(input));
  Press({VK_END});
  Press({VK_BACK});
  ASSERT_TRUE(WaitForText(input, L"8"));
  ExpectResults(Pick(kCodes, {7}));
}

// What the result list shows once a keystroke is handled, frame and scroll bars included, and
// what it shows when it is made to paint itself whole again: the two must not differ.
testing::AssertionResult DrawnAsAWholeRepaintDrawsIt(HWND list) {
  const std::vector<COLORREF> drawn = SettledPixels(list);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  const std::vector<COLORREF> repainted = SettledPixels(list);
  if (drawn.empty() || drawn.size() != repainted.size()) return testing::AssertionFailure() << "no picture of the list";
  const auto differing = std::inner_product(drawn.begin(), drawn.end(), repainted.begin(), std::size_t{0}, std::plus<>(),
                                            std::not_equal_to<>());
  if (differing != 0) return testing::AssertionFailure() << differing << " pixels change when the list is repainted";
  return testing::AssertionSuccess();
}

TEST_F(Search, TheResultListIsDrawnWholeAfterEveryKeystroke) {
  // Many entries begin with 5, few with 53: the vertical scroll bar comes and goes.
  std::vector<std::string> lines;
  for (int n = 0; n < 30; ++n) {
    char line[32];
    std::snprintf(line, sizeof line, "5%d%d Entry.", n % 10, n);
    lines.push_back(line);
  }
  ASSERT_NO_FATAL_FAILURE(Begin(lines));
  // The pointer away from the lists, so that no tooltip shows over them.
  SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
  const std::vector<std::pair<const wchar_t*, const wchar_t*>> keystrokes{
      {L"5", L"5"}, {L"3", L"53"}, {L"\b", L"5"}, {L"9", L"59"}, {L"9", L"599"}, {L"\b", L"59"}};
  for (const auto& [keys, text] : keystrokes) {
    SCOPED_TRACE(testing::Message() << "box " << testing::PrintToString(std::wstring(text)));
    TypeKeys(keys);
    ASSERT_TRUE(WaitForText(input, text));
    EXPECT_TRUE(DrawnAsAWholeRepaintDrawsIt(results));
  }
}

TEST_F(Search, EmptyCatalogueGivesAnEmptyResultList) {
  ASSERT_NO_FATAL_FAILURE(Begin(std::vector<std::string>{}));
  Type(L"5");
  ASSERT_TRUE(WaitForText(input, L"5"));
  ExpectResults({});
}

// The lines of a catalogue file as the program reads them, in the system's ANSI code page.
std::vector<std::wstring> AnsiLines(const std::string& bytes) {
  std::vector<std::wstring> lines;
  for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const int size = static_cast<int>(end - at);
    std::wstring line(static_cast<std::size_t>(size), L'\0');
    line.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data() + at, size, line.data(), size)));
    lines.push_back(line);
  }
  return lines;
}

// Whether a name of the line (a word with an underscore that begins with a letter) begins with the
// text, or has a part after an underscore that does, whichever the case.
bool HasNamePart(const std::wstring& line, std::wstring_view text) {
  const auto isName = [](wchar_t c) { return std::iswalnum(c) || c == L'_'; };
  std::wstring upper = line;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  for (std::size_t at = upper.find(text); at != std::wstring::npos; at = upper.find(text, at + 1)) {
    std::size_t begin = at, end = at;
    while (begin > 0 && isName(upper[begin - 1])) --begin;
    while (end < upper.size() && isName(upper[end])) ++end;
    const std::wstring_view word(upper.data() + begin, end - begin);
    if ((at == begin || upper[at - 1] == L'_') && std::iswalpha(word[0]) && word.find(L'_') != word.npos) return true;
  }
  return false;
}

// Codes and names pasted as people copy them, into the catalogues the build made: each lists the
// lines of the open catalogue that the first step able to find anything finds, or those of the
// other catalogue under a line that names it, or one line that reads a value neither holds.
TEST_F(Search, CodesAndNamesAsPeopleCopyThemListTheirLinesInTheShippedCatalogues) {
  const std::string win32 = BuiltCatalogue(L"errmsg.orv"), hex = BuiltCatalogue(L"errmsg2.orv");
  ASSERT_FALSE(win32.empty());
  ASSERT_FALSE(hex.empty());
  folder.Write(L"errmsg.orv", win32);
  folder.Write(L"errmsg2.orv", hex);
  const std::vector<std::wstring> win32Lines = AnsiLines(win32), hexLines = AnsiLines(hex);
  using Pick = std::function<bool(const std::wstring&)>;
  const auto starts = [](const wchar_t* start) -> Pick {
    return [start](const std::wstring& line) { return line.rfind(start, 0) == 0; };
  };
  const auto named = [](const wchar_t* name) -> Pick {
    return [name](const std::wstring& line) { return HasNamePart(line, name); };
  };
  struct Row {
    int catalogue;
    const wchar_t* pasted;
    int from;   // the catalogue whose lines are listed; 0 for none
    Pick pick;  // which of its lines
    const wchar_t* only = nullptr;  // else the one line listed
  };
  const Row rows[] = {
      {kOleErrors, L"0x80070005", kOleErrors, starts(L"80070005\t")},
      {kOleErrors, L"0xC0000005", kOleErrors, starts(L"C0000005\t")},
      {kOleErrors, L"-2147024894", kOleErrors, starts(L"80070002\t")},
      {kOleErrors, L"-1073741819", kOleErrors, starts(L"C0000005\t")},
      {kOleErrors, L"3221225477", kOleErrors, starts(L"C0000005\t")},
      {kOleErrors, L"80070002 ", kOleErrors, starts(L"80070002\t")},
      {kOleErrors, L"ERROR_FILE_NOT_FOUND", kOleErrors, named(L"ERROR_FILE_NOT_FOUND")},
      {kOleErrors, L"not_found", kOleErrors, named(L"NOT_FOUND")},
      {kOleErrors, L"5", kWinErrors, starts(L"5")},
      {kOleErrors, L"zzz", 0, nullptr},
      {kWinErrors, L"0x80070005", kWinErrors, starts(L"5\t")},
      {kWinErrors, L"80070005", kWinErrors, starts(L"5\t")},
      {kWinErrors, L"NOT_FOUND", kWinErrors, named(L"NOT_FOUND")},
      {kWinErrors, L"0x80004005", kOleErrors, starts(L"80004005\t")},
      {kWinErrors, L"E_ACCESSDENIED", kOleErrors, named(L"E_ACCESSDENIED")},
      {kWinErrors, L"0x8024ABCD", 0, nullptr,
       L"8024ABCD\tin neither list; HRESULT: failure, facility 36 (WINDOWSUPDATE), code 43981 (0xABCD)"},
      {kWinErrors, L"zzz", 0, nullptr},
  };
  ASSERT_TRUE(app.Start(folder));
  input = app.Control(kInput);
  names = app.Control(kNames);
  results = app.Control(kResults);
  HWND total = app.Control(kTotal);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.catalogue == kOleErrors ? "OLE, " : "Win32, ") << "pasted "
                                    << testing::PrintToString(std::wstring(row.pasted)));
    const bool ole = row.catalogue == kOleErrors;
    const std::wstring totalText = ole ? std::to_wstring(hexLines.size()) + L" OLE error codes"
                                       : std::to_wstring(win32Lines.size()) + L" Win error codes";
    if (Text(total) != totalText) {
      Click(app.Control(row.catalogue));
      ASSERT_TRUE(WaitForText(total, totalText));
    }
    ASSERT_TRUE(app.PlaceFocus(input));
    ASSERT_NO_FATAL_FAILURE(Empty());
    ASSERT_TRUE(SetClipboardText(row.pasted));
    Press({VK_CONTROL, 'V'});
    ASSERT_TRUE(WaitForText(input, row.pasted));
    std::vector<std::wstring> expected;
    if (row.only) expected.push_back(row.only);
    if (row.from != 0) {
      if (row.from != row.catalogue) expected.push_back(row.from == kOleErrors ? L"In \"OLE Errors\":" : L"In \"Win Errors\":");
      for (const std::wstring& line : row.from == kOleErrors ? hexLines : win32Lines)
        if (row.pick(line)) expected.push_back(line);
      ASSERT_GT(expected.size(), row.from != row.catalogue ? 1u : 0u) << "the catalogue holds no such line";
    }
    ExpectResults(expected);
  }
}

// Ctrl+C copies the selected entry of the full list, Ctrl+Insert that of the results, as shown.
TEST_F(Search, CtrlCAndCtrlInsertCopyTheSelectedEntry) {
  ASSERT_NO_FATAL_FAILURE(Begin(kCodes));
  struct Row {
    const char* name;
    HWND list;
    WORD key;
    int entry;
  };
  ASSERT_TRUE(SetClipboardText(L"left by another program"));
  // With no entry selected nothing is copied.
  ASSERT_TRUE(app.PlaceFocus(names));
  Press({VK_CONTROL, 'C'});
  Type(L"5");  // a key after the copy is handled after it
  ASSERT_TRUE(WaitUntil([&] { return ListSelection(names) >= 0; }));
  EXPECT_EQ(ClipboardText(), L"left by another program");

  for (const auto& [name, list, key, entry] : {Row{"full list, Ctrl+C", names, 'C', 2}, Row{"results, Ctrl+Insert", nullptr, VK_INSERT, 1}}) {
    SCOPED_TRACE(name);
    HWND target = list;
    if (!target) {
      ASSERT_TRUE(app.PlaceFocus(input));
      Type(L"5");
      ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(results) && ListCount(results) == 5; }));
      target = results;
    }
    ClickAt(target, {20, entry * ItemHeight(target) + ItemHeight(target) / 2});
    ASSERT_TRUE(WaitUntil([&] { return ListSelection(target) == entry && app.Focus() == target; }));
    ASSERT_TRUE(SetClipboardText(L"left by another program"));
    Press({VK_CONTROL, key});
    Press({VK_DOWN});  // handled after the copy
    ASSERT_TRUE(WaitUntil([&] { return ListSelection(target) == entry + 1; }));
    EXPECT_EQ(ClipboardText(), ListEntry(target, entry));
  }
}

std::string Line(int n) { return "1 Entry number " + std::to_string(n) + "."; }

TEST_F(Search, EveryEntryOfAFullListCanMatch) {
  // The longest refill there can be: wait for it longer than for anything else.
  constexpr DWORD kFill = 60000;
  std::vector<std::string> lines;
  for (int n = 1; n <= 32767; ++n) lines.push_back(Line(n));
  ASSERT_NO_FATAL_FAILURE(Begin(lines, kFill));

  // Twice, so that the second refill first empties a full result list.
  for (const wchar_t* text : {L"1", L"1 "}) {
    SCOPED_TRACE(testing::Message() << "box " << testing::PrintToString(std::wstring(text)));
    Type(std::wstring_view(text).substr(std::wcslen(text) - 1));
    ASSERT_TRUE(WaitForText(input, text, kFill));
    EXPECT_TRUE(IsWindowVisible(results));
    EXPECT_FALSE(IsWindowVisible(names));
    ASSERT_EQ(ListCount(results), 32767);
    for (int index : {0, 1, 16383, 32766}) EXPECT_EQ(ListEntry(results, index), Widen(Line(index + 1)));
  }
  ASSERT_NO_FATAL_FAILURE(Empty(kFill));
  EXPECT_TRUE(IsWindowVisible(names));
  EXPECT_FALSE(IsWindowVisible(results));
  EXPECT_TRUE(app.Responds(kFill));
}

}  // namespace
}  // namespace e2e
