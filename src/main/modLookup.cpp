#include "main/modLookup.h"

#include <algorithm>
#include <functional>
#include <iterator>

#include "main/modCode.h"
#include "platform/forms.h"
#include "platform/textfile.h"

namespace {

// The names of the HRESULT facilities, made at build time: { number, L"NAME" }, by number.
struct Facility {
  std::uint32_t number;
  const wchar_t* name;
};
constexpr Facility kFacilities[] = {
#include "facilities.inc"
};

bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool IsNameCharacter(wchar_t c) { return IsLetter(c) || (c >= L'0' && c <= L'9') || c == L'_'; }
wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

std::wstring Hex(std::uint32_t value) {
  std::wstring digits = EightHexDigits(value);
  return digits.substr(std::min(digits.find_first_not_of(L'0'), digits.size() - 1));
}

// The lines that begin with sCode regardless of case; with bWhole only those where it is followed
// by a tab, a space or nothing (so that 5 is not taken for 50).
std::vector<std::wstring> ListCode(const std::wstring& sCode, bool bWhole, const CatalogueLines& lines) {
  const std::wstring start = forms::UCase(sCode);
  std::vector<std::wstring> found;
  for (long i = 0; i < lines.Count(); ++i) {
    std::wstring line = lines.Line(i);
    if (line.size() < start.size() || forms::UCase(line.substr(0, start.size())) != start) continue;
    const wchar_t after = line.size() > start.size() ? line[start.size()] : L'\t';
    if (!bWhole || after == L'\t' || after == L' ') found.push_back(std::move(line));
  }
  return found;
}

}  // namespace

CatalogueFile::CatalogueFile(const std::wstring& sFile) {
  forms::TextFile file;
  if (!file.Open(sFile)) return;
  while (!file.Eof() && lines_.size() < static_cast<std::size_t>(forms::ListBox::MaxCount))
    lines_.push_back(file.LineInput());
  file.Close();
}

std::vector<std::wstring> LookUp(const Lookup& query) {
  const std::function<std::vector<std::wstring>()> steps[] = {
      [&] { return ListTrimmedOrWrittenOtherwise(query.sText, query.open, query.bWin32); },
      [&] { return ListByName(query.sText, query.open); },
      [&] { return ListInOtherCatalogue(query); },
      [&] { return DescribeValue(query.sText); },
  };
  for (const auto& step : steps)
    if (std::vector<std::wstring> found = step(); !found.empty()) return found;
  return {};
}

// The main window's own search, on any catalogue: the lines at least as long as the input whose
// first characters are the input, both upper-cased.
std::vector<std::wstring> ListBeginning(const std::wstring& sText, const CatalogueLines& lines) {
  return sText.empty() ? std::vector<std::wstring>{} : ListCode(sText, false, lines);
}

// An input that no line begins with may still be a code as people copy it: with blanks around
// it, or in another notation than the catalogue's (0x80070005, -2147024894, 3221225477).
std::vector<std::wstring> ListTrimmedOrWrittenOtherwise(const std::wstring& sText, const CatalogueLines& lines,
                                                        bool bWin32) {
  const std::wstring code = TrimBlanks(sText);
  if (code.empty()) return {};
  if (code.size() < sText.size())
    if (std::vector<std::wstring> found = ListCode(code, false, lines); !found.empty()) return found;
  const CatalogueCode written = ReadErrorCode(code, bWin32);
  if (written.sCode.empty()) return {};
  return ListCode(written.sCode, written.bWhole, lines);
}

std::wstring NamePrefix(const std::wstring& sText) {
  const std::wstring text = TrimBlanks(sText);
  if (!std::all_of(text.begin(), text.end(), IsNameCharacter) || std::none_of(text.begin(), text.end(), IsLetter))
    return {};
  std::wstring prefix;
  std::transform(text.begin(), text.end(), std::back_inserter(prefix), Upper);
  return prefix;
}

