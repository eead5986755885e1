#include <gtest/gtest.h>

#include "world/TTileSet.hpp"
#include "world/WorldTestSupport.hpp"

namespace {

// Resources only: no window is needed to load a sheet.
class TileSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterResources();
        CreateLevelData();
    }
};

TEST_F(TileSetTest, InitLoadsTheSheetNamedAfterTheIdentifier) {
    TTileSet fg;
    fg.Init("L1", 24, 24, 0, 19, FGSequences);
    ASSERT_NE(fg.TileSetImage, nullptr);
    EXPECT_EQ(fg.TileSetImage->FrameCount(), 19);
    EXPECT_EQ(ImageWidth(*fg.TileSetImage), 24);
    EXPECT_EQ(ImageHeight(*fg.TileSetImage), 24);
    EXPECT_EQ(fg.Identifier, "L1");
    EXPECT_EQ(fg.Sequences, &FGSequences); // referenced, not copied

    TTileSet bg;
    bg.Init("BACK1", 40, 24, 0, 28, BGSequences);
    ASSERT_NE(bg.TileSetImage, nullptr);
    EXPECT_EQ(bg.TileSetImage->FrameCount(), 28);
    EXPECT_EQ(bg.TotalFrames, (std::vector<int>{96, 96, 0}));

    // A sheet that is not embedded leaves the set without an image, sequences still work.
    TTileSet missing;
    missing.Init("Nowhere", 24, 24, 0, 4, FGSequences);
    EXPECT_EQ(missing.TileSetImage, nullptr);
    EXPECT_EQ(missing.GetSequenceFrame(-1, 0), 16);
}

TEST_F(TileSetTest, SequencesWalkTheirTriplesAndWrapAround) {
    TTileSet fg;
    fg.Init("L1", 24, 24, 0, 19, FGSequences);
    EXPECT_EQ(fg.GetSequenceFrame(-1, 0), 16);
    EXPECT_EQ(fg.GetSequenceFrame(-1, 31), 16);
    EXPECT_EQ(fg.GetSequenceFrame(-1, 32), 17);
    EXPECT_EQ(fg.GetSequenceFrame(-1, 63), 17);
    EXPECT_EQ(fg.GetSequenceFrame(-1, 64), 16);
    EXPECT_EQ(fg.GetSequenceFrame(-2, 32), 19);
    EXPECT_EQ(fg.GetSequenceFrame(-2, 64 * 1000 + 1), 18);
}

TEST_F(TileSetTest, MissingOrTimelessSequencesReadAsEmpty) {
    TTileSet fg;
    fg.Init("L1", 24, 24, 0, 19, FGSequences);
    EXPECT_EQ(fg.GetSequenceFrame(-4, 0), 0);
    EXPECT_EQ(fg.GetSequenceFrame(-4, 100), 0);
    EXPECT_EQ(fg.GetSequenceFrame(-2147483647 - 1, 5), 0);
    // The third sequence is all zero: no duration, nothing to show, no division by zero.
    EXPECT_EQ(fg.TotalFrames[2], 0);
    EXPECT_EQ(fg.GetSequenceFrame(-3, 0), 0);
    EXPECT_EQ(fg.GetSequenceFrame(-3, 12345), 0);

    TTileSet blank; // never initialised: no table at all
    EXPECT_EQ(blank.GetSequenceFrame(-1, 0), 0);
}

TEST_F(TileSetTest, OnlyCompleteTriplesCount) {
    const IntGrid table = {{5, 10, 0, 6, 20, 0, 7}, {8, 3}, {}};
    TTileSet set;
    set.Init("Nowhere", 24, 24, 0, 1, table);
    EXPECT_EQ(set.TotalFrames, (std::vector<int>{30, 0, 0}));
    EXPECT_EQ(set.GetSequenceFrame(-1, 9), 5);
    EXPECT_EQ(set.GetSequenceFrame(-1, 10), 6);
    EXPECT_EQ(set.GetSequenceFrame(-1, 29), 6);
    EXPECT_EQ(set.GetSequenceFrame(-1, 30), 5); // wraps: the trailing 7 is no third step
    EXPECT_EQ(set.GetSequenceFrame(-2, 1), 0);
    EXPECT_EQ(set.GetSequenceFrame(-3, 1), 0);
}

} // namespace
