// The in-memory back end of the forms layer: what unit tests see of the windows and how they act
// as the user would.
#pragma once

#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/system.h"

namespace forms {

// The in-memory stand-in for a window of the system.
struct NativeWindow {
  ControlKind kind = ControlKind::Label;
  bool isForm = false;
  std::wstring text;
  bool visible = false;
  bool value = false;
  std::vector<std::wstring> items;
  int listIndex = -1;
  int maxLength = 0;
  std::wstring toolTip;
  int horizontalExtent = 0;
  int drawingPaused = 0;  // nested pauses of a list's drawing
  int redraws = 0;        // times a list was drawn after entries changed
};

namespace memory {

// One operation that a window made on a control, in the order made.
struct Call {
  WindowHandle window;
  std::string operation;
  std::wstring text;
  long long number = 0;
};

// Back to a fresh program: nothing loaded, 15 twips per pixel, no calls, no message boxes.
void Reset();
void SetTwipsPerPixel(float twips);
void SetAppPath(const std::wstring& folder);

const std::vector<Call>& Calls();
void ClearCalls();

// Message boxes shown through the system's own services: prompt and title.
struct Box {
  std::wstring prompt, title;
};
const std::vector<Box>& Boxes();

// As the user: clicks a control (an option button is selected first, as a click on it does).
void Click(Control& control);
// As the user: types text at the end of the box, one character at a time, within its limit.
void Type(TextBox& box, const std::wstring& text);
// As the user: deletes the last character of the box.
void Backspace(TextBox& box);
// As the user: presses a key (with Shift, Ctrl or Alt held, as KeyDown gives them) with the focus
// on the control.
void Press(Control& control, int keyCode, int shift);
// The text last put on the clipboard through the system's own services.
const std::wstring& ClipboardText();

WindowHandle Focus();
Form* ActiveForm();
bool Ended();  // End was called, or the last window was unloaded

}  // namespace memory
}  // namespace forms
