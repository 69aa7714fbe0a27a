// The code search: what each edit of the input box shows, on the in-memory back end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/frmMain.h"
#include "main/modCode.h"
#include "platform/forms_memory.h"
#include "temp_folder.h"

using namespace forms;

namespace {

using Entries = std::vector<std::wstring>;

class Search : public testing::Test {
 protected:
  void SetUp() override {
    memory::Reset();
    memory::SetAppPath(folder.WidePath());
    folder.Write("errmsg.orv",
                 "5 Access is denied.\r\n"
                 "50 The request is not supported.\r\n"
                 "53 The network path was not found.\r\n"
                 "6 The handle is invalid.\r\n"
                 "531 Not found 5\r\n"
                 " 5 begins with a space\r\n"
                 "5\r\n");
    folder.Write("errmsg2.orv", "8000FFFF Catastrophic failure\r\n80004001 Not implemented\r\n8007000E Out of memory\r\n");
  }
  void TearDown() override { memory::Reset(); }

  static Entries Shown(const ListBox& list) {
    Entries out;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) out.push_back(list.List(i));
    return out;
  }
  Entries TypeAndShow(const std::wstring& text) {
    memory::Type(frm.txtInput, text);
    EXPECT_FALSE(frm.lstNames.Visible());
    EXPECT_TRUE(frm.lstDisplay.Visible());
    return Shown(frm.lstDisplay);
  }

  TempFolder folder;
  frmMain frm;
};

TEST_F(Search, EachKeystrokeNarrowsToTheEntriesThatBeginWithTheInput) {
  frm.Show();
  EXPECT_EQ(TypeAndShow(L"5"), (Entries{L"5 Access is denied.", L"50 The request is not supported.",
                                        L"53 The network path was not found.", L"531 Not found 5", L"5"}));
  EXPECT_EQ(TypeAndShow(L"3"), (Entries{L"53 The network path was not found.", L"531 Not found 5"}));
  EXPECT_EQ(TypeAndShow(L"1"), (Entries{L"531 Not found 5"}));
  EXPECT_EQ(memory::Focus(), frm.txtInput.hWnd());
}

TEST_F(Search, InputsThatMatchNothing) {
  frm.Show();
  EXPECT_EQ(TypeAndShow(L"7"), Entries{}) << "no entry begins with it";
  frm.txtInput.SetText(L"");
  EXPECT_EQ(TypeAndShow(L"531 Not found 5 and more"), Entries{}) << "longer than every entry";
  frm.txtInput.SetText(L"");
  EXPECT_EQ(TypeAndShow(L"Access"), Entries{}) << "a word from the middle of an entry";
  frm.txtInput.SetText(L"");
  EXPECT_EQ(TypeAndShow(L"50 "), Entries{L"50 The request is not supported."});
}

TEST_F(Search, ALeadingSpaceMatchesOnlyEntriesThatBeginWithOne) {
  frm.Show();
  EXPECT_EQ(TypeAndShow(L" "), Entries{L" 5 begins with a space"});
}

TEST_F(Search, LettersMatchRegardlessOfCaseAndResultsStayAsInTheCatalogue) {
  frm.Show();
  memory::Click(frm.opt2);
  EXPECT_EQ(TypeAndShow(L"8000ffff"), Entries{L"8000FFFF Catastrophic failure"});
  frm.txtInput.SetText(L"");
  EXPECT_EQ(TypeAndShow(L"8007000e"), Entries{L"8007000E Out of memory"});
}

TEST_F(Search, ClearingTheInputShowsTheFullListAgainAndTheResultsStayHidden) {
  frm.Show();
  TypeAndShow(L"53");
  memory::Backspace(frm.txtInput);
  EXPECT_EQ(Shown(frm.lstDisplay).size(), 5u);
  memory::Backspace(frm.txtInput);
  EXPECT_TRUE(frm.lstNames.Visible());
  EXPECT_FALSE(frm.lstDisplay.Visible());
  EXPECT_EQ(Shown(frm.lstDisplay).size(), 5u) << "the hidden results keep their entries";
  EXPECT_EQ(frm.lstNames.ListCount(), 7);
  EXPECT_EQ(TypeAndShow(L"6"), Entries{L"6 The handle is invalid."}) << "typing again clears before refilling";
}

