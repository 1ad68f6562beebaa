// JBIG2 decoding for PDF's JBIG2Decode filter (ISO 32000-1, 7.4.7; ITU-T T.88): the embedded
// organisation, where the stream holds one page's segments in sequence without a file header and
// an optional globals stream holds shared segments (symbol dictionaries) read before them.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "halvane/filters/filters.h"
#include "halvane/filters/jbig2_arith.h"
#include "halvane/filters/jbig2_bitmap.h"
#include "halvane/filters/jbig2_generic.h"
#include "halvane/filters/jbig2_text.h"

namespace halvane {

namespace {

using namespace jbig2;

// A page or region of more pixels is refused (8 MB as packed bits).
constexpr int64_t kMaxPixels = int64_t{1} << 26;
// Work allowed for one image (decoded or drawn pixels, coded integers): a few times its pixels,
// as real pages decode each pixel about once, plus room for small images' dictionaries.
constexpr int64_t kWorkPerPixel = 4;
constexpr int64_t kBaseWork = int64_t{1} << 22;
constexpr int64_t kSymbolPixelBudget = int64_t{1} << 26;
// Dictionaries may re-export the symbols of those they refer to; their lists stay this short.
constexpr int64_t kSymbolReferenceBudget = int64_t{1} << 22;
constexpr uint32_t kUnknownLength = 0xFFFFFFFF;

enum SegmentType {
    kSymbolDictionary = 0,
    kIntermediateText = 4,
    kImmediateText = 6,
    kImmediateLosslessText = 7,
    kPatternDictionary = 16,
    kIntermediateHalftone = 20,
    kImmediateHalftone = 22,
    kImmediateLosslessHalftone = 23,
    kIntermediateGeneric = 36,
    kImmediateGeneric = 38,
    kImmediateLosslessGeneric = 39,
    kIntermediateRefinement = 40,
    kImmediateRefinement = 42,
    kImmediateLosslessRefinement = 43,
    kPageInformation = 48,
    kEndOfPage = 49,
    kEndOfStripe = 50,
    kEndOfFile = 51,
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) { }
    bool U8(uint32_t* v)
    {
        if (pos_ >= size_)
            return false;
        *v = data_[pos_++];
        return true;
    }
    bool U16(uint32_t* v) { return Big(2, v); }
    bool U32(uint32_t* v) { return Big(4, v); }
    bool Skip(size_t n)
    {
        if (n > size_ - pos_)
            return false;
        pos_ += n;
        return true;
    }
    size_t Pos() const { return pos_; }
    size_t Left() const { return size_ - pos_; }

private:
    bool Big(int n, uint32_t* v)
    {
        if (static_cast<size_t>(n) > size_ - pos_)
            return false;
        uint32_t r = 0;
        for (int i = 0; i < n; ++i)
            r = (r << 8) | data_[pos_++];
        *v = r;
        return true;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

struct SegmentHeader {
    uint32_t number = 0;
    int type = 0;
    std::vector<uint32_t> referred;
    uint32_t dataLength = 0;
};

// The segment header (T.88, 7.2).
bool ReadSegmentHeader(ByteReader& in, SegmentHeader* h)
{
    uint32_t flags, countByte, page;
    if (!in.U32(&h->number) || !in.U8(&flags) || !in.U8(&countByte))
        return false;
    h->type = static_cast<int>(flags & 0x3F);
    const bool longPage = (flags & 0x40) != 0;
    uint32_t count = countByte >> 5;
    if (count == 7) {
        // Long form: a 29-bit count in four bytes, then one retention bit per segment and itself.
        uint32_t high, low;
        if (!in.U8(&high) || !in.U16(&low))
            return false;
        count = ((countByte & 0x1F) << 24) | (high << 16) | low;
        if (count > in.Left() || !in.Skip((static_cast<size_t>(count) + 8) / 8))
            return false;
    } else if (count > 4) {
        return false;
    }
    const uint32_t numberSize = h->number <= 256 ? 1 : h->number <= 65536 ? 2 : 4;
    h->referred.clear();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t r;
        if (!(numberSize == 1 ? in.U8(&r) : numberSize == 2 ? in.U16(&r) : in.U32(&r)))
            return false;
        h->referred.push_back(r);
    }
    return (longPage ? in.U32(&page) : in.U8(&page)) && in.U32(&h->dataLength);
}

struct RegionInfo {
    uint32_t width = 0, height = 0, x = 0, y = 0;
    ComboOp op = ComboOp::Or;
};

bool ReadRegionInfo(ByteReader& in, RegionInfo* r)
{
    uint32_t flags;
    if (!in.U32(&r->width) || !in.U32(&r->height) || !in.U32(&r->x) || !in.U32(&r->y) || !in.U8(&flags) ||
        (flags & 7) > 4)
        return false;
    r->op = static_cast<ComboOp>(flags & 7);
    return true;
}

bool ReadAdaptivePixels(ByteReader& in, int count, int8_t* atX, int8_t* atY)
{
    for (int i = 0; i < count; ++i) {
        uint32_t x, y;
        if (!in.U8(&x) || !in.U8(&y))
            return false;
        atX[i] = static_cast<int8_t>(x);
        atY[i] = static_cast<int8_t>(y);
    }
    return true;
}

// An immediate generic region of unknown length ends with a marker (0xFF 0xAC for arithmetic
// coding) and a four-byte row count (T.88, 7.2.7). Returns the data length, or 0 if not found.
size_t FindGenericRegionEnd(const uint8_t* data, size_t size, size_t codedStart, uint32_t* rowCount)
{
    for (size_t i = codedStart; i + 6 <= size; ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xAC) {
            ByteReader rows(data + i + 2, 4);
            rows.U32(rowCount);
            return i + 6;
        }
    }
    return 0;
}

struct Dictionary {
    std::vector<Symbol> symbols;
    int templateId = 0;
    std::vector<MqContext> contexts;  // kept when the segment asks for them to be retained
};

class PageDecoder {
public:
    enum class Outcome { Continue, Finished, Damaged, Unsupported };

