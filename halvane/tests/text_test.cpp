#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fax_encoder.h"
#include "line_order.h"
#include "pdf_builder.h"
#include "halvane/face/pdf_doc.h"
#include "png_reader.h"

namespace halvane {
namespace {

using testing::Bytes;
using testing::PdfBuilder;

std::string Utf8(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

struct Extracted {
    PageModel model;
    // The lines' texts in the order the Word layout writes them, "|" between regions.
    std::vector<std::string> lines;
};

Extracted Extract(const std::string& file, bool images = false)
{
    Extracted e;
    ExtractOptions options;
    options.images = images;
    std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(file), options));
    EXPECT_TRUE(doc);
    if (!doc)
        return e;
    EXPECT_TRUE(doc->ExtractPageModel(1, &e.model));
    stPdfPage* page = nullptr;
    EXPECT_TRUE(doc->LoadPage(1, &page));
    if (!page)
        return e;
    SortLinesByTop(page);
    for (int i = 0; i < page->nLineCount; ++i) {
        stPdfLine* line = page->ppLines[i];
        if (!line) {
            e.lines.push_back("|");
            continue;
        }
        SortRunsByX(line);
        std::u16string text;
        for (int k = 0; k < line->nRunCount; ++k) {
            if (line->ppRuns[k]->nType != PDF_RUN_TEXT)
                continue;
            const stPdfText* t = static_cast<const stPdfText*>(line->ppRuns[k]->pData);
            text.append(reinterpret_cast<const char16_t*>(t->szText), static_cast<size_t>(t->nLength));
        }
        e.lines.push_back(Utf8(text));
    }
    doc->FreePage(page);
    return e;
}

std::string OnePage(const std::string& content, const std::string& pageExtra = "")
{
    PdfBuilder b;
    b.AddSimplePage(content, pageExtra);
    return b.Build();
}

const RunModel& FirstRun(const Extracted& e)
{
    static const RunModel none;
    for (const auto& region : e.model.regions)
        for (const auto& line : region)
            if (!line.runs.empty())
                return line.runs[0];
    return none;
}

TEST(Text, WordBreaksComeFromGapsNotFromKerning)
{
    const Extracted e = Extract(OnePage("BT /F1 12 Tf 50 700 Td [(Hello)-300(W)80(orld)] TJ ( again) Tj ET"));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"Hello World again "}));
}

TEST(Text, AThinSpaceSeparatesWordsWhileLooseKerningDoesNot)
{
    struct Case {
        const char* content;
        const char* line;
    };
    const Case cases[] = {
        {"BT /F1 10 Tf 50 700 Td [(LaTeX)-150(2e)] TJ ET", "LaTeX 2e "},
        {"BT /F1 10 Tf 50 700 Td [(LaTeX)-100(2e)] TJ ET", "LaTeX2e "},
        {"BT /F1 10 Tf 50 700 Td [(P)-130(Q)] TJ ET", "P Q "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Extract(OnePage(c.content)).lines, (std::vector<std::string>{c.line})) << c.content;
}

TEST(Text, LinesEndWithASpaceUnlessTheyEndInCjk)
{
    PdfBuilder b;
    // The third line holds two cells of Chinese text far apart: they stay apart.
    b.AddSimplePage("BT /F1 12 Tf 50 700 Td (Latin line) Tj 0 -20 Td /F2 12 Tf <00010002> Tj "
                    "0 -40 Td <0001> Tj 150 0 Td <0002> Tj ET");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R /F2 6 0 R >> >> "
             "/Contents 4 0 R >>");
    b.Add(6, "<< /Type /Font /Subtype /Type0 /BaseFont /ABCDEF+SimSun /Encoding /Identity-H "
             "/DescendantFonts [7 0 R] /ToUnicode 8 0 R >>");
    b.Add(7, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /ABCDEF+SimSun "
             "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /DW 1000 >>");
    b.AddStream(8, "/CIDInit /ProcSet findresource begin 12 dict begin begincmap 1 begincodespacerange <0000> <FFFF> "
                   "endcodespacerange 1 beginbfrange <0001> <0002> <4E2D> endbfrange endcmap end end");
    const Extracted e = Extract(b.Build());
    ASSERT_EQ(e.lines.size(), 3u);
    EXPECT_EQ(e.lines[0], "Latin line ");
    EXPECT_EQ(e.lines[1], "\xE4\xB8\xAD\xE4\xB8\xAE");  // U+4E2D U+4E2E, no trailing space
    EXPECT_EQ(e.lines[2], "\xE4\xB8\xAD \xE4\xB8\xAE");
    const RunModel* cjk = nullptr;
    for (const auto& region : e.model.regions)
        for (const auto& line : region)
            for (const auto& run : line.runs)
                if (run.fontName == "SimSun")
                    cjk = &run;
    ASSERT_TRUE(cjk);  // subset prefix removed
}

TEST(Text, ColumnsAreSeparateRegionsInReadingOrder)
{
    std::string content = "BT /F1 10 Tf ";
    for (int i = 0; i < 6; ++i) {
        const int y = 700 - 14 * i;
        const std::string n = std::to_string(i);
        content += "1 0 0 1 50 " + std::to_string(y) + " Tm (Left column line number " + n + " text) Tj ";
        content += "1 0 0 1 320 " + std::to_string(y) + " Tm (Right column line number " + n + " text) Tj ";
    }
    const std::string title = "A title across both of the two columns of this page, long enough to reach the second";
    content += "1 0 0 1 50 760 Tm (" + title + ") Tj ET";
    const Extracted e = Extract(OnePage(content));
    std::vector<std::string> expected = {title + " ", "|"};
    for (int i = 0; i < 6; ++i)
        expected.push_back("Left column line number " + std::to_string(i) + " text ");
    expected.push_back("|");
    for (int i = 0; i < 6; ++i)
        expected.push_back("Right column line number " + std::to_string(i) + " text ");
    EXPECT_EQ(e.lines, expected);
}

