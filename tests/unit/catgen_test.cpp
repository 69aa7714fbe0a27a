// The catalogue generator's pipeline: its readers of headers and message tables, the merge that
// chooses names and texts, and the line the writer makes of each entry.
#include <gtest/gtest.h>

#include "headers.h"
#include "merge.h"
#include "message_table.h"
#include "reference.h"
#include "writer.h"

namespace {

using namespace catgen;
using Names = std::vector<std::string>;

constexpr char kHeader[] = R"(
#ifndef _WINERROR_
#define _WINERROR_
#define FACILITY_WIN32 7
#define SEVERITY_ERROR 1
#define __MSABI_LONG(x) x ## l
#define ERROR_SUCCESS __MSABI_LONG(0)
#define NO_ERROR __MSABI_LONG(0)
#define ERROR_FILE_NOT_FOUND __MSABI_LONG(2)
#define ERROR_ACCESS_DENIED 5L   /* a comment */
#define ERROR_PLAIN 1450
#define WSABASEERR 10000
#define WSAEINTR (WSABASEERR + 4)
#define DNS_ERROR_RESPONSE_CODES_BASE 9000
#define DNS_ERROR_RCODE_FORMAT_ERROR (DNS_ERROR_RESPONSE_CODES_BASE + 1)
#define DNS_ERROR_MASK 0x00002328
#define DNS_ERROR_NO_MEMORY ERROR_OUTOFMEMORY
#define ERROR_OUTOFMEMORY 14L
#define DNS_ERROR_INVALID_NAME ERROR_FILE_NOT_FOUND
#define ERROR_TOO_BIG 70000
#define XACT_E_FIRST 0x8004D000
#ifdef RC_INVOKED
#define _HRESULT_TYPEDEF_(_sc) _sc
#else
#define _HRESULT_TYPEDEF_(_sc) ((HRESULT)_sc)
#endif
#define E_UNEXPECTED _HRESULT_TYPEDEF_(0x8000FFFFL)
#define E_NOTIMPL _HRESULT_TYPEDEF_(0x80004001)
#define E_ACCESSDENIED _HRESULT_TYPEDEF_(0x80070005L)
#define S_OK ((HRESULT)0x00000000)
#define S_FALSE ((HRESULT)0x00000001)
#define SEC_E_NOT_SUPPORTED E_NOTIMPL
#define HRESULT_CODE(hr) ((hr) & 0xFFFF)
#define __HRESULT_FROM_WIN32(x) ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT) (((x) & 0x0000FFFF) | (FACILITY_WIN32 << 16) | 0x80000000)))
#define HRESULT_FROM_WIN32(x) __HRESULT_FROM_WIN32(x)
#define MAKE_HRESULT(sev,fac,code) ((HRESULT) (((unsigned __LONG32)(sev)<<31) | ((unsigned __LONG32)(fac)<<16) | ((unsigned __LONG32)(code))))
#define APPLICATION_ERROR_MASK 0x20000000
#define ERROR_SEVERITY_ERROR 0xC0000000
#endif
)";

// A name that is a subsystem's alias is written with a "~" before it.
std::map<Code, Names> ByCode(const std::vector<Named>& codes) {
  std::map<Code, Names> by;
  for (const Named& n : codes) by[n.code].push_back((n.alias ? "~" : "") + n.name);
  return by;
}

Code W(std::uint32_t v) { return {Family::Win32, v}; }
Code H(std::uint32_t v) { return {Family::HResult, v}; }
Code N(std::uint32_t v) { return {Family::NtStatus, v}; }
Code R(std::uint32_t v) { return {Family::Ras, v}; }

TEST(ErrorHeaders, WinErrorGivesWin32CodesAndHResultsWithEveryNameOfEach) {
  const auto codes = ByCode(ReadHeaders({{"winerror.h", kHeader}})[0].codes);
  EXPECT_EQ(codes.at(W(0)), (Names{"ERROR_SUCCESS", "NO_ERROR"}));
  EXPECT_EQ(codes.at(W(2)), (Names{"ERROR_FILE_NOT_FOUND", "~DNS_ERROR_INVALID_NAME"}));
  EXPECT_EQ(codes.at(W(5)), Names{"ERROR_ACCESS_DENIED"});
  EXPECT_EQ(codes.at(W(1450)), Names{"ERROR_PLAIN"});
  EXPECT_EQ(codes.at(W(10004)), Names{"WSAEINTR"});
  EXPECT_EQ(codes.at(W(9001)), Names{"DNS_ERROR_RCODE_FORMAT_ERROR"});
  EXPECT_EQ(codes.at(W(14)), (Names{"~DNS_ERROR_NO_MEMORY", "ERROR_OUTOFMEMORY"})) << "a name defined further down";
  // Facilities, severities and used bases are no codes; nor is what cannot be one. A plain number
  // that another name also has may be a marker: the merge keeps it only where a source knows it.
  for (std::uint32_t no : {1u, 7u, 10000u, 70000u}) EXPECT_EQ(codes.count(W(no)), 0u) << no;
  EXPECT_EQ(codes.at(W(9000)), Names{"DNS_ERROR_MASK"});
  const auto read = ReadHeaders({{"winerror.h", kHeader}});
  for (const Named& n : read[0].codes)
    EXPECT_EQ(n.doubtful, n.name == "DNS_ERROR_MASK" || n.name == "ERROR_SUCCESS" || n.name == "NO_ERROR") << n.name;

  EXPECT_EQ(codes.at(H(0x8000FFFFu)), Names{"E_UNEXPECTED"});
  EXPECT_EQ(codes.at(H(0x80004001u)), (Names{"E_NOTIMPL", "~SEC_E_NOT_SUPPORTED"}));
  EXPECT_EQ(codes.at(H(0x80070005u)), Names{"E_ACCESSDENIED"});
  EXPECT_EQ(codes.at(H(0u)), Names{"S_OK"});
  EXPECT_EQ(codes.at(H(1u)), Names{"S_FALSE"});
  EXPECT_EQ(codes.count(H(0x8004D000u)), 0u);
  EXPECT_EQ(codes.size(), 8u + 5u);
}

