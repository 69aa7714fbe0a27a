// The about window from outside: where everything stands, that there is only ever one of it, how
// it and the program end, and what its links and its System Info button start.
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

// Ids of the about window's controls.
enum AboutId : int {
  kLogo = 101,
  kTitle = 102,
  kVersion = 103,
  kWarningFrame = 104,
  kWarning = 105,
  kDescriptionFrame = 106,
  kDescription = 107,
  kJoin = 108,
  kOrvanta = 109,
  kCloseAbout = 110,
  kSystemInfo = 111,
  kIcon = 112,
};

constexpr wchar_t kHomePage[] = L"http://www.orvanta.example";
constexpr wchar_t kListPage[] = L"http://www.orvanta.example/Pages/ListBot.html";
constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";
constexpr wchar_t kToolKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kToolFolderKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr wchar_t kBrowserKey[] = L"Software\\Classes\\http\\shell\\open\\command";

// The paths and names here are ASCII.
std::string Ascii(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// ---- what the program starts

// A copy of the stand-in program at a path of the test's choosing, and the runs it noted.
class StandIn {
 public:
  explicit StandIn(std::wstring path) : path_(std::move(path)) {
    if (!CopyFileW(StandInPath().c_str(), path_.c_str(), FALSE))
      ADD_FAILURE() << "cannot copy the stand-in program to " << Ascii(path_) << " (error " << GetLastError() << ")";
  }

  const std::wstring& Path() const { return path_; }

  // The arguments of each run, one entry per run.
  std::vector<std::wstring> Runs() const {
    std::vector<std::wstring> runs;
    HANDLE file = CreateFileW(Log().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return runs;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    // Only whole lines: a run may be writing its own right now.
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
      runs.push_back(Widen(std::string_view(bytes).substr(start, end - start)));
    return runs;
  }

  bool WaitForRun() const {
    return WaitUntil([&] { return !Runs().empty(); });
  }

  void Forget() const {
    if (!DeleteFileW(Log().c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
      ADD_FAILURE() << "cannot remove " << Ascii(Log());
  }

 private:
  std::wstring Log() const { return path_ + L".log"; }
  std::wstring path_;
};

// One registry value, put back as it was at the end, or removed with any keys made for it.
class RegistryValue {
 public:
  RegistryValue(HKEY root, std::wstring key, std::wstring name)
      : root_(root), key_(std::move(key)), name_(std::move(name)) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExW(k, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      saved_.emplace(size);
      if (RegQueryValueExW(k, name_.c_str(), nullptr, &type_, saved_->data(), &size) == ERROR_SUCCESS) {
        saved_->resize(size);
      } else {
        ADD_FAILURE() << "cannot keep the value " << Ascii(name_) << " of " << Ascii(key_);
      }
    }
    RegCloseKey(k);
  }

  ~RegistryValue() {
    if (!made_.empty()) {
      if (RegDeleteTreeW(root_, made_.c_str()) != ERROR_SUCCESS) ADD_FAILURE() << "cannot remove " << Ascii(made_);
      return;
    }
    if (!saved_) {
      EXPECT_TRUE(Remove());
      return;
    }
    HKEY k = nullptr;
    LONG status = RegOpenKeyExW(root_, key_.c_str(), 0, KEY_SET_VALUE, &k);
    if (status == ERROR_SUCCESS) {
      status = RegSetValueExW(k, name_.c_str(), 0, type_, saved_->data(), static_cast<DWORD>(saved_->size()));
      RegCloseKey(k);
    }
    if (status != ERROR_SUCCESS) ADD_FAILURE() << "cannot put back the value " << Ascii(name_) << " of " << Ascii(key_);
  }

  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;

  // Stores exactly these bytes, as a program would with RegSetValueExA.
  testing::AssertionResult Set(DWORD type, std::string_view bytes) {
    HKEY k = nullptr;
    if (testing::AssertionResult made = Create(&k); !made) return made;
    // Wine takes in the byte after a string's data when that byte is a NUL: give it another.
    std::string buffer(bytes);
    buffer += 'x';
    LONG status = RegSetValueExA(k, Ascii(name_).c_str(), 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                                 static_cast<DWORD>(bytes.size()));
    DWORD storedType = 0, stored = 0;
    if (status == ERROR_SUCCESS) status = RegQueryValueExW(k, name_.c_str(), nullptr, &storedType, nullptr, &stored);
    RegCloseKey(k);
    if (status != ERROR_SUCCESS)
      return testing::AssertionFailure() << "cannot set " << Ascii(name_) << " of " << Ascii(key_) << " (error "
                                         << status << ")";
    // The registry keeps strings in UTF-16: two bytes for each one given.
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    const DWORD expected = static_cast<DWORD>(text ? 2 * bytes.size() : bytes.size());
    if (storedType != type || stored != expected)
      return testing::AssertionFailure() << Ascii(name_) << " holds " << stored << " bytes of type " << storedType
                                         << ", not " << expected << " of type " << type;
    return testing::AssertionSuccess();
  }

  testing::AssertionResult Remove() {
    HKEY k = nullptr;
    LONG status = RegOpenKeyExW(root_, key_.c_str(), 0, KEY_SET_VALUE, &k);
    if (status == ERROR_FILE_NOT_FOUND) return testing::AssertionSuccess();
    if (status == ERROR_SUCCESS) {
      status = RegDeleteValueW(k, name_.c_str());
      RegCloseKey(k);
    }
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
      return testing::AssertionFailure() << "cannot remove " << Ascii(name_) << " of " << Ascii(key_);
    return testing::AssertionSuccess();
  }

 private:
  testing::AssertionResult Create(HKEY* k) {
    // The outermost key that is missing is the one to remove at the end.
    if (made_.empty()) {
      for (std::size_t end = 0; end != std::wstring::npos;) {
        end = key_.find(L'\\', end + 1);
        const std::wstring part = key_.substr(0, end);
        HKEY probe = nullptr;
        if (RegOpenKeyExW(root_, part.c_str(), 0, KEY_QUERY_VALUE, &probe) != ERROR_SUCCESS) {
          made_ = part;
          break;
        }
        RegCloseKey(probe);
      }
    }
    if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, k, nullptr) !=
        ERROR_SUCCESS)
      return testing::AssertionFailure() << "cannot create " << Ascii(key_);
    return testing::AssertionSuccess();
  }

  HKEY root_;
  std::wstring key_, name_;
  DWORD type_ = 0;
  std::optional<std::vector<BYTE>> saved_;
  std::wstring made_;
};

// A string value as a program stores it, with its terminating NUL.
std::string WithNul(std::wstring_view text) { return Ascii(text) + '\0'; }

// The stand-in, made the system's web browser while this lives.
class Browser {
 public:
  explicit Browser(const Folder& folder) : program(folder.File(L"browser.exe")) {
    EXPECT_TRUE(command.Set(REG_SZ, WithNul(L"\"" + program.Path() + L"\" \"%1\"")));
  }
  StandIn program;

 private:
  RegistryValue command{HKEY_LOCAL_MACHINE, kBrowserKey, L""};
};

// ---- the window

std::vector<HWND> AboutWindows(const App& app) {
  std::vector<HWND> found;
  for (HWND w : app.VisibleWindows())
    if (w != app.Main() && ClassOf(w) == L"QuorvexForm") found.push_back(w);
  return found;
}

// The about window once it shows in front with the focus on one of its controls: only then has
// the click that opened it been handled to the end.
HWND WaitForAbout(const App& app) {
  HWND about = nullptr;
  WaitUntil([&] {
    const std::vector<HWND> found = AboutWindows(app);
    about = found.empty() ? nullptr : found.front();
    return about && GetForegroundWindow() == about && IsChild(about, app.Focus());
  });
  return about;
}

// Compared at twice the scale, so that an odd leftover pixel is allowed either way.
testing::AssertionResult CentredOnTheScreen(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  if (std::abs(2 * r.left + Width(r) - GetSystemMetrics(SM_CXSCREEN)) > 2 ||
      std::abs(2 * r.top + Height(r) - GetSystemMetrics(SM_CYSCREEN)) > 2)
    return testing::AssertionFailure() << "the window stands at " << r.left << "," << r.top << " with size "
                                       << Width(r) << "x" << Height(r);
  return testing::AssertionSuccess();
}

// True when a lies above b among the windows of the screen.
bool Above(HWND a, HWND b) {
  for (HWND w = GetWindow(b, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
    if (w == a) return true;
  return false;
}

class About : public AppTest {
 protected:
  // Starts the program and clicks About.
  void Open() {
    ASSERT_TRUE(app.Start(folder));
    Click(app.Control(kAbout));
    about = WaitForAbout(app);
    ASSERT_TRUE(about) << "no about window";
  }

  HWND Item(int id) const {
    HWND item = GetDlgItem(about, id);
    if (!item) ADD_FAILURE() << "the about window has no control with id " << id;
    return item;
  }

  HWND about = nullptr;
};

// The message of System Info: under the program's title, with OK only and no icon. Closes it.
void ExpectUnavailable(const App& app) {
  HWND box = app.WaitForMessageBox();
  ASSERT_TRUE(box) << "no message box";
  ExpectPlainBox(box, kUnavailable);
  PostClick(GetDlgItem(box, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(box); })) << "the box stays open";
}

// ---- tests

struct Placed {
  int id;
  const wchar_t* cls;
  LONG type;  // a button's BS_ type; -1 for any
  std::optional<std::wstring> text;
  int left, top, width, height;  // client pixels at 96 dpi; a width of 0 is not checked
};

TEST_F(About, ShowsItsTextsAndEveryControlAtItsPlaceAt96Dpi) {
  const std::vector<Placed> table{
      {kLogo, L"Static", -1, std::nullopt, 8, 8, 0, 0},
      {kTitle, L"Static", -1, L"Quorvex", 104, 16, 0, 0},
      {kVersion, L"Static", -1, L"Version 1.0.0", 104, 40, 0, 0},
      {kWarningFrame, L"Button", BS_GROUPBOX, std::nullopt, 8, 160, 273, 97},
      {kWarning, L"Static", -1, std::nullopt, 16, 176, 258, 79},
      {kDescriptionFrame, L"Button", BS_GROUPBOX, std::nullopt, 104, 56, 265, 73},
      {kDescription, L"Static", -1, std::nullopt, 112, 64, 253, 54},
      {kJoin, L"Button", BS_PUSHBUTTON, L"&Join the Orvanta mailing list", 104, 136, 153, 23},
      {kOrvanta, L"Button", BS_PUSHBUTTON, L"&Orvanta", 286, 136, 83, 23},
      {kCloseAbout, L"Button", BS_PUSHBUTTON, L"Clos&e", 286, 185, 83, 23},
      {kSystemInfo, L"Button", BS_PUSHBUTTON, L"&System Info", 286, 232, 83, 23},
      {kIcon, L"Static", -1, std::nullopt, 336, 16, 32, 32},
  };
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(Text(about), L"About Quorvex");
  const SIZE client = ClientSize(about);
  EXPECT_EQ(client.cx, 382);
  EXPECT_EQ(client.cy, 266);

  for (const Placed& row : table) {
    SCOPED_TRACE(testing::Message() << "control " << row.id);
    HWND control = Item(row.id);
    if (!control) continue;
    EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), row.cls), 0) << "class " << Ascii(ClassOf(control));
    if (row.type >= 0) {
      LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
      // The dialog manager makes the focused push button the default one.
      if (type == BS_DEFPUSHBUTTON) type = BS_PUSHBUTTON;
      EXPECT_EQ(type, row.type);
    }
    if (row.text) {
      EXPECT_EQ(Text(control), *row.text);
    }
    const RECT place = PlaceInParent(control);
    EXPECT_EQ(place.left, row.left);
    EXPECT_EQ(place.top, row.top);
    if (row.width) {
      EXPECT_EQ(Width(place), row.width);
      EXPECT_EQ(Height(place), row.height);
    }
  }

  EXPECT_EQ(Text(Item(kWarning)).rfind(L"Warning:  ", 0), 0u) << Ascii(Text(Item(kWarning)));
  EXPECT_FALSE(Text(Item(kDescription)).empty());
  EXPECT_TRUE(IconOf(Item(kIcon))) << "the icon is missing";
  // The logo sizes itself to its picture, inside a sunken border of 2 pixels.
  HWND logo = Item(kLogo);
  EXPECT_TRUE(GetWindowLongW(logo, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  if ((GetWindowLongW(logo, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
    const RECT place = PlaceInParent(logo);
    EXPECT_EQ(Width(place), 71);
    EXPECT_EQ(Height(place), 147);
  }
}

TEST_F(About, PicturesAreDrawnAtTheScreensScale) {
  const COLORREF window = RGB(192, 188, 192), navy = RGB(0, 0, 128);
  for (const int dpi : {96, 120, 144, 168, 192}) {
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    auto scaled = [dpi](LONG v) { return MulDiv(v, dpi, 96); };
    ScreenDpi screen(static_cast<DWORD>(dpi));
    App run;
    ASSERT_TRUE(run.Start(folder));
    Click(run.Control(kAbout));
    about = WaitForAbout(run);
    ASSERT_TRUE(about) << "no about window";
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    const ClientPixels shot(about);
    ASSERT_FALSE(shot.pixels.empty());

    // The logo fills its box inside the border, framed in navy to the last pixel: no band.
    const RECT logo = ClientPlace(Item(kLogo));
    EXPECT_LE(std::abs(logo.left - scaled(8) - 2), 1);
    EXPECT_LE(std::abs(Width(logo) - scaled(67)), 1) << Width(logo);
    EXPECT_LE(std::abs(Height(logo) - scaled(143)), 1) << Height(logo);
    for (POINT p : {POINT{logo.left, logo.top}, POINT{logo.right - 1, logo.bottom - 1}}) EXPECT_EQ(shot.At(p.x, p.y), navy);

    // The icon picture is the disc, 30 of its 32 pixels wide at 96 dpi, in a control of its size.
    const RECT icon = PlaceInParent(Item(kIcon));
    EXPECT_LE(std::abs(icon.left - scaled(336)), 1);
    EXPECT_LE(std::abs(Width(icon) - scaled(32)), 1) << Width(icon);
    EXPECT_LE(std::abs(Height(icon) - scaled(32)), 1) << Height(icon);
    const RECT disc = shot.InkBox({icon.left - 4, icon.top - 4, icon.right + 4, icon.bottom + 4}, window);
    EXPECT_LE(std::abs(disc.left - icon.left - scaled(1)), 1) << disc.left;
    EXPECT_LE(std::abs(disc.right - icon.left - scaled(31)), 1) << disc.right;
    EXPECT_LE(std::abs(disc.bottom - icon.top - scaled(31)), 1) << disc.bottom;

  }
}

TEST_F(About, IsAFixedDialogCentredOnTheScreenWithoutATaskbarButton) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_TRUE(CentredOnTheScreen(about));
  const LONG style = GetWindowLongW(about, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(about, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << std::hex << style;
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME) << std::hex << exStyle;
  // Owned by a hidden window of the program: no taskbar button, and not tied to the main window.
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  HWND owner = GetWindow(about, GW_OWNER);
  EXPECT_TRUE(owner);
  EXPECT_NE(owner, app.Main());
  EXPECT_FALSE(IsWindowVisible(owner));
  DWORD ownerProcess = 0;
  GetWindowThreadProcessId(owner, &ownerProcess);
  EXPECT_EQ(ownerProcess, app.ProcessId());
}

TEST_F(About, StaysOneWindowThatLoadsAgainOnlyAfterItCloses) {
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_TRUE(CentredOnTheScreen(about));

  // Moved aside, partly behind the main window's top left corner on a screen of any size (moved
  // clear of it, it stays above the main window under Wine even when that is activated): About
  // brings the same window back to the front as it is.
  // Moved only once it has held still on the screen: moved at once, it was seen back at the
  // centre in one full run.
  ASSERT_FALSE(SettledPixels(about).empty());
  RECT mainPlace{}, aboutPlace{};
  GetWindowRect(app.Main(), &mainPlace);
  GetWindowRect(about, &aboutPlace);
  const POINT aside{mainPlace.left + 160 - Width(aboutPlace), mainPlace.top + 100 - Height(aboutPlace)};
  ASSERT_TRUE(SetWindowPos(about, nullptr, aside.x, aside.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  auto place = [&] {
    RECT r{};
    GetWindowRect(about, &r);
    return POINT{r.left, r.top};
  };
  ASSERT_TRUE(WaitUntil([&] { return place().x == aside.x && place().y == aside.y; })) << "it was not moved";
  ASSERT_TRUE(app.PlaceFocus(app.Control(kInput)));
  ASSERT_EQ(GetForegroundWindow(), app.Main());
  ASSERT_TRUE(WaitUntil([&] { return Above(app.Main(), about); })) << "the main window did not come to the front";
  Click(app.Control(kAbout));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; })) << "the about window is not in front";
  EXPECT_TRUE(WaitUntil([&] { return Above(about, app.Main()); })) << "the about window lies under the main window";
  EXPECT_EQ(AboutWindows(app), std::vector<HWND>{about});
  EXPECT_EQ(place().x, aside.x);
  EXPECT_EQ(place().y, aside.y);
  EXPECT_EQ(Text(about), L"About Quorvex");

  Click(Item(kCloseAbout));
  ASSERT_TRUE(WaitUntil([&] { return AboutWindows(app).empty(); })) << "the about window stays";
  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(IsWindowVisible(app.Main()));

  Click(app.Control(kAbout));
  about = WaitForAbout(app);
  ASSERT_TRUE(about) << "no about window the second time";
  EXPECT_TRUE(CentredOnTheScreen(about));
  EXPECT_EQ(AboutWindows(app).size(), 1u);
  EXPECT_EQ(Text(about), L"About Quorvex");
  EXPECT_EQ(Text(Item(kVersion)), L"Version 1.0.0");
}

TEST_F(About, CloseOfTheMainWindowEndsTheProgramWithBothWindows) {
  ASSERT_NO_FATAL_FAILURE(Open());
  // Posted: the about window may lie over the button.
  PostClick(app.Control(kClose));
  EXPECT_TRUE(app.WaitForCleanExit());
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about) && !IsWindowVisible(app.Main()); }));
}