TEST_F(Search, SwitchingCataloguesKeepsTheResultsUntilTheNextEdit) {
  frm.Show();
  TypeAndShow(L"5");
  memory::Click(frm.opt2);
  EXPECT_EQ(Shown(frm.lstDisplay).size(), 5u);
  EXPECT_TRUE(frm.lstDisplay.Visible());
  EXPECT_EQ(TypeAndShow(L"0"), Entries{}) << "\"50\" is now looked up in the OLE catalogue";
  memory::Backspace(frm.txtInput);
  memory::Backspace(frm.txtInput);
  EXPECT_EQ(TypeAndShow(L"8"), (Entries{L"8000FFFF Catastrophic failure", L"80004001 Not implemented",
                                        L"8007000E Out of memory"}));
}

TEST_F(Search, AnEmptyCatalogueMatchesNothing) {
  folder.Write("errmsg.orv", "");
  frm.Show();
  EXPECT_EQ(frm.lblCount.Caption(), L"0");
  EXPECT_EQ(TypeAndShow(L"5"), Entries{});
}

TEST_F(Search, ALargeResultIsDrawnOnce) {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "1" + std::to_string(i) + " entry\r\n";
  folder.Write("errmsg.orv", big);
  frm.Show();
  memory::Type(frm.txtInput, L"1");
  EXPECT_EQ(frm.lstDisplay.ListCount(), 5000);
  // Made visible (one drawing), then filled while paused (one more): never once per entry.
  EXPECT_LE(frm.lstDisplay.hWnd()->redraws, 2);
}

// A code read in another notation, as each catalogue's lines begin with it: the hexadecimal one
// (OLE) and the Win32 one, whose codes must stand whole. Empty where the text is no such code.
TEST(ReadErrorCode, ReadsEachNotationWithinItsLimits) {
  struct Row {
    const wchar_t* text;
    const wchar_t* ole;
    const wchar_t* win32;
  };
  const Row rows[] = {
      // Hexadecimal with a prefix: the digits as written in the hex list, their value in the Win32 one.
      {L"0x80070005", L"80070005", L"5"},
      {L"0X8007000e", L"8007000E", L"14"},
      {L"0x8007", L"8007", L"32775"},
      {L"0xFFFF", L"FFFF", L"65535"},
      {L"0x10000", L"10000", L""},
      {L"0xC0000005", L"C0000005", L""},
      {L"0x80070000", L"80070000", L""},  // HRESULT_FROM_WIN32 never makes it: code 0 stays 0
      {L"0x00000057", L"00000057", L"87"},
      {L"0x", L"", L""},
      {L"0x123456789", L"", L""},
      {L"0x80070005L", L"80070005", L"5"},
      {L"0x57l", L"57", L"87"},
      {L"0xL", L"", L""},
      {L"0x5h", L"", L""},
      // Hexadecimal with a suffix.
      {L"5h", L"5", L"5"},
      {L"80070002H", L"80070002", L"2"},
      {L"123456789h", L"", L""},
      {L"h", L"", L""},
      // Negative decimals: signed 32-bit values.
      {L"-1", L"FFFFFFFF", L""},
      {L"-2147024894", L"80070002", L"2"},
      {L"-2147483648", L"80000000", L""},
      {L"-2147483649", L"", L""},
      {L"-0", L"", L""},
      {L"-", L"", L""},
      // Decimals too large for a Win32 code: unsigned 32-bit values.
      {L"65535", L"", L""},
      {L"65536", L"00010000", L""},
      {L"3221225477", L"C0000005", L""},
      {L"2147942405", L"80070005", L"5"},
      {L"4294967295", L"FFFFFFFF", L""},
      {L"4294967296", L"", L""},
      {L"00000000000000000000004294967296", L"", L""},
      // Eight bare hex digits: hexadecimal in the Win32 list only, a decimal in the other.
      {L"80070005", L"04C5C575", L"5"},
      {L"0000FFFF", L"", L"65535"},
      {L"12345678", L"00BC614E", L""},
      // Blanks around the code are ignored, blanks inside it are not; letters are no code.
      {L" \t0x80070005 \t", L"80070005", L"5"},
      {L"0x 5", L"", L""},
      {L"8007 0005", L"", L""},
      {L" ", L"", L""},
      {L"", L"", L""},
      {L"zzz", L"", L""},
      {L"0x\xFF15", L"", L""},  // a full-width 5
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(std::wstring(row.text)));
    const CatalogueCode ole = ReadErrorCode(row.text, false), win32 = ReadErrorCode(row.text, true);
    EXPECT_EQ(ole.sCode, row.ole);
    EXPECT_FALSE(ole.bWhole);
    EXPECT_EQ(win32.sCode, row.win32);
    EXPECT_EQ(win32.bWhole, !win32.sCode.empty());
  }
}

