#pragma once

// Scene files' costs in the running game (dazozi-bench --scenes): saving (CurrentSceneText) and
// opening (OpenSceneText) a scene of 1,000 bodies with squids and chains, and the file's size
// raw and deflated with zlib (what a link carries), each beside its limit. Prints a Markdown table.
void MeasureSceneFiles(void (*frame)(), bool quick);
