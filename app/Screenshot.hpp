#pragma once

#include <ctime>
#include <string>

// F12 pictures: where they go and under which name.
class Screenshot {
  public:
    // Reads an environment variable (nullptr when unset); std::getenv by default.
    using Getenv = const char* (*)(const char* name);

    // The user's pictures folder: XDG_PICTURES_DIR (from the environment, else from
    // xdg-user-dirs' user-dirs.dirs under XDG_CONFIG_HOME or ~/.config) when it is an absolute
    // path that exists or can be made, else ~/Pictures (made when missing), else, only without a
    // HOME, the working directory ("."). Reads that one small file and may make the folder,
    // only when asked.
    static std::string PicturesDirectory(Getenv getenv);
    // "dazozi-redov-YYYY-MM-DD-HHMMSS.png" in local time.
    static std::string FileName(std::time_t when);
    // Saves the back buffer as a PNG in PicturesDirectory under FileName(when) ("-2", "-3"...
    // added when taken). The path written, or "" when it could not be written.
    static std::string Save(std::time_t when, Getenv getenv);
};
