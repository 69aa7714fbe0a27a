#include "driver.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace e2e {

namespace {

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Describe(HWND window) {
  std::ostringstream out;
  out << "window " << static_cast<const void*>(window);
  if (window) {
    const int id = GetDlgCtrlID(window);
    if (id) out << " (id " << id << ")";
  }
  return out.str();
}

// Built for the build machine, a program's path may be a Unix one: Wine shows "/" as drive Z.
std::wstring BuiltPath(const wchar_t* variable, const char* built) {
  std::wstring path;
  if (const wchar_t* set = _wgetenv(variable); set && *set) {
    path = set;
  } else {
    path = Widen(built);
  }
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, DWORD timeout = kWait) {
  DWORD_PTR answer = 0;
  // Not SMTO_BLOCK: the program may send to our windows while it answers.
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeout, &answer))
    return false;
  *result = static_cast<LRESULT>(answer);
  return true;
}

LRESULT AskOrFail(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  LRESULT result = 0;
  if (!Ask(window, message, wParam, lParam, &result))
    ADD_FAILURE() << Describe(window) << " did not answer message 0x" << std::hex << message;
  return result;
}

bool TryText(HWND window, std::wstring* text, DWORD timeout = kWait) {
  LRESULT length = 0;
  if (!Ask(window, WM_GETTEXTLENGTH, 0, 0, &length, timeout)) return false;
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT got = 0;
  if (!Ask(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &got, timeout)) return false;
  buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
  *text = std::move(buffer);
  return true;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

struct ProcessWindows {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ProcessWindows*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

HWND FindMainWindow(DWORD processId) {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"QuorvexForm", nullptr); w;
       w = FindWindowExW(nullptr, w, L"QuorvexForm", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == processId) return w;
  }
  return nullptr;
}

void SendInputs(std::vector<INPUT>& inputs) {
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) ADD_FAILURE() << "SendInput took " << sent << " of " << inputs.size() << " events";
}

INPUT Key(WORD vk, DWORD flags) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = flags;
  return in;
}

INPUT Mouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.dwFlags = flags;
  return in;
}

// Absolute mouse coordinates run from 0 to 65535 across the screen; rounding up lands on the pixel.
LONG Absolute(int pixel, int screenSize) {
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

}  // namespace

std::wstring Widen(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}

std::wstring StandInPath() { return BuiltPath(L"QUORVEX_STANDIN", QUORVEX_STANDIN); }

std::wstring ProgramPath() { return BuiltPath(L"QUORVEX_EXE", QUORVEX_EXE); }

std::string BuiltCatalogue(std::wstring_view name) {
  const std::wstring path = ParentOf(ProgramPath()) + L"\\" + std::wstring(name);
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ---- Folder

Folder::Folder() {
  wchar_t temp[MAX_PATH + 1] = L"";
  GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base = std::wstring(temp) + L"quorvex-e2e";
  CreateDirectoryW(base.c_str(), nullptr);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::wstring candidate = base + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount());
    if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
  }
  if (path_.empty()) ADD_FAILURE() << "cannot make a folder under " << Narrow(base);
}

Folder::~Folder() {
  if (path_.empty()) return;
  // A program that was just ended may hold its exe a moment longer.
  std::error_code error;
  WaitUntil([&] {
    std::filesystem::remove_all(std::filesystem::path(path_), error);
    return !error;
  });
  if (error) ADD_FAILURE() << "cannot remove " << Narrow(path_) << ": " << error.message();
}

void Folder::Write(std::wstring_view name, std::string_view bytes) const {
  const std::wstring path = File(name);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot write " << Narrow(path);
    return;
  }
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  if (!ok) ADD_FAILURE() << "short write to " << Narrow(path);
}

void Folder::Remove(std::wstring_view name) const {
  const std::wstring path = File(name);
  if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
    ADD_FAILURE() << "cannot remove " << Narrow(path);
}

// ---- ScreenDpi

namespace {
bool SetLogPixels(DWORD dpi) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                 sizeof dpi) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}
}  // namespace

ScreenDpi::ScreenDpi(DWORD dpi) {
  if (!SetLogPixels(dpi)) ADD_FAILURE() << "cannot set the screen resolution to " << dpi << " dpi";
}

ScreenDpi::~ScreenDpi() {
  if (!SetLogPixels(96)) ADD_FAILURE() << "cannot set the screen resolution back to 96 dpi";
}

// ---- App

App::~App() { Stop(); }

