// The code search: what each edit of the input box shows, on the in-memory back end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/frmMain.h"
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

}  // namespace
