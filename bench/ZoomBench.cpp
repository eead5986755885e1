#include "bench/ZoomBench.hpp"

#include <cstdio>
#include <vector>

#include "app/Game.hpp"
#include "bench/Harness.hpp"
#include "bench/Scenes.hpp"
#include "media/Graphics.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

double Ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

struct Zoom {
    const char* name;
    int step;
    Samples frame{0};
    unsigned long long draws = 0;
    int frames = 0;
};

} // namespace

void MeasureZoom(void (*frame)(), bool quick) {
    FillTo(500, frame, quick ? 60 : 240);
    const int population = FreeBodies();
    std::vector<Zoom> zooms = {
        {"1/4 (whole level)", TLevel::kMinZoomStep}, {"1", 0}, {"4", TLevel::kMaxZoomStep}};
    const int rounds = quick ? 2 : 5;
    const int perRound = quick ? 30 : 60;
    for (Zoom& z : zooms)
        z.frame = Samples(static_cast<std::size_t>(rounds * perRound));
    // Turns of each zoom, so that the bodies' settling and the machine's load fall on all alike.
    for (int round = 0; round < rounds; ++round) {
        for (Zoom& z : zooms) {
            const TLayer& fg = *level->_FGLayer;
            level->SetCamera(z.step, fg.ScrollX, fg.ScrollY, true);
            for (int i = 0; i < 5; ++i)
                frame();
            const DrawCallCounts before = GetDrawCallCounts();
            for (int i = 0; i < perRound; ++i) {
                const std::int64_t t0 = NowNs();
                frame();
                z.frame.Add(Ms(NowNs() - t0));
            }
            z.draws += GetDrawCallCounts().draws - before.draws;
            z.frames += perRound;
        }
    }
    level->SetCamera(0, level->_FGLayer->ScrollX, level->_FGLayer->ScrollY, true);
    const double one = zooms[1].frame.Median();
    std::printf("\n### Zoom: %d bodies, the frame at three zooms in turns (%d frames each)\n\n",
                population, rounds * perRound);
    std::printf("| zoom | frame p50 ms | p95 ms | against zoom 1 | draw calls per frame |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    for (Zoom& z : zooms) {
        std::printf("| %s | %.2f | %.2f | %.2fx | %.0f |\n", z.name, z.frame.Median(),
                    z.frame.Percentile(95), one > 0.0 ? z.frame.Median() / one : 0.0,
                    static_cast<double>(z.draws) / z.frames);
    }
    std::fflush(stdout);
}
