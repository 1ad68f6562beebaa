// Numbered glyph names ("g18") without ToUnicode entries take their text from other copies of
// the same font in the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "pdf_builder.h"
#include "halvane/face/pdf_doc.h"

namespace halvane {
namespace {

using testing::Bytes;
using testing::PdfBuilder;

struct FontOnPage {
    std::string baseFont;
    std::string differences;  // the inside of the /Differences array
    std::string toUnicode;  // bfchar entries; empty: no ToUnicode map
};

// bfchars: one "<code> <text>" entry a line.
std::string ToUnicodeCMap(const std::string& bfchars)
{
    const size_t count = 1 + static_cast<size_t>(std::count(bfchars.begin(), bfchars.end(), '\n'));
    return "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
           "1 begincodespacerange <00> <FF> endcodespacerange\n" +
           std::to_string(count) + " beginbfchar\n" + bfchars +
           "\nendbfchar\n"
           "endcmap CMapName currentdict /CMap defineresource pop end end";
}

// One page per font; each page shows codes 1 and 2 of its font.
std::string FontsOnPages(const std::vector<FontOnPage>& fonts)
{
    PdfBuilder b;
    std::string kids;
    for (size_t i = 0; i < fonts.size(); ++i) {
        const int base = 10 + static_cast<int>(i) * 10;
        const FontOnPage& f = fonts[i];
        kids += std::to_string(base) + " 0 R ";
        b.Add(base, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 " +
                        std::to_string(base + 2) + " 0 R >> >> /Contents " + std::to_string(base + 1) + " 0 R >>");
        b.AddStream(base + 1, "BT /F1 12 Tf 50 700 Td <0102> Tj ET");
        std::string font = "<< /Type /Font /Subtype /Type1 /BaseFont /" + f.baseFont +
                           " /FirstChar 1 /LastChar 9 /Widths [500 500 500 500 500 500 500 500 500]"
                           " /Encoding << /Type /Encoding /Differences [" +
                           f.differences + "] >>";
        if (!f.toUnicode.empty()) {
            font += " /ToUnicode " + std::to_string(base + 3) + " 0 R";
            b.AddStream(base + 3, ToUnicodeCMap(f.toUnicode));
        }
        b.Add(base + 2, font + " >>");
    }
    b.Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
    b.Add(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(fonts.size()) + " >>");
    return b.Build();
}

std::u16string FirstPageText(const std::string& file)
{
    std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(file), ExtractOptions()));
    EXPECT_TRUE(doc);
    PageModel model;
    if (!doc || !doc->ExtractPageModel(1, &model))
        return u"(no page)";
    std::u16string text;
    for (const auto& region : model.regions)
        for (const auto& line : region)
            for (const auto& run : line.runs)
                text += run.text;
    while (!text.empty() && text.back() == u' ')
        text.pop_back();
    return text;
}

// Page 1 shows codes 1 and 2, named g18 and g152, of a Cambria subset without ToUnicode unless
// the case gives it one; the later pages hold the fonts the text may be learned from.
struct RecoveryCase {
    const char* what;
    std::vector<FontOnPage> fonts;
    std::u16string expected;
};

TEST(GlyphNameRecovery, TextComesFromCopiesOfTheSameFontWhereAllSourcesAgree)
{
    const FontOnPage target{"AAAAAA+Cambria", "1 /g18 /g152", ""};
    // The same glyphs at other codes, as another subset of the font numbers them.
    const FontOnPage source{"BBBBBB+Cambria", "5 /g152 /g18 /g3", "<05> <0069>\n<06> <0048>\n<07> <0020>"};
    const RecoveryCase cases[] = {
        {"another subset of the font with a ToUnicode map", {target, source}, u"Hi"},
        {"a source without subset prefix", {target, {"Cambria", source.differences, source.toUnicode}}, u"Hi"},
        {"a sibling style is another font program",
         {target, {"CCCCCC+Cambria-Bold", source.differences, source.toUnicode}},
         u""},
        {"another family", {target, {"DDDDDD+Calibri", source.differences, source.toUnicode}}, u""},
        {"sources that disagree on g18 drop it",
         {target, source, {"EEEEEE+Cambria", "1 /g18 /g152", "<01> <004D>\n<02> <0069>"}},
         u"i"},
        {"sources that agree", {target, source, {"EEEEEE+Cambria", "1 /g18", "<01> <0048>"}}, u"Hi"},
        {"the font's own ToUnicode entry wins", {{"AAAAAA+Cambria", "1 /g18 /g152", "<01> <004A>"}, source}, u"Ji"},
        {"a source stating a control character teaches nothing",
         {target, {"BBBBBB+Cambria", "5 /g152 /g18", "<05> <0069>\n<06> <0001>"}},
         u"i"},
        {"a source whose g18 has no ToUnicode entry",
         {target, {"BBBBBB+Cambria", "5 /g152 /g18", "<05> <0069>"}},
         u"i"},
    };
    for (const RecoveryCase& c : cases)
        EXPECT_EQ(FirstPageText(FontsOnPages(c.fonts)), c.expected) << c.what;
}

}  // namespace
}  // namespace halvane
