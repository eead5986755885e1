#include "app/ReplayStarts.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

ReplayStarts::Start startAt(int frame, std::string scene, int x = 0, int y = 0) {
    ReplayStarts::Start s;
    s.frame = frame;
    s.pointerX = x;
    s.pointerY = y;
    s.scene = std::move(scene);
    return s;
}

// Due every `every` frames counted from frame 0 or the last start kept; asked again and again
// while the moment is not right, it stays due.
TEST(ReplayStarts, IsDueEveryFewFramesUntilOneIsKept) {
    ReplayStarts starts(10);
    struct Step {
        int frame;
        bool due;
        bool keep;
    };
    const Step steps[] = {{0, false, false},  {9, false, false}, {10, true, false},
                          {11, true, false},  {12, true, true},  {13, false, false},
                          {21, false, false}, {22, true, true},  {23, false, false},
                          {32, true, false}};
    for (const Step& s : steps) {
        EXPECT_EQ(starts.Due(s.frame), s.due) << "frame " << s.frame;
        if (s.keep) {
            starts.Keep(startAt(s.frame, "scene " + std::to_string(s.frame), s.frame, -s.frame));
        }
    }
    const ReplayStarts::Start* first = starts.OldestFrom(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->frame, 12);
    EXPECT_EQ(first->scene, "scene 12");
    EXPECT_EQ(first->pointerX, 12);
    EXPECT_EQ(first->pointerY, -12);
    EXPECT_EQ(starts.OldestFrom(13)->frame, 22);
    EXPECT_EQ(starts.OldestFrom(23), nullptr);
}

// Its slots are reused oldest first; the oldest start a ring still holds is the one offered.
TEST(ReplayStarts, KeepsTheNewestStartsInItsSlots) {
    ReplayStarts starts(1);
    const int kept = ReplayStarts::kSlots + 3;
    for (int frame = 1; frame <= kept; ++frame) {
        ASSERT_TRUE(starts.Due(frame));
        starts.Keep(startAt(frame, std::string(100, static_cast<char>('a' + frame))));
    }
    // The three oldest made way.
    EXPECT_EQ(starts.OldestFrom(0)->frame, 4);
    EXPECT_EQ(starts.OldestFrom(0)->scene, std::string(100, 'a' + 4));
    EXPECT_EQ(starts.OldestFrom(kept)->frame, kept);
    EXPECT_EQ(starts.OldestFrom(kept + 1), nullptr);
}

// Frames counted from 0 again (a replay started, a reload): every start is forgotten, since its
// frame number would name a frame of the new count.
TEST(ReplayStarts, ForgetsEveryStartWhenTheFramesCountAgain) {
    ReplayStarts starts(10);
    ASSERT_TRUE(starts.Due(30));
    starts.Keep(startAt(30, "old"));
    EXPECT_FALSE(starts.Due(0));
    EXPECT_EQ(starts.OldestFrom(0), nullptr);
    EXPECT_FALSE(starts.Due(9));
    EXPECT_TRUE(starts.Due(10));
}

} // namespace