TEST(Text, TableRowsStayRows)
{
    std::string content = "BT /F1 10 Tf ";
    const char* cells[3][3] = {{"Region", "Q1", "Q2"}, {"North", "1,380", "1,050"}, {"South", "910", "600"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            content += "1 0 0 1 " + std::to_string(60 + 150 * c) + " " + std::to_string(700 - 20 * r) + " Tm (" +
                       cells[r][c] + ") Tj ";
    content += "ET";
    const Extracted e = Extract(OnePage(content));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"Region Q1 Q2 ", "North 1,380 1,050 ", "South 910 600 "}));
}

TEST(Text, BlocksBesideEachOtherWithoutSharedBaselinesAreSeparateRegions)
{
    // Two lists of short entries side by side, set on the same pitch but not on the same
    // baselines (two boxes of a form, two tables of a spread): each is read on its own.
    std::string content = "BT /F1 10 Tf ";
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        content += "1 0 0 1 50 " + std::to_string(700 - 14 * i) + " Tm (Left " + n + ") Tj ";
        content += "1 0 0 1 130 " + std::to_string(700 - 14 * i) + " Tm (" + n + "00) Tj ";
        content += "1 0 0 1 320 " + std::to_string(702.5 - 14 * i) + " Tm (Right " + n + ") Tj ";
        content += "1 0 0 1 400 " + std::to_string(702.5 - 14 * i) + " Tm (" + n + "50) Tj ";
    }
    content += "ET";
    const Extracted e = Extract(OnePage(content));
    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i)
        expected.push_back("Left " + std::to_string(i) + " " + std::to_string(i) + "00 ");
    expected.push_back("|");
    for (int i = 0; i < 6; ++i)
        expected.push_back("Right " + std::to_string(i) + " " + std::to_string(i) + "50 ");
    EXPECT_EQ(e.lines, expected);
}

TEST(Text, TableRowsWithWrappedCellsStayRows)
{
    // Label cells wrap onto a second line; the figures sit on the label's first baseline.
    std::string content = "BT /F1 10 Tf ";
    for (int r = 0; r < 4; ++r) {
        const int y = 700 - 30 * r;
        const std::string n = std::to_string(r);
        content += "1 0 0 1 50 " + std::to_string(y) + " Tm (Item " + n + " first) Tj ";
        content += "1 0 0 1 50 " + std::to_string(y - 12) + " Tm (and second) Tj ";
        content += "1 0 0 1 250 " + std::to_string(y) + " Tm (" + n + "1) Tj ";
        content += "1 0 0 1 350 " + std::to_string(y) + " Tm (" + n + "2) Tj ";
    }
    content += "ET";
    const Extracted e = Extract(OnePage(content));
    std::vector<std::string> expected;
    for (int r = 0; r < 4; ++r) {
        const std::string n = std::to_string(r);
        expected.push_back("Item " + n + " first " + n + "1 " + n + "2 ");
        expected.push_back("and second ");
    }
    EXPECT_EQ(e.lines, expected);
}

TEST(Text, TablesWhoseCellsSitAtAConstantOffsetFromTheirLabelsStayRows)
{
    // Cells centred in their rows put the labels' font a little below the figures' in every
    // row; a paragraph above spans the label column and the first figures.
    std::string content = "BT /F1 10 Tf 1 0 0 1 50 740 Tm (The table below lists the sales of every region) Tj ";
    for (int r = 0; r < 5; ++r) {
        const int y = 700 - 21 * r;
        content += "1 0 0 1 50 " + std::to_string(y - 2) + " Tm (Region" + std::to_string(r) + ") Tj ";
        for (int c = 0; c < 4; ++c)
            content += "1 0 0 1 " + std::to_string(140 + 80 * c) + " " + std::to_string(y) + " Tm (" +
                       std::to_string(r) + "," + std::to_string(c) + "00) Tj ";
    }
    content += "ET";
    const Extracted e = Extract(OnePage(content));
    std::vector<std::string> expected{"The table below lists the sales of every region "};
    for (int r = 0; r < 5; ++r) {
        std::string row = "Region" + std::to_string(r) + " ";
        for (int c = 0; c < 4; ++c)
            row += std::to_string(r) + "," + std::to_string(c) + "00 ";
        expected.push_back(row);
    }
    EXPECT_EQ(e.lines, expected);
}

