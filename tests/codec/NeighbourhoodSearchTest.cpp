#include "NeighbourhoodSearch.h"
#include "BlockExpectations.h"
#include "SubblockBruteForce.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <random>

using codectest::bruteHalfError;
using codectest::HalfColours;
using codectest::widen;
using Texel = std::array<int, 4>;

namespace {

// The code nearest the half's mean colour, per component.
std::array<int, 3> meanCode(const HalfColours& texels, int bits)
{
    std::array<int, 3> code{};
    for (int c = 0; c < 3; ++c) {
        double mean = 0;
        for (const auto& texel : texels) {
            mean += texel[c] / 8.0;
        }
        for (int k = 0; k < (1 << bits); ++k) {
            if (std::abs(widen(bits, k) - mean) < std::abs(widen(bits, code[c]) - mean)) {
                code[c] = k;
            }
        }
    }
    return code;
}

// Every code within one step of the mean code, per component.
template <typename Visit>
void forCodesNear(const std::array<int, 3>& centre, int bits, Visit visit)
{
    for (int move = 0; move < 27; ++move) {
        const std::array<int, 3> code{centre[0] + move / 9 - 1, centre[1] + move / 3 % 3 - 1, centre[2] + move % 3 - 1};
        if (*std::min_element(code.begin(), code.end()) >= 0 &&
            *std::max_element(code.begin(), code.end()) < (1 << bits)) {
            visit(code);
        }
    }
}

// The best differential pair (second minus first within -4..3) among the codes near each half's mean.
long bruteDifferential(const HalfColours (&halves)[2])
{
    long best = LONG_MAX;
    forCodesNear(meanCode(halves[0], 5), 5, [&](const std::array<int, 3>& first) {
        const long firstError = bruteHalfError(halves[0], 5, first);
        forCodesNear(meanCode(halves[1], 5), 5, [&](const std::array<int, 3>& second) {
            for (int c = 0; c < 3; ++c) {
                if (second[c] - first[c] < -4 || second[c] - first[c] > 3) {
                    return;
                }
            }
            best = std::min(best, firstError + bruteHalfError(halves[1], 5, second));
        });
    });
    return best;
}

long bruteIndividual(const HalfColours& half)
{
    long best = LONG_MAX;
    forCodesNear(meanCode(half, 4), 4,
                 [&](const std::array<int, 3>& code) { best = std::min(best, bruteHalfError(half, 4, code)); });
    return best;
}

// Left and right halves of random mid-range blocks: every palette that could win stays inside
// 0..255, where the search is exact. Each half leans its own way, some far from the other.
struct RandomHalves {
    etc::HalfTexels texels[2];
    HalfColours colours[2];
};

RandomHalves randomHalves(std::mt19937& random, int apart)
{
    const Texel lean[2] = {
        {static_cast<int>(random() % apart), static_cast<int>(random() % apart), static_cast<int>(random() % apart), 0},
        {static_cast<int>(random() % apart), static_cast<int>(random() % apart), static_cast<int>(random() % apart),
         0}};
    const etc::PixelBlock block = codectest::makeBlock([&](int x, int) {
        const Texel& l = lean[x < 2 ? 0 : 1];
        return Texel{90 + l[0] + static_cast<int>(random() % 24), 90 + l[1] + static_cast<int>(random() % 24),
                     90 + l[2] + static_cast<int>(random() % 24), 255};
    });
    RandomHalves halves;
    for (int half = 0; half < 2; ++half) {
        halves.texels[half] = etc::gatherHalf(block, false, half, nullptr);
        for (int lane = 0; lane < 8; ++lane) {
            const std::uint8_t* t = block.rgba[halves.texels[half].index[lane]];
            halves.colours[half][lane] = {t[0], t[1], t[2]};
        }
    }
    return halves;
}

long exactError(const HalfColours& colours, int bits, const etc::HalfFit& fit)
{
    return bruteHalfError(colours, bits, {fit.code.r, fit.code.g, fit.code.b});
}

// Only the single best candidate by the unclamped error is scored again: it must be right.
const etc::SubblockEffort oneCandidate{1, 1, true, 1.0f, 2, 1, 0, false, false};

TEST(NeighbourhoodSearch, DifferentialPairIsNoWorseThanEveryPairNearTheMeans)
{
    std::mt19937 random(11);
    etc::HalfSearch search;
    search.bits = 5;
    for (int trial = 0; trial < 60; ++trial) {
        const RandomHalves halves = randomHalves(random, trial % 3 == 0 ? 60 : 20);
        const etc::HalfPair pair = etc::searchNeighbourhood(halves.texels, search, oneCandidate);
        ASSERT_TRUE(etc::differentialDeltaFits(pair.fits[0].code, pair.fits[1].code)) << trial;
        // The reported errors are the exact ones, and the best table is the one chosen.
        EXPECT_EQ(pair.fits[0].error, exactError(halves.colours[0], 5, pair.fits[0])) << trial;
        EXPECT_EQ(pair.fits[1].error, exactError(halves.colours[1], 5, pair.fits[1])) << trial;
        EXPECT_LE(pair.error(), bruteDifferential(halves.colours)) << trial;
    }
}

TEST(NeighbourhoodSearch, IndividualHalvesAreNoWorseThanEveryCodeNearTheirMeans)
{
    std::mt19937 random(12);
    etc::HalfSearch search;
    search.bits = 4;
    for (int trial = 0; trial < 60; ++trial) {
        const RandomHalves halves = randomHalves(random, 120);
        const etc::HalfPair pair = etc::searchNeighbourhood(halves.texels, search, oneCandidate);
        for (int half = 0; half < 2; ++half) {
            EXPECT_EQ(pair.fits[half].error, exactError(halves.colours[half], 4, pair.fits[half])) << trial;
            EXPECT_LE(pair.fits[half].error, bruteIndividual(halves.colours[half])) << trial;
        }
    }
}

} // namespace
