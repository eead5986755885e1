#include "app/Game.hpp"

#include "app/EscapeCloser.hpp"
#include "app/Overlay.hpp"
#include "app/ReplayStarts.hpp"
#include "app/SandboxOverlay.hpp"
#include "app/SceneMenu.hpp"
#include "app/Screenshot.hpp"
#include "app/Toolbar.hpp"
#include "bodies/ClearAllBodies.hpp"
#include "bodies/LiveList.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/UpdateAllBodies.hpp"
#include "control/TCamera.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "control/TTouch.hpp"
#include "data/ExampleScenes.hpp"
#include "data/LevelData.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/audio/TSound.hpp"
#include "media/base/Clock.hpp"
#include "media/base/ReadWholeFile.hpp"
#include "media/frame/FrameLoop.hpp"
#include "media/graphics/TImage.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputRing.hpp"
#include "media/input/InputScript.hpp"
#include "media/window/ControlBand.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPVect.hpp"
#include "scene/SceneFormat.hpp"
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
std::shared_ptr<TSettings> gameSettings;

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
// L: the example scenes.
SceneMenu sceneMenu;
// T: the buttons beside the picture (the desktop's; the page has its own).
Toolbar toolbar;
// Fingers: taps spawn, held fingers stream, fingers on bodies grab them.
TTouch touch;
TCamera camera;
InputRecorder* recorder = nullptr;     // non-owning
InputRing* ring = nullptr;             // non-owning: the last minute, for replay links
ReplayStarts* starts = nullptr;        // non-owning: where a link of the last minute starts
std::string (*startScene)() = nullptr; // the scene's text for a start
int freshPaletteEntry = 0;             // edit mode's palette entry as the game starts
const InputScript* replay = nullptr;   // non-owning
int frameNumber = 0;                   // updateGame calls so far

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
std::string (*sceneSaver)() = nullptr;       // Ctrl+S: nothing is saved until one is set
std::string (*leftWorkOpener)() = nullptr;   // Ctrl+O: nothing is opened until one is set
std::string (*replayLinkCopier)() = nullptr; // Ctrl+L: nothing is copied until one is set
std::vector<SavedSceneList::Entry> (*savedSceneFinder)() = nullptr;
// The menu's lines: the examples, then the user's saved scenes (those without text) found when
// it last opened.
std::vector<SavedSceneList::Entry> savedScenes;
std::vector<ExampleScene> menuLines;

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

