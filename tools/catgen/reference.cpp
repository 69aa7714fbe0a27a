#include "reference.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace catgen {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    switch (s[++i]) {
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      default: out += s[i]; break;
    }
  }
  return out;
}

// Calls `read` with the fields of each line that is neither empty nor a comment.
template <typename Read>
void EachLine(std::string_view tsv, Read read) {
  for (std::size_t start = 0; start < tsv.size();) {
    std::size_t end = tsv.find('\n', start);
    if (end == std::string_view::npos) end = tsv.size();
    std::string_view line = tsv.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line[0] != '#') read(Fields(line));
  }
}

std::optional<std::uint32_t> Hex(std::string_view digits) {
  std::uint32_t value = 0;
  const auto [at, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || at != digits.data() + digits.size() || digits.size() != 8) return std::nullopt;
  return value;
}

// Microsoft's documentation.
bool IsMicrosoftPage(std::string_view page) { return page.rfind("https://learn.microsoft.com/", 0) == 0; }

}  // namespace

Reference ReadReference(std::string_view tsv) {
  Reference ref;
  EachLine(tsv, [&](const std::vector<std::string_view>& f) {
    std::optional<std::uint32_t> value;
    std::optional<Family> family;
    if (f.size() == 4 && !f[2].empty() && (value = Hex(f[1]))) {
      if (f[0] == "win32" && *value <= 0xFFFF) family = Family::Win32;
      else if (f[0] == "hresult") family = Family::HResult;
      else if (f[0] == "ntstatus") family = Family::NtStatus;
    }
    if (family) ref.codes.push_back({{*family, *value}, Unescape(f[2]), Unescape(f[3])});
    else ++ref.skipped;
  });
  return ref;
}

Documented ReadDocumented(std::string_view tsv) {
  Documented documented;
  EachLine(tsv, [&](const std::vector<std::string_view>& f) {
    std::optional<Code> code;
    if (f.size() == 5 && !f[0].empty()) {
      if (const auto hex = Hex(f[0])) {
        code = Code{Family::HResult, *hex};
      } else if (f[0].size() <= 5 && (f[0] == "0" || f[0][0] != '0') &&
                 std::all_of(f[0].begin(), f[0].end(), [](char c) { return c >= '0' && c <= '9'; })) {
        std::uint32_t value = 0;
        std::from_chars(f[0].data(), f[0].data() + f[0].size(), value);
        if (value <= 0xFFFF) code = Code{Family::Win32, value};
      }
    }
    const auto nameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    const bool whole = code && !f[1].empty() && !std::isdigit(static_cast<unsigned char>(f[1][0])) &&
                       std::all_of(f[1].begin(), f[1].end(), nameChar) && !f[2].empty() && f[3].size() > 1 &&
                       f[3].back() == '.' && IsMicrosoftPage(f[4]);
    if (whole) documented.codes.push_back({*code, std::string(f[1]), std::string(f[2]), std::string(f[3]), std::string(f[4])});
    else ++documented.skipped;
  });
  return documented;
}

}  // namespace catgen
