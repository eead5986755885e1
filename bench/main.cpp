// dazozi-bench: runs the real frame (updateGame) headlessly on scripted scenes and prints, per
// scene, the physics and drawing time per frame next to their limits measured in the same run:
// the same physics space copied onto the bare library, and the same frame's SDL drawing calls
// replayed straight into the same renderer. Also heap allocations per frame, peak memory, the
// time to the first presented frame and the capacity within a 60 Hz frame.
//
// With --reset it measures instead the sandbox's R at 7,000 to 21,000 bodies, next to one frame
// of the same scene and to the bare library freeing the same space.
//
// With --joints it measures a scene of 300 machine joints (bridges and cradles).
//
// With --scenes it measures saving and opening a scene of 1,000 bodies and the file's size.
//
// With --edit it measures edit mode instead: one cell painted and erased with 1,000 bodies on
// the level next to the bare library doing the same, and frames of strokes across the screen.
//
// Usage: dazozi-bench [--renderer software|gl] [--frames N] [--quick]
//        dazozi-bench --sleep [--quick]  (the settled scene with sleeping off, then on)
//        dazozi-bench --cpu [--quick]   (CPU use in a window, both renderers in turn)
//        dazozi-bench --reset           (R on overfull scenes)
//        dazozi-bench --edit [--quick]  (edit mode)
//        dazozi-bench --scenes [--quick] (saving and opening scene files)
//        dazozi-bench --drawn [--quick] (drawn bodies next to cubes; making one)
//        dazozi-bench --joints [--quick] (300 machine joints)
//        dazozi-bench --zoom [--quick]   (500 bodies at zoom 1/4, 1 and 4)

#include "app/Game.hpp"
#include "bench/BareDraw.hpp"
#include "bench/BarePhysics.hpp"
#include "bench/CpuUse.hpp"
#include "bench/EditBench.hpp"
#include "bench/Harness.hpp"
#include "bench/SceneBench.hpp"
#include "bench/Scenes.hpp"
#include "bench/ZoomBench.hpp"
#include "bodies/LiveList.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TDrawn.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "control/TControl.hpp"
#include "control/TSettings.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "physics/CPBody.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLevel.hpp"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Time spent in the level's update (camera, the three physics steps, scroll limits) and in the
// controller's input handling, measured inside the real frame.
std::int64_t physicsNs = 0;
std::int64_t inputNs = 0;

class TimedLevel final : public TLevel {
  public:
    int extraRows = 0; // empty rows added under the foreground when loaded (--rack)
    void Load(int lvl) override {
        TLevel::Load(lvl);
        if (extraRows > 0) {
            AddEmptyRows(extraRows);
        }
    }
    void update(int steps, CPVect target) override {
        const std::int64_t t0 = NowNs();
        TLevel::update(steps, target);
        physicsNs += NowNs() - t0;
    }
};

class TimedControl final : public TControl {
  public:
    void updateControls(bool canSpawn, bool canSteer) override {
        const std::int64_t t0 = NowNs();
        TControl::updateControls(canSpawn, canSteer);
        inputNs += NowNs() - t0;
    }
};

double Ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

struct Options {
    std::string renderer = "software";
    int frames = 240;         // measured frames per scene (fewer when a scene is slow)
    double maxSeconds = 14.0; // wall-clock cap of one scene's measurement
    int warmup = 30;
    int settle = 150;
    bool quick = false;
    bool firstFrameOnly = false; // print the start-up figures and stop
    bool cpu = false;            // CPU use in a window on both renderers instead
    bool reset = false;          // measure R on overfull scenes instead
    bool edit = false;           // measure edit mode instead
    bool scenes = false;         // measure scene files instead
    bool zoom = false;           // measure the frame at three zooms instead
    bool sleeping = false;       // measure the settled scene with sleeping off, then on
    bool rack = false;           // measure 2,000 balls on a taller rack, tree and sleeping
    bool drawn = false;          // measure drawn bodies instead
    bool joints = false;         // measure 300 machine joints instead
};

