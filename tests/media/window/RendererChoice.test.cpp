#include "media/window/RendererChoice.hpp"

#include "media/Graphics.hpp"
#include "support/XServer.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(RendererChoice, EnvironmentValuesChooseOrFail) {
    EXPECT_EQ(ParseRendererPreference(nullptr), RendererPreference::Auto);
    EXPECT_EQ(ParseRendererPreference(""), RendererPreference::Auto);
    EXPECT_EQ(ParseRendererPreference("software"), RendererPreference::Software);
    EXPECT_EQ(ParseRendererPreference("Software"), RendererPreference::Software);
    EXPECT_EQ(ParseRendererPreference("accelerated"), RendererPreference::Accelerated);
    EXPECT_EQ(ParseRendererPreference("opengl"), RendererPreference::Invalid);
    EXPECT_EQ(ParseRendererPreference("soft"), RendererPreference::Invalid);
}

TEST(RendererChoice, CpuRasterisersAreRecognisedAndGpusAreNot) {
    // Strings as Mesa and the GPU vendors' drivers report them.
    EXPECT_TRUE(IsSoftwareRasteriser("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsSoftwareRasteriser("softpipe"));
    EXPECT_TRUE(IsSoftwareRasteriser("Software Rasterizer"));
    EXPECT_TRUE(IsSoftwareRasteriser("Mesa swrast"));
    // Windows' Direct3D adapters that draw on the CPU (a machine or VM without a GPU driver).
    EXPECT_TRUE(IsSoftwareRasteriser("Microsoft Basic Render Driver"));
    EXPECT_FALSE(IsSoftwareRasteriser("NVIDIA GeForce RTX 3060"));
    EXPECT_TRUE(IsSoftwareRasteriser("Microsoft Basic Display Adapter"));
    EXPECT_FALSE(IsSoftwareRasteriser("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
    EXPECT_FALSE(IsSoftwareRasteriser("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(IsSoftwareRasteriser("NVIDIA GeForce GTX 1060/PCIe/SSE2"));
    EXPECT_FALSE(IsSoftwareRasteriser("virgl"));
    EXPECT_FALSE(IsSoftwareRasteriser(""));
}

TEST(RendererChoice, UnknownEnvironmentValueFailsOpeningTheWindowAndNamesIt) {
    setenv("DAZOZI_RENDERER", "gpu", 1);
    SetGraphicsTarget(GraphicsTarget::Window);
    EXPECT_FALSE(OpenGraphics(1024, 768, 0, 60, 0));
    EXPECT_NE(std::strstr(GraphicsError(), "DAZOZI_RENDERER"), nullptr) << GraphicsError();
    EXPECT_NE(std::strstr(GraphicsError(), "gpu"), nullptr) << GraphicsError();
    unsetenv("DAZOZI_RENDERER");
}

// These open real windows: ctest runs them under Xvfb with Mesa's GL, where the accelerated
// renderer is llvmpipe. Elsewhere (SDL's dummy video driver) they are skipped.
class RendererChoiceInXServer : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!XServerAvailable())
            GTEST_SKIP() << "needs an X server";
        SetGraphicsTarget(GraphicsTarget::Window);
    }
    void TearDown() override {
        CloseGraphics();
        unsetenv("DAZOZI_RENDERER");
    }
    void Open(const char* preference) {
        if (preference)
            setenv("DAZOZI_RENDERER", preference, 1);
        else
            unsetenv("DAZOZI_RENDERER");
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    }
    // The window shows what was drawn: a red frame reads back red.
    void ExpectItDraws() {
        SetClsColor(255, 0, 0);
        Cls();
        EXPECT_EQ(ReadPixel(500, 400) >> 8, 0xFF0000u) << RendererName();
        Flip(0);
        SetClsColor(0, 0, 0);
    }
};

TEST_F(RendererChoiceInXServer, CpuRasterisedGlGivesWayToTheSoftwareRenderer) {
    Open(nullptr);
    const std::string gl = TriedGlRenderer();
    ASSERT_FALSE(gl.empty()) << "no GL renderer was tried; took " << RendererName();
    // Xvfb has no GPU: Mesa draws GL with llvmpipe (or softpipe where LLVM is missing).
    const bool mesaOnTheCpu =
        gl.find("llvmpipe") != std::string::npos || gl.find("softpipe") != std::string::npos;
    if (mesaOnTheCpu)
        EXPECT_STREQ(RendererName(), "software") << "GL_RENDERER " << gl;
    else
        EXPECT_STRNE(RendererName(), "software") << "GL_RENDERER " << gl;
    ExpectItDraws();
}

TEST_F(RendererChoiceInXServer, EnvironmentForcesEitherRenderer) {
    Open("accelerated");
    EXPECT_STRNE(RendererName(), "software");
    ExpectItDraws();
    CloseGraphics();
    Open("software");
    EXPECT_STREQ(RendererName(), "software");
    EXPECT_STREQ(TriedGlRenderer(), "") << "the accelerated renderer was made anyway";
    ExpectItDraws();
}

} // namespace
