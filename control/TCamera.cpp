#include "control/TCamera.hpp"

#include <cmath>
#include <utility>

#include "media/Graphics.hpp"
#include "media/input/Input.hpp"

void TCamera::init(std::shared_ptr<TLevel> level) {
    level_ = std::move(level);
    panning_ = false;
}

bool TCamera::SpaceHeld() {
    return KeyDown(Key::Space) != 0;
}

void TCamera::updateControls() {
    // Every key is read every frame, so that none keeps a stale hit for a later frame.
    const int in = KeyHits(Key::Plus) + KeyHits(Key::KeypadPlus);
    const int out = KeyHits(Key::Minus) + KeyHits(Key::KeypadMinus);
    const bool follow = KeyHits(LetterKey('F')) != 0;
    const int wheel = KeyDown(Key::Control) != 0 ? MouseWheel() : 0;
    if (!level_ || !level_->_FGLayer) {
        return;
    }
    if (wheel != 0) {
        level_->ZoomAt(wheel, MouseX(), MouseY());
    }
    if (in != out) {
        // Before the mouse ever moved (a phone, whose fingers are no mouse, pressing the page's
        // buttons) the pointer stands at the corner: the keys then zoom around the middle.
        const bool noMouse = MouseX() == 0 && MouseY() == 0;
        level_->ZoomAt(in - out, noMouse ? GraphicsWidth() / 2 : MouseX(),
                       noMouse ? GraphicsHeight() / 2 : MouseY());
    }
    if (follow) {
        level_->FollowAgain();
    }

    const bool space = SpaceHeld();
    const bool pressed = space && MouseHits(MouseButton::Left) != 0;
    const bool held = MouseDown(MouseButton::Left) != 0;
    if (!held || (!space && !panning_)) {
        panning_ = false;
    }
    const TLayer& fg = *level_->_FGLayer;
    if (pressed) {
        panning_ = true;
        MousePressPoint(static_cast<int>(MouseButton::Left), startX_, startY_);
        startScrollX_ = fg.ScrollX;
        startScrollY_ = fg.ScrollY;
    }
    if (panning_) {
        // The world point grabbed stays under the pointer (within the level's limits).
        const double z = static_cast<double>(fg.Zoom);
        const auto dx = static_cast<double>(MouseX() - startX_) / z;
        const auto dy = static_cast<double>(MouseY() - startY_) / z;
        level_->PanTo(startScrollX_ - static_cast<int>(std::lround(dx)),
                      startScrollY_ - static_cast<int>(std::lround(dy)));
    }
}
