// The writer's later operations (sections, formatted paragraphs and runs, tables, placed
// pictures, headers and footers, fields, footnotes) driven through the contract as a faithful
// layout drives them, checked on the package they save. Runs natively against the static
// library and under Wine against strome.dll.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>

#include "package_checks.h"
#include "package_reader.h"
#include "test_paths.h"
#include "writer_calls.h"

namespace {

constexpr int kLetterWidth = 12240, kLetterHeight = 15840;  // twips
constexpr int kA4Width = 11906, kA4Height = 16838;

struct Saved {
    Package package;
    std::string document;  // word/document.xml
    std::string body;  // between <w:body> and the last section's properties
};

class DocxLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TestScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        Docx_Init();
    }
    void TearDown() override { Docx_Fini(); }

    qrn_IDocx* NewDocument()
    {
        path_ = folder_ + "out" + std::to_string(++count_) + ".docx";
        qrn_IDocx* doc = CreateDocument(path_);
        EXPECT_NE(doc, nullptr);
        return doc;
    }

    Saved SaveAndRead(qrn_IDocx* doc)
    {
        Saved s;
        EXPECT_NE(SaveAndDelete(doc), 0);
        s.package = ReadPackageFile(path_);
        EXPECT_TRUE(s.package.ok) << s.package.error;
        s.document = s.package.Part("word/document.xml");
        // Sections before the last end in a paragraph: the body runs up to the last section's properties.
        const size_t begin = s.document.find("<w:body>"), end = s.document.rfind("<w:sectPr>");
        if (begin != std::string::npos && end != std::string::npos && end > begin)
            s.body = s.document.substr(begin + 8, end - begin - 8);
        ExpectSoundPackage(s.package);
        return s;
    }

    std::string folder_;
    std::string path_;
    int count_ = 0;
};

std::string TestImage(const char* name)
{
    return ReadWholeFile(TestSourcePath(std::string("strome/tests/data/") + name));
}

// The w:pPr of the first paragraph of the body, or "" when it has none.
std::string FirstParagraphProperties(const std::string& body)
{
    return FirstElement(FirstElement(body, "w:p"), "w:pPr");
}

TEST_F(DocxLayout, SectionsCarryPageSizeOrientationMarginsAndColumns)
{
    qrn_IDocx* doc = NewDocument();
    stSectionProps letter = MakeSectionProps(kLetterWidth, kLetterHeight, 1440);
    EXPECT_EQ(doc->BeginSection(&letter), 1);
    stRunFormat plain = MakeRunFormat();
    EXPECT_EQ(AddTextParagraph(doc, MakeParagraphProps(), QT("one"), plain), 1);
    stSectionProps twoColumns = MakeSectionProps(kLetterWidth, kLetterHeight, 1440, 2, STROME_SECTION_CONTINUOUS);
    twoColumns.nFlags = STROME_SECTION_FLAG_LINE_BETWEEN;
    EXPECT_EQ(doc->BeginSection(&twoColumns), 1);
    EXPECT_EQ(AddTextParagraph(doc, MakeParagraphProps(), QT("two"), plain), 1);
    stSectionProps landscape = MakeSectionProps(kA4Height, kA4Width, 720, 3);
    const int widths[3] = {4000, 5000, 4000}, gaps[3] = {300, 300, 0};
    for (int i = 0; i < 3; ++i) {
        landscape.nColumnWidth[i] = widths[i];
        landscape.nColumnGap[i] = gaps[i];
    }
    EXPECT_EQ(doc->BeginSection(&landscape), 1);
    EXPECT_EQ(AddTextParagraph(doc, MakeParagraphProps(), QT("three"), plain), 1);
    Saved s = SaveAndRead(doc);

    // Each section's properties join its last paragraph: no paragraph is added for them.
    std::vector<std::string> paragraphs = Elements(s.body, "w:p");
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(FirstElement(paragraphs[0], "w:sectPr"),
              "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/>"
              "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" w:header=\"360\" "
              "w:footer=\"360\" w:gutter=\"0\"/><w:cols w:space=\"425\"/></w:sectPr>");
    EXPECT_EQ(FirstElement(paragraphs[1], "w:sectPr"),
              "<w:sectPr><w:type w:val=\"continuous\"/><w:pgSz w:w=\"12240\" w:h=\"15840\"/>"
              "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" w:header=\"360\" "
              "w:footer=\"360\" w:gutter=\"0\"/><w:cols w:num=\"2\" w:sep=\"1\" w:space=\"425\"/></w:sectPr>");
    EXPECT_EQ(FirstElement(paragraphs[2], "w:sectPr"), "");
    const std::vector<std::string> sections = Elements(s.document, "w:sectPr");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[2],
              "<w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\" w:orient=\"landscape\"/>"
              "<w:pgMar w:top=\"720\" w:right=\"720\" w:bottom=\"720\" w:left=\"720\" w:header=\"360\" "
              "w:footer=\"360\" w:gutter=\"0\"/><w:cols w:num=\"3\" w:space=\"425\" w:equalWidth=\"0\">"
              "<w:col w:w=\"4000\" w:space=\"300\"/><w:col w:w=\"5000\" w:space=\"300\"/><w:col w:w=\"4000\"/>"
              "</w:cols></w:sectPr>");
}

TEST_F(DocxLayout, ASectionAfterATableOrAPageBreakNeedsNoBlankPage)
{
    qrn_IDocx* doc = NewDocument();
    EXPECT_EQ(AddTextParagraph(doc, MakeParagraphProps(), QT("page one"), MakeRunFormat()), 1);
    // A page break and then a new page section: the section's own break is the only one.
    EXPECT_EQ(doc->AddPageBreak(), 1);
    stSectionProps letter = MakeSectionProps(kLetterWidth, kLetterHeight, 1440);
    EXPECT_EQ(doc->BeginSection(&letter), 1);
    const int32_t grid[1] = {3000};
    stTableProps table = MakeTableProps();
    EXPECT_EQ(doc->BeginTable(&table, grid, 1), 1);
    stRowProps row = MakeRowProps();
    stCellProps cell = MakeCellProps();
    EXPECT_EQ(doc->BeginRow(&row), 1);
    EXPECT_EQ(doc->BeginCell(&cell), 1);
    EXPECT_EQ(doc->EndTable(), 1);
    // The table's section ends in a paragraph of a point's height that carries its properties.
    EXPECT_EQ(doc->BeginSection(&letter), 1);
    EXPECT_EQ(AddTextParagraph(doc, MakeParagraphProps(), QT("page three"), MakeRunFormat()), 1);
    Saved s = SaveAndRead(doc);
    EXPECT_EQ(CountOf(s.body, "pageBreakBefore"), 0u);
    std::vector<std::string> paragraphs = Elements(s.body, "w:p");
    ASSERT_EQ(paragraphs.size(), 4u);  // page one, the cell's, the carrier, page three
    EXPECT_NE(paragraphs[0].find("<w:sectPr>"), std::string::npos);
    EXPECT_EQ(
        paragraphs[2].find("<w:p><w:pPr><w:spacing w:before=\"0\" w:after=\"0\" w:line=\"20\" w:lineRule=\"exact\"/>"
                           "<w:rPr><w:sz w:val=\"2\"/><w:szCs w:val=\"2\"/></w:rPr>"),
        0u);
    EXPECT_NE(paragraphs[2].find("<w:sectPr>"), std::string::npos);
}

