#include "merge.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "corrections.h"
#include "families.h"
#include "headers.h"

namespace catgen {

namespace {

// The order of a code's names (merge.h).
enum Rank { kKnownFirst, kWrapped, kReference, kHeader, kAlias };

struct NameOf {
  std::string name;
  std::vector<std::string> headers;  // the headers that define it; none for the reference's own names
  int rank = kHeader;
  // Among other headers' names, those of the header that names most codes of the HRESULT's
  // facility come first: urlmon.h's INET_E_ names before another header's names for 800Cxxxx.
  std::size_t home = 0;
  std::size_t order = 0;             // of definition, among all sources
  std::string aliasOf;               // the code name it is defined as, if any
  std::string documentedFamily;      // for a name only the documented tables give: their family
  bool doubtful = false;             // every header that gives it gives it as a doubtful name
};

// A code with everything the sources say of it.
struct Record {
  std::vector<NameOf> names;
  std::string referenceName, reference, system, table;
  std::string toolchainName, toolchain;
  std::vector<const Kept*> documented;
};

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::toupper(x) == std::toupper(y); });
}

NameOf& AddName(Record& r, const std::string& name, std::size_t order) {
  auto at = std::find_if(r.names.begin(), r.names.end(), [&](const NameOf& n) { return n.name == name; });
  if (at != r.names.end()) return *at;
  r.names.push_back({name, {}, kHeader, 0, order});
  return r.names.back();
}

// Ids above 65535 in a table of Win32 codes are HRESULTs: no Win32 code is that large.
Family Target(Family table, std::uint32_t id) {
  return (table == Family::Win32 || table == Family::Ras) && id > 0xFFFF ? Family::HResult : table;
}

std::uint32_t Facility(std::uint32_t hresult) { return hresult >> 16 & 0x1FFF; }

std::string DefaultFamily(Code c) {
  switch (c.family) {
    case Family::Win32: return "Win32";
    case Family::Ras: return "RAS";
    case Family::NtStatus: return "NTSTATUS";
    case Family::HResult: return FacilityWords(c.value);
  }
  return "";
}

