#include "AssertCounter.h"

#include "CAssert.h"

namespace {

int g_failures = 0;
std::vector<std::string> g_lines;
AssertHandler g_previousHandler = nullptr;
DebugSink g_previousSink = nullptr;

void CountFailure(const char*, int) { ++g_failures; }

void CaptureLine(const char* line) { g_lines.emplace_back(line); }

}  // namespace

AssertCounter::AssertCounter() {
    Reset();
    g_previousHandler = SetAssertHandler(CountFailure);
    g_previousSink = SetDebugSink(CaptureLine);
}

AssertCounter::~AssertCounter() {
    SetAssertHandler(g_previousHandler);
    SetDebugSink(g_previousSink);
}

int AssertCounter::Count() const { return g_failures; }

const std::vector<std::string>& AssertCounter::DebugLines() const { return g_lines; }

bool AssertCounter::Logged(const std::string& text) const {
    for (const std::string& line : g_lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

void AssertCounter::Reset() {
    g_failures = 0;
    g_lines.clear();
}
