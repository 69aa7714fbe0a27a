// The program with the catalogues the build made: the Win32 one loads whole, and typing a code
// lists the codes that begin with it in code order.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

std::string Built(const wchar_t* name) {
  const std::wstring exe = ProgramPath();
  std::ifstream in(std::filesystem::path(exe.substr(0, exe.find_last_of(L'\\')) + L"\\" + name), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::size_t Lines(const std::string& bytes) {
  std::size_t n = 0;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++n;
  return n;
}

class ShippedCatalogues : public testing::Test {
 protected:
  void SetUp() override {
    win32 = Built(L"errmsg.orv");
    ole = Built(L"errmsg2.orv");
    ASSERT_FALSE(win32.empty());
    ASSERT_FALSE(ole.empty());
    folder.Write(L"errmsg.orv", win32);
    folder.Write(L"errmsg2.orv", ole);
  }

  ScreenDpi screen{96};
  Folder folder;
  App app;
  std::string win32, ole;
};

TEST_F(ShippedCatalogues, LoadWholeWithTheirCountInTheTotal) {
  ASSERT_TRUE(app.Start(folder));
  const std::size_t count = Lines(win32);
  EXPECT_EQ(static_cast<std::size_t>(ListCount(app.Control(kNames))), count);
  EXPECT_EQ(Text(app.Control(kTotal)), std::to_wstring(count) + L" Win error codes");
  Click(app.Control(kOleErrors));
  EXPECT_TRUE(WaitForText(app.Control(kTotal), std::to_wstring(Lines(ole)) + L" OLE error codes"));
}

TEST_F(ShippedCatalogues, TypingACodeListsTheCodesThatBeginWithItInCodeOrder) {
  ASSERT_TRUE(app.Start(folder));
  ASSERT_TRUE(app.PlaceFocus(app.Control(kInput)));
  Type(L"2");
  HWND results = app.Control(kResults);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(results) && ListCount(results) > 3; }));
  const auto entries = ListEntries(results);
  std::vector<std::wstring> codes;
  for (const auto& e : entries) codes.push_back(e.substr(0, e.find(L'\t')));
  ASSERT_GE(codes.size(), 4u);
  EXPECT_EQ(codes[0], L"2");
  EXPECT_EQ(codes[1], L"20");
  EXPECT_EQ(codes[2], L"21");
  EXPECT_EQ(entries[0].find(L"ERROR_FILE_NOT_FOUND"), 2u) << "code, tab, then its name";
  for (std::size_t i = 1; i < codes.size(); ++i) {
    EXPECT_EQ(codes[i][0], L'2');
    EXPECT_LT(std::stol(codes[i - 1]), std::stol(codes[i])) << "code order";
  }
}

// Codes people look up, in the catalogue a person would choose for each: the line that describes
// the code, with its name and its text (the system's, the toolchain's or our own words); the name
// people know, and the one crash reports show, on the first line.
TEST_F(ShippedCatalogues, DescribeTheCodesPeopleLookUp) {
  struct Row {
    int catalogue;
    const wchar_t* typed;
    const wchar_t* name;
    const wchar_t* text;
    bool first = false;  // the first line listed
  };
  const Row rows[] = {
      {kOleErrors, L"00000000", L"00000000\tS_OK", L" - The operation completed successfully.", true},
      {kOleErrors, L"80070002", L"\tERROR_FILE_NOT_FOUND (Win32 2)", L" - The system cannot find the file specified.", true},
      {kOleErrors, L"c0000005", L"STATUS_ACCESS_VIOLATION (NTSTATUS)", L" - The instruction at 0x%08lx referenced memory"},
      {kWinErrors, L"2250", L"\tERROR_NOT_CONNECTED", L" - This network connection does not exist. (also NERR_UseNotFound, WN_NOT_CONNECTED)"},
      {kOleErrors, L"88760868", L"\tD3DERR_DEVICELOST - ", L"Device lost", true},
      {kOleErrors, L"80041002", L"\tWBEM_E_NOT_FOUND (WMI) - ", L"", true},
      {kOleErrors, L"8024402c", L"\tWU_E_PT_WINHTTP_NAME_NOT_RESOLVED - ", L"", true},
      {kOleErrors, L"C1900101", L"\tMOSETUP_E_SETUP_PLATFORM - ", L"", true},
      {kOleErrors, L"C0000005", L"EXCEPTION_ACCESS_VIOLATION", L"", true},
  };
  ASSERT_TRUE(app.Start(folder));
  HWND input = app.Control(kInput), results = app.Control(kResults), total = app.Control(kTotal);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::string(row.typed, row.typed + wcslen(row.typed)));
    // The option takes the focus once the program has had the click: only then may it go elsewhere.
    HWND option = app.Control(row.catalogue);
    Click(option);
    ASSERT_TRUE(WaitUntil([&] {
      return app.Focus() == option && Text(total).find(row.catalogue == kOleErrors ? L"OLE" : L"Win") != std::wstring::npos;
    }));
    ASSERT_TRUE(app.PlaceFocus(input));
    Press({VK_END});
    Press({VK_SHIFT, VK_HOME});
    Press({VK_DELETE});
    ASSERT_TRUE(WaitUntil([&] { return Text(input).empty(); }));
    Type(row.typed);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(results) && Text(input) == row.typed && ListCount(results) > 0; }));
    bool described = false;
    const auto entries = ListEntries(results);
    for (const std::wstring& entry : entries) {
      described |= entry.find(row.name) != std::wstring::npos && entry.find(row.text) != std::wstring::npos;
      if (row.first) break;
    }
    EXPECT_TRUE(described) << "no line with " << std::string(row.name, row.name + wcslen(row.name));
  }
}

}  // namespace
}  // namespace e2e
