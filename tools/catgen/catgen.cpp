// Writes the two catalogues, errmsg.orv (Win32 errors) and errmsg2.orv (HRESULTs and NTSTATUS
// codes), from every error code that the toolchain's headers, Microsoft's published error tables
// and the running system know:
//
//   catgen OUTPUT-FOLDER INCLUDE-FOLDER [--reference TABLES.tsv] [--user-language]
//
// A pipeline: one reader per source (headers.h, reference.h, system_tables.h), one merge by code
// (merge.h), one writer (writer.h). The reference's texts come first, the system's second; with
// --user-language the system's texts, in the user's language, come first. Output: 8-bit text in the
// ANSI code page, lines ending in CR LF. What a source could not give is counted and printed.
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "headers.h"
#include "merge.h"
#include "reference.h"
#include "system_tables.h"
#include "writer.h"

namespace {

std::optional<std::string> Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

std::size_t WithText(const std::vector<catgen::Entry>& entries) {
  std::size_t n = 0;
  for (const auto& e : entries) n += !e.text.empty();
  return n;
}

const char* FamilyName(catgen::Family f) {
  switch (f) {
    case catgen::Family::Win32: return "Win32";
    case catgen::Family::Ras: return "RAS";
    case catgen::Family::HResult: return "HRESULT";
    case catgen::Family::NtStatus: return "NTSTATUS";
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder, include, referencePath;
  bool userLanguage = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--user-language") userLanguage = true;
    else if (arg == "--reference" && i + 1 < argc) referencePath = argv[++i];
    else if (folder.empty()) folder = arg;
    else if (include.empty()) include = arg;
    else include.clear();  // one argument too many
  }
  if (folder.empty() || include.empty()) {
    std::fprintf(stderr, "usage: catgen OUTPUT-FOLDER INCLUDE-FOLDER [--reference TABLES.tsv] [--user-language]\n");
    return 2;
  }

  // Reader 1: the headers.
  catgen::Sources sources;
  std::vector<catgen::HeaderText> headers;
  for (const catgen::HeaderRule& rule : catgen::ErrorHeaders()) {
    if (auto text = Read(include + "/" + std::string(rule.file))) headers.push_back({rule, std::move(*text)});
    else std::printf("catgen: %s: not in %s\n", std::string(rule.file).c_str(), include.c_str());
  }
  for (const catgen::HeaderCodes& h : catgen::ReadHeaders(headers)) {
    std::set<catgen::Code> codes;
    for (const auto& n : h.codes) codes.insert(n.code);
    std::printf("catgen: %s: %zu codes with %zu names, %zu definitions skipped\n", std::string(h.file).c_str(),
                codes.size(), h.codes.size(), h.skipped);
    sources.headers.insert(sources.headers.end(), h.codes.begin(), h.codes.end());
  }

  // Reader 2: the reference tables.
  if (referencePath.empty()) {
    std::printf("catgen: no reference tables: the texts come from the system alone\n");
  } else if (auto tsv = Read(referencePath)) {
    catgen::Reference ref = catgen::ReadReference(*tsv);
    std::size_t counts[4] = {};
    for (const auto& d : ref.codes) ++counts[static_cast<int>(d.code.family)];
    std::printf("catgen: reference: %zu Win32, %zu HRESULT, %zu NTSTATUS codes, %zu lines skipped\n", counts[0], counts[2],
                counts[3], ref.skipped);
    sources.reference = std::move(ref.codes);
  } else {
    std::fprintf(stderr, "catgen: cannot read %s\n", referencePath.c_str());
    return 1;
  }

  // Reader 3: the system's message tables.
  sources.system = catgen::SystemErrorTexts(userLanguage);
  sources.modules = catgen::ModuleTables(userLanguage);
  sources.systemFirst = userLanguage;
  std::printf("catgen: the system's error table: %zu Win32 texts\n", sources.system.size());

  const catgen::Merged merged = catgen::Merge(sources);
  for (const catgen::TableUse& t : merged.tables)
    std::printf("catgen: %s: %zu messages, %zu of named %s codes, %zu texts used\n", t.module.c_str(), t.messages,
                t.known, FamilyName(t.family), t.texts);
  std::printf("catgen: texts chosen: %zu from the reference, %zu from the system's error table, %zu from module tables\n",
              merged.fromReference, merged.fromSystem, merged.fromTables);

  const auto& c = merged.catalogues;
  if (!Write(folder + "/errmsg.orv", catgen::Utf8ToAnsi(catgen::Catalogue(c.win32, false))) ||
      !Write(folder + "/errmsg2.orv", catgen::Utf8ToAnsi(catgen::Catalogue(c.hex, true)))) {
    std::fprintf(stderr, "catgen: cannot write the catalogues into %s\n", folder.c_str());
    return 1;
  }
  std::printf("catgen: errmsg.orv: %zu entries, %zu with a text; errmsg2.orv: %zu entries, %zu with a text\n",
              c.win32.size(), WithText(c.win32), c.hex.size(), WithText(c.hex));
  return 0;
}
