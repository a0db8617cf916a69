#include "EacEncoder.h"
#include "EacBlock.h"
#include "EacFastEncoder.h"
#include "EacLevelError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

namespace {

using etc::EacVariant;

const etc::EacEffort& effortFor(EacVariant variant)
{
    const etc::SearchSettings& settings = etc::searchSettings(etc::Effort::Default);
    return variant == EacVariant::Alpha8 ? settings.alphaEac : settings.elevenBitEac;
}

// Bytes on the encoder's 16-bit scale.
void samplesOfBytes(const int (&bytes)[etc::texelsPerBlock], int (&samples)[etc::texelsPerBlock])
{
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        samples[i] = bytes[i] * 257;
    }
}

std::uint64_t encodeBytes(const int (&bytes)[etc::texelsPerBlock], EacVariant variant)
{
    int samples[etc::texelsPerBlock];
    samplesOfBytes(bytes, samples);
    return etc::encodeEacBlock(samples, variant, effortFor(variant));
}

// The decoded block as bytes, against the source bytes.
int byteError(std::uint64_t word, EacVariant variant, const int (&bytes)[etc::texelsPerBlock])
{
    int values[etc::texelsPerBlock];
    etc::decodeEac(word, variant, values);
    int error = 0;
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        const int d = etc::byteFromEacValue(variant, values[i]) - bytes[i];
        error += d * d;
    }
    return error;
}

TEST(EacEncoder, FlatBlocksAreExact)
{
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11, EacVariant::Alpha8}) {
        for (int value : {0, 1, 100, 127, 128, 129, 254, 255}) {
            int bytes[etc::texelsPerBlock];
            std::fill(std::begin(bytes), std::end(bytes), value);
            EXPECT_EQ(byteError(encodeBytes(bytes, variant), variant, bytes), 0)
                << static_cast<int>(variant) << " " << value;
        }
    }
}

TEST(EacEncoder, FindsABlockThatFitsExactly)
{
    // Table 0 at multiplier 3 around 100: eight levels, each used twice.
    const int levels[8] = {91, 82, 73, 55, 106, 115, 124, 142};
    int bytes[etc::texelsPerBlock];
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        bytes[i] = levels[(i * 5) % 8];
    }
    EXPECT_EQ(byteError(encodeBytes(bytes, EacVariant::Alpha8), EacVariant::Alpha8, bytes), 0);
}

TEST(EacEncoder, SignedBlocksNeverStoreMinus128)
{
    std::mt19937 random(1);
    for (int trial = 0; trial < 300; ++trial) {
        int bytes[etc::texelsPerBlock];
        const int low = static_cast<int>(random() % 8);
        for (int& b : bytes) {
            b = low + static_cast<int>(random() % 12);
        }
        const std::uint64_t word = encodeBytes(bytes, EacVariant::Signed11);
        EXPECT_NE(word >> 56, 0x80u);
    }
}

// What an 11-bit channel should reconstruct for a 16-bit-scale sample, worked out in doubles.
double exactTarget(EacVariant variant, int sample)
{
    const double unit = sample / 65535.0;
    return variant == EacVariant::Signed11 ? (2.0 * unit - 1.0) * 1023.0 : unit * 2047.0;
}

// Squared 11-bit error of the levels a candidate reconstructs, each texel at its nearest.
double elevenBitError(EacVariant variant, int base, int multiplier, int table,
                      const int (&samples)[etc::texelsPerBlock])
{
    double error = 0;
    for (int sample : samples) {
        double nearest = INFINITY;
        for (int modifier : etc::eacModifiers[table]) {
            const double d = etc::eacValue(variant, base, multiplier, modifier) - exactTarget(variant, sample);
            nearest = std::min(nearest, d * d);
        }
        error += nearest;
    }
    return error;
}

double decodedElevenBitError(std::uint64_t word, EacVariant variant, const int (&samples)[etc::texelsPerBlock])
{
    int values[etc::texelsPerBlock];
    etc::decodeEac(word, variant, values);
    double error = 0;
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        const double d = values[i] - exactTarget(variant, samples[i]);
        error += d * d;
    }
    return error;
}

TEST(EacEncoder, ElevenBitBlocksThatFitExactlyComeBackExactly)
{
    // Table 0 at multiplier 3 around base 100 (signed: -20): eight 11-bit levels, each used
    // twice, given as the 16-bit samples nearest them. Any other value is a whole step off.
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11}) {
        const int base = variant == EacVariant::Signed11 ? -20 : 100;
        int samples[etc::texelsPerBlock];
        int levels[etc::texelsPerBlock];
        for (int i = 0; i < etc::texelsPerBlock; ++i) {
            levels[i] = etc::eacValue(variant, base, 3, etc::eacModifiers[0][(i * 5) % 8]);
            const double unit = variant == EacVariant::Signed11 ? (levels[i] / 1023.0 + 1.0) / 2.0 : levels[i] / 2047.0;
            samples[i] = static_cast<int>(std::lround(unit * 65535.0));
        }
        int decoded[etc::texelsPerBlock];
        etc::decodeEac(etc::encodeEacBlock(samples, variant, effortFor(variant)), variant, decoded);
        for (int i = 0; i < etc::texelsPerBlock; ++i) {
            EXPECT_EQ(decoded[i], levels[i]) << static_cast<int>(variant) << " texel " << i;
        }
    }
}

