#include "control/TSandbox.hpp"

#include <utility>

#include "media/Graphics.hpp"
#include "media/Input.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

void TSandbox::init(std::shared_ptr<TLevel> level) {
    level_ = std::move(level);
    paused = false;
    helpVisible = false;
    stepping = false;
    resetRequested = false;
    screenshotRequested = false;
    frames = 0;
    grab.Drop();
    grabButton_ = 0;
    leftWasDown_ = false;
}

bool TSandbox::ShiftHeld() {
    return KeyDown(kKeyShift) != 0;
}

CPVect TSandbox::pointerInWorld() const {
    // The same point a spawn would use: the pointer plus the scroll of the last frame.
    const TLayer& layer = *level_->_FGLayer;
    return Vec2(static_cast<float>(layer.ScrollX + MouseX()),
                static_cast<float>(layer.ScrollY + MouseY()));
}

void TSandbox::updateControls() {
    ++frames;
    // Every press counts, even several in one slow frame: two taps of P leave things as they
    // were, two of N step two frames (one a frame).
    if (KeyHits(kKeyP) % 2 != 0) {
        paused = !paused;
    }
    // Hits of N while running are read and dropped: a step only means something when paused.
    const int stepsAsked = KeyHits(kKeyN);
    pendingSteps_ = paused ? pendingSteps_ + stepsAsked : 0;
    stepping = pendingSteps_ > 0;
    if (stepping) {
        --pendingSteps_;
    }
    resetRequested = KeyHits(kKeyR) != 0;
    screenshotRequested = KeyHits(kKeyF12) != 0;
    // Both keys are read every frame so that neither keeps a stale hit for later.
    const bool f1 = KeyHits(kKeyF1) != 0;
    const bool h = KeyHits(kKeyH) != 0;
    if (f1 || h) {
        helpVisible = !helpVisible;
    }

    const bool middleHit = MouseHits(kButtonMiddle) != 0;
    const bool middleDown = MouseDown(kButtonMiddle) != 0;
    const bool leftDown = MouseDown(kButtonLeft) != 0;
    const bool leftPressed = leftDown && !leftWasDown_;
    leftWasDown_ = leftDown;

    if (grabButton_ != 0 && !grab.Check()) {
        grabButton_ = 0; // the body went away
    }
    if (grabButton_ != 0) {
        const bool held = grabButton_ == kButtonMiddle ? middleDown : leftDown;
        if (!held) {
            grab.Release();
            grabButton_ = 0;
        }
    }
    if (grabButton_ == 0) {
        int button = 0;
        if (middleHit && middleDown) {
            button = kButtonMiddle;
        } else if (leftPressed && ShiftHeld()) {
            button = kButtonLeft;
        }
        if (button != 0 && grab.Begin(level_->_FGLayer->spaceMap, pointerInWorld())) {
            grabButton_ = button;
        }
    }
    if (grabButton_ != 0) {
        if (Advances()) {
            grab.Follow(pointerInWorld());
        } else {
            grab.Hold(pointerInWorld());
        }
    }
}

void TSandbox::drawControl(int debugMode) {
    if (grabButton_ != 0 && !grab.Check()) {
        grabButton_ = 0;
    }
    if (debugMode != 1 || !grab.Active()) {
        return;
    }
    const TLayer& layer = *level_->_FGLayer;
    SetOrigin(static_cast<float>(-layer.ScrollX), static_cast<float>(-layer.ScrollY));
    grab.DrawLine();
    SetOrigin(0.0f, 0.0f);
}
