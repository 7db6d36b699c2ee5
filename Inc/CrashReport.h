#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Exception codes of the report's description table. Faults of this platform
// are mapped onto them when they happen.
inline constexpr uint32_t kExceptionBreakpoint = 0x80000003;
inline constexpr uint32_t kExceptionSingleStep = 0x80000004;
inline constexpr uint32_t kExceptionAccessViolation = 0xC0000005;
inline constexpr uint32_t kExceptionIllegalInstruction = 0xC000001D;
inline constexpr uint32_t kExceptionFloatDivideByZero = 0xC000008E;
inline constexpr uint32_t kExceptionFloatInexactResult = 0xC000008F;
inline constexpr uint32_t kExceptionFloatInvalidOperation = 0xC0000090;
inline constexpr uint32_t kExceptionFloatOverflow = 0xC0000091;
inline constexpr uint32_t kExceptionFloatUnderflow = 0xC0000093;
inline constexpr uint32_t kExceptionIntDivideByZero = 0xC0000094;
inline constexpr uint32_t kExceptionIntOverflow = 0xC0000095;
inline constexpr uint32_t kExceptionPrivilegedInstruction = 0xC0000096;
inline constexpr uint32_t kExceptionStackOverflow = 0xC00000FD;
// A fault that has no code of its own (an abort, for one).
inline constexpr uint32_t kExceptionUnmapped = 0xFFFFFFFF;

struct LocalDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// What the report tells, captured when the fault happened.
struct CrashFacts {
  uint32_t exceptionCode = 0;
  uint32_t sourcePosition = 0;  // module index << 24 | line
  LocalDateTime generatedAt;
  int systemError = 0;  // errno of the faulting thread
};

// The rest of this header is async-signal-safe: fixed tables, no allocation,
// no locale.

// The description of an exception code, "UNKNOWN Error" for codes not in the table.
const char* DescribeException(uint32_t code);

// "Main Module", or the source path of module 1 to 3 as recorded at build time.
const char* ModuleName(uint32_t moduleIndex);

// The system's text for an errno value; empty for 0, for a value the system
// has no text for, and for a text of 255 characters or more.
const char* SystemErrorText(int error);

// The ten report lines, each ended by CR LF, written into buffer; returns
// the byte count (cut short at capacity).
std::size_t FormatCrashReport(const CrashFacts& facts, char* buffer, std::size_t capacity);

// The text of the message box that tells the user about the crash: where the
// report was written (`reportDirectory`, ending with '/'), or, when it is
// empty, that none could be written.
std::string CrashNoticeText(const std::string& reportDirectory, const std::string& programDirectory);
