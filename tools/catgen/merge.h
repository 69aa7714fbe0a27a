// The generator's merge: every source's codes, names and texts, joined by code into the lines of
// the two catalogues.
#pragma once

#include <string>
#include <vector>

#include "codes.h"
#include "corrections.h"
#include "reference.h"

namespace catgen {

struct Sources {
  std::vector<Named> headers;  // in the order the headers define them
  std::vector<Described> reference;
  std::vector<Kept> documented;  // the tables of documented codes
  // Texts that the toolchain carries (its DirectX error library), by the name it gives a code.
  std::vector<Described> toolchain;
  // The system's own error table (FormatMessage of the system): Win32 codes and their texts. The
  // only source besides the headers, the reference and the documented tables that may add codes.
  std::vector<Message> system;
  // Every module's message table: texts, by exact id, for codes that another source names.
  std::vector<MessageTable> modules;
  // Where the texts are in the user's language: the system's texts before the reference's.
  bool systemFirst = false;
};

// One line of a catalogue.
struct Entry {
  std::uint32_t value = 0;
  std::string name;                // the primary name with its mark, such as " (NTSTATUS)"; may be empty
  std::string text;                // on one line; may be empty
  std::vector<std::string> also;   // the further names
  Source source = Source::Reference;  // of the text, where there is one
};

struct Catalogues {
  std::vector<Entry> win32;  // errmsg.orv: Win32 and RAS codes, by value
  std::vector<Entry> hex;    // errmsg2.orv: HRESULTs, the HRESULTs of the Win32 codes, NTSTATUS codes
};

// What the merge made of each module's table.
struct TableUse {
  std::string module;
  Family family = Family::Win32;  // the family most of its ids belong to
  std::size_t messages = 0, known = 0, texts = 0;  // all, those of named codes, texts it gave
};

struct Merged {
  Catalogues catalogues;
  std::vector<TableUse> tables;
  // Texts each source gave, and the texts each correction changed (in the order of Corrections()).
  std::size_t fromReference = 0, fromSystem = 0, fromTables = 0, fromToolchain = 0, fromDocumented = 0, corrected = 0;
  std::vector<std::size_t> corrections;
};

// The order of names on a line, the name people know first: winerror.h's S_ and E_ names; for an
// 8007xxxx value the Win32 name it wraps; the reference's and the documented tables' names; other
// headers' names in the order the headers are read; a subsystem's alias (Named::alias) last.
//
// One line per code and meaning: a code's names share a line, except where a number means
// different things. An HRESULT's names (but S_OK's and those of an 8007xxxx value, which stands
// for its Win32 code) have a line for each family that defines them (FamilyKey: its header and
// its prefix, families that give the same meanings as one); the Win32 codes of headers that say
// so (HeaderRule::ownMeanings) have a line for each header. A name defined as another joins that
// name's line; a name of the documented tables joins the meaning of its family.
// A line without a text, and each line of a code with several, names its family after the name.
// Every HRESULT made from a Win32 code (8007xxxx) has the line of that code in the Win32
// catalogue, named as the HRESULT where nothing else names it.
Merged Merge(const Sources& sources);

// A text on one line: each run of white space that holds a line break or a tab becomes one space,
// and white space at either end goes.
std::string OneLine(const std::string& text);

}  // namespace catgen
