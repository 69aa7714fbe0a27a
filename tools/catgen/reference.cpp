#include "reference.h"

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

HandKept ReadHandKept(std::string_view tsv) {
  HandKept kept;
  EachLine(tsv, [&](const std::vector<std::string_view>& f) {
    const auto value = f.size() == 5 ? Hex(f[0]) : std::nullopt;
    const bool whole = value && !f[1].empty() && !f[2].empty() && !f[4].empty();
    if (whole) kept.codes.push_back({{Family::HResult, *value}, std::string(f[1]), std::string(f[2]), std::string(f[3]), std::string(f[4])});
    else ++kept.skipped;
  });
  return kept;
}

}  // namespace catgen
