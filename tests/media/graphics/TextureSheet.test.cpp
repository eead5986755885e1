#include "media/MediaTestSupport.hpp"

#include "media/graphics/TextureSheet.hpp"

#include <SDL.h>

#include <array>

using namespace mediatest;

namespace {

class TextureSheetTest : public OffscreenTest {};

bool Overlap(const TextureSheet::Place& a, int aw, int ah, const TextureSheet::Place& b, int bw,
             int bh) {
    return a.texture == b.texture && a.x < b.x + bw && b.x < a.x + aw && a.y < b.y + bh &&
           b.y < a.y + ah;
}

// Areas of mixed sizes never overlap, stay on their page, and a page that is full opens the
// next; what is larger than a page gets no place.
TEST_F(TextureSheetTest, AreasDoNotOverlapAndFullPagesOpenAnother) {
    TextureSheet sheet(true);
    constexpr int kSide = TextureSheet::kPageSize;
    const int sizes[][2] = {{42, 26}, {34, 34}, {252, 130}, {16, 14}, {600, 300}, {66, 66}};
    std::vector<std::array<int, 2>> dims;
    std::vector<TextureSheet::Place> places;
    for (int round = 0; round < 12; ++round)
        for (const auto& s : sizes) {
            TextureSheet::Place p;
            ASSERT_TRUE(sheet.Reserve(s[0], s[1], p));
            EXPECT_GE(p.x, 0);
            EXPECT_GE(p.y, 0);
            EXPECT_LE(p.x + s[0], kSide);
            EXPECT_LE(p.y + s[1], kSide);
            for (std::size_t k = 0; k < places.size(); ++k)
                ASSERT_FALSE(Overlap(p, s[0], s[1], places[k], dims[k][0], dims[k][1]))
                    << "area " << places.size() << " overlaps area " << k;
            places.push_back(p);
            dims.push_back({s[0], s[1]});
        }
    EXPECT_GE(sheet.Pages(), 2); // 12 rounds hold more than one page's pixels
    TextureSheet::Place p;
    EXPECT_FALSE(sheet.Reserve(kSide + 1, 8, p));
    EXPECT_FALSE(sheet.Reserve(0, 8, p));
}

// Pixels land where their area is; the white area samples white at its centre.
TEST_F(TextureSheetTest, UploadAndWhiteLandWhereHandedOut) {
    TextureSheet sheet(false);
    TextureSheet::Place first, second;
    ASSERT_TRUE(sheet.Reserve(3, 2, first));
    ASSERT_TRUE(sheet.Reserve(2, 2, second));
    const std::uint8_t red[3 * 2 * 4] = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255,
                                         255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    TextureSheet::Upload(second, 2, 2, red, 2 * 4);
    SDL_Texture* white = nullptr;
    float u = 0.0f, v = 0.0f;
    ASSERT_TRUE(sheet.White(white, u, v));
    EXPECT_EQ(white, first.texture);
    const SDL_Vertex quad[4] = {{{10, 10}, {255, 255, 255, 255}, {u, v}},
                                {{20, 10}, {255, 255, 255, 255}, {u, v}},
                                {{20, 20}, {255, 255, 255, 255}, {u, v}},
                                {{10, 20}, {255, 255, 255, 255}, {u, v}}};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    Cls();
    SDL_RenderGeometry(MediaRenderer(), white, quad, 4, indices, 6);
    const float k = static_cast<float>(TextureSheet::kPageSize);
    const float s0 = static_cast<float>(second.x) / k, t0 = static_cast<float>(second.y) / k;
    const float s1 = static_cast<float>(second.x + 2) / k,
                t1 = static_cast<float>(second.y + 2) / k;
    const SDL_Vertex redQuad[4] = {{{30, 10}, {255, 255, 255, 255}, {s0, t0}},
                                   {{40, 10}, {255, 255, 255, 255}, {s1, t0}},
                                   {{40, 20}, {255, 255, 255, 255}, {s1, t1}},
                                   {{30, 20}, {255, 255, 255, 255}, {s0, t1}}};
    SDL_RenderGeometry(MediaRenderer(), second.texture, redQuad, 4, indices, 6);
    EXPECT_EQ(PixelRgb(15, 15), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelRgb(35, 15), (Rgb{255, 0, 0}));
}

// A new renderer starts without the old one's pages (they went with it).
TEST_F(TextureSheetTest, NewRendererStartsWithNoPages) {
    TextureSheet sheet(true);
    TextureSheet::Place p;
    ASSERT_TRUE(sheet.Reserve(10, 10, p));
    ASSERT_EQ(sheet.Pages(), 1);
    CloseGraphics();
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    TextureSheet::Place q;
    ASSERT_TRUE(sheet.Reserve(10, 10, q));
    EXPECT_EQ(sheet.Pages(), 1);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 0);
}

} // namespace
