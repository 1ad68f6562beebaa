#include "halvane/fonts/standard_fonts.h"

#include <gtest/gtest.h>

namespace halvane {
namespace {

TEST(StandardFonts, Aliases)
{
    const struct {
        const char* baseFont;
        const char* standard;  // null: not a standard font
    } cases[] = {
        {"Helvetica", "Helvetica"},
        {"Helvetica-BoldOblique", "Helvetica-BoldOblique"},
        {"ABCDEF+Helvetica-Bold", "Helvetica-Bold"},
        {"Arial", "Helvetica"},
        {"ArialMT", "Helvetica"},
        {"Arial,Bold", "Helvetica-Bold"},
        {"Arial-BoldItalicMT", "Helvetica-BoldOblique"},
        {"Arial-ItalicMT", "Helvetica-Oblique"},
        {"ArialBold", "Helvetica-Bold"},
        {"Times-Roman", "Times-Roman"},
        {"Times-Italic", "Times-Italic"},
        {"TimesNewRoman", "Times-Roman"},
        {"TimesNewRomanPSMT", "Times-Roman"},
        {"TimesNewRomanPS-BoldMT", "Times-Bold"},
        {"TimesNewRoman,BoldItalic", "Times-BoldItalic"},
        {"Times New Roman", "Times-Roman"},
        {"CourierNew", "Courier"},
        {"CourierNewPS-BoldItalicMT", "Courier-BoldOblique"},
        {"Courier-Oblique", "Courier-Oblique"},
        {"Symbol", "Symbol"},
        {"Symbol,Bold", "Symbol"},
        {"ZapfDingbats", "ZapfDingbats"},
        {"Calibri", nullptr},
        {"SimSun", nullptr},
        {"", nullptr},
        {"ABCDEF+", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baseFont);
        const StandardFont* f = FindStandardFont(c.baseFont);
        if (!c.standard) {
            EXPECT_EQ(f, nullptr);
        } else {
            ASSERT_NE(f, nullptr);
            EXPECT_STREQ(f->name, c.standard);
        }
    }
}

TEST(StandardFonts, Widths)
{
    const StandardFont* helvetica = FindStandardFont("Helvetica");
    EXPECT_EQ(StandardGlyphWidth(helvetica, "space"), 278);
    EXPECT_EQ(StandardGlyphWidth(helvetica, "A"), 667);
    EXPECT_EQ(StandardGlyphWidth(helvetica, "zcaron"), 500);
    EXPECT_EQ(StandardGlyphWidth(helvetica, "uni4E2D"), -1);
    EXPECT_EQ(StandardGlyphWidth(FindStandardFont("Times-Bold"), "W"), 1000);
    EXPECT_EQ(StandardGlyphWidth(FindStandardFont("Courier"), "Euro"), 600);
    EXPECT_EQ(StandardGlyphWidth(FindStandardFont("Symbol"), "alpha"), 631);
    EXPECT_EQ(StandardGlyphWidth(FindStandardFont("ZapfDingbats"), "a1"), 974);
    EXPECT_EQ(StandardGlyphWidth(nullptr, "A"), -1);
}

TEST(StandardFonts, BuiltInEncodingsAndStyles)
{
    EXPECT_EQ(FindStandardFont("Times-Roman")->encoding, BaseEncoding::Standard);
    EXPECT_EQ(FindStandardFont("Symbol")->encoding, BaseEncoding::Symbol);
    EXPECT_EQ(FindStandardFont("ZapfDingbats")->encoding, BaseEncoding::ZapfDingbats);
    const StandardFont* courier = FindStandardFont("Courier-BoldOblique");
    EXPECT_TRUE(courier->fixedPitch && courier->bold && courier->italic);
    EXPECT_LT(courier->descent, 0);
}

}  // namespace
}  // namespace halvane
