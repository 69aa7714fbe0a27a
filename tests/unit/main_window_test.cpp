// The main window on the in-memory back end: its state at start, its load handler, its commands.
#include "main/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/forms_memory.h"
#include "platform/win32api.h"
#include "temp_folder.h"

using namespace forms;

namespace {

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    memory::Reset();
    folder.Write("errmsg.orv", "2 The system cannot find the file specified.\r\n5 Access is denied.\r\n");
    memory::SetAppPath(folder.WidePath());
  }
  void TearDown() override { memory::Reset(); }

  int ExtentOf(const ListBox& list) { return static_cast<int>(SendMessageA(list.hWnd(), LB_GETHORIZONTALEXTENT, 0, 0)); }

  TempFolder folder;
};

TEST_F(MainWindow, StartsWithWinErrorsLoadedAndTheFocusInTheInputBox) {
  frmMain frm;
  frm.Show();
  EXPECT_EQ(frm.Caption(), L"Quorvex");
  EXPECT_TRUE(frm.opt1.Value());
  EXPECT_FALSE(frm.opt2.Value());
  EXPECT_TRUE(frm.lstNames.Visible());
  EXPECT_FALSE(frm.lstDisplay.Visible());
  EXPECT_EQ(frm.lstDisplay.ListCount(), 0);
  EXPECT_FALSE(frm.lblCount.Visible());
  EXPECT_EQ(frm.txtInput.Text(), L"");
  EXPECT_EQ(memory::Focus(), frm.txtInput.hWnd());
  ASSERT_EQ(frm.lstNames.ListCount(), 2);
  EXPECT_EQ(frm.lstNames.List(0), L"2 The system cannot find the file specified.");
  EXPECT_EQ(frm.lstNames.List(1), L"5 Access is denied.");
  EXPECT_EQ(frm.lblTotal.Caption(), L"2 Win error codes");
}

TEST_F(MainWindow, LoadHandlerSetsEverythingBeforeItLoadsTheCatalogue) {
  frmMain frm;
  frm.Show();
  const auto& calls = memory::Calls();
  auto at = [&](WindowHandle w, const std::string& op) {
    return std::find_if(calls.begin(), calls.end(), [&](const memory::Call& c) { return c.window == w && c.operation == op; }) - calls.begin();
  };
  const auto names = at(frm.lstNames.hWnd(), "SendMessageA"), display = at(frm.lstDisplay.hWnd(), "SendMessageA");
  const auto tipInput = at(frm.txtInput.hWnd(), "ToolTipText"), tipDisplay = at(frm.lstDisplay.hWnd(), "ToolTipText");
  const auto tipNames = at(frm.lstNames.hWnd(), "ToolTipText"), limit = at(frm.txtInput.hWnd(), "MaxLength");
  const auto load = at(frm.lstNames.hWnd(), "Clear");
  const std::vector<long> order{names, display, tipInput, tipDisplay, tipNames, limit, load};
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << "calls out of order";
  EXPECT_LT(load, static_cast<long>(calls.size()));
  EXPECT_EQ(calls[static_cast<std::size_t>(tipInput)].text, L"Enter the error code");
  EXPECT_EQ(calls[static_cast<std::size_t>(tipDisplay)].text, L"Displays search Results");
  EXPECT_EQ(calls[static_cast<std::size_t>(tipNames)].text, L"List of all error codes");
  EXPECT_EQ(calls[static_cast<std::size_t>(limit)].number, 20);
}

TEST_F(MainWindow, ScrollRangeIsTwoAndAHalfListWidthsAtTheDisplaysResolution) {
  for (auto [twipsPerPixel, pixels] : {std::pair{15.0f, 1248}, {12.0f, 1559}, {10.0f, 1871}}) {
    memory::Reset();
    memory::SetAppPath(folder.WidePath());
    memory::SetTwipsPerPixel(twipsPerPixel);
    frmMain frm;
    frm.Show();
    EXPECT_EQ(ExtentOf(frm.lstNames), pixels) << twipsPerPixel;
    EXPECT_EQ(ExtentOf(frm.lstDisplay), pixels) << twipsPerPixel;
  }
}

TEST(ScrollRange, RoundsToNearestWithTiesToEven) {
  EXPECT_EQ(HorizontalScrollRange(7485, 15), 1248);  // 1247.5
  EXPECT_EQ(HorizontalScrollRange(7515, 15), 1252);  // 1252.5
  EXPECT_EQ(HorizontalScrollRange(7497, 15), 1250);  // 1249.5
  EXPECT_EQ(HorizontalScrollRange(7485, 12), 1559);  // 1559.375
  EXPECT_EQ(HorizontalScrollRange(7500, 12), 1562);  // 1562.5
}

TEST_F(MainWindow, InputBoxRefusesThe21stCharacter) {
  frmMain frm;
  frm.Show();
  memory::Type(frm.txtInput, L"123456789012345678901");
  EXPECT_EQ(frm.txtInput.Text(), L"12345678901234567890");
}

TEST_F(MainWindow, HelpPictureShowsItsMessageUnderTheApplicationTitle) {
  frmMain frm;
  frm.Show();
  memory::Click(frm.imgHelp);
  ASSERT_EQ(memory::Boxes().size(), 1u);
  EXPECT_EQ(memory::Boxes()[0].prompt, L"Enter the error code number of scroll down the available list.");
  EXPECT_EQ(memory::Boxes()[0].title, L"Quorvex");
  EXPECT_FALSE(memory::Ended());
}

TEST_F(MainWindow, CloseEndsTheProgram) {
  frmMain frm;
  frm.Show();
  memory::Click(frm.Command1);
  EXPECT_TRUE(memory::Ended());
}

}  // namespace