// The meanings of a code: its names grouped by the families that define them where the code's
// number may mean different things (merge.h), the group of its first name first.
std::vector<std::vector<const NameOf*>> Groups(const Record& r, Code code) {
  std::vector<const NameOf*> names;
  for (const NameOf& n : r.names) names.push_back(&n);
  std::stable_sort(names.begin(), names.end(), [](const NameOf* a, const NameOf* b) {
    return std::tie(a->rank, b->home, a->order) < std::tie(b->rank, a->home, b->order);
  });
  // Success is success, whoever names it, and an 8007xxxx value is its Win32 code.
  const bool hresult = code.family == Family::HResult;
  const bool split = code.value != 0 && (code.family == Family::Win32 || (hresult && code.value >> 16 != 0x8007));
  const auto own = [&](const NameOf* n) {
    if (!split || n->rank == kAlias || n->headers.empty()) return false;
    return hresult ||
           std::any_of(n->headers.begin(), n->headers.end(), [](const std::string& h) { return RuleFor(h).ownMeanings; });
  };
  const auto keyOf = [&](const NameOf* n, const std::string& header) { return hresult ? FamilyKey(n->name, header) : header; };

  std::map<std::string, std::string> parent;
  std::function<std::string(const std::string&)> root = [&](const std::string& k) {
    const std::string up = parent.emplace(k, k).first->second;
    return up == k ? k : parent[k] = root(up);
  };
  for (const NameOf* n : names)
    if (own(n))
      for (const std::string& h : n->headers) parent[root(keyOf(n, h))] = root(keyOf(n, n->headers[0]));
  // A name without a prefix of its own (E_FILTER_FRAMESET) belongs to the one family of its
  // header's words that gives the code (DE_E_FILTER_FRAMESET).
  for (const NameOf* n : names) {
    if (!own(n) || !hresult) continue;
    const std::string k = keyOf(n, n->headers[0]);
    if (k.empty() || k.back() != '/') continue;
    std::set<std::string> kin;
    for (const NameOf* other : names)
      if (own(other) && other != n)
        if (const std::string o = keyOf(other, other->headers[0]); o != k && o.rfind(k, 0) == 0) kin.insert(root(o));
    if (kin.size() == 1) parent[root(k)] = *kin.begin();
  }

  // The names no header defines, and a subsystem's aliases, go with the first name that one does;
  // a name defined as another goes with that one; a documented name with its family.
  std::map<std::string, std::string> keyOfName;
  std::set<std::string> ownKeys;
  for (const NameOf* n : names)
    if (own(n)) ownKeys.insert(keyOfName[n->name] = root(keyOf(n, n->headers[0])));
  // An HRESULT's names that no family claims join the only family there is; a Win32 code's stand
  // for winerror.h's meaning.
  std::string mainKey = names.empty() || !own(names[0]) ? "" : keyOfName[names[0]->name];
  if (mainKey.empty() && hresult && ownKeys.size() == 1) mainKey = *ownKeys.begin();
  for (auto& [name, k] : keyOfName) k = root(k);
  std::map<std::string, const NameOf*> byName;
  for (const NameOf* n : names) byName[n->name] = n;
  std::function<std::string(const NameOf*, int)> keyAt = [&](const NameOf* n, int depth) -> std::string {
    if (own(n)) return keyOfName[n->name];
    // A name defined as another goes where that one goes, through aliases of aliases.
    if (const auto target = byName.find(n->aliasOf); !n->aliasOf.empty() && target != byName.end() && depth < 8)
      return keyAt(target->second, depth + 1);
    if (!n->documentedFamily.empty() && split) {
      for (const auto& [name, k] : keyOfName)
        if (k.rfind(n->documentedFamily + "/", 0) == 0) return k;
      // A family that no header gives this number in has a meaning of its own.
      if (!keyOfName.empty() || (!names.empty() && names[0] != n)) return "=" + n->documentedFamily;
    }
    return mainKey;
  };
  const auto key = [&](const NameOf* n) { return keyAt(n, 0); };
  std::vector<std::string> keys{mainKey};
  std::vector<std::vector<const NameOf*>> groups(1);
  for (const NameOf* n : names) {
    const std::string k = key(n);
    const auto at = static_cast<std::size_t>(std::find(keys.begin(), keys.end(), k) - keys.begin());
    if (at == keys.size()) {
      keys.push_back(k);
      groups.emplace_back();
    }
    groups[at].push_back(n);
  }
  if (groups[0].empty() && groups.size() > 1) groups.erase(groups.begin());
  return groups;
}

