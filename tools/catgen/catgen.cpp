// Writes the two catalogues, errmsg.orv (Win32 errors) and errmsg2.orv (OLE errors), from the
// codes that winerror.h names and the texts that the running system's message tables hold.
//
//   catgen OUTPUT-FOLDER [WINERROR.H] [--user-language]
//
// One line per code, ascending: the code as a user types it (Win32 in decimal, OLE as 8 upper-case
// hexadecimal digits), a tab, its names joined with ", ", " - " and the system's text. Texts are in
// US English where the system has it (or, with --user-language, in the user's language), 8-bit text
// in the ANSI code page, lines ending in CR LF.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "winerror_parse.h"

namespace {

constexpr DWORD kWin32Facility = 7;  // HRESULTs that wrap Win32 codes: their texts are the Win32 ones

bool g_userLanguage = false;

// The system's text for a code, on one line; empty when the system has none.
std::string SystemText(DWORD code) {
  char* buffer = nullptr;
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
  DWORD length = 0;
  if (!g_userLanguage)
    length = FormatMessageA(flags, nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                            reinterpret_cast<char*>(&buffer), 0, nullptr);
  if (!length) length = FormatMessageA(flags, nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text(buffer ? buffer : "", length);
  if (buffer) LocalFree(buffer);
  // One entry is one line: line breaks inside a text become spaces.
  std::string line;
  for (char c : text) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == '\0') continue;
    if (c == ' ' && (line.empty() || line.back() == ' ')) continue;
    line += c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::string Entry(const std::string& code, const std::vector<std::string>& names, const std::string& text) {
  std::string line = code + "\t";
  for (std::size_t i = 0; i < names.size(); ++i) line += (i ? ", " : "") + names[i];
  if (!names.empty() && !text.empty()) line += " - ";
  return line + text + "\r\n";
}

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder, header;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--user-language") g_userLanguage = true;
    else if (folder.empty()) folder = arg;
    else header = arg;
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: catgen OUTPUT-FOLDER [WINERROR.H] [--user-language]\n");
    return 2;
  }
  catgen::Codes codes;
  if (!header.empty()) {
    std::ifstream in(header, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "catgen: cannot read %s\n", header.c_str());
      return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    codes = catgen::ParseWinError(text.str());
  }

  std::string win32;
  std::size_t win32Count = 0;
  for (DWORD code = 0; code <= 0xFFFF; ++code) {
    const std::string text = SystemText(code);
    auto named = codes.win32.find(code);
    if (text.empty() && named == codes.win32.end()) continue;
    win32 += Entry(std::to_string(code), named == codes.win32.end() ? std::vector<std::string>{} : named->second, text);
    ++win32Count;
  }

  // OLE: every HRESULT the header names, and every code the system describes in the facilities
  // that the header's HRESULTs use, errors and (outside the Win32 range) successes.
  std::set<DWORD> ole;
  std::set<DWORD> facilities;
  for (const auto& [code, names] : codes.ole) {
    ole.insert(code);
    facilities.insert((code >> 16) & 0x7FF);
  }
  for (DWORD facility : facilities) {
    if (facility == kWin32Facility) continue;
    for (DWORD low = 0; low <= 0xFFFF; ++low) {
      const DWORD error = 0x80000000u | facility << 16 | low;
      if (!SystemText(error).empty()) ole.insert(error);
      const DWORD success = facility << 16 | low;
      if (facility != 0 && !SystemText(success).empty()) ole.insert(success);
    }
  }
  std::string oleText;
  for (DWORD code : ole) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(code));
    auto named = codes.ole.find(code);
    oleText += Entry(hex, named == codes.ole.end() ? std::vector<std::string>{} : named->second, SystemText(code));
  }

  if (!Write(folder + "\\errmsg.orv", win32) || !Write(folder + "\\errmsg2.orv", oleText)) {
    std::fprintf(stderr, "catgen: cannot write the catalogues into %s\n", folder.c_str());
    return 1;
  }
  std::printf("catgen: %zu Win32 codes, %zu OLE codes\n", win32Count, ole.size());
  return 0;
}
