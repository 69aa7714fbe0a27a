#include "main/modCode.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDecimal(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHex(wchar_t c) { return IsDecimal(c) || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }

bool AllOf(std::wstring_view digits, bool (*is)(wchar_t)) {
  if (digits.empty()) return false;
  for (wchar_t c : digits)
    if (!is(c)) return false;
  return true;
}

// 1 to 8 hex digits.
std::optional<std::uint32_t> HexValue(std::wstring_view digits) {
  if (digits.size() > 8 || !AllOf(digits, IsHex)) return std::nullopt;
  std::uint32_t value = 0;
  for (wchar_t c : digits) value = value << 4 | static_cast<std::uint32_t>(IsDecimal(c) ? c - L'0' : (c | 0x20) - L'a' + 10);
  return value;
}

// Decimal digits, any number of them, up to 4294967295.
std::optional<std::uint32_t> DecimalValue(std::wstring_view digits) {
  if (!AllOf(digits, IsDecimal)) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t c : digits) {
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// The Win32 code a value stands for. HRESULT_FROM_WIN32 makes 8007xxxx of every code but 0,
// which it leaves 0: 80070000 stands for no Win32 code.
CatalogueCode Win32Code(std::uint32_t value, bool writtenInHex) {
  if ((value & 0xFFFF0000u) == 0x80070000u && value != 0x80070000u) return {std::to_wstring(value & 0xFFFFu), true};
  if (writtenInHex && value <= 0xFFFFu) return {std::to_wstring(value), true};
  return {};
}

}  // namespace

std::wstring TrimBlanks(const std::wstring& sText) {
  std::size_t first = 0, last = sText.size();
  while (first < last && IsBlank(sText[first])) ++first;
  while (last > first && IsBlank(sText[last - 1])) --last;
  return sText.substr(first, last - first);
}

namespace {

// A code in one of the notations that ReadErrorCode reads: its value, and for the hexadecimal
// notations the digits as written.
struct Written {
  std::uint32_t value = 0;
  std::optional<std::wstring> hexDigits;  // upper-cased
};

// bBareHex: eight hex digits with nothing around them are hexadecimal (else they are a decimal
// when they are all digits, and no code when they are not).
std::optional<Written> ReadNotation(const std::wstring& sText, bool bBareHex) {
  const std::wstring trimmed = TrimBlanks(sText);
  std::wstring_view text = trimmed;

  // Hexadecimal, with a prefix or a suffix, or as eight bare digits.
  std::optional<std::wstring_view> hex;
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    hex = text.substr(2);
    if (hex->size() > 1 && (hex->back() == L'L' || hex->back() == L'l')) hex->remove_suffix(1);
  } else if (text.size() > 1 && (text.back() == L'h' || text.back() == L'H')) {
    hex = text.substr(0, text.size() - 1);
  } else if (bBareHex && text.size() == 8 && AllOf(text, IsHex)) {
    hex = text;
  }
  if (hex) {
    const std::optional<std::uint32_t> value = HexValue(*hex);
    if (!value) return std::nullopt;
    std::wstring digits(*hex);
    for (wchar_t& c : digits)
      if (c >= L'a' && c <= L'f') c = static_cast<wchar_t>(c - L'a' + L'A');
    return Written{*value, digits};
  }

  // Decimal: negative, as a signed 32-bit value, or too large for a Win32 code.
  if (!text.empty() && text[0] == L'-') {
    const std::optional<std::uint32_t> magnitude = DecimalValue(text.substr(1));
    if (!magnitude || *magnitude == 0 || *magnitude > 0x80000000u) return std::nullopt;
    return Written{0u - *magnitude, std::nullopt};  // the two's complement, as the 32 bits hold it
  }
  const std::optional<std::uint32_t> unsignedValue = DecimalValue(text);
  if (!unsignedValue || *unsignedValue < 0x10000u) return std::nullopt;
  return Written{*unsignedValue, std::nullopt};
}

}  // namespace

CatalogueCode ReadErrorCode(const std::wstring& sText, bool bWin32) {
  const std::optional<Written> written = ReadNotation(sText, bWin32);
  if (!written) return {};
  if (bWin32) return Win32Code(written->value, written->hexDigits.has_value());
  return {written->hexDigits ? *written->hexDigits : EightHexDigits(written->value), false};
}

std::optional<std::uint32_t> ReadErrorValue(const std::wstring& sText) {
  const std::optional<Written> written = ReadNotation(sText, true);
  if (!written) return std::nullopt;
  return written->value;
}

std::wstring EightHexDigits(std::uint32_t value) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text(8, L'0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return text;
}
