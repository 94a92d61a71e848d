#include "CAssert.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kDebugBufferSize = 256;

void DefaultAssertHandler(const char*, int) {
    if (std::getenv("MCHVX_ASSERT_TRAP") != nullptr) std::raise(SIGTRAP);
}

void DefaultDebugSink(const char* line) {
    static const bool enabled = std::getenv("MCHVX_DEBUG_LOG") != nullptr;
    if (enabled) std::fprintf(stderr, "%s\n", line);
}

AssertHandler g_assertHandler = DefaultAssertHandler;
DebugSink g_debugSink = DefaultDebugSink;

}  // namespace

void Assert(bool condition, const char* file, int line) { AssertCheck(condition, file, line); }

void AssertCheck(bool condition, const char* file, int line) {
    if (condition) return;
    DebugPrintf("ASSERT FAILED - File: %s, Line: %i", file, line);
    g_assertHandler(file, line);
}

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
