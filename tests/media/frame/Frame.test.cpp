#include "media/frame/Frame.hpp"
#include "media/MediaTestSupport.hpp"
#include "media/graphics/Font8x16.hpp"
#include "media/window/ControlBand.hpp"

using namespace mediatest;

namespace {

// Rows of the window the glyph 'H' drawn in white at (0, 0) of the overlay covers.
int WhiteRows(int width, int height) {
    int first = -1, last = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (PixelRgb(x, y) == Rgb{255, 255, 255}) {
                first = first < 0 ? y : first;
                last = y;
            }
    return first < 0 ? 0 : last - first + 1;
}

// Rows of the font's own 'H' bitmap that have a pixel.
int GlyphRows() {
    int first = -1, last = -1;
    for (int row = 0; row < 16; ++row)
        if (kFont8x16['H' - 32][row] != 0) {
            first = first < 0 ? row : first;
            last = row;
        }
    return last - first + 1;
}

} // namespace

// In a window drawn smaller than the picture the overlay's text keeps the font's own size in
// window pixels, and GraphicsWidth/Height give the overlay's room; at the picture's own size
// nothing changes.
TEST(FrameOverlay, TextKeepsItsSizeInAWindowSmallerThanThePicture) {
    struct Case {
        int w, h;     // the window (0: the picture's own size)
        int overlayW; // GraphicsWidth() in the overlay
        float overlayScale;
    };
    const Case cases[] = {{0, 0, 1024, 1.0f}, {512, 384, 512, 0.5f}, {640, 640, 640, 0.625f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        SetOffscreenWindowSize(c.w, c.h);
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 0, 0)) << GraphicsError();
        SetClsColor(0, 0, 0);
        Cls();
        BeginOverlay();
        EXPECT_EQ(GraphicsWidth(), c.overlayW);
        EXPECT_FLOAT_EQ(OverlayScale(), c.overlayScale);
        SetColor(255, 255, 255);
        DrawText("H", 0.0f, 0.0f);
        Flip(0);
        EXPECT_EQ(GraphicsWidth(), 1024); // the picture's size again for the next frame
        int w = 0, h = 0;
        GetOutputSize(w, h);
        // The overlay starts at the picture's corner, which is below the bar of a tall window.
        EXPECT_EQ(WhiteRows(w, h), GlyphRows());
        CloseGraphics();
    }
    SetOffscreenWindowSize(0, 0);
}

// Input laid out for a replay's window: the overlay a click is read against is that window's,
// whatever this one is, while the overlay drawn stays this window's; cleared, both agree again.
TEST(FrameOverlay, InputIsLaidOutForTheReplayedWindow) {
    SetGraphicsTarget(GraphicsTarget::Offscreen);
    SetOffscreenWindowSize(0, 0);
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 0, 0)) << GraphicsError();
    struct Case {
        int w, h;
        float pixelsPerPoint;
        int inputW; // InputOverlay's width (1024: the picture's own, not in window pixels)
        bool windowPixels;
    };
    const Case cases[] = {{512, 384, 1.0f, 512, true},
                          {800, 600, 1.0f, 800, true},
                          {2048, 1536, 1.0f, 1024, false},
                          {1536, 1152, 3.0f, 512, true},
                          {0, 0, 1.0f, 1024, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        SetReplayedWindow(c.w, c.h, c.pixelsPerPoint);
        const OverlayFrame input = InputOverlay();
        EXPECT_EQ(input.width, c.inputW);
        EXPECT_EQ(input.windowPixels, c.windowPixels);
        EXPECT_FLOAT_EQ(input.scale, static_cast<float>(c.inputW) / 1024.0f);
        const OverlayFrame drawn = NextOverlay();
        EXPECT_EQ(drawn.width, 1024);
        EXPECT_FALSE(drawn.windowPixels);
    }
    CloseGraphics();
}
