#include "halvane/fonts/glyph_names.h"
#include "unicode_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "halvane/fonts/tex_glyph_names.h"

namespace halvane {
namespace {

struct GlyphListEntry {
    const char* name;
    char16_t units[4];  // zero-terminated unless all four are used
};

#include "generated/glyph_list.inc"

template <size_t N> bool FindInList(const GlyphListEntry (&list)[N], std::string_view name, std::u16string* out)
{
    const GlyphListEntry* end = list + N;
    const GlyphListEntry* it = std::lower_bound(
        list, end, name, [](const GlyphListEntry& e, std::string_view n) { return n.compare(e.name) > 0; });
    if (it == end || name != it->name)
        return false;
    for (char16_t u : it->units) {
        if (u == 0)
            break;
        out->push_back(u);
    }
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ParseHex(std::string_view digits, uint32_t* value)
{
    uint32_t v = 0;
    for (char c : digits) {
        int h = HexValue(c);
        if (h < 0)
            return false;
        v = v * 16 + static_cast<uint32_t>(h);
    }
    *value = v;
    return true;
}

using morvane::IsSurrogate;

// "uniXXXX", "uniXXXXYYYY"...: each group is one BMP character other than a surrogate.
bool ParseUniName(std::string_view name, std::u16string* out)
{
    if (name.size() < 7 || name.substr(0, 3) != "uni" || (name.size() - 3) % 4 != 0)
        return false;
    std::u16string text;
    for (size_t i = 3; i < name.size(); i += 4) {
        uint32_t v;
        if (!ParseHex(name.substr(i, 4), &v) || IsSurrogate(v))
            return false;
        text.push_back(static_cast<char16_t>(v));
    }
    out->append(text);
    return true;
}

// "uXXXX" to "uXXXXXX": one Unicode scalar value.
bool ParseUName(std::string_view name, std::u16string* out)
{
    if (name.size() < 5 || name.size() > 7 || name[0] != 'u')
        return false;
    uint32_t v;
    if (!ParseHex(name.substr(1), &v) || IsSurrogate(v) || v > 0x10FFFF)
        return false;
    morvane::AppendUtf16(v, out);
    return true;
}

bool AglToUnicode(std::string_view name, std::u16string* out)
{
    return FindInList(kGlyphList, name, out);
}

bool ComponentToUnicode(std::string_view component, bool dingbats, std::u16string* out)
{
    if (dingbats && FindInList(kDingbatsGlyphList, component, out))
        return true;
    return AglToUnicode(component, out) || ParseUniName(component, out) || ParseUName(component, out) ||
           TexGlyphNameToUnicode(component, out, AglToUnicode);
}

bool NameToUnicode(std::string_view name, bool dingbats, std::u16string* out)
{
    out->clear();
    name = name.substr(0, name.find('.'));
    while (!name.empty()) {
        size_t underscore = name.find('_');
        ComponentToUnicode(name.substr(0, underscore), dingbats, out);
        if (underscore == std::string_view::npos)
            break;
        name.remove_prefix(underscore + 1);
    }
    return !out->empty();
}

}  // namespace

bool GlyphNameToUnicode(std::string_view name, std::u16string* out)
{
    return NameToUnicode(name, false, out);
}

bool ParseNumberedGlyphName(std::string_view name, NumberedGlyphName* out)
{
    static const char* const kPrefixes[] = {"glyph", "index", "gid", "cid", "g"};
    for (const char* prefix : kPrefixes) {
        const std::string_view p(prefix);
        if (name.size() <= p.size() || name.size() > p.size() + 5)
            continue;
        bool same = true;
        for (size_t i = 0; i < p.size() && same; ++i)
            same = (name[i] | 0x20) == p[i];
        if (!same)
            continue;
        uint32_t v = 0;
        for (char c : name.substr(p.size())) {
            if (c < '0' || c > '9')
                return false;
            v = v * 10 + static_cast<uint32_t>(c - '0');
        }
        if (out) {
            out->number = v;
            out->cid = p == "cid";
        }
        return true;
    }
    return false;
}

bool DingbatsGlyphNameToUnicode(std::string_view name, std::u16string* out)
{
    return NameToUnicode(name, true, out);
}

}  // namespace halvane
