#include "NotDrivenList.h"

#include <sstream>

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

}  // namespace

NotDrivenList::NotDrivenList(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string content = Trimmed(line);
        if (!content.empty() && content[0] != '#') ReadLine(content);
    }
}

void NotDrivenList::ReadLine(const std::string& line) {
    const size_t colon = line.find(": ");
    const std::string name = Trimmed(line.substr(0, colon));
    const std::string reason = colon == std::string::npos ? std::string() : Trimmed(line.substr(colon + 2));
    if (name.empty() || reason.empty()) {
        m_faults.push_back("no name or no reason: " + line);
    } else if (!m_entries.emplace(name, reason).second) {
        m_faults.push_back("named twice: " + name);
    }
}
