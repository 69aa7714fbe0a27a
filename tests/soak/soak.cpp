// A long run of the real program as a person would use it (typing and deleting codes, switching
// catalogues, opening and closing the about window) that prints its object counts and memory along
// the way, so that anything it keeps piling up shows as growth from start to end.
//
//   quorvex_soak.exe [SCALE] [keys] [switches] [about]
//
// SCALE multiplies every count (0.1 for a quick check); naming phases runs only those. Exits 1 when
// the program does not start, dies or stops answering, 2 on a bad command line, and 0 otherwise,
// whatever the figures.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "driver.h"

namespace {

using namespace e2e;

constexpr int kKeystrokes = 10000;
constexpr int kSwitches = 500;
constexpr int kAboutCycles = 200;
constexpr int kWin32Entries = 2000;
constexpr int kOleEntries = 1400;
// Keys sent before the program must show what they typed: input never piles up beyond this.
constexpr int kKeysPerSync = 32;
// Lets the program finish what start-up or a phase left behind before it is measured.
constexpr DWORD kSettle = 1000;

std::string Win32Code(int i) { return std::to_string(i * 7 % 16000); }
std::string OleCode(int i) { return std::to_string(-2147467263 + i * 13); }

std::string CatalogueBytes(int count, std::string (*code)(int), const char* kind) {
  std::string bytes;
  for (int i = 0; i < count; ++i)
    bytes += code(i) + " " + kind + " error " + std::to_string(i) + ": the operation could not be completed.\r\n";
  return bytes;
}

struct Sample {
  std::string point;
  double seconds = 0;
  DWORD user = 0;
  DWORD gdi = 0;
  DWORD handles = 0;
  int windows = 0;
  SIZE_T privateBytes = 0;
  SIZE_T workingSet = 0;
};

// The process's handle count from the system's list of processes. Wine's GetProcessHandleCount
// gives 0 for every process; its list gives the size of the handle table, which grows with it.
DWORD HandleCountFromProcessList(DWORD processId) {
  using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  const auto query =
      reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<char> buffer(1 << 16);
  ULONG needed = 0;
  NTSTATUS status;
  while ((status = query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
         static_cast<NTSTATUS>(0xC0000004L))  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
  if (status < 0) return 0;
  for (std::size_t at = 0;;) {
    const auto* process = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (reinterpret_cast<ULONG_PTR>(process->UniqueProcessId) == processId) return process->HandleCount;
    if (!process->NextEntryOffset) return 0;
    at += process->NextEntryOffset;
  }
}

struct ProcessWindows {
  DWORD processId;
  int count = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++reinterpret_cast<ProcessWindows*>(param)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ProcessWindows*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId) {
    ++search->count;
    EnumChildWindows(window, CountChild, param);
  }
  return TRUE;
}

class Soak {
 public:
  Soak() = default;
  ~Soak() {
    if (process_) CloseHandle(process_);
  }
  Soak(const Soak&) = delete;
  Soak& operator=(const Soak&) = delete;

  bool Start();
  void Keys(int keystrokes);
  void Switches(int switches);
  void AboutCycles(int cycles);
  void Measure(const std::string& point);
  void Report() const;
  // False, with the reason printed, once the program has died or stops answering.
  bool Alive();

 private:
  HWND WaitForAbout();
  void Problem(const std::string& what);

  Folder folder_;
  App app_;
  HANDLE process_ = nullptr;
  ULONGLONG started_ = 0;
  std::vector<Sample> samples_;
  std::vector<std::string> problems_;
  bool handleTable_ = false;  // the handle counts are the sizes of Wine's handle table
  bool commitCharge_ = false;  // the private bytes are the commit charge: Windows keeps the two equal
  bool winShown_ = true;  // which catalogue the program shows
};

bool Soak::Start() {
  folder_.Write(L"errmsg.orv", CatalogueBytes(kWin32Entries, Win32Code, "Win32"));
  folder_.Write(L"errmsg2.orv", CatalogueBytes(kOleEntries, OleCode, "OLE"));
  if (const auto started = app_.Start(folder_); !started) {
    std::printf("the program did not start: %s\n", started.message());
    return false;
  }
  process_ = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app_.ProcessId());
  if (!process_) {
    std::printf("cannot open the program's process (error %lu)\n", GetLastError());
    return false;
  }
  started_ = GetTickCount64();
  if (!WaitForText(app_.Control(kTotal), std::to_wstring(kWin32Entries) + L" Win error codes")) {
    std::printf("the program does not show the %d Win32 entries\n", kWin32Entries);
    return false;
  }
  return true;
}

bool Soak::Alive() {
  if (!app_.Running()) {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    std::printf("\nFAILED: the program died (exit code 0x%lx)\n", code);
    return false;
  }
  if (!app_.Responds()) {
    std::printf("\nFAILED: the program stopped answering (no answer within %lu ms)\n", kWait);
    return false;
  }
  return true;
}

