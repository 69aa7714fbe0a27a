// Any text pasted into the input box, read as an error code in another notation, as a name and as
// a value: never a crash; whatever it reads as a code is one as the catalogue writes it, which
// reads back as itself; a name prefix is found in a line that holds it as a name; a value's line
// begins with the value.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "main/modCode.h"
#include "main/modLookup.h"

namespace {

bool Only(const std::wstring& text, const wchar_t* allowed) {
  return !text.empty() && text.find_first_not_of(allowed) == std::wstring::npos;
}

void Check(const std::wstring& text, bool win32) {
  const CatalogueCode code = ReadErrorCode(text, win32);
  if (code.sCode.empty()) {
    if (code.bWhole) std::abort();
    return;
  }
  if (win32) {
    // A Win32 code: a decimal from 0 to 65535, whole, without leading zeros.
    if (!code.bWhole || code.sCode.size() > 5 || !Only(code.sCode, L"0123456789")) std::abort();
    if (code.sCode.size() > 1 && code.sCode[0] == L'0') std::abort();
    const unsigned long value = std::wcstoul(code.sCode.c_str(), nullptr, 10);
    if (value > 0xFFFF) std::abort();
    wchar_t hex[16];
    std::swprintf(hex, 16, L"0x%lX", value);
    if (ReadErrorCode(hex, true).sCode != code.sCode) std::abort();
  } else {
    // Hex digits, upper-case, at most eight; a prefix as written reads back as the same digits.
    if (code.bWhole || code.sCode.size() > 8 || !Only(code.sCode, L"0123456789ABCDEF")) std::abort();
    if (ReadErrorCode(L"0x" + code.sCode, false).sCode != code.sCode) std::abort();
  }
  // Blanks around the text change nothing.
  const CatalogueCode padded = ReadErrorCode(L" \t" + text + L"\t ", win32);
  if (padded.sCode != code.sCode || padded.bWhole != code.bWhole) std::abort();
}

// The name reading: a prefix is upper-case name characters with a letter, found in a name that
// holds it, never in the same text without the underscore that makes a word a name.
void CheckName(const std::wstring& text) {
  const std::wstring prefix = NamePrefix(text);
  if (prefix.empty()) return;
  if (!Only(prefix, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") || prefix.find_first_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::wstring::npos)
    std::abort();
  if (!HasName(L"5\tA_" + prefix + L" - text", prefix) || !HasName(L"X_" + prefix + L"Z", prefix)) std::abort();
  if (prefix.find(L'_') == std::wstring::npos && HasName(L"5 " + prefix + L" text", prefix)) std::abort();
  HasName(text, prefix);
}

// The value reading: a value's line is its eight digits, a tab, and the words of neither list.
void CheckValue(const std::wstring& text) {
  const std::vector<std::wstring> lines = DescribeValue(text);
  const std::optional<std::uint32_t> value = ReadErrorValue(text);
  if (lines.size() != (value ? 1u : 0u)) std::abort();
  if (value && lines[0] != EightHexDigits(*value) + L"\t" + ValueReading(*value)) std::abort();
  if (value && lines[0].find(L"\tin neither list; HRESULT: ") != 8) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Bytes as characters; a byte of 0xFF makes the next two one character beyond Latin-1.
  std::wstring text;
  for (std::size_t i = 0; i < size && text.size() < 64; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text += static_cast<wchar_t>(data[i + 1] << 8 | data[i + 2]);
      i += 2;
    } else {
      text += static_cast<wchar_t>(data[i]);
    }
  }
  Check(text, false);
  Check(text, true);
  CheckName(text);
  CheckValue(text);
  return 0;
}
