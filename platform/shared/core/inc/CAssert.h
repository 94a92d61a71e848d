#ifndef CASSERT_H
#define CASSERT_H

#include <cstdarg>
#include <cstdint>

// The engine's check statement. A failed check is reported through the debug
// print as "ASSERT FAILED - File: %s, Line: %i" and execution goes on, as it
// did on the handset once the debugger resumed. Checks guard internal
// consistency; bad data never relies on them to stop.
// The condition is tested in place, so that a check that holds costs no call.
#define ASSERT(condition) (static_cast<bool>(condition) ? static_cast<void>(0) : Assert(false, __FILE__, __LINE__))

void Assert(bool condition, const char* file, int line);
void AssertCheck(bool condition, const char* file, int line);

// Called for every failed check after it has been reported. The default
// handler does nothing, unless MCHVX_ASSERT_TRAP is set in the environment,
// which raises SIGTRAP for a debugger. Tests install one that counts.
typedef void (*AssertHandler)(const char* file, int line);
AssertHandler SetAssertHandler(AssertHandler handler);

// Formats at most 255 characters into a 256-byte buffer and hands the line
// to the debug sink.
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugVPrintf(const char* format, va_list args);

// Receives every debug line. The default sink writes to standard error when
// MCHVX_DEBUG_LOG is on and drops the text otherwise; tests capture it.
typedef void (*DebugSink)(const char* line);
DebugSink SetDebugSink(DebugSink sink);
// Whether a value of MCHVX_DEBUG_LOG (null where it is not set) turns the
// log on: anything but empty or 0.
bool DebugLogAskedBy(const char* value);

// Lines of up to 8 bytes: label, offset, hex fields and printable characters.
void DebugHexDump(const char* label, const uint8_t* bytes, uint32_t count);

#endif
