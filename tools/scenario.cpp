// Headless scenario runner: runs the real start-up, set-up and frame loop on an offscreen target
// with a manual clock (the frame pacing's sleeps advance it, so a run takes no wall time and two
// runs of the same script are identical), feeds scripted input through the real event path,
// then saves the back buffer and prints the overlay's counts and a hash of every live body.

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

#include "app/Game.hpp"
#include "app/Overlay.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "media/Clock.hpp"
#include "media/Graphics.hpp"
#include "media/Input.hpp"
#include "media/ScriptedInput.hpp"
#include "physics/CPBody.hpp"
#include "tools/GoldenFrame.hpp"

namespace {

constexpr const char* kHelp = R"(usage: scenario [options]

Runs the game headlessly (offscreen target, manual clock paced by the frame loop) for a number
of frames with scripted input, then prints the overlay's counts and a hash of every live body.

options:
  --script FILE    read events (and optionally the frame count) from FILE
  --event "N: E"   add one event E before frame N (may be repeated); same syntax as a script line
  --frames N       number of frames to run (default 120; overrides the script's "frames")
  --png FILE       save the back buffer of the last frame as a PNG
  --golden DIR     compare every shot with DIR/NAME.png exactly; on a difference write
                   NAME.actual.png and NAME.diff.png into the --out directory, say so, exit 1
  --out DIR        where shots (without --golden) and failed comparisons go (default .)
  --update-goldens with --golden: write every shot as DIR/NAME.png instead of comparing
  --help           print this text

script format, one entry per line; '#' starts a comment:
  frames N                 run N frames
  frame N: key VK down     press the key with Windows virtual-key code VK before frame N
  frame N: key VK up       release it
  frame N: key VK tap      press and release it (one hit)
  frame N: mouse X Y       move the pointer to window point (X, Y)
  frame N: button B down   press mouse button B (1 left, 2 right, 3 middle)
  frame N: button B up     release it
  frame N: click B         press and release it (one hit)
  frame N: focus lost      the window loses the focus (all input released)
  frame N: focus gained    the window gets it back
  frame N: close           the window's close button: the run ends after frame N
  frame N: stall MS        the clock jumps MS milliseconds ahead before frame N
  frame N: shot NAME [X Y W H]
                           after frame N, save the back buffer (or the box X Y W H of it)
                           as NAME.png, or compare it with the golden NAME.png (--golden)
Frames count from 0; events of one frame are fed in script order. Escape (key 27) ends the run
inside frame N's input handling, as it ends the program (the saved picture is then the cleared
back buffer of that frame).

output (stdout), one "name value" pair per line:
  frames (frames completed), ended (frames | close | escape), shapes, balls, cubes, stars,
  squids, chains, fps, bodies (live bodies hashed), hash (64-bit FNV-1a of every live body's
  position and angle, in class and creation order).
)";

struct Event {
    enum class Kind { Key, Mouse, Button, Focus, Close, Stall, Shot } kind;
    int a = 0;      // key code, x, button, stall ms, focus gained (1) / lost (0)
    int b = 0;      // y
    int action = 0; // 0 up, 1 down, 2 tap
    ShotBox box;    // shot: the part of the frame to keep
    std::string name;
};

struct Script {
    int frames = 120;
    std::multimap<int, Event> events; // frame -> events, in insertion order within a frame
};

struct ScenarioEnded {};
[[noreturn]] void endByEscape() {
    throw ScenarioEnded{};
}

bool parseAction(const std::string& word, int& action) {
    if (word == "down") {
        action = 1;
    } else if (word == "up") {
        action = 0;
    } else if (word == "tap") {
        action = 2;
    } else {
        return false;
    }
    return true;
}

