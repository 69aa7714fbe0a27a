// Reading the codes out of a winerror.h: the forms of definition it uses, and what is no code.
#include "winerror_parse.h"

#include <gtest/gtest.h>

namespace {

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
#endif
)";

TEST(WinErrorHeader, Win32CodesWithEveryNameOfEach) {
  const auto codes = catgen::ParseWinError(kHeader);
  EXPECT_EQ(codes.win32.at(0), (Names{"ERROR_SUCCESS", "NO_ERROR"}));
  EXPECT_EQ(codes.win32.at(2), (Names{"ERROR_FILE_NOT_FOUND", "DNS_ERROR_INVALID_NAME"}));
  EXPECT_EQ(codes.win32.at(5), Names{"ERROR_ACCESS_DENIED"});
  EXPECT_EQ(codes.win32.at(1450), Names{"ERROR_PLAIN"});
  EXPECT_EQ(codes.win32.at(10004), Names{"WSAEINTR"});
  EXPECT_EQ(codes.win32.at(9001), Names{"DNS_ERROR_RCODE_FORMAT_ERROR"});
  EXPECT_EQ(codes.win32.at(14), (Names{"DNS_ERROR_NO_MEMORY", "ERROR_OUTOFMEMORY"})) << "a name defined further down";
  // Facilities, severities, bases, masks and range bounds are no codes; nor is what cannot be one.
  for (std::uint32_t no : {1u, 7u, 9000u, 10000u, 70000u}) EXPECT_EQ(codes.win32.count(no), 0u) << no;
}

TEST(WinErrorHeader, HResultsApartFromWin32Codes) {
  const auto codes = catgen::ParseWinError(kHeader);
  EXPECT_EQ(codes.ole.at(0x8000FFFFu), Names{"E_UNEXPECTED"});
  EXPECT_EQ(codes.ole.at(0x80004001u), (Names{"E_NOTIMPL", "SEC_E_NOT_SUPPORTED"}));
  EXPECT_EQ(codes.ole.at(0x80070005u), Names{"E_ACCESSDENIED"});
  EXPECT_EQ(codes.ole.at(0u), Names{"S_OK"});
  EXPECT_EQ(codes.ole.at(1u), Names{"S_FALSE"});
  EXPECT_EQ(codes.ole.count(0x8004D000u), 0u);
  EXPECT_EQ(codes.ole.size(), 5u);
}

}  // namespace
