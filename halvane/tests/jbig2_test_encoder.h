// A small JBIG2 encoder for tests: the MQ encoder of ITU-T T.88 Annex E, the integer encoders of
// Annex A, generic regions with every template, symbol dictionaries and text regions, and the
// segment framing PDF embeds. Contexts are formed from per-template pixel tables, independently
// of the decoder's incremental form.
#ifndef HALVANE_TESTS_JBIG2_TEST_ENCODER_H
#define HALVANE_TESTS_JBIG2_TEST_ENCODER_H

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace halvane::testing {

// A bitmap as rows of '#' (black) and '.' (white).
struct TestBitmap {
    std::vector<std::string> rows;
    int Width() const { return rows.empty() ? 0 : static_cast<int>(rows[0].size()); }
    int Height() const { return static_cast<int>(rows.size()); }
    int Get(int x, int y) const
    {
        if (x < 0 || y < 0 || y >= Height() || x >= Width())
            return 0;
        return rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#';
    }
};

class MqEncoder {
public:
    MqEncoder() { out_.push_back(0); }  // the byte before the first output byte (BPST - 1)

    void Encode(uint8_t* cx, int d)
    {
        const int index = *cx >> 1;
        int mps = *cx & 1;
        const Entry& e = kTable[index];
        a_ -= e.qe;
        if (d == mps) {
            if ((a_ & 0x8000) == 0) {
                if (a_ < e.qe)
                    a_ = e.qe;
                else
                    c_ += e.qe;
                *cx = static_cast<uint8_t>(e.nmps << 1 | mps);
                Renormalize();
            } else {
                c_ += e.qe;
            }
        } else {
            if (a_ < e.qe)
                c_ += e.qe;
            else
                a_ = e.qe;
            if (e.sw)
                mps = 1 - mps;
            *cx = static_cast<uint8_t>(e.nlps << 1 | mps);
            Renormalize();
        }
    }

    // FLUSH, then the 0xFF 0xAC end marker.
    std::string Finish()
    {
        const uint32_t temp = c_ + a_;
        c_ |= 0xFFFF;
        if (c_ >= temp)
            c_ -= 0x8000;
        c_ <<= ct_;
        ByteOut();
        c_ <<= ct_;
        ByteOut();
        if (out_.back() != 0xFF)
            out_.push_back(0xFF);
        out_.push_back(0xAC);
        return std::string(out_.begin() + 1, out_.end());
    }

private:
    struct Entry {
        uint16_t qe;
        uint8_t nmps, nlps, sw;
    };
    static constexpr Entry kTable[47] = {
        {0x5601, 1, 1, 1},   {0x3401, 2, 6, 0},   {0x1801, 3, 9, 0},   {0x0AC1, 4, 12, 0},  {0x0521, 5, 29, 0},
        {0x0221, 38, 33, 0}, {0x5601, 7, 6, 1},   {0x5401, 8, 14, 0},  {0x4801, 9, 14, 0},  {0x3801, 10, 14, 0},
        {0x3001, 11, 17, 0}, {0x2401, 12, 18, 0}, {0x1C01, 13, 20, 0}, {0x1601, 29, 21, 0}, {0x5601, 15, 14, 1},
        {0x5401, 16, 14, 0}, {0x5101, 17, 15, 0}, {0x4801, 18, 16, 0}, {0x3801, 19, 17, 0}, {0x3401, 20, 18, 0},
        {0x3001, 21, 19, 0}, {0x2801, 22, 19, 0}, {0x2401, 23, 20, 0}, {0x2201, 24, 21, 0}, {0x1C01, 25, 22, 0},
        {0x1801, 26, 23, 0}, {0x1601, 27, 24, 0}, {0x1401, 28, 25, 0}, {0x1201, 29, 26, 0}, {0x1101, 30, 27, 0},
        {0x0AC1, 31, 28, 0}, {0x09C1, 32, 29, 0}, {0x08A1, 33, 30, 0}, {0x0521, 34, 31, 0}, {0x0441, 35, 32, 0},
        {0x02A1, 36, 33, 0}, {0x0221, 37, 34, 0}, {0x0141, 38, 35, 0}, {0x0111, 39, 36, 0}, {0x0085, 40, 37, 0},
        {0x0049, 41, 38, 0}, {0x0025, 42, 39, 0}, {0x0015, 43, 40, 0}, {0x0009, 44, 41, 0}, {0x0005, 45, 42, 0},
        {0x0001, 45, 43, 0}, {0x5601, 46, 46, 0},
    };

    void Renormalize()
    {
        do {
            a_ <<= 1;
            c_ <<= 1;
            if (--ct_ == 0)
                ByteOut();
        } while ((a_ & 0x8000) == 0);
    }
    void ByteOut()
    {
        if (out_.back() == 0xFF) {
            Emit20();
            return;
        }
        if (c_ >= 0x8000000) {
            ++out_.back();
            if (out_.back() == 0xFF) {
                c_ &= 0x7FFFFFF;
                Emit20();
                return;
            }
        }
        out_.push_back(static_cast<uint8_t>(c_ >> 19));
        c_ &= 0x7FFFF;
        ct_ = 8;
    }
    void Emit20()
    {
        out_.push_back(static_cast<uint8_t>(c_ >> 20));
        c_ &= 0xFFFFF;
        ct_ = 7;
    }

    std::vector<uint8_t> out_;
    uint32_t a_ = 0x8000;
    uint32_t c_ = 0;
    int ct_ = 12;
};

// IAx (T.88, A.2) run in reverse; each instance keeps its 512 contexts.
class IntegerEncoder {
public:
    void Encode(MqEncoder& mq, int64_t value) { EncodeParts(mq, value < 0, value < 0 ? -value : value); }
    void EncodeOob(MqEncoder& mq) { EncodeParts(mq, true, 0); }

private:
    void EncodeParts(MqEncoder& mq, bool negative, int64_t magnitude)
    {
        prev_ = 1;
        Bit(mq, negative);
        static const int64_t kLimits[] = {4, 20, 84, 340, 4436};
        static const int kBits[] = {2, 4, 6, 8, 12, 32};
        int range = 0;
        while (range < 5 && magnitude >= kLimits[range]) {
            Bit(mq, 1);
            ++range;
        }
        if (range < 5)
            Bit(mq, 0);
        const int64_t v = magnitude - (range == 0 ? 0 : kLimits[range - 1]);
        for (int i = kBits[range] - 1; i >= 0; --i)
            Bit(mq, static_cast<int>((v >> i) & 1));
    }
    void Bit(MqEncoder& mq, int d)
    {
        mq.Encode(&contexts_[prev_], d);
        prev_ = prev_ < 256 ? (prev_ << 1 | d) : (((prev_ << 1 | d) & 511) | 256);
    }
    uint8_t contexts_[512] = {};
    uint32_t prev_ = 1;
};

struct GenericOptions {
    int templateId = 0;
    bool typicalPrediction = false;
    int at[8] = {3, -1, -3, -1, 2, -2, -2, -2};  // x, y pairs; template 1: {3,-1}, 2 and 3: {2,-1}
};

// The pixels of each template, from the context's least significant bit up; an entry of
// {100 + i, 0} stands for adaptive pixel i.
inline const std::vector<std::pair<int, int>>& TemplatePixels(int templateId)
{
    static const std::vector<std::pair<int, int>> kTemplates[4] = {
        {{-1, 0},
         {-2, 0},
         {-3, 0},
         {-4, 0},
         {100, 0},
         {2, -1},
         {1, -1},
         {0, -1},
         {-1, -1},
         {-2, -1},
         {101, 0},
         {102, 0},
         {1, -2},
         {0, -2},
         {-1, -2},
         {103, 0}},
        {{-1, 0},
         {-2, 0},
         {-3, 0},
         {100, 0},
         {2, -1},
         {1, -1},
         {0, -1},
         {-1, -1},
         {-2, -1},
         {2, -2},
         {1, -2},
         {0, -2},
         {-1, -2}},
        {{-1, 0}, {-2, 0}, {100, 0}, {1, -1}, {0, -1}, {-1, -1}, {-2, -1}, {1, -2}, {0, -2}, {-1, -2}},
        {{-1, 0}, {-2, 0}, {-3, 0}, {-4, 0}, {100, 0}, {1, -1}, {0, -1}, {-1, -1}, {-2, -1}, {-3, -1}},
    };
    return kTemplates[templateId];
}

// Codes the bitmap's pixels (T.88, 6.2.5) into mq with the given contexts.
inline void EncodeGeneric(MqEncoder& mq, const TestBitmap& bm, const GenericOptions& o, std::vector<uint8_t>* cx)
{
    static const uint32_t kTypical[4] = {0x9B25, 0x0795, 0x00E5, 0x0195};
    const auto& pixels = TemplatePixels(o.templateId);
    cx->resize(o.templateId == 0 ? 1u << 16 : o.templateId == 1 ? 1u << 13 : 1u << 10);
    int ltp = 0;
    for (int y = 0; y < bm.Height(); ++y) {
        if (o.typicalPrediction) {
            const bool same = y > 0 ? bm.rows[static_cast<size_t>(y)] == bm.rows[static_cast<size_t>(y) - 1]
                                    : bm.rows[0].find('#') == std::string::npos;
            mq.Encode(&(*cx)[kTypical[o.templateId]], ltp != static_cast<int>(same));
            ltp = same;
            if (same)
                continue;
        }
        for (int x = 0; x < bm.Width(); ++x) {
            uint32_t context = 0;
            for (size_t bit = 0; bit < pixels.size(); ++bit) {
                int dx = pixels[bit].first, dy = pixels[bit].second;
                if (dx >= 100) {
                    dy = o.at[(dx - 100) * 2 + 1];
                    dx = o.at[(dx - 100) * 2];
                }
                context |= static_cast<uint32_t>(bm.Get(x + dx, y + dy)) << bit;
            }
            mq.Encode(&(*cx)[context], bm.Get(x, y));
        }
    }
}

inline void PutU32(std::string* s, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        s->push_back(static_cast<char>((v >> shift) & 0xFF));
}
inline void PutU16(std::string* s, uint32_t v)
{
    s->push_back(static_cast<char>((v >> 8) & 0xFF));
    s->push_back(static_cast<char>(v & 0xFF));
}

// A segment header (T.88, 7.2) and its data; dataLength overrides the real length when given.
inline std::string Segment(uint32_t number, int type, const std::string& data,
                           const std::vector<uint32_t>& referred = {}, uint32_t page = 1, int64_t dataLength = -1)
{
    std::string s;
    PutU32(&s, number);
    s.push_back(static_cast<char>(type | (page > 255 ? 0x40 : 0)));
    if (referred.size() <= 4) {
        s.push_back(static_cast<char>(referred.size() << 5));
    } else {
        PutU32(&s, 0xE0000000u | static_cast<uint32_t>(referred.size()));
        s.append((referred.size() + 8) / 8, '\0');
    }
    for (uint32_t r : referred) {
        if (number <= 256)
            s.push_back(static_cast<char>(r));
        else if (number <= 65536)
            PutU16(&s, r);
        else
            PutU32(&s, r);
    }
    if (page > 255)
        PutU32(&s, page);
    else
        s.push_back(static_cast<char>(page));
    PutU32(&s, dataLength >= 0 ? static_cast<uint32_t>(dataLength) : static_cast<uint32_t>(data.size()));
    return s + data;
}

inline std::string PageInfo(uint32_t width, uint32_t height, int flags = 0, uint32_t striping = 0)
{
    std::string s;
    PutU32(&s, width);
    PutU32(&s, height);
    PutU32(&s, 0);
    PutU32(&s, 0);
    s.push_back(static_cast<char>(flags));
    PutU16(&s, striping);
    return s;
}

inline std::string RegionInfo(uint32_t width, uint32_t height, uint32_t x, uint32_t y, int op = 0)
{
    std::string s;
    PutU32(&s, width);
    PutU32(&s, height);
    PutU32(&s, x);
    PutU32(&s, y);
    s.push_back(static_cast<char>(op));
    return s;
}

// Generic region segment data: region information, flags, adaptive pixels, coded pixels.
inline std::string GenericRegionData(const TestBitmap& bm, uint32_t x, uint32_t y, const GenericOptions& o, int op = 0)
{
    std::string s = RegionInfo(static_cast<uint32_t>(bm.Width()), static_cast<uint32_t>(bm.Height()), x, y, op);
    s.push_back(static_cast<char>(o.templateId << 1 | (o.typicalPrediction ? 8 : 0)));
    for (int i = 0; i < (o.templateId == 0 ? 8 : 2); ++i)
        s.push_back(static_cast<char>(static_cast<int8_t>(o.at[i])));
    MqEncoder mq;
    std::vector<uint8_t> cx;
    EncodeGeneric(mq, bm, o, &cx);
    return s + mq.Finish();
}

// A symbol dictionary of new symbols, all exported, coded with template 0 and its nominal
// adaptive pixels. Symbols of one height must be adjacent; widths may go up and down.
inline std::string SymbolDictionaryData(const std::vector<TestBitmap>& symbols)
{
    std::string s;
    PutU16(&s, 0);  // arithmetic coding, no refinement, template 0
    const int at[8] = {3, -1, -3, -1, 2, -2, -2, -2};
    for (int v : at)
        s.push_back(static_cast<char>(static_cast<int8_t>(v)));
    PutU32(&s, static_cast<uint32_t>(symbols.size()));
    PutU32(&s, static_cast<uint32_t>(symbols.size()));
    MqEncoder mq;
    IntegerEncoder dh, dw, ex;
    std::vector<uint8_t> cx;
    GenericOptions o;
    int height = 0;
    for (size_t i = 0; i < symbols.size();) {
        dh.Encode(mq, symbols[i].Height() - height);
        height = symbols[i].Height();
        int width = 0;
        for (; i < symbols.size() && symbols[i].Height() == height; ++i) {
            dw.Encode(mq, symbols[i].Width() - width);
            width = symbols[i].Width();
            EncodeGeneric(mq, symbols[i], o, &cx);
        }
        dw.EncodeOob(mq);
    }
    ex.Encode(mq, 0);  // none not exported,
    ex.Encode(mq, static_cast<int64_t>(symbols.size()));  // then all exported
    return s + mq.Finish();
}

struct TextInstance {
    int symbol;
    int x, y;  // top left corner in the region
};

struct TextOptions {
    int refCorner = 1;  // 0 bottom left, 1 top left, 2 bottom right, 3 top right
    bool transposed = false;
    int logStrips = 0;
    int dsOffset = 0;
    int combination = 0;
    int defaultPixel = 0;
};

// A text region placing instances (in coding order: by strip, then along it) of the given symbols.
inline std::string TextRegionData(int width, int height, uint32_t x, uint32_t y, const std::vector<TestBitmap>& symbols,
                                  const std::vector<TextInstance>& instances, const TextOptions& o)
{
    std::string s = RegionInfo(static_cast<uint32_t>(width), static_cast<uint32_t>(height), x, y);
    const int flags = o.logStrips << 2 | o.refCorner << 4 | (o.transposed ? 0x40 : 0) | o.combination << 7 |
                      o.defaultPixel << 9 | (o.dsOffset & 0x1F) << 10;
    PutU16(&s, static_cast<uint32_t>(flags));
    PutU32(&s, static_cast<uint32_t>(instances.size()));
    int codeLength = 0;
    while ((size_t{1} << codeLength) < symbols.size())
        ++codeLength;
    std::vector<uint8_t> idContexts(size_t{1} << codeLength);
    MqEncoder mq;
    IntegerEncoder dt, fs, ds, it;
    const int strips = 1 << o.logStrips;
    const bool right = o.refCorner == 2 || o.refCorner == 3;
    const bool bottom = o.refCorner == 0 || o.refCorner == 2;
    int64_t stripT = 0, firstS = 0, curS = 0;
    dt.Encode(mq, 0);
    for (size_t i = 0; i < instances.size(); ++i) {
        const TestBitmap& sym = symbols[static_cast<size_t>(instances[i].symbol)];
        const int w = sym.Width(), h = sym.Height();
        const int64_t t = o.transposed ? (right ? instances[i].x + w - 1 : instances[i].x)
                                       : (bottom ? instances[i].y + h - 1 : instances[i].y);
        const int64_t si = o.transposed ? (bottom ? instances[i].y + h - 1 : instances[i].y)
                                        : (right ? instances[i].x + w - 1 : instances[i].x);
        const int64_t base = (t >= 0 ? t / strips : -((-t + strips - 1) / strips)) * strips;
        const bool newStrip = i == 0 || base != stripT;
        if (newStrip) {
            if (i > 0)
                ds.EncodeOob(mq);
            dt.Encode(mq, (base - stripT) / strips);
            stripT = base;
        }
        const int64_t preAdjust = (!o.transposed && right) ? w - 1 : (o.transposed && bottom) ? h - 1 : 0;
        const int64_t postAdjust = (!o.transposed && !right) ? w - 1 : (o.transposed && !bottom) ? h - 1 : 0;
        if (newStrip) {
            fs.Encode(mq, si - preAdjust - firstS);
            firstS = si - preAdjust;
        } else {
            ds.Encode(mq, si - preAdjust - curS - o.dsOffset);
        }
        if (strips > 1)
            it.Encode(mq, t - stripT);
        uint32_t prev = 1;
        for (int b = codeLength - 1; b >= 0; --b) {
            const int d = (instances[i].symbol >> b) & 1;
            mq.Encode(&idContexts[prev], d);
            prev = prev << 1 | static_cast<uint32_t>(d);
        }
        curS = si + postAdjust;
    }
    if (!instances.empty())
        ds.EncodeOob(mq);
    return s + mq.Finish();
}

// Draws a symbol onto a test bitmap with OR, as a reference result.
inline void DrawOr(TestBitmap* page, const TestBitmap& sym, int x, int y)
{
    for (int sy = 0; sy < sym.Height(); ++sy)
        for (int sx = 0; sx < sym.Width(); ++sx)
            if (sym.Get(sx, sy) && x + sx >= 0 && y + sy >= 0 && y + sy < page->Height() && x + sx < page->Width())
                page->rows[static_cast<size_t>(y + sy)][static_cast<size_t>(x + sx)] = '#';
}

}  // namespace halvane::testing

#endif
