// The Win32 back end of the forms layer: each form is a top-level window, each control a child
// window of a standard class, laid out from twips at the display's resolution.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/forms.h"
#include "platform/system.h"
#include "platform/textfile.h"
#include "platform/win32api.h"
#include "resources/art.h"
#include "resources/resource.h"

namespace forms {

// What the back end keeps of a control beside its window.
struct ControlState {
  bool visible = false;  // the control's own setting, whatever its window shows while drawing is paused
  bool selected = false;  // option button
  int drawingPaused = 0;
  bool hasTip = false;
  // List box: the longest entry added since it was last cleared, so that an entry can be read with
  // one message into a buffer known to hold it. Under Wine each message to a list costs about a
  // microsecond, and the search reads every entry on every keystroke.
  std::size_t longest = 0;
  std::wstring buffer;
  // List box: its window procedure, which the messages sent for every entry call directly. Under
  // Wine each SendMessage goes down into the system's Unix side and back, which costs more than
  // the list's own work; our lists are never subclassed, so the procedure stays theirs.
  WNDPROC procedure = nullptr;
};

struct NativeForm {
  HWND hwnd = nullptr;
  int dpi = 96;
  HBRUSH backBrush = nullptr;
  HWND toolTip = nullptr;
  HWND lastFocus = nullptr;
  std::map<std::tuple<std::wstring, int, bool>, HFONT> fonts;
  std::map<const Control*, ControlState> state;

  ~NativeForm() {
    for (auto& [key, font] : fonts) DeleteObject(font);
    if (backBrush) DeleteObject(backBrush);
  }
};

namespace {

constexpr wchar_t kFormClass[] = L"QuorvexForm";
constexpr wchar_t kOwnerClass[] = L"QuorvexApplication";
constexpr int kFirstControlId = 101;  // a control's id is this plus its place in its window's table

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
HWND H(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle W(HWND h) { return reinterpret_cast<WindowHandle>(h); }

int g_loadedForms = 0;

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

std::wstring WindowText(HWND h) {
  const int length = GetWindowTextLengthW(h);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(h, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got));
  return text;
}

// Pictures are loaded once and shared by every load of every window: they live as long as the
// program, so opening and closing a window again and again costs nothing.
HANDLE Picture(int id, UINT type, int width = 0, int height = 0) {
  static std::map<std::tuple<int, UINT, int, int>, HANDLE> pictures;
  HANDLE& picture = pictures[{id, type, width, height}];
  if (!picture) picture = LoadImageW(Instance(), MAKEINTRESOURCEW(id), type, width, height, LR_DEFAULTCOLOR);
  return picture;
}

// A drawn picture as a 24-bit bitmap; black where a mask lets the screen through, as an icon's
// colours must be there.
HBITMAP ToBitmap(const art::Canvas& c, const art::Mask* opaque = nullptr) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), c.Width(), -c.Height(), 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const int stride = (c.Width() * 3 + 3) / 4 * 4;
  for (int y = 0; y < c.Height(); ++y) {
    BYTE* p = static_cast<BYTE*>(bits) + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < c.Width(); ++x, p += 3) {
      const bool shown = !opaque || (*opaque)[static_cast<std::size_t>(y * c.Width() + x)];
      const art::Rgb colour = shown ? c.At(x, y) : art::Rgb{};
      p[0] = colour.b, p[1] = colour.g, p[2] = colour.r;
    }
  }
  return bitmap;
}