TEST_F(About, TitleBarCloseOfTheMainWindowLeavesTheAboutWindowUntilItCloses) {
  struct Way {
    const char* name;
    std::function<void(HWND about)> close;
  };
  const std::vector<Way> ways{
      {"its Close button", [](HWND about) { Click(GetDlgItem(about, kCloseAbout)); }},
      {"its title bar", [](HWND about) { ASSERT_TRUE(PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0)); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    App run;
    ASSERT_TRUE(run.Start(folder));
    Click(run.Control(kAbout));
    HWND window = WaitForAbout(run);
    ASSERT_TRUE(window) << "no about window";

    ASSERT_TRUE(PostMessageW(run.Main(), WM_SYSCOMMAND, SC_CLOSE, 0));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(run.Main()); })) << "the main window stays";
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(IsWindowVisible(window));
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWait, &ignored))
        << "the about window does not answer";

    way.close(window);
    EXPECT_TRUE(run.WaitForCleanExit());
  }
}

TEST_F(About, EachLinkOpensItsAddressInTheBrowser) {
  Browser browser(folder);
  ASSERT_NO_FATAL_FAILURE(Open());
  struct Link {
    int id;
    const wchar_t* address;
  };
  // The icon goes through the command interpreter's "start": last, as a console may show meanwhile.
  const std::vector<Link> links{
      {kJoin, kListPage},
      {kOrvanta, kHomePage},
      {kLogo, kHomePage},
      {kIcon, kHomePage},
  };
  for (const Link& link : links) {
    SCOPED_TRACE(testing::Message() << "control " << link.id);
    browser.program.Forget();
    Click(Item(link.id));
    ASSERT_TRUE(browser.program.WaitForRun()) << "no browser started";
    EXPECT_EQ(browser.program.Runs(), std::vector<std::wstring>{link.address});
    EXPECT_EQ(AboutWindows(app), std::vector<HWND>{about});
  }
  EXPECT_TRUE(app.Responds());
}

