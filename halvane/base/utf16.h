// Appending Unicode scalar values to UTF-16 text.
#ifndef HALVANE_UTF16_H
#define HALVANE_UTF16_H

#include <cstdint>
#include <string>

namespace halvane {

// Appends one scalar value (below U+110000, not a surrogate): one unit in the basic plane, a
// surrogate pair above it.
inline void AppendUtf16(uint32_t scalar, std::u16string* out)
{
    if (scalar >= 0x10000) {
        out->push_back(static_cast<char16_t>(0xD800 + ((scalar - 0x10000) >> 10)));
        out->push_back(static_cast<char16_t>(0xDC00 + ((scalar - 0x10000) & 0x3FF)));
    } else {
        out->push_back(static_cast<char16_t>(scalar));
    }
}

}  // namespace halvane

#endif
