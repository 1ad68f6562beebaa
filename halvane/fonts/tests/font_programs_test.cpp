#include "halvane/fonts/font_programs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "halvane/fonts/program_unicode.h"
#include "test_paths.h"

namespace halvane {
namespace {

std::string ReadFixture(const char* name)
{
    std::ifstream in(TestSourcePath(std::string("halvane/fonts/tests/data/") + name), std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutU16(std::string* s, uint32_t v)
{
    s->push_back(static_cast<char>(v >> 8));
    s->push_back(static_cast<char>(v));
}
void PutU32(std::string* s, uint32_t v)
{
    PutU16(s, v >> 16);
    PutU16(s, v & 0xFFFF);
}

// An sfnt with the given tables (tag -> bytes); checksums are not checked by the reader.
std::string BuildSfnt(uint32_t version, const std::map<std::string, std::string>& tables)
{
    std::string out;
    PutU32(&out, version);
    PutU16(&out, static_cast<uint32_t>(tables.size()));
    PutU16(&out, 0);
    PutU16(&out, 0);
    PutU16(&out, 0);
    size_t offset = 12 + 16 * tables.size();
    std::string body;
    for (const auto& [tag, bytes] : tables) {
        out += tag;
        PutU32(&out, 0);
        PutU32(&out, static_cast<uint32_t>(offset + body.size()));
        PutU32(&out, static_cast<uint32_t>(bytes.size()));
        body += bytes;
        while (body.size() % 4)
            body.push_back('\0');
    }
    return out + body;
}

// Every prefix and a spread of single-byte corruptions must parse without a fault.
template <typename Parse> void SurvivesDamage(const std::string& data, Parse parse)
{
    for (size_t n = 0; n < data.size(); n += (n < 256 ? 1 : 7))
        parse(data.substr(0, n));
    for (size_t i = 0; i < data.size(); i += 3) {
        for (uint8_t value : {0x00, 0x7F, 0xFF}) {
            std::string damaged = data;
            damaged[i] = static_cast<char>(value);
            parse(damaged);
        }
    }
}

TEST(Type1Encoding, CustomEncodingOfEmbeddedSubset)
{
    std::string pfa = ReadFixture("noto-vkana.pfa");
    BuiltInEncoding enc;
    ASSERT_TRUE(ParseType1Encoding(pfa, &enc));
    EXPECT_FALSE(enc.standard);
    ASSERT_EQ(enc.names.size(), 256u);
    EXPECT_EQ(enc.names[1], "cid10406");
    EXPECT_EQ(enc.names[4], "cid28275");
    EXPECT_EQ(enc.names[0], "");  // /.notdef from the initial loop
    EXPECT_EQ(enc.names[5], "");

    // The same cleartext in PFB segments.
    size_t eexec = pfa.find("eexec") + 5;
    std::string pfb = "\x80\x01";
    for (int i = 0; i < 4; ++i)
        pfb.push_back(static_cast<char>((eexec >> (8 * i)) & 0xFF));
    pfb += pfa.substr(0, eexec) + "\x80\x02\x04\x00\x00\x00"
                                  "\x01\x02\x03\x04";
    BuiltInEncoding fromPfb;
    ASSERT_TRUE(ParseType1Encoding(pfb, &fromPfb));
    EXPECT_EQ(fromPfb.names, enc.names);
}

TEST(Type1Encoding, StandardRadixAndMissing)
{
    BuiltInEncoding enc;
    ASSERT_TRUE(ParseType1Encoding("/FontName /X def /Encoding StandardEncoding def currentfile eexec", &enc));
    EXPECT_TRUE(enc.standard);
    EXPECT_EQ(enc.names[65], "A");
    ASSERT_TRUE(
        ParseType1Encoding("/Encoding 256 array dup 8#101 /B put dup 300 /C put dup 66 /D put readonly def", &enc));
    EXPECT_FALSE(enc.standard);
    EXPECT_EQ(enc.names[65], "B");
    EXPECT_EQ(enc.names[66], "D");
    // /Encoding only after eexec is encrypted data: not read.
    EXPECT_FALSE(ParseType1Encoding("/FontName /X def currentfile eexec /Encoding StandardEncoding", &enc));
    EXPECT_FALSE(ParseType1Encoding("", &enc));
    EXPECT_FALSE(ParseType1Encoding(std::string("\x80\x01\xFF\xFF\xFF\xFF/Enc", 10), &enc));
    SurvivesDamage(ReadFixture("noto-vkana.pfa"), [](const std::string& d) {
        BuiltInEncoding e;
        ParseType1Encoding(d, &e);
    });
}

TEST(Cff, NameKeyedFontWithOwnEncoding)
{
    CffFont font;
    ASSERT_TRUE(ParseCff(ReadFixture("cmr12.cff"), &font));
    EXPECT_FALSE(font.cidKeyed);
    EXPECT_EQ(font.glyphCount, 14);
    ASSERT_EQ(font.glyphNames.size(), 14u);
    EXPECT_EQ(font.glyphNames[0], ".notdef");
    EXPECT_EQ(font.glyphNames[1], "parenleft");
    EXPECT_EQ(font.glyphNames[4], "zero");
    ASSERT_EQ(font.encoding.names.size(), 256u);
    EXPECT_FALSE(font.encoding.standard);
    EXPECT_EQ(font.encoding.names['('], "parenleft");
    EXPECT_EQ(font.encoding.names['='], "equal");
    EXPECT_EQ(font.encoding.names['A'], "");
    EXPECT_EQ(font.codeToGlyph['('], 1);
    EXPECT_EQ(font.codeToGlyph['A'], -1);
}

TEST(Cff, CidKeyedFont)
{
    CffFont font;
    ASSERT_TRUE(ParseCff(ReadFixture("sourcehan.cff"), &font));
    EXPECT_TRUE(font.cidKeyed);
    EXPECT_EQ(font.registry, "Adobe");
    EXPECT_EQ(font.ordering, "Identity");
    EXPECT_EQ(font.supplement, 0);
    EXPECT_EQ(font.glyphCount, 4);
    ASSERT_EQ(font.glyphCids.size(), 4u);
    EXPECT_EQ(font.glyphCids[1], 431u);
    EXPECT_EQ(font.glyphCids[3], 607u);
    EXPECT_TRUE(font.glyphNames.empty());
}

TEST(Cff, DamagedPrograms)
{
    CffFont font;
    EXPECT_FALSE(ParseCff("", &font));
    EXPECT_FALSE(ParseCff(std::string("\x01\x00\x04\x01", 4), &font));
    EXPECT_FALSE(ParseCff(std::string("\x02\x00\x05\x00\x00", 5), &font));  // CFF2 is not CFF
    for (const char* name : {"cmr12.cff", "sourcehan.cff"}) {
        SurvivesDamage(ReadFixture(name), [](const std::string& d) {
            CffFont f;
            ParseCff(d, &f);
        });
    }
}

TEST(TrueType, EmbeddedSubset)
{
    TrueTypeFont font;
    ASSERT_TRUE(ParseTrueType(ReadFixture("dejavu-serif.ttf"), &font));
    EXPECT_EQ(font.glyphCount, 77);
    EXPECT_EQ(font.unitsPerEm, 2048);
    const TrueTypeCmap* unicode = font.FindCmap(3, 1);
    ASSERT_NE(unicode, nullptr);
    EXPECT_EQ(unicode->format, 4);
    EXPECT_EQ(unicode->Lookup('a'), 68u);
    EXPECT_EQ(unicode->Lookup('b'), 69u);
    EXPECT_EQ(unicode->Lookup('h'), 75u);
    EXPECT_EQ(unicode->Lookup('z'), 0u);
    EXPECT_EQ(unicode->Lookup(0xFFFFFFFF), 0u);
    std::vector<uint32_t> codes = unicode->GlyphCodes(font.glyphCount);
    ASSERT_EQ(codes.size(), 77u);
    EXPECT_EQ(codes[68], uint32_t{'a'});
    EXPECT_EQ(codes[76], uint32_t{'i'});
    EXPECT_EQ(codes[1], 0xFFFFFFFFu);
    EXPECT_NE(font.FindCmap(0, 3), nullptr);
    EXPECT_EQ(font.FindCmap(1, 0), nullptr);
    ASSERT_EQ(font.advanceWidths.size(), 77u);
    EXPECT_EQ(font.advanceWidths[0], 1229);
    EXPECT_EQ(font.advanceWidths[68], 1221);
    EXPECT_TRUE(font.glyphNames.empty());  // post format 3 has no names
    EXPECT_TRUE(font.cff.empty());
}

std::string Maxp(uint32_t glyphs)
{
    std::string t;
    PutU32(&t, 0x00005000);
    PutU16(&t, glyphs);
    return t;
}

TEST(TrueType, CmapFormatsAndPostNames)
{
    // Format 0: code 0x41 -> glyph 1. Format 6: codes 0x100.. -> 2, 0, 3.
    // Format 12: a group starting at the missing glyph, and a group over all of Unicode.
    std::string f0;
    PutU16(&f0, 0);
    PutU16(&f0, 262);
    PutU16(&f0, 0);
    for (int c = 0; c < 256; ++c)
        f0.push_back(c == 0x41 ? 1 : 0);
    std::string f6;
    for (uint32_t v : {6u, 16u, 0u, 0x100u, 3u, 2u, 0u, 3u})
        PutU16(&f6, v);
    std::string f12;
    PutU16(&f12, 12);
    PutU16(&f12, 0);
    PutU32(&f12, 16 + 24);
    PutU32(&f12, 0);
    PutU32(&f12, 2);
    for (uint32_t v : {0x1F600u, 0x1F601u, 0u, 0x20000u, 0x10FFFFu, 3u})
        PutU32(&f12, v);
    std::string cmap;
    PutU16(&cmap, 0);
    PutU16(&cmap, 3);
    uint32_t offset = 4 + 3 * 8;
    for (auto [platform, encoding, table] :
         {std::make_tuple(1u, 0u, &f0), std::make_tuple(3u, 1u, &f6), std::make_tuple(3u, 10u, &f12)}) {
        PutU16(&cmap, platform);
        PutU16(&cmap, encoding);
        PutU32(&cmap, offset);
        offset += static_cast<uint32_t>(table->size());
    }
    cmap += f0 + f6 + f12;

    // post format 2: glyph 0 .notdef, 1 "A" (Macintosh name 36), 2 and 3 own names.
    std::string post;
    PutU32(&post, 0x00020000);
    post.append(28, '\0');
    PutU16(&post, 4);
    for (uint32_t v : {0u, 36u, 258u, 259u})
        PutU16(&post, v);
    post += "\x07uni4E2D\x04g123";

    std::string hhea(36, '\0');
    hhea[34] = 0;
    hhea[35] = 2;  // two long metrics; the last advance repeats
    std::string hmtx;
    for (uint32_t v : {500u, 0u, 600u, 0u})
        PutU16(&hmtx, v);

    std::string sfnt =
        BuildSfnt(0x00010000, {{"cmap", cmap}, {"post", post}, {"maxp", Maxp(4)}, {"hhea", hhea}, {"hmtx", hmtx}});
    TrueTypeFont font;
    ASSERT_TRUE(ParseTrueType(sfnt, &font));
    EXPECT_EQ(font.glyphCount, 4);
    ASSERT_EQ(font.cmaps.size(), 3u);
    EXPECT_EQ(font.FindCmap(1, 0)->Lookup(0x41), 1u);
    EXPECT_EQ(font.FindCmap(1, 0)->Lookup(0x42), 0u);
    const TrueTypeCmap* f6map = font.FindCmap(3, 1);
    EXPECT_EQ(f6map->Lookup(0x100), 2u);
    EXPECT_EQ(f6map->Lookup(0x101), 0u);
    EXPECT_EQ(f6map->Lookup(0x102), 3u);
    const TrueTypeCmap* f12map = font.FindCmap(3, 10);
    EXPECT_EQ(f12map->Lookup(0x1F600), 0u);
    EXPECT_EQ(f12map->Lookup(0x1F601), 1u);
    EXPECT_EQ(f12map->Lookup(0x20001), 4u);
    EXPECT_LE(f12map->runs.size(), 2u);  // ranges stay ranges
    std::vector<uint32_t> glyphCodes = f12map->GlyphCodes(font.glyphCount);
    EXPECT_EQ(glyphCodes[1], 0x1F601u);
    EXPECT_EQ(glyphCodes[3], 0x20000u);
    ASSERT_EQ(font.glyphNames.size(), 4u);
    EXPECT_EQ(font.glyphNames[0], ".notdef");
    EXPECT_EQ(font.glyphNames[1], "A");
    EXPECT_EQ(font.glyphNames[2], "uni4E2D");
    EXPECT_EQ(font.glyphNames[3], "g123");
    ASSERT_EQ(font.advanceWidths.size(), 4u);
    EXPECT_EQ(font.advanceWidths[1], 600);
    EXPECT_EQ(font.advanceWidths[3], 600);

    SurvivesDamage(sfnt, [](const std::string& d) {
        TrueTypeFont f;
        if (ParseTrueType(d, &f)) {
            for (const TrueTypeCmap& c : f.cmaps)
                c.Lookup(0x41);
        }
    });
}

TEST(TrueType, OpenTypeWrapperGivesItsCff)
{
    std::string cffBytes = ReadFixture("cmr12.cff");
    std::string otf = BuildSfnt(0x4F54544F /* OTTO */, {{"CFF ", cffBytes}, {"maxp", Maxp(14)}});
    TrueTypeFont font;
    ASSERT_TRUE(ParseTrueType(otf, &font));
    EXPECT_EQ(font.cff, cffBytes);
    CffFont cff;
    ASSERT_TRUE(ParseCff(font.cff, &cff));
    EXPECT_EQ(cff.glyphNames[1], "parenleft");
}

TEST(ProgramUnicode, GlyphNamesThroughTheUnicodeCmap)
{
    // (3,1): U+0009 -> glyph 1, "hi" -> glyphs 2 and 3.
    TrueTypeFont font;
    font.glyphCount = 4;
    TrueTypeCmap cmap;
    cmap.platform = 3;
    cmap.encoding = 1;
    cmap.runs = {{0x09, 0x09, 1}, {0x68, 0x69, 2}};
    font.cmaps.push_back(cmap);
    TrueTypeFont named = font;
    named.glyphNames = {".notdef", "x", "g3", "y"};
    TrueTypeFont symbolOnly = font;
    symbolOnly.cmaps[0].encoding = 0;  // (3,0) codes are no Unicode

    struct ProgramCase {
        const TrueTypeFont* font;
        const char* name;
        const char16_t* text;  // null: no text
    };
    const ProgramCase cases[] = {
        {&font, "g2", u"h"},  // without names the number is the glyph id
        {&font, "glyph3", u"i"},      {&font, "cid2", nullptr},  // a CID is no glyph id of a simple font
        {&font, "g0", nullptr},       {&font, "g4", nullptr},  // beyond the glyph count
        {&font, "g1", nullptr},  // draws a control character
        {&font, "A", nullptr},        {&named, "g3", u"h"},  // the program's own name finds glyph 2
        {&named, "y", u"i"},          {&named, "g2", nullptr},  // names present: numbers are not glyph ids
        {&symbolOnly, "g2", nullptr},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string out = u"stale";
        const bool ok = ProgramUnicode(*c.font).Text(c.name, &out);
        EXPECT_EQ(ok, c.text != nullptr);
        EXPECT_EQ(out, c.text ? std::u16string(c.text) : std::u16string());
    }

    // An OpenType program names its glyphs in the CFF charset.
    std::string cffBytes = ReadFixture("cmr12.cff");
    TrueTypeFont otf;
    otf.glyphCount = 14;
    otf.cff = cffBytes;
    cmap.runs = {{0x2985, 0x2985, 1}};
    otf.cmaps.push_back(cmap);
    std::u16string out;
    EXPECT_TRUE(ProgramUnicode(otf).Text("parenleft", &out));
    EXPECT_EQ(out, u"\u2985");
}

TEST(TrueType, RejectsWhatIsNoFont)
{
    TrueTypeFont font;
    EXPECT_FALSE(ParseTrueType("", &font));
    EXPECT_FALSE(ParseTrueType("%PDF-1.7 not a font", &font));
    EXPECT_FALSE(ParseTrueType(std::string("\x00\x01\x00\x00\x00\x05", 6), &font));
    SurvivesDamage(ReadFixture("dejavu-serif.ttf"), [](const std::string& d) {
        TrueTypeFont f;
        ParseTrueType(d, &f);
    });
}

}  // namespace
}  // namespace halvane
