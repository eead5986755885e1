#include "support/XServer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "world/TLayer.hpp"
#include "world/WorldTestSupport.hpp"

namespace {

// A zoomed tile layer in a real window, on the software renderer and on Mesa's GL (batched, as
// the game draws): at odd zooms every picture pixel over a map of opaque tiles is a tile's.
class ZoomSeamsInXServer : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        if (!XServerAvailable())
            GTEST_SKIP() << "needs an X server";
        InitPhysics();
        RegisterResources();
        CreateLevelData();
        SetGraphicsTarget(GraphicsTarget::Window);
        InitMedia();
        setenv("DAZOZI_RENDERER", GetParam(), 1);
    }
    void TearDown() override {
        SetClsColor(0, 0, 0);
        CloseGraphics();
        unsetenv("DAZOZI_RENDERER");
    }
};

TEST_P(ZoomSeamsInXServer, ZoomedCellsMeetWithoutSeams) {
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    auto set = std::make_shared<TTileSet>();
    set->Init("L1", 24, 24, 0, 19, FGSequences);
    ASSERT_NE(set->TileSetImage, nullptr);
    int tile = 0;
    for (int t = 1; t <= set->TileSetImage->FrameCount() && tile == 0; ++t)
        if (set->TileSetImage->MaskCoverage(t - 1, 0.5f) == TImage::kOpaque)
            tile = t;
    ASSERT_GT(tile, 0);
    const int cols = 60, rows = 40;
    TLayer layer;
    layer.Init(set, IntGrid(rows, std::vector<int>(cols, tile)), cols, rows);
    SetClsColor(255, 0, 255);
    for (const float zoom : {0.7f, 0.7071068f, 1.1892071f, 1.3f, 3.3f, 3.3635857f}) {
        SCOPED_TRACE(zoom);
        layer.Zoom = zoom;
        layer.ScrollTo(-7, -5);
        Cls();
        layer.Draw();
        FlushDraws();
        std::vector<std::uint8_t> rgba;
        int w = 0, h = 0;
        ASSERT_TRUE(ReadBackBuffer(rgba, w, h));
        const int left = static_cast<int>(std::ceil(7.0f * zoom)) + 1;
        const int top = static_cast<int>(std::ceil(5.0f * zoom)) + 1;
        const int right = std::min(w, static_cast<int>(1447.0f * zoom) - 1);
        const int bottom = std::min(h, static_cast<int>(965.0f * zoom) - 1);
        int seams = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const std::uint8_t* p = &rgba[static_cast<std::size_t>((y * w + x) * 4)];
                seams += p[0] == 255 && p[1] == 0 && p[2] == 255;
            }
        EXPECT_EQ(seams, 0) << RendererName();
        Flip(0);
    }
}

INSTANTIATE_TEST_SUITE_P(Renderers, ZoomSeamsInXServer,
                         ::testing::Values("software", "accelerated"));

} // namespace
