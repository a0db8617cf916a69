#include "TorusRotation.h"

#include <gtest/gtest.h>

TEST(TorusRotation, FirstFrameIsDrawnAtZeroAndTheNextAtHalfADegree)
{
    float angles[rotationAxes] = {0.0f, 0.0f, 0.0f};
    advanceRotation(angles);
    for (float angle : angles)
        EXPECT_EQ(angle, 0.5f);
}

TEST(TorusRotation, FullTurnTakes720FramesAndNeverReaches360)
{
    float angles[rotationAxes] = {0.0f, 0.0f, 0.0f};
    for (int frame = 0; frame < 720; ++frame) {
        for (float angle : angles)
            ASSERT_EQ(angle, 0.5f * frame) << "frame " << frame;
        advanceRotation(angles);
    }
    for (float angle : angles)
        EXPECT_EQ(angle, 0.0f);
}

TEST(TorusRotation, EachAngleWrapsOnItsOwn)
{
    float angles[rotationAxes] = {359.5f, 0.0f, 359.75f};
    advanceRotation(angles);
    EXPECT_EQ(angles[0], 0.0f);
    EXPECT_EQ(angles[1], 0.5f);
    EXPECT_EQ(angles[2], 0.0f);
}
