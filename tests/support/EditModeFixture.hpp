#pragma once

#include <gtest/gtest.h>

#include "control/TSandbox.hpp"
#include "media/input/ScriptedInput.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

// Edit mode's tools driven by input as a user drives them: the program starts paused, so what
// is made stays where it was made, with edit mode on. Points are world pixels under this
// frame's scroll.
class EditModeFixture : public GameFixture {
  protected:
    EditModeFixture() : GameFixture(5000) {}

    void SetUp() override {
        GameFixture::SetUp();
        tap(Key::P);
        tap(Key::E);
        updateGame();
        ASSERT_TRUE(sandbox->paused);
    }

    // A key pressed and let go within the next frame's input (no frame runs).
    static void tap(Key key) {
        PushKey(key, true);
        PushKey(key, false);
    }
    // The same with Control held.
    static void ctrlTap(Key key) {
        PushKey(Key::Control, true);
        tap(key);
        PushKey(Key::Control, false);
    }
    static TLayer& fg() { return *level->_FGLayer; }
    static void pointAt(float x, float y) {
        PushMouseMove(static_cast<int>(x) - fg().ScrollX, static_cast<int>(y) - fg().ScrollY);
    }
    // A drag from (x0, y0) to (x1, y1) over a few frames, the button let go at the end.
    static void drag(float x0, float y0, float x1, float y1) {
        pointAt(x0, y0);
        PushMouseButton(1, true);
        updateGame();
        for (int i = 1; i <= 3; ++i) {
            const float t = static_cast<float>(i) / 3.0f;
            pointAt(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t);
            updateGame();
        }
        PushMouseButton(1, false);
        updateGame();
    }
    // A click at (x, y) and the frame that takes it.
    static void clickAt(float x, float y) {
        pointAt(x, y);
        PushMouseButton(1, true);
        PushMouseButton(1, false);
        updateGame();
    }
};
