// Compact Font Format programs: names, charset and built-in encoding (Adobe's CFF, version 1).
#include <algorithm>
#include <cstdlib>
#include <map>

#include "halvane/fonts/byte_reader.h"
#include "halvane/fonts/encodings.h"
#include "halvane/fonts/font_programs.h"

namespace halvane {
namespace {

#include "generated/font_program_names.inc"

constexpr uint32_t kStandardStringCount = 391;
constexpr uint32_t kMaxGlyphs = 65536;

// An INDEX: count, offset size, offsets (1-based), data.
struct Index {
    uint32_t count = 0;
    size_t end = 0;  // first byte after the INDEX
    std::vector<std::string_view> items;
};

bool ReadIndex(const ByteSpan& data, size_t offset, Index* index, bool keepItems = true)
{
    uint32_t count, offSize;
    if (!data.U16(offset, &count))
        return false;
    index->count = count;
    if (count == 0) {
        index->end = offset + 2;
        return true;
    }
    if (!data.U8(offset + 2, &offSize) || offSize < 1 || offSize > 4)
        return false;
    size_t offsets = offset + 3;
    size_t dataStart = offsets + static_cast<size_t>(count + 1) * offSize - 1;
    uint32_t previous = 0;
    for (uint32_t i = 0; i <= count; ++i) {
        uint32_t v;
        if (!data.Read(offsets + static_cast<size_t>(i) * offSize, offSize, &v))
            return false;
        if (v < 1 || (i > 0 && v < previous) || !data.Has(dataStart, v))
            return false;
        if (i > 0 && keepItems)
            index->items.push_back(data.View().substr(dataStart + previous, v - previous));
        previous = v;
    }
    index->end = dataStart + previous;
    return true;
}

// Top DICT operands by operator (12 x operators as 1200 + x).
std::map<int, std::vector<double>> ReadDict(std::string_view dict)
{
    std::map<int, std::vector<double>> result;
    std::vector<double> operands;
    ByteSpan d(dict);
    size_t i = 0;
    while (i < d.size()) {
        uint32_t b0 = 0, b1 = 0, w = 0;
        d.U8(i, &b0);
        if (b0 <= 21) {
            int op = static_cast<int>(b0);
            ++i;
            if (b0 == 12) {
                if (!d.U8(i, &b1))
                    break;
                op = 1200 + static_cast<int>(b1);
                ++i;
            }
            result[op] = operands;
            operands.clear();
        } else if (b0 == 28) {
            if (!d.U16(i + 1, &w))
                break;
            operands.push_back(static_cast<int16_t>(w));
            i += 3;
        } else if (b0 == 29) {
            if (!d.U32(i + 1, &w))
                break;
            operands.push_back(static_cast<int32_t>(w));
            i += 5;
        } else if (b0 == 30) {
            // Real: nibbles up to an 0xF nibble.
            std::string text;
            ++i;
            bool done = false;
            while (!done && d.U8(i, &b1)) {
                ++i;
                for (uint32_t nibble : {b1 >> 4, b1 & 15}) {
                    if (nibble == 15) {
                        done = true;
                        break;
                    }
                    if (nibble <= 9)
                        text.push_back(static_cast<char>('0' + nibble));
                    else if (nibble == 10)
                        text.push_back('.');
                    else if (nibble == 11)
                        text.push_back('E');
                    else if (nibble == 12)
                        text += "E-";
                    else if (nibble == 14)
                        text.push_back('-');
                }
            }
            operands.push_back(std::atof(text.c_str()));
        } else if (b0 >= 32 && b0 <= 246) {
            operands.push_back(static_cast<int>(b0) - 139);
            ++i;
        } else if (b0 >= 247 && b0 <= 254) {
            if (!d.U8(i + 1, &b1))
                break;
            int v = (static_cast<int>(b0) - (b0 <= 250 ? 247 : 251)) * 256 + static_cast<int>(b1) + 108;
            operands.push_back(b0 <= 250 ? v : -v);
            i += 2;
        } else {
            ++i;  // reserved
        }
        if (operands.size() > 48)
            operands.clear();  // the format allows at most 48 operands
    }
    return result;
}

bool DictOffset(const std::map<int, std::vector<double>>& dict, int op, size_t* value)
{
    auto it = dict.find(op);
    if (it == dict.end() || it->second.empty())
        return false;
    double v = it->second.back();
    if (!(v >= 0 && v < 4294967296.0))
        return false;
    *value = static_cast<size_t>(v);
    return true;
}

std::string SidName(uint32_t sid, const Index& strings)
{
    if (sid < kStandardStringCount)
        return kCffStandardStrings[sid];
    sid -= kStandardStringCount;
    return sid < strings.items.size() ? std::string(strings.items[sid]) : std::string();
}

// Glyph id -> SID (name-keyed) or CID (CID-keyed); glyph 0 is .notdef.
std::vector<uint32_t> ReadCharset(const ByteSpan& data, size_t offset, uint32_t glyphs)
{
    std::vector<uint32_t> ids(glyphs, 0);
    if (offset <= 2) {
        // Predefined: 0 ISOAdobe (SID = glyph id), 1 Expert, 2 ExpertSubset.
        const uint16_t* table = offset == 1 ? kCffExpertCharset : kCffExpertSubsetCharset;
        size_t size = offset == 1 ? sizeof(kCffExpertCharset) / 2 : sizeof(kCffExpertSubsetCharset) / 2;
        for (uint32_t g = 0; g < glyphs; ++g) {
            if (offset == 0)
                ids[g] = g < 229 ? g : 0;
            else
                ids[g] = g < size ? table[g] : 0;
        }
        return ids;
    }
    uint32_t format;
    if (!data.U8(offset, &format))
        return ids;
    size_t p = offset + 1;
    uint32_t g = 1;
    if (format == 0) {
        for (; g < glyphs; ++g, p += 2) {
            if (!data.U16(p, &ids[g]))
                break;
        }
    } else if (format == 1 || format == 2) {
        while (g < glyphs) {
            uint32_t first, left;
            if (!data.U16(p, &first) || !data.Read(p + 2, format == 1 ? 1 : 2, &left))
                break;
            p += format == 1 ? 3 : 4;
            for (uint32_t k = 0; k <= left && g < glyphs; ++k)
                ids[g++] = first + k;
        }
    }
    return ids;
}

void ReadEncoding(const ByteSpan& data, size_t offset, const Index& strings, CffFont* font)
{
    font->codeToGlyph.assign(256, -1);
    font->encoding.names.assign(256, std::string());
    std::map<std::string, int> glyphByName;
    for (size_t g = font->glyphNames.size(); g-- > 0;)
        glyphByName[font->glyphNames[g]] = static_cast<int>(g);
    auto setByName = [&](int code, const std::string& name) {
        font->encoding.names[code] = name;
        auto it = glyphByName.find(name);
        font->codeToGlyph[code] = it == glyphByName.end() ? -1 : it->second;
    };
    if (offset == 0) {
        font->encoding.standard = true;
        const char* const* names = EncodingGlyphNames(BaseEncoding::Standard);
        for (int c = 0; c < 256; ++c) {
            if (names[c])
                setByName(c, names[c]);
        }
        return;
    }
    if (offset == 1) {
        font->expertEncoding = true;
        return;
    }
    uint32_t format;
    if (!data.U8(offset, &format))
        return;
    size_t p = offset + 1;
    uint32_t count;
    if (!data.U8(p++, &count))
        return;
    int glyph = 1;
    if ((format & 0x7F) == 0) {
        for (uint32_t i = 0; i < count; ++i, ++glyph) {
            uint32_t code;
            if (!data.U8(p++, &code))
                return;
            font->codeToGlyph[code] = glyph;
        }
    } else if ((format & 0x7F) == 1) {
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t first, left;
            if (!data.U8(p, &first) || !data.U8(p + 1, &left))
                return;
            p += 2;
            for (uint32_t k = 0; k <= left && first + k < 256; ++k)
                font->codeToGlyph[first + k] = glyph++;
        }
    } else {
        return;
    }
    for (int c = 0; c < 256; ++c) {
        int g = font->codeToGlyph[c];
        if (g >= font->glyphCount)
            font->codeToGlyph[c] = -1;
        else if (g > 0)
            font->encoding.names[c] = font->glyphNames[g];
    }
    if (format & 0x80) {
        // Supplements: more codes for glyphs already named.
        uint32_t sups;
        if (!data.U8(p++, &sups))
            return;
        for (uint32_t i = 0; i < sups; ++i, p += 3) {
            uint32_t code, sid;
            if (!data.U8(p, &code) || !data.U16(p + 1, &sid))
                return;
            setByName(static_cast<int>(code), SidName(sid, strings));
        }
    }
}

}  // namespace

