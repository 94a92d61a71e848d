#ifndef NOTDRIVENLIST_H
#define NOTDRIVENLIST_H

#include <map>
#include <string>
#include <vector>

// The table in a fuzz target's source of the operations it does not drive,
// each with why: a comment block opened by the line
//   // Not driven, and why:
// then one entry a line,
//   // - Class::Operation[, Class::Other...]: the reason
// an entry going on over lines indented past the dash, its names up to the
// first ": ". The block ends at the first line that is neither.
class NotDrivenList {
public:
    static constexpr const char* kOpening = "// Not driven, and why:";

    explicit NotDrivenList(const std::string& source);

    // Operation name to reason.
    const std::map<std::string, std::string>& Entries() const { return m_entries; }
    // Entries that could not be read (no reason, no name, a name twice).
    const std::vector<std::string>& Faults() const { return m_faults; }
    bool Found() const { return m_found; }

private:
    void ReadEntry(const std::string& body);

    std::map<std::string, std::string> m_entries;
    std::vector<std::string> m_faults;
    bool m_found = false;
};

#endif
