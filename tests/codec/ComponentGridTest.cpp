#include "ComponentGrid.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

TEST(ComponentGrid, WidenedValues)
{
    EXPECT_EQ(etc::gridValue(4, 14), 238);
    EXPECT_EQ(etc::gridValue(5, 28), 231);
    EXPECT_EQ(etc::gridValue(6, 63), 255);
    EXPECT_EQ(etc::gridValue(6, 16), 65);
    EXPECT_EQ(etc::gridValue(7, 64), 129);
}

TEST(ComponentGrid, NearestCodeIsTheNearestOfAll)
{
    for (int bits = 4; bits <= 7; ++bits) {
        for (int value = -20; value < 280; ++value) {
            const int target = std::max(0, std::min(255, value));
            int best = INT_MAX;
            for (int code = 0; code < (1 << bits); ++code) {
                best = std::min(best, std::abs(etc::gridValue(bits, code) - target));
            }
            EXPECT_EQ(std::abs(etc::gridValue(bits, etc::nearestCode(bits, value)) - target), best)
                << bits << " " << value;
        }
    }
}

// The fitted code against every code of the range.
template <int N>
void expectBestCode(const float (&values)[N], const float (&offsets)[N], const float (&weights)[N], int bits, int low,
                    int high)
{
    const etc::ComponentFit fit =
        etc::fitComponent(values, offsets, weights, etc::offsetSpread(offsets, weights), bits, low, high);
    int best = INT_MAX;
    for (int code = low; code <= high; ++code) {
        best =
            std::min(best, static_cast<int>(etc::componentError(values, offsets, weights, etc::gridValue(bits, code))));
    }
    EXPECT_GE(fit.code, low);
    EXPECT_LE(fit.code, high);
    EXPECT_EQ(fit.error, best);
}

TEST(ComponentGrid, FitFindsTheBestCodeWithAndWithoutClamping)
{
    const float weights[4] = {1, 1, 1, 0};
    // Unclamped: the mean of value - offset.
    expectBestCode<4>({100, 120, 90, 0}, {-9, 29, 9, 0}, weights, 5, 0, 31);
    // Near white the positive offsets clamp, which pulls the best base upwards.
    expectBestCode<4>({250, 255, 200, 0}, {29, 29, -29, 0}, weights, 4, 0, 15);
    // Near black likewise.
    expectBestCode<4>({0, 3, 40, 0}, {-60, -18, 18, 0}, weights, 5, 0, 31);
    // Inside a differential range.
    expectBestCode<4>({100, 120, 90, 0}, {-9, 29, 9, 0}, weights, 5, 3, 8);
    // The zero-weight lane does not count, however far off it is.
    expectBestCode<4>({10, 10, 10, 250}, {0, 0, 0, 0}, weights, 4, 0, 15);
}

} // namespace