HICON ToIcon(const art::Masked& icon) {
  const art::Canvas& c = icon.picture;
  // A monochrome bitmap's rows are whole 16-bit words; a set bit lets the screen through.
  const int stride = (c.Width() + 15) / 16 * 2;
  std::vector<BYTE> bits(static_cast<std::size_t>(stride * c.Height()), 0);
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (!icon.opaque[static_cast<std::size_t>(y * c.Width() + x)])
        bits[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
  ICONINFO info{TRUE, 0, 0, CreateBitmap(c.Width(), c.Height(), 1, 1, bits.data()), ToBitmap(c, &icon.opaque)};
  HICON made = info.hbmMask && info.hbmColor ? CreateIconIndirect(&info) : nullptr;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return made;
}

// What a picture control shows: a bitmap or an icon, and its size in pixels.
struct Shown {
  HANDLE handle = nullptr;
  UINT type = IMAGE_BITMAP;
  SIZE size{};
};

// A picture at the display's resolution: the stored bitmap at 96 dpi, drawn at the exact scale at
// any other (never stretched, so lines stay sharp and the input box stays over the error box's
// field); an icon at 32 pixels times the scale, from the icon file where it holds that size.
// Made once for the program, like the stored ones.
Shown PictureAt(int id, int dpi) {
  static std::map<std::pair<int, int>, Shown> made;
  auto [at, fresh] = made.try_emplace({id, dpi});
  Shown& shown = at->second;
  if (!fresh) return shown;
  if (auto drawn = dpi != 96 ? art::Bitmap(id, {dpi, 96}) : std::nullopt) {
    shown = {ToBitmap(*drawn), IMAGE_BITMAP, {drawn->Width(), drawn->Height()}};
  } else if (HANDLE stored = Picture(id, IMAGE_BITMAP)) {
    BITMAP bm{};
    GetObjectW(stored, sizeof bm, &bm);
    shown = {stored, IMAGE_BITMAP, {bm.bmWidth, bm.bmHeight}};
  } else {
    const int size = MulDiv(32, dpi, 96);
    HANDLE icon = nullptr;
    if (std::find(art::kIconSizes.begin(), art::kIconSizes.end(), size) != art::kIconSizes.end())
      icon = Picture(id, IMAGE_ICON, size, size);
    else if (auto drawnIcon = art::Icon(id, size))
      icon = ToIcon(*drawnIcon);
    if (icon) shown = {icon, IMAGE_ICON, {size, size}};
  }
  return shown;
}

HCURSOR HandCursor() {
  static HCURSOR hand = [] {
    auto c = static_cast<HCURSOR>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDC_HANDCURSOR), IMAGE_CURSOR, 0, 0,
                                             LR_DEFAULTSIZE));
    return c ? c : LoadCursorW(nullptr, IDC_HAND);
  }();
  return hand;
}

}  // namespace

// Everything that needs the private parts of forms and controls.
struct Backend {
  static Control* ControlOf(HWND child) {
    return reinterpret_cast<Control*>(GetWindowLongPtrW(child, GWLP_USERDATA));
  }
  static ControlState& StateOf(const Control& c) { return c.form_.native_->state[&c]; }

  static HFONT FontFor(NativeForm& n, const Font& f) {
    auto key = std::make_tuple(f.name, static_cast<int>(f.points * 100 + 0.5), f.bold);
    auto& font = n.fonts[key];
    if (!font) {
      LOGFONTW lf{};
      lf.lfHeight = -MulDiv(std::get<1>(key), n.dpi, 7200);
      lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
      lf.lfCharSet = DEFAULT_CHARSET;
      lstrcpynW(lf.lfFaceName, f.name.c_str(), LF_FACESIZE);
      font = CreateFontIndirectW(&lf);
    }
    return font;
  }

