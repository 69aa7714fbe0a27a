// The code search: what each edit of the input box shows, on the in-memory back end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/frmMain.h"
#include "main/modCode.h"
#include "fake_system.h"
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
  // No OLE entry begins with "50": the Win32 list is now the other one, read from its file.
  EXPECT_EQ(TypeAndShow(L"0"), (Entries{L"In \"Win Errors\":", L"50 The request is not supported."}));
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

// What an input lists in either list, in catalogues written as the shipped ones are: the list's own
// search first, then the steps that run only when it lists nothing.
TEST_F(Search, EachInputListsWhatTheFirstStepThatFindsAnythingFinds) {
  folder.Write("errmsg.orv",
               "2\tERROR_FILE_NOT_FOUND - The system cannot find the file specified.\r\n"
               "3\tERROR_PATH_NOT_FOUND\r\n"
               "5\tERROR_ACCESS_DENIED - Access is denied.\r\n"
               "50\tERROR_NOT_SUPPORTED\r\n"
               "53\tERROR_BAD_NETPATH\r\n"
               "5 (RAS) a second meaning of 5\r\n"
               "5\r\n"
               " 5 begins with a space\r\n");
  folder.Write("errmsg2.orv",
               "0x8007000E\tan entry that begins with 0x\r\n"
               "80004005\tE_FAIL - Unspecified failure\r\n"
               "80070002\tERROR_FILE_NOT_FOUND (Win32 2)\r\n"
               "80070005\tE_ACCESSDENIED\r\n"
               "80070005\tERROR_ACCESS_DENIED (Win32 5)\r\n"
               "8007000e\tE_OUTOFMEMORY\r\n"
               "C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS)\r\n");
  const std::wstring win2 = L"2\tERROR_FILE_NOT_FOUND - The system cannot find the file specified.";
  const std::wstring win3 = L"3\tERROR_PATH_NOT_FOUND", win5 = L"5\tERROR_ACCESS_DENIED - Access is denied.";
  const std::wstring win50 = L"50\tERROR_NOT_SUPPORTED", win53 = L"53\tERROR_BAD_NETPATH";
  const std::wstring ras5 = L"5 (RAS) a second meaning of 5";
  const std::wstring ole80070002 = L"80070002\tERROR_FILE_NOT_FOUND (Win32 2)";
  const std::wstring eAccessDenied = L"80070005\tE_ACCESSDENIED", errorAccessDenied = L"80070005\tERROR_ACCESS_DENIED (Win32 5)";
  const std::wstring oleC0000005 = L"C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS)";
  const std::wstring inOle = L"In \"OLE Errors\":", inWin = L"In \"Win Errors\":";
  struct Row {
    const wchar_t* input;
    OptionButton frmMain::*list;
    Entries listed;
  };
  const Row rows[] = {
      // The list's own search: entries that begin with the input, in catalogue order, unchanged.
      {L"5", &frmMain::opt1, {win5, win50, win53, ras5, L"5"}},
      {L"53", &frmMain::opt1, {win53}},
      {L" ", &frmMain::opt1, {L" 5 begins with a space"}},
      {L"8007000E", &frmMain::opt2, {L"8007000e\tE_OUTOFMEMORY"}},
      {L"c0000005", &frmMain::opt2, {oleC0000005}},
      {L"0x8007000E", &frmMain::opt2, {L"0x8007000E\tan entry that begins with 0x"}},
      {L"7", &frmMain::opt1, {}},
      {L"53\tERROR_BAD_NETPATH and more", &frmMain::opt1, {}},
      {L"system", &frmMain::opt1, {}},  // a word of a description only
      // Blanks around the input, then another notation of the code.
      {L"0x80070005", &frmMain::opt2, {eAccessDenied, errorAccessDenied}},
      {L"-2147024894", &frmMain::opt2, {ole80070002}},
      {L"3221225477", &frmMain::opt2, {oleC0000005}},
      {L"80070002 ", &frmMain::opt2, {ole80070002}},
      {L"\t0Xc0000005L ", &frmMain::opt2, {oleC0000005}},
      {L"8007h", &frmMain::opt2, {ole80070002, eAccessDenied, errorAccessDenied, L"8007000e\tE_OUTOFMEMORY"}},
      {L"0x80070005", &frmMain::opt1, {win5, ras5, L"5"}},
      {L"80070005", &frmMain::opt1, {win5, ras5, L"5"}},
      {L"-2147024891", &frmMain::opt1, {win5, ras5, L"5"}},
      {L"0x80070002 ", &frmMain::opt1, {win2}},
      {L"0x35", &frmMain::opt1, {win53}},
      {L" 53 ", &frmMain::opt1, {win53}},
      {L"5 (", &frmMain::opt1, {ras5}},
      // Names, and parts of names after an underscore, whichever the case.
      {L"ERROR_FILE_NOT_FOUND", &frmMain::opt1, {win2}},
      {L"not_found", &frmMain::opt1, {win2, win3}},
      {L"denied", &frmMain::opt1, {win5}},
      {L"access", &frmMain::opt2, {eAccessDenied, errorAccessDenied, oleC0000005}},
      {L"ACCESSDENIED ", &frmMain::opt2, {eAccessDenied}},
      {L"ERROR_FILE_NOT_FOUND", &frmMain::opt2, {ole80070002}},
      {L"specified", &frmMain::opt1, {}},
      {L"___", &frmMain::opt1, {}},
      {L"_FOUND", &frmMain::opt1, {}},
      // The other list, read from its file, as that list runs its own steps.
      {L"E_ACCESSDENIED", &frmMain::opt1, {inOle, eAccessDenied}},
      {L"0x80004005", &frmMain::opt1, {inOle, L"80004005\tE_FAIL - Unspecified failure"}},
      {L"0xC0000005", &frmMain::opt1, {inOle, oleC0000005}},
      {L"0x8007000E", &frmMain::opt1, {inOle, L"0x8007000E\tan entry that begins with 0x"}},
      {L"8007h", &frmMain::opt1, {inOle, ole80070002, eAccessDenied, errorAccessDenied, L"8007000e\tE_OUTOFMEMORY"}},
      {L"5", &frmMain::opt2, {inWin, win5, win50, win53, ras5, L"5"}},
      {L"path_not", &frmMain::opt2, {inWin, win3}},
      // A value that neither list holds, read as it can be read.
      {L"0x80244FFF", &frmMain::opt1,
       {L"80244FFF\tin neither list; HRESULT: failure, facility 36 (WINDOWSUPDATE), code 20479 (0x4FFF)"}},
      {L"3221225478", &frmMain::opt2,
       {L"C0000006\tin neither list; HRESULT: failure, facility 0 (NULL), code 6 (0x6); NTSTATUS: error, facility 0, "
        L"code 6 (0x6)"}},
      {L"0xD0000005", &frmMain::opt2,
       {L"D0000005\tin neither list; HRESULT: failure, facility 0 (NULL), code 5 (0x5); NTSTATUS C0000005"}},
      {L"e0000203", &frmMain::opt2,
       {L"E0000203\tin neither list; HRESULT: failure, customer-defined, facility 0 (NULL), code 515 (0x203); "
        L"NTSTATUS: error, customer-defined, facility 0, code 515 (0x203); SetupAPI twin 800F0203"}},
      {L"800F0203h", &frmMain::opt1,
       {L"800F0203\tin neither list; HRESULT: failure, facility 15 (SETUPAPI), code 515 (0x203); SetupAPI twin E0000203"}},
      {L"-1073278412", &frmMain::opt1,
       {L"C0071234\tin neither list; HRESULT: failure, facility 7 (WIN32), code 4660 (0x1234); NTSTATUS: error, "
        L"facility 7, code 4660 (0x1234); Win32 code 4660"}},
      {L"8007FFFF", &frmMain::opt1,
       {L"8007FFFF\tin neither list; HRESULT: failure, facility 7 (WIN32), code 65535 (0xFFFF); Win32 code 65535"}},
      {L"0x4", &frmMain::opt2, {L"00000004\tin neither list; HRESULT: success, facility 0 (NULL), code 4 (0x4)"}},
      {L"zzz", &frmMain::opt2, {}},
      {L"-", &frmMain::opt1, {}},
      {L"4294967296", &frmMain::opt1, {}},
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

// Ctrl+C and Ctrl+Insert copy the selected entry of either list, as it shows; nothing else does.
TEST_F(Search, CtrlCCopiesTheSelectedEntryOfEitherList) {
  frm.Show();
  memory::Type(frm.txtInput, L"53");
  struct Row {
    ListBox frmMain::*list;
    std::int16_t selected;
    int key, shift;
    const wchar_t* copied;  // null: nothing is copied
  };
  const Row rows[] = {
      {&frmMain::lstNames, 1, KeyC, CtrlMask, L"50 The request is not supported."},
      {&frmMain::lstNames, 0, KeyInsert, CtrlMask, L"5 Access is denied."},
      {&frmMain::lstDisplay, 1, KeyC, CtrlMask, L"531 Not found 5"},
      {&frmMain::lstDisplay, 0, KeyInsert, CtrlMask, L"53 The network path was not found."},
      {&frmMain::lstDisplay, -1, KeyC, CtrlMask, nullptr},
      {&frmMain::lstNames, 1, KeyC, 0, nullptr},
      {&frmMain::lstNames, 1, KeyC, CtrlMask | ShiftMask, nullptr},
      {&frmMain::lstNames, 1, KeyC, CtrlMask | AltMask, nullptr},
      {&frmMain::lstNames, 1, KeyInsert, ShiftMask, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "entry " << row.selected << ", key " << row.key << ", shift " << row.shift);
    FakeSystem system;
    ListBox& list = frm.*row.list;
    list.SetListIndex(row.selected);
    memory::Press(list, row.key, row.shift);
    EXPECT_EQ(system.clipboard, row.copied ? std::vector<std::wstring>{row.copied} : std::vector<std::wstring>{});
    EXPECT_EQ(Shown(frm.lstDisplay).size(), 2u) << "the results stay";
  }
}

// The other catalogue as people may leave it: the steps list what they can and nothing breaks.
TEST_F(Search, AnyOtherCatalogueGivesAClearOutcome) {
  std::string many;
  for (int i = 0; i < 40000; ++i) many += "8" + std::to_string(i) + "\tE_MANY_" + std::to_string(i) + "\r\n";
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 256);
  enum Kind { kMissing, kFolder, kFile };
  struct Row {
    const char* name;
    Kind kind;
    std::string bytes;
    const wchar_t* input;
    long listed;
  };
  const Row rows[] = {
      {"missing", kMissing, "", L"E_ACCESSDENIED", 0},
      {"a folder", kFolder, "", L"E_ACCESSDENIED", 0},
      {"empty", kFile, "", L"E_ACCESSDENIED", 0},
      {"binary", kFile, binary, L"E_ACCESSDENIED", 0},
      {"binary, a value", kFile, binary, L"0x80244FFF", 1},
      {"more lines than a list holds", kFile, many, L"e_many", ListBox::MaxCount},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    folder.Remove("errmsg2.orv");
    if (row.kind == kFolder) folder.MakeFolder("errmsg2.orv");
    if (row.kind == kFile) folder.Write("errmsg2.orv", row.bytes);
    frmMain form;
    form.Show();
    form.txtInput.SetText(row.input);
    EXPECT_EQ(form.lstDisplay.ListCount(), row.listed);
    EXPECT_EQ(form.lstNames.ListCount(), 7) << "the open list is untouched";
    form.Unload();
  }
}

// Input that the box takes, typed or pasted: every step gives a clear outcome.
TEST_F(Search, OddInputListsNothingItCannotRead) {
  std::string names;
  for (int i = 0; i < 20000; ++i) names += std::to_string(i) + "\tE_NAME_" + std::to_string(i) + "\r\n";
  folder.Write("errmsg.orv", names);
  frm.Show();
  const std::pair<const wchar_t*, long> rows[] = {
      {L"\x01\x02\x7F", 0}, {L"\x00E9_ACCESS", 0}, {L"\x5148\x5149", 0}, {L"____________________", 0},
      {L"e", 20000},  // a name prefix that every entry matches
      {L"name_19999", 1},
  };
  for (const auto& [input, listed] : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(input)));
    frm.txtInput.SetText(L"");
    frm.txtInput.SetText(input);
    EXPECT_EQ(frm.lstDisplay.ListCount(), listed);
  }
}

}  // namespace
