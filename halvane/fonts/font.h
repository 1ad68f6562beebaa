// A font as the text operators need it (ISO 32000-1, 9.5-9.10): how a show-string splits into
// character codes, each code's advance width and its text.
#ifndef HALVANE_FONT_H
#define HALVANE_FONT_H

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "halvane/syntax/object.h"

namespace halvane {

class Document;
class DocumentGlyphNames;

class Font {
public:
    virtual ~Font() = default;

    // Reads the next character code of a show-string at pos; returns its byte length (>= 1).
    virtual int NextCode(const std::string& s, size_t pos, uint32_t* code) const = 0;
    // Horizontal advance in text space units for a size of 1 (glyph-space width / 1000).
    virtual double Advance(uint32_t code) const = 0;
    // Vertical advance (negative: downwards), for vertical writing.
    virtual double VerticalAdvance(uint32_t code) const
    {
        (void)code;
        return -1.0;
    }
    // Appends the code's text; nothing when the font does not say.
    virtual void Text(uint32_t code, std::u16string* out) const = 0;
    // True when the code is the single-byte code 32, to which word spacing applies.
    virtual bool IsWordSpace(uint32_t code, int length) const { return length == 1 && code == 32; }

    bool vertical = false;
    bool bold = false;
    bool italic = false;
    std::string name;  // without subset prefix
};

// Loads fonts from /Font dictionaries and keeps them for the whole document.
class FontCache {
public:
    explicit FontCache(Document& doc);
    ~FontCache();
    // fontRef: the entry of the resource dictionary (usually a reference). Never null: a font
    // that cannot be read gives a fallback that maps bytes as Latin-1.
    const Font* Get(const Object& fontRef);
    // Pairs of numbered glyph names and text that the document's ToUnicode maps state; read
    // from the document's fonts on first use.
    const DocumentGlyphNames& LearnedGlyphNames();

private:
    Document& doc_;
    std::unique_ptr<DocumentGlyphNames> learned_;
    std::unordered_map<int, std::unique_ptr<Font>> byRef_;
    std::vector<std::unique_ptr<Font>> direct_;
    std::unique_ptr<Font> fallback_;
};

// "ABCDEF+Name" -> "Name".
std::string StripSubsetPrefix(const std::string& name);

// The codes (0 to 255) and glyph names an encoding dictionary's /Differences array gives.
std::vector<std::pair<int, std::string>> DifferencesNames(Document& doc, const Object& encoding);

}  // namespace halvane

#endif