struct Row {
    std::string scene;
    int population = 0;
    int bodies = 0, shapes = 0, joints = 0;
    int bareBodies = 0, bareShapes = 0, bareJoints = 0;
    double frameP50 = 0, frameP95 = 0;
    double physP50 = 0, physP95 = 0, bareP50 = 0, bareP95 = 0;
    double drawP50 = 0, drawP95 = 0, replayP50 = 0, replayP95 = 0;
    double inputP50 = 0;
    double allocsPerFrame = 0;
    std::uint64_t allocsMaxFrame = 0;
    double mallocsPerFrame = 0; // C allocator calls per frame, all libraries
    long peakKb = 0;
    int frames = 0;
    int drawOps = 0;
    int identical = -1; // replay drew the same pixels: 1 yes, 0 no, -1 not checked
    int sleeping = 0;   // bodies asleep when the measured frames ended
    int onPicture = 0;  // balls, cubes and stars that may show on the picture (drawn)
    std::string sdlCalls;
    std::string notes;
};

BarePhysics bare;
BareDraw replay;
bool softwareRenderer = false;

void PlainFrame() {
    updateGame();
}

// The overfull scenes of a user holding the right button on squids or chains: squids (8
// bodies each) and free chains (19 links) spawned across the level until `target` bodies are
// in the space, one frame run so that contacts exist, then R. Printed next to that frame and to
// the bare library freeing a copy of the same space.
void MeasureResets() {
    std::printf("\n### Reset (R) of overfull scenes\n\n");
    std::printf("| bodies | shapes | joints | one frame ms | R ms | bare library frees the copy ms "
                "| ratio | bodies after R |\n|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (int target : {7000, 14000, 21000}) {
        resetGame();
        const float width = static_cast<float>(level->_FGLayer->maxLevelW);
        int serial = 0;
        while (BarePhysics::GameBodies() < target) {
            const float x = 200.0f + std::fmod(37.0f * static_cast<float>(serial), width - 400.0f);
            const float y = 60.0f + std::fmod(23.0f * static_cast<float>(serial), 500.0f);
            SpawnOfKind(serial % 2 == 0 ? 4 : 5, Vec2(x, y));
            ++serial;
        }
        const std::int64_t f0 = NowNs();
        updateGame();
        const std::int64_t f1 = NowNs();
        const int bodies = BarePhysics::GameBodies();
        const int shapes = BarePhysics::GameShapes();
        const int joints = BarePhysics::GameJoints();
        bare.CopyGameSpace();
        const std::int64_t r0 = NowNs();
        resetGame();
        const std::int64_t r1 = NowNs();
        bare.Destroy();
        const std::int64_t r2 = NowNs();
        std::printf("| %d | %d | %d | %.1f | %.1f | %.1f | %.2fx | %d |\n", bodies, shapes, joints,
                    Ms(f1 - f0), Ms(r1 - r0), Ms(r2 - r1),
                    r2 > r1 ? static_cast<double>(r1 - r0) / static_cast<double>(r2 - r1) : 0.0,
                    BarePhysics::GameBodies());
        std::fflush(stdout);
    }
}

// Which kinds stay awake, and how fast the fastest of each moves, on stderr after each scene
// when DAZOZI_BENCH_AWAKE is set (why bodies do not fall asleep).
void ReportAwake() {
    const char* names[] = {"ball", "cube", "star", "squid", "tentacle", "chain", "other"};
    int awake[7] = {}, total[7] = {}, moving[7] = {};
    double fastest[7] = {};
    for (const auto& object : level->_FGLayer->spaceMap->BodyList()) {
        const auto* b = static_cast<const CPBody*>(object.get());
        auto* o = static_cast<TObject*>(b->GetData());
        int k = 6;
        if (dynamic_cast<TBall*>(o))
            k = 0;
        else if (dynamic_cast<TCube*>(o))
            k = 1;
        else if (dynamic_cast<TStar*>(o))
            k = 2;
        else if (dynamic_cast<TSquid*>(o))
            k = 3;
        else if (dynamic_cast<TTentacle*>(o))
            k = 4;
        else if (dynamic_cast<TChain*>(o))
            k = 5;
        ++total[k];
        if (!b->IsSleeping()) {
            ++awake[k];
            const double v = b->GetVelocity().Length();
            fastest[k] = std::max(fastest[k], v);
            // Faster than the library's idle speed at the level's gravity and step.
            if (v > 600.0 / 180.0)
                ++moving[k];
        }
    }
    for (int k = 0; k < 7; ++k)
        std::fprintf(stderr, "    %s: %d of %d awake, %d faster than 3.3 px/s, fastest %.2f px/s\n",
                     names[k], awake[k], total[k], moving[k], fastest[k]);
}

