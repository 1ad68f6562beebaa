// Fuzz entry: JBIG2 embedded data. Byte 0 and 1 give the page size in 8-pixel steps, bytes 2-3
// how many of the following bytes are the globals stream; the rest is the page's segments.
#include <cstddef>
#include <cstdint>
#include <string>

#include "halvane/filters/filters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const int width = 1 + data[0] * 8;
    const int height = 1 + data[1] * 8;
    size_t globals = (size_t)data[2] << 8 | data[3];
    data += 4;
    size -= 4;
    if (globals > size)
        globals = 0;
    std::string out;
    halvane::Jbig2Decode(data + globals, size - globals, globals ? data : nullptr, globals, width, height, &out);
    return 0;
}
