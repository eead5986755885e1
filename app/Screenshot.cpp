#include "app/Screenshot.hpp"

#include <filesystem>
#include <fstream>

#include "media/Graphics.hpp"

namespace {

// An existing folder, or one made now (with its parents), as desktop programs make the user's
// pictures folder when it is missing. Only absolute paths: a relative one would land wherever
// the program was started.
bool usableFolder(const std::string& path) {
    if (path.empty() || path.front() != '/') {
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return true;
    }
    std::filesystem::create_directories(path, ec);
    return !ec && std::filesystem::is_directory(path, ec);
}

// The value of XDG_PICTURES_DIR in a user-dirs.dirs file: a shell assignment whose value is
// quoted and may start with $HOME.
std::string fromUserDirsFile(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=";
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

std::string Screenshot::PicturesDirectory(Getenv getenv) {
    const char* homeVar = getenv("HOME");
    const std::string home = homeVar != nullptr ? homeVar : "";
    if (const char* dir = getenv("XDG_PICTURES_DIR"); dir != nullptr && usableFolder(dir)) {
        return dir;
    }
    std::string config;
    if (const char* xdgConfig = getenv("XDG_CONFIG_HOME"); xdgConfig != nullptr && *xdgConfig) {
        config = xdgConfig;
    } else if (!home.empty()) {
        config = home + "/.config";
    }
    if (!config.empty()) {
        const std::string dir = fromUserDirsFile(config + "/user-dirs.dirs", home);
        // xdg-user-dirs writes $HOME itself when a folder is switched off.
        if (dir != home && dir != home + "/" && usableFolder(dir)) {
            return dir;
        }
    }
    if (home.empty()) {
        return ".";
    }
    // Even when it cannot be made (a read-only home): saving there then fails and says so,
    // rather than dropping the picture into whatever folder the program was started from.
    const std::string pictures = home + "/Pictures";
    usableFolder(pictures);
    return pictures;
}

std::string Screenshot::FileName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char name[64];
    std::strftime(name, sizeof name, "dazozi-redov-%Y-%m-%d-%H%M%S.png", &local);
    return name;
}

std::string Screenshot::Save(std::time_t when, Getenv getenv) {
    const std::string dir = PicturesDirectory(getenv);
    const std::string name = FileName(when);
    const std::string stem = name.substr(0, name.size() - 4);
    std::string path = dir + "/" + name;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(path, ec) && n < 1000; ++n) {
        path = dir + "/" + stem + "-" + std::to_string(n) + ".png";
    }
    // Written under another name and renamed when whole: a file browser (or a test) watching
    // the folder never sees a half-written picture under the final name.
    const std::string part = path + ".part";
    if (!SaveBackBufferPng(part)) {
        std::filesystem::remove(part, ec);
        return std::string();
    }
    std::filesystem::rename(part, path, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        return std::string();
    }
    return path;
}
