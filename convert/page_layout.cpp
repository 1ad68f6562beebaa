#include "page_layout.h"

#include <limits.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "line_order.h"

namespace {

// Gaps below this join a line to the block above it.
const float kBlockGap = 10.0f;
// A block of several lines starting this far right of the page's left edge is indented by the excess.
const float kBlockIndentStart = 100.0f;
// A line starting this far right, or ending this far short of the page width, keeps its line break.
const float kBreakDistance = 120.0f;
// Writer units per layout unit.
const int kLeftIndentScale = 26;
const int kFirstIndentScale = 23;
const int kSpaceBeforeScale = 12;
// An indented line after a break gets one run of two spaces per 8 units of indent.
const double kSpaceRunsPerUnit = 0.125;
const int kSpaceRunSize = 12;
// Guards against absurd positions; a real page needs well under a hundred.
const int kMaxSpaceRuns = 1000;
const int kMaxContentsChars = 1023;

// Float to int by truncation towards zero, with NaN and out-of-range values pinned.
int Trunc(double value)
{
    if (!(value == value))
        return 0;
    if (value >= (double)INT_MAX)
        return INT_MAX;
    if (value <= (double)INT_MIN)
        return INT_MIN;
    return (int)value;
}

// value × scale when value is at least 1, else 0; saturating.
int Scaled(int value, int scale)
{
    if (value < 1)
        return 0;
    const long long product = (long long)value * scale;
    return product > INT_MAX ? INT_MAX : (int)product;
}

const stPdfText* TextOf(const stPdfRun* run)
{
    return run && run->nType == PDF_RUN_TEXT ? static_cast<const stPdfText*>(run->pData) : nullptr;
}

const stPdfImage* ImageOf(const stPdfRun* run)
{
    return run && run->nType == PDF_RUN_IMAGE ? static_cast<const stPdfImage*>(run->pData) : nullptr;
}

int RunCount(const stPdfLine* line)
{
    return line && line->ppRuns && line->nRunCount > 0 ? line->nRunCount : 0;
}

struct stTextBlock {
    int nSpaceBefore = 0;  // gap to the previous block, 0 for the first
    int nLeftIndent = 0;  // indent of a block of two or more lines
    int nFirstIndent = 0;  // indent of a block of one line
    float fBottom = 0;  // greatest bottom of its lines, never below 0
    std::vector<stPdfLine*> lines;
};

// Groups the sorted lines into blocks of lines less than kBlockGap apart.
std::vector<stTextBlock> GroupLines(const stPdfPage* page)
{
    std::vector<stTextBlock> blocks;
    for (int i = 0; i < page->nLineCount; ++i) {
        stPdfLine* line = page->ppLines[i];
        if (!line || IsBlankLine(line))
            continue;
        if (blocks.empty() || !(line->fTop - blocks.back().fBottom < kBlockGap))
            blocks.emplace_back();
        stTextBlock& block = blocks.back();
        block.lines.push_back(line);
        block.fBottom = std::max(block.fBottom, line->fBottom);
    }
    return blocks;
}

void MeasureBlocks(const stPdfPage* page, std::vector<stTextBlock>& blocks)
{
    float leftMargin = page->fWidth;
    for (int i = 0; i < page->nLineCount; ++i)
        if (page->ppLines[i])
            leftMargin = std::min(leftMargin, page->ppLines[i]->fLeft);

    for (size_t b = 0; b < blocks.size(); ++b) {
        stTextBlock& block = blocks[b];
        if (b > 0) {
            float top = block.lines[0]->fTop;
            for (const stPdfLine* line : block.lines)
                top = std::min(top, line->fTop);
            block.nSpaceBefore = Trunc((double)top - blocks[b - 1].fBottom);
        }
        const stPdfLine* first = block.lines[0];
        if (block.lines.size() >= 2) {
            const double d = (double)first->fLeft - page->fLeft;
            block.nLeftIndent = d < kBlockIndentStart ? 0 : Trunc(d - kBlockIndentStart);
        } else if (RunCount(first) > 0 && first->ppRuns[0]) {
            block.nFirstIndent = Trunc((double)first->ppRuns[0]->fX - leftMargin);
        }
        for (stPdfLine* line : block.lines)
            SortRunsByX(line);
    }
}

void AddSpaceRuns(qrn_IDocxPara* para, int count)
{
    static const qrn_wchar kTwoSpaces[] = {' ', ' ', 0};
    stRunProps props = {};
    props.nSize = kSpaceRunSize;
    for (int i = 0; i < count; ++i)
        para->AddText(kTwoSpaces, 2, &props);
}

void AddTextRun(qrn_IDocxPara* para, const stPdfText* text)
{
    if (text->nLength < 0)
        return;
    stRunProps props = {};
    // The reader's font name is at most 31 characters; never read past its field.
    const size_t nameLength = strnlen(text->szFontName, sizeof(text->szFontName) - 1);
    memcpy(props.szFontName, text->szFontName, nameLength);
    props.nSize = Trunc(text->dSize * 2);
    para->AddText(text->szText, text->nLength, &props);
}

void AddPictureRun(qrn_IDocx* docx, qrn_IDocxPara* para, const stPdfPage* page, const stPdfImage* image)
{
    if (image->nDataSize < 0)
        return;
    const int width = Trunc(std::min((double)image->nWidth, (double)page->fWidth));
    const int height = Trunc(std::min((double)image->nHeight, (double)page->fHeight));
    qrn_IDocxPic* picture = docx->AddPicture(image->data, image->nDataSize, width, height);
    if (!picture)
        return;
    DOCX_OBJECT object = picture->CreateObject(0, 0);
    para->AddObject(object);
    picture->FreeObject(object);
    picture->Release();
}

void WriteBlock(qrn_IDocx* docx, const stPdfPage* page, const stTextBlock& block)
{
    const size_t count = block.lines.size();
    std::vector<char> breakAfter(count, 0);
    int breaks = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        breakAfter[i] = BreakAfterLine(page, block.lines[i], block.lines[i + 1]);
        breaks += breakAfter[i];
    }

