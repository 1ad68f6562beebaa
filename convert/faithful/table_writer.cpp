// Tables: the grid from the column edges, rows at least as high as drawn, merged cells as
// spans and vertical merges, borders as drawn, shading, header rows repeated.
#include <algorithm>
#include <vector>

#include "layout_access.h"
#include "layout_rules.h"
#include "page_plan.h"
#include "page_writer.h"
#include "units.h"

namespace faithful {

namespace {

const int kMaxGridColumns = 63;  // the writer's grid limit
const int kMaxRows = 4096;  // far beyond one page's table

bool Finite(double v)
{
    return v == v && v > -1e6 && v < 1e6;
}

stBorder BorderOf(const stPdfBorder& b, bool ruled)
{
    stBorder out = {};
    if (!ruled || !(b.fWidth > 0) || !Finite(b.fWidth)) {
        out.nStyle = STROME_BORDER_NONE;
        return out;
    }
    out.nStyle = STROME_BORDER_SINGLE;
    out.nWidth = EighthPoints(b.fWidth);
    out.nColor = b.nColor == PDF_NO_COLOR ? STROME_COLOR_AUTO : (int32_t)(b.nColor & 0xFFFFFFu);
    return out;
}

void WriteCellParagraphs(PageWriter& w, const stPdfTableCell& cell)
{
    const stPdfPageLayout& page = *w.page;
    if (!RangeInside(cell.nFirstBlock, cell.nBlockCount, page.nCellBlockCount))
        return;
    FlowArea area;
    area.left = cell.fLeft;
    area.right = cell.fRight;
    double cursor = cell.fTop;
    for (int i = cell.nFirstBlock; i < cell.nFirstBlock + cell.nBlockCount; ++i) {
        const stPdfBlock* b = CellBlockAt(page, i);
        if (!b || b->nKind == PDF_BLOCK_TABLE || b->nKind == PDF_BLOCK_IMAGE)
            continue;
        const double line = LineHeightOf(page, *b);
        double top = b->fTop;
        if (b->nLineCount > 0)
            if (const stPdfTextLine* first = LineAt(page, b->nFirstLine))
                top = first->fBaseline - kBaselineShareOfLine * line;
        const double before = Finite(top - cursor) ? std::max(0.0, top - cursor) : 0;
        WriteTextBlock(w, *b, area, before, line, false);
        cursor += before + std::max(1, (int)b->nLineCount) * line;
    }
}

}  // namespace

void WriteTable(PageWriter& w, const stPdfBlock& block, const FlowArea& area, double before)
{
    const stPdfPageLayout& page = *w.page;
    const stPdfTable* table = TableAt(page, block.nTable);
    if (!table || !table->pColumnEdges || !table->pRowEdges || table->nColumnCount < 1 || table->nRowCount < 1 ||
        table->nColumnCount > kMaxGridColumns || table->nRowCount > kMaxRows ||
        !RangeInside(table->nFirstCell, table->nCellCount, page.nCellCount))
        return;
    const int columns = table->nColumnCount, rows = table->nRowCount;
    std::vector<int32_t> grid((size_t)columns);
    for (int c = 0; c < columns; ++c)
        grid[(size_t)c] = std::max(20, Twips((double)table->pColumnEdges[c + 1] - table->pColumnEdges[c]));

    // The space above the table goes on a carrier paragraph, which also takes pending breaks.
    if (before >= 1 || w.pageBreakBefore || w.columnBreakBefore || !w.pendingAnchors.empty()) {
        stParagraphProps props = {};
        props.cbSize = sizeof props;
        props.nLine = Twips(std::max(kCarrierLine, before));
        props.nLineRule = STROME_LINE_EXACT;
        if (qrn_IDocxPara* para = BeginBodyParagraph(w, props)) {
            stRunFormat mark = {};
            mark.cbSize = sizeof mark;
            mark.nSize = 2;
            para->SetMarkFormat(&mark);
            para->Release();
        }
    }

    stTableProps props = {};
    props.cbSize = sizeof props;
    props.nAlignment = STROME_ALIGN_LEFT;
    props.nIndent = Twips(table->pColumnEdges[0] - area.left);
    props.nFlags = STROME_TABLE_FIXED_LAYOUT | STROME_TABLE_CELL_MARGINS;
    for (stBorder& b : props.borders)
        b.nStyle = STROME_BORDER_NONE;
    if (!w.docx->BeginTable(&props, grid.data(), columns))
        return;

    // Which cell starts at each grid place; a merged cell covers the places of its spans.
    std::vector<int> start((size_t)rows * columns, -1), cover((size_t)rows * columns, -1);
    for (int i = table->nFirstCell; i < table->nFirstCell + table->nCellCount; ++i) {
        const stPdfTableCell* cell = CellAt(page, i);
        if (!cell || cell->nRow < 0 || cell->nRow >= rows || cell->nColumn < 0 || cell->nColumn >= columns)
            continue;
        if (start[(size_t)cell->nRow * columns + cell->nColumn] >= 0 ||
            cover[(size_t)cell->nRow * columns + cell->nColumn] >= 0)
            continue;
        const int rowSpan = std::max(1, std::min((int)cell->nRowSpan, rows - cell->nRow));
        const int colSpan = std::max(1, std::min((int)cell->nColumnSpan, columns - cell->nColumn));
        start[(size_t)cell->nRow * columns + cell->nColumn] = i;
        for (int r = cell->nRow; r < cell->nRow + rowSpan; ++r)
            for (int c = cell->nColumn; c < cell->nColumn + colSpan; ++c)
                if (cover[(size_t)r * columns + c] < 0)
                    cover[(size_t)r * columns + c] = i;
    }
    const bool ruled = (table->nFlags & PDF_TABLE_RULED) != 0;
    for (int r = 0; r < rows; ++r) {
        stRowProps row = {};
        row.cbSize = sizeof row;
        const double height = (double)table->pRowEdges[r + 1] - table->pRowEdges[r];
        if (Finite(height) && height > 0) {
            row.nHeight = Twips(height);
            row.nHeightRule = STROME_HEIGHT_AT_LEAST;
        }
        if (r < table->nHeaderRows)
            row.nFlags |= STROME_ROW_HEADER;
        w.docx->BeginRow(&row);
        for (int c = 0; c < columns;) {
            const int owner = cover[(size_t)r * columns + c];
            const stPdfTableCell* cell = owner >= 0 ? CellAt(page, owner) : nullptr;
            stCellProps props = {};
            props.cbSize = sizeof props;
            props.nFlags = STROME_CELL_MARGINS;
            props.nShading = STROME_COLOR_AUTO;
            int span = 1;
            if (cell) {
                span = std::max(1, std::min((int)cell->nColumnSpan, columns - c));
                if (cell->nColumn != c)  // covered from the left by a cell of an earlier place
                    span = 1;
                props.nGridSpan = span;
                if (cell->nRowSpan > 1)
                    props.nVMerge = cell->nRow == r ? STROME_VMERGE_RESTART : STROME_VMERGE_CONTINUE;
                if (cell->nShading != PDF_NO_COLOR)
                    props.nShading = (int32_t)(cell->nShading & 0xFFFFFFu);
                for (int e = 0; e < 4; ++e)
                    props.borders[e] = BorderOf(cell->border[e], ruled);
            } else {
                for (stBorder& b : props.borders)
                    b.nStyle = STROME_BORDER_NONE;
            }
            w.docx->BeginCell(&props);
            if (cell && cell->nRow == r && cell->nColumn == c)
                WriteCellParagraphs(w, *cell);
            w.docx->EndCell();
            c += span;
        }
        w.docx->EndRow();
    }
    w.docx->EndTable();
}

void WriteBand(PageWriter& w, const PlannedBlock& band, const FlowArea& area)
{
    const stPdfPageLayout& page = *w.page;
    const std::vector<double>& edges = band.bandEdges;
    const int columns = (int)edges.size() - 1;
    if (columns < 1 || columns > kMaxGridColumns)
        return;
    double top = 1e9;
    for (int m : band.band)
        if (const stPdfBlock* b = BlockAt(page, m))
            top = std::min(top, (double)b->fTop);
    // Breaks and the space above go on a carrier paragraph, as for a table.
    if (band.before >= 1 || w.pageBreakBefore || w.columnBreakBefore || !w.pendingAnchors.empty()) {
        stParagraphProps props = {};
        props.cbSize = sizeof props;
        props.nLine = Twips(std::max(kCarrierLine, band.before));
        props.nLineRule = STROME_LINE_EXACT;
        if (qrn_IDocxPara* para = BeginBodyParagraph(w, props)) {
            stRunFormat mark = {};
            mark.cbSize = sizeof mark;
            mark.nSize = 2;
            para->SetMarkFormat(&mark);
            para->Release();
        }
    }
    std::vector<int32_t> grid((size_t)columns);
    for (int c = 0; c < columns; ++c)
        grid[(size_t)c] = std::max(20, Twips(edges[(size_t)c + 1] - edges[(size_t)c]));
    grid.back() += std::max(0, Twips(area.slack));
    stTableProps props = {};
    props.cbSize = sizeof props;
    props.nAlignment = STROME_ALIGN_LEFT;
    props.nIndent = Twips(edges.front() - area.left);
    props.nFlags = STROME_TABLE_FIXED_LAYOUT | STROME_TABLE_CELL_MARGINS;
    for (stBorder& b : props.borders)
        b.nStyle = STROME_BORDER_NONE;
    if (!w.docx->BeginTable(&props, grid.data(), columns))
        return;
    stRowProps row = {};
    row.cbSize = sizeof row;
    w.docx->BeginRow(&row);
    for (int c = 0; c < columns; ++c) {
        stCellProps cell = {};
        cell.cbSize = sizeof cell;
        cell.nFlags = STROME_CELL_MARGINS;
        cell.nShading = STROME_COLOR_AUTO;
        for (stBorder& b : cell.borders)
            b.nStyle = STROME_BORDER_NONE;
        w.docx->BeginCell(&cell);
        FlowArea inner;
        inner.left = edges[(size_t)c];
        inner.right = edges[(size_t)c + 1];
        double cursor = top;
        for (int m : band.band) {
            const stPdfBlock* b = BlockAt(page, m);
            if (!b)
                continue;
            const double middle = ((double)b->fLeft + b->fRight) / 2;
            if (!(middle >= inner.left && (middle < inner.right || c + 1 == columns)))
                continue;
            if (b->nKind == PDF_BLOCK_TABLE || b->nKind == PDF_BLOCK_IMAGE) {
                PlannedBlock one;
                one.block = m;
                one.before = std::max(0.0, (double)b->fTop - cursor);
                if (b->nKind == PDF_BLOCK_TABLE)
                    WriteTable(w, *b, inner, one.before);
                else
                    WritePicture(w, *b, inner, one);
                cursor = std::max(cursor, (double)b->fBottom);
                continue;
            }
            const double line = LineHeightOf(page, *b);
            double t = b->fTop;
            if (b->nLineCount > 0)
                if (const stPdfTextLine* first = LineAt(page, b->nFirstLine))
                    t = first->fBaseline - kBaselineShareOfLine * line;
            const double before = Finite(t - cursor) ? std::max(0.0, t - cursor) : 0;
            WriteTextBlock(w, *b, inner, before, line, false);
            cursor += before + std::max(1, (int)b->nLineCount) * line;
        }
        w.docx->EndCell();
    }
    w.docx->EndRow();
    w.docx->EndTable();
}

}  // namespace faithful
