#pragma once

#include "media/Graphics.hpp"

#include <memory>

class TLevel;
class TSquid;
class TControl;

// The program-wide objects. Made once by StartUp/initGame and kept for the whole run.
extern std::shared_ptr<TLevel> level;
extern std::shared_ptr<TSquid> player;
extern std::shared_ptr<TControl> control;

// Everything that happens before the first frame up to and including opening the window:
// resources, services, shared images and sound, level content, level and controller objects.
// Returns false (after printing one line on stderr) when the window cannot be opened.
bool StartUp(GraphicsTarget target);

// Builds the scene: level 0, the player squid at (450, 300), the controller.
void initGame();

// One complete frame: input, camera and physics, drawing, overlay, paced present.
void updateGame();

// Runs the whole program: start-up, set-up, the frame loop. Returns the exit status.
int RunProgram();
