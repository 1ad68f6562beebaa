#include "page_plan.h"

#include <math.h>

#include <algorithm>

#include "layout_access.h"
#include "layout_rules.h"

namespace faithful {

namespace {

bool IsRunningHead(const stPdfBlock& b)
{
    return b.nKind == PDF_BLOCK_HEADER || b.nKind == PDF_BLOCK_FOOTER;
}
bool IsText(const stPdfBlock& b)
{
    return b.nKind != PDF_BLOCK_TABLE && b.nKind != PDF_BLOCK_IMAGE;
}

const stPdfTextLine* FirstLine(const stPdfPageLayout& page, const stPdfBlock& b)
{
    return b.nLineCount > 0 ? LineAt(page, b.nFirstLine) : nullptr;
}

bool Finite(double v)
{
    return v == v && v > -1e6 && v < 1e6;
}

// Where Word's first line box of a block starts, in page points.
double ModelTop(const stPdfPageLayout& page, const stPdfBlock& b, double line)
{
    if (IsText(b)) {
        if (const stPdfTextLine* first = FirstLine(page, b))
            if (Finite(first->fBaseline))
                return first->fBaseline - kBaselineShareOfLine * line;
    }
    return Finite(b.fTop) ? b.fTop : 0;
}

double BlockWidth(const stPdfBlock& b)
{
    return Finite(b.fRight - b.fLeft) ? std::max(0.0, (double)b.fRight - b.fLeft) : 0;
}

bool Overlap(double a0, double a1, double b0, double b1)
{
    return a0 < b1 && b0 < a1;
}

// A picture with text beside it on the same band of its section.
bool TextBeside(const stPdfPageLayout& page, const stPdfBlock& image, int section)
{
    for (int i = 0; i < page.nBlockCount; ++i) {
        const stPdfBlock* b = BlockAt(page, i);
        if (!b || b == &image || !IsText(*b) || IsRunningHead(*b) || b->nSection != section)
            continue;
        if (Overlap(image.fTop, image.fBottom, b->fTop, b->fBottom) &&
            !Overlap(image.fLeft, image.fRight, b->fLeft, b->fRight))
            return true;
    }
    return false;
}

PlannedBlock Measure(const stPdfPageLayout& page, int index, const stPdfBlock& b, const PlannedSection& section,
                     int column)
{
    PlannedBlock p;
    p.block = index;
    if (IsText(b)) {
        p.line = LineHeightOf(page, b);
        p.lines = std::max(1, (int)b.nLineCount);
        p.height = p.lines * p.line;
    } else if (b.nKind == PDF_BLOCK_TABLE) {
        p.height = Finite(b.fBottom - b.fTop) ? std::max(0.0, (double)b.fBottom - b.fTop) : 0;
    } else {
        const double columnWidth = section.right[column] - section.left[column];
        p.anchored = BlockWidth(b) < kAnchorWidthShare * columnWidth && TextBeside(page, b, b.nSection);
        p.height = p.anchored ? 0 : (Finite(b.fBottom - b.fTop) ? std::max(0.0, (double)b.fBottom - b.fTop) : 0);
    }
    return p;
}

PlannedSection SectionFrom(const stPdfSection& s, double pageWidth)
{
    PlannedSection out;
    out.columns = std::min(4, std::max(1, (int)s.nColumnCount));
    for (int c = 0; c < out.columns; ++c) {
        double l = Finite(s.fColumnLeft[c]) ? s.fColumnLeft[c] : 0;
        double r = Finite(s.fColumnRight[c]) ? s.fColumnRight[c] : pageWidth;
        l = std::min(std::max(l, 0.0), pageWidth);
        r = std::min(std::max(r, l + 1), pageWidth);
        out.left[c] = l;
        out.right[c] = r;
    }
    // Columns must run left to right without overlapping; anything else is read as one column.
    for (int c = 1; c < out.columns; ++c)
        if (out.left[c] < out.right[c - 1]) {
            out.right[0] = out.right[out.columns - 1] > out.right[0] ? out.right[out.columns - 1] : out.right[0];
            out.columns = 1;
            break;
        }
    return out;
}

// Sum of the spacing above blocks and of the lines' heights, per the fitting parameter t:
// 0..1 takes spacing away, 1..2 takes the line height down to its floor.
struct Shrink {
    double space = 1, line = 1;
};

Shrink ShrinkAt(double t)
{
    Shrink s;
    if (t <= 1) {
        s.space = 1 - t;
    } else {
        s.space = 0;
        s.line = 1 - (t - 1) * (1 - kMinFitLineShare);
    }
    return s;
}

double FlowHeight(const PagePlan& plan, const Shrink& s, bool withRewrap)
{
    double total = 0;
    for (const PlannedSection& section : plan.sections) {
        double tallest = 0;
        for (int c = 0; c < section.columns; ++c) {
            double h = 0;
            for (const PlannedBlock& b : section.flow[c]) {
                h += b.before * s.space;
                if (b.line > 0) {
                    const double lines = withRewrap && b.lines >= 2 ? b.lines * (1 + kRewrapLineShare) : b.lines;
                    h += lines * b.line * s.line;
                } else {
                    h += b.height;
                }
            }
            tallest = std::max(tallest, h);
        }
        total += tallest;
    }
    return total;
}

double BlockTop(const stPdfBlock& b)
{
    return Finite(b.fTop) ? b.fTop : 0;
}
double BlockBottom(const stPdfBlock& b)
{
    return Finite(b.fBottom) ? std::max((double)b.fBottom, BlockTop(b)) : BlockTop(b);
}

}  // namespace

void FormBands(const stPdfPageLayout& page, std::vector<PlannedBlock>& flow)
{
    std::vector<PlannedBlock> out;
    for (size_t i = 0; i < flow.size();) {
        const stPdfBlock* first = BlockAt(page, flow[i].block);
        size_t end = i + 1;
        double bottom = BlockBottom(*first);
        while (end < flow.size() && !flow[end].anchored) {
            const stPdfBlock* b = BlockAt(page, flow[end].block);
            if (!(BlockTop(*b) < bottom - kBandOverlap))
                break;
            bottom = std::max(bottom, BlockBottom(*b));
            ++end;
        }
        if (end == i + 1 || flow[i].anchored) {
            out.push_back(flow[i++]);
            continue;
        }
        // Columns of the band: blocks whose horizontal extents overlap share one.
        std::vector<std::pair<double, double>> spans;
        std::vector<int> members;
        for (size_t k = i; k < end; ++k) {
            const stPdfBlock* b = BlockAt(page, flow[k].block);
            spans.emplace_back(b->fLeft, b->fRight);
            members.push_back(flow[k].block);
        }
        std::sort(spans.begin(), spans.end());
        std::vector<std::pair<double, double>> columns;
        for (const auto& s : spans) {
            if (!columns.empty() && s.first < columns.back().second)
                columns.back().second = std::max(columns.back().second, s.second);
            else
                columns.push_back(s);
        }
        if (columns.size() < 2 || columns.size() > 16) {  // stacked, or no layout a row can hold
            for (size_t k = i; k < end; ++k)
                out.push_back(flow[k]);
            i = end;
            continue;
        }
        PlannedBlock band;
        band.block = flow[i].block;
        band.band = members;
        band.bandEdges.push_back(columns.front().first);
        for (size_t c = 1; c < columns.size(); ++c)
            band.bandEdges.push_back((columns[c - 1].second + columns[c].first) / 2);
        band.bandEdges.push_back(columns.back().second);
        double top = 1e9;
        for (size_t k = i; k < end; ++k)
            top = std::min(top, BlockTop(*BlockAt(page, flow[k].block)));
        band.height = bottom - top;
        out.push_back(band);
        i = end;
    }
    flow.swap(out);
}

double LargestSize(const stPdfPageLayout& page, const stPdfBlock& block)
{
    double size = 0;
    if (!RangeInside(block.nFirstLine, block.nLineCount, page.nLineCount))
        return 0;
    for (int i = 0; i < block.nLineCount; ++i) {
        const stPdfTextLine* line = LineAt(page, block.nFirstLine + i);
        if (!line || !RangeInside(line->nFirstRun, line->nRunCount, page.nRunCount))
            continue;
        for (int r = 0; r < line->nRunCount; ++r)
            if (const stPdfTextRun* run = RunAt(page, line->nFirstRun + r))
                if (Finite(run->fSize) && run->fSize > size && run->fSize < 2000)
                    size = run->fSize;
    }
    return size;
}

double LineHeightOf(const stPdfPageLayout& page, const stPdfBlock& block)
{
    double size = LargestSize(page, block);
    if (size <= 0)
        size = 10;
    double line = kSingleLineEm * size;
    if (block.nLineCount >= 2 && Finite(block.fLineSpacing) && block.fLineSpacing > 0)
        line = block.fLineSpacing;
    return std::min(std::max(line, kMinLineEm * size), 1000.0);
}

PagePlan PlanPage(const stPdfPageLayout& page)
{
    PagePlan plan;
    Geometry& g = plan.geometry;
    g.width = page.fWidth;
    g.height = page.fHeight;

    // Sections and their blocks, column by column.
    std::vector<char> placed((size_t)std::max(0, (int)page.nBlockCount), 0);
    for (int s = 0; s < page.nSectionCount; ++s) {
        const stPdfSection* section = SectionAt(page, s);
        if (!section || !RangeInside(section->nFirstBlock, section->nBlockCount, page.nBlockCount))
            continue;
        plan.sections.push_back(SectionFrom(*section, g.width));
        PlannedSection& ps = plan.sections.back();
        for (int i = section->nFirstBlock; i < section->nFirstBlock + section->nBlockCount; ++i) {
            const stPdfBlock* b = BlockAt(page, i);
            if (!b || placed[(size_t)i] || IsRunningHead(*b) || b->nKind == PDF_BLOCK_FOOTNOTE)
                continue;
            const int column = b->nColumn >= 0 && b->nColumn < ps.columns ? b->nColumn : 0;
            ps.flow[column].push_back(Measure(page, i, *b, ps, column));
            placed[(size_t)i] = 1;
        }
        if (ps.flow[0].empty() && ps.flow[1].empty() && ps.flow[2].empty() && ps.flow[3].empty())
            plan.sections.pop_back();
    }
    // Body blocks outside every section, and the footnotes, go in one column under the rest.
    PlannedSection rest;
    rest.left[0] = Finite(page.fContentLeft) ? page.fContentLeft : 0;
    rest.right[0] = Finite(page.fContentRight) && page.fContentRight > rest.left[0] ? page.fContentRight : g.width;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < page.nBlockCount; ++i) {
            const stPdfBlock* b = BlockAt(page, i);
            if (!b || placed[(size_t)i])
                continue;
            if (b->nKind == PDF_BLOCK_HEADER) {
                if (pass == 0)
                    plan.headers.push_back(i);
                continue;
            }
            if (b->nKind == PDF_BLOCK_FOOTER) {
                if (pass == 0)
                    plan.footers.push_back(i);
                continue;
            }
            if ((b->nKind == PDF_BLOCK_FOOTNOTE) != (pass == 1))
                continue;
            rest.flow[0].push_back(Measure(page, i, *b, rest, 0));
            placed[(size_t)i] = 1;
        }
    if (!rest.flow[0].empty())
        plan.sections.push_back(rest);
    for (PlannedSection& s : plan.sections)
        for (int c = 0; c < s.columns; ++c)
            FormBands(page, s.flow[c]);

