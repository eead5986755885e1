#include "app/SavedScene.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/TempFolder.hpp"

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> env;
const char* fakeGetenv(const char* name) {
    const auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
}

std::string contents(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

// The documents folder is found as the pictures folder is (the same lookup), with the
// program's own folder in it; the working folder only when neither can be had.
TEST(SavedSceneTest, GoesIntoTheProgramsFolderOfTheDocuments) {
    TempFolder folder;
    const fs::path home = folder.Path();
    env = {{"HOME", home.string()}};
    EXPECT_EQ(SavedScene::Folder(&fakeGetenv), (home / "Documents/Dazozi Redov").string());
    EXPECT_TRUE(fs::is_directory(home / "Documents/Dazozi Redov"));
    fs::create_directories(home / ".config");
    std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(SavedScene::Folder(&fakeGetenv), (home / "Dokumente/Dazozi Redov").string());
    // A documents folder that is a plain file: the working folder.
    std::ofstream(home / "file") << "x";
    env["XDG_DOCUMENTS_DIR"] = (home / "file").string();
    std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/file\"\n";
    fs::remove_all(home / "Documents");
    std::ofstream(home / "Documents") << "x";
    EXPECT_EQ(SavedScene::Folder(&fakeGetenv), ".");
    env = {};
    EXPECT_EQ(SavedScene::Folder(&fakeGetenv), ".");
}

// Written whole under its date and time, a second save of the same second beside it, and
// nothing left behind when the folder cannot take it.
TEST(SavedSceneTest, SavesWholeFilesNamedByTime) {
    TempFolder folder;
    env = {{"HOME", folder.Path().string()}};
    const std::time_t when = 1'700'000'000;
    const std::string first = SavedScene::Save(when, &fakeGetenv, "{\"a\": 1}\n");
    const std::string second = SavedScene::Save(when, &fakeGetenv, "{\"b\": 2}\n");
    const fs::path dir = folder.Path() / "Documents/Dazozi Redov";
    EXPECT_EQ(first, (dir / SavedScene::FileName(when)).string());
    EXPECT_EQ(second.substr(second.size() - 7), "-2.json");
    EXPECT_EQ(contents(first), "{\"a\": 1}\n");
    EXPECT_EQ(contents(second), "{\"b\": 2}\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    EXPECT_FALSE(SavedScene::WriteWhole((dir / "missing/x.json").string(), "x"));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    env.clear();
}

// A save that fails says why, in the system's words (the caller names the path).
TEST(SavedSceneTest, AFailedSaveNamesThePathAndTheReason) {
    TempFolder folder;
    const fs::path gone = folder.Path() / "gone/x.json";
    std::string why;
    EXPECT_FALSE(SavedScene::WriteWhole(gone.string(), "{}\n", &why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(SavedScene::WriteWhole("/dev/full/x.json", "{}\n", &why));
    EXPECT_EQ(why, "Not a directory");
}
