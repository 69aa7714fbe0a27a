// Writes the two catalogues, errmsg.orv (Win32 errors) and errmsg2.orv (HRESULTs and NTSTATUS
// codes), from every error code that the toolchain's headers, Microsoft's published error tables
// and the running system know:
//
//   catgen OUTPUT-FOLDER INCLUDE-FOLDER [--reference TABLES.tsv] [--documented FOLDER] [--user-language]
//
// A pipeline: one reader per source (headers.h; reference.h for the published tables and the
// tables of documented codes; system_tables.h; directx_texts.h for the toolchain's DirectX error
// library), one merge by code with its corrections (merge.h, corrections.h), one writer
// (writer.h). The reference's texts come first, the system's second, the toolchain's third and
// our own words of the documented tables last; with --user-language the system's texts, in the
// user's language, come first. Output: 8-bit text in the ANSI code page, lines ending in CR LF.
// What a source could not give is counted and printed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "corrections.h"
#include "directx_texts.h"
#include "families.h"
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

// Lines with a text by where it comes from: packaged sources (the reference, the toolchain, and
// the corrections that take a text of theirs for another code), the system, our own words.
void PrintTextSources(const char* file, const std::vector<catgen::Entry>& entries) {
  std::size_t packaged = 0, system = 0, ours = 0;
  for (const auto& e : entries) {
    if (e.text.empty()) continue;
    switch (e.source) {
      case catgen::Source::System:
      case catgen::Source::Table: ++system; break;
      case catgen::Source::Documented: ++ours; break;
      default: ++packaged; break;
    }
  }
  std::printf("catgen: %s: lines with a text: %zu from packaged sources, %zu from the system, %zu in our own words\n", file,
              packaged, system, ours);
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
  std::string folder, include, referencePath, documentedFolder;
  bool userLanguage = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--user-language") userLanguage = true;
    else if (arg == "--reference" && i + 1 < argc) referencePath = argv[++i];
    else if (arg == "--documented" && i + 1 < argc) documentedFolder = argv[++i];
    else if (folder.empty()) folder = arg;
    else if (include.empty()) include = arg;
    else include.clear();  // one argument too many
  }
  if (folder.empty() || include.empty()) {
    std::fprintf(stderr,
                 "usage: catgen OUTPUT-FOLDER INCLUDE-FOLDER [--reference TABLES.tsv] [--documented FOLDER] "
                 "[--user-language]\n");
    return 2;
  }

  // Reader 1: every header of the include folder, and what the rule took of each.
  catgen::Sources sources;
  const std::vector<catgen::HeaderText> headers = catgen::ReadIncludeFolder(include);
  if (headers.empty()) {
    std::fprintf(stderr, "catgen: no headers in %s\n", include.c_str());
    return 1;
  }
  std::size_t skipped = 0, left = 0;
  for (const catgen::HeaderCodes& h : catgen::ReadHeaders(headers)) {
    skipped += h.skipped;
    left += h.left.size();
    if (h.codes.empty() && h.left.empty() && !h.skipped) continue;
    std::set<catgen::Code> codes;
    for (const auto& n : h.codes) codes.insert(n.code);
    std::printf("catgen: %s: took %zu codes with %zu names", h.file.c_str(), codes.size(), h.codes.size());
    if (!h.left.empty())
      std::printf(", left %zu names (%s%s)", h.left.size(), h.left[0].c_str(), h.left.size() > 1 ? ", ..." : "");
    if (h.skipped) std::printf(", %zu definitions it cannot evaluate", h.skipped);
    if (!h.codes.empty() && h.file != "winerror.h" && h.file != "ntstatus.h" && !catgen::HasHeaderWords(h.file))
      std::printf(" (no family words: its lines are named by the file)");
    std::printf("\n");
    sources.headers.insert(sources.headers.end(), h.codes.begin(), h.codes.end());
  }
  std::printf("catgen: %zu headers read, %zu names taken, %zu left, %zu definitions skipped\n", headers.size(),
              sources.headers.size(), left, skipped);

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

  // Reader 3: the tables of documented codes, one per family, in file-name order.
  if (!documentedFolder.empty()) {
    std::vector<std::filesystem::path> tables;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(documentedFolder, error))
      if (entry.path().extension() == ".tsv") tables.push_back(entry.path());
    std::sort(tables.begin(), tables.end());
    if (tables.empty()) {
      std::fprintf(stderr, "catgen: no tables in %s\n", documentedFolder.c_str());
      return 1;
    }
    for (const auto& path : tables) {
      const auto tsv = Read(path.string());
      if (!tsv) {
        std::fprintf(stderr, "catgen: cannot read %s\n", path.string().c_str());
        return 1;
      }
      catgen::Documented table = catgen::ReadDocumented(*tsv);
      std::printf("catgen: %s: %zu codes, %zu lines skipped\n", path.filename().string().c_str(), table.codes.size(),
                  table.skipped);
      sources.documented.insert(sources.documented.end(), table.codes.begin(), table.codes.end());
    }
  }

  // Reader 4: the toolchain's DirectX error library, asked of every HRESULT the headers name.
  std::vector<std::uint32_t> hresults;
  for (const catgen::Named& n : sources.headers)
    if (n.code.family == catgen::Family::HResult) hresults.push_back(n.code.value);
  std::sort(hresults.begin(), hresults.end());
  hresults.erase(std::unique(hresults.begin(), hresults.end()), hresults.end());
  sources.toolchain = catgen::DirectXTexts(hresults);
  std::printf("catgen: the toolchain's DirectX error library: %zu texts\n", sources.toolchain.size());

  // Reader 5: the system's message tables.
  sources.system = catgen::SystemErrorTexts(userLanguage);
  sources.modules = catgen::ModuleTables(userLanguage);
  sources.systemFirst = userLanguage;
  std::printf("catgen: the system's error table: %zu Win32 texts\n", sources.system.size());

  const catgen::Merged merged = catgen::Merge(sources);
  for (const catgen::TableUse& t : merged.tables)
    std::printf("catgen: %s: %zu messages, %zu of named %s codes, %zu texts used\n", t.module.c_str(), t.messages,
                t.known, FamilyName(t.family), t.texts);
  for (std::size_t i = 0; i < merged.corrections.size(); ++i)
    std::printf("catgen: correction %zu changed %zu texts: %s\n", i + 1, merged.corrections[i],
                std::string(catgen::Corrections()[i].what).c_str());
  std::printf(
      "catgen: texts chosen: %zu from the reference, %zu from the system's error table, %zu from module tables, "
      "%zu from the toolchain, %zu from the documented tables, %zu corrected\n",
      merged.fromReference, merged.fromSystem, merged.fromTables, merged.fromToolchain, merged.fromDocumented,
      merged.corrected);

  const auto& c = merged.catalogues;
  if (!Write(folder + "/errmsg.orv", catgen::Utf8ToAnsi(catgen::Catalogue(c.win32, false))) ||
      !Write(folder + "/errmsg2.orv", catgen::Utf8ToAnsi(catgen::Catalogue(c.hex, true)))) {
    std::fprintf(stderr, "catgen: cannot write the catalogues into %s\n", folder.c_str());
    return 1;
  }
  std::printf("catgen: errmsg.orv: %zu entries, %zu with a text; errmsg2.orv: %zu entries, %zu with a text\n",
              c.win32.size(), WithText(c.win32), c.hex.size(), WithText(c.hex));
  PrintTextSources("errmsg.orv", c.win32);
  PrintTextSources("errmsg2.orv", c.hex);
  return 0;
}
