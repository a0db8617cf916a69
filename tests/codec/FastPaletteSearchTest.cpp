#include "FastPaletteSearch.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

using etc::Rgb;

// The decoded colour of entry `s` of candidate `candidate`, worked out here from the offset.
Rgb entryColour(const Rgb (&bases)[4], const etc::PaletteOffsets& offsets, int candidate, int s)
{
    const int offset = static_cast<int>(offsets.values[candidate * 4 + s]);
    auto clamped = [](int v) { return std::clamp(v, 0, 255); };
    return {clamped(bases[s].r + offset), clamped(bases[s].g + offset), clamped(bases[s].b + offset)};
}

template <int N>
int distance(const etc::TexelColours<N>& t, int lane, const Rgb& c)
{
    return (t.r[lane] - c.r) * (t.r[lane] - c.r) + (t.g[lane] - c.g) * (t.g[lane] - c.g) +
        (t.b[lane] - c.b) * (t.b[lane] - c.b);
}

// The summed squared error of the texels at their nearest entry, by plain search.
template <int N>
int referenceError(const etc::TexelColours<N>& t, const Rgb (&bases)[4], const etc::PaletteOffsets& offsets,
                   int candidate)
{
    int sum = 0;
    for (int lane = 0; lane < N; ++lane) {
        int nearest = INT_MAX;
        for (int s = 0; s < 4; ++s) {
            nearest = std::min(nearest, distance(t, lane, entryColour(bases, offsets, candidate, s)));
        }
        sum += nearest;
    }
    return sum;
}

struct OffsetKind {
    const char* name;
    const etc::PaletteOffsets* offsets;
    bool oneBase; // the ETC1 tables share one base colour
};

const OffsetKind offsetKinds[] = {
    {"modifiers", &etc::modifierOffsets, true}, {"T", &etc::tOffsets, false}, {"H", &etc::hOffsets, false}};

// Bases near the ends of the range too, where the offsets clamp.
void randomBases(std::mt19937& random, bool oneBase, Rgb (&bases)[4])
{
    auto component = [&]() {
        const int kind = static_cast<int>(random() % 3);
        return kind == 0 ? static_cast<int>(random() % 24)
            : kind == 1  ? 232 + static_cast<int>(random() % 24)
                         : static_cast<int>(random() % 256);
    };
    for (Rgb& base : bases) {
        base = {component(), component(), component()};
    }
    if (oneBase) {
        std::fill(std::begin(bases) + 1, std::end(bases), bases[0]);
    }
}

template <int N>
void expectExactErrors(const etc::TexelColours<N>& texels, const Rgb (&bases)[4], const OffsetKind& kind,
                       const std::string& where)
{
    for (etc::PaletteKernel kernel : etc::availablePaletteKernels()) {
        etc::CandidateErrors errors;
        etc::paletteErrors(kernel, texels, etc::offsetPalettes(kernel, bases, *kind.offsets), errors);
        for (int candidate = 0; candidate < etc::candidateCount; ++candidate) {
            ASSERT_EQ(errors[candidate], referenceError(texels, bases, *kind.offsets, candidate))
                << etc::paletteKernelName(kernel) << ", " << kind.name << " candidate " << candidate << ", " << where;
        }
    }
}

TEST(FastPaletteSearch, EveryKernelScoresEveryCandidateExactly)
{
#if defined(__x86_64__)
    // The vector kernels must really be under test on this machine.
    ASSERT_GE(etc::availablePaletteKernels().size(), 2u);
#endif
    EXPECT_EQ(etc::availablePaletteKernels().front(), etc::PaletteKernel::Portable);
    std::mt19937 random(21);
    const std::vector<etc::PixelBlock> blocks = codectest::variedBlocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        for (const OffsetKind& kind : offsetKinds) {
            Rgb bases[4];
            randomBases(random, kind.oneBase, bases);
            const std::string where = "block " + std::to_string(b);
            expectExactErrors(etc::blockColours(blocks[b]), bases, kind, where);
            etc::HalfColours halves[2][2];
            etc::blockHalves(blocks[b], halves);
            expectExactErrors(halves[b % 2][b / 2 % 2], bases, kind, where);
        }
    }
}

