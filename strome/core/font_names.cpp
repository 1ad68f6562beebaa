#include "font_names.h"

#include <string.h>

#include <cctype>

#include "xml_text.h"

namespace strome {

namespace {

struct KnownFamily {
    const char* key;  // the name without spaces, style suffix and "PS"/"MT", lower case
    const char* family;
    bool latinOnly;
};

// PostScript and Windows names of the common fonts, and the names of the standard PDF fonts
// and Adobe's CJK fonts, mapped to the families installed with Windows and Office.
const KnownFamily kKnownFamilies[] = {
    {"timesnewroman", "Times New Roman", true},
    {"times", "Times New Roman", true},
    {"timesroman", "Times New Roman", true},
    {"arial", "Arial", true},
    {"helvetica", "Arial", true},
    {"arialnarrow", "Arial Narrow", true},
    {"arialblack", "Arial Black", true},
    {"couriernew", "Courier New", true},
    {"courier", "Courier New", true},
    {"symbol", "Symbol", true},
    {"wingdings", "Wingdings", true},
    {"calibri", "Calibri", true},
    {"cambria", "Cambria", true},
    {"cambriamath", "Cambria Math", true},
    {"georgia", "Georgia", true},
    {"verdana", "Verdana", true},
    {"tahoma", "Tahoma", true},
    {"trebuchetms", "Trebuchet MS", true},
    {"comicsansms", "Comic Sans MS", true},
    {"segoeui", "Segoe UI", true},
    {"consolas", "Consolas", true},
    {"bookantiqua", "Book Antiqua", true},
    {"garamond", "Garamond", true},
    {"centurygothic", "Century Gothic", true},
    {"palatinolinotype", "Palatino Linotype", true},
    {"lucidaconsole", "Lucida Console", true},
    {"arialunicodems", "Arial Unicode MS", false},
    {"simsun", "SimSun", false},
    {"nsimsun", "NSimSun", false},
    {"songti", "SimSun", false},
    {"stsong", "SimSun", false},
    {"stsongstd", "SimSun", false},
    {"adobesongstd", "SimSun", false},
    {"simhei", "SimHei", false},
    {"stheiti", "SimHei", false},
    {"adobeheitistd", "SimHei", false},
    {"kaiti", "KaiTi", false},
    {"kaitigb2312", "KaiTi", false},
    {"stkaiti", "KaiTi", false},
    {"adobekaitistd", "KaiTi", false},
    {"fangsong", "FangSong", false},
    {"fangsonggb2312", "FangSong", false},
    {"stfangsong", "FangSong", false},
    {"adobefangsongstd", "FangSong", false},
    {"microsoftyahei", "Microsoft YaHei", false},
    {"microsoftjhenghei", "Microsoft JhengHei", false},
    {"dengxian", "DengXian", false},
    {"mingliu", "MingLiU", false},
    {"pmingliu", "PMingLiU", false},
    {"msung", "MingLiU", false},
    {"msmincho", "MS Mincho", false},
    {"msgothic", "MS Gothic", false},
    {"batang", "Batang", false},
    {"malgungothic", "Malgun Gothic", false},
};

// Chinese family names as GBK bytes, as they appear in the font names of Chinese PDFs.
struct GbkFamily {
    const char* bytes;
    const char* family;
};
const GbkFamily kGbkFamilies[] = {
    {"\xCB\xCE\xCC\xE5", "SimSun"},  // song ti
    {"\xD0\xC2\xCB\xCE\xCC\xE5", "NSimSun"},  // xin song ti
    {"\xBA\xDA\xCC\xE5", "SimHei"},  // hei ti
    {"\xBF\xAC\xCC\xE5", "KaiTi"},  // kai ti
    {"\xBF\xAC\xCC\xE5_GB2312", "KaiTi"},
    {"\xB7\xC2\xCB\xCE", "FangSong"},  // fang song
    {"\xB7\xC2\xCB\xCE_GB2312", "FangSong"},
    {"\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA", "Microsoft YaHei"},  // wei ruan ya hei
    {"\xB5\xC8\xCF\xDF", "DengXian"},  // deng xian
};

bool EqualsNoCase(const std::string& a, const char* b)
{
    size_t n = strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool EndsWithNoCase(const std::string& s, const char* suffix)
{
    size_t n = strlen(suffix);
    return s.size() >= n && EqualsNoCase(s.substr(s.size() - n), suffix);
}

struct Style {
    bool known = false;
    bool bold = false;
    bool italic = false;
};

// The style part of a name ("BoldMT", "Italic", "Light", "BoldItalic").
Style ParseStyle(std::string s)
{
    Style style;
    if (EndsWithNoCase(s, "MT"))
        s.resize(s.size() - 2);
    static const char* const kWeights[] = {"", "Regular", "Roman", "Normal", "Book", "Light", "Medium", "Plain"};
    static const char* const kBoldWeights[] = {"Bold", "Semibold", "Demi", "DemiBold", "Black", "Heavy"};
    static const char* const kSlants[] = {"Italic", "Oblique", "It", "Ital"};
    for (const char* slant : kSlants)
        if (EndsWithNoCase(s, slant) && s.size() > 0) {
            style.italic = true;
            s.resize(s.size() - strlen(slant));
            break;
        }
    for (const char* w : kWeights)
        if (EqualsNoCase(s, w))
            style.known = true;
    for (const char* w : kBoldWeights)
        if (EqualsNoCase(s, w))
            style.known = style.bold = true;
    if (!style.known && style.italic && s.empty())
        style.known = true;
    return style;
}

std::string LookupKey(std::string base)
{
    std::string key;
    for (char c : base)
        if (c != ' ' && c != '_' && c != '-')
            key += char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* tail : {"psmt", "mt", "ps"})
        if (key.size() > strlen(tail) && key.compare(key.size() - strlen(tail), std::string::npos, tail) == 0) {
            key.resize(key.size() - strlen(tail));
            break;
        }
    return key;
}

bool IsAscii(const std::string& s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

bool IsValidUtf8(const std::string& s)
{
    std::string round;
    DecodeUtf8(s.data(), s.size(), [&](uint32_t c) { AppendUtf8(round, c); });
    return round == s;
}

}  // namespace

FontChoice MapPdfFontName(const char* name, size_t maxLength)
{
    FontChoice choice;
    if (!name)
        return choice;
    std::string s(name, strnlen(name, maxLength));
    // Subset prefix: six capital letters and '+'.
    if (s.size() > 7 && s[6] == '+') {
        bool prefix = true;
        for (int i = 0; i < 6; ++i)
            prefix = prefix && s[i] >= 'A' && s[i] <= 'Z';
        if (prefix)
            s.erase(0, 7);
    }
    // Style after a comma ("SimSun,Bold") or a hyphen ("Arial-BoldMT"), when it is one.
    std::string base = s;
    size_t cut = s.find_last_of(",-");
    if (cut != std::string::npos && cut > 0) {
        Style style = ParseStyle(s.substr(cut + 1));
        if (style.known || s[cut] == ',') {
            base = s.substr(0, cut);
            choice.bold = style.bold;
            choice.italic = style.italic;
        }
    }
    for (const GbkFamily& g : kGbkFamilies)
        if (base == g.bytes) {
            choice.family = g.family;
            return choice;
        }
    if (!IsAscii(base)) {
        if (IsValidUtf8(base))
            choice.family = base;  // a Unicode name such as a Chinese family name
        return choice;  // other 8-bit bytes cannot be named reliably: default font
    }
    std::string key = LookupKey(base);
    for (const KnownFamily& k : kKnownFamilies)
        if (key == k.key) {
            choice.family = k.family;
            choice.latinOnly = k.latinOnly;
            return choice;
        }
    for (char c : base)
        if (std::iscntrl(static_cast<unsigned char>(c)))
            return choice;
    choice.family = base;
    return choice;
}

}  // namespace strome
