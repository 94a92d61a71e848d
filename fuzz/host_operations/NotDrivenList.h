#ifndef NOTDRIVENLIST_H
#define NOTDRIVENLIST_H

#include <map>
#include <string>
#include <vector>

// The list of the public operations a fuzz target does not drive, each with
// why: one a line,
//   Class::Operation(parameter types): the reason
// named as OperationName names it, up to the first ": " (a name's own "::"
// is never followed by a space). Blank lines and lines starting with '#'
// are skipped.
class NotDrivenList {
public:
    explicit NotDrivenList(const std::string& text);

    // Operation name to reason.
    const std::map<std::string, std::string>& Entries() const { return m_entries; }
    // Lines that could not be read (no reason, no name, a name twice).
    const std::vector<std::string>& Faults() const { return m_faults; }

private:
    void ReadLine(const std::string& line);

    std::map<std::string, std::string> m_entries;
    std::vector<std::string> m_faults;
};

#endif
