#pragma once

// Edit mode's costs in the running game (dazozi-bench --edit): painting and erasing one cell of
// the level with 1,000 bodies on it, beside the bare library removing and adding the same
// segments in the same space; and whole frames of strokes across the screen, fast and slow,
// against the 16.7 ms of a 60 Hz frame. Prints a Markdown table.
void MeasureEditing(void (*frame)(), bool quick);
