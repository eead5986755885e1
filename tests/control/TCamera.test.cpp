#include "control/TCamera.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "app/Game.hpp"
#include "bodies/TBall.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

// The real program's frames with the camera's keys, mouse and the tools under a zoom.
class CameraTest : public GameFixture {
  protected:
    CameraTest() : GameFixture(1000) {}
    void tap(Key key) {
        PushKey(key, true);
        PushKey(key, false);
        updateGame();
    }
    // The world point under picture point (x, y), worked out from the scroll and the zoom here
    // rather than asked of the layer.
    CPVect under(int x, int y) const {
        const TLayer& fg = *level->_FGLayer;
        return Vec2(static_cast<float>(fg.ScrollX + x / static_cast<double>(fg.Zoom)),
                    static_cast<float>(fg.ScrollY + y / static_cast<double>(fg.Zoom)));
    }
};

// + and - on the main row and the keypad, and the wheel with Ctrl, zoom a step a press or a
// notch around the pointer; the wheel alone leaves the zoom to edit mode's palette.
TEST_F(CameraTest, KeysAndCtrlWheelZoomAroundThePointer) {
    PushMouseMove(300, 200);
    updateGame();
    struct Case {
        Key key;
        int wheel;
        int step;
    };
    for (const Case& c :
         {Case{Key::Plus, 0, 1}, Case{Key::KeypadPlus, 0, 2}, Case{Key::Minus, 0, 1},
          Case{Key::KeypadMinus, 0, 0}, Case{Key::Control, 3, 3}, Case{Key::Control, -3, 0},
          Case{Key::Shift, 2, 0}}) {
        SCOPED_TRACE(c.step);
        const CPVect before = under(300, 200);
        if (c.wheel == 0) {
            tap(c.key);
        } else {
            PushKey(c.key, true);
            PushMouseWheel(c.wheel);
            updateGame();
            PushKey(c.key, false);
        }
        EXPECT_EQ(level->ZoomStep(), c.step);
        const CPVect after = under(300, 200);
        EXPECT_NEAR(after.x, before.x, 1.0);
        EXPECT_NEAR(after.y, before.y, 1.0);
    }
}

// Space held with the left button drags the view without dropping anything; the view then
// stays until F (or R) follows the player again.
TEST_F(CameraTest, SpaceDragPansWithoutSpawningAndFFollowsAgain) {
    tap(DigitKey(1)); // balls chosen: a plain click would drop one
    PushMouseMove(512, 384);
    tap(Key::Plus);
    tap(Key::Plus);
    tap(Key::Plus);
    tap(Key::Plus); // zoom 2
    const int x0 = level->_FGLayer->ScrollX;
    PushKey(Key::Space, true);
    PushMouseMove(600, 300);
    PushMouseButton(1, true);
    updateGame();
    PushMouseMove(400, 200);
    updateGame();
    PushMouseButton(1, false);
    PushKey(Key::Space, false);
    updateGame();
    EXPECT_EQ(TBall::Count(), 0);
    EXPECT_FALSE(level->Following());
    EXPECT_EQ(level->_FGLayer->ScrollX, x0 + 100); // 200 picture pixels at zoom 2
    for (int i = 0; i < 10; ++i) {
        updateGame();
    }
    EXPECT_EQ(level->_FGLayer->ScrollX, x0 + 100);
    tap(LetterKey('F'));
    EXPECT_TRUE(level->Following());
    level->PanTo(0, 0);
    tap(Key::R);
    EXPECT_TRUE(level->Following());
    EXPECT_EQ(level->ZoomStep(), 4); // R starts over at the zoom the user chose
}

// A spawn, a grab and a paint at zooms 1/2, 2 and 3.36 each land on the world point under the
// pointer.
TEST_F(CameraTest, SpawnGrabAndPaintLandUnderThePointerAtEveryZoom) {
    tap(Key::P); // paused: what is dropped stays where it landed
    struct Case {
        int step;
        int x, y;
    };
    for (const Case& c : {Case{-4, 500, 300}, Case{4, 333, 111}, Case{7, 900, 60}}) {
        SCOPED_TRACE(c.step);
        level->SetCamera(c.step, 300, 20, false);
        const CPVect want = under(c.x, c.y);

        tap(DigitKey(1));
        PushMouseMove(c.x, c.y);
        PushMouseButton(1, true);
        PushMouseButton(1, false);
        updateGame();
        ASSERT_EQ(TBall::Count(), 1);
        const CPVect ball = TBall::liveList->First()->_body->GetPosition();
        EXPECT_NEAR(ball.x, want.x, 0.01);
        EXPECT_NEAR(ball.y, want.y, 0.01);

        // Shift and the left button grab the body under the pointer.
        PushKey(Key::Shift, true);
        PushMouseButton(1, true);
        updateGame();
        EXPECT_TRUE(sandbox->grab.Active());
        EXPECT_EQ(sandbox->grab.Body(), TBall::liveList->First()->_body.get());
        PushMouseButton(1, false);
        PushKey(Key::Shift, false);
        updateGame();
        tap(Key::R);
        sandbox->paused = true;
        level->SetCamera(c.step, 300, 20, false);

        // Edit mode paints the cell under the pointer.
        tap(Key::E);
        const int column = static_cast<int>(std::floor(want.x / 24.0f));
        const int row = static_cast<int>(std::floor(want.y / 24.0f));
        const TLayer& fg = *level->_FGLayer;
        ASSERT_TRUE(column >= 0 && column + 1 < fg.MapW && row >= 0 && row + 1 < fg.MapH);
        ASSERT_EQ(GridCell(fg.MapData, row, column), 0);
        PushMouseButton(1, true);
        updateGame();
        PushMouseButton(1, false);
        updateGame();
        EXPECT_NE(GridCell(fg.MapData, row, column), 0);
        EXPECT_EQ(GridCell(fg.MapData, row, column + 1), 0);
        EXPECT_EQ(GridCell(fg.MapData, row + 1, column), 0);
        tap(Key::Home); // the level as it loaded
        tap(Key::E);
        EXPECT_EQ(GridCell(fg.MapData, row, column), 0);
    }
}

} // namespace
