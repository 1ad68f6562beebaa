// Whole pages through the reader: reading order of columns under full-width blocks, and the page
// layout the contract delivers (tables from drawn grids, contents lines, columns).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "line_order.h"
#include "pdf_builder.h"
#include "halvane/face/pdf_doc.h"

namespace halvane {
namespace {

using testing::Bytes;
using testing::PdfBuilder;

std::string Utf8(const char16_t* s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) {
        const char16_t c = s[i];
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

std::string OnePage(const std::string& content)
{
    PdfBuilder b;
    b.AddSimplePage(content);
    return b.Build();
}

// The page's text in the order the Word layout writes it: lines sorted by top between separators.
std::vector<std::string> RecordLines(PdfDoc& doc)
{
    std::vector<std::string> out;
    stPdfPage* page = nullptr;
    EXPECT_TRUE(doc.LoadPage(1, &page));
    if (!page)
        return out;
    SortLinesByTop(page);
    for (int i = 0; i < page->nLineCount; ++i) {
        stPdfLine* line = page->ppLines[i];
        if (!line)
            continue;
        SortRunsByX(line);
        std::string text;
        for (int k = 0; k < line->nRunCount; ++k)
            if (line->ppRuns[k]->nType == PDF_RUN_TEXT) {
                const stPdfText* t = static_cast<const stPdfText*>(line->ppRuns[k]->pData);
                text += Utf8(reinterpret_cast<const char16_t*>(t->szText), t->nLength);
            }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        out.push_back(text);
    }
    doc.FreePage(page);
    return out;
}

std::string BlockText(const stPdfPageLayout& l, const stPdfBlock& b)
{
    std::string text;
    for (int i = 0; i < b.nLineCount; ++i) {
        const stPdfTextLine& line = *l.ppLines[b.nFirstLine + i];
        std::string t;
        for (int k = 0; k < line.nRunCount; ++k) {
            const stPdfTextRun& run = *l.ppRuns[line.nFirstRun + k];
            t += Utf8(reinterpret_cast<const char16_t*>(run.pText), run.nLength);
        }
        while (!t.empty() && t.back() == ' ')
            t.pop_back();
        if (!text.empty())
            text += ' ';
        text += t;
    }
    return text;
}

// A paper's first page: a title and a full-width abstract over two columns.
std::string PaperPage(int abstractLines, int columnLines)
{
    std::string c = "BT /F1 16 Tf 1 0 0 1 150 760 Tm (A Title For The Paper) Tj /F1 10 Tf ";
    for (int i = 0; i < abstractLines; ++i)
        c += "1 0 0 1 50 " + std::to_string(730 - 12 * i) + " Tm (Abstract line " + std::to_string(i) +
             " runs across the whole width of the page from margin to margin here) Tj ";
    const int top = 720 - 12 * abstractLines;
    for (int i = 0; i < columnLines; ++i) {
        const std::string y = std::to_string(top - 12 * i), n = std::to_string(i);
        c += "1 0 0 1 50 " + y + " Tm (Left column text line " + n + " goes here) Tj ";
        c += "1 0 0 1 320 " + y + " Tm (Right column text line " + n + " goes here) Tj ";
    }
    return c + "ET";
}

TEST(PageLayout, ColumnsUnderALongFullWidthAbstractReadColumnByColumn)
{
    for (int abstractLines : {1, 12, 20}) {
        std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(OnePage(PaperPage(abstractLines, 20))), ExtractOptions()));
        ASSERT_TRUE(doc);
        const std::vector<std::string> lines = RecordLines(*doc);
        ASSERT_EQ(lines.size(), static_cast<size_t>(1 + abstractLines + 40));
        const size_t body = 1 + static_cast<size_t>(abstractLines);
        for (size_t i = 0; i < 20; ++i) {
            EXPECT_EQ(lines[body + i], "Left column text line " + std::to_string(i) + " goes here") << abstractLines;
            EXPECT_EQ(lines[body + 20 + i], "Right column text line " + std::to_string(i) + " goes here")
                << abstractLines;
        }
        stPdfPageLayout* layout = nullptr;
        ASSERT_TRUE(doc->LoadPageLayout(1, &layout));
        EXPECT_EQ(layout->nColumnCount, 2);
        ASSERT_GE(layout->nSectionCount, 2);
        EXPECT_EQ(layout->ppSections[0]->nColumnCount, 1);
        EXPECT_EQ(layout->ppSections[layout->nSectionCount - 1]->nColumnCount, 2);
        EXPECT_EQ(layout->ppBlocks[0]->nKind, PDF_BLOCK_HEADING);
        doc->FreePageLayout(layout);
    }
}

TEST(PageLayout, AGridOfRulesIsATableWithItsCells)
{
    // Two rows of three cells drawn with re (frames) and lines; the text sits in the cells.
    std::string c = "0.5 w 50 700 m 350 700 l S 50 680 m 350 680 l S 50 660 m 350 660 l S ";
    for (int x : {50, 150, 250, 350})
        c += std::to_string(x) + " 660 m " + std::to_string(x) + " 700 l S ";
    c += "0.9 g 250 660 100 20 re f 0 g ";
    c += "BT /F1 10 Tf 1 0 0 1 55 686 Tm (Name) Tj 1 0 0 1 155 686 Tm (Kind) Tj 1 0 0 1 255 686 Tm (Cost) Tj "
         "1 0 0 1 55 666 Tm (Chair) Tj 1 0 0 1 155 666 Tm (Seat) Tj 1 0 0 1 255 666 Tm (120) Tj "
         "1 0 0 1 50 600 Tm (Text after the table.) Tj ET";
    std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(OnePage(c)), ExtractOptions()));
    ASSERT_TRUE(doc);
    stPdfPageLayout* l = nullptr;
    ASSERT_TRUE(doc->LoadPageLayout(1, &l));
    ASSERT_EQ(l->nTableCount, 1);
    const stPdfTable& t = *l->ppTables[0];
    EXPECT_TRUE(t.nFlags & PDF_TABLE_RULED);
    EXPECT_EQ(t.nRowCount, 2);
    EXPECT_EQ(t.nColumnCount, 3);
    ASSERT_EQ(t.nCellCount, 6);
    const stPdfTableCell& last = *l->ppCells[t.nFirstCell + 5];
    EXPECT_EQ(last.nShading, 0xE6E6E6u);
    EXPECT_GT(last.border[PDF_EDGE_TOP].fWidth, 0.4f);
    ASSERT_EQ(last.nBlockCount, 1);
    EXPECT_EQ(BlockText(*l, *l->ppCellBlocks[last.nFirstBlock]), "120");
    // The table stands in the flow before the text below it; its rules are marked as its own.
    ASSERT_EQ(l->nBlockCount, 2);
    EXPECT_EQ(l->ppBlocks[0]->nKind, PDF_BLOCK_TABLE);
    EXPECT_EQ(BlockText(*l, *l->ppBlocks[1]), "Text after the table.");
    ASSERT_GE(l->nRuleCount, 8);
    for (int i = 0; i < l->nRuleCount; ++i)
        EXPECT_TRUE(l->ppRules[i]->nFlags & PDF_RULE_OF_TABLE) << i;
    EXPECT_NEAR(l->fContentLeft, 50, 0.5);
    doc->FreePageLayout(l);
}