// Each meaning of each code, with the texts the sources give it in the order they are taken.
std::vector<Meaning> Meanings(const std::map<Code, Record>& records, bool systemFirst) {
  std::vector<Meaning> meanings;
  for (const auto& [code, r] : records) {
    const auto groups = Groups(r, code);
    const std::size_t start = meanings.size();
    for (std::size_t g = 0; g < groups.size(); ++g) {
      Meaning m{code, {}, {}, g == 0};
      for (const NameOf* n : groups[g]) m.names.push_back(n->name);
      // Who gives the code: the header of its primary name, but winerror.h's and ntstatus.h's
      // codes come from all over the system (their facility says more).
      const auto named = std::find_if(groups[g].begin(), groups[g].end(), [](const NameOf* n) { return !n->headers.empty(); });
      if (named != groups[g].end() && (*named)->headers[0] != "winerror.h" && (*named)->headers[0] != "ntstatus.h")
        m.family = HeaderWords((*named)->headers[0]);
      m.knownFirst = !groups[g].empty() && groups[g][0]->rank == kKnownFirst;
      meanings.push_back(std::move(m));
    }
    // A documented text goes to the meaning that holds its name, else to the one of its family,
    // else to the first; a meaning that no header names is of the family its table gives.
    std::vector<std::string> documented(groups.size());
    for (const Kept* k : r.documented) {
      std::size_t to = groups.size();
      for (std::size_t g = 0; g < groups.size() && to == groups.size(); ++g)
        for (const std::string& name : meanings[start + g].names)
          if (SameName(name, k->name)) to = g;
      for (std::size_t g = 0; g < groups.size() && to == groups.size(); ++g)
        if (meanings[start + g].family == k->family) to = g;
      if (to == groups.size()) to = 0;
      const bool headerNamed = std::any_of(groups[to].begin(), groups[to].end(), [](const NameOf* n) { return !n->headers.empty(); });
      if (!headerNamed && meanings[start + to].family.empty()) meanings[start + to].family = k->family;
      if (documented[to].empty()) documented[to] = k->text;
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
      Meaning& m = meanings[start + g];
      const auto holds = [&](const std::string& name) {
        return !name.empty() && std::find(m.names.begin(), m.names.end(), name) != m.names.end();
      };
      if (m.family.empty()) m.family = DefaultFamily(code);
      const Candidate reference{holds(r.referenceName) ? r.reference : "", Source::Reference};
      const Candidate system{m.main ? r.system : "", Source::System}, table{m.main ? r.table : "", Source::Table};
      m.texts = systemFirst ? std::vector<Candidate>{system, table, reference} : std::vector<Candidate>{reference, system, table};
      m.texts.push_back({holds(r.toolchainName) ? r.toolchain : "", Source::Toolchain});
      m.texts.push_back({documented[g], Source::Documented});
    }
  }
  return meanings;
}

std::vector<std::string> Rest(const std::vector<std::string>& names) {
  return names.empty() ? names : std::vector<std::string>(names.begin() + 1, names.end());
}

// A line: the primary name and its mark (" (NTSTATUS)"), the text, the further names.
Entry MakeEntry(std::uint32_t value, std::vector<std::string> names, const std::string& mark, const std::string& text) {
  const std::string name = names.empty() ? mark.substr(mark.empty() ? 0 : 1) : names[0] + mark;
  return {value, name, text, Rest(names)};
}

Entry Sourced(Entry line, const Meaning& m) {
  if (m.Chosen()) line.source = m.Chosen()->source;
  return line;
}

// The family to name after the name: where the line has no text, or its code several meanings.
std::string WordsFor(const Meaning& m, const std::string& text, bool several) {
  return text.empty() || several ? m.family : "";
}
std::string Bracketed(const std::string& words) { return words.empty() ? "" : " (" + words + ")"; }

// The 8007xxxx line of a Win32 code's meaning w. The first meaning shares it with the HRESULT h
// that the headers define for that value: winerror.h's S_ and E_ names come first, with their
// own text; other names follow the Win32 name.
Entry WrappedLine(const Meaning& w, const Meaning* h, bool several) {
  const bool hFirst = h && h->knownFirst;
  std::string text = w.Text();
  if (h && (text.empty() || (hFirst && !h->Text().empty()))) text = h->Text();
  // "(Win32 N)" names the family of winerror.h's codes already.
  const std::string words = w.family == DefaultFamily(w.code) ? "" : WordsFor(w, text, several);
  const std::string mark = "(Win32 " + std::to_string(w.code.value) + (words.empty() ? "" : ", " + words) + ")";
  std::vector<std::string> names;
  if (hFirst) names.push_back(h->names[0]);
  names.push_back(w.names.empty() ? mark : w.names[0] + " " + mark);
  if (h)
    for (const std::string& n : h->names)
      if (n != names[0] && std::find(w.names.begin(), w.names.end(), n) == w.names.end()) names.push_back(n);
  const auto rest = Rest(w.names);
  names.insert(names.end(), rest.begin(), rest.end());
  Entry line = MakeEntry(0x80070000u | w.code.value, names, "", text);
  const Meaning& from = text == w.Text() || !h ? w : *h;
  if (from.Chosen()) line.source = from.Chosen()->source;
  return line;
}

