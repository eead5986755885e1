#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// PNG pictures as RGBA bytes (one byte per channel in that order, rows width * 4 apart), for
// the images' loader (media/graphics/TImage) and the captures of the back buffer
// (media/graphics/Capture).

// Result of DecodePng: RGBA pixels plus what the file itself held.
struct DecodedPng {
    int width = 0, height = 0;
    bool palette = false;  // the file was palette based
    bool hasAlpha = false; // the file carried alpha (an alpha channel or a transparency table)
    std::vector<std::uint8_t> rgba; // width * height * 4 bytes
};
std::optional<DecodedPng> DecodePng(const unsigned char* data, std::size_t size);
// Encodes RGBA pixels as a PNG file in memory; empty on failure.
std::vector<std::uint8_t> EncodePng(const std::uint8_t* rgba, int width, int height);
// Writes RGBA pixels as a PNG file at path (as it stands: the caller picks a temporary name
// when it needs one). False when it could not be written whole.
bool WritePngFile(const std::string& path, const std::uint8_t* rgba, int width, int height);
