// The structure analysis on small page models built in code: paragraph, table, column, list,
// contents and running-head rules, and the records the contract delivers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "halvane/structure/columns.h"
#include "halvane/structure/font_style.h"
#include "halvane/structure/layout_records.h"
#include "halvane/structure/layout_text.h"
#include "halvane/structure/page_analysis.h"
#include "halvane/structure/paragraphs.h"
#include "halvane/structure/ruled_tables.h"
#include "halvane/structure/running_heads.h"
#include "halvane/structure/text_tables.h"

namespace halvane {
namespace {

std::u16string U16(const std::string& s)
{
    return std::u16string(s.begin(), s.end());  // ASCII test texts
}

// Latin text is set half a size wide per character.
constexpr double kCharWidth = 0.5;

RunModel TextRun(double x, double baseline, const std::string& text, double size = 10, uint32_t flags = 0)
{
    RunModel r;
    r.left = x;
    r.right = x + kCharWidth * size * static_cast<double>(text.size());
    r.top = baseline - 0.8 * size;
    r.bottom = baseline + 0.2 * size;
    r.baseline = baseline;
    r.text = U16(text);
    r.fontName = (flags & PDF_STYLE_BOLD) ? "ABCDEF+Helvetica-Bold" : "ABCDEF+Helvetica";
    r.size = size;
    r.flags = flags;
    return r;
}

LineModel Line(std::vector<RunModel> runs)
{
    LineModel l;
    l.left = runs.front().left;
    l.right = runs.back().right;
    l.top = runs.front().top;
    l.bottom = runs.front().bottom;
    for (const RunModel& r : runs) {
        l.top = std::min(l.top, r.top);
        l.bottom = std::max(l.bottom, r.bottom);
    }
    l.runs = std::move(runs);
    return l;
}

LineModel Line(double x, double baseline, const std::string& text, double size = 10, uint32_t flags = 0)
{
    return Line({TextRun(x, baseline, text, size, flags)});
}

PageModel Page(std::vector<std::vector<LineModel>> regions)
{
    PageModel m;
    m.width = 600;
    m.height = 800;
    m.regions = std::move(regions);
    return m;
}

std::vector<std::string> Texts(const PageLayout& layout)
{
    std::vector<std::string> out;
    for (const LayoutBlock& b : layout.blocks)
        out.push_back(ToUtf8(b.label.empty() ? b.Text() : b.label + u" " + b.Text()));
    return out;
}

// A body line of 80 characters fills the column from 50 to 450 at size 10.
const std::string kFull = std::string(38, 'a') + " " + std::string(41, 'b');

TEST(Paragraphs, LinesJoinWhereTheTextFlowsOnAndPartWhereItBreaks)
{
    struct Case {
        const char* name;
        std::vector<LineModel> lines;
        std::vector<size_t> blockLines;  // lines per paragraph
    };
    const std::vector<Case> cases = {
        {"full lines flow into one paragraph",
         {Line(50, 100, kFull), Line(50, 112, kFull), Line(50, 124, "end of it")},
         {3}},
        {"a short line ends its paragraph",
         {Line(50, 100, kFull), Line(50, 112, "short end"), Line(50, 124, kFull), Line(50, 136, "x")},
         {2, 2}},
        {"extra space between lines parts paragraphs",
         {Line(50, 100, kFull), Line(50, 112, kFull), Line(50, 140, kFull), Line(50, 152, kFull)},
         {2, 2}},
        {"an indented line starts a paragraph",
         {Line(50, 100, kFull), Line(50, 112, kFull), Line(70, 124, kFull.substr(4)), Line(50, 136, kFull)},
         {2, 2}},
        {"a first-line indent stays with its paragraph",
         {Line(70, 100, kFull.substr(4)), Line(50, 112, kFull), Line(50, 124, kFull)},
         {3}},
        {"a larger line is a paragraph of its own",
         {Line(50, 100, "Title words", 16), Line(50, 118, kFull), Line(50, 130, kFull)},
         {1, 2}},
        {"a bullet starts an item; its wrapped line stays with it",
         {Line(50, 100, "- first item that runs on " + std::string(50, 'c')), Line(60, 112, "and wraps"),
          Line(50, 124, "- second item")},
         {2, 1}},
    };
    for (const Case& c : cases) {
        std::vector<LayoutBlock> blocks;
        std::vector<LayoutLine> lines;
        PageModel page = Page({c.lines});
        PageLayout layout = AnalysePage(page, 1, nullptr);
        std::vector<size_t> got;
        for (const LayoutBlock& b : layout.blocks)
            got.push_back(b.lines.size());
        EXPECT_EQ(got, c.blockLines) << c.name;
    }
}

TEST(Paragraphs, AlignmentAndIndentsComeFromTheLinesAgainstTheirColumn)
{
    ColumnRange column{50, 450};
    struct Case {
        const char* name;
        std::vector<LineModel> lines;
        int align;
        double leftIndent, firstLineIndent;
    };
    const std::string half(40, 'h');  // 200 wide
    const std::vector<Case> cases = {
        {"justified", {Line(50, 100, kFull), Line(50, 112, kFull), Line(50, 124, "last")}, PDF_ALIGN_JUSTIFY, 0, 0},
        {"left, ragged",
         {Line(50, 100, kFull.substr(0, 70)), Line(50, 112, kFull.substr(0, 60)), Line(50, 124, "x")},
         PDF_ALIGN_LEFT,
         0,
         0},
        {"centred", {Line(150, 100, half)}, PDF_ALIGN_CENTER, 0, 0},
        {"right", {Line(250, 100, half)}, PDF_ALIGN_RIGHT, 0, 0},
        {"first-line indent",
         {Line(70, 100, kFull.substr(4)), Line(50, 112, kFull), Line(50, 124, "x")},
         PDF_ALIGN_JUSTIFY,
         0,
         20},
        {"block indent", {Line(90, 100, kFull.substr(8, 60)), Line(90, 112, "x")}, PDF_ALIGN_LEFT, 40, 0},
    };
    for (const Case& c : cases) {
        std::vector<LayoutLine> lines;
        for (const LineModel& lm : c.lines) {
            PageModel one = Page({{lm}});
            PageLayout l = AnalysePage(one, 1, nullptr);
            lines.push_back(l.blocks.at(0).lines.at(0));
        }
        LayoutBlock b;
        b.lines = lines;
        MeasureParagraph(&b, column);
        EXPECT_EQ(b.align, c.align) << c.name;
        EXPECT_NEAR(b.leftIndent, c.leftIndent, 0.5) << c.name;
        EXPECT_NEAR(b.firstLineIndent, c.firstLineIndent, 0.5) << c.name;
    }
}

TEST(Paragraphs, ListLabels)
{
    struct Case {
        const char* text;
        size_t length;
        int kind;
    };
    const std::vector<Case> cases = {
        {"\xE2\x80\xA2 item", 1, PDF_LIST_BULLET},  // U+2022, one UTF-16 unit
        {"- item", 1, PDF_LIST_BULLET},
        {"3. item", 2, PDF_LIST_NUMBER},
        {"12) item", 3, PDF_LIST_NUMBER},
        {"(iv) item", 4, PDF_LIST_NUMBER},
        {"a. item", 2, PDF_LIST_NUMBER},
        {"2.1 Scope", 3, PDF_LIST_NUMBER},
        {"2009 was a year", 0, PDF_LIST_NONE},
        {"-5 degrees", 0, PDF_LIST_NONE},
        {"Mr. Smith", 0, PDF_LIST_NONE},
    };
    for (const Case& c : cases) {
        std::u16string text;
        const std::string s = c.text;
        if (s.rfind("\xE2\x80\xA2", 0) == 0)
            text = u"\u2022" + U16(s.substr(3));
        else
            text = U16(s);
        int kind = PDF_LIST_NONE;
        EXPECT_EQ(ListLabelLength(text, &kind), c.length) << c.text;
        if (c.length)
            EXPECT_EQ(kind, c.kind) << c.text;
    }
}

TEST(Paragraphs, ContentsLinesKeepTitleLeaderAndPageNumber)
{
    struct Case {
        const char* name;
        LineModel line;
        bool contents;
        int leader;
        const char* title;
        const char* page;
    };
    const std::vector<Case> cases = {
        {"dot leader", Line({TextRun(50, 100, "Introduction "), TextRun(117, 100, std::string(64, '.') + " 12")}), true,
         PDF_LEADER_DOTS, "Introduction", "12"},
        {"roman page number", Line({TextRun(50, 100, "Preface"), TextRun(90, 100, std::string(70, '.') + "xiv")}), true,
         PDF_LEADER_DOTS, "Preface", "xiv"},
        {"number set apart without a leader", Line({TextRun(50, 100, "Chapter one"), TextRun(440, 100, "7")}), true,
         PDF_LEADER_SPACE, "Chapter one", "7"},
        {"a number glued to a word", Line(50, 100, "Windows" + std::string(70, '.') + "x10"), false, 0, "", ""},
        {"a sentence ending in a number", Line(50, 100, "The total came to 12"), false, 0, "", ""},
    };
    for (const Case& c : cases) {
        PageModel page = Page({{c.line, Line(50, 140, kFull)}});
        const PageLayout l = AnalysePage(page, 1, nullptr);
        const LayoutBlock& b = l.blocks.at(0);
        EXPECT_EQ(b.kind == PDF_BLOCK_CONTENTS, c.contents) << c.name;
        if (!c.contents)
            continue;
        EXPECT_EQ(b.leader, c.leader) << c.name;
        EXPECT_EQ(ToUtf8(b.Text()), c.title) << c.name;
        EXPECT_EQ(ToUtf8(b.pageRef), c.page) << c.name;
        EXPECT_NEAR(b.pageRefRight, c.line.right, 0.01) << c.name;
    }
}

TEST(TextTables, AlignedCellsMakeRowsAndColumnsWhileProseBesideProseDoesNot)
{
    // A price list: three columns, a wrapped cell, a header row in bold.
    std::vector<LineModel> list = {
        Line({TextRun(50, 100, "Item", 10, PDF_STYLE_BOLD), TextRun(200, 100, "Size", 10, PDF_STYLE_BOLD),
              TextRun(300, 100, "Price", 10, PDF_STYLE_BOLD)}),
        Line({TextRun(50, 115, "Chair"), TextRun(200, 115, "Large"), TextRun(300, 115, "120")}),
        Line({TextRun(50, 130, "Desk lamp"), TextRun(200, 130, "Small"), TextRun(300, 130, "35")}),
        Line({TextRun(200, 141, "or medium")}),
        Line({TextRun(50, 156, "Shelf"), TextRun(300, 156, "80")}),
    };
    PageModel page = Page({list});
    PageLayout layout = AnalysePage(page, 1, nullptr);
    ASSERT_EQ(layout.tables.size(), 1u);
    const LayoutTable& t = layout.tables[0];
    EXPECT_EQ(t.Rows(), 4);
    EXPECT_EQ(t.Columns(), 3);
    EXPECT_EQ(t.headerRows, 1);
    std::vector<std::vector<std::string>> rows(4);
    for (const LayoutCell& c : t.cells) {
        std::string text;
        for (const LayoutBlock& b : c.blocks)
            text += ToUtf8(b.Text());
        rows[static_cast<size_t>(c.row)].push_back(text);
    }
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Desk lamp", "Small or medium", "35"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"Shelf", "", "80"}));

    // Two columns of long lines are prose, not a table.
    std::vector<LineModel> prose;
    for (int i = 0; i < 4; ++i)
        prose.push_back(
            Line({TextRun(50, 100 + 12 * i, std::string(40, 'p')), TextRun(320, 100 + 12 * i, std::string(40, 'q'))}));
    PageModel prosePage = Page({prose});
    EXPECT_TRUE(AnalysePage(prosePage, 1, nullptr).tables.empty());
}

LayoutRule Rule(double x0, double y0, double x1, double y1)
{
    LayoutRule r;
    r.kind = PDF_RULE_LINE;
    r.x0 = x0;
    r.y0 = y0;
    r.x1 = x1;
    r.y1 = y1;
    r.width = 0.5;
    return r;
}

TEST(RuledTables, GridsOfRulesMakeCellsAndMissingRulesMergeThem)
{
    // A grid of 3 rows and 3 columns; the middle rule of the first row is left out, so its
    // first two cells are one, and a filled box shades the last cell.
    std::vector<LayoutRule> rules;
    for (double y : {100.0, 120.0, 140.0, 160.0})
        rules.push_back(Rule(50, y, 350, y));
    rules.push_back(Rule(50, 100, 50, 160));
    rules.push_back(Rule(150, 120, 150, 160));  // not in the first row
    rules.push_back(Rule(250, 100, 250, 160));
    rules.push_back(Rule(350, 100, 350, 160));
    LayoutRule fill;
    fill.kind = PDF_RULE_FILL;
    fill.x0 = 250;
    fill.y0 = 140;
    fill.x1 = 350;
    fill.y1 = 160;
    fill.color = 0xCCCCCC;
    rules.push_back(fill);
    std::vector<LayoutTable> tables = FindRuledTables(&rules);
    ASSERT_EQ(tables.size(), 1u);
    const LayoutTable& t = tables[0];
    EXPECT_EQ(t.Rows(), 3);
    EXPECT_EQ(t.Columns(), 3);
    ASSERT_EQ(t.cells.size(), 8u);
    EXPECT_EQ(t.cells[0].columnSpan, 2);
    EXPECT_EQ(t.cells[1].column, 2);
    EXPECT_EQ(t.cells.back().shading, 0xCCCCCCu);
    EXPECT_GT(t.cells[0].border[PDF_EDGE_TOP].width, 0);
    for (const LayoutRule& r : rules)
        EXPECT_TRUE(r.flags & PDF_RULE_OF_TABLE);

    // One box around text is a frame, not a table; a lone rule is a rule.
    std::vector<LayoutRule> frame = {Rule(50, 100, 350, 100), Rule(50, 200, 350, 200), Rule(50, 100, 50, 200),
                                     Rule(350, 100, 350, 200), Rule(50, 300, 350, 300)};
    EXPECT_TRUE(FindRuledTables(&frame).empty());
}

TEST(RuledTables, TextInsideAGridGoesToItsCells)
{
    PageModel page =
        Page({{Line({TextRun(55, 115, "Name"), TextRun(155, 115, "Value")}),
               Line({TextRun(55, 135, "Width"), TextRun(155, 135, "12")}), Line(50, 200, "After the table.")}});
    for (double y : {100.0, 120.0, 140.0})
        page.rules.push_back(RuleModel{RuleModel::kLine, 50, y, 250, y, 0.5, 0});
    for (double x : {50.0, 150.0, 250.0})
        page.rules.push_back(RuleModel{RuleModel::kLine, x, 100, x, 140, 0.5, 0});
    PageLayout layout = AnalysePage(page, 1, nullptr);
    ASSERT_EQ(layout.blocks.size(), 2u);
    EXPECT_EQ(layout.blocks[0].kind, PDF_BLOCK_TABLE);
    EXPECT_EQ(Texts(layout)[1], "After the table.");
    const LayoutTable& t = layout.tables.at(0);
    EXPECT_TRUE(t.ruled);
    ASSERT_EQ(t.cells.size(), 4u);
    EXPECT_EQ(ToUtf8(t.cells[3].blocks.at(0).Text()), "12");
}

TEST(Columns, BandsOfSideBySidePiecesAreSectionsOfColumns)
{
    // A title across the page, two columns, a footnote across the page.
    const std::vector<Box> boxes = {{100, 50, 500, 70}, {50, 100, 290, 500}, {310, 100, 550, 480}, {50, 700, 550, 720}};
    std::vector<LayoutSection> sections;
    std::vector<PiecePlace> places;
    FindSections(boxes, 10, &sections, &places);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].columnCount, 1);
    EXPECT_EQ(sections[1].columnCount, 2);
    EXPECT_EQ(sections[2].columnCount, 1);
    EXPECT_EQ(places[2].section, 1);
    EXPECT_EQ(places[2].column, 1);
    // A one-column section spans the content's width, so a title is centred against the page's text.
    EXPECT_DOUBLE_EQ(sections[0].columnLeft[0], 50);
    EXPECT_DOUBLE_EQ(sections[0].columnRight[0], 550);
}

