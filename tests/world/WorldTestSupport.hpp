#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/LevelData.hpp"
#include "data/Resources.hpp"
#include "media/Graphics.hpp"
#include "media/base/Embedded.hpp"
#include "physics/CPSpace.hpp"
#include "physics/CPSpaceHash.hpp"
#include "physics/CPVect.hpp"
#include "world/TLayer.hpp"
#include "world/TTileSet.hpp"

// Opens the 1024 x 768 offscreen target with the embedded sheets registered, and puts every
// global it touches back afterwards.
class OffscreenWorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitPhysics();
        RegisterResources();
        CreateLevelData();
        SetGraphicsTarget(GraphicsTarget::Offscreen);
        InitMedia();
        ASSERT_TRUE(OpenGraphics(1024, 768, 0, 60, 0)) << GraphicsError();
    }
    void TearDown() override {
        SetDrawRecording(nullptr);
        SetScale(1.0f, 1.0f);
        SetViewport(0, 0, 1024, 768);
        CloseGraphics();
        SetGraphicsTarget(GraphicsTarget::Window);
    }
};

// A tile set with sizes only (no sheet): enough for positions and collision geometry.
inline std::shared_ptr<TTileSet> SizedTileSet(int w, int h, int overlap = 0) {
    auto set = std::make_shared<TTileSet>();
    set->TileW = w;
    set->TileH = h;
    set->Overlap = overlap;
    return set;
}

inline int CountShapes(CPSpaceHash& hash) {
    int count = 0;
    hash.ForEach(
        [](CPShape*, void* data) {
            ++*static_cast<int*>(data);
            return 0;
        },
        &count);
    return count;
}
