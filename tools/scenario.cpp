// Headless scenario runner: runs the real start-up, set-up and frame loop on an offscreen target
// with a manual clock (the frame pacing's sleeps advance it, so a run takes no wall time and two
// runs of the same script are identical), feeds scripted input through the real event path,
// then saves the back buffer and prints the overlay's counts and a hash of every live body.

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/BodyHash.hpp"
#include "app/Game.hpp"
#include "app/Overlay.hpp"
#include "app/ReplayLink.hpp"
#include "app/ReplayStarts.hpp"
#include "app/SavedScene.hpp"
#include "app/SavedSceneList.hpp"
#include "app/SceneDocument.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/base/ReadWholeFile.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputRing.hpp"
#include "media/input/InputScript.hpp"
#include "scene/SceneFormat.hpp"
#include "tools/GoldenFrame.hpp"

namespace {

constexpr const char* kHelp = R"(usage: scenario [options] [FILE]

Runs the game headlessly (offscreen target, manual clock paced by the frame loop) for a number
of frames with scripted input, then prints the overlay's counts and a hash of every live body.

options:
  FILE, --script FILE
                   read events (and optionally the frame count) from FILE, a script or a
                   recording
  --event "N: E"   add one event E before frame N (may be repeated); same syntax as a script line
  --frames N       number of frames to run (default: the script's "frames", all of a recording
                   cut short, else 120)
  --png FILE       save the back buffer of the last frame as a PNG
  --record FILE    write the run's input as the program's --record does (replayable)
  --golden DIR     compare every shot with DIR/NAME.png exactly; on a difference write
                   NAME.actual.png and NAME.diff.png into the --out directory, say so, exit 1
  --out DIR        where shots (without --golden), failed comparisons and F12's screenshots
                   go (default .)
  --update-goldens with --golden: write every shot as DIR/NAME.png instead of comparing
  --bodies         also print "body I X Y ANGLE VX VY W" for every body hashed after the last
                   frame, in C's exact hexadecimal notation (shows which body parts first)
  --scene FILE     open the scene file FILE before the first frame (as the program's --scene)
  --saved-scenes DIR
                   the scene menu (L) lists the scene files of DIR after the examples, as the
                   program lists those its Ctrl+S saved (none without this option)
  --save-scene FILE
                   after the last frame, save the scene as Ctrl+S does, into FILE (Ctrl+S
                   in a script saves scene-N.json into the --out directory)
  --share-replay FILE
                   after the last frame, write the recording a replay link (Ctrl+L) would carry
                   then into FILE: the play since the start while under a minute, else its last
                   minute from the scene where that starts
  --hash-every-frame
                   also print "frame N bodies B hash H" after every frame (finds the first
                   frame where two builds or two versions part)
  --help           print this text

script format, one entry per line; '#' starts a comment:
  frames N                 run N frames
  window W H               draw into a window of W x H pixels (the picture scaled into it as a
                           software window does; shots are of the whole window)
  frame N: key VK down     press the key with Windows virtual-key code VK before frame N
  frame N: key VK up       release it
  frame N: key VK tap      press and release it (one hit)
  frame N: mouse X Y       move the pointer to window point (X, Y)
  frame N: button B down   press mouse button B (1 left, 2 right, 3 middle)
  frame N: button B up     release it
  frame N: click B         press and release it (one hit)
  frame N: wheel DY        turn the mouse wheel DY notches (away from the user > 0)
  frame N: focus lost      the window loses the focus (all input released)
  frame N: focus gained    the window gets it back
  frame N: close           the window's close button: the run ends after frame N
  frame N: stall MS        the clock jumps MS milliseconds ahead before frame N
  frame N: clock MS        the clock reads MS when frame N starts (written by recordings)
  frame N: shot NAME [X Y W H]
                           after frame N, save the back buffer (or the box X Y W H of it)
                           as NAME.png, or compare it with the golden NAME.png (--golden)
  frame N: window W H [P]  from frame N, edit mode's palette takes clicks as a window of W x H
                           output pixels (P to a point, 1 when not given) laid it out
                           (written by recordings; the picture stays this run's own size)
  frame N: drop TEXT       a scene file dropped on the window opens before frame N; TEXT is
                           its bytes in one word, those up to a space, '#', '\' and 127
                           written as \xNN (recordings write it so)
Frames count from 0; events of one frame are fed in script order. Recordings made with
'dazozi-redov --record FILE' are scripts: this runner replays them to the same body hash. Escape (key 27) first
closes what is open (the scene menu, the help, the settings, a stroke, edit mode); with nothing
open it ends the run inside frame N's input handling, as it ends the program (the saved picture
is then the cleared back buffer of that frame).

output (stdout), one "name value" pair per line:
  frames (frames completed), ended (frames | close | escape), shapes, balls, cubes, stars,
  squids, chains, fps, bodies (live bodies hashed), hash (64-bit FNV-1a of the bits of every
  live body's position, angle, velocity and angular velocity, in class and creation order).
)";

std::string screenshotFolder = ".";
std::string savedScenesFolder; // --saved-scenes: the folder the scene menu lists

std::vector<SavedSceneList::Entry> findSavedScenes() {
    constexpr std::size_t kMost = 6; // as many as the program's menu lists
    return SavedSceneList::Newest(savedScenesFolder, kMost);
}
int screenshotsTaken = 0;
int scenesSaved = 0;

bool screenshotFailed = false;

// F12 in a run: a picture that could not be written is said on stderr and fails the run, as a
// shot line's would (the frame's own notice is seen by no one).
std::string saveScreenshotInOutputFolder() {
    const std::string path =
        screenshotFolder + "/screenshot-" + std::to_string(++screenshotsTaken) + ".png";
    if (SaveBackBufferPng(path)) {
        return "Screenshot saved: " + path;
    }
    std::cerr << "scenario: cannot write " << path << "\n";
    screenshotFailed = true;
    return "Screenshot could not be saved";
}

// Ctrl+S in a run: the scene goes into the output folder, never into the user's documents.
std::string saveSceneInOutputFolder() {
    const std::string path = screenshotFolder + "/scene-" + std::to_string(++scenesSaved) + ".json";
    std::string why;
    if (SavedScene::WriteWhole(path, CurrentSceneText(), &why)) {
        return "Scene saved: " + path;
    }
    const std::string line = "Scene could not be saved: " + path + ": " + why;
    std::cerr << "scenario: " << line << "\n";
    screenshotFailed = true;
    return line;
}

// What the end of a run needs, whether the frames ran out or Escape ended the run from inside a
// frame.
struct RunEnd {
    std::string pngPath;
    std::string saveScenePath;
    std::string shareReplayPath;
    bool dumpBodies = false;
    int completed = 0;
    bool failedShots = false;
} runEnd;
InputRecorder recorder;
// --share-replay: the last minute's input and where it can start, as the program keeps them.
InputRing shareRing(ReplayLink::kRingFrames, ReplayLink::kRingBytes);
ReplayStarts shareStarts;

// Finishes the recording, writes what was asked for and prints the counts and the hash; the
// run's exit status.
int finishRun(const char* ended) {
    SetGameRecorder(nullptr);
    if (recorder.IsOpen() && !recorder.Finish()) {
        std::cerr << "scenario: " << recorder.Error() << "\n";
        return 1;
    }
    if (recorder.Failed()) {
        return 1; // said when it happened
    }

    if (!runEnd.pngPath.empty() && !SaveBackBufferPng(runEnd.pngPath)) {
        std::cerr << "scenario: cannot write " << runEnd.pngPath << "\n";
        return 1;
    }
    if (!runEnd.saveScenePath.empty()) {
        if (!SavedScene::WriteWhole(runEnd.saveScenePath, CurrentSceneText())) {
            std::cerr << "scenario: cannot write " << runEnd.saveScenePath << "\n";
            return 1;
        }
    }
    if (!runEnd.shareReplayPath.empty()) {
        const ReplayLink::Made made =
            ReplayLink::Make(shareRing, &shareStarts, "", ReplayLink::kPageAddress, "", "");
        if (made.text.empty()) {
            std::cerr << "scenario: --share-replay: " << made.line << "\n";
            return 1;
        }
        if (!SavedScene::WriteWhole(runEnd.shareReplayPath, made.text)) {
            std::cerr << "scenario: cannot write " << runEnd.shareReplayPath << "\n";
            return 1;
        }
    }
    const BodyHash hash = BodyHash::OfLiveBodies(runEnd.dumpBodies ? &std::cout : nullptr);
    std::cout << "frames " << runEnd.completed << "\n"
              << "ended " << ended << "\n"
              << "shapes " << shapeCount << "\n"
              << "balls " << TBall::Count() << "\n"
              << "cubes " << TCube::Count() << "\n"
              << "stars " << TStar::Count() << "\n"
              << "squids " << TSquid::Count() << "\n"
              << "chains " << TChain::Count() << "\n"
              << "fps " << fpsValue << "\n"
              << "bodies " << hash.bodies << "\n"
              << "hash " << hash.Hex() << "\n";
    std::cout.flush();
    return runEnd.failedShots || screenshotFailed ? 1 : 0;
}

// Escape ends the run inside the frame's input handling, as it ends the program. The run is
// finished from here rather than by unwinding to main: the web build's runner has no C++
// exceptions (a throw ends node with "exiting due to exception"), and nothing of the frame is
// left to run either way.
void endByEscape() {
    const int status = finishRun("escape");
    std::fflush(nullptr);
    std::exit(status);
}

} // namespace

int main(int argc, char** argv) {
    InputScript script;
    std::string recordPath;
    std::string goldenDir;
    std::string outDir = ".";
    std::string scenePath;
    bool updateGoldens = false;
    bool hashEveryFrame = false;
    int framesOverride = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        std::string error;
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--script" && hasValue) {
            if (!script.Load(argv[++i], error)) {
                std::cerr << "scenario: " << error << "\n";
                return 2;
            }
            if (!error.empty()) {
                std::cerr << "scenario: " << error << "\n"; // a recording cut short
            }
        } else if (arg == "--event" && hasValue) {
            if (!script.AddEvent(argv[++i], error)) {
                std::cerr << "scenario: --event: " << error << "\n";
                return 2;
            }
        } else if (arg == "--frames" && hasValue) {
            const char* value = argv[++i];
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || errno != 0 || n < 0 || n >= INT_MAX) {
                std::cerr << "scenario: --frames needs a number of frames, not '" << value << "'\n";
                return 2;
            }
            framesOverride = static_cast<int>(n);
        } else if (arg == "--png" && hasValue) {
            runEnd.pngPath = argv[++i];
        } else if (arg == "--record" && hasValue) {
            recordPath = argv[++i];
        } else if (arg == "--golden" && hasValue) {
            goldenDir = argv[++i];
        } else if (arg == "--out" && hasValue) {
            outDir = argv[++i];
        } else if (arg == "--scene" && hasValue) {
            scenePath = argv[++i];
        } else if (arg == "--saved-scenes" && hasValue) {
            savedScenesFolder = argv[++i];
        } else if (arg == "--save-scene" && hasValue) {
            runEnd.saveScenePath = argv[++i];
        } else if (arg == "--update-goldens") {
            updateGoldens = true;
        } else if (arg == "--share-replay" && hasValue) {
            runEnd.shareReplayPath = argv[++i];
        } else if (arg == "--hash-every-frame") {
            hashEveryFrame = true;
        } else if (arg == "--bodies") {
            runEnd.dumpBodies = true;
        } else if (!arg.empty() && arg[0] != '-') {
            // A bare file is a script: 'scenario FILE' replays a recording.
            if (!script.Load(arg, error)) {
                std::cerr << "scenario: " << error << "\n";
                return 2;
            }
            if (!error.empty()) {
                std::cerr << "scenario: " << error << "\n"; // a recording cut short
            }
        } else {
            std::cerr << "scenario: unknown or incomplete option '" << arg << "' (see --help)\n";
            return 2;
        }
    }
    // A recording cut short plays every frame it holds, as the program's --replay does.
    const int frames = framesOverride >= 0  ? framesOverride
                       : script.frames >= 0 ? script.frames
                       : script.cutShort    ? script.Length()
                                            : 120;
    if (updateGoldens && goldenDir.empty()) {
        std::cerr << "scenario: --update-goldens needs --golden DIR\n";
        return 2;
    }
    if (!recordPath.empty()) {
        std::string error;
        if (!recorder.Open(recordPath, error)) {
            std::cerr << "scenario: " << error << "\n";
            return 2;
        }
    }

    // The scene file is read before anything starts: one that cannot be read is refused in one
    // line, with nothing of the start-up said before it.
    std::string sceneText;
    if (!scenePath.empty()) {
        std::string error;
        if (!ReadWholeFile(scenePath, static_cast<long long>(SceneFormat::kMaxBytes), sceneText,
                           error)) {
            std::cerr << "scenario: " << error << "\n";
            return 2;
        }
    }

    // Headless unless the caller chose drivers: no display and no sound device needed.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    static ManualClock clock(0);
    SetClock(&clock);
    SetEndProgramHandler(&endByEscape);
    SetOffscreenWindowSize(script.windowW, script.windowH);
    if (!StartUp(GraphicsTarget::Offscreen)) {
        return 1;
    }
    initGame();
    EnableToolbar(true);
    if (!scenePath.empty()) {
        std::string error;
        if (!OpenSceneText(sceneText, error)) {
            std::cerr << "scenario: " << scenePath << ": " << error << "\n";
            return 2;
        }
    }
    // F12 in a script saves into the output folder, never into the user's pictures.
    screenshotFolder = outDir;
    SetScreenshotSaver(&saveScreenshotInOutputFolder);
    SetSceneSaver(&saveSceneInOutputFolder);
    SetSceneOpener(&OpenSceneText, &RestorePreviousScene);
    if (!savedScenesFolder.empty()) {
        SetSavedSceneFinder(&findSavedScenes);
    }
    if (recorder.IsOpen()) {
        SetGameRecorder(&recorder, "scenario");
    }
    if (!runEnd.shareReplayPath.empty()) {
        if (!sceneText.empty()) {
            shareRing.Drop(sceneText);
        }
        SetGameRing(&shareRing);
        SetReplayStarts(&shareStarts, &CurrentSceneText);
    }

    const char* ended = "frames";
    for (int frame = 0; frame < frames; ++frame) {
        script.Feed(frame, &clock);
        // A scene dropped on the program's window opens before its frame, as it did there (a
        // refusal is said and the run goes on, as the program went on).
        if (const std::string* dropped = script.DropAt(frame)) {
            if (recorder.IsOpen()) {
                recorder.Drop(*dropped);
            }
            if (!runEnd.shareReplayPath.empty()) {
                shareRing.Drop(*dropped);
            }
            std::string error;
            if (!OpenSceneText(*dropped, error)) {
                std::cerr << "scenario: frame " << frame << ": dropped scene: " << error << "\n";
            }
        }
        updateGame();
        ++runEnd.completed;
        if (hashEveryFrame) {
            const BodyHash h = BodyHash::OfLiveBodies();
            std::cout << "frame " << frame << " bodies " << h.bodies << " hash " << h.Hex() << "\n";
        }
        const auto range = script.events.equal_range(frame);
        for (auto it = range.first; it != range.second; ++it) {
            const InputScript::Event& e = it->second;
            if (e.kind != InputScript::Event::Kind::Shot) {
                continue;
            }
            const ShotBox box{e.a, e.b, e.w, e.h};
            std::string message;
            if (goldenDir.empty() || updateGoldens) {
                const std::string path =
                    (goldenDir.empty() ? outDir : goldenDir) + "/" + e.name + ".png";
                if (!SaveShot(box, path)) {
                    // A box outside the frame is the script's fault, not the folder's.
                    message = ShotBoxProblem(box, e.name);
                    if (message.empty()) {
                        message = "cannot write " + path;
                    }
                }
            } else {
                message = CompareShotWithGolden(box, goldenDir, outDir, e.name);
            }
            if (!message.empty()) {
                std::cerr << "scenario: frame " << frame << ": " << message << "\n";
                runEnd.failedShots = true;
            }
        }
        if (CloseRequested() != 0) {
            ended = "close";
            break;
        }
    }
    const int status = finishRun(ended);
    SetEndProgramHandler(nullptr);
    SetClock(nullptr);
    return status;
}
