// The in-memory back end: the windows' state lives in plain structures, and events are raised by
// the calls of forms_memory.h, so that the windows' handlers run natively in unit tests.
#include "platform/forms_memory.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <set>

#include "platform/textfile.h"
#include "platform/win32api.h"

namespace forms {

struct NativeForm {
  NativeWindow window;
  std::vector<std::unique_ptr<NativeWindow>> controls;
};

namespace {

struct State {
  float twipsPerPixel = 15;
  std::wstring appPath = L".";
  std::vector<memory::Call> calls;
  std::vector<memory::Box> boxes;
  std::wstring clipboard;
  std::set<Form*> loaded;
  Form* active = nullptr;
  WindowHandle focus = nullptr;
  bool ended = false;
};

State& S() {
  static State state;
  return state;
}

void Log(WindowHandle window, const char* operation, std::wstring text = {}, long long number = 0) {
  S().calls.push_back({window, operation, std::move(text), number});
}

// A visible list that is not paused draws itself again after every change.
void Changed(NativeWindow& list) {
  if (list.visible && list.drawingPaused == 0) ++list.redraws;
}

bool TakesFocus(const Control& c) {
  switch (c.Kind()) {
    case ControlKind::TextBox:
    case ControlKind::ListBox:
    case ControlKind::CommandButton:
      return c.Design().tabIndex >= 0 && c.Visible();
    case ControlKind::OptionButton:
      return c.Design().tabIndex >= 0 && c.Visible() && static_cast<const OptionButton&>(c).Value();
    default:
      return false;
  }
}

// A system with message boxes and a clipboard only: nothing in its registry, no files, no programs
// to start.
class RecordingServices : public SystemServices {
 public:
  void MsgBox(const std::wstring& prompt, const std::wstring& title) override {
    S().boxes.push_back({prompt, title});
  }
  long RegOpenKeyExA(RegKey, const std::string&, std::uint32_t, std::uint32_t, RegKey*) override { return 2; }
  long RegQueryValueExA(RegKey, const std::string&, std::uint32_t*, unsigned char*, std::uint32_t*) override {
    return 2;
  }
  long RegCloseKey(RegKey) override { return 0; }
  std::wstring Dir(const std::wstring&) override { return {}; }
  bool Shell(const std::wstring&, const std::wstring&, int) override { return false; }
  void ShellExecuteA(WindowHandle, const std::string&, const std::string&, const std::string&, const char*,
                     int) override {}
  void SetClipboardText(WindowHandle, const std::wstring& text) override { S().clipboard = text; }
  std::wstring Environ(const std::wstring&) override { return {}; }
};

// Windows-1252, the ANSI code page of an English (United States) system.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

SystemServices& NativeSys() {
  static RecordingServices services;
  return services;
}

std::wstring AnsiToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (unsigned char c : text) out += (c >= 0x80 && c < 0xA0) ? wchar_t(kCp1252High[c - 0x80]) : wchar_t(c);
  return out;
}

std::intptr_t SendMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  Log(window, "SendMessageA", {}, static_cast<long long>(message) << 32 | static_cast<long long>(wParam));
  (void)lParam;
  if (!window) return 0;
  if (message == LB_SETHORIZONTALEXTENT) window->horizontalExtent = static_cast<int>(wParam);
  if (message == LB_GETHORIZONTALEXTENT) return window->horizontalExtent;
  return 0;
}

std::wstring UCase(const std::wstring& text) {
  std::wstring upper = text;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
  return upper;
}

float TwipsPerPixelX() { return S().twipsPerPixel; }

std::wstring Application::Path() const { return S().appPath; }

// ---- windows

Form::~Form() {
  if (Loaded()) {
    S().loaded.erase(this);
    delete native_;
  }
}

void Form::Load() {
  native_ = new NativeForm;
  native_->window.isForm = true;
  native_->window.text = args_.caption;
  for (Control* c : controls_) {
    auto w = std::make_unique<NativeWindow>();
    w->kind = c->kind_;
    w->text = c->args_.text;
    w->visible = c->args_.visible;
    w->value = c->args_.value;
    c->handle_ = w.get();
    native_->controls.push_back(std::move(w));
  }
  S().loaded.insert(this);
  Form_Load();
}

void Form::Show() {
  const bool loading = !Loaded();
  if (loading) Load();
  if (!Loaded()) return;  // the load handler unloaded it
  native_->window.visible = true;
  S().active = this;
  if (loading) {
    std::vector<Control*> order = controls_;
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->args_.tabIndex < b->args_.tabIndex; });
    for (Control* c : order)
      if (TakesFocus(*c)) {
        S().focus = c->hWnd();
        break;
      }
  }
}

void Form::Unload() {
  if (!Loaded()) return;
  for (Control* c : controls_) {
    if (S().focus == c->handle_) S().focus = nullptr;
    c->handle_ = nullptr;
  }
  delete native_;
  native_ = nullptr;
  S().loaded.erase(this);
  if (S().active == this) S().active = nullptr;
  if (S().loaded.empty()) S().ended = true;
}