TEST(Columns, TheFlowReadsColumnByColumnUnderAFullWidthTitle)
{
    std::vector<LineModel> title = {Line(200, 60, "A Title", 16)};
    std::vector<LineModel> left, right;
    for (int i = 0; i < 5; ++i) {
        left.push_back(Line(50, 100 + 12 * i, "left " + std::to_string(i) + std::string(40, 'l')));
        right.push_back(Line(320, 100 + 12 * i, "right " + std::to_string(i) + std::string(40, 'r')));
    }
    // The regions come in an order that puts the right column first.
    PageModel page = Page({right, title, left});
    PageLayout layout = AnalysePage(page, 1, nullptr);
    ASSERT_EQ(layout.blocks.size(), 3u);
    EXPECT_EQ(Texts(layout)[0], "A Title");
    EXPECT_EQ(layout.blocks[0].kind, PDF_BLOCK_HEADING);
    EXPECT_EQ(layout.blocks[1].column, 0);
    EXPECT_EQ(layout.blocks[2].column, 1);
    EXPECT_EQ(layout.columnCount, 2);
}

TEST(FontStyle, CleanFamilyNames)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ABCDEF+TimesNewRomanPS-BoldItalicMT", "Times New Roman"},
        {"Arial,Bold", "Arial"},
        {"LiberationSerif", "Liberation Serif"},
        {"NotoSansCJKjp-Bold-VKana", "Noto Sans CJKjp"},
        {"Helvetica", "Helvetica"},
        {"ArialBlack", "Arial Black"},
        {"CMR10", "CMR10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanFamilyName(c.first), c.second) << c.first;
    EXPECT_EQ(StyleFlagsFromName("Arial-BoldItalicMT") & (PDF_STYLE_BOLD | PDF_STYLE_ITALIC),
              static_cast<uint32_t>(PDF_STYLE_BOLD | PDF_STYLE_ITALIC));
    EXPECT_TRUE(StyleFlagsFromName("CourierNewPSMT") & PDF_STYLE_FIXED_PITCH);
    EXPECT_EQ(NameAsUtf8("\xCB\xCE"), "\xC3\x8B\xC3\x8E");  // bytes of a legacy code page read as Latin-1
}

