// Loading the catalogues: which file, the file's rules, the count and total, and failures.
#include <gtest/gtest.h>

#include <string>

#include "main/frmMain.h"
#include "platform/forms_memory.h"
#include "temp_folder.h"

using namespace forms;

namespace {

class Catalogues : public testing::Test {
 protected:
  void SetUp() override {
    memory::Reset();
    memory::SetAppPath(folder.WidePath());
  }
  void TearDown() override { memory::Reset(); }

  std::vector<std::wstring> Entries(const ListBox& list) {
    std::vector<std::wstring> out;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) out.push_back(list.List(i));
    return out;
  }

  TempFolder folder;
  const std::string win32 = "2 ERROR_FILE_NOT_FOUND\r\n5 ERROR_ACCESS_DENIED\r\n50 ERROR_NOT_SUPPORTED\r\n";
  const std::string ole = "80004001 E_NOTIMPL\r\n80070005 E_ACCESSDENIED\r\n";
};

TEST_F(Catalogues, EachOptionLoadsItsOwnFileFromTheProgramsFolder) {
  folder.Write("errmsg.orv", win32);
  folder.Write("errmsg2.orv", ole);
  frmMain frm;
  frm.Show();
  EXPECT_EQ(Entries(frm.lstNames), (std::vector<std::wstring>{L"2 ERROR_FILE_NOT_FOUND", L"5 ERROR_ACCESS_DENIED", L"50 ERROR_NOT_SUPPORTED"}));
  EXPECT_EQ(frm.lblCount.Caption(), L"3");
  EXPECT_EQ(frm.lblTotal.Caption(), L"3 Win error codes");

  memory::Click(frm.opt2);
  EXPECT_TRUE(frm.opt2.Value());
  EXPECT_FALSE(frm.opt1.Value());
  EXPECT_EQ(Entries(frm.lstNames), (std::vector<std::wstring>{L"80004001 E_NOTIMPL", L"80070005 E_ACCESSDENIED"}));
  EXPECT_EQ(frm.lblCount.Caption(), L"2");
  EXPECT_EQ(frm.lblTotal.Caption(), L"2 OLE error codes");
}

TEST_F(Catalogues, EverySelectionReadsTheFileAgain) {
  folder.Write("errmsg.orv", win32);
  folder.Write("errmsg2.orv", ole);
  frmMain frm;
  frm.Show();
  folder.Write("errmsg.orv", "1 edited\r\n");
  memory::Click(frm.opt2);
  memory::Click(frm.opt1);
  EXPECT_EQ(Entries(frm.lstNames), std::vector<std::wstring>{L"1 edited"});
  EXPECT_EQ(frm.lblTotal.Caption(), L"1 Win error codes");
}

TEST_F(Catalogues, NothingIsSelectedAfterALoad) {
  folder.Write("errmsg.orv", win32);
  folder.Write("errmsg2.orv", ole);
  frmMain frm;
  frm.Show();
  EXPECT_EQ(frm.lstNames.ListIndex(), -1);
  frm.lstNames.SetListIndex(1);
  memory::Click(frm.opt2);
  EXPECT_EQ(frm.lstNames.ListIndex(), -1);
}

TEST_F(Catalogues, AFileThatCannotBeReadEmptiesTheListAndTheOtherStillLoads) {
  folder.Write("errmsg.orv", win32);
  frmMain frm;
  frm.Show();
  memory::Click(frm.opt2);  // errmsg2.orv is missing
  EXPECT_EQ(frm.lstNames.ListCount(), 0);
  EXPECT_EQ(frm.lblCount.Caption(), L"0");
  EXPECT_EQ(frm.lblTotal.Caption(), L"0 OLE error codes");
  memory::Click(frm.opt1);
  EXPECT_EQ(frm.lstNames.ListCount(), 3);

  std::filesystem::create_directory(folder.Path() / "errmsg2.orv");  // a folder by that name
  memory::Click(frm.opt2);
  EXPECT_EQ(frm.lstNames.ListCount(), 0);
  EXPECT_EQ(frm.lblTotal.Caption(), L"0 OLE error codes");
}

TEST_F(Catalogues, EmptyFileAtStart) {
  folder.Write("errmsg.orv", "");
  frmMain frm;
  frm.Show();
  EXPECT_EQ(frm.lstNames.ListCount(), 0);
  EXPECT_EQ(frm.lblCount.Caption(), L"0");
  EXPECT_EQ(frm.lblTotal.Caption(), L"0 Win error codes");
}

TEST_F(Catalogues, EmptyLinesCountAndNoEntryFollowsTheLastLineEnd) {
  folder.Write("errmsg.orv", "1 a\r\n\r\n3 c\r\n");
  frmMain frm;
  frm.Show();
  EXPECT_EQ(Entries(frm.lstNames), (std::vector<std::wstring>{L"1 a", L"", L"3 c"}));
  EXPECT_EQ(frm.lblTotal.Caption(), L"3 Win error codes");
}

TEST_F(Catalogues, ALongerFileKeepsTheFirst32767Entries) {
  std::string big;
  for (int i = 0; i < 40000; ++i) big += std::to_string(i) + " entry\r\n";
  folder.Write("errmsg.orv", big);
  frmMain frm;
  frm.Show();
  ASSERT_EQ(frm.lstNames.ListCount(), 32767);
  EXPECT_EQ(frm.lstNames.List(32766), L"32766 entry");
  EXPECT_EQ(frm.lblTotal.Caption(), L"32767 Win error codes");
}

TEST_F(Catalogues, LoadingIntoTheVisibleListDrawsItOnce) {
  folder.Write("errmsg.orv", win32);
  folder.Write("errmsg2.orv", ole);
  frmMain frm;
  frm.Show();
  const int before = frm.lstNames.hWnd()->redraws;
  memory::Click(frm.opt2);
  EXPECT_EQ(frm.lstNames.hWnd()->redraws - before, 1);
}

TEST_F(Catalogues, LoadingLeavesTheInputAndTheResultListAlone) {
  folder.Write("errmsg.orv", win32);
  folder.Write("errmsg2.orv", ole);
  frmMain frm;
  frm.Show();
  frm.lstDisplay.AddItem(L"kept");
  memory::ClearCalls();
  memory::Click(frm.opt2);
  for (const auto& call : memory::Calls()) {
    EXPECT_NE(call.window, frm.lstDisplay.hWnd()) << call.operation;
    EXPECT_NE(call.window, frm.txtInput.hWnd()) << call.operation;
  }
  EXPECT_EQ(frm.lstDisplay.List(0), L"kept");
  EXPECT_FALSE(frm.lstDisplay.Visible());
}

}  // namespace
