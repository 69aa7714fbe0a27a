// Any registry value where the system-information tool is looked up: exactly one message box on
// failure, never a crash, every key closed, and nothing started but the exact path read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "about/frmAbout.h"
#include "fake_system.h"
#include "platform/forms_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // First byte: the value's type; second: which location holds it (and whether the other does);
  // the rest: its bytes, up to a little over the buffer's size.
  const std::uint32_t type = data[0] % 12;
  const int where = data[1] % 4;
  const std::string bytes(reinterpret_cast<const char*>(data + 2), std::min<std::size_t>(size - 2, 1100));
  forms::memory::Reset();
  FakeSystem sys;
  if (where == 0 || where == 2) sys.keys["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {type, bytes};
  if (where >= 1) sys.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {type, bytes};
  if (where == 3) sys.files.insert(L"C:\\Info\\MSINFO32.EXE");

  frmAbout about;
  about.StartSysInfo();
  if (sys.openKeys != 0) std::abort();
  if (sys.starts.size() > 1) std::abort();
  if (sys.boxes.size() + (sys.starts.size() == 1 && sys.files.count(sys.starts[0].program) ? 1 : 0) != 1) std::abort();
  for (const auto& start : sys.starts) {
    if (start.style != 1 || !start.arguments.empty()) std::abort();
    if (start.program.size() > 1024 + 13) std::abort();
  }
  return 0;
}
