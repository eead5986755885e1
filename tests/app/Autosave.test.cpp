#include "app/Autosave.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/Game.hpp"
#include "app/SceneDocument.hpp"
#include "control/TEditor.hpp"
#include "data/ExampleScenes.hpp"
#include "media/base/ReadWholeFile.hpp"
#include "support/GameFixture.hpp"
#include "support/TempFolder.hpp"
#include "world/TLayer.hpp"
#include "world/TLevel.hpp"

namespace {

std::map<std::string, std::string> fakeEnvironment;
const char* fakeGetenv(const char* name) {
    const auto it = fakeEnvironment.find(name);
    return it == fakeEnvironment.end() ? nullptr : it->second.c_str();
}

// The state folder: XDG_STATE_HOME when it is an absolute path, else ~/.local/state.
TEST(AutosaveTest, KeptInTheStateFolder) {
    struct Case {
        const char* state; // nullptr: unset
        const char* home;
        const char* path;
    } cases[] = {
        {"/s", "/h", "/s/dazozi-redov/unsaved-scene.json"},
        {nullptr, "/h", "/h/.local/state/dazozi-redov/unsaved-scene.json"},
        {"relative", "/h", "/h/.local/state/dazozi-redov/unsaved-scene.json"},
        {"", "/h", "/h/.local/state/dazozi-redov/unsaved-scene.json"},
        {nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        fakeEnvironment.clear();
        if (c.state) {
            fakeEnvironment["XDG_STATE_HOME"] = c.state;
        }
        if (c.home) {
            fakeEnvironment["HOME"] = c.home;
        }
        EXPECT_EQ(Autosave::Path(&fakeGetenv), c.path);
    }
}

// Kept whole in a folder made for it, looked at, read back, forgotten.
TEST(AutosaveTest, KeepsTheTextWholeAndForgetsIt) {
    const TempFolder folder;
    const std::string path = folder.File("state/dazozi-redov/unsaved-scene.json");
    EXPECT_FALSE(Autosave::Waiting(path));
    std::string error;
    ASSERT_TRUE(Autosave::Keep(path, "{\"scene\": 1}\n", error)) << error;
    EXPECT_TRUE(Autosave::Waiting(path));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, 1000, text, error)) << error;
    EXPECT_EQ(text, "{\"scene\": 1}\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("state/dazozi-redov")),
                            std::filesystem::directory_iterator{}),
              1)
        << "a temporary file was left beside";
    Autosave::Forget(path);
    EXPECT_FALSE(Autosave::Waiting(path));
}

// A disk that refuses: the folder cannot be made, or the file cannot take the name. False with
// the reason, and nothing left behind under either name.
TEST(AutosaveTest, AFailingDiskSaysSoAndLeavesNothing) {
    const TempFolder folder;
    { std::ofstream(folder.File("a-file")) << "x"; }
    std::filesystem::create_directories(folder.File("taken/unsaved-scene.json"));
    const struct {
        std::string path;
        const char* said;
    } cases[] = {
        {folder.File("a-file/dazozi-redov/unsaved-scene.json"), "cannot be made"},
        {folder.File("taken/unsaved-scene.json"), "cannot be written"},
        {"", "no state folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        EXPECT_FALSE(Autosave::Keep(c.path, "{}\n", error));
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(c.path + ".part"));
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("taken/unsaved-scene.json")));
}

class AutosaveGameTest : public GameFixture {
  protected:
    AutosaveGameTest() : GameFixture(0) {}
};

// Unsaved means the undo history stands elsewhere than where the scene on disk does: a stroke
// or an opened scene; undone back to the start, nothing is unsaved any more.
TEST_F(AutosaveGameTest, UnsavedFollowsTheUndoHistory) {
    Autosave::MarkSaved();
    EXPECT_FALSE(Autosave::Unsaved()) << "the start is no work";
    updateGame();
    EXPECT_FALSE(Autosave::Unsaved()) << "a frame is no work";
    std::string error;
    ASSERT_TRUE(OpenSceneText(ExampleScenes()[0].text, error)) << error;
    EXPECT_TRUE(Autosave::Unsaved()) << "an opened scene";
    ASSERT_TRUE(editor->Undo());
    EXPECT_FALSE(Autosave::Unsaved()) << "undone back to the start";
    ASSERT_TRUE(editor->Redo());
    EXPECT_TRUE(Autosave::Unsaved()) << "redone";
    Autosave::MarkSaved();
    EXPECT_FALSE(Autosave::Unsaved()) << "saved";
    ASSERT_TRUE(editor->Undo());
    EXPECT_TRUE(Autosave::Unsaved()) << "undone past the save";
}

// The kept text is the scene: written at the end, opened at the next start, it is the same scene.
TEST_F(AutosaveGameTest, AKeptSceneOpensAsItWasLeft) {
    const TempFolder folder;
    std::string error;
    ASSERT_TRUE(OpenSceneText(ExampleScenes()[2].text, error)) << error;
    level->_FGLayer->SetCell(5, 3, 0, 0);
    const std::string left = CurrentSceneText();
    const std::string path = folder.File("dazozi-redov/unsaved-scene.json");
    ASSERT_TRUE(Autosave::Keep(path, left, error)) << error;
    ClearScene();
    initGame();
    ASSERT_NE(CurrentSceneText(), left);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, 1 << 24, text, error)) << error;
    ASSERT_TRUE(OpenSceneText(text, error)) << error;
    EXPECT_EQ(CurrentSceneText(), left);
}

} // namespace
