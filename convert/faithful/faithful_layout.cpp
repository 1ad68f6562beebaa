#include "faithful_layout.h"

#include <string.h>

#include <algorithm>

#include "layout_access.h"
#include "page_layout.h"
#include "page_plan.h"
#include "page_writer.h"
#include "text_format.h"
#include "units.h"

namespace faithful {

namespace {

// The section props of a planned section: the page, its margins and its columns.
stSectionProps SectionPropsOf(const PagePlan& plan, const PlannedSection& s, int breakKind)
{
    const Geometry& g = plan.geometry;
    stSectionProps p = {};
    p.cbSize = sizeof p;
    p.nPageWidth = Twips(g.width);
    p.nPageHeight = Twips(g.height);
    p.nMarginTop = Twips(g.marginTop);
    p.nMarginBottom = Twips(g.marginBottom);
    p.nMarginLeft = Twips(g.marginLeft);
    p.nMarginRight = Twips(g.marginRight);
    p.nHeaderDistance = g.headerDistance > 0 ? Twips(g.headerDistance) : 0;
    p.nFooterDistance = g.footerDistance > 0 ? Twips(g.footerDistance) : 0;
    p.nBreak = breakKind;
    p.nColumns = s.columns;
    if (s.columns > 1) {
        const int textWidth = p.nPageWidth - p.nMarginLeft - p.nMarginRight;
        int used = 0;
        bool sound = true;
        for (int c = 0; c < s.columns; ++c) {
            const double left = c == 0 ? g.marginLeft : s.left[c];
            const double right = c + 1 == s.columns ? g.width - g.marginRight : s.right[c];
            p.nColumnWidth[c] = Twips(right - left);
            p.nColumnGap[c] = c + 1 < s.columns ? Twips(s.left[c + 1] - right) : 0;
            sound = sound && p.nColumnWidth[c] > 0 && p.nColumnGap[c] >= 0;
            used += p.nColumnWidth[c] + p.nColumnGap[c];
        }
        if (sound)
            p.nColumnWidth[s.columns - 1] += textWidth - used;  // rounding goes to the last column
        if (!sound || p.nColumnWidth[s.columns - 1] <= 0) {
            memset(p.nColumnWidth, 0, sizeof p.nColumnWidth);
            memset(p.nColumnGap, 0, sizeof p.nColumnGap);
            p.nColumnSpace = Twips(18);
        }
    }
    return p;
}

bool SameGeometry(const stSectionProps& a, const stSectionProps& b)
{
    stSectionProps x = a, y = b;
    x.nBreak = y.nBreak = 0;
    return memcmp(&x, &y, sizeof x) == 0;
}

// The running heads' text with the page numbers left out: pages whose heads differ only in
// their numbers share one header and footer.
std::u16string HeadsKey(const stPdfPageLayout& page, const PagePlan& plan)
{
    std::u16string key;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i : pass == 0 ? plan.headers : plan.footers) {
            const stPdfBlock* b = BlockAt(page, i);
            for (const Piece& p : LinePieces(page, b->nFirstLine, b->nLineCount))
                for (char16_t c : p.text)
                    key += (b->nFlags & PDF_BLOCK_HAS_PAGE_NUMBER) && c >= u'0' && c <= u'9' ? u'#' : c;
            key += u'\x1f';
        }
        key += u'\x1e';
    }
    return key;
}

FlowArea AreaOf(const PagePlan& plan, const PlannedSection& s, int column)
{
    FlowArea a;
    a.left = column == 0 ? plan.geometry.marginLeft : s.left[column];
    a.right = column + 1 == s.columns ? plan.geometry.width - plan.geometry.marginRight : s.right[column];
    a.slack = WrapSlack(plan, s, column);
    return a;
}

void WriteBlock(PageWriter& w, const PlannedBlock& planned, const FlowArea& area)
{
    const stPdfBlock* b = BlockAt(*w.page, planned.block);
    if (!b)
        return;
    if (!planned.band.empty())
        WriteBand(w, planned, area);
    else if (b->nKind == PDF_BLOCK_TABLE)
        WriteTable(w, *b, area, planned.before);
    else if (b->nKind == PDF_BLOCK_IMAGE)
        WritePicture(w, *b, area, planned);
    else
        WriteTextBlock(w, *b, area, planned.before, planned.line, true);
}

}  // namespace

int LayoutFaithfulPage(qrn_IDocx* docx, const stPdfPageLayout* page, DocumentState* state)
{
    if (!docx || !state || !UsableLayout(page))
        return 0;
    const PagePlan plan = PlanPage(*page);
    PageWriter w;
    w.docx = docx;
    w.page = page;
    w.plan = &plan;

    PlannedSection single;
    single.left[0] = plan.geometry.marginLeft;
    single.right[0] = plan.geometry.width - plan.geometry.marginRight;
    const PlannedSection& first = plan.sections.empty() ? single : plan.sections.front();
    const std::u16string heads = HeadsKey(*page, plan);
    stSectionProps props = SectionPropsOf(plan, first, STROME_SECTION_NEXT_PAGE);
    bool newSection = true;
    if (!state->started) {
        docx->BeginSection(&props);
    } else if (!SameGeometry(props, state->last) || first.columns > 1 || heads != state->heads) {
        docx->BeginSection(&props);
    } else {
        newSection = false;
        w.pageBreakBefore = true;
    }
    const bool hadHeads = state->started && !state->heads.empty() && state->heads != u"\x1e\x1e";
    state->started = true;
    state->last = props;
    state->heads = heads;
    if (newSection && (!plan.headers.empty() || hadHeads))
        WriteRunningHeads(w, plan.headers, STROME_HEADER_DEFAULT);
    if (newSection && (!plan.footers.empty() || hadHeads))
        WriteRunningHeads(w, plan.footers, STROME_FOOTER_DEFAULT);

    for (size_t s = 0; s < plan.sections.size(); ++s) {
        const PlannedSection& section = plan.sections[s];
        if (s > 0) {
            stSectionProps next = SectionPropsOf(plan, section, STROME_SECTION_CONTINUOUS);
            if (!SameGeometry(next, state->last)) {
                docx->BeginSection(&next);
                state->last = next;
            }
        }
        for (int c = 0; c < section.columns; ++c) {
            if (c > 0)
                w.columnBreakBefore = true;
            for (const PlannedBlock& planned : section.flow[c])
                WriteBlock(w, planned, AreaOf(plan, section, c));
        }
        w.columnBreakBefore = false;
    }
    if (plan.sections.empty() || w.pageBreakBefore || !w.pendingAnchors.empty())
        WriteCarrier(w);
    return 1;
}

int LayoutPlainPage(qrn_IDocx* docx, stPdfPage* page, DocumentState* state)
{
    if (!docx || !page || !state)
        return 0;
    const double width = page->fWidth > 1 && page->fWidth < 1e5f ? page->fWidth : 595;
    const double height = page->fHeight > 1 && page->fHeight < 1e5f ? page->fHeight : 842;
    stSectionProps props = {};
    props.cbSize = sizeof props;
    props.nPageWidth = Twips(width);
    props.nPageHeight = Twips(height);
    props.nMarginLeft = props.nMarginRight = props.nMarginTop = props.nMarginBottom =
        Twips(std::min(width, height) / 14);
    props.nColumns = 1;
    if (!state->started || !SameGeometry(props, state->last) || !state->heads.empty()) {
        docx->BeginSection(&props);
    } else {
        docx->AddPageBreak();
    }
    state->started = true;
    state->last = props;
    state->heads.clear();
    return LayoutPage(docx, page) == 0;
}

}  // namespace faithful
