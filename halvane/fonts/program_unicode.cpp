#include "halvane/fonts/program_unicode.h"

#include "halvane/fonts/glyph_names.h"
#include "unicode_text.h"

namespace halvane {

ProgramUnicode::ProgramUnicode(const TrueTypeFont& font)
{
    const TrueTypeCmap* cmap = font.FindCmap(3, 10);
    if (!cmap)
        cmap = font.FindCmap(3, 1);
    if (!cmap)
        cmap = font.FindCmap(0, 4);
    if (!cmap)
        cmap = font.FindCmap(0, 3);
    if (!cmap)
        return;
    codes_ = cmap->GlyphCodes(font.glyphCount);
    std::vector<std::string> names = font.glyphNames;
    if (names.empty() && !font.cff.empty()) {
        CffFont cff;
        if (ParseCff(font.cff, &cff) && !cff.cidKeyed)
            names = std::move(cff.glyphNames);
    }
    for (size_t gid = 0; gid < names.size() && gid < codes_.size(); ++gid) {
        if (!names[gid].empty())
            glyphByName_.emplace(names[gid], static_cast<uint32_t>(gid));
    }
}

bool ProgramUnicode::Text(const std::string& glyphName, std::u16string* out) const
{
    out->clear();
    if (codes_.empty() || glyphName.empty())
        return false;
    uint32_t gid = 0;
    auto it = glyphByName_.find(glyphName);
    NumberedGlyphName numbered;
    if (it != glyphByName_.end()) {
        gid = it->second;
    } else if (glyphByName_.empty() && ParseNumberedGlyphName(glyphName, &numbered) && !numbered.cid) {
        // A program without glyph names: "g18" is the glyph it draws for the name, glyph 18.
        gid = numbered.number;
    } else {
        return false;
    }
    if (gid == 0 || gid >= codes_.size())
        return false;
    const uint32_t c = codes_[gid];
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    morvane::AppendUtf16(c, out);
    return true;
}

}  // namespace halvane