testing::AssertionResult App::Start(const Folder& folder, DWORD timeout) {
  const std::wstring source = ProgramPath();
  const std::wstring exe = folder.File(L"Quorvex.exe");
  if (!CopyFileW(source.c_str(), exe.c_str(), FALSE))
    return testing::AssertionFailure() << "cannot copy " << Narrow(source) << " (error " << GetLastError() << ")";
  // Started from elsewhere, so that the catalogues found can only be those beside the exe.
  const std::wstring elsewhere = ParentOf(folder.Path());
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere.c_str(),
                      &startup, &process_))
    return testing::AssertionFailure() << "cannot start " << Narrow(exe) << " (error " << GetLastError() << ")";
  WaitForInputIdle(process_.hProcess, timeout);
  if (!WaitUntil(
          [&] {
            main_ = FindMainWindow(process_.dwProcessId);
            return main_ && IsWindowVisible(main_);
          },
          timeout))
    return testing::AssertionFailure() << "no visible main window within " << timeout << " ms"
                                       << (Running() ? "" : " (the program ended)");
  uiThread_ = GetWindowThreadProcessId(main_, nullptr);
  if (!Responds(timeout)) return testing::AssertionFailure() << "the main window does not answer";
  return testing::AssertionSuccess();
}

HWND App::Control(int id) const {
  HWND control = GetDlgItem(main_, id);
  if (!control) ADD_FAILURE() << "the main window has no control with id " << id;
  return control;
}

bool App::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

testing::AssertionResult App::WaitForCleanExit(DWORD timeout) const {
  if (!process_.hProcess) return testing::AssertionFailure() << "the program was never started";
  if (WaitForSingleObject(process_.hProcess, timeout) != WAIT_OBJECT_0)
    return testing::AssertionFailure() << "the program still runs after " << timeout << " ms";
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  if (code != 0) return testing::AssertionFailure() << "the program ended with code " << code;
  return testing::AssertionSuccess();
}

HWND App::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!uiThread_ || !GetGUIThreadInfo(uiThread_, &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<HWND> App::VisibleWindows() const {
  ProcessWindows search{process_.dwProcessId, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
  std::stable_partition(search.found.begin(), search.found.end(), [&](HWND w) { return w == main_; });
  return search.found;
}

HWND App::WaitForMessageBox(DWORD timeout) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : VisibleWindows())
          if (ClassName(w) == L"#32770") box = w;
        return box != nullptr;
      },
      timeout);
  return box;
}

bool App::Responds(DWORD timeout) const {
  DWORD_PTR ignored = 0;
  return main_ && SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &ignored);
}

testing::AssertionResult App::PlaceFocus(HWND control) const {
  const DWORD self = GetCurrentThreadId();
  const auto place = [&] {
    if (!AttachThreadInput(self, uiThread_, TRUE)) return false;
    // Typing goes to the window in front, so bring the control's window there too.
    HWND window = GetAncestor(control, GA_ROOT);
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    SetFocus(control);
    AttachThreadInput(self, uiThread_, FALSE);
    return true;
  };
  if (!place()) return testing::AssertionFailure() << "cannot share the program's input state";
  // A click sent just before may still be on its way and take the focus back when it lands:
  // the focus is placed again until it is there.
  if (!WaitUntil([&] { return Focus() == control || (place(), false); }))
    return testing::AssertionFailure() << "the focus stays on " << Describe(Focus()) << ", not " << Describe(control);
  return testing::AssertionSuccess();
}

void App::Stop() {
  if (process_.hProcess) {
    if (Running()) TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, kWait);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  process_ = {};
  main_ = nullptr;
  uiThread_ = 0;
}

// ---- reading

std::wstring ClassOf(HWND window) { return ClassName(window); }

std::wstring Text(HWND window) {
  std::wstring text;
  if (!TryText(window, &text)) ADD_FAILURE() << "cannot read the text of " << Describe(window);
  return text;
}

int ListCount(HWND list) {
  const LRESULT count = AskOrFail(list, LB_GETCOUNT);
  if (count == LB_ERR) ADD_FAILURE() << Describe(list) << " gives no entry count";
  return static_cast<int>(count);
}

std::wstring ListEntry(HWND list, int index) {
  const LRESULT length = AskOrFail(list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) {
    ADD_FAILURE() << Describe(list) << " has no entry " << index;
    return {};
  }
  // Across processes the entry arrives as UTF-16, whichever character set the list keeps.
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = AskOrFail(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (got == LB_ERR) {
    ADD_FAILURE() << Describe(list) << " did not give entry " << index;
    return {};
  }
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, length)));
  return text;
}

std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  const int count = ListCount(list);
  for (int i = 0; i < count; ++i) entries.push_back(ListEntry(list, i));
  return entries;
}