TEST(Text, TightlySetBlocksSideBySideReadBlockByBlockWhileTightTablesOfFiguresStayRows)
{
    struct Case {
        const char* name;
        std::vector<std::string> left, right;
        bool blocks;
    };
    const Case cases[] = {
        {"address blocks of a letter",
         {"Sales office:", "Example Trading Ltd.", "Harbour Road 15", "Springfield"},
         {"Contact us", "Tel. +31 73 645 6500", "Fax +31 73 645 6510", "sales@example.com"},
         true},
        {"two columns of an index",
         {"list, 24, 25", "longtable, 24, 29", "lscape, 17", "ltxtable, 24"},
         {"section, 29", "setcounter, 18", "stfloats, 25", "strip, 25"},
         true},
        {"a table of figures",
         {"Austria", "Belgium", "Denmark", "Finland"},
         {"83,879", "30,689", "42,951", "338,424"},
         false},
    };
    for (const Case& c : cases) {
        std::string content = "BT /F1 10 Tf ";
        for (size_t i = 0; i < c.left.size(); ++i) {
            const std::string y = std::to_string(700 - 12 * static_cast<int>(i));
            content += "1 0 0 1 50 " + y + " Tm (" + c.left[i] + ") Tj ";
            content += "1 0 0 1 260 " + y + " Tm (" + c.right[i] + ") Tj ";
        }
        content += "ET";
        const Extracted e = Extract(OnePage(content));
        std::vector<std::string> expected;
        if (c.blocks) {
            for (const auto& l : c.left)
                expected.push_back(l + " ");
            expected.push_back("|");
            for (const auto& r : c.right)
                expected.push_back(r + " ");
        } else {
            for (size_t i = 0; i < c.left.size(); ++i)
                expected.push_back(c.left[i] + " " + c.right[i] + " ");
        }
        EXPECT_EQ(e.lines, expected) << c.name;
    }
}

TEST(Text, ATextBlockBesideAListUnderAFullWidthTitleReadsBeforeTheList)
{
    // An L-shaped page: a title and a footer across the page, a short paragraph with ragged
    // line ends at the left and a long two-part list at the right whose entries share
    // baselines with each other but not with the paragraph.
    const std::string title = "A title set across the whole width of this page, from the left margin to the right";
    const std::string footer = "A footer set across the whole width of this page, from the left margin to the right";
    std::string content = "BT /F1 10 Tf 1 0 0 1 50 760 Tm (" + title + ") Tj 1 0 0 1 50 60 Tm (" + footer + ") Tj ";
    std::vector<std::string> paragraph;
    for (int i = 0; i < 6; ++i) {
        paragraph.push_back("Paragraph line " + std::to_string(i));
        for (int k = 0; k < i; ++k)
            paragraph.back() += " ab";  // ragged line ends
        content += "1 0 0 1 50 " + std::to_string(700 - 13 * i) + " Tm (" + paragraph.back() + ") Tj ";
    }
    for (int i = 0; i < 30; ++i) {
        const std::string y = std::to_string(706.5 - 13 * i);
        content += "1 0 0 1 250 " + y + " Tm (*) Tj 1 0 0 1 280 " + y + " Tm (entry " + std::to_string(i) + ") Tj ";
    }
    content += "ET";
    const Extracted e = Extract(OnePage(content));
    std::vector<std::string> expected{title + " ", "|"};
    for (const std::string& line : paragraph)
        expected.push_back(line + " ");
    expected.push_back("|");
    for (int i = 0; i < 30; ++i)
        expected.push_back("* entry " + std::to_string(i) + " ");
    expected.push_back("|");
    expected.push_back(footer + " ");
    EXPECT_EQ(e.lines, expected);
}

TEST(Text, ALabelSetSmallerUnderAFieldKeepsItsOwnLine)
{
    // A form's field (10 pt) and the label below it (8 pt) start at the same x, set so close
    // that a 12 pt line beside them bridges their boxes into one band.
    const Extracted e = Extract(OnePage("BT /F1 12 Tf 1 0 0 1 50 601.2 Tm (4870 AA ETTEN-LEUR) Tj "
                                        "/F1 10 Tf 1 0 0 1 300 607.4 Tm (Deb.nr. 2056981) Tj "
                                        "/F1 8 Tf 1 0 0 1 300 598.4 Tm (Verkoop-ref.) Tj ET"));
    std::vector<std::string> texts;
    for (const std::string& line : e.lines)
        if (line != "|")
            texts.push_back(line);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"4870 AA ETTEN-LEUR ", "Deb.nr. 2056981 ", "Verkoop-ref. "}));
}

TEST(Text, ALabelOverAnArrowIsItsOwnLineWhileSuperscriptsStay)
{
    // A formula's arrow carries a small label set over it; the superscript after x stays on
    // the line it belongs to.
    const Extracted e = Extract(OnePage("BT /F1 10 Tf 1 0 0 1 50 700 Tm (A ==========) Tj "
                                        "1 0 0 1 125 700 Tm (x) Tj "
                                        "/F1 7 Tf 1 0 0 1 130 704 Tm (2) Tj "
                                        "1 0 0 1 70 705 Tm (Def. 12) Tj ET"));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"Def. 12 ", "A ========== x2 "}));
}

TEST(Text, ARaisedSmallLetterStaysWithTheLineItTouches)
{
    // A margin note set a little smaller sits just above the text line; the raised small "A"
    // of the logo in the text line lies nearer the note's baseline but belongs to its word.
    const Extracted e = Extract(OnePage("BT /F1 9 Tf 1 0 0 1 45 703 Tm (Margin note) Tj "
                                        "/F1 10.5 Tf 1 0 0 1 130 699 Tm (Text with L) Tj "
                                        "/F1 7.7 Tf 1 0 0 1 179.5 702.5 Tm (A) Tj "
                                        "/F1 10.5 Tf 1 0 0 1 184.8 699 Tm (TeX inside) Tj ET"));
    std::vector<std::string> texts;
    for (const std::string& line : e.lines)
        if (line != "|")
            texts.push_back(line);
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"Margin note ", "Text with LATeX inside "}));
}

