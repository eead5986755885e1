#include "control/TSandbox.hpp"

#include <utility>

#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

void TSandbox::init(std::shared_ptr<TLevel> level) {
    level_ = std::move(level);
    paused = false;
    helpVisible = false;
    stepping = false;
    resetRequested = false;
    screenshotRequested = false;
    saveSceneRequested = false;
    frames = 0;
    grab.Drop();
    grabButton_ = MouseButton::None;
    leftWasDown_ = false;
}

bool TSandbox::ShiftHeld() {
    return KeyDown(Key::Shift) != 0;
}

CPVect TSandbox::pointerInWorld() const {
    // The same point a spawn would use: the pointer plus the scroll of the last frame.
    const TLayer& layer = *level_->_FGLayer;
    return layer.WorldAt(MouseX(), MouseY());
}

void TSandbox::updateControls(bool otherPanelOpen) {
    if (otherPanelOpen) {
        helpVisible = false;
    }
    ++frames;
    // Every press counts, even several in one slow frame: two taps of P leave things as they
    // were, two of N step two frames (one a frame).
    if (KeyHits(Key::P) % 2 != 0) {
        paused = !paused;
    }
    // Hits of N while running are read and dropped: a step only means something when paused.
    const int stepsAsked = KeyHits(Key::N);
    pendingSteps_ = paused ? pendingSteps_ + stepsAsked : 0;
    stepping = pendingSteps_ > 0;
    if (stepping) {
        --pendingSteps_;
    }
    resetRequested = KeyHits(Key::R) != 0;
    screenshotRequested = KeyHits(Key::F12) != 0;
    // A chord typed quickly (or replayed) may begin and end between two frames: its press was
    // made with Ctrl held even though neither key is held any more.
    const bool sHit = KeyHits(LetterKey('S')) != 0;
    saveSceneRequested =
        KeyHitsWithControl(LetterKey('S')) != 0 || (sHit && KeyDown(Key::Control) != 0);
    // Both keys are read every frame so that neither keeps a stale hit for later.
    const bool f1 = KeyHits(Key::F1) != 0;
    const bool h = KeyHits(Key::H) != 0;
    if (f1 || h) {
        helpVisible = !helpVisible;
    }

    const bool middleHit = MouseHits(MouseButton::Middle) != 0;
    const bool middleDown = MouseDown(MouseButton::Middle) != 0;
    const bool leftDown = MouseDown(MouseButton::Left) != 0;
    const bool leftPressed = leftDown && !leftWasDown_;
    leftWasDown_ = leftDown;

    if (grabButton_ != MouseButton::None && !grab.Check()) {
        grabButton_ = MouseButton::None; // the body went away
    }
    if (grabButton_ != MouseButton::None) {
        const bool held = grabButton_ == MouseButton::Middle ? middleDown : leftDown;
        if (!held) {
            grab.Release();
            grabButton_ = MouseButton::None;
        }
    }
    if (grabButton_ == MouseButton::None) {
        MouseButton button = MouseButton::None;
        if (middleHit && middleDown) {
            button = MouseButton::Middle;
        } else if (leftPressed && ShiftHeld()) {
            button = MouseButton::Left;
        }
        if (button != MouseButton::None &&
            grab.Begin(level_->_FGLayer->spaceMap, pointerInWorld())) {
            grabButton_ = button;
        }
    }
    if (grabButton_ != MouseButton::None) {
        if (Advances()) {
            grab.Follow(pointerInWorld());
        } else {
            grab.Hold(pointerInWorld());
        }
    }
}

void TSandbox::drawControl(int debugMode) {
    if (grabButton_ != MouseButton::None && !grab.Check()) {
        grabButton_ = MouseButton::None;
    }
    if (debugMode != 1 || !grab.Active()) {
        return;
    }
    const TLayer& layer = *level_->_FGLayer;
    layer.BeginView();
    grab.DrawLine();
    TLayer::EndView();
}
