// The carousel's five-second step, driven by a clock the test moves by hand.

#include "CarouselStep.h"
#include "ImageTable.h"

#include <gtest/gtest.h>

using namespace FormatCarousel;

namespace {

class HandClock : public KorvoSDK::Timer {
public:
    HandClock() { reset(); }
    double now = 500.0;

protected:
    double nowSeconds() const override { return now; }
};

} // namespace

TEST(FormatCarouselStep, StepsOnceJustOverFiveSecondsAndRestartsTheTimer)
{
    HandClock clock;
    unsigned index = 0;
    clock.now += 4.99;
    EXPECT_FALSE(advanceWhenDue(clock, index));
    EXPECT_EQ(index, 0u);
    clock.now += 0.02;
    EXPECT_TRUE(advanceWhenDue(clock, index));
    EXPECT_EQ(index, 1u);
    EXPECT_FLOAT_EQ(clock.elapsedSeconds(), 0.0f) << "the timer restarts from the frame that stepped";
    EXPECT_FALSE(advanceWhenDue(clock, index));
    EXPECT_EQ(index, 1u);
}

TEST(FormatCarouselStep, ExactlyFiveSecondsDoesNotStep)
{
    HandClock clock;
    unsigned index = 3;
    clock.now += 5.0;
    EXPECT_FALSE(advanceWhenDue(clock, index));
    EXPECT_EQ(index, 3u);
    EXPECT_FLOAT_EQ(clock.elapsedSeconds(), 5.0f) << "a frame that does not step keeps the timer running";
}

TEST(FormatCarouselStep, LongPauseStepsOnceAndTheNextStepCountsFromThatFrame)
{
    HandClock clock;
    unsigned index = 0;
    clock.now += 12.0;
    EXPECT_TRUE(advanceWhenDue(clock, index));
    EXPECT_EQ(index, 1u);
    EXPECT_FALSE(advanceWhenDue(clock, index)) << "the time owed is not caught up";
    clock.now += 5.0;
    EXPECT_FALSE(advanceWhenDue(clock, index));
    clock.now += 0.01;
    EXPECT_TRUE(advanceWhenDue(clock, index));
    EXPECT_EQ(index, 2u);
}

TEST(FormatCarouselStep, AfterTheLastFormatComesTheFirst)
{
    EXPECT_EQ(nextImageIndex(8), 9u);
    EXPECT_EQ(nextImageIndex(9), 0u);
    // Anything beyond the table also starts again at the first.
    EXPECT_EQ(nextImageIndex(10), 0u);
    EXPECT_EQ(nextImageIndex(~0u), 0u);
}

TEST(FormatCarouselStep, FramesAtSixtyHertzShowEveryFormatInTurnFiveSecondsEach)
{
    HandClock clock;
    unsigned index = 0;
    std::vector<unsigned> shown;
    std::vector<double> steppedAt;
    const double start = clock.now;
    for (int frame = 1; frame <= 60 * 56; ++frame) { // 56 seconds
        clock.now = start + frame / 60.0;
        if (advanceWhenDue(clock, index)) {
            shown.push_back(index);
            steppedAt.push_back(clock.now - start);
        }
    }
    ASSERT_EQ(shown, (std::vector<unsigned>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    for (size_t i = 0; i < steppedAt.size(); ++i)
        EXPECT_NEAR(steppedAt[i], (i + 1) * (5.0 + 1.0 / 60.0), 1e-3) << "step " << i;
}
