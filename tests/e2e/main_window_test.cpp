// The main window from outside: how it starts, where everything stands, what the keyboard and
// mouse do to it, and the ways it ends.
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

using MainWindow = AppTest;

TEST_F(MainWindow, StartsWithTheWin32CatalogueAndTheFocusInTheInputBox) {
  ASSERT_TRUE(app.Start(folder));
  EXPECT_EQ(Text(app.Main()), L"Quorvex");
  EXPECT_TRUE(Checked(app.Control(kWinErrors)));
  EXPECT_FALSE(Checked(app.Control(kOleErrors)));

  HWND names = app.Control(kNames);
  EXPECT_TRUE(IsWindowVisible(names));
  EXPECT_EQ(ListEntries(names), Entries(kWin32Lines));
  EXPECT_EQ(ListSelection(names), LB_ERR);
  EXPECT_FALSE(IsWindowVisible(app.Control(kResults)));

  HWND input = app.Control(kInput);
  EXPECT_EQ(Text(input), L"");
  EXPECT_TRUE(WaitUntil([&] { return app.Focus() == input; })) << "focus on " << app.Focus();

  EXPECT_EQ(Text(app.Control(kTotal)), L"3 Win error codes");
  EXPECT_FALSE(IsWindowVisible(app.Control(kCount)));
}