// Balls, cubes and stars whose pictures may show with the current scroll: those the frame draws.
template <class T> int OnPicture(TList<std::shared_ptr<T>>* list) {
    int n = 0;
    const float ox = -static_cast<float>(level->_FGLayer->ScrollX);
    const float oy = -static_cast<float>(level->_FGLayer->ScrollY);
    if (list != nullptr) {
        for (const std::shared_ptr<T>& o : *list) {
            n += o && o->_life != 0 &&
                 MayShowOnPicture(o->DrawCentre(), T::kDrawReach, ox, oy, level->_FGLayer->Zoom);
        }
    }
    return n;
}
int BodiesOnPicture() {
    return OnPicture(TBall::liveList.get()) + OnPicture(TCube::liveList.get()) +
           OnPicture(TStar::liveList.get());
}

Row Measure(const std::string& name, int population, const Options& opt) {
    Row row;
    row.scene = name;
    row.population = population;
    if (!bare.CopyGameSpace()) {
        row.notes = bare.Error();
    }
    // Counted when the copy is made, so that both columns describe the same moment.
    row.bodies = BarePhysics::GameBodies();
    row.shapes = BarePhysics::GameShapes();
    row.joints = BarePhysics::GameJoints();
    const int steps = level->_steps;
    const double dt = static_cast<double>(level->_dt);
    // Both scenes run a while before timing: caches, the copy's contact cache, textures.
    for (int i = 0; i < opt.warmup; ++i) {
        updateGame();
        bare.StepFrame(steps, dt);
        bare.DampLikeTheGame();
    }
    replay.StartRecording();
    updateGame();
    row.drawOps = replay.StopRecording();
    // The limit must draw what the game drew: on the software renderer the back buffer after
    // the replay is compared with the game's, pixel by pixel.
    if (softwareRenderer) {
        const std::vector<std::uint32_t> game = replay.ReadBack();
        replay.Replay();
        const std::vector<std::uint32_t> again = replay.ReadBack();
        row.identical = !game.empty() && game == again ? 1 : 0;
    }
    bare.StepFrame(steps, dt);
    bare.DampLikeTheGame();
    if (replay.Incomplete()) {
        row.notes += " [replay misses point/outline calls]";
    }

    const auto capacity = static_cast<std::size_t>(std::max(opt.frames, 0));
    Samples frame(capacity), phys(capacity), draw(capacity), input(capacity), barePhys(capacity),
        bareDraw(capacity);
    std::uint64_t allocs = 0, maxAllocs = 0, cAllocs = 0;
    ResetSdlCallCounts();
    const std::int64_t start = NowNs();
    int n = 0;
    for (; n < opt.frames; ++n) {
        physicsNs = inputNs = 0;
        const std::uint64_t a0 = HeapAllocations();
        const std::uint64_t m0 = MallocCalls();
        TraceMallocs(n == opt.frames / 2 && std::getenv("DAZOZI_BENCH_TRACE_MALLOC") != nullptr);
        const std::int64_t t0 = NowNs();
        updateGame();
        const std::int64_t t1 = NowNs();
        TraceMallocs(false);
        const std::uint64_t a = HeapAllocations() - a0;
        cAllocs += MallocCalls() - m0;
        allocs += a;
        maxAllocs = std::max(maxAllocs, a);
        frame.Add(Ms(t1 - t0));
        phys.Add(Ms(physicsNs));
        input.Add(Ms(inputNs));
        draw.Add(Ms(t1 - t0 - physicsNs - inputNs));

        const std::int64_t b0 = NowNs();
        bare.StepFrame(steps, dt);
        const std::int64_t b1 = NowNs();
        bare.DampLikeTheGame();
        const std::int64_t d0 = NowNs();
        replay.Replay();
        const std::int64_t d1 = NowNs();
        barePhys.Add(Ms(b1 - b0));
        bareDraw.Add(Ms(d1 - d0));
        if (n >= 60 && Ms(NowNs() - start) > opt.maxSeconds * 1000.0) {
            ++n;
            break;
        }
    }
    row.frames = n;
    row.sdlCalls = DescribeSdlCalls(SdlCalls(), n);
    row.frameP50 = frame.Median();
    row.frameP95 = frame.Percentile(95);
    row.physP50 = phys.Median();
    row.physP95 = phys.Percentile(95);
    row.drawP50 = draw.Median();
    row.drawP95 = draw.Percentile(95);
    row.inputP50 = input.Median();
    row.bareP50 = barePhys.Median();
    row.bareP95 = barePhys.Percentile(95);
    row.replayP50 = bareDraw.Median();
    row.replayP95 = bareDraw.Percentile(95);
    row.allocsPerFrame = static_cast<double>(allocs) / n;
    row.allocsMaxFrame = maxAllocs;
    row.mallocsPerFrame = static_cast<double>(cAllocs) / n;
    row.bareBodies = bare.Bodies();
    row.bareShapes = bare.Shapes();
    row.bareJoints = bare.Joints();
    row.peakKb = PeakRssKb();
    row.sleeping = level->_FGLayer->spaceMap->CountSleepingBodies();
    row.onPicture = BodiesOnPicture();
    if (std::getenv("DAZOZI_BENCH_AWAKE") != nullptr)
        ReportAwake();
    if (row.notes.empty()) {
        row.notes = bare.Notes();
    }
    std::fprintf(
        stderr,
        "  %-22s %4d frames: frame %.2f ms (physics %.2f / bare %.2f, drawing %.2f / bare %.2f), "
        "%d of %d bodies asleep\n",
        name.c_str(), n, row.frameP50, row.physP50, row.bareP50, row.drawP50, row.replayP50,
        row.sleeping, row.bodies);
    return row;
}

