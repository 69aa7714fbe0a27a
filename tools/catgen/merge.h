// The generator's merge: every source's codes, names and texts, joined by code into the lines of
// the two catalogues.
#pragma once

#include <string>
#include <vector>

#include "codes.h"

namespace catgen {

struct Sources {
  std::vector<Named> headers;  // in the order the headers define them
  std::vector<Described> reference;
  // The system's own error table (FormatMessage of the system): Win32 codes and their texts. The
  // only source besides the headers and the reference that may add codes.
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
  std::size_t fromReference = 0, fromSystem = 0, fromTables = 0;  // texts each source gave
};

Merged Merge(const Sources& sources);

// A text on one line: each run of white space that holds a line break or a tab becomes one space,
// and white space at either end goes.
std::string OneLine(const std::string& text);

}  // namespace catgen
