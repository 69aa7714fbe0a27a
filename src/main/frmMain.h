// The main window: the two catalogue lists, the input box for the code, the choice of catalogue,
// the total, the Close and About buttons and the help picture.
#pragma once

#include <string>

#include "platform/forms.h"

class frmMain : public forms::Form {
 public:
  frmMain();

  // The program-wide instance, created on first use.
  static frmMain& Instance();

  // Controls, in the order the window creates them.
  forms::OptionButton opt2;
  forms::OptionButton opt1;
  forms::CommandButton Command2;
  forms::CommandButton Command1;
  forms::TextBox txtInput;
  forms::ListBox lstNames;    // the full catalogue
  forms::ListBox lstDisplay;  // the search results
  forms::Label Label2;
  forms::Label Label1;
  forms::Label lblTotal;
  forms::Image imgHelp;
  forms::Image Image2;
  forms::Label lblCount;      // never visible: the entry count of the loaded catalogue

  void Command1_Click();
  void Command2_Click();
  void imgHelp_Click();
  void opt1_Click();
  void opt2_Click();
  void txtInput_Change();
  void lstNames_KeyDown(int KeyCode, int Shift);
  void lstDisplay_KeyDown(int KeyCode, int Shift);

  // Fills oList with the lines of the text file sFile. Reports no failure: the list is emptied
  // first, so a file that cannot be read leaves it empty.
  void File2ListBox(const std::wstring& sFile, forms::ListBox& oList);

 protected:
  void Form_Load() override;

 private:
  void LoadCatalogue();
  void LookFurther(const std::wstring& sText);
  void CopyEntry(const forms::ListBox& oList, int KeyCode, int Shift);
};

// Pixels by which a list of the given width can be scrolled sideways: two and a half times its
// width, rounded to the nearest whole pixel, ties to even.
std::int32_t HorizontalScrollRange(float widthTwips, float twipsPerPixel);
