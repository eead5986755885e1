#pragma once

#include "media/input/Key.hpp"

#include <string>

// Polled keyboard and mouse state. A key is a Key's code (media/input/Key.hpp), a mouse button
// a MouseButton's (1 left, 2 right, 3 middle). Every query processes pending events first.

int KeyHits(int key); // presses since the last KeyHits for this key (auto-repeat excluded); resets
// Presses of key made while Ctrl was held, since the last call for this key (auto-repeat
// excluded); resets. Counts a chord that began and ended between two frames.
int KeyHitsWithControl(int key);
int KeyDown(int key);      // 1 while held
int MouseHits(int button); // as KeyHits, for a mouse button
int MouseDown(int button); // as KeyDown, for a mouse button
// True while a key, a mouse button or a finger is held (events taken in so far).
bool InputHeld();
int MouseX(); // pointer position in the program's logical pixels
int MouseY();
int MouseWheel(); // wheel notches turned since the last MouseWheel, away from the user > 0; resets
// Where the pointer was when the button was last pressed / released ((0, 0) before that): a
// stroke starts and ends there, however far the pointer went later in the same frame.
void MousePressPoint(int button, int& x, int& y);
void MouseReleasePoint(int button, int& x, int& y);
// Fingers on a touch screen, each in a slot of its own from landing until the game has seen it
// lifted. SDL's mouse events made from touches are not taken as the mouse's.
constexpr int FingerSlots = 10; // fingers followed at once; more are ignored
int FingerLandings(int slot);   // landings in slot since the last call (a tap is one); resets
int FingerLifts(int slot);      // lifts in slot since the last call; resets
int FingerDown(int slot);       // 1 while a finger touches in slot
int FingerX(int slot);          // the slot's finger in the program's logical pixels (its last
int FingerY(int slot);          // position while lifted)
// True once a finger has landed (also on the band) or SetTouchDevice said so, until ResetInput:
// the program then shows what fingers do rather than keys a touch screen has not got.
bool TouchDevice();
void SetTouchDevice(bool touch); // the platform knows (a phone's page) before any finger lands
// Presses (the left button, a finger's landing) on the band of controls beside the picture
// (SetControlBand), oldest first, in window points; they are no input of the game and are not
// recorded. False when none is left.
bool TakeControlPress(int& x, int& y);
void PollEvents();  // processes the pending window, keyboard, mouse and touch events
void FlushInput();  // releases every key and button and zeroes every hit count
void DropKeyHits(); // zeroes every key's hit count after taking in pending events; held keys stay
void DropKeyHitsBut(Key kept); // the same, leaving kept's hits for whoever reads them next
void ResetInput();       // FlushInput plus pointer (0, 0) and no pending close request (tests)
bool TakeCloseRequest(); // true once per close request (window close or quit)
// The path of the file last dropped on the window since the last call, "" when none; resets.
// Drops are the user's even during a replay, and are not recorded.
std::string TakeDroppedFile();
int CloseRequested(); // 1 if a close was requested since the last call (clears it); polls events

// The queries above, by name.
inline int KeyHits(Key key) {
    return KeyHits(static_cast<int>(key));
}
inline int KeyHitsWithControl(Key key) {
    return KeyHitsWithControl(static_cast<int>(key));
}
inline int KeyDown(Key key) {
    return KeyDown(static_cast<int>(key));
}
inline int MouseHits(MouseButton button) {
    return MouseHits(static_cast<int>(button));
}
inline int MouseDown(MouseButton button) {
    return MouseDown(static_cast<int>(button));
}

class InputSink;
// Every event handled from now on is also reported to recorder (non-owning, must outlive its
// use; nullptr stops).
void SetInputRecorder(InputSink* recorder);
// The same for the ring of the last minute, heard besides the recorder (non-owning; nullptr
// stops).
void SetInputRing(InputSink* ring);
// Tells the recorder and the ring the window input is laid out for (InputWindow) when it changed
// since they were last told, or whatever it is when again is true (a recording's first frame):
// part of a frame's input, written where the frame's events are. Nothing with no window open.
void TellInputWindow(bool again);
// With true, keyboard, mouse and focus events of real windows are ignored and only those pushed
// by the program itself (ScriptedInput) count: a replay is not disturbed by the user. Close
// requests always count.
void SetScriptedInputOnly(bool only);
// With true, queries read the state as it stands and process no new events; PollEvents still
// does. A recorded frame polls once at its start and holds, so that it reads exactly what its
// replay, which hands a frame its events before the frame, will read.
void HoldInput(bool held);
