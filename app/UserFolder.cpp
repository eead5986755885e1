#include "app/UserFolder.hpp"

#include <filesystem>
#include <fstream>

#include "media/base/FilePath.hpp"
#include "media/base/KnownFolder.hpp"

// An existing folder, or one made now (with its parents), as desktop programs make the user's
// pictures folder when it is missing. Only absolute paths: a relative one would land wherever
// the program was started.
bool UserFolder::Usable(const std::string& path, bool make) {
    const std::filesystem::path folder = FilePath::FromUtf8(path);
    if (path.empty() || !folder.is_absolute()) {
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) {
        return true;
    }
    if (!make) {
        return false;
    }
    std::filesystem::create_directories(folder, ec);
    return !ec && std::filesystem::is_directory(folder, ec);
}

namespace {

// The value of key in a user-dirs.dirs file: a shell assignment whose value is quoted and may
// start with $HOME.
std::string fromUserDirsFile(const std::string& file, const std::string& xdgKey,
                             const std::string& home) {
    std::ifstream in(file);
    std::string line;
    const std::string key = xdgKey + "=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0) {
            continue;
        }
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.compare(0, 5, "$HOME") == 0) {
            value = home + value.substr(5);
        }
        return value;
    }
    return {};
}

} // namespace

std::string UserFolder::Find(Getenv getenv, const std::string& xdgKey, const std::string& homeName,
                             bool make) {
    // Where the platform names the folder itself (Windows), its answer is the one: the user may
    // have moved the folder to another drive, and there is no HOME to build a path from.
    const bool pictures = xdgKey == "XDG_PICTURES_DIR";
    if (pictures || xdgKey == "XDG_DOCUMENTS_DIR") {
        const std::string known = KnownFolder::Path(pictures ? KnownFolder::Kind::Pictures
                                                             : KnownFolder::Kind::Documents);
        if (!known.empty()) {
            // Returned even when it cannot be made, as ~/homeName below.
            if (!Usable(known, make) && !make) {
                return {};
            }
            return known;
        }
    }
    const char* homeVar = getenv("HOME");
    const std::string home = homeVar != nullptr ? homeVar : "";
    if (const char* dir = getenv(xdgKey.c_str()); dir != nullptr && Usable(dir, make)) {
        return dir;
    }
    std::string config;
    if (const char* xdgConfig = getenv("XDG_CONFIG_HOME"); xdgConfig != nullptr && *xdgConfig) {
        config = xdgConfig;
    } else if (!home.empty()) {
        config = home + "/.config";
    }
    if (!config.empty()) {
        const std::string dir = fromUserDirsFile(config + "/user-dirs.dirs", xdgKey, home);
        // xdg-user-dirs writes $HOME itself when a folder is switched off.
        if (dir != home && dir != home + "/" && Usable(dir, make)) {
            return dir;
        }
    }
    if (home.empty()) {
        return ".";
    }
    // Even when it cannot be made (a read-only home): saving there then fails and says so,
    // rather than dropping the picture into whatever folder the program was started from.
    const std::string folder = home + "/" + homeName;
    if (!make) {
        return Usable(folder, false) ? folder : std::string();
    }
    Usable(folder);
    return folder;
}
