#include "control/TSteer.hpp"

#include <gtest/gtest.h>

// A drag points the way as the arrow keys would: eight directions, a dead zone around where it
// landed, nothing once lifted, and only a press that lands on the squid starts one.
TEST(Steer, TheDragPicksTheNearestOfTheArrowKeysDirections) {
    struct Case {
        float dx, dy;
        int x, y;
    };
    const Case cases[] = {
        {0, 0, 0, 0},     {11, 0, 0, 0},  {0, -11, 0, 0},   {40, 0, 1, 0},
        {-40, 0, -1, 0},  {0, 40, 0, 1},  {0, -40, 0, -1},  {40, 40, 1, 1},
        {-40, 30, -1, 1}, {40, 10, 1, 0}, {10, -40, 0, -1}, {-30, -40, -1, -1},
    };
    const CPVect squid = Vec2(450.0f, 300.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
        TSteer steer;
        ASSERT_TRUE(steer.Begin(Vec2(455.0f, 290.0f), squid));
        steer.Move(Vec2(455.0f + c.dx, 290.0f + c.dy));
        EXPECT_EQ(steer.X(), c.x);
        EXPECT_EQ(steer.Y(), c.y);
        steer.End();
        EXPECT_FALSE(steer.Active());
        EXPECT_EQ(steer.X(), 0);
        EXPECT_EQ(steer.Y(), 0);
    }
    TSteer away;
    EXPECT_FALSE(away.Begin(Vec2(450.0f + TSteer::kReach + 1.0f, 300.0f), squid));
    away.Move(Vec2(600.0f, 300.0f));
    EXPECT_EQ(away.X(), 0);
}
