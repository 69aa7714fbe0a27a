// Any bytes as a catalogue file: loading them must never crash, hang or lose a line, and the list
// must hold what the line rules say.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "main/frmMain.h"
#include "platform/forms_memory.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/quorvex-fuzz-XXXXXX";
    return std::string(mkdtemp(pattern));
  }();
  return folder;
}

// What the list should hold: one entry per line end (CR LF, LF or CR), and one for a last line
// without an end; at most the list's capacity.
std::size_t ExpectedEntries(const std::uint8_t* data, std::size_t size) {
  std::size_t lines = 0, i = 0;
  while (i < size) {
    if (data[i] == '\r') {
      ++lines;
      i += (i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
    } else if (data[i] == '\n') {
      ++lines;
      ++i;
    } else {
      while (i < size && data[i] != '\r' && data[i] != '\n') ++i;
      if (i == size) ++lines;
    }
  }
  return std::min<std::size_t>(lines, forms::ListBox::MaxCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = Folder() + "/errmsg.orv";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  forms::memory::Reset();
  forms::memory::SetAppPath(std::wstring(Folder().begin(), Folder().end()));
  frmMain frm;
  frm.Show();
  const std::size_t expected = ExpectedEntries(data, size);
  if (static_cast<std::size_t>(frm.lstNames.ListCount()) != expected) std::abort();
  if (frm.lblTotal.Caption() != std::to_wstring(expected) + L" Win error codes") std::abort();
  std::size_t characters = 0;
  for (std::int16_t i = 0; i < frm.lstNames.ListCount(); ++i) {
    const std::wstring entry = frm.lstNames.List(i);
    if (entry.find(L'\0') != std::wstring::npos || entry.find_first_of(L"\r\n") != std::wstring::npos) std::abort();
    characters += entry.size();
  }
  if (expected < forms::ListBox::MaxCount && characters + expected > size + 1) std::abort();  // nothing invented
  // A search over whatever was loaded.
  forms::memory::Type(frm.txtInput, size ? std::wstring(1, static_cast<wchar_t>(data[0])) : L"1");
  return 0;
}
