// The operations of the system that tests must be able to replace: the message box, and (for the
// about window) the registry, the file lookup, starting programs and opening web pages.
#pragma once

#include <cstdint>
#include <string>

namespace forms {

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  // A modal box with the prompt, one OK button and no icon, under the given title.
  virtual void MsgBox(const std::wstring& prompt, const std::wstring& title) = 0;
};

// The services in use: the system's own unless a test has put others in their place.
SystemServices& Sys();
// Puts other services in place (nullptr restores the system's own); returns the previous ones.
SystemServices* SetSys(SystemServices* services);

}  // namespace forms