// Parses "N: event words" into script; false with a message on a malformed entry.
bool parseEvent(const std::string& text, Script& script, std::string& error) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        error = "missing ':'";
        return false;
    }
    int frame = 0;
    try {
        frame = std::stoi(text.substr(0, colon));
    } catch (...) {
        error = "bad frame number";
        return false;
    }
    std::istringstream in(text.substr(colon + 1));
    std::string what;
    in >> what;
    Event e{};
    std::string word;
    if (what == "key") {
        e.kind = Event::Kind::Key;
        if (!(in >> e.a >> word) || !parseAction(word, e.action)) {
            error = "expected: key VK down|up|tap";
            return false;
        }
    } else if (what == "mouse") {
        e.kind = Event::Kind::Mouse;
        if (!(in >> e.a >> e.b)) {
            error = "expected: mouse X Y";
            return false;
        }
    } else if (what == "button" || what == "click") {
        e.kind = Event::Kind::Button;
        if (!(in >> e.a)) {
            error = "expected a button number";
            return false;
        }
        if (what == "click") {
            e.action = 2;
        } else if (!(in >> word) || word == "tap" || !parseAction(word, e.action)) {
            error = "expected: button B down|up";
            return false;
        }
    } else if (what == "focus") {
        e.kind = Event::Kind::Focus;
        in >> word;
        if (word != "lost" && word != "gained") {
            error = "expected: focus lost|gained";
            return false;
        }
        e.a = word == "gained" ? 1 : 0;
    } else if (what == "close") {
        e.kind = Event::Kind::Close;
    } else if (what == "shot") {
        e.kind = Event::Kind::Shot;
        if (!(in >> e.name) || e.name.find('/') != std::string::npos) {
            error = "expected: shot NAME [X Y W H]";
            return false;
        }
        if (in >> e.box.x) {
            if (!(in >> e.box.y >> e.box.w >> e.box.h) || e.box.w <= 0 || e.box.h <= 0) {
                error = "expected: shot NAME [X Y W H]";
                return false;
            }
        } else {
            in.clear();
        }
    } else if (what == "stall") {
        e.kind = Event::Kind::Stall;
        if (!(in >> e.a) || e.a < 0) {
            error = "expected: stall MS";
            return false;
        }
    } else {
        error = "unknown event '" + what + "'";
        return false;
    }
    if (in >> word) {
        error = "unexpected '" + word + "'";
        return false;
    }
    script.events.emplace(frame, e);
    return true;
}

bool parseScriptFile(const std::string& path, Script& script) {
    std::ifstream file(path);
    if (!file) {
        std::cerr << "scenario: cannot read " << path << "\n";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream in(line);
        std::string first;
        if (!(in >> first)) {
            continue;
        }
        std::string error;
        if (first == "frames") {
            if (!(in >> script.frames) || script.frames < 0) {
                std::cerr << path << ":" << number << ": expected: frames N\n";
                return false;
            }
        } else if (first == "frame") {
            std::string rest;
            std::getline(in, rest);
            if (!parseEvent(rest, script, error)) {
                std::cerr << path << ":" << number << ": " << error << "\n";
                return false;
            }
        } else {
            std::cerr << path << ":" << number << ": unknown entry '" << first << "'\n";
            return false;
        }
    }
    return true;
}

void feed(const Event& e, ManualClock& clock) {
    switch (e.kind) {
    case Event::Kind::Key:
        if (e.action == 2) {
            PushKey(e.a, true);
            PushKey(e.a, false);
        } else {
            PushKey(e.a, e.action == 1);
        }
        break;
    case Event::Kind::Mouse:
        PushMouseMove(e.a, e.b);
        break;
    case Event::Kind::Button:
        if (e.action == 2) {
            PushMouseButton(e.a, true);
            PushMouseButton(e.a, false);
        } else {
            PushMouseButton(e.a, e.action == 1);
        }
        break;
    case Event::Kind::Focus:
        PushFocus(e.a == 1);
        break;
    case Event::Kind::Close:
        PushCloseRequest();
        break;
    case Event::Kind::Stall:
        clock.Advance(e.a);
        break;
    case Event::Kind::Shot: // taken after the frame, not fed before it
        break;
    }
}

// 64-bit FNV-1a over the bit patterns of every live body's x, y and angle.
struct BodyHash {
    std::uint64_t value = 1469598103934665603ull;
    int bodies = 0;

    void addFloat(float f) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        for (int i = 0; i < 4; ++i) {
            value ^= (bits >> (8 * i)) & 0xFFu;
            value *= 1099511628211ull;
        }
    }
    void add(const std::shared_ptr<CPBody>& body) {
        if (!body || body->IsFreed()) {
            return;
        }
        const CPVect p = body->GetPosition();
        addFloat(p.x);
        addFloat(p.y);
        addFloat(body->GetAngle());
        ++bodies;
    }
};

template <class T, class F> void forEachLive(TList<std::shared_ptr<T>>* list, F f) {
    if (list == nullptr) {
        return;
    }
    auto walk = list->ObjectEnumerator();
    while (walk.HasNext()) {
        const std::shared_ptr<T>& object = walk.NextObject();
        if (object) {
            f(*object);
        }
    }
}

