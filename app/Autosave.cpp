#include "app/Autosave.hpp"

#include <filesystem>

#include "app/Game.hpp"
#include "app/SavedScene.hpp"
#include "control/TEditor.hpp"

namespace {

// The history's state the scene on disk stands for; 0 is the start, before any step.
unsigned long long savedState = 0;

unsigned long long currentState() {
    return editor ? editor->StateId() : 0;
}

} // namespace

std::string Autosave::Folder(UserFolder::Getenv getenv) {
    const char* state = getenv("XDG_STATE_HOME");
    // A relative XDG path is to be ignored, as the base directory rules say.
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/dazozi-redov";
    }
    const char* home = getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/state/dazozi-redov";
    }
    return {};
}

std::string Autosave::Path(UserFolder::Getenv getenv) {
    const std::string folder = Folder(getenv);
    return folder.empty() ? folder : folder + "/unsaved-scene.json";
}

bool Autosave::Keep(const std::string& path, const std::string& text, std::string& error) {
    if (path.empty()) {
        error = "no state folder (neither XDG_STATE_HOME nor HOME is set)";
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (!UserFolder::Usable(folder)) {
        error = folder + ": the folder cannot be made";
        return false;
    }
    if (!SavedScene::WriteWhole(path, text)) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

bool Autosave::Waiting(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void Autosave::Forget(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

void Autosave::MarkSaved() {
    savedState = currentState();
}

bool Autosave::Unsaved() {
    return currentState() != savedState;
}
