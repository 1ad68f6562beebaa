#include "halvane/fonts/tex_glyph_names.h"

#include <algorithm>
#include <iterator>

namespace halvane {

namespace {

struct TexName {
    const char* name;
    char16_t unit;
};

// Sorted by name (byte order) for binary search.
constexpr TexName kTexNames[] = {
    {"angbracketleft", 0x27E8},
    {"angbracketright", 0x27E9},
    {"approxorequal", 0x224A},
    {"arrowbothv", 0x2195},
    {"arrowdblbothv", 0x21D5},
    {"arrowhookleft", 0x21AA},
    {"arrowhookright", 0x21A9},
    {"arrownortheast", 0x2197},
    {"arrownorthwest", 0x2196},
    {"arrowsoutheast", 0x2198},
    {"arrowsouthwest", 0x2199},
    {"asteriskmath", 0x2217},
    {"backslash", 0x005C},
    {"bardbl", 0x2225},
    {"circleasterisk", 0x229B},
    {"circlecopyrt", 0x25EF},
    {"circledivide", 0x2298},
    {"circledot", 0x2299},
    {"circleminus", 0x2296},
    {"coproduct", 0x2210},
    {"diamondmath", 0x22C4},
    {"dotlessj", 0x0237},
    {"epsilon1", 0x03B5},
    {"equivasymptotic", 0x224D},
    {"flat", 0x266D},
    {"follows", 0x227B},
    {"followsequal", 0x2AB0},
    {"greatermuch", 0x226B},
    {"harpoonleftdown", 0x21BD},
    {"harpoonleftup", 0x21BC},
    {"harpoonrightdown", 0x21C1},
    {"harpoonrightup", 0x21C0},
    {"intersectionsq", 0x2293},
    {"latticetop", 0x22A4},
    {"lessmuch", 0x226A},
    {"lscript", 0x2113},
    {"mapsto", 0x21A6},
    {"minusplus", 0x2213},
    {"natural", 0x266E},
    {"negationslash", 0x0338},
    {"openbullet", 0x25E6},
    {"owner", 0x220B},
    {"phi1", 0x03D5},
    {"pi1", 0x03D6},
    {"precedes", 0x227A},
    {"precedesequal", 0x2AAF},
    {"prime", 0x2032},
    {"reflexsubset", 0x2286},
    {"reflexsuperset", 0x2287},
    {"rho1", 0x03F1},
    {"sharp", 0x266F},
    {"sigma1", 0x03C2},
    {"similarequal", 0x2243},
    {"slurabove", 0x2322},
    {"slurbelow", 0x2323},
    {"square", 0x25A1},
    {"squaresolid", 0x25A0},
    {"star", 0x22C6},
    {"subsetsqequal", 0x2291},
    {"supersetsqequal", 0x2292},
    {"theta1", 0x03D1},
    {"tie", 0x2040},
    {"triangleinv", 0x25BD},
    {"triangleleft", 0x25C1},
    {"triangleright", 0x25B7},
    {"turnstileleft", 0x22A2},
    {"turnstileright", 0x22A3},
    {"unionmulti", 0x228E},
    {"unionsq", 0x2294},
    {"vector", 0x20D7},
    {"wreathproduct", 0x2240},
};

bool Find(std::string_view name, std::u16string* out)
{
    const TexName* end = std::end(kTexNames);
    const TexName* it = std::lower_bound(std::begin(kTexNames), end, name,
                                         [](const TexName& e, std::string_view n) { return n.compare(e.name) > 0; });
    if (it == end || name != it->name)
        return false;
    out->push_back(it->unit);
    return true;
}

// Size and style variants of the extension font's delimiters and operators.
constexpr std::string_view kSuffixes[] = {"Bigg", "bigg", "Big", "big", "display", "text", "widest", "wider", "wide"};

}  // namespace

bool TexGlyphNameToUnicode(std::string_view name, std::u16string* out,
                           bool (*lookupBase)(std::string_view, std::u16string*))
{
    if (Find(name, out))
        return true;
    for (std::string_view suffix : kSuffixes) {
        if (name.size() <= suffix.size() || name.substr(name.size() - suffix.size()) != suffix)
            continue;
        const std::string_view base = name.substr(0, name.size() - suffix.size());
        std::u16string text;
        if (Find(base, &text) || (lookupBase && lookupBase(base, &text))) {
            out->append(text);
            return true;
        }
        return false;
    }
    return false;
}

}  // namespace halvane