// Each texel's nearest colour by plain search, the first of equals.
template <int N>
std::vector<int> referenceNearest(const etc::TexelColours<N>& t, const Rgb (&palette)[4])
{
    std::vector<int> chosen(N);
    for (int lane = 0; lane < N; ++lane) {
        for (int s = 1; s < 4; ++s) {
            if (distance(t, lane, palette[s]) < distance(t, lane, palette[chosen[lane]])) {
                chosen[lane] = s;
            }
        }
    }
    return chosen;
}

TEST(FastPaletteSearch, EveryKernelPicksTheFirstNearestColour)
{
    std::mt19937 random(22);
    const std::vector<etc::PixelBlock> blocks = codectest::variedBlocks();
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const etc::BlockColours block = etc::blockColours(blocks[b]);
        etc::HalfColours halves[2][2];
        etc::blockHalves(blocks[b], halves);
        const etc::HalfColours& half = halves[b % 2][b / 2 % 2];
        // Clamped entries fall together near the ends of the range, so ties occur.
        Rgb bases[4];
        randomBases(random, true, bases);
        Rgb palette[4];
        const int table = static_cast<int>(random() % 8);
        for (int s = 0; s < 4; ++s) {
            palette[s] = entryColour(bases, etc::modifierOffsets, table, s);
        }
        for (etc::PaletteKernel kernel : etc::availablePaletteKernels()) {
            std::uint8_t blockChosen[etc::texelsPerBlock];
            std::uint8_t halfChosen[etc::texelsPerSubblock];
            etc::nearestColours(kernel, block, palette, blockChosen);
            etc::nearestColours(kernel, half, palette, halfChosen);
            EXPECT_EQ(std::vector<int>(std::begin(blockChosen), std::end(blockChosen)),
                      referenceNearest(block, palette))
                << etc::paletteKernelName(kernel) << ", block " << b;
            EXPECT_EQ(std::vector<int>(std::begin(halfChosen), std::end(halfChosen)), referenceNearest(half, palette))
                << etc::paletteKernelName(kernel) << ", block " << b;
        }
    }
}

TEST(FastPaletteSearch, HalvesAndBlocksHoldTheirTexels)
{
    etc::PixelBlock block;
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        block.rgba[i][0] = static_cast<std::uint8_t>(i);
        block.rgba[i][1] = static_cast<std::uint8_t>(100 + i);
        block.rgba[i][2] = static_cast<std::uint8_t>(255 - i);
        block.rgba[i][3] = 0;
    }
    const etc::BlockColours all = etc::blockColours(block);
    int squares = 0;
    for (int i = 0; i < etc::texelsPerBlock; ++i) {
        EXPECT_EQ(all.r[i], i);
        EXPECT_EQ(all.g[i], 100 + i);
        EXPECT_EQ(all.b[i], 255 - i);
        squares += i * i + (100 + i) * (100 + i) + (255 - i) * (255 - i);
    }
    EXPECT_EQ(all.squares, squares);
    // Each half holds its texels in raster order: the left and right columns (x = 0, 1 and
    // 2, 3), the top and bottom rows (y = 0, 1 and 2, 3).
    etc::HalfColours halves[2][2];
    etc::blockHalves(block, halves);
    const int texels[2][2][etc::texelsPerSubblock] = {{{0, 1, 4, 5, 8, 9, 12, 13}, {2, 3, 6, 7, 10, 11, 14, 15}},
                                                      {{0, 1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14, 15}}};
    for (int flip = 0; flip < 2; ++flip) {
        for (int half = 0; half < 2; ++half) {
            int halfSquares = 0;
            for (int lane = 0; lane < etc::texelsPerSubblock; ++lane) {
                const int i = texels[flip][half][lane];
                EXPECT_EQ(halves[flip][half].r[lane], i);
                EXPECT_EQ(halves[flip][half].g[lane], 100 + i);
                EXPECT_EQ(halves[flip][half].b[lane], 255 - i);
                halfSquares += i * i + (100 + i) * (100 + i) + (255 - i) * (255 - i);
            }
            EXPECT_EQ(halves[flip][half].squares, halfSquares);
        }
    }
}

} // namespace
