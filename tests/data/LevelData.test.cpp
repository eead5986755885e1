#include "data/LevelData.hpp"

#include <gtest/gtest.h>

#include <map>

namespace {

class LevelDataTest : public ::testing::Test {
  protected:
    void SetUp() override { CreateLevelData(); }
};

void ExpectShape(const IntGrid& grid, std::size_t rows, std::size_t cols, const char* what) {
    ASSERT_EQ(grid.size(), rows) << what;
    for (std::size_t r = 0; r < rows; ++r) {
        ASSERT_EQ(grid[r].size(), cols) << what << " row " << r;
    }
}

// The edge code a foreground tile value must carry: only the brick block, the
// grass surface, the surface corners and the pit walls are solid.
int ExpectedBound(int tile) {
    switch (tile) {
    case 1:
        return 15;
    case 2:
    case 3:
        return 1;
    case 4:
        return 9;
    case 5:
        return 3;
    case 11:
        return 8;
    case 12:
    case 15:
        return 2;
    default:
        return 0;
    }
}

bool HasTopEdge(int code) {
    return code == 1 || code == 3 || code == 9 || code == 15;
}

} // namespace

TEST_F(LevelDataTest, ArraysHaveTheLevelDimensions) {
    ExpectShape(BGMapData, 19, 18, "BGMapData");
    ExpectShape(BGBoundMap, 19, 18, "BGBoundMap");
    ExpectShape(FGMapData, 32, 84, "FGMapData");
    ExpectShape(FGBoundMap, 32, 84, "FGBoundMap");
    EXPECT_EQ(BGSequences.size(), 3u);
    EXPECT_EQ(FGSequences.size(), 3u);
}

TEST_F(LevelDataTest, CreatingTwiceGivesTheSameContent) {
    const IntGrid bg = BGMapData, fg = FGMapData, fb = FGBoundMap, fs = FGSequences;
    FGMapData[0][0] = 99;
    CreateLevelData();
    EXPECT_EQ(BGMapData, bg);
    EXPECT_EQ(FGMapData, fg);
    EXPECT_EQ(FGBoundMap, fb);
    EXPECT_EQ(FGSequences, fs);
    ExpectShape(FGMapData, 32, 84, "FGMapData after a second call");
}

TEST_F(LevelDataTest, BackgroundValuesAreSkyHillsAndCloudsOnly) {
    for (int r = 0; r < 19; ++r) {
        for (int c = 0; c < 18; ++c) {
            const int v = GridCell(BGMapData, r, c);
            if (v < 0) {
                EXPECT_TRUE(v == -1 || v == -2) << r << "," << c;
                EXPECT_LE(r, 8) << "clouds stay in the sky rows";
            } else {
                EXPECT_GE(v, 1) << r << "," << c;
                EXPECT_LE(v, 25) << r << "," << c;
            }
            EXPECT_EQ(GridCell(BGBoundMap, r, c), 0) << "the background never collides";
        }
    }
    for (int c = 0; c < 18; ++c) {
        EXPECT_EQ(GridCell(BGMapData, 0, c), 1) << "top row is plain sky";
        EXPECT_EQ(GridCell(BGMapData, 18, c), 25) << "bottom row is the deepest hill fill";
    }
    EXPECT_EQ(BGMapData[1][11], -2);
    EXPECT_EQ(BGMapData[7][3], -1);
    EXPECT_EQ(BGMapData[9][15], 6);
    EXPECT_EQ(BGMapData[14][9], 24);
}

TEST_F(LevelDataTest, ForegroundValuesAndCornerCells) {
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 84; ++c) {
            const int v = GridCell(FGMapData, r, c);
            EXPECT_TRUE((v >= 0 && v <= 15) || v == -1 || v == -2) << r << "," << c << ": " << v;
        }
    }
    EXPECT_EQ(FGMapData[22][0], 1);
    EXPECT_EQ(FGMapData[24][24], 12);
    EXPECT_EQ(FGMapData[26][15], 13);
    EXPECT_EQ(FGMapData[31][83], 0);
    EXPECT_EQ(FGMapData[31][0], 7);
    EXPECT_EQ(FGMapData[27][72], 11);
}

TEST_F(LevelDataTest, ForegroundBoundsFollowFromTheTilesInEveryCell) {
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 84; ++c) {
            EXPECT_EQ(GridCell(FGBoundMap, r, c), ExpectedBound(GridCell(FGMapData, r, c)))
                << "row " << r << " column " << c << " tile " << GridCell(FGMapData, r, c);
        }
    }
}

TEST_F(LevelDataTest, ForegroundEdgeCodeCounts) {
    std::map<int, int> counts;
    for (const auto& row : FGBoundMap) {
        for (int v : row) {
            ++counts[v];
        }
    }
    EXPECT_EQ(counts[1], 55);
    EXPECT_EQ(counts[2], 47);
    EXPECT_EQ(counts[3], 10);
    EXPECT_EQ(counts[8], 55);
    EXPECT_EQ(counts[9], 11);
    EXPECT_EQ(counts[15], 102);
    EXPECT_EQ(counts[0], 32 * 84 - (55 + 47 + 10 + 55 + 11 + 102));
    EXPECT_EQ(counts.size(), 7u) << "only the codes 0, 1, 2, 3, 8, 9 and 15 occur";
}

TEST_F(LevelDataTest, BushesAreTwoCellsWideAndStandOnSolidGround) {
    int bushes = 0;
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 84; ++c) {
            if (GridCell(FGMapData, r, c) == -1) {
                ++bushes;
                ASSERT_LT(c + 1, 84);
                EXPECT_EQ(GridCell(FGMapData, r, c + 1), -2)
                    << "left half without right half at " << r << "," << c;
                ASSERT_LT(r + 1, 32);
                EXPECT_TRUE(HasTopEdge(GridCell(FGBoundMap, r + 1, c))) << r << "," << c;
                EXPECT_TRUE(HasTopEdge(GridCell(FGBoundMap, r + 1, c + 1))) << r << "," << c + 1;
                EXPECT_EQ(GridCell(FGBoundMap, r, c), 0);
                EXPECT_EQ(GridCell(FGBoundMap, r, c + 1), 0);
            }
            if (GridCell(FGMapData, r, c) == -2) {
                ASSERT_GT(c, 0);
                EXPECT_EQ(GridCell(FGMapData, r, c - 1), -1)
                    << "right half without left half at " << r << "," << c;
            }
        }
    }
    EXPECT_EQ(bushes, 11);
}

TEST_F(LevelDataTest, RightmostColumnsHoldOnlyTheLastBlocks) {
    for (int r = 0; r < 32; ++r) {
        for (int c = 76; c < 84; ++c) {
            const bool block = r == 29 && c >= 78 && c <= 81;
            EXPECT_EQ(GridCell(FGMapData, r, c), block ? 1 : 0) << r << "," << c;
            EXPECT_EQ(GridCell(FGBoundMap, r, c), block ? 15 : 0) << r << "," << c;
        }
    }
}

TEST_F(LevelDataTest, AnimationSequences) {
    const IntGrid bg = {{26, 48, 12288, 27, 48, 12288}, {27, 48, 12288, 26, 48, 12288}, {0, 0, 0}};
    const IntGrid fg = {{16, 32, 8192, 17, 32, 8192}, {18, 32, 8192, 19, 32, 8192}, {0, 0, 0}};
    EXPECT_EQ(BGSequences, bg);
    EXPECT_EQ(FGSequences, fg);
}
