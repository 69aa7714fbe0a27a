// Drives Quorvex.exe from outside: a copy of the program in a folder of its own with the
// catalogues a test wants, its windows read through messages, and input sent as a person's
// keyboard and mouse would send it. Nothing here waits without a limit.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

// Limit of every wait for the program; it is only reached when something is wrong.
constexpr DWORD kWait = 10000;

// Ids of the main window's controls.
enum ControlId : int {
  kOleErrors = 101,
  kWinErrors = 102,
  kAbout = 103,
  kClose = 104,
  kInput = 105,
  kNames = 106,
  kResults = 107,
  kDescriptionLabel = 108,
  kCodeLabel = 109,
  kTotal = 110,
  kHelp = 111,
  kPicture = 112,
  kCount = 113,
};

// A new, empty folder under the temporary folder, removed with everything in it at the end.
class Folder {
 public:
  Folder();
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }
  // Writes the bytes exactly as given: line ends are the caller's.
  void Write(std::wstring_view name, std::string_view bytes) const;
  void Remove(std::wstring_view name) const;

 private:
  std::wstring path_;
};

// Gives programs started while it lives this screen resolution, and 96 dpi again afterwards.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi);
  ~ScreenDpi();
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;
};

// One run of the program. Ended, if it still runs, when the object goes.
class App {
 public:
  App() = default;
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Copies Quorvex.exe into the folder, starts it there (from another current folder) and waits
  // until its main window shows and it waits for input.
  testing::AssertionResult Start(const Folder& folder, DWORD timeout = kWait);

  HWND Main() const { return main_; }
  // The main window's control with this id; a test failure when there is none.
  HWND Control(int id) const;
  DWORD ProcessId() const { return process_.dwProcessId; }
  bool Running() const;
  // Waits for the process to end by itself and checks that it ended cleanly.
  testing::AssertionResult WaitForCleanExit(DWORD timeout = kWait) const;
  // The control that has the keyboard focus in the program, or null.
  HWND Focus() const;
  // The program's visible top-level windows, the main window first.
  std::vector<HWND> VisibleWindows() const;
  // The program's visible message box, once it shows; null when none shows in time.
  HWND WaitForMessageBox(DWORD timeout = kWait) const;
  // True when the program answers a message within the limit.
  bool Responds(DWORD timeout = kWait) const;
  // Puts the keyboard focus on the control of any of the program's windows, as a click on it would.
  testing::AssertionResult PlaceFocus(HWND control) const;

 private:
  void Stop();

  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
  DWORD uiThread_ = 0;
};

// ---- reading the program's windows (each read is a test failure if the window does not answer)

std::wstring ClassOf(HWND window);
std::wstring Text(HWND window);
int ListCount(HWND list);
std::wstring ListEntry(HWND list, int index);
std::vector<std::wstring> ListEntries(HWND list);
int ListSelection(HWND list);
int HorizontalExtent(HWND list);
bool Checked(HWND button);
// Where the selection in an edit box starts and ends; both are the caret when nothing is selected.
std::pair<int, int> Selection(HWND edit);
int ItemHeight(HWND list);
// The icon a static control shows, or null.
HICON IconOf(HWND control);
// The window's rectangle in its parent's client area (a top-level window: on the screen).
RECT PlaceInParent(HWND window);
SIZE ClientSize(HWND window);
int Width(const RECT& r);
int Height(const RECT& r);

// The window as the screen shows it once it has painted what it had to paint and the picture
// holds still, frame included: one colour per pixel, row by row. Empty, and a test failure, if
// it never settles.
std::vector<COLORREF> SettledPixels(HWND window);

// A window's client area as the screen shows it once it holds still (see SettledPixels), in
// colours as RGB() makes them. Empty, and a test failure, if it never settles.
struct ClientPixels {
  explicit ClientPixels(HWND window);
  SIZE size{};
  std::vector<COLORREF> pixels;  // row by row
  COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * size.cx + x)]; }
  // The box (right and bottom exclusive) of the pixels in the area that are not the background;
  // empty when there are none.
  RECT InkBox(const RECT& area, COLORREF background) const;
};
// Where a control's client area lies in its parent's client area.
RECT ClientPlace(HWND control);

// Checks a message box of the program: the prompt, the title "Quorvex", an OK button only, no icon.
void ExpectPlainBox(HWND box, std::wstring_view prompt);

// ---- input, as a person gives it (to whatever window is in front)

// Moves the mouse to the middle of the window and clicks the left button.
void Click(HWND window);
// Moves the mouse to the middle of the window, without a click.
void Hover(HWND window);
// Clicks at a point of the window's client area.
void ClickAt(HWND window, POINT client);
// Clicks a button without waiting for what the click does (a modal box would block a sent one).
void PostClick(HWND button);
// Types the characters, each as a key pressed and released.
void Type(std::wstring_view text);
// Presses the keys in order and releases them in reverse: {VK_MENU, 'C'} is Alt+C.
void Press(std::initializer_list<WORD> keys);
// Leaves the text on the clipboard, as a copy in another program would.
testing::AssertionResult SetClipboardText(std::wstring_view text);
// The Unicode text on the clipboard, as a paste in another program would take it; empty when
// there is none.
std::wstring ClipboardText();

// ---- waiting

// Polls the condition until it holds or the limit passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout = kWait);
// Waits until the window's text is the expected one; the failure tells the last text seen.
testing::AssertionResult WaitForText(HWND window, std::wstring_view expected, DWORD timeout = kWait);

// Widens text of the catalogues' 8-bit characters (ASCII in these tests).
std::wstring Widen(std::string_view text);

// The stand-in program: it appends its arguments, as one line, to "<its own path>.log".
std::wstring StandInPath();
// The Quorvex.exe under test, as built (its catalogues lie beside it).
std::wstring ProgramPath();
// The bytes of a catalogue that the build made beside that exe; empty when there is none.
std::string BuiltCatalogue(std::wstring_view name);

}  // namespace e2e
