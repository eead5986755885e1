#include "media/input/InputRing.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "media/Graphics.hpp"
#include "media/input/Input.hpp"
#include "media/input/InputRecorder.hpp"
#include "media/input/InputScript.hpp"
#include "media/input/ScriptedInput.hpp"
#include "support/TempFolder.hpp"

namespace {

// The lines of text that are events, without comments, clock lines and the frame count.
std::vector<std::string> eventLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#' && line.find(": clock ") == std::string::npos &&
            !line.starts_with("frames ")) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Three frames of every kind of event, told to the ring by the input layer as it handles them.
void playThreeFrames(InputRing& ring, InputRecorder* recorder) {
    for (int frame = 0; frame < 3; ++frame) {
        ring.BeginFrame(frame, 16 * frame);
        if (recorder) {
            recorder->BeginFrame(frame, 16 * frame);
        }
        PushKey(49 + frame, true);
        PushKey(49 + frame, false);
        PushMouseMove(10 * frame + 5, 20 * frame + 5);
        PushMouseButton(1, frame != 1);
        PushMouseWheel(frame + 1);
        PushFinger(3, 1, frame, frame);
        PushFinger(3, 0, frame, frame);
        KeyHits(49); // the frame's input handling reads the queue
        ring.EndInput();
        if (recorder) {
            recorder->EndInput();
        }
    }
}

} // namespace

// The ring writes what a recording file of the same play holds (but the clock of every frame),
// and its text reads back as a script of the same length.
TEST(InputRing, HoldsWhatARecordingOfTheSamePlayHolds) {
    InitMedia();
    ResetInput();
    const TempFolder folder;
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(folder.File("recorded.txt"), error)) << error;
    InputRing ring(60, 4096);
    SetInputRecorder(&recorder);
    SetInputRing(&ring);
    playThreeFrames(ring, &recorder);
    SetInputRecorder(nullptr);
    SetInputRing(nullptr);
    ASSERT_TRUE(recorder.Finish()) << recorder.Error();

    EXPECT_TRUE(ring.HoldsStart());
    EXPECT_EQ(ring.Frames(), 3);
    const std::string text = ring.Text();
    EXPECT_EQ(eventLines(text), eventLines(readAll(folder.File("recorded.txt"))));
    EXPECT_EQ(eventLines(text).size(), 3u * 7u) << text;
    // The last frame's clock is there: a link's replay plays up to its last event.
    EXPECT_NE(text.find("frame 2: clock 32\nframes 3\n"), std::string::npos) << text;
    const std::string path = folder.File("ring.txt");
    std::ofstream(path) << text;
    InputScript script;
    ASSERT_TRUE(script.Load(path, error)) << error;
    EXPECT_EQ(script.Length(), 3);
}

// What the ring keeps as it fills: the newest frames, whole, by count and by bytes; a frame
// that alone outgrows it is not kept, nor anything before it; a count from 0 again starts anew.
TEST(InputRing, KeepsTheNewestWholeFrames) {
    struct Case {
        const char* what;
        int frames;
        std::size_t bytes;
        int played;   // frames begun, each with one key line ("frame N: key 65 down\n")
        int bigFrame; // this frame gets 40 lines more (-1: none)
        bool holdsStart;
        int firstHeld; // first frame whose line is in the text (-1: none)
        int lastHeld;
    };
    const Case cases[] = {
        {"under its size", 10, 4096, 5, -1, true, 0, 4},
        {"past its frames", 3, 4096, 5, -1, false, 2, 4},
        {"past its bytes", 100, 3 * 21 + 5, 5, -1, false, 2, 4},
        {"a frame larger than the ring", 100, 400, 5, 3, false, 4, 4},
        {"a large frame that fits", 100, 4096, 5, 3, true, 0, 4},
    };
    for (const Case& c : cases) {
        InputRing ring(c.frames, c.bytes);
        for (int frame = 0; frame < c.played; ++frame) {
            ring.BeginFrame(frame, 0);
            ring.Key(65, true);
            for (int i = 0; frame == c.bigFrame && i < 40; ++i) {
                ring.Mouse(i, i);
            }
            ring.EndInput();
        }
        const std::string text = ring.Text();
        EXPECT_EQ(ring.HoldsStart(), c.holdsStart) << c.what;
        for (int frame = 0; frame < c.played; ++frame) {
            const bool held = frame >= c.firstHeld && frame <= c.lastHeld && c.firstHeld >= 0;
            EXPECT_EQ(text.find("frame " + std::to_string(frame) + ": key 65 down\n") !=
                          std::string::npos,
                      held)
                << c.what << ", frame " << frame << ":\n"
                << text;
        }
        EXPECT_NE(text.find("frames " + std::to_string(c.played) + "\n"), std::string::npos)
            << c.what;
    }
}

