// Minimal PNG writer (greyscale or RGB, no interlace) on top of zlib; grey pictures of only
// black and white are stored at one bit per pixel, all others at eight bits per channel.
#ifndef HALVANE_PNG_WRITER_H
#define HALVANE_PNG_WRITER_H

#include <cstdint>
#include <string>

namespace halvane {

// pixels: height rows of width * channels bytes; channels 1 (grey) or 3 (RGB).
bool WritePng(int width, int height, int channels, const uint8_t* pixels, std::string* out);

// rows: height rows of (width + 7) / 8 bytes, one bit per pixel, most significant bit first,
// 1 = white and 0 = black.
bool WriteBilevelPng(int width, int height, const uint8_t* rows, std::string* out);

}  // namespace halvane

#endif