// The table of the sleeping benches (--sleep, --rack).
void PrintSleepingTable(const char* title, const std::vector<Row>& rows, const Options& opt,
                        const std::string& rendererName) {
    std::printf("\n### %s: renderer %s (SDL renderer \"%s\")\n\n", title, opt.renderer.c_str(),
                rendererName.c_str());
    std::printf(
        "| scene | objects | on the picture | bodies | asleep | frame p50 / p95 ms | limit ms "
        "| physics p50 / p95 ms | bare physics p50 / p95 ms | drawing p50 / p95 ms | bare "
        "drawing p50 / p95 ms | allocs/frame |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        std::printf(
            "| %s | %d | %d | %d | %d | %.2f / %.2f | 16.67 | %.2f / %.2f | %.2f / %.2f | %.2f / "
            "%.2f | %.2f / %.2f | %.1f (max %llu) |\n",
            r.scene.c_str(), r.population, r.onPicture, r.bodies, r.sleeping, r.frameP50,
            r.frameP95, r.physP50, r.physP95, r.bareP50, r.bareP95, r.drawP50, r.drawP95,
            r.replayP50, r.replayP95, r.allocsPerFrame,
            static_cast<unsigned long long>(r.allocsMaxFrame));
    }
    std::fflush(stdout);
}

// --sleep: a settled scene with the game's sleeping setting off, then on, in one run, each row
// next to the 60 Hz budget and its bare-library limit. The level's own map does not hold 1,500
// bodies (its air holds about 1,250 and its heaps drain down the open shafts), so the bodies
// are put on a rack of shelves built over it (FillRack).
// --rack: the same with 2,000 balls and the library's tree, as a user who wants many bodies
// sets it in the settings panel. The level's 32 rows hold about 1,510 bodies of 30 px on the
// rack (no packing of 30 px balls fits 2,000 in its 2016 x 768 px), so the level is loaded with
// 12 empty rows more, three shelves (main sets extraRows).
void MeasureSleeping(const Options& opt, const std::string& rendererName) {
    const bool balls = opt.rack;
    const int target = opt.quick ? (balls ? 800 : 500) : (balls ? 2000 : 1500);
    CPSpace& space = *level->_FGLayer->spaceMap;
    if (balls) {
        space.UseBroadPhase(CPSpace::BroadPhase::Tree);
    }
    // The bare copy starts awake: it needs longer than the sleep time to fall asleep as well.
    Options sleepy = opt;
    sleepy.warmup = 90;
    auto settle = [](int frames) {
        for (int i = 0; i < frames; ++i) {
            updateGame();
        }
    };
    auto population = [] { return FreeBodies() + TSquid::Count() - 1 + TChain::Count(); };
    auto sleeping = [&space](bool on) {
        // What the settings panel's sleeping row sets.
        space.SetSleepTime(on ? TSettings::kSleepSeconds : INFINITY);
        if (!on) {
            space.WakeAll();
        }
    };
    const std::string rack = std::to_string(target) +
                             (balls ? " balls on a rack, tree" : " balls, cubes, stars on a rack");
    std::vector<Row> rows;
    FillRack(target, PlainFrame, opt.settle * 2, balls);
    rows.push_back(Measure(rack + ", sleeping off", population(), opt));
    sleeping(true);
    settle(opt.quick ? 120 : 300); // every bin comes to rest and falls asleep
    rows.push_back(Measure(rack + ", sleeping on", population(), sleepy));
    // The same frame drawing every body, those outside the picture too (as before culling).
    bodiesCullOffPicture = false;
    rows.push_back(Measure(rack + ", sleeping on, no culling", population(), sleepy));
    bodiesCullOffPicture = true;
    sleeping(false);
    settle(30);
    rows.push_back(Measure(rack + ", sleeping off again", population(), opt));

    PrintSleepingTable(balls ? "Rack of balls" : "Sleeping", rows, opt, rendererName);
}

