#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reading the back buffer back (tests, tools, screenshots).

std::uint32_t ReadPixel(int x, int y); // 0xRRGGBBAA of the back buffer; 0 outside
// The picture drawn so far as RGBA bytes, rows width * 4 apart: the whole offscreen target, the
// program-size frame of a scaled software window, or else a window's picture between its bars in
// the window's pixels. False when nothing is open.
bool ReadBackBuffer(std::vector<std::uint8_t>& rgba, int& width, int& height);
// Writes ReadBackBuffer's picture as a PNG file at path; false when nothing is open or the file
// could not be written.
bool SaveBackBufferPng(const std::string& path);
