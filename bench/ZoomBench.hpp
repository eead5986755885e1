#pragma once

// The camera's cost in the running game (dazozi-bench --zoom): the frame with 500 bodies in the
// level at zoom 1/4 (the whole level in view), 1 and 4, in turns within one run, each against
// zoom 1. Prints a Markdown table.
void MeasureZoom(void (*frame)(), bool quick);