TEST(Text, ActualTextReplacesTheGlyphsOfItsSpan)
{
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"UTF-16 text over two glyphs, then plain text",
         "BT /F1 10 Tf 50 700 Td /Span << /ActualText <FEFF00580059> >> BDC (AB) Tj EMC (CD) Tj ET",
         {"XYCD "}},
        {"PDFDocEncoding text", "BT /F1 10 Tf 50 700 Td /Span << /ActualText (fi) >> BDC (\256) Tj EMC ET", {"fi "}},
        {"properties named in the resources",
         "BT /F1 10 Tf 50 700 Td /Span /P0 BDC (G) Tj EMC ( rest) Tj ET",
         {"Word rest "}},
        {"an inner span inside an outer one",
         "BT /F1 10 Tf 50 700 Td /Span << /ActualText (Out) >> BDC (a) Tj /Span << /ActualText (In) >> BDC (b) Tj "
         "EMC EMC ET",
         {"Out "}},
        {"an empty replacement hides the glyphs",
         "BT /F1 10 Tf 50 700 Td (Line end) Tj /Span << /ActualText () >> BDC (-) Tj EMC ET",
         {"Line end "}},
        {"a span left open ends with the page",
         "BT /F1 10 Tf 50 700 Td (Open ) Tj /Span << /ActualText (end) >> BDC (xyz) Tj ET",
         {"Open end "}},
    };
    for (const Case& c : cases) {
        PdfBuilder b;
        b.AddSimplePage(c.content);
        b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> "
                 "/Properties << /P0 << /ActualText (Word) >> >> >> /Contents 4 0 R >>");
        EXPECT_EQ(Extract(b.Build()).lines, c.lines) << c.name;
    }
}

TEST(Text, ASpanLeftOpenInAFormEndsWithTheForm)
{
    PdfBuilder b;
    b.AddSimplePage("q /Fm Do Q BT /F1 10 Tf 50 600 Td (After the form) Tj ET");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> "
             "/XObject << /Fm 6 0 R >> >> /Contents 4 0 R >>");
    b.AddStream(6, "/Span << /ActualText (Q) >> BDC BT /F1 10 Tf 50 700 Td (W) Tj ET",
                "/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> >>");
    EXPECT_EQ(Extract(b.Build()).lines, (std::vector<std::string>{"Q ", "After the form "}));
}

TEST(Text, BitmapFontGlyphsNamedByTheirHexCodeReadAsThatCode)
{
    // Glyphs named "x" and the code in hex; a name of another code or of a control code stands
    // for no character.
    std::string widths;
    for (int c = 65; c <= 169; ++c)
        widths += "500 ";
    PdfBuilder b;
    b.AddSimplePage("BT /F2 10 Tf 50 700 Td <414243A987> Tj ET");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F2 6 0 R >> >> "
             "/Contents 4 0 R >>");
    b.Add(6, "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 0 0] /FontMatrix [0.001 0 0 0.001 0 0] "
             "/CharProcs << >> /Encoding << /Type /Encoding /Differences [65 /x41 /x42 /x44 135 /x87 169 /xA9] >> "
             "/FirstChar 65 /LastChar 169 /Widths [" +
                 widths + "] >>");
    const Extracted e = Extract(b.Build());
    EXPECT_EQ(e.lines, (std::vector<std::string>{"AB \xC2\xA9 "}));
}

TEST(Text, AGlyphSetFlushOverASpaceJoinsTheWordBeforeIt)
{
    struct Case {
        const char* content;
        const char* line;
    };
    const Case cases[] = {
        // A form's line label: "9 " is drawn, then "a" is placed right after the 9, over the space.
        {"BT /F1 1 Tf 8 0 0 8 118 410 Tm (9 ) Tj 0.556 0 Td (a) Tj ET", "9a "},
        // The space is followed by the next word as usual.
        {"BT /F1 1 Tf 8 0 0 8 118 410 Tm (9 a) Tj ET", "9 a "},
        // Tightly justified: the next word is pulled back a little, yet it is apart.
        {"BT /F1 1 Tf 8 0 0 8 118 410 Tm [(word )120(next)] TJ ET", "word next "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Extract(OnePage(c.content)).lines, (std::vector<std::string>{c.line})) << c.content;
}

TEST(Text, MirroredGlyphsReadInTheDirectionOfTheirLine)
{
    struct Case {
        const char* content;
        const char* line;
    };
    const Case cases[] = {
        // A logo with a reversed E: the E is mirrored left to right and set back into the word.
        {"BT /F1 10 Tf 1 0 0 1 50 700 Tm (X) Tj -1 0 0 1 63 697.8 Tm (E) Tj 1 0 0 1 63 700 Tm (TEX) Tj ET", "XETEX "},
        // Mirrored top to bottom (a flipped page space): read along the advance.
        {"BT /F1 10 Tf 1 0 0 -1 50 700 Tm (Flipped) Tj ET", "Flipped "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Extract(OnePage(c.content)).lines, (std::vector<std::string>{c.line})) << c.content;
}

TEST(Text, AccentsDrawnOverALetterCombineWithIt)
{
    // WinAnsi 0x98 is the tilde accent. Over a letter (TeX's \accent, or a math accent raised
    // above its letter) it follows the letter as a combining mark; beside a letter it stays a
    // character of its own.
    const Extracted e =
        Extract(OnePage("BT /F1 12 Tf "
                        "1 0 0 1 50 700 Tm (Ma) Tj 1 0 0 1 66.67 700 Tm (n) Tj "
                        "1 0 0 1 68.0 700 Tm <98> Tj 1 0 0 1 73.34 700 Tm (ana) Tj "
                        "1 0 0 1 50 670 Tm (X) Tj 1 0 0 1 52.0 673 Tm <98> Tj "
                        "1 0 0 1 50 640 Tm (a) Tj 1 0 0 1 56.67 640 Tm <98> Tj 1 0 0 1 60.67 640 Tm (b) Tj "
                        "ET"));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"Man\xCC\x83"
                                                 "ana ",
                                                 "X\xCC\x83 ",
                                                 "a\xCB\x9C"
                                                 "b "}));
}

