#include "halvane/fonts/encodings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace halvane {
namespace {

struct CodeCase {
    BaseEncoding encoding;
    int code;
    const char* name;  // null: unused code
};

TEST(Encodings, GlyphNamesAtKnownCodes)
{
    const CodeCase cases[] = {
        {BaseEncoding::Standard, 0x27, "quoteright"},  {BaseEncoding::Standard, 0x60, "quoteleft"},
        {BaseEncoding::Standard, 0xAE, "fi"},          {BaseEncoding::Standard, 0xE1, "AE"},
        {BaseEncoding::Standard, 0x80, nullptr},       {BaseEncoding::WinAnsi, 0x27, "quotesingle"},
        {BaseEncoding::WinAnsi, 0x80, "Euro"},         {BaseEncoding::WinAnsi, 0x81, "bullet"},
        {BaseEncoding::WinAnsi, 0x93, "quotedblleft"}, {BaseEncoding::WinAnsi, 0xA0, "space"},
        {BaseEncoding::WinAnsi, 0xAD, "hyphen"},       {BaseEncoding::WinAnsi, 0xE9, "eacute"},
        {BaseEncoding::WinAnsi, 0x1F, nullptr},        {BaseEncoding::MacRoman, 0x8E, "eacute"},
        {BaseEncoding::MacRoman, 0xCA, "space"},       {BaseEncoding::MacRoman, 0xDB, "currency"},
        {BaseEncoding::MacRoman, 0xDE, "fi"},          {BaseEncoding::MacRoman, 0xF0, nullptr},
        {BaseEncoding::MacExpert, 0x56, "ff"},         {BaseEncoding::MacExpert, 0x61, "Asmall"},
        {BaseEncoding::Symbol, 0x61, "alpha"},         {BaseEncoding::Symbol, 0x57, "Omega"},
        {BaseEncoding::Symbol, 0xB4, "multiply"},      {BaseEncoding::ZapfDingbats, 0x21, "a1"},
        {BaseEncoding::ZapfDingbats, 0x6C, "a71"},     {BaseEncoding::PdfDoc, 0x80, "bullet"},
        {BaseEncoding::PdfDoc, 0xA0, "Euro"},
    };
    for (const CodeCase& c : cases) {
        const char* name = EncodingGlyphNames(c.encoding)[c.code];
        SCOPED_TRACE(testing::Message() << "encoding " << static_cast<int>(c.encoding) << " code " << c.code);
        if (!c.name) {
            EXPECT_EQ(name, nullptr);
        } else {
            ASSERT_NE(name, nullptr);
            EXPECT_STREQ(name, c.name);
        }
    }
}

TEST(Encodings, AsciiLettersAgreeInTextEncodings)
{
    for (BaseEncoding e :
         {BaseEncoding::Standard, BaseEncoding::WinAnsi, BaseEncoding::MacRoman, BaseEncoding::PdfDoc}) {
        for (int c = 'A'; c <= 'Z'; ++c) {
            char expected[2] = {static_cast<char>(c), 0};
            EXPECT_STREQ(EncodingGlyphNames(e)[c], expected);
        }
    }
}

TEST(Encodings, LookupByName)
{
    BaseEncoding e = BaseEncoding::Symbol;
    EXPECT_TRUE(LookupBaseEncoding("WinAnsiEncoding", &e));
    EXPECT_EQ(e, BaseEncoding::WinAnsi);
    EXPECT_TRUE(LookupBaseEncoding("MacExpertEncoding", &e));
    EXPECT_EQ(e, BaseEncoding::MacExpert);
    EXPECT_FALSE(LookupBaseEncoding("WinAnsi", &e));
    EXPECT_FALSE(LookupBaseEncoding("", &e));
    EXPECT_EQ(e, BaseEncoding::MacExpert);  // untouched on failure
}

TEST(Encodings, PdfDocToUnicode)
{
    EXPECT_EQ(PdfDocToUnicode('A'), u'A');
    EXPECT_EQ(PdfDocToUnicode('\n'), u'\n');
    EXPECT_EQ(PdfDocToUnicode(0x18), u'\u02D8');  // breve
    EXPECT_EQ(PdfDocToUnicode(0x84), u'\u2014');  // emdash
    EXPECT_EQ(PdfDocToUnicode(0x93), u'\uFB01');  // fi
    EXPECT_EQ(PdfDocToUnicode(0xA0), u'\u20AC');  // Euro
    EXPECT_EQ(PdfDocToUnicode(0xE9), u'\u00E9');
    EXPECT_EQ(PdfDocToUnicode(0x01), 0);
    EXPECT_EQ(PdfDocToUnicode(0x9F), 0);
    EXPECT_EQ(PdfDocToUnicode(0xAD), 0);
}

}  // namespace
}  // namespace halvane
