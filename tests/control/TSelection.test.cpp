#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "control/SceneBodies.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "support/EditModeFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

// Select (Q) in edit mode, driven by input as a user drives it, with the physics paused so that
// every capture of the scene is exact.
class SelectionTest : public EditModeFixture {
  protected:
    void SetUp() override {
        EditModeFixture::SetUp();
        tap(LetterKey('Q'));
        updateGame();
        ASSERT_EQ(editor->tool, TEditor::Tool::Select);
    }

    // The pointer over world point p under this frame's scroll.
    static void pointAt(CPVect p) {
        PushMouseMove(static_cast<int>(p.x) - fg().ScrollX, static_cast<int>(p.y) - fg().ScrollY);
    }
    static void clickAt(CPVect p) {
        pointAt(p);
        PushMouseButton(1, true);
        PushMouseButton(1, false);
    }
    // The whole scene as its file would hold it.
    static std::string scene() {
        return SceneFormat::Write(SceneBodies::Capture(*level, *control, *sandbox, *gameSettings));
    }
    static CPVect at(CPVect p, float dx, float dy) { return Vec2(p.x + dx, p.y + dy); }
};

// Open air over the level's first plateau, in world pixels.
constexpr CPVect kBallAt = Vec2(300.0f, 150.0f);
constexpr CPVect kCubeAt = Vec2(380.0f, 150.0f);

TEST_F(SelectionTest, AClickPicksTheBodyUnderThePointerOfAnyKind) {
    control->spawnAt(1, kBallAt);
    control->spawnAt(2, kCubeAt);
    control->spawnAt(3, Vec2(460.0f, 150.0f));
    control->spawnAt(4, Vec2(540.0f, 150.0f));
    control->spawnAt(5, Vec2(620.0f, 90.0f));
    struct Pick {
        const char* what;
        CPVect where;
        SceneFormat::Kind kind;
        bool picked;
    };
    const Pick picks[] = {
        {"ball", kBallAt, SceneFormat::Kind::Ball, true},
        {"cube, off its centre", at(kCubeAt, 8, -8), SceneFormat::Kind::Cube, true},
        {"star", Vec2(460.0f, 150.0f), SceneFormat::Kind::Star, true},
        {"squid", Vec2(540.0f, 150.0f), SceneFormat::Kind::Squid, true},
        {"empty air drops the selection", Vec2(300.0f, 100.0f), SceneFormat::Kind::Ball, false},
    };
    for (const Pick& p : picks) {
        clickAt(p.where);
        updateGame();
        TBodySteps::Found found;
        ASSERT_EQ(editor->Selection().Selected(found), p.picked) << p.what;
        if (p.picked) {
            EXPECT_EQ(found.kind, p.kind) << p.what;
        }
    }
    // A chain's link picks the chain as a whole.
    std::shared_ptr<CPBody> link = TChain::liveList->First()->_body.Last();
    clickAt(link->GetPosition());
    updateGame();
    TBodySteps::Found found;
    ASSERT_TRUE(editor->Selection().Selected(found));
    EXPECT_EQ(found.kind, SceneFormat::Kind::Chain);
    // Escape drops the selection first, and edit mode stays.
    tap(Key::Escape);
    updateGame();
    EXPECT_FALSE(editor->Selection().Selected(found));
    EXPECT_TRUE(editor->active);
}

