#pragma once

// What the end of the program (EndProgram, media/frame/FrameLoop.hpp) does besides closing
// everything: a handler of the caller's, and the exit status.

void SetEndProgramHandler(void (*handler)()); // handler may throw to unwind; nullptr = none
void SetExitStatus(int status);               // the status EndProgram exits with (0 until set)
void RunEndProgramHandler();                  // calls the handler if one is set
int ExitStatus();                             // the status set last (0 if none)