namespace {

// The scene files, as the program or a tool hands them over: unset, nothing opens.
bool (*sceneOpener)(std::string_view, std::string&) = nullptr;
bool (*sceneRestorer)() = nullptr;

// Opens an example scene chosen in the menu; the scene that was there can come back with
// Ctrl+Z. A refusal leaves the scene as it was and says why, on screen and on stderr.
void openExampleScene(int index) {
    const ExampleScene& scene = ExampleScenes()[static_cast<std::size_t>(index)];
    std::string error = "scene files cannot be opened here";
    if (sceneOpener && sceneOpener(scene.text, error)) {
        sandboxOverlay.ShowNotice(std::string(scene.name) + " (Ctrl+Z: the scene before)");
        return;
    }
    const std::string line = "Cannot open the scene " + std::string(scene.name) + ": " + error;
    std::fprintf(stderr, "dazozi-redov: %s\n", line.c_str());
    sandboxOverlay.ShowNotice(line);
}

// Ctrl+O: the work left unsaved last time comes back (as an opened scene would). True when the
// key was pressed and an opener is set: the scene may have been replaced.
bool openLeftWork() {
    const bool pressed = KeyHits(LetterKey('O')) != 0 && editor->ctrlPressed;
    if (!pressed || leftWorkOpener == nullptr) {
        return false;
    }
    sandboxOverlay.ShowNotice(leftWorkOpener());
    return true;
}

void listMenuLines() {
    menuLines.assign(ExampleScenes().begin(), ExampleScenes().end());
    for (const SavedSceneList::Entry& saved : savedScenes) {
        menuLines.push_back({saved.label, {}});
    }
}

// The scene menu's frame: the user's saved scenes are looked up as it opens.
int updateSceneMenu() {
    if (menuLines.empty()) {
        listMenuLines();
    }
    const bool wasOpen = sceneMenu.open;
    const int chosen = sceneMenu.Update(static_cast<int>(menuLines.size()),
                                        static_cast<int>(ExampleScenes().size()));
    if (sceneMenu.open && !wasOpen && savedSceneFinder != nullptr) {
        savedScenes = savedSceneFinder();
        listMenuLines();
    }
    return chosen;
}

// A saved scene chosen in the menu opens as a dropped file does; the one before comes back with
// Ctrl+Z.
void openSavedScene(const SavedSceneList::Entry& saved) {
    std::string text;
    std::string error = "scene files cannot be opened here";
    if (sceneOpener &&
        ReadWholeFile(saved.path, static_cast<long long>(SceneFormat::kMaxBytes), text, error) &&
        sceneOpener(text, error)) {
        sandboxOverlay.ShowNotice("Scene opened: " + saved.path + " (Ctrl+Z: the scene before)");
        return;
    }
    if (!error.starts_with(saved.path)) {
        error = saved.path + ": " + error;
    }
    std::fprintf(stderr, "dazozi-redov: %s\n", error.c_str());
    sandboxOverlay.ShowNotice("Cannot open " + error);
}

void openMenuLine(int index) {
    const int examples = static_cast<int>(ExampleScenes().size());
    if (index < examples) {
        openExampleScene(index);
    } else if (static_cast<std::size_t>(index - examples) < savedScenes.size()) {
        openSavedScene(savedScenes[static_cast<std::size_t>(index - examples)]);
    }
}

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
    sandbox = std::make_shared<TSandbox>();
    editor = std::make_shared<TEditor>();
    gameSettings = std::make_shared<TSettings>();
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
    editor->init(level, control.get());
    freshPaletteEntry = editor->chosen;
    gameSettings->init(level);
    touch.init(level);
    camera.init(level);
    sandboxOverlay.HideChooseHint();
    sceneMenu.Reset();
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
    // A fresh start looks at the player again, at the zoom the user chose.
    level->FollowAgain();
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

void SetSavedSceneFinder(std::vector<SavedSceneList::Entry> (*find)()) {
    savedSceneFinder = find;
}

void SetLeftWorkOpener(std::string (*open)()) {
    leftWorkOpener = open;
}

void SetSceneOpener(bool (*open)(std::string_view text, std::string& error), bool (*restore)()) {
    sceneOpener = open;
    sceneRestorer = restore;
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
        SetReplayedWindow(0, 0, 1.0f); // the user's clicks land where the user sees the panels
    }
}

void SetGameRing(InputRing* r) {
    ring = r;
    SetInputRing(r);
}

void SetReplayStarts(ReplayStarts* s, std::string (*scene)()) {
    starts = scene != nullptr ? s : nullptr;
    startScene = scene;
}

InputRing* GameRing() {
    return ring;
}

void SetReplayLinkCopier(std::string (*copy)()) {
    replayLinkCopier = copy;
}

bool SceneMenuOpen() {
    return sceneMenu.open;
}

void EnableHelpHint(bool enabled) {
    sandboxOverlay.hintEnabled = enabled;
}

void EnableToolbar(bool enabled) {
    toolbar.enabled = enabled;
}

void SetGameReplay(const InputScript* script) {
    replay = script;
}

const InputScript* GameReplay() {
    return replay;
}

