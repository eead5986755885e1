#include "app/SavedScene.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "media/base/FilePath.hpp"

std::string SavedScene::Folder(UserFolder::Getenv getenv) {
    const std::string documents = UserFolder::Find(getenv, "XDG_DOCUMENTS_DIR", "Documents");
    if (documents == ".") {
        return documents;
    }
    const std::string folder = documents + "/Dazozi Redov";
    // A documents folder that cannot be written to (or made) still leaves the working folder.
    return UserFolder::Usable(folder) ? folder : ".";
}

std::string SavedScene::FileName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char name[64];
    std::strftime(name, sizeof name, "dazozi-redov-%Y-%m-%d-%H%M%S.json", &local);
    return name;
}

namespace {
// The system's words for the last failure (errno), or a plain one when it left none.
std::string reasonOf(int error) {
    return error != 0 ? std::strerror(error) : "the file could not be written";
}
} // namespace

bool SavedScene::WriteWhole(const std::string& path, const std::string& text, std::string* why) {
    // Under another name until whole: a reader (a file browser, the page's upload, a test)
    // never sees half a scene under the final name, and a full disk leaves no broken file.
    const std::string part = path + ".part";
    std::error_code ec;
    {
        errno = 0;
        std::ofstream out(FilePath::FromUtf8(part), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            const int error = errno;
            out.close();
            std::filesystem::remove(FilePath::FromUtf8(part), ec);
            if (why != nullptr) {
                *why = reasonOf(error);
            }
            return false;
        }
    }
    std::filesystem::rename(FilePath::FromUtf8(part), FilePath::FromUtf8(path), ec);
    if (ec) {
        if (why != nullptr) {
            *why = ec.message();
        }
        std::filesystem::remove(FilePath::FromUtf8(part), ec);
        return false;
    }
    return true;
}

std::string SavedScene::Save(std::time_t when, UserFolder::Getenv getenv, const std::string& text,
                             std::string* failure) {
    const std::string folder = Folder(getenv);
    const std::string name = FileName(when);
    const std::string stem = name.substr(0, name.size() - 5);
    std::string path = folder + "/" + name;
    std::error_code ec;
    for (int n = 2; std::filesystem::exists(FilePath::FromUtf8(path), ec) && n < 1000; ++n) {
        path = folder + "/" + stem + "-" + std::to_string(n) + ".json";
    }
    std::string why;
    if (WriteWhole(path, text, &why)) {
        return path;
    }
    if (failure != nullptr) {
        *failure = path + ": " + why;
    }
    return std::string();
}
