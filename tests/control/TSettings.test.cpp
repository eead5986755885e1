#include "control/TSettings.hpp"

#include <cmath>

#include "control/SceneFixture.hpp"
#include "physics/CPSpace.hpp"

namespace {

class SettingsTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        level->Init(3);
        layer->spaceMap->SetGravity(Vec2(0.0f, 600.0f));
        settings.init(level);
    }
    // The pointer on a row's button (-1 minus, +1 plus) and one left click there.
    void click(int row, int sign) {
        const float x = (sign < 0 ? TSettings::MinusX() : TSettings::PlusX()) + 5.0f;
        PushMouseMove(static_cast<int>(x), static_cast<int>(TSettings::RowY(row) + 8.0f));
        clickLeft();
        settings.updateControls();
    }
    TSettings settings;
};

} // namespace

TEST_F(SettingsTest, KeysAndClicksChangeTheLevelAndResetGoesBack) {
    tapKey(Key::Right); // closed: the arrows are the player's
    settings.updateControls();
    EXPECT_EQ(settings.gravity, 600);
    tapKey(LetterKey('G'));
    tapKey(Key::Right);
    tapKey(Key::Right);
    settings.updateControls();
    EXPECT_TRUE(settings.open);
    EXPECT_EQ(layer->spaceMap->GetGravity().y, 800.0f);

    click(TSettings::Iterations, -1);
    EXPECT_EQ(layer->spaceMap->GetIterations(), 9);
    click(TSettings::SubSteps, +1);
    EXPECT_EQ(level->_steps, 4);
    EXPECT_FLOAT_EQ(level->_dt, 0.016666668f / 4.0f);
    tapKey(Key::Down);
    tapKey(Key::Down); // from sub-steps (the clicked row) to the time scale
    tapKey(Key::Left);
    settings.updateControls();
    EXPECT_EQ(settings.scale, TSettings::kFullSpeed - 1);
    click(TSettings::Sleeping, +1);
    EXPECT_EQ(layer->spaceMap->GetSleepTime(), TSettings::kSleepSeconds);
    EXPECT_TRUE(settings.PointerOverPanel());

    tapKey(Key::Down);
    tapKey(Key::Down);
    tapKey(Key::Right); // on the reset row
    settings.updateControls();
    EXPECT_TRUE(settings.AtDefaults());
    EXPECT_EQ(layer->spaceMap->GetGravity().y, 600.0f);
    EXPECT_EQ(layer->spaceMap->GetIterations(), 10);
    EXPECT_EQ(level->_steps, 3);
    EXPECT_TRUE(std::isinf(layer->spaceMap->GetSleepTime()));

    // A click away from the panel is left for the controller to drop a body with.
    PushMouseMove(100, 400);
    clickLeft();
    settings.updateControls();
    EXPECT_FALSE(settings.PointerOverPanel());
    EXPECT_EQ(MouseHits(MouseButton::Left), 1);
}

// Physics frames per displayed frame over eight frames at each time scale: the fractions
// carry over, so every scale runs exactly its share.
TEST_F(SettingsTest, TimeScalesRunTheirShareOfPhysicsFrames) {
    const int perEightFrames[TSettings::kScaleCount][8] = {
        {0, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 1, 0, 0, 0, 1}, {0, 1, 0, 1, 0, 1, 0, 1},
        {1, 1, 1, 1, 1, 1, 1, 1}, {2, 2, 2, 2, 2, 2, 2, 2}, {4, 4, 4, 4, 4, 4, 4, 4},
    };
    for (int scale = 0; scale < TSettings::kScaleCount; ++scale) {
        settings.init(level);
        settings.scale = scale;
        for (int frame = 0; frame < 8; ++frame) {
            EXPECT_EQ(settings.PhysicsFrames(), perEightFrames[scale][frame])
                << "scale " << scale << " frame " << frame;
        }
    }
}

// The broad phase row sits below the reset row (older recordings count arrow presses to reach
// theirs); it swaps the level's hash for the library's tree and back, and reset and the scene's
// Set bring the level's hash back.
TEST_F(SettingsTest, BroadPhaseRowSwapsTheIndexAndResetBringsTheHashBack) {
    layer->spaceMap->ResizeStaticHash(10.0f, 2000);
    settings.init(level);
    EXPECT_FALSE(settings.tree);
    EXPECT_STREQ(TSettings::RowName(TSettings::BroadPhase), "Broad phase");
    EXPECT_STREQ(settings.ValueText(TSettings::BroadPhase), "hash");
    tapKey(LetterKey('G'));
    for (int i = 0; i < TSettings::RowCount + 2; ++i) {
        tapKey(Key::Down); // the last row, however many presses
    }
    tapKey(Key::Right);
    settings.updateControls();
    EXPECT_EQ(settings.selected, TSettings::BroadPhase);
    EXPECT_TRUE(settings.tree);
    EXPECT_STREQ(settings.ValueText(TSettings::BroadPhase), "tree");
    EXPECT_EQ(layer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Tree);
    EXPECT_FALSE(settings.AtDefaults());

    click(TSettings::BroadPhase, -1); // either button turns it over
    EXPECT_EQ(layer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Hash);
    click(TSettings::BroadPhase, +1);
    EXPECT_EQ(layer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Tree);

    tapKey(Key::Up);
    tapKey(Key::Right); // the reset row
    settings.updateControls();
    EXPECT_TRUE(settings.AtDefaults());
    EXPECT_EQ(layer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Hash);

    settings.Set(600, 10, 3, false, TSettings::kFullSpeed, true);
    EXPECT_EQ(layer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Tree);
    settings.ResetToDefaults();
    EXPECT_EQ(layer->spaceMap->GetBroadPhase(), CPSpace::BroadPhase::Hash);
}
