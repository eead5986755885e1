#include "app/Game.hpp"

#include "app/Overlay.hpp"
#include "app/SandboxOverlay.hpp"
#include "app/Screenshot.hpp"
#include "bodies/ClearAllBodies.hpp"
#include "bodies/LiveList.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TTouch.hpp"
#include "data/LevelData.hpp"
#include "data/Resources.hpp"
#include "media/Clock.hpp"
#include "media/Graphics.hpp"
#include "media/TImage.hpp"
#include "media/TSound.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputScript.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

std::shared_ptr<TLevel> level;
std::shared_ptr<TSquid> player;
std::shared_ptr<TControl> control;
std::shared_ptr<TSandbox> sandbox;
std::shared_ptr<TEditor> editor;

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

SandboxOverlay sandboxOverlay;
// Fingers: taps spawn, held fingers stream, fingers on bodies grab them.
TTouch touch;
InputRecorder* recorder = nullptr;   // non-owning
const InputScript* replay = nullptr; // non-owning
int frameNumber = 0;                 // updateGame calls so far

const char* environment(const char* name) {
    return std::getenv(name);
}

void makePlayer() {
    player = control->createPlayer(Vec2(450.0f, 300.0f));
}

std::string saveToPicturesFolder() {
    const std::string path = Screenshot::Save(std::time(nullptr), &environment);
    return path.empty() ? std::string("Screenshot could not be saved")
                        : "Screenshot saved: " + path;
}
std::string (*screenshotSaver)() = &saveToPicturesFolder;
std::string (*sceneSaver)() = nullptr; // Ctrl+S: nothing is saved until one is set

// Saves the frame drawn so far and says where, for a moment.
void takeScreenshot() {
    sandboxOverlay.ShowNotice(screenshotSaver());
}

const char* recorderProgram = "dazozi-redov"; // names the program in a failed recording's line

} // namespace

// The recording could not be written (a full disk): said once, and the game plays on.
void ReportRecordingFailure(const InputRecorder& r) {
    std::fprintf(stderr, "%s: %s; the recording is incomplete\n", recorderProgram,
                 r.Error().c_str());
    SetExitStatus(1);
}

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
    sandbox = std::make_shared<TSandbox>();
    editor = std::make_shared<TEditor>();
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

    // The controller knows the level before it makes the player squid.
    control->init(level, nullptr);
    makePlayer();
    control->player = player;
    sandbox->init(level);
    editor->init(level);
    touch.init(level);
    sandboxOverlay.HideChooseHint();
    SleepMs(10);
}

void ClearScene() {
    sandbox->DropGrab();
    touch.DropAll();
    // The space is emptied in one go first; the body classes then only drop their objects.
    level->_FGLayer->spaceMap->FreeMovables();
    ClearAllBodies();
    // A star tied to by a later kind-8 chain must be one that exists now.
    lastStarBody.reset();
}

void resetGame() {
    ClearScene();
    makePlayer();
    control->player = player;
}

void SetCameraTarget(CPVect target) {
    lastCameraTarget = target;
}

bool playerLost() {
    return !player || !player->_body || player->_body->IsFreed();
}

void SetGameRecorder(InputRecorder* r, const char* program) {
    recorder = r;
    recorderProgram = program;
    SetInputRecorder(r);
    HoldInput(false);
}

void SetScreenshotSaver(std::string (*saveFrame)()) {
    screenshotSaver = saveFrame ? saveFrame : &saveToPicturesFolder;
}

void SetSceneSaver(std::string (*saveScene)()) {
    sceneSaver = saveScene;
}

void ShowNotice(const std::string& line) {
    sandboxOverlay.ShowNotice(line);
}

void RestartFrameCount() {
    frameNumber = 0;
}

int GameFrameNumber() {
    return frameNumber;
}

void HandOverWhenReplayEnds() {
    // Nothing of the recording stays held: one cut short may end with a button down, which
    // would go on spawning for the user.
    if (replay && frameNumber >= replay->Length()) {
        SetGameReplay(nullptr);
        SetScriptedInputOnly(false);
        FlushInput();
    }
}

void EnableHelpHint(bool enabled) {
    sandboxOverlay.hintEnabled = enabled;
}

void SetGameReplay(const InputScript* script) {
    replay = script;
}

void updateGame() {
    Cls();

    // Input. The sandbox keys come first so that a reset is done before the player is steered
    // and before this frame's spawns; Escape still ends the program before anything is moved.
    if (replay) {
        replay->Feed(frameNumber, nullptr);
    }
    if (recorder) {
        // A recorded frame takes in its events once, here (a replay's among them), and its
        // queries read only those: an event that came between two of them would be read a
        // frame later than its replay, which hands each frame its events before the frame,
        // reads it.
        recorder->BeginFrame(frameNumber, TimeMs());
        PollEvents();
        HoldInput(true);
    }
    sandbox->updateControls();
    if (sandbox->resetRequested) {
        resetGame();
    }
    const bool advance = sandbox->Advances();
    // Edit mode takes the left and right buttons before the controller would spawn with them.
    editor->updateControls(sandbox->grab.Active());
    control->spawning = !editor->active;
    control->steering = advance;
    control->updateControls();
    touch.update(*control, advance);
    // The first click of a new user drops nothing until a kind is chosen: say how, at the pointer.
    if (control->pressedUnselected) {
        sandboxOverlay.ShowChooseHint();
    } else if (control->currentObject != 0) {
        sandboxOverlay.HideChooseHint();
    }
    if (recorder) {
        recorder->EndInput();
        if (recorder->Failed()) {
            ReportRecordingFailure(*recorder);
            recorder->Finish();
            SetGameRecorder(nullptr);
        }
    }

    // Physics. The camera target comes from the player's position before this frame's steps,
    // so the view trails the player by one frame of motion. Paused, the camera still follows
    // and nothing is stepped. While a body is held the camera holds still too: following the
    // player would move the world under a pointer that pulls the player, and it would run away.
    if (!playerLost() && !sandbox->grab.Active() && touch.Grabs() == 0) {
        lastCameraTarget = player->_body->GetPosition().Sub(kCameraOffset);
    }
    if (advance) {
        level->update(kSubSteps, lastCameraTarget);
    } else {
        level->Follow(lastCameraTarget);
    }

    // Drawing, back to front: chains under balls, squids under their tentacles.
    level->Draw();
    editor->drawGrid();
    bodiesAdvance = advance;
    TChain::UpdateAll();
    TBall::UpdateAll();
    TCube::UpdateAll();
    TStar::UpdateAll();
    TSquid::UpdateAll();
    TTentacle::UpdateAll();
    bodiesAdvance = true;

    control->drawControl();
    sandbox->drawControl(control->debugMode);
    editor->draw();

    CountActiveShapes(*level->_FGLayer->spaceMap);
    drawFPS();
    DrawOverlayText();
    if (sandbox->screenshotRequested) {
        takeScreenshot();
    }
    if (sandbox->saveSceneRequested && sceneSaver != nullptr) {
        sandboxOverlay.ShowNotice(sceneSaver());
    }
    sandboxOverlay.Draw(*sandbox, playerLost(), editor->active);

    Flip(-1);
    ++frameNumber;
}
