#pragma once

// One frame of every live body's own work (damping, leaving the level, chains breaking, drawing
// unless switched off), back to front: chains under balls, squids under their tentacles.
void UpdateAllBodies();
