#include "app/SavedSceneList.hpp"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace {

std::time_t changedAt(const std::filesystem::directory_entry& entry) {
    std::error_code ec;
    const auto stamp = entry.last_write_time(ec);
    if (ec) {
        return 0;
    }
    // Through the two clocks' present moments: not every standard library (the page's) converts
    // between them itself.
    const auto age = std::filesystem::file_time_type::clock::now() - stamp;
    return std::chrono::system_clock::to_time_t(
        std::chrono::system_clock::now() -
        std::chrono::duration_cast<std::chrono::system_clock::duration>(age));
}

} // namespace

std::string SavedSceneList::Folder(UserFolder::Getenv getenv) {
    const std::string documents = UserFolder::Find(getenv, "XDG_DOCUMENTS_DIR", "Documents", false);
    if (documents.empty() || documents == ".") {
        return {};
    }
    const std::string folder = documents + "/Dazozi Redov";
    return UserFolder::Usable(folder, false) ? folder : std::string();
}

std::vector<SavedSceneList::Entry> SavedSceneList::Newest(const std::string& folder,
                                                          std::size_t most) {
    std::vector<Entry> all;
    if (folder.empty()) {
        return all;
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->path().extension() != ".json") {
            continue;
        }
        const std::time_t when = changedAt(*it);
        const std::string name = it->path().filename().string();
        all.push_back({it->path().string(), Label(name, when), when});
    }
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
        return a.when != b.when ? a.when > b.when : a.path > b.path;
    });
    if (all.size() > most) {
        all.resize(most);
    }
    return all;
}

std::string SavedSceneList::Label(const std::string& name, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M", &local);
    // The program's own names say nothing its time does not.
    constexpr std::string_view kOwn = "dazozi-redov-";
    if (name.starts_with(kOwn)) {
        return std::string("Saved ") + stamp;
    }
    std::string stem = name.size() > 5 ? name.substr(0, name.size() - 5) : name;
    const std::string time = std::string(stamp).substr(5); // "12-08 06:03"
    const std::size_t room = kLabelChars - time.size() - 1;
    if (stem.size() > room) {
        stem = stem.substr(0, room - 1) + "~";
    }
    stem.resize(room, ' ');
    return stem + " " + time;
}
