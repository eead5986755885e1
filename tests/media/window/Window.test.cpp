#include "media/MediaTestSupport.hpp"

#include <cstdlib>
#include <string>

using namespace mediatest;

namespace {
const Rgb kRed{255, 0, 0};
} // namespace

TEST(GraphicsWindow, OpensOnTheDummyDisplayAndReadsBack) {
    SetGraphicsTarget(GraphicsTarget::Window);
    SetWindowCaption("media test");
    ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    EXPECT_EQ(GraphicsWidth(), 1024);
    SetClsColor(0, 0, 255);
    Cls();
    SetColor(255, 0, 0);
    DrawRect(10, 10, 5, 5);
    EXPECT_EQ(PixelRgb(12, 12), kRed);
    EXPECT_EQ(PixelRgb(20, 20), Rgb(0, 0, 255));
    Flip(0);
    CloseGraphics();
    SetClsColor(0, 0, 0);
    EXPECT_FALSE(GraphicsOpen());
}

TEST(GraphicsWindow, FailureGivesACause) {
    SetGraphicsTarget(GraphicsTarget::Offscreen);
    EXPECT_FALSE(OpenGraphics(0, 0, 0, 60, 0));
    EXPECT_STRNE(GraphicsError(), "");
    SetGraphicsTarget(GraphicsTarget::Window);
}

// Without a display SDL would quietly fall back to an invisible driver and the program would
// run with no window; it must fail with a cause instead.
TEST(GraphicsWindow, NoDisplayFailsWithACauseInsteadOfRunningInvisibly) {
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* v = std::getenv(names[i]);
        had[i] = v != nullptr;
        saved[i] = v ? v : "";
        unsetenv(names[i]);
    }
    SetGraphicsTarget(GraphicsTarget::Window);
    EXPECT_FALSE(OpenGraphics(1024, 768, 0, 60, 0));
    EXPECT_NE(std::string(GraphicsError()).find("display"), std::string::npos);
    EXPECT_FALSE(GraphicsOpen());
    for (int i = 0; i < 3; ++i) {
        if (had[i])
            setenv(names[i], saved[i].c_str(), 1);
    }
}
