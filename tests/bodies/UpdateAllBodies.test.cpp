// The frame's pass over every body class, as BodyPass asks it to run.

#include "bodies/UpdateAllBodies.hpp"

#include "BodyTestSupport.hpp"

namespace {

using UpdateAllBodiesTest = BodiesTest;

TEST_F(UpdateAllBodiesTest, EachSwitchOfThePassDoesItsOwnPart) {
    struct Case {
        const char* name;
        BodyPass pass;
        bool damped;      // the living ball was updated
        bool deadRemoved; // the dead ball left the list
        bool drawn;       // the living ball was drawn
    };
    const Case cases[] = {
        {"a whole frame", {}, true, true, true},
        {"paused", {.advance = false}, false, true, true},
        {"slow motion without physics",
         {.advance = false, .removeDead = false},
         false,
         false,
         true},
        {"keeping the dead only", {.removeDead = false}, true, false, true},
        {"fast forward's undrawn frame", {.draw = false}, true, true, false},
        {"undrawn frames remove the dead anyway",
         {.removeDead = false, .draw = false},
         true,
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearAllBodies();
        auto living = SpawnBall(layer, Vec2(300.0f, 300.0f));
        living->_body->SetVelocity(Vec2(100.0f, 0.0f));
        SpawnBall(layer, Vec2(400.0f, 300.0f))->_life = 0;
        Record();
        UpdateAllBodies(c.pass);
        SetDrawRecording(nullptr);
        EXPECT_FLOAT_EQ(living->_body->GetVelocity().x, c.damped ? 98.0f : 100.0f);
        EXPECT_EQ(TBall::Count(), c.deadRemoved ? 1 : 2);
        EXPECT_EQ(DrawsOf(ballImage), c.drawn ? 1 : 0);
        ExpectDefaultDrawingState("after the pass");
    }
}

TEST_F(UpdateAllBodiesTest, ChainsAreDrawnBeneathTheBodiesMadeBeforeThem) {
    SpawnBall(layer, Vec2(300.0f, 300.0f));
    SpawnCube(layer, Vec2(350.0f, 300.0f));
    SpawnChain(layer, Vec2(600.0f, 200.0f), 1, 4);
    Record();
    UpdateAllBodies();
    SetDrawRecording(nullptr);
    ASSERT_GE(draws.size(), 3u);
    EXPECT_EQ(draws.front().image, anchorImage.get()) << "the chain's fixed anchor first";
    EXPECT_EQ(draws[draws.size() - 3].image, ballImage.get());
    EXPECT_EQ(draws.back().image, cubeImage.get());
}

} // namespace
