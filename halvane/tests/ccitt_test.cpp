#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fax_encoder.h"
#include "halvane/filters/ccitt_codes.h"
#include "halvane/filters/filters.h"
#include "test_paths.h"

namespace halvane {
namespace {

using testing::Bits;
using testing::FaxCoding;
using testing::FaxEncoder;
using testing::PackedRows;
using testing::Picture;

bool Decode(const CcittParams& params, const std::string& data, std::string* out, size_t maxOutput = 1u << 24)
{
    out->clear();
    return CcittFaxDecode(params, reinterpret_cast<const uint8_t*>(data.data()), data.size(), maxOutput, out);
}

CcittParams ParamsFor(const FaxCoding& coding, int columns)
{
    CcittParams p;
    p.k = coding.k;
    p.endOfLine = coding.endOfLine;
    p.encodedByteAlign = coding.byteAlign;
    p.columns = columns;
    return p;
}

// Black at the row's start and end, runs shifting by one to three columns (vertical modes), black
// runs ending above white (pass mode) and far-apart changes (horizontal mode).
const Picture kDrawing = {
    "........................", "..####..........#.......", "..####.........###......", "#.....##......#####....#",
    "#......##....#######...#", "........##..............", "###.###..##.....########", "........................",
};

// Runs longer than 2560 (repeated extended make-up codes), and make-up codes of both colours.
Picture WideRows()
{
    return {
        std::string(5130, '.') + std::string(70, '#'),
        std::string(1800, '#') + std::string(3400, '.'),
        std::string(64, '.') + std::string(2000, '#') + std::string(3136, '.'),
    };
}

TEST(CcittFax, DecodesEveryCodingOfAPicture)
{
    struct Case {
        const char* what;
        FaxCoding coding;
    } cases[] = {
        {"Group 3, one-dimensional", {0, false, false, true, {}}},
        {"Group 3, one-dimensional, end-of-line codes", {0, true, false, true, {}}},
        {"Group 3, one-dimensional, rows padded to bytes", {0, false, true, false, {}}},
        {"Group 3, one-dimensional, end-of-line codes ending on byte boundaries", {0, true, true, true, {}}},
        {"Group 3, two-dimensional (K 2)", {2, true, false, true, {}}},
        {"Group 3, two-dimensional (K 4), no return-to-control", {4, true, false, false, {}}},
        {"Group 3, two-dimensional without end-of-line codes", {3, false, false, false, {}}},
        {"Group 4", {-1, false, false, true, {}}},
        {"Group 4, rows padded to bytes", {-1, false, true, true, {}}},
        {"Group 4, no end-of-facsimile-block", {-1, false, false, false, {}}},
    };
    for (const Picture& picture : {kDrawing, WideRows()}) {
        for (const Case& c : cases) {
            const std::string data = FaxEncoder::Encode(picture, c.coding);
            std::string out;
            EXPECT_TRUE(Decode(ParamsFor(c.coding, static_cast<int>(picture[0].size())), data, &out)) << c.what;
            EXPECT_EQ(out, PackedRows(picture)) << c.what << ", " << picture[0].size() << " columns";
        }
    }
}

std::string ReadTestFile(const std::string& name)
{
    std::ifstream in(TestSourcePath("halvane/tests/data/ccitt/" + name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CcittFax, DecodesScansWrittenByAnIndependentEncoder)
{
    // A 301 x 150 crop of a scanned page (scan.pbm, 1 is black) written by a TIFF fax encoder:
    // one-dimensional with end-of-line codes ending on byte boundaries, and Group 4.
    const std::string pbm = ReadTestFile("scan.pbm");
    const std::string header = "P4\n301 150\n";
    ASSERT_EQ(pbm.compare(0, header.size(), header), 0);
    std::string expected = pbm.substr(header.size());
    ASSERT_EQ(expected.size(), 38u * 150);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<char>(~expected[i] | (i % 38 == 37 ? 0x07 : 0));  // 0 black, white padding

    CcittParams g3;
    g3.columns = 301;
    g3.rows = 150;
    g3.endOfLine = true;
    g3.encodedByteAlign = true;
    CcittParams g4 = g3;
    g4.k = -1;
    g4.endOfLine = false;
    g4.encodedByteAlign = false;
    std::string out;
    EXPECT_TRUE(Decode(g3, ReadTestFile("scan-g3.bin"), &out));
    EXPECT_TRUE(out == expected) << "Group 3";
    EXPECT_TRUE(Decode(g4, ReadTestFile("scan-g4.bin"), &out));
    EXPECT_TRUE(out == expected) << "Group 4";
}

TEST(CcittFax, ParametersShapeTheRows)
{
    // Code words from T.4: white 2 = 0111, black 3 = 10, white 3 = 1000, white 0 = 00110101,
    // black 10 = 0000100, white 10 = 00111; modes V0 = 1, VR1 = 011, H = 001.
    const std::string row1D = "0111 10 1000";  // ..###...
    const std::string eol = "000000000001";
    struct Case {
        const char* what;
        int k, columns, rows;
        bool endOfLine, byteAlign, blackIs1;
        std::string bits;
        bool ok;
        std::string expected;
    } cases[] = {
        {"one row", 0, 8, 0, false, false, false, row1D, true, "\xC7"},
        {"black is 1", 0, 8, 0, false, false, true, row1D, true, "\x38"},
        {"columns padded with white", 0, 10, 0, false, false, false, "00110101 0000100 00111", true,
         std::string("\x00\x3F\xFF\xFF", 4)},
        {"missing rows are white", 0, 8, 3, false, false, false, row1D, true, "\xC7\xFF\xFF"},
        {"rows beyond Rows are ignored", 0, 8, 1, false, false, false, row1D + row1D, true, "\xC7"},
        {"rows padded to bytes", 0, 8, 0, false, true, false, row1D + "000000" + row1D, true, "\xC7\xC7"},
        {"end-of-line codes accepted when not announced", 0, 8, 0, false, false, false, eol + row1D + eol + row1D, true,
         "\xC7\xC7"},
        {"return-to-control ends the data", 0, 8, 0, true, false, false, eol + row1D + eol + eol + row1D, true, "\xC7"},
        {"tag bits choose the coding", 1, 8, 0, true, false, false, eol + "1" + row1D + eol + "0" + "011 011 1", true,
         "\xC7\xE3"},
        {"Group 4: each V0 on a white reference is a white row", -1, 8, 0, false, false, false, "11111111", true,
         std::string(8, '\xFF')},
        {"Group 4: horizontal, then vertical modes", -1, 8, 0, false, false, false,
         "001 0111 10 1"
         "111"
         "011 011 1" +
             eol + eol + "111",
         true, "\xC7\xC7\xE3"},
        {"no columns", -1, 0, 0, false, false, false, "1", false, ""},
        {"negative columns", -1, -8, 0, false, false, false, "1", false, ""},
        {"absurdly wide rows", -1, 1 << 20, 0, false, false, false, "1", false, ""},
        {"nothing decodable", 0, 8, 0, false, false, false, "00000000 00000000", false, ""},
    };
    for (const Case& c : cases) {
        CcittParams p;
        p.k = c.k;
        p.columns = c.columns;
        p.rows = c.rows;
        p.endOfLine = c.endOfLine;
        p.encodedByteAlign = c.byteAlign;
        p.blackIs1 = c.blackIs1;
        std::string out;
        EXPECT_EQ(Decode(p, Bits(c.bits), &out), c.ok) << c.what;
        if (c.ok)
            EXPECT_EQ(out, c.expected) << c.what;
    }
}

TEST(CcittFax, DamagedRowsEndDecodingOrAreReplaced)
{
    const Picture picture = {
        "################", "#..............#", "#.####....####.#",
        "#.#..#....#..#.#", "#.####....####.#", "################",
    };
    const std::string white(16, '.');
    const Picture& p = picture;
    struct Case {
        const char* what;
        FaxCoding coding;
        int damagedRowsBeforeError;
        Picture expected;
    } cases[] = {
        {"Group 4: the rest is white", {-1, false, false, true, {3}}, 0, {p[0], p[1], p[2], white, white, white}},
        {"Group 3 without end-of-line codes cannot skip a row",
         {0, false, false, true, {2}},
         5,
         {p[0], p[1], white, white, white, white}},
        {"no damage tolerated", {0, true, false, true, {2}}, 0, {p[0], p[1], white, white, white, white}},
        {"a damaged row shows the row above", {0, true, false, true, {2}}, 1, {p[0], p[1], p[1], p[3], p[4], p[5]}},
        {"a second damaged row in a row is white",
         {0, true, false, true, {2, 3}},
         2,
         {p[0], p[1], p[1], white, p[4], p[5]}},
        {"more damage than tolerated", {0, true, false, true, {2, 4}}, 1, {p[0], p[1], p[1], p[3], white, white}},
        {"two-dimensional rows resume at a one-dimensional row",
         {2, true, false, true, {3}},
         1,
         {p[0], p[1], p[2], p[2], p[4], p[5]}},
    };
    for (const Case& c : cases) {
        CcittParams params = ParamsFor(c.coding, 16);
        params.rows = 6;
        params.damagedRowsBeforeError = c.damagedRowsBeforeError;
        std::string out;
        EXPECT_TRUE(Decode(params, FaxEncoder::Encode(picture, c.coding), &out)) << c.what;
        EXPECT_EQ(out, PackedRows(c.expected)) << c.what;
    }

    // A damaged first row leaves nothing to show; a cut stream keeps the rows it holds.
    std::string out;
    FaxCoding g4;
    g4.damagedRows = {0};
    EXPECT_FALSE(Decode(ParamsFor(g4, 16), FaxEncoder::Encode(picture, g4), &out));
    const std::string whole = FaxEncoder::Encode(picture, FaxCoding());
    EXPECT_TRUE(Decode(ParamsFor(FaxCoding(), 16), whole.substr(0, whole.size() / 2), &out));
    EXPECT_GT(out.size(), 0u);
    EXPECT_LT(out.size(), PackedRows(picture).size());
    EXPECT_EQ(out, PackedRows(picture).substr(0, out.size()));
}

TEST(CcittFax, OutputIsBounded)
{
    CcittParams p;
    p.k = -1;
    std::string out;
    // One bit per white 1728-pixel row: 200 KB would expand to 345 MB.
    EXPECT_FALSE(Decode(p, std::string(200000, '\xFF'), &out, 1u << 20));
    EXPECT_LE(out.size(), 1u << 20);
    // A row count far beyond the data is filled with white only up to the limit.
    p.rows = INT_MAX;
    EXPECT_FALSE(Decode(p, Bits("1"), &out, 1u << 20));
    EXPECT_LE(out.size(), 1u << 20);
    // A megabyte of fill with no code in it ends at once.
    p.k = 0;
    p.rows = 0;
    p.endOfLine = true;
    p.damagedRowsBeforeError = 1000;
    EXPECT_FALSE(Decode(p, std::string(1u << 20, '\0'), &out));
}

TEST(CcittFax, CodeTablesArePrefixFreeAndComplete)
{
    // Every run length has one code per colour, no code is the start of another, and together
    // with the end-of-line prefix (eight 0 bits) the codes cover every bit sequence (Kraft sum 1).
    for (const CcittRunCodes table : {CcittWhiteRunCodes(), CcittBlackRunCodes()}) {
        std::vector<int> seen(2561, 0);
        double kraft = 1.0 / 256;
        for (size_t i = 0; i < table.count; ++i) {
            const std::string code = table.codes[i].bits;
            const int run = table.codes[i].run;
            ASSERT_TRUE(run < 64 || run % 64 == 0) << code;
            ++seen[static_cast<size_t>(run)];
            kraft += 1.0 / static_cast<double>(1u << code.size());
            for (size_t j = 0; j < table.count; ++j)
                EXPECT_TRUE(i == j || std::string(table.codes[j].bits).rfind(code, 0) != 0) << code;
        }
        for (int run = 0; run <= 2560; ++run)
            EXPECT_EQ(seen[static_cast<size_t>(run)], run < 64 || run % 64 == 0 ? 1 : 0) << run;
        EXPECT_DOUBLE_EQ(kraft, 1.0);
    }
}

}  // namespace
}  // namespace halvane
