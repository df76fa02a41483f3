#pragma once
// Tests that run only in a child process: a parent test (or a person, for a seed file) starts the test
// program with an environment variable set and --gtest_filter naming the child. The child is registered
// only when that variable is set, so the test lists, and CTest's with them, never hold it.
#include <cstdlib>

#include <gtest/gtest.h>

namespace ChildTest {

// Registers `Child` (a test whose TestBody does the child's work) as suite.name with the fixture
// `Fixture` when the environment variable is set; answers whether it did. Called from a namespace-scope
// initialiser, as TEST registers its tests.
template <class Child, class Fixture = Child>
bool registerWhenSet(const char* variable, const char* suite, const char* name)
{
    if (std::getenv(variable) == nullptr) {
        return false;
    }
    ::testing::RegisterTest(suite, name, nullptr, nullptr, __FILE__, __LINE__,
                            []() -> Fixture* { return new Child(); });
    return true;
}

} // namespace ChildTest
