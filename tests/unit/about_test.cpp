// The about window on the in-memory back end: its texts, its one instance and its links.
#include <gtest/gtest.h>

#include <regex>

#include "about/frmAbout.h"
#include "fake_system.h"
#include "main/frmMain.h"
#include "platform/forms_memory.h"
#include "temp_folder.h"

using namespace forms;

namespace {

class About : public testing::Test {
 protected:
  void SetUp() override {
    memory::Reset();
    memory::SetAppPath(folder.WidePath());
    folder.Write("errmsg.orv", "5 Access is denied.\r\n");
  }
  void TearDown() override {
    frmAbout::Instance().Unload();
    App() = saved;
    memory::Reset();
  }

  TempFolder folder;
  FakeSystem sys;
  Application saved = App();
};

TEST_F(About, LoadWritesTitleAndVersionFromTheApplication) {
  frmAbout about;
  about.Show();
  EXPECT_EQ(about.Caption(), L"About Quorvex");
  EXPECT_EQ(about.lblTitle.Caption(), L"Quorvex");
  EXPECT_EQ(about.lblVersion.Caption(), L"Version 1.0.0");
  about.Unload();

  App().Title = L"Other";
  App().Major = 2;
  App().Minor = 5;
  App().Revision = 12;
  about.Show();
  EXPECT_EQ(about.Caption(), L"About Other");
  EXPECT_EQ(about.lblTitle.Caption(), L"Other");
  EXPECT_EQ(about.lblVersion.Caption(), L"Version 2.5.12");
}

TEST_F(About, DescriptionAndWarningAreWritten) {
  frmAbout about;
  about.Show();
  const std::wstring description = about.lblDescription.Caption(), warning = about.lblDisclaimer.Caption();
  EXPECT_NE(description.find(L"Quorvex"), std::wstring::npos);
  EXPECT_NE(description.find(L"freeware"), std::wstring::npos);
  EXPECT_EQ(warning.rfind(L"Warning:  ", 0), 0u);
  for (const auto& text : {description, warning}) {
    // Two spaces between sentences, never one.
    EXPECT_FALSE(std::regex_search(text, std::wregex(L"[.:] [^ ]"))) << std::string(text.begin(), text.end());
    EXPECT_FALSE(std::regex_search(text, std::wregex(L"   ")));
  }
}

TEST_F(About, AboutButtonShowsOneWindowAndLoadsItAfreshAfterItIsClosed) {
  frmMain frm;
  frm.Show();
  memory::Click(frm.Command2);
  frmAbout& about = frmAbout::Instance();
  ASSERT_TRUE(about.Loaded());
  EXPECT_EQ(memory::ActiveForm(), &about);
  about.SetCaption(L"changed since load");
  memory::Click(frm.Command2);
  EXPECT_EQ(about.Caption(), L"changed since load") << "a second click only brings it to the front";
  memory::Click(about.Command3);
  EXPECT_FALSE(about.Loaded());
  EXPECT_FALSE(memory::Ended()) << "the main window is still open";
  memory::Click(frm.Command2);
  EXPECT_EQ(about.Caption(), L"About Quorvex") << "loaded again";
}

TEST_F(About, ProgramEndsWhenTheLastWindowCloses) {
  frmMain frm;
  frm.Show();
  memory::Click(frm.Command2);
  frm.Unload();  // the main window's close box
  EXPECT_FALSE(memory::Ended());
  EXPECT_TRUE(frmAbout::Instance().Loaded());
  frmAbout::Instance().Unload();
  EXPECT_TRUE(memory::Ended());
}

TEST_F(About, LinksOpenTheirPagesThroughTheShell) {
  frmAbout about;
  about.Show();
  memory::Click(about.Command1);
  memory::Click(about.Command2);
  memory::Click(about.picIcon);
  ASSERT_EQ(sys.links.size(), 3u);
  const char* pages[] = {"http://www.orvanta.example/Pages/ListBot.html", "http://www.orvanta.example",
                         "http://www.orvanta.example"};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(sys.links[i].owner, about.hWnd());
    EXPECT_EQ(sys.links[i].operation, "open");
    EXPECT_EQ(sys.links[i].file, pages[i]);
    EXPECT_EQ(sys.links[i].parameters, "");
    EXPECT_EQ(sys.links[i].directory, nullptr);
    EXPECT_EQ(sys.links[i].show, 1);
  }
  EXPECT_TRUE(sys.boxes.empty());
}

TEST_F(About, LogoRunsStartThroughTheCommandInterpreter) {
  frmAbout about;
  about.Show();
  sys.environment[L"ComSpec"] = L"C:\\windows\\system32\\cmd.exe";
  sys.files.insert(L"C:\\windows\\system32\\cmd.exe");
  memory::Click(about.Image1);
  ASSERT_EQ(sys.starts.size(), 1u);
  EXPECT_EQ(sys.starts[0].program, L"C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(sys.starts[0].arguments, L"/c start http://www.orvanta.example");
  EXPECT_EQ(sys.starts[0].style, 2);

  sys.environment.clear();  // no interpreter: nothing happens, and the program runs on
  memory::Click(about.Image1);
  EXPECT_TRUE(sys.boxes.empty());
  EXPECT_TRUE(about.Loaded());
}

TEST_F(About, SystemInfoButtonRunsTheLookup) {
  frmAbout about;
  about.Show();
  memory::Click(about.Command4);
  EXPECT_EQ(sys.boxes, std::vector<std::wstring>{L"Quorvex: System Information Is Unavailable At This Time"});
  EXPECT_TRUE(about.Loaded());
}

}  // namespace
