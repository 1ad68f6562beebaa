// The faithful layout's decisions on small page layouts built in code, through a writer that
// records its calls.
#include <gtest/gtest.h>

#include "fake_docx_ex.h"
#include "fake_layout.h"
#include "faithful/faithful_layout.h"
#include "faithful/page_plan.h"

namespace {

using faithful::DocumentState;
using faithful::LayoutFaithfulPage;

int Count(const std::vector<std::string>& calls, const std::string& prefix)
{
    int n = 0;
    for (const std::string& c : calls)
        n += c.compare(0, prefix.size(), prefix) == 0;
    return n;
}

TEST(FaithfulLayout, PageSizeAndOrientationComeFromThePdfPage)
{
    struct Case {
        float width, height;
        int twipsWidth, twipsHeight;
    } cases[] = {{612, 792, 12240, 15840}, {842, 595, 16840, 11900}, {595, 842, 11900, 16840}};
    for (const Case& c : cases) {
        FakeLayout page(c.width, c.height);
        page.Section(72, 200, {{72, c.width - 72}});
        page.Text(PDF_BLOCK_PARAGRAPH, 72, c.width - 72, 100, 14, {"first line of text", "second line"});
        FakeDocxEx docx;
        DocumentState state;
        ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
        ASSERT_EQ(docx.sections.size(), 1u);
        EXPECT_EQ(docx.sections[0].nPageWidth, c.twipsWidth);
        EXPECT_EQ(docx.sections[0].nPageHeight, c.twipsHeight);
        // Margins from where the content lies: the lines start 72 points from the left edge.
        EXPECT_EQ(docx.sections[0].nMarginLeft, 1440);
        EXPECT_EQ(docx.sections[0].nMarginRight, 1440);
    }
}

TEST(FaithfulLayout, TwoColumnsUnderAFullWidthTitleAreAContinuousSectionWithAColumnBreak)
{
    FakeLayout page;
    page.Section(60, 100, {{50, 545}});
    stPdfBlock* title = page.Text(PDF_BLOCK_HEADING, 200, 395, 80, 0, {"Title"}, 20);
    title->nAlign = PDF_ALIGN_CENTER;
    title->nHeadingLevel = 1;
    page.Section(110, 400, {{50, 290}, {305, 545}});
    page.Text(PDF_BLOCK_PARAGRAPH, 50, 290, 130, 12, {"left column one", "left column two"}, 10, 0);
    page.Text(PDF_BLOCK_PARAGRAPH, 305, 545, 130, 12, {"right column one", "right column two"}, 10, 1);
    FakeDocxEx docx;
    DocumentState state;
    ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
    ASSERT_EQ(docx.sections.size(), 2u);
    EXPECT_EQ(docx.sections[0].nColumns, 1);
    EXPECT_EQ(docx.sections[1].nBreak, STROME_SECTION_CONTINUOUS);
    EXPECT_EQ(docx.sections[1].nColumns, 2);
    // Widths from the columns' edges; the gap between them as drawn.
    EXPECT_EQ(docx.sections[1].nColumnWidth[0], 240 * 20);
    EXPECT_EQ(docx.sections[1].nColumnGap[0], 15 * 20);
    EXPECT_EQ(docx.sections[1].nColumnWidth[0] + docx.sections[1].nColumnGap[0] + docx.sections[1].nColumnWidth[1],
              495 * 20);
    EXPECT_EQ(docx.Text(), "\nTitle\nleft column one left column two\n[column]right column one right column two");
    ASSERT_EQ(docx.paragraphs.size(), 3u);
    EXPECT_EQ(docx.paragraphs[0].nAlignment, STROME_ALIGN_CENTER);
    EXPECT_EQ(docx.paragraphs[0].nHeadingLevel, 1);
    EXPECT_TRUE(docx.paragraphs[0].nFlags & STROME_PARA_KEEP_NEXT);
}

TEST(FaithfulLayout, ParagraphsKeepAlignmentIndentsAndTheBaselinePitch)
{
    FakeLayout page;
    page.Section(50, 800, {{72, 523}});
    stPdfBlock* body = page.Text(PDF_BLOCK_PARAGRAPH, 72, 523, 100, 13.5f, {"one", "two", "three"});
    body->nAlign = PDF_ALIGN_JUSTIFY;
    body->fFirstLineIndent = 0;
    stPdfBlock* right = page.Text(PDF_BLOCK_PARAGRAPH, 400, 500, 200, 0, {"signed"});
    right->nAlign = PDF_ALIGN_RIGHT;
    stPdfBlock* item = page.Text(PDF_BLOCK_LIST_ITEM, 90, 523, 240, 0, {"an item"});
    static const qrn_wchar bullet[] = {0x2022};
    item->nListKind = PDF_LIST_BULLET;
    item->pLabel = bullet;
    item->nLabelLength = 1;
    item->fLabelLeft = 78;
    item->fTextLeft = 90;
    stPdfBlock* toc = page.Text(PDF_BLOCK_CONTENTS, 72, 300, 280, 0, {"Chapter one"});
    static const qrn_wchar seven[] = {'7'};
    toc->nLeader = PDF_LEADER_DOTS;
    toc->pPageRef = seven;
    toc->nPageRefLength = 1;
    toc->fPageRefRight = 523;
    FakeDocxEx docx;
    DocumentState state;
    ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
    EXPECT_EQ(docx.Text(), "\none two three\nsigned\n?\tan item\nChapter one\t7");
    ASSERT_EQ(docx.paragraphs.size(), 4u);
    const stParagraphProps& p = docx.paragraphs[0];
    EXPECT_EQ(p.nAlignment, STROME_ALIGN_JUSTIFY);
    EXPECT_EQ(p.nLineRule, STROME_LINE_EXACT);
    EXPECT_EQ(p.nLine, 270);  // 13.5 points between baselines
    EXPECT_EQ(docx.paragraphs[1].nAlignment, STROME_ALIGN_RIGHT);
    EXPECT_EQ(docx.paragraphs[1].nRight, 23 * 20);  // ends 23 points short of the column's right edge
    // The list item hangs its label: text at 18 points in, the label 12 points left of it.
    EXPECT_EQ(docx.paragraphs[2].nLeft, 18 * 20);
    EXPECT_EQ(docx.paragraphs[2].nFirstLine, -12 * 20);
    // The contents line: a right tab with a dot leader where the page number ends.
    ASSERT_EQ(docx.paragraphs[3].nTabCount, 1);
    EXPECT_EQ(docx.paragraphs[3].tabs[0].nKind, STROME_TAB_RIGHT);
    EXPECT_EQ(docx.paragraphs[3].tabs[0].nLeader, STROME_LEADER_DOT);
    EXPECT_EQ(docx.paragraphs[3].tabs[0].nPos, 451 * 20);
    // Space above a block: the gap between the baselines less what the lines take in Word.
    EXPECT_GT(docx.paragraphs[1].nBefore, 0);
    // Run styles go through: size in half-points.
    ASSERT_FALSE(docx.runs.empty());
    EXPECT_EQ(docx.runs[0].nSize, 20);
    EXPECT_STREQ(docx.runs[0].szFont, "Liberation Serif");
}

TEST(FaithfulLayout, AnOverfullPageIsFittedByItsSpacingNeverByItsTextSize)
{
    // Paragraphs of 10-point text 40 points apart down a page: with a line more per paragraph
    // than the PDF shows the page would overflow, so spacing gives way.
    FakeLayout page;
    page.Section(20, 830, {{50, 545}});
    for (int i = 0; i < 20; ++i)
        page.Text(PDF_BLOCK_PARAGRAPH, 50, 545, 30 + 40.0f * i, 12, {"a line", "another line"});
    const faithful::PagePlan plan = faithful::PlanPage(*page.Get());
    EXPECT_LE(plan.estimatedHeight, plan.available);
    EXPECT_LT(plan.fitShare, 1.0);
    FakeDocxEx docx;
    DocumentState state;
    ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
    for (const stRunFormat& r : docx.runs)
        EXPECT_EQ(r.nSize, 20);

    // The same page with room to spare keeps every gap.
    FakeLayout roomy;
    roomy.Section(20, 400, {{50, 545}});
    for (int i = 0; i < 5; ++i)
        roomy.Text(PDF_BLOCK_PARAGRAPH, 50, 545, 30 + 40.0f * i, 12, {"a line", "another line"});
    EXPECT_EQ(faithful::PlanPage(*roomy.Get()).fitShare, 1.0);
}

TEST(FaithfulLayout, TablesKeepTheirGridMergesAndHeaderRows)
{
    FakeLayout page;
    page.Section(50, 300, {{72, 523}});
    stPdfBlock* table = page.Table(72, 100, {100, 80, 80}, {20, 18, 18},
                                   {{"Region", "Q1", "Q2"}, {"North", "1,250", "1,380"}, {"Total", "<", "2,630"}});
    FakeDocxEx docx;
    DocumentState state;
    (void)table;
    stPdfPageLayout* layout = page.Get();
    layout->ppTables[0]->nHeaderRows = 1;
    ASSERT_EQ(LayoutFaithfulPage(&docx, layout, &state), 1);
    ASSERT_EQ(docx.grids.size(), 1u);
    EXPECT_EQ(docx.grids[0], (std::vector<int32_t>{2000, 1600, 1600}));
    ASSERT_EQ(docx.rows.size(), 3u);
    EXPECT_TRUE(docx.rows[0].nFlags & STROME_ROW_HEADER);
    EXPECT_FALSE(docx.rows[1].nFlags & STROME_ROW_HEADER);
    EXPECT_EQ(docx.rows[1].nHeight, 360);
    EXPECT_EQ(docx.Text(), "\n[table]\n[row]|\nRegion|\nQ1|\nQ2\n[row]|\nNorth|\n1,250|\n1,380\n[row]|\nTotal|\n2,630");
    // The merged cell spans two grid columns; borders as drawn.
    ASSERT_EQ(docx.cells.size(), 8u);
    EXPECT_EQ(docx.cells[6].nGridSpan, 2);
    EXPECT_EQ(docx.cells[0].borders[STROME_EDGE_TOP].nStyle, STROME_BORDER_SINGLE);
    EXPECT_EQ(docx.cells[0].borders[STROME_EDGE_TOP].nWidth, 4);
}

TEST(FaithfulLayout, RunningHeadsAreHeaderPartsWithAPageFieldAndRepeatWithoutANewSection)
{
    DocumentState state;
    FakeDocxEx docx;
    for (int number = 1; number <= 2; ++number) {
        FakeLayout page;
        page.Section(60, 700, {{72, 523}});
        page.Text(PDF_BLOCK_PARAGRAPH, 72, 523, 100, 12, {"body text", "more"});
        const std::string text = "Page " + std::to_string(number);
        stPdfBlock* footer = page.Text(PDF_BLOCK_FOOTER, 270, 325, 800, 0, {text}, 9);
        footer->nSection = -1;
        static const qrn_wchar digits[2][1] = {{'1'}, {'2'}};
        footer->nFlags = PDF_BLOCK_HAS_PAGE_NUMBER;
        footer->pPageRef = digits[number - 1];
        footer->nPageRefLength = 1;
        ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
    }
    // One section and one footer: the second page only breaks the page.
    EXPECT_EQ(docx.sections.size(), 1u);
    EXPECT_EQ(Count(docx.calls, "head 3"), 1);
    EXPECT_EQ(docx.Text(), "\n[head 3]\nPage {PAGE}\n[/head]\nbody text more\nbody text more");
    ASSERT_EQ(docx.paragraphs.size(), 3u);
    EXPECT_EQ(docx.paragraphs[1].nAlignment, STROME_ALIGN_LEFT);
    EXPECT_EQ(docx.paragraphs[0].nAlignment, STROME_ALIGN_CENTER);  // the footer, on the page's centre
    EXPECT_FALSE(docx.paragraphs[1].nFlags & STROME_PARA_PAGE_BREAK_BEFORE);
    EXPECT_TRUE(docx.paragraphs[2].nFlags & STROME_PARA_PAGE_BREAK_BEFORE);
}

TEST(FaithfulLayout, PicturesStandAloneInlineAndBesideTextAnchored)
{
    FakeLayout page;
    page.Section(50, 700, {{72, 523}});
    page.Image(72, 100, 523, 300);  // the column's width: alone
    page.Image(72, 320, 200, 420);  // narrow, with text beside it: anchored
    page.Text(PDF_BLOCK_PARAGRAPH, 220, 523, 340, 12, {"text beside the picture", "goes on"});
    FakeDocxEx docx;
    DocumentState state;
    ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
    ASSERT_EQ(docx.pictures.size(), 2u);
    EXPECT_EQ(docx.pictures[0].nPlacement, STROME_PLACE_INLINE);
    EXPECT_EQ(docx.pictures[0].nWidth, 451 * 20);
    EXPECT_EQ(docx.pictures[1].nPlacement, STROME_PLACE_ANCHOR);
    EXPECT_EQ(docx.pictures[1].nX, 72 * 20);
    EXPECT_EQ(docx.pictures[1].nY, 320 * 20);
    EXPECT_EQ(docx.pictures[1].nWrap, STROME_WRAP_SQUARE);
    // The anchored picture rides on the paragraph beside it.
    EXPECT_EQ(docx.Text(), "\n[picture]\n[picture]text beside the picture goes on");
}

TEST(FaithfulLayout, BlocksSideBySideAreOneRowOfABorderlessTable)
{
    // A margin note beside its paragraph: one under the other they would take twice the height.
    FakeLayout page;
    page.Section(50, 700, {{40, 523}});
    page.Text(PDF_BLOCK_PARAGRAPH, 40, 100, 100, 12, {"note"}, 8);
    page.Text(PDF_BLOCK_PARAGRAPH, 120, 523, 100, 12, {"the paragraph", "beside it"});
    page.Text(PDF_BLOCK_PARAGRAPH, 120, 523, 160, 12, {"after them"});
    FakeDocxEx docx;
    DocumentState state;
    ASSERT_EQ(LayoutFaithfulPage(&docx, page.Get(), &state), 1);
    EXPECT_EQ(docx.Text(), "\n[table]\n[row]|\nnote|\nthe paragraph beside it\nafter them");
    ASSERT_EQ(docx.grids.size(), 1u);
    ASSERT_EQ(docx.grids[0].size(), 2u);
    for (const stCellProps& c : docx.cells)
        for (const stBorder& b : c.borders)
            EXPECT_EQ(b.nStyle, STROME_BORDER_NONE);
}

TEST(FaithfulLayout, BrokenLayoutsAreRefusedOrReadSafely)
{
    FakeDocxEx docx;
    DocumentState state;
    EXPECT_EQ(LayoutFaithfulPage(&docx, nullptr, &state), 0);
    FakeLayout small;
    stPdfPageLayout* layout = small.Get();
    layout->cbSize = 8;  // shorter than the record
    EXPECT_EQ(LayoutFaithfulPage(&docx, layout, &state), 0);
    EXPECT_TRUE(docx.calls.empty());

    // Indexes out of range, null entries and counts that lie are skipped, not followed.
    FakeLayout page;
    page.Section(50, 700, {{72, 523}});
    stPdfBlock* b = page.Text(PDF_BLOCK_PARAGRAPH, 72, 523, 100, 12, {"kept", "text"});
    stPdfBlock* bad = page.Text(PDF_BLOCK_PARAGRAPH, 72, 523, 200, 12, {"lost"});
    stPdfBlock* table = page.Text(PDF_BLOCK_TABLE, 72, 523, 300, 12, {"x"});
    stPdfBlock* image = page.Text(PDF_BLOCK_IMAGE, 72, 523, 400, 12, {"y"});
    (void)b;
    stPdfPageLayout* p = page.Get();
    bad->nFirstLine = 1000000;
    table->nTable = 7;
    image->nImage = -3;
    p->ppSections[0]->nBlockCount = 99;  // more than there are: the section is passed over
    ASSERT_EQ(LayoutFaithfulPage(&docx, p, &state), 1);
    EXPECT_NE(docx.Text().find("kept text"), std::string::npos);
    EXPECT_EQ(docx.Text().find("lost"), std::string::npos);
}

}  // namespace
