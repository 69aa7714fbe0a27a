// Every place where the catalogues depart from what a source says, each with its reason. The merge
// applies them, in the order of Corrections(), to the texts the sources give.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "codes.h"

namespace catgen {

enum class Source { Reference, System, Table, Toolchain, Documented, Correction };

struct Candidate {
  std::string text;
  Source source = Source::Reference;
};

// One meaning of a code (most codes have one): its names and the texts the sources give it, best
// first. Its text is the first candidate that is not empty.
struct Meaning {
  Code code;
  std::vector<std::string> names;  // the first is the primary name
  std::vector<Candidate> texts;
  bool main = true;                // the code's first meaning, the one the system's tables describe
  bool knownFirst = false;         // its primary name is one of winerror.h's S_ and E_ names
  std::string family;              // who gives it, in a few words
  const Candidate* Chosen() const;
  std::string Text() const { return Chosen() ? Chosen()->text : std::string(); }
};

class TextBook {
 public:
  TextBook(std::vector<Meaning>& meanings, std::map<std::pair<Family, std::string>, std::string> referenceByName);
  std::vector<Meaning>& Meanings() { return meanings_; }
  // A code's first meaning; null where nothing names the code.
  Meaning* Main(Code code);
  // What the reference says of a name, "" where it does not know it.
  std::string Reference(Family family, const std::string& name) const;
  // The reference's texts of a family's codes.
  std::vector<std::string> References(Family family) const;

 private:
  std::vector<Meaning>& meanings_;
  std::map<Code, std::size_t> main_;
  std::map<std::pair<Family, std::string>, std::string> referenceByName_;
};

struct Correction {
  std::string_view what;
  std::string_view why;
  std::function<std::size_t(TextBook&)> apply;  // the number of texts it changed
};

const std::vector<Correction>& Corrections();

// Whether a text is made of inserts (%1, %1!s!, %hs, %08lx) and the marks between them only.
bool OnlyInserts(const std::string& text);

}  // namespace catgen
