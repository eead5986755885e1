#include "app/EscapeCloser.hpp"

#include "app/SceneMenu.hpp"
#include "control/TEditor.hpp"
#include "control/TSandbox.hpp"
#include "control/TSettings.hpp"
#include "media/input/Input.hpp"
#include "media/input/Key.hpp"

bool EscapeCloser::CloseOne(SceneMenu& menu, TSandbox& sandbox, TSettings& settings,
                            TEditor& editor) {
    // The middle of the picture first: the menu and the help cover the game; the settings sit
    // at its side; a stroke is undone before the mode it was painted in is left.
    if (menu.open) {
        menu.open = false;
    } else if (sandbox.helpVisible) {
        sandbox.helpVisible = false;
    } else if (settings.open) {
        settings.open = false;
    } else if (editor.DropToolWork()) {
        // A drawing under way, else the selection: what the tool holds goes before the mode.
    } else if (editor.Painting()) {
        editor.CancelStroke();
    } else if (editor.active) {
        editor.Leave();
    } else {
        return false;
    }
    return true;
}

EscapeCloser::Outcome EscapeCloser::Update(SceneMenu& menu, TSandbox& sandbox, TSettings& settings,
                                           TEditor& editor, bool replaying) {
    const int hits = KeyHits(Key::Escape);
    Outcome outcome = Outcome::None;
    // Two quick presses in one slow frame close two things, but a frame that closed something
    // never also ends the program: the second press may have been meant for the same panel.
    for (int i = 0; i < hits; ++i) {
        if (CloseOne(menu, sandbox, settings, editor)) {
            outcome = Outcome::Closed;
        } else if (outcome == Outcome::None) {
            return replaying ? Outcome::Dropped : Outcome::Quit;
        }
    }
    return outcome;
}