int ListSelection(HWND list) { return static_cast<int>(AskOrFail(list, LB_GETCURSEL)); }

int HorizontalExtent(HWND list) { return static_cast<int>(AskOrFail(list, LB_GETHORIZONTALEXTENT)); }

bool Checked(HWND button) { return AskOrFail(button, BM_GETCHECK) == BST_CHECKED; }

std::pair<int, int> Selection(HWND edit) {
  // With no pointers given the answer comes packed in the result, which crosses processes.
  const auto packed = static_cast<DWORD>(AskOrFail(edit, EM_GETSEL));
  return {LOWORD(packed), HIWORD(packed)};
}

int ItemHeight(HWND list) { return static_cast<int>(AskOrFail(list, LB_GETITEMHEIGHT)); }

HICON IconOf(HWND control) { return reinterpret_cast<HICON>(AskOrFail(control, STM_GETICON)); }

RECT PlaceInParent(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r)) {
    ADD_FAILURE() << "no rectangle for " << Describe(window);
    return r;
  }
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent && parent != GetDesktopWindow()) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  if (!GetClientRect(window, &r)) ADD_FAILURE() << "no client area for " << Describe(window);
  return {r.right - r.left, r.bottom - r.top};
}

namespace {
std::vector<COLORREF> ScreenPixels(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r)) {
    ADD_FAILURE() << "no rectangle for " << Describe(window);
    return {};
  }
  const int w = Width(r), h = Height(r);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<COLORREF> pixels;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.assign(p, p + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    SelectObject(memory, old);
  } else {
    ADD_FAILURE() << "cannot copy the screen";
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

testing::AssertionResult WaitForPainting(HWND window) {
  // The update regions live in the server, so another process can see them empty; the program
  // answers a sent message only between messages, so once it answers its painting is over.
  const bool painted = WaitUntil([&] {
    for (HWND w = window; w && w != GetDesktopWindow(); w = GetAncestor(w, GA_PARENT))
      if (GetUpdateRect(w, nullptr, FALSE)) return false;
    return true;
  });
  DWORD_PTR unused = 0;
  if (!painted || !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kWait, &unused))
    return testing::AssertionFailure() << Describe(window) << " is still to be painted";
  return testing::AssertionSuccess();
}
}  // namespace

std::vector<COLORREF> SettledPixels(HWND window) {
  // The program's painting reaches the screen a moment after it is done (the X server draws it
  // from another process), later still on a busy machine: what the screen shows counts once it
  // has held still for a while.
  constexpr ULONGLONG kStill = 300;
  std::vector<COLORREF> seen;
  ULONGLONG since = 0;
  const bool settled = WaitUntil([&] {
    if (!WaitForPainting(window)) return false;
    std::vector<COLORREF> now = ScreenPixels(window);
    if (now.empty() || now != seen) {
      seen = std::move(now);
      since = GetTickCount64();
      return false;
    }
    return GetTickCount64() - since >= kStill;
  });
  if (!settled) {
    ADD_FAILURE() << Describe(window) << " never holds still on the screen";
    return {};
  }
  return seen;
}

ClientPixels::ClientPixels(HWND window) {
  const std::vector<COLORREF> seen = SettledPixels(window);
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  if (seen.empty()) return;
  size = {Width(client), Height(client)};
  pixels.reserve(static_cast<std::size_t>(size.cx * size.cy));
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) {
      // The screen's copy holds 0x00RRGGBB.
      const COLORREF p = seen[static_cast<std::size_t>((origin.y - outer.top + y) * Width(outer) + origin.x - outer.left + x)];
      pixels.push_back(RGB(p >> 16 & 0xff, p >> 8 & 0xff, p & 0xff));
    }
}

RECT ClientPixels::InkBox(const RECT& area, COLORREF background) const {
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = std::max(0L, area.top); y < std::min(area.bottom, size.cy); ++y)
    for (int x = std::max(0L, area.left); x < std::min(area.right, size.cx); ++x)
      if (At(x, y) != background) {
        box.left = std::min<LONG>(box.left, x), box.right = std::max<LONG>(box.right, x + 1);
        box.top = std::min<LONG>(box.top, y), box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.left < box.right ? box : RECT{};
}

