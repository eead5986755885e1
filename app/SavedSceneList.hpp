#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "app/UserFolder.hpp"

// The user's saved scenes for the scene menu: the scene files (".json") of the folder Ctrl+S
// saves into, newest first, each with a line to show.
class SavedSceneList {
  public:
    struct Entry {
        std::string path;  // the file
        std::string label; // its line in the menu: what and when, at most kLabelChars
        std::time_t when = 0;
    };
    static constexpr std::size_t kLabelChars = 34; // fits the menu's lines

    // The saved scenes' folder as Ctrl+S finds it ("Dazozi Redov" in the documents folder),
    // looked up without making anything; "" when there is none yet.
    static std::string Folder(UserFolder::Getenv getenv);
    // At most `most` scene files of folder, newest first (by their last change; names break
    // ties); files being written (".part") and anything but regular ".json" files left out.
    // Nothing when the folder cannot be read.
    static std::vector<Entry> Newest(const std::string& folder, std::size_t most);
    // The menu's line of a file called name (with ".json") last changed at when (local time):
    // "Saved 2026-12-08 06:03" for the program's own names, else the name cut to fit and the
    // day and time.
    static std::string Label(const std::string& name, std::time_t when);
};