// Each of the other headers' ways of defining a code, and of defining what is no code, read after
// kHeader as the generator reads them after winerror.h.
struct HeaderCase {
  const char* what;
  std::string file;
  const char* text;
  std::map<Code, Names> codes;
  std::size_t skipped = 0;
  Names left = {};
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.what; }

class HeaderForms : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderForms, AreReadAsCodesOfTheirFamily) {
  const HeaderCase& c = GetParam();
  const auto read = ReadHeaders({{"winerror.h", kHeader}, {c.file, c.text}});
  EXPECT_EQ(ByCode(read[1].codes), c.codes);
  EXPECT_EQ(read[1].skipped, c.skipped);
  EXPECT_EQ(read[1].left, c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Catgen, HeaderForms,
    testing::Values(
        HeaderCase{"a base plus an offset", "lmerr.h",
                   "#define NERR_BASE 2100\n#define NERR_UseNotFound (NERR_BASE+150)\n#define MAX_NERR (NERR_BASE+899)\n",
                   {{W(2250), {"NERR_UseNotFound"}}},
                   0,
                   {"NERR_BASE"}},
        HeaderCase{"error names among other constants", "wininet.h",
                   "#define INTERNET_ERROR_BASE 12000\n#define ERROR_INTERNET_TIMEOUT (INTERNET_ERROR_BASE + 2)\n"
                   "#define INTERNET_FLAG_RELOAD 0x80000000\n#define INTERNET_ERROR_LAST ERROR_INTERNET_TIMEOUT\n",
                   {{W(12002), {"ERROR_INTERNET_TIMEOUT", "~INTERNET_ERROR_LAST"}}},
                   0,
                   {"INTERNET_ERROR_BASE"}},
        HeaderCase{"a family of its own above its base, and a marker after its last code", "raserror.h",
                   "#define RASBASE 600\n#define SUCCESS 0\n#define PENDING (RASBASE+0)\n"
                   "#define ERROR_INVALID_PORT_HANDLE (RASBASE+1)\n#define RASBASEEND (RASBASE+1)\n",
                   {{R(600), {"PENDING"}}, {R(601), {"ERROR_INVALID_PORT_HANDLE", "~RASBASEEND"}}},
                   0,
                   {"RASBASE", "SUCCESS"}},
        HeaderCase{"markers: a bound pair, a marker before its run, a used base; a cast value and a family's "
                   "plain error whatever their names",
                   "pdhmsg.h",
                   "#define DIERR_DRIVERFIRST 0x80040300L\n#define DIERR_DRIVERLAST 0x800403FFL\n"
                   "#define ISS_E_ISOSTORE_START ((HRESULT)0x80131450L)\n#define ISS_E_ISOSTORE ((HRESULT)0x80131450L)\n"
                   "#define ISS_E_OPEN_STORE_FILE ((HRESULT)0x80131451L)\n"
                   "#define PDH_CSTATUS_NO_OBJECT_ERROR ((DWORD)0xC0000BB8L)\n#define PDH_CSTATUS_NO_MACHINE ((DWORD)0x800007D0L)\n"
                   "#define PDH_MORE_DATA ((DWORD)0x800007D2L)\n"
                   "#define PDH_FMT_FLAG ((DWORD)0x80000000L)\n#define hrNyi ((HRESULT)0xC0000001L)\n"
                   "#define hrNone ((HRESULT)0x00000000L)\n#define X_E_BASE 0x80250000\n#define X_E_ONE (X_E_BASE + 1)\n",
                   {{H(0x80131450u), {"~ISS_E_ISOSTORE_START", "ISS_E_ISOSTORE"}},
                    {H(0x80131451u), {"ISS_E_OPEN_STORE_FILE"}},
                    {H(0xC0000BB8u), {"PDH_CSTATUS_NO_OBJECT_ERROR"}},
                    {H(0x800007D0u), {"PDH_CSTATUS_NO_MACHINE"}},
                    {H(0x800007D2u), {"PDH_MORE_DATA"}},
                    {H(0xC0000001u), {"hrNyi"}},
                    {H(0x80250001u), {"X_E_ONE"}}},
                   0,
                   {"DIERR_DRIVERFIRST", "DIERR_DRIVERLAST", "X_E_BASE"}},
        HeaderCase{"a macro of winerror.h's macro, and an alias", "corerror.h",
                   "#define FACILITY_URT 0x13\n#define EMAKEHR(val) MAKE_HRESULT(SEVERITY_ERROR, FACILITY_URT, val)\n"
                   "#define SMAKEHR(val) MAKE_HRESULT(0, FACILITY_URT, val)\n"
                   "#define COR_E_TYPEUNLOADED EMAKEHR(0x1013)\n#define CLDB_S_TRUNCATION SMAKEHR(0x1106)\n"
                   "#define TLBX_W_LIBNOTREGISTERED EMAKEHR(0x1190)\n"
                   "#define COR_E_FILENOTFOUND HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)\n",
                   {{H(0x80131013u), {"COR_E_TYPEUNLOADED"}},
                    {H(0x00131106u), {"CLDB_S_TRUNCATION"}},
                    {H(0x80131190u), {"TLBX_W_LIBNOTREGISTERED"}},
                    {H(0x80070002u), {"~COR_E_FILENOTFOUND"}}}},
        HeaderCase{"typed, continued on a second line, plain with the error bit, informational",
                   "mferror.h",
                   "#define FACILITY_MF 0xd\n#define MF_E_PLATFORM_NOT_INITIALIZED _HRESULT_TYPEDEF_(0xC00D36B0L)\n"
                   "#define MF_E_SPLIT \\\n  _HRESULT_TYPEDEF_(0xC00D36B1L)\n#define MF_INDEX_SIZE_ERR 0x80700001\n"
                   "#define MF_I_MANUAL_PROXY _HRESULT_TYPEDEF_(0x400D3A09L)\n",
                   {{H(0xC00D36B0u), {"MF_E_PLATFORM_NOT_INITIALIZED"}},
                    {H(0xC00D36B1u), {"MF_E_SPLIT"}},
                    {H(0x80700001u), {"MF_INDEX_SIZE_ERR"}},
                    {H(0x400D3A09u), {"MF_I_MANUAL_PROXY"}}}},
        HeaderCase{"cast to NTSTATUS", "ntstatus.h",
                   "#define STATUS_SEVERITY_ERROR 0x3\n#define STATUS_WAIT_1 ((NTSTATUS)0x00000001)\n"
                   "#define STATUS_ACCESS_VIOLATION ((NTSTATUS)0xC0000005L)\n",
                   {{N(1), {"STATUS_WAIT_1"}}, {N(0xC0000005u), {"STATUS_ACCESS_VIOLATION"}}}},
        HeaderCase{"what cannot be evaluated is skipped and counted", "wuerror.h",
                   "#define WU_E_NO_SERVICE _HRESULT_TYPEDEF_(0x80240001L)\n#define WU_E_ODD sizeof(HRESULT)\n"
                   "#define WU_E_LOOP WU_E_LOOP\n#define WU_E_UNKNOWN_MACRO UNDEFINED(1)\n",
                   {{H(0x80240001u), {"WU_E_NO_SERVICE"}}},
                   3},
        HeaderCase{"an enum of HRESULTs with its success codes, one counted on from the last",
                   "wbemcli.h",
                   "typedef enum tag_WBEMSTATUS {\n  WBEM_NO_ERROR = 0,\n  WBEM_S_NO_ERROR = 0,\n  WBEM_S_FALSE = 1,\n"
                   "  /* a comment */ WBEM_E_FAILED = 0x80041001,\n  WBEM_E_NOT_FOUND\n} WBEMSTATUS;\n"
                   "enum { WBEM_FLAG_RETURN_ERROR_OBJECT = 0x80000000, WBEM_FLAG_OTHER };\n",
                   {{H(0), {"WBEM_S_NO_ERROR"}},
                    {H(1), {"WBEM_S_FALSE"}},
                    {H(0x80041001u), {"WBEM_E_FAILED"}},
                    {H(0x80041002u), {"WBEM_E_NOT_FOUND"}}},
                   0,
                   {"WBEM_NO_ERROR", "WBEM_FLAG_RETURN_ERROR_OBJECT"}},
        HeaderCase{"a customer code built of masks; a copy of an NTSTATUS code", "setupapi.h",
                   "#define ERROR_NO_SUCH_DEVINST (APPLICATION_ERROR_MASK|ERROR_SEVERITY_ERROR|0x20B)\n"
                   "#define STATUS_ACCESS_VIOLATION ((DWORD)0xC0000005L)\n#define STATUS_PENDING ((DWORD)0x00000103L)\n",
                   {{H(0xE000020Bu), {"ERROR_NO_SUCH_DEVINST"}}, {N(0xC0000005u), {"STATUS_ACCESS_VIOLATION"}}},
                   0,
                   {"STATUS_PENDING"}},
        HeaderCase{"flags, handles, a window message's result, DISPIDs and OVERRIDE are no codes", "winuser.h",
                   "#define PRINTER_ERROR_INFORMATION 0x80000000\n#define STD_ERROR_HANDLE ((DWORD)-12)\n"
                   "#define LB_ERR (-1)\n#define DISPID_ONERROR (-2147418111)\n"
                   "#define DDBLT_ALPHADESTCONSTOVERRIDE 0x80000000\n#define ODBC_ERROR_GENERAL_ERR 1\n",
                   {},
                   0,
                   {"PRINTER_ERROR_INFORMATION", "STD_ERROR_HANDLE", "LB_ERR", "ODBC_ERROR_GENERAL_ERR"}},
        HeaderCase{"a header the rule would read wrong: event-log message ids", "netevent.h",
                   "#define DFS_ERROR_ACTIVEDIRECTORY_OFFLINE __MSABI_LONG(0xC00038BB)\n",
                   {},
                   0,
                   {"DFS_ERROR_ACTIVEDIRECTORY_OFFLINE"}},
        HeaderCase{"what only the resource compiler reads", "d3d9.h",
                   "#ifdef RC_INVOKED\n#define D3DERR_DEVICELOST 1\n#else\n#define _FACD3D 0x876\n"
                   "#define MAKE_D3DHRESULT(code) MAKE_HRESULT(1, _FACD3D, code)\n"
                   "#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152)\n#endif\n",
                   {{H(0x88760868u), {"D3DERR_DEVICELOST"}}}}));

// A table of two blocks: ids 1 and 2 in UTF-16, then 0xC0000005 as 8-bit text.
std::string TableBytes() {
  auto u16 = [](std::string& b, std::uint32_t v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>(v >> 8); };
  auto u32 = [&](std::string& b, std::uint32_t v) { u16(b, v & 0xFFFF), u16(b, v >> 16); };
  std::string entries;
  for (const char16_t* text : {u"Incorrect function.\r\n", u"Caf\u00e9\r\n"}) {
    const std::u16string s(text);
    u16(entries, static_cast<std::uint32_t>(4 + 2 * s.size() + 2));
    u16(entries, 1);
    for (char16_t c : s) u16(entries, c);
    u16(entries, 0);
  }
  const std::size_t ansi = entries.size();
  entries += std::string("\x10\x00\x00\x00", 4) + std::string("Access\xA0" "vi\0\0\0", 12);
  std::string b;
  u32(b, 2);
  u32(b, 1), u32(b, 2), u32(b, 4 + 24);
  u32(b, 0xC0000005u), u32(b, 0xC0000006u), u32(b, static_cast<std::uint32_t>(4 + 24 + ansi));  // one past the end
  return b + entries;
}

TEST(MessageTables, GiveEveryMessageItsExactIdAndStopAtWhatTheyDoNotHold) {
  const auto latin1 = [](std::string_view s) {
    std::u16string wide(s.begin(), s.end());
    for (auto& c : wide) c = static_cast<unsigned char>(c);
    return Utf16ToUtf8(wide);
  };
  const auto messages = ReadMessageTable(TableBytes(), latin1);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].id, 1u);
  EXPECT_EQ(messages[0].text, "Incorrect function.\r\n");
  EXPECT_EQ(messages[1].text, "Caf\xC3\xA9\r\n");
  EXPECT_EQ(messages[2].id, 0xC0000005u);
  EXPECT_EQ(messages[2].text, "Access\xC2\xA0vi");
  EXPECT_TRUE(ReadMessageTable(TableBytes().substr(0, 40), latin1).size() < 3u) << "a table cut short";
  EXPECT_TRUE(ReadMessageTable(std::string("\xFF\xFF\xFF\xFF", 4), latin1).empty());
}

