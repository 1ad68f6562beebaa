// Fuzz entry: a Type 1 font program (cleartext, PFA or PFB) read for its /Encoding, and the
// input as a glyph name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "halvane/fonts/font_programs.h"
#include "halvane/fonts/glyph_names.h"

using namespace halvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    BuiltInEncoding encoding;
    if (ParseType1Encoding(input, &encoding) && !encoding.standard && encoding.names.size() > 256)
        __builtin_trap();
    if (size <= 256) {
        std::u16string text;
        GlyphNameToUnicode(input, &text);
        DingbatsGlyphNameToUnicode(input, &text);
    }
    return 0;
}
