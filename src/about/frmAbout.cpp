#include "about/frmAbout.h"

#include <cstdint>
#include <vector>

#include "platform/textfile.h"
#include "platform/win32api.h"
#include "resources/resource.h"

using namespace forms;

namespace {

const Colour kBackColour = Rgb(192, 188, 192);
const Colour kBlue = Rgb(0, 0, 255);
const Colour kBlack = Rgb(0, 0, 0);
const Font kHeadingFont{L"MS Sans Serif", 9.75, true};

constexpr wchar_t kDescription[] =
    L"Quorvex describes Windows error codes.  Type a code and it lists every Win32 or OLE error "
    L"that begins with it, with its description.  Quorvex is freeware.";
constexpr wchar_t kDisclaimer[] =
    L"Warning:  This program is provided as is, without warranty of any kind.  Orvanta accepts no "
    L"liability for any loss or damage that may arise from its use.  You use it at your own risk.";

constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";
constexpr std::uint32_t kValueBufferSize = 1024;
constexpr int kNormalFocus = 1;     // window style: normal size and position, with focus
constexpr int kMinimisedFocus = 2;  // window style: minimised, with focus

std::string Ansi(const std::wstring& text) {
  // The key and value names are ASCII constants.
  return std::string(text.begin(), text.end());
}

}  // namespace

frmAbout::frmAbout()
    : Form({.border = BorderStyle::FixedDialog,
            .minButton = false,
            .maxButton = false,
            .showInTaskbar = false,
            .clientWidth = 5730,
            .clientHeight = 3990,
            .backColour = kBackColour,
            .icon = IDI_APPICON}),
      picIcon(*this, {.place = {120, 120, 1065, 2205}, .tabIndex = 0, .toolTip = L"Orvanta Software",
                      .picture = IDB_LOGOBANNER, .pictureAutoSize = true, .pointer = Pointer::Hand}),
      lblTitle(*this, {.place = {1560, 240, 1845, 240}, .tabIndex = 1, .font = kHeadingFont, .foreColour = kBlue}),
      lblVersion(*this, {.place = {1560, 600, 1485, 225}, .tabIndex = 2, .font = kHeadingFont, .foreColour = kBlue}),
      Frame1(*this, {.place = {120, 2405, 4095, 1455}, .tabIndex = 3}),
      lblDisclaimer(*this, {.place = {120, 240, 3870, 1185}, .text = kDisclaimer, .tabIndex = 4,
                            .foreColour = kBlack, .wordWrap = true, .container = &Frame1}),
      Frame2(*this, {.place = {1560, 840, 3975, 1095}, .tabIndex = 5}),
      lblDescription(*this, {.place = {120, 120, 3795, 810}, .text = kDescription, .tabIndex = 6,
                             .foreColour = kBlack, .wordWrap = true, .container = &Frame2}),
      Command1(*this, {.place = {1560, 2040, 2295, 345}, .text = L"&Join the Orvanta mailing list", .tabIndex = 7,
                       .toolTip = L"Join our mailing list", .pointer = Pointer::Hand}),
      Command2(*this, {.place = {4290, 2040, 1245, 345}, .text = L"&Orvanta", .tabIndex = 8,
                       .toolTip = L"Visit Orvanta", .pointer = Pointer::Hand}),
      Command3(*this, {.place = {4290, 2777, 1245, 345}, .text = L"Clos&e", .tabIndex = 9,
                       .toolTip = L"Close this window"}),
      Command4(*this, {.place = {4290, 3480, 1245, 345}, .text = L"&System Info", .tabIndex = 10,
                       .toolTip = L"Info about your computer"}),
      Image1(*this, {.place = {5040, 240, 480, 480}, .picture = IDI_APPICON, .pointer = Pointer::Hand}) {
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  picIcon.Click = [this] { picIcon_Click(); };
  Image1.Click = [this] { Image1_Click(); };
}

frmAbout& frmAbout::Instance() {
  static frmAbout instance;
  return instance;
}

void frmAbout::Form_Load() {
  SetCaption(L"About " + App().Title);
  lblVersion.SetCaption(L"Version " + std::to_wstring(App().Major) + L"." + std::to_wstring(App().Minor) + L"." +
                        std::to_wstring(App().Revision));
  lblTitle.SetCaption(App().Title);
}

void frmAbout::Command1_Click() { Sys().ShellExecuteA(hWnd(), "open", kMailingListPage, "", nullptr, 1); }

void frmAbout::Command2_Click() { Sys().ShellExecuteA(hWnd(), "open", kHomePage, "", nullptr, 1); }

void frmAbout::picIcon_Click() { Sys().ShellExecuteA(hWnd(), "open", kHomePage, "", nullptr, 1); }

void frmAbout::Image1_Click() {
  // "start" is a command of the command interpreter, not a program: run it there. If even that
  // cannot start, the click does nothing.
  Sys().Shell(Sys().Environ(L"ComSpec"), L"/c start " + AnsiToWide(kHomePage), kMinimisedFocus);
}

void frmAbout::Command3_Click() { Unload(); }

void frmAbout::Command4_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
  // Every failure ends in the one message below.
  std::wstring ToolPath;
  if (!GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", ToolPath)) {
    if (!GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", ToolPath) ||
        Sys().Dir(ToolPath + L"\\MSINFO32.EXE").empty()) {
      MsgBox(kUnavailable);
      return;
    }
    ToolPath += L"\\MSINFO32.EXE";
  }
  if (!Sys().Shell(ToolPath, L"", kNormalFocus)) MsgBox(kUnavailable);
}

bool frmAbout::GetKeyValue(const RegKey& KeyRoot, const std::wstring& Keyname, const std::wstring& SubKeyRef,
                           std::wstring& KeyVal) {
  RegKey KeyHandle = 0;
  // Read rights only: asking for more makes the key unreadable to ordinary users.
  if (Sys().RegOpenKeyExA(KeyRoot, Ansi(Keyname), 0, KEY_READ, &KeyHandle) != ERROR_SUCCESS) {
    KeyVal.clear();
    return false;
  }
  std::vector<unsigned char> ValueBuffer(kValueBufferSize, 0);
  std::uint32_t ValueSize = kValueBufferSize;
  std::uint32_t ValueType = 0;
  const long result = Sys().RegQueryValueExA(KeyHandle, Ansi(SubKeyRef), &ValueType, ValueBuffer.data(), &ValueSize);
  // A value with no data has nothing to trim: it is a failed read like a missing one.
  if (result != ERROR_SUCCESS || ValueSize == 0 || ValueSize > kValueBufferSize) {
    KeyVal.clear();
    Sys().RegCloseKey(KeyHandle);
    return false;
  }
  // The last byte written is the terminator of a string stored with one: drop just that.
  const std::size_t kept = ValueBuffer[ValueSize - 1] == 0 ? ValueSize - 1 : ValueSize;
  if (ValueType == REG_SZ) {
    KeyVal = AnsiToWide(std::string_view(reinterpret_cast<const char*>(ValueBuffer.data()), kept));
  } else if (ValueType == REG_DWORD) {
    std::uint64_t number = 0;
    for (std::size_t i = kept; i-- > 0;) number = number << 8 | ValueBuffer[i];  // most significant first
    KeyVal = std::to_wstring(number);
  }
  Sys().RegCloseKey(KeyHandle);
  return true;
}
