#include "control/TControl.hpp"

#include <algorithm>
#include <utility>

#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "control/DebugDraw.hpp"
#include "control/TSandbox.hpp"
#include "data/Resources.hpp"
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

std::shared_ptr<CPBody> lastStarBody;

namespace {

constexpr int kPush = 35; // impulse per pushed axis and frame

// Chain spawns share everything but the mode, the anchors and the link count.
constexpr float kChainGap = 2.0f;
constexpr float kChainLinkRadius = 7.0f;
constexpr float kChainLinkMass = 1.0f;
constexpr float kChainFriction = 0.05f;

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
    for (int k = 1; k <= 8; ++k) {
        if (KeyHits(DigitKey(k)) != 0 || KeyHits(KeypadKey(k)) != 0) {
            currentObject = k;
        }
    }

    // The right button's hits matter only to tell a press with nothing selected; they are read
    // every frame so that an old press is not taken for a new one.
    const bool rightPressed = MouseHits(MouseButton::Right) != 0 && spawning;
    if (spawning && MouseDown(MouseButton::Right) != 0 && currentObject >= 1 &&
        currentObject <= 5) {
        spawn(currentObject);
    }
    // The hits are read even with Shift held, so that they do not spawn later.
    const bool clicked = MouseHits(MouseButton::Left) != 0 && !TSandbox::ShiftHeld() && spawning;
    if (clicked && currentObject >= 1 && currentObject <= 8) {
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
    p = player->_body->GetPosition().Sub(
        Vec2(static_cast<float>(layer->ScrollX), static_cast<float>(layer->ScrollY)));
    return true;
}

bool TControl::updateMouseSteer() {
    const bool held = MouseDown(MouseButton::Left) != 0;
    bool began = false;
    CPVect squid = ZeroVect;
    if (!held || !spawning) {
        mouseSteer.End();
    } else if (!leftHeld_ && !TSandbox::ShiftHeld() && playerOnScreen(squid)) {
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
    spawnAt(kind, Vec2(static_cast<float>(layer->ScrollX + MouseX()),
                       static_cast<float>(layer->ScrollY + MouseY())));
}

void TControl::spawnAt(int kind, CPVect p) {
    const std::shared_ptr<TLayer>& layer = level->_FGLayer;
    switch (kind) {
    case 1:
        TBall::Create()->Init(layer, p, 15.0f, 0.38f, 100, 0.0f, 0.075f);
        break;
    case 2:
        TCube::Create()->Init(layer, p, 15.0f, 0.5f, 100, 0.0f, 0.1f);
        break;
    case 3:
        TStar::Create()->Init(layer, p, 1, 0.25f, 100, 0.0f, 0.05f);
        break;
    case 4:
        TSquid::Create()->Init(layer, p, 6, 15.0f, 0.85f, 100, 0.0f, 0.1f);
        break;
    case 5:
    case 6:
    case 7:
        spawnChain(p, kind - 5, nullptr, 18);
        break;
    case 8: {
        layer->spaceMap->GetActiveShapes()->ForEach(&TControl::getLastPolyObject, nullptr);
        // A star found by an earlier spawn may have left the level since and had its body freed;
        // the physics library cannot join anything to a freed body, so it counts as no star and
        // the chain gets its own fixed anchor at that end.
        if (lastStarBody && lastStarBody->IsFreed()) {
            lastStarBody.reset();
        }
        spawnChain(p, 1, lastStarBody, 10);
        break;
    }
    default:
        break;
    }
}

void TControl::spawnChain(CPVect p, int mode, const std::shared_ptr<CPBody>& endAnchor, int n) {
    TChain::Create()->Init(level->_FGLayer, p, mode, nullptr, endAnchor, n, kChainGap,
                           kChainLinkRadius, kChainLinkMass, 100, 0.0f, kChainFriction);
}

std::shared_ptr<TSquid> TControl::createPlayer(CPVect p) {
    auto squid = TSquid::Create();
    squid->Init(level->_FGLayer, p, 14, 12.0f, 0.85f, 100, 0.0f, 0.1f);
    return squid;
}

int TControl::getLastPolyObject(CPShape* shape, void* /*data*/) {
    if (dynamic_cast<CPPolyShape*>(shape) == nullptr) {
        return 0;
    }
    const std::shared_ptr<CPBody> body = shape->GetBody();
    if (!body) {
        return 0;
    }
    auto* owner = static_cast<TObject*>(body->GetData());
    if (dynamic_cast<TStar*>(owner) == nullptr) {
        return 0;
    }
    // Whichever star's shape was met, the newest listed star is the one taken.
    if (TStar::liveList && TStar::liveList->Count() > 0) {
        lastStarBody = TStar::liveList->Last()->_body;
    }
    return 0;
}

void TControl::drawControl() {
    const TLayer& layer = *level->_FGLayer;
    const int wy = layer.ScrollY + MouseY();
    const int wx = layer.ScrollX + MouseX();
    const float x = static_cast<float>(wx);
    const float y = static_cast<float>(wy);

    SetOrigin(static_cast<float>(-layer.ScrollX), static_cast<float>(-layer.ScrollY));

    if (debugMode == 1) {
        // Bodies first, the level's segments over them.
        layer.spaceMap->GetActiveShapes()->ForEach(&drawShape, nullptr);
        layer.spaceMap->GetStaticShapes()->ForEach(&drawShape, nullptr);
    }

    SetAlpha(0.5f);
    SetBlend(3);
    switch (spawning ? currentObject : 0) {
    case 1:
        DrawImage(*ballImage, x, y, 0);
        break;
    case 2:
        DrawImage(*cubeImage, x, y, 0);
        break;
    case 3:
        DrawImage(*starImage, x, y, 0);
        break;
    case 4:
        DrawImage(*blueBallImage, x, y, 0);
        break;
    case 5:
        DrawImage(*linkImage, x, y, 0);
        break;
    case 6:
        DrawImage(*anchorImage, x - 7.0f, y, 0);
        DrawImage(*anchorImage, x + 7.0f, y, 0);
        break;
    case 7:
        DrawImage(*anchorImage, x - 7.0f, y, 0);
        DrawImage(*linkImage, x + 7.0f, y, 0);
        break;
    case 8:
        DrawImage(*anchorImage, x - 7.0f, y, 0);
        DrawImage(*linkImage, x + 7.0f, y, 0);
        SetScale(0.6f, 0.6f);
        DrawImage(*starImage, x + 22.0f, y, 0);
        SetScale(1.0f, 1.0f);
        break;
    default:
        break;
    }
    SetAlpha(1.0f);
    SetBlend(1);
    SetOrigin(0.0f, 0.0f);
}
