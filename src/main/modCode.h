// Error codes as people copy them from elsewhere: from C sources and debuggers (0x80070005),
// from .NET and PowerShell (-2147024894), as process exit codes (3221225477), from assembly
// listings (80070005h). The catalogues' lines begin with the code written one way only: the
// Win32 code in decimal, every other code as eight hexadecimal digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How the lines of the loaded catalogue begin for one code.
struct CatalogueCode {
  std::wstring sCode;  // empty: the text is no code in another notation, or none of this catalogue
  bool bWhole = false;  // the code must stand whole: followed by a tab, a space or nothing
};

// The text without the blanks (spaces and tabs) around it.
std::wstring TrimBlanks(const std::wstring& sText);

// Reads sText, blanks around it ignored, as an error code in one of these notations:
//   "0x" or "0X" and 1 to 8 hex digits, optionally ending in "L" (or "l"), as C writes them;
//   1 to 8 hex digits ending in "h" or "H", as assemblers write them;
//   a negative decimal from -1 to -2147483648, a signed 32-bit value;
//   a decimal from 65536 to 4294967295, an unsigned 32-bit value too large for a Win32 code;
//   in the Win32 catalogue only, eight hex digits with nothing around them (80070005).
// The hexadecimal catalogue takes the hex digits of the first two notations as they are written
// (so "0x8007" finds what "8007" finds), and the others as eight upper-case hex digits. The Win32
// catalogue takes an HRESULT made from a Win32 code (8007xxxx) as that code, and a value written
// in hex up to 0xFFFF as itself, both in decimal and whole; it holds no other value.
CatalogueCode ReadErrorCode(const std::wstring& sText, bool bWin32);

// The 32-bit value of sText written in one of the notations above, eight bare hex digits read as
// hexadecimal in either catalogue (as both write a code that is no Win32 code); none otherwise.
std::optional<std::uint32_t> ReadErrorValue(const std::wstring& sText);

// The value as eight upper-case hex digits, as the hexadecimal catalogue writes its codes.
std::wstring EightHexDigits(std::uint32_t value);
