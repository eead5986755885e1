#pragma once

#include "bodies/BodyPass.hpp"

// One frame of every live body's own work (damping, leaving the level, chains breaking, drawing)
// as `pass` says, back to front: chains under balls, squids under their tentacles, the machine
// joints over all.
void UpdateAllBodies(const BodyPass& pass = {});