// What an input lists when no entry begins with it, in catalogues written as the shipped ones are.
TEST_F(Search, CodesAsPeopleCopyThemListTheirEntries) {
  folder.Write("errmsg.orv",
               "2\tERROR_FILE_NOT_FOUND\r\n"
               "5\tERROR_ACCESS_DENIED\r\n"
               "50\tERROR_NOT_SUPPORTED\r\n"
               "53\tERROR_BAD_NETPATH\r\n"
               "5 (RAS) a second meaning of 5\r\n"
               "5\r\n");
  folder.Write("errmsg2.orv",
               "0x8007000E\tan entry that begins with 0x\r\n"
               "80070002\tERROR_FILE_NOT_FOUND (Win32 2)\r\n"
               "80070005\tE_ACCESSDENIED\r\n"
               "80070005\tERROR_ACCESS_DENIED (Win32 5)\r\n"
               "8007000e\tE_OUTOFMEMORY\r\n"
               "C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS)\r\n");
  const Entries win2{L"2\tERROR_FILE_NOT_FOUND"};
  const Entries win5{L"5\tERROR_ACCESS_DENIED", L"5 (RAS) a second meaning of 5", L"5"};
  const Entries ole80070002{L"80070002\tERROR_FILE_NOT_FOUND (Win32 2)"};
  const Entries ole80070005{L"80070005\tE_ACCESSDENIED", L"80070005\tERROR_ACCESS_DENIED (Win32 5)"};
  const Entries oleC0000005{L"C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS)"};
  struct Row {
    const wchar_t* input;
    OptionButton frmMain::*list;
    Entries listed;
  };
  const Row rows[] = {
      {L"0x80070005", &frmMain::opt2, ole80070005},
      {L"-2147024894", &frmMain::opt2, ole80070002},
      {L"3221225477", &frmMain::opt2, oleC0000005},
      {L"80070002 ", &frmMain::opt2, ole80070002},
      {L"\t0Xc0000005L ", &frmMain::opt2, oleC0000005},
      {L"8007h", &frmMain::opt2, {L"80070002\tERROR_FILE_NOT_FOUND (Win32 2)", L"80070005\tE_ACCESSDENIED",
                                   L"80070005\tERROR_ACCESS_DENIED (Win32 5)", L"8007000e\tE_OUTOFMEMORY"}},
      // The catalogue's own search answers first: an entry begins with it.
      {L"0x8007000E", &frmMain::opt2, {L"0x8007000E\tan entry that begins with 0x"}},
      {L"0x8007", &frmMain::opt2, {L"0x8007000E\tan entry that begins with 0x"}},
      {L"zzz", &frmMain::opt2, {}},
      {L"access", &frmMain::opt2, {}},
      {L" ", &frmMain::opt2, {}},
      {L"0x80070005", &frmMain::opt1, win5},
      {L"80070005", &frmMain::opt1, win5},
      {L"-2147024891", &frmMain::opt1, win5},
      {L"0x80070002 ", &frmMain::opt1, win2},
      {L"0x35", &frmMain::opt1, {L"53\tERROR_BAD_NETPATH"}},
      {L" 53 ", &frmMain::opt1, {L"53\tERROR_BAD_NETPATH"}},
      {L"0xC0000005", &frmMain::opt1, {}},
      {L"0x8007000E", &frmMain::opt1, {}},  // 14: not in this catalogue
      {L"5 (", &frmMain::opt1, {L"5 (RAS) a second meaning of 5"}},
      {L"zzz", &frmMain::opt1, {}},
  };
  frm.Show();
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.list == &frmMain::opt1 ? "Win32, " : "OLE, ") << "input "
                                    << testing::PrintToString(std::wstring(row.input)));
    memory::Click(frm.*row.list);
    frm.txtInput.SetText(L"");
    frm.txtInput.SetText(row.input);
    EXPECT_FALSE(frm.lstNames.Visible());
    EXPECT_TRUE(frm.lstDisplay.Visible());
    EXPECT_EQ(Shown(frm.lstDisplay), row.listed);
  }
}

}  // namespace
