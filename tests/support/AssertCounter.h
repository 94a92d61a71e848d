#ifndef ASSERTCOUNTER_H
#define ASSERTCOUNTER_H

#include <string>
#include <vector>

// While alive, counts failed engine checks instead of letting them pass
// silently, and captures every debug line.
class AssertCounter {
public:
    AssertCounter();
    ~AssertCounter();

    AssertCounter(const AssertCounter&) = delete;
    AssertCounter& operator=(const AssertCounter&) = delete;

    int Count() const;
    const std::vector<std::string>& DebugLines() const;
    // True when some captured debug line contains the text.
    bool Logged(const std::string& text) const;
    void Reset();
};

#endif
