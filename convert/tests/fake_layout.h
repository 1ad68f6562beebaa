// Builds a reader's page layout in memory, block by block, for the faithful layout's tests.
#ifndef MORVANE_CONVERT_TESTS_FAKE_LAYOUT_H
#define MORVANE_CONVERT_TESTS_FAKE_LAYOUT_H

#include <string.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "halvane.h"

class FakeLayout {
public:
    explicit FakeLayout(float width = 595, float height = 842)
    {
        page.cbSize = sizeof page;
        page.nVersion = PDF_LAYOUT_VERSION;
        page.nPageNumber = 1;
        page.fWidth = width;
        page.fHeight = height;
    }

    // A section of count columns given by their edges; later blocks go into it.
    stPdfSection* Section(float top, float bottom, std::vector<std::pair<float, float>> columns)
    {
        stPdfSection s = {};
        s.cbSize = sizeof s;
        s.fTop = top;
        s.fBottom = bottom;
        s.nColumnCount = (int32_t)columns.size();
        for (size_t i = 0; i < columns.size() && i < 4; ++i) {
            s.fColumnLeft[i] = columns[i].first;
            s.fColumnRight[i] = columns[i].second;
        }
        s.nFirstBlock = (int32_t)blocks.size();
        sections.push_back(s);
        return &sections.back();
    }

    // A text block of lines, each line one run of text at size, lines pitch apart from the
    // first baseline; x0..x1 the lines' extent.
    stPdfBlock* Text(int kind, float x0, float x1, float baseline, float pitch, std::vector<std::string> lines,
                     float size = 10, int column = 0, uint32_t runFlags = 0)
    {
        stPdfBlock b = NewBlock(kind, column);
        b.fLeft = x0;
        b.fRight = x1;
        b.fTop = baseline - size;
        b.fBottom = baseline + pitch * (lines.size() - 1) + size * 0.25f;
        b.fLineSpacing = lines.size() > 1 ? pitch : 0;
        b.nFirstLine = (int32_t)lineOrder.size();
        b.nLineCount = (int32_t)lines.size();
        for (size_t i = 0; i < lines.size(); ++i) {
            const float y = baseline + pitch * (float)i;
            stPdfTextLine l = {};
            l.cbSize = sizeof l;
            l.fLeft = x0;
            l.fRight = x1;
            l.fTop = y - size;
            l.fBottom = y + size * 0.25f;
            l.fBaseline = y;
            l.nFirstRun = (int32_t)runOrder.size();
            l.nRunCount = 1;
            lineStore.push_back(l);
            lineOrder.push_back(&lineStore.back());
            AddRun(lines[i], x0, x1, y, size, runFlags);
        }
        return Push(b);
    }

    stPdfBlock* Table(float x0, float y0, std::vector<float> widths, std::vector<float> heights,
                      std::vector<std::vector<std::string>> cells, bool ruled = true)
    {
        stPdfTable t = {};
        t.cbSize = sizeof t;
        t.nColumnCount = (int32_t)widths.size();
        t.nRowCount = (int32_t)heights.size();
        edges.emplace_back();
        std::vector<float>& cx = edges.back();
        cx.push_back(x0);
        for (float w : widths)
            cx.push_back(cx.back() + w);
        edges.emplace_back();
        std::vector<float>& ry = edges.back();
        ry.push_back(y0);
        for (float h : heights)
            ry.push_back(ry.back() + h);
        t.pColumnEdges = cx.data();
        t.pRowEdges = ry.data();
        t.fLeft = x0;
        t.fTop = y0;
        t.fRight = cx.back();
        t.fBottom = ry.back();
        t.nFlags = ruled ? PDF_TABLE_RULED : 0;
        t.nFirstCell = (int32_t)cellOrder.size();
        for (size_t r = 0; r < cells.size(); ++r)
            for (size_t c = 0; c < cells[r].size(); ++c) {
                if (cells[r][c] == "<")  // covered by the cell before
                    continue;
                stPdfTableCell cell = {};
                cell.cbSize = sizeof cell;
                cell.nRow = (int32_t)r;
                cell.nColumn = (int32_t)c;
                cell.nRowSpan = 1;
                cell.nColumnSpan = 1;
                while (c + cell.nColumnSpan < cells[r].size() && cells[r][c + cell.nColumnSpan] == "<")
                    ++cell.nColumnSpan;
                cell.fLeft = cx[c];
                cell.fRight = cx[c + cell.nColumnSpan];
                cell.fTop = ry[r];
                cell.fBottom = ry[r + 1];
                for (stPdfBorder& e : cell.border)
                    e = stPdfBorder{ruled ? 0.5f : 0.0f, 0};
                cell.nShading = PDF_NO_COLOR;
                cell.nFirstBlock = (int32_t)cellBlockOrder.size();
                if (!cells[r][c].empty()) {
                    stPdfBlock b = NewBlock(PDF_BLOCK_PARAGRAPH, -1);
                    b.nSection = -1;
                    b.nCell = (int32_t)cellOrder.size();
                    b.fLeft = cell.fLeft + 2;
                    b.fRight = cell.fRight - 2;
                    b.fTop = cell.fTop + 2;
                    b.fBottom = cell.fBottom - 2;
                    b.nFirstLine = (int32_t)lineOrder.size();
                    b.nLineCount = 1;
                    stPdfTextLine l = {};
                    l.cbSize = sizeof l;
                    l.fLeft = b.fLeft;
                    l.fRight = b.fRight;
                    l.fTop = b.fTop;
                    l.fBottom = b.fBottom;
                    l.fBaseline = cell.fBottom - 4;
                    l.nFirstRun = (int32_t)runOrder.size();
                    l.nRunCount = 1;
                    lineStore.push_back(l);
                    lineOrder.push_back(&lineStore.back());
                    AddRun(cells[r][c], b.fLeft, b.fRight, l.fBaseline, 9, 0);
                    blockStore.push_back(b);
                    cellBlockOrder.push_back(&blockStore.back());
                    cell.nBlockCount = 1;
                }
                cellStore.push_back(cell);
                cellOrder.push_back(&cellStore.back());
            }
        t.nCellCount = (int32_t)cellOrder.size() - t.nFirstCell;
        tableStore.push_back(t);
        tableOrder.push_back(&tableStore.back());
        stPdfBlock b = NewBlock(PDF_BLOCK_TABLE, 0);
        b.fLeft = t.fLeft;
        b.fTop = t.fTop;
        b.fRight = t.fRight;
        b.fBottom = t.fBottom;
        b.nTable = (int32_t)tableOrder.size() - 1;
        return Push(b);
    }

