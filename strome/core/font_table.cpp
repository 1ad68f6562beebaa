#include "font_table.h"

#include "ooxml_names.h"
#include "package_parts.h"
#include "xml_writer.h"

namespace strome {

FontTable::FontTable()
{
    families_.insert(kDefaultLatinFont);
    families_.insert(kDefaultEastAsianFont);
}

void FontTable::Note(const std::string& family)
{
    if (!family.empty() && families_.size() < kMaxFonts)
        families_.insert(family);
}

std::string FontTable::Xml() const
{
    std::string out;
    XmlWriter x(out);
    x.Declaration();
    x.Open("w:fonts").Attr("xmlns:w", ns::kWordMain);
    for (const std::string& family : families_) {
        x.Open("w:font").Attr("w:name", family);
        // SimSun's family: its code page tells Word the font carries Chinese glyphs.
        if (family == kDefaultEastAsianFont)
            x.Open("w:charset").Attr("w:val", "86").Close();
        x.Close();
    }
    x.Close();
    return out;
}

}  // namespace strome
