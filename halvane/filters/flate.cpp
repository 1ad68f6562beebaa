// Flate (zlib/deflate) decoding through zlib, bounded by the caller's output limit.
#include <zlib.h>

#include <cstring>

#include "halvane/filters/filters.h"

namespace halvane {

namespace {

bool Inflate(const uint8_t* data, size_t size, size_t maxOutput, std::string* out, int windowBits)
{
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit2(&zs, windowBits) != Z_OK)
        return false;
    const size_t start = out->size();
    unsigned char buffer[32768];
    zs.next_in = const_cast<Bytef*>(data);
    // zlib's avail_in is 32 bits; feed larger inputs in slices.
    size_t remaining = size;
    bool limitHit = false;
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (zs.avail_in == 0 && remaining > 0) {
            const uInt slice = remaining > 0x40000000u ? 0x40000000u : static_cast<uInt>(remaining);
            zs.avail_in = slice;
            remaining -= slice;
        }
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        const size_t produced = sizeof buffer - zs.avail_out;
        if (out->size() - start + produced > maxOutput) {
            out->append(reinterpret_cast<char*>(buffer), maxOutput - (out->size() - start));
            limitHit = true;
            break;
        }
        out->append(reinterpret_cast<char*>(buffer), produced);
        if (rc == Z_BUF_ERROR && zs.avail_in == 0 && remaining == 0)
            break;  // truncated stream: keep what we have
        if (rc == Z_BUF_ERROR && produced > 0)
            rc = Z_OK;
    }
    inflateEnd(&zs);
    if (limitHit)
        return false;
    return out->size() > start || rc == Z_STREAM_END;
}

}  // namespace

bool FlateDecode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out)
{
    const size_t start = out->size();
    if (Inflate(data, size, maxOutput, out, 15))
        return true;
    if (out->size() - start >= maxOutput)
        return false;
    // Some writers omit the zlib header or write a broken one: try raw deflate.
    out->resize(start);
    return Inflate(data, size, maxOutput, out, -15);
}

}  // namespace halvane