// What the merge makes of a few sources: the lines of both catalogues, as the writer writes them.
std::vector<std::string> Lines(const std::vector<Entry>& entries, bool hex) {
  std::vector<std::string> lines;
  for (const Entry& e : entries) lines.push_back(Line(e, hex));
  return lines;
}

// The names a header defines, in order; "~" before a name marks an alias.
std::vector<Named> Defined(const std::string& header, std::vector<std::pair<Code, std::string>> names) {
  std::vector<Named> out;
  for (auto& [code, name] : names) {
    const bool alias = name[0] == '~';
    out.push_back({code, alias ? name.substr(1) : name, header, alias});
  }
  return out;
}

Sources Example() {
  Sources s;
  for (auto header : {
           Defined("winerror.h", {{W(0), "ERROR_SUCCESS"}, {W(0), "NO_ERROR"}, {W(1), "ERROR_INVALID_FUNCTION"},
                                  {W(2), "ERROR_FILE_NOT_FOUND"}, {W(5), "ERROR_ACCESS_DENIED"},
                                  {W(14), "ERROR_OUTOFMEMORY"}, {W(574), "ERROR_UNHANDLED_EXCEPTION"},
                                  {W(734), "ERROR_WAIT_63"}, {W(2250), "ERROR_NOT_CONNECTED"},
                                  {W(13001), "ERROR_IPSEC_QM_POLICY_NOT_FOUND"}, {H(0), "~SEC_E_OK"}, {H(0), "S_OK"},
                                  {H(1), "S_FALSE"}, {H(0x80070005u), "E_ACCESSDENIED"},
                                  {H(0x8007000Eu), "E_OUTOFMEMORY"}, {H(0x800F020Bu), "SPAPI_E_NO_SUCH_DEVINST"},
                                  {H(0x887A0005u), "DXGI_ERROR_DEVICE_REMOVED"}}),
           Defined("agterr.h", {{H(0x80040E14u), "AGENTERR_X"}}),
           Defined("corerror.h", {{H(0x80070002u), "~COR_E_FILENOTFOUND"}}),
           Defined("lmerr.h", {{W(2250), "NERR_UseNotFound"}}),
           Defined("ntstatus.h", {{N(0x102), "STATUS_TIMEOUT"}, {N(0xC0000005u), "STATUS_ACCESS_VIOLATION"},
                                  {N(0xC0000144u), "STATUS_UNHANDLED_EXCEPTION"}, {N(0x8000000Bu), "STATUS_NO_INHERITANCE"}}),
           Defined("oledberr.h", {{H(0x80040E14u), "DB_E_ERRORSINCOMMAND"}}),
           Defined("raserror.h", {{R(601), "ERROR_INVALID_PORT_HANDLE"}, {R(602), "ERROR_PORT_ALREADY_OPEN"}}),
           Defined("setupapi.h", {{H(0xE000020Bu), "ERROR_NO_SUCH_DEVINST"}}),
           Defined("winspool.h", {{W(13001), "ERROR_BIDI_STATUS_WARNING"}}),
           Defined("wuerror.h", {{H(0x8024402Cu), "WU_E_PT_WINHTTP_NAME_NOT_RESOLVED"}}),
       })
    s.headers.insert(s.headers.end(), header.begin(), header.end());
  s.reference = {{W(5), "ERROR_ACCESS_DENIED", "Access is denied."},
                 {W(14), "ERROR_OUTOFMEMORY", "Not enough storage is available."},
                 {W(574), "ERROR_UNHANDLED_EXCEPTION", "{Application Error}"},
                 {W(734), "ERROR_WAIT_63", "ERROR_WAIT_63"},
                 {W(2250), "ERROR_NOT_CONNECTED", "This network connection does not exist."},
                 {H(0x80070005u), "E_ACCESSDENIED", "General access denied error."},
                 {H(0x8007000Eu), "E_OUTOFMEMORY", "The server does not have enough memory for the new channel."},
                 {H(0x800F020Bu), "SPAPI_E_NO_SUCH_DEVINST", "The device instance does not exist."},
                 {N(0x102), "STATUS_TIMEOUT", "No description"},
                 {N(0xC0000005u), "STATUS_ACCESS_VIOLATION", "The instruction at 0x%08lx referenced memory."},
                 {N(0xC0000144u), "STATUS_UNHANDLED_EXCEPTION", "{Application Error}\r\nThe exception %s occurred."}};
  s.documented = {{H(0x8000000Bu), "E_BOUNDS", "Windows Runtime", "Past the end.", "https://learn.microsoft.com/x"}};
  s.system = {{0, "The operation completed successfully.\r\n"},
              {1, "Incorrect function.\r\n"},
              {5, "Zugriff verweigert.\r\n"},
              {14, "Not enough memory resources are available\r\nto process this command.\r\n"},
              {601, "The object found is out of scope.\r\n"},
              {3000, "A code that only the system knows.\r\n"},
              {3001, "\r\n"}};
  s.modules = {
      {"rasmsg.dll",
       {{601, "The port handle is invalid.\r\n"}, {602, "The port is already open."}, {650, "An event, no code."}}},
      {"ntmsg.dll",
       {{0x102, "The given Timeout interval expired.\r\n"}, {0xC0000005u, "Bad memory."}, {1, "An NTSTATUS 1."}}},
      {"kernelbase.dll", {{1, "Win32 1 again."}, {2, "File not found."}, {2250, "Not connected."}}},
  };
  return s;
}

