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

}  // namespace

Reference ReadReference(std::string_view tsv) {
  Reference ref;
  for (std::size_t start = 0; start < tsv.size();) {
    std::size_t end = tsv.find('\n', start);
    if (end == std::string_view::npos) end = tsv.size();
    std::string_view line = tsv.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const auto f = Fields(line);
    std::uint32_t value = 0;
    std::optional<Family> family;
    if (f.size() == 4 && !f[1].empty() && !f[2].empty()) {
      const auto [at, error] = std::from_chars(f[1].data(), f[1].data() + f[1].size(), value, 16);
      const bool number = error == std::errc() && at == f[1].data() + f[1].size();
      if (number && f[0] == "win32" && value <= 0xFFFF) family = Family::Win32;
      else if (number && f[0] == "hresult") family = Family::HResult;
      else if (number && f[0] == "ntstatus") family = Family::NtStatus;
    }
    if (!family) {
      ++ref.skipped;
      continue;
    }
    ref.codes.push_back({{*family, value}, Unescape(f[2]), Unescape(f[3])});
  }
  return ref;
}

}  // namespace catgen
