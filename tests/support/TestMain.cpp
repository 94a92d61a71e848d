#include <gtest/gtest.h>

#include "CAssert.h"

namespace {

// Outside an AssertCounter a failed engine check fails the running test:
// tests that expect one say so by counting it.
void FailOnAssert(const char* file, int line) {
    ADD_FAILURE() << "engine check failed at " << file << ":" << line;
}

class EngineTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { SetAssertHandler(FailOnAssert); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new EngineTestEnvironment);

}  // namespace
