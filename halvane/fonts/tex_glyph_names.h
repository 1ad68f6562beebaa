// Glyph names of the TeX math and symbol fonts (Computer Modern math italic, symbols and
// extension, the AMS symbol fonts) that the Adobe Glyph List does not have, so that formulas
// in TeX-made PDFs without a ToUnicode map still read as text.
#ifndef HALVANE_FONTS_TEX_GLYPH_NAMES_H
#define HALVANE_FONTS_TEX_GLYPH_NAMES_H

#include <string>
#include <string_view>

namespace halvane {

// Appends the text of one TeX glyph name ("angbracketleft", "summationtext", "parenleftBig").
// Size variants of the extension font ("...big", "...Bigg", "...text", "...display") read as
// their base symbol through lookupBase, which is given the name without the suffix. False (out
// unchanged) for other names.
bool TexGlyphNameToUnicode(std::string_view name, std::u16string* out,
                           bool (*lookupBase)(std::string_view, std::u16string*));

}  // namespace halvane

#endif  // HALVANE_FONTS_TEX_GLYPH_NAMES_H
