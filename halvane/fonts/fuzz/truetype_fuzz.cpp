// Fuzz entry: a TrueType or OpenType font program (FontFile2), with every cmap looked up both
// ways and the embedded CFF table of an OpenType font parsed as well.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "halvane/fonts/font_programs.h"

using namespace halvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TrueTypeFont font;
    if (!ParseTrueType(std::string_view(reinterpret_cast<const char*>(data), size), &font))
        return 0;
    for (const TrueTypeCmap& cmap : font.cmaps) {
        for (uint32_t code : {0u, 0x20u, 0x41u, 0xF041u, 0xFFFFu, 0x10000u, 0xFFFFFFFFu})
            cmap.Lookup(code);
        const int glyphs = font.glyphCount < (1 << 16) ? font.glyphCount : (1 << 16);
        if (cmap.GlyphCodes(glyphs).size() != (size_t)(glyphs > 0 ? glyphs : 0))
            __builtin_trap();
    }
    font.FindCmap(3, 1);
    if (!font.cff.empty()) {
        CffFont cff;
        ParseCff(font.cff, &cff);
    }
    return 0;
}
