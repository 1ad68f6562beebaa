// ASCII hexadecimal decoding (ISO 32000-1, 7.4.2).
#include "halvane/filters/filters.h"

namespace halvane {

bool AsciiHexDecode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out)
{
    const size_t start = out->size();
    int high = -1;
    for (size_t pos = 0; pos < size; ++pos) {
        const uint8_t c = data[pos];
        if (c == '>')
            break;
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            continue;
        if (high < 0) {
            high = v;
            continue;
        }
        if (out->size() - start >= maxOutput)
            return false;
        out->push_back(static_cast<char>(high * 16 + v));
        high = -1;
    }
    if (high >= 0 && out->size() - start < maxOutput)
        out->push_back(static_cast<char>(high * 16));
    return true;
}

}  // namespace halvane