TEST(RunningHeads, BlocksRepeatedAtOnePlaceWithVaryingNumbersAreHeadsAndFooters)
{
    RunningHeads heads;
    for (int p = 1; p <= 4; ++p)
        heads.AddPage({HeadCandidate{true, Box{50, 30, 300, 40}, u"A Report on Things"},
                       HeadCandidate{false, Box{290, 770, 300, 780}, U16("Page " + std::to_string(p))},
                       HeadCandidate{true, Box{50, 60, 300, 70}, U16("Section " + std::string(1, char('A' + p)))}});
    bool varies = false;
    EXPECT_TRUE(heads.Repeats(HeadCandidate{true, Box{50, 30, 300, 40}, u"A Report on Things"}, &varies));
    EXPECT_FALSE(varies);
    EXPECT_TRUE(heads.Repeats(HeadCandidate{false, Box{290, 770, 300, 780}, u"Page 9"}, &varies));
    EXPECT_TRUE(varies);
    EXPECT_FALSE(heads.Repeats(HeadCandidate{true, Box{50, 60, 300, 70}, u"Section Q"}, nullptr));
    EXPECT_FALSE(heads.Repeats(HeadCandidate{true, Box{50, 300, 300, 310}, u"A Report on Things"}, nullptr));
    EXPECT_EQ(RunningHeads::PageNumberIn(u"Page xiv of the book"), u"xiv");
    EXPECT_EQ(RunningHeads::Signature(u"Page 3 of 10"), u"Page#of#");

    // Through the analysis: the footer is marked with its page number, outside the sections.
    PageModel page = Page({{Line(50, 100, kFull), Line(50, 112, "end")}, {Line(290, 778, "Page 2")}});
    PageLayout layout = AnalysePage(page, 2, &heads);
    ASSERT_EQ(layout.blocks.size(), 2u);
    EXPECT_EQ(layout.blocks[1].kind, PDF_BLOCK_FOOTER);
    EXPECT_EQ(layout.blocks[1].section, -1);
    EXPECT_TRUE(layout.blocks[1].flags & PDF_BLOCK_HAS_PAGE_NUMBER);
    EXPECT_EQ(ToUtf8(layout.blocks[1].pageRef), "2");
}

