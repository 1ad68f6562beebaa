// ASCII base-85 decoding (ISO 32000-1, 7.4.3).
#include "halvane/filters/filters.h"

namespace halvane {

bool Ascii85Decode(const uint8_t* data, size_t size, size_t maxOutput, std::string* out)
{
    const size_t start = out->size();
    size_t pos = 0;
    // Some writers keep the "<~" opening of the PostScript form.
    while (pos < size && (data[pos] == ' ' || data[pos] == '\n' || data[pos] == '\r' || data[pos] == '\t'))
        ++pos;
    if (pos + 1 < size && data[pos] == '<' && data[pos + 1] == '~')
        pos += 2;
    uint32_t group = 0;
    int count = 0;
    for (; pos < size; ++pos) {
        const uint8_t c = data[pos];
        if (c == '~')
            break;
        if (c == 'z' && count == 0) {
            if (out->size() - start + 4 > maxOutput)
                return false;
            out->append(4, '\0');
            continue;
        }
        if (c < '!' || c > 'u')
            continue;  // white space and junk
        group = group * 85 + (c - '!');
        if (++count == 5) {
            if (out->size() - start + 4 > maxOutput)
                return false;
            out->push_back(static_cast<char>(group >> 24));
            out->push_back(static_cast<char>(group >> 16));
            out->push_back(static_cast<char>(group >> 8));
            out->push_back(static_cast<char>(group));
            group = 0;
            count = 0;
        }
    }
    if (count > 1) {
        // A partial final group is padded with 'u' and gives count - 1 bytes.
        for (int i = count; i < 5; ++i)
            group = group * 85 + 84;
        for (int i = 0; i < count - 1; ++i)
            out->push_back(static_cast<char>(group >> (24 - 8 * i)));
    }
    return out->size() > start || size == 0;
}

}  // namespace halvane