void Soak::Problem(const std::string& what) {
  problems_.push_back(what);
  std::printf("  problem: %s\n", what.c_str());
  std::fflush(stdout);
}

void Soak::Keys(int keystrokes) {
  HWND input = app_.Control(kInput);
  if (const auto placed = app_.PlaceFocus(input); !placed) {
    Problem(std::string("cannot put the focus in the input box: ") + placed.message());
    return;
  }
  // A fixed generator, so that every run types the same.
  std::mt19937 generator(12345u);
  std::wstring expected;  // what the box must hold once it has taken every key
  int sent = 0, sinceSync = 0;
  int nextMark = keystrokes / 2;
  auto sync = [&] {
    sinceSync = 0;
    if (const auto shown = WaitForText(input, expected); !shown) {
      Problem(std::string("input box: ") + shown.message());
      expected = Text(input);
    }
  };
  auto key = [&](wchar_t c) {
    if (c == L'\b') {
      Press({VK_BACK});
      if (!expected.empty()) expected.pop_back();
    } else {
      Type(std::wstring(1, c));
      expected += c;
    }
    ++sent;
    if (++sinceSync == kKeysPerSync) sync();
  };
  while (sent < keystrokes) {
    // A code from the list typed in full, or just its first digits, then taken back in part or in whole.
    const std::string code = Win32Code(static_cast<int>(generator() % kWin32Entries));
    const std::size_t typed = 1 + generator() % code.size();
    if (expected.size() + typed > 20)
      while (!expected.empty()) key(L'\b');
    for (std::size_t i = 0; i < typed; ++i) key(static_cast<wchar_t>(code[i]));
    const std::size_t erased = generator() % 4 == 0 ? 1 + generator() % typed : expected.size();
    for (std::size_t i = 0; i < erased && !expected.empty(); ++i) key(L'\b');
    if (sent >= nextMark && nextMark < keystrokes) {
      sync();
      if (!Alive()) return;
      Measure("keys " + std::to_string(sent));
      nextMark = keystrokes;
    }
  }
  while (!expected.empty()) key(L'\b');
  sync();
  std::printf("  %d keystrokes sent\n", sent);
}

void Soak::Switches(int switches) {
  for (int i = 1; i <= switches; ++i) {
    const bool toWin = !winShown_;
    HWND option = app_.Control(toWin ? kWinErrors : kOleErrors);
    const std::wstring total = toWin ? std::to_wstring(kWin32Entries) + L" Win error codes"
                                     : std::to_wstring(kOleEntries) + L" OLE error codes";
    Click(option);
    if (const auto shown = WaitForText(app_.Control(kTotal), total); !shown) {
      Problem("switch " + std::to_string(i) + ": " + shown.message());
    } else {
      winShown_ = toWin;
    }
    if (!Alive()) return;
    if (i == switches / 2) Measure("switches " + std::to_string(i));
  }
}

HWND Soak::WaitForAbout() {
  HWND about = nullptr;
  WaitUntil([&] {
    for (HWND w : app_.VisibleWindows())
      if (w != app_.Main() && ClassOf(w) == L"QuorvexForm" && Text(w) == L"About Quorvex") about = w;
    return about != nullptr;
  });
  return about;
}

void Soak::AboutCycles(int cycles) {
  for (int i = 1; i <= cycles; ++i) {
    const std::string cycle = "about cycle " + std::to_string(i) + ": ";
    Click(app_.Control(kAbout));
    HWND about = WaitForAbout();
    if (!about) {
      Problem(cycle + "no window \"About Quorvex\" shows");
    } else if (HWND close = GetDlgItem(about, 110); !close || Text(close) != L"Clos&e") {
      Problem(cycle + "the about window has no Clos&e button with id 110");
    } else {
      Click(close);
      if (!WaitUntil([&] { return !IsWindow(about) || !IsWindowVisible(about); }))
        Problem(cycle + "the about window stays open");
    }
    if (!Alive()) return;
    if (i == cycles / 2) Measure("about " + std::to_string(i));
  }
}

void Soak::Measure(const std::string& point) {
  Sample s;
  s.point = point;
  s.seconds = static_cast<double>(GetTickCount64() - started_) / 1000.0;
  s.user = GetGuiResources(process_, GR_USEROBJECTS);
  s.gdi = GetGuiResources(process_, GR_GDIOBJECTS);
  if (!GetProcessHandleCount(process_, &s.handles) || s.handles == 0) {
    s.handles = HandleCountFromProcessList(app_.ProcessId());
    handleTable_ = true;
  }
  ProcessWindows windows{app_.ProcessId()};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  s.windows = windows.count;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
    s.privateBytes = memory.PrivateUsage;
    if (!s.privateBytes) {
      // Windows keeps the two equal; Wine fills in only the second, for another process.
      s.privateBytes = memory.PagefileUsage;
      commitCharge_ = true;
    }
    s.workingSet = memory.WorkingSetSize;
  }
  samples_.push_back(s);
  std::printf("  measured at %s\n", point.c_str());
  std::fflush(stdout);
}

