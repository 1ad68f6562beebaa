#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "halvane/filters/filters.h"
#include "halvane/filters/jbig2_arith.h"
#include "fax_encoder.h"
#include "jbig2_test_encoder.h"
#include "pdf_builder.h"
#include "png_reader.h"
#include "halvane/face/pdf_doc.h"

namespace halvane {
namespace {

using namespace testing;

// The arithmetic coder test sequence of T.88 (H.2): 256 decisions in one context.
const uint8_t kTestEncoded[] = {0x84, 0xC7, 0x3B, 0xFC, 0xE1, 0xA1, 0x43, 0x04, 0x02, 0x20,
                                0x00, 0x00, 0x41, 0x0D, 0xBB, 0x86, 0xF4, 0x31, 0x7F, 0xFF,
                                0x88, 0xFF, 0x37, 0x47, 0x1A, 0xDB, 0x6A, 0xDF, 0xFF, 0xAC};
const uint8_t kTestDecoded[] = {0x00, 0x02, 0x00, 0x51, 0x00, 0x00, 0x00, 0xC0, 0x03, 0x52, 0x87,
                                0x2A, 0xAA, 0xAA, 0xAA, 0xAA, 0x82, 0xC0, 0x20, 0x00, 0xFC, 0xD7,
                                0x9E, 0xF6, 0xBF, 0x7F, 0xED, 0x90, 0x4F, 0x46, 0xA3, 0xBF};

TEST(Jbig2Arith, DecodesTheStandardTestSequence)
{
    jbig2::MqDecoder mq(kTestEncoded, sizeof kTestEncoded);
    jbig2::MqContext cx = 0;
    for (uint8_t expected : kTestDecoded) {
        int byte = 0;
        for (int i = 0; i < 8; ++i)
            byte = byte << 1 | mq.Decode(&cx);
        EXPECT_EQ(byte, expected);
    }
}

TEST(Jbig2Arith, TestEncoderReproducesTheStandardTestSequence)
{
    // The encoder the other tests build their streams with.
    MqEncoder mq;
    uint8_t cx = 0;
    for (uint8_t byte : kTestDecoded)
        for (int i = 7; i >= 0; --i)
            mq.Encode(&cx, (byte >> i) & 1);
    EXPECT_EQ(mq.Finish(), std::string(reinterpret_cast<const char*>(kTestEncoded), sizeof kTestEncoded));
}

TEST(Jbig2Arith, IntegersRoundTripAcrossEveryRangeAndOutOfBand)
{
    const std::vector<int64_t> values = {0, 1, -1, 3, -4, 19, 20, -83, 84, 339, -340, 4435, 4436, 100000, -4294967295};
    MqEncoder enc;
    IntegerEncoder ie;
    for (int64_t v : values)
        ie.Encode(enc, v);
    ie.EncodeOob(enc);
    const std::string coded = enc.Finish();
    jbig2::MqDecoder mq(reinterpret_cast<const uint8_t*>(coded.data()), coded.size());
    jbig2::IntegerDecoder id;
    for (int64_t v : values) {
        int64_t got = 12345;
        ASSERT_TRUE(id.Decode(mq, &got));
        EXPECT_EQ(got, v);
    }
    int64_t got;
    EXPECT_FALSE(id.Decode(mq, &got));
}

// Decodes a page stream to rows of '#' and '.' of the given size.
bool DecodePage(const std::string& data, int width, int height, std::vector<std::string>* rows,
                const std::string& globals = "")
{
    std::string samples;
    if (!Jbig2Decode(reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                     reinterpret_cast<const uint8_t*>(globals.data()), globals.size(), width, height, &samples))
        return false;
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    EXPECT_EQ(samples.size(), rowBytes * static_cast<size_t>(height));
    rows->clear();
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint8_t b = static_cast<uint8_t>(samples[static_cast<size_t>(y) * rowBytes + x / 8]);
            row.push_back(((b >> (7 - x % 8)) & 1) ? '.' : '#');  // 0 is black in PDF's samples
        }
        rows->push_back(row);
    }
    return true;
}

const TestBitmap kPicture = {{
    "........................................",
    "........................................",
    "..####.....##..........#.#.#.#.#.#......",
    ".#....#...#..#.........................#",
    ".#....#...#..#.........#.#.#.#.#.#......",
    ".#....#...#..#..........................",
    "..####.....##.....#################.....",
    "..####.....##.....#################.....",
    "..####.....##.....#################.....",
    "........................................",
    "#......................................#",
    "##....................................##",
    "###.##.##.##.##.##.##.##.##.##.##.##.###",
}};

