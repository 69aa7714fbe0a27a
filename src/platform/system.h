// The operations of the system that tests must be able to replace: the message box, the registry,
// the file lookup, starting programs, opening web pages and the clipboard.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms.h"

namespace forms {

// A registry key: one of the roots, or a key opened from one.
using RegKey = std::intptr_t;

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  // A modal box with the prompt, one OK button and no icon, under the given title.
  virtual void MsgBox(const std::wstring& prompt, const std::wstring& title) = 0;

  // The registry, as advapi32 offers it: texts in the ANSI code page, results as system error codes.
  virtual long RegOpenKeyExA(RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                             RegKey* result) = 0;
  virtual long RegQueryValueExA(RegKey key, const std::string& valueName, std::uint32_t* type, unsigned char* data,
                                std::uint32_t* size) = 0;
  virtual long RegCloseKey(RegKey key) = 0;

  // The name of the first normal file that matches the path, or the empty text.
  virtual std::wstring Dir(const std::wstring& path) = 0;

  // Starts the program at exactly this path (never a command line that a space could split) with
  // the arguments, in the window style (1 normal with focus, 2 minimised with focus), and returns
  // at once; false when it cannot be started.
  virtual bool Shell(const std::wstring& program, const std::wstring& arguments, int windowStyle) = 0;

  // Hands the file (a web address) to the shell's handler for it; the result is not looked at.
  virtual void ShellExecuteA(WindowHandle owner, const std::string& operation, const std::string& file,
                             const std::string& parameters, const char* directory, int showCommand) = 0;

  // Puts the text on the clipboard as Unicode text, owned by the window; nothing happens when
  // the clipboard cannot be had.
  virtual void SetClipboardText(WindowHandle owner, const std::wstring& text) = 0;

  // The value of an environment variable, or the empty text.
  virtual std::wstring Environ(const std::wstring& name) = 0;
};

// The services in use: the system's own unless a test has put others in their place.
SystemServices& Sys();
// Puts other services in place (nullptr restores the system's own); returns the previous ones.
SystemServices* SetSys(SystemServices* services);

}  // namespace forms
