// Text of a named glyph through a TrueType or OpenType program's own Unicode cmap, read
// backwards: the name finds the glyph (post table or CFF charset names, else the number of a
// "g18" style name), the cmap says which character that glyph draws.
#ifndef HALVANE_FONTS_PROGRAM_UNICODE_H
#define HALVANE_FONTS_PROGRAM_UNICODE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "halvane/fonts/font_programs.h"

namespace halvane {

class ProgramUnicode {
public:
    explicit ProgramUnicode(const TrueTypeFont& font);

    // False when the program has no Unicode cmap, does not know the glyph or maps no printable
    // character to it. On success *out holds the text (its earlier content is replaced).
    bool Text(const std::string& glyphName, std::u16string* out) const;

private:
    std::vector<uint32_t> codes_;  // glyph id -> lowest Unicode value, 0xFFFFFFFF when none
    std::unordered_map<std::string, uint32_t> glyphByName_;
};

}  // namespace halvane

#endif  // HALVANE_FONTS_PROGRAM_UNICODE_H
