#include "halvane/structure/font_style.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "halvane.h"

namespace halvane {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}
bool IsLower(char c)
{
    return c >= 'a' && c <= 'z';
}

// Without a subset tag: six capitals and a plus sign (ISO 32000-1, 9.6.4).
std::string WithoutSubsetTag(const std::string& name)
{
    if (name.size() > 7 && name[6] == '+' &&
        std::all_of(name.begin(), name.begin() + 6, [](char c) { return IsUpper(c); }))
        return name.substr(7);
    return name;
}

// Suffixes that name a foundry's build of a face, not its family.
const char* const kFoundrySuffixes[] = {"PSMT", "MT", "PS", "Std", "Pro", "LT"};

// Style words that end a family name when they follow it without a separator.
// ("Roman" and "Black" stay: "TimesNewRoman", "ArialBlack" are families of their own.)
const char* const kStyleWords[] = {"Regular",  "Bold",     "Italic", "Oblique", "Semibold",
                                   "SemiBold", "Demibold", "Light",  "Medium",  "BoldItalic"};

bool EndsWith(const std::string& s, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

std::string CleanFamilyName(const std::string& fontName)
{
    std::string name = WithoutSubsetTag(fontName);
    // The family is what comes before the style part: "Arial-BoldMT", "Arial,Bold".
    const size_t cut = name.find_first_of("-,");
    if (cut != std::string::npos && cut > 0)
        name = name.substr(0, cut);
    // Style words and foundry suffixes glued to the end: "TimesNewRomanPSMT", "ArialBold".
    for (bool changed = true; changed;) {
        changed = false;
        for (const char* s : kFoundrySuffixes) {
            const size_t n = std::strlen(s);
            if (name.size() > n + 2 && name.compare(name.size() - n, n, s) == 0 && IsLower(name[name.size() - n - 1])) {
                name.erase(name.size() - n);
                changed = true;
            }
        }
        for (const char* s : kStyleWords) {
            const size_t n = std::strlen(s);
            if (name.size() > n + 2 && name.compare(name.size() - n, n, s) == 0) {
                name.erase(name.size() - n);
                changed = true;
            }
        }
    }
    // Words apart where a capital follows a small letter: "LiberationSerif" -> "Liberation Serif".
    // Names already written with spaces or underscores keep them.
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] == '_' ? ' ' : name[i];
        if (i > 0 && IsUpper(c) && IsLower(name[i - 1]) && name.find(' ') == std::string::npos)
            out.push_back(' ');
        out.push_back(c);
    }
    return out.empty() ? WithoutSubsetTag(fontName) : out;
}

std::string NameAsUtf8(const std::string& name)
{
    bool valid = true;
    for (size_t i = 0; i < name.size() && valid;) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > name.size() || (n > 1 && c < 0xC2))
            valid = false;
        for (size_t k = 1; valid && k < n; ++k)
            valid = (static_cast<unsigned char>(name[i + k]) & 0xC0) == 0x80;
        i += n ? n : 1;
    }
    if (valid)
        return name;
    std::string out;
    for (char ch : name) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

uint32_t StyleFlagsFromName(const std::string& fontName)
{
    const std::string n = Lower(WithoutSubsetTag(fontName));
    uint32_t flags = 0;
    if (n.find("bold") != std::string::npos || n.find("black") != std::string::npos ||
        n.find("heavy") != std::string::npos || n.find("semibold") != std::string::npos ||
        n.find("demi") != std::string::npos)
        flags |= PDF_STYLE_BOLD;
    if (n.find("italic") != std::string::npos || n.find("oblique") != std::string::npos || EndsWith(n, "-it") ||
        n.find("kursiv") != std::string::npos)
        flags |= PDF_STYLE_ITALIC;
    if (n.find("mono") != std::string::npos || n.find("courier") != std::string::npos ||
        n.find("consol") != std::string::npos || n.find("typewriter") != std::string::npos || n.rfind("cmtt", 0) == 0 ||
        n.rfind("lmmono", 0) == 0)
        flags |= PDF_STYLE_FIXED_PITCH;
    const bool sans = n.find("sans") != std::string::npos || n.find("arial") != std::string::npos ||
                      n.find("helvetica") != std::string::npos || n.find("gothic") != std::string::npos ||
                      n.find("hei") != std::string::npos || n.find("verdana") != std::string::npos ||
                      n.find("calibri") != std::string::npos;
    if (!sans && (n.find("serif") != std::string::npos || n.find("times") != std::string::npos ||
                  n.find("roman") != std::string::npos || n.find("georgia") != std::string::npos ||
                  n.find("garamond") != std::string::npos || n.find("song") != std::string::npos ||
                  n.find("ming") != std::string::npos || n.find("mincho") != std::string::npos ||
                  n.rfind("cmr", 0) == 0 || n.rfind("lmroman", 0) == 0 || n.find("cambria") != std::string::npos))
        flags |= PDF_STYLE_SERIF;
    return flags;
}

}  // namespace halvane
