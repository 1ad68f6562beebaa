// Fuzz entry: a bare CFF font program (FontFile3), name-keyed or CID-keyed.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "halvane/fonts/font_programs.h"

using namespace halvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CffFont font;
    ParseCff(std::string_view(reinterpret_cast<const char*>(data), size), &font);
    return 0;
}
