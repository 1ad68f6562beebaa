// Reads back the PNGs the reader writes (one IDAT chunk, no row filters, no interlace; 1-bit or
// 8-bit grey, or 8-bit RGB) so tests can look at their pixels.
#ifndef HALVANE_TESTS_PNG_READER_H
#define HALVANE_TESTS_PNG_READER_H

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace halvane::testing {

struct TestPng {
    int width = 0, height = 0;
    int bitDepth = 0;
    std::vector<uint8_t> rgb;  // width * height * 3, grey repeated

    std::vector<int> Pixel(int x, int y) const
    {
        const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }
};

// False when the bytes are not such a PNG.
inline bool ReadTestPng(const std::string& png, TestPng* out)
{
    auto u32 = [&](size_t at) {
        return (static_cast<uint32_t>(static_cast<uint8_t>(png[at])) << 24) |
               (static_cast<uint32_t>(static_cast<uint8_t>(png[at + 1])) << 16) |
               (static_cast<uint32_t>(static_cast<uint8_t>(png[at + 2])) << 8) | static_cast<uint8_t>(png[at + 3]);
    };
    const size_t idat = png.find("IDAT");
    if (png.size() < 33 || idat == std::string::npos || idat < 4 || idat + 4 + u32(idat - 4) > png.size())
        return false;
    out->width = static_cast<int>(u32(16));
    out->height = static_cast<int>(u32(20));
    out->bitDepth = static_cast<uint8_t>(png[24]);
    const int channels = png[25] == 2 ? 3 : 1;
    if (out->width <= 0 || out->height <= 0 || out->width > 100000 || out->height > 100000 ||
        (out->bitDepth != 1 && out->bitDepth != 8))
        return false;
    const size_t w = static_cast<size_t>(out->width), h = static_cast<size_t>(out->height);
    const size_t rowBytes = out->bitDepth == 1 ? (w + 7) / 8 : w * static_cast<size_t>(channels);
    std::string raw((rowBytes + 1) * h, '\0');
    uLongf rawSize = raw.size();
    if (uncompress(reinterpret_cast<Bytef*>(&raw[0]), &rawSize, reinterpret_cast<const Bytef*>(png.data() + idat + 4),
                   u32(idat - 4)) != Z_OK)
        return false;
    out->rgb.clear();
    for (size_t y = 0; y < h; ++y) {
        const uint8_t* r = reinterpret_cast<const uint8_t*>(&raw[y * (rowBytes + 1) + 1]);
        for (size_t x = 0; x < w; ++x) {
            if (out->bitDepth == 1)
                out->rgb.insert(out->rgb.end(), 3, (r[x / 8] & (0x80 >> (x % 8))) ? 255 : 0);
            else if (channels == 3)
                out->rgb.insert(out->rgb.end(), r + x * 3, r + x * 3 + 3);
            else
                out->rgb.insert(out->rgb.end(), 3, r[x]);
        }
    }
    return true;
}

}  // namespace halvane::testing

#endif
