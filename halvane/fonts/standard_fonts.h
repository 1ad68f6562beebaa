// Metrics of the 14 standard fonts, and the names producers use for them.
#ifndef HALVANE_FONTS_STANDARD_FONTS_H
#define HALVANE_FONTS_STANDARD_FONTS_H

#include <cstdint>
#include <string_view>

#include "halvane/fonts/encodings.h"

namespace halvane {

struct StandardFont {
    const char* name;  // "Helvetica-BoldOblique"
    const char* family;  // "Helvetica"
    BaseEncoding encoding;  // built-in encoding: Standard, Symbol or ZapfDingbats
    bool bold;
    bool italic;
    bool fixedPitch;
    int ascent;  // all metrics in 1/1000 em
    int descent;  // negative
    int capHeight;
    int xHeight;
    double italicAngle;
    int bbox[4];  // llx, lly, urx, ury
    const char* const* glyphNames;  // sorted, glyphCount entries
    const uint16_t* widths;  // parallel to glyphNames
    int glyphCount;
};

// Finds the standard font a /BaseFont names, through the usual aliases: a subset prefix
// ("ABCDEF+"), Arial/ArialMT for Helvetica, TimesNewRoman(PS)(MT) for Times, CourierNew for
// Courier, style suffixes such as ",Bold", "-BoldItalic", "-BoldMT", "-Italic". Null when the name
// is none of these families.
const StandardFont* FindStandardFont(std::string_view baseFont);

// Advance width of a glyph in 1/1000 em; -1 when the font has no glyph of that name.
int StandardGlyphWidth(const StandardFont* font, std::string_view glyphName);

}  // namespace halvane

#endif  // HALVANE_FONTS_STANDARD_FONTS_H
