#include "NotDrivenList.h"

#include <sstream>

namespace {

constexpr const char* kEntry = "// - ";
constexpr const char* kContinued = "//   ";

bool StartsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

NotDrivenList::NotDrivenList(const std::string& source) {
    std::istringstream lines(source);
    std::string line;
    std::string entry;
    while (!m_found && std::getline(lines, line)) m_found = Trimmed(line) == kOpening;
    while (std::getline(lines, line)) {
        if (StartsWith(line, kEntry)) {
            if (!entry.empty()) ReadEntry(entry);
            entry = line.substr(std::string(kEntry).size());
        } else if (StartsWith(line, kContinued) && !entry.empty()) {
            entry += " " + Trimmed(line.substr(2));
        } else {
            break;
        }
    }
    if (!entry.empty()) ReadEntry(entry);
}

void NotDrivenList::ReadEntry(const std::string& body) {
    // The names end at the first ": " (a name's own "::" has no space after).
    const size_t colon = body.find(": ");
    const std::string reason = colon == std::string::npos ? std::string() : Trimmed(body.substr(colon + 2));
    if (reason.empty()) {
        m_faults.push_back("no reason given: " + body);
        return;
    }
    std::istringstream names(body.substr(0, colon));
    std::string name;
    while (std::getline(names, name, ',')) {
        name = Trimmed(name);
        if (name.empty() || m_entries.count(name) != 0) {
            m_faults.push_back("an empty or repeated name: '" + name + "'");
            continue;
        }
        m_entries[name] = reason;
    }
}