namespace {

// What this frame's input decided, for the steps after it.
struct FrameInput {
    // The physics runs this frame (not paused, or N asked for a step), as it stood before an
    // opened scene brought its own pause.
    bool advance = false;
    // Whole physics frames to run in this displayed frame.
    int physicsFrames = 0;
};

// Whole physics frames of this displayed frame: N while paused steps exactly one, the time
// scale makes it none in most frames of slow motion and several in fast forward. Asks the
// settings for their share, which carries slow motion's remainder: once a frame that runs.
int physicsFramesAsked() {
    if (sandbox->stepping) {
        return 1;
    }
    return sandbox->Advances() ? gameSettings->PhysicsFrames() : 0;
}

// A replay's events of this frame go in first; a recorded frame takes in its events once,
// here (a replay's among them), and its queries read only those: an event that came between two
// of them would be read a frame later than its replay, which hands each frame its events before
// the frame reads it.
void beginInput() {
    if (replay) {
        replay->Feed(frameNumber, nullptr);
    }
    if (recorder) {
        recorder->BeginFrame(frameNumber, TimeMs());
    }
    if (ring) {
        ring->BeginFrame(frameNumber, TimeMs());
    }
    if (recorder || ring) {
        // The window first: the frame's clicks on panels drawn in window points are read as
        // laid out in it, and a replay at another window size lays them out as here.
        TellInputWindow(frameNumber == 0);
        PollEvents();
        HoldInput(true);
    }
}

void endInput() {
    if (ring) {
        ring->EndInput();
    }
    if (recorder) {
        recorder->EndInput();
        if (recorder->Failed()) {
            ReportRecordingFailure(*recorder);
            recorder->Finish();
            SetGameRecorder(nullptr);
        }
    }
}

// A line chosen in the scene menu opens; without one, the scene undo or redo brought back, or the
// work left unsaved last time, is already in and is only said.
void replaceScene(int sceneChosen) {
    if (sceneChosen >= 0) {
        openMenuLine(sceneChosen);
    } else if (editor->sceneSwapped) {
        sandboxOverlay.ShowNotice(editor->sceneUndone ? "The scene before is back"
                                                      : "The opened scene is back");
    }
}

// True when the game is as a replay finds it at its first frame but for what a scene file holds:
// nothing held (keys, buttons, fingers, a grab), nothing open (edit mode, the settings, the
// scene menu, the help, the toolbar), edit mode's tool and palette entry as at the start, no
// paused step asked for nor part of a slow physics frame carried, and no scene opened for the
// coming frame (the ring holds its drop).
// The input after such a moment means what it meant in the play.
bool replayCanStartHere() {
    return !InputHeld() && !sandbox->grab.Active() && touch.Grabs() == 0 && !editor->active &&
           editor->tool == TEditor::Tool::Paint && editor->chosen == freshPaletteEntry &&
           !gameSettings->open && !sceneMenu.open && !sandbox->helpVisible && !toolbar.visible &&
           !sandbox->stepping && !gameSettings->CarriesPart() &&
           (ring == nullptr || !ring->NextFrameHasEvents());
}

// Every few seconds, at the first moment a replay can start from, the scene as this frame
// begins: the one text a start point costs.
void keepReplayStart() {
    if (starts != nullptr && ring != nullptr && starts->Due(frameNumber) && replayCanStartHere()) {
        ReplayStarts::Start start;
        start.frame = frameNumber;
        start.pointerX = MouseX();
        start.pointerY = MouseY();
        InputWindow(start.windowW, start.windowH, start.pixelsPerPoint);
        start.scene = startScene();
        starts->Keep(std::move(start));
    }
}

// Input. The sandbox keys come first so that a reset is done before the player is steered and
// before this frame's spawns; Escape still ends the program before anything is moved.
FrameInput readInput() {
    beginInput();
    toolbar.update(editor->active);
    // Escape closes what is open before anything else reads the frame's input.
    if (EscapeCloser::Update(sceneMenu, *sandbox, *gameSettings, *editor, replay != nullptr) ==
        EscapeCloser::Outcome::Quit) {
        EndProgram();
    }
    // Ctrl+L copies a replay link; its L is not the scene menu's.
    const bool linkAsked = KeyHitsWithControl(LetterKey('L')) != 0;
    if (linkAsked) {
        KeyHits(LetterKey('L'));
    }
    // The scene menu first: while it is open the keyboard and the left button are its own, and
    // the controls below find no key hits (Escape among them) and no left click.
    const int sceneChosen = updateSceneMenu();
    // The camera before the tools: Ctrl's wheel and Space's left button are the view's.
    camera.updateControls();
    sandbox->updateControls(sceneMenu.open);
    if (sandbox->resetRequested) {
        resetGame();
    }
    // The panel takes G, and while open the arrow keys and the clicks on it.
    gameSettings->updateControls();
    FrameInput in;
    in.advance = sandbox->Advances();
    in.physicsFrames = physicsFramesAsked();
    // Edit mode takes the left and right buttons before the controller would spawn with them.
    editor->updateControls(sandbox->grab.Active(), in.advance);
    const bool spawn = !editor->active && !gameSettings->PointerOverPanel();
    // A push is made only in frames with physics: in slow motion it would pile up between them.
    // Held arrows choose lines while the menu or the settings are open; they do not push too.
    const bool steer = in.physicsFrames > 0 && !gameSettings->TakesArrows() && !sceneMenu.open;
    control->updateControls(spawn, steer);
    touch.update(*control, in.advance, editor.get());
    // The first click of a new user drops nothing until a kind is chosen: say how, at the pointer.
    if (control->pressedUnselected) {
        sandboxOverlay.ShowChooseHint();
    } else if (control->currentObject != 0) {
        sandboxOverlay.HideChooseHint();
    }
    // A scene is replaced once this frame's input is all read, before the physics steps it; an
    // opened scene brings its own pause, which this frame's physics already keeps.
    const bool leftWorkOpened = openLeftWork();
    if (linkAsked && replayLinkCopier != nullptr) {
        sandboxOverlay.ShowNotice(replayLinkCopier());
    }
    if (sceneChosen >= 0 || editor->sceneSwapped || leftWorkOpened) {
        replaceScene(sceneChosen);
        if (sandbox->Advances() != in.advance) {
            in.physicsFrames = physicsFramesAsked();
        }
    }
    endInput();
    return in;
}

// Physics. The camera target comes from the player's position before this frame's steps, so
// the view trails the player by one frame of motion. Paused, the camera still follows and
// nothing is stepped. While a body is held the camera holds still too: following the player
// would move the world under a pointer that pulls the player, and it would run away.
void stepPhysics(const FrameInput& in) {
    if (!playerLost() && !sandbox->grab.Active() && touch.Grabs() == 0) {
        lastCameraTarget = player->_body->GetPosition().Sub(kCameraOffset);
    }
    if (in.physicsFrames == 0) {
        level->Follow(lastCameraTarget);
        return;
    }
    // Fast forward's extra physics frames are not drawn: the bodies' per-frame work runs after
    // their steps as it does in a drawn frame.
    for (int i = 1; i < in.physicsFrames; ++i) {
        level->update(kSubSteps, lastCameraTarget);
        UpdateAllBodies({.draw = false});
    }
    level->update(kSubSteps, lastCameraTarget);
}

// Drawing, back to front: the level, edit mode's grid, chains under balls, squids under their
// tentacles, then the controller's preview and debug view and edit mode's cell marks.
void drawScene(const FrameInput& in) {
    level->Draw();
    editor->drawGrid();
    // Paused frames remove the dead as they always did; slow motion's frames without physics
    // keep them for the next physics frame, which removes them after its steps as full speed
    // would.
    const bool stepped = in.physicsFrames > 0;
    UpdateAllBodies({.advance = stepped, .removeDead = stepped || !in.advance});
    control->drawControl();
    sandbox->drawControl(control->debugMode);
    editor->draw();
}

// The overlay: counts, frame rate and key help, this frame's requests (F12, Ctrl+S) with their
// notices, the panels and the toolbar. Text is drawn where it can be read, also in a window
// smaller than the picture.
void drawOverlay() {
    CountActiveShapes(*level->_FGLayer->spaceMap);
    BeginOverlay();
    // Edit mode's palette first, as it was drawn with the scene before: under the overlay's text.
    editor->drawPalette();
    drawFPS();
    DrawOverlayText();
    if (sandbox->screenshotRequested) {
        takeScreenshot();
    }
    if (sandbox->saveSceneRequested && sceneSaver != nullptr) {
        sandboxOverlay.ShowNotice(sceneSaver());
    }
    sandboxOverlay.Draw(*sandbox, playerLost(), editor.get(), gameSettings.get());
    sandboxOverlay.DrawSceneMenu(sceneMenu, menuLines);
    toolbar.Draw(*control, *sandbox, *editor, {gameSettings->open, sceneMenu.open});
}

} // namespace

void updateGame() {
    keepReplayStart();
    Cls();
    const FrameInput in = readInput();
    stepPhysics(in);
    drawScene(in);
    drawOverlay();
    Flip(-1);
    ++frameNumber;
}
