#include "halvane/fonts/standard_fonts.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace halvane {
namespace {

#include "generated/standard_font_metrics.inc"

enum Family { kCourier, kHelvetica, kTimes, kSymbol, kDingbats, kNoFamily };

// Index of the first of a family's four styles in kStandardFonts (regular, bold, italic, both).
const int kFamilyStart[] = {0, 4, 8, 12, 13};

std::string LowerAlnum(std::string_view s)
{
    std::string out;
    for (char c : s) {
        if (c >= 'A' && c <= 'Z')
            out.push_back(static_cast<char>(c - 'A' + 'a'));
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out.push_back(c);
    }
    return out;
}

bool Contains(const std::string& s, std::string_view part)
{
    return s.find(part) != std::string::npos;
}

Family FamilyOf(const std::string& family)
{
    // Family names with spaces and punctuation removed, lower case; "mt"/"ps" endings tolerated.
    static const struct {
        const char* name;
        Family family;
    } kAliases[] = {
        {"helvetica", kHelvetica},      {"arial", kHelvetica},
        {"arialmt", kHelvetica},        {"helv", kHelvetica},
        {"timesroman", kTimes},         {"times", kTimes},
        {"timesnewroman", kTimes},      {"timesnewromanps", kTimes},
        {"timesnewromanpsmt", kTimes},  {"timesnewromanmt", kTimes},
        {"courier", kCourier},          {"couriernew", kCourier},
        {"couriernewps", kCourier},     {"couriernewpsmt", kCourier},
        {"couriernewmt", kCourier},     {"symbol", kSymbol},
        {"symbolmt", kSymbol},          {"zapfdingbats", kDingbats},
        {"itczapfdingbats", kDingbats}, {"dingbats", kDingbats},
    };
    for (const auto& a : kAliases) {
        if (family == a.name)
            return a.family;
    }
    return kNoFamily;
}

}  // namespace

const StandardFont* FindStandardFont(std::string_view baseFont)
{
    // A subset prefix is six capital letters and '+'.
    if (baseFont.size() > 7 && baseFont[6] == '+' &&
        std::all_of(baseFont.begin(), baseFont.begin() + 6, [](char c) { return c >= 'A' && c <= 'Z'; })) {
        baseFont.remove_prefix(7);
    }
    for (const StandardFont& f : kStandardFonts) {
        if (baseFont == f.name)
            return &f;
    }
    // Family before the first ',' or '-'; the style after it. "Times-Roman" is the one family name
    // whose style part means "regular".
    size_t split = baseFont.find_first_of(",-");
    std::string family = LowerAlnum(baseFont.substr(0, split));
    std::string style = split == std::string_view::npos ? std::string() : LowerAlnum(baseFont.substr(split + 1));
    bool bold = Contains(style, "bold") || Contains(style, "black") || Contains(style, "heavy") ||
                Contains(style, "semibold") || Contains(style, "demi");
    bool italic = Contains(style, "italic") || Contains(style, "oblique");
    if (split == std::string_view::npos) {
        // "ArialBold", "TimesNewRomanBoldItalic": the style may be glued to the family.
        for (std::string_view suffix : {"bolditalic", "boldoblique", "bold", "italic", "oblique"}) {
            if (family.size() > suffix.size() &&
                family.compare(family.size() - suffix.size(), suffix.size(), suffix) == 0 &&
                FamilyOf(family.substr(0, family.size() - suffix.size())) != kNoFamily) {
                bold = Contains(std::string(suffix), "bold");
                italic = suffix != "bold";
                family.resize(family.size() - suffix.size());
                break;
            }
        }
    }
    Family which = FamilyOf(family);
    if (which == kNoFamily)
        return nullptr;
    int index = kFamilyStart[which];
    if (which != kSymbol && which != kDingbats)
        index += (bold ? 1 : 0) + (italic ? 2 : 0);
    return &kStandardFonts[index];
}

int StandardGlyphWidth(const StandardFont* font, std::string_view glyphName)
{
    if (!font)
        return -1;
    const char* const* begin = font->glyphNames;
    const char* const* end = begin + font->glyphCount;
    const char* const* it =
        std::lower_bound(begin, end, glyphName, [](const char* e, std::string_view n) { return n.compare(e) > 0; });
    if (it == end || glyphName != *it)
        return -1;
    return font->widths[it - begin];
}

}  // namespace halvane
