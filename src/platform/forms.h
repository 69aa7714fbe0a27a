// The forms layer: windows and controls laid out in twips, with events delivered one at a time
// on the user-interface thread. The windows of Quorvex are written against this header only;
// the Win32 back end (forms_win32.cpp) makes the product, the in-memory back end
// (forms_memory.cpp) lets the same windows run in unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace forms {

// A window of the system: an HWND in the Win32 back end, the in-memory widget otherwise.
struct NativeWindow;
using WindowHandle = NativeWindow*;

using Colour = std::uint32_t;  // 0x00BBGGRR, as Win32 keeps colours
constexpr Colour Rgb(int r, int g, int b) { return Colour(r) | Colour(g) << 8 | Colour(b) << 16; }

struct Font {
  std::wstring name = L"MS Sans Serif";
  double points = 8.25;
  bool bold = false;
};

// Left, top, width and height in twips (1/1440 inch), from the container's client area.
struct Twips {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class ControlKind { OptionButton, CommandButton, TextBox, ListBox, Label, Frame, PictureBox, Image };
enum class Pointer { Default, Hand };

class Control;

// Key codes and the state of Shift, Ctrl and Alt, as KeyDown gives them.
constexpr int KeyC = 'C';
constexpr int KeyInsert = 0x2D;
constexpr int ShiftMask = 1, CtrlMask = 2, AltMask = 4;

// How a control is made: one row of a window's control table.
struct ControlArgs {
  Twips place;
  std::wstring text;               // caption; "&" marks the access key of a button
  int tabIndex = -1;               // -1: never takes the focus
  std::wstring toolTip;
  bool visible = true;
  bool value = false;              // option button: selected when the window loads
  std::optional<Font> font;        // the window's font when empty
  std::optional<Colour> foreColour;
  bool autoSize = false;           // label: as wide as its text
  bool keepCentre = false;         // autosized label: grows to both sides of its centre
  bool wordWrap = false;           // label: breaks its text at its width
  bool centre = false;             // text box: centres its text
  int tabStop = 0;                 // list box: where a tab in an entry leads, in twips from its left edge
  int picture = 0;                 // resource number of the picture shown, 0 for none
  bool pictureAutoSize = false;    // picture box: sizes itself to its picture plus its border
  Pointer pointer = Pointer::Default;
  Control* container = nullptr;    // a frame that holds the control; positions are then inside it
};

class Form;

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  ControlKind Kind() const { return kind_; }
  const ControlArgs& Design() const { return args_; }
  WindowHandle hWnd() const { return handle_; }
  Form& Parent() const { return form_; }

  bool Visible() const;
  void SetVisible(bool visible);
  // Outer width in twips, as laid out.
  float Width() const { return static_cast<float>(args_.place.width); }
  void SetToolTipText(const std::wstring& text);

  // Raised by the back end when the user clicks the control (or selects an option button).
  std::function<void()> Click;
  // Raised when a key goes down while the control has the focus: the key's code (KeyC...) and
  // which of Shift, Ctrl and Alt are held (ShiftMask | CtrlMask | AltMask). The control then
  // handles the key as it always does.
  std::function<void(int KeyCode, int Shift)> KeyDown;

 protected:
  Control(Form& form, ControlKind kind, ControlArgs args);

 private:
  friend class Form;
  friend struct Backend;
  Form& form_;
  ControlKind kind_;
  ControlArgs args_;
  WindowHandle handle_ = nullptr;
};

class CommandButton : public Control {
 public:
  CommandButton(Form& form, ControlArgs args) : Control(form, ControlKind::CommandButton, std::move(args)) {}
};

class OptionButton : public Control {
 public:
  OptionButton(Form& form, ControlArgs args) : Control(form, ControlKind::OptionButton, std::move(args)) {}
  bool Value() const;
  void SetValue(bool selected);
  std::wstring Caption() const;
};

class TextBox : public Control {
 public:
  TextBox(Form& form, ControlArgs args) : Control(form, ControlKind::TextBox, std::move(args)) {}
  std::wstring Text() const;
  void SetText(const std::wstring& text);  // raises Change, as typing does
  void SetMaxLength(int characters);       // 0: no limit
  void SetFocus();
  std::function<void()> Change;
};