struct ParagraphPropsCase {
    const char* what;
    std::function<void(stParagraphProps&)> set;
    const char* expected;  // the w:pPr element, "" for none
};

TEST_F(DocxLayout, ParagraphPropertiesOfTheLaterRecords)
{
    const ParagraphPropsCase cases[] = {
        {"defaults", [](stParagraphProps&) {}, ""},
        {"centre", [](stParagraphProps& p) { p.nAlignment = STROME_ALIGN_CENTER; },
         "<w:pPr><w:jc w:val=\"center\"/></w:pPr>"},
        {"right", [](stParagraphProps& p) { p.nAlignment = STROME_ALIGN_RIGHT; },
         "<w:pPr><w:jc w:val=\"right\"/></w:pPr>"},
        {"justified", [](stParagraphProps& p) { p.nAlignment = STROME_ALIGN_JUSTIFY; },
         "<w:pPr><w:jc w:val=\"both\"/></w:pPr>"},
        {"indents",
         [](stParagraphProps& p) {
             p.nLeft = 720;
             p.nRight = 360;
             p.nFirstLine = 240;
         },
         "<w:pPr><w:ind w:left=\"720\" w:right=\"360\" w:firstLine=\"240\"/></w:pPr>"},
        {"hanging",
         [](stParagraphProps& p) {
             p.nLeft = 720;
             p.nFirstLine = -360;
         },
         "<w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/></w:pPr>"},
        {"into the margin", [](stParagraphProps& p) { p.nLeft = -360; }, "<w:pPr><w:ind w:left=\"-360\"/></w:pPr>"},
        {"indent past the line keeps two inches of it", [](stParagraphProps& p) { p.nLeft = 20000; },
         "<w:pPr><w:ind w:left=\"8306\"/></w:pPr>"},  // A4 with the default quarter-inch margins
        {"exact lines",
         [](stParagraphProps& p) {
             p.nBefore = 120;
             p.nAfter = 240;
             p.nLine = 280;
             p.nLineRule = STROME_LINE_EXACT;
         },
         "<w:pPr><w:spacing w:before=\"120\" w:after=\"240\" w:line=\"280\" w:lineRule=\"exact\"/></w:pPr>"},
        {"lines at least",
         [](stParagraphProps& p) {
             p.nLine = 300;
             p.nLineRule = STROME_LINE_AT_LEAST;
         },
         "<w:pPr><w:spacing w:line=\"300\" w:lineRule=\"atLeast\"/></w:pPr>"},
        {"one and a half lines", [](stParagraphProps& p) { p.nLine = 360; },
         "<w:pPr><w:spacing w:line=\"360\" w:lineRule=\"auto\"/></w:pPr>"},
        {"keeping and breaking",
         [](stParagraphProps& p) {
             p.nFlags = STROME_PARA_KEEP_NEXT | STROME_PARA_KEEP_LINES | STROME_PARA_PAGE_BREAK_BEFORE |
                        STROME_PARA_WIDOW_CONTROL | STROME_PARA_CONTEXTUAL_SPACING;
         },
         "<w:pPr><w:keepNext/><w:keepLines/><w:pageBreakBefore/><w:widowControl/><w:contextualSpacing/></w:pPr>"},
        {"heading", [](stParagraphProps& p) { p.nHeadingLevel = 2; }, "<w:pPr><w:pStyle w:val=\"Heading2\"/></w:pPr>"},
        {"tab stops",
         [](stParagraphProps& p) {
             p.nTabCount = 2;
             p.tabs[0] = {4000, STROME_TAB_CENTER, STROME_LEADER_NONE};
             p.tabs[1] = {9000, STROME_TAB_DECIMAL, STROME_LEADER_MIDDLE_DOT};
         },
         "<w:pPr><w:tabs><w:tab w:val=\"center\" w:pos=\"4000\"/>"
         "<w:tab w:val=\"decimal\" w:leader=\"middleDot\" w:pos=\"9000\"/></w:tabs></w:pPr>"},
    };
    for (const ParagraphPropsCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        stParagraphProps props = MakeParagraphProps();
        c.set(props);
        EXPECT_EQ(AddTextParagraph(doc, props, QT("x"), MakeRunFormat()), 1) << c.what;
        Saved s = SaveAndRead(doc);
        EXPECT_EQ(FirstParagraphProperties(s.body), c.expected) << c.what;
    }
}

TEST_F(DocxLayout, AContentsLineIsTitleDotLeaderRightTabAndPageNumber)
{
    qrn_IDocx* doc = NewDocument();
    stSectionProps letter = MakeSectionProps(kLetterWidth, kLetterHeight, 1440);
    doc->BeginSection(&letter);
    stParagraphProps line = MakeParagraphProps();
    line.nTabCount = 1;
    line.tabs[0] = {kLetterWidth - 2 * 1440, STROME_TAB_RIGHT, STROME_LEADER_DOT};
    EXPECT_EQ(AddTextParagraph(doc, line, QT("Introduction\t12"), MakeRunFormat()), 1);
    Saved s = SaveAndRead(doc);
    EXPECT_EQ(FirstElement(s.body, "w:p"),
              "<w:p><w:pPr><w:tabs><w:tab w:val=\"right\" w:leader=\"dot\" w:pos=\"9360\"/></w:tabs></w:pPr>"
              "<w:r><w:t>Introduction</w:t><w:tab/><w:t>12</w:t></w:r></w:p>");
}

struct RunFormatCase {
    const char* what;
    std::function<void(stRunFormat&)> set;
    const char16_t* text;
    const char* expected;  // the w:rPr element of the run, "" for none
};