// The lines of the example, which hold each rule of the merge: the text of each code its own, the
// reference's first and the system's second; the name people know first and an alias last; the
// corrections; a family for every line without a text; a line per meaning where headers differ.
TEST(Merge, ChoosesEachCodesOwnTextInTheReferenceFirstAndTheSystemsSecond) {
  const Merged m = Merge(Example());
  EXPECT_EQ(Lines(m.catalogues.win32, false),
            (std::vector<std::string>{
                "0\tERROR_SUCCESS - The operation completed successfully. (also NO_ERROR)",
                "1\tERROR_INVALID_FUNCTION - Incorrect function.",
                "2\tERROR_FILE_NOT_FOUND - File not found.",
                "5\tERROR_ACCESS_DENIED - Access is denied.",
                "14\tERROR_OUTOFMEMORY - Not enough storage is available.",
                "574\tERROR_UNHANDLED_EXCEPTION - {Application Error} The exception %s occurred.",
                "601\tThe object found is out of scope.",
                "601\tERROR_INVALID_PORT_HANDLE (RAS) - The port handle is invalid.",
                "602\tERROR_PORT_ALREADY_OPEN (RAS) - The port is already open.",
                "734\tERROR_WAIT_63 (Win32)",
                "2250\tERROR_NOT_CONNECTED - This network connection does not exist. (also NERR_UseNotFound)",
                "3000\tA code that only the system knows.",
                "13001\tERROR_IPSEC_QM_POLICY_NOT_FOUND (Win32)",
                "13001\tERROR_BIDI_STATUS_WARNING (Printing)",
            }));
  EXPECT_EQ(Lines(m.catalogues.hex, true),
            (std::vector<std::string>{
                "00000000\tS_OK - The operation completed successfully. (also SEC_E_OK)",
                "00000001\tS_FALSE (COM)",
                "00000102\tSTATUS_TIMEOUT (NTSTATUS) - The given Timeout interval expired.",
                "8000000B\tE_BOUNDS - Past the end.",
                "8000000B\tSTATUS_NO_INHERITANCE (NTSTATUS)",
                "80040E14\tAGENTERR_X (Microsoft Agent)",
                "80040E14\tDB_E_ERRORSINCOMMAND (OLE DB)",
                "80070001\tERROR_INVALID_FUNCTION (Win32 1) - Incorrect function.",
                "80070002\tERROR_FILE_NOT_FOUND (Win32 2) - File not found. (also COR_E_FILENOTFOUND)",
                "80070005\tE_ACCESSDENIED - General access denied error. (also ERROR_ACCESS_DENIED (Win32 5))",
                "8007000E\tE_OUTOFMEMORY - Not enough storage is available. (also ERROR_OUTOFMEMORY (Win32 14))",
                "8007023E\tERROR_UNHANDLED_EXCEPTION (Win32 574) - {Application Error} The exception %s occurred.",
                "80070259\t(Win32 601) - The object found is out of scope.",
                "80070259\tERROR_INVALID_PORT_HANDLE (RAS 601) - The port handle is invalid.",
                "8007025A\tERROR_PORT_ALREADY_OPEN (RAS 602) - The port is already open.",
                "800702DE\tERROR_WAIT_63 (Win32 734)",
                "800708CA\tERROR_NOT_CONNECTED (Win32 2250) - This network connection does not exist. (also NERR_UseNotFound)",
                "80070BB8\t(Win32 3000) - A code that only the system knows.",
                "800732C9\tERROR_IPSEC_QM_POLICY_NOT_FOUND (Win32 13001)",
                "800732C9\tERROR_BIDI_STATUS_WARNING (Win32 13001, Printing)",
                "800F020B\tSPAPI_E_NO_SUCH_DEVINST - The device instance does not exist.",
                "8024402C\tWU_E_PT_WINHTTP_NAME_NOT_RESOLVED (Windows Update)",
                "887A0005\tDXGI_ERROR_DEVICE_REMOVED (DirectX Graphics)",
                "C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS) - The instruction at 0x%08lx referenced memory.",
                "C0000144\tSTATUS_UNHANDLED_EXCEPTION (NTSTATUS) - {Application Error} The exception %s occurred.",
                "E000020B\tERROR_NO_SUCH_DEVINST - The device instance does not exist.",
            }));
  ASSERT_EQ(m.tables.size(), 3u);
  EXPECT_EQ(m.tables[0].family, Family::Ras);
  EXPECT_EQ(m.tables[1].family, Family::NtStatus);
  EXPECT_EQ(m.tables[2].family, Family::Win32);
  EXPECT_EQ(m.tables[2].texts, 2u) << "the system's own text of Win32 1 stands";
  EXPECT_EQ(m.corrections, (std::vector<std::size_t>{2, 1, 1, 1, 1}));
}