TEST(PageLayout, ContentsLinesAndPageGeometry)
{
    std::string c = "BT /F1 10 Tf ";
    const char* titles[] = {"Introduction", "Methods and materials", "Results"};
    for (int i = 0; i < 3; ++i) {
        const std::string y = std::to_string(700 - 14 * i);
        c += "1 0 0 1 50 " + y + " Tm (" + std::string(titles[i]) + " " + std::string(60, '.') + ") Tj ";
        c += "1 0 0 1 530 " + y + " Tm (" + std::to_string(3 * i + 1) + ") Tj ";
    }
    c += "ET";
    PdfBuilder b;
    b.AddSimplePage(c, "/CropBox [0 0 600 780] /Rotate 0");
    std::unique_ptr<PdfDoc> doc(PdfDoc::Open(Bytes(b.Build()), ExtractOptions()));
    ASSERT_TRUE(doc);
    stPdfPageLayout* l = nullptr;
    ASSERT_TRUE(doc->LoadPageLayout(1, &l));
    EXPECT_FLOAT_EQ(l->fMediaBox[3], 800);
    EXPECT_FLOAT_EQ(l->fCropBox[3], 780);
    EXPECT_FLOAT_EQ(l->fHeight, 780);
    ASSERT_EQ(l->nBlockCount, 3);
    for (int i = 0; i < 3; ++i) {
        const stPdfBlock& blk = *l->ppBlocks[i];
        EXPECT_EQ(blk.nKind, PDF_BLOCK_CONTENTS) << i;
        EXPECT_EQ(blk.nLeader, PDF_LEADER_DOTS) << i;
        EXPECT_EQ(BlockText(*l, blk), titles[i]);
        EXPECT_EQ(Utf8(reinterpret_cast<const char16_t*>(blk.pPageRef), blk.nPageRefLength), std::to_string(3 * i + 1));
    }
    doc->FreePageLayout(l);
    EXPECT_FALSE(doc->LoadPageLayout(2, &l));
    EXPECT_EQ(l, nullptr);
}

}  // namespace
}  // namespace halvane
