#include "app/Screenshot.hpp"

#include <filesystem>

#include "app/UserFolder.hpp"
#include "media/Graphics.hpp"
#include "media/base/FilePath.hpp"

std::string Screenshot::PicturesDirectory(Getenv getenv) {
    return UserFolder::Find(getenv, "XDG_PICTURES_DIR", "Pictures");
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
    for (int n = 2; std::filesystem::exists(FilePath::FromUtf8(path), ec) && n < 1000; ++n) {
        path = dir + "/" + stem + "-" + std::to_string(n) + ".png";
    }
    // Written under another name and renamed when whole: a file browser (or a test) watching
    // the folder never sees a half-written picture under the final name.
    const std::string part = path + ".part";
    if (!SaveBackBufferPng(part)) {
        std::filesystem::remove(FilePath::FromUtf8(part), ec);
        return std::string();
    }
    std::filesystem::rename(FilePath::FromUtf8(part), FilePath::FromUtf8(path), ec);
    if (ec) {
        std::filesystem::remove(FilePath::FromUtf8(part), ec);
        return std::string();
    }
    return path;
}
