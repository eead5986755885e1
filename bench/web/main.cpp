// dazozi-side-bench: the same scenes timed the same way natively and in a web browser, for a
// side-by-side table (bench/web-vs-native.sh builds and runs both and prints it).
//
// Each scene (the empty level with the player, then 250 and 500 bodies spawned as dazozi-bench
// spawns them and left to settle) runs the real frame, updateGame, for a fixed number of
// frames; the level's update (camera, three physics steps, scroll limits) is timed inside it,
// the controller's input handling too, and drawing is the rest of the frame (drawing calls,
// overlay, present). Natively the frames run back to back with the pacing sleep taken out; in
// the browser they run from the page's display callback, paced as the game is, and the
// interval between frames shows what the browser really delivers.
//
// Output: one line per scene on stdout,
//   scene=<bodies> objects=<n> frame=<p50> physics=<p50> physics10=<p10> drawing=<p50>
//   interval=<p50> (ms) draws=<p50> states=<p50> (renderer calls by the primitives per frame)
//   cpu=<p50> (ms of CPU of the whole process per frame, every thread: Mesa's llvmpipe draws
//   on threads of its own; natively only)
// then "first-frame=<ms since main>" and "done".
// Natively, --scenes 0,250 runs only the listed scenes (of 0, 250, 500).
// In the browser, --side then copies each scene's picture for the bare page (bench/web/bare.js)
// and holds the scene, running the page's frames, until bench/web_bench.py has measured the page
// and the bare page side by side and asks for the next scene (side_next).

#include "app/Game.hpp"
#include "bench/Scenes.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TSquid.hpp"
#include "control/TControl.hpp"
#include "control/TSettings.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "world/TLevel.hpp"

#include <SDL.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef __EMSCRIPTEN__
#include "bench/web/BarePicture.hpp"
#include "media/frame/FrameLoop.hpp"

#include <emscripten.h>
#endif

namespace {

double NowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU time of the whole process, all threads, in ms.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double physicsMs = 0.0;
double inputMs = 0.0;

class TimedLevel final : public TLevel {
  public:
    void update(int steps, CPVect target) override {
        const double t0 = NowMs();
        TLevel::update(steps, target);
        physicsMs += NowMs() - t0;
    }
};

class TimedControl final : public TControl {
  public:
    void updateControls(bool canSpawn, bool canSteer) override {
        const double t0 = NowMs();
        TControl::updateControls(canSpawn, canSteer);
        inputMs += NowMs() - t0;
    }
};

// The desktop frame's pacing sleep taken out: frames run back to back.
class SleeplessClock final : public Clock {
  public:
    std::uint32_t NowMs() override {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(::NowMs()));
    }
    void Sleep(int) override {}
};

constexpr int kScenes[] = {0, 250, 500, 1000};
bool sceneWanted[std::size(kScenes)] = {true, true, true, false}; // 1000 only when asked for
// --tree-sleeping: populated scenes run on the library's bounding-box tree with sleeping on (the
// settings panel's rows), and settle until their piles sleep before they are measured.
bool treeAndSleeping = false;
constexpr int kSleepSettleFrames = 600;
// --side: after each scene is measured, its picture goes to the page and the scene is held.
bool sideBySide = false;
bool holding = false;
bool nextAsked = false;
bool barePageDrawing = false; // the page's frames wait
constexpr int kMeasuredFrames = 240;
constexpr int kSettleFrames = 300;

struct Bench {
    int scene = 0;
    bool filled = false;
    int frame = 0;
    double lastStart = 0.0;
    std::vector<double> frameMs, physics, drawing, interval, draws, states, cpu;
    bool done = false;
} bench;

// p in [0, 100]: nearest rank on a copy.
double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0.0;
    const auto k = static_cast<std::size_t>(p / 100.0 * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return v[k];
}

double Median(const std::vector<double>& v) {
    return Percentile(v, 50.0);
}

void PlainFrame() {
    updateGame();
}