TEST(Text, InvisibleTextIsStillText)
{
    const Extracted e = Extract(OnePage("BT 3 Tr /F1 12 Tf 50 700 Td (ocr layer) Tj ET"));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"ocr layer "}));
    EXPECT_TRUE(FirstRun(e).flags & PDF_TEXT_INVISIBLE);
}

TEST(Text, SizeIsTheEffectiveSizeOnThePage)
{
    const Extracted e = Extract(OnePage("2 0 0 2 0 0 cm BT /F1 5 Tf 1.5 0 0 1.5 20 300 Tm (big) Tj ET"));
    EXPECT_NEAR(FirstRun(e).size, 15.0, 1e-6);
    // y grows downwards from the top of the page: baseline at 800 - 600.
    EXPECT_NEAR(FirstRun(e).baseline, 200.0, 1e-6);
    EXPECT_NEAR(FirstRun(e).left, 40.0, 1e-6);

    // Type squeezed across by the text matrix or by horizontal scaling is named by the size
    // whose em has the same area.
    const Extracted squeezed = Extract(OnePage("BT /F1 1 Tf 18 0 0 24.5 20 300 Tm (narrow) Tj ET"));
    EXPECT_NEAR(FirstRun(squeezed).size, 21.0, 1e-6);
    const Extracted scaled = Extract(OnePage("BT /F1 16 Tf 25 Tz 20 300 Td (narrow) Tj ET"));
    EXPECT_NEAR(FirstRun(scaled).size, 8.0, 1e-6);
}

TEST(Text, RotatedPagesReadUpright)
{
    // On a page shown turned by 90 degrees, text drawn bottom-to-top reads left to right.
    const Extracted e = Extract(OnePage("BT /F1 12 Tf 0 1 -1 0 300 100 Tm (upright words) Tj ET", "/Rotate 90"));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"upright words "}));
    EXPECT_DOUBLE_EQ(e.model.width, 800);
    EXPECT_DOUBLE_EQ(e.model.height, 600);
}

TEST(Text, VerticalColumnsReadTopDownFromTheRight)
{
    // Identity-V: each string runs down the page; the column on the right is read first.
    PdfBuilder b;
    b.AddSimplePage("BT /F2 20 Tf 1 0 0 1 100 700 Tm <000100020003> Tj 1 0 0 1 300 700 Tm <000400050006> Tj ET");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F2 6 0 R >> >> "
             "/Contents 4 0 R >>");
    b.Add(6, "<< /Type /Font /Subtype /Type0 /BaseFont /MinchoV /Encoding /Identity-V "
             "/DescendantFonts [7 0 R] /ToUnicode 8 0 R >>");
    b.Add(7, "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /MinchoV "
             "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> >>");
    b.AddStream(8, "begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange "
                   "1 beginbfrange <0001> <0006> <3042> endbfrange endcmap");
    const Extracted e = Extract(b.Build());
    // U+3045 U+3046 U+3047 (right column), then U+3042 U+3043 U+3044; no trailing spaces.
    EXPECT_EQ(e.lines, (std::vector<std::string>{"\xE3\x81\x85\xE3\x81\x86\xE3\x81\x87", "|",
                                                 "\xE3\x81\x82\xE3\x81\x83\xE3\x81\x84"}));
}

TEST(Text, VerticalColumnsInTiersReadTierByTier)
{
    // Two tiers of three vertical columns each, the columns of both tiers at the same x: the
    // upper tier is read right to left, then the lower one.
    const int columnX[3] = {300, 270, 240};
    const int tierTop[2] = {700, 500};
    std::string content = "BT /F2 20 Tf ";
    std::vector<std::string> expected;
    int code = 1;
    for (int tier = 0; tier < 2; ++tier) {
        for (int column = 0; column < 3; ++column) {
            char hex[16];
            std::u16string text;
            content += "1 0 0 1 " + std::to_string(columnX[column]) + " " + std::to_string(tierTop[tier]) + " Tm <";
            for (int k = 0; k < 3; ++k, ++code) {
                std::snprintf(hex, sizeof hex, "%04X", code);
                content += hex;
                text.push_back(static_cast<char16_t>(0x3041 + code));
            }
            content += "> Tj ";
            if (!expected.empty())
                expected.push_back("|");
            expected.push_back(Utf8(text));
        }
    }
    content += "ET";
    PdfBuilder b;
    b.AddSimplePage(content);
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F2 6 0 R >> >> "
             "/Contents 4 0 R >>");
    b.Add(6, "<< /Type /Font /Subtype /Type0 /BaseFont /MinchoV /Encoding /Identity-V "
             "/DescendantFonts [7 0 R] /ToUnicode 8 0 R >>");
    b.Add(7, "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /MinchoV "
             "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> >>");
    b.AddStream(8, "begincmap 1 begincodespacerange <0000> <FFFF> endcodespacerange "
                   "1 beginbfrange <0001> <0012> <3042> endbfrange endcmap");
    EXPECT_EQ(Extract(b.Build()).lines, expected);
}

TEST(Text, TextOutsideTheVisiblePageIsLeftOut)
{
    const Extracted e = Extract(OnePage("BT /F1 10 Tf 50 700 Td (shown) Tj 0 200 Td (above the page) Tj "
                                        "700 -200 Td (right of it) Tj ET",
                                        "/CropBox [0 0 600 790]"));
    EXPECT_EQ(e.lines, (std::vector<std::string>{"shown "}));
}