  static HWND Owner() {
    static HWND owner = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = Instance();
      wc.lpszClassName = kOwnerClass;
      RegisterClassW(&wc);
      return CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, Instance(), nullptr);
    }();
    return owner;
  }

  static void RegisterFormClass() {
    static bool done = [] {
      WNDCLASSEXW wc{sizeof wc};
      wc.lpfnWndProc = FormProc;
      wc.hInstance = Instance();
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = kFormClass;
      RegisterClassExW(&wc);
      INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
      InitCommonControlsEx(&icc);
      return true;
    }();
    (void)done;
  }

  static RECT PixelPlace(const Control& c, int dpi) {
    Twips t = c.args_.place;
    for (const Control* box = c.args_.container; box; box = box->args_.container) {
      t.left += box->args_.place.left;
      t.top += box->args_.place.top;
    }
    const int left = Px(t.left, dpi), top = Px(t.top, dpi);
    return {left, top, left + Px(t.width, dpi), top + Px(t.height, dpi)};
  }

  static void CreateControl(Form& form, Control& c, int id) {
    NativeForm& n = *form.native_;
    const ControlArgs& a = c.args_;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (a.visible ? WS_VISIBLE : 0) | (a.tabIndex >= 0 ? WS_GROUP : 0);
    DWORD exStyle = 0;
    const wchar_t* cls = L"STATIC";
    Shown picture;
    switch (c.kind_) {
      case ControlKind::CommandButton:
        cls = L"BUTTON";
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case ControlKind::OptionButton:
        cls = L"BUTTON";
        style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
        break;
      case ControlKind::Frame:
        cls = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
      case ControlKind::TextBox:
        cls = L"EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP | (a.centre ? ES_CENTER : ES_LEFT);
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::ListBox:
        cls = L"LISTBOX";
        // The list's own integral height is left off: it shrinks the list at every change of
        // font or scroll bar, never grows it back, and so loses entries (FitList does it instead).
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP |
                 (a.tabStop ? LBS_USETABSTOPS : 0);
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Label:
        style |= SS_NOPREFIX | (a.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
        break;
      case ControlKind::PictureBox:
      case ControlKind::Image:
        style |= SS_NOTIFY;
        if (c.kind_ == ControlKind::PictureBox && a.pictureAutoSize) exStyle |= WS_EX_CLIENTEDGE;
        if (a.picture) picture = PictureAt(a.picture, n.dpi);
        // Without its picture the control stands at its place, empty, in the window's colour.
        if (picture.handle) style |= SS_CENTERIMAGE | (picture.type == IMAGE_ICON ? SS_ICON : SS_BITMAP);
        break;
    }
    RECT r = PixelPlace(c, n.dpi);
    HWND h = CreateWindowExW(exStyle, cls, a.text.c_str(), style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, n.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             Instance(), nullptr);
    c.handle_ = W(h);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(n, a.font.value_or(form.args_.font))), FALSE);
    ControlState& s = n.state[&c];
    s.visible = a.visible;
    if (c.kind_ == ControlKind::ListBox) s.procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC));
    s.selected = a.value;
    if (c.kind_ == ControlKind::OptionButton && a.value) SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
    if (picture.handle) {
      SendMessageW(h, STM_SETIMAGE, picture.type, reinterpret_cast<LPARAM>(picture.handle));
      if (c.kind_ == ControlKind::Image || a.pictureAutoSize) FitToPicture(h, picture.size);
    }
    if (a.tabStop) SetTabStop(h, a.tabStop, n.dpi);
    if (c.kind_ == ControlKind::ListBox) FitList(c);
    if (!a.toolTip.empty()) SetTip(c, a.toolTip);
    if (a.autoSize) FitLabel(c);
  }

  // A list's tab stop is given in quarters of its font's average character width, and counts from
  // where its entries' text begins: inside the border, one pixel in.
  static void SetTabStop(HWND list, int twips, int dpi) {
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32W(dc, kLetters, 52, &size);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    const int average = std::max<int>(1, (size.cx / 26 + 1) / 2);
    const bool edged = GetWindowLongW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
    const int pixels = Px(twips, dpi) - (edged ? GetSystemMetrics(SM_CXEDGE) : 0) - 1;
    INT units = MulDiv(pixels, 4, average);
    SendMessageW(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&units));
  }

  // A list shows whole entries only: of its laid-out height it keeps the most whole entries that
  // fit inside its border and the scroll bar it has now. Measured from the laid-out height each
  // time, so that a scroll bar that comes and goes costs no entry.
  static void FitList(const Control& c) {
    HWND h = H(c.handle_);
    const LRESULT entry = SendMessageW(h, LB_GETITEMHEIGHT, 0, 0);
    RECT outer{}, client{};
    GetWindowRect(h, &outer);
    GetClientRect(h, &client);
    const int frame = (outer.bottom - outer.top) - (client.bottom - client.top);
    const RECT laidOut = PixelPlace(c, c.form_.native_->dpi);
    const int room = laidOut.bottom - laidOut.top - frame;
    if (entry <= 0 || room < entry) return;  // not even one entry: the list keeps its height
    const int height = frame + room / static_cast<int>(entry) * static_cast<int>(entry);
    if (height != outer.bottom - outer.top)
      SetWindowPos(h, nullptr, 0, 0, laidOut.right - laidOut.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // Our list of this window, if it is one.
  static Control* ListOf(HWND h) {
    HWND parent = GetParent(h);
    wchar_t cls[32] = L"";
    if (!parent || !GetClassNameW(parent, cls, 32) || lstrcmpW(cls, kFormClass) != 0) return nullptr;
    auto* f = reinterpret_cast<Form*>(GetWindowLongPtrW(parent, GWLP_USERDATA));
    if (!f) return nullptr;
    for (Control* c : f->controls_)
      if (H(c->handle_) == h && c->kind_ == ControlKind::ListBox) return c;
    return nullptr;
  }

  // An image, and a picture box that sizes itself, are exactly the size of the picture plus any
  // border: no band of the window's colour around the picture at any resolution.
  static void FitToPicture(HWND h, SIZE size) {
    RECT r{0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
    SetWindowPos(h, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // An autosized label is as wide as its text; one that keeps its centre grows to both sides.
  static void FitLabel(Control& c) {
    HWND h = H(c.handle_);
    NativeForm& n = *c.form_.native_;
    const std::wstring text = WindowText(h);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    RECT r = PixelPlace(c, n.dpi);
    int left = r.left;
    if (c.args_.keepCentre) {
      const Twips& t = c.args_.place;
      const double centre = (t.left + t.width / 2.0) * n.dpi / 1440.0;
      left = static_cast<int>(centre - size.cx / 2.0 + 0.5);
    }
    SetWindowPos(h, nullptr, left, r.top, size.cx, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(n.hwnd, nullptr, TRUE);  // the old text may stand outside the new place
  }

  static void SetTip(Control& c, const std::wstring& text) {
    NativeForm& n = *c.form_.native_;
    if (!n.toolTip) {
      n.toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, n.hwnd, nullptr,
                                  Instance(), nullptr);
    }
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    // The message loop relays the mouse to the tip (RelayToTip). Letting the tip subclass the
    // control instead puts every message to it through the subclass chain, which makes filling and
    // reading a list many times slower.
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = n.hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(c.handle_);
    ti.lpszText = const_cast<wchar_t*>(text.c_str());
    ControlState& s = n.state[&c];
    SendMessageW(n.toolTip, s.hasTip ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    s.hasTip = true;
  }

  // Raises KeyDown of the control of ours that a key goes down in; the key then goes on as usual.
  static void RaiseKeyDown(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return;
    Control* c = ControlOf(msg.hwnd);
    if (!c || !c->KeyDown) return;
    const auto held = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    const int shift = (held(VK_SHIFT) ? ShiftMask : 0) | (held(VK_CONTROL) ? CtrlMask : 0) | (held(VK_MENU) ? AltMask : 0);
    c->KeyDown(static_cast<int>(msg.wParam), shift);
  }

  // Shows the tip of the control under the mouse.
  static void RelayToTip(MSG& msg) {
    if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) return;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    wchar_t cls[32] = L"";
    if (!root || !GetClassNameW(root, cls, 32) || lstrcmpW(cls, kFormClass) != 0) return;
    auto* f = reinterpret_cast<Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    if (f && f->native_ && f->native_->toolTip)
      SendMessageW(f->native_->toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }

  static void Load(Form& f) {
    RegisterFormClass();
    auto native = std::make_unique<NativeForm>();
    native->dpi = ScreenDpi();
    native->backBrush = CreateSolidBrush(f.args_.backColour);
    const FormArgs& a = f.args_;
    // No WS_CLIPCHILDREN: a frame draws only its border, and the window's own background must show
    // inside it.
    DWORD style = WS_CAPTION | WS_SYSMENU | (a.minButton ? WS_MINIMIZEBOX : 0) |
                  (a.maxButton ? WS_MAXIMIZEBOX : 0);
    DWORD exStyle = WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
    if (a.border == BorderStyle::FixedDialog) {
      style |= DS_MODALFRAME;
      exStyle |= WS_EX_DLGMODALFRAME;
    }
    RECT r{0, 0, Px(a.clientWidth, native->dpi), Px(a.clientHeight, native->dpi)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    // A window without a taskbar button is owned by the application's hidden window, not by a form.
    HWND owner = a.showInTaskbar ? nullptr : Owner();
    f.native_ = native.release();
    HWND h = CreateWindowExW(exStyle, kFormClass, a.caption.c_str(), style, 0, 0, r.right - r.left,
                             r.bottom - r.top, owner, nullptr, Instance(), &f);
    if (!h) {
      delete f.native_;
      f.native_ = nullptr;
      return;
    }
    ++g_loadedForms;
    if (a.icon) {
      SendMessageW(h, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(Picture(a.icon, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                    GetSystemMetrics(SM_CYICON))));
      SendMessageW(h, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(Picture(a.icon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON))));
    }
    // Children are made in tab order, so that the order of their windows is the tab order and a
    // control drawn over another (the input box over its picture) comes first. Controls that never
    // take the focus come last, frames below everything they hold.
    auto rank = [&](std::size_t i) {
      const Control* c = f.controls_[i];
      if (c->kind_ == ControlKind::Frame) return INT_MAX;
      return c->args_.tabIndex < 0 ? INT_MAX - 1 : c->args_.tabIndex;
    };
    std::vector<std::size_t> order(f.controls_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return rank(x) < rank(y); });
    for (std::size_t i : order) CreateControl(f, *f.controls_[i], kFirstControlId + static_cast<int>(i));
    // Option buttons that follow one another in tab order form one group.
    for (std::size_t k = 1; k < order.size(); ++k) {
      const Control* prev = f.controls_[order[k - 1]];
      const Control* cur = f.controls_[order[k]];
      if (cur->kind_ == ControlKind::OptionButton && prev->kind_ == ControlKind::OptionButton) {
        HWND ch = H(cur->handle_);
        SetWindowLongW(ch, GWL_STYLE, GetWindowLongW(ch, GWL_STYLE) & ~WS_GROUP);
      }
    }
    RememberSelection(f);
    f.Form_Load();
    if (f.native_) Centre(h);
  }

  static void Centre(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    const int w = r.right - r.left, ht = r.bottom - r.top;
    SetWindowPos(h, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - ht) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  static void FocusFirst(Form& f) {
    HWND first = GetNextDlgTabItem(f.native_->hwnd, nullptr, FALSE);
    if (first) SetFocus(first);
  }

  static bool ClickFocusedButton(Form& f) {
    HWND focus = GetFocus();
    if (!focus || GetParent(focus) != f.native_->hwnd) return false;
    Control* c = ControlOf(focus);
    if (!c || c->kind_ != ControlKind::CommandButton) return false;
    if (c->Click) c->Click();
    return true;
  }

  static void Command(Form& f, HWND child, int id, int code) {
    if (!child) {
      // Enter and Esc reach the window as the commands IDOK and IDCANCEL: there is no default or
      // cancel button, so Enter clicks only a button that has the focus, and Esc does nothing.
      if (id == IDOK) ClickFocusedButton(f);
      return;
    }
    Control* c = ControlOf(child);
    if (!c || &c->form_ != &f) return;
    switch (c->kind_) {
      case ControlKind::CommandButton:
        if (code == BN_CLICKED && c->Click) c->Click();
        break;
      case ControlKind::OptionButton: {
        if (code != BN_CLICKED) break;
        // Raised when the button becomes the selected one, not when the selected one is clicked again.
        const bool wasSelected = StateOf(*c).selected;
        RememberSelection(f);
        if (StateOf(*c).selected && !wasSelected && c->Click) c->Click();
        break;
      }
      case ControlKind::TextBox:
        if (code == EN_CHANGE) {
          auto* box = static_cast<TextBox*>(c);
          if (box->Change) box->Change();
        }
        break;
      case ControlKind::Image:
      case ControlKind::PictureBox:
        if (code == STN_CLICKED && c->Click) c->Click();
        break;
      default:
        break;
    }
  }

  // Keeps which option button is selected; Tab reaches a group of options at that one only.
  static void RememberSelection(Form& f) {
    for (Control* c : f.controls_) {
      if (c->kind_ != ControlKind::OptionButton || !c->handle_) continue;
      HWND h = H(c->handle_);
      const bool selected = SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
      StateOf(*c).selected = selected;
      const LONG style = GetWindowLongW(h, GWL_STYLE);
      SetWindowLongW(h, GWL_STYLE, selected ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
  }

  static LRESULT CALLBACK FormProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* f = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
      SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
      f->native_->hwnd = h;
    }
    auto* f = reinterpret_cast<Form*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!f || !f->native_) return DefWindowProcW(h, msg, wp, lp);
    NativeForm& n = *f->native_;
    switch (msg) {
      case WM_COMMAND:
        Command(*f, reinterpret_cast<HWND>(lp), LOWORD(wp), HIWORD(wp));
        return 0;
      case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(h, &r);
        FillRect(reinterpret_cast<HDC>(wp), &r, n.backBrush);
        return 1;
      }
      case WM_CTLCOLORSTATIC: {
        // Labels are transparent and option buttons and frames take the window's colour.
        auto dc = reinterpret_cast<HDC>(wp);
        Control* c = ControlOf(reinterpret_cast<HWND>(lp));
        SetBkColor(dc, f->args_.backColour);
        if (c && c->kind_ == ControlKind::Label) SetBkMode(dc, TRANSPARENT);
        if (c && c->args_.foreColour) SetTextColor(dc, *c->args_.foreColour);
        return reinterpret_cast<LRESULT>(n.backBrush);
      }
      case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(n.backBrush);
      case WM_SETCURSOR: {
        Control* c = reinterpret_cast<HWND>(wp) != h ? ControlOf(reinterpret_cast<HWND>(wp)) : nullptr;
        if (c && c->args_.pointer == Pointer::Hand && LOWORD(lp) == HTCLIENT) {
          SetCursor(HandCursor());
          return TRUE;
        }
        break;
      }
      case WM_ACTIVATE:
        // Keep the control that had the focus when the window is left, and give it back on return.
        if (LOWORD(wp) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus && IsChild(h, focus)) n.lastFocus = focus;
        } else if (n.lastFocus && IsWindow(n.lastFocus)) {
          SetFocus(n.lastFocus);
          return 0;
        }
        break;
      case WM_DESTROY: {
        for (Control* c : f->controls_) c->handle_ = nullptr;
        delete f->native_;
        f->native_ = nullptr;
        if (--g_loadedForms == 0) PostQuitMessage(0);
        return 0;
      }
      default:
        break;
    }
    return DefWindowProcW(h, msg, wp, lp);
  }
};

// ---- windows

Form::~Form() {
  if (Loaded()) DestroyWindow(native_->hwnd);
}

void Form::Load() { Backend::Load(*this); }

void Form::Show() {
  const bool loading = !Loaded();
  if (loading) Load();
  if (!Loaded()) return;
  HWND h = native_->hwnd;
  ShowWindow(h, SW_SHOW);
  // Nothing else raises windows when no window manager runs, so raise it here.
  SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(h);
  SetActiveWindow(h);
  if (loading) Backend::FocusFirst(*this);
}

void Form::Unload() {
  if (Loaded()) DestroyWindow(native_->hwnd);
}

std::wstring Form::Caption() const {
  return Loaded() ? WindowText(native_->hwnd) : args_.caption;
}

void Form::SetCaption(const std::wstring& caption) {
  if (Loaded()) SetWindowTextW(native_->hwnd, caption.c_str());
}

WindowHandle Form::hWnd() const { return Loaded() ? W(native_->hwnd) : nullptr; }

int Run(Form& startup) {
  startup.Show();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    Backend::RelayToTip(msg);
    Backend::RaiseKeyDown(msg);
    // Tab, the arrow keys and Alt with an access key work in whichever of our windows is active.
    HWND active = GetActiveWindow();
    wchar_t cls[32] = L"";
    if (active && GetClassNameW(active, cls, 32) && lstrcmpW(cls, kFormClass) == 0 &&
        IsDialogMessageW(active, &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void End() { ExitProcess(0); }

// ---- controls


bool Control::Visible() const { return handle_ && Backend::StateOf(*this).visible; }

void Control::SetVisible(bool visible) {
  Backend::StateOf(*this).visible = visible;
  ShowWindow(H(handle_), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetToolTipText(const std::wstring& text) { Backend::SetTip(*this, text); }

bool OptionButton::Value() const { return SendMessageW(H(hWnd()), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OptionButton::SetValue(bool selected) {
  if (selected)
    for (Control* c : Parent().Controls())
      if (c != this && c->Kind() == ControlKind::OptionButton && c->Design().container == Design().container)
        SendMessageW(H(c->hWnd()), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(H(hWnd()), BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
  Backend::RememberSelection(Parent());
}

std::wstring OptionButton::Caption() const { return WindowText(H(hWnd())); }

std::wstring TextBox::Text() const { return WindowText(H(hWnd())); }

void TextBox::SetText(const std::wstring& text) { SetWindowTextW(H(hWnd()), text.c_str()); }

void TextBox::SetMaxLength(int characters) { SendMessageW(H(hWnd()), EM_LIMITTEXT, static_cast<WPARAM>(characters), 0); }

void TextBox::SetFocus() { ::SetFocus(H(hWnd())); }

std::wstring Label::Caption() const { return WindowText(H(hWnd())); }

void Label::SetCaption(const std::wstring& caption) {
  SetWindowTextW(H(hWnd()), caption.c_str());
  if (Design().autoSize) Backend::FitLabel(*this);
}

void ListBox::Clear() {
  SendMessageW(H(hWnd()), LB_RESETCONTENT, 0, 0);
  Backend::StateOf(*this).longest = 0;
}

namespace {

// A message to a list, delivered as SendMessageW delivers it on the list's own thread.
LRESULT CallList(const ListBox& list, const ControlState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(s.procedure, H(list.hWnd()), message, wParam, lParam);
}

}  // namespace

void ListBox::AddItem(const std::wstring& item) {
  ControlState& s = Backend::StateOf(*this);
  CallList(*this, s, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  s.longest = std::max(s.longest, item.size());
}

std::wstring ListBox::List(std::int16_t index) const {
  ControlState& s = Backend::StateOf(*this);
  if (s.buffer.size() <= s.longest) s.buffer.resize(s.longest + 1);
  const LRESULT got = CallList(*this, s, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.buffer.data()));
  return got == LB_ERR ? std::wstring() : std::wstring(s.buffer.data(), static_cast<std::size_t>(got));
}

std::int16_t ListBox::ListCount() const {
  const LRESULT count = SendMessageW(H(hWnd()), LB_GETCOUNT, 0, 0);
  return static_cast<std::int16_t>(std::clamp<LRESULT>(count, 0, MaxCount));
}

std::int16_t ListBox::ListIndex() const {
  return static_cast<std::int16_t>(SendMessageW(H(hWnd()), LB_GETCURSEL, 0, 0));
}

void ListBox::SetListIndex(std::int16_t index) {
  SendMessageW(H(hWnd()), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// A hidden list is paused too: even unseen, every entry added would update its scroll bars.
ListBox::DrawingPaused::DrawingPaused(ListBox& list) : list_(list) {
  if (Backend::StateOf(list_).drawingPaused++ == 0) SendMessageW(H(list_.hWnd()), WM_SETREDRAW, FALSE, 0);
}

ListBox::DrawingPaused::~DrawingPaused() {
  if (--Backend::StateOf(list_).drawingPaused != 0) return;
  HWND h = H(list_.hWnd());
  // A visible list draws its scroll bars at once when drawing comes back on, and a list just shown
  // draws them again with its frame; under Wine's theme each drawing costs several milliseconds.
  // So drawing comes back on while the list is marked hidden (as Windows marks a list whose drawing
  // is off), and the frame, scroll bars included, is drawn once with the next paint.
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  if (style & WS_VISIBLE) SetWindowLongW(h, GWL_STYLE, style & ~WS_VISIBLE);
  SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  const LONG now = GetWindowLongW(h, GWL_STYLE);
  if (!list_.Visible()) {
    // Turning drawing back on may mark a hidden window visible: keep it hidden.
    if (now & WS_VISIBLE) ShowWindow(h, SW_HIDE);
    return;
  }
  if (!(now & WS_VISIBLE)) SetWindowLongW(h, GWL_STYLE, now | WS_VISIBLE);
  RedrawWindow(h, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME);
}

// ---- the application and the system

std::wstring Application::Path() const {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  const auto slash = path.find_last_of(L'\\');
  path.resize(slash == std::wstring::npos ? 0 : slash);
  return path;
}

std::wstring UCase(const std::wstring& text) {
  std::wstring upper = text;
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

float TwipsPerPixelX() { return 1440.0f / static_cast<float>(ScreenDpi()); }

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), length);
  return out;
}

std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  const LRESULT result = ::SendMessageA(H(window), message, wParam, lParam);
  // A scroll range wider than the list brings its horizontal scroll bar, which takes room from
  // the entries.
  if (message == LB_SETHORIZONTALEXTENT)
    if (const Control* list = Backend::ListOf(H(window))) Backend::FitList(*list);
  return result;
}

namespace {

bool IsRoot(RegKey key) { return static_cast<std::uint32_t>(key) >= 0x80000000u && static_cast<std::uint32_t>(key) <= 0x80000006u; }

class Win32Services : public SystemServices {
 public:
  void MsgBox(const std::wstring& prompt, const std::wstring& title) override {
    MessageBoxW(GetActiveWindow(), prompt.c_str(), title.c_str(), MB_OK);
  }

  long RegOpenKeyExA(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                     RegKey* result) override {
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExA(reinterpret_cast<HKEY>(root), subKey.c_str(), options, access, &key);
    *result = reinterpret_cast<RegKey>(key);
    return status;
  }

  long RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size) override {
    DWORD t = 0, n = *size;
    const LONG status = ::RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr, &t, data, &n);
    *type = t;
    *size = n;
    return status;
  }

  long RegCloseKey(RegKey key) override {
    return IsRoot(key) ? ERROR_SUCCESS : ::RegCloseKey(reinterpret_cast<HKEY>(key));
  }

  std::wstring Dir(const std::wstring& path) override {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::wstring name;
    constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
      if (!(found.dwFileAttributes & kNotNormal)) name = found.cFileName;
    } while (name.empty() && FindNextFileW(search, &found));
    FindClose(search);
    return name;
  }

  bool Shell(const std::wstring& program, const std::wstring& arguments, int windowStyle) override {
    // The program is named exactly, as the application, and quoted as the first word of its command
    // line: a space in its path can never make another program run.
    if (program.empty() || program.find(L'\0') != std::wstring::npos || program.find(L'"') != std::wstring::npos)
      return false;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(windowStyle == 2 ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
  }

  void ShellExecuteA(WindowHandle owner, const std::string& operation, const std::string& file,
                     const std::string& parameters, const char* directory, int showCommand) override {
    ::ShellExecuteA(H(owner), operation.c_str(), file.c_str(), parameters.c_str(), directory, showCommand);
  }

  void SetClipboardText(WindowHandle owner, const std::wstring& text) override {
    // Another program may hold the clipboard open for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 5 && !(open = OpenClipboard(H(owner))); ++attempt) Sleep(10);
    if (!open) return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      void* data = GlobalLock(memory);
      if (data) {
        std::memcpy(data, text.c_str(), bytes);
        GlobalUnlock(memory);
      }
      if (!data || !SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
  }

  std::wstring Environ(const std::wstring& name) override {
    const DWORD length = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (length == 0) return {};
    std::wstring value(length, L'\0');
    const DWORD got = GetEnvironmentVariableW(name.c_str(), value.data(), length);
    value.resize(got < length ? got : 0);
    return value;
  }
};

}  // namespace

SystemServices& NativeSys() {
  static Win32Services services;
  return services;
}

}  // namespace forms