    explicit PageDecoder(int64_t work) : budget_{work, kSymbolPixelBudget, kSymbolReferenceBudget} { }
    Outcome Run(const uint8_t* data, size_t size);
    bool HasPage() const { return havePage_; }
    const Bitmap& Page() const { return page_; }

private:
    Outcome Segment(const SegmentHeader& h, const uint8_t* data, size_t size);
    Outcome PageInformation(ByteReader& in);
    Outcome EndOfStripe(ByteReader& in);
    Outcome MmrGenericRegion(const SegmentHeader& h, const RegionInfo& info, const uint8_t* coded, size_t codedSize);
    Outcome GenericRegion(const SegmentHeader& h, const uint8_t* data, size_t size);
    Outcome SymbolDictionary(const SegmentHeader& h, ByteReader& in, const uint8_t* data, size_t size);
    Outcome TextRegion(const SegmentHeader& h, ByteReader& in, const uint8_t* data, size_t size);
    void Place(const Bitmap& region, const RegionInfo& info);
    std::vector<Symbol> ReferredSymbols(const SegmentHeader& h, const Dictionary** last) const;

    Bitmap page_;
    bool havePage_ = false;
    bool heightUnknown_ = false;
    size_t unknownLengthEnd_ = 0;  // where the last region of unknown length ended
    int defaultPixel_ = 0;
    std::map<uint32_t, std::unique_ptr<Dictionary>> dictionaries_;
    DecodeBudget budget_;
};

PageDecoder::Outcome PageDecoder::Run(const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    while (in.Left() > 0) {
        SegmentHeader h;
        if (!ReadSegmentHeader(in, &h))
            return Outcome::Damaged;
        const size_t start = in.Pos();
        size_t length = h.dataLength;
        if (h.dataLength == kUnknownLength) {
            if (h.type != kImmediateGeneric)
                return Outcome::Damaged;
            length = in.Left();  // the region finds its own end
        }
        const bool truncated = length > in.Left();
        const size_t available = truncated ? in.Left() : length;
        const Outcome outcome = Segment(h, data + start, available);
        if (outcome != Outcome::Continue)
            return outcome;
        if (truncated)
            return Outcome::Damaged;
        if (h.dataLength == kUnknownLength)
            length = unknownLengthEnd_;
        in.Skip(length);
    }
    return Outcome::Continue;
}

PageDecoder::Outcome PageDecoder::Segment(const SegmentHeader& h, const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    switch (h.type) {
    case kPageInformation:
        return havePage_ ? Outcome::Finished : PageInformation(in);
    case kEndOfPage:
    case kEndOfFile:
        return Outcome::Finished;
    case kEndOfStripe:
        return EndOfStripe(in);
    case kIntermediateGeneric:
    case kImmediateGeneric:
    case kImmediateLosslessGeneric:
        return GenericRegion(h, data, size);
    case kSymbolDictionary:
        return SymbolDictionary(h, in, data, size);
    case kIntermediateText:
    case kImmediateText:
    case kImmediateLosslessText:
        return TextRegion(h, in, data, size);
    case kPatternDictionary:
    case kIntermediateHalftone:
    case kImmediateHalftone:
    case kImmediateLosslessHalftone:
    case kIntermediateRefinement:
    case kImmediateRefinement:
    case kImmediateLosslessRefinement:
        return Outcome::Unsupported;
    default:
        // Profiles, code tables (used only with Huffman coding, which is refused where it
        // appears), extensions and reserved types do not change the page.
        return Outcome::Continue;
    }
}

PageDecoder::Outcome PageDecoder::PageInformation(ByteReader& in)
{
    uint32_t width, height, xres, yres, flags, striping;
    if (!in.U32(&width) || !in.U32(&height) || !in.U32(&xres) || !in.U32(&yres) || !in.U8(&flags) || !in.U16(&striping))
        return Outcome::Damaged;
    defaultPixel_ = (flags >> 2) & 1;
    // A striped page of unknown height grows with its stripes and regions.
    heightUnknown_ = height == kUnknownLength;
    if (!page_.Allocate(width, heightUnknown_ ? 0 : height, defaultPixel_, kMaxPixels))
        return Outcome::Damaged;
    havePage_ = true;
    return Outcome::Continue;
}

PageDecoder::Outcome PageDecoder::EndOfStripe(ByteReader& in)
{
    uint32_t endRow;
    if (!havePage_ || !in.U32(&endRow))
        return Outcome::Damaged;
    if (heightUnknown_) {
        const int64_t rows = int64_t{endRow} + 1;
        if (page_.Width() > 0 && rows > kMaxPixels / page_.Width())
            return Outcome::Damaged;
        page_.GrowTo(static_cast<int>(std::min<int64_t>(rows, kMaxPixels)), defaultPixel_);
    }
    return Outcome::Continue;
}

void PageDecoder::Place(const Bitmap& region, const RegionInfo& info)
{
    if (heightUnknown_) {
        const int64_t bottom = int64_t{info.y} + region.Height();
        if (page_.Width() > 0 && bottom <= kMaxPixels / page_.Width())
            page_.GrowTo(static_cast<int>(bottom), defaultPixel_);
    }
    page_.Compose(region, info.x, info.y, info.op);
}

// A generic region in MMR coding (T.88, 6.2.6): the coded data is a CCITT Group 4 image of the
// region's width, 1 = black. A region of unknown length is refused: its end marker (0x00 0x00
// and the row count, T.88 7.2.7) cannot be told apart from the coded data.
PageDecoder::Outcome PageDecoder::MmrGenericRegion(const SegmentHeader& h, const RegionInfo& info, const uint8_t* coded,
                                                   size_t codedSize)
{
    if (h.dataLength == kUnknownLength)
        return Outcome::Unsupported;
    if (info.width == 0 || info.height == 0 || info.width > kMaxPixels || info.height > kMaxPixels ||
        info.height > kMaxPixels / info.width)
        return Outcome::Damaged;
    if (h.type != kIntermediateGeneric && !havePage_)
        return Outcome::Damaged;
    if (!budget_.Spend(int64_t{info.width} * info.height))
        return Outcome::Damaged;
    Bitmap region;
    if (!region.Allocate(info.width, info.height, 0, kMaxPixels))
        return Outcome::Damaged;
    CcittParams fax;
    fax.k = -1;
    fax.columns = static_cast<int>(info.width);
    fax.rows = static_cast<int>(info.height);
    fax.blackIs1 = true;
    std::string rows;
    if (!CcittFaxDecode(fax, coded, codedSize, region.Stride() * static_cast<size_t>(region.Height()), &rows))
        return Outcome::Damaged;
    // Rows past what the data held stay white.
    const size_t rowCount = std::min<size_t>(static_cast<size_t>(region.Height()), rows.size() / region.Stride());
    for (size_t y = 0; y < rowCount; ++y)
        std::memcpy(region.Row(static_cast<int>(y)), rows.data() + y * region.Stride(), region.Stride());
    if (h.type != kIntermediateGeneric)
        Place(region, info);
    return Outcome::Continue;
}

// The generic region segment (T.88, 7.4.6).
PageDecoder::Outcome PageDecoder::GenericRegion(const SegmentHeader& h, const uint8_t* data, size_t size)
{
    ByteReader in(data, size);
    RegionInfo info;
    uint32_t flags;
    if (!ReadRegionInfo(in, &info) || !in.U8(&flags))
        return Outcome::Damaged;
    if (flags & 1)
        return MmrGenericRegion(h, info, data + in.Pos(), size - in.Pos());
    if (flags & 0x10)
        return Outcome::Unsupported;  // the extended 12-pixel template
    GenericRegionParams p;
    p.templateId = static_cast<int>((flags >> 1) & 3);
    p.typicalPrediction = (flags & 8) != 0;
    if (!ReadAdaptivePixels(in, p.templateId == 0 ? 4 : 1, p.atX, p.atY))
        return Outcome::Damaged;
    size_t codedEnd = size;
    uint32_t height = info.height;
    if (h.dataLength == kUnknownLength) {
        const size_t end = FindGenericRegionEnd(data, size, in.Pos(), &height);
        if (end == 0)
            return Outcome::Damaged;
        codedEnd = end - 6;
        unknownLengthEnd_ = end;
    }
    if (info.width > kMaxPixels || height > kMaxPixels || (info.width > 0 && height > kMaxPixels / info.width))
        return Outcome::Damaged;
    if (h.type != kIntermediateGeneric && !havePage_)
        return Outcome::Damaged;
    p.width = static_cast<int>(info.width);
    p.height = static_cast<int>(height);
    if (!budget_.Spend(int64_t{p.width} * p.height))
        return Outcome::Damaged;
    MqDecoder mq(data + in.Pos(), codedEnd - in.Pos());
    std::vector<MqContext> contexts(GenericContextCount(p.templateId), 0);
    Bitmap region;
    if (!DecodeGenericRegion(mq, p, &contexts, kMaxPixels, &region))
        return Outcome::Damaged;
    // An intermediate region only feeds a refinement, which is refused where it comes.
    if (h.type != kIntermediateGeneric)
        Place(region, info);
    return Outcome::Continue;
}

std::vector<Symbol> PageDecoder::ReferredSymbols(const SegmentHeader& h, const Dictionary** last) const
{
    std::vector<Symbol> symbols;
    *last = nullptr;
    for (uint32_t number : h.referred) {
        auto it = dictionaries_.find(number);
        if (it == dictionaries_.end())
            continue;
        symbols.insert(symbols.end(), it->second->symbols.begin(), it->second->symbols.end());
        *last = it->second.get();
    }
    return symbols;
}

// The symbol dictionary segment (T.88, 7.4.2).
PageDecoder::Outcome PageDecoder::SymbolDictionary(const SegmentHeader& h, ByteReader& in, const uint8_t* data,
                                                   size_t size)
{
    uint32_t flags;
    if (!in.U16(&flags))
        return Outcome::Damaged;
    if (flags & 3)
        return Outcome::Unsupported;  // Huffman coding or refinement/aggregate coding
    auto dict = std::make_unique<Dictionary>();
    SymbolDictionaryParams p;
    p.templateId = static_cast<int>((flags >> 10) & 3);
    const bool contextUsed = (flags & 0x100) != 0;
    const bool contextRetained = (flags & 0x200) != 0;
    if (!ReadAdaptivePixels(in, p.templateId == 0 ? 4 : 1, p.atX, p.atY) || !in.U32(&p.exportedCount) ||
        !in.U32(&p.newCount))
        return Outcome::Damaged;
    const Dictionary* last;
    const std::vector<Symbol> input = ReferredSymbols(h, &last);
    if (input.size() + uint64_t{p.newCount} > (1u << 20) || p.exportedCount > input.size() + uint64_t{p.newCount})
        return Outcome::Damaged;
    std::vector<MqContext> contexts(GenericContextCount(p.templateId), 0);
    if (contextUsed) {
        // The bitmap contexts continue from the last dictionary this one refers to.
        if (!last || last->contexts.empty() || last->templateId != p.templateId)
            return Outcome::Damaged;
        contexts = last->contexts;
    }
    MqDecoder mq(data + in.Pos(), size - in.Pos());
    if (!budget_.Spend(static_cast<int64_t>(input.size())) ||
        !DecodeSymbolDictionary(mq, p, input, &contexts, &budget_, &dict->symbols))
        return Outcome::Damaged;
    budget_.symbolReferences -= static_cast<int64_t>(dict->symbols.size());
    if (budget_.symbolReferences < 0)
        return Outcome::Damaged;
    dict->templateId = p.templateId;
    if (contextRetained)
        dict->contexts.swap(contexts);
    dictionaries_[h.number] = std::move(dict);
    return Outcome::Continue;
}

// The text region segment (T.88, 7.4.3).
PageDecoder::Outcome PageDecoder::TextRegion(const SegmentHeader& h, ByteReader& in, const uint8_t* data, size_t size)
{
    RegionInfo info;
    uint32_t flags, instances;
    if (!ReadRegionInfo(in, &info) || !in.U16(&flags))
        return Outcome::Damaged;
    if (flags & 3)
        return Outcome::Unsupported;  // Huffman coding or refinement of symbol instances
    if (!in.U32(&instances))
        return Outcome::Damaged;
    if (h.type != kIntermediateText && !havePage_)
        return Outcome::Damaged;
    if (h.type == kIntermediateText)
        return Outcome::Continue;  // it only feeds a refinement, which is refused where it comes
    TextRegionParams p;
    if (info.width > kMaxPixels || info.height > kMaxPixels)
        return Outcome::Damaged;
    p.width = static_cast<int>(info.width);
    p.height = static_cast<int>(info.height);
    p.logStrips = static_cast<int>((flags >> 2) & 3);
    p.refCorner = static_cast<int>((flags >> 4) & 3);
    p.transposed = (flags & 0x40) != 0;
    p.combination = static_cast<ComboOp>((flags >> 7) & 3);
    p.defaultPixel = static_cast<int>((flags >> 9) & 1);
    const int offset = static_cast<int>((flags >> 10) & 0x1F);
    p.dsOffset = offset >= 16 ? offset - 32 : offset;
    p.instances = instances;
    const Dictionary* last;
    const std::vector<Symbol> symbols = ReferredSymbols(h, &last);
    if (!budget_.Spend(int64_t{p.width} * p.height + static_cast<int64_t>(symbols.size())))
        return Outcome::Damaged;
    MqDecoder mq(data + in.Pos(), size - in.Pos());
    Bitmap region;
    if (!DecodeTextRegion(mq, p, symbols, kMaxPixels, &budget_, &region))
        return Outcome::Damaged;
    Place(region, info);
    return Outcome::Continue;
}

}  // namespace