// A drawn body as a user might make one, about 29 px across: 8 to 16 corners in turn, every
// other one with its corners alternately pulled in (concave, so split into pieces), the five
// materials in turn.
std::vector<CPVect> DrawnOutline(int serial, CPVect p) {
    const int corners = 8 + serial % 9;
    const bool concave = serial % 2 == 1 && corners % 2 == 0;
    std::vector<CPVect> outline;
    for (int k = 0; k < corners; ++k) {
        const double a = 2.0 * 3.141592653589793 * k / corners + 0.37 * serial;
        const double r = concave && k % 2 == 1 ? 9.0 : 14.5;
        outline.push_back(
            p.Add(Vec2(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)))));
    }
    return outline;
}
int drawnSerial = 0;
void SpawnDrawn(CPVect p) {
    OutlineFault fault = OutlineFault::None;
    const auto material = static_cast<Material>(drawnSerial % kMaterialCount);
    if (!TDrawn::CreatePolygon(level->_FGLayer, DrawnOutline(drawnSerial, p), material, false,
                               fault)) {
        std::fprintf(stderr, "  drawn body %d refused: %s\n", drawnSerial, OutlineFaultText(fault));
    }
    ++drawnSerial;
}
int DrawnBodies() {
    return TDrawn::Count();
}
void SpawnCube(CPVect p) {
    SpawnOfKind(2, p);
}
int Cubes() {
    return TCube::Count();
}

// --drawn: 500 drawn bodies of 8 to 16 corners resting on the level next to 500 cubes, in one
// run: each one's physics beside the bare library stepping a copy of the same space, and whole
// frames of the two side by side; then making one body (a 16-corner concave outline) with 1,000
// drawn bodies on the level.
void MeasureDrawnBodies(const Options& opt, const std::string& rendererName) {
    const int target = 500;
    std::vector<Row> rows;
    resetGame();
    FillTo(target, PlainFrame, opt.settle, SpawnCube, Cubes);
    rows.push_back(Measure(std::to_string(Cubes()) + " cubes", Cubes(), opt));
    resetGame();
    FillTo(target, PlainFrame, opt.settle, SpawnDrawn, DrawnBodies);
    rows.push_back(
        Measure(std::to_string(DrawnBodies()) + " drawn bodies, 8-16 corners", DrawnBodies(), opt));

    std::printf("\n### Drawn bodies: renderer %s (SDL renderer \"%s\")\n\n", opt.renderer.c_str(),
                rendererName.c_str());
    std::printf("| scene | bodies | shapes | frame p50 / p95 ms | physics p50 / p95 ms | bare "
                "physics p50 / p95 ms | physics ratio (limit 1.1x) | drawing p50 / p95 ms | "
                "allocs/frame |\n|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %d | %d | %.2f / %.2f | %.2f / %.2f | %.2f / %.2f | %.2fx | %.2f / "
                    "%.2f | %.1f |\n",
                    r.scene.c_str(), r.bodies, r.shapes, r.frameP50, r.frameP95, r.physP50,
                    r.physP95, r.bareP50, r.bareP95, r.bareP50 > 0 ? r.physP50 / r.bareP50 : 0.0,
                    r.drawP50, r.drawP95, r.allocsPerFrame);
    }
    const Row& cubes = rows[0];
    const Row& drawn = rows[1];
    std::printf("\nFrame of the drawn bodies / frame of the cubes (limit 1.3x): %.2fx (drawing "
                "alone %.2fx)\n",
                cubes.frameP50 > 0 ? drawn.frameP50 / cubes.frameP50 : 0.0,
                cubes.drawP50 > 0 ? drawn.drawP50 / cubes.drawP50 : 0.0);

    FillTo(opt.quick ? 600 : 1000, PlainFrame, opt.settle, SpawnDrawn, DrawnBodies);
    const int listed = DrawnBodies();
    const int times = opt.quick ? 50 : 200;
    Samples make(static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) {
        // A 16-corner star in the open air of the level's top left, taken away again untimed.
        const std::vector<CPVect> outline = DrawnOutline(15 + 18 * i, Vec2(300.0f, 60.0f));
        OutlineFault fault = OutlineFault::None;
        const std::int64_t t0 = NowNs();
        TDrawn* body =
            TDrawn::CreatePolygon(level->_FGLayer, outline, Material::Wood, false, fault);
        make.Add(Ms(NowNs() - t0));
        if (body != nullptr) {
            body->remove();
        }
    }
    std::printf("\nMaking one drawn body (16-corner concave outline) with %d drawn bodies on the "
                "level (limit 1 ms): p50 %.4f ms, max %.4f ms over %d\n",
                listed, make.Median(), make.Percentile(100.0), times);
    std::fflush(stdout);
}