TEST(EacEncoder, BeatsEveryTableAtItsSpanningMultiplierInElevenBits)
{
    // A simple reference search, judged at 11 bits in doubles: each table with the multiplier
    // that spans the block and every base. The encoder's wider search must do at least as
    // well, but for its targets, which are exact to 1/16 of a value: each texel's squared
    // error may move by 2|d| / 16 + 1/256, summed at most sqrt(16 E) / 8 + 1/16 per side.
    std::mt19937 random(6);
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11}) {
        for (int trial = 0; trial < 60; ++trial) {
            int samples[etc::texelsPerBlock];
            const int centre = 8000 + static_cast<int>(random() % 50000);
            const int spread = 200 + static_cast<int>(random() % 12000);
            for (int& s : samples) {
                s = std::clamp(centre + static_cast<int>(random() % (2 * spread + 1)) - spread, 0, 65535);
            }
            const auto [low, high] = std::minmax_element(std::begin(samples), std::end(samples));
            const double steps = (exactTarget(variant, *high) - exactTarget(variant, *low)) / 8.0;
            double reference = INFINITY;
            for (int table = 0; table < 16; ++table) {
                const int span = etc::eacModifiers[table][7] - etc::eacModifiers[table][3];
                const int m = std::clamp(static_cast<int>(std::lround(steps / span)), 1, 15);
                for (int base = variant == EacVariant::Signed11 ? -127 : 0;
                     base <= (variant == EacVariant::Signed11 ? 127 : 255); ++base) {
                    reference = std::min(reference, elevenBitError(variant, base, m, table, samples));
                }
            }
            const std::uint64_t word = etc::encodeEacBlock(samples, variant, effortFor(variant));
            const double ours = decodedElevenBitError(word, variant, samples);
            const double slack = (std::sqrt(16 * ours) + std::sqrt(16 * reference)) / 8 + 0.125;
            EXPECT_LE(ours, reference + slack) << static_cast<int>(variant) << " trial " << trial;
        }
    }
}

TEST(EacEncoder, AlphaBeatsEveryTableAtItsSpanningMultiplierInBytes)
{
    std::mt19937 random(6);
    for (int trial = 0; trial < 100; ++trial) {
        int bytes[etc::texelsPerBlock];
        const int centre = 30 + static_cast<int>(random() % 190);
        for (int& b : bytes) {
            b = std::clamp(centre + static_cast<int>(random() % 41) - 20, 0, 255);
        }
        const int low = *std::min_element(std::begin(bytes), std::end(bytes));
        const int high = *std::max_element(std::begin(bytes), std::end(bytes));
        int reference = INT_MAX;
        for (int table = 0; table < 16; ++table) {
            const int span = etc::eacModifiers[table][7] - etc::eacModifiers[table][3];
            const int m = std::clamp((high - low + span / 2) / span, 1, 15);
            for (int base = 0; base < 256; ++base) {
                int error = 0;
                for (int b : bytes) {
                    int nearest = INT_MAX;
                    for (int modifier : etc::eacModifiers[table]) {
                        const int v = std::clamp(base + m * modifier, 0, 255);
                        nearest = std::min(nearest, (v - b) * (v - b));
                    }
                    error += nearest;
                }
                reference = std::min(reference, error);
            }
        }
        EXPECT_LE(byteError(encodeBytes(bytes, EacVariant::Alpha8), EacVariant::Alpha8, bytes), reference) << trial;
    }
}

TEST(EacEncoder, BlocksAtTheRangeEndsUseTheClampedLevels)
{
    // One column at an end of the range and the rest far from it: the best candidates push
    // their outer levels past the end, where they clamp. Against every table, multiplier and
    // base (worked out here), the encoder must come close.
    std::mt19937 random(9);
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11}) {
        for (int trial = 0; trial < 6; ++trial) {
            const bool top = trial % 2 == 0;
            int samples[etc::texelsPerBlock];
            for (int i = 0; i < etc::texelsPerBlock; ++i) {
                const int far = 6000 + static_cast<int>(random() % 16000);
                const int end = static_cast<int>(random() % 400);
                samples[i] = i % 4 == 0 ? (top ? 65535 - end : end) : (top ? 65535 - 30000 - far : 30000 + far);
            }
            double exhaustive = INFINITY;
            for (int table = 0; table < 16; ++table) {
                for (int m = 0; m < 16; ++m) {
                    for (int base = variant == EacVariant::Signed11 ? -127 : 0;
                         base <= (variant == EacVariant::Signed11 ? 127 : 255); ++base) {
                        exhaustive = std::min(exhaustive, elevenBitError(variant, base, m, table, samples));
                    }
                }
            }
            const std::uint64_t word = etc::encodeEacBlock(samples, variant, effortFor(variant));
            EXPECT_LE(decodedElevenBitError(word, variant, samples), exhaustive * 1.02 + 1)
                << static_cast<int>(variant) << " trial " << trial;
        }
    }
}

