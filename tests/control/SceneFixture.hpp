#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "bodies/ClearAllBodies.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

// A small scene for controller, debug view and overlay tests: an offscreen 1024 x 768 target at
// 60 Hz on a manual clock, the shared images, and a level whose foreground layer is an empty
// physics space without gravity (bodies stay where they are made until a test steps them), a
// 3200 x 768 level size and the player squid at (450, 300). Everything global is put back in
// TearDown so that the cases also pass when the whole binary runs in one process.
class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetClock(&clock);
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        InitMedia();
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
        RegisterResources();
        SetAutoCenterHandle(true);
        LoadSharedAssets();
        InitPhysics();
        StartPhysics();
        FlushInput();

        level = std::make_shared<TLevel>();
        layer = std::make_shared<TLayer>();
        layer->spaceMap = CPSpace::Create();
        layer->maxLevelW = 3200;
        layer->maxLevelH = 768;
        level->_FGLayer = layer;

        player = TSquid::Create();
        player->Init(layer, Vec2(450.0f, 300.0f), 14, 12.0f, 0.85f, 100, 0.0f, 0.1f);
        control.init(level, player);
    }

    void TearDown() override {
        ClearAllBodies();
        lastStarBody.reset();
        FlushInput();
        SetEndProgramHandler(nullptr);
        SetDrawRecording(nullptr);
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
        SetAutoCenterHandle(false);
        SetClock(nullptr);
    }

    // Presses and releases a key within one frame: one hit, not held afterwards.
    static void tapKey(Key key) {
        PushKey(key, true);
        PushKey(key, false);
    }
    static void clickLeft() {
        PushMouseButton(1, true);
        PushMouseButton(1, false);
    }
    // Selects a kind with its main-keyboard digit and runs the frame's input handling.
    void select(int kind) {
        tapKey(DigitKey(kind));
        control.updateControls();
    }

    ManualClock clock{0};
    std::shared_ptr<TLevel> level;
    std::shared_ptr<TLayer> layer;
    std::shared_ptr<TSquid> player;
    TControl control;
};
