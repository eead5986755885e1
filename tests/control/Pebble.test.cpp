#include "app/BodyHash.hpp"
#include "bodies/TPebble.hpp"
#include "control/SceneFixture.hpp"

TEST_F(SceneTest, ThrowAwayPebbleSpawnsCountsAndHashes) {
    const BodyHash before = BodyHash::OfLiveBodies();
    tapKey(DigitKey(9));
    PushMouseMove(300, 200);
    clickLeft();
    control.updateControls();
    EXPECT_EQ(control.currentObject, 9);
    EXPECT_EQ(TPebble::Count(), 1);
    EXPECT_EQ(BodyHash::OfLiveBodies().bodies, before.bodies + 1);
    ClearAllBodies();
    EXPECT_EQ(TPebble::Count(), 0);
}