// A line per family of a number, whatever header gives it; a name defined as another, and a
// documented name of the family, on that family's line; the toolchain's texts by name; texts of
// our own words last; a Win32 line for every 8007xxxx value; a doubtful name that nothing else
// knows dropped; inserts alone no text; a caption completed from the one status text it begins.
TEST(Merge, GivesEachFamilyOfANumberItsLineAndEachTextItsMeaning) {
  Sources s;
  const auto alias = [](std::string header, Code code, std::string name, std::string of) {
    return Named{code, std::move(name), std::move(header), true, std::move(of)};
  };
  for (auto header : {
           Defined("winerror.h", {{H(0x80040100u), "DRAGDROP_E_NOTREGISTERED"}, {W(716), "ERROR_SERVICE_NOTIFICATION"},
                                  {W(807), "ERROR_IMAGE_AT_DIFFERENT_BASE"}}),
           Defined("docobj.h", {{H(0x80040100u), "OLECMDERR_E_NOTSUPPORTED"}}),
           Defined("textstor.h", {{H(0x80040201u), "TS_E_NOLOCK"}}),
           Defined("msctf.h", {{H(0x80040201u), "TF_E_NOLOCK"}}),
           Defined("xaudio2.h", {{H(0x88960001u), "XAUDIO2_E_INVALID_CALL"}, {H(0x88960001u), "XAUDIO20_E_XMA_DECODER_ERROR"}}),
           Defined("ntstatus.h", {{N(0xC0000005u), "STATUS_ACCESS_VIOLATION"}}),
           Defined("p2p.h", {{H(0x80072CEDu), "PEER_E_X"}}),
           Defined("wbemcli.h", {{H(0x8004106Du), "WBEM_E_RESERVED_001"}}),
           Defined("ddraw.h", {{H(0x88760005u), "DDERR_X"}}),
       })
    s.headers.insert(s.headers.end(), header.begin(), header.end());
  s.headers.push_back(alias("docobj.h", H(0x80040100u), "MSOCMDERR_E_NOTSUPPORTED", "OLECMDERR_E_NOTSUPPORTED"));
  s.headers.push_back(alias("minwinbase.h", N(0xC0000005u), "EXCEPTION_ACCESS_VIOLATION", "STATUS_ACCESS_VIOLATION"));
  s.headers.push_back({W(9000), "DNS_ERROR_MASK", "winerror.h", false, "", true});
  s.reference = {{W(716), "ERROR_SERVICE_NOTIFICATION", "%hs"},
                 {W(807), "ERROR_IMAGE_AT_DIFFERENT_BASE", "{Image Relocated}"},
                 {N(0x40000003u), "STATUS_IMAGE_NOT_AT_BASE", "{Image Relocated}\r\nThe image was mapped elsewhere."},
                 {N(0xC0000005u), "STATUS_ACCESS_VIOLATION", "Bad memory."}};
  const std::string page = "https://learn.microsoft.com/x";
  s.documented = {{H(0x8004106Du), "WBEM_E_TRANSACTION_CONFLICT", "WMI", "Transactions collided.", page},
                  {H(0xC1900101u), "MOSETUP_E_X", "Windows Setup", "The upgrade was rolled back.", page},
                  {H(0x88960001u), "XAUDIO2_E_INVALID_CALL", "XAudio2", "Our words for XAudio2.", page},
                  {H(0x88760005u), "DDERR_X", "DirectDraw", "Our words, after the toolchain's.", page}};
  s.toolchain = {{H(0x88760005u), "DDERR_X", "The toolchain's text."}, {H(0x80040201u), "TS_E_OTHER", "Not its name."}};
  const Merged m = Merge(s);
  EXPECT_EQ(Lines(m.catalogues.win32, false),
            (std::vector<std::string>{
                "716\tERROR_SERVICE_NOTIFICATION (Win32)",
                "807\tERROR_IMAGE_AT_DIFFERENT_BASE - {Image Relocated} The image was mapped elsewhere.",
                "11501\tPEER_E_X (Peer-to-Peer)",
            }));
  EXPECT_EQ(Lines(m.catalogues.hex, true),
            (std::vector<std::string>{
                "40000003\tSTATUS_IMAGE_NOT_AT_BASE (NTSTATUS) - {Image Relocated} The image was mapped elsewhere.",
                "80040100\tDRAGDROP_E_NOTREGISTERED (COM interface)",
                "80040100\tOLECMDERR_E_NOTSUPPORTED (OLE Commands) (also MSOCMDERR_E_NOTSUPPORTED)",
                "80040201\tTS_E_NOLOCK (Text Services) (also TF_E_NOLOCK)",
                "8004106D\tWBEM_E_TRANSACTION_CONFLICT - Transactions collided. (also WBEM_E_RESERVED_001)",
                "800702CC\tERROR_SERVICE_NOTIFICATION (Win32 716)",
                "80070327\tERROR_IMAGE_AT_DIFFERENT_BASE (Win32 807) - {Image Relocated} The image was mapped elsewhere.",
                "80072CED\tPEER_E_X (Win32 11501, Peer-to-Peer)",
                "88760005\tDDERR_X - The toolchain's text.",
                "88960001\tXAUDIO2_E_INVALID_CALL (XAudio2) - Our words for XAudio2.",
                "88960001\tXAUDIO20_E_XMA_DECODER_ERROR (XAudio2)",
                "C0000005\tSTATUS_ACCESS_VIOLATION (NTSTATUS) - Bad memory. (also EXCEPTION_ACCESS_VIOLATION)",
                "C1900101\tMOSETUP_E_X - The upgrade was rolled back.",
            }));
  EXPECT_EQ(m.fromToolchain, 1u);
  EXPECT_EQ(m.fromDocumented, 3u);
}