TEST_F(MainWindow, IsCentredOnTheScreenAndCanBeMinimisedButNotMaximised) {
  ASSERT_TRUE(app.Start(folder));
  RECT outer{};
  ASSERT_TRUE(GetWindowRect(app.Main(), &outer));
  // Compared at twice the scale, so that an odd leftover pixel is allowed either way.
  EXPECT_LE(std::abs(2 * outer.left + Width(outer) - GetSystemMetrics(SM_CXSCREEN)), 2)
      << "left " << outer.left << ", width " << Width(outer);
  EXPECT_LE(std::abs(2 * outer.top + Height(outer) - GetSystemMetrics(SM_CYSCREEN)), 2)
      << "top " << outer.top << ", height " << Height(outer);

  const LONG style = GetWindowLongW(app.Main(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
}

// The width of a label's text as the window draws it: MS Sans Serif, 8.25 points, at 96 dpi.
int TextWidth(const std::wstring& text, bool bold) {
  HFONT font = CreateFontW(-MulDiv(825, 96, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH, L"MS Sans Serif");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return size.cx;
}

enum class Kind { Radio, Push, Edit, List, Label, Picture };

struct Placed {
  int id;
  Kind kind;
  std::optional<std::wstring> text;
  int left, top, width, height;  // client pixels at 96 dpi; a label's width is that of its text
};

TEST_F(MainWindow, EveryControlStandsAtItsPlaceAt96Dpi) {
  const std::vector<Placed> table{
      {kOleErrors, Kind::Radio, L"OLE Errors", 432, 208, 81, 17},
      {kWinErrors, Kind::Radio, L"Win Errors", 344, 208, 81, 17},
      {kAbout, Kind::Push, L"&About", 430, 240, 81, 25},
      {kClose, Kind::Push, L"&Close", 430, 280, 81, 25},
      {kInput, Kind::Edit, L"", 184, 272, 121, 19},
      {kNames, Kind::List, std::nullopt, 12, 48, 499, 134},
      {kResults, Kind::List, std::nullopt, 12, 48, 499, 134},
      {kDescriptionLabel, Kind::Label, L"Description", 112, 32, 0, 13},
      {kCodeLabel, Kind::Label, L"Code", 16, 32, 0, 13},
      {kHelp, Kind::Picture, std::nullopt, 368, 240, 32, 32},
      {kPicture, Kind::Picture, std::nullopt, 12, 200, 318, 106},
      {kCount, Kind::Label, L"3", 360, 328, 38, 13},
  };
  ASSERT_TRUE(app.Start(folder));
  const SIZE client = ClientSize(app.Main());
  EXPECT_EQ(client.cx, 523);
  EXPECT_EQ(client.cy, 314);

  for (const Placed& row : table) {
    SCOPED_TRACE(testing::Message() << "control " << row.id);
    HWND control = app.Control(row.id);
    if (!control) continue;
    const std::wstring cls = ClassOf(control);
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    switch (row.kind) {
      case Kind::Radio:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Button"), 0);
        EXPECT_TRUE(type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) << "button type " << type;
        break;
      case Kind::Push:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Button"), 0);
        EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << "button type " << type;
        break;
      case Kind::Edit:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Edit"), 0);
        break;
      case Kind::List:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"ListBox"), 0);
        break;
      case Kind::Label:
      case Kind::Picture:
        EXPECT_EQ(_wcsicmp(cls.c_str(), L"Static"), 0);
        break;
    }
    if (row.text) {
      EXPECT_EQ(Text(control), *row.text);
    }

    const RECT place = PlaceInParent(control);
    EXPECT_EQ(place.left, row.left);
    EXPECT_EQ(place.top, row.top);
    if (row.kind == Kind::List) {
      EXPECT_LE(Height(place), row.height) << "cut down to whole entries (ListsShowWholeEntriesAtEveryScale)";
    } else {
      EXPECT_EQ(Height(place), row.height);
    }
    if (row.width) {
      EXPECT_EQ(Width(place), row.width);
    } else {
      EXPECT_EQ(Width(place), TextWidth(*row.text, false));
    }
  }

  // The total keeps its centre whatever the length of its text.
  HWND total = app.Control(kTotal);
  const RECT place = PlaceInParent(total);
  EXPECT_EQ(Width(place), TextWidth(L"3 Win error codes", true));
  EXPECT_LE(std::abs(2 * place.left + Width(place) - 523), 2) << "left " << place.left << ", width " << Width(place);
  EXPECT_EQ(place.top, 5);
  EXPECT_EQ(Height(place), 13);
}

TEST_F(MainWindow, ScrollExtentAndSizeFollowTheScreenResolution) {
  struct Row {
    DWORD dpi;
    int extent;
    SIZE client;
  };
  // 748.5 pixels at 144 dpi: 1871.25; 998 at 192: 2495, on a screen that holds the window.
  for (const Row& row : {Row{96, 1248, {523, 314}}, Row{120, 1559, {654, 393}}, Row{144, 1871, {785, 471}},
                         Row{192, 2495, {1046, 628}}}) {
    SCOPED_TRACE(testing::Message() << row.dpi << " dpi");
    ScreenDpi dpi(row.dpi);
    App run;
    ASSERT_TRUE(run.Start(folder));
    EXPECT_EQ(HorizontalExtent(run.Control(kNames)), row.extent);
    EXPECT_EQ(HorizontalExtent(run.Control(kResults)), row.extent);
    const SIZE client = ClientSize(run.Main());
    EXPECT_EQ(client.cx, row.client.cx);
    EXPECT_EQ(client.cy, row.client.cy);
  }
}

TEST_F(MainWindow, InputBoxRefusesThe21stCharacterTypedOrPasted) {
  const std::wstring digits = L"1234567890123456789012345";
  const std::wstring letters = L"ABCDEFGHIJKLMNOPQRSTUVWXY";
  ASSERT_TRUE(app.Start(folder));
  HWND input = app.Control(kInput);

  ASSERT_TRUE(app.PlaceFocus(input));
  Type(digits);
  // Home lands after every typed key has been handled.
  Press({VK_HOME});
  EXPECT_TRUE(WaitUntil([&] { return !Text(input).empty() && Selection(input) == std::make_pair(0, 0); }));
  EXPECT_EQ(Text(input), digits.substr(0, 20));

  // Into an empty box again.
  Press({VK_END});
  Press({VK_SHIFT, VK_HOME});
  Press({VK_DELETE});
  ASSERT_TRUE(WaitForText(input, L""));
  ASSERT_TRUE(SetClipboardText(letters));
  Press({VK_CONTROL, 'V'});
  EXPECT_TRUE(WaitUntil([&] { return !Text(input).empty(); }));
  EXPECT_EQ(Text(input), letters.substr(0, 20));
}

TEST_F(MainWindow, HelpPictureShowsAModalMessageBox) {
  ASSERT_TRUE(app.Start(folder));
  Click(app.Control(kHelp));
  HWND box = app.WaitForMessageBox();
  ASSERT_TRUE(box) << "no message box";

  ExpectPlainBox(box, L"Enter the error code number of scroll down the available list.");
  EXPECT_FALSE(IsWindowEnabled(app.Main()));

  PostClick(GetDlgItem(box, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(box); })) << "the box stays open";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.Main()) != FALSE; })) << "the window stays disabled";
  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(app.Responds());
}

