// What the main window lists when no entry of the open catalogue begins with the input. People
// paste codes from anywhere, into whichever list is open, and look codes up by their names too.
// The steps run in this order, each only when every one before it listed nothing:
//   1. the input without the blanks around it, then read as a code in another notation (modCode);
//   2. the input as the beginning of a symbolic name, or of a part of one after an underscore;
//   3. the other catalogue, read from its file at that moment: its own search and steps 1 and 2,
//      as that list runs them, under a first line that names the list;
//   4. a value that neither list holds: one line that says how its 32 bits read.
// No step knows more of a catalogue than that a line begins with its code and how a name is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The lines of a catalogue, by index from 0.
class CatalogueLines {
 public:
  virtual ~CatalogueLines() = default;
  virtual long Count() const = 0;
  virtual std::wstring Line(long index) const = 0;
};

// A catalogue read from its file, as a list holds it (at most the first 32767 lines).
class CatalogueFile : public CatalogueLines {
 public:
  // A file that is missing or cannot be read has no lines.
  explicit CatalogueFile(const std::wstring& sFile);
  long Count() const override { return static_cast<long>(lines_.size()); }
  std::wstring Line(long index) const override { return lines_[static_cast<std::size_t>(index)]; }

 private:
  std::vector<std::wstring> lines_;
};

struct Lookup {
  std::wstring sText;              // the input, as typed
  const CatalogueLines& open;      // the catalogue of the open list
  bool bWin32 = false;             // the open list is the Win32 one
  std::wstring sOtherFile;         // the other list's catalogue file
  std::wstring sOtherCaption;      // the other list's option caption
};

// The lines to list for the input, by the first of the steps above that finds any; none when
// none does.
std::vector<std::wstring> LookUp(const Lookup& query);

// The steps, each listing nothing where it finds nothing.
std::vector<std::wstring> ListBeginning(const std::wstring& sText, const CatalogueLines& lines);
std::vector<std::wstring> ListTrimmedOrWrittenOtherwise(const std::wstring& sText, const CatalogueLines& lines,
                                                        bool bWin32);
std::vector<std::wstring> ListByName(const std::wstring& sText, const CatalogueLines& lines);
std::vector<std::wstring> ListInOtherCatalogue(const Lookup& query);
std::vector<std::wstring> DescribeValue(const std::wstring& sText);

// The input as the beginning of a name: without the blanks around it, letters, digits and
// underscores with at least one letter, upper-cased. Empty where the input is no such thing.
std::wstring NamePrefix(const std::wstring& sText);

// Whether a name in the line begins with sPrefix (from NamePrefix), or a part of a name after one
// of its underscores does. A name is a word of letters, digits and underscores that begins with a
// letter and holds an underscore: ERROR_FILE_NOT_FOUND is found by ERROR_, FILE_NOT and FOUND.
bool HasName(const std::wstring& sLine, const std::wstring& sPrefix);

// How a 32-bit value reads, as the line of a value that neither list holds shows it after its
// code and a tab: as an HRESULT, as an NTSTATUS where it is an informational or error status, and
// the other values it stands for.
std::wstring ValueReading(std::uint32_t value);

// The name of an HRESULT facility, as the toolchain's headers and Microsoft's documentation give
// it (WINDOWSUPDATE for 36); empty where none is known.
std::wstring FacilityName(std::uint32_t facility);
