#include "Timer.h"

#include <gtest/gtest.h>

using KorvoSDK::Timer;

namespace {

// A timer whose clock the test moves by hand.
class SteppedTimer : public Timer {
public:
    SteppedTimer() { reset(); }
    double now = 1000.0;

protected:
    double nowSeconds() const override { return now; }
};

} // namespace

TEST(Timer, ElapsedSecondsCountFromTheLastReset)
{
    SteppedTimer timer;
    timer.now += 2.5;
    EXPECT_FLOAT_EQ(timer.elapsedSeconds(), 2.5f);
    timer.reset();
    EXPECT_FLOAT_EQ(timer.elapsedSeconds(), 0.0f);
    timer.now += 0.25;
    EXPECT_FLOAT_EQ(timer.elapsedSeconds(), 0.25f);
}

TEST(Timer, IntervalPassedOnlyWhenStrictlyMoreThanTheInterval)
{
    SteppedTimer timer;
    timer.now += 5.0;
    EXPECT_FALSE(timer.intervalPassed(5.0f)) << "exactly the interval is not more than it";
    timer.now += 0.001;
    EXPECT_TRUE(timer.intervalPassed(5.0f));
}

TEST(Timer, PollingGivesOneTruePerIntervalMeasuredFromTheLastTrue)
{
    SteppedTimer timer;
    int trues = 0;
    std::vector<double> whenTrue;
    for (int step = 1; step <= 1600; ++step) { // 16 seconds in 10 ms steps
        timer.now += 0.01;
        if (timer.intervalPassed(5.0f)) {
            ++trues;
            whenTrue.push_back(timer.elapsedSeconds());
        }
    }
    ASSERT_EQ(trues, 3);
    EXPECT_NEAR(whenTrue[0], 5.01, 1e-3);
    EXPECT_NEAR(whenTrue[1], 10.02, 1e-3);
    EXPECT_NEAR(whenTrue[2], 15.03, 1e-3);
}

TEST(Timer, ResetKeepsTheLastIntervalTime)
{
    SteppedTimer timer;
    timer.now += 7.0;
    ASSERT_TRUE(timer.intervalPassed(5.0f)); // last interval time is now 7
    timer.reset();
    timer.now += 6.0; // elapsed 6: more than 5 since the origin, but not since 7
    EXPECT_FALSE(timer.intervalPassed(5.0f));
    timer.now += 6.5; // elapsed 12.5 > 7 + 5
    EXPECT_TRUE(timer.intervalPassed(5.0f));
}

// What a loop sleeps for before its next tick: once it has slept that long, the tick is due.
TEST(Timer, SecondsUntilIntervalCountDownToTheNextTrue)
{
    SteppedTimer timer;
    timer.now += 1.5;
    EXPECT_NEAR(timer.secondsUntilInterval(5.0f), 3.5, 1e-4);
    timer.now += 3.5;
    EXPECT_FLOAT_EQ(timer.secondsUntilInterval(5.0f), 0.0f);
    timer.now += 0.01;
    EXPECT_FLOAT_EQ(timer.secondsUntilInterval(5.0f), 0.0f) << "never negative";
    ASSERT_TRUE(timer.intervalPassed(5.0f)); // at 5.01
    EXPECT_NEAR(timer.secondsUntilInterval(5.0f), 5.0, 1e-4);
    timer.reset(); // the origin moves to 5.01 elapsed; the last true stays at 5.01
    timer.now += 2.0;
    EXPECT_NEAR(timer.secondsUntilInterval(5.0f), 8.01, 1e-4) << "5.01 + 5 - 2";
}

TEST(Timer, RealClockIsMonotonicAndNearZeroAfterReset)
{
    Timer timer;
    timer.reset();
    float previous = timer.elapsedSeconds();
    EXPECT_GE(previous, 0.0f);
    EXPECT_LT(previous, 0.1f);
    for (int i = 0; i < 1000; ++i) {
        const float now = timer.elapsedSeconds();
        EXPECT_GE(now, previous);
        previous = now;
    }
}