TEST(Footnotes, SmallNotesUnderTheBodyAreKeptApart)
{
    std::vector<LineModel> body;
    for (int i = 0; i < 10; ++i)
        body.push_back(Line(50, 100 + 12 * i, kFull));
    body.push_back(Line(50, 700, "1 A note set small.", 8));
    body.push_back(Line(50, 710, "2 Another note.", 8));
    PageModel page = Page({body});
    PageLayout layout = AnalysePage(page, 1, nullptr);
    ASSERT_GE(layout.blocks.size(), 2u);
    EXPECT_EQ(layout.blocks.front().kind, PDF_BLOCK_PARAGRAPH);
    EXPECT_EQ(layout.blocks.back().kind, PDF_BLOCK_FOOTNOTE);
}

TEST(Runs, SuperscriptsAndStylesAreMarked)
{
    PageModel page = Page(
        {{Line({TextRun(50, 100, "E = mc"), TextRun(80, 96, "2", 6), TextRun(84, 100, " bold", 10, PDF_STYLE_BOLD)})}});
    PageLayout layout = AnalysePage(page, 1, nullptr);
    const LayoutLine& line = layout.blocks.at(0).lines.at(0);
    ASSERT_EQ(line.runs.size(), 3u);
    EXPECT_TRUE(line.runs[1].flags & PDF_STYLE_SUPERSCRIPT);
    EXPECT_NEAR(line.runs[1].rise, 4, 1e-9);
    EXPECT_TRUE(line.runs[2].flags & PDF_STYLE_BOLD);
    EXPECT_EQ(line.runs[0].family, "Helvetica");
}

