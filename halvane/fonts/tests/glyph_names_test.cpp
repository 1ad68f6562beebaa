#include "halvane/fonts/glyph_names.h"

#include <gtest/gtest.h>

namespace halvane {
namespace {

struct NameCase {
    const char* name;
    const char16_t* text;  // null: no meaning
};

TEST(GlyphNames, Table)
{
    const NameCase cases[] = {
        {"A", u"A"},
        {"space", u" "},
        {"eacute", u"\u00E9"},
        {"Euro", u"\u20AC"},
        {"quotedblleft", u"\u201C"},
        {"fi", u"\uFB01"},
        {"afii10017", u"\u0410"},  // Cyrillic A
        {"dalethatafpatah", u"\u05D3\u05B2"},  // a multi-character list entry
        {"uni4E2D", u"\u4E2D"},
        {"uni4e2d", u"\u4E2D"},  // lower-case hex from some producers
        {"uni00660066", u"ff"},
        {"uniD800", nullptr},  // surrogates are not characters
        {"uni4E2", nullptr},
        {"uni4E2DX", nullptr},
        {"u1F600", u"\U0001F600"},
        {"u4E2D", u"\u4E2D"},
        {"u110000", nullptr},
        {"u12", nullptr},
        {"f_f_i", u"ffi"},
        {"f_i.alt", u"fi"},
        {"a.sc", u"a"},
        {"uni0041.swash", u"A"},
        {"T_h", u"Th"},
        {"g123_uni0041", u"A"},  // unknown components map to nothing
        {".notdef", nullptr},
        {"", nullptr},
        {"g123", nullptr},
        {"cid123", nullptr},
        {"glyph123", nullptr},
        {"G1A", nullptr},
        {"index42", nullptr},
        {"a1", nullptr},  // a dingbat name only in dingbat fonts
        {"_", nullptr},
        {"...", nullptr},
        // TeX math and symbol font names, and the extension font's size variants.
        {"angbracketleft", u"\u27E8"},
        {"prime", u"\u2032"},
        {"epsilon1", u"\u03B5"},
        {"summationtext", u"\u2211"},
        {"integraldisplay", u"\u222B"},
        {"parenleftBigg", u"("},
        {"radicalbig", u"\u221A"},
        {"angbracketrightbig", u"\u27E9"},
        {"big", nullptr},
        {"nonsensebig", nullptr},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string out = u"stale";
        bool ok = GlyphNameToUnicode(c.name, &out);
        if (c.text) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(out, c.text);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_TRUE(out.empty());
        }
    }
}

TEST(GlyphNames, NumberedNames)
{
    struct NumberedCase {
        const char* name;
        bool numbered;
        uint32_t number;
        bool cid;
    };
    const NumberedCase cases[] = {
        {"g18", true, 18, false},     {"G18", true, 18, false},       {"glyph7", true, 7, false},
        {"Glyph7", true, 7, false},   {"gid300", true, 300, false},   {"index12", true, 12, false},
        {"cid44", true, 44, true},    {"g65535", true, 65535, false}, {"g", false, 0, false},
        {"g123456", false, 0, false},  // more than five digits
        {"g18.sc", false, 0, false},  {"gx1", false, 0, false},       {"a18", false, 0, false},
        {"uni0041", false, 0, false}, {"glyph", false, 0, false},     {"", false, 0, false},
    };
    for (const NumberedCase& c : cases) {
        SCOPED_TRACE(c.name);
        NumberedGlyphName parsed;
        EXPECT_EQ(ParseNumberedGlyphName(c.name, &parsed), c.numbered);
        if (c.numbered) {
            EXPECT_EQ(parsed.number, c.number);
            EXPECT_EQ(parsed.cid, c.cid);
            std::u16string out;
            EXPECT_FALSE(GlyphNameToUnicode(c.name, &out));  // only the document can give their text
        }
    }
}

TEST(GlyphNames, DingbatNamesOnlyWhenAsked)
{
    std::u16string out;
    EXPECT_TRUE(DingbatsGlyphNameToUnicode("a1", &out));
    EXPECT_EQ(out, u"\u2701");
    EXPECT_TRUE(DingbatsGlyphNameToUnicode("a71", &out));
    EXPECT_EQ(out, u"\u25CF");
    EXPECT_TRUE(DingbatsGlyphNameToUnicode("space", &out));  // the general list still applies
    EXPECT_EQ(out, u" ");
    EXPECT_FALSE(GlyphNameToUnicode("a71", &out));
}

TEST(GlyphNames, NamesWithBytesOutsideAscii)
{
    std::u16string out;
    EXPECT_FALSE(GlyphNameToUnicode(std::string_view("\xff\x00zz", 4), &out));
    EXPECT_FALSE(GlyphNameToUnicode(std::string(300, 'u'), &out));
}

}  // namespace
}  // namespace halvane