bool ParseCff(std::string_view bytes, CffFont* font)
{
    *font = CffFont();
    ByteSpan data(bytes);
    uint32_t major, headerSize;
    if (!data.U8(0, &major) || major != 1 || !data.U8(2, &headerSize))
        return false;
    Index names, topDicts, strings;
    if (!ReadIndex(data, headerSize, &names, false) || !ReadIndex(data, names.end, &topDicts) ||
        topDicts.items.empty() || !ReadIndex(data, topDicts.end, &strings)) {
        return false;
    }
    auto top = ReadDict(topDicts.items[0]);
    size_t charStringsOffset;
    Index charStrings;
    if (!DictOffset(top, 17, &charStringsOffset) || !ReadIndex(data, charStringsOffset, &charStrings, false)) {
        return false;
    }
    uint32_t glyphs = std::min<uint32_t>(charStrings.count, kMaxGlyphs);
    font->glyphCount = static_cast<int>(glyphs);

    auto ros = top.find(1230);
    font->cidKeyed = ros != top.end() && ros->second.size() >= 3;
    if (font->cidKeyed) {
        const std::vector<double>& v = ros->second;
        font->registry = v[0] >= 0 && v[0] < 65536 ? SidName(static_cast<uint32_t>(v[0]), strings) : "";
        font->ordering = v[1] >= 0 && v[1] < 65536 ? SidName(static_cast<uint32_t>(v[1]), strings) : "";
        font->supplement = v[2] >= 0 && v[2] < 65536 ? static_cast<int>(v[2]) : 0;  // an operand may be any real
    }

    size_t charsetOffset = 0;
    DictOffset(top, 15, &charsetOffset);
    std::vector<uint32_t> ids = ReadCharset(data, charsetOffset, glyphs);
    if (font->cidKeyed) {
        font->glyphCids = std::move(ids);
        return true;
    }
    font->glyphNames.resize(glyphs);
    for (uint32_t g = 0; g < glyphs; ++g)
        font->glyphNames[g] = g == 0 ? ".notdef" : SidName(ids[g], strings);

    size_t encodingOffset = 0;
    DictOffset(top, 16, &encodingOffset);
    ReadEncoding(data, encodingOffset, strings, font);
    return true;
}

}  // namespace halvane
