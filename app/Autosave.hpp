#pragma once

#include <string>

#include "app/UserFolder.hpp"

// Work the user has not saved (painted cells, an opened scene) is kept when the program ends,
// in the program's state folder, and offered back at the next start. Nothing is written when
// there is nothing unsaved, and nothing is read unless the user asks for it.
class Autosave {
  public:
    // "dazozi-redov" in XDG_STATE_HOME (an absolute path), else in ~/.local/state; "" without
    // either.
    static std::string Folder(UserFolder::Getenv getenv);
    // The kept scene's file in Folder, "unsaved-scene.json"; "" without a folder.
    static std::string Path(UserFolder::Getenv getenv);
    // Writes text to path whole (under a temporary name, renamed when whole), making its folder
    // when missing. False, with nothing left under either name and the reason in error (one
    // line naming path), when it could not be.
    static bool Keep(const std::string& path, const std::string& text, std::string& error);
    // True when a kept scene is waiting at path (only looked at, not read).
    static bool Waiting(const std::string& path);
    // Removes the kept scene at path (it was opened again); missing is no fault.
    static void Forget(const std::string& path);

    // The game's side, through the undo history (TEditor::StateId of the program-wide editor):
    // the scene as it stands is on disk or came from there (the start, a file opened, a save).
    static void MarkSaved();
    // True when the history stands elsewhere than at the last MarkSaved (or the start).
    static bool Unsaved();
};
