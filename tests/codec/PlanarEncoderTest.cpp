#include "PlanarEncoder.h"
#include "BlockExpectations.h"
#include "PlanarBlock.h"

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

} // namespace
