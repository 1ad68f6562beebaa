// TrueType and OpenType programs: the tables that text extraction needs (cmap, post, maxp,
// head, hhea/hmtx) and the CFF table of OpenType fonts.
#include <algorithm>

#include "halvane/fonts/byte_reader.h"
#include "halvane/fonts/font_programs.h"

namespace halvane {
namespace {

#include "generated/font_program_names.inc"

constexpr uint32_t kMaxSubtables = 64;

struct Table {
    size_t offset = 0;
    size_t length = 0;
    bool found = false;
};

uint32_t Tag(const char (&t)[5])
{
    return (static_cast<uint32_t>(static_cast<uint8_t>(t[0])) << 24) | (static_cast<uint8_t>(t[1]) << 16) |
           (static_cast<uint8_t>(t[2]) << 8) | static_cast<uint8_t>(t[3]);
}

// Adds code -> glyph, extending the last run when it continues it.
void AddMapping(std::vector<TrueTypeCmap::Run>* runs, uint32_t code, uint32_t glyph)
{
    if (glyph == 0)
        return;
    if (!runs->empty()) {
        TrueTypeCmap::Run& last = runs->back();
        if (last.last + 1 == code && last.firstGlyph + (code - last.first) == glyph) {
            last.last = code;
            return;
        }
    }
    runs->push_back({code, code, glyph});
}

void ReadFormat0(const ByteSpan& t, TrueTypeCmap* cmap)
{
    for (uint32_t code = 0; code < 256; ++code) {
        uint32_t glyph;
        if (!t.U8(6 + code, &glyph))
            break;
        AddMapping(&cmap->runs, code, glyph);
    }
}

void ReadFormat4(const ByteSpan& t, TrueTypeCmap* cmap)
{
    uint32_t segCountX2;
    if (!t.U16(6, &segCountX2))
        return;
    size_t segCount = segCountX2 / 2;
    // Valid segments cover at most 65536 codes; overlapping ones must not multiply the work.
    size_t budget = 0x20000;
    size_t ends = 14, starts = ends + segCountX2 + 2, deltas = starts + segCountX2, rangeOffsets = deltas + segCountX2;
    for (size_t i = 0; i < segCount; ++i) {
        uint32_t end, start, delta, rangeOffset;
        if (!t.U16(ends + 2 * i, &end) || !t.U16(starts + 2 * i, &start) || !t.U16(deltas + 2 * i, &delta) ||
            !t.U16(rangeOffsets + 2 * i, &rangeOffset)) {
            return;
        }
        if (start > end)
            continue;
        for (uint32_t code = start; code <= end && budget > 0; ++code, --budget) {
            uint32_t glyph;
            if (rangeOffset == 0) {
                glyph = (code + delta) & 0xFFFF;
            } else {
                // The offset is counted from the idRangeOffset entry itself.
                size_t at = rangeOffsets + 2 * i + rangeOffset + 2 * static_cast<size_t>(code - start);
                if (!t.U16(at, &glyph))
                    break;
                if (glyph != 0)
                    glyph = (glyph + delta) & 0xFFFF;
            }
            AddMapping(&cmap->runs, code, glyph);
        }
    }
}

void ReadFormat6(const ByteSpan& t, TrueTypeCmap* cmap)
{
    uint32_t first, count;
    if (!t.U16(6, &first) || !t.U16(8, &count))
        return;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t glyph;
        if (!t.U16(10 + 2 * static_cast<size_t>(i), &glyph))
            break;
        AddMapping(&cmap->runs, first + i, glyph);
    }
}

void ReadFormat12(const ByteSpan& t, TrueTypeCmap* cmap)
{
    uint32_t groups;
    if (!t.U32(12, &groups))
        return;
    for (uint32_t i = 0; i < groups; ++i) {
        size_t at = 16 + 12 * static_cast<size_t>(i);
        uint32_t start, end, glyph;
        if (!t.U32(at, &start) || !t.U32(at + 4, &end) || !t.U32(at + 8, &glyph))
            break;
        if (start > end || end > 0x10FFFF)
            continue;
        if (glyph == 0) {  // the first code is the missing glyph; the others still count
            if (start == end)
                continue;
            ++start;
            glyph = 1;
        }
        cmap->runs.push_back({start, end, glyph});
    }
}

// Sorts runs and drops the parts of later runs that overlap earlier ones.
void Normalize(std::vector<TrueTypeCmap::Run>* runs)
{
    std::stable_sort(runs->begin(), runs->end(),
                     [](const TrueTypeCmap::Run& a, const TrueTypeCmap::Run& b) { return a.first < b.first; });
    std::vector<TrueTypeCmap::Run> out;
    for (TrueTypeCmap::Run r : *runs) {
        if (!out.empty() && r.first <= out.back().last) {
            if (r.last <= out.back().last)
                continue;
            r.firstGlyph += out.back().last + 1 - r.first;
            r.first = out.back().last + 1;
        }
        out.push_back(r);
    }
    *runs = std::move(out);
}

void ReadCmapTable(const ByteSpan& cmapTable, TrueTypeFont* font)
{
    uint32_t count;
    if (!cmapTable.U16(2, &count))
        return;
    for (uint32_t i = 0; i < count && i < kMaxSubtables; ++i) {
        size_t record = 4 + 8 * static_cast<size_t>(i);
        uint32_t platform, encoding, offset, format;
        if (!cmapTable.U16(record, &platform) || !cmapTable.U16(record + 2, &encoding) ||
            !cmapTable.U32(record + 4, &offset) || !cmapTable.U16(offset, &format)) {
            continue;
        }
        // Subtable lengths are often wrong; reads stay inside the cmap table instead.
        ByteSpan t = cmapTable.Sub(offset, cmapTable.size() - offset);
        TrueTypeCmap cmap;
        cmap.platform = static_cast<uint16_t>(platform);
        cmap.encoding = static_cast<uint16_t>(encoding);
        cmap.format = static_cast<uint16_t>(format);
        switch (format) {
        case 0:
            ReadFormat0(t, &cmap);
            break;
        case 4:
            ReadFormat4(t, &cmap);
            break;
        case 6:
            ReadFormat6(t, &cmap);
            break;
        case 12:
            ReadFormat12(t, &cmap);
            break;
        default:
            continue;
        }
        Normalize(&cmap.runs);
        font->cmaps.push_back(std::move(cmap));
    }
}

void ReadPost(const ByteSpan& post, TrueTypeFont* font)
{
    uint32_t version;
    if (!post.U32(0, &version))
        return;
    size_t glyphs = static_cast<size_t>(font->glyphCount);
    const size_t kMacCount = sizeof(kMacGlyphNames) / sizeof(kMacGlyphNames[0]);
    if (version == 0x00010000) {
        for (size_t g = 0; g < glyphs && g < kMacCount; ++g)
            font->glyphNames.push_back(kMacGlyphNames[g]);
    } else if (version == 0x00020000) {
        uint32_t count;
        if (!post.U16(32, &count))
            return;
        // The Pascal strings after the index array, in order.
        std::vector<std::string_view> strings;
        size_t p = 34 + 2 * static_cast<size_t>(count);
        uint32_t length;
        while (post.U8(p, &length) && post.Has(p + 1, length)) {
            strings.push_back(post.View().substr(p + 1, length));
            p += 1 + length;
        }
        font->glyphNames.assign(std::min<size_t>(count, glyphs == 0 ? count : glyphs), std::string());
        for (size_t g = 0; g < font->glyphNames.size(); ++g) {
            uint32_t index;
            if (!post.U16(34 + 2 * g, &index))
                break;
            if (index < kMacCount)
                font->glyphNames[g] = kMacGlyphNames[index];
            else if (index - kMacCount < strings.size())
                font->glyphNames[g] = std::string(strings[index - kMacCount]);
        }
    } else if (version == 0x00025000) {
        uint32_t count;
        if (!post.U16(32, &count))
            return;
        for (size_t g = 0; g < count && g < glyphs; ++g) {
            uint32_t offset;
            if (!post.U8(34 + g, &offset))
                break;
            int64_t index = static_cast<int64_t>(g) + static_cast<int8_t>(offset);
            font->glyphNames.push_back(index >= 0 && static_cast<size_t>(index) < kMacCount ? kMacGlyphNames[index]
                                                                                            : "");
        }
    }
}

void ReadAdvances(const ByteSpan& hhea, const ByteSpan& hmtx, TrueTypeFont* font)
{
    uint32_t metrics;
    if (!hhea.U16(34, &metrics) || metrics == 0)
        return;
    uint32_t last = 0;
    for (size_t g = 0; g < static_cast<size_t>(font->glyphCount); ++g) {
        if (g < metrics && !hmtx.U16(4 * g, &last))
            break;
        font->advanceWidths.push_back(static_cast<uint16_t>(last));
    }
}

}  // namespace