TEST(Text, FormsRunOnceEvenWhenTheyDrawThemselves)
{
    PdfBuilder b;
    b.AddSimplePage("/X1 Do");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> "
             "/XObject << /X1 6 0 R >> >> /Contents 4 0 R >>");
    b.AddStream(6, "BT /F1 12 Tf 50 700 Td (inside form) Tj ET /X1 Do",
                "/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Resources << /Font << /F1 5 0 R >> "
                "/XObject << /X1 6 0 R >> >>");
    const Extracted e = Extract(b.Build());
    EXPECT_EQ(e.lines, (std::vector<std::string>{"inside form "}));
}

TEST(Text, AnnotationAppearancesShowTheirText)
{
    PdfBuilder b;
    b.AddSimplePage("", "/Annots [6 0 R 8 0 R]");
    b.Add(6, "<< /Type /Annot /Subtype /Widget /Rect [100 100 300 120] /AP << /N 7 0 R >> >>");
    b.AddStream(7, "BT /F1 10 Tf 2 5 Td (field value) Tj ET",
                "/Type /XObject /Subtype /Form /BBox [0 0 200 20] /Resources << /Font << /F1 5 0 R >> >>");
    b.Add(8, "<< /Type /Annot /Subtype /Widget /F 2 /Rect [100 200 300 220] /AP << /N 7 0 R >> >>");  // hidden
    const Extracted e = Extract(b.Build());
    EXPECT_EQ(e.lines, (std::vector<std::string>{"field value "}));
}

TEST(Text, InlineImagesAreSkippedByTextAndEncodedAsPng)
{
    const std::string content = "q 40 0 0 20 50 600 cm BI /W 2 /H 2 /CS /G /BPC 8 ID \x01\xFF\x80\x10 EI Q "
                                "BT /F1 12 Tf 50 700 Td (after) Tj ET";
    const Extracted text = Extract(OnePage(content));
    EXPECT_EQ(text.lines, (std::vector<std::string>{"after "}));
    const Extracted withImages = Extract(OnePage(content), true);
    const RunModel* image = nullptr;
    for (const auto& region : withImages.model.regions)
        for (const auto& line : region)
            for (const auto& run : line.runs)
                if (run.isImage)
                    image = &run;
    ASSERT_TRUE(image);
    EXPECT_EQ(image->imageData.substr(1, 3), "PNG");
    EXPECT_NEAR(image->right - image->left, 40, 1e-6);
}

// The first pixel of an 8-bit RGB PNG written by the reader (one IDAT chunk).
// The first pixel of a PNG written by the reader, as red, green, blue.
std::vector<int> FirstPngPixel(const std::string& png)
{
    testing::TestPng image;
    return testing::ReadTestPng(png, &image) ? image.Pixel(0, 0) : std::vector<int>{};
}

TEST(Images, SoftMasksAreBlendedOntoWhite)
{
    // A black 2x1 image whose mask (inverted by /Decode) makes the first pixel transparent.
    PdfBuilder b;
    b.AddSimplePage("q 20 0 0 10 50 600 cm /Im1 Do Q");
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /XObject << /Im1 6 0 R >> >> "
             "/Contents 4 0 R >>");
    b.AddStream(6, std::string(6, '\0'),
                "/Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceRGB /BitsPerComponent 8 "
                "/SMask 7 0 R");
    b.AddStream(7, std::string("\xFF\x00", 2),
                "/Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8 "
                "/Decode [1 0]");
    const Extracted e = Extract(b.Build(), true);
    const RunModel* image = nullptr;
    for (const auto& region : e.model.regions)
        for (const auto& line : region)
            for (const auto& run : line.runs)
                if (run.isImage)
                    image = &run;
    ASSERT_TRUE(image);
    EXPECT_EQ(FirstPngPixel(image->imageData), (std::vector<int>{255, 255, 255}));
}

std::vector<RunModel> ImageRuns(const Extracted& e)
{
    std::vector<RunModel> images;
    for (const auto& region : e.model.regions)
        for (const auto& line : region)
            for (const auto& run : line.runs)
                if (run.isImage)
                    images.push_back(run);
    return images;
}

// A page whose resources name the image Im1 (object 6), the forms Fm1 and Fm2 (objects 7 and 8),
// the colour space CS1 (object 9) and the graphics state GS1 with the soft mask object 11; extra
// objects are given as "dictionary|stream data" or as plain bodies.
std::string PageWithImage(const std::string& content, const std::string& imageDict, const std::string& imageData,
                          const std::vector<std::pair<int, std::string>>& extra = {})
{
    PdfBuilder b;
    b.AddSimplePage(content);
    b.Add(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] /Resources << /XObject << /Im1 6 0 R "
             "/Fm1 7 0 R /Fm2 8 0 R >> /ColorSpace << /CS1 9 0 R >> /ExtGState << /GS1 << /SMask 11 0 R >> >> >> "
             "/Contents 4 0 R >>");
    b.AddStream(6, imageData, "/Type /XObject /Subtype /Image " + imageDict);
    for (const auto& object : extra) {
        const size_t bar = object.second.find('|');
        if (bar == std::string::npos)
            b.Add(object.first, object.second);
        else
            b.AddStream(object.first, object.second.substr(bar + 1), object.second.substr(0, bar));
    }
    return b.Build();
}

const char kFakeJpeg[] = "\xFF\xD8\xFF\xE0 not a real scan";

