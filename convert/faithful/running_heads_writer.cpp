// Headers and footers: the running heads of the page as a header or footer part, pieces on one
// baseline as one line set with tab stops, the varying page number as a PAGE field.
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

double BaselineOf(const stPdfPageLayout& page, const stPdfBlock& b)
{
    if (b.nLineCount > 0)
        if (const stPdfTextLine* l = LineAt(page, b.nFirstLine))
            return l->fBaseline;
    return b.fBottom;
}

// The pieces of a running head with its page number (the last place its text shows it) as a
// field; writes them into para.
void WriteHeadText(qrn_IDocxPara* para, const stPdfPageLayout& page, const stPdfBlock& b)
{
    std::vector<Piece> pieces = LinePieces(page, b.nFirstLine, b.nLineCount);
    for (Piece& p : pieces)
        for (char16_t& c : p.text)
            if (c == u'\n' || c == u'\t')
                c = u' ';
    const std::u16string number = (b.nFlags & PDF_BLOCK_HAS_PAGE_NUMBER) && b.pPageRef && b.nPageRefLength > 0
                                      ? CleanText(b.pPageRef, std::min((int)b.nPageRefLength, 32))
                                      : std::u16string();
    int fieldPiece = -1;
    size_t fieldAt = std::u16string::npos;
    if (!number.empty())
        for (int i = (int)pieces.size() - 1; i >= 0 && fieldPiece < 0; --i) {
            const size_t at = pieces[(size_t)i].text.rfind(number);
            if (at != std::u16string::npos) {
                fieldPiece = i;
                fieldAt = at;
            }
        }
    for (int i = 0; i < (int)pieces.size(); ++i) {
        const Piece& p = pieces[(size_t)i];
        if (i != fieldPiece) {
            WritePieces(para, std::vector<Piece>{p});
            continue;
        }
        const std::u16string head = p.text.substr(0, fieldAt), tail = p.text.substr(fieldAt + number.size());
        if (!head.empty())
            para->AddTextEx(reinterpret_cast<const qrn_wchar*>(head.data()), (int)head.size(), &p.format);
        para->AddField(STROME_FIELD_PAGE, reinterpret_cast<const qrn_wchar*>(number.data()), (int)number.size(),
                       &p.format);
        if (!tail.empty())
            para->AddTextEx(reinterpret_cast<const qrn_wchar*>(tail.data()), (int)tail.size(), &p.format);
    }
}

}  // namespace

void WriteRunningHeads(PageWriter& w, const std::vector<int>& blocks, int kind)
{
    const stPdfPageLayout& page = *w.page;
    const Geometry& g = w.plan->geometry;
    const double areaLeft = g.marginLeft, areaRight = g.width - g.marginRight;
    std::vector<const stPdfBlock*> heads;
    for (int i : blocks)
        if (const stPdfBlock* b = BlockAt(page, i))
            heads.push_back(b);
    std::sort(heads.begin(), heads.end(), [&](const stPdfBlock* a, const stPdfBlock* b) {
        const double ya = BaselineOf(page, *a), yb = BaselineOf(page, *b);
        return ya != yb ? ya < yb : a->fLeft < b->fLeft;
    });
    if (!w.docx->BeginHeaderFooter(kind))
        return;
    double cursor = kind == STROME_HEADER_DEFAULT ? g.headerDistance : 0;
    for (size_t i = 0; i < heads.size();) {
        // The pieces on this baseline.
        const double size = std::max(1.0, LargestSize(page, *heads[i]));
        const double baseline = BaselineOf(page, *heads[i]);
        size_t end = i + 1;
        while (end < heads.size() && fabs(BaselineOf(page, *heads[end]) - baseline) <= kSameBaselineEm * size)
            ++end;
        const double line = LineHeightOf(page, *heads[i]);
        stParagraphProps props = {};
        props.cbSize = sizeof props;
        props.nAlignment = STROME_ALIGN_LEFT;
        props.nLine = std::max(20, Twips(line));
        props.nLineRule = STROME_LINE_EXACT;
        const double top = baseline - kBaselineShareOfLine * line;
        if (kind == STROME_HEADER_DEFAULT)
            props.nBefore = std::max(0, Twips(top - cursor));
        cursor = top + line;
        // How each piece lines up: at the right edge, on the page's centre, or from its left.
        for (size_t k = i; k < end; ++k) {
            const stPdfBlock& b = *heads[k];
            const bool right = b.fRight >= areaRight - kEdgeSnap;
            const bool centre = fabs((b.fLeft + b.fRight) / 2 - g.width / 2) <= kCentreSnapShare * g.width;
            if (k == i && end == i + 1) {
                props.nAlignment = right ? STROME_ALIGN_RIGHT : centre ? STROME_ALIGN_CENTER : STROME_ALIGN_LEFT;
                if (props.nAlignment == STROME_ALIGN_LEFT)
                    props.nLeft = Twips(b.fLeft - areaLeft);
                else if (props.nAlignment == STROME_ALIGN_RIGHT)
                    props.nRight = Twips(areaRight - b.fRight);
            } else if (k == i) {
                props.nLeft = Twips(b.fLeft - areaLeft);
            } else if (props.nTabCount < STROME_MAX_TABS) {
                stTabStop& t = props.tabs[props.nTabCount++];
                t.nKind = right ? STROME_TAB_RIGHT : centre ? STROME_TAB_CENTER : STROME_TAB_LEFT;
                const double at = right ? b.fRight : centre ? g.width / 2 : b.fLeft;
                t.nPos = std::max(0, Twips(at - areaLeft));
            }
        }
        if (qrn_IDocxPara* para = w.docx->AddParagraphEx(&props)) {
            for (size_t k = i; k < end; ++k) {
                if (k > i) {
                    stRunFormat f = {};
                    f.cbSize = sizeof f;
                    para->AddTextEx(reinterpret_cast<const qrn_wchar*>(u"\t"), 1, &f);
                }
                WriteHeadText(para, page, *heads[k]);
            }
            para->Release();
        }
        i = end;
    }
    w.docx->EndHeaderFooter();
}

}  // namespace faithful
