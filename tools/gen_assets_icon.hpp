#pragma once

#include "tools/gen_assets_image.hpp"

// The desktop icon at size x size pixels: the blue player ball in front of a star and a red
// ball on a sky-and-grass tile with rounded corners, drawn with the sprites' own shaders.
Picture DrawIcon(int size);
