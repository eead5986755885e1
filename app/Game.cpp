#include "app/Game.hpp"

#include "app/Overlay.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "data/LevelData.hpp"
#include "data/Resources.hpp"
#include "media/Clock.hpp"
#include "media/Graphics.hpp"
#include "media/Input.hpp"
#include "media/TImage.hpp"
#include "media/TSound.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <cstdio>

std::shared_ptr<TLevel> level;
std::shared_ptr<TSquid> player;
std::shared_ptr<TControl> control;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kHertz = 60;
constexpr int kSubSteps = 3;
constexpr char kCaption[] = "Dazozi Redov by Vesk - https://dazozi-redov.example.org";

// The camera puts the player at window point (640, 480), not at the window's centre.
constexpr CPVect kCameraOffset = Vec2(640.0f, 480.0f);

// Where the camera looked last; kept when the player squid no longer has a body.
CPVect lastCameraTarget = ZeroVect;

} // namespace

bool StartUp(GraphicsTarget target) {
    RegisterResources();

    InitMedia();
    // A failure to open the sound output is said only once the window is open: when there is
    // no display either, the one line that matters is why the program cannot start.
    InitAudio(AudioReport::Held);
    InitPhysics();

    SetAutoCenterHandle(true);

    LoadSharedAssets();
    CreateLevelData();
    level = std::make_shared<TLevel>();
    control = std::make_shared<TControl>();
    fpsNextTime = TimeAfter(TimeMs(), 1000);

    StartPhysics();

    SetWindowCaption(kCaption);
    SetGraphicsTarget(target);
    if (!OpenGraphics(kWidth, kHeight, 0, kHertz, 0)) {
        std::fprintf(stderr, "dazozi-redov: cannot open the window: %s\n", GraphicsError());
        return false;
    }
    ReportHeldAudioProblem();
    return true;
}

void initGame() {
    ResetShapeIds();
    level->Init(kSubSteps);
    level->Load(0);

    player = TSquid::Create();
    player->Init(level->_FGLayer, Vec2(450.0f, 300.0f), 14, 12.0f, 0.85f, 100, 0.0f, 0.1f);

    control->init(level, player);
    SleepMs(10);
}

void updateGame() {
    Cls();

    control->updateControls();

    // The camera target comes from the player's position before this frame's steps, so the
    // view trails the player by one frame of motion.
    if (player && player->_body && !player->_body->IsFreed()) {
        lastCameraTarget = player->_body->GetPosition().Sub(kCameraOffset);
    }
    level->update(kSubSteps, lastCameraTarget);

    level->Draw();

    // Back to front: chains under balls, squids under their tentacles.
    TChain::UpdateAll();
    TBall::UpdateAll();
    TCube::UpdateAll();
    TStar::UpdateAll();
    TSquid::UpdateAll();
    TTentacle::UpdateAll();

    control->drawControl();

    CountActiveShapes();
    drawFPS();
    DrawOverlayText();

    Flip(-1);
}

int RunProgram() {
    if (!StartUp(GraphicsTarget::Window)) {
        return 1;
    }
    initGame();
    do {
        updateGame();
    } while (!CloseRequested());
    EndProgram();
}
