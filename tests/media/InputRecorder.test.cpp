#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "media/Graphics.hpp"
#include "media/Input.hpp"
#include "media/InputRecorder.hpp"
#include "media/InputScript.hpp"
#include "media/ScriptedInput.hpp"
#include "support/TempFolder.hpp"

#include <SDL.h>

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(InputRecorder, WritesHandledEventsByFrameAsAReplayableScript) {
    InitMedia();
    ResetInput();
    const TempFolder folder;
    const std::string path = folder.File("recorded.txt");
    InputRecorder recorder;
    std::string error;
    ASSERT_TRUE(recorder.Open(path, error)) << error;
    SetInputRecorder(&recorder);

    recorder.BeginFrame(0, 16);
    PushKey(49, true);
    PushKey(49, true, true); // auto-repeat: nothing to replay
    PushKey(49, false);
    PushMouseMove(12, 34);
    KeyHits(49); // the frame's input handling reads the queue
    recorder.EndInput();
    PushMouseButton(3, true); // read late in frame 0: belongs to frame 1's input
    MouseX();
    recorder.BeginFrame(1, 33);
    PushFocus(false);
    PushCloseRequest();
    KeyHits(27); // Escape is never pressed; the session ends inside frame 1
    SetInputRecorder(nullptr);
    recorder.Finish();
    recorder.Finish(); // harmless twice

    const std::string text = readAll(path);
    const std::string expected = "frame 0: clock 16\n"
                                 "frame 0: key 49 down\n"
                                 "frame 0: key 49 up\n"
                                 "frame 0: mouse 12 34\n"
                                 "frame 1: button 3 down\n"
                                 "frame 1: clock 33\n"
                                 "frame 1: focus lost\n"
                                 "frame 1: close\n"
                                 "frames 2\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;

    InputScript script;
    ASSERT_TRUE(script.Load(path, error)) << error;
    EXPECT_EQ(script.Length(), 2);
    ResetInput();
}

TEST(InputRecorder, AnUnwritablePathIsRefused) {
    InputRecorder recorder;
    std::string error;
    const TempFolder folder;
    EXPECT_FALSE(recorder.Open(folder.File("no/such/dir/rec.txt"), error));
    EXPECT_EQ(error, "cannot write " + folder.File("no/such/dir/rec.txt"));
    EXPECT_FALSE(recorder.IsOpen());
}

TEST(InputRecorder, ScriptedOnlyInputIgnoresTheRealWindow) {
    InitMedia();
    ResetInput();
    SetScriptedInputOnly(true);
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = 7; // from a real window
    e.key.keysym.sym = SDLK_p;
    e.key.keysym.scancode = SDL_SCANCODE_P;
    SDL_PushEvent(&e);
    PushKey(78, true); // pushed by the program
    EXPECT_EQ(KeyHits(80), 0);
    EXPECT_EQ(KeyHits(78), 1);
    SetScriptedInputOnly(false);
    SDL_PushEvent(&e);
    EXPECT_EQ(KeyHits(80), 1);
    ResetInput();
}