TEST(Images, VisibleImagesAreDeliveredWhereverTheyAreDrawn)
{
    const std::string greyJpeg = "/Width 4 /Height 4 /BitsPerComponent 8 /ColorSpace /DeviceGray /Filter /DCTDecode";
    const std::string formResources = "/Resources << /XObject << /Im1 6 0 R /Fm2 8 0 R >> >> ";
    struct Case {
        const char* what;
        std::string content, imageDict;
        std::vector<std::pair<int, std::string>> extra;
        double left, top, right, bottom;
    } cases[] = {
        {"grey JPEG in a transparency group whose box has its corners swapped",
         "/Fm1 Do",
         greyJpeg,
         {{7, "/Type /XObject /Subtype /Form /BBox [110 300 10 200] /Group << /S /Transparency /CS /DeviceGray >> " +
                  formResources + "|q 100 0 0 100 10 200 cm /Im1 Do Q"}},
         10,
         500,
         110,
         600},
        {"nested forms with matrices",
         "/Fm1 Do",
         greyJpeg,
         {{7,
           "/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Matrix [1 0 0 1 100 0] " + formResources + "|/Fm2 Do"},
          {8, "/Type /XObject /Subtype /Form /BBox [0 0 50 50] /Matrix [2 0 0 2 0 0] " + formResources +
                  "|q 10 0 0 10 0 100 cm /Im1 Do Q"}},
         100,
         580,
         120,
         600},
        {"image under a clip", "q 0 0 300 300 re W n 40 0 0 40 50 50 cm /Im1 Do Q", greyJpeg, {}, 50, 710, 90, 750},
        {"grey ICC JPEG",
         "q 40 0 0 40 50 50 cm /Im1 Do Q",
         "/Width 4 /Height 4 /BitsPerComponent 8 /ColorSpace /CS1 /Filter /DCTDecode",
         {{9, "[/ICCBased 10 0 R]"}, {10, "/N 1|icc"}},
         50,
         710,
         90,
         750},
        {"indexed JPEG",
         "q 40 0 0 40 50 50 cm /Im1 Do Q",
         "/Width 4 /Height 4 /BitsPerComponent 8 /ColorSpace [/Indexed /DeviceGray 1 <00FF>] /Filter /DCTDecode",
         {},
         50,
         710,
         90,
         750},
        // 200 x 100 drawn with its left half past the page's left edge: 100 x 100 shows, and the
        // whole picture is fitted into that with its proportions kept.
        {"picture reaching past the page", "q 200 0 0 100 -100 50 cm /Im1 Do Q", greyJpeg, {}, 0, 650, 100, 700},
    };
    for (const Case& c : cases) {
        const std::vector<RunModel> images =
            ImageRuns(Extract(PageWithImage(c.content, c.imageDict, kFakeJpeg, c.extra), true));
        ASSERT_EQ(images.size(), 1u) << c.what;
        EXPECT_EQ(images[0].imageData, kFakeJpeg) << c.what;
        EXPECT_NEAR(images[0].left, c.left, 1e-6) << c.what;
        EXPECT_NEAR(images[0].top, c.top, 1e-6) << c.what;
        EXPECT_NEAR(images[0].right, c.right, 1e-6) << c.what;
        EXPECT_NEAR(images[0].bottom, c.bottom, 1e-6) << c.what;
    }
}

TEST(Images, ImagesOffThePageOrOnlyShapingASoftMaskAreLeftOut)
{
    // Object 11 is a soft mask whose group draws the image; the page paints a rectangle through it.
    const std::vector<std::pair<int, std::string>> extra = {
        {7, "/Type /XObject /Subtype /Form /BBox [0 0 600 800] /Group << /S /Transparency >> "
            "/Resources << /XObject << /Im1 6 0 R >> >>|q 100 0 0 100 10 200 cm /Im1 Do Q"},
        {11, "<< /Type /Mask /S /Luminosity /G 7 0 R >>"},
    };
    const std::string grey = "/Width 4 /Height 4 /BitsPerComponent 8 /ColorSpace /DeviceGray /Filter /DCTDecode";
    for (const char* content : {"q 40 0 0 40 700 50 cm /Im1 Do Q", "q /GS1 gs 0 0 300 300 re f Q"})
        EXPECT_TRUE(ImageRuns(Extract(PageWithImage(content, grey, kFakeJpeg, extra), true)).empty()) << content;
}

TEST(Images, JpegDataIsFoundPastBytesBeforeItsStart)
{
    const std::string greyJpeg = "/Width 4 /Height 4 /BitsPerComponent 8 /ColorSpace /DeviceGray /Filter /DCTDecode";
    const std::string xobject =
        PageWithImage("q 40 0 0 40 50 50 cm /Im1 Do Q", greyJpeg, "\r\n" + std::string(kFakeJpeg));
    const std::string inlineImage =
        OnePage("q 40 0 0 40 50 50 cm BI /W 4 /H 4 /CS /G /BPC 8 /F /DCT ID\r\n" + std::string(kFakeJpeg) + " EI Q");
    for (const std::string& file : {xobject, inlineImage}) {
        const std::vector<RunModel> images = ImageRuns(Extract(file, true));
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].imageData, kFakeJpeg);
    }
}

