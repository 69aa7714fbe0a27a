#include "merge.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace catgen {

namespace {

// A code with everything the sources say of it.
struct Record {
  std::vector<std::string> names;  // the primary name first
  std::string reference, system, table;
};

void AddName(std::vector<std::string>& names, const std::string& name, bool primary) {
  auto at = std::find(names.begin(), names.end(), name);
  if (at != names.end()) {
    if (primary) std::rotate(names.begin(), at, at + 1);
    return;
  }
  names.insert(primary ? names.begin() : names.end(), name);
}

// Ids above 65535 in a table of Win32 codes are HRESULTs: no Win32 code is that large.
Family Target(Family table, std::uint32_t id) {
  return (table == Family::Win32 || table == Family::Ras) && id > 0xFFFF ? Family::HResult : table;
}

std::string Mark(Family family) {
  switch (family) {
    case Family::Ras: return " (RAS)";
    case Family::NtStatus: return " (NTSTATUS)";
    default: return "";
  }
}

Entry MakeEntry(std::uint32_t value, const Record& r, const std::string& mark, const std::string& text) {
  Entry e{value, {}, text, {}};
  if (!r.names.empty()) {
    e.name = r.names[0] + mark;
    e.also.assign(r.names.begin() + 1, r.names.end());
  } else if (!mark.empty()) {
    e.name = mark.substr(1);
  }
  return e;
}

}  // namespace

std::string OneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t end = text.find_first_not_of(" \t\r\n", i);
    const std::size_t run = (end == std::string::npos ? text.size() : end) - i;
    if (run == 0) {
      line += text[i++];
      continue;
    }
    const bool breaks = text.substr(i, run).find_first_of("\t\r\n") != std::string::npos;
    if (!line.empty() && end != std::string::npos) line += breaks ? std::string(" ") : text.substr(i, run);
    i += run;
  }
  return line;
}

Merged Merge(const Sources& sources) {
  std::map<Code, Record> records;
  for (const Named& n : sources.headers) AddName(records[n.code].names, n.name, false);
  for (const Described& d : sources.reference) {
    Record& r = records[d.code];
    AddName(r.names, d.name, true);
    r.reference = OneLine(d.text);
  }
  for (const Message& m : sources.system) {
    std::string text = OneLine(m.text);
    if (m.id <= 0xFFFF && !text.empty()) records[{Family::Win32, m.id}].system = std::move(text);
  }

  Merged merged;
  // A module's table speaks of one family, the one that most of its ids name (a table of Win32
  // codes may hold HRESULTs too); many modules also hold event-log messages, whose ids are no codes
  // and find no record here.
  for (const MessageTable& table : sources.modules) {
    TableUse use{table.module, Family::Win32, table.messages.size(), 0, 0};
    for (Family f : {Family::Win32, Family::HResult, Family::NtStatus, Family::Ras}) {
      const auto hits = static_cast<std::size_t>(std::count_if(
          table.messages.begin(), table.messages.end(),
          [&](const Message& m) { return Target(f, m.id) == f && records.count({f, m.id}) > 0; }));
      if (hits > use.known) use.known = hits, use.family = f;
    }
    for (const Message& m : table.messages) {
      if (!use.known) break;
      auto r = records.find({Target(use.family, m.id), m.id});
      // What the system's own table says of a Win32 code stands: a module's small ids may be
      // messages of its own (a tool's usage text under ids 101 to 103, say).
      if (r == records.end() || !r->second.table.empty() || !r->second.system.empty()) continue;
      r->second.table = OneLine(m.text);
      if (!r->second.table.empty()) ++use.texts;
    }
    merged.tables.push_back(use);
  }

  // The chosen text of each code, and which source it came from.
  std::map<Code, std::string> texts;
  for (const auto& [code, r] : records) {
    const std::pair<const std::string*, std::size_t*> english[] = {
        {&r.reference, &merged.fromReference}, {&r.system, &merged.fromSystem}, {&r.table, &merged.fromTables}};
    const std::pair<const std::string*, std::size_t*> user[] = {
        {&r.system, &merged.fromSystem}, {&r.table, &merged.fromTables}, {&r.reference, &merged.fromReference}};
    for (const auto& [text, count] : sources.systemFirst ? user : english)
      if (!text->empty()) {
        texts[code] = *text;
        ++*count;
        break;
      }
  }

  // Lines of one value keep this order: the HRESULT's own, those of the Win32 codes it wraps, then
  // the NTSTATUS code of that value.
  std::vector<std::tuple<std::uint32_t, int, Entry>> win32, hex;
  for (const auto& [code, r] : records) {
    const std::string& text = texts[code];
    switch (code.family) {
      case Family::Win32:
      case Family::Ras: {
        const int rank = code.family == Family::Win32 ? 0 : 1;
        win32.emplace_back(code.value, rank, MakeEntry(code.value, r, Mark(code.family), text));
        if (code.value == 0) break;
        const std::string wraps = std::string(code.family == Family::Win32 ? " (Win32 " : " (RAS ") +
                                  std::to_string(code.value) + ")";
        hex.emplace_back(0x80070000u | code.value, 1 + rank, MakeEntry(0x80070000u | code.value, r, wraps, text));
        break;
      }
      case Family::HResult:
        hex.emplace_back(code.value, 0, MakeEntry(code.value, r, "", text));
        break;
      case Family::NtStatus:
        hex.emplace_back(code.value, 3, MakeEntry(code.value, r, Mark(code.family), text));
        break;
    }
  }
  const auto byValue = [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
  };
  std::stable_sort(win32.begin(), win32.end(), byValue);
  std::stable_sort(hex.begin(), hex.end(), byValue);

  for (auto& [value, rank, entry] : win32) merged.catalogues.win32.push_back(std::move(entry));
  for (std::size_t i = 0; i < hex.size(); ++i) {
    auto& [value, rank, entry] = hex[i];
    // An HRESULT that wraps a Win32 code shares its line when it has no other text to give.
    if (rank == 0 && i + 1 < hex.size() && std::get<0>(hex[i + 1]) == value && std::get<1>(hex[i + 1]) == 1) {
      Entry& wrapped = std::get<2>(hex[i + 1]);
      if (entry.text.empty() || entry.text == wrapped.text) {
        if (entry.text.empty()) entry.text = wrapped.text;
        entry.also.push_back(wrapped.name);
        entry.also.insert(entry.also.end(), wrapped.also.begin(), wrapped.also.end());
        merged.catalogues.hex.push_back(std::move(entry));
        ++i;
        continue;
      }
    }
    merged.catalogues.hex.push_back(std::move(entry));
  }
  return merged;
}

}  // namespace catgen