TEST(Merge, InTheUsersLanguageTakesTheSystemsTextFirst) {
  Sources s = Example();
  s.systemFirst = true;
  const auto lines = Lines(Merge(s).catalogues.win32, false);
  EXPECT_EQ(lines[3], "5\tERROR_ACCESS_DENIED - Zugriff verweigert.");
  EXPECT_EQ(lines[10], "2250\tERROR_NOT_CONNECTED - Not connected. (also NERR_UseNotFound)");
}

TEST(Merge, AnHResultWithoutATextOfItsOwnSharesTheLineOfTheWin32CodeItWraps) {
  Sources s;
  s.headers = Defined("winerror.h", {{W(6), "ERROR_INVALID_HANDLE"}, {H(0x80070006u), "E_HANDLE"},
                                     {W(87), "ERROR_INVALID_PARAMETER"}, {H(0x80070057u), "E_INVALIDARG"}});
  s.reference = {{W(6), "ERROR_INVALID_HANDLE", "The handle is invalid."},
                 {W(87), "ERROR_INVALID_PARAMETER", "The parameter is incorrect."},
                 {H(0x80070057u), "E_INVALIDARG", "One or more arguments are invalid."}};
  EXPECT_EQ(Lines(Merge(s).catalogues.hex, true),
            (std::vector<std::string>{
                "80070006\tE_HANDLE - The handle is invalid. (also ERROR_INVALID_HANDLE (Win32 6))",
                "80070057\tE_INVALIDARG - One or more arguments are invalid. (also ERROR_INVALID_PARAMETER (Win32 87))",
            }));
}

