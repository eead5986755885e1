#pragma once

#include <string>

// The user's own folders as xdg-user-dirs names them (pictures, documents...).
class UserFolder {
  public:
    // Reads an environment variable (nullptr when unset); std::getenv by default.
    using Getenv = const char* (*)(const char* name);

    // The folder of xdgKey ("XDG_PICTURES_DIR"): the platform's own known folder where it has
    // one (Windows, for XDG_PICTURES_DIR and XDG_DOCUMENTS_DIR), else from the environment, else
    // from xdg-user-dirs' user-dirs.dirs under XDG_CONFIG_HOME or ~/.config, when it is an
    // absolute path that exists or can be made; else ~/homeName (made when missing; returned even
    // when it cannot be made), else, only without a HOME, "." (the working folder). Reads that one
    // small file only. With make false nothing is made: a folder that is missing is passed over
    // as one that cannot be made ("" at the end instead of ~/homeName when that is missing too).
    static std::string Find(Getenv getenv, const std::string& xdgKey, const std::string& homeName,
                            bool make = true);
    // True when path is absolute and a folder, made now (with its parents) when missing and make.
    static bool Usable(const std::string& path, bool make = true);
};
