#pragma once

#include "bodies/UpdateAllBodies.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "bodies/ClearAllBodies.hpp"
#include "bodies/LiveList.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "bodies/TTentacle.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/base/Clock.hpp"
#include "media/graphics/TImage.hpp"
#include "physics/CPSegmentShape.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPSpaceHash.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"

// Shared set-up of the body tests: offscreen graphics, the shared images and sound, a manual
// clock, a small layer with its own space, and every class-wide list cleared afterwards.
class BodiesTest : public ::testing::Test {
  protected:
    static constexpr float kStep = 0.016666668f / 3.0f;

    void SetUp() override {
        SetClock(&clock);
        InitMedia();
        InitPhysics();
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
        RegisterResources();
        SetAutoCenterHandle(true);
        LoadSharedAssets();
        layer = MakeLayer(2016, 768);
        // These tests count Draw calls, of bodies outside the picture too; skipping those
        // (which draws the same picture) is tested on its own in LiveList.test.
        bodiesCullOffPicture = false;
    }

    void TearDown() override {
        bodiesCullOffPicture = true;
        SetDrawRecording(nullptr);
        ClearAllBodies();
        layer.reset();
        SetAutoCenterHandle(false);
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
        SetClock(nullptr);
    }

    // A bare layer: a space with the level's gravity and the given level size, no tiles.
    static std::shared_ptr<TLayer> MakeLayer(int w, int h) {
        auto l = std::make_shared<TLayer>();
        l->spaceMap = CPSpace::Create();
        l->spaceMap->SetGravity(Vec2(0.0f, 600.0f));
        l->maxLevelW = w;
        l->maxLevelH = h;
        return l;
    }

    // Physics steps of one frame on the test layer.
    void Step(int frames = 1) {
        for (int f = 0; f < frames; ++f) {
            for (int i = 0; i < 3; ++i) {
                layer->spaceMap->DoStep(kStep);
            }
        }
    }

    // The body passes in the main loop's order.
    static void UpdateAllBodies(const BodyPass& pass = {}) { ::UpdateAllBodies(pass); }

    void Frame(int frames = 1) {
        for (int f = 0; f < frames; ++f) {
            Step();
            UpdateAllBodies();
        }
    }

    static int ActiveShapes(CPSpace& space) {
        int n = 0;
        space.GetActiveShapes()->ForEach(
            [](CPShape*, void* data) {
                ++*static_cast<int*>(data);
                return 0;
            },
            &n);
        return n;
    }

    // Number of recorded draws of `image` (since the last clear of `draws`).
    int DrawsOf(const std::shared_ptr<TImage>& image) const {
        int n = 0;
        for (const auto& d : draws) {
            n += d.image == image.get() ? 1 : 0;
        }
        return n;
    }

    void Record() {
        draws.clear();
        SetDrawRecording(&draws);
    }

    // The state every frame starts with and every drawer leaves behind.
    static void ExpectDefaultDrawingState(const char* who) {
        SCOPED_TRACE(who);
        int r = 0, g = 0, b = 0;
        GetColor(r, g, b);
        EXPECT_EQ(r, 255);
        EXPECT_EQ(g, 255);
        EXPECT_EQ(b, 255);
        EXPECT_FLOAT_EQ(GetAlpha(), 1.0f);
        EXPECT_EQ(GetBlend(), Blend::Mask);
        EXPECT_FLOAT_EQ(GetRotation(), 0.0f);
        float sx = 0, sy = 0;
        GetScale(sx, sy);
        EXPECT_FLOAT_EQ(sx, 1.0f);
        EXPECT_FLOAT_EQ(sy, 1.0f);
        EXPECT_FLOAT_EQ(GetLineWidth(), 1.0f);
        float ox = 1, oy = 1;
        GetOrigin(ox, oy);
        EXPECT_FLOAT_EQ(ox, 0.0f);
        EXPECT_FLOAT_EQ(oy, 0.0f);
    }

    static std::shared_ptr<TBall> SpawnBall(const std::shared_ptr<TLayer>& l, CPVect p) {
        auto ball = TBall::Create();
        ball->Init(l, p, 15.0f, 0.38f, 100, 0.0f, 0.075f);
        return ball;
    }
    static std::shared_ptr<TCube> SpawnCube(const std::shared_ptr<TLayer>& l, CPVect p) {
        auto cube = TCube::Create();
        cube->Init(l, p, 15.0f, 0.5f, 100, 0.0f, 0.1f);
        return cube;
    }
    static std::shared_ptr<TStar> SpawnStar(const std::shared_ptr<TLayer>& l, CPVect p,
                                            int style = 1) {
        auto star = TStar::Create();
        star->Init(l, p, style, 0.25f, 100, 0.0f, 0.05f);
        return star;
    }
    static std::shared_ptr<TSquid> SpawnSquid(const std::shared_ptr<TLayer>& l, CPVect p, int n = 6,
                                              float radius = 15.0f) {
        auto squid = TSquid::Create();
        squid->Init(l, p, n, radius, 0.85f, 100, 0.0f, 0.1f);
        return squid;
    }
    static std::shared_ptr<TChain> SpawnChain(const std::shared_ptr<TLayer>& l, CPVect p, int mode,
                                              int n = 18,
                                              const std::shared_ptr<CPBody>& end = nullptr,
                                              int life = 100) {
        auto chain = TChain::Create();
        chain->Init(l, p, mode, nullptr, end, n, 2.0f, 7.0f, 1.0f, life, 0.0f, 0.05f);
        return chain;
    }

    ManualClock clock{0};
    std::shared_ptr<TLayer> layer;
    std::vector<DrawRecord> draws;
};

inline void ExpectVec(CPVect actual, CPVect expected, float tol = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
}
