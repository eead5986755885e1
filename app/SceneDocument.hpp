#pragma once

#include <string>
#include <string_view>

// The scene as a whole, between the running game and a scene file's text. The game's objects
// are the program-wide ones of Game.hpp; these functions run between frames.

// The current scene (level edits, bodies, player, scroll, selected kind, debug view, paused) as
// a scene file's text: JSON, ending with a newline. Saving, opening and saving again gives the
// same bytes.
std::string CurrentSceneText();

// Replaces the current scene with text's, as one step of the undo history (TEditor). On any
// fault returns false, leaves the current scene exactly as it was and sets error to one line
// naming what is wrong and where.
bool OpenSceneText(std::string_view text, std::string& error);

// Ctrl+Z: undoes the last step of the undo history; true when that brought back the scene an
// opening replaced, false when there was nothing to undo or the step was a stroke.
bool RestorePreviousScene();
