// Glyph names to Unicode text, following the Adobe Glyph List rules.
#ifndef HALVANE_FONTS_GLYPH_NAMES_H
#define HALVANE_FONTS_GLYPH_NAMES_H

#include <cstdint>
#include <string>
#include <string_view>

namespace halvane {

// Maps a glyph name to its text: anything after the first '.' is dropped ("a.sc"), '_' joins the
// components of a ligature ("f_f_i"), and each component is an Adobe Glyph List name, "uni" with
// one or more groups of four hex digits, or "u" with four to six hex digits. Producer names such
// as "g123", "cid123", "glyph123", "G1A" or ".notdef" carry no meaning: false, *out empty.
// On success *out holds the text (its earlier content is replaced).
bool GlyphNameToUnicode(std::string_view name, std::u16string* out);

// The same for a ZapfDingbats (or similar dingbat) font, whose "a1".."a206" names are looked up
// in the ITC Zapf Dingbats list first; other fonts must not use it, since producers also name
// ordinary glyphs "a1", "a2"...
bool DingbatsGlyphNameToUnicode(std::string_view name, std::u16string* out);

// Producer names that only number a glyph: "g18", "glyph18", "gid18", "index18" (a glyph id,
// usually of the font a subset was cut from) and "cid18" (a CID), in either case, with up to five
// digits. The glyph list gives them no text; only the document or the font program can.
struct NumberedGlyphName {
    uint32_t number = 0;
    bool cid = false;  // "cid18": a CID rather than a glyph id
};
bool ParseNumberedGlyphName(std::string_view name, NumberedGlyphName* out = nullptr);

}  // namespace halvane

#endif  // HALVANE_FONTS_GLYPH_NAMES_H