bool Jbig2Decode(const uint8_t* data, size_t size, const uint8_t* globals, size_t globalsSize, int width, int height,
                 std::string* out)
{
    if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxPixels)
        return false;
    PageDecoder decoder(kWorkPerPixel * width * height + kBaseWork);
    if (globals && globalsSize > 0 && decoder.Run(globals, globalsSize) == PageDecoder::Outcome::Unsupported)
        return false;
    const PageDecoder::Outcome outcome = decoder.Run(data, size);
    if (outcome == PageDecoder::Outcome::Unsupported || !decoder.HasPage())
        return false;
    // PDF reads the samples as a 1-bit grey image: 0 is black, the opposite of JBIG2.
    const Bitmap& page = decoder.Page();
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    const size_t copyBytes = std::min(rowBytes, page.Stride());
    out->assign(rowBytes * static_cast<size_t>(height), '\xFF');
    const int rows = std::min(height, page.Height());
    for (int y = 0; y < rows; ++y) {
        const uint8_t* src = page.Row(y);
        char* dst = &(*out)[static_cast<size_t>(y) * rowBytes];
        for (size_t i = 0; i < copyBytes; ++i)
            dst[i] = static_cast<char>(~src[i]);
        if (page.Width() < width && page.Width() % 8 != 0)
            dst[page.Width() / 8] = static_cast<char>(dst[page.Width() / 8] | (0xFF >> (page.Width() % 8)));
    }
    return true;
}

}  // namespace halvane
