#include "Verdicts.h"

#include <algorithm>

namespace {

bool IsDriven(const std::string& usr, const PublicOperations::Operation& operation, const FuzzerCalls& calls) {
    if (calls.Calls(usr)) return true;
    for (const std::string& overridden : operation.overridden) {
        if (calls.Calls(overridden)) return true;
    }
    return false;
}

}  // namespace

Verdicts::Verdicts(const PublicOperations& operations, const FuzzerCalls& calls, const NotDrivenList& list)
    : m_list(list) {
    for (const std::string& fault : list.Faults()) m_failures.push_back("the list: " + fault);
    for (const auto& [usr, operation] : operations.All()) Judge(operation, IsDriven(usr, operation, calls));
    JudgeEntries();
    // In the list's order, to be pasted into it.
    std::sort(m_undriven.begin(), m_undriven.end());
    std::sort(m_driven.begin(), m_driven.end());
}

void Verdicts::Judge(const PublicOperations::Operation& operation, bool driven) {
    m_public.insert(operation.name);
    const bool listed = m_list.Entries().count(operation.name) != 0;
    if (driven) m_driven.push_back(operation.name);
    if (driven && listed) m_failures.push_back(operation.name + " is driven but listed as not driven");
    if (!driven && !listed) {
        m_undriven.push_back(operation.name);
        m_failures.push_back(operation.name + " (" + operation.file + ") is neither driven nor listed");
    }
}

void Verdicts::JudgeEntries() {
    for (const auto& [name, reason] : m_list.Entries()) {
        if (m_public.count(name) == 0) m_failures.push_back(name + " is listed but is no public operation");
    }
}
