#include "control/TTouch.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

void TTouch::init(std::shared_ptr<TLevel> level) {
    level_ = std::move(level);
    DropAll();
}

int TTouch::restingFinger(int slot) const {
    for (int other = 0; other < FingerSlots; ++other) {
        if (other != slot && fingers_[other].mode == Mode::Spawn && FingerDown(other) != 0) {
            return other;
        }
    }
    return -1;
}

namespace {
double Spread(int a, int b) {
    return std::hypot(static_cast<double>(FingerX(a) - FingerX(b)),
                      static_cast<double>(FingerY(a) - FingerY(b)));
}
double MidX(int a, int b) {
    return (static_cast<double>(FingerX(a)) + static_cast<double>(FingerX(b))) / 2.0;
}
double MidY(int a, int b) {
    return (static_cast<double>(FingerY(a)) + static_cast<double>(FingerY(b))) / 2.0;
}
} // namespace

void TTouch::beginPinch(int a, int b) {
    pinchA_ = a;
    pinchB_ = b;
    fingers_[a].mode = Mode::View;
    fingers_[b].mode = Mode::View;
    pinchSpread_ = std::max(Spread(a, b), 1.0);
    pinchStep_ = level_->ZoomStep();
    pinchWorld_ = level_->_FGLayer->WorldAt(MidX(a, b), MidY(a, b));
}

void TTouch::updatePinch() {
    if (pinchA_ < 0) {
        return;
    }
    const int a = pinchA_, b = pinchB_;
    if (FingerDown(a) == 0 || FingerDown(b) == 0 || fingers_[a].mode != Mode::View ||
        fingers_[b].mode != Mode::View) {
        // The finger left behind does nothing more until it is lifted.
        for (int slot : {a, b}) {
            if (fingers_[slot].mode == Mode::View) {
                fingers_[slot].mode = Mode::None;
            }
        }
        pinchA_ = pinchB_ = -1;
        return;
    }
    const double octaves = std::log2(std::max(Spread(a, b), 1.0) / pinchSpread_);
    const int step = pinchStep_ + static_cast<int>(std::lround(octaves * 4.0));
    level_->PlaceAt(step, pinchWorld_, MidX(a, b), MidY(a, b));
}

void TTouch::DropAll() {
    pinchA_ = pinchB_ = -1;
    for (Finger& f : fingers_) {
        f.grab.Drop();
        f.steer.End();
        f.mode = Mode::None;
        f.frames = 0;
    }
}

bool TTouch::cancelPainting() {
    bool painting = false;
    for (Finger& f : fingers_) {
        if (f.mode == Mode::Paint) {
            f.mode = Mode::None;
            painting = true;
        }
    }
    return painting;
}

bool TTouch::otherFingerDown(int slot) const {
    for (int other = 0; other < FingerSlots; ++other) {
        if (other != slot && fingers_[other].mode != Mode::None && FingerDown(other) != 0) {
            return true;
        }
    }
    return false;
}

int TTouch::Grabs() const {
    int n = 0;
    for (const Finger& f : fingers_) {
        n += f.mode == Mode::Grab && f.grab.Active() ? 1 : 0;
    }
    return n;
}

void TTouch::update(TControl& control, bool advances, TEditor* editor) {
    const TLayer& layer = *level_->_FGLayer;
    // In edit mode fingers do not spawn: the buttons' spawning is off, and so is theirs.
    const int kind = control.spawning ? control.currentObject : 0;
    const bool editing = editor != nullptr && editor->active;
    for (int slot = 0; slot < FingerSlots; ++slot) {
        Finger& f = fingers_[slot];
        // Landings and lifts are read every frame so that none is kept for a later finger.
        const int landings = FingerLandings(slot);
        FingerLifts(slot);
        const bool down = FingerDown(slot) != 0;
        // The same point a click would use: the finger plus the scroll of the last frame.
        const CPVect p = layer.WorldAt(FingerX(slot), FingerY(slot));
        if (f.mode == Mode::Grab && !f.grab.Check()) {
            f.mode = Mode::None; // the body went away
        }
        if (landings > 0) {
            // A new finger in the slot: whatever the last one did is over.
            if (f.mode == Mode::Grab) {
                f.grab.Release();
            }
            f.mode = Mode::Spawn;
            f.frames = 0;
            f.steer.End();
            CPVect squid = ZeroVect;
            const CPVect onScreen =
                Vec2(static_cast<float>(FingerX(slot)), static_cast<float>(FingerY(slot)));
            // In edit mode one finger paints; one that comes while another is down grabs.
            const bool paints = editing && !otherFingerDown(slot);
            const int resting = editing || pinchA_ >= 0 ? -1 : restingFinger(slot);
            if (editing && !paints && cancelPainting()) {
                // Two fingers are a grab: the first one's stroke was the start of it, not a
                // stroke, and its cells go back.
                editor->CancelStroke();
            }
            if (resting >= 0 && !f.grab.Begin(layer.spaceMap, p)) {
                beginPinch(resting, slot);
            } else if (resting >= 0) {
                f.mode = Mode::Grab; // on a body: grabbed, as a lone finger would
            } else if (paints) {
                f.mode = Mode::Paint;
                editor->FingerPaint(FingerX(slot), FingerY(slot), true, down);
            } else if (control.spawning && control.playerOnScreen(squid) &&
                       f.steer.Begin(onScreen, squid)) {
                f.mode = Mode::Steer;
            } else if (f.grab.Begin(layer.spaceMap, p)) {
                f.mode = Mode::Grab;
            } else if (kind >= 1 && kind <= 8) {
                control.spawnAt(kind, p);
            } else if (control.spawning) {
                control.pressedUnselected = true;
            }
        }
        if (f.mode == Mode::Paint) {
            if (landings == 0 && editor != nullptr) {
                editor->FingerPaint(FingerX(slot), FingerY(slot), false, down && editing);
            }
            if (!down || !editing) {
                f.mode = Mode::None;
            }
        } else if (f.mode == Mode::Steer) {
            if (!down) {
                f.steer.End();
                f.mode = Mode::None;
            } else {
                f.steer.Move(
                    Vec2(static_cast<float>(FingerX(slot)), static_cast<float>(FingerY(slot))));
                control.steerAlso(f.steer.X(), f.steer.Y());
            }
        } else if (f.mode == Mode::Grab) {
            if (!down) {
                f.grab.Release();
                f.mode = Mode::None;
            } else if (advances) {
                f.grab.Follow(p);
            } else {
                f.grab.Hold(p);
            }
        } else if (f.mode == Mode::Spawn) {
            // A finger resting on empty space is the held right button: the kinds that stream.
            if (!down) {
                f.mode = Mode::None;
            } else if (++f.frames > kHoldFrames && kind >= 1 && kind <= 5) {
                control.spawnAt(kind, p);
            }
        }
    }
    updatePinch();
}
