#pragma once

#include <cstddef>
#include <vector>

// A map as rows of cells, top row first: grid[row][column].
using IntGrid = std::vector<std::vector<int>>;

// Cell (row, column) of a grid; both lie inside it (the caller checked them, a map's indices
// being ints that the screen arithmetic makes).
inline int& GridCell(IntGrid& grid, int row, int column) {
    return grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}
inline int GridCell(const IntGrid& grid, int row, int column) {
    return grid[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}
// Row `row` of a grid, inside it.
inline const std::vector<int>& GridRow(const IntGrid& grid, int row) {
    return grid[static_cast<std::size_t>(row)];
}

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
