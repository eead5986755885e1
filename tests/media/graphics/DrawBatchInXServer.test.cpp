#include "media/MediaTestSupport.hpp"
#include "support/GameFixture.hpp"
#include "support/XServer.hpp"

#include "media/graphics/DrawBatch.hpp"

#include <SDL.h>

#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <string>

using namespace mediatest;

namespace {

// Channels that differ between two pictures of one size (all of them when the sizes differ).
int ChannelsDiffering(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size())
        return static_cast<int>(std::max(a.size(), b.size()));
    int off = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        off += a[i] != b[i];
    return off;
}

// Four 16 x 16 frames, each a different colour ramp with a transparent corner, filtered: the
// atlas's edge copies and the mask cut show when they are wrong.
std::shared_ptr<TImage> Tiles() {
    static const std::string url = RegisterPng(
        "test\\batch_tiles.png",
        MakeRgba(64, 16,
                 [](int x, int y) {
                     const int f = x / 16, u = x % 16;
                     const auto a = static_cast<std::uint8_t>(u + y < 6 ? 0 : 255);
                     return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(60 * f + 10 * u),
                                                        static_cast<std::uint8_t>(15 * y),
                                                        static_cast<std::uint8_t>(255 - 60 * f), a};
                 }),
        64, 16);
    return LoadAnimImage(url, 16, 16, 0, 4, 3);
}

// A 32 x 32 glow, filtered: a disc of colours and alphas fading outwards in a transparent
// square, which batching draws as the pieces that cover it (media/graphics/ImageCover).
std::shared_ptr<TImage> Glow() {
    static const std::string url = RegisterPng(
        "test\\batch_glow.png",
        MakeRgba(32, 32,
                 [](int x, int y) {
                     const int d2 = (x - 15) * (x - 15) + (y - 14) * (y - 14);
                     const int a = d2 >= 144 ? 0 : 255 - d2 * 255 / 144;
                     return std::array<std::uint8_t, 4>{
                         static_cast<std::uint8_t>(200 + x), static_cast<std::uint8_t>(8 * y),
                         static_cast<std::uint8_t>(90), static_cast<std::uint8_t>(a)};
                 }),
        32, 32);
    return LoadImage(url, 3);
}

// A frame using every batched primitive and every reason to flush, in an order where a wrong
// flush shows: tiles of several frames, mask and blended and additive images, rotated and
// scaled ones, text, rectangles, wide and thin lines, a viewport change.
void DrawScene(TImage& tiles) {
    Cls();
    for (int row = 0; row < 20; ++row)
        for (int col = 0; col < 30; ++col)
            DrawImage(tiles, 20.0f + static_cast<float>(col) * 16.0f,
                      20.0f + static_cast<float>(row) * 16.0f, (row + col) % 4);
    SetBlend(Blend::Alpha);
    SetAlpha(0.6f);
    SetColor(255, 200, 100);
    DrawImage(tiles, 100.5f, 60.25f, 1);
    DrawRect(90.0f, 50.0f, 40.0f, 30.0f);
    SetBlend(Blend::Light);
    DrawImage(tiles, 120.0f, 70.0f, 2);
    SetBlend(Blend::Mask);
    SetAlpha(1.0f);
    SetRotation(30.0f);
    SetScale(2.0f, 1.5f);
    DrawImage(tiles, 300.0f, 200.0f, 3);
    DrawText("Batched", 320.0f, 240.0f);
    SetRotation(0.0f);
    SetScale(1.0f, 1.0f);
    SetColor(0, 255, 0);
    DrawLine(10.0f, 10.0f, 400.0f, 300.0f); // thin: drawn between the quads
    SetLineWidth(3.0f);
    DrawLine(400.0f, 10.0f, 10.0f, 300.0f);
    SetLineWidth(1.0f);
    SetViewport(200, 100, 150, 120);
    SetColor(255, 255, 255);
    DrawText("clipped text runs past", 180.0f, 150.0f);
    DrawRect(150.0f, 200.0f, 300.0f, 5.0f);
    SetViewport(0, 0, GraphicsWidth(), GraphicsHeight());
    SetBlend(Blend::Shade);
    SetColor(128, 255, 255);
    DrawRect(0.0f, 0.0f, 200.0f, 100.0f);
    SetBlend(Blend::Mask);
    SetColor(255, 255, 255);
    DrawText("after the shade", 10.0f, 110.0f);
}