std::string OnePageStream(const std::string& regionData, const TestBitmap& page, int regionType = 38, int pageFlags = 0)
{
    return Segment(0, 48,
                   PageInfo(static_cast<uint32_t>(page.Width()), static_cast<uint32_t>(page.Height()), pageFlags)) +
           Segment(1, regionType, regionData) + Segment(2, 49, "");
}

TEST(Jbig2Generic, EveryTemplateWithAndWithoutTypicalPrediction)
{
    struct Case {
        int templateId;
        bool typical;
        std::vector<int> at;
    };
    const Case cases[] = {
        {0, false, {3, -1, -3, -1, 2, -2, -2, -2}},
        {0, true, {3, -1, -3, -1, 2, -2, -2, -2}},
        {0, true, {-5, 0, 7, -1, -20, -2, 1, -6}},  // adaptive pixels away from their nominal places
        {1, false, {3, -1}},
        {1, true, {3, -1}},
        {2, false, {2, -1}},
        {2, true, {-3, 0}},
        {3, false, {2, -1}},
        {3, true, {2, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "template " << c.templateId << " typical " << c.typical);
        GenericOptions o;
        o.templateId = c.templateId;
        o.typicalPrediction = c.typical;
        for (size_t i = 0; i < c.at.size(); ++i)
            o.at[i] = c.at[i];
        std::vector<std::string> rows;
        ASSERT_TRUE(DecodePage(OnePageStream(GenericRegionData(kPicture, 0, 0, o), kPicture), kPicture.Width(),
                               kPicture.Height(), &rows));
        EXPECT_EQ(rows, kPicture.rows);
    }
}

TEST(Jbig2Page, RegionsCombineWithThePageByTheirOperator)
{
    // A 6x3 page of default pixel 0 or 1; the region at (3, 2) is clipped to "##." on the last row.
    const TestBitmap region = {{"##..", "#.#."}};
    struct Case {
        int op;
        int defaultPixel;
        std::string lastRow;
    };
    const Case cases[] = {
        {0, 0, "...##."},  // OR
        {1, 1, "#####."},  // AND
        {2, 1, "###..#"},  // XOR
        {3, 0, ".....#"},  // XNOR
        {4, 1, "#####."},  // REPLACE
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        const std::string stream = Segment(0, 48, PageInfo(6, 3, c.defaultPixel << 2)) +
                                   Segment(1, 38, GenericRegionData(region, 3, 2, GenericOptions(), c.op));
        std::vector<std::string> rows;
        ASSERT_TRUE(DecodePage(stream, 6, 3, &rows));
        const std::string blank(6, c.defaultPixel ? '#' : '.');
        EXPECT_EQ(rows, (std::vector<std::string>{blank, blank, c.lastRow}));
    }
}

TEST(Jbig2Page, StripedPageOfUnknownHeightGrowsWithItsStripes)
{
    const TestBitmap top = {{"#..#", ".##."}};
    const TestBitmap bottom = {{"####"}};
    // Height unknown, striped with stripes of at most 2 rows; the page ends after row 4.
    const std::string stream = Segment(0, 48, PageInfo(4, 0xFFFFFFFF, 0, 0x8002)) +
                               Segment(1, 38, GenericRegionData(top, 0, 0, GenericOptions())) +
                               Segment(2, 50, std::string("\0\0\0\1", 4)) +
                               Segment(3, 38, GenericRegionData(bottom, 0, 3, GenericOptions())) +
                               Segment(4, 50, std::string("\0\0\0\4", 4)) + Segment(5, 49, "");
    std::vector<std::string> rows;
    // Asked for more rows than the page has: the rest is white.
    ASSERT_TRUE(DecodePage(stream, 4, 7, &rows));
    EXPECT_EQ(rows, (std::vector<std::string>{"#..#", ".##.", "....", "####", "....", "....", "...."}));
}

TEST(Jbig2Page, ImmediateRegionOfUnknownLengthEndsAtItsMarkerAndRowCount)
{
    GenericOptions o;
    o.typicalPrediction = true;
    std::string data = GenericRegionData(kPicture, 0, 0, o);
    // The region information may state more rows than are coded: the row count says how many.
    data[7] = 99;
    std::string rowCount;
    PutU32(&rowCount, static_cast<uint32_t>(kPicture.Height()));
    const TestBitmap mark = {{"#"}};
    const std::string stream = Segment(0, 48, PageInfo(40, 14)) + Segment(1, 38, data + rowCount, {}, 1, 0xFFFFFFFF) +
                               Segment(2, 38, GenericRegionData(mark, 39, 13, GenericOptions())) + Segment(3, 49, "");
    std::vector<std::string> rows;
    ASSERT_TRUE(DecodePage(stream, 40, 14, &rows));
    std::vector<std::string> expected = kPicture.rows;
    expected.push_back(std::string(39, '.') + "#");
    EXPECT_EQ(rows, expected);
}

const std::vector<TestBitmap> kSymbols = {
    {{"###", "#.#", "###"}},  // 0: o
    {{".#.", "##.", ".#.", "###"}},  // 1: 1
    {{"#", "#", "#", "#"}},  // 2: l
    {{"#..#", ".##.", "#..#"}},  // 3: x
};

// The page a text region with these instances should make: symbols drawn at their top left.
std::vector<std::string> Expected(int width, int height, const std::vector<TextInstance>& instances)
{
    TestBitmap page;
    page.rows.assign(static_cast<size_t>(height), std::string(static_cast<size_t>(width), '.'));
    for (const TextInstance& in : instances)
        DrawOr(&page, kSymbols[static_cast<size_t>(in.symbol)], in.x, in.y);
    return page.rows;
}

TEST(Jbig2Text, SymbolsFromTheGlobalsArePlacedByEveryCornerAndDirection)
{
    // Symbols in height order for the dictionary: 3 high (0, 3) then 4 high (1, 2).
    const std::vector<TestBitmap> dictOrder = {kSymbols[0], kSymbols[3], kSymbols[1], kSymbols[2]};
    const std::vector<TestBitmap> symbolsById = dictOrder;
    const std::string globals = Segment(7, 0, SymbolDictionaryData(dictOrder), {}, 0);
    // Two lines of text; ids index dictOrder. One instance reaches past the region's right edge.
    const std::vector<TextInstance> instances = {{0, 1, 1}, {3, 5, 0}, {2, 7, 1}, {1, 10, 1},
                                                 {2, 2, 7}, {0, 4, 8}, {1, 15, 6}};
    struct Case {
        int refCorner;
        bool transposed;
        int logStrips;
        int dsOffset;
    };
    const Case cases[] = {{1, false, 0, 0}, {0, false, 0, 2}, {2, false, 1, -3}, {3, false, 2, 0},
                          {1, true, 0, 0},  {0, true, 1, 1},  {2, true, 0, 0},   {3, true, 2, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "corner " << c.refCorner << " transposed " << c.transposed);
        TextOptions o;
        o.refCorner = c.refCorner;
        o.transposed = c.transposed;
        o.logStrips = c.logStrips;
        o.dsOffset = c.dsOffset;
        // Instances are coded strip by strip; a transposed region's strips are columns.
        std::vector<TextInstance> ordered = instances;
        const int strips = 1 << c.logStrips;
        std::stable_sort(ordered.begin(), ordered.end(), [&](const TextInstance& a, const TextInstance& b) {
            const TestBitmap& sa = symbolsById[static_cast<size_t>(a.symbol)];
            const TestBitmap& sb = symbolsById[static_cast<size_t>(b.symbol)];
            const bool right = c.refCorner >= 2, bottom = c.refCorner % 2 == 0;
            auto tOf = [&](const TextInstance& i, const TestBitmap& s) {
                const int t =
                    c.transposed ? (right ? i.x + s.Width() - 1 : i.x) : (bottom ? i.y + s.Height() - 1 : i.y);
                return (t + 64) / strips;
            };
            auto sOf = [&](const TextInstance& i) { return c.transposed ? i.y : i.x; };
            return tOf(a, sa) != tOf(b, sb) ? tOf(a, sa) < tOf(b, sb) : sOf(a) < sOf(b);
        });
        const std::string page = Segment(0, 48, PageInfo(16, 12)) +
                                 Segment(1, 6, TextRegionData(16, 12, 0, 0, symbolsById, ordered, o), {7}) +
                                 Segment(2, 49, "");
        std::vector<std::string> rows;
        ASSERT_TRUE(DecodePage(page, 16, 12, &rows, globals));
        std::vector<TextInstance> drawn = instances;
        for (TextInstance& i : drawn)
            i.symbol =
                static_cast<int>(std::find_if(kSymbols.begin(), kSymbols.end(),
                                              [&](const TestBitmap& s) {
                                                  return s.rows == symbolsById[static_cast<size_t>(i.symbol)].rows;
                                              }) -
                                 kSymbols.begin());
        EXPECT_EQ(rows, Expected(16, 12, drawn));
    }
}

TEST(Jbig2Segments, LongHeaderFormsAndIgnoredSegmentTypes)
{
    // Segment numbers past 256 and 65536 name their referred-to segments in 2 and 4 bytes; more
    // than four referred-to segments take the long count form; page 300 takes a 4-byte field.
    const std::string dictA = Segment(300, 0, SymbolDictionaryData({kSymbols[0]}), {}, 300);
    const std::string dictB = Segment(70000, 0, SymbolDictionaryData({kSymbols[3]}), {}, 300);
    TextOptions o;
    const std::string text = TextRegionData(8, 4, 0, 0, {kSymbols[0], kSymbols[3]}, {{0, 0, 0}, {1, 4, 0}}, o);
    const std::string stream = Segment(1, 48, PageInfo(8, 4), {}, 300) + Segment(2, 52, "profile data") +
                               Segment(3, 62, "extension") + Segment(4, 53, "table") + dictA + dictB +
                               Segment(70001, 6, text, {1, 2, 300, 3, 4, 70000}, 300) + Segment(70002, 51, "") +
                               Segment(70003, 38, "never read");
    std::vector<std::string> rows;
    ASSERT_TRUE(DecodePage(stream, 8, 4, &rows));
    EXPECT_EQ(rows, (std::vector<std::string>{"###.#..#", "#.#..##.", "###.#..#", "........"}));
}

TEST(Jbig2Generic, MmrRegionsAreGroup4FaxData)
{
    // The region's data is the picture in Group 4 fax coding, placed at (0, 0) of a page of its size.
    const std::string region =
        RegionInfo(static_cast<uint32_t>(kPicture.Width()), static_cast<uint32_t>(kPicture.Height()), 0, 0) +
        std::string(1, '\x01') +  // MMR coding
        testing::FaxEncoder::Encode(kPicture.rows, testing::FaxCoding());
    std::vector<std::string> rows;
    ASSERT_TRUE(DecodePage(OnePageStream(region, kPicture), kPicture.Width(), kPicture.Height(), &rows));
    EXPECT_EQ(rows, kPicture.rows);
    // A region of unknown length cannot be delimited in this coding: the image is refused.
    const std::string unknownLength =
        Segment(0, 48, PageInfo(static_cast<uint32_t>(kPicture.Width()), static_cast<uint32_t>(kPicture.Height()))) +
        Segment(1, 38, region + std::string("\0\0", 2) + std::string("\0\0\0\x0D", 4), {}, 1, 0xFFFFFFFF);
    EXPECT_FALSE(DecodePage(unknownLength, kPicture.Width(), kPicture.Height(), &rows));
}

TEST(Jbig2Segments, ImagesUsingUndecodedCodingAreRefused)
{
    const std::string page = Segment(0, 48, PageInfo(8, 8));
    std::string huffmanText = TextRegionData(8, 8, 0, 0, {kSymbols[0]}, {{0, 0, 0}}, TextOptions());
    huffmanText[18] = 1;  // SBHUFF
    std::string refinedDict = SymbolDictionaryData({kSymbols[0]});
    refinedDict[1] = 2;  // SDREFAGG
    const std::string refinement(30, '\0');
    const std::vector<std::string> streams = {
        page + Segment(1, 0, SymbolDictionaryData({kSymbols[0]})) + Segment(2, 6, huffmanText, {1}),
        page + Segment(1, 0, refinedDict),
        page + Segment(1, 42, refinement),
        page + Segment(1, 16, refinement) + Segment(2, 22, refinement, {1}),
        Segment(1, 38, GenericRegionData(kSymbols[0], 0, 0, GenericOptions())),  // no page
    };
    for (size_t i = 0; i < streams.size(); ++i) {
        std::vector<std::string> rows;
        EXPECT_FALSE(DecodePage(streams[i], 8, 8, &rows)) << i;
    }
}

TEST(Jbig2Segments, DamagedStreamsNeverReadOutOfBoundsAndKeepWhatDecoded)
{
    GenericOptions o;
    o.typicalPrediction = true;
    const std::string globals = Segment(7, 0, SymbolDictionaryData(kSymbols), {}, 0);
    const std::string stream =
        OnePageStream(GenericRegionData(kPicture, 0, 0, o), kPicture) +
        Segment(3, 6, TextRegionData(40, 13, 0, 0, kSymbols, {{0, 1, 1}, {3, 30, 5}}, TextOptions()), {7});
    std::vector<std::string> rows;
    for (size_t cut = 0; cut < stream.size(); ++cut)
        DecodePage(stream.substr(0, cut), 40, 13, &rows, globals);
    for (size_t cut = 0; cut < globals.size(); ++cut)
        DecodePage(stream, 40, 13, &rows, globals.substr(0, cut));
    for (size_t at = 0; at < stream.size(); ++at) {
        for (int flip : {0x01, 0x80, 0xFF}) {
            std::string damaged = stream;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            DecodePage(damaged, 40, 13, &rows, globals);
        }
    }
    // A region cut short still delivers the page, its missing data decoded from 0xFF fill.
    const std::string whole = OnePageStream(GenericRegionData(kPicture, 0, 0, o), kPicture);
    ASSERT_TRUE(DecodePage(whole.substr(0, whole.size() - 12), 40, 13, &rows));
    EXPECT_EQ(rows[2], kPicture.rows[2]);
    // Empty pages and regions decode to white.
    const TestBitmap empty = {{"", "", ""}};
    for (int pageWidth : {0, 8}) {
        ASSERT_TRUE(DecodePage(Segment(0, 48, PageInfo(static_cast<uint32_t>(pageWidth), 5)) +
                                   Segment(1, 38, GenericRegionData(empty, 1, 1, o)),
                               8, 8, &rows));
        EXPECT_EQ(rows, std::vector<std::string>(8, "........"));
    }
    // Sizes beyond the limits are refused, not allocated.
    EXPECT_FALSE(DecodePage(Segment(0, 48, PageInfo(0x7FFFFFFF, 0x7FFFFFFF)), 8, 8, &rows));
    const std::string huge =
        Segment(0, 48, PageInfo(8, 8)) + Segment(1, 38, RegionInfo(0x40000, 0x40000, 0, 0) + std::string(3, '\0'));
    ASSERT_TRUE(DecodePage(huge, 8, 8, &rows));
    EXPECT_EQ(rows, std::vector<std::string>(8, "........"));
}

// The grey samples of a PNG written by the reader (filter type None, one IDAT chunk).
// The rows of a PNG written by the reader: '#' for dark pixels, '.' for light ones.
std::vector<std::string> PngRows(const std::string& png, int width, int height)
{
    testing::TestPng image;
    if (!testing::ReadTestPng(png, &image) || image.width != width || image.height != height)
        return {};
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row.push_back(image.Pixel(x, y)[0] < 128 ? '#' : '.');
        rows.push_back(row);
    }
    return rows;
}

