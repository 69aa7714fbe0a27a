#include "main/frmMain.h"

#include <cmath>
#include <cwchar>

#include "resources/resource.h"
#include "about/frmAbout.h"
#include "main/modLookup.h"
#include "main/modVar.h"
#include "platform/system.h"
#include "platform/textfile.h"
#include "platform/win32api.h"

using namespace forms;

namespace {

const Colour kBackColour = Rgb(192, 188, 192);
const Font kBoldFont{L"MS Sans Serif", 8.25, true};

struct Catalogue {
  const wchar_t* fileName;  // appended to the program's folder
  const wchar_t* suffix;    // of the total's caption
};
constexpr Catalogue kWin32Errors{L"\\errmsg.orv", L" Win error codes"};
constexpr Catalogue kOleErrors{L"\\errmsg2.orv", L" OLE error codes"};

// The full list's entries, as many as the count of record says, for the steps of modLookup.
class ListLines : public CatalogueLines {
 public:
  ListLines(const ListBox& list, const Label& count)
      : list_(list), count_(std::wcstol(count.Caption().c_str(), nullptr, 10)) {}
  long Count() const override { return count_; }
  std::wstring Line(long index) const override { return list_.List(static_cast<std::int16_t>(index)); }

 private:
  const ListBox& list_;
  long count_;
};

}  // namespace

frmMain::frmMain()
    : Form({.caption = L"Quorvex",
            .border = BorderStyle::FixedSingle,
            .minButton = true,
            .maxButton = false,
            .clientWidth = 7845,
            .clientHeight = 4710,
            .backColour = kBackColour,
            .icon = IDI_APPICON}),
      opt2(*this, {.place = {6480, 3120, 1215, 255}, .text = L"OLE Errors", .tabIndex = 8}),
      opt1(*this, {.place = {5160, 3120, 1215, 255}, .text = L"Win Errors", .tabIndex = 7, .value = true}),
      Command2(*this, {.place = {6450, 3600, 1215, 375}, .text = L"&About", .tabIndex = 5,
                       .toolTip = L"About Quorvex"}),
      Command1(*this, {.place = {6450, 4200, 1215, 375}, .text = L"&Close", .tabIndex = 4,
                       .toolTip = L"Close me"}),
      txtInput(*this, {.place = {2760, 4080, 1815, 285}, .tabIndex = 0, .centre = true}),
      // A tab in an entry leads to the "Description" heading.
      lstNames(*this, {.place = {180, 720, 7485, 2010}, .tabIndex = 2, .tabStop = 1680 - 180}),
      lstDisplay(*this, {.place = {180, 720, 7485, 2010}, .tabIndex = 1, .visible = false, .tabStop = 1680 - 180}),
      Label2(*this, {.place = {1680, 480, 795, 195}, .text = L"Description", .tabIndex = 10,
                     .autoSize = true}),
      Label1(*this, {.place = {240, 480, 375, 195}, .text = L"Code", .tabIndex = 9, .autoSize = true}),
      lblTotal(*this, {.place = {3870, 75, 105, 195}, .tabIndex = 6, .font = kBoldFont,
                       .autoSize = true, .keepCentre = true}),
      imgHelp(*this, {.place = {5520, 3600, 480, 480}, .toolTip = L"Help me", .picture = IDB_HELP,
                      .pointer = Pointer::Hand}),
      Image2(*this, {.place = {180, 3000, 4770, 1590}, .picture = IDB_ERRORBOX}),
      lblCount(*this, {.place = {5400, 4920, 570, 195}, .tabIndex = 3, .visible = false}) {
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  imgHelp.Click = [this] { imgHelp_Click(); };
  opt1.Click = [this] { opt1_Click(); };
  opt2.Click = [this] { opt2_Click(); };
  txtInput.Change = [this] { txtInput_Change(); };
  lstNames.KeyDown = [this](int KeyCode, int Shift) { lstNames_KeyDown(KeyCode, Shift); };
  lstDisplay.KeyDown = [this](int KeyCode, int Shift) { lstDisplay_KeyDown(KeyCode, Shift); };
}

frmMain& frmMain::Instance() {
  static frmMain instance;
  return instance;
}

std::int32_t HorizontalScrollRange(float widthTwips, float twipsPerPixel) {
  const double pixels = static_cast<double>(widthTwips) / static_cast<double>(twipsPerPixel) * 2.5;
  return static_cast<std::int32_t>(std::nearbyint(pixels));  // the default rounding: ties to even
}