TEST_F(DocxLayout, RunFormatsOfTheLaterRecords)
{
    const RunFormatCase cases[] = {
        {"defaults", [](stRunFormat&) {}, u"x", ""},
        {"a Latin family", [](stRunFormat& f) { std::strcpy(f.szFont, "Arial"); }, u"x",
         "<w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\"/></w:rPr>"},
        {"a Chinese family beside it",
         [](stRunFormat& f) {
             std::strcpy(f.szFont, "Arial");
             std::strcpy(f.szEastAsiaFont, "\xE9\xBB\x91\xE4\xBD\x93");  // 黑体 in UTF-8
         },
         u"\x4E2D",
         "<w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:eastAsia=\"\xE9\xBB\x91\xE4\xBD\x93\" w:cs=\"Arial\" "
         "w:hint=\"eastAsia\"/></w:rPr>"},
        {"a PDF font name",
         [](stRunFormat& f) {
             std::strcpy(f.szFont, "ABCDEF+Arial-BoldMT");
             f.nFlags = STROME_RUN_PDF_FONT_NAME;
         },
         u"x", "<w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\"/><w:b/><w:bCs/></w:rPr>"},
        {"weight, slant, strike, colour, size",
         [](stRunFormat& f) {
             f.nFlags = STROME_RUN_BOLD | STROME_RUN_ITALIC | STROME_RUN_STRIKE;
             f.nColor = 0x000000FF;
             f.nSize = 24;
         },
         u"x",
         "<w:rPr><w:b/><w:bCs/><w:i/><w:iCs/><w:strike/><w:color w:val=\"FF0000\"/><w:sz w:val=\"24\"/>"
         "<w:szCs w:val=\"24\"/></w:rPr>"},
        {"explicit black", [](stRunFormat& f) { f.nColor = 0; }, u"x", "<w:rPr><w:color w:val=\"000000\"/></w:rPr>"},
        {"underline and superscript",
         [](stRunFormat& f) {
             f.nUnderline = STROME_UNDERLINE_DOUBLE;
             f.nVertAlign = STROME_VERTALIGN_SUPERSCRIPT;
         },
         u"x", "<w:rPr><w:u w:val=\"double\"/><w:vertAlign w:val=\"superscript\"/></w:rPr>"},
        {"subscript", [](stRunFormat& f) { f.nVertAlign = STROME_VERTALIGN_SUBSCRIPT; }, u"x",
         "<w:rPr><w:vertAlign w:val=\"subscript\"/></w:rPr>"},
        {"character spacing and width",
         [](stRunFormat& f) {
             f.nCharSpacing = -20;
             f.nScale = 90;
         },
         u"x", "<w:rPr><w:spacing w:val=\"-20\"/><w:w w:val=\"90\"/></w:rPr>"},
    };
    for (const RunFormatCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        stRunFormat format = MakeRunFormat();
        c.set(format);
        std::u16string utf16(c.text);
        EXPECT_EQ(AddTextParagraph(doc, MakeParagraphProps(), QString(utf16.begin(), utf16.end()), format), 1)
            << c.what;
        Saved s = SaveAndRead(doc);
        EXPECT_EQ(FirstElement(FirstElement(s.body, "w:r"), "w:rPr"), c.expected) << c.what;
        // The paragraph's mark takes its first run's format, so its last line is as tall.
        const std::string mark = FirstElement(FirstParagraphProperties(s.body), "w:rPr");
        if (std::string(c.expected).find("w:hint") == std::string::npos)
            EXPECT_EQ(mark, c.expected) << c.what;
    }
}

TEST_F(DocxLayout, TableWithMergesBordersShadingAndARepeatedHeaderRow)
{
    qrn_IDocx* doc = NewDocument();
    const int32_t grid[3] = {3000, 2000, 2500};
    stTableProps table = MakeTableProps();
    table.nIndent = 120;
    table.nFlags = STROME_TABLE_FIXED_LAYOUT | STROME_TABLE_CELL_MARGINS;
    table.nCellMargin[1] = table.nCellMargin[3] = 60;
    table.borders[STROME_EDGE_TOP] = MakeBorder(STROME_BORDER_SINGLE, 8, 0);
    table.borders[STROME_EDGE_INSIDE_H] = MakeBorder(STROME_BORDER_DASHED, 4, STROME_COLOR_AUTO);
    ASSERT_EQ(doc->BeginTable(&table, grid, 3), 1);
    stRunFormat plain = MakeRunFormat();

    stRowProps header = MakeRowProps(400, STROME_HEIGHT_EXACT, STROME_ROW_HEADER | STROME_ROW_CANT_SPLIT);
    ASSERT_EQ(doc->BeginRow(&header), 1);
    stCellProps spanTwo = MakeCellProps(2);
    spanTwo.nFlags = STROME_CELL_SHADED;
    spanTwo.nShading = 0x00C0FFEE;  // 0x00BBGGRR
    spanTwo.nVAlign = STROME_VALIGN_BOTTOM;
    ASSERT_EQ(doc->BeginCell(&spanTwo), 1);
    AddTextParagraph(doc, MakeParagraphProps(), QT("Region and quarter"), plain);
    ASSERT_EQ(doc->EndCell(), 1);
    stCellProps edges = MakeCellProps();
    edges.borders[STROME_EDGE_LEFT] = MakeBorder(STROME_BORDER_NONE);
    edges.borders[STROME_EDGE_BOTTOM] = MakeBorder(STROME_BORDER_DOUBLE, 12, 0x000000FF);
    edges.nFlags = STROME_CELL_MARGINS;
    edges.nMargin[0] = 20;
    ASSERT_EQ(doc->BeginCell(&edges), 1);
    AddTextParagraph(doc, MakeParagraphProps(), QT("Total"), plain);
    ASSERT_EQ(doc->EndRow(), 1);  // completes the cell

    stRowProps row = MakeRowProps();
    for (int r = 0; r < 2; ++r) {
        ASSERT_EQ(doc->BeginRow(&row), 1);
        stCellProps merged = MakeCellProps(1, r == 0 ? STROME_VMERGE_RESTART : STROME_VMERGE_CONTINUE);
        ASSERT_EQ(doc->BeginCell(&merged), 1);
        if (r == 0)
            AddTextParagraph(doc, MakeParagraphProps(), QT("East"), plain);
        stCellProps cell = MakeCellProps();
        ASSERT_EQ(doc->BeginCell(&cell), 1);  // completes the merged cell, empty in the second row
        if (r == 1) {
            // A table in a cell: the cell still ends with a paragraph.
            const int32_t inner[2] = {900, 900};
            ASSERT_EQ(doc->BeginTable(&table, inner, 2), 1);
            ASSERT_EQ(doc->BeginRow(&row), 1);
            ASSERT_EQ(doc->BeginCell(&cell), 1);
            AddTextParagraph(doc, MakeParagraphProps(), QT("inner"), plain);
            ASSERT_EQ(doc->EndTable(), 1);
        } else {
            AddTextParagraph(doc, MakeParagraphProps(), QT("1,250"), plain);
        }
        ASSERT_EQ(doc->EndRow(), 1);
    }
    ASSERT_EQ(doc->EndTable(), 1);
    Saved s = SaveAndRead(doc);

    std::vector<std::string> tables = Elements(s.body, "w:tbl");
    ASSERT_EQ(tables.size(), 1u);
    const std::string& t = tables[0];
    EXPECT_EQ(
        FirstElement(t, "w:tblPr"),
        "<w:tblPr><w:tblW w:w=\"7500\" w:type=\"dxa\"/><w:tblInd w:w=\"120\" w:type=\"dxa\"/>"
        "<w:tblBorders><w:top w:val=\"single\" w:sz=\"8\" w:space=\"0\" w:color=\"000000\"/>"
        "<w:insideH w:val=\"dashed\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/></w:tblBorders>"
        "<w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/>"
        "<w:left w:w=\"60\" w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"60\" w:type=\"dxa\"/>"
        "</w:tblCellMar></w:tblPr>");
    EXPECT_EQ(FirstElement(t, "w:tblGrid"),
              "<w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2500\"/></w:tblGrid>");
    std::vector<std::string> rows = Elements(t, "w:tr");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(FirstElement(rows[0], "w:trPr"),
              "<w:trPr><w:cantSplit/><w:trHeight w:val=\"400\" w:hRule=\"exact\"/><w:tblHeader/></w:trPr>");
    std::vector<std::string> header_cells = Elements(rows[0], "w:tc");
    ASSERT_EQ(header_cells.size(), 2u);
    EXPECT_EQ(FirstElement(header_cells[0], "w:tcPr"),
              "<w:tcPr><w:tcW w:w=\"5000\" w:type=\"dxa\"/><w:gridSpan w:val=\"2\"/>"
              "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"EEFFC0\"/><w:vAlign w:val=\"bottom\"/></w:tcPr>");
    EXPECT_EQ(FirstElement(header_cells[1], "w:tcPr"),
              "<w:tcPr><w:tcW w:w=\"2500\" w:type=\"dxa\"/><w:tcBorders><w:left w:val=\"nil\"/>"
              "<w:bottom w:val=\"double\" w:sz=\"12\" w:space=\"0\" w:color=\"FF0000\"/></w:tcBorders>"
              "<w:tcMar><w:top w:w=\"20\" w:type=\"dxa\"/><w:left w:w=\"0\" w:type=\"dxa\"/>"
              "<w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"0\" w:type=\"dxa\"/></w:tcMar></w:tcPr>");
    EXPECT_NE(rows[1].find("<w:vMerge w:val=\"restart\"/>"), std::string::npos);
    EXPECT_NE(rows[2].find("<w:vMerge/>"), std::string::npos);
    // Every cell holds a paragraph and ends with one, the merged and the nesting ones too.
    for (const std::string& row : rows)
        for (const std::string& cell : Elements(row, "w:tc")) {
            EXPECT_NE(cell.find("<w:p"), std::string::npos) << cell;
            EXPECT_TRUE(cell.size() > 13 && (cell.compare(cell.size() - 13, 13, "</w:p></w:tc>") == 0 ||
                                             cell.compare(cell.size() - 13, 13, "<w:p/></w:tc>") == 0))
                << cell;
        }
    EXPECT_EQ(CountOf(t, "<w:tbl>"), 2u);
    // A body that ends with a table ends with a paragraph of a point's height.
    EXPECT_EQ(s.body.substr(s.body.size() - 6), "</w:p>");
}

