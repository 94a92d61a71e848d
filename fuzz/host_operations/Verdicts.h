#ifndef VERDICTS_H
#define VERDICTS_H

#include <set>
#include <string>
#include <vector>

#include "FuzzerCalls.h"
#include "NotDrivenList.h"
#include "PublicOperations.h"

// Each public operation judged against what the fuzz target calls and what
// its not-driven list names, and each entry of the list against the
// operations. A virtual's override is driven when the target calls it or
// any declaration it overrides (a call through a base may run it); a
// base's declaration only by a call through it.
class Verdicts {
public:
    Verdicts(const PublicOperations& operations, const FuzzerCalls& calls, const NotDrivenList& list);

    // Each failure in words, the operation or entry named first.
    const std::vector<std::string>& Failures() const { return m_failures; }
    // Operations neither driven nor listed, and those driven, by name in
    // order.
    const std::vector<std::string>& Undriven() const { return m_undriven; }
    const std::vector<std::string>& Driven() const { return m_driven; }
    size_t OperationCount() const { return m_public.size(); }

private:
    void Judge(const PublicOperations::Operation& operation, bool driven);
    void JudgeEntries();

    const NotDrivenList& m_list;
    std::set<std::string> m_public;
    std::vector<std::string> m_failures;
    std::vector<std::string> m_undriven;
    std::vector<std::string> m_driven;
};

#endif
