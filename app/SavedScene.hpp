#pragma once

#include <ctime>
#include <string>

#include "app/UserFolder.hpp"

// Ctrl+S's scene files: where they go, under which name, written whole.
class SavedScene {
  public:
    // "Dazozi Redov" in the user's documents folder (XDG_DOCUMENTS_DIR, else ~/Documents), made
    // when missing; "." (the working folder) when that cannot be had.
    static std::string Folder(UserFolder::Getenv getenv);
    // "dazozi-redov-YYYY-MM-DD-HHMMSS.json" in local time.
    static std::string FileName(std::time_t when);
    // Writes text to path under a temporary name ("PATH.part") renamed to path once whole; false
    // (and nothing left under either name) when it could not be written, with the reason (the
    // system's words, e.g. "No space left on device") in *why when why is given.
    static bool WriteWhole(const std::string& path, const std::string& text,
                           std::string* why = nullptr);
    // Saves text in Folder under FileName(when) ("-2", "-3"... added when taken). The path
    // written, or "" when it could not be written, with "PATH: reason" in *failure when given.
    static std::string Save(std::time_t when, UserFolder::Getenv getenv, const std::string& text,
                            std::string* failure = nullptr);
};
