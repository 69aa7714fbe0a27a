// Catalogue files that are broken, odd or hostile: whatever a file holds, or if it cannot be read
// at all, the program keeps running, its total counts exactly what the list holds, and the other
// catalogue still loads.
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

using namespace std::string_literals;

struct Catalogue {
  const wchar_t* file;
  int option;
  const wchar_t* suffix;  // of the total's text
  const std::vector<std::string>& lines;  // what the fixture writes
};
const Catalogue kWin{L"errmsg.orv", kWinErrors, L" Win error codes", kWin32Lines};
const Catalogue kOle{L"errmsg2.orv", kOleErrors, L" OLE error codes", kOleLines};

const Catalogue& Other(const Catalogue& c) { return &c == &kWin ? kOle : kWin; }

// The bytes as text in the ANSI code page, one character each, as the program must show them.
std::wstring Ansi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  std::wstring text(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), static_cast<int>(text.size()));
  return text;
}

// An entry cut short for a failure message: some of these are a megabyte long.
std::string Shown(const std::wstring& entry) {
  return testing::PrintToString(entry.substr(0, 40)) + (entry.size() > 40 ? "..." : "") + " (" +
         std::to_string(entry.size()) + " characters)";
}

// Waits for the catalogue's total, then checks that it counts exactly these entries, that the list
// holds them in order, and that the program still answers.
testing::AssertionResult Shows(const App& app, const Catalogue& catalogue, const std::vector<std::wstring>& entries) {
  HWND total = app.Control(kTotal);
  HWND names = app.Control(kNames);
  if (auto shown = WaitForText(total, std::to_wstring(entries.size()) + catalogue.suffix); !shown) return shown;
  const int count = ListCount(names);
  if (count != static_cast<int>(entries.size()))
    return testing::AssertionFailure() << "the total reads " << entries.size() << " but the list holds " << count;
  for (int i = 0; i < count; ++i) {
    const std::wstring seen = ListEntry(names, i);
    if (seen != entries[static_cast<std::size_t>(i)])
      return testing::AssertionFailure() << "entry " << i << " is " << Shown(seen) << ", not "
                                         << Shown(entries[static_cast<std::size_t>(i)]);
  }
  if (!app.Responds()) return testing::AssertionFailure() << "the program no longer answers";
  return testing::AssertionSuccess();
}

// Clicks the catalogue's option and checks what it shows.
testing::AssertionResult Choose(const App& app, const Catalogue& catalogue, const std::vector<std::wstring>& entries) {
  HWND option = app.Control(catalogue.option);
  Click(option);
  if (!WaitUntil([&] { return Checked(option); }))
    return testing::AssertionFailure() << "a click on option " << catalogue.option << " does not select it";
  return Shows(app, catalogue, entries);
}

// ---- files that cannot be read

enum class Fault { Missing, Folder, Locked };

struct Unreadable {
  const char* name;
  const Catalogue* target;
  Fault fault;
  bool afterLoaded;  // spoilt while the program runs, after it has shown the file once
};

class UnreadableCatalogue : public AppTest, public testing::WithParamInterface<Unreadable> {
 protected:
  // The folder cannot be removed while we hold a file in it.
  void TearDown() override { Unlock(); }

  void Spoil() {
    const std::wstring path = folder.File(target.file);
    switch (GetParam().fault) {
      case Fault::Missing:
        folder.Remove(target.file);
        break;
      case Fault::Folder:
        folder.Remove(target.file);
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << "error " << GetLastError();
        break;
      case Fault::Locked:
        // Held open by us with no sharing, as an editor or a virus scanner might hold it.
        lock_ = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock_, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        break;
    }
  }

  void Mend() {
    switch (GetParam().fault) {
      case Fault::Folder:
        ASSERT_TRUE(RemoveDirectoryW(folder.File(target.file).c_str())) << "error " << GetLastError();
        [[fallthrough]];
      case Fault::Missing:
        folder.Write(target.file, CatalogueFile(target.lines));
        break;
      case Fault::Locked:
        Unlock();
        break;
    }
  }

  void Unlock() {
    if (lock_ != INVALID_HANDLE_VALUE) CloseHandle(lock_);
    lock_ = INVALID_HANDLE_VALUE;
  }

  const Catalogue& target = *GetParam().target;
  const Catalogue& other = Other(target);

 private:
  HANDLE lock_ = INVALID_HANDLE_VALUE;
};