TEST(Images, SamplesAreReadThroughTheDecodeArray)
{
    struct Case {
        const char* what;
        std::string imageDict, data;
        std::vector<int> firstPixel;
    } cases[] = {
        {"grey inverted",
         "/ColorSpace /DeviceGray /BitsPerComponent 8 /Decode [1 0]",
         std::string(1, '\0'),
         {255, 255, 255}},
        {"grey onto half its range",
         "/ColorSpace /DeviceGray /BitsPerComponent 4 /Decode [0 0.5]",
         "\xF0",
         {128, 128, 128}},
        {"CMYK inverted",
         "/ColorSpace /DeviceCMYK /BitsPerComponent 8 /Decode [1 0 1 0 1 0 1 0]",
         "\xFF\xFF\xFF\xFF",
         {255, 255, 255}},
        {"RGB with only blue inverted",
         "/ColorSpace /DeviceRGB /BitsPerComponent 8 /Decode [0 1 0 1 1 0]",
         std::string(3, '\0'),
         {0, 0, 255}},
        {"palette read backwards",
         "/ColorSpace [/Indexed /DeviceRGB 1 <FF00000000FF>] /BitsPerComponent 1 /Decode [1 0]",
         std::string(1, '\0'),
         {0, 0, 255}},
    };
    for (const Case& c : cases) {
        const std::string file =
            PageWithImage("q 40 0 0 40 50 50 cm /Im1 Do Q", "/Width 1 /Height 1 " + c.imageDict, c.data);
        const std::vector<RunModel> images = ImageRuns(Extract(file, true));
        ASSERT_EQ(images.size(), 1u) << c.what;
        EXPECT_EQ(FirstPngPixel(images[0].imageData), c.firstPixel) << c.what;
    }
}

TEST(Images, StencilMasksPaintTheFillColourWhereTheyMarkThePage)
{
    // A sample of 0 marks the page unless /Decode [1 0] turns the meaning round; unmarked is white paper.
    struct Case {
        std::string content;
        std::vector<int> firstPixel;
    } cases[] = {
        {"0 0 1 rg q 40 0 0 40 50 50 cm BI /IM true /W 8 /H 1 ID \x7F EI Q", {0, 0, 255}},
        {"0 0 1 rg q 40 0 0 40 50 50 cm BI /IM true /W 8 /H 1 /D [1 0] ID \x7F EI Q", {255, 255, 255}},
        {"0.5 g q 40 0 0 40 50 50 cm BI /IM true /W 8 /H 1 ID \x7F EI Q", {128, 128, 128}},
    };
    for (const Case& c : cases) {
        const std::vector<RunModel> images = ImageRuns(Extract(OnePage(c.content), true));
        ASSERT_EQ(images.size(), 1u) << c.content;
        EXPECT_EQ(FirstPngPixel(images[0].imageData), c.firstPixel) << c.content;
    }
}

// The pixels of a PNG written by the reader, drawn as '.' for white, '#' for the ink colour and
// '?' for anything else.
testing::Picture PngPicture(const std::string& png, const std::vector<int>& ink)
{
    testing::TestPng image;
    if (!testing::ReadTestPng(png, &image))
        return {};
    testing::Picture picture;
    for (int y = 0; y < image.height; ++y) {
        std::string row;
        for (int x = 0; x < image.width; ++x) {
            const std::vector<int> rgb = image.Pixel(x, y);
            row.push_back(rgb == std::vector<int>{255, 255, 255} ? '.' : rgb == ink ? '#' : '?');
        }
        picture.push_back(row);
    }
    return picture;
}

TEST(Images, FaxCodedImagesAndStencilsBecomePictures)
{
    const testing::Picture picture = {
        "#....#....##",
        ".#..#.....#.",
        "..##......#.",
        "..##....####",
    };
    testing::FaxCoding g3;
    g3.k = 2;
    g3.endOfLine = true;
    const std::string g4Data = testing::FaxEncoder::Encode(picture, testing::FaxCoding());
    const std::string g3Data = testing::FaxEncoder::Encode(picture, g3);
    ASSERT_EQ(g4Data.find("EI"), std::string::npos);
    const std::string g4 = "/Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 12 >>";
    const std::string draw = "q 40 0 0 40 50 50 cm /Im1 Do Q";
    const std::vector<int> black = {0, 0, 0}, red = {255, 0, 0};
    struct Case {
        const char* what;
        std::string file;
        std::vector<int> ink;
    } cases[] = {
        {"Group 4 grey image",
         PageWithImage(draw, "/Width 12 /Height 4 /ColorSpace /DeviceGray /BitsPerComponent 1 " + g4, g4Data), black},
        {"Group 3 two-dimensional, black as 1 read through /Decode [1 0]",
         PageWithImage(draw,
                       "/Width 12 /Height 4 /ColorSpace /DeviceGray /BitsPerComponent 1 /Decode [1 0] "
                       "/Filter /CCITTFaxDecode /DecodeParms << /K 2 /EndOfLine true /Columns 12 /Rows 4 "
                       "/BlackIs1 true >>",
                       g3Data),
         black},
        {"stencil mask in the fill colour",
         PageWithImage("1 0 0 rg " + draw, "/Width 12 /Height 4 /ImageMask true " + g4, g4Data), red},
        {"inline stencil mask with abbreviated names",
         OnePage("1 0 0 rg q 40 0 0 40 50 50 cm BI /IM true /W 12 /H 4 /F /CCF /DP << /K -1 /Columns 12 >> ID " +
                 g4Data + " EI Q"),
         red},
    };
    for (const Case& c : cases) {
        const std::vector<RunModel> images = ImageRuns(Extract(c.file, true));
        ASSERT_EQ(images.size(), 1u) << c.what;
        EXPECT_EQ(PngPicture(images[0].imageData, c.ink), picture) << c.what;
        // Black and white only: stored at one bit per pixel; a coloured stencil needs RGB.
        EXPECT_EQ(images[0].imageData[24], c.ink == black ? 1 : 8) << c.what;
    }
}

}  // namespace
}  // namespace halvane