TEST_F(About, SystemInfoStartsTheToolTheRegistryNamesOrSaysItIsUnavailable) {
  // The tool's path holds a space; a program named by its first word must never run instead.
  ASSERT_TRUE(CreateDirectoryW(folder.File(L"Shared Tools").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(folder.File(L"tools").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(folder.File(L"empty").c_str(), nullptr));
  const StandIn tool(folder.File(L"Shared Tools\\msinfo32.exe"));
  const StandIn decoy(folder.File(L"Shared.exe"));
  const StandIn located(folder.File(L"tools\\MSINFO32.EXE"));
  const std::vector<const StandIn*> everyProgram{&tool, &decoy, &located};
  RegistryValue path(HKEY_LOCAL_MACHINE, kToolKey, L"PATH");
  RegistryValue location(HKEY_LOCAL_MACHINE, kToolFolderKey, L"MSINFO");

  using Arrange = std::function<testing::AssertionResult()>;
  auto toolAt = [&](DWORD type, std::string bytes) -> Arrange {
    return [&, type, bytes] {
      testing::AssertionResult set = path.Set(type, bytes);
      return set ? location.Remove() : set;
    };
  };
  auto folderAt = [&](std::string bytes) -> Arrange {
    return [&, bytes] {
      testing::AssertionResult removed = path.Remove();
      return removed ? location.Set(REG_SZ, bytes) : removed;
    };
  };
  struct Case {
    const char* name;
    Arrange arrange;
    const StandIn* started;  // null: the message shows instead
  };
  const std::string toolPath = Ascii(tool.Path());
  std::vector<Case> cases{
      {"PATH stored with its NUL", toolAt(REG_SZ, toolPath + '\0'), &tool},
      {"PATH stored without a NUL", toolAt(REG_SZ, toolPath), &tool},
      {"PATH of a missing program", toolAt(REG_SZ, WithNul(folder.File(L"missing.exe"))), nullptr},
      {"PATH of type REG_EXPAND_SZ", toolAt(REG_EXPAND_SZ, toolPath + '\0'), nullptr},
      {"a folder that holds the tool", folderAt(WithNul(folder.File(L"tools"))), &located},
      {"a folder stored without a NUL", folderAt(Ascii(folder.File(L"tools"))), &located},
      {"a folder without the tool", folderAt(WithNul(folder.File(L"empty"))), nullptr},
      {"neither value",
       [&] {
         testing::AssertionResult removed = path.Remove();
         return removed ? location.Remove() : removed;
       },
       nullptr},
  };

  // Values that lead to no program: every other type, and sizes around the 1,024-byte buffer.
  static const char* const kTypes[] = {"type 0", "type 3", "type 4", "type 5", "type 6", "type 7",
                                       "type 8", "type 9", "type 10", "type 11"};
  const DWORD types[] = {0, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  for (std::size_t i = 0; i < std::size(types); ++i)
    cases.push_back({kTypes[i], toolAt(types[i], toolPath + '\0'), nullptr});
  cases.push_back({"PATH of 0 bytes", toolAt(REG_SZ, ""), nullptr});
  cases.push_back({"PATH of 1 byte", toolAt(REG_SZ, "x"), nullptr});
  cases.push_back({"PATH of 1023 bytes", toolAt(REG_SZ, std::string(1022, 'q') + '\0'), nullptr});
  cases.push_back({"PATH of 1024 bytes", toolAt(REG_SZ, std::string(1024, 'q')), nullptr});
  cases.push_back({"PATH of 1025 bytes", toolAt(REG_SZ, std::string(1025, 'q')), nullptr});

  ASSERT_NO_FATAL_FAILURE(Open());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const StandIn* program : everyProgram) program->Forget();
    ASSERT_TRUE(c.arrange());
    Click(Item(kSystemInfo));
    if (c.started) {
      ASSERT_TRUE(c.started->WaitForRun()) << "the tool did not start";
      // Started with no arguments: its path alone, as one program.
      EXPECT_EQ(c.started->Runs(), std::vector<std::wstring>{L""});
      EXPECT_FALSE(app.WaitForMessageBox(0)) << "a message shows too";
    } else {
      ASSERT_NO_FATAL_FAILURE(ExpectUnavailable(app));
    }
    for (const StandIn* program : everyProgram) {
      if (program != c.started) {
        EXPECT_EQ(program->Runs().size(), 0u) << Ascii(program->Path()) << " ran";
      }
    }
  }
  EXPECT_TRUE(app.Responds());
}

TEST_F(About, AccessKeysPressTheirButtons) {
  Browser browser(folder);
  const StandIn tool(folder.File(L"msinfo32.exe"));
  RegistryValue path(HKEY_LOCAL_MACHINE, kToolKey, L"PATH");
  ASSERT_TRUE(path.Set(REG_SZ, WithNul(tool.Path())));
  ASSERT_NO_FATAL_FAILURE(Open());

  struct Key {
    WORD letter;
    int focusOn;  // another button, so that the key is what presses
    const StandIn* started;
    const wchar_t* arguments;
  };
  const std::vector<Key> keys{
      {'J', kSystemInfo, &browser.program, kListPage},
      {'O', kSystemInfo, &browser.program, kHomePage},
      {'S', kJoin, &tool, L""},
  };
  for (const Key& key : keys) {
    SCOPED_TRACE(testing::Message() << "Alt+" << static_cast<char>(key.letter));
    browser.program.Forget();
    tool.Forget();
    ASSERT_TRUE(app.PlaceFocus(Item(key.focusOn)));
    Press({VK_MENU, key.letter});
    ASSERT_TRUE(key.started->WaitForRun()) << "nothing started";
    EXPECT_EQ(key.started->Runs(), std::vector<std::wstring>{key.arguments});
    const StandIn& other = key.started == &tool ? browser.program : tool;
    EXPECT_EQ(other.Runs().size(), 0u) << Ascii(other.Path()) << " ran too";
  }

  ASSERT_TRUE(app.PlaceFocus(Item(kJoin)));
  Press({VK_MENU, 'E'});
  EXPECT_TRUE(WaitUntil([&] { return AboutWindows(app).empty(); })) << "Alt+E leaves the about window";
  EXPECT_TRUE(app.Running());
}

TEST_F(About, TabVisitsTheFourButtonsInOrder) {
  ASSERT_NO_FATAL_FAILURE(Open());
  struct Way {
    bool back;  // Shift+Tab
    std::vector<int> visited;
  };
  const std::vector<Way> ways{
      {false, {kOrvanta, kCloseAbout, kSystemInfo, kJoin}},
      {true, {kSystemInfo, kCloseAbout, kOrvanta, kJoin}},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.back ? "Shift+Tab" : "Tab");
    ASSERT_TRUE(app.PlaceFocus(Item(kJoin)));
    std::vector<int> visited;
    for (std::size_t i = 0; i < way.visited.size(); ++i) {
      HWND before = app.Focus();
      if (way.back) {
        Press({VK_SHIFT, VK_TAB});
      } else {
        Press({VK_TAB});
      }
      WaitUntil([&] { return app.Focus() != before; });
      visited.push_back(GetDlgCtrlID(app.Focus()));
    }
    EXPECT_EQ(visited, way.visited);
  }
}

