#include "control/TControl.hpp"

#include <algorithm>
#include <utility>

#include "bodies/TChain.hpp"
#include "bodies/TMachineJoint.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "control/DebugDraw.hpp"
#include "control/SpawnKinds.hpp"
#include "control/TCamera.hpp"
#include "control/TSandbox.hpp"
#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPPolyShape.hpp"
#include "physics/CPShape.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPSpaceHash.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

constexpr int kPush = 35; // impulse per pushed axis and frame

bool usable(const std::shared_ptr<CPBody>& body) {
    return body && !body->IsFreed();
}

} // namespace

void TControl::init(std::shared_ptr<TLevel> lvl, std::shared_ptr<TSquid> squid) {
    debugMode = -1;
    currentObject = 0;
    pressedUnselected = false;
    mouseSteer.End();
    leftHeld_ = false;
    level = std::move(lvl);
    player = std::move(squid);
}

void TControl::updateControls(bool canSpawn, bool canSteer) {
    spawning = canSpawn;
    steering = canSteer;
    if (KeyHits(Key::Escape) != 0) {
        EndProgram();
    }

    // The push is applied every frame, a zero one included; opposite keys cancel. A player whose
    // body was freed (its squid was removed) is not pushed at all: the body must not be touched.
    const int right = KeyDown(Key::Right);
    const int left = KeyDown(Key::Left);
    const int down = KeyDown(Key::Down);
    const int up = KeyDown(Key::Up);
    // A drag from the player squid is one more arrow key held; without one the push is the keys'.
    const bool steerBegan = updateMouseSteer();
    pushX_ = std::clamp(right - left + mouseSteer.X(), -1, 1);
    pushY_ = std::clamp(down - up + mouseSteer.Y(), -1, 1);
    if (steering && player && usable(player->_body)) {
        player->_body->ApplyImpulse(
            Vec2(static_cast<float>(pushX_ * kPush), static_cast<float>(pushY_ * kPush)), ZeroVect);
    }

    if (KeyHits(Key::D) != 0) {
        debugMode = -debugMode;
    }

    // The keypad key is only asked when the main key had no hit, so a keypad hit of the same
    // frame stays pending for the next one. Later digits override earlier ones.
    for (const SpawnKindRow& row : SpawnKinds()) {
        if (KeyHits(DigitKey(row.digit)) != 0 || KeyHits(KeypadKey(row.digit)) != 0) {
            currentObject = static_cast<int>(row.kind);
        }
    }

    // The right button's hits matter only to tell a press with nothing selected; they are read
    // every frame so that an old press is not taken for a new one.
    const bool rightPressed = MouseHits(MouseButton::Right) != 0 && spawning;
    const SpawnKindRow* selected = FindSpawnKind(currentObject);
    if (spawning && MouseDown(MouseButton::Right) != 0 && selected && selected->whileHeld) {
        spawn(currentObject);
    }
    // The hits are read even with Shift held, so that they do not spawn later.
    const bool clicked = MouseHits(MouseButton::Left) != 0 && !TSandbox::ShiftHeld() && spawning;
    if (clicked && selected) {
        spawn(currentObject);
    }
    // A press that took hold of the squid to steer it was not meant to drop anything.
    pressedUnselected = currentObject == 0 && ((clicked && !steerBegan) || rightPressed);
}

bool TControl::playerOnScreen(CPVect& p) const {
    if (!player || !usable(player->_body) || !level) {
        return false;
    }
    const std::shared_ptr<TLayer>& layer = level->_FGLayer;
    p = player->_body->GetPosition()
            .Sub(Vec2(static_cast<float>(layer->ScrollX), static_cast<float>(layer->ScrollY)))
            .Mult(layer->Zoom);
    return true;
}

bool TControl::updateMouseSteer() {
    const bool held = MouseDown(MouseButton::Left) != 0;
    bool began = false;
    CPVect squid = ZeroVect;
    if (!held || !spawning) {
        mouseSteer.End();
    } else if (!leftHeld_ && !TSandbox::ShiftHeld() && !TCamera::SpaceHeld() &&
               playerOnScreen(squid)) {
        // Where the button went down, not where the pointer is now: a quick drag starts on
        // the squid even when the frame sees the pointer already past it.
        int x = 0, y = 0;
        MousePressPoint(static_cast<int>(MouseButton::Left), x, y);
        began = mouseSteer.Begin(Vec2(static_cast<float>(x), static_cast<float>(y)), squid);
    }
    leftHeld_ = held;
    mouseSteer.Move(Vec2(static_cast<float>(MouseX()), static_cast<float>(MouseY())));
    return began;
}

void TControl::steerAlso(int x, int y) {
    const int nx = std::clamp(pushX_ + x, -1, 1);
    const int ny = std::clamp(pushY_ + y, -1, 1);
    if (!steering || !player || !usable(player->_body) || (nx == pushX_ && ny == pushY_)) {
        return;
    }
    player->_body->ApplyImpulse(
        Vec2(static_cast<float>((nx - pushX_) * kPush), static_cast<float>((ny - pushY_) * kPush)),
        ZeroVect);
    pushX_ = nx;
    pushY_ = ny;
}

void TControl::spawn(int kind) {
    const std::shared_ptr<TLayer>& layer = level->_FGLayer;
    // Recomputed for every spawn: the right- and left-button spawns of one frame each read it.
    spawnAt(kind, layer->WorldAt(MouseX(), MouseY()));
}

void TControl::spawnAt(int kind, CPVect p) {
    if (const SpawnKindRow* row = FindSpawnKind(kind)) {
        row->spawn(level->_FGLayer, p);
    }
}

void TControl::spawnChain(CPVect p, int mode, const std::shared_ptr<CPBody>& endAnchor, int n) {
    TChain::Create()->Init(level->_FGLayer, p, SpawnedChain(mode, n), nullptr, endAnchor);
}

std::shared_ptr<TSquid> TControl::createPlayer(CPVect p) {
    auto squid = TSquid::Create();
    squid->Init(level->_FGLayer, p,
                {.tentacle = 14,
                 .radius = 12.0f,
                 .mass = 0.85f,
                 .life = 100,
                 .elasticity = 0.0f,
                 .friction = 0.1f});
    return squid;
}

int TControl::getLastPolyObject(CPShape* shape, void* data) {
    return FindLastStar(shape, data);
}

void TControl::drawControl() {
    const TLayer& layer = *level->_FGLayer;
    const CPVect pointer = layer.WorldAt(MouseX(), MouseY());
    const float x = static_cast<float>(pointer.x);
    const float y = static_cast<float>(pointer.y);

    layer.BeginView();

    if (debugMode == 1) {
        // Bodies first, the level's segments over them.
        layer.spaceMap->GetActiveShapes()->ForEach(&drawShape, nullptr);
        layer.spaceMap->GetStaticShapes()->ForEach(&drawShape, nullptr);
        // The joints' marks over the outlines, which would hide them.
        TMachineJoint::DrawMarks();
    }

    SetAlpha(0.5f);
    SetBlend(Blend::Alpha);
    if (const SpawnKindRow* row = spawning ? FindSpawnKind(currentObject) : nullptr) {
        row->drawPreview(x, y);
    }
    SetAlpha(1.0f);
    SetBlend(Blend::Mask);
    TLayer::EndView();
}
