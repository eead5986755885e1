#include "bench/Scenes.hpp"

#include "app/Game.hpp"
#include "bodies/TBall.hpp"
#include "bodies/TChain.hpp"
#include "bodies/TCube.hpp"
#include "bodies/TMachineJoint.hpp"
#include "bodies/TSquid.hpp"
#include "bodies/TStar.hpp"
#include "control/TControl.hpp"
#include "data/LevelData.hpp"
#include "media/Graphics.hpp"
#include "physics/CPSpace.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

#include <algorithm>

namespace {

constexpr int kCell = 24;         // foreground tile size
constexpr float kSpacing = 36.0f; // spawn grid: a body is at most 30 px across (stars 30.4)

// A spawn point is usable when no bound cell lies within 24 px of it: bodies must not start
// inside or across the level's collision outlines.
bool Free(float x, float y) {
    const int c0 = static_cast<int>(x - 24.0f) / kCell, c1 = static_cast<int>(x + 24.0f) / kCell;
    const int r0 = static_cast<int>(y - 24.0f) / kCell, r1 = static_cast<int>(y + 24.0f) / kCell;
    for (int r = std::max(r0, 0); r <= r1 && r < static_cast<int>(FGBoundMap.size()); ++r) {
        for (int c = std::max(c0, 0);
             c <= c1 && c < static_cast<int>(GridRow(FGBoundMap, r).size()); ++c) {
            if (GridCell(FGBoundMap, r, c) != 0) {
                return false;
            }
        }
    }
    return true;
}

int spawnSerial = 0; // 2:2:1 rotation of balls, cubes and stars
const int kKinds[5] = {1, 2, 1, 2, 3};

} // namespace

int FreeBodies() {
    return TBall::Count() + TCube::Count() + TStar::Count();
}

// The controller's own spawn table, so the scenes hold exactly what the user would make.
void SpawnOfKind(int kind, CPVect p) {
    control->spawnAt(kind, p);
}

void SpawnSquidsAndChains() {
    const float width = static_cast<float>(level->_FGLayer->maxLevelW);
    for (int i = 0; i < 10; ++i) {
        // Squids float slowly in the open air of the upper half.
        SpawnOfKind(
            4, Vec2(100.0f + (width - 200.0f) * (static_cast<float>(i) + 0.5f) / 10.0f, 250.0f));
    }
    int made = 0;
    // Chains hang 252 px wide from anchors along row y = 60 where the air is clear.
    for (float x = 300.0f; x < width - 150.0f && made < 10; x += 170.0f) {
        if (Free(x + 112.0f, 60.0f) && Free(x - 140.0f, 60.0f)) {
            SpawnOfKind(made % 2 == 0 ? 6 : 7, Vec2(x, 60.0f));
            ++made;
        }
    }
    for (; made < 10; ++made) {
        SpawnOfKind(7, Vec2(300.0f + 150.0f * static_cast<float>(made), 40.0f));
    }
}

int FillTo(int target, void (*frame)(), int settleFrames, void (*spawn)(CPVect), int (*count)()) {
    const float width = static_cast<float>(level->_FGLayer->maxLevelW);
    int frames = 0;
    // Bodies drain out of the level through its open pits; what is missing after a settle is
    // spawned again, a few rounds at most.
    for (int round = 0; round < 4 && count() < target; ++round) {
        int deficit = target - count();
        while (deficit > 0) {
            // One wave: up to five rows across the top, falling clear before the next wave.
            int spawned = 0;
            for (int row = 0; row < 5 && spawned < deficit; ++row) {
                const float y = 30.0f + kSpacing * static_cast<float>(row);
                for (float x = 40.0f; x < width - 40.0f && spawned < deficit; x += kSpacing) {
                    if (!Free(x, y)) {
                        continue;
                    }
                    if (spawn != nullptr) {
                        spawn(Vec2(x, y));
                    } else {
                        SpawnOfKind(kKinds[spawnSerial++ % 5], Vec2(x, y));
                    }
                    ++spawned;
                }
            }
            for (int i = 0; i < 25; ++i, ++frames) {
                frame();
            }
            if (spawned == 0) {
                break;
            }
            deficit -= spawned;
        }
        for (int i = 0; i < settleFrames; ++i, ++frames) {
            frame();
        }
    }
    return frames;
}

