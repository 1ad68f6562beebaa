#include "halvane/structure/layout_records.h"

#include <cstdlib>
#include <cstring>

namespace halvane {

namespace {

constexpr size_t kAlign = alignof(double) > alignof(void*) ? alignof(double) : alignof(void*);

size_t AlignUp(size_t n)
{
    return (n + kAlign - 1) & ~(kAlign - 1);
}

// Bump allocator over one block; with no block it only counts the bytes it would hand out.
class Arena {
public:
    explicit Arena(unsigned char* base) : base_(base) { }
    template <typename T> T* Take(size_t count = 1)
    {
        const size_t bytes = AlignUp(sizeof(T) * (count ? count : 1));
        T* p = base_ ? reinterpret_cast<T*>(base_ + used_) : nullptr;
        used_ += bytes;
        return p;
    }
    unsigned char* TakeBytes(size_t bytes)
    {
        unsigned char* p = base_ ? base_ + used_ : nullptr;
        used_ += AlignUp(bytes ? bytes : 1);
        return p;
    }
    size_t Used() const { return used_; }
    bool Writing() const { return base_ != nullptr; }

private:
    unsigned char* base_;
    size_t used_ = 0;
};

const qrn_wchar* CopyText(Arena& a, const std::u16string& s)
{
    qrn_wchar* p = a.Take<qrn_wchar>(s.size() + 1);
    if (p) {
        for (size_t i = 0; i < s.size(); ++i)
            p[i] = static_cast<qrn_wchar>(s[i]);
        p[s.size()] = 0;
    }
    return p;
}

void CopyName(const std::string& name, char* out, size_t room)
{
    size_t n = name.size() < room - 1 ? name.size() : room - 1;
    // Never cut a UTF-8 sequence in half.
    if (n < name.size())
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(out, name.data(), n);
    out[n] = 0;
}

float F(double v)
{
    return static_cast<float>(v);
}

struct Emitter {
    Arena& a;
    const PageLayout& layout;
    stPdfPageLayout* page = nullptr;
    int32_t lineCount = 0, runCount = 0;

    void CountLines(const std::vector<LayoutBlock>& blocks, int32_t* lines, int32_t* runs)
    {
        for (const LayoutBlock& b : blocks)
            for (const LayoutLine& l : b.lines) {
                ++*lines;
                *runs += static_cast<int32_t>(l.runs.size());
            }
    }

    stPdfBlock* Block(const LayoutBlock& b, int cell)
    {
        stPdfBlock* r = a.Take<stPdfBlock>();
        const qrn_wchar* label = CopyText(a, b.label);
        const qrn_wchar* pageRef = CopyText(a, b.pageRef);
        const int32_t firstLine = lineCount;
        for (const LayoutLine& l : b.lines)
            Line(l);
        if (!r)
            return nullptr;
        std::memset(r, 0, sizeof *r);
        r->cbSize = sizeof *r;
        r->nKind = b.kind;
        r->nSection = b.section;
        r->nColumn = b.column;
        r->fLeft = F(b.box.x0);
        r->fTop = F(b.box.y0);
        r->fRight = F(b.box.x1);
        r->fBottom = F(b.box.y1);
        r->nAlign = b.align;
        r->fLeftIndent = F(b.leftIndent);
        r->fRightIndent = F(b.rightIndent);
        r->fFirstLineIndent = F(b.firstLineIndent);
        r->fLineSpacing = F(b.lineSpacing);
        r->fSpaceBefore = F(b.spaceBefore);
        r->fSpaceAfter = F(b.spaceAfter);
        r->nHeadingLevel = b.headingLevel;
        r->nFirstLine = firstLine;
        r->nLineCount = static_cast<int32_t>(b.lines.size());
        r->nTable = b.table;
        r->nImage = b.image;
        r->nFlags = b.flags;
        r->nListKind = b.listKind;
        r->nLabelLength = static_cast<int32_t>(b.label.size());
        r->pLabel = label;
        r->fLabelLeft = F(b.labelLeft);
        r->fTextLeft = F(b.textLeft);
        r->nLeader = b.leader;
        r->nPageRefLength = static_cast<int32_t>(b.pageRef.size());
        r->pPageRef = pageRef;
        r->fPageRefRight = F(b.pageRefRight);
        r->nCell = cell;
        return r;
    }

    void Line(const LayoutLine& l)
    {
        stPdfTextLine* r = a.Take<stPdfTextLine>();
        const int32_t firstRun = runCount;
        for (const LayoutRun& run : l.runs)
            Run(run);
        if (r) {
            std::memset(r, 0, sizeof *r);
            r->cbSize = sizeof *r;
            r->fLeft = F(l.box.x0);
            r->fTop = F(l.box.y0);
            r->fRight = F(l.box.x1);
            r->fBottom = F(l.box.y1);
            r->fBaseline = F(l.baseline);
            r->nFirstRun = firstRun;
            r->nRunCount = static_cast<int32_t>(l.runs.size());
            r->nFlags = l.flags;
            page->ppLines[lineCount] = r;
        }
        ++lineCount;
    }

