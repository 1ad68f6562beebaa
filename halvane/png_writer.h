// Minimal PNG writer (8-bit greyscale or RGB, no interlace) on top of zlib.
#ifndef HALVANE_PNG_WRITER_H
#define HALVANE_PNG_WRITER_H

#include <cstdint>
#include <string>

namespace halvane {

// pixels: height rows of width * channels bytes; channels 1 (grey) or 3 (RGB).
bool WritePng(int width, int height, int channels, const uint8_t* pixels, std::string* out);

}  // namespace halvane

#endif
