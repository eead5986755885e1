#include "bench/SceneBench.hpp"

#include <zlib.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/SceneDocument.hpp"
#include "bench/Harness.hpp"
#include "bench/Scenes.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TSquid.hpp"

namespace {

double Ms(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

// This thread's processor time in nanoseconds: what saving and opening cost, whatever else the
// machine is doing (beside other builds, the wall clock says more about them).
std::int64_t CpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

void row(const char* what, double value, const char* unit, double limit) {
    std::printf("| %s | %.2f %s | %.0f %s | %s |\n", what, value, unit, limit, unit,
                value < limit ? "yes" : "NO");
}

} // namespace

void MeasureSceneFiles(void (*frame)(), bool quick) {
    SpawnSquidsAndChains();
    FillTo(1000, frame, quick ? 60 : 150);
    const int times = quick ? 5 : 20;

    const auto n = static_cast<std::size_t>(times);
    Samples save(n), open(n), saveWall(n), openWall(n);
    std::string text;
    for (int i = 0; i < times; ++i) {
        const std::int64_t c0 = CpuNs(), t0 = NowNs();
        text = CurrentSceneText();
        save.Add(Ms(CpuNs() - c0));
        saveWall.Add(Ms(NowNs() - t0));
    }
    for (int i = 0; i < times; ++i) {
        // A frame between two openings, as a user's would be: the physics library tidies its
        // spatial hash of the shapes an opening took away only when it steps.
        frame();
        std::string error;
        const std::int64_t c0 = CpuNs(), t0 = NowNs();
        const bool opened = OpenSceneText(text, error);
        open.Add(Ms(CpuNs() - c0));
        openWall.Add(Ms(NowNs() - t0));
        if (!opened) {
            std::printf("the scene did not open again: %s\n", error.c_str());
            return;
        }
    }
    uLongf deflatedSize = compressBound(static_cast<uLong>(text.size()));
    std::vector<Bytef> deflated(deflatedSize);
    compress2(deflated.data(), &deflatedSize, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), 9);

    std::printf("\n### Scene files\n\n");
    std::printf("Scene: %d balls, cubes and stars, %d squids, %d chains; %d runs each, median "
                "(worst).\n\n",
                FreeBodies(), TSquid::Count(), TChain::Count(), times);
    std::printf("| measure | value | limit | within |\n|---|---:|---:|---|\n");
    row("save (CurrentSceneText), processor time", save.Median(), "ms", 100.0);
    row("save, worst run, processor time", save.Percentile(100.0), "ms", 100.0);
    row("save, wall clock", saveWall.Median(), "ms", 100.0);
    row("open (OpenSceneText), processor time", open.Median(), "ms", 100.0);
    row("open, worst run, processor time", open.Percentile(100.0), "ms", 100.0);
    row("open, wall clock", openWall.Median(), "ms", 100.0);
    row("file", static_cast<double>(text.size()) / 1024.0, "KB", 500.0);
    row("file deflated (zlib, level 9)", static_cast<double>(deflatedSize) / 1024.0, "KB", 64.0);
    std::fflush(stdout);
}
