#include "media/window/PictureLayout.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

bool Overlap(const PixelRect& a, const PixelRect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

} // namespace

// Without a band the picture goes exactly where SDL's logical size puts it: the windows the
// golden and X server tests look at keep their pictures.
TEST(PictureLayout, WithoutABandItIsSdlsLetterbox) {
    const int sizes[][2] = {{1024, 768},  {512, 384}, {800, 600},  {1100, 825},
                            {1920, 1080}, {390, 844}, {1366, 768}, {333, 777}};
    for (const auto& size : sizes) {
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormat(0, size[0], size[1], 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
        ASSERT_NE(renderer, nullptr);
        SDL_RenderSetLogicalSize(renderer, 1024, 768);
        SDL_Rect viewport{};
        float scale = 0.0f, unused = 0.0f;
        SDL_RenderGetViewport(renderer, &viewport);
        SDL_RenderGetScale(renderer, &scale, &unused);
        const PictureLayout l = PictureLayout::Fit(size[0], size[1], 1024, 768);
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        EXPECT_FLOAT_EQ(l.scale, scale);
        // SDL hands the viewport back divided by the scale and truncated.
        EXPECT_NEAR(l.picture.x, static_cast<float>(viewport.x) * scale, 1.0);
        EXPECT_NEAR(l.picture.y, static_cast<float>(viewport.y) * scale, 1.0);
        EXPECT_EQ(l.band.w * l.band.h, 0);
        int x = 0, y = 0;
        l.ToLogical(l.picture.x + l.picture.w / 2, l.picture.y + l.picture.h / 2, x, y);
        EXPECT_NEAR(x, 512, 1.0 / l.scale + 1.0);
        EXPECT_NEAR(y, 384, 1.0 / l.scale + 1.0);
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(surface);
    }
}

// The band never covers the picture, fits its buttons, goes below in a tall window and at the
// side in a wide one, and takes the letterbox's room before the picture shrinks.
TEST(PictureLayout, TheBandSitsBesideThePictureNeverOverIt) {
    struct Case {
        int w, h;
        bool below;
        bool keepsScale; // the window had room beside the picture
    };
    const Case cases[] = {{1024, 768, false, false}, {640, 480, false, false},
                          {1920, 1080, false, true}, {390, 844, true, true},
                          {800, 1000, true, true},   {700, 600, true, false},
                          {2000, 768, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const PictureLayout plain = PictureLayout::Fit(c.w, c.h, 1024, 768);
        const PictureLayout l = PictureLayout::Fit(c.w, c.h, 1024, 768, 14, 50);
        EXPECT_EQ(l.bandBelow, c.below);
        EXPECT_FALSE(Overlap(l.picture, l.band));
        EXPECT_EQ(c.keepsScale, l.scale == plain.scale);
        EXPECT_LE(l.scale, plain.scale);
        // Inside the window, and room for all fourteen 50-pixel squares.
        EXPECT_GE(l.picture.x, 0);
        EXPECT_GE(l.band.x, 0);
        EXPECT_LE(l.band.x + l.band.w, c.w);
        EXPECT_LE(l.band.y + l.band.h, c.h);
        EXPECT_LE(l.picture.x + l.picture.w, c.w);
        const int length = c.below ? l.band.w : l.band.h;
        const int thickness = c.below ? l.band.h : l.band.w;
        EXPECT_GE((length - 6) / 50 * ((thickness - 6) / 50), 14);
        // The band touches the picture: no gap between them.
        if (c.below)
            EXPECT_EQ(l.band.y, l.picture.y + l.picture.h);
        else
            EXPECT_EQ(l.band.x, l.picture.x + l.picture.w);
    }
}