// One frame of the benchmark: fills the next scene when it starts (frames run back to back
// inside this call), then times the real frame.
void MeasuredFrame() {
    if (bench.done)
        return;
    if (holding && barePageDrawing)
        return;
    if (holding && !nextAsked) {
        PlainFrame();
        return;
    }
    holding = false;
    nextAsked = false;
    while (!bench.filled && bench.scene < static_cast<int>(std::size(kScenes)) &&
           !sceneWanted[bench.scene])
        ++bench.scene;
    if (bench.scene == static_cast<int>(std::size(kScenes))) {
        bench.done = true;
        std::printf("done\n");
        std::fflush(stdout);
        return;
    }
    if (!bench.filled) {
        const int target = kScenes[bench.scene];
        if (target > 0) {
            if (TSquid::Count() <= 1)
                SpawnSquidsAndChains();
            if (treeAndSleeping && !gameSettings->tree) {
                TSettings& s = *gameSettings;
                s.Set(s.gravity, s.iterations, s.subSteps, true, s.scale, true);
            }
            FillTo(target, PlainFrame, kSettleFrames);
            for (int i = 0; treeAndSleeping && i < kSleepSettleFrames; ++i)
                PlainFrame();
        }
        bench.filled = true;
        bench.frame = 0;
        bench.lastStart = 0.0;
        for (auto* v : {&bench.frameMs, &bench.physics, &bench.drawing, &bench.interval,
                        &bench.draws, &bench.states, &bench.cpu}) {
            v->clear();
            v->reserve(kMeasuredFrames);
        }
    }
    physicsMs = 0.0;
    inputMs = 0.0;
    const DrawCallCounts c0 = GetDrawCallCounts();
    const double cpu0 = CpuMs();
    const double t0 = NowMs();
    updateGame();
    const double t1 = NowMs();
    bench.cpu.push_back(CpuMs() - cpu0);
    const DrawCallCounts c1 = GetDrawCallCounts();
    bench.draws.push_back(static_cast<double>(c1.draws - c0.draws));
    bench.states.push_back(static_cast<double>(c1.stateChanges - c0.stateChanges));
    if (bench.lastStart > 0.0)
        bench.interval.push_back(t0 - bench.lastStart);
    bench.lastStart = t0;
    bench.frameMs.push_back(t1 - t0);
    bench.physics.push_back(physicsMs);
    bench.drawing.push_back(t1 - t0 - physicsMs - inputMs);
    if (++bench.frame < kMeasuredFrames)
        return;
    const int objects =
        kScenes[bench.scene] == 0 ? 0 : FreeBodies() + TSquid::Count() - 1 + TChain::Count();
    // The 10th percentile of the physics: what other processes on a shared machine disturb least.
    std::printf("scene=%d objects=%d frame=%.2f physics=%.2f physics10=%.2f drawing=%.2f "
                "interval=%.2f draws=%.0f states=%.0f cpu=%.2f\n",
                kScenes[bench.scene], objects, Median(bench.frameMs), Median(bench.physics),
                Percentile(bench.physics, 10.0), Median(bench.drawing), Median(bench.interval),
                Median(bench.draws), Median(bench.states), Median(bench.cpu));
    std::fflush(stdout);
    bench.filled = false;
#ifdef __EMSCRIPTEN__
    if (sideBySide) {
        const bool copied = BarePicture::Capture(PlainFrame);
        holding = true;
        EM_ASM({ Module.sideReady&& Module.sideReady($0, $1); }, kScenes[bench.scene],
               copied ? 1 : 0);
    }
#endif
    ++bench.scene;
}

double mainStart = 0.0;

void FirstFrame() {
    updateGame();
    std::printf("first-frame=%.1f\n", NowMs() - mainStart);
}

} // namespace

#ifdef __EMSCRIPTEN__
// The browser half of the side-by-side run (bench/web_side.py) holds the page's frames while
// the bare page draws (the display callback then returns at once), lets them run again, and
// moves on to the next scene.
extern "C" EMSCRIPTEN_KEEPALIVE void side_pause() {
    barePageDrawing = true;
}
extern "C" EMSCRIPTEN_KEEPALIVE void side_resume() {
    barePageDrawing = false;
}
extern "C" EMSCRIPTEN_KEEPALIVE void side_next() {
    nextAsked = true;
}
#endif

int main(int argc, char** argv) {
    mainStart = NowMs();
    // Natively: SDL's OpenGL renderer in a window (the browser draws with WebGL), or with
    // --software the software renderer offscreen. In the browser the page's query gives the
    // arguments (bench.html?arg=--scenes&arg=1000&arg=--tree-sleeping).
    // --unbatched draws every primitive at once, as before batching, for comparison.
    bool software = false;
    for (int i = 1; i < argc; ++i) {
        software = software || std::strcmp(argv[i], "--software") == 0;
        treeAndSleeping = treeAndSleeping || std::strcmp(argv[i], "--tree-sleeping") == 0;
        sideBySide = sideBySide || std::strcmp(argv[i], "--side") == 0;
        if (std::strcmp(argv[i], "--unbatched") == 0)
            SetDrawBatching(false);
        if (std::strcmp(argv[i], "--scenes") == 0 && i + 1 < argc) {
            for (bool& wanted : sceneWanted)
                wanted = false;
            for (const char* p = argv[++i]; *p != '\0';) {
                char* end = nullptr;
                const long n = std::strtol(p, &end, 10);
                for (std::size_t k = 0; k < std::size(kScenes); ++k)
                    sceneWanted[k] = sceneWanted[k] || kScenes[k] == n;
                p = *end == ',' ? end + 1 : end;
                if (end == p && *p != '\0')
                    ++p;
            }
        }
    }
#ifdef __EMSCRIPTEN__
    (void)software;
    FrameLoop::Prepare();
#else
    if (!software)
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    static SleeplessClock sleepless;
    SetClock(&sleepless);
#endif
    if (!StartUp(
#ifdef __EMSCRIPTEN__
            GraphicsTarget::Window
#else
            software ? GraphicsTarget::Offscreen : GraphicsTarget::Window
#endif
            )) {
        std::printf("cannot open graphics: %s\n", GraphicsError());
        return 1;
    }
    level = std::make_shared<TimedLevel>();
    control = std::make_shared<TimedControl>();
    initGame();
    FirstFrame();
#ifdef __EMSCRIPTEN__
    FrameLoop::Run(MeasuredFrame);
#else
    while (!bench.done)
        MeasuredFrame();
    EndProgram();
#endif
}