bool HasName(const std::wstring& sLine, const std::wstring& sPrefix) {
  if (sPrefix.empty()) return false;
  for (std::size_t start = 0; start < sLine.size();) {
    if (!IsNameCharacter(sLine[start])) {
      ++start;
      continue;
    }
    std::size_t end = start;
    while (end < sLine.size() && IsNameCharacter(sLine[end])) ++end;
    const std::wstring_view word(sLine.data() + start, end - start);
    if (IsLetter(word[0]) && word.find(L'_') != std::wstring_view::npos) {
      for (std::size_t at = 0; at + sPrefix.size() <= word.size(); ++at) {
        if (at > 0 && word[at - 1] != L'_') continue;
        if (std::equal(sPrefix.begin(), sPrefix.end(), word.begin() + static_cast<std::ptrdiff_t>(at),
                       [](wchar_t p, wchar_t w) { return p == Upper(w); }))
          return true;
      }
    }
    start = end;
  }
  return false;
}

std::vector<std::wstring> ListByName(const std::wstring& sText, const CatalogueLines& lines) {
  const std::wstring prefix = NamePrefix(sText);
  std::vector<std::wstring> found;
  if (prefix.empty()) return found;
  for (long i = 0; i < lines.Count(); ++i) {
    std::wstring line = lines.Line(i);
    if (HasName(line, prefix)) found.push_back(std::move(line));
  }
  return found;
}

// The other list holds no second copy in memory: its file is read again at every keystroke that
// gets this far.
std::vector<std::wstring> ListInOtherCatalogue(const Lookup& query) {
  const CatalogueFile other(query.sOtherFile);
  const bool bWin32 = !query.bWin32;
  std::vector<std::wstring> found = ListBeginning(query.sText, other);
  if (found.empty()) found = ListTrimmedOrWrittenOtherwise(query.sText, other, bWin32);
  if (found.empty()) found = ListByName(query.sText, other);
  if (!found.empty()) found.insert(found.begin(), L"In \"" + query.sOtherCaption + L"\":");
  return found;
}

std::vector<std::wstring> DescribeValue(const std::wstring& sText) {
  const std::optional<std::uint32_t> value = ReadErrorValue(sText);
  if (!value) return {};
  return {EightHexDigits(*value) + L"\t" + ValueReading(*value)};
}

std::wstring ValueReading(std::uint32_t value) {
  const std::uint32_t code = value & 0xFFFF;
  const bool customer = value & 0x20000000u, ntBit = value & 0x10000000u;
  const std::wstring codeText = std::to_wstring(code) + L" (0x" + Hex(code) + L")";

  // Facility numbers take the bit above the eleven that HRESULTs document: DXGI's is 0x87A.
  const std::uint32_t facility = value >> 16 & 0xFFF;
  const std::wstring facilityName = FacilityName(facility);
  std::wstring text = L"in neither list; HRESULT: ";
  text += value & 0x80000000u ? L"failure" : L"success";
  if (customer) text += L", customer-defined";
  text += L", facility " + std::to_wstring(facility) + (facilityName.empty() ? L"" : L" (" + facilityName + L")");
  text += L", code " + codeText;

  // An informational or error status (the second bit, which HRESULTs leave clear, is set), unless
  // the value is an HRESULT made from an NTSTATUS, which the reading below gives.
  if (value & 0x40000000u && !ntBit) {
    text += value & 0x80000000u ? L"; NTSTATUS: error" : L"; NTSTATUS: informational";
    if (customer) text += L", customer-defined";
    text += L", facility " + std::to_wstring(facility) + L", code " + codeText;
  }

  // The values it stands for: HRESULT_FROM_WIN32 and the NTSTATUS facility of Win32 codes,
  // HRESULT_FROM_NT, and HRESULT_FROM_SETUPAPI both ways.
  const std::uint32_t high = value & 0xFFFF0000u;
  if ((high == 0x80070000u || high == 0xC0070000u) && code != 0) text += L"; Win32 code " + std::to_wstring(code);
  if (ntBit) text += L"; NTSTATUS " + EightHexDigits(value & ~0x10000000u);
  if (high == 0xE0000000u) text += L"; SetupAPI twin " + EightHexDigits(0x800F0000u | code);
  if (high == 0x800F0000u) text += L"; SetupAPI twin " + EightHexDigits(0xE0000000u | code);
  return text;
}

std::wstring FacilityName(std::uint32_t facility) {
  const auto at = std::lower_bound(std::begin(kFacilities), std::end(kFacilities), facility,
                                   [](const Facility& f, std::uint32_t n) { return f.number < n; });
  return at != std::end(kFacilities) && at->number == facility ? at->name : L"";
}
