// System services for unit tests: an in-memory registry under HKEY_LOCAL_MACHINE, a set of files
// that exist, and a record of every message box, program start, web page opened and clipboard text.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32api.h"

class FakeSystem : public forms::SystemServices {
 public:
  struct Value {
    std::uint32_t type;
    std::string data;  // the bytes stored, exactly
  };
  struct Start {
    std::wstring program, arguments;
    int style;
  };
  struct Link {
    forms::WindowHandle owner;
    std::string operation, file, parameters;
    const char* directory;
    int show;
  };

  FakeSystem() { previous_ = forms::SetSys(this); }
  ~FakeSystem() override { forms::SetSys(previous_); }

  // Registry contents: key path below HKEY_LOCAL_MACHINE, then value name.
  std::map<std::string, std::map<std::string, Value>> keys;
  std::set<std::wstring> files;  // paths of the files that exist, and so of the programs that start
  std::map<std::wstring, std::wstring> environment;
  std::set<std::string> denied;  // keys that exist but may not be opened

  std::vector<std::wstring> boxes;
  std::vector<std::string> queried;  // "key\value" of every value read
  std::vector<std::uint32_t> access;  // rights asked for at every open
  std::vector<std::wstring> lookups;  // paths given to Dir
  std::vector<Start> starts;
  std::vector<Link> links;
  std::vector<std::wstring> clipboard;  // every text put on the clipboard
  int openKeys = 0;

  void MsgBox(const std::wstring& prompt, const std::wstring& title) override {
    boxes.push_back(title + L": " + prompt);
  }

  long RegOpenKeyExA(forms::RegKey root, const std::string& subKey, std::uint32_t, std::uint32_t rights,
                     forms::RegKey* result) override {
    access.push_back(rights);
    auto key = keys.find(subKey);
    if (root != HKEY_LOCAL_MACHINE || key == keys.end()) return ERROR_FILE_NOT_FOUND;
    if (denied.count(subKey)) return 5;  // ERROR_ACCESS_DENIED
    handles_[++next_] = subKey;
    *result = next_;
    ++openKeys;
    return ERROR_SUCCESS;
  }

  long RegQueryValueExA(forms::RegKey handle, const std::string& name, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size) override {
    const std::string& path = handles_.at(handle);
    queried.push_back(path + "\\" + name);
    auto value = keys[path].find(name);
    if (value == keys[path].end()) return ERROR_FILE_NOT_FOUND;
    const std::string& bytes = value->second.data;
    if (bytes.size() > *size) {
      *size = static_cast<std::uint32_t>(bytes.size());
      return ERROR_MORE_DATA;
    }
    std::copy(bytes.begin(), bytes.end(), data);
    *size = static_cast<std::uint32_t>(bytes.size());
    *type = value->second.type;
    return ERROR_SUCCESS;
  }

  long RegCloseKey(forms::RegKey handle) override {
    if (handles_.erase(handle)) --openKeys;
    return ERROR_SUCCESS;
  }

  std::wstring Dir(const std::wstring& path) override {
    lookups.push_back(path);
    return files.count(path) ? path.substr(path.find_last_of(L'\\') + 1) : std::wstring();
  }

  bool Shell(const std::wstring& program, const std::wstring& arguments, int style) override {
    starts.push_back({program, arguments, style});
    return files.count(program) > 0;
  }

  void ShellExecuteA(forms::WindowHandle owner, const std::string& operation, const std::string& file,
                     const std::string& parameters, const char* directory, int show) override {
    links.push_back({owner, operation, file, parameters, directory, show});
  }

  void SetClipboardText(forms::WindowHandle, const std::wstring& text) override { clipboard.push_back(text); }

  std::wstring Environ(const std::wstring& name) override {
    auto it = environment.find(name);
    return it == environment.end() ? std::wstring() : it->second;
  }

 private:
  forms::SystemServices* previous_;
  std::map<forms::RegKey, std::string> handles_;
  forms::RegKey next_ = 0x1000;
};
