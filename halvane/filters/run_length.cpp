// Run-length decoding (ISO 32000-1, 7.4.5).
#include "halvane/filters/filters.h"

namespace halvane {

bool RunLengthDecode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out)
{
    const size_t start = out->size();
    size_t pos = 0;
    while (pos < size) {
        const int length = data[pos++];
        if (length == 128)
            break;
        if (length < 128) {
            const size_t n = static_cast<size_t>(length) + 1;
            const size_t avail = size - pos < n ? size - pos : n;
            if (out->size() - start + avail > maxOutput)
                return false;
            out->append(reinterpret_cast<const char*>(data + pos), avail);
            pos += avail;
        } else {
            if (pos >= size)
                break;
            const size_t n = 257 - static_cast<size_t>(length);
            if (out->size() - start + n > maxOutput)
                return false;
            out->append(n, static_cast<char>(data[pos++]));
        }
    }
    return true;
}

}  // namespace halvane
