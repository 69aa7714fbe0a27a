// Finding and starting the system-information tool: the registry lookup, the trimming and types
// of values, and the one message for every failure.
#include <gtest/gtest.h>

#include "about/frmAbout.h"
#include "fake_system.h"
#include "platform/forms_memory.h"

namespace {

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::wstring kUnavailable = L"Quorvex: System Information Is Unavailable At This Time";

std::string Sz(const std::string& text) { return std::string(text.c_str(), text.size() + 1); }

class SysInfo : public testing::Test {
 public:
  void SetUp() override { forms::memory::Reset(); }
  void TearDown() override {
    EXPECT_EQ(sys.openKeys, 0) << "every key opened is closed";
    for (auto rights : sys.access) EXPECT_EQ(rights, KEY_READ) << "keys are opened for reading only";
    forms::memory::Reset();
  }
  void Step1(std::uint32_t type, const std::string& data) { sys.keys[kToolKey]["PATH"] = {type, data}; }
  void Step2(std::uint32_t type, const std::string& data) { sys.keys[kFolderKey]["MSINFO"] = {type, data}; }
  std::wstring Started() {
    EXPECT_LE(sys.starts.size(), 1u);
    return sys.starts.empty() ? L"(nothing)" : sys.starts[0].program;
  }

  FakeSystem sys;
  frmAbout about;
};

TEST_F(SysInfo, Step1PathIsStartedAsReadWithoutAnExistenceTest) {
  Step1(REG_SZ, Sz("C:\\Tools\\msinfo32.exe"));  // 22 bytes with its NUL
  sys.files.insert(L"C:\\Tools\\msinfo32.exe");
  about.StartSysInfo();
  EXPECT_EQ(Started(), L"C:\\Tools\\msinfo32.exe");
  EXPECT_EQ(sys.starts[0].style, 1);
  EXPECT_EQ(sys.starts[0].arguments, L"");
  EXPECT_TRUE(sys.lookups.empty());
  EXPECT_TRUE(sys.boxes.empty());
  EXPECT_EQ(sys.queried, std::vector<std::string>{kToolKey + "\\PATH"}) << "step 2 is not read";
}

TEST_F(SysInfo, TrimmingKeepsEveryCharacterOfAValueStoredWithoutItsTerminator) {
  struct Case {
    std::string data;
    std::wstring value;
  } cases[] = {
      {"C:\\Tools\\msinfo32.exe", L"C:\\Tools\\msinfo32.exe"},           // 21 bytes, no NUL
      {Sz("C:\\Tools\\msinfo32.exe"), L"C:\\Tools\\msinfo32.exe"},       // 22 bytes
      {std::string(1023, 'a') + '\0', std::wstring(1023, L'a')},         // 1024 bytes, the buffer's size
      {std::string(1022, 'a') + '\0', std::wstring(1022, L'a')},         // 1023 bytes
      {std::string(1023, 'a'), std::wstring(1023, L'a')},                // 1023 bytes without a NUL
      {std::string(1, 'z'), L"z"},                                       // 1 byte
      {std::string(1, '\0'), L""},                                       // 1 byte: only the terminator
      {std::string(1024, 'b'), std::wstring(1024, L'b')},                // 1024 bytes without a NUL
      {std::string("x\0\0", 3), std::wstring(L"x\0", 2)},               // only the last NUL goes
  };
  for (const auto& c : cases) {
    FakeSystem local;
    local.keys[kToolKey]["PATH"] = {REG_SZ, c.data};
    std::wstring value = L"old";
    EXPECT_TRUE(about.GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value));
    EXPECT_EQ(value, c.value) << c.data.size() << " bytes";
    EXPECT_EQ(local.openKeys, 0);
  }
}

TEST_F(SysInfo, ValuesThatCannotBeReadAreFailedReads) {
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data;
  } cases[] = {
      {"longer than the buffer", REG_SZ, std::string(1025, 'c')},
      {"no data at all", REG_SZ, ""},
  };
  for (const auto& c : cases) {
    FakeSystem local;
    local.keys[kToolKey]["PATH"] = {c.type, c.data};
    std::wstring value = L"old";
    EXPECT_FALSE(about.GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value))
        << c.name;
    EXPECT_EQ(value, L"") << c.name;
    EXPECT_EQ(local.openKeys, 0) << c.name;
  }
  std::wstring value = L"old";
  EXPECT_FALSE(about.GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Missing", L"PATH", value));
  EXPECT_EQ(value, L"");
}

TEST_F(SysInfo, TypesOtherThanStringsAndNumbersLeaveTheTextButCountAsFound) {
  for (std::uint32_t type : {0u, 2u, 3u, 5u, 6u, 7u, 8u, 9u, 10u, 11u}) {
    FakeSystem local;
    local.keys[kToolKey]["PATH"] = {type, Sz("C:\\x")};
    std::wstring value = L"kept";
    EXPECT_TRUE(about.GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value));
    EXPECT_EQ(value, L"kept") << "type " << type;
  }
}

