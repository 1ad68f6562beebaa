// Text for numbered glyph names ("g18", "glyph18"...) learned from the document itself.
//
// Some producers name the glyphs of a subset font by their ids in the original font and give
// one copy of the font a ToUnicode map but not another (several subsets of one font, one per
// part of the document). The pairs that the mapped copies state - glyph name to text - hold for
// every subset of the same font program, so they can give text to the copies that have none.
#ifndef HALVANE_DOCUMENT_GLYPH_NAMES_H
#define HALVANE_DOCUMENT_GLYPH_NAMES_H

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace halvane {

class Document;

class DocumentGlyphNames {
public:
    // Reads the simple fonts of the document's pages, within fixed bounds on pages, fonts and
    // ToUnicode data, and keeps the pairs that every source agrees on.
    void Scan(Document& doc);

    // The learned text of glyphName in the font named baseFont (a /BaseFont, with or without
    // subset prefix); false when no source mapped it or the sources disagree.
    bool Lookup(const std::string& baseFont, const std::string& glyphName, std::u16string* out) const;

    // Records one stated pair; a second, different text for the same name drops the name.
    void Learn(const std::string& baseFont, const std::string& glyphName, const std::u16string& text);

private:
    // Key: the font name without subset prefix, a tab, the glyph name.
    std::unordered_map<std::string, std::u16string> pairs_;
    std::unordered_set<std::string> conflicting_;
};

}  // namespace halvane

#endif
