// Byte-string search (memmem is not available on every target).
#ifndef HALVANE_FIND_BYTES_H
#define HALVANE_FIND_BYTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace halvane {

// First occurrence of needle in [data, data + size), or null.
inline const uint8_t* FindBytes(const uint8_t* data, size_t size, const char* needle, size_t needleSize)
{
    if (needleSize == 0 || size < needleSize)
        return nullptr;
    const uint8_t first = static_cast<uint8_t>(needle[0]);
    const uint8_t* end = data + size - needleSize + 1;
    for (const uint8_t* p = data; p < end;) {
        const void* hit = std::memchr(p, first, static_cast<size_t>(end - p));
        if (!hit)
            return nullptr;
        const uint8_t* h = static_cast<const uint8_t*>(hit);
        if (std::memcmp(h, needle, needleSize) == 0)
            return h;
        p = h + 1;
    }
    return nullptr;
}

}  // namespace halvane

#endif
