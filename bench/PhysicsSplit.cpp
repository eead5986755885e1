// dazozi-physics-split: where the level's physics goes. The level is filled as dazozi-bench
// fills it (balls, cubes and stars 2:2:1, ten squids, ten chains, settled); then, round by
// round, copies of the game's space on the bare library are made at the same moment, each with
// one part of the level left out or one setting changed, and stepped frame by frame in turn
// with the game's own physics, so every figure of a row shares the machine's moments. Built
// natively and for node (the same source), so both tables come from one program.
//
// Output: "bodies=N objects=N shapes=N joints=N segments=N" per population, then one line per
// measured thing: "n=N what=NAME p50=MS p10=MS" (processor ms per 1/60 s frame). --counts 250,1000
// and
// --rounds R choose the populations and the number of rounds (4 frames each); --profile F
// (under callgrind) counts F frames of the game's space and of a fresh copy instead.

#include "app/Game.hpp"
#include "bench/BareCopy.hpp"
#include "bench/Scenes.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TSquid.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <chipmunk/chipmunk.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif
#if !defined(__EMSCRIPTEN__) && __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define DAZOZI_CALLGRIND 1
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

// The processor time this program has used, in ms: on a machine shared with other builds the
// wall clock mostly measures them. Natively the thread's own time; in node the process's
// (user and system), which is this one thread's but for the engine's own helpers.
double NowMs() {
#ifdef __EMSCRIPTEN__
    return EM_ASM_DOUBLE({
        const u = process.cpuUsage();
        return (u.user + u.system) / 1000;
    });
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
#endif
}

double physicsMs = 0.0;

class TimedLevel final : public TLevel {
  public:
    void update(int steps, CPVect target) override {
        const double t0 = NowMs();
        TLevel::update(steps, target);
        physicsMs += NowMs() - t0;
    }
};

void PlainFrame() {
    updateGame();
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0.0;
    }
    const auto k = static_cast<std::size_t>(p / 100.0 * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return v[k];
}

const BareVariant kVariants[] = {
    {.name = "bare library, as the level"},
    {.name = "without the static segments", .segments = false},
    {.name = "without the velocity functions", .velocityFunctions = false},
    {.name = "without the joints", .joints = false},
    {.name = "one step a frame", .steps = 1},
    {.name = "5 iterations", .iterations = 5},
    {.name = "hash of 30 px cells x 10000", .hashCell = 30.0, .hashCount = 10000},
    {.name = "bounding-box tree", .tree = true},
    {.name = "tree, one step a frame", .tree = true, .steps = 1},
};
constexpr std::size_t kVariantCount = std::size(kVariants);

cpSpace* GameSpace() {
    return static_cast<cpSpace*>(level->_FGLayer->spaceMap->GetHandle());
}

void Measure(int n, int rounds) {
    constexpr int kFrames = 4;
    std::vector<double> game, direct;
    std::vector<std::vector<double>> bare(kVariantCount);
    for (int r = 0; r < rounds; ++r) {
        std::vector<std::unique_ptr<BareCopy>> copies;
        for (const BareVariant& v : kVariants) {
            copies.push_back(std::make_unique<BareCopy>(GameSpace(), v));
            // A fresh copy finds every contact anew: one frame untimed.
            copies.back()->StepFrame();
            copies.back()->Damp();
        }
        for (int f = 0; f < kFrames; ++f) {
            if (f % 2 == 0) {
                physicsMs = 0.0;
                updateGame();
                game.push_back(physicsMs);
            } else {
                // The game's own space stepped by the library itself (velocity functions
                // included), the rest of the frame then run without physics: what the wrapper's
                // calls add, apart from the space's history and layout in memory.
                const int steps = level->_steps;
                const double t0 = NowMs();
                for (int i = 0; i < steps; ++i) {
                    cpSpaceStep(GameSpace(), static_cast<double>(level->_dt));
                }
                direct.push_back(NowMs() - t0);
                level->Init(0);
                updateGame();
                level->Init(steps);
            }
            for (std::size_t i = 0; i < kVariantCount; ++i) {
                const double t0 = NowMs();
                copies[i]->StepFrame();
                bare[i].push_back(NowMs() - t0);
                copies[i]->Damp();
            }
        }
    }
    std::printf("n=%d what=game p50=%.3f p10=%.3f\n", n, Percentile(game, 50),
                Percentile(game, 10));
    std::printf("n=%d what=game's space stepped by the library p50=%.3f p10=%.3f\n", n,
                Percentile(direct, 50), Percentile(direct, 10));
    for (std::size_t i = 0; i < kVariantCount; ++i) {
        std::printf("n=%d what=%s p50=%.3f p10=%.3f\n", n, kVariants[i].name,
                    Percentile(bare[i], 50), Percentile(bare[i], 10));
    }
    std::fflush(stdout);
}

// --profile: for valgrind --tool=callgrind --instr-atstart=no (--cache-sim=yes), which counts
// instructions and cache misses whatever the machine's load. Each of `frames` frames steps the
// game's space with the library directly, then a fresh copy of it (made before, its first
// frame untimed), and dumps the counts of each apart ("game" and "copy" parts).
void Profile(int frames) {
#ifdef DAZOZI_CALLGRIND
    BareCopy copy(GameSpace(), kVariants[0]);
    copy.StepFrame();
    copy.Damp();
    const int steps = level->_steps;
    CALLGRIND_START_INSTRUMENTATION;
    for (int f = 0; f < frames; ++f) {
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < steps; ++i) {
            cpSpaceStep(GameSpace(), static_cast<double>(level->_dt));
        }
        CALLGRIND_DUMP_STATS_AT("game");
        copy.StepFrame();
        CALLGRIND_DUMP_STATS_AT("copy");
        level->Init(0);
        updateGame();
        level->Init(steps);
        copy.Damp();
    }
    CALLGRIND_STOP_INSTRUMENTATION;
#else
    (void)frames;
    std::printf("--profile needs valgrind's callgrind.h at build time\n");
#endif
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> counts = {250, 500, 1000};
    int rounds = 12;
    int profileFrames = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--counts") == 0) {
            counts.clear();
            for (const char* p = argv[i + 1]; *p != '\0';) {
                char* end = nullptr;
                counts.push_back(static_cast<int>(std::strtol(p, &end, 10)));
                p = *end == ',' ? end + 1 : end;
            }
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--profile") == 0) {
            profileFrames = std::atoi(argv[i + 1]);
        }
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    static ManualClock clock(0);
    SetClock(&clock);
    if (!StartUp(GraphicsTarget::Offscreen)) {
        std::printf("cannot open graphics: %s\n", GraphicsError());
        return 1;
    }
    level = std::make_shared<TimedLevel>();
    initGame();
    SpawnSquidsAndChains();
    for (int n : counts) {
        FillTo(n, PlainFrame, 150);
        const CPSpace& space = *level->_FGLayer->spaceMap;
        std::printf("bodies=%d objects=%d shapes=%d joints=%d segments=%d\n", space.CountBodies(),
                    FreeBodies() + TSquid::Count() - 1 + TChain::Count(), space.CountActiveShapes(),
                    space.CountJoints(), space.CountStaticShapes());
        if (profileFrames > 0) {
            Profile(profileFrames);
        } else {
            Measure(n, rounds);
        }
    }
    std::printf("done\n");
    return 0;
}