TEST(Jbig2Pdf, ImagesAndStencilMasksComeOutAsPngWithBlackWhereJbig2HasBlack)
{
    const std::string globals = Segment(1, 0, SymbolDictionaryData(kSymbols), {}, 0);
    const std::string stream =
        Segment(2, 48, PageInfo(16, 12)) +
        Segment(3, 6, TextRegionData(16, 12, 0, 0, kSymbols, {{0, 1, 1}, {3, 5, 0}, {1, 10, 6}}, TextOptions()), {1}) +
        Segment(4, 49, "");
    const std::vector<std::string> expected = Expected(16, 12, {{0, 1, 1}, {3, 5, 0}, {1, 10, 6}});
    for (const char* kind : {"/ColorSpace /DeviceGray /BitsPerComponent 1", "/ImageMask true",
                             "/ColorSpace /DeviceGray /BitsPerComponent 1 /Decode [1 0]"}) {
        SCOPED_TRACE(kind);
        PdfBuilder b;
        b.AddSimplePage("q 160 0 0 120 50 600 cm 0 g /Im1 Do Q");
        b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /XObject << /Im1 6 0 R >> >> "
                 "/Contents 4 0 R >>");
        b.AddStream(6, stream,
                    std::string("/Type /XObject /Subtype /Image /Width 16 /Height 12 ") + kind +
                        " /Filter /JBIG2Decode /DecodeParms << /JBIG2Globals 7 0 R >>");
        b.AddStream(7, globals);
        ExtractOptions options;
        options.images = true;
        std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(b.Build()), options));
        ASSERT_TRUE(doc);
        PageModel model;
        ASSERT_TRUE(doc->ExtractPageModel(1, &model));
        std::string png;
        for (const auto& region : model.regions)
            for (const auto& line : region)
                for (const auto& run : line.runs)
                    if (run.isImage)
                        png = run.imageData;
        ASSERT_FALSE(png.empty());
        std::vector<std::string> want = expected;
        if (std::string(kind).find("[1 0]") != std::string::npos)
            for (auto& row : want)
                for (char& ch : row)
                    ch = ch == '#' ? '.' : '#';
        EXPECT_EQ(PngRows(png, 16, 12), want);
    }
}

}  // namespace
}  // namespace halvane