TEST_F(DocxLayout, HeadersAndFootersArePartsOfTheirSectionWithAPageField)
{
    qrn_IDocx* doc = NewDocument();
    stSectionProps letter = MakeSectionProps(kLetterWidth, kLetterHeight, 1440);
    ASSERT_EQ(doc->BeginSection(&letter), 1);
    stRunFormat plain = MakeRunFormat();
    ASSERT_EQ(doc->BeginHeaderFooter(STROME_HEADER_DEFAULT), 1);
    qrn_IDocxPara* logo = doc->AddParagraphEx(nullptr);
    ASSERT_NE(logo, nullptr);
    const std::string png = TestImage("red_blue.png");
    EXPECT_EQ(PlacePictureEx(doc, logo, png, MakePictureProps(720, 360)), 1);  // a logo, only in the header
    logo->Release();
    AddTextParagraph(doc, MakeParagraphProps(STROME_ALIGN_RIGHT), QT("Annual report"), plain);
    ASSERT_EQ(doc->EndHeaderFooter(), 1);
    ASSERT_EQ(doc->BeginHeaderFooter(STROME_FOOTER_FIRST), 1);
    qrn_IDocxPara* para = doc->AddParagraphEx(nullptr);
    ASSERT_NE(para, nullptr);
    AddRunEx(para, QT("Page "), plain);
    QString one = QT("1");
    EXPECT_EQ(para->AddField(STROME_FIELD_PAGE, one.data(), int(one.size()), &plain), 1);
    AddRunEx(para, QT(" of "), plain);
    EXPECT_EQ(para->AddField(STROME_FIELD_NUMPAGES, nullptr, 0, nullptr), 1);
    para->Release();
    ASSERT_EQ(doc->EndHeaderFooter(), 1);
    AddTextParagraph(doc, MakeParagraphProps(), QT("first page"), plain);
    ASSERT_EQ(doc->BeginSection(&letter), 1);
    ASSERT_EQ(doc->BeginHeaderFooter(STROME_FOOTER_DEFAULT), 1);  // an empty footer
    ASSERT_EQ(doc->EndHeaderFooter(), 1);
    AddTextParagraph(doc, MakeParagraphProps(), QT("second section"), plain);
    Saved s = SaveAndRead(doc);
    const Package& p = s.package;

    const std::string& header = p.Part("word/header1.xml");
    const std::string& footer = p.Part("word/footer1.xml");
    EXPECT_NE(header.find("<w:hdr "), std::string::npos);
    EXPECT_NE(header.find("<w:t>Annual report</w:t>"), std::string::npos);
    EXPECT_NE(header.find("r:embed=\"rId1\""), std::string::npos);
    EXPECT_NE(p.Part("word/_rels/header1.xml.rels").find("Target=\"media/image1.png\""), std::string::npos);
    EXPECT_EQ(p.Part("word/media/image1.png"), png);
    EXPECT_FALSE(p.Has("word/_rels/footer1.xml.rels"));
    EXPECT_NE(footer.find("<w:ftr "), std::string::npos);
    EXPECT_NE(footer.find("<w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple>"), std::string::npos);
    EXPECT_NE(footer.find("<w:fldSimple w:instr=\" NUMPAGES \"></w:fldSimple>"), std::string::npos);
    EXPECT_NE(p.Part("word/footer2.xml").find("<w:p/></w:ftr>"), std::string::npos);
    const std::string& types = p.Part("[Content_Types].xml");
    EXPECT_NE(types.find("PartName=\"/word/header1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                         "wordprocessingml.header+xml\""),
              std::string::npos);
    const std::string& rels = p.Part("word/_rels/document.xml.rels");
    EXPECT_NE(rels.find("relationships/footer\" Target=\"footer2.xml\""), std::string::npos);

    std::vector<std::string> sections = Elements(s.document, "w:sectPr");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(CountOf(sections[0], "<w:headerReference w:type=\"default\""), 1u);
    EXPECT_EQ(CountOf(sections[0], "<w:footerReference w:type=\"first\""), 1u);
    EXPECT_NE(sections[0].find("<w:titlePg/>"), std::string::npos);  // the first page has its own footer
    // The second section names only its own footer; the header of the first goes on.
    EXPECT_EQ(CountOf(sections[1], "<w:headerReference"), 0u);
    EXPECT_EQ(CountOf(sections[1], "<w:footerReference w:type=\"default\""), 1u);
    EXPECT_EQ(sections[1].find("<w:titlePg/>"), std::string::npos);
}

