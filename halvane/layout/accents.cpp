#include "halvane/layout/accents.h"

#include <algorithm>
#include <cmath>

namespace halvane {

char16_t CombiningFormOfAccent(char16_t c)
{
    switch (c) {
    case 0x0060:
        return 0x0300;  // grave
    case 0x00B4:
        return 0x0301;  // acute
    case 0x02C6:
        return 0x0302;  // circumflex
    case 0x005E:
        return 0x0302;
    case 0x02DC:
        return 0x0303;  // tilde
    case 0x007E:
        return 0x0303;
    case 0x00AF:
        return 0x0304;  // macron
    case 0x02C9:
        return 0x0304;
    case 0x02D8:
        return 0x0306;  // breve
    case 0x02D9:
        return 0x0307;  // dot above
    case 0x00A8:
        return 0x0308;  // dieresis
    case 0x02DA:
        return 0x030A;  // ring
    case 0x02DD:
        return 0x030B;  // double acute
    case 0x02C7:
        return 0x030C;  // caron
    case 0x00B8:
        return 0x0327;  // cedilla
    case 0x02DB:
        return 0x0328;  // ogonek
    default:
        return 0;
    }
}

namespace {

bool IsLetter(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    // Latin letters with and without marks, Greek, Cyrillic; math italic letters come as these too.
    return (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x370 && c <= 0x4FF);
}

}  // namespace

void AttachFloatingAccents(std::vector<PlacedGlyph>& glyphs)
{
    std::vector<size_t> accents;
    std::vector<size_t> letters;
    double widest = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const PlacedGlyph& g = glyphs[i];
        if (g.text.size() != 1 || g.isSpace)
            continue;
        if (CombiningFormOfAccent(g.text[0]) != 0) {
            accents.push_back(i);
        } else if (IsLetter(g.text[0])) {
            letters.push_back(i);
            widest = std::max(widest, g.u1 - g.u0);
        }
    }
    if (accents.empty() || letters.empty())
        return;
    std::sort(letters.begin(), letters.end(), [&](size_t a, size_t b) { return glyphs[a].u0 < glyphs[b].u0; });
    std::vector<bool> removed(glyphs.size(), false);
    for (size_t a : accents) {
        const PlacedGlyph& accent = glyphs[a];
        const double width = accent.u1 - accent.u0;
        const double center = 0.5 * (accent.u0 + accent.u1);
        // Letters whose box may hold the accent's centre start at most the widest letter before it.
        auto it = std::lower_bound(letters.begin(), letters.end(), center - widest,
                                   [&](size_t id, double u) { return glyphs[id].u0 < u; });
        size_t best = glyphs.size();
        double bestDistance = 0;
        for (; it != letters.end() && glyphs[*it].u0 <= center; ++it) {
            const PlacedGlyph& letter = glyphs[*it];
            if (letter.dir != accent.dir || center >= letter.u1)
                continue;
            // Over the letter (a cedilla or ogonek shares its baseline), of a comparable size, and
            // covering it: an accent set beside a letter overlaps it little or not at all.
            const double rise = letter.baseline - accent.baseline;
            if (rise < -0.1 * letter.size || rise > 1.0 * letter.size || accent.size < 0.5 * letter.size ||
                accent.size > 2.0 * letter.size)
                continue;
            const double overlap = std::min(accent.u1, letter.u1) - std::max(accent.u0, letter.u0);
            if (overlap < 0.5 * std::min(width, letter.u1 - letter.u0))
                continue;
            const double distance = std::fabs(center - 0.5 * (letter.u0 + letter.u1)) + std::fabs(rise);
            if (best == glyphs.size() || distance < bestDistance) {
                best = *it;
                bestDistance = distance;
            }
        }
        if (best == glyphs.size())
            continue;
        glyphs[best].text.push_back(CombiningFormOfAccent(accent.text[0]));
        removed[a] = true;
    }
    size_t out = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (removed[i])
            continue;
        if (out != i)
            glyphs[out] = std::move(glyphs[i]);
        ++out;
    }
    glyphs.resize(out);
}

}  // namespace halvane