TEST_F(MainWindow, TabVisitsTheControlsInOrderAndTheOptionsAsOneStop) {
  ASSERT_TRUE(app.Start(folder));
  ASSERT_TRUE(app.PlaceFocus(app.Control(kInput)));
  std::vector<int> visited;
  for (int i = 0; i < 5; ++i) {
    HWND before = app.Focus();
    Press({VK_TAB});
    WaitUntil([&] { return app.Focus() != before; });
    visited.push_back(GetDlgCtrlID(app.Focus()));
  }
  EXPECT_EQ(visited, (std::vector<int>{kNames, kClose, kAbout, kWinErrors, kInput}));
  // Passing through the options chooses none of them.
  EXPECT_TRUE(Checked(app.Control(kWinErrors)));
  EXPECT_EQ(Text(app.Control(kTotal)), L"3 Win error codes");
}

// Each list shows whole entries only, at every scale: it keeps its laid-out place and width, and
// its height shrinks to the most whole entries that fit the laid-out height with its border and its
// horizontal scroll bar.
TEST_F(MainWindow, ListsShowWholeEntriesAtEveryScale) {
  // Where both lists are laid out, in twips.
  constexpr int kLeft = 180, kTop = 720, kWidth = 7485, kHeight = 2010;
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    ScreenDpi screen(static_cast<DWORD>(dpi));
    App run;
    ASSERT_TRUE(run.Start(folder));
    // The results in view too, as a search shows them.
    ASSERT_TRUE(run.PlaceFocus(run.Control(kInput)));
    Type(L"5");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(run.Control(kResults)) != FALSE; }));
    for (const int id : {kNames, kResults}) {
      SCOPED_TRACE(testing::Message() << "list " << id);
      HWND list = run.Control(id);
      const int entry = ItemHeight(list), client = ClientSize(list).cy;
      const RECT place = PlaceInParent(list);
      ASSERT_GT(entry, 0);
      EXPECT_EQ(client % entry, 0) << client << " pixels for entries of " << entry;
      EXPECT_GE(client / entry, 1);
      EXPECT_EQ(place.left, MulDiv(kLeft, dpi, 1440));
      EXPECT_EQ(place.top, MulDiv(kTop, dpi, 1440));
      EXPECT_EQ(Width(place), MulDiv(kWidth, dpi, 1440));
      const int laidOut = MulDiv(kHeight, dpi, 1440);
      EXPECT_LE(Height(place), laidOut);
      EXPECT_GT(Height(place) + entry, laidOut) << "room for one more entry";
    }
  }
}

// Everything Enter or Esc could change, and whether the program still runs.
std::vector<std::wstring> Snapshot(const App& app) {
  std::vector<std::wstring> state{
      L"running " + std::to_wstring(app.Running()),
      L"input " + Text(app.Control(kInput)),
      L"total " + Text(app.Control(kTotal)),
      L"win " + std::to_wstring(Checked(app.Control(kWinErrors))),
      L"ole " + std::to_wstring(Checked(app.Control(kOleErrors))),
      L"names " + std::to_wstring(IsWindowVisible(app.Control(kNames))) + L" " +
          std::to_wstring(ListCount(app.Control(kNames))),
      L"results " + std::to_wstring(IsWindowVisible(app.Control(kResults))) + L" " +
          std::to_wstring(ListCount(app.Control(kResults))),
      L"focus " + std::to_wstring(GetDlgCtrlID(app.Focus())),
  };
  for (HWND w : app.VisibleWindows())
    if (ClassOf(w) != L"tooltips_class32") state.push_back(L"window " + ClassOf(w) + L" " + Text(w));
  return state;
}

