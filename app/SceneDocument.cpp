#include "app/SceneDocument.hpp"

#include "app/Game.hpp"
#include "bodies/TSquid.hpp"
#include "control/SceneBodies.hpp"
#include "control/SceneFit.hpp"
#include "control/TControl.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "world/TLevel.hpp"

namespace {

// The camera offset of the frame: the player at window point (640, 480).
constexpr float kCameraOffsetX = 640.0f;
constexpr float kCameraOffsetY = 480.0f;

void replaceWith(const SceneFormat::Scene& scene) {
    ClearScene();
    player = SceneBodies::Apply(scene, *level, *control, *sandbox, *gameSettings);
    control->player = player;
    // Where the camera stands until the player leads it again; with a player, the frame takes
    // its position as usual.
    SetCameraTarget(playerLost()
                        ? Vec2(static_cast<float>(scene.scrollX), static_cast<float>(scene.scrollY))
                        : player->_body->GetPosition().Sub(Vec2(kCameraOffsetX, kCameraOffsetY)));
}

// The undo history's way between scenes: text comes back, and what it replaced is handed back
// for the way the other direction.
bool swapScene(const std::string& text, std::string& replaced) {
    SceneFormat::Scene scene;
    std::string error;
    // The text was written by this program earlier in the run: it reads back.
    if (!SceneFormat::Read(text, scene, error)) {
        return false;
    }
    replaced = CurrentSceneText();
    replaceWith(scene);
    return true;
}

} // namespace

std::string CurrentSceneText() {
    return SceneFormat::Write(SceneBodies::Capture(*level, *control, *sandbox, *gameSettings));
}

bool OpenSceneText(std::string_view text, std::string& error) {
    // Everything is read and checked before the running scene is touched.
    SceneFormat::Scene scene;
    if (!SceneFormat::Read(text, scene, error) || !SceneFit::Check(scene, error)) {
        return false;
    }
    // The scene replaced is one step back in the undo history, with the strokes before it.
    std::string before = CurrentSceneText();
    replaceWith(scene);
    editor->PushSceneStep(std::move(before), &swapScene);
    return true;
}

bool RestorePreviousScene() {
    editor->sceneSwapped = false;
    return editor->Undo() && editor->sceneSwapped;
}
