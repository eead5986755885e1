#include <cmath>
#include <stdexcept>

#include "control/SceneFixture.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPCircleShape.hpp"
#include "physics/CPSlideJoint.hpp"

namespace {

struct EndedByEscape : std::runtime_error {
    EndedByEscape() : std::runtime_error("EndProgram") {}
};
[[noreturn]] void throwOnEnd() {
    throw EndedByEscape();
}

using ControlTest = SceneTest;

int spawnedTotal() {
    return TBall::Count() + TCube::Count() + TStar::Count() + (TSquid::Count() - 1) +
           TChain::Count();
}

} // namespace

TEST_F(ControlTest, InitLeavesDebugOffAndNothingSelected) {
    TControl fresh;
    EXPECT_EQ(fresh.debugMode, 0);
    EXPECT_EQ(fresh.currentObject, 0);
    EXPECT_EQ(control.debugMode, -1);
    EXPECT_EQ(control.currentObject, 0);
    EXPECT_EQ(control.level, level);
    EXPECT_EQ(control.player, player);
}

TEST_F(ControlTest, NothingSpawnsBeforeADigitIsPressed) {
    PushMouseMove(300, 200);
    clickLeft();
    PushMouseButton(2, true);
    for (int frame = 0; frame < 10; ++frame) {
        control.updateControls();
        clickLeft();
    }
    EXPECT_EQ(control.currentObject, 0);
    EXPECT_EQ(spawnedTotal(), 0);
    EXPECT_EQ(TSquid::Count(), 1);

    // The same held button spawns as soon as a kind is chosen.
    tapKey(DigitKey(1));
    control.updateControls();
    EXPECT_EQ(TBall::Count(), 2); // right button held + the left click of the last frame
}

TEST_F(ControlTest, APressThatDropsNothingForWantOfAKindIsReported) {
    // Each frame: what happens before it, and whether it counts as such a press.
    struct Frame {
        const char* what;
        void (*input)();
        bool reported;
    };
    const Frame frames[] = {
        {"a left click", [] { clickLeft(); }, true},
        {"nothing", [] {}, false},
        {"the right button pressed", [] { PushMouseButton(2, true); }, true},
        {"the right button still held", [] {}, false},
        {"Shift + left (a grab)",
         [] {
             PushMouseButton(2, false);
             PushKey(Key::Shift, true);
             clickLeft();
         },
         false},
        {"a click once a kind is chosen",
         [] {
             PushKey(Key::Shift, false);
             tapKey(DigitKey(1));
             clickLeft();
         },
         false},
    };
    for (const Frame& frame : frames) {
        frame.input();
        control.updateControls();
        EXPECT_EQ(control.pressedUnselected, frame.reported) << frame.what;
    }
}

TEST_F(ControlTest, SelectionTakesTheHighestDigitAndKeepsKeypadHitsForLater) {
    tapKey(DigitKey(1));
    tapKey(DigitKey(3));
    control.updateControls();
    EXPECT_EQ(control.currentObject, 3);

    tapKey(KeypadKey(8));
    control.updateControls();
    EXPECT_EQ(control.currentObject, 8);

    // Main 4 and keypad 4 in one frame: the keypad key is not asked, its hit stays pending and
    // wins over the 1 pressed in the next frame.
    tapKey(DigitKey(4));
    tapKey(KeypadKey(4));
    control.updateControls();
    EXPECT_EQ(control.currentObject, 4);
    tapKey(DigitKey(1));
    control.updateControls();
    EXPECT_EQ(control.currentObject, 4);

    // Selection is never cleared by frames without digits.
    control.updateControls();
    EXPECT_EQ(control.currentObject, 4);
}

TEST_F(ControlTest, RightButtonSpawnsOneBodyPerFrameForKindsOneToFiveOnly) {
    select(1);
    PushMouseMove(400, 100);
    PushMouseButton(2, true);
    for (int frame = 0; frame < 60; ++frame) {
        control.updateControls();
    }
    EXPECT_EQ(TBall::Count(), 60);

    select(6);
    for (int frame = 0; frame < 60; ++frame) {
        control.updateControls();
    }
    EXPECT_EQ(TChain::Count(), 0);
    EXPECT_EQ(TBall::Count(), 60);

    select(5);
    control.updateControls();
    EXPECT_EQ(TChain::Count(), 2); // the selecting frame spawned too

    // Right held and a left click in one frame: two spawns, the click once however many presses.
    select(2);
    clickLeft();
    clickLeft();
    control.updateControls();
    EXPECT_EQ(TCube::Count(), 3);
}