    stParaIndent indent = {};
    indent.nLeft = Scaled(block.nLeftIndent, kLeftIndentScale);
    indent.nFirstLine = Scaled(block.nFirstIndent, kFirstIndentScale);
    stParaSpacing spacing = {};
    spacing.nBefore = Scaled(block.nSpaceBefore, kSpaceBeforeScale);
    qrn_IDocxPara* para = docx->AddParagraph(&indent, &spacing, breaks >= 1 ? "left" : nullptr);
    if (!para)
        return;

    for (size_t i = 0; i < count; ++i) {
        const stPdfLine* line = block.lines[i];
        const int runs = RunCount(line);
        if (i > 0 && breakAfter[i - 1]) {
            para->AddBreak();
            const double gap = (double)line->fLeft - page->fLeft;
            if (runs > 0 && gap > kBreakDistance)
                AddSpaceRuns(para, std::min(Trunc(gap * kSpaceRunsPerUnit), kMaxSpaceRuns));
        }
        for (int r = 0; r < runs; ++r) {
            const stPdfRun* run = line->ppRuns[r];
            if (const stPdfText* text = TextOf(run))
                AddTextRun(para, text);
            else if (const stPdfImage* image = ImageOf(run))
                AddPictureRun(docx, para, page, image);
        }
    }
    para->Release();
}

}  // namespace

bool IsBlankLine(const stPdfLine* line)
{
    const int runs = RunCount(line);
    for (int r = 0; r < runs; ++r) {
        const stPdfRun* run = line->ppRuns[r];
        if (run && run->nType == PDF_RUN_IMAGE)
            return false;
        const stPdfText* text = TextOf(run);
        if (!text)
            continue;
        for (int c = 0; c < text->nLength; ++c)
            if (text->szText[c] != ' ')
                return false;
    }
    return true;
}

bool IsContentsLine(const stPdfLine* line)
{
    qrn_wchar joined[kMaxContentsChars + 1];
    int length = 0;
    const int runs = RunCount(line);
    for (int r = 0; r < runs; ++r) {
        const stPdfText* text = TextOf(line->ppRuns[r]);
        if (!text || text->nLength < 0 || length + text->nLength > kMaxContentsChars)
            continue;
        memcpy(joined + length, text->szText, (size_t)text->nLength * sizeof(qrn_wchar));
        length += text->nLength;
    }
    if (length <= 3)
        return false;
    int i = 0;
    while (i + 2 < length && !(joined[i] == '.' && joined[i + 1] == '.' && joined[i + 2] == '.'))
        ++i;
    if (i + 2 >= length)
        return false;
    while (i < length && (joined[i] == '.' || joined[i] == ' '))
        ++i;
    bool aboveZero = false;
    const int digitsStart = i;
    for (; i < length && joined[i] >= '0' && joined[i] <= '9'; ++i)
        aboveZero = aboveZero || joined[i] != '0';
    if (i == digitsStart || !aboveZero)
        return false;
    for (; i < length; ++i)
        if (joined[i] != ' ')
            return false;
    return true;
}

bool BreakAfterLine(const stPdfPage* page, const stPdfLine* line, const stPdfLine* next)
{
    if (!page || !line || !next)
        return false;
    if (IsContentsLine(line))
        return true;
    if (line->fBottom > next->fTop)
        return false;
    return next->fLeft - page->fLeft >= kBreakDistance || page->fWidth - line->fRight >= kBreakDistance;
}

int LayoutPage(qrn_IDocx* docx, stPdfPage* page)
{
    if (!docx || !page || !page->ppLines || page->nLineCount <= 0)
        return 0;
    SortLinesByTop(page);
    std::vector<stTextBlock> blocks = GroupLines(page);
    if (blocks.empty())
        return 0;
    MeasureBlocks(page, blocks);
    for (const stTextBlock& block : blocks)
        WriteBlock(docx, page, block);
    return 0;
}
