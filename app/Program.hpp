#pragma once

// Runs the whole program: options (a scene or recording named is read and checked before the
// window opens), start-up, set-up, the frame loop with Ctrl+S saving into the documents folder
// and files dropped on the window opened. Returns the exit status.
int RunProgram(int argc, const char* const* argv);
