#pragma once

#include "tools/gen_assets_image.hpp"

#include <cstdint>
#include <vector>

// The ball and star drawings in their 32 x 32 sprite coordinates (centre at (16, 16)), for
// drawing them at other sizes (the desktop icon).
Shader BallShader(bool blue);
Shader StarShader();

// The program's pictures, drawn from geometry (no randomness beyond fixed hashes).
Picture DrawBall(bool blue);   // 32 x 32, red or blue ball with a face
Picture DrawReflectBall();     // 32 x 32 shading laid over a 30-px ball
Picture DrawCube();            // 32 x 32, blue 30-px box with a face, alpha 0/255
Picture DrawStar();            // 32 x 32, the star body's outline with a face
Picture DrawBrightStar();      // 64 x 64 soft star-shaped glow
Picture DrawLink();            // 16 x 12 grey oval chain ring
Picture DrawAnchor();          // 14 x 14 dark metal pin
Picture DrawBackgroundSheet(); // 240 x 120, 6 x 5 cells of 40 x 24, alpha 0/255
Picture DrawForegroundSheet(); // 240 x 48, 10 x 2 cells of 24 x 24, alpha 0/255

// About 0.6 s of 16-bit mono samples at 44100 Hz: a short metallic clink.
std::vector<std::int16_t> SynthesiseClink();