// --joints: bridges of hinged cubes and cradles of roped balls, 300 joints, settled, next to
// the 60 Hz budget and the bare library stepping the same bodies and joints.
void MeasureJoints(const Options& opt, const std::string& rendererName) {
    const int made = BuildMachines(300);
    for (int i = 0; i < opt.settle; ++i) {
        updateGame();
    }
    std::vector<Row> rows;
    rows.push_back(Measure(std::to_string(made) + " joints: bridges and cradles",
                           FreeBodies() + TSquid::Count() - 1, opt));
    control->debugMode = 1;
    rows.push_back(Measure(std::to_string(made) + " joints + debug view",
                           FreeBodies() + TSquid::Count() - 1, opt));
    control->debugMode = -1;
    std::printf("\n### Machine joints: renderer %s (SDL renderer \"%s\")\n\n", opt.renderer.c_str(),
                rendererName.c_str());
    std::printf("| scene | objects | bodies / shapes / joints | frame p50 / p95 ms | limit ms | "
                "physics p50 / p95 ms | bare physics p50 / p95 ms | ratio | drawing p50 / p95 ms "
                "| allocs/frame |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %d | %d / %d / %d | %.2f / %.2f | 16.67 | %.2f / %.2f | %.2f / %.2f | "
                    "%.2fx | %.2f / %.2f | %.1f (max %llu) |\n",
                    r.scene.c_str(), r.population, r.bodies, r.shapes, r.joints, r.frameP50,
                    r.frameP95, r.physP50, r.physP95, r.bareP50, r.bareP95,
                    r.bareP50 > 0 ? r.physP50 / r.bareP50 : 0.0, r.drawP50, r.drawP95,
                    r.allocsPerFrame, static_cast<unsigned long long>(r.allocsMaxFrame));
        std::printf("  (bare copy: %d bodies / %d shapes / %d joints%s%s)\n", r.bareBodies,
                    r.bareShapes, r.bareJoints, r.notes.empty() ? "" : "; ", r.notes.c_str());
    }
    std::fflush(stdout);
}

// Capacity: the population at which the median frame crosses 16.7 ms, interpolated linearly
// between the two measured populated scenes around the crossing (extrapolated past the last).
struct Capacity {
    double value = -1;
    bool extrapolated = false;
};
Capacity CapacityOf(const std::vector<Row>& rows, double (*cost)(const Row&)) {
    constexpr double kBudget = 1000.0 / 60.0;
    std::vector<const Row*> pts;
    for (const Row& r : rows) {
        if (r.scene.find("debug") == std::string::npos) {
            pts.push_back(&r);
        }
    }
    Capacity c;
    if (pts.size() < 2) {
        return c;
    }
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const double c0 = cost(*pts[i - 1]), c1 = cost(*pts[i]);
        if (c0 <= kBudget && c1 > kBudget) {
            c.value = pts[i - 1]->population +
                      (kBudget - c0) / (c1 - c0) * (pts[i]->population - pts[i - 1]->population);
            return c;
        }
    }
    if (cost(*pts[0]) > kBudget) {
        c.value = 0;
        return c;
    }
    const Row& a = *pts[pts.size() - 2];
    const Row& b = *pts.back();
    const double slope = (cost(b) - cost(a)) / std::max(1, b.population - a.population);
    c.value = slope > 0 ? b.population + (kBudget - cost(b)) / slope : 1e9;
    c.extrapolated = true;
    return c;
}

