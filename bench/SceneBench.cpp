#include "bench/SceneBench.hpp"

#include <zlib.h>

#include <cstdio>
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

void row(const char* what, double value, const char* unit, double limit) {
    std::printf("| %s | %.2f %s | %.0f %s | %s |\n", what, value, unit, limit, unit,
                value < limit ? "yes" : "NO");
}

} // namespace

void MeasureSceneFiles(void (*frame)(), bool quick) {
    SpawnSquidsAndChains();
    FillTo(1000, frame, quick ? 60 : 150);
    const int times = quick ? 5 : 20;

    Samples save(static_cast<std::size_t>(times)), open(static_cast<std::size_t>(times));
    std::string text;
    for (int i = 0; i < times; ++i) {
        const std::int64_t t0 = NowNs();
        text = CurrentSceneText();
        save.Add(Ms(NowNs() - t0));
    }
    for (int i = 0; i < times; ++i) {
        std::string error;
        const std::int64_t t0 = NowNs();
        const bool opened = OpenSceneText(text, error);
        open.Add(Ms(NowNs() - t0));
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
    row("save (CurrentSceneText)", save.Median(), "ms", 100.0);
    row("save, worst run", save.Percentile(100.0), "ms", 100.0);
    row("open (OpenSceneText)", open.Median(), "ms", 100.0);
    row("open, worst run", open.Percentile(100.0), "ms", 100.0);
    row("file", static_cast<double>(text.size()) / 1024.0, "KB", 500.0);
    row("file deflated (zlib, level 9)", static_cast<double>(deflatedSize) / 1024.0, "KB", 64.0);
    std::fflush(stdout);
}
