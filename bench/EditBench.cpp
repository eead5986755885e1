#include "bench/EditBench.hpp"

#include <chipmunk/chipmunk.h>

#include <cstdio>
#include <string>

#include "app/Game.hpp"
#include "bench/Harness.hpp"
#include "bench/Scenes.hpp"
#include "control/TEditor.hpp"
#include "media/input/Input.hpp"
#include "media/input/ScriptedInput.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

double Ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

// A brick of the level's left plateau, with bodies piled around it: four segments go and come.
constexpr int kColumn = 0;
constexpr int kRow = 22;
constexpr int kTimes = 200;

// What the editor does for one painted cell: the query for bodies in it, then the layer's edit.
void paint(TLayer& layer, int tile, int bound) {
    const float x = kColumn * 24.0f;
    const float y = kRow * 24.0f;
    layer.spaceMap->MovableShapeInBox(Vec2(x + 1.0f, y + 1.0f), Vec2(x + 23.0f, y + 23.0f));
    layer.SetCell(kColumn, kRow, tile, bound);
}

// The same four segments taken out of the same space and made again with the library alone.
struct BareCell {
    cpSpace* space;
    cpBody* body;
    cpShape* shapes[4] = {};

    void add() {
        const cpFloat x0 = kColumn * 24.0, y0 = kRow * 24.0, x1 = x0 + 24.0, y1 = y0 + 24.0;
        const cpVect ends[4][2] = {{cpv(x0, y0), cpv(x1, y0)},
                                   {cpv(x0, y0), cpv(x0, y1)},
                                   {cpv(x0, y1), cpv(x1, y1)},
                                   {cpv(x1, y0), cpv(x1, y1)}};
        for (int i = 0; i < 4; ++i) {
            shapes[i] = cpSegmentShapeNew(body, ends[i][0], ends[i][1], 0.0);
            cpShapeSetElasticity(shapes[i], 0.0);
            cpShapeSetFriction(shapes[i], 1.0);
            cpSpaceAddShape(space, shapes[i]);
        }
    }
    void remove() {
        for (cpShape*& s : shapes) {
            cpSpaceRemoveShape(space, s);
            cpShapeFree(s);
            s = nullptr;
        }
    }
};

// A stroke along window row y from x = 4 to 1020 in `frames` frames, painting (button 1) or
// erasing (button 2), through the input queue and the real frames: the frames' wall times.
Samples stroke(void (*frame)(), int button, int y, int frames) {
    Samples times(static_cast<std::size_t>(frames) + 2);
    PushMouseMove(4, y);
    PushMouseButton(button, true);
    for (int i = 0; i <= frames; ++i) {
        if (i > 0) {
            PushMouseMove(4 + 1016 * i / frames, y);
        }
        if (i == frames) {
            PushMouseButton(button, false);
        }
        const std::int64_t t0 = NowNs();
        frame();
        times.Add(Ms(NowNs() - t0));
    }
    return times;
}

// Frames of edit mode without a stroke, then strokes of the screen's 43 columns in one frame,
// in 10 and in 60, painting bricks in the sky and erasing them again.
void strokeTable(void (*frame)(), const char* scene) {
    PushKey(Key::E, true);
    PushKey(Key::E, false);
    frame();
    Samples idle(60);
    for (int i = 0; i < 60; ++i) {
        const std::int64_t t0 = NowNs();
        frame();
        idle.Add(Ms(NowNs() - t0));
    }
    std::printf("| %s | edit mode, no stroke | 60 | %.2f | %.2f |\n", scene, idle.Median(),
                idle.Percentile(100.0));
    for (int frames : {1, 10, 60}) {
        for (int button : {1, 2}) {
            const Samples f = stroke(frame, button, 150, frames);
            std::printf("| %s | %s 43 cells in %d frame%s | %d | %.2f | %.2f |\n", scene,
                        button == 1 ? "paint" : "erase", frames, frames == 1 ? "" : "s", frames + 1,
                        f.Median(), f.Percentile(100.0));
        }
    }
    PushKey(Key::E, true);
    PushKey(Key::E, false);
    frame();
    std::fflush(stdout);
}

} // namespace

void MeasureEditing(void (*frame)(), bool quick) {
    std::printf("\n### Frames of strokes across the screen (software renderer; limit 16.7 ms)\n\n");
    std::printf("| scene | frames measured | count | frame p50 ms | worst frame ms |\n"
                "|---|---|---:|---:|---:|\n");
    strokeTable(frame, "start scene");

    SpawnSquidsAndChains();
    FillTo(1000, frame, quick ? 60 : 150);
    TLayer& layer = *level->_FGLayer;
    const int bodies = layer.spaceMap->CountBodies();
    const int shapes = layer.spaceMap->CountActiveShapes();
    const std::string scene = std::to_string(bodies) + " bodies";
    strokeTable(frame, scene.c_str());

    // One cell, alternately erased and painted back, then the library's own remove and add of
    // the same segments in the same space.
    Samples erase(kTimes), paintBack(kTimes), bareRemove(kTimes), bareAdd(kTimes);
    for (int i = 0; i < kTimes; ++i) {
        std::int64_t t0 = NowNs();
        paint(layer, 0, 0);
        erase.Add(Ms(NowNs() - t0));
        t0 = NowNs();
        paint(layer, 1, 15);
        paintBack.Add(Ms(NowNs() - t0));
    }
    BareCell bare{static_cast<cpSpace*>(layer.spaceMap->GetHandle()),
                  static_cast<cpBody*>(layer.staticBodyMap->GetHandle())};
    for (int i = 0; i < kTimes; ++i) {
        std::int64_t t0 = NowNs();
        bare.add();
        bareAdd.Add(Ms(NowNs() - t0));
        t0 = NowNs();
        bare.remove();
        bareRemove.Add(Ms(NowNs() - t0));
    }
    std::printf("\n### Editing one cell (a brick: four segments) with %d bodies, %d shapes "
                "(limit 1 ms)\n\n",
                bodies, shapes);
    std::printf("| operation | game p50 / max ms | bare library p50 / max ms | ratio |\n"
                "|---|---:|---:|---:|\n");
    std::printf("| erase (query + 4 segments out) | %.4f / %.4f | %.4f / %.4f | %.1fx |\n",
                erase.Median(), erase.Percentile(100.0), bareRemove.Median(),
                bareRemove.Percentile(100.0),
                bareRemove.Median() > 0 ? erase.Median() / bareRemove.Median() : 0.0);
    std::printf("| paint (query + 4 segments in) | %.4f / %.4f | %.4f / %.4f | %.1fx |\n",
                paintBack.Median(), paintBack.Percentile(100.0), bareAdd.Median(),
                bareAdd.Percentile(100.0),
                bareAdd.Median() > 0 ? paintBack.Median() / bareAdd.Median() : 0.0);
    std::fflush(stdout);
}