    // The text area: left and right from the columns, top and bottom from the lines' boxes in Word.
    double left = g.width, right = 0, top = g.height, bottom = 0;
    for (const PlannedSection& s : plan.sections) {
        left = std::min(left, s.left[0]);
        right = std::max(right, s.right[s.columns - 1]);
        for (int c = 0; c < s.columns; ++c)
            for (const PlannedBlock& p : s.flow[c]) {
                const stPdfBlock* b = BlockAt(page, p.block);
                double t = ModelTop(page, *b, p.line);
                if (!p.band.empty()) {
                    t = 1e9;
                    for (int m : p.band)
                        t = std::min(t, BlockTop(*BlockAt(page, m)));
                }
                top = std::min(top, t);
                bottom =
                    std::max(bottom, t + (p.line > 0 || !p.band.empty() ? p.height : (double)b->fBottom - b->fTop));
                if (p.line > 0) {  // a line may reach out of its column
                    left = std::min(left, (double)b->fLeft);
                    right = std::max(right, (double)b->fRight);
                }
            }
    }
    if (plan.sections.empty()) {
        left = 0.1 * g.width;
        right = 0.9 * g.width;
        top = 0.1 * g.height;
        bottom = top;
    }
    g.marginLeft = std::max(kMinMargin, left);
    g.marginRight = std::max(kMinMargin, g.width - right);
    g.marginTop = std::max(kMinMargin, top);
    double headerTop = g.height, footerTop = g.height, footerBottom = 0;
    for (int i : plan.headers)
        headerTop = std::min(headerTop, (double)BlockAt(page, i)->fTop);
    for (int i : plan.footers) {
        footerTop = std::min(footerTop, (double)BlockAt(page, i)->fTop);
        footerBottom = std::max(footerBottom, (double)BlockAt(page, i)->fBottom);
    }
    if (!plan.headers.empty())
        g.headerDistance = std::max(kMinMargin, std::min(headerTop, g.marginTop));
    const double roomBelow = std::max(kMinMargin, g.height - bottom);
    if (!plan.footers.empty()) {
        g.footerDistance = std::max(kMinMargin, g.height - footerBottom);
        g.marginBottom = std::min(roomBelow, std::max(kMinMargin, g.height - footerTop));
    } else {
        g.marginBottom = std::min(roomBelow, 36.0);
    }
    // Word needs some text area; a page with too little between its margins gives up margin.
    const double minText = 72;
    if (g.height - g.marginTop - g.marginBottom < minText) {
        g.marginBottom = kMinMargin;
        g.marginTop = std::max(kMinMargin, std::min(g.marginTop, g.height - minText - kMinMargin));
    }
    if (g.width - g.marginLeft - g.marginRight < minText) {
        g.marginLeft = g.marginRight = std::max(kMinMargin, (g.width - minText) / 2);
    }
    // Columns start at the text area's edges.
    for (PlannedSection& s : plan.sections) {
        s.left[0] = std::max(s.left[0], g.marginLeft);
        s.right[s.columns - 1] =
            std::min(std::max(s.right[s.columns - 1], s.left[s.columns - 1] + 1), g.width - g.marginRight);
    }