TEST_F(DocxLayout, FootnotesHaveSeparatorsReferencesAndTheirText)
{
    qrn_IDocx* doc = NewDocument();
    stRunFormat plain = MakeRunFormat();
    qrn_IDocxPara* para = doc->AddParagraphEx(nullptr);
    ASSERT_NE(para, nullptr);
    AddRunEx(para, QT("Claim"), plain);
    const int first = para->AddFootnoteReference(nullptr);
    EXPECT_EQ(first, 1);
    // The note's text, given while its paragraph is open.
    ASSERT_EQ(doc->BeginFootnote(first), 1);
    EXPECT_EQ(AddRunEx(para, QT(" lost"), plain), 0);  // not the innermost flow's paragraph
    qrn_IDocxPara* note = doc->AddParagraphEx(nullptr);
    ASSERT_NE(note, nullptr);
    AddRunEx(note, QT("Source of the claim."), MakeRunFormat("", 18));
    EXPECT_EQ(note->AddFootnoteReference(nullptr), 0);  // no footnote in a footnote
    note->Release();
    ASSERT_EQ(doc->EndFootnote(), 1);
    EXPECT_EQ(doc->BeginFootnote(first), 0);  // its text is given
    AddRunEx(para, QT(" and more"), plain);
    const int second = para->AddFootnoteReference(nullptr);
    EXPECT_EQ(second, 2);
    para->Release();
    EXPECT_EQ(doc->BeginFootnote(7), 0);
    Saved s = SaveAndRead(doc);

    EXPECT_NE(s.body.find("<w:t>Claim</w:t></w:r><w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr>"
                          "<w:footnoteReference w:id=\"2\"/></w:r>"),
              std::string::npos);
    EXPECT_NE(s.body.find("<w:footnoteReference w:id=\"3\"/>"), std::string::npos);
    EXPECT_EQ(s.body.find("lost"), std::string::npos);
    const std::string& notes = s.package.Part("word/footnotes.xml");
    std::vector<std::string> footnotes = Elements(notes, "w:footnote");
    ASSERT_EQ(footnotes.size(), 4u);
    EXPECT_NE(footnotes[0].find("w:type=\"separator\" w:id=\"0\""), std::string::npos);
    EXPECT_NE(footnotes[1].find("w:type=\"continuationSeparator\" w:id=\"1\""), std::string::npos);
    EXPECT_EQ(footnotes[2],
              "<w:footnote w:id=\"2\"><w:p><w:pPr><w:rPr><w:sz w:val=\"18\"/><w:szCs w:val=\"18\"/></w:rPr></w:pPr>"
              "<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><w:footnoteRef/></w:r>"
              "<w:r><w:t xml:space=\"preserve\"> </w:t></w:r><w:r><w:rPr><w:sz w:val=\"18\"/><w:szCs w:val=\"18\"/>"
              "</w:rPr><w:t>Source of the claim.</w:t></w:r></w:p></w:footnote>");
    // A note never given text still exists, with its number.
    EXPECT_EQ(footnotes[3].find("<w:footnote w:id=\"3\"><w:p><w:r>"), 0u);
    EXPECT_NE(footnotes[3].find("<w:footnoteRef/>"), std::string::npos);
    EXPECT_NE(
        s.package.Part("word/settings.xml").find("<w:footnotePr><w:footnote w:id=\"0\"/><w:footnote w:id=\"1\"/>"),
        std::string::npos);
    EXPECT_NE(s.package.Part("word/_rels/document.xml.rels").find("Target=\"footnotes.xml\""), std::string::npos);
}

struct PlacementCase {
    const char* what;
    std::function<void(stPictureProps&)> set;
    std::vector<const char*> expected;  // pieces of the drawing
};

TEST_F(DocxLayout, PicturesAnchoredWithWrappingAndCroppedKeepTheirJpegBytes)
{
    const std::string jpeg = TestImage("plasma.jpg");
    ASSERT_FALSE(jpeg.empty());
    const PlacementCase cases[] = {
        {"anchored to the page, square wrapping, cropped",
         [](stPictureProps& p) {
             p.nPlacement = STROME_PLACE_ANCHOR;
             p.nHorzFrom = STROME_FROM_PAGE;
             p.nX = 720;
             p.nVertFrom = STROME_FROM_PAGE;
             p.nY = 1440;
             p.nDistance = 100;
             p.nCrop[0] = 10000;
             p.nCrop[2] = 5000;
         },
         {"<wp:anchor distT=\"63500\" distB=\"63500\" distL=\"63500\" distR=\"63500\" simplePos=\"0\"",
          "behindDoc=\"0\"", "<wp:positionH relativeFrom=\"page\"><wp:posOffset>457200</wp:posOffset></wp:positionH>",
          "<wp:positionV relativeFrom=\"page\"><wp:posOffset>914400</wp:posOffset></wp:positionV>",
          "<wp:extent cx=\"1828800\" cy=\"914400\"/>", "<wp:wrapSquare wrapText=\"bothSides\"/>",
          "<a:srcRect l=\"10000\" r=\"5000\"/><a:stretch>"}},
        {"anchored to the margin and paragraph, text above and below",
         [](stPictureProps& p) {
             p.nPlacement = STROME_PLACE_ANCHOR;
             p.nHorzFrom = STROME_FROM_MARGIN;
             p.nVertFrom = STROME_FROM_PARAGRAPH;
             p.nWrap = STROME_WRAP_TOP_BOTTOM;
         },
         {"<wp:positionH relativeFrom=\"margin\">", "<wp:positionV relativeFrom=\"paragraph\">",
          "<wp:wrapTopAndBottom/>"}},
        {"behind the text, in its column",
         [](stPictureProps& p) {
             p.nPlacement = STROME_PLACE_ANCHOR;
             p.nHorzFrom = STROME_FROM_COLUMN;
             p.nVertFrom = STROME_FROM_MARGIN;
             p.nWrap = STROME_WRAP_NONE_BEHIND;
         },
         {"behindDoc=\"1\"", "<wp:positionH relativeFrom=\"column\">", "<wp:positionV relativeFrom=\"margin\">",
          "<wp:wrapNone/>"}},
        {"inline and cropped",
         [](stPictureProps& p) {
             p.nCrop[1] = 25000;
             p.nCrop[3] = 25000;
         },
         {"<wp:inline ", "<a:srcRect t=\"25000\" b=\"25000\"/>"}},
        {"inline at the object's size",
         [](stPictureProps& p) {
             p.nWidth = 0;
             p.nHeight = 0;
         },
         {"<wp:inline ", "<wp:extent cx=\"609600\" cy=\"304800\"/>"}},  // 48 x 24 points
    };
    for (const PlacementCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        qrn_IDocxPara* para = doc->AddParagraphEx(nullptr);
        ASSERT_NE(para, nullptr);
        stPictureProps props = MakePictureProps(2880, 1440);
        c.set(props);
        qrn_IDocxPic* pic = doc->AddPicture(jpeg.data(), int(jpeg.size()), 48, 24);
        DOCX_OBJECT object = pic->CreateObject(0, 0);
        EXPECT_EQ(para->AddObjectEx(object, &props), 1) << c.what;
        pic->FreeObject(object);
        pic->Release();
        AddRunEx(para, QT("beside"), MakeRunFormat());
        para->Release();
        Saved s = SaveAndRead(doc);
        const std::string drawing = FirstElement(s.body, "w:drawing");
        for (const char* piece : c.expected)
            EXPECT_NE(drawing.find(piece), std::string::npos) << c.what << ": " << piece << "\n" << drawing;
        EXPECT_EQ(s.package.Part("word/media/image1.jpeg"), jpeg) << c.what;
        EXPECT_EQ(s.package.entries.at("word/media/image1.jpeg").method, 0) << c.what;
    }
}

