#include "control/SceneFit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "app/SceneDocument.hpp"
#include "bodies/TBall.hpp"
#include "control/SceneBodies.hpp"
#include "control/TControl.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "data/LevelData.hpp"
#include "support/GameFixture.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"
#include "world/TTileSet.hpp"

namespace {

using Kind = SceneFormat::Kind;
using Body = SceneFormat::Body;
using Anchor = SceneFormat::Anchor;

SceneFormat::Scene emptyScene() {
    CreateLevelData();
    SceneFormat::Scene scene;
    scene.foregroundTiles = FGMapData;
    scene.foregroundEdges = FGBoundMap;
    scene.backgroundTiles = BGMapData;
    return scene;
}

Body body(Kind kind, double x, double y) {
    Body b;
    b.kind = kind;
    b.state = CPExactState{x, y};
    const std::size_t segments = kind == Kind::Squid ? 7 : kind == Kind::Player ? 15 : 0;
    for (std::size_t i = 0; i < segments; ++i) {
        b.parts.push_back(CPExactState{x - 20.0 - 24.0 * static_cast<double>(i), y + 5.0});
    }
    return b;
}

Body chain(double x, double y) {
    Body b;
    b.kind = Kind::Chain;
    b.start = {Anchor::Type::Fixed, {x + 7.0, y}, -1};
    b.end = {Anchor::Type::Free, {x - 300.0, y}, -1};
    for (int i = 0; i < 19; ++i) {
        b.parts.push_back(CPExactState{x - 16.0 * i, y});
    }
    return b;
}

// n bodies made by make(i), in a scene of level 0 (bodies in the open sky above the level).
SceneFormat::Scene sceneOf(int n, const std::function<Body(int)>& make) {
    SceneFormat::Scene scene = emptyScene();
    for (int i = 0; i < n; ++i) {
        scene.bodies.push_back(make(i));
    }
    return scene;
}

// Bodies deep in each other are counted pair by pair, parts of one body not; past the limit a
// scene is refused with the count, and a scene of touching bodies (a pile) is not.
TEST(SceneFitTest, CountsPairsDeepInEachOtherAndRefusesPastTheLimit) {
    const struct {
        const char* what;
        SceneFormat::Scene scene;
        long long pairs;
        const char* error; // nullptr: accepted
    } cases[] = {
        {"2,000 balls at one spot", sceneOf(2000, [](int) { return body(Kind::Ball, 500, 100); }),
         1'999'000, "scene: 1,999,000 pairs of bodies overlap (at most 5,000)"},
        {"8,000 balls in pairs",
         sceneOf(8000,
                 [](int i) { return body(Kind::Ball, 40.0 * (i / 2 % 40), -40.0 * (i / 80)); }),
         4000, nullptr},
        {"8,000 balls in fours",
         sceneOf(8000,
                 [](int i) { return body(Kind::Ball, 40.0 * (i / 4 % 40), -40.0 * (i / 160)); }),
         12000, "scene: 12,000 pairs of bodies overlap (at most 8,000)"},
        {"101 balls at one spot", sceneOf(101, [](int) { return body(Kind::Ball, 500, 100); }),
         5050, "scene: 5,050 pairs of bodies overlap (at most 5,000)"},
        {"100 balls at one spot", sceneOf(100, [](int) { return body(Kind::Ball, 500, 100); }),
         4950, nullptr},
        {"300 chains at one spot", sceneOf(300, [](int) { return chain(900, 60); }),
         // Same links, and each free end on the last link of every other chain.
         300LL * 299 / 2 * (19 + 3), "scene: 986,700 pairs of bodies overlap (at most 6,000)"},
        {"2,000 squids at one spot", sceneOf(2000, [](int) { return body(Kind::Squid, 900, 60); }),
         SceneFit::kCountUpTo, "scene: more than 10,000,000 pairs of bodies overlap"},
        {"balls touching in rows",
         sceneOf(2000, [](int i) { return body(Kind::Ball, 30.0 * (i % 60), -30.0 * (i / 60)); }),
         0, nullptr},
        {"cubes and stars touching",
         sceneOf(400,
                 [](int i) {
                     return body(i % 2 == 0 ? Kind::Cube : Kind::Star, 30.0 * (i % 40),
                                 -30.0 * (i / 40));
                 }),
         0, nullptr},
        {"a squid and a chain alone",
         sceneOf(2, [](int i) { return i == 0 ? body(Kind::Player, 900, 60) : chain(600, 200); }),
         0, nullptr},
        {"balls sunk half into each other",
         sceneOf(3, [](int i) { return body(Kind::Ball, 500.0 + 14.9 * i, 100); }), 2, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SceneFit::CountOverlaps(SceneFit::PartsOf(c.scene)), c.pairs) << c.what;
        std::string error;
        EXPECT_EQ(SceneFit::Check(c.scene, error), c.error == nullptr) << c.what << ": " << error;
        if (c.error != nullptr) {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
        }
    }
}

// A body whose centre is inside a solid cell is refused, naming the body and the cell; one in an
// open cell, or resting on a solid one, is not.
TEST(SceneFitTest, RefusesBodiesInsideSolidCells) {
    CreateLevelData();
    // Level 0's lone brick at row 16, column 9: edges all round, open cells about it.
    const int solidColumn = 9, solidRow = 16;
    ASSERT_EQ(FGBoundMap[16][9], 15);
    ASSERT_EQ(FGBoundMap[16][10] + FGBoundMap[16][11] + FGBoundMap[15][9], 0);
    auto centreOf = [](int column, int row) {
        return std::pair{24.0 * column + 12.0, 24.0 * row + 12.0};
    };
    const auto [sx, sy] = centreOf(solidColumn, solidRow);
    const std::string cell = "the solid cell at row " + std::to_string(solidRow) + ", column " +
                             std::to_string(solidColumn);
    const struct {
        const char* what;
        Body body;
        const char* where; // nullptr: accepted
    } cases[] = {
        {"a ball in a solid cell", body(Kind::Ball, sx, sy), "bodies[0]: a ball inside "},
        {"a cube near its corner", body(Kind::Cube, sx - 6.0, sy + 6.0),
         "bodies[0]: a cube inside "},
        {"a ball resting on it", body(Kind::Ball, sx, sy - 12.0 - 14.9), nullptr},
        {"a star pressed in at its side", body(Kind::Star, sx - 6.5, sy), nullptr},
        {"a squid", body(Kind::Squid, sx, sy), "bodies[0]: a squid inside "},
        // A chain's links hang from anchors set into walls; a tentacle's segments slip in.
        {"a chain's link", chain(sx + 16.0 * 3, sy), nullptr},
        {"a squid's tentacle",
         [&] {
             Body b = body(Kind::Squid, sx + 300.0, 40.0);
             b.parts[5] = CPExactState{sx, sy};
             return b;
         }(),
         nullptr},
        {"in the sky", body(Kind::Ball, 500, 40), nullptr},
        {"off the level", body(Kind::Ball, -500, 4000), nullptr},
    };
    for (const auto& c : cases) {
        SceneFormat::Scene scene = emptyScene();
        scene.bodies.push_back(c.body);
        std::string error;
        EXPECT_EQ(SceneFit::Check(scene, error), c.where == nullptr) << c.what << ": " << error;
        if (c.where != nullptr) {
            EXPECT_EQ(error, c.where + cell) << c.what;
        }
    }
}

class SceneFitInGameTest : public GameFixture {
  protected:
    SceneFitInGameTest() : GameFixture(0) {}
};

// The check's cells are the level's, and what a running game saves always opens again: a pile
// poured by the right button at one spot, saved while it pours and after it has settled.
TEST_F(SceneFitInGameTest, APileSavedFromTheGameAlwaysOpensAgain) {
    EXPECT_EQ(level->_FGLayer->TileSet->TileW, SceneFit::kCellSize);
    EXPECT_EQ(level->_FGLayer->TileSet->TileH, SceneFit::kCellSize);
    for (int kind = 1; kind <= 4; ++kind) {
        control->currentObject = kind;
        const int frames = kind == 4 ? 20 : 60;
        for (int frame = 0; frame < frames; ++frame) {
            control->spawnAt(kind, Vec2(600.0f, 200.0f));
            updateGame();
            if (frame % 20 == 19) {
                const std::string saved = CurrentSceneText();
                std::string error;
                EXPECT_TRUE(OpenSceneText(saved, error)) << "kind " << kind << ": " << error;
            }
        }
    }
    for (int frame = 0; frame < 60; ++frame) {
        updateGame();
    }
    const SceneFormat::Scene scene =
        SceneBodies::Capture(*level, *control, *sandbox, *gameSettings);
    std::printf("a settled pile of %zu bodies: %lld pairs deep in each other\n",
                scene.bodies.size(), SceneFit::CountOverlaps(SceneFit::PartsOf(scene)));
    std::string error;
    EXPECT_TRUE(SceneFit::Check(scene, error)) << error;
}

} // namespace