    void Run(const LayoutRun& run)
    {
        stPdfTextRun* r = a.Take<stPdfTextRun>();
        const qrn_wchar* text = CopyText(a, run.text);
        if (r) {
            std::memset(r, 0, sizeof *r);
            r->cbSize = sizeof *r;
            r->fLeft = F(run.box.x0);
            r->fTop = F(run.box.y0);
            r->fRight = F(run.box.x1);
            r->fBottom = F(run.box.y1);
            r->fBaseline = F(run.baseline);
            CopyName(run.family, r->szFontFamily, sizeof r->szFontFamily);
            CopyName(run.fontName, r->szFontName, sizeof r->szFontName);
            r->fSize = F(run.size);
            r->nColor = run.color;
            r->nFlags = run.flags;
            r->fCharSpacing = F(run.charSpacing);
            r->fRise = F(run.rise);
            r->nDirection = run.direction;
            r->nLength = static_cast<int32_t>(run.text.size());
            r->pText = text;
            page->ppRuns[runCount] = r;
        }
        ++runCount;
    }

    void Emit()
    {
        page = a.Take<stPdfPageLayout>();
        int32_t lines = 0, runs = 0, cellBlocks = 0, cells = 0;
        CountLines(layout.blocks, &lines, &runs);
        for (const LayoutTable& t : layout.tables)
            for (const LayoutCell& c : t.cells) {
                ++cells;
                cellBlocks += static_cast<int32_t>(c.blocks.size());
                CountLines(c.blocks, &lines, &runs);
            }
        stPdfSection** sections = a.Take<stPdfSection*>(layout.sections.size());
        stPdfBlock** blocks = a.Take<stPdfBlock*>(layout.blocks.size());
        stPdfBlock** cellBlockPtrs = a.Take<stPdfBlock*>(static_cast<size_t>(cellBlocks));
        stPdfTextLine** linePtrs = a.Take<stPdfTextLine*>(static_cast<size_t>(lines));
        stPdfTextRun** runPtrs = a.Take<stPdfTextRun*>(static_cast<size_t>(runs));
        stPdfTable** tables = a.Take<stPdfTable*>(layout.tables.size());
        stPdfTableCell** cellPtrs = a.Take<stPdfTableCell*>(static_cast<size_t>(cells));
        stPdfPlacedImage** images = a.Take<stPdfPlacedImage*>(layout.images.size());
        stPdfRule** rules = a.Take<stPdfRule*>(layout.rules.size());
        if (page) {
            std::memset(page, 0, sizeof *page);
            page->cbSize = sizeof *page;
            page->nVersion = PDF_LAYOUT_VERSION;
            page->nPageNumber = layout.number;
            page->nRotate = layout.rotate;
            page->fWidth = F(layout.width);
            page->fHeight = F(layout.height);
            for (int k = 0; k < 4; ++k) {
                page->fMediaBox[k] = F(layout.mediaBox[k]);
                page->fCropBox[k] = F(layout.cropBox[k]);
            }
            page->fContentLeft = F(layout.content.x0);
            page->fContentTop = F(layout.content.y0);
            page->fContentRight = F(layout.content.x1);
            page->fContentBottom = F(layout.content.y1);
            page->nColumnCount = layout.columnCount;
            page->nWritingMode = layout.writingMode;
            page->nTextTurn = layout.textTurn;
            page->nSectionCount = static_cast<int32_t>(layout.sections.size());
            page->ppSections = sections;
            page->nBlockCount = static_cast<int32_t>(layout.blocks.size());
            page->ppBlocks = blocks;
            page->nCellBlockCount = cellBlocks;
            page->ppCellBlocks = cellBlockPtrs;
            page->nLineCount = lines;
            page->ppLines = linePtrs;
            page->nRunCount = runs;
            page->ppRuns = runPtrs;
            page->nTableCount = static_cast<int32_t>(layout.tables.size());
            page->ppTables = tables;
            page->nCellCount = cells;
            page->ppCells = cellPtrs;
            page->nImageCount = static_cast<int32_t>(layout.images.size());
            page->ppImages = images;
            page->nRuleCount = static_cast<int32_t>(layout.rules.size());
            page->ppRules = rules;
        }
        for (size_t i = 0; i < layout.sections.size(); ++i) {
            const LayoutSection& s = layout.sections[i];
            stPdfSection* r = a.Take<stPdfSection>();
            if (!r)
                continue;
            std::memset(r, 0, sizeof *r);
            r->cbSize = sizeof *r;
            r->fTop = F(s.top);
            r->fBottom = F(s.bottom);
            r->nColumnCount = s.columnCount;
            for (int k = 0; k < 4; ++k) {
                r->fColumnLeft[k] = F(s.columnLeft[k]);
                r->fColumnRight[k] = F(s.columnRight[k]);
            }
            r->nFirstBlock = s.firstBlock;
            r->nBlockCount = s.blockCount;
            sections[i] = r;
        }
        for (size_t i = 0; i < layout.blocks.size(); ++i) {
            stPdfBlock* r = Block(layout.blocks[i], -1);
            if (r)
                blocks[i] = r;
        }
        int32_t cellIndex = 0, cellBlockIndex = 0;
        for (size_t t = 0; t < layout.tables.size(); ++t) {
            const LayoutTable& table = layout.tables[t];
            stPdfTable* tr = a.Take<stPdfTable>();
            float* colEdges = a.Take<float>(table.columnEdges.size());
            float* rowEdges = a.Take<float>(table.rowEdges.size());
            const int32_t firstCell = cellIndex;
            for (const LayoutCell& c : table.cells) {
                stPdfTableCell* cr = a.Take<stPdfTableCell>();
                const int32_t firstBlock = cellBlockIndex;
                for (const LayoutBlock& b : c.blocks) {
                    stPdfBlock* br = Block(b, cellIndex);
                    if (br)
                        cellBlockPtrs[cellBlockIndex] = br;
                    ++cellBlockIndex;
                }
                if (cr) {
                    std::memset(cr, 0, sizeof *cr);
                    cr->cbSize = sizeof *cr;
                    cr->nRow = c.row;
                    cr->nColumn = c.column;
                    cr->nRowSpan = c.rowSpan;
                    cr->nColumnSpan = c.columnSpan;
                    cr->fLeft = F(c.box.x0);
                    cr->fTop = F(c.box.y0);
                    cr->fRight = F(c.box.x1);
                    cr->fBottom = F(c.box.y1);
                    for (int e = 0; e < 4; ++e) {
                        cr->border[e].fWidth = F(c.border[e].width);
                        cr->border[e].nColor = c.border[e].color;
                    }
                    cr->nShading = c.shading;
                    cr->nFirstBlock = firstBlock;
                    cr->nBlockCount = static_cast<int32_t>(c.blocks.size());
                    cellPtrs[cellIndex] = cr;
                }
                ++cellIndex;
            }
            if (!tr)
                continue;
            for (size_t k = 0; k < table.columnEdges.size(); ++k)
                colEdges[k] = F(table.columnEdges[k]);
            for (size_t k = 0; k < table.rowEdges.size(); ++k)
                rowEdges[k] = F(table.rowEdges[k]);
            std::memset(tr, 0, sizeof *tr);
            tr->cbSize = sizeof *tr;
            tr->fLeft = F(table.box.x0);
            tr->fTop = F(table.box.y0);
            tr->fRight = F(table.box.x1);
            tr->fBottom = F(table.box.y1);
            tr->nRowCount = table.Rows();
            tr->nColumnCount = table.Columns();
            tr->nHeaderRows = table.headerRows;
            tr->nFlags = table.ruled ? PDF_TABLE_RULED : 0;
            tr->pColumnEdges = colEdges;
            tr->pRowEdges = rowEdges;
            tr->nFirstCell = firstCell;
            tr->nCellCount = cellIndex - firstCell;
            tables[t] = tr;
        }
        for (size_t i = 0; i < layout.images.size(); ++i) {
            const LayoutImage& img = layout.images[i];
            stPdfPlacedImage* r = a.Take<stPdfPlacedImage>();
            stPdfImage* data =
                reinterpret_cast<stPdfImage*>(a.TakeBytes(offsetof(stPdfImage, data) + img.data.size() + 1));
            if (!r)
                continue;
            std::memset(r, 0, sizeof *r);
            r->cbSize = sizeof *r;
            r->fLeft = F(img.box.x0);
            r->fTop = F(img.box.y0);
            r->fRight = F(img.box.x1);
            r->fBottom = F(img.box.y1);
            r->fCropLeft = F(img.crop[0]);
            r->fCropTop = F(img.crop[1]);
            r->fCropRight = F(img.crop[2]);
            r->fCropBottom = F(img.crop[3]);
            data->nWidth = img.width;
            data->nHeight = img.height;
            data->nDataSize = static_cast<int32_t>(img.data.size());
            if (!img.data.empty())
                std::memcpy(data->data, img.data.data(), img.data.size());
            r->pImage = data;
            images[i] = r;
        }
        for (size_t i = 0; i < layout.rules.size(); ++i) {
            const LayoutRule& rule = layout.rules[i];
            stPdfRule* r = a.Take<stPdfRule>();
            if (!r)
                continue;
            std::memset(r, 0, sizeof *r);
            r->cbSize = sizeof *r;
            r->nKind = rule.kind;
            r->fX0 = F(rule.x0);
            r->fY0 = F(rule.y0);
            r->fX1 = F(rule.x1);
            r->fY1 = F(rule.y1);
            r->fWidth = F(rule.width);
            r->nColor = rule.color;
            r->nFlags = rule.flags;
            rules[i] = r;
        }
    }
};

}  // namespace

stPdfPageLayout* BuildLayoutRecords(const PageLayout& layout)
{
    Arena counter(nullptr);
    Emitter{counter, layout}.Emit();
    unsigned char* block = static_cast<unsigned char*>(std::calloc(1, counter.Used()));
    if (!block)
        return nullptr;
    Arena writer(block);
    Emitter e{writer, layout};
    e.Emit();
    return reinterpret_cast<stPdfPageLayout*>(block);
}

void FreeLayoutRecords(stPdfPageLayout* layout)
{
    std::free(layout);
}

}  // namespace halvane
