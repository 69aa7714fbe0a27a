#include "system_tables.h"

#include <windows.h>

#include <algorithm>

#include "message_table.h"

namespace catgen {

namespace {

constexpr LANGID kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::string Convert(std::string_view text, UINT from, UINT to) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(from, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  const int wsize = static_cast<int>(wide.size());
  const char* replacement = to == CP_UTF8 ? nullptr : "?";
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(to, 0, wide.data(), wsize, nullptr, 0, replacement, nullptr)), '\0');
  WideCharToMultiByte(to, 0, wide.data(), wsize, out.data(), static_cast<int>(out.size()), replacement, nullptr);
  return out;
}

std::string Utf8(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// The languages a table may be read in, best first. A US-English catalogue takes no other
// language: a code without an English text has none.
std::vector<LANGID> Languages(bool userLanguage) {
  if (!userLanguage) return {kUsEnglish, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)};
  const LANGID user = GetUserDefaultUILanguage();
  return {user, MAKELANGID(PRIMARYLANGID(user), SUBLANG_NEUTRAL), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
          kUsEnglish};
}

BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<LPCWSTR>*>(names)->push_back(
      IS_INTRESOURCE(name) ? name : reinterpret_cast<LPCWSTR>(_wcsdup(name)));
  return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<LANGID>*>(languages)->push_back(language);
  return TRUE;
}

// The module's tables, in the first of the languages that it has.
std::vector<Message> Messages(HMODULE module, const std::vector<LANGID>& wanted) {
  std::vector<LPCWSTR> names;
  EnumResourceNamesW(module, RT_MESSAGETABLE, AddName, reinterpret_cast<LONG_PTR>(&names));
  std::vector<Message> messages;
  for (LPCWSTR name : names) {
    std::vector<LANGID> has;
    EnumResourceLanguagesW(module, RT_MESSAGETABLE, name, AddLanguage, reinterpret_cast<LONG_PTR>(&has));
    for (LANGID language : wanted) {
      if (std::find(has.begin(), has.end(), language) == has.end()) continue;
      HRSRC found = FindResourceExW(module, RT_MESSAGETABLE, name, language);
      HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
      const void* bytes = loaded ? LockResource(loaded) : nullptr;
      if (bytes) {
        const auto table = ReadMessageTable(
            std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found)), AnsiToUtf8);
        messages.insert(messages.end(), table.begin(), table.end());
      }
      break;
    }
    if (!IS_INTRESOURCE(name)) free(const_cast<LPWSTR>(name));
  }
  return messages;
}

}  // namespace

std::string AnsiToUtf8(std::string_view text) { return Convert(text, CP_ACP, CP_UTF8); }
std::string Utf8ToAnsi(std::string_view text) { return Convert(text, CP_UTF8, CP_ACP); }

std::vector<Message> SystemErrorTexts(bool userLanguage) {
  std::vector<Message> messages;
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
  for (DWORD code = 0; code <= 0xFFFF; ++code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(flags, nullptr, code, userLanguage ? 0 : kUsEnglish,
                                        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length) messages.push_back({code, Utf8(std::wstring(buffer, length))});
    if (buffer) LocalFree(buffer);
  }
  return messages;
}

std::vector<MessageTable> ModuleTables(bool userLanguage) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (!length || length >= MAX_PATH) return {};
  std::vector<std::wstring> files;
  for (const wchar_t* pattern : {L"\\*.dll", L"\\*.exe"}) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(folder) + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
  });

  const std::vector<LANGID> languages = Languages(userLanguage);
  std::vector<MessageTable> tables;
  for (const std::wstring& file : files) {
    // As data only: nothing of the module runs.
    HMODULE module = LoadLibraryExW((std::wstring(folder) + L"\\" + file).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) continue;
    std::vector<Message> messages = Messages(module, languages);
    FreeLibrary(module);
    if (!messages.empty()) tables.push_back({Utf8(file), std::move(messages)});
  }
  return tables;
}

}  // namespace catgen
