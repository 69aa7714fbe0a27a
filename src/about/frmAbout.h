// The about window: the program's title and version, a description and a warning, links to the
// maker's web pages and a button that starts the system's own system-information tool.
#pragma once

#include <string>

#include "platform/forms.h"
#include "platform/system.h"

class frmAbout : public forms::Form {
 public:
  frmAbout();

  // The program-wide instance, created on first use.
  static frmAbout& Instance();

  // Controls, in tab order.
  forms::PictureBox picIcon;
  forms::Label lblTitle;
  forms::Label lblVersion;
  forms::Frame Frame1;
  forms::Label lblDisclaimer;
  forms::Frame Frame2;
  forms::Label lblDescription;
  forms::CommandButton Command1;
  forms::CommandButton Command2;
  forms::CommandButton Command3;
  forms::CommandButton Command4;
  forms::Image Image1;

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void picIcon_Click();
  void Image1_Click();

  // Finds the system-information tool through the registry and starts it, or says that it is
  // unavailable. Never passes a failure on.
  void StartSysInfo();
  // Reads one registry value as text into KeyVal; true when it was read. Only KeyVal changes.
  bool GetKeyValue(const forms::RegKey& KeyRoot, const std::wstring& Keyname, const std::wstring& SubKeyRef,
                   std::wstring& KeyVal);

 protected:
  void Form_Load() override;
};

// The maker's web pages.
inline constexpr char kHomePage[] = "http://www.orvanta.example";
inline constexpr char kMailingListPage[] = "http://www.orvanta.example/Pages/ListBot.html";