TEST(EacEncoder, ASmoothSixteenBitRampBeatsAPerfectCopyOfItsBytes)
{
    // A gentle ramp of 16-bit samples: rounding it to bytes alone costs a known 11-bit error
    // (the bytes mapped exactly to 11 bits), which no encoder that sees only the bytes can
    // undo. Judged at 11 bits against the samples, the encoder must do far better.
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11}) {
        for (int start : {1000, 20000, 40321}) {
            int samples[etc::texelsPerBlock];
            double byteCopyError = 0;
            for (int i = 0; i < etc::texelsPerBlock; ++i) {
                samples[i] = start + 37 * i; // 592 of 65535 across the block: under 3 bytes
                const double byte = std::round(samples[i] * 255.0 / 65535.0);
                const double fromByte =
                    variant == EacVariant::Signed11 ? (byte / 255.0 * 2.0 - 1.0) * 1023.0 : byte / 255.0 * 2047.0;
                byteCopyError += std::pow(fromByte - exactTarget(variant, samples[i]), 2);
            }
            const std::uint64_t word = etc::encodeEacBlock(samples, variant, effortFor(variant));
            EXPECT_LT(decodedElevenBitError(word, variant, samples), byteCopyError / 4)
                << static_cast<int>(variant) << " from " << start;
        }
    }
}

TEST(EacEncoder, QuickSearchKeepsItsFloorAndItsVectorLoopMatchesThePortableOne)
{
    // Random blocks of every kind (flat, narrow, wide, at the range ends) through the quick
    // search: the vector and portable error loops must pick the same bytes, and the result
    // must stay within reach of the full search.
    std::mt19937 random(21);
    for (EacVariant variant : {EacVariant::Unsigned11, EacVariant::Signed11, EacVariant::Alpha8}) {
        double quick = 0;
        double full = 0;
        for (int trial = 0; trial < 400; ++trial) {
            int samples[etc::texelsPerBlock];
            const int centre = static_cast<int>(random() % 65536);
            const int spread = trial % 4 == 0 ? 0 : static_cast<int>(random() % (trial % 2 == 0 ? 2000 : 40000));
            for (int& s : samples) {
                s = std::clamp(centre + static_cast<int>(random() % (2 * spread + 1)) - spread, 0, 65535);
            }
            const std::uint64_t vector = etc::encodeEacBlockFast(samples, variant, false);
            ASSERT_EQ(vector, etc::encodeEacBlockFast(samples, variant, true))
                << static_cast<int>(variant) << " trial " << trial;
            const std::uint64_t best = etc::encodeEacBlock(samples, variant, effortFor(variant));
            if (variant == EacVariant::Alpha8) {
                int bytes[etc::texelsPerBlock];
                for (int i = 0; i < etc::texelsPerBlock; ++i) {
                    bytes[i] = static_cast<int>(std::lround(samples[i] / 257.0));
                }
                quick += byteError(vector, variant, bytes);
                full += byteError(best, variant, bytes);
            } else {
                quick += decodedElevenBitError(vector, variant, samples);
                full += decodedElevenBitError(best, variant, samples);
            }
        }
        EXPECT_GE(quick, full) << static_cast<int>(variant);
        EXPECT_LT(quick, full * 1.6) << static_cast<int>(variant);
    }
}

TEST(EacLevelError, VectorAndPortableLoopsAgree)
{
    std::mt19937 random(3);
    for (int trial = 0; trial < 2000; ++trial) {
        std::int16_t targets[etc::texelsPerBlock];
        for (std::int16_t& t : targets) {
            t = static_cast<std::int16_t>(static_cast<int>(random() % 3071) - 1023);
        }
        const int table = static_cast<int>(random() % 16);
        std::int16_t modifiers[8];
        std::copy(std::begin(etc::eacModifiers[table]), std::end(etc::eacModifiers[table]), modifiers);
        const bool signedRange = trial % 2 == 0;
        const etc::LevelRule rule{modifiers, static_cast<int>(random() % 2048) - (signedRange ? 1024 : 0),
                                  static_cast<int>(random() % 121), signedRange ? -1023 : 0, signedRange ? 1023 : 2047};
        // Worked out here in plain integers.
        int expected = 0;
        for (std::int16_t t : targets) {
            int nearest = INT_MAX;
            for (std::int16_t m : modifiers) {
                const int level = std::clamp(rule.baseValue + m * rule.scale, rule.lowest, rule.highest);
                nearest = std::min(nearest, (t - level) * (t - level));
            }
            expected += nearest;
        }
        ASSERT_EQ(etc::candidateErrorPortable(targets, rule), expected) << trial;
        ASSERT_EQ(etc::candidateError(targets, rule), expected) << trial;
    }
}

} // namespace