void frmMain::Form_Load() {
  std::int32_t unused = 0;
  SendMessageA(lstNames.hWnd(), LB_SETHORIZONTALEXTENT,
               static_cast<std::uintptr_t>(HorizontalScrollRange(lstNames.Width(), TwipsPerPixelX())),
               reinterpret_cast<std::intptr_t>(&unused));
  SendMessageA(lstDisplay.hWnd(), LB_SETHORIZONTALEXTENT,
               static_cast<std::uintptr_t>(HorizontalScrollRange(lstDisplay.Width(), TwipsPerPixelX())),
               reinterpret_cast<std::intptr_t>(&unused));
  txtInput.SetToolTipText(L"Enter the error code");
  lstDisplay.SetToolTipText(L"Displays search Results");
  lstNames.SetToolTipText(L"List of all error codes");
  txtInput.SetMaxLength(20);
  LoadCatalogue();
}

void frmMain::Command1_Click() { End(); }

void frmMain::Command2_Click() { frmAbout::Instance().Show(); }

void frmMain::imgHelp_Click() { MsgBox(L"Enter the error code number of scroll down the available list."); }

void frmMain::opt1_Click() { LoadCatalogue(); }

void frmMain::opt2_Click() { LoadCatalogue(); }

void frmMain::txtInput_Change() {
  using namespace modVar;
  const std::wstring text = txtInput.Text();
  if (text.empty()) {
    lstNames.SetVisible(true);
    lstDisplay.SetVisible(false);
    return;
  }
  lstNames.SetVisible(false);
  lstDisplay.SetVisible(true);
  SearchLength = static_cast<std::int16_t>(text.size());
  SearchText = UCase(text);
  ListBox::DrawingPaused paused(lstDisplay);
  lstDisplay.Clear();
  txtInput.SetFocus();
  const long count = std::wcstol(lblCount.Caption().c_str(), nullptr, 10);
  for (EntryIndex = 0; EntryIndex < count; ++EntryIndex) {
    const std::wstring piece = UCase(lstNames.List(static_cast<std::int16_t>(EntryIndex)).substr(0, SearchLength));
    const auto found = piece.find(SearchText);
    MatchPosition = found == std::wstring::npos ? 0 : static_cast<int>(found) + 1;
    if (MatchPosition > 0) lstDisplay.AddItem(lstNames.List(static_cast<std::int16_t>(EntryIndex)));
  }
  if (lstDisplay.ListCount() == 0) LookFurther(text);
}

// An input that no entry begins with: the steps of modLookup, on this list and the other one.
void frmMain::LookFurther(const std::wstring& sText) {
  const bool bWin32 = opt1.Value();
  const ListLines open(lstNames, lblCount);
  const Lookup query{sText, open, bWin32, App().Path() + (bWin32 ? kOleErrors : kWin32Errors).fileName,
                     (bWin32 ? opt2 : opt1).Caption()};
  for (const std::wstring& line : LookUp(query)) {
    // The other catalogue's lines and the line that names it may be one more than a list holds.
    if (lstDisplay.ListCount() == ListBox::MaxCount) break;
    lstDisplay.AddItem(line);
  }
}

void frmMain::lstNames_KeyDown(int KeyCode, int Shift) { CopyEntry(lstNames, KeyCode, Shift); }

void frmMain::lstDisplay_KeyDown(int KeyCode, int Shift) { CopyEntry(lstDisplay, KeyCode, Shift); }

// Ctrl+C and Ctrl+Insert put the selected entry, as the list shows it, on the clipboard.
void frmMain::CopyEntry(const ListBox& oList, int KeyCode, int Shift) {
  if (Shift != CtrlMask || (KeyCode != KeyC && KeyCode != KeyInsert) || oList.ListIndex() < 0) return;
  Sys().SetClipboardText(hWnd(), oList.List(oList.ListIndex()));
}

void frmMain::File2ListBox(const std::wstring& sFile, ListBox& oList) {
  ListBox::DrawingPaused paused(oList);
  TextFile file;
  oList.Clear();
  if (!file.Open(sFile)) return;
  // The list holds at most MaxCount entries; the rest of a longer file is not read.
  while (!file.Eof() && oList.ListCount() < ListBox::MaxCount) oList.AddItem(file.LineInput());
  file.Close();
}

void frmMain::LoadCatalogue() {
  const Catalogue& catalogue = opt1.Value() ? kWin32Errors : kOleErrors;
  File2ListBox(App().Path() + catalogue.fileName, lstNames);
  lblCount.SetCaption(std::to_wstring(lstNames.ListCount()));
  lstNames.SetListIndex(-1);
  lblTotal.SetCaption(lblCount.Caption() + catalogue.suffix);
}