uint32_t TrueTypeCmap::Lookup(uint32_t code) const
{
    auto it = std::upper_bound(runs.begin(), runs.end(), code, [](uint32_t c, const Run& r) { return c < r.first; });
    if (it == runs.begin())
        return 0;
    --it;
    return code <= it->last ? it->firstGlyph + (code - it->first) : 0;
}

std::vector<uint32_t> TrueTypeCmap::GlyphCodes(int glyphCount) const
{
    std::vector<uint32_t> codes(glyphCount > 0 ? static_cast<size_t>(glyphCount) : 0, 0xFFFFFFFFu);
    for (const Run& r : runs) {
        // Only the part of the run whose glyphs exist; a run may span all of Unicode.
        if (r.firstGlyph >= codes.size())
            continue;
        uint64_t count = std::min<uint64_t>(uint64_t{r.last} - r.first + 1, codes.size() - r.firstGlyph);
        for (uint64_t k = 0; k < count; ++k) {
            uint32_t& code = codes[r.firstGlyph + k];
            code = std::min(code, static_cast<uint32_t>(r.first + k));
        }
    }
    return codes;
}

const TrueTypeCmap* TrueTypeFont::FindCmap(uint16_t platform, uint16_t encoding) const
{
    for (const TrueTypeCmap& c : cmaps) {
        if (c.platform == platform && c.encoding == encoding)
            return &c;
    }
    return nullptr;
}

