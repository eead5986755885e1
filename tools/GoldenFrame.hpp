#pragma once
#include <string>

// A part of the back buffer in logical pixels; w = 0 means the whole buffer.
struct ShotBox {
    int x = 0, y = 0, w = 0, h = 0;
};

// Saves the box of the back buffer as an opaque RGB picture (what the user sees; the buffer's
// alpha is not shown). False when nothing is open, the box leaves the buffer or writing fails.
bool SaveShot(const ShotBox& box, const std::string& path);
// Why a shot of box cannot be taken ("shot NAME: the box X Y W H lies outside the W x H frame"),
// or "" when it fits the back buffer.
std::string ShotBoxProblem(const ShotBox& box, const std::string& name);

// Compares the box of the back buffer exactly with goldenDir/name.png. Returns "" when every
// pixel matches; otherwise writes outDir/name.actual.png and outDir/name.diff.png (the
// differing pixels in red over a dimmed copy of the golden) and returns one message naming
// the count, the first difference and both files.
std::string CompareShotWithGolden(const ShotBox& box, const std::string& goldenDir,
                                  const std::string& outDir, const std::string& name);
