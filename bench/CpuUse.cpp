#include "bench/CpuUse.hpp"

#include "app/Game.hpp"
#include "bench/Harness.hpp"
#include "bench/Scenes.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TSquid.hpp"
#include "media/Graphics.hpp"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// CPU seconds of the whole process, every thread (Mesa's llvmpipe draws on threads of its own).
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Sample {
    double cpu = 0, wall = 0;
    int frames = 0;
};

void Frame() {
    updateGame();
}

// Reopens the window on the given renderer; the images make their textures again on first use.
bool UseRenderer(const char* preference, std::string& sdlName) {
    setenv("DAZOZI_RENDERER", preference, 1);
    if (!OpenGraphics(1024, 768, 0, 60, 0)) {
        std::fprintf(stderr, "cannot open the window with the %s renderer: %s\n", preference,
                     GraphicsError());
        return false;
    }
    sdlName = RendererName();
    return true;
}

bool Measure(const char* preference, double seconds, Sample& total, std::string& sdlName) {
    if (!UseRenderer(preference, sdlName))
        return false;
    for (int i = 0; i < 30; ++i) // textures, caches, the pacing's start
        Frame();
    const double c0 = CpuSeconds();
    const std::int64_t t0 = NowNs();
    const int frames = static_cast<int>(seconds * 60.0);
    for (int i = 0; i < frames; ++i)
        Frame();
    total.cpu += CpuSeconds() - c0;
    total.wall += static_cast<double>(NowNs() - t0) / 1e9;
    total.frames += frames;
    return true;
}

} // namespace

int RunCpuUse(int rounds, double seconds) {
    const char* renderers[2] = {"software", "accelerated"};
    struct Row {
        std::string scene;
        Sample s[2];
        std::string names[2];
    };
    std::vector<Row> rows;
    for (int scene = 0; scene < 2; ++scene) {
        Row row;
        row.scene = scene == 0 ? "empty level + player" : "250 bodies";
        if (scene == 1) {
            SpawnSquidsAndChains();
            FillTo(250, Frame, 150);
            row.scene += " (" +
                         std::to_string(FreeBodies() + TSquid::Count() - 1 + TChain::Count()) +
                         " objects)";
        }
        // Renderer by renderer in turn, so that a busy moment of the machine falls on both.
        for (int r = 0; r < rounds; ++r)
            for (int k = 0; k < 2; ++k)
                if (!Measure(renderers[k], seconds, row.s[k], row.names[k]))
                    return 1;
        std::fprintf(stderr, "  %s: software %.0f%% of a core, accelerated %.0f%%\n",
                     row.scene.c_str(), 100.0 * row.s[0].cpu / row.s[0].wall,
                     100.0 * row.s[1].cpu / row.s[1].wall);
        rows.push_back(row);
    }
    std::printf(
        "\n### CPU use in a window, paced at 60 Hz (%d x %.0f s per renderer and scene)\n\n",
        rounds, seconds);
    std::printf(
        "| scene | renderer (SDL) | CPU ms per frame | CPU ticks per 5 s at 60 fps (of 500) "
        "| measured: CPU %% of one core | measured: frames per second |\n"
        "|---|---|---:|---:|---:|---:|\n");
    for (const Row& row : rows)
        for (int k = 0; k < 2; ++k) {
            const Sample& s = row.s[k];
            const std::string name = std::string(renderers[k]) + " (" + row.names[k] + ")";
            const double msPerFrame = 1000.0 * s.cpu / s.frames;
            // 300 frames in 5 s, 100 ticks per CPU second.
            std::printf("| %s | %s | %.2f | %.0f | %.0f | %.1f |\n", row.scene.c_str(),
                        name.c_str(), msPerFrame, msPerFrame * 300.0 / 10.0, 100.0 * s.cpu / s.wall,
                        s.frames / s.wall);
        }
    std::printf("\nCPU is user plus system time of the whole process (all its threads) from "
                "getrusage; the X server's own work is not in it. Per frame it holds on a busy "
                "machine; the measured share of a core and frame rate drop when other processes "
                "take the cores.\n");
    std::fflush(stdout);
    return 0;
}