TEST_F(ControlTest, EveryKindSpawnsItsBodyWithTheTableParameters) {
    PushMouseMove(500, 300);
    for (int kind = 1; kind <= 8; ++kind) {
        tapKey(DigitKey(kind));
        clickLeft();
        control.updateControls();
    }
    EXPECT_EQ(TBall::Count(), 1);
    EXPECT_EQ(TCube::Count(), 1);
    EXPECT_EQ(TStar::Count(), 1);
    EXPECT_EQ(TSquid::Count(), 2);
    EXPECT_EQ(TChain::Count(), 4);

    const auto& ball = *TBall::liveList->Last();
    EXPECT_FLOAT_EQ(ball._shape->GetRadius(), 15.0f);
    EXPECT_FLOAT_EQ(ball._body->GetMass(), 0.38f);
    EXPECT_FLOAT_EQ(ball._shape->GetFriction(), 0.075f);
    EXPECT_EQ(ball._life, 100);
    EXPECT_FLOAT_EQ(TCube::liveList->Last()->_body->GetMass(), 0.5f);
    EXPECT_NE(TStar::liveList->Last()->_upCornerShape, nullptr); // style 1
    EXPECT_FLOAT_EQ(TStar::liveList->Last()->_body->GetMass(), 0.25f);
    const auto& squid = *TSquid::liveList->Last();
    EXPECT_FLOAT_EQ(squid._shapeSquid->GetRadius(), 15.0f);
    EXPECT_EQ(squid._tentacle->Count(), 7); // n = 6

    // Chains in spawn order: modes 0, 1, 2 with 19 links, then the kind-8 chain of 11.
    int links[4];
    int index = 0;
    for (auto& chain : *TChain::liveList) {
        links[index++] = chain->_body.Count();
    }
    EXPECT_EQ(links[0], 19);
    EXPECT_EQ(links[1], 19);
    EXPECT_EQ(links[2], 19);
    EXPECT_EQ(links[3], 11);
}

TEST_F(ControlTest, SpawnPositionIsThePointerPlusTheScroll) {
    layer->ScrollX = 992;
    layer->ScrollY = 0;
    PushMouseMove(10, 20);
    tapKey(DigitKey(1));
    clickLeft();
    control.updateControls();
    ASSERT_EQ(TBall::Count(), 1);
    const CPVect p = TBall::liveList->First()->_body->GetPosition();
    EXPECT_FLOAT_EQ(p.x, 1002.0f);
    EXPECT_FLOAT_EQ(p.y, 20.0f);

    // Read again for the next spawn: a moved pointer and scroll give the new point.
    layer->ScrollY = 5;
    PushMouseMove(30, 40);
    clickLeft();
    control.updateControls();
    const CPVect q = TBall::liveList->Last()->_body->GetPosition();
    EXPECT_FLOAT_EQ(q.x, 1022.0f);
    EXPECT_FLOAT_EQ(q.y, 45.0f);
}

TEST_F(ControlTest, ArrowsPushThePlayerAndOppositeKeysCancel) {
    const float push = 35.0f / 0.85f; // impulse / the player's mass
    PushKey(Key::Left, true);
    PushKey(Key::Up, true);
    control.updateControls();
    CPVect v = player->_body->GetVelocity();
    EXPECT_NEAR(v.x, -push, 1e-3);
    EXPECT_NEAR(v.y, -push, 1e-3);

    // Held keys push again every frame.
    control.updateControls();
    v = player->_body->GetVelocity();
    EXPECT_NEAR(v.x, -2.0f * push, 1e-3);

    player->_body->SetVelocity(Vec2(0.0f, 0.0f));
    PushKey(Key::Up, false);
    PushKey(Key::Right, true);
    PushKey(Key::Down, true);
    control.updateControls();
    v = player->_body->GetVelocity();
    EXPECT_FLOAT_EQ(v.x, 0.0f);
    EXPECT_NEAR(v.y, push, 1e-3);
}