TEST_F(DocxLayout, RecordsOfOtherSizesAreReadAsFarAsTheyGo)
{
    qrn_IDocx* doc = NewDocument();
    // An older caller's record: only the fields up to the right indent.
    stParagraphProps older = MakeParagraphProps(STROME_ALIGN_CENTER);
    older.nLeft = 360;
    older.nRight = 999;
    older.nFirstLine = 999;
    older.cbSize = offsetof(stParagraphProps, nRight);
    EXPECT_EQ(AddTextParagraph(doc, older, QT("older"), MakeRunFormat()), 1);
    // A newer caller's record: unknown trailing bytes.
    struct Newer {
        stParagraphProps known;
        unsigned char later[64];
    } newer;
    std::memset(&newer, 0xAB, sizeof newer);
    newer.known = MakeParagraphProps(STROME_ALIGN_RIGHT);
    newer.known.cbSize = sizeof newer;
    EXPECT_EQ(AddTextParagraph(doc, newer.known, QT("newer"), MakeRunFormat()), 1);
    stParagraphProps tooShort = MakeParagraphProps();
    tooShort.cbSize = 2;
    EXPECT_EQ(doc->AddParagraphEx(&tooShort), nullptr);
    Saved s = SaveAndRead(doc);
    std::vector<std::string> paragraphs = Elements(s.body, "w:p");
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_EQ(FirstElement(paragraphs[0], "w:pPr"), "<w:pPr><w:ind w:left=\"360\"/><w:jc w:val=\"center\"/></w:pPr>");
    EXPECT_EQ(FirstElement(paragraphs[1], "w:pPr"), "<w:pPr><w:jc w:val=\"right\"/></w:pPr>");
}

struct MisuseCase {
    const char* what;
    std::function<int(qrn_IDocx*)> call;  // the refused call's result
};

// Opens a table of one column with a row, for the cases that misuse one.
void OpenTableRow(qrn_IDocx* doc, int columns = 1)
{
    const int32_t grid[4] = {2000, 2000, 2000, 2000};
    stTableProps table = MakeTableProps();
    stRowProps row = MakeRowProps();
    EXPECT_EQ(doc->BeginTable(&table, grid, columns), 1);
    EXPECT_EQ(doc->BeginRow(&row), 1);
}

int NullParagraph(qrn_IDocxPara* para)
{
    if (para)
        para->Release();
    return para ? 1 : 0;
}

int WithParagraph(qrn_IDocx* doc, const std::function<int(qrn_IDocxPara*)>& call)
{
    qrn_IDocxPara* para = doc->AddParagraphEx(nullptr);
    int result = para ? call(para) : -1;
    if (para)
        para->Release();
    return result;
}

int BadSection(const std::function<void(stSectionProps&)>& set, qrn_IDocx* doc)
{
    stSectionProps s = MakeSectionProps(kLetterWidth, kLetterHeight, 1440, 2);
    set(s);
    return doc->BeginSection(&s);
}

int BadParagraph(const std::function<void(stParagraphProps&)>& set, qrn_IDocx* doc)
{
    stParagraphProps p = MakeParagraphProps();
    set(p);
    return NullParagraph(doc->AddParagraphEx(&p));
}

int BadRun(const std::function<void(stRunFormat&)>& set, qrn_IDocx* doc)
{
    stRunFormat f = MakeRunFormat();
    set(f);
    return WithParagraph(doc, [&](qrn_IDocxPara* p) { return AddRunEx(p, QT("x"), f); });
}

int BadPicture(const std::function<void(stPictureProps&)>& set, qrn_IDocx* doc)
{
    static const std::string png = TestImage("red_blue.png");
    stPictureProps props = MakePictureProps(720, 720);
    set(props);
    return WithParagraph(doc, [&](qrn_IDocxPara* p) { return PlacePictureEx(doc, p, png, props); });
}