bool ParseTrueType(std::string_view bytes, TrueTypeFont* font)
{
    *font = TrueTypeFont();
    ByteSpan data(bytes);
    size_t directory = 0;
    uint32_t version;
    if (!data.U32(0, &version))
        return false;
    if (version == Tag("ttcf")) {
        uint32_t first;
        if (!data.U32(12, &first) || !data.U32(first, &version))
            return false;
        directory = first;
    }
    if (version != 0x00010000 && version != Tag("true") && version != Tag("OTTO") && version != Tag("typ1")) {
        return false;
    }
    uint32_t tableCount;
    if (!data.U16(directory + 4, &tableCount))
        return false;
    Table cmap, post, maxp, head, hhea, hmtx, cff;
    struct Wanted {
        uint32_t tag;
        Table* table;
    } wanted[] = {{Tag("cmap"), &cmap}, {Tag("post"), &post}, {Tag("maxp"), &maxp}, {Tag("head"), &head},
                  {Tag("hhea"), &hhea}, {Tag("hmtx"), &hmtx}, {Tag("CFF "), &cff}};
    for (uint32_t i = 0; i < tableCount; ++i) {
        size_t record = directory + 12 + 16 * static_cast<size_t>(i);
        uint32_t tag, offset, length;
        if (!data.U32(record, &tag) || !data.U32(record + 8, &offset) || !data.U32(record + 12, &length)) {
            return false;
        }
        for (Wanted& w : wanted) {
            if (w.tag == tag && !w.table->found && offset < data.size()) {
                *w.table = {offset, std::min<size_t>(length, data.size() - offset), true};
            }
        }
    }
    auto span = [&](const Table& t) { return t.found ? data.Sub(t.offset, t.length) : ByteSpan(); };
    uint32_t value;
    if (span(maxp).U16(4, &value))
        font->glyphCount = static_cast<int>(value);
    if (span(head).U16(18, &value))
        font->unitsPerEm = static_cast<int>(value);
    ReadCmapTable(span(cmap), font);
    ReadPost(span(post), font);
    ReadAdvances(span(hhea), span(hmtx), font);
    if (cff.found)
        font->cff = span(cff).View();
    return true;
}

}  // namespace halvane