    stPdfBlock* Image(float x0, float y0, float x1, float y1, int column = 0)
    {
        imageData.emplace_back(offsetof(stPdfImage, data) + 4, 0);
        stPdfImage* image = reinterpret_cast<stPdfImage*>(imageData.back().data());
        image->nWidth = (int32_t)(x1 - x0);
        image->nHeight = (int32_t)(y1 - y0);
        image->nDataSize = 4;
        memcpy(image->data, "\xFF\xD8\xFF\xE0", 4);
        stPdfPlacedImage placed = {};
        placed.cbSize = sizeof placed;
        placed.fLeft = x0;
        placed.fTop = y0;
        placed.fRight = x1;
        placed.fBottom = y1;
        placed.pImage = image;
        imageStore.push_back(placed);
        imageOrder.push_back(&imageStore.back());
        stPdfBlock b = NewBlock(PDF_BLOCK_IMAGE, column);
        b.fLeft = x0;
        b.fTop = y0;
        b.fRight = x1;
        b.fBottom = y1;
        b.nImage = (int32_t)imageOrder.size() - 1;
        return Push(b);
    }

    stPdfPageLayout* Get()
    {
        page.nSectionCount = (int32_t)sections.size();
        sectionOrder.clear();
        for (stPdfSection& s : sections)
            sectionOrder.push_back(&s);
        page.ppSections = sectionOrder.data();
        page.nBlockCount = (int32_t)blocks.size();
        page.ppBlocks = blocks.data();
        page.nCellBlockCount = (int32_t)cellBlockOrder.size();
        page.ppCellBlocks = cellBlockOrder.data();
        page.nLineCount = (int32_t)lineOrder.size();
        page.ppLines = lineOrder.data();
        page.nRunCount = (int32_t)runOrder.size();
        page.ppRuns = runOrder.data();
        page.nTableCount = (int32_t)tableOrder.size();
        page.ppTables = tableOrder.data();
        page.nCellCount = (int32_t)cellOrder.size();
        page.ppCells = cellOrder.data();
        page.nImageCount = (int32_t)imageOrder.size();
        page.ppImages = imageOrder.data();
        float l = page.fWidth, t = page.fHeight, r = 0, b = 0;
        for (stPdfBlock* k : blocks) {
            l = std::min(l, k->fLeft);
            t = std::min(t, k->fTop);
            r = std::max(r, k->fRight);
            b = std::max(b, k->fBottom);
        }
        page.fContentLeft = l;
        page.fContentTop = t;
        page.fContentRight = r;
        page.fContentBottom = b;
        return &page;
    }

    std::deque<stPdfTextRun> runStore;

private:
    stPdfBlock NewBlock(int kind, int column)
    {
        stPdfBlock b = {};
        b.cbSize = sizeof b;
        b.nKind = kind;
        b.nSection = sections.empty() ? -1 : (int32_t)sections.size() - 1;
        b.nColumn = column;
        b.nTable = b.nImage = b.nCell = -1;
        return b;
    }

    stPdfBlock* Push(const stPdfBlock& b)
    {
        blockStore.push_back(b);
        blocks.push_back(&blockStore.back());
        if (!sections.empty())
            sections.back().nBlockCount = (int32_t)blocks.size() - sections.back().nFirstBlock;
        return &blockStore.back();
    }

    void AddRun(const std::string& text, float x0, float x1, float baseline, float size, uint32_t flags)
    {
        texts.emplace_back(text.begin(), text.end());
        stPdfTextRun r = {};
        r.cbSize = sizeof r;
        r.fLeft = x0;
        r.fRight = x1;
        r.fTop = baseline - size;
        r.fBottom = baseline + size * 0.25f;
        r.fBaseline = baseline;
        strcpy(r.szFontFamily, "Liberation Serif");
        r.fSize = size;
        r.nFlags = flags;
        r.nLength = (int32_t)texts.back().size();
        r.pText = texts.back().data();
        runStore.push_back(r);
        runOrder.push_back(&runStore.back());
    }

    stPdfPageLayout page = {};
    std::deque<stPdfSection> sections;
    std::vector<stPdfSection*> sectionOrder;
    std::deque<stPdfBlock> blockStore;
    std::vector<stPdfBlock*> blocks, cellBlockOrder;
    std::deque<stPdfTextLine> lineStore;
    std::vector<stPdfTextLine*> lineOrder;
    std::vector<stPdfTextRun*> runOrder;
    std::deque<std::basic_string<qrn_wchar>> texts;
    std::deque<stPdfTable> tableStore;
    std::vector<stPdfTable*> tableOrder;
    std::deque<std::vector<float>> edges;
    std::deque<stPdfTableCell> cellStore;
    std::vector<stPdfTableCell*> cellOrder;
    std::deque<std::vector<char>> imageData;
    std::deque<stPdfPlacedImage> imageStore;
    std::vector<stPdfPlacedImage*> imageOrder;
};

#endif
