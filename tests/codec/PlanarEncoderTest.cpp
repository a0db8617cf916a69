#include "PlanarEncoder.h"
#include "BlockExpectations.h"
#include "PlanarBlock.h"

#include <algorithm>
#include <climits>
#include <random>

using codectest::makeBlock;
using Texel = std::array<int, 4>;

namespace {

const etc::SearchSettings& settings() { return etc::searchSettings(etc::Effort::Default); }

TEST(PlanarEncoder, RecoversAnyStoredPlane)
{
    std::mt19937 random(9);
    for (int trial = 0; trial < 50; ++trial) {
        etc::PlanarParams params;
        auto code6 = [&] { return static_cast<int>(random() % 64); };
        auto code7 = [&] { return static_cast<int>(random() % 128); };
        params.origin = {code6(), code7(), code6()};
        params.horizontal = {code6(), code7(), code6()};
        params.vertical = {code6(), code7(), code6()};
        etc::PixelBlock block;
        etc::decodePlanarMode(params, block);
        const etc::PlanarCandidate c = etc::encodePlanarMode(block, settings());
        etc::PixelBlock decoded;
        etc::decodePlanarMode(c.params, decoded);
        EXPECT_EQ(c.error, etc::rgbBlockError(decoded, block, nullptr));
        // A least-squares fit of an exact plane is that plane, unless clamping bent it.
        if (c.error != 0) {
            bool clamped = false;
            for (const auto& texel : block.rgba) {
                clamped = clamped || texel[0] == 0 || texel[0] == 255 || texel[1] == 0 || texel[1] == 255 ||
                    texel[2] == 0 || texel[2] == 255;
            }
            EXPECT_TRUE(clamped) << trial;
        }
    }
}

TEST(PlanarEncoder, SmoothGradientIsClose)
{
    const etc::PixelBlock block = makeBlock([](int x, int y) {
        return Texel{40 + 13 * x + 5 * y, 200 - 9 * y, 100 + 3 * x - 2 * y, 255};
    });
    const etc::PlanarCandidate c = etc::encodePlanarMode(block, settings());
    EXPECT_LE(c.error, 16 * 3); // within one step per channel on average
}

TEST(PlanarEncoder, NeighbourSearchIsNoWorse)
{
    std::mt19937 random(4);
    for (int trial = 0; trial < 50; ++trial) {
        const etc::PixelBlock block = makeBlock([&](int x, int y) {
            return Texel{static_cast<int>(30 * x + random() % 20), static_cast<int>(20 * y + random() % 30),
                         static_cast<int>(random() % 256), 255};
        });
        const long rounded = etc::encodePlanarMode(block, etc::searchSettings(etc::Effort::Fast)).error;
        const long refined = etc::encodePlanarMode(block, settings()).error;
        EXPECT_LE(refined, rounded);
    }
}

// The least error of one channel over every plane the format can store, decoded as the format
// describes: (x (H - O) + y (V - O) + 4 O + 2) >> 2, clamped, with O, H, V widened from 6 or 7 bits.
long bestPlaneError(const etc::PixelBlock& block, int channel, int bits)
{
    const int codes = 1 << bits;
    auto widen = [&](int code) { return bits == 6 ? (code << 2) | (code >> 4) : (code << 1) | (code >> 6); };
    long best = LONG_MAX;
    for (int o = 0; o < codes; ++o) {
        for (int h = 0; h < codes; ++h) {
            for (int v = 0; v < codes; ++v) {
                long sum = 0;
                for (int i = 0; i < etc::texelsPerBlock && sum < best; ++i) {
                    const int x = i & 3;
                    const int y = i >> 2;
                    const int value = (x * (widen(h) - widen(o)) + y * (widen(v) - widen(o)) + 4 * widen(o) + 2) >> 2;
                    const int d = std::clamp(value, 0, 255) - block.rgba[i][channel];
                    sum += d * d;
                }
                best = std::min(best, sum);
            }
        }
    }
    return best;
}

TEST(PlanarEncoder, BestEffortFindsTheBestPlaneOfNoisyGradients)
{
    // Moving one corner code at a time stops short on these; all three together do not.
    std::mt19937 random(6);
    for (int trial = 0; trial < 4; ++trial) {
        const etc::PixelBlock block = makeBlock([&](int x, int y) {
            return Texel{static_cast<int>(20 + 30 * x + 9 * y + random() % 24),
                         static_cast<int>(220 - 25 * y + random() % 24), static_cast<int>(90 + random() % 40), 255};
        });
        const long found = etc::encodePlanarMode(block, etc::searchSettings(etc::Effort::Best)).error;
        EXPECT_EQ(found, bestPlaneError(block, 0, 6) + bestPlaneError(block, 1, 7) + bestPlaneError(block, 2, 6))
            << trial;
    }
}

} // namespace
