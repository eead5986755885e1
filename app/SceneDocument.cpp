#include "app/SceneDocument.hpp"

// Placeholder until scene files are read and written: nothing can be opened yet.
std::string CurrentSceneText() { return {}; }

bool OpenSceneText(std::string_view, std::string& error) {
    error = "scene files are not supported yet";
    return false;
}

bool RestorePreviousScene() { return false; }
