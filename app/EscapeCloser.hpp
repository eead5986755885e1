#pragma once

class SceneMenu;
class TEditor;
class TSandbox;
class TSettings;

// What Escape does in a frame. People press it to close whatever they opened, so it closes one
// thing at a time, the one on top first: the scene menu, the help panel, the settings panel, a
// body being drawn or the selection, a stroke being painted (its cells put back), edit mode (its
// edits stay, and can be undone). Only with nothing of these open does it end the program, as it
// always did. A replay's Escape that would end the program is dropped: the replay runs out and
// hands over to the user instead.
class EscapeCloser {
  public:
    enum class Outcome { None, Closed, Quit, Dropped };

    // Reads this frame's Escape hits (the controller then finds none); call before any panel
    // reads the frame's input. Closes one thing per hit (Closed); Quit when the first hit found
    // nothing open (Dropped instead while replaying). The objects are used for this call only.
    static Outcome Update(SceneMenu& menu, TSandbox& sandbox, TSettings& settings, TEditor& editor,
                          bool replaying);
    // Closes the top open thing; false when nothing was open.
    static bool CloseOne(SceneMenu& menu, TSandbox& sandbox, TSettings& settings, TEditor& editor);
};