std::string CapacityText(Capacity c) {
    if (c.value < 0) {
        return "n/a";
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%d", c.extrapolated ? "~" : "", static_cast<int>(c.value));
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    const std::int64_t mainStart = NowNs();
    const double execToMain = MsSinceProcessStart();
    Options opt;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--renderer") == 0 && i + 1 < argc) {
            opt.renderer = argv[++i];
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            opt.frames = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--cpu") == 0) {
            opt.cpu = true;
        } else if (std::strcmp(argv[i], "--first-frame") == 0) {
            opt.firstFrameOnly = true;
        } else if (std::strcmp(argv[i], "--reset") == 0) {
            opt.reset = true;
        } else if (std::strcmp(argv[i], "--edit") == 0) {
            opt.edit = true;
        } else if (std::strcmp(argv[i], "--scenes") == 0) {
            opt.scenes = true;
        } else if (std::strcmp(argv[i], "--zoom") == 0) {
            opt.zoom = true;
        } else if (std::strcmp(argv[i], "--sleep") == 0) {
            opt.sleeping = true;
        } else if (std::strcmp(argv[i], "--rack") == 0) {
            opt.rack = true;
        } else if (std::strcmp(argv[i], "--drawn") == 0) {
            opt.drawn = true;
        } else if (std::strcmp(argv[i], "--joints") == 0) {
            opt.joints = true;
        } else if (std::strcmp(argv[i], "--quick") == 0) {
            opt.quick = true;
            opt.frames = 60;
            opt.settle = 60;
            opt.maxSeconds = 4.0;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--renderer software|gl] [--frames N] [--quick] "
                         "[--first-frame] [--cpu] [--reset] [--edit] [--scenes] [--sleep] [--rack] "
                         "[--drawn] [--joints] [--zoom]\n",
                         argv[0]);
            return 2;
        }
    }
    if (opt.cpu) {
        // The real program's pacing and window; each renderer is opened in turn.
        if (!StartUp(GraphicsTarget::Window)) {
            std::printf("CPU use: cannot open a window (%s); skipped\n", GraphicsError());
            return 0;
        }
        initGame();
        const int status = opt.quick ? RunCpuUse(1, 2.0) : RunCpuUse(3, 5.0);
        std::_Exit(status);
    }
    const bool gl = opt.renderer == "gl";
    softwareRenderer = !gl;
    if (gl) {
        // The game would leave a CPU-rasterised GL for the software renderer; measure GL anyway.
        setenv("DAZOZI_RENDERER", "accelerated", 1);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    }

    // The start of a real run: everything up to the first presented frame, on the system clock.
    const std::int64_t startUp0 = NowNs();
    if (!StartUp(gl ? GraphicsTarget::Window : GraphicsTarget::Offscreen)) {
        std::printf("renderer %s: cannot open graphics (%s); skipped\n", opt.renderer.c_str(),
                    GraphicsError());
        return 0;
    }
    auto timedLevel = std::make_shared<TimedLevel>();
    timedLevel->extraRows = opt.rack ? 12 : 0;
    level = timedLevel;
    control = std::make_shared<TimedControl>();
    const std::int64_t initGame0 = NowNs();
    initGame();
    const std::int64_t firstFrame0 = NowNs();
    updateGame();
    const std::int64_t firstFrame1 = NowNs();
    const double firstFrameMs = Ms(firstFrame1 - mainStart);
    const double firstFrameSinceExec = MsSinceProcessStart();
    if (opt.firstFrameOnly) {
        std::printf("%s: first presented frame %.1f ms after main() (%.0f ms after exec; start-up "
                    "%.1f ms, set-up %.1f ms, first frame %.1f ms)\n",
                    opt.renderer.c_str(), firstFrameMs, firstFrameSinceExec,
                    Ms(initGame0 - startUp0), Ms(firstFrame0 - initGame0),
                    Ms(firstFrame1 - firstFrame0));
        std::fflush(stdout);
        std::_Exit(0);
    }

    // From here the frame's pacing sleep only advances a manual clock.
    static ManualClock manual(static_cast<std::uint32_t>(TimeMs()));
    SetClock(&manual);

    SDL_RendererInfo info{};
    // The recorder knows the renderer the game draws with.
    replay.StartRecording();
    updateGame();
    replay.StopRecording();
    std::string rendererName = "?";
    if (SDL_Renderer* r = replay.Renderer(); r != nullptr && SDL_GetRendererInfo(r, &info) == 0) {
        rendererName = info.name;
    }
    std::fprintf(stderr, "renderer %s (SDL: %s)\n", opt.renderer.c_str(), rendererName.c_str());

    if (opt.reset) {
        MeasureResets();
        std::_Exit(0);
    }
    if (opt.edit) {
        MeasureEditing(PlainFrame, opt.quick);
        std::_Exit(0);
    }
    if (opt.scenes) {
        MeasureSceneFiles(PlainFrame, opt.quick);
        std::_Exit(0);
    }
    if (opt.zoom) {
        MeasureZoom(PlainFrame, opt.quick);
        std::_Exit(0);
    }
    if (opt.sleeping || opt.rack) {
        MeasureSleeping(opt, rendererName);
        std::_Exit(0);
    }
    if (opt.drawn) {
        MeasureDrawnBodies(opt, rendererName);
        std::_Exit(0);
    }
    if (opt.joints) {
        MeasureJoints(opt, rendererName);
        std::_Exit(0);
    }

    std::vector<Row> rows;
    rows.push_back(Measure("empty level + player", 0, opt));

    SpawnSquidsAndChains();
    const std::vector<int> populations =
        opt.quick ? std::vector<int>{250, 500} : std::vector<int>{250, 500, 1000, 1500};
    for (int target : populations) {
        FillTo(target, PlainFrame, opt.settle);
        const int pop = FreeBodies() + TSquid::Count() - 1 + TChain::Count();
        rows.push_back(Measure(std::to_string(target) + " bodies", pop, opt));
        if (target == 1000 || (opt.quick && target == 500)) {
            control->debugMode = 1;
            rows.push_back(Measure(std::to_string(target) + " bodies + debug view", pop, opt));
            control->debugMode = -1;
        }
    }

    std::printf("\n### Renderer: %s (SDL renderer \"%s\")\n\n", opt.renderer.c_str(),
                rendererName.c_str());
    std::printf("First presented frame: %.1f ms after main() (%.0f ms after exec, +-10 ms; "
                "%.0f ms before main; start-up %.1f ms, set-up %.1f ms, first frame %.1f ms)\n\n",
                firstFrameMs, firstFrameSinceExec, execToMain, Ms(initGame0 - startUp0),
                Ms(firstFrame0 - initGame0), Ms(firstFrame1 - firstFrame0));
    std::printf(
        "| scene | objects | bodies | shapes | joints | frame p50 / p95 ms | physics p50 / p95 ms "
        "| bare physics p50 / p95 ms | ratio | drawing p50 / p95 ms | bare drawing p50 / p95 ms "
        "| ratio | allocs/frame | peak RSS MB |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %d | %d | %d | %d | %.2f / %.2f | %.2f / %.2f | %.2f / %.2f | %.2fx | "
                    "%.2f / %.2f | %.2f / %.2f | %.2fx | %.1f (max %llu) | %.1f |\n",
                    r.scene.c_str(), r.population, r.bodies, r.shapes, r.joints, r.frameP50,
                    r.frameP95, r.physP50, r.physP95, r.bareP50, r.bareP95,
                    r.bareP50 > 0 ? r.physP50 / r.bareP50 : 0.0, r.drawP50, r.drawP95, r.replayP50,
                    r.replayP95, r.replayP50 > 0 ? r.drawP50 / r.replayP50 : 0.0, r.allocsPerFrame,
                    static_cast<unsigned long long>(r.allocsMaxFrame),
                    static_cast<double>(r.peakKb) / 1024.0);
    }
    const Capacity whole = CapacityOf(rows, [](const Row& r) { return r.frameP50; });
    const Capacity bareBoth =
        CapacityOf(rows, [](const Row& r) { return r.bareP50 + r.replayP50 + r.inputP50; });
    std::printf("\nCapacity (settled objects whose median whole frame fits in 16.7 ms): %s; "
                "bare loops together: %s\n",
                CapacityText(whole).c_str(), CapacityText(bareBoth).c_str());
    std::printf("\nDetails:\n");
    for (const Row& r : rows) {
        std::printf("- %s: %d frames measured; bare copy %d bodies / %d shapes / %d joints; "
                    "%d SDL operations replayed%s; input %.3f ms; C allocator calls per frame (all "
                    "libraries) %.1f; %s; %s\n",
                    r.scene.c_str(), r.frames, r.bareBodies, r.bareShapes, r.bareJoints, r.drawOps,
                    r.identical == 1   ? " (same pixels as the game's frame)"
                    : r.identical == 0 ? " (PIXELS DIFFER from the game's frame)"
                                       : "",
                    r.inputP50, r.mallocsPerFrame, r.sdlCalls.c_str(), r.notes.c_str());
    }
    std::fflush(stdout);
    // The game's objects live until the process ends, as in the program.
    std::_Exit(0);
}