// The frame tells the controller what its buttons and arrows may do: with spawning off (edit
// mode, a panel under the pointer) neither button spawns and a press is not reported; with
// steering off (no physics this frame) the arrows push nothing. The frame's values are kept for
// the touches and the preview.
TEST_F(ControlTest, TheFrameSaysWhetherButtonsSpawnAndArrowsPush) {
    struct Case {
        bool spawn, steer;
        int balls;       // after a frame with the left click and the right button held
        bool pushed;     // the held arrow moved the player
        bool unselected; // the same frame with no kind: reported as a press for nothing
    };
    const Case cases[] = {
        {true, true, 2, true, true},
        {false, true, 0, true, false},
        {true, false, 2, false, true},
        {false, false, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "spawn " << c.spawn << ", steer " << c.steer);
        ClearAllBodies();
        player = control.createPlayer(Vec2(450.0f, 300.0f));
        control.player = player;
        control.currentObject = 1;
        PushMouseMove(300, 200);
        clickLeft();
        PushMouseButton(2, true);
        PushKey(Key::Right, true);
        control.updateControls(c.spawn, c.steer);
        EXPECT_EQ(TBall::Count(), c.balls);
        EXPECT_EQ(player->_body->GetVelocity().x > 0.0f, c.pushed);
        EXPECT_EQ(control.spawning, c.spawn);
        EXPECT_EQ(control.steering, c.steer);

        control.currentObject = 0;
        clickLeft();
        control.updateControls(c.spawn, c.steer);
        EXPECT_EQ(control.pressedUnselected, c.unselected);
        PushMouseButton(2, false);
        PushKey(Key::Right, false);
        control.updateControls();
    }
}

TEST_F(ControlTest, DebugKeyTogglesTheView) {
    for (int press = 1; press <= 3; ++press) {
        tapKey(Key::D);
        control.updateControls();
        EXPECT_EQ(control.debugMode, press % 2 == 1 ? 1 : -1);
    }
    control.updateControls();
    EXPECT_EQ(control.debugMode, 1);
}

TEST_F(ControlTest, EscapeEndsTheProgramBeforeAnythingElseOfTheFrame) {
    SetEndProgramHandler(&throwOnEnd);
    PushKey(Key::Left, true);
    tapKey(Key::D);
    tapKey(DigitKey(1));
    tapKey(Key::Escape);
    EXPECT_THROW(control.updateControls(), EndedByEscape);
    EXPECT_EQ(control.debugMode, -1);
    EXPECT_EQ(control.currentObject, 0);
    EXPECT_FLOAT_EQ(player->_body->GetVelocity().x, 0.0f);
}

TEST_F(ControlTest, KindEightWithoutAStarHangsBetweenTwoFixedAnchors) {
    PushMouseMove(600, 300);
    tapKey(DigitKey(8));
    clickLeft();
    control.updateControls();
    ASSERT_EQ(TChain::Count(), 1);
    EXPECT_EQ(lastStarBody, nullptr);

    auto& chain = *TChain::liveList->First();
    EXPECT_EQ(chain._body.Count(), 11);
    EXPECT_EQ(chain._shape.Count(), 13); // two anchor circles, then the links
    const auto start = chain._joint.First()->GetBodyB();
    const auto end = chain._joint.Last()->GetBodyA();
    ASSERT_NE(start, nullptr);
    ASSERT_NE(end, nullptr);
    EXPECT_TRUE(std::isinf(start->GetMass()));
    EXPECT_TRUE(std::isinf(end->GetMass()));
    EXPECT_FLOAT_EQ(start->GetPosition().x, 600.0f + 112.0f);
    EXPECT_FLOAT_EQ(end->GetPosition().x, 600.0f - 28.0f);
}

TEST_F(ControlTest, KindEightTiesTheChainToTheNewestStar) {
    tapKey(DigitKey(3));
    PushMouseMove(300, 300);
    clickLeft();
    control.updateControls();
    PushMouseMove(700, 300);
    clickLeft();
    control.updateControls();
    ASSERT_EQ(TStar::Count(), 2);
    const auto newest = TStar::liveList->Last()->_body;

    tapKey(DigitKey(8));
    PushMouseMove(500, 200);
    clickLeft();
    control.updateControls();
    EXPECT_EQ(lastStarBody, newest);
    ASSERT_EQ(TChain::Count(), 1);
    auto& chain = *TChain::liveList->First();
    EXPECT_EQ(chain._joint.Last()->GetBodyA(), newest);
    EXPECT_EQ(chain._shape.Count(), 12); // only the start anchor has a circle
}

