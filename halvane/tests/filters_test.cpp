#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "halvane/filters/filter_chain.h"
#include "halvane/filters/filters.h"

namespace halvane {
namespace {

const uint8_t* U8(const std::string& s)
{
    return reinterpret_cast<const uint8_t*>(s.data());
}

std::string Deflate(const std::string& in)
{
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, U8(in), static_cast<uLong>(in.size()), 9);
    out.resize(size);
    return out;
}

TEST(Filters, DecodeKnownInputs)
{
    std::string out;
    ASSERT_TRUE(Ascii85Decode(U8(std::string("<~87cURD_*#-6q/;CDfTZ)+T~>")), 26, 1000, &out));
    EXPECT_EQ(out, "Hello, PDF world!");
    out.clear();
    ASSERT_TRUE(Ascii85Decode(U8(std::string("z~>")), 3, 1000, &out));
    EXPECT_EQ(out, std::string(4, '\0'));
    out.clear();
    ASSERT_TRUE(AsciiHexDecode(U8(std::string("48 65\n6C6c 6F7>")), 16, 1000, &out));
    EXPECT_EQ(out, "Hellop");
    out.clear();
    const std::string rle("\x02"
                          "abc"
                          "\xFE"
                          "x"
                          "\x80",
                          7);
    ASSERT_TRUE(RunLengthDecode(U8(rle), rle.size(), 1000, &out));
    EXPECT_EQ(out, "abcxxx");
    out.clear();
    // The example of ISO 32000-1, 7.4.4.2.
    const std::string lzw("\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01", 9);
    ASSERT_TRUE(LzwDecode(U8(lzw), lzw.size(), true, 1000, &out));
    EXPECT_EQ(out, "-----A---B");
}

TEST(Filters, FlateKeepsWhatATruncatedStreamHolds)
{
    const std::string text(5000, 'q');
    const std::string packed = Deflate(text);
    std::string out;
    ASSERT_TRUE(FlateDecode(U8(packed), packed.size(), 1u << 20, &out));
    EXPECT_EQ(out, text);
    out.clear();
    std::string varied;
    for (int i = 0; i < 20000; ++i)
        varied += std::to_string(i * 7919 % 10007) + " ";
    const std::string packed2 = Deflate(varied);
    const std::string cut = packed2.substr(0, packed2.size() / 2);
    EXPECT_TRUE(FlateDecode(U8(cut), cut.size(), 1u << 20, &out));
    ASSERT_GT(out.size(), 1000u);
    EXPECT_EQ(out, varied.substr(0, out.size()));
}

TEST(Filters, OutputIsBounded)
{
    // A small stream that inflates to 64 MB must stop at the limit instead of filling memory.
    const std::string bomb = Deflate(std::string(64u << 20, '\0'));
    std::string out;
    EXPECT_FALSE(FlateDecode(U8(bomb), bomb.size(), 1u << 20, &out));
    EXPECT_LE(out.size(), 1u << 20);
    std::string rle;
    for (int i = 0; i < 10000; ++i)
        rle += "\x81z";
    out.clear();
    EXPECT_FALSE(RunLengthDecode(U8(rle), rle.size(), 1000, &out));
    EXPECT_LE(out.size(), 1000u);
    // The last, partial group of ASCII85 data counts against the limit too.
    const std::string a85 = "zz87c~>";
    out.clear();
    EXPECT_FALSE(Ascii85Decode(U8(a85), a85.size(), 8, &out));
    EXPECT_LE(out.size(), 8u);
}

TEST(Filters, PredictorsRestoreRows)
{
    // PNG "Up" rows of 3 bytes: the second row repeats the first.
    std::string png("\x02\x01\x02\x03\x02\x00\x00\x00", 8);
    PredictorParams p;
    p.predictor = 12;
    p.columns = 3;
    ASSERT_TRUE(UndoPredictor(p, &png));
    EXPECT_EQ(png, std::string("\x01\x02\x03\x01\x02\x03", 6));
    // TIFF predictor 2 on 8-bit grey: each sample adds its left neighbour.
    std::string tiff("\x05\x01\x01\x01", 4);
    p.predictor = 2;
    p.columns = 4;
    ASSERT_TRUE(UndoPredictor(p, &tiff));
    EXPECT_EQ(tiff, std::string("\x05\x06\x07\x08", 4));
    p.columns = 0;
    EXPECT_FALSE(UndoPredictor(p, &tiff));
}

TEST(FilterChain, AppliesFiltersInOrderAndStopsAtImageCodecs)
{
    const std::string data = Deflate("BT /F1 12 Tf ET");
    std::string hex;
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned char c : data) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    hex += ">";
    ResolveFn direct = [](const Object& o) -> const Object& { return o; };
    const Object chain = Object::MakeArray({Object::MakeName("AHx"), Object::MakeName("FlateDecode")});
    DecodedData out;
    ASSERT_TRUE(DecodeFilters(U8(hex), hex.size(), chain, Object(), direct, 1u << 20, &out));
    EXPECT_EQ(out.bytes, "BT /F1 12 Tf ET");
    EXPECT_TRUE(out.imageCodec.empty());

    const Object jpeg = Object::MakeName("DCTDecode");
    ASSERT_TRUE(DecodeFilters(U8(std::string("\xFF\xD8")), 2, jpeg, Object(), direct, 100, &out));
    EXPECT_EQ(out.imageCodec, "DCTDecode");
    EXPECT_EQ(out.bytes, "\xFF\xD8");

    EXPECT_FALSE(DecodeFilters(U8(hex), hex.size(), Object::MakeName("NoSuchDecode"), Object(), direct, 100, &out));
}

}  // namespace
}  // namespace halvane
