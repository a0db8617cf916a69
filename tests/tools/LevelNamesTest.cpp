#include "LevelNames.h"

#include <gtest/gtest.h>

TEST(LevelNames, LevelNumbersAreDecimalWithoutLeadingZeros)
{
    EXPECT_EQ(texops::levelFileName("carpet_mip_%d.pkm", 0), "carpet_mip_0.pkm");
    EXPECT_EQ(texops::levelFileName("carpet_mip_%d.pkm", 9), "carpet_mip_9.pkm");
    EXPECT_EQ(texops::levelFileName("carpet_mip_%d.pkm", 10), "carpet_mip_10.pkm");
    EXPECT_EQ(texops::levelFileName("a/%d_alpha.pkm", 3), "a/3_alpha.pkm");
}

TEST(LevelNames, APatternMustHoldThePlaceholderExactlyOnce)
{
    EXPECT_TRUE(texops::isLevelPattern("mip_%d.pkm"));
    EXPECT_FALSE(texops::isLevelPattern("mip.pkm"));
    EXPECT_FALSE(texops::isLevelPattern("mip_%d_%d.pkm"));
    EXPECT_FALSE(texops::isLevelPattern("mip_%i.pkm"));
}