BodyHash hashBodies() {
    BodyHash hash;
    forEachLive(TBall::liveList.get(), [&](TBall& o) { hash.add(o._body); });
    forEachLive(TCube::liveList.get(), [&](TCube& o) { hash.add(o._body); });
    forEachLive(TStar::liveList.get(), [&](TStar& o) { hash.add(o._body); });
    forEachLive(TSquid::liveList.get(), [&](TSquid& o) { hash.add(o._body); });
    forEachLive(TTentacle::liveList.get(), [&](TTentacle& o) {
        auto walk = o._bodyRect.ObjectEnumerator();
        while (walk.HasNext()) {
            hash.add(walk.NextObject());
        }
    });
    forEachLive(TChain::liveList.get(), [&](TChain& o) {
        auto walk = o._body.ObjectEnumerator();
        while (walk.HasNext()) {
            hash.add(walk.NextObject());
        }
    });
    return hash;
}

} // namespace

int main(int argc, char** argv) {
    Script script;
    std::string pngPath;
    std::string goldenDir;
    std::string outDir = ".";
    bool updateGoldens = false;
    int framesOverride = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--script" && hasValue) {
            if (!parseScriptFile(argv[++i], script)) {
                return 2;
            }
        } else if (arg == "--event" && hasValue) {
            std::string error;
            if (!parseEvent(argv[++i], script, error)) {
                std::cerr << "scenario: --event: " << error << "\n";
                return 2;
            }
        } else if (arg == "--frames" && hasValue) {
            framesOverride = std::atoi(argv[++i]);
        } else if (arg == "--png" && hasValue) {
            pngPath = argv[++i];
        } else if (arg == "--golden" && hasValue) {
            goldenDir = argv[++i];
        } else if (arg == "--out" && hasValue) {
            outDir = argv[++i];
        } else if (arg == "--update-goldens") {
            updateGoldens = true;
        } else {
            std::cerr << "scenario: unknown or incomplete option '" << arg << "' (see --help)\n";
            return 2;
        }
    }
    if (framesOverride >= 0) {
        script.frames = framesOverride;
    }
    if (updateGoldens && goldenDir.empty()) {
        std::cerr << "scenario: --update-goldens needs --golden DIR\n";
        return 2;
    }

    // Headless unless the caller chose drivers: no display and no sound device needed.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    static ManualClock clock(0);
    SetClock(&clock);
    SetEndProgramHandler(&endByEscape);
    if (!StartUp(GraphicsTarget::Offscreen)) {
        return 1;
    }
    initGame();

    int completed = 0;
    bool failedShots = false;
    const char* ended = "frames";
    try {
        for (int frame = 0; frame < script.frames; ++frame) {
            const auto range = script.events.equal_range(frame);
            for (auto it = range.first; it != range.second; ++it) {
                feed(it->second, clock);
            }
            updateGame();
            ++completed;
            for (auto it = range.first; it != range.second; ++it) {
                const Event& e = it->second;
                if (e.kind != Event::Kind::Shot) {
                    continue;
                }
                std::string message;
                if (goldenDir.empty()) {
                    if (!SaveShot(e.box, outDir + "/" + e.name + ".png")) {
                        message = "cannot write " + outDir + "/" + e.name + ".png";
                    }
                } else if (updateGoldens) {
                    if (!SaveShot(e.box, goldenDir + "/" + e.name + ".png")) {
                        message = "cannot write " + goldenDir + "/" + e.name + ".png";
                    }
                } else {
                    message = CompareShotWithGolden(e.box, goldenDir, outDir, e.name);
                }
                if (!message.empty()) {
                    std::cerr << "scenario: frame " << frame << ": " << message << "\n";
                    failedShots = true;
                }
            }
            if (CloseRequested() != 0) {
                ended = "close";
                break;
            }
        }
    } catch (const ScenarioEnded&) {
        ended = "escape";
    }

    if (!pngPath.empty() && !SaveBackBufferPng(pngPath)) {
        std::cerr << "scenario: cannot write " << pngPath << "\n";
        return 1;
    }
    const BodyHash hash = hashBodies();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash.value));
    std::cout << "frames " << completed << "\n"
              << "ended " << ended << "\n"
              << "shapes " << shapeCount << "\n"
              << "balls " << TBall::Count() << "\n"
              << "cubes " << TCube::Count() << "\n"
              << "stars " << TStar::Count() << "\n"
              << "squids " << TSquid::Count() << "\n"
              << "chains " << TChain::Count() << "\n"
              << "fps " << fpsValue << "\n"
              << "bodies " << hash.bodies << "\n"
              << "hash " << hex << "\n";
    std::cout.flush();
    SetEndProgramHandler(nullptr);
    SetClock(nullptr);
    return failedShots ? 1 : 0;
}
