#include "halvane/images/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace halvane {

namespace {

void Put32(std::string* out, uint32_t v)
{
    out->push_back(static_cast<char>(v >> 24));
    out->push_back(static_cast<char>(v >> 16));
    out->push_back(static_cast<char>(v >> 8));
    out->push_back(static_cast<char>(v));
}

void Chunk(std::string* out, const char* type, const uint8_t* data, size_t size)
{
    Put32(out, static_cast<uint32_t>(size));
    const size_t start = out->size();
    out->append(type, 4);
    out->append(reinterpret_cast<const char*>(data), size);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out->data() + start), static_cast<uInt>(size + 4));
    Put32(out, static_cast<uint32_t>(crc));
}

// Writes the signature, header, the compressed scanlines (each already led by its filter byte)
// and the end chunk.
bool WritePngFile(int width, int height, int bitDepth, int colourType, const std::vector<uint8_t>& scanlines,
                  std::string* out)
{
    uLongf packedSize = compressBound(static_cast<uLong>(scanlines.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, scanlines.data(), static_cast<uLong>(scanlines.size()), 4) != Z_OK)
        return false;
    out->clear();
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out->append(reinterpret_cast<const char*>(kSignature), 8);
    uint8_t header[13];
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    header[0] = static_cast<uint8_t>(w >> 24);
    header[1] = static_cast<uint8_t>(w >> 16);
    header[2] = static_cast<uint8_t>(w >> 8);
    header[3] = static_cast<uint8_t>(w);
    header[4] = static_cast<uint8_t>(h >> 24);
    header[5] = static_cast<uint8_t>(h >> 16);
    header[6] = static_cast<uint8_t>(h >> 8);
    header[7] = static_cast<uint8_t>(h);
    header[8] = static_cast<uint8_t>(bitDepth);
    header[9] = static_cast<uint8_t>(colourType);  // 0 grey, 2 RGB
    header[10] = header[11] = header[12] = 0;
    Chunk(out, "IHDR", header, sizeof header);
    Chunk(out, "IDAT", packed.data(), packedSize);
    Chunk(out, "IEND", nullptr, 0);
    return true;
}

}  // namespace

bool WriteBilevelPng(int width, int height, const uint8_t* rows, std::string* out)
{
    if (width <= 0 || height <= 0)
        return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    std::vector<uint8_t> scanlines;
    scanlines.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        scanlines.push_back(0);  // filter type None
        const uint8_t* row = rows + static_cast<size_t>(y) * rowBytes;
        scanlines.insert(scanlines.end(), row, row + rowBytes);
    }
    return WritePngFile(width, height, 1, 0, scanlines, out);
}

bool WritePng(int width, int height, int channels, const uint8_t* pixels, std::string* out)
{
    if (width <= 0 || height <= 0 || (channels != 1 && channels != 3))
        return false;
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    const size_t count = rowBytes * static_cast<size_t>(height);
    // Grey pictures of only black and white (scans, fax pages, stencils) take one bit a pixel:
    // an eighth of the data to compress and to store.
    if (channels == 1 && std::all_of(pixels, pixels + count, [](uint8_t v) { return v == 0 || v == 255; })) {
        const size_t packedRowBytes = (static_cast<size_t>(width) + 7) / 8;
        std::vector<uint8_t> rows(packedRowBytes * static_cast<size_t>(height), 0);
        for (size_t y = 0; y < static_cast<size_t>(height); ++y)
            for (size_t x = 0; x < static_cast<size_t>(width); ++x)
                if (pixels[y * rowBytes + x])
                    rows[y * packedRowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        return WriteBilevelPng(width, height, rows.data(), out);
    }
    std::vector<uint8_t> scanlines;
    scanlines.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        scanlines.push_back(0);  // filter type None
        const uint8_t* row = pixels + static_cast<size_t>(y) * rowBytes;
        scanlines.insert(scanlines.end(), row, row + rowBytes);
    }
    return WritePngFile(width, height, 8, channels == 3 ? 2 : 0, scanlines, out);
}

}  // namespace halvane