void Soak::Report() const {
  std::printf("\n%-16s %8s %6s %6s %8s %8s %12s %12s\n", "point", "time s", "USER", "GDI", "handles", "windows",
              "private KiB", "working KiB");
  auto row = [](const Sample& s) {
    std::printf("%-16s %8.1f %6lu %6lu %8lu %8d %12llu %12llu\n", s.point.c_str(), s.seconds, s.user, s.gdi, s.handles,
                s.windows, static_cast<unsigned long long>(s.privateBytes / 1024),
                static_cast<unsigned long long>(s.workingSet / 1024));
  };
  for (const Sample& s : samples_) row(s);
  if (samples_.size() >= 2) {
    const Sample& a = samples_.front();
    const Sample& b = samples_.back();
    auto grow = [](auto from, auto to) { return static_cast<long long>(to) - static_cast<long long>(from); };
    std::printf("%-16s %8s %+6lld %+6lld %+8lld %+8lld %+12lld %+12lld\n", "growth", "", grow(a.user, b.user),
                grow(a.gdi, b.gdi), grow(a.handles, b.handles), grow(a.windows, b.windows),
                grow(a.privateBytes / 1024, b.privateBytes / 1024), grow(a.workingSet / 1024, b.workingSet / 1024));
  }
  const bool counted = std::any_of(samples_.begin(), samples_.end(), [](const Sample& s) { return s.user || s.gdi; });
  if (!counted)
    std::printf("\nGetGuiResources gave 0 USER and 0 GDI objects at every point (Wine does not count them):\n"
                "the handle count and the program's windows stand in for them, and leaked GDI objects show\n"
                "only as private memory.\n");
  if (handleTable_)
    std::printf("GetProcessHandleCount gave 0: the handles are the size of the process's handle table from\n"
                "the system's process list (Wine grows it in steps, so small changes do not show).\n");
  if (commitCharge_)
    std::printf("PrivateUsage gave 0: the private KiB are PagefileUsage, which Wine takes from the Linux\n"
                "process's anonymous memory (RssAnon + VmSwap), so it moves in whole pages.\n");
  if (!problems_.empty()) std::printf("\n%zu steps did not go as a person would expect (listed above).\n", problems_.size());
}

int Scaled(int count, double scale) { return std::max(1, static_cast<int>(std::lround(count * scale))); }

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  SetProcessDPIAware();
  // The driver reports what goes wrong through GoogleTest; no tests run here.
  testing::InitGoogleTest(&argc, argv);

  double scale = 1.0;
  std::set<std::string> phases;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    char* end = nullptr;
    const double value = std::strtod(arg.c_str(), &end);
    if (end != arg.c_str() && *end == '\0' && value > 0) {
      scale = value;
    } else if (arg == "keys" || arg == "switches" || arg == "about") {
      phases.insert(arg);
    } else {
      std::printf("usage: quorvex_soak.exe [SCALE] [keys] [switches] [about]\n");
      return 2;
    }
  }
  if (phases.empty()) phases = {"keys", "switches", "about"};
  const int keystrokes = Scaled(kKeystrokes, scale);
  const int switches = Scaled(kSwitches, scale);
  const int cycles = Scaled(kAboutCycles, scale);

  Soak soak;
  if (!soak.Start()) return 1;
  Sleep(kSettle);
  if (!soak.Alive()) return 1;
  soak.Measure("start");

  // Each phase ends with the program measured, or with the figures so far when it is gone.
  bool alive = true;
  if (alive && phases.count("keys")) {
    std::printf("typing: %d keystrokes\n", keystrokes);
    soak.Keys(keystrokes);
    if ((alive = soak.Alive())) soak.Measure("keys done");
  }
  if (alive && phases.count("switches")) {
    std::printf("switching catalogues: %d clicks\n", switches);
    soak.Switches(switches);
    if ((alive = soak.Alive())) soak.Measure("switches done");
  }
  if (alive && phases.count("about")) {
    std::printf("about window: %d times opened and closed\n", cycles);
    soak.AboutCycles(cycles);
    if ((alive = soak.Alive())) soak.Measure("about done");
  }
  if (alive) {
    Sleep(kSettle);
    if ((alive = soak.Alive())) soak.Measure("end");
  }
  soak.Report();
  const int complaints = testing::UnitTest::GetInstance()->ad_hoc_test_result().total_part_count();
  if (complaints) std::printf("the driver reported %d failures (above)\n", complaints);
  return alive ? 0 : 1;
}
