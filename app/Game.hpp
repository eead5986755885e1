#pragma once

// Runs the whole program: start-up, set-up, the frame loop. Returns the exit status.
int RunProgram();