TEST_F(ControlTest, KindEightAfterTheOnlyStarLeftTheLevelMakesTwoFixedAnchors) {
    tapKey(DigitKey(3));
    PushMouseMove(300, 300);
    clickLeft();
    control.updateControls();
    tapKey(DigitKey(8));
    clickLeft();
    control.updateControls();
    ASSERT_NE(lastStarBody, nullptr);

    // The star leaves the level: the next pass removes it and frees its body.
    TStar::liveList->First()->_life = 0;
    TStar::UpdateAll();
    ASSERT_EQ(TStar::Count(), 0);

    clickLeft();
    control.updateControls();
    ASSERT_EQ(TChain::Count(), 2);
    auto& chain = *TChain::liveList->Last();
    const auto end = chain._joint.Last()->GetBodyA();
    ASSERT_NE(end, nullptr);
    EXPECT_TRUE(std::isinf(end->GetMass()));
    EXPECT_EQ(chain._shape.Count(), 13);
    EXPECT_EQ(lastStarBody, nullptr);

    // The space still steps with both chains in it.
    layer->spaceMap->DoStep(1.0f / 180.0f);
}

// The arrows are read and input goes on when there is no player squid to push, or it has no
// body (a controller set up by a tool, a squid made but not initialised).
TEST_F(ControlTest, WithoutAPlayerOrAPlayerBodyTheArrowsPushNothing) {
    auto bare = TSquid::Create();
    for (const std::shared_ptr<TSquid>& who : {std::shared_ptr<TSquid>(), bare}) {
        control.init(level, who);
        PushKey(Key::Left, true);
        PushKey(Key::Down, true);
        tapKey(DigitKey(1));
        clickLeft();
        control.updateControls();
        PushKey(Key::Left, false);
        PushKey(Key::Down, false);
    }
    EXPECT_EQ(TBall::Count(), 2);
    // The real player was not pushed.
    EXPECT_EQ(player->_body->GetVelocity().x, 0.0f);
    EXPECT_EQ(player->_body->GetVelocity().y, 0.0f);
}

TEST_F(ControlTest, StarSearchIgnoresEveryShapeButAStarsPolygons) {
    PushMouseMove(400, 300);
    select(2); // a cube: a polygon that belongs to no star
    clickLeft();
    control.updateControls();
    select(1);
    clickLeft();
    control.updateControls();

    auto& cube = *TCube::liveList->First();
    auto& ball = *TBall::liveList->First();
    EXPECT_EQ(TControl::getLastPolyObject(cube._shape.get(), nullptr), 0);
    EXPECT_EQ(TControl::getLastPolyObject(ball._shape.get(), nullptr), 0);
    EXPECT_EQ(TControl::getLastPolyObject(nullptr, nullptr), 0);
    EXPECT_EQ(lastStarBody, nullptr);

    // Meeting the older star's piece still takes the newest listed star.
    select(3);
    clickLeft();
    control.updateControls();
    clickLeft();
    control.updateControls();
    auto& older = *TStar::liveList->First();
    EXPECT_EQ(TControl::getLastPolyObject(older._upCornerShape.get(), nullptr), 0);
    EXPECT_EQ(lastStarBody, TStar::liveList->Last()->_body);

    // A later walk that meets no star keeps the body found before.
    const auto found = lastStarBody;
    TControl::getLastPolyObject(cube._shape.get(), nullptr);
    EXPECT_EQ(lastStarBody, found);
}

// The left button pressed on the player squid and dragged steers it as an arrow key held, until
// released; a press elsewhere steers nothing, and taking hold of the squid shows no hint about
// choosing a kind.
TEST_F(ControlTest, TheLeftButtonDraggedFromThePlayerSteersIt) {
    CPBody& body = *player->_body;
    const auto push = [&](auto&& act) {
        body.SetVelocity(ZeroVect);
        act();
        control.updateControls();
        return body.GetVelocity();
    };
    const CPVect key = push([] { PushKey(Key::Up, true); });
    PushKey(Key::Up, false);
    ASSERT_LT(key.y, 0.0f);
    const CPVect pressed = push([] {
        PushMouseMove(450, 300);
        PushMouseButton(1, true);
    });
    EXPECT_FLOAT_EQ(pressed.y, 0.0f);
    EXPECT_FALSE(control.pressedUnselected);
    EXPECT_FLOAT_EQ(push([] { PushMouseMove(452, 250); }).y, key.y);
    EXPECT_FLOAT_EQ(push([] { PushMouseMove(452, 250); }).y, key.y); // held still: still pushing
    EXPECT_FLOAT_EQ(push([] { PushMouseButton(1, false); }).y, 0.0f);
    // Pressed away from the squid and dragged: a click as ever, no steering.
    push([] {
        PushMouseMove(700, 600);
        PushMouseButton(1, true);
    });
    EXPECT_TRUE(control.pressedUnselected);
    const CPVect away = push([] { PushMouseMove(700, 500); });
    EXPECT_FLOAT_EQ(away.y, 0.0f);
    PushMouseButton(1, false);
    control.updateControls();
}
