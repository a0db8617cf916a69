#include "NumberArgument.h"

#include "TestFolder.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

TEST(NumberArgument, TakesOnlyAWholeNumberWithinItsRange)
{
    int value = 7;
    for (const char* accepted : {"1", "1000", "0500"})
        EXPECT_TRUE(toolargs::parseNumber(accepted, 1, 1000, value)) << accepted;
    EXPECT_EQ(value, 500);
    // 99999999999 wrapped through a 32-bit int is 1215752191; 2^64 + 5 wraps to 5 in 64 bits.
    for (const char* refused :
         {"0", "1001", "-1", "99999999999", "18446744073709551621", "", " 5", "5x", "5.0", "0x10"})
        EXPECT_FALSE(toolargs::parseNumber(refused, 1, 1000, value)) << refused;
    EXPECT_EQ(value, 500);
}

TEST(NumberArgument, TakesOnlyAFiniteRealWithinItsRange)
{
    double value = -1;
    EXPECT_TRUE(toolargs::parseNumber("0.25", 0.0, 3600.0, value));
    EXPECT_EQ(value, 0.25);
    for (const char* refused : {"-0.5", "3600.5", "nan", "inf", "1e400", "", "2s"})
        EXPECT_FALSE(toolargs::parseNumber(refused, 0.0, 3600.0, value)) << refused;
    EXPECT_EQ(value, 0.25);
}

TEST(NumberArgument, EtcBenchRefusesARepeatCountOutOfRangeBeforeItStarts)
{
    TestFolder folder;
    const ToolRun result =
        runTool("tools/etc-codec/etc-bench", {"--repeat", "99999999999", "absent.png"}, folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        result.standardError,
        "Error: --repeat needs a whole number from 1 to 1000, got '99999999999'; run 'etc-bench --help' for usage\n");
}
