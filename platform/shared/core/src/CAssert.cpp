#include "CAssert.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CRuntime.h"
#include "StrFormat.h"

namespace {

constexpr int kDebugBufferSize = 256;

constexpr uint32_t kHexDumpBytesPerLine = 8;
// Labels are cut to 9 characters.
constexpr uint32_t kHexDumpLabelCopy = 10;
constexpr uint32_t kHexDumpLabelBufferSize = 11;
// Label, an offset of up to 8 digits, 8 fields, the gap and 8 characters.
constexpr int kHexDumpLineSize = 64;

void DefaultAssertHandler(const char*, int) {
    if (std::getenv("MCHVX_ASSERT_TRAP") != nullptr) std::raise(SIGTRAP);
}

void DefaultDebugSink(const char* line) {
    static const bool enabled = DebugLogAskedBy(std::getenv("MCHVX_DEBUG_LOG"));
    if (enabled) std::fprintf(stderr, "%s\n", line);
}

AssertHandler g_assertHandler = DefaultAssertHandler;
DebugSink g_debugSink = DefaultDebugSink;

// One line of the dump: "label: offset: " hex fields, padding for missing
// fields, a two-space gap, then the printable bytes with "." for the others.
void HexDumpLine(const char* label, const uint8_t* bytes, uint32_t offset, uint32_t count) {
    char line[kHexDumpLineSize];
    char piece[4];
    StrPrintf(line, "%s: %04x: ", label, offset);
    for (uint32_t i = 0; i < count; ++i) {
        StrPrintf(piece, "%02x ", bytes[i]);
        StrCat(line, piece);
    }
    for (uint32_t i = count; i < kHexDumpBytesPerLine; ++i) StrCat(line, "   ");
    StrCat(line, "  ");
    for (uint32_t i = 0; i < count; ++i) {
        const bool printable = bytes[i] >= 32 && bytes[i] <= 126;
        piece[0] = printable ? static_cast<char>(bytes[i]) : '.';
        piece[1] = 0;
        StrCat(line, piece);
    }
    // The line holds data bytes, "%" among them: never a format.
    DebugPrintf("%s", line);
}

}  // namespace

void Assert(bool condition, const char* file, int line) { AssertCheck(condition, file, line); }

void AssertCheck(bool condition, const char* file, int line) {
    if (condition) return;
    DebugPrintf("ASSERT FAILED - File: %s, Line: %i", file, line);
    g_assertHandler(file, line);
}

bool DebugLogAskedBy(const char* value) { return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0; }

AssertHandler SetAssertHandler(AssertHandler handler) {
    AssertHandler previous = g_assertHandler;
    g_assertHandler = handler != nullptr ? handler : DefaultAssertHandler;
    return previous;
}

void DebugPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    DebugVPrintf(format, args);
    va_end(args);
}

void DebugVPrintf(const char* format, va_list args) {
    char buffer[kDebugBufferSize];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    g_debugSink(buffer);
}

DebugSink SetDebugSink(DebugSink sink) {
    DebugSink previous = g_debugSink;
    g_debugSink = sink != nullptr ? sink : DefaultDebugSink;
    return previous;
}

void DebugHexDump(const char* label, const uint8_t* bytes, uint32_t count) {
    char shortLabel[kHexDumpLabelBufferSize] = {};
    SafeStrCopy(shortLabel, label != nullptr ? label : "", kHexDumpLabelCopy);
    for (uint32_t offset = 0; offset < count;) {
        const uint32_t lineCount = count - offset < kHexDumpBytesPerLine ? count - offset : kHexDumpBytesPerLine;
        HexDumpLine(shortLabel, bytes + offset, offset, lineCount);
        offset += lineCount;
    }
}
