// Paragraphs of text blocks: alignment and indents from where the lines lie in their column,
// exact line spacing, list labels on a hanging indent, contents lines as title, right tab with
// a leader and page number.
#include <math.h>

#include <algorithm>

#include "layout_access.h"
#include "layout_rules.h"
#include "page_plan.h"
#include "page_writer.h"
#include "text_format.h"
#include "units.h"

namespace faithful {

namespace {

int AlignmentOf(const stPdfBlock& b)
{
    switch (b.nAlign) {
    case PDF_ALIGN_CENTER:
        return STROME_ALIGN_CENTER;
    case PDF_ALIGN_RIGHT:
        return STROME_ALIGN_RIGHT;
    case PDF_ALIGN_JUSTIFY:
        return b.nLineCount >= 2 ? STROME_ALIGN_JUSTIFY : STROME_ALIGN_LEFT;
    default:
        return STROME_ALIGN_LEFT;
    }
}

int LeaderOf(int leader)
{
    switch (leader) {
    case PDF_LEADER_DOTS:
        return STROME_LEADER_DOT;
    case PDF_LEADER_DASHES:
        return STROME_LEADER_HYPHEN;
    case PDF_LEADER_LINE:
        return STROME_LEADER_UNDERSCORE;
    default:
        return STROME_LEADER_NONE;
    }
}

bool Finite(double v)
{
    return v == v && v > -1e6 && v < 1e6;
}

// Left edges of a block's first line and of the lines after it.
void LineLefts(const stPdfPageLayout& page, const stPdfBlock& b, double* first, double* rest)
{
    *first = *rest = b.fLeft;
    if (!RangeInside(b.nFirstLine, b.nLineCount, page.nLineCount) || b.nLineCount <= 0)
        return;
    if (const stPdfTextLine* l = LineAt(page, b.nFirstLine))
        if (Finite(l->fLeft))
            *first = l->fLeft;
    double r = 1e9;
    for (int i = 1; i < b.nLineCount; ++i)
        if (const stPdfTextLine* l = LineAt(page, b.nFirstLine + i))
            if (Finite(l->fLeft))
                r = std::min(r, (double)l->fLeft);
    *rest = r < 1e9 ? r : *first;
}

void AddTab(stParagraphProps& p, double pos, int kind, int leader)
{
    if (p.nTabCount >= STROME_MAX_TABS)
        return;
    stTabStop& t = p.tabs[p.nTabCount++];
    t.nPos = std::max(0, Twips(pos));
    t.nKind = kind;
    t.nLeader = leader;
}

}  // namespace

stParagraphProps ParagraphPropsOf(const stPdfPageLayout& page, const stPdfBlock& b, const FlowArea& area, double before,
                                  double line)
{
    stParagraphProps p = {};
    p.cbSize = sizeof p;
    p.nAlignment = AlignmentOf(b);
    p.nBefore = std::max(0, Twips(before));
    p.nLine = std::max(20, Twips(line));
    p.nLineRule = STROME_LINE_EXACT;
    const double right = Finite(b.fRight) ? b.fRight : area.right;
    double first, rest;
    LineLefts(page, b, &first, &rest);

    if (b.nKind == PDF_BLOCK_LIST_ITEM && Finite(b.fTextLeft) && Finite(b.fLabelLeft) && b.fTextLeft > b.fLabelLeft) {
        p.nLeft = Twips(b.fTextLeft - area.left);
        p.nFirstLine = Twips(b.fLabelLeft - b.fTextLeft);
        p.nRight = -Twips(area.slack);
        AddTab(p, b.fTextLeft - area.left, STROME_TAB_LEFT, STROME_LEADER_NONE);
    } else if (b.nKind == PDF_BLOCK_CONTENTS && b.nPageRefLength > 0 && Finite(b.fPageRefRight)) {
        p.nAlignment = STROME_ALIGN_LEFT;
        p.nLeft = Twips(rest - area.left);
        p.nFirstLine = Twips(first - rest);
        p.nRight = Twips(std::min(0.0, area.right - b.fPageRefRight));
        AddTab(p, b.fPageRefRight - area.left, STROME_TAB_RIGHT, LeaderOf(b.nLeader));
    } else if (p.nAlignment == STROME_ALIGN_CENTER) {
        // Centred on the block's own middle: the indents move the column's middle there.
        const double middle = (area.left + area.right) / 2, own = (b.fLeft + right) / 2;
        if (Finite(own)) {
            if (own > middle)
                p.nLeft = Twips(2 * (own - middle));
            else
                p.nRight = Twips(2 * (middle - own));
        }
    } else if (p.nAlignment == STROME_ALIGN_RIGHT) {
        p.nRight = Twips(area.right - right);
    } else {
        p.nLeft = Twips(rest - area.left);
        p.nFirstLine = Twips(first - rest);
        p.nRight = p.nAlignment == STROME_ALIGN_JUSTIFY ? Twips(std::max(0.0, area.right - right) - area.slack)
                                                        : -Twips(area.slack);
    }
    if (b.nKind == PDF_BLOCK_HEADING || (b.nFlags & PDF_BLOCK_KEEP_WITH_NEXT))
        p.nFlags |= STROME_PARA_KEEP_NEXT;
    if (b.nKind == PDF_BLOCK_HEADING && b.nHeadingLevel > 0)
        p.nHeadingLevel = std::min(6, (int)b.nHeadingLevel);
    return p;
}

qrn_IDocxPara* BeginBodyParagraph(PageWriter& w, stParagraphProps props)
{
    if (w.pageBreakBefore)
        props.nFlags |= STROME_PARA_PAGE_BREAK_BEFORE;
    qrn_IDocxPara* para = w.docx->AddParagraphEx(&props);
    w.pageBreakBefore = false;
    if (!para)
        return nullptr;
    if (w.columnBreakBefore)
        para->AddColumnBreak();
    w.columnBreakBefore = false;
    std::vector<int> anchors;
    anchors.swap(w.pendingAnchors);
    for (int index : anchors)
        if (const stPdfBlock* b = BlockAt(*w.page, index))
            AnchorPicture(w, para, *b);
    return para;
}

void WriteCarrier(PageWriter& w)
{
    stParagraphProps props = {};
    props.cbSize = sizeof props;
    props.nLine = Twips(kCarrierLine);
    props.nLineRule = STROME_LINE_EXACT;
    if (qrn_IDocxPara* para = BeginBodyParagraph(w, props)) {
        stRunFormat mark = {};
        mark.cbSize = sizeof mark;
        mark.nSize = 2;
        para->SetMarkFormat(&mark);
        para->Release();
    }
}

void WriteTextBlock(PageWriter& w, const stPdfBlock& b, const FlowArea& area, double before, double line, bool body)
{
    const stPdfPageLayout& page = *w.page;
    FlowArea own = area;
    own.slack = std::min(area.slack, kWrapSlackEm * std::max(1.0, LargestSize(page, b)));
    stParagraphProps props = ParagraphPropsOf(page, b, own, before, line);
    std::vector<Piece> pieces = LinePieces(page, b.nFirstLine, b.nLineCount);
    const stRunFormat lead = pieces.empty() ? RunFormatOf(stPdfTextRun{}) : pieces.front().format;
    if (b.nKind == PDF_BLOCK_LIST_ITEM && b.pLabel && b.nLabelLength > 0) {
        std::vector<Piece> labelled;
        Append(labelled, CleanText(b.pLabel, std::min((int)b.nLabelLength, 64)) + u"\t", lead);
        for (const Piece& p : pieces)
            Append(labelled, p.text, p.format);
        pieces.swap(labelled);
    }
    if (b.nKind == PDF_BLOCK_CONTENTS && b.pPageRef && b.nPageRefLength > 0) {
        const stRunFormat last = pieces.empty() ? lead : pieces.back().format;
        for (Piece& p : pieces)  // the title stays on its line up to the tab
            for (char16_t& c : p.text)
                if (c == u'\n')
                    c = u' ';
        Append(pieces, u"\t" + CleanText(b.pPageRef, std::min((int)b.nPageRefLength, 32)), last);
    }

    // A justified paragraph whose lines break is several paragraphs: Word would stretch a line
    // that ends in a line break across the column.
    std::vector<std::vector<Piece>> paragraphs(1);
    for (const Piece& p : pieces) {
        if (props.nAlignment != STROME_ALIGN_JUSTIFY) {
            paragraphs.back().push_back(p);
            continue;
        }
        size_t start = 0;
        for (size_t i = 0; i <= p.text.size(); ++i) {
            if (i < p.text.size() && p.text[i] != u'\n')
                continue;
            Append(paragraphs.back(), p.text.substr(start, i - start), p.format);
            if (i < p.text.size())
                paragraphs.emplace_back();
            start = i + 1;
        }
    }
    for (size_t k = 0; k < paragraphs.size(); ++k) {
        if (k > 0) {
            props.nBefore = 0;
            props.nFirstLine = 0;
        }
        qrn_IDocxPara* para = body ? BeginBodyParagraph(w, props) : w.docx->AddParagraphEx(&props);
        if (!para)
            return;
        stRunFormat mark = lead;
        para->SetMarkFormat(&mark);
        WritePieces(para, paragraphs[k]);
        para->Release();
    }
}

}  // namespace faithful