int FillRack(int target, void (*frame)(), int settleFrames, bool ballsOnly) {
    TLayer& fg = *level->_FGLayer;
    // A shelf on top of every fourth row holds three layers of 30-pixel bodies (96 px); the
    // bins are 1008 px wide, and the shelf row of the player's start (y 288 to 384) is split
    // at 504 px so that its left bin, where the squid and its tentacle hang, stays empty: its
    // writhing would keep whatever it touches awake.
    constexpr int kPitch = 4;
    constexpr int kPocketRow = 12, kPocketColumn = 21, kMiddleColumn = 42;
    for (int r = 0; r < fg.MapH; ++r) {
        for (int c = 0; c < fg.MapW; ++c) {
            int bound = 0;
            if (r > 0 && r % kPitch == 0) {
                bound |= 1; // top
            }
            if (r == fg.MapH - 1) {
                bound |= 4; // bottom
            }
            const bool pocketWall =
                c == kPocketColumn && r >= kPocketRow && r < kPocketRow + kPitch;
            if (c == 0 || c == kMiddleColumn || pocketWall) {
                bound |= 2; // left
            }
            if (c == fg.MapW - 1) {
                bound |= 8; // right
            }
            fg.SetCell(c, r, fg.MapData[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)],
                       bound);
        }
    }
    // Side by side 30.5 px apart (a star is 30.4 wide), layers 32 px apart: nothing overlaps
    // at the start and little can roll, so the rack settles within seconds.
    constexpr float kStep = 30.5f, kLayer = 32.0f;
    const float shelf = static_cast<float>(kPitch * kCell);
    const float bins[3][2] = {{0.0f, 504.0f}, {504.0f, 1008.0f}, {1008.0f, 2016.0f}};
    int placed = 0;
    for (int k = 0; k < fg.MapH / kPitch && FreeBodies() < target; ++k) {
        const float floor = shelf * static_cast<float>(k + 1);
        for (int layer = 0; layer < 3; ++layer) {
            const float y = floor - 16.0f - kLayer * static_cast<float>(layer);
            for (const auto& bin : bins) {
                if (k * kPitch == kPocketRow && bin[0] == 0.0f) {
                    continue;
                }
                for (float x = bin[0] + 15.5f; x + 15.25f <= bin[1] && FreeBodies() < target;
                     x += kStep) {
                    SpawnOfKind(ballsOnly ? 1 : kKinds[spawnSerial++ % 5], Vec2(x, y));
                    ++placed;
                }
            }
        }
    }
    for (int i = 0; i < settleFrames; ++i) {
        frame();
    }
    return placed;
}

void AddEmptyRows(int rows) {
    TLayer& fg = *level->_FGLayer;
    // Copies: the layer pads what it is given to its new size.
    const IntGrid tiles = fg.MapData, bounds = fg.BoundMap;
    const int height = fg.MapH + rows;
    fg.Init(fg.TileSet, tiles, fg.MapW, height);
    fg.SetBoundMap(bounds);
    // What the level's loader sets on its space.
    CPSpace& space = *fg.spaceMap;
    space.SetGravity(Vec2(0.0f, 600.0f));
    space.ResizeStaticHash(10.0f, 2000);
    space.SetIterations(10);
    for (int type : {1, 2, 3, 4, 7}) {
        space.AddCollisionPairFunc(type, TLayer::kBorderCollisionType, nullptr);
    }
    level->_maxScrollH = fg.maxLevelH - GraphicsHeight();
}

int BuildMachines(int target) {
    const std::shared_ptr<TLayer>& fg = level->_FGLayer;
    const std::shared_ptr<CPBody>& world = fg->staticBodyMap;
    const float width = static_cast<float>(fg->maxLevelW);
    int made = 0;
    auto join = [&](JointKind kind, const std::shared_ptr<CPBody>& a, CPVect anchorA,
                    const std::shared_ptr<CPBody>& b, CPVect anchorB) {
        TMachineJoint::Params k;
        k.kind = kind;
        TMachineJoint::Create()->Init(fg, a, b, anchorA, anchorB, k);
        ++made;
    };
    constexpr float kHalf = 15.0f; // a cube's half side
    for (float y = 70.0f; y <= 190.0f && made < target; y += 60.0f) {
        float x = 120.0f + kHalf;
        std::shared_ptr<CPBody> last = world;
        CPVect lastAnchor = Vec2(x - kHalf, y);
        for (; x + kHalf < width - 120.0f && Free(x, y) && made < target - 1; x += 2.0f * kHalf) {
            SpawnOfKind(2, Vec2(x, y));
            const std::shared_ptr<CPBody> plank = TCube::liveList->Last()->_body;
            join(JointKind::Hinge, plank, Vec2(-kHalf, 0.0f), last, lastAnchor);
            last = plank;
            lastAnchor = Vec2(kHalf, 0.0f);
        }
        if (last != world) {
            join(JointKind::Hinge, world, last->LocalToWorld(lastAnchor), last, lastAnchor);
        }
    }
    // Cradles: a ball 100 px under two level points 40 px apart, side by side.
    for (float y = 260.0f; y < 700.0f && made < target; y += 160.0f) {
        for (float x = 60.0f; x < width - 60.0f && made < target; x += 31.0f) {
            if (!Free(x, y + 100.0f)) {
                continue;
            }
            SpawnOfKind(1, Vec2(x, y + 100.0f));
            const std::shared_ptr<CPBody> ball = TBall::liveList->Last()->_body;
            join(JointKind::Rope, world, Vec2(x - 20.0f, y), ball, ZeroVect);
            join(JointKind::Rope, world, Vec2(x + 20.0f, y), ball, ZeroVect);
        }
    }
    return made;
}