TEST(LayoutRecords, EveryRecordCarriesItsSizeAndTheIndexesHold)
{
    std::vector<LineModel> lines = {Line(200, 60, "Heading", 16), Line(50, 100, kFull), Line(50, 112, "end")};
    lines.push_back(Line({TextRun(50, 150, "Item"), TextRun(200, 150, "Size")}));
    lines.push_back(Line({TextRun(50, 165, "Chair"), TextRun(200, 165, "Large")}));
    PageModel page = Page({lines});
    RunModel image;
    image.isImage = true;
    image.left = 50;
    image.top = 300;
    image.right = 150;
    image.bottom = 400;
    image.imageData = "\xFF\xD8jpeg bytes";
    LineModel imageLine;
    imageLine.runs.push_back(image);
    page.regions.push_back({imageLine});
    PageLayout layout = AnalysePage(page, 3, nullptr);
    stPdfPageLayout* r = BuildLayoutRecords(layout);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->cbSize, static_cast<int32_t>(sizeof(stPdfPageLayout)));
    EXPECT_EQ(r->nVersion, PDF_LAYOUT_VERSION);
    EXPECT_EQ(r->nPageNumber, 3);
    ASSERT_EQ(r->nBlockCount, 4);
    EXPECT_EQ(r->ppBlocks[0]->nKind, PDF_BLOCK_HEADING);
    EXPECT_EQ(r->ppBlocks[2]->nKind, PDF_BLOCK_TABLE);
    EXPECT_EQ(r->ppBlocks[3]->nKind, PDF_BLOCK_IMAGE);
    const stPdfBlock& para = *r->ppBlocks[1];
    EXPECT_EQ(para.cbSize, static_cast<int32_t>(sizeof(stPdfBlock)));
    ASSERT_EQ(para.nLineCount, 2);
    const stPdfTextLine& first = *r->ppLines[para.nFirstLine];
    const stPdfTextRun& run = *r->ppRuns[first.nFirstRun];
    EXPECT_EQ(run.cbSize, static_cast<int32_t>(sizeof(stPdfTextRun)));
    EXPECT_STREQ(run.szFontFamily, "Helvetica");
    const stPdfTable& table = *r->ppTables[r->ppBlocks[2]->nTable];
    EXPECT_EQ(table.nRowCount, 2);
    EXPECT_EQ(table.nColumnCount, 2);
    EXPECT_LT(table.pColumnEdges[0], table.pColumnEdges[1]);
    const stPdfTableCell& cell = *r->ppCells[table.nFirstCell + 3];
    ASSERT_EQ(cell.nBlockCount, 1);
    const stPdfBlock& cellBlock = *r->ppCellBlocks[cell.nFirstBlock];
    EXPECT_EQ(cellBlock.nCell, table.nFirstCell + 3);
    const stPdfTextRun& cellRun = *r->ppRuns[r->ppLines[cellBlock.nFirstLine]->nFirstRun];
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(cellRun.pText), static_cast<size_t>(cellRun.nLength)),
              u"Large");
    const stPdfImage* img = r->ppImages[r->ppBlocks[3]->nImage]->pImage;
    EXPECT_EQ(img->nDataSize, 12);
    EXPECT_EQ(img->data[0], 0xFF);
    EXPECT_EQ(r->nSectionCount, static_cast<int32_t>(layout.sections.size()));
    FreeLayoutRecords(r);
}

}  // namespace
}  // namespace halvane