// Glows over tiles, as stars draw them: added at 0.4 and turned, blended, in mask mode, at
// fractional positions.
void DrawGlows(TImage& tiles, TImage& glow) {
    Cls();
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 20; ++col)
            DrawImage(tiles, 20.0f + static_cast<float>(col) * 16.0f,
                      130.0f + static_cast<float>(row) * 16.0f, (row + col) % 4);
    SetBlend(Blend::Light);
    for (int i = 0; i < 6; ++i) {
        SetRotation(17.0f * static_cast<float>(i));
        SetAlpha(0.4f);
        DrawImage(glow, 60.3f + 37.0f * static_cast<float>(i), 150.7f, 0);
    }
    SetBlend(Blend::Alpha);
    SetAlpha(0.8f);
    DrawImage(glow, 70.5f, 200.25f, 0);
    SetBlend(Blend::Mask);
    SetAlpha(1.0f);
    DrawImage(glow, 110.25f, 200.5f, 0);
    SetRotation(0.0f);
    SetBlend(Blend::Light);
    DrawImage(glow, 150.0f, 200.0f, 0);
    SetBlend(Blend::Mask);
}

// What the batches handed to the renderer covered: quads and their summed area (pixels).
int watchedQuads = 0;
float watchedArea = 0.0f;
void WatchBatch(SDL_Texture*, int, const SDL_Vertex* v, int quads) {
    for (int q = 0; q < quads; ++q, v += 4) {
        float twice = 0.0f;
        for (int k = 0; k < 4; ++k)
            twice += v[k].position.x * v[(k + 1) % 4].position.y -
                     v[(k + 1) % 4].position.x * v[k].position.y;
        watchedArea += std::abs(twice) * 0.5f;
    }
    watchedQuads += quads;
}

// Channels of two pictures that differ by more than `step`, and by exactly that much or less.
void Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int step,
                 int& beyond, int& within) {
    beyond = within = 0;
    if (a.size() != b.size()) {
        beyond = static_cast<int>(std::max(a.size(), b.size()));
        return;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int d = std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i]));
        beyond += d > step;
        within += d > 0 && d <= step;
    }
}

class DrawBatchInXServer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!XServerAvailable())
            GTEST_SKIP() << "needs an X server";
        SetGraphicsTarget(GraphicsTarget::Window);
        setenv("DAZOZI_RENDERER", "accelerated", 1);
    }
    void TearDown() override {
        SetDrawBatching(true);
        CloseGraphics();
        unsetenv("DAZOZI_RENDERER");
    }
    // The scene's picture and the renderer calls it took.
    std::vector<std::uint8_t> Draw(bool batched, unsigned long long& draws) {
        SetDrawBatching(batched);
        ResetDrawState();
        auto tiles = Tiles();
        const DrawCallCounts before = GetDrawCallCounts();
        DrawScene(*tiles);
        std::vector<std::uint8_t> rgba;
        int w = 0, h = 0;
        EXPECT_TRUE(ReadBackBuffer(rgba, w, h));
        draws = GetDrawCallCounts().draws - before.draws;
        Flip(0);
        return rgba;
    }
};

