// What text extraction needs from embedded font programs (FontFile, FontFile2, FontFile3):
// built-in encodings, glyph names, charsets and cmaps. Pure functions over untrusted bytes: every
// offset and length is checked, a damaged program gives false or partial results, never a fault.
#ifndef HALVANE_FONTS_FONT_PROGRAMS_H
#define HALVANE_FONTS_FONT_PROGRAMS_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvane {

// A font program's built-in encoding: 256 glyph names by code ("" where unset).
struct BuiltInEncoding {
    bool standard = false;  // the font just says StandardEncoding; names holds that encoding then
    std::vector<std::string> names;
};

// The /Encoding of a Type 1 font (FontFile: cleartext part, PFA or PFB). False if the
// cleartext part has no readable /Encoding.
bool ParseType1Encoding(std::string_view fontFile, BuiltInEncoding* encoding);

struct CffFont {
    bool cidKeyed = false;
    std::string registry, ordering;  // ROS of a CID-keyed font
    int supplement = 0;
    int glyphCount = 0;  // CharStrings count
    // Glyph id -> glyph name (name-keyed fonts; "" where unknown).
    std::vector<std::string> glyphNames;
    // Glyph id -> CID (CID-keyed fonts).
    std::vector<uint32_t> glyphCids;
    // Built-in encoding of a name-keyed font: codes to glyph names. For the predefined Expert
    // encoding names stays empty and expertEncoding is set.
    BuiltInEncoding encoding;
    bool expertEncoding = false;
    std::vector<int> codeToGlyph;  // 256 entries, -1 where unset (name-keyed fonts)
};

// A bare CFF program (FontFile3 /Type1C or /CIDFontType0C) or the "CFF " table of an OpenType
// font. False if the header, the top dictionary or the CharStrings index cannot be read.
bool ParseCff(std::string_view data, CffFont* font);

struct TrueTypeCmap {
    uint16_t platform = 0;
    uint16_t encoding = 0;
    uint16_t format = 0;
    // Disjoint runs sorted by code: codes first..last map to glyphs firstGlyph, firstGlyph + 1, ...
    struct Run {
        uint32_t first, last;
        uint32_t firstGlyph;
    };
    std::vector<Run> runs;

    // Glyph id of a code; 0 (the missing glyph) when unmapped.
    uint32_t Lookup(uint32_t code) const;

    // The reverse, for fonts reached by glyph id (Identity-H without ToUnicode): for each glyph
    // id below glyphCount, the lowest code that maps to it, or 0xFFFFFFFF when none does.
    std::vector<uint32_t> GlyphCodes(int glyphCount) const;
};

struct TrueTypeFont {
    int glyphCount = 0;  // maxp
    int unitsPerEm = 0;  // head; 0 if absent
    std::vector<TrueTypeCmap> cmaps;  // subtables of formats 0, 4, 6 and 12, in table order
    std::vector<std::string> glyphNames;  // post table names by glyph id; empty if none
    std::vector<uint16_t> advanceWidths;  // hmtx advances by glyph id, in font units
    std::string_view cff;  // the "CFF " table of an OpenType (OTTO) font

    // The subtable for a platform and encoding, or null.
    const TrueTypeCmap* FindCmap(uint16_t platform, uint16_t encoding) const;
};

// A TrueType (FontFile2) or OpenType program; for a collection, its first font. False if the
// table directory cannot be read. The cff view points into data.
bool ParseTrueType(std::string_view data, TrueTypeFont* font);

}  // namespace halvane

#endif  // HALVANE_FONTS_FONT_PROGRAMS_H
