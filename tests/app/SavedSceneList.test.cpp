#include "app/SavedSceneList.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/TempFolder.hpp"

namespace {

namespace fs = std::filesystem;

void makeFile(const std::string& path, fs::file_time_type when) {
    std::ofstream(path) << "{}\n";
    fs::last_write_time(path, when);
}

// Newest first by their last change, the program's own names shown by their time, other names
// cut to fit; files being written, other kinds of file and folders left out; at most `most`.
TEST(SavedSceneListTest, NewestScenesFirstAndOnlyScenes) {
    const TempFolder folder;
    const auto base = fs::file_time_type::clock::now();
    using std::chrono::minutes;
    makeFile(folder.File("dazozi-redov-2026-01-01-100000.json"), base - minutes(30));
    makeFile(folder.File("a very long name for a scene of mine.json"), base - minutes(10));
    makeFile(folder.File("bridge.json"), base - minutes(20));
    makeFile(folder.File("newest.json.part"), base);
    makeFile(folder.File("notes.txt"), base);
    fs::create_directories(folder.File("folder.json"));

    const std::vector<SavedSceneList::Entry> all =
        SavedSceneList::Newest(folder.Path().string(), 10);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(fs::path(all[0].path).filename(), "a very long name for a scene of mine.json");
    EXPECT_EQ(fs::path(all[1].path).filename(), "bridge.json");
    EXPECT_EQ(fs::path(all[2].path).filename(), "dazozi-redov-2026-01-01-100000.json");
    for (const SavedSceneList::Entry& e : all) {
        EXPECT_LE(e.label.size(), SavedSceneList::kLabelChars) << e.label;
    }
    EXPECT_EQ(all[2].label.rfind("Saved 20", 0), 0u) << all[2].label;
    EXPECT_EQ(all[1].label.rfind("bridge ", 0), 0u) << all[1].label;
    EXPECT_EQ(all[0].label.find('~'), 21u) << "a long name is cut, marked, before the time";

    EXPECT_EQ(SavedSceneList::Newest(folder.Path().string(), 2).size(), 2u);
    EXPECT_TRUE(SavedSceneList::Newest(folder.File("missing"), 5).empty());
    EXPECT_TRUE(SavedSceneList::Newest("", 5).empty());
}

std::map<std::string, std::string> fakeEnvironment;
const char* fakeGetenv(const char* name) {
    const auto it = fakeEnvironment.find(name);
    return it == fakeEnvironment.end() ? nullptr : it->second.c_str();
}

// The menu only looks: a documents folder that is missing is not made for it.
TEST(SavedSceneListTest, LookingUpTheFolderMakesNothing) {
    const TempFolder home;
    fakeEnvironment = {{"HOME", home.Path().string()}};
    EXPECT_EQ(SavedSceneList::Folder(&fakeGetenv), "");
    EXPECT_FALSE(fs::exists(home.File("Documents")));
    fs::create_directories(home.File("Documents/Dazozi Redov"));
    EXPECT_EQ(SavedSceneList::Folder(&fakeGetenv), home.File("Documents/Dazozi Redov"));
    fakeEnvironment["XDG_DOCUMENTS_DIR"] = home.File("Papers");
    EXPECT_EQ(SavedSceneList::Folder(&fakeGetenv), home.File("Documents/Dazozi Redov"));
    EXPECT_FALSE(fs::exists(home.File("Papers")));
}

} // namespace