RECT ClientPlace(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  MapWindowPoints(control, GetAncestor(control, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// ---- input

namespace {
void ClickScreen(HWND window, POINT point) {
  // Wine finishes an activation asynchronously, and a window raised a moment ago can still be
  // restacked once more; wait as a person would for the screen to settle, and fail only if the
  // control stays covered.
  HWND hit = nullptr;
  if (!WaitUntil([&] {
        hit = WindowFromPoint(point);
        return hit == window || IsChild(window, hit);
      }))
    ADD_FAILURE() << Describe(hit) << " of class " << Narrow(ClassName(hit)) << " lies over the point of "
                  << Describe(window) << " to click";
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const LONG x = Absolute(point.x, cx), y = Absolute(point.y, cy);
  // The button events carry the point too. Wine's pointer on the X server may still be where it
  // was, and a stale motion from there, handled between the move and the press, would put the
  // press there instead.
  std::vector<INPUT> inputs{
      Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y),
      Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN, x, y),
      Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, x, y),
  };
  SendInputs(inputs);
}
}  // namespace

void Click(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r)) {
    ADD_FAILURE() << "cannot click " << Describe(window) << ": it has no rectangle";
    return;
  }
  ClickScreen(window, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void ExpectPlainBox(HWND box, std::wstring_view prompt) {
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), prompt);
  EXPECT_EQ(Text(box), L"Quorvex");
  std::vector<int> buttons;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child))
      buttons.push_back(GetDlgCtrlID(child));
  EXPECT_EQ(buttons, std::vector<int>{IDOK});
  // Wine keeps the icon's place in every box; only a box with an icon puts one there.
  HWND icon = GetDlgItem(box, 0x440);
  EXPECT_FALSE(icon && IsWindowVisible(icon) && IconOf(icon)) << "the box shows an icon";
}

void Hover(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r)) {
    ADD_FAILURE() << "cannot point at " << Describe(window) << ": it has no rectangle";
    return;
  }
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs{Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Absolute((r.left + r.right) / 2, cx),
                                  Absolute((r.top + r.bottom) / 2, cy))};
  SendInputs(inputs);
}

void ClickAt(HWND window, POINT client) {
  if (!ClientToScreen(window, &client)) {
    ADD_FAILURE() << "cannot click " << Describe(window) << ": it has no client area";
    return;
  }
  ClickScreen(window, client);
}

void PostClick(HWND button) {
  if (!PostMessageW(button, BM_CLICK, 0, 0)) ADD_FAILURE() << "cannot post a click to " << Describe(button);
}

void Type(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (DWORD flags : {DWORD{KEYEVENTF_UNICODE}, DWORD{KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = static_cast<WORD>(c);
      in.ki.dwFlags = flags;
      inputs.push_back(in);
    }
  }
  SendInputs(inputs);
}

void Press(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD vk : keys) inputs.push_back(Key(vk, 0));
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) inputs.push_back(Key(*it, KEYEVENTF_KEYUP));
  SendInputs(inputs);
}

namespace {
// The clipboard needs an owner window for its data; one for the whole run is enough.
HWND ClipboardOwner() {
  static HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  return owner;
}
}  // namespace

std::wstring ClipboardText() {
  if (!WaitUntil([] { return OpenClipboard(ClipboardOwner()) != FALSE; })) {
    ADD_FAILURE() << "the clipboard stays busy";
    return {};
  }
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  CloseClipboard();
  return text;
}

testing::AssertionResult SetClipboardText(std::wstring_view text) {
  HWND owner = ClipboardOwner();
  if (!WaitUntil([&] { return OpenClipboard(owner) != FALSE; }))
    return testing::AssertionFailure() << "the clipboard stays busy";
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = false;
  if (memory) {
    auto* copy = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = L'\0';
    GlobalUnlock(memory);
    ok = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
    if (!ok) GlobalFree(memory);
  }
  CloseClipboard();
  if (!ok) return testing::AssertionFailure() << "cannot put text on the clipboard";
  return testing::AssertionSuccess();
}

// ---- waiting

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout) {
  const ULONGLONG end = GetTickCount64() + timeout;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    // Our own windows (the clipboard's owner) get messages from the program while we wait:
    // left unanswered, they would hold it up until its own wait runs out.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

testing::AssertionResult WaitForText(HWND window, std::wstring_view expected, DWORD timeout) {
  std::wstring seen;
  bool answered = true;
  const bool matched = WaitUntil(
      [&] {
        // A program busy with what the text waits for may not answer at once either.
        answered = TryText(window, &seen, timeout);
        return !answered || seen == expected;
      },
      timeout);
  if (!answered) return testing::AssertionFailure() << Describe(window) << " no longer answers";
  if (!matched)
    return testing::AssertionFailure() << Describe(window) << " reads \"" << Narrow(seen) << "\", not \""
                                       << Narrow(expected) << "\"";
  return testing::AssertionSuccess();
}

}  // namespace e2e
