#pragma once

#include <vector>

// A map as rows of cells, top row first: grid[row][column].
using IntGrid = std::vector<std::vector<int>>;

// Fills the six level-0 arrays below; calling it again rebuilds the same content.
void CreateLevelData();

// Background tiles (19 rows x 18 columns, "BACK1" values 1-25, -1/-2 animated clouds).
extern IntGrid BGMapData;
// Background edge codes (19 x 18, all 0: nothing in the background collides).
extern IntGrid BGBoundMap;
// "BACK1" animation sequences, flat (tile, duration, extra) triples.
extern IntGrid BGSequences;
// Foreground tiles (32 rows x 84 columns, "L1" values 0-15, -1/-2 animated bush halves).
extern IntGrid FGMapData;
// Foreground edge codes (32 x 84): 1 top, 2 left, 3 top+left, 8 right, 9 top+right, 15 all.
extern IntGrid FGBoundMap;
// "L1" animation sequences, flat (tile, duration, extra) triples.
extern IntGrid FGSequences;