TEST_F(MainWindow, EnterAndEscInTheInputBoxPressNoButton) {
  ASSERT_TRUE(app.Start(folder));
  HWND input = app.Control(kInput);
  ASSERT_TRUE(app.PlaceFocus(input));
  Type(L"12");
  ASSERT_TRUE(WaitForText(input, L"12"));
  const std::vector<std::wstring> before = Snapshot(app);

  Press({VK_RETURN});
  Press({VK_ESCAPE});
  // Home lands after both: then the caret stands at the start.
  Press({VK_HOME});
  ASSERT_TRUE(WaitUntil([&] { return !app.Running() || Selection(input) == std::make_pair(0, 0); }));
  EXPECT_EQ(Snapshot(app), before);
}

// Rests the pointer on the control until the program's tip shows the expected text; the failure
// tells the last tip seen. (The tip of the control before may still show for a moment.)
testing::AssertionResult ShowsTip(App& app, HWND control, const std::wstring& expected) {
  Hover(control);
  std::wstring seen;
  const bool shown = WaitUntil([&] {
    for (HWND w : app.VisibleWindows())
      if (_wcsicmp(ClassOf(w).c_str(), L"tooltips_class32") == 0 && (seen = Text(w)) == expected) return true;
    return false;
  });
  if (shown) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the tip shown was \"" << std::string(seen.begin(), seen.end()) << "\"";
}

TEST_F(MainWindow, PointingAtAControlShowsItsTip) {
  const std::vector<std::pair<int, std::wstring>> tips{
      {kInput, L"Enter the error code"}, {kNames, L"List of all error codes"}, {kClose, L"Close me"},
      {kAbout, L"About Quorvex"},        {kHelp, L"Help me"},
  };
  ASSERT_TRUE(app.Start(folder));
  for (const auto& [id, text] : tips) {
    SCOPED_TRACE(testing::Message() << "control " << id);
    EXPECT_TRUE(ShowsTip(app, app.Control(id), text));
  }
  // The results' own tip, once they show.
  ASSERT_TRUE(app.PlaceFocus(app.Control(kInput)));
  Type(L"5");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Control(kResults)); }));
  EXPECT_TRUE(ShowsTip(app, app.Control(kResults), L"Displays search Results"));
}

TEST_F(MainWindow, AltAShowsTheAboutWindowAndAListEntryOnlySelects) {
  ASSERT_TRUE(app.Start(folder));
  HWND names = app.Control(kNames);
  ClickAt(names, {20, 5});  // the first entry
  ASSERT_TRUE(WaitUntil([&] { return ListSelection(names) == 0; }));
  ClickAt(names, {20, 5});
  ClickAt(names, {20, 5});  // a double click
  EXPECT_TRUE(app.Responds());
  EXPECT_EQ(app.VisibleWindows(), std::vector<HWND>{app.Main()}) << "nothing opens";
  EXPECT_EQ(ListEntries(names), Entries(kWin32Lines));
  EXPECT_FALSE(IsWindowVisible(app.Control(kResults)));

  ASSERT_TRUE(app.PlaceFocus(app.Control(kInput)));
  Press({VK_MENU, 'A'});
  ASSERT_TRUE(WaitUntil([&] { return app.VisibleWindows().size() == 2; }));
  EXPECT_EQ(Text(app.VisibleWindows()[1]), L"About Quorvex");
}

TEST_F(MainWindow, EndsByAltCTheCloseButtonOrTheTitleBar) {
  struct Way {
    const char* name;
    std::function<void(App&)> act;
  };
  const std::vector<Way> ways{
      {"Alt+C",
       [](App& app) {
         ASSERT_TRUE(app.PlaceFocus(app.Control(kInput)));
         Press({VK_MENU, 'C'});
       }},
      {"a click on Close", [](App& app) { Click(app.Control(kClose)); }},
      {"the title bar's close",
       [](App& app) { ASSERT_TRUE(PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0)); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    App run;
    ASSERT_TRUE(run.Start(folder));
    way.act(run);
    EXPECT_TRUE(run.WaitForCleanExit());
  }
}

}  // namespace
}  // namespace e2e