void MakeLines(const std::vector<Meaning>& meanings, Catalogues& out) {
  std::map<Code, std::vector<const Meaning*>> byCode;
  for (const Meaning& m : meanings) byCode[m.code].push_back(&m);
  const auto has = [&](Family f, std::uint32_t v) { return byCode.count({f, v}) > 0; };

  // Lines of one value keep this order: the HRESULT's own (with the Win32 code it wraps), the
  // Win32 code's other meanings, the RAS code of that number, then the NTSTATUS code of the value.
  std::vector<std::tuple<std::uint32_t, int, Entry>> win32, hex;
  for (const auto& [code, list] : byCode) {
    const bool several = list.size() > 1;
    const std::uint32_t v = code.value;
    for (const Meaning* m : list) {
      const std::string text = m->Text();
      switch (code.family) {
        case Family::Win32:
          win32.emplace_back(v, 0, Sourced(MakeEntry(v, m->names, Bracketed(WordsFor(*m, text, several)), text), *m));
          if (v != 0) {
            const Code wrapping{Family::HResult, 0x80070000u | v};
            const Meaning* h = m->main && has(wrapping.family, wrapping.value) ? byCode[wrapping][0] : nullptr;
            hex.emplace_back(0x80070000u | v, m->main ? 0 : 1, WrappedLine(*m, h, several));
          }
          break;
        case Family::Ras:
          win32.emplace_back(v, 1, Sourced(MakeEntry(v, m->names, " (RAS)", text), *m));
          hex.emplace_back(0x80070000u | v, 2,
                           Sourced(MakeEntry(0x80070000u | v, m->names, " (RAS " + std::to_string(v) + ")", text), *m));
          break;
        case Family::HResult:
          if (v >> 16 == 0x8007 && (v & 0xFFFF) != 0 && has(Family::Win32, v & 0xFFFF)) break;  // WrappedLine
          hex.emplace_back(v, 0, Sourced(MakeEntry(v, m->names, Bracketed(WordsFor(*m, text, several)), text), *m));
          break;
        case Family::NtStatus:
          hex.emplace_back(v, 3, Sourced(MakeEntry(v, m->names, " (NTSTATUS)", text), *m));
          break;
      }
    }
  }
  const auto byValue = [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
  };
  for (auto* list : {&win32, &hex}) std::stable_sort(list->begin(), list->end(), byValue);
  for (auto& line : win32) out.win32.push_back(std::move(std::get<2>(line)));
  for (auto& line : hex) out.hex.push_back(std::move(std::get<2>(line)));
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
  std::map<std::pair<std::string, std::uint32_t>, std::set<std::uint32_t>> facilityCodes;
  for (const Named& n : sources.headers)
    if (n.code.family == Family::HResult) facilityCodes[{n.header, Facility(n.code.value)}].insert(n.code.value);
  std::size_t order = 0;
  for (const Named& n : sources.headers) {
    NameOf& name = AddName(records[n.code], n.name, order++);
    name.headers.push_back(n.header);
    if (name.headers.size() == 1) name.aliasOf = n.aliasOf, name.doubtful = n.doubtful;
    else name.doubtful &= n.doubtful;
    if (n.code.family == Family::HResult && name.headers.size() == 1)
      name.home = facilityCodes[{n.header, Facility(n.code.value)}].size();
    const int rank = n.alias ? kAlias
                     : n.header == "winerror.h" && (n.name.rfind("S_", 0) == 0 || n.name.rfind("E_", 0) == 0) ? kKnownFirst
                                                                                                           : kHeader;
    if (name.headers.size() == 1 || rank < name.rank) name.rank = rank;
  }
  std::map<std::pair<Family, std::string>, std::string> referenceByName;
  for (const Described& d : sources.reference) {
    Record& r = records[d.code];
    NameOf& name = AddName(r, d.name, order++);
    name.rank = std::min(name.rank, static_cast<int>(kReference));
    r.referenceName = d.name;
    r.reference = OneLine(d.text);
    referenceByName[{d.code.family, d.name}] = r.reference;
  }
  // A documented code joins the record of its family that holds its name, whatever the case,
  // else the one of its number; its name is added where no other code of the family has it.
  std::set<std::pair<Family, std::string>> namesInUse;
  for (const auto& [code, r] : records)
    for (const NameOf& n : r.names) namesInUse.insert({code.family, n.name});
  for (const Kept& k : sources.documented) {
    const bool win32 = k.code.family == Family::Win32;
    Record* home = nullptr;
    NameOf* same = nullptr;
    Family family = win32 ? Family::Win32 : k.name.rfind("STATUS_", 0) == 0 ? Family::NtStatus : Family::HResult;
    for (const Family f : win32 ? std::vector{Family::Win32, Family::Ras} : std::vector{Family::HResult, Family::NtStatus}) {
      auto r = records.find({f, k.code.value});
      if (r == records.end()) continue;
      for (NameOf& n : r->second.names)
        if (!same && SameName(n.name, k.name)) same = &n;
      if (same) {
        home = &r->second, family = f;
        break;
      }
    }
    if (!home) home = &records[{family, k.code.value}];
    if (same) {
      same->rank = std::min(same->rank, static_cast<int>(kReference));
    } else if (namesInUse.insert({family, k.name}).second) {
      NameOf& name = AddName(*home, k.name, order++);
      name.rank = kReference;
      name.documentedFamily = k.family;
    }
    home->documented.push_back(&k);
  }
  for (const Described& d : sources.toolchain) {
    const auto r = records.find(d.code);
    if (r == records.end()) continue;
    for (const NameOf& n : r->second.names)
      if (n.name == d.name) r->second.toolchainName = d.name, r->second.toolchain = OneLine(d.text);
  }
  for (const Message& m : sources.system) {
    std::string text = OneLine(m.text);
    if (m.id <= 0xFFFF && !text.empty()) records[{Family::Win32, m.id}].system = std::move(text);
  }

  // A code that only doubtful names give (a plain number that may be a marker) and that nothing
  // else knows is no code.
  for (auto at = records.begin(); at != records.end();) {
    const Record& r = at->second;
    const bool onlyDoubtful = !r.names.empty() && std::all_of(r.names.begin(), r.names.end(), [](const NameOf& n) { return n.doubtful; });
    const bool known = !r.referenceName.empty() || !r.system.empty() || !r.table.empty() || !r.documented.empty();
    at = onlyDoubtful && !known ? records.erase(at) : std::next(at);
  }

  // Every HRESULT made from a Win32 code has that code's line, named as the HRESULT where nothing
  // else names the code.
  for (const auto& [code, r] : records)
    if (code.family == Family::HResult && code.value >> 16 == 0x8007 && (code.value & 0xFFFF) != 0)
      records.try_emplace({Family::Win32, code.value & 0xFFFF}, r);

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

  std::vector<Meaning> meanings = Meanings(records, sources.systemFirst);
  TextBook book(meanings, std::move(referenceByName));
  for (const Correction& c : Corrections()) merged.corrections.push_back(c.apply(book));
  for (const Meaning& m : meanings) {
    const Candidate* chosen = m.Chosen();
    if (!chosen) continue;
    switch (chosen->source) {
      case Source::Reference: ++merged.fromReference; break;
      case Source::System: ++merged.fromSystem; break;
      case Source::Table: ++merged.fromTables; break;
      case Source::Toolchain: ++merged.fromToolchain; break;
      case Source::Documented: ++merged.fromDocumented; break;
      case Source::Correction: ++merged.corrected; break;
    }
  }
  MakeLines(meanings, merged.catalogues);
  return merged;
}

}  // namespace catgen