std::wstring Form::Caption() const { return Loaded() ? native_->window.text : args_.caption; }

void Form::SetCaption(const std::wstring& caption) {
  if (Loaded()) native_->window.text = caption;
}

WindowHandle Form::hWnd() const { return Loaded() ? &native_->window : nullptr; }

int Run(Form& startup) {
  startup.Show();
  return 0;
}

void End() { S().ended = true; }

// ---- controls

bool Control::Visible() const { return handle_ && handle_->visible; }

void Control::SetVisible(bool visible) {
  Log(handle_, "Visible", {}, visible);
  handle_->visible = visible;
}

void Control::SetToolTipText(const std::wstring& text) {
  Log(handle_, "ToolTipText", text);
  handle_->toolTip = text;
}

bool OptionButton::Value() const { return hWnd()->value; }

std::wstring OptionButton::Caption() const { return hWnd() ? hWnd()->text : Design().text; }

void OptionButton::SetValue(bool selected) {
  if (selected)
    for (Control* c : Parent().Controls())
      if (c->Kind() == ControlKind::OptionButton && c->Design().container == Design().container)
        c->hWnd()->value = false;
  hWnd()->value = selected;
}

std::wstring TextBox::Text() const { return hWnd()->text; }

void TextBox::SetText(const std::wstring& text) {
  if (hWnd()->text == text) return;
  hWnd()->text = text;
  if (Change) Change();
}

void TextBox::SetMaxLength(int characters) {
  Log(hWnd(), "MaxLength", {}, characters);
  hWnd()->maxLength = characters;
}

void TextBox::SetFocus() {
  Log(hWnd(), "SetFocus");
  S().focus = hWnd();
}

std::wstring Label::Caption() const { return hWnd()->text; }

void Label::SetCaption(const std::wstring& caption) {
  Log(hWnd(), "Caption", caption);
  hWnd()->text = caption;
}

void ListBox::Clear() {
  Log(hWnd(), "Clear");
  hWnd()->items.clear();
  hWnd()->listIndex = -1;
  Changed(*hWnd());
}

void ListBox::AddItem(const std::wstring& item) {
  hWnd()->items.push_back(item);
  Changed(*hWnd());
}

std::wstring ListBox::List(std::int16_t index) const {
  const auto& items = hWnd()->items;
  return index >= 0 && static_cast<std::size_t>(index) < items.size() ? items[static_cast<std::size_t>(index)]
                                                                      : std::wstring();
}

std::int16_t ListBox::ListCount() const { return static_cast<std::int16_t>(hWnd()->items.size()); }

std::int16_t ListBox::ListIndex() const { return static_cast<std::int16_t>(hWnd()->listIndex); }

void ListBox::SetListIndex(std::int16_t index) {
  Log(hWnd(), "ListIndex", {}, index);
  hWnd()->listIndex = index;
}

ListBox::DrawingPaused::DrawingPaused(ListBox& list) : list_(list) { ++list_.hWnd()->drawingPaused; }

ListBox::DrawingPaused::~DrawingPaused() {
  if (--list_.hWnd()->drawingPaused == 0 && list_.Visible()) ++list_.hWnd()->redraws;
}

// ---- what tests do

namespace memory {

void Reset() { S() = State{}; }
void SetTwipsPerPixel(float twips) { S().twipsPerPixel = twips; }
void SetAppPath(const std::wstring& folder) { S().appPath = folder; }
const std::vector<Call>& Calls() { return S().calls; }
void ClearCalls() { S().calls.clear(); }
const std::vector<Box>& Boxes() { return S().boxes; }
WindowHandle Focus() { return S().focus; }
Form* ActiveForm() { return S().active; }
bool Ended() { return S().ended; }

void Click(Control& control) {
  if (S().ended || !control.hWnd()) return;
  if (control.Kind() == ControlKind::OptionButton) {
    auto& option = static_cast<OptionButton&>(control);
    if (option.Value()) return;  // clicking the selected button changes nothing
    option.SetValue(true);
  }
  if (control.Click) control.Click();
}

void Type(TextBox& box, const std::wstring& text) {
  for (wchar_t c : text) {
    if (S().ended) return;
    const int limit = box.hWnd()->maxLength;
    if (limit > 0 && static_cast<int>(box.Text().size()) >= limit) continue;
    box.SetText(box.Text() + c);
  }
}

void Press(Control& control, int keyCode, int shift) {
  if (S().ended || !control.hWnd()) return;
  S().focus = control.hWnd();
  if (control.KeyDown) control.KeyDown(keyCode, shift);
}

const std::wstring& ClipboardText() { return S().clipboard; }

void Backspace(TextBox& box) {
  std::wstring text = box.Text();
  if (!text.empty()) text.pop_back();
  box.SetText(text);
}

}  // namespace memory
}  // namespace forms