class Label : public Control {
 public:
  Label(Form& form, ControlArgs args) : Control(form, ControlKind::Label, std::move(args)) {}
  std::wstring Caption() const;
  void SetCaption(const std::wstring& caption);
};

// A list box that keeps its entries in the order they were added.
class ListBox : public Control {
 public:
  // Counts and indexes are 16-bit signed numbers, so a list holds at most this many entries.
  static constexpr std::int16_t MaxCount = 32767;

  ListBox(Form& form, ControlArgs args) : Control(form, ControlKind::ListBox, std::move(args)) {}
  void Clear();
  void AddItem(const std::wstring& item);
  std::wstring List(std::int16_t index) const;
  std::int16_t ListCount() const;
  std::int16_t ListIndex() const;
  void SetListIndex(std::int16_t index);  // -1: no entry selected

  // While one of these lives, the list does not redraw; a visible list draws once when the last
  // one ends. Filling a list entry by entry is otherwise slow (every entry repaints it).
  class DrawingPaused {
   public:
    explicit DrawingPaused(ListBox& list);
    ~DrawingPaused();
    DrawingPaused(const DrawingPaused&) = delete;
    DrawingPaused& operator=(const DrawingPaused&) = delete;

   private:
    ListBox& list_;
  };
};

class Frame : public Control {
 public:
  Frame(Form& form, ControlArgs args) : Control(form, ControlKind::Frame, std::move(args)) {}
};

class PictureBox : public Control {
 public:
  PictureBox(Form& form, ControlArgs args) : Control(form, ControlKind::PictureBox, std::move(args)) {}
};

class Image : public Control {
 public:
  Image(Form& form, ControlArgs args) : Control(form, ControlKind::Image, std::move(args)) {}
};

enum class BorderStyle { FixedSingle, FixedDialog };

// How a window is made: its settings row.
struct FormArgs {
  std::wstring caption;
  BorderStyle border = BorderStyle::FixedSingle;
  bool minButton = true;
  bool maxButton = false;
  bool showInTaskbar = true;
  int clientWidth = 0;   // twips
  int clientHeight = 0;  // twips
  Colour backColour = Rgb(192, 192, 192);
  Font font;
  int icon = 0;  // resource number
};

struct NativeForm;

class Form {
 public:
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  // Loads the window if it is not loaded (its load event runs, then it is centred on the screen),
  // shows it modeless and without an owner, and activates it.
  void Show();
  // Destroys the window and its controls; the next Show loads it afresh.
  void Unload();
  bool Loaded() const { return native_ != nullptr; }

  std::wstring Caption() const;
  void SetCaption(const std::wstring& caption);
  WindowHandle hWnd() const;
  const FormArgs& Design() const { return args_; }
  const std::vector<Control*>& Controls() const { return controls_; }

 protected:
  explicit Form(FormArgs args) : args_(std::move(args)) {}
  virtual void Form_Load() {}

 private:
  friend class Control;
  friend struct Backend;
  void Load();

  FormArgs args_;
  std::vector<Control*> controls_;  // in the order the window creates them
  NativeForm* native_ = nullptr;    // set while loaded
};

// The application object.
struct Application {
  std::wstring Path() const;  // the folder that holds the executable, without a trailing backslash
  std::wstring Title;
  std::int16_t Major = 0, Minor = 0, Revision = 0;
};
Application& App();

// The text in upper case, as the system upper-cases letters; other characters stay as they are.
std::wstring UCase(const std::wstring& text);

// Twips per horizontal pixel of the display: 15 at 96 dpi, 12 at 120 dpi.
float TwipsPerPixelX();

// Shows a modal box with the prompt and an OK button only, no icon; the application title is
// its title when none is given. Goes through the system services, so tests can catch it.
void MsgBox(const std::wstring& prompt, const std::wstring& title = {});

// Loads and shows the start-up window, then delivers events until no window is loaded
// or End is called. Returns the program's exit code.
int Run(Form& startup);

// Ends the program at once: every window disappears and no further handler runs.
void End();

}  // namespace forms
