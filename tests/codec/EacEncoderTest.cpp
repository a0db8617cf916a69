#include "EacEncoder.h"
#include "EacBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

using etc::EacVariant;

const etc::EacEffort& effortFor(EacVariant variant)
{
    const etc::SearchSettings& settings = etc::searchSettings(etc::Effort::Default);
    return variant == EacVariant::Alpha8 ? settings.alphaEac : settings.elevenBitEac;
}

// The decoded block as bytes, against the source bytes.
int byteError(std::uint64_t word, EacVariant variant, const int (&bytes)[etc::kBlockTexels])
{
    int values[etc::kBlockTexels];
    etc::decodeEac(word, variant, values);
    int error = 0;
    for (int i = 0; i < etc::kBlockTexels; ++i) {
        const int d = etc::byteFromEacValue(variant, values[i]) - bytes[i];
        error += d * d;
    }
    return error;
}

TEST(EacEncoder, FlatBlocksAreExact)
{
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11, EacVariant::Alpha8}) {
        for (int value : {0, 1, 100, 127, 128, 129, 254, 255}) {
            int bytes[etc::kBlockTexels];
            std::fill(std::begin(bytes), std::end(bytes), value);
            EXPECT_EQ(byteError(etc::encodeEacBlock(bytes, variant, effortFor(variant)), variant, bytes), 0)
                << static_cast<int>(variant) << " " << value;
        }
    }
}

TEST(EacEncoder, FindsABlockThatFitsExactly)
{
    // Table 0 at multiplier 3 around 100: eight levels, each used twice.
    const int levels[8] = {91, 82, 73, 55, 106, 115, 124, 142};
    int bytes[etc::kBlockTexels];
    for (int i = 0; i < etc::kBlockTexels; ++i) {
        bytes[i] = levels[(i * 5) % 8];
    }
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Alpha8}) {
        EXPECT_EQ(byteError(etc::encodeEacBlock(bytes, variant, effortFor(variant)), variant, bytes), 0);
    }
}

TEST(EacEncoder, SignedBlocksNeverStoreMinus128)
{
    std::mt19937 random(1);
    for (int trial = 0; trial < 300; ++trial) {
        int bytes[etc::kBlockTexels];
        const int low = static_cast<int>(random() % 8);
        for (int& b : bytes) {
            b = low + static_cast<int>(random() % 12);
        }
        const std::uint64_t word = etc::encodeEacBlock(bytes, EacVariant::Signed11, effortFor(EacVariant::Signed11));
        EXPECT_NE(word >> 56, 0x80u);
    }
}

TEST(EacEncoder, BeatsEveryTableAtItsSpanningMultiplier)
{
    // A simple reference search: each table with the multiplier that spans the block and
    // every base. The encoder's wider search must do at least as well.
    std::mt19937 random(6);
    for (int trial = 0; trial < 100; ++trial) {
        int bytes[etc::kBlockTexels];
        const int centre = 30 + static_cast<int>(random() % 190);
        for (int& b : bytes) {
            b = std::clamp(centre + static_cast<int>(random() % 41) - 20, 0, 255);
        }
        const int low = *std::min_element(std::begin(bytes), std::end(bytes));
        const int high = *std::max_element(std::begin(bytes), std::end(bytes));
        int reference = INT_MAX;
        for (int table = 0; table < 16; ++table) {
            const int span = etc::kEacModifiers[table][7] - etc::kEacModifiers[table][3];
            const int m = std::clamp((high - low + span / 2) / span, 1, 15);
            for (int base = 0; base < 256; ++base) {
                int error = 0;
                for (int i = 0; i < etc::kBlockTexels; ++i) {
                    int nearest = INT_MAX;
                    for (int modifier : etc::kEacModifiers[table]) {
                        const int v = etc::byteFromEacValue(EacVariant::Unsigned11,
                                                            etc::eacValue(EacVariant::Unsigned11, base, m, modifier));
                        nearest = std::min(nearest, (v - bytes[i]) * (v - bytes[i]));
                    }
                    error += nearest;
                }
                reference = std::min(reference, error);
            }
        }
        EXPECT_LE(byteError(etc::encodeEacBlock(bytes, EacVariant::Unsigned11, effortFor(EacVariant::Unsigned11)),
                            EacVariant::Unsigned11, bytes),
                  reference)
            << trial;
    }
}

} // namespace