// Frames counted from 0 again (a replay dropped on the window starts the game anew): the ring
// forgets what came before and holds the new start.
TEST(InputRing, StartsAnewWhenTheFramesCountFromZeroAgain) {
    InputRing ring(4, 4096);
    for (int frame = 0; frame < 6; ++frame) {
        ring.BeginFrame(frame, 0);
        ring.Key(66, true);
        ring.EndInput();
    }
    ASSERT_FALSE(ring.HoldsStart());
    ring.BeginFrame(0, 0);
    ring.Wheel(2);
    EXPECT_TRUE(ring.HoldsStart());
    EXPECT_EQ(eventLines(ring.Text()), std::vector<std::string>{"frame 0: wheel 2"});
    // A ring set while the game already ran never held its start.
    InputRing late(4, 4096);
    late.BeginFrame(7, 0);
    EXPECT_FALSE(late.HoldsStart());
}

// A scene opened between frames goes in with its bytes, as a recording's drop does; one larger
// than the ring empties it.
TEST(InputRing, KeepsOpenedScenesAsDrops) {
    InputRing ring(60, 256);
    ring.BeginFrame(0, 0);
    ring.EndInput();
    ring.Drop("{\"a b\"}");
    ring.BeginFrame(1, 0);
    const std::string line = "frame 1: drop " + InputScript::DropWord("{\"a b\"}") + "\n";
    EXPECT_NE(ring.Text().find(line), std::string::npos) << ring.Text();
    EXPECT_TRUE(ring.HoldsStart());
    ring.EndInput();
    ring.Drop(std::string(300, 'x'));
    EXPECT_FALSE(ring.HoldsStart());
    EXPECT_EQ(ring.Text().find("drop"), std::string::npos) << ring.Text();
}

// The input from a later frame on, as a recording of its own: frames count from there, the
// prelude's lines come first, and the frames without events after the last one still count.
// The numbers are read across the ring's wrap (a small ring of bytes that went round).
TEST(InputRing, GivesTheInputFromALaterFrameCountedFromThere) {
    InputRing ring(50, 200);
    for (int frame = 0; frame < 40; ++frame) {
        ring.BeginFrame(frame, 1000 + frame);
        if (frame % 3 == 0) {
            ring.Key(65 + frame % 5, true);
        }
        ring.EndInput();
    }
    ring.BeginFrame(40, 7000);
    ring.Mouse(12, 34);
    ring.EndInput();
    ring.BeginFrame(41, 7016);
    ring.EndInput();
    ASSERT_FALSE(ring.HoldsStart());
    const int first = ring.FirstFrame();
    ASSERT_GT(first, 0);
    const int from = first + 2;
    std::string expected = "# dazozi-redov recording: input events by frame\nframe 0: mouse 1 2\n";
    for (int frame = from; frame < 40; ++frame) {
        if (frame % 3 == 0) {
            expected += "frame " + std::to_string(frame - from) + ": key " +
                        std::to_string(65 + frame % 5) + " down\n";
        }
    }
    expected += "frame " + std::to_string(40 - from) + ": mouse 12 34\n";
    expected += "frame " + std::to_string(41 - from) + ": clock 7016\n";
    expected += "frames " + std::to_string(42 - from) + "\n";
    EXPECT_EQ(ring.TextFrom(from, "frame 0: mouse 1 2\n"), expected);
    // From the first frame held it is Text() counted from there; frames not held give nothing.
    EXPECT_EQ(ring.TextFrom(41, ""),
              "# dazozi-redov recording: input events by frame\nframe 0: clock 7016\nframes 1\n");
    EXPECT_EQ(ring.TextFrom(first - 1, "x"), "");
    EXPECT_EQ(ring.TextFrom(42, "x"), "");
}

// A scene opened between two frames is the next frame's event: the state before that frame is
// not where its input starts.
TEST(InputRing, SaysWhenTheNextFrameHasEventsAlready) {
    InputRing ring(10, 4096);
    ring.BeginFrame(0, 0);
    ring.Key(65, true);
    EXPECT_TRUE(ring.NextFrameHasEvents()); // still frame 0's input
    ring.EndInput();
    EXPECT_FALSE(ring.NextFrameHasEvents());
    ring.Drop("{}");
    EXPECT_TRUE(ring.NextFrameHasEvents());
    ring.BeginFrame(1, 0);
    ring.EndInput();
    EXPECT_FALSE(ring.NextFrameHasEvents());
}
