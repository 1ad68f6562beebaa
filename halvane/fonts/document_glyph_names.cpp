#include "halvane/fonts/document_glyph_names.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "halvane/document/document_file.h"
#include "halvane/fonts/font.h"
#include "halvane/fonts/cmap.h"
#include "halvane/fonts/glyph_names.h"

namespace halvane {

namespace {

// Bounds of the scan: it runs at most once per document, when a font first needs it.
constexpr int kMaxPages = 2000;
constexpr size_t kMaxFontEntries = 20000;  // /Font entries read over all pages
constexpr int kMaxToUnicodeMaps = 256;
constexpr size_t kMaxToUnicodeBytes = 1u << 20;

std::string Key(const std::string& baseFont, const std::string& glyphName)
{
    return StripSubsetPrefix(baseFont) + '\t' + glyphName;
}

// Text a ToUnicode map may usefully state for a glyph: no control characters, no U+FFFD.
bool IsUsableText(const std::u16string& text)
{
    if (text.empty())
        return false;
    for (char16_t c : text)
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFD)
            return false;
    return true;
}

// The codes of a simple font's /Differences that carry numbered glyph names.
std::vector<std::pair<uint32_t, std::string>> NumberedNames(Document& doc, const Object& font)
{
    std::vector<std::pair<uint32_t, std::string>> result;
    for (auto& difference : DifferencesNames(doc, doc.Resolve(font["Encoding"])))
        if (fonts::ParseNumberedGlyphName(difference.second))
            result.emplace_back(static_cast<uint32_t>(difference.first), std::move(difference.second));
    return result;
}

}  // namespace

void DocumentGlyphNames::Scan(Document& doc)
{
    std::unordered_set<int> seenFonts;
    size_t entries = 0;
    int maps = 0;
    for (int p = 0; p < doc.PageCount() && p < kMaxPages; ++p) {
        const Object& resources = doc.Resolve(doc.Page(p)->resources);
        const Object& fontDict = doc.Resolve(resources["Font"]);
        if (!fontDict.IsDict())
            continue;
        for (const auto& item : fontDict.GetDict().Items()) {
            if (++entries > kMaxFontEntries || maps >= kMaxToUnicodeMaps)
                return;
            if (item.second.IsRef() && !seenFonts.insert(item.second.GetRef().num).second)
                continue;
            const Object& font = doc.Resolve(item.second);
            const Object& subtype = doc.Resolve(font["Subtype"]);
            // Type 3 glyph names name procedures of this one font; composite fonts have none.
            if (!subtype.IsName("Type1") && !subtype.IsName("MMType1") && !subtype.IsName("TrueType"))
                continue;
            const Object& toUnicode = doc.Resolve(font["ToUnicode"]);
            if (!toUnicode.IsStream())
                continue;
            const auto named = NumberedNames(doc, font);
            if (named.empty())
                continue;
            ++maps;
            DecodedData decoded;
            if (!doc.DecodeStream(toUnicode, kMaxToUnicodeBytes, &decoded) || !decoded.imageCodec.empty())
                continue;
            const auto cmap = fonts::CMap::Parse(decoded.bytes);
            if (!cmap)
                continue;
            const std::string baseFont = doc.Resolve(font["BaseFont"]).Str();
            if (baseFont.empty())
                continue;
            for (const auto& [code, name] : named) {
                std::u16string text;
                if (cmap->LookupUnicode(code, &text) && IsUsableText(text))
                    Learn(baseFont, name, text);
            }
        }
    }
}

void DocumentGlyphNames::Learn(const std::string& baseFont, const std::string& glyphName, const std::u16string& text)
{
    std::string key = Key(baseFont, glyphName);
    if (conflicting_.count(key))
        return;
    auto it = pairs_.find(key);
    if (it == pairs_.end()) {
        pairs_.emplace(std::move(key), text);
    } else if (it->second != text) {
        pairs_.erase(it);
        conflicting_.insert(std::move(key));
    }
}

bool DocumentGlyphNames::Lookup(const std::string& baseFont, const std::string& glyphName, std::u16string* out) const
{
    auto it = pairs_.find(Key(baseFont, glyphName));
    if (it == pairs_.end())
        return false;
    *out = it->second;
    return true;
}

}  // namespace halvane
