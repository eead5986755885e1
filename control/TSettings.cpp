#include "control/TSettings.hpp"

#include <cmath>
#include <cstdio>
#include <utility>

#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

int clamp(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

void TSettings::init(std::shared_ptr<TLevel> level) {
    level_ = std::move(level);
    open = false;
    selected = Gravity;
    carry_ = 0;
    defaultSubSteps_ = level_->_steps;
    defaultGravity_ = 0;
    defaultIterations_ = 10;
    defaultSleeping_ = false;
    defaultTree_ = false;
    if (level_->_FGLayer && level_->_FGLayer->spaceMap) {
        const CPSpace& space = *level_->_FGLayer->spaceMap;
        defaultGravity_ = static_cast<int>(std::lround(space.GetGravity().GetY()));
        defaultIterations_ = space.GetIterations();
        defaultSleeping_ = !std::isinf(space.GetSleepTime());
        defaultTree_ = space.GetBroadPhase() == CPSpace::BroadPhase::Tree;
    }
    gravity = defaultGravity_;
    iterations = defaultIterations_;
    subSteps = defaultSubSteps_;
    sleeping = defaultSleeping_;
    tree = defaultTree_;
    scale = kFullSpeed;
}

float TSettings::PanelX() {
    return static_cast<float>(GraphicsWidth()) - kPanelW - 8.0f;
}

bool TSettings::PointerOverPanel() const {
    if (!open) {
        return false;
    }
    const float x = static_cast<float>(MouseX());
    const float y = static_cast<float>(MouseY());
    return x >= PanelX() && x < PanelX() + kPanelW && y >= kPanelY && y < kPanelY + PanelH();
}

bool TSettings::AtDefaults() const {
    return gravity == defaultGravity_ && iterations == defaultIterations_ &&
           subSteps == defaultSubSteps_ && sleeping == defaultSleeping_ && tree == defaultTree_ &&
           scale == kFullSpeed;
}

void TSettings::Set(int gravity_, int iterations_, int subSteps_, bool sleeping_, int scale_,
                    bool tree_) {
    gravity = clamp(gravity_, 0, kGravityMax);
    iterations = clamp(iterations_, 1, kIterationsMax);
    subSteps = clamp(subSteps_, 1, kSubStepsMax);
    sleeping = sleeping_;
    scale = clamp(scale_, 0, kScaleCount - 1);
    tree = tree_;
    apply();
}

void TSettings::ResetToDefaults() {
    resetToDefaults();
    apply();
}

void TSettings::updateControls() {
    if (KeyHits(LetterKey('G')) % 2 != 0) {
        open = !open;
    }
    // The arrows' hits are read every frame, so that presses made for steering while the panel
    // was closed are not taken for it once it opens. Every press counts, also several in one
    // slow frame...
    const int up = KeyHits(Key::Up);
    const int down = KeyHits(Key::Down);
    const int left = KeyHits(Key::Left);
    const int right = KeyHits(Key::Right);
    if (!open) {
        return;
    }
    selected = clamp(selected + down - up, 0, RowCount - 1);
    for (int i = 0; i < left; ++i) {
        change(selected, -1);
    }
    for (int i = 0; i < right; ++i) {
        change(selected, +1);
    }
    // ...and the clicks only over the panel: elsewhere they still drop bodies.
    if (!PointerOverPanel()) {
        return;
    }
    const int clicks = MouseHits(MouseButton::Left);
    if (clicks == 0) {
        return;
    }
    const float x = static_cast<float>(MouseX());
    const float y = static_cast<float>(MouseY());
    const int row = static_cast<int>(std::floor((y - kPanelY - kTitleH) / kRowH));
    if (row < 0 || row >= RowCount) {
        return;
    }
    selected = row;
    int direction = 0;
    if (row == Reset) {
        direction = 1; // the whole row is its button
    } else if (x >= MinusX() && x < MinusX() + kButtonW) {
        direction = -1;
    } else if (x >= PlusX() && x < PlusX() + kButtonW) {
        direction = 1;
    }
    if (direction != 0) {
        for (int i = 0; i < clicks; ++i) {
            change(row, direction);
        }
    }
}

void TSettings::change(int row, int direction) {
    switch (row) {
    case Gravity:
        gravity = clamp(gravity + direction * kGravityStep, 0, kGravityMax);
        break;
    case Iterations:
        iterations = clamp(iterations + direction, 1, kIterationsMax);
        break;
    case SubSteps:
        subSteps = clamp(subSteps + direction, 1, kSubStepsMax);
        break;
    case Sleeping:
        sleeping = !sleeping;
        break;
    case BroadPhase:
        tree = !tree;
        break;
    case TimeScale:
        scale = clamp(scale + direction, 0, kScaleCount - 1);
        break;
    case Reset:
        resetToDefaults();
        break;
    default:
        return;
    }
    apply();
}

void TSettings::resetToDefaults() {
    gravity = defaultGravity_;
    iterations = defaultIterations_;
    subSteps = defaultSubSteps_;
    sleeping = defaultSleeping_;
    tree = defaultTree_;
    scale = kFullSpeed;
}

void TSettings::apply() {
    if (!level_ || !level_->_FGLayer || !level_->_FGLayer->spaceMap) {
        return;
    }
    CPSpace& space = *level_->_FGLayer->spaceMap;
    // Only what differs is set: the library wakes every sleeping body when gravity is set.
    if (static_cast<float>(gravity) != space.GetGravity().GetY() ||
        space.GetGravity().GetX() != 0.0f) {
        space.SetGravity(Vec2(0.0f, static_cast<float>(gravity)));
    }
    if (iterations != space.GetIterations()) {
        space.SetIterations(iterations);
    }
    if (subSteps != level_->_steps) {
        level_->Init(subSteps);
    }
    // The index is rebuilt only on a change: filing every shape anew costs a frame's worth.
    space.UseBroadPhase(tree ? CPSpace::BroadPhase::Tree : CPSpace::BroadPhase::Hash);
    const bool sleepingNow = !std::isinf(space.GetSleepTime());
    if (sleeping != sleepingNow) {
        space.SetSleepTime(sleeping ? kSleepSeconds : INFINITY);
        if (!sleeping) {
            space.WakeAll(); // the library leaves sleepers asleep once sleeping is off
        }
    }
}

int TSettings::PhysicsFrames() {
    carry_ += kScaleEighths[scale];
    const int frames = carry_ / 8;
    carry_ %= 8;
    return frames;
}

const char* TSettings::RowName(int row) {
    switch (row) {
    case Gravity:
        return "Gravity";
    case Iterations:
        return "Iterations";
    case SubSteps:
        return "Sub-steps";
    case Sleeping:
        return "Sleeping";
    case TimeScale:
        return "Time scale";
    case Reset:
        return "Reset to the level's";
    case BroadPhase:
        return "Broad phase";
    default:
        return "";
    }
}

const char* TSettings::ValueText(int row) const {
    static constexpr const char* kScaleText[kScaleCount] = {"1/8", "1/4", "1/2", "1", "2", "4"};
    switch (row) {
    case Gravity:
        std::snprintf(text_, sizeof text_, "%d", gravity);
        return text_;
    case Iterations:
        std::snprintf(text_, sizeof text_, "%d", iterations);
        return text_;
    case SubSteps:
        std::snprintf(text_, sizeof text_, "%d", subSteps);
        return text_;
    case Sleeping:
        return sleeping ? "on" : "off";
    case TimeScale:
        return kScaleText[scale];
    case BroadPhase:
        return tree ? "tree" : "hash";
    default:
        return "";
    }
}
