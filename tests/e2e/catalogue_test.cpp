// The catalogues as the program reads them from beside itself: switching between them, a missing
// file, and files that are malformed or far too long.
#include <string>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

using Catalogues = AppTest;

// Selects the first entry of the list with a click on it.
testing::AssertionResult ClickFirstEntry(HWND list) {
  ClickAt(list, {20, ItemHeight(list) / 2});
  int selected = LB_ERR;
  if (!WaitUntil([&] { return (selected = ListSelection(list)) == 0; }))
    return testing::AssertionFailure() << "a click on the first entry selects entry " << selected;
  return testing::AssertionSuccess();
}

TEST_F(Catalogues, EachChoiceReloadsItsFileFromDisk) {
  ASSERT_TRUE(app.Start(folder));
  HWND names = app.Control(kNames);
  HWND total = app.Control(kTotal);

  ASSERT_TRUE(ClickFirstEntry(names));
  Click(app.Control(kOleErrors));
  ASSERT_TRUE(WaitForText(total, L"2 OLE error codes"));
  EXPECT_TRUE(Checked(app.Control(kOleErrors)));
  EXPECT_FALSE(Checked(app.Control(kWinErrors)));
  EXPECT_EQ(ListEntries(names), Entries(kOleLines));
  EXPECT_EQ(ListSelection(names), LB_ERR);

  const std::vector<std::string> edited{
      "6 The handle is invalid.",
      "5 Access is denied.",
      "8 Not enough memory resources are available to process this command.",
      "1 Incorrect function.",
  };
  folder.Write(L"errmsg.orv", CatalogueFile(edited));
  ASSERT_TRUE(ClickFirstEntry(names));
  Click(app.Control(kWinErrors));
  ASSERT_TRUE(WaitForText(total, L"4 Win error codes"));
  EXPECT_EQ(ListEntries(names), Entries(edited));
  EXPECT_EQ(ListSelection(names), LB_ERR);

  // The other file is read again too, not kept from before.
  folder.Write(L"errmsg2.orv", CatalogueFile({kOleLines[1]}));
  Click(app.Control(kOleErrors));
  ASSERT_TRUE(WaitForText(total, L"1 OLE error codes"));
  EXPECT_EQ(ListEntries(names), Entries({kOleLines[1]}));
}

TEST_F(Catalogues, MissingOleFileGivesAnEmptyList) {
  folder.Remove(L"errmsg2.orv");
  ASSERT_TRUE(app.Start(folder));
  HWND names = app.Control(kNames);
  HWND total = app.Control(kTotal);

  Click(app.Control(kOleErrors));
  ASSERT_TRUE(WaitForText(total, L"0 OLE error codes"));
  EXPECT_EQ(ListCount(names), 0);
  EXPECT_TRUE(app.Responds());

  Click(app.Control(kWinErrors));
  ASSERT_TRUE(WaitForText(total, L"3 Win error codes"));
  EXPECT_EQ(ListEntries(names), Entries(kWin32Lines));
}

TEST_F(Catalogues, LoneLfLoneCrAndCrLfEachEndOneEntry) {
  folder.Write(L"errmsg.orv",
               "1 Incorrect function.\n"
               "2 The system cannot find the file specified.\r"
               "5 Access is denied.\r\n"
               "6 The handle is invalid.\n");
  ASSERT_TRUE(app.Start(folder));
  EXPECT_EQ(ListEntries(app.Control(kNames)),
            (std::vector<std::wstring>{L"1 Incorrect function.", L"2 The system cannot find the file specified.",
                                       L"5 Access is denied.", L"6 The handle is invalid."}));
  EXPECT_EQ(Text(app.Control(kTotal)), L"4 Win error codes");
}

TEST_F(Catalogues, NulByteLosesNothingAroundIt) {
  using namespace std::string_literals;
  folder.Write(L"errmsg.orv", "5 Access\0is denied.\r\n6 The handle is invalid.\r\n8 Not enough memory.\r\n"s);
  ASSERT_TRUE(app.Start(folder));
  const std::vector<std::wstring> entries = ListEntries(app.Control(kNames));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].rfind(L"5 Access", 0), 0u) << "entry 0 is " << testing::PrintToString(entries[0]);
  EXPECT_TRUE(entries[0].ends_with(L"is denied.")) << "entry 0 is " << testing::PrintToString(entries[0]);
  EXPECT_EQ(entries[1], L"6 The handle is invalid.");
  EXPECT_EQ(entries[2], L"8 Not enough memory.");
  EXPECT_EQ(Text(app.Control(kTotal)), L"3 Win error codes");
}

std::string NumberedLine(int n) { return std::to_string(n) + " Error number " + std::to_string(n) + "."; }

TEST_F(Catalogues, LongFileLoadsItsFirst32767LinesAndTheProgramStaysResponsive) {
  // Filling a list this long is the program's slowest work; wait for it longer than for anything else.
  constexpr DWORD kLoad = 60000;
  std::string bytes;
  for (int n = 1; n <= 40000; ++n) bytes += NumberedLine(n) + "\r\n";
  folder.Write(L"errmsg.orv", bytes);
  ASSERT_TRUE(app.Start(folder, kLoad));
  HWND names = app.Control(kNames);
  HWND total = app.Control(kTotal);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "at start" : "loaded again");
    EXPECT_EQ(Text(total), L"32767 Win error codes");
    EXPECT_EQ(ListCount(names), 32767);
    for (int index : {0, 1, 16383, 32765, 32766}) EXPECT_EQ(ListEntry(names, index), Widen(NumberedLine(index + 1)));
    if (round == 0) {
      Click(app.Control(kOleErrors));
      ASSERT_TRUE(WaitForText(total, L"2 OLE error codes", kLoad));
      Click(app.Control(kWinErrors));
      ASSERT_TRUE(WaitForText(total, L"32767 Win error codes", kLoad));
    }
  }
  EXPECT_TRUE(app.Responds());
}

}  // namespace
}  // namespace e2e
