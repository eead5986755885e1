#include "app/Game.hpp"

int RunProgram() { return 0; }
