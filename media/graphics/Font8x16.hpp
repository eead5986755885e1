#pragma once
#include <cstdint>

// The built-in text font: glyphs for the codes 32 to 127 (index = code - 32), 16 rows of
// 8 pixels each, most significant bit = leftmost pixel.
extern const std::uint8_t kFont8x16[96][16];