// The GL renderer draws one picture whether quads go one call each or batched, to the bit: no
// tolerance. Both ways rasterise the same triangles with the same colours, and the atlas puts
// each frame's texel centres where its own texture has them, with its edge copied around it
// for filtering, so every sample reads the same texels with the same weights.
TEST_F(DrawBatchInXServer, BatchedFrameMatchesUnbatchedOnGl) {
    ASSERT_TRUE(OpenGraphics(640, 480, 0, 60, 0)) << GraphicsError();
    ASSERT_STRNE(RendererName(), "software");
    unsigned long long unbatchedDraws = 0, batchedDraws = 0;
    const auto unbatched = Draw(false, unbatchedDraws);
    const auto batched = Draw(true, batchedDraws);
    EXPECT_EQ(ChannelsDiffering(batched, unbatched), 0) << "channels differ";
    // 600 tiles and the rest took over 600 calls one by one, and a handful batched.
    EXPECT_GT(unbatchedDraws, 600u);
    EXPECT_LE(batchedDraws, 25u);
}

// Batched, a glow goes as the pieces that cover its visible texels instead of its whole square.
// Every pixel a texel can reach through filtering is drawn as before: the triangles are other
// ones, so a pixel's interpolated texture coordinate may differ in its last bit and round one
// channel one step the other way, but nothing more. A piece that leaves out part of the glow's
// reach loses whole steps of colour at its edge.
TEST_F(DrawBatchInXServer, GlowsDrawnAsTheirPiecesMatchWholeSquaresOnGl) {
    ASSERT_TRUE(OpenGraphics(640, 480, 0, 60, 0)) << GraphicsError();
    auto tiles = Tiles();
    auto glow = Glow();
    auto draw = [&](bool batched) {
        SetDrawBatching(batched);
        ResetDrawState();
        DrawGlows(*tiles, *glow);
        std::vector<std::uint8_t> rgba;
        int w = 0, h = 0;
        EXPECT_TRUE(ReadBackBuffer(rgba, w, h));
        Flip(0);
        return rgba;
    };
    const auto whole = draw(false);
    const auto pieces = draw(true);
    int beyond = 0, within = 0;
    Differences(pieces, whole, 1, beyond, within);
    EXPECT_EQ(beyond, 0) << "channels more than one step apart";
    EXPECT_LE(within, 16) << "channels one step apart";
    // The glows did draw: the picture is not the tiles' alone.
    ResetDrawState();
    SetDrawBatching(true);
    Cls();
    DrawGlows(*tiles, *Tiles() /* no glow: the tiles' frames drawn in its place */);
    std::vector<std::uint8_t> tilesOnly;
    int w = 0, h = 0;
    EXPECT_TRUE(ReadBackBuffer(tilesOnly, w, h));
    Flip(0);
    Differences(pieces, tilesOnly, 1, beyond, within);
    EXPECT_GT(beyond, 1000);
    // What one turned glow hands to the renderer: its cover's pieces, less than its square.
    SetBlend(Blend::Light);
    SetRotation(40.0f);
    watchedQuads = 0;
    watchedArea = 0.0f;
    SetDrawBatchWatcher(&WatchBatch);
    DrawImage(*glow, 300.0f, 300.0f, 0);
    FlushDraws();
    SetDrawBatchWatcher(nullptr);
    ResetDrawState();
    EXPECT_EQ(watchedQuads, static_cast<int>(glow->Cover(0).Pieces().size()));
    EXPECT_GT(watchedQuads, 1);
    EXPECT_NEAR(watchedArea, glow->Cover(0).Area(), 0.5f);
    EXPECT_LT(watchedArea, 0.6f * 32.0f * 32.0f);
}

} // namespace