TEST_F(DocxLayout, MisuseIsRefusedAndThePackageStaysSound)
{
    stRowProps row = MakeRowProps();
    stCellProps cell = MakeCellProps();
    stTableProps table = MakeTableProps();
    const int32_t grid[2] = {2000, 2000};
    const MisuseCase cases[] = {
        {"row without a table", [&](qrn_IDocx* d) { return d->BeginRow(&row); }},
        {"cell without a table", [&](qrn_IDocx* d) { return d->BeginCell(&cell); }},
        {"ends without a table", [&](qrn_IDocx* d) { return d->EndCell() + d->EndRow() + d->EndTable(); }},
        {"cell outside a row",
         [&](qrn_IDocx* d) {
             d->BeginTable(&table, grid, 2);
             return d->BeginCell(&cell);
         }},
        {"paragraph between rows",
         [&](qrn_IDocx* d) {
             d->BeginTable(&table, grid, 2);
             return NullParagraph(d->AddParagraphEx(nullptr));
         }},
        {"table between rows",
         [&](qrn_IDocx* d) {
             d->BeginTable(&table, grid, 2);
             return d->BeginTable(&table, grid, 2);
         }},
        {"span past the grid",
         [&](qrn_IDocx* d) {
             OpenTableRow(d, 2);
             d->BeginCell(&cell);
             stCellProps wide = MakeCellProps(2);
             return d->BeginCell(&wide);
         }},
        {"span beyond any grid",
         [&](qrn_IDocx* d) {
             OpenTableRow(d, 2);
             stCellProps wide = MakeCellProps(64);
             return d->BeginCell(&wide);
         }},
        {"no columns", [&](qrn_IDocx* d) { return d->BeginTable(&table, grid, 0); }},
        {"too many columns",
         [&](qrn_IDocx* d) {
             std::vector<int32_t> many(64, 100);
             return d->BeginTable(&table, many.data(), 64);
         }},
        {"a huge column count", [&](qrn_IDocx* d) { return d->BeginTable(&table, grid, 0x7FFFFFFF); }},
        {"no widths", [&](qrn_IDocx* d) { return d->BeginTable(&table, nullptr, 2); }},
        {"a column of no width",
         [&](qrn_IDocx* d) {
             const int32_t bad[2] = {2000, 0};
             return d->BeginTable(&table, bad, 2);
         }},
        {"a border too wide",
         [&](qrn_IDocx* d) {
             stTableProps t = MakeTableProps();
             t.borders[0] = MakeBorder(STROME_BORDER_SINGLE, 500);
             return d->BeginTable(&t, grid, 2);
         }},
        {"tables nested too deep",
         [&](qrn_IDocx* d) {
             for (int depth = 0; depth < 8; ++depth) {
                 OpenTableRow(d);
                 EXPECT_EQ(d->BeginCell(&cell), 1);
             }
             return d->BeginTable(&table, grid, 2);
         }},
        {"section inside a table",
         [&](qrn_IDocx* d) {
             OpenTableRow(d);
             d->BeginCell(&cell);
             return BadSection([](stSectionProps&) {}, d);
         }},
        {"section inside a header",
         [&](qrn_IDocx* d) {
             d->BeginHeaderFooter(STROME_HEADER_DEFAULT);
             return BadSection([](stSectionProps&) {}, d);
         }},
        {"no section record", [](qrn_IDocx* d) { return d->BeginSection(nullptr); }},
        {"section record of no size", std::bind(BadSection, [](stSectionProps& s) { s.cbSize = 0; }, std::placeholders::_1)},
        {"page too small", std::bind(BadSection, [](stSectionProps& s) { s.nPageWidth = 100; }, std::placeholders::_1)},
        {"page too large", std::bind(BadSection, [](stSectionProps& s) { s.nPageHeight = 40000; }, std::placeholders::_1)},
        {"margins leave no text", std::bind(BadSection, [](stSectionProps& s) { s.nMarginLeft = 11000; }, std::placeholders::_1)},
        {"negative margin", std::bind(BadSection, [](stSectionProps& s) { s.nMarginTop = -1; }, std::placeholders::_1)},
        {"five columns", std::bind(BadSection, [](stSectionProps& s) { s.nColumns = 5; }, std::placeholders::_1)},
        {"unknown break", std::bind(BadSection, [](stSectionProps& s) { s.nBreak = 7; }, std::placeholders::_1)},
        {"columns wider than the page",
         std::bind(BadSection, [](stSectionProps& s) { s.nColumnWidth[0] = s.nColumnWidth[1] = 9000; },
                   std::placeholders::_1)},
        {"a column of no width",
         std::bind(BadSection, [](stSectionProps& s) { s.nColumnWidth[0] = 4000; }, std::placeholders::_1)},
        {"unknown header kind", [](qrn_IDocx* d) { return d->BeginHeaderFooter(0) + d->BeginHeaderFooter(5); }},
        {"header in a header",
         [](qrn_IDocx* d) {
             d->BeginHeaderFooter(STROME_HEADER_DEFAULT);
             return d->BeginHeaderFooter(STROME_FOOTER_DEFAULT);
         }},
        {"footnote in a header",
         [](qrn_IDocx* d) {
             d->BeginHeaderFooter(STROME_HEADER_DEFAULT);
             return WithParagraph(d, [](qrn_IDocxPara* p) { return p->AddFootnoteReference(nullptr); });
         }},
        {"picture in a footnote",
         [](qrn_IDocx* d) {
             int note = WithParagraph(d, [](qrn_IDocxPara* p) { return p->AddFootnoteReference(nullptr); });
             d->BeginFootnote(note);
             return BadPicture([](stPictureProps&) {}, d);
         }},
        {"page break in a table",
         [](qrn_IDocx* d) {
             OpenTableRow(d);
             return d->AddPageBreak();
         }},
        {"ends of what is not open", [](qrn_IDocx* d) { return d->EndHeaderFooter() + d->EndFootnote(); }},
        {"end of a footnote in a header",
         [](qrn_IDocx* d) {
             d->BeginHeaderFooter(STROME_HEADER_DEFAULT);
             return d->EndFootnote();
         }},
        {"unknown footnotes", [](qrn_IDocx* d) { return d->BeginFootnote(0) + d->BeginFootnote(1) + d->BeginFootnote(-3); }},
        {"unknown alignment", std::bind(BadParagraph, [](stParagraphProps& p) { p.nAlignment = 9; }, std::placeholders::_1)},
        {"too many tabs", std::bind(BadParagraph, [](stParagraphProps& p) { p.nTabCount = 9; }, std::placeholders::_1)},
        {"negative tab count", std::bind(BadParagraph, [](stParagraphProps& p) { p.nTabCount = -1; }, std::placeholders::_1)},
        {"unknown leader",
         std::bind(BadParagraph,
                   [](stParagraphProps& p) {
                       p.nTabCount = 1;
                       p.tabs[0].nLeader = 8;
                   },
                   std::placeholders::_1)},
        {"line too tall",
         std::bind(BadParagraph,
                   [](stParagraphProps& p) {
                       p.nLine = 40000;
                       p.nLineRule = STROME_LINE_EXACT;
                   },
                   std::placeholders::_1)},
        {"negative space", std::bind(BadParagraph, [](stParagraphProps& p) { p.nBefore = -10; }, std::placeholders::_1)},
        {"no such heading", std::bind(BadParagraph, [](stParagraphProps& p) { p.nHeadingLevel = 7; }, std::placeholders::_1)},
        {"size too small", std::bind(BadRun, [](stRunFormat& f) { f.nSize = 1; }, std::placeholders::_1)},
        {"size too large", std::bind(BadRun, [](stRunFormat& f) { f.nSize = 5000; }, std::placeholders::_1)},
        {"no such colour", std::bind(BadRun, [](stRunFormat& f) { f.nColor = 0x1000000; }, std::placeholders::_1)},
        {"no such underline", std::bind(BadRun, [](stRunFormat& f) { f.nUnderline = 9; }, std::placeholders::_1)},
        {"spacing too wide", std::bind(BadRun, [](stRunFormat& f) { f.nCharSpacing = 5000; }, std::placeholders::_1)},
        {"negative length",
         [](qrn_IDocx* d) {
             stRunFormat f = MakeRunFormat();
             return WithParagraph(d, [&](qrn_IDocxPara* p) { return p->AddTextEx(QT("x"), -1, &f); });
         }},
        {"unknown field", [](qrn_IDocx* d) {
             return WithParagraph(d, [](qrn_IDocxPara* p) { return p->AddField(3, nullptr, 0, nullptr); });
         }},
        {"crop of the whole picture",
         std::bind(BadPicture,
                   [](stPictureProps& p) {
                       p.nCrop[0] = 60000;
                       p.nCrop[2] = 40000;
                   },
                   std::placeholders::_1)},
        {"negative crop", std::bind(BadPicture, [](stPictureProps& p) { p.nCrop[1] = -1; }, std::placeholders::_1)},
        {"unknown placement", std::bind(BadPicture, [](stPictureProps& p) { p.nPlacement = 5; }, std::placeholders::_1)},
        {"vertical position from a column",
         std::bind(BadPicture, [](stPictureProps& p) { p.nVertFrom = STROME_FROM_COLUMN; }, std::placeholders::_1)},
        {"unknown wrapping", std::bind(BadPicture, [](stPictureProps& p) { p.nWrap = 4; }, std::placeholders::_1)},
        {"no such object", [](qrn_IDocx* d) {
             stPictureProps props = MakePictureProps(720, 720);
             int bogus = 0;
             return WithParagraph(d, [&](qrn_IDocxPara* p) { return p->AddObjectEx(&bogus, &props); });
         }},
    };
    for (const MisuseCase& c : cases) {
        qrn_IDocx* doc = NewDocument();
        EXPECT_EQ(c.call(doc), 0) << c.what;
        // The document goes on; Save completes whatever the case left open.
        if (qrn_IDocxPara* para = doc->AddParagraphEx(nullptr))
            para->Release();
        Saved s = SaveAndRead(doc);
        EXPECT_FALSE(s.document.empty()) << c.what;
    }
}

