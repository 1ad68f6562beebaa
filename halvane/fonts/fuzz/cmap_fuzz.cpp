// Fuzz entry: a CMap program (embedded /Encoding stream or /ToUnicode); the same bytes are then
// read as codes through it, every code the CMap reports being at least one byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "halvane/fonts/cmap.h"

using namespace halvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto cmap = CMap::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!cmap)
        return 0;
    const uint8_t* p = data;
    size_t n = size < 4096 ? size : 4096;
    std::u16string text;
    while (n > 0) {
        uint32_t code = 0, cid = 0;
        const size_t used = cmap->NextCode(p, n, &code);
        if (used == 0 || used > n)
            __builtin_trap();
        cmap->LookupCid(code, &cid);
        cmap->LookupUnicode(code, &text);
        p += used;
        n -= used;
    }
    return 0;
}