TEST_F(About, EscClosesNothing) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(app.PlaceFocus(Item(kCloseAbout)));
  Press({VK_ESCAPE});
  // Tab lands after Esc: once the focus has moved, Esc has been handled.
  Press({VK_TAB});
  ASSERT_TRUE(WaitUntil([&] { return app.Focus() == Item(kSystemInfo); }));
  EXPECT_EQ(AboutWindows(app), std::vector<HWND>{about});
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  EXPECT_FALSE(app.WaitForMessageBox(0));
}

TEST_F(About, HandPointerOverTheLinksOnly) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ASSERT_TRUE(app.PlaceFocus(Item(kJoin)));
  // The pointer the program sets over the control. A key sent while the pointer already stands on
  // the control lands after the move's messages: once the key has moved the focus, the move has been
  // handled too. Wine may replay an earlier move that X reports late, which puts the pointer back on
  // the control before for a moment: then the reading is taken again.
  auto pointerOver = [&](int id) {
    RECT place{};
    GetWindowRect(Item(id), &place);
    auto onIt = [&] {
      POINT at{};
      return GetCursorPos(&at) && PtInRect(&place, at);
    };
    Hover(Item(id));
    HCURSOR seen = nullptr;
    WaitUntil([&] {
      if (!onIt()) return false;
      HWND before = app.Focus();
      Press({VK_TAB});
      WaitUntil([&] { return app.Focus() != before; });
      CURSORINFO info{};
      info.cbSize = sizeof info;
      GetCursorInfo(&info);
      seen = info.hCursor;
      return onIt();
    });
    return seen;
  };
  const HCURSOR hand = pointerOver(kJoin);
  const HCURSOR arrow = pointerOver(kCloseAbout);
  ASSERT_TRUE(hand);
  ASSERT_TRUE(arrow);
  EXPECT_NE(hand, arrow);
  EXPECT_EQ(pointerOver(kOrvanta), hand);
  EXPECT_EQ(pointerOver(kLogo), hand);
  EXPECT_EQ(pointerOver(kIcon), hand);
  EXPECT_EQ(pointerOver(kSystemInfo), arrow);
  EXPECT_EQ(pointerOver(kWarning), arrow);
}

}  // namespace
}  // namespace e2e
