// Fuzz entry: the whole input as AsciiHexDecode data, with a small and a large output limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "halvane/filters/filters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string out;
    halvane::AsciiHexDecode(data, size, 16u << 20, &out);
    std::string limited;
    halvane::AsciiHexDecode(data, size, size / 3, &limited);
    if (limited.size() > size / 3)
        __builtin_trap();  // the limit is a promise
    return 0;
}