TEST_P(UnreadableCatalogue, LeavesAnEmptyListAndTheProgramRunsOn) {
  const std::vector<std::wstring> targetEntries = Entries(target.lines);
  const std::vector<std::wstring> otherEntries = Entries(other.lines);

  if (GetParam().afterLoaded) {
    // Shown once, then spoilt while the other catalogue is shown.
    ASSERT_TRUE(app.Start(folder));
    if (&target == &kOle) {
      ASSERT_TRUE(Choose(app, kOle, targetEntries));
    }
    ASSERT_TRUE(Choose(app, other, otherEntries));
    ASSERT_NO_FATAL_FAILURE(Spoil());
    EXPECT_TRUE(Choose(app, target, {}));
  } else {
    ASSERT_NO_FATAL_FAILURE(Spoil());
    ASSERT_TRUE(app.Start(folder));
    if (&target == &kOle) {
      EXPECT_TRUE(Choose(app, kOle, {}));
    } else {
      EXPECT_TRUE(Shows(app, kWin, {}));
    }
  }
  EXPECT_TRUE(Choose(app, other, otherEntries));

  // Nothing of the failure stays behind once the file can be read again.
  ASSERT_NO_FATAL_FAILURE(Mend());
  EXPECT_TRUE(Choose(app, target, targetEntries));
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableCatalogue,
    testing::Values(Unreadable{"MissingWin32File", &kWin, Fault::Missing, false},
                    Unreadable{"Win32FileIsAFolder", &kWin, Fault::Folder, false},
                    Unreadable{"OleFileIsAFolder", &kOle, Fault::Folder, false},
                    Unreadable{"Win32FileLockedByAnotherProgram", &kWin, Fault::Locked, false},
                    Unreadable{"OleFileLockedByAnotherProgram", &kOle, Fault::Locked, false},
                    Unreadable{"Win32FileDeletedBetweenClicks", &kWin, Fault::Missing, true},
                    Unreadable{"OleFileDeletedBetweenClicks", &kOle, Fault::Missing, true},
                    Unreadable{"OleFileLockedBetweenClicks", &kOle, Fault::Locked, true}),
    [](const testing::TestParamInfo<Unreadable>& info) { return std::string(info.param.name); });

// ---- files with odd contents

// The entries of a file by the rules the program keeps: CR LF, a lone LF and a lone CR each end a
// line, a last line without a line end is an entry, a NUL reads as a space, nothing is trimmed,
// and at most 32767 entries are kept.
std::vector<std::wstring> EntriesOf(std::string_view bytes) {
  std::vector<std::wstring> entries;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      entries.push_back(Ansi(line));
      line.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      line += c == '\0' ? ' ' : c;
    }
  }
  if (!line.empty()) entries.push_back(Ansi(line));
  if (entries.size() > 32767) entries.resize(32767);
  return entries;
}

// Bytes of every value, from a fixed generator so that every run reads the same file.
std::string BinaryBytes() {
  std::mt19937 generator(20240611u);
  std::string bytes(150000, '\0');
  for (char& b : bytes) b = static_cast<char>(generator() >> 24);
  // A CR LF astride the 64 KiB mark, where a reader working in blocks could see two line ends.
  bytes[65535] = '\r';
  bytes[65536] = '\n';
  return bytes;
}

std::string MegabyteLine() {
  std::string line(1 << 20, ' ');
  for (std::size_t i = 0; i < line.size(); ++i) line[i] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i % 36];
  return line;
}

struct Contents {
  std::string name;
  std::string bytes;
  std::vector<std::wstring> entries;
};

std::vector<Contents> ContentRows() {
  std::vector<Contents> rows{
      {"Empty", "", {}},
      {"OnlyLineEnds", "\r\n\n\r\r\n", {L"", L"", L"", L""}},
      {"OnlyCr", "5 Access is denied.\r\r87 The parameter is incorrect.\r2 Not found.",
       {L"5 Access is denied.", L"", L"87 The parameter is incorrect.", L"2 Not found."}},
      {"OnlyLf", "5 Access is denied.\n\n87 The parameter is incorrect.\n2 Not found.\n",
       {L"5 Access is denied.", L"", L"87 The parameter is incorrect.", L"2 Not found."}},
      // LF CR is two line ends; CR CR LF is a lone CR then a CR LF.
      {"MixedLineEndsAndEmptyLines", "\r\n1 One\n\r2 Two\r\r\n3 Three\n\n4 Four\r\n",
       {L"", L"1 One", L"", L"2 Two", L"", L"3 Three", L"", L"4 Four"}},
      {"SpacesAndTabsKept", "  5 Access is denied.  \r\n\t87\tThe parameter is incorrect.\t\r\n",
       {L"  5 Access is denied.  ", L"\t87\tThe parameter is incorrect.\t"}},
      {"NulBytesInsideLines", "\0" "5 Access is denied.\r\n87 The\0\0parameter\0\r\n\0\0\0\r\n\0"s,
       {L" 5 Access is denied.", L"87 The  parameter ", L"   ", L" "}},
      // The byte order mark is three ANSI characters like any others.
      {"Utf8ByteOrderMark", "\xEF\xBB\xBF" "5 Zugriff verweigert \xE2\x80\x93 \xC3\xA9\r\n87 Param\xC3\xA8tre\r\n",
       {L"\u00EF\u00BB\u00BF" L"5 Zugriff verweigert \u00E2\u20AC\u201C \u00C3\u00A9", L"87 Param\u00C3\u00A8tre"}},
      {"OneMegabyteLine", MegabyteLine() + "\r\n5 Access is denied.", {Widen(MegabyteLine()), L"5 Access is denied."}},
  };
  std::string binary = BinaryBytes();
  std::vector<std::wstring> entries = EntriesOf(binary);
  rows.push_back({"RandomBinary", std::move(binary), std::move(entries)});
  return rows;
}

class OddCatalogue : public AppTest, public testing::WithParamInterface<Contents> {};

TEST_P(OddCatalogue, ListsEveryLineAsTheRulesSayAndTheOtherStillLoads) {
  folder.Write(kWin.file, GetParam().bytes);
  ASSERT_TRUE(app.Start(folder));
  EXPECT_TRUE(Shows(app, kWin, GetParam().entries));
  EXPECT_TRUE(Choose(app, kOle, Entries(kOle.lines)));
}

INSTANTIATE_TEST_SUITE_P(Files, OddCatalogue, testing::ValuesIn(ContentRows()),
                         [](const testing::TestParamInfo<Contents>& info) { return info.param.name; });

}  // namespace
}  // namespace e2e