namespace {

// The real program's frames in a window on the GL renderer.
class GameDrawCallsInXServer : public GameFixture {
  protected:
    GameDrawCallsInXServer() : GameFixture(1000, GraphicsTarget::Window) {}
    void SetUp() override {
        if (!XServerAvailable())
            GTEST_SKIP() << "needs an X server";
        setenv("DAZOZI_RENDERER", "accelerated", 1);
        GameFixture::SetUp();
    }
    void TearDown() override {
        GameFixture::TearDown();
        unsetenv("DAZOZI_RENDERER");
    }
    // Renderer calls of one frame after the pictures have been made.
    unsigned long long FrameDraws() {
        for (int i = 0; i < 3; ++i)
            updateGame();
        const DrawCallCounts before = GetDrawCallCounts();
        updateGame();
        return GetDrawCallCounts().draws - before.draws;
    }
};

// The images share textures, so drawing that alternates between them (a tentacle's lines and
// balls, the two layers' tiles, a ball and its reflection) stays one call.
TEST_F(GameDrawCallsInXServer, EmptyLevelTakesAFewCallsAndBodiesShareThem) {
    ASSERT_STRNE(RendererName(), "software");
    EXPECT_LE(FrameDraws(), 20u) << "the empty level with the player";
    for (int kind = 1; kind <= 3; ++kind)
        for (int i = 0; i < 10; ++i)
            control->spawnAt(kind, Vec2(300.0f + 40.0f * static_cast<float>(i),
                                        100.0f + 40.0f * static_cast<float>(kind)));
    // Balls with their reflections and cubes join the player's call; each star alternates
    // between a blended body and an additive glow, so its pair costs two at most.
    EXPECT_LE(FrameDraws(), 20u + 2u * 10u) << "with ten balls, cubes and stars";
}

} // namespace

namespace {

// The level's two layers on the GL renderer, drawn from the pictures the GPU keeps of them and
// drawn cell by cell (batching off), compared to the bit: both ways sample each tile texel at
// its centre with nearest filtering and blend texels whose alpha is 0 or 255, so nothing may
// differ. The steps scroll to odd offsets, let the animated cells change frame, edit cells
// and replace a row of the map: a picture that keeps a stale cell shows.
TEST_F(GameDrawCallsInXServer, LayersFromKeptPicturesMatchCellByCell) {
    ASSERT_STRNE(RendererName(), "software");
    TLayer& bg = *level->_BGLayer;
    TLayer& fg = *level->_FGLayer;
    auto draw = [&](bool batched, unsigned long long& draws) {
        const int clocks[2] = {bg.TimeCounter, fg.TimeCounter};
        const float times[2] = {bg.Time, fg.Time};
        SetDrawBatching(batched);
        Cls();
        const DrawCallCounts before = GetDrawCallCounts();
        level->Draw();
        FlushDraws();
        draws = GetDrawCallCounts().draws - before.draws;
        std::vector<std::uint8_t> rgba;
        int w = 0, h = 0;
        EXPECT_TRUE(ReadBackBuffer(rgba, w, h));
        bg.TimeCounter = clocks[0];
        fg.TimeCounter = clocks[1];
        bg.Time = times[0];
        fg.Time = times[1];
        SetDrawBatching(true);
        return rgba;
    };
    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Step> steps = {
        {"start", [] {}},
        {"scrolled to odd offsets", [&] { fg.ScrollTo(361, 0), bg.ScrollTo(120, 7); }},
        {"the clouds' next frame", [&] { bg.TimeCounter += 48, fg.TimeCounter += 48; }},
        {"a brick painted and ground erased",
         [&] { fg.SetCell(20, 10, 5, 15), fg.SetCell(16, 28, 0, 0); }},
        {"a painted brick erased again", [&] { fg.SetCell(20, 10, 0, 0); }},
        {"a map row replaced", [&] { fg.MapData[27].assign(fg.MapData[27].size(), 3); }},
        {"the far end", [&] { fg.ScrollTo(992, 0), bg.ScrollTo(331, 0); }},
    };
    for (const Step& step : steps) {
        step.change();
        unsigned long long kept = 0, cells = 0;
        const auto fromPicture = draw(true, kept);
        const auto cellByCell = draw(false, cells);
        EXPECT_EQ(ChannelsDiffering(fromPicture, cellByCell), 0)
            << step.what << ": channels differ";
        EXPECT_GT(cells, 300u) << step.what;
        draw(true, kept); // the pictures hold every cell now: only the pieces are drawn
        EXPECT_LE(kept, 5u) << step.what << ": the layers' calls";
        level->Draw(); // the clocks move on as frames do
    }
}

} // namespace
