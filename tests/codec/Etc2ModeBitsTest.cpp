#include "Etc2ModeBits.h"
#include "BlockExpectations.h"

using codectest::blockWord;
using etc::Etc2Mode;

namespace {

// Bytes 0-2 hold R dR, G dG, B dB (5 + 3 bits each); byte 3 bit 1 is the D (or opaque) bit.
std::uint64_t modeWord(int r, int dr, int g, int dg, int b, int db, bool d)
{
    return blockWord({static_cast<std::uint8_t>(r << 3 | (dr & 7)), static_cast<std::uint8_t>(g << 3 | (dg & 7)),
                      static_cast<std::uint8_t>(b << 3 | (db & 7)), static_cast<std::uint8_t>(d ? 2 : 0), 0, 0, 0, 0});
}

TEST(Etc2ModeBits, OverflowingSumsSelectTheModes)
{
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(10, 3, 10, -4, 10, 0, true), false), Etc2Mode::Differential);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(31, 1, 10, 0, 10, 0, true), false), Etc2Mode::T);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(2, -3, 10, 0, 10, 0, true), false), Etc2Mode::T);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(10, 0, 0, -1, 10, 0, true), false), Etc2Mode::H);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(10, 0, 10, 0, 30, 2, true), false), Etc2Mode::Planar);
    // The red sum is looked at first, then green.
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(31, 1, 0, -1, 31, 1, true), false), Etc2Mode::T);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(0, 0, 0, -1, 31, 1, true), false), Etc2Mode::H);
    // Sums at the ends of the range stay differential.
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(28, 3, 4, -4, 0, 0, true), false), Etc2Mode::Differential);
}

TEST(Etc2ModeBits, ClearDBitIsIndividualExceptForPunchthrough)
{
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(31, 1, 10, 0, 10, 0, false), false), Etc2Mode::Individual);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(10, 0, 10, 0, 10, 0, false), true), Etc2Mode::Differential);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(31, 1, 10, 0, 10, 0, false), true), Etc2Mode::T);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(10, 0, 0, -1, 10, 0, false), true), Etc2Mode::H);
    EXPECT_EQ(etc::detectEtc2Mode(modeWord(10, 0, 10, 0, 30, 2, false), true), Etc2Mode::Planar);
}

TEST(Etc2ModeBits, ForcingSetsOnlyTheFreeBits)
{
    // Red 0 + 0 does not overflow; bits 63-61 and 58 are free in T mode.
    const std::uint64_t free = (std::uint64_t{7} << 61) | (std::uint64_t{1} << 58);
    for (int low = 0; low < 4; ++low) {
        for (int lowDelta = 0; lowDelta < 4; ++lowDelta) {
            const std::uint64_t word = modeWord(low, lowDelta, 10, 0, 10, 0, true);
            const std::uint64_t forced = etc::forceEtc2Mode(word, free, Etc2Mode::T);
            EXPECT_EQ(etc::detectEtc2Mode(forced, false), Etc2Mode::T) << low << " " << lowDelta;
            EXPECT_EQ(forced & ~free, word & ~free);
        }
    }
}

} // namespace
