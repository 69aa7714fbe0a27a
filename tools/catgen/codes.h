// The records that flow through the catalogue generator, from its readers to its merge and writer.
// Texts are UTF-8 here; only the writer's caller turns them into the ANSI code page.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <vector>

namespace catgen {

// What a number means depends on who gives it: raserror.h's 601 is not winerror.h's 601, and an
// NTSTATUS may have the value of an unrelated HRESULT. Each family's codes are lines of their own.
enum class Family { Win32, Ras, HResult, NtStatus };

struct Code {
  Family family = Family::Win32;
  std::uint32_t value = 0;
  auto operator<=>(const Code&) const = default;
};

// A name that a header defines for a code.
struct Named {
  Code code;
  std::string name;
  std::string header;  // the file that defines it
  // Defined as another code of the same value (COR_E_FILENOTFOUND as HRESULT_FROM_WIN32 of
  // ERROR_FILE_NOT_FOUND), or an error name for a success (SEC_E_OK): a subsystem's alias.
  bool alias = false;
  // The code name it is defined as (EXCEPTION_ACCESS_VIOLATION as STATUS_ACCESS_VIOLATION); its
  // line is that name's. Empty where it names no other code.
  std::string aliasOf;
  // A plain Win32 number that may be a marker as well as a code: it starts a run of codes after a
  // gap, or another name of its header has its value (DNS_ERROR_ZONE_BASE, DNS_ERROR_MASK). The
  // merge keeps it where another source knows the code.
  bool doubtful = false;
};

// A code as the reference tables describe it.
struct Described {
  Code code;
  std::string name;
  std::string text;
};

// One message of a module's message table, by its exact 32-bit id.
struct Message {
  std::uint32_t id = 0;
  std::string text;
};

struct MessageTable {
  std::string module;
  std::vector<Message> messages;
};

}  // namespace catgen