TEST_F(SysInfo, NumbersBecomeDecimalText) {
  struct Case {
    std::string data;
    std::wstring text;
  } cases[] = {
      {std::string("\x02\x01\x00\x00", 4), L"258"},
      {std::string("\xff\xff\xff\xff", 4), L"4294967295"},
      {std::string("\x00\x00\x00\x00", 4), L"0"},
      {std::string("\x07", 1), L"7"},
  };
  for (const auto& c : cases) {
    FakeSystem local;
    local.keys[kToolKey]["PATH"] = {REG_DWORD, c.data};
    std::wstring value;
    EXPECT_TRUE(about.GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", value));
    EXPECT_EQ(value, c.text);
  }
}

TEST_F(SysInfo, Step2FolderIsUsedOnlyWhenItHoldsTheTool) {
  Step2(REG_SZ, Sz("C:\\Info"));
  sys.files.insert(L"C:\\Info\\MSINFO32.EXE");
  about.StartSysInfo();
  EXPECT_EQ(sys.lookups, std::vector<std::wstring>{L"C:\\Info\\MSINFO32.EXE"});
  EXPECT_EQ(Started(), L"C:\\Info\\MSINFO32.EXE");
  EXPECT_TRUE(sys.boxes.empty());
}

TEST_F(SysInfo, Step2FolderWithATrailingBackslashIsUsedAsItComes) {
  Step2(REG_SZ, Sz("C:\\Info\\"));
  sys.files.insert(L"C:\\Info\\\\MSINFO32.EXE");
  about.StartSysInfo();
  EXPECT_EQ(Started(), L"C:\\Info\\\\MSINFO32.EXE");
}

TEST_F(SysInfo, EveryFailureShowsTheOneMessageAndStartsNothingElse) {
  struct Case {
    const char* name;
    void (*arrange)(SysInfo&);
    std::wstring started;  // what was tried, if anything
  } cases[] = {
      {"both keys missing", [](SysInfo&) {}, L"(nothing)"},
      {"folder without the tool", [](SysInfo& t) { t.Step2(REG_SZ, Sz("C:\\Info")); }, L"(nothing)"},
      {"step 1 names no file; step 2 is not tried",
       [](SysInfo& t) {
         t.Step1(REG_SZ, Sz("C:\\Nowhere\\msinfo32.exe"));
         t.Step2(REG_SZ, Sz("C:\\Info"));
         t.sys.files.insert(L"C:\\Info\\MSINFO32.EXE");
       },
       L"C:\\Nowhere\\msinfo32.exe"},
      {"step 1 of another type leaves the path empty", [](SysInfo& t) { t.Step1(REG_EXPAND_SZ, Sz("%windir%\\x.exe")); },
       L""},
      {"step 1 a number", [](SysInfo& t) { t.Step1(REG_DWORD, std::string("\x01\x00\x00\x00", 4)); }, L"1"},
      {"step 1 too long, step 2 missing", [](SysInfo& t) { t.Step1(REG_SZ, std::string(1025, 'p')); }, L"(nothing)"},
      {"step 1 empty, step 2 missing", [](SysInfo& t) { t.Step1(REG_SZ, ""); }, L"(nothing)"},
  };
  for (const auto& c : cases) {
    sys.keys.clear();
    sys.files.clear();
    sys.boxes.clear();
    sys.starts.clear();
    c.arrange(*this);
    about.StartSysInfo();
    EXPECT_EQ(sys.boxes, std::vector<std::wstring>{kUnavailable}) << c.name;
    EXPECT_EQ(Started(), c.started) << c.name;
  }
}

TEST_F(SysInfo, AKeyThatCannotBeOpenedIsPassedOver) {
  Step1(REG_SZ, Sz("C:\\Tools\\msinfo32.exe"));
  sys.denied.insert(kToolKey);
  Step2(REG_SZ, Sz("C:\\Info"));
  sys.files.insert(L"C:\\Info\\MSINFO32.EXE");
  about.StartSysInfo();
  EXPECT_EQ(Started(), L"C:\\Info\\MSINFO32.EXE");
  sys.denied.insert(kFolderKey);
  sys.starts.clear();
  about.StartSysInfo();
  EXPECT_EQ(sys.boxes, std::vector<std::wstring>{kUnavailable});
  EXPECT_EQ(Started(), L"(nothing)");
}

TEST_F(SysInfo, AnEmptyOrTooLongStep1FallsBackToStep2) {
  for (const std::string& data : {std::string(), std::string(1025, 'p')}) {
    sys.starts.clear();
    Step1(REG_SZ, data);
    Step2(REG_SZ, Sz("C:\\Info"));
    sys.files.insert(L"C:\\Info\\MSINFO32.EXE");
    about.StartSysInfo();
    EXPECT_EQ(Started(), L"C:\\Info\\MSINFO32.EXE") << data.size() << " bytes";
    EXPECT_TRUE(sys.boxes.empty());
  }
}

}  // namespace