// Each action is one step: undone, the scene is as before it; redone, as after it.
TEST_F(SelectionTest, EachActionUndoneAndRedoneGivesBackTheSameScene) {
    struct Action {
        const char* what;
        std::function<void()> input;
        int ballsAfter, cubesAfter;
    };
    const Action actions[] = {
        {"move by a drag",
         [] {
             pointAt(kBallAt);
             PushMouseButton(1, true);
             updateGame();
             pointAt(at(kBallAt, 30, -20));
             updateGame();
             pointAt(at(kBallAt, 60, -40));
             PushMouseButton(1, false);
         },
         1, 1},
        {"turn with ]",
         [] {
             clickAt(kCubeAt);
             updateGame();
             tap(Key::BracketRight);
         },
         1, 1},
        {"turn with the wheel",
         [] {
             clickAt(kCubeAt);
             updateGame();
             PushMouseWheel(-2);
         },
         1, 1},
        {"delete",
         [] {
             clickAt(kCubeAt);
             updateGame();
             tap(Key::Delete);
         },
         1, 0},
        {"duplicate at the pointer",
         [] {
             clickAt(kBallAt);
             updateGame();
             pointAt(Vec2(200.0f, 250.0f));
             ctrlTap(Key::D);
         },
         2, 1},
        {"copy, then paste",
         [] {
             clickAt(kCubeAt);
             updateGame();
             ctrlTap(LetterKey('C'));
             updateGame();
             pointAt(Vec2(200.0f, 250.0f));
             ctrlTap(LetterKey('V'));
         },
         1, 2},
    };
    for (const Action& a : actions) {
        ClearAllBodies();
        control->spawnAt(1, kBallAt);
        control->spawnAt(2, kCubeAt);
        updateGame();
        const int stepsBefore = editor->UndoSteps();
        const std::string before = scene();
        a.input();
        updateGame();
        const std::string after = scene();
        EXPECT_NE(after, before) << a.what;
        EXPECT_EQ(TBall::Count(), a.ballsAfter) << a.what;
        EXPECT_EQ(TCube::Count(), a.cubesAfter) << a.what;
        EXPECT_EQ(editor->UndoSteps(), stepsBefore + 1) << a.what << ": one step";
        ctrlTap(LetterKey('Z'));
        updateGame();
        EXPECT_EQ(scene(), before) << a.what << " undone";
        ctrlTap(LetterKey('Y'));
        updateGame();
        EXPECT_EQ(scene(), after) << a.what << " redone";
        ctrlTap(LetterKey('Z'));
        updateGame();
        EXPECT_EQ(scene(), before) << a.what << " undone again";
    }
}

TEST_F(SelectionTest, CtrlDNeitherTogglesTheDebugViewNorChoosesATool) {
    const int debug = control->debugMode;
    control->spawnAt(1, kBallAt);
    clickAt(kBallAt);
    updateGame();
    pointAt(Vec2(200.0f, 250.0f));
    ctrlTap(Key::D);
    ctrlTap(LetterKey('C'));
    ctrlTap(LetterKey('V'));
    updateGame();
    EXPECT_EQ(control->debugMode, debug);
    EXPECT_EQ(editor->tool, TEditor::Tool::Select);
    EXPECT_EQ(TBall::Count(), 3);
}

TEST_F(SelectionTest, AMovedBodyKeepsNoSpeedWhileTheWorldRuns) {
    tap(Key::P); // the physics runs again
    updateGame();
    ASSERT_FALSE(sandbox->paused);
    control->spawnAt(2, kCubeAt);
    updateGame();
    const std::shared_ptr<CPBody> cube = TCube::liveList->First()->_body;
    pointAt(cube->GetPosition());
    PushMouseButton(1, true);
    updateGame();
    for (int i = 1; i <= 10; ++i) {
        pointAt(at(cube->GetPosition(), 12, -6));
        updateGame();
    }
    EXPECT_GT(cube->GetVelocity().x, 50.0f) << "it follows the pointer as a grab does";
    PushMouseButton(1, false);
    updateGame();
    const CPExactState s = cube->GetExactState();
    EXPECT_LT(std::abs(s.vx), 30.0) << "let go, it keeps no speed but one step of gravity";
    EXPECT_LT(std::abs(s.angularVelocity), 1.0);
}

TEST_F(SelectionTest, ThePlayerIsNeverDeleted) {
    CPVect p = player->_body->GetPosition();
    clickAt(p);
    updateGame();
    TBodySteps::Found found;
    ASSERT_TRUE(editor->Selection().Selected(found));
    const int steps = editor->UndoSteps();
    tap(Key::Delete);
    updateGame();
    EXPECT_FALSE(player->IsRemoved());
    EXPECT_EQ(editor->UndoSteps(), steps);
}

} // namespace