TEST(Writer, PutsTheTextRightAfterOneNameAndOnOneLine) {
  EXPECT_EQ(OneLine("  Line one.\r\n\r\nLine two,\tthen  three.  \r\n"), "Line one. Line two, then  three.");
  EXPECT_EQ(OneLine("\r\n \t"), "");
  EXPECT_EQ(Line({0, "ERROR_SUCCESS", "Done.", {"NO_ERROR", "S_OK"}}, false), "0\tERROR_SUCCESS - Done. (also NO_ERROR, S_OK)");
  EXPECT_EQ(Line({0x8000FFFFu, "E_UNEXPECTED", "", {}}, true), "8000FFFF\tE_UNEXPECTED");
  EXPECT_EQ(Line({0x1Au, "", "Only a text.", {}}, true), "0000001A\tOnly a text.");
  EXPECT_EQ(Catalogue({{1, "A", "", {}}, {65535, "B", "b", {}}}, false), "1\tA\r\n65535\tB - b\r\n");
}

TEST(Reference, ReadsFamilyCodeNameAndTextWithTheirEscapes) {
  const Reference ref = ReadReference(
      "win32\t00000002\tERROR_FILE_NOT_FOUND\tThe system cannot find the file specified.\n"
      "hresult\t80004005\tE_FAIL\tUnspecified error.\\r\\n\n"
      "ntstatus\tC0000005\tSTATUS_ACCESS_VIOLATION\tUser %s\\\\%s\n"
      "win32\t00010000\tERROR_TOO_LARGE\tNo Win32 code.\n"
      "hresult\tnot-hex\tE_ODD\tx\n"
      "short\tline\n");
  ASSERT_EQ(ref.codes.size(), 3u);
  EXPECT_EQ(ref.codes[0].code, W(2));
  EXPECT_EQ(ref.codes[1].code, H(0x80004005u));
  EXPECT_EQ(ref.codes[1].text, "Unspecified error.\r\n");
  EXPECT_EQ(ref.codes[2].code, N(0xC0000005u));
  EXPECT_EQ(ref.codes[2].text, "User %s\\%s");
  EXPECT_EQ(ref.skipped, 3u);

  const Documented kept = ReadDocumented(
      "# a comment\n800F081F\tCBS_E_SOURCE_MISSING\tComponent servicing\tSource files not found.\thttps://learn.microsoft.com/x\n"
      "2102\tNERR_NetNotStarted\tNetwork Management\tNo workstation driver.\thttps://learn.microsoft.com/y\n"
      "80072EE2\tWININET_E_TIMEOUT\tWinINet\tTimed out.\thttps://learn.microsoft.com/z\n"
      "8000000B\tE_BOUNDS\tWindows Runtime\tPast the end.\t\n"                         // no page
      "800F08\tCBS_E_SHORT\tComponent servicing\tx.\thttps://learn.microsoft.com/x\n"  // no code
      "65536\tERROR_TOO_LARGE\tWin32\tNo Win32 code.\thttps://learn.microsoft.com/x\n"
      "0102\tERROR_LEADING_ZERO\tWin32\tWritten otherwise.\thttps://learn.microsoft.com/x\n"
      "5\tERROR ACCESS\tWin32\tA name with a blank.\thttps://learn.microsoft.com/x\n"
      "5\tERROR_ACCESS_DENIED\tWin32\tNo full stop\thttps://learn.microsoft.com/x\n"
      "5\tERROR_ACCESS_DENIED\tWin32\tAnother site.\thttps://example.com/x\n");
  ASSERT_EQ(kept.codes.size(), 3u);
  EXPECT_EQ(kept.codes[0].code, H(0x800F081Fu));
  EXPECT_EQ(kept.codes[0].family, "Component servicing");
  EXPECT_EQ(kept.codes[1].code, W(2102));
  EXPECT_EQ(kept.skipped, 7u);
}

}  // namespace