TEST_F(DocxLayout, SaveCompletesWhatIsLeftOpenAndThenRefusesEverything)
{
    const std::string png = TestImage("red_blue.png");
    qrn_IDocx* doc = NewDocument();
    qrn_IDocxPara* body = doc->AddParagraphEx(nullptr);
    AddRunEx(body, QT("body"), MakeRunFormat());
    const int note = body->AddFootnoteReference(nullptr);
    ASSERT_EQ(doc->BeginFootnote(note), 1);
    OpenTableRow(doc);
    stCellProps cell = MakeCellProps();
    doc->BeginCell(&cell);
    qrn_IDocxPara* inner = doc->AddParagraphEx(nullptr);
    AddRunEx(inner, QT("in a cell of a note"), MakeRunFormat());
    EXPECT_NE(doc->Save(), 0);
    // After Save the content is fixed.
    EXPECT_EQ(AddRunEx(inner, QT("late"), MakeRunFormat()), 0);
    EXPECT_EQ(doc->AddParagraphEx(nullptr), nullptr);
    stSectionProps letter = MakeSectionProps(kLetterWidth, kLetterHeight, 1440);
    EXPECT_EQ(doc->BeginSection(&letter), 0);
    EXPECT_EQ(doc->BeginHeaderFooter(STROME_HEADER_DEFAULT), 0);
    EXPECT_EQ(doc->EndTable(), 0);
    inner->Release();
    body->Release();
    Saved s = SaveAndRead(doc);
    const std::string& notes = s.package.Part("word/footnotes.xml");
    EXPECT_NE(notes.find("in a cell of a note</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"), std::string::npos);
    EXPECT_EQ(notes.find("late"), std::string::npos);
}

// A small deterministic generator, so a failing sequence can be replayed.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) { }
    uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return int(Next() % uint32_t(n)); }
    // Mostly small values in range, sometimes anything.
    int32_t Value(int32_t lo, int32_t hi)
    {
        if (Below(10) == 0)
            return int32_t(Next() * 2654435761u);
        return lo + int32_t(Next() % uint32_t(hi - lo + 1));
    }

private:
    uint32_t state_;
};

TEST_F(DocxLayout, RandomCallSequencesGiveASoundPackage)
{
    const std::string jpeg = TestImage("plasma.jpg");
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Lcg r(seed);
        qrn_IDocx* doc = NewDocument();
        std::vector<qrn_IDocxPara*> open;
        std::vector<int> notes;
        for (int step = 0; step < 150; ++step) {
            switch (r.Below(16)) {
            case 0: {
                stSectionProps s = MakeSectionProps(r.Value(720, 20000), r.Value(720, 20000), r.Value(0, 3000),
                                                    r.Value(0, 4), r.Value(0, 3));
                doc->BeginSection(&s);
                break;
            }
            case 1:
            case 2: {
                stParagraphProps p = MakeParagraphProps(r.Value(0, 4));
                p.nLeft = r.Value(-2000, 12000);
                p.nFirstLine = r.Value(-2000, 2000);
                p.nLine = r.Value(0, 600);
                p.nLineRule = r.Value(0, 2);
                p.nTabCount = r.Value(0, 2);
                p.tabs[0] = {r.Value(0, 12000), r.Value(0, 3), r.Value(0, 4)};
                if (qrn_IDocxPara* para = doc->AddParagraphEx(&p))
                    open.push_back(para);
                break;
            }
            case 3:
            case 4: {
                if (open.empty())
                    break;
                stRunFormat f =
                    MakeRunFormat(r.Below(2) ? "Arial" : "", r.Value(0, 60), r.Value(0, 15), r.Value(-1, 0xFFFFFF));
                QString text = r.Below(3) ? QT("text\tand more") : QFromUtf8("中文 \xF0\x9D\x84\x9E");
                open[size_t(r.Below(int(open.size())))]->AddTextEx(text.data(), int(text.size()), &f);
                break;
            }
            case 5:
                if (!open.empty()) {
                    size_t i = size_t(r.Below(int(open.size())));
                    open[i]->Release();
                    open.erase(open.begin() + long(i));
                }
                break;
            case 6: {
                const int32_t grid[3] = {r.Value(1, 4000), r.Value(1, 4000), r.Value(1, 4000)};
                stTableProps t = MakeTableProps();
                t.nFlags = r.Value(0, 3);
                doc->BeginTable(&t, grid, r.Value(1, 3));
                break;
            }
            case 7: {
                stRowProps row = MakeRowProps(r.Value(0, 2000), r.Value(0, 2), r.Value(0, 3));
                doc->BeginRow(&row);
                break;
            }
            case 8: {
                stCellProps c = MakeCellProps(r.Value(0, 3), r.Value(0, 2));
                c.borders[r.Below(4)] = MakeBorder(r.Value(0, 6), r.Value(0, 24), r.Value(-1, 0xFFFFFF));
                doc->BeginCell(&c);
                break;
            }
            case 9: {
                int which = r.Below(3);
                which == 0 ? doc->EndCell() : which == 1 ? doc->EndRow() : doc->EndTable();
                break;
            }
            case 10:
                doc->BeginHeaderFooter(r.Value(0, 5));
                break;
            case 11:
                r.Below(2) ? doc->EndHeaderFooter() : doc->EndFootnote();
                break;
            case 12:
                if (!open.empty()) {
                    int id = open.back()->AddFootnoteReference(nullptr);
                    if (id)
                        notes.push_back(id);
                }
                break;
            case 13:
                if (!notes.empty())
                    doc->BeginFootnote(notes[size_t(r.Below(int(notes.size())))]);
                break;
            case 14:
                if (!open.empty()) {
                    stPictureProps p = MakePictureProps(r.Value(0, 9000), r.Value(0, 9000));
                    p.nPlacement = r.Value(0, 1);
                    p.nCrop[0] = r.Value(0, 60000);
                    p.nWrap = r.Value(0, 3);
                    PlacePictureEx(doc, open.back(), jpeg, p);
                }
                break;
            default:
                if (!open.empty()) {
                    QString one = QT("1");
                    open.back()->AddField(r.Value(1, 2), one.data(), 1, nullptr);
                    open.back()->AddColumnBreak();
                }
                doc->AddPageBreak();
                break;
            }
        }
        for (qrn_IDocxPara* para : open)
            para->Release();
        Saved s = SaveAndRead(doc);
        EXPECT_FALSE(s.document.empty()) << "seed " << seed;
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "first failing seed " << seed;
            break;
        }
    }
}

}  // namespace
