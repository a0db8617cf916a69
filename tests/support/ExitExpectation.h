#ifndef TEST_EXIT_EXPECTATION_H
#define TEST_EXIT_EXPECTATION_H

#include <gtest/gtest.h>

#include <string>

// Expects `statement` to end the process with `status` after writing exactly `text` to
// standard error. The child re-executes the test binary instead of being forked: GL drivers
// run worker threads that a fork does not carry over.
#define EXPECT_EXIT_WITH_STDERR(statement, status, text)                                                               \
    do {                                                                                                               \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                                                \
        EXPECT_EXIT(statement, ::testing::ExitedWithCode(status), ::testing::Eq(std::string(text)));                   \
    } while (0)

// The same, for a standard error text that varies (a source line): `pattern` is a POSIX
// extended regular expression matched against the whole text.
#define EXPECT_EXIT_WITH_STDERR_MATCHING(statement, status, pattern)                                                   \
    do {                                                                                                               \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                                                \
        EXPECT_EXIT(statement, ::testing::ExitedWithCode(status), "^" + std::string(pattern) + "$");                   \
    } while (0)

#endif