    // Spacing above each block: the gap between where Word ends the block above and where this
    // block's first line box must start.
    double cursor = g.marginTop;
    for (PlannedSection& s : plan.sections) {
        double sectionBottom = cursor;
        for (int c = 0; c < s.columns; ++c) {
            double at = cursor;
            for (PlannedBlock& p : s.flow[c]) {
                if (p.anchored)
                    continue;
                const stPdfBlock* b = BlockAt(page, p.block);
                double t = ModelTop(page, *b, p.line);
                if (!p.band.empty()) {
                    t = 1e9;
                    for (int m : p.band)
                        t = std::min(t, BlockTop(*BlockAt(page, m)));
                }
                p.before = std::max(0.0, t - at);
                at += p.before + p.height;
            }
            sectionBottom = std::max(sectionBottom, at);
        }
        cursor = sectionBottom;
    }
    plan.available = g.height - g.marginTop - g.marginBottom;
    FitPage(plan);
    return plan;
}

void FitPage(PagePlan& plan)
{
    double typicalLine = 12;
    for (const PlannedSection& s : plan.sections)
        for (int c = 0; c < s.columns; ++c)
            for (const PlannedBlock& b : s.flow[c])
                if (b.line > 0)
                    typicalLine = b.line;
    const double target = plan.available - kPageSafetyLines * typicalLine;
    plan.fitShare = 1;
    if (FlowHeight(plan, ShrinkAt(0), true) <= target) {
        plan.estimatedHeight = FlowHeight(plan, ShrinkAt(0), true);
        return;
    }
    double lo = 0, hi = 2;
    for (int i = 0; i < 30; ++i) {
        const double mid = (lo + hi) / 2;
        if (FlowHeight(plan, ShrinkAt(mid), true) <= target)
            hi = mid;
        else
            lo = mid;
    }
    const Shrink s = ShrinkAt(hi);
    for (PlannedSection& section : plan.sections)
        for (int c = 0; c < section.columns; ++c)
            for (PlannedBlock& b : section.flow[c]) {
                b.before *= s.space;
                b.line *= s.line;
                if (b.line > 0)
                    b.height = b.lines * b.line;
            }
    plan.fitShare = hi <= 1 ? 1 - hi : 0;
    plan.estimatedHeight = FlowHeight(plan, ShrinkAt(0), true);
}

double WrapSlack(const PagePlan& plan, const PlannedSection& section, int column)
{
    const double width = section.right[column] - section.left[column];
    double room;
    if (column + 1 < section.columns)
        room = (section.left[column + 1] - section.right[column]) * kWrapSlackGutterShare;
    else
        room = (plan.geometry.width - section.right[column]) - kMinMargin;
    return std::max(0.0, std::min(width * kWrapSlackShare, room));
}

}  // namespace faithful
