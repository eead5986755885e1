#pragma once

#include "media/Graphics.hpp"
#include "physics/CPVect.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/SavedSceneList.hpp"

class TLevel;
class TSquid;
class TControl;
class TSandbox;
class TEditor;
class TSettings;
class InputRecorder;
class InputRing;
class InputScript;
class ReplayStarts;

// The program-wide objects. Made once by StartUp/initGame and kept for the whole run.
extern std::shared_ptr<TLevel> level;
extern std::shared_ptr<TSquid> player;
extern std::shared_ptr<TControl> control;
// The sandbox controls (grab, pause, step, reset, help, screenshot); made with control.
extern std::shared_ptr<TSandbox> sandbox;
// Edit mode (E): painting the level's cells; made with control.
extern std::shared_ptr<TEditor> editor;
// The settings panel (G): gravity, iterations, sub-steps, sleeping, time scale; made with control.
extern std::shared_ptr<TSettings> gameSettings;

// Everything that happens before the first frame up to and including opening the window:
// resources, services, shared images and sound, level content, level and controller objects.
// Returns false (after printing one line on stderr) when the window cannot be opened.
bool StartUp(GraphicsTarget target);

// Builds the scene: level 0, the player squid at (450, 300), the controller.
void initGame();

// One complete frame: input, camera and physics, drawing, overlay, paced present.
void updateGame();

// R: every body and chain goes, a new player squid starts at (450, 300) and the camera follows
// it; the level (with its edits), the selected kind and the debug view stay.
void resetGame();

// Drops every grab and touch, every body and chain (the player squid too, whose global is left
// as it is); the level with its edits, the selected kind and the debug view stay.
void ClearScene();

// Where the camera looks from the next frame on (world pixels of the window's top left) while
// the player cannot lead it (lost, or a body held).
void SetCameraTarget(CPVect target);

// True when the player squid has left the level (its body was removed).
bool playerLost();

// From now on every frame writes its input to recorder (non-owning, must outlive the frames;
// nullptr stops). Frames count from the first updateGame. A failed write is said on stderr as
// "program: ..." (a static string).
void SetGameRecorder(InputRecorder* recorder, const char* program = "dazozi-redov");
// From now on every frame also keeps its input in ring (non-owning, must outlive the frames;
// nullptr stops): what a replay link is made of. Input is then taken once at a frame's start, as
// when recording, so that a replay reads what the frame read.
void SetGameRing(InputRing* ring);
// The ring set last (non-owning), or nullptr: scenes opened outside the input go into it.
InputRing* GameRing();
// From now on a frame due for it first keeps the scene in starts (non-owning, must outlive the
// frames; nullptr stops), as scene gives its text (CurrentSceneText), when nothing is held nor
// open, for the ring's input from there to replay: what a link of the last minute starts from.
// Set with the ring.
void SetReplayStarts(ReplayStarts* starts, std::string (*scene)());
// Ctrl+L: copy makes a replay link of the play so far, puts it where the user can paste it and
// returns the line to show. nullptr (as at first): Ctrl+L does nothing. Set by an entry point.
void SetReplayLinkCopier(std::string (*copy)());
// From now on frame n first feeds script's events of frame n (non-owning; nullptr stops). The
// clock is the caller's: clock events of the script are not applied.
void SetGameReplay(const InputScript* script);
// The replay set last and not yet handed over (non-owning), or nullptr.
const InputScript* GameReplay();
// Frames run so far (updateGame calls); a replay's frame numbers count the same way.
int GameFrameNumber();
// Once the replay's frames have all run: stops it, gives the input back to the user and
// releases whatever the replay still held. Nothing otherwise.
void HandOverWhenReplayEnds();

// F12's picture: saveFrame writes the frame drawn so far and returns the line to show for it
// (where it went, or why it could not be saved). nullptr: the user's pictures folder. A plain
// function, set by an entry point or a tool before the frames.
void SetScreenshotSaver(std::string (*saveFrame)());

// Ctrl+S's scene: saveScene writes the current scene (CurrentSceneText) and returns the line to
// show for it. nullptr (as at first): Ctrl+S does nothing. Set by an entry point or a tool.
void SetSceneSaver(std::string (*saveScene)());
// The scene menu's and Ctrl+Z's way to scene files: open replaces the current scene with text's
// (false and a one-line error on a refusal, the scene untouched), restore brings back the one the
// last opening replaced (false when there is none). Plain functions, set by an entry point or a
// tool before the frames; unset (nullptr), the menu opens nothing and says so.
void SetSceneOpener(bool (*open)(std::string_view text, std::string& error), bool (*restore)());

// The scene menu lists the user's saved scenes after the examples: find gives them, newest
// first, each time the menu opens (it looks at the disk then, never before). nullptr (as at
// first): the examples only. A plain function, set by an entry point.
void SetSavedSceneFinder(std::vector<SavedSceneList::Entry> (*find)());

// Ctrl+O: open brings back the work the user left unsaved last time and returns the line to show
// for it. nullptr (as at first): Ctrl+O does nothing. A plain function, set by an entry point.
void SetLeftWorkOpener(std::string (*open)());

// True while the scene menu (L) is open.
bool SceneMenuOpen();

// Shows the "F1: help" hint during the first seconds (the interactive program; off by default).
void EnableHelpHint(bool enabled);

// A failed recording (a full disk) in one line on stderr, "program: why; the recording is
// incomplete" (the program named by SetGameRecorder), and the exit status becomes 1.
void ReportRecordingFailure(const InputRecorder& recorder);

// Shows line for a moment at the bottom of the frame, as F12's path is shown.
void ShowNotice(const std::string& line);

// Frames count from 0 again (a replay started afresh: its frame numbers count from here).
void RestartFrameCount();

// T shows and hides the toolbar beside the picture (the desktop program and the headless runner;
// off by default, and in the page, which has a toolbar of its own).
void EnableToolbar(bool enabled);
