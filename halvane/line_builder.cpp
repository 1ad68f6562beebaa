#include "line_builder.h"

#include "accents.h"
#include "hyphenation.h"

#include <algorithm>
#include <set>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace halvane {

namespace {

// Glyph boxes span this much of the font size above and below the baseline.
constexpr double kAscent = 0.8;
constexpr double kDescent = 0.2;
// A gap wider than this (in font sizes) ends a fragment: columns and table cells are apart.
constexpr double kFragmentGap = 0.95;
// A gap wider than this (in font sizes) between two glyphs is a word break. Kerning pairs move
// glyphs by less; a thin space of 0.15 (TeX's logos, "LaTeX 2e") or the slightly narrower gap
// between the letters of a formula ("P Q" for a segment) already reads apart.
constexpr double kWordGap = 0.12;
// Between two CJK characters only a much wider gap reads as a break.
constexpr double kCjkWordGap = 0.6;
// Column cuts need a gutter at least this wide (in median font sizes, and at least 3 units).
constexpr double kMinGutter = 0.7;
// Fragments with fewer characters than this read as table cells, not column lines.
constexpr size_t kMinColumnLineChars = 15;
// Blocks set beside each other have lines of at least this many characters (in the median).
constexpr size_t kMinBlockLineChars = 8;
// Lines of one block follow each other at most this far apart (in font sizes).
constexpr double kMaxStackPitch = 1.45;
// Blocks where more than this share of the pieces are figures are tables, read row by row.
constexpr double kMaxNumericShare = 0.3;
// A side where more than this share of the pieces are figures is the body of a table.
constexpr double kMinTableFigureShare = 0.5;
// Baselines closer than this (in font sizes) are one baseline.
constexpr double kBaselineTolerance = 0.1;
// Alignment of baselines only tells tables from side-by-side blocks with this many rows.
constexpr size_t kMinAlignedBands = 4;
// Glyphs at least this large next to their line's median size can belong to a line of their
// own when they overlap the line's glyphs; smaller ones are sub- and superscripts.
constexpr double kMinOwnLineSize = 0.75;
// Glyphs smaller than this next to their line's median size are left out when looking for
// lines woven into each other.
constexpr double kMinCrossingSize = 0.3;
// Text of another size crossing a line this many times, each within this span (in font sizes)
// of the last, is a line of its own.
constexpr int kMinWovenCrossings = 4;
constexpr double kWovenCrossingSpan = 1.5;
// Space glyphs narrower than this (in font sizes) say nothing about where the next word starts.
constexpr double kMinSpaceWidth = 0.1;
// A glyph closer than this (in font sizes) to the last one is set flush against it.
constexpr double kFlushGap = 0.02;
// Above this many fragments a page is read as one region (keeps the cut search bounded).
constexpr size_t kMaxFragmentsForCuts = 4000;

struct Fragment {
    double u0 = 0, u1 = 0, top = 0, bottom = 0;
    int band = 0;
    int dir = kDirRight;
    size_t chars = 0;
    bool isImage = false;
    std::vector<RunModel> runs;  // boxes in the direction frame until the page is assembled
};

bool EndsWithWhite(const std::u16string& s)
{
    return !s.empty() && (s.back() == u' ' || s.back() == 0x3000);
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

class RegionSplitter {
public:
    // Tables are looked for in horizontal text only: vertical writing sets its columns in tiers,
    // whose columns line up across the gutter between the tiers.
    RegionSplitter(const std::vector<Fragment>& frags, bool findTables) : frags_(frags), findTables_(findTables) {}

    void Split(std::vector<int> ids, std::vector<std::vector<int>>* regions, int depth)
    {
        if (ids.size() <= 1 || depth > 40 || ids.size() > kMaxFragmentsForCuts) {
            regions->push_back(std::move(ids));
            return;
        }
        double gutterStart, gutterEnd;
        if (FindVerticalCut(ids, &gutterStart, &gutterEnd)) {
            std::vector<int> left, right;
            for (int id : ids)
                (frags_[static_cast<size_t>(id)].u1 <= gutterStart + 0.01 ? left : right).push_back(id);
            Split(std::move(left), regions, depth + 1);
            Split(std::move(right), regions, depth + 1);
            return;
        }
        // Full-width blocks (titles, wide paragraphs, footers) may interrupt columns: look for
        // a gutter that only a few fragments cross, then cut the region above and below every
        // row that crosses it.
        if (FindInterruptedGutter(ids, &gutterStart, &gutterEnd)) {
            std::vector<std::vector<int>> groups;
            if (SplitRowsAtBlockers(ids, gutterStart, gutterEnd, &groups) && groups.size() > 1) {
                for (auto& g : groups)
                    Split(std::move(g), regions, depth + 1);
                return;
            }
        }
        regions->push_back(std::move(ids));
    }

private:
    double MinGutter(const std::vector<int>& ids)
    {
        std::vector<double> sizes;
        for (int id : ids) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            if (!f.isImage)
                sizes.push_back(f.bottom - f.top);
        }
        return std::max(3.0, kMinGutter * Median(sizes));
    }

    // A vertical strip at least a gutter wide that few fragments cross, with fragments on both
    // sides that read as columns once the crossing ones are set aside.
    bool FindInterruptedGutter(const std::vector<int>& ids, double* gapStart, double* gapEnd)
    {
        const double minGap = MinGutter(ids);
        std::vector<double> edges;
        for (int id : ids) {
            edges.push_back(frags_[static_cast<size_t>(id)].u0);
            edges.push_back(frags_[static_cast<size_t>(id)].u1);
        }
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        if (edges.size() < 4)
            return false;
        // Coverage of each elementary interval between neighbouring edges.
        std::vector<int> coverage(edges.size(), 0);
        for (int id : ids) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            const size_t a = static_cast<size_t>(std::lower_bound(edges.begin(), edges.end(), f.u0) - edges.begin());
            const size_t b = static_cast<size_t>(std::lower_bound(edges.begin(), edges.end(), f.u1) - edges.begin());
            ++coverage[a];
            --coverage[b];
        }
        for (size_t k = 1; k < coverage.size(); ++k)
            coverage[k] += coverage[k - 1];
        coverage.pop_back();
        // A strip is a run of intervals that at most `limit` fragments cover. Small limits find
        // narrow gutters beside dense columns; larger ones find gutters that more headings cross.
        // Each limit's strips are judged by what crosses their middle.
        const int maxCrossing = std::max(2, static_cast<int>(ids.size() / 5));
        double bestScore = 0;
        bool found = false;
        std::set<std::pair<double, double>> tried;
        for (int limit = 1;; limit = std::min(maxCrossing, limit * 2)) {
            for (size_t k = 1; k + 1 < coverage.size();) {
                if (coverage[k] > limit) {
                    ++k;
                    continue;
                }
                size_t end = k;
                while (end + 1 < coverage.size() && coverage[end + 1] <= limit)
                    ++end;
                const double g0 = edges[k], g1 = edges[end + 1];
                k = end + 1;
                if (g1 - g0 < minGap || !tried.insert(std::make_pair(g0, g1)).second)
                    continue;
                // Fragments crossing the middle of the strip interrupt it; the strip's edges may
                // shave a little off the columns' ragged ends.
                const double mid = 0.5 * (g0 + g1);
                std::vector<int> left, right;
                int crossing = 0;
                for (int id : ids) {
                    const Fragment& f = frags_[static_cast<size_t>(id)];
                    if (f.u1 <= mid)
                        left.push_back(id);
                    else if (f.u0 >= mid)
                        right.push_back(id);
                    else
                        ++crossing;
                }
                // The crossing fragments must be few next to the columns they interrupt.
                if (crossing == 0 || left.size() < 2 || right.size() < 2 ||
                    crossing * 3 > static_cast<int>(std::min(left.size(), right.size())) ||
                    !IsColumnCut(left, right))
                    continue;
                const double score = static_cast<double>(std::min(left.size(), right.size()));
                if (score > bestScore) {
                    bestScore = score;
                    *gapStart = g0;
                    *gapEnd = g1;
                    found = true;
                }
            }
            if (limit >= maxCrossing)
                break;
        }
        return found;
    }

    bool FindVerticalCut(const std::vector<int>& ids, double* gapStart, double* gapEnd)
    {
        std::vector<int> sorted(ids);
        std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            return frags_[static_cast<size_t>(a)].u0 < frags_[static_cast<size_t>(b)].u0;
        });
        const double minGap = MinGutter(ids);
        struct Gap {
            double start, end;
            size_t splitIndex;
        };
        std::vector<Gap> gaps;
        double maxU1 = frags_[static_cast<size_t>(sorted[0])].u1;
        for (size_t i = 1; i < sorted.size(); ++i) {
            const Fragment& f = frags_[static_cast<size_t>(sorted[i])];
            if (f.u0 - maxU1 >= minGap)
                gaps.push_back(Gap{maxU1, f.u0, i});
            maxU1 = std::max(maxU1, f.u1);
        }
        std::sort(gaps.begin(), gaps.end(),
                  [](const Gap& a, const Gap& b) { return a.end - a.start > b.end - b.start; });
        for (const Gap& gap : gaps) {
            std::vector<int> left(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(gap.splitIndex));
            std::vector<int> right(sorted.begin() + static_cast<std::ptrdiff_t>(gap.splitIndex), sorted.end());
            if (IsColumnCut(left, right)) {
                *gapStart = gap.start;
                *gapEnd = gap.end;
                return true;
            }
        }
        return false;
    }

    // A cut between columns, not between the cells of table rows or a label and its value.
    bool IsColumnCut(const std::vector<int>& left, const std::vector<int>& right)
    {
        std::unordered_set<int> bandsLeft, bandsRight;
        for (int id : left)
            bandsLeft.insert(frags_[static_cast<size_t>(id)].band);
        for (int id : right)
            bandsRight.insert(frags_[static_cast<size_t>(id)].band);
        size_t shared = 0;
        for (int b : bandsLeft)
            shared += bandsRight.count(b);
        if (shared == 0 || !findTables_)
            return true;
        if (bandsLeft.size() < 2 && bandsRight.size() < 2)
            return false;  // one row with a wide gap
        const size_t fewerBands = std::min(bandsLeft.size(), bandsRight.size());
        const double ratio = static_cast<double>(shared) / static_cast<double>(fewerBands);
        if (ratio < 0.5)
            return true;
        // Blocks standing side by side meet on a band now and then; the cells of a table row
        // sit on one baseline. In a table of figures whose cells are centred in their rows, text
        // of another font sits a little higher or lower, by the same amount in every row.
        const bool figures = NumericShare(left) > kMinTableFigureShare || NumericShare(right) > kMinTableFigureShare;
        if (fewerBands >= kMinAlignedBands && AlignedBands(left, right, figures) * 2 < fewerBands)
            return true;
        if (MedianChars(left) >= kMinColumnLineChars && MedianChars(right) >= kMinColumnLineChars)
            return true;
        // Lines stacked tightly on both sides are blocks set beside each other (address blocks,
        // the columns of an index); table rows are set further apart. Figures mark a table,
        // whose rows read across however tightly they are set, and a column of bullets, numbers
        // or labels belongs to the lines beside it.
        return MedianChars(left) >= kMinBlockLineChars && MedianChars(right) >= kMinBlockLineChars &&
               IsTightStack(left) && IsTightStack(right) && NumericShare(left) < kMaxNumericShare &&
               NumericShare(right) < kMaxNumericShare;
    }

    // The share of text fragments that are figures (amounts, dates, times, codes of digits).
    double NumericShare(const std::vector<int>& ids)
    {
        size_t text = 0, numeric = 0;
        for (int id : ids) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            if (f.isImage)
                continue;
            ++text;
            size_t digits = 0, letters = 0;
            for (const RunModel& r : f.runs)
                for (char16_t c : r.text) {
                    if (c >= u'0' && c <= u'9')
                        ++digits;
                    else if (c > u' ' && !(c == u'.' || c == u',' || c == u':' || c == u'-' || c == u'/' ||
                                           c == u'%' || c == u'+' || c == u'(' || c == u')' || c == u'$'))
                        ++letters;
                }
            if (digits > 0 && letters <= digits / 4)
                ++numeric;
        }
        return text ? static_cast<double>(numeric) / static_cast<double>(text) : 0;
    }

    // Whether the fragments stand in stacks of lines set at most kMaxStackPitch apart: most
    // fragments have the next one below them within that pitch, overlapping horizontally.
    bool IsTightStack(const std::vector<int>& ids)
    {
        std::vector<int> sorted;
        for (int id : ids)
            if (!frags_[static_cast<size_t>(id)].isImage && !frags_[static_cast<size_t>(id)].runs.empty())
                sorted.push_back(id);
        if (sorted.size() < 2)
            return false;
        std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            return frags_[static_cast<size_t>(a)].runs.front().baseline <
                   frags_[static_cast<size_t>(b)].runs.front().baseline;
        });
        size_t stacked = 0;
        for (size_t i = 0; i < sorted.size(); ++i) {
            const Fragment& f = frags_[static_cast<size_t>(sorted[i])];
            const double size = f.bottom - f.top;
            const double base = f.runs.front().baseline;
            for (size_t j = i + 1; j < sorted.size() && j < i + 64; ++j) {
                const Fragment& g = frags_[static_cast<size_t>(sorted[j])];
                const double pitch = g.runs.front().baseline - base;
                if (pitch > kMaxStackPitch * size)
                    break;
                if (pitch > 0.5 * size && g.u0 < f.u1 && f.u0 < g.u1) {
                    ++stacked;
                    break;
                }
            }
        }
        // The last line of every stack has nothing below it.
        return stacked * 3 >= sorted.size() * 2;
    }

    // Bands in which a fragment on the left and one on the right share their baseline or, when
    // asked, sit at the small offset most such pairs share.
    size_t AlignedBands(const std::vector<int>& left, const std::vector<int>& right, bool allowCommonOffset)
    {
        std::unordered_map<int, std::vector<double>> baselinesLeft;
        for (int id : left) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            if (!f.isImage && !f.runs.empty())
                baselinesLeft[f.band].push_back(f.runs.front().baseline);
        }
        struct Pair {
            int band;
            double offset, tolerance;
        };
        std::vector<Pair> pairs;
        std::vector<double> offsets;
        for (int id : right) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            if (f.isImage || f.runs.empty())
                continue;
            const auto it = baselinesLeft.find(f.band);
            if (it == baselinesLeft.end())
                continue;
            const double baseline = f.runs.front().baseline;
            double offset = it->second.front() - baseline;
            for (double b : it->second)
                if (std::fabs(b - baseline) < std::fabs(offset))
                    offset = b - baseline;
            pairs.push_back(Pair{f.band, offset, kBaselineTolerance * f.runs.front().size});
            offsets.push_back(offset);
        }
        const double common = allowCommonOffset ? Median(offsets) : 0;
        std::unordered_set<int> aligned;
        for (const Pair& p : pairs)
            if (std::fabs(p.offset) <= p.tolerance || std::fabs(p.offset - common) <= p.tolerance)
                aligned.insert(p.band);
        return aligned.size();
    }

    double MedianChars(const std::vector<int>& ids)
    {
        std::vector<double> counts;
        for (int id : ids) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            if (!f.isImage)
                counts.push_back(static_cast<double>(f.chars));
        }
        return Median(counts);
    }

    // Splits into rows (maximal runs of vertically overlapping fragments); rows that cross the
    // gutter stand alone, the rows between them are grouped.
    bool SplitRowsAtBlockers(const std::vector<int>& ids, double g0, double g1, std::vector<std::vector<int>>* groups)
    {
        std::vector<int> sorted(ids);
        std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            return frags_[static_cast<size_t>(a)].top < frags_[static_cast<size_t>(b)].top;
        });
        std::vector<int> current;
        bool currentBlocking = false;
        double rowBottom = -1e300;
        std::vector<int> row;
        bool rowBlocking = false;
        auto flushRow = [&] {
            if (row.empty())
                return;
            if (rowBlocking || currentBlocking || current.empty()) {
                if (!current.empty())
                    groups->push_back(std::move(current));
                current = std::move(row);
                currentBlocking = rowBlocking;
            } else {
                current.insert(current.end(), row.begin(), row.end());
            }
            row.clear();
            rowBlocking = false;
        };
        for (int id : sorted) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            const double overlapSlack = 0.1 * (f.bottom - f.top);
            if (!row.empty() && f.top > rowBottom - overlapSlack) {
                flushRow();
                rowBottom = -1e300;
            }
            row.push_back(id);
            rowBottom = std::max(rowBottom, f.bottom);
            const double mid = 0.5 * (g0 + g1);
            if (f.u0 < mid && f.u1 > mid)
                rowBlocking = true;
        }
        flushRow();
        if (!current.empty())
            groups->push_back(std::move(current));
        return true;
    }

    const std::vector<Fragment>& frags_;
    const bool findTables_;
};

// Appends glyph text to a run, with a space first when the gap or a space glyph says so.
void AppendGlyph(RunModel& run, const PlacedGlyph& g, bool breakBefore)
{
    if (breakBefore && !run.text.empty() && !EndsWithWhite(run.text))
        run.text.push_back(u' ');
    run.text += g.text;
    run.right = std::max(run.right, g.u1);
    run.top = std::min(run.top, g.baseline - kAscent * g.size);
    run.bottom = std::max(run.bottom, g.baseline + kDescent * g.size);
}

RunModel StartRun(const PlacedGlyph& g)
{
    RunModel run;
    run.fontName = g.font ? g.font->name : std::string();
    run.size = g.typeSize > 0 ? g.typeSize : g.size;
    run.left = g.u0;
    run.right = g.u1;
    run.top = g.baseline - kAscent * g.size;
    run.bottom = g.baseline + kDescent * g.size;
    run.baseline = g.baseline;
    run.color = g.color;
    uint32_t flags = 0;
    if (g.font && g.font->bold)
        flags |= 1;  // PDF_TEXT_BOLD
    if (g.font && g.font->italic)
        flags |= 2;  // PDF_TEXT_ITALIC
    if (g.invisible)
        flags |= 4;  // PDF_TEXT_INVISIBLE
    run.flags = flags;
    run.text = g.text;
    return run;
}

bool SameRunStyle(const RunModel& run, const PlacedGlyph& g, const Font* runFont)
{
    const double typeSize = g.typeSize > 0 ? g.typeSize : g.size;
    return g.font == runFont && std::fabs(typeSize - run.size) <= 0.05 * run.size &&
           std::fabs(g.baseline - run.baseline) <= 0.15 * run.size &&
           ((run.flags & 4) != 0) == g.invisible;
}

// Splits a band holding lines woven into each other by baseline. Small glyphs that sit beside
// a line's glyphs (sub- and superscripts) stay with the nearest line of text size; small text
// lying over other glyphs (a label over an arrow or a field) is a line of its own.
void SplitBandByBaseline(const std::vector<PlacedGlyph>& glyphs, const std::vector<size_t>& band, double bandSize,
                         std::vector<std::vector<size_t>>* out)
{
    std::vector<size_t> byBaseline(band);
    std::stable_sort(byBaseline.begin(), byBaseline.end(),
                     [&](size_t a, size_t b) { return glyphs[a].baseline < glyphs[b].baseline; });
    std::vector<std::vector<size_t>> groups;
    double base = glyphs[byBaseline[0]].baseline;
    for (size_t id : byBaseline) {
        if (groups.empty() || glyphs[id].baseline - base > 0.15 * glyphs[id].size) {
            groups.emplace_back();
            base = glyphs[id].baseline;
        }
        groups.back().push_back(id);
    }
    auto isTextSized = [&](const std::vector<size_t>& group) {
        return std::any_of(group.begin(), group.end(),
                           [&](size_t id) { return glyphs[id].size >= kMinOwnLineSize * bandSize; });
    };
    std::vector<size_t> mainGroups;
    for (size_t k = 0; k < groups.size(); ++k)
        if (isTextSized(groups[k]))
            mainGroups.push_back(k);
    auto liesOverMainGlyphs = [&](double u0, double u1) {
        for (size_t k : mainGroups)
            for (size_t id : groups[k]) {
                const PlacedGlyph& g = glyphs[id];
                if (!g.isSpace && std::min(u1, g.u1) - std::max(u0, g.u0) > 0.3 * (g.u1 - g.u0))
                    return true;
            }
        return false;
    };
    std::vector<std::vector<size_t>> lines(groups.size());
    for (size_t k : mainGroups)
        lines[k] = groups[k];
    for (size_t k = 0; k < groups.size(); ++k) {
        if (mainGroups.empty())
            lines[k] = groups[k];
        if (mainGroups.empty() || isTextSized(groups[k]))
            continue;
        // Clusters of neighbouring small glyphs go one by one.
        std::vector<size_t> byX(groups[k]);
        std::stable_sort(byX.begin(), byX.end(), [&](size_t a, size_t b) { return glyphs[a].u0 < glyphs[b].u0; });
        size_t start = 0;
        while (start < byX.size()) {
            size_t end = start + 1;
            double u1 = glyphs[byX[start]].u1;
            while (end < byX.size() && glyphs[byX[end]].u0 - u1 <= glyphs[byX[end]].size) {
                u1 = std::max(u1, glyphs[byX[end]].u1);
                ++end;
            }
            size_t target = k;
            if (!liesOverMainGlyphs(glyphs[byX[start]].u0, u1)) {
                const double clusterBase = glyphs[byX[start]].baseline;
                auto distance = [&](size_t m) { return std::fabs(glyphs[groups[m][0]].baseline - clusterBase); };
                target = mainGroups[0];
                for (size_t m : mainGroups)
                    if (distance(m) < distance(target))
                        target = m;
            }
            lines[target].insert(lines[target].end(), byX.begin() + static_cast<std::ptrdiff_t>(start),
                                 byX.begin() + static_cast<std::ptrdiff_t>(end));
            start = end;
        }
    }
    for (auto& line : lines)
        if (!line.empty())
            out->push_back(std::move(line));
}

// A small glyph raised or lowered out of its line (the "A" of a logo, a footnote mark) can fall
// into the band of a line set just above or below when that line's size is close to its own.
// Standing alone in that band but touching larger glyphs of the neighbouring band, it belongs
// to the neighbouring band.
void ReattachStrayScripts(const std::vector<PlacedGlyph>& glyphs, std::vector<std::vector<size_t>>* bands)
{
    auto byU0 = [&](size_t a, size_t b) { return glyphs[a].u0 < glyphs[b].u0; };
    for (auto& band : *bands)
        std::stable_sort(band.begin(), band.end(), byU0);
    auto touches = [&](const std::vector<size_t>& band, const PlacedGlyph& g, double reach, bool larger) {
        // Glyphs are sorted by their left edge and none is wider than a few font sizes.
        const double from = g.u0 - reach - 4 * g.size;
        auto it = std::lower_bound(band.begin(), band.end(), from,
                                   [&](size_t id, double u) { return glyphs[id].u0 < u; });
        // The scan is capped so that a pile of glyphs drawn at one place stays cheap.
        for (int seen = 0; it != band.end() && glyphs[*it].u0 <= g.u1 + reach && seen < 64; ++it, ++seen) {
            const PlacedGlyph& h = glyphs[*it];
            if (&h == &g || h.isSpace || h.u1 < g.u0 - reach)
                continue;
            if (!larger)
                return true;
            const double top = g.baseline - kAscent * g.size, bottom = g.baseline + kDescent * g.size;
            const double hTop = h.baseline - kAscent * h.size, hBottom = h.baseline + kDescent * h.size;
            if (h.size > 1.1 * g.size && std::min(bottom, hBottom) - std::max(top, hTop) >= 0.5 * (bottom - top))
                return true;
        }
        return false;
    };
    // Moves are found on the bands as built and applied afterwards, so each glyph moves once.
    std::vector<std::pair<size_t, size_t>> moves;  // glyph, target band
    std::unordered_set<size_t> moved;
    for (size_t i = 0; i < bands->size(); ++i) {
        for (size_t id : (*bands)[i]) {
            const PlacedGlyph& g = glyphs[id];
            if (g.isSpace || touches((*bands)[i], g, 0.5 * g.size, false))
                continue;
            if (i + 1 < bands->size() && touches((*bands)[i + 1], g, 0.1 * g.size, true))
                moves.emplace_back(id, i + 1);
            else if (i > 0 && touches((*bands)[i - 1], g, 0.1 * g.size, true))
                moves.emplace_back(id, i - 1);
            else
                continue;
            moved.insert(id);
        }
    }
    if (moves.empty())
        return;
    for (auto& band : *bands)
        band.erase(std::remove_if(band.begin(), band.end(), [&](size_t id) { return moved.count(id) != 0; }),
                   band.end());
    for (const auto& move : moves)
        (*bands)[move.second].push_back(move.first);
    bands->erase(std::remove_if(bands->begin(), bands->end(), [](const std::vector<size_t>& b) { return b.empty(); }),
                 bands->end());
}

// Bands of glyphs sharing a baseline, cut into fragments at wide gaps.
void BuildFragments(std::vector<PlacedGlyph>& glyphs, const std::vector<size_t>& ids, int dir, int* nextBand,
                    std::vector<Fragment>* out)
{
    std::vector<size_t> order(ids);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return glyphs[a].baseline < glyphs[b].baseline; });
    std::vector<std::vector<size_t>> bands;
    double refTop = 0, refBottom = 0, refSize = 0, refBaseline = 0;
    for (size_t id : order) {
        const PlacedGlyph& g = glyphs[id];
        const double top = g.baseline - kAscent * g.size, bottom = g.baseline + kDescent * g.size;
        bool join = false;
        if (!bands.empty()) {
            // Glyphs of one size share a line when their baselines nearly agree (tightly set
            // rows of a timetable overlap but are separate lines); a smaller glyph raised or
            // lowered (a superscript, a footnote mark) joins the line its box sits in.
            const bool sameSize = std::fabs(g.size - refSize) <= 0.15 * std::max(g.size, refSize);
            if (sameSize) {
                join = std::fabs(g.baseline - refBaseline) <= 0.3 * refSize;
            } else {
                const double overlap = std::min(bottom, refBottom) - std::max(top, refTop);
                join = overlap >= 0.5 * std::min(bottom - top, refBottom - refTop);
            }
        }
        if (!join || ((g.size > refSize * 1.15) && !g.isSpace)) {
            if (!join)
                bands.emplace_back();
            refTop = top;
            refBottom = bottom;
            refSize = g.size;
            refBaseline = g.baseline;
        }
        bands.back().push_back(id);
    }
    ReattachStrayScripts(glyphs, &bands);
    // Two lines set so close that their boxes share a band still have their own baselines: when
    // glyphs of different baselines overlap each other, the band is split by baseline.
    std::vector<std::vector<size_t>> split;
    for (auto& band : bands) {
        std::stable_sort(band.begin(), band.end(), [&](size_t a, size_t b) { return glyphs[a].u0 < glyphs[b].u0; });
        bool overlapping = false;
        const PlacedGlyph* prev = nullptr;
        std::vector<double> sizes;
        for (size_t id : band)
            sizes.push_back(glyphs[id].size);
        const double bandSize = Median(sizes);
        int crossings = 0;
        double lastCrossing = 0;
        for (size_t id : band) {
            const PlacedGlyph& g = glyphs[id];
            if (g.isSpace || g.size < kMinCrossingSize * bandSize)
                continue;
            if (prev && std::fabs(g.baseline - prev->baseline) > 0.15 * std::max(g.size, prev->size) &&
                g.u0 < prev->u1 - 0.3 * std::min(g.u1 - g.u0, prev->u1 - prev->u0)) {
                // Stacked sub- and superscripts are smaller than the line's text and stay with
                // it; a label set a size smaller under a field has a line of its own, and so
                // has text of any size woven glyph by glyph through another line.
                const bool bothLineSized = g.size >= kMinOwnLineSize * bandSize &&
                                           prev->size >= kMinOwnLineSize * bandSize &&
                                           std::fabs(g.size - prev->size) <= 0.25 * std::max(g.size, prev->size);
                // Woven lines cross at every other glyph; stacked scripts of a formula lie apart.
                crossings = (crossings > 0 && g.u0 - lastCrossing <= kWovenCrossingSpan * bandSize) ? crossings + 1 : 1;
                lastCrossing = g.u0;
                if (bothLineSized || crossings >= kMinWovenCrossings) {
                    overlapping = true;
                    break;
                }
            }
            prev = &g;
        }
        if (!overlapping) {
            split.push_back(std::move(band));
            continue;
        }
        SplitBandByBaseline(glyphs, band, bandSize, &split);
    }
    for (auto& band : split) {
        std::stable_sort(band.begin(), band.end(), [&](size_t a, size_t b) { return glyphs[a].u0 < glyphs[b].u0; });
        const int bandId = (*nextBand)++;
        Fragment frag;
        bool open = false;
        bool pendingSpace = false;
        double spaceMiddle = 0, spaceWidth = 0;
        const PlacedGlyph* last = nullptr;
        const Font* runFont = nullptr;
        auto close = [&] {
            if (open)
                out->push_back(std::move(frag));
            frag = Fragment();
            open = false;
            pendingSpace = false;
            last = nullptr;
        };
        for (size_t k = 0; k < band.size(); ++k) {
            const PlacedGlyph& g = glyphs[band[k]];
            if (g.isSpace) {
                // A space of another line's size (a big bullet's, an OCR layer's) that happens to
                // fall between two glyphs does not separate them.
                if (open && last && g.size > 0.5 * last->size && g.size < 2 * last->size) {
                    pendingSpace = true;
                    spaceMiddle = 0.5 * (g.u0 + g.u1);
                    spaceWidth = g.u1 - g.u0;
                }
                continue;
            }
            // The same glyph drawn again on top of itself (fake bold, shadows) is one glyph.
            if (last && last->text == g.text && std::fabs(last->u0 - g.u0) < 0.15 * g.size &&
                std::fabs(last->baseline - g.baseline) < 0.15 * g.size)
                continue;
            const double size = last ? 0.5 * (last->size + g.size) : g.size;
            const double gap = last ? g.u0 - frag.u1 : 0;
            if (open && gap > kFragmentGap * size)
                close();
            if (!open) {
                frag.u0 = g.u0;
                frag.u1 = g.u1;
                frag.top = g.baseline - kAscent * g.size;
                frag.bottom = g.baseline + kDescent * g.size;
                frag.band = bandId;
                frag.dir = dir;
                frag.runs.push_back(StartRun(g));
                runFont = g.font;
                frag.chars = g.text.size();
                open = true;
                last = &g;
                continue;
            }
            const bool bothCjk = EndsWithCjk(frag.runs.back().text) && StartsWithCjk(g.text);
            // A combining accent drawn over its letter belongs to that letter.
            const bool combining = g.text.size() == 1 && ((g.text[0] >= 0x300 && g.text[0] <= 0x36F) ||
                                                          (g.text[0] >= 0x20D0 && g.text[0] <= 0x20FF));
            // A space glyph separates only when the next glyph does not start on top of the last
            // glyph, nor on top of the space (a label "9 " with its "a" set over the space).
            const bool spaced = pendingSpace && gap > -0.1 * size &&
                                (spaceWidth < kMinSpaceWidth * size || g.u0 >= spaceMiddle || gap > kFlushGap * size);
            const bool wordBreak = !combining && (spaced || gap > (bothCjk ? kCjkWordGap : kWordGap) * size);
            RunModel& run = frag.runs.back();
            if (SameRunStyle(run, g, runFont)) {
                AppendGlyph(run, g, wordBreak);
            } else {
                if (wordBreak && !EndsWithWhite(run.text))
                    run.text.push_back(u' ');
                frag.runs.push_back(StartRun(g));
                runFont = g.font;
            }
            frag.u1 = std::max(frag.u1, g.u1);
            frag.top = std::min(frag.top, g.baseline - kAscent * g.size);
            frag.bottom = std::max(frag.bottom, g.baseline + kDescent * g.size);
            frag.chars += g.text.size();
            pendingSpace = false;
            last = &g;
        }
        close();
    }
}

// Joins a region's fragments that share a band into lines, left to right.
std::vector<LineModel> AssembleLines(std::vector<Fragment>& frags, const std::vector<int>& ids)
{
    std::vector<int> order(ids);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Fragment& fa = frags[static_cast<size_t>(a)];
        const Fragment& fb = frags[static_cast<size_t>(b)];
        if (fa.band != fb.band)
            return fa.top + fa.bottom < fb.top + fb.bottom;
        return fa.u0 < fb.u0;
    });
    std::vector<LineModel> lines;
    int currentBand = -1;
    int currentDir = -1;
    for (int id : order) {
        Fragment& f = frags[static_cast<size_t>(id)];
        if (f.band != currentBand || f.isImage || lines.empty() || currentDir != f.dir) {
            lines.emplace_back();
            LineModel& l = lines.back();
            l.left = f.u0;
            l.right = f.u1;
            l.top = f.top;
            l.bottom = f.bottom;
            currentBand = f.isImage ? -1 : f.band;
            currentDir = f.dir;
        } else {
            LineModel& l = lines.back();
            // Fragments of one line are apart by a wide gap: keep the words apart.
            RunModel& prev = l.runs.back();
            if (!EndsWithWhite(prev.text) && !f.runs.empty() &&
                !(EndsWithCjk(prev.text) && StartsWithCjk(f.runs[0].text)))
                prev.text.push_back(u' ');
            l.left = std::min(l.left, f.u0);
            l.right = std::max(l.right, f.u1);
            l.top = std::min(l.top, f.top);
            l.bottom = std::max(l.bottom, f.bottom);
        }
        for (auto& run : f.runs)
            lines.back().runs.push_back(std::move(run));
    }
    // Lines of one paragraph are joined with nothing between them: a line that does not end in
    // a CJK character ends with a space so that words of neighbouring lines stay apart.
    for (LineModel& l : lines) {
        if (l.runs.empty())
            continue;
        RunModel* lastText = nullptr;
        for (auto& r : l.runs)
            if (!r.isImage)
                lastText = &r;
        if (lastText && !lastText->text.empty() && !EndsWithCjk(lastText->text) &&
            !EndsWithWhite(lastText->text))
            lastText->text.push_back(u' ');
    }
    return lines;
}

void ToPageSpace(int dir, double u0, double v0, double u1, double v1, double* left, double* top, double* right,
                 double* bottom)
{
    const Point a = FromDirectionFrame(dir, Point{u0, v0});
    const Point b = FromDirectionFrame(dir, Point{u1, v1});
    *left = std::min(a.x, b.x);
    *right = std::max(a.x, b.x);
    *top = std::min(a.y, b.y);
    *bottom = std::max(a.y, b.y);
}

}  // namespace

bool IsCjkChar(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x1100 && c <= 0x11FF) ||
           (c >= 0x20000 && c <= 0x3FFFF);  // the supplementary ideograph planes
}

bool StartsWithCjk(const std::u16string& s)
{
    if (s.empty())
        return false;
    if (s[0] >= 0xD800 && s[0] <= 0xDBFF && s.size() > 1)
        return IsCjkChar(0x10000 + ((static_cast<char32_t>(s[0]) - 0xD800) << 10) + (s[1] - 0xDC00));
    return IsCjkChar(s[0]);
}

bool EndsWithCjk(const std::u16string& s)
{
    if (s.empty())
        return false;
    const size_t n = s.size();
    if (s[n - 1] >= 0xDC00 && s[n - 1] <= 0xDFFF && n > 1)
        return IsCjkChar(0x10000 + ((static_cast<char32_t>(s[n - 2]) - 0xD800) << 10) + (s[n - 1] - 0xDC00));
    return IsCjkChar(s[n - 1]);
}

void BuildPageModel(std::vector<PlacedGlyph>& glyphs, std::vector<PlacedImage>& images, PageModel* model)
{
    model->regions.clear();
    AttachFloatingAccents(glyphs);
    int nextBand = 0;
    // Main direction first: horizontal text, then the other directions, each read on its own.
    // The direction most of the page's text is written in is read first (a page set in vertical
    // Japanese starts with its vertical columns); horizontal text comes first among equals.
    std::vector<int> dirs{kDirRight};
    std::unordered_map<int, size_t> counts;
    for (const PlacedGlyph& g : glyphs) {
        if (std::find(dirs.begin(), dirs.end(), g.dir) == dirs.end())
            dirs.push_back(g.dir);
        ++counts[g.dir];
    }
    std::stable_sort(dirs.begin(), dirs.end(), [&](int a, int b) {
        if (counts[a] != counts[b])
            return counts[a] > counts[b];
        return a < b;
    });
    for (int dir : dirs) {
        std::vector<size_t> ids;
        for (size_t i = 0; i < glyphs.size(); ++i)
            if (glyphs[i].dir == dir)
                ids.push_back(i);
        if (ids.empty() && (dir != kDirRight || images.empty()))
            continue;
        std::vector<Fragment> frags;
        BuildFragments(glyphs, ids, dir, &nextBand, &frags);
        const size_t textFragments = frags.size();
        std::vector<std::vector<int>> regions;
        if (dir == kDirRight) {
            // Images take part in the layout like text blocks; a picture that covers most of the
            // page (a background or a scan) gets a region of its own first.
            const double pageArea = model->width * model->height;
            for (auto& img : images) {
                Fragment f;
                f.isImage = true;
                f.u0 = img.left;
                f.u1 = img.right;
                f.top = img.top;
                f.bottom = img.bottom;
                f.band = nextBand++;
                RunModel run;
                run.isImage = true;
                run.left = img.left;
                run.right = img.right;
                run.top = img.top;
                run.bottom = img.bottom;
                run.baseline = img.bottom;
                run.imageData.swap(img.data);
                f.runs.push_back(std::move(run));
                const bool large = (img.right - img.left) * (img.bottom - img.top) > 0.4 * pageArea;
                frags.push_back(std::move(f));
                if (large)
                    regions.push_back(std::vector<int>{static_cast<int>(frags.size() - 1)});
            }
        }
        std::vector<int> all;
        for (size_t i = 0; i < frags.size(); ++i) {
            const bool alreadyPlaced = frags[i].isImage && !regions.empty() &&
                                       std::any_of(regions.begin(), regions.end(), [&](const std::vector<int>& r) {
                                           return r.size() == 1 && r[0] == static_cast<int>(i);
                                       });
            if (!alreadyPlaced)
                all.push_back(static_cast<int>(i));
        }
        (void)textFragments;
        size_t verticalGlyphs = 0;
        for (size_t id : ids)
            verticalGlyphs += glyphs[id].font && glyphs[id].font->vertical ? 1 : 0;
        RegionSplitter splitter(frags, verticalGlyphs * 2 <= ids.size());
        if (dir == kDirRight) {
            splitter.Split(std::move(all), &regions, 0);
        } else {
            // Other directions: each line is a region of its own, in the order of the frame.
            std::vector<std::vector<int>> tmp;
            splitter.Split(std::move(all), &tmp, 0);
            for (auto& r : tmp)
                regions.push_back(std::move(r));
        }
        for (const auto& region : regions) {
            std::vector<LineModel> lines = AssembleLines(frags, region);
            if (lines.empty())
                continue;
            if (dir == kDirRight) {
                JoinHyphenatedWords(lines);
                model->regions.push_back(std::move(lines));
                continue;
            }
            // Back to page space. Each line stands alone so the top sort cannot reorder it, and
            // runs get increasing x so that a sort by x keeps their order.
            for (LineModel& l : lines) {
                ToPageSpace(dir, l.left, l.top, l.right, l.bottom, &l.left, &l.top, &l.right, &l.bottom);
                double x = l.left;
                for (RunModel& r : l.runs) {
                    double rl, rt, rr, rb;
                    ToPageSpace(dir, r.left, r.top, r.right, r.bottom, &rl, &rt, &rr, &rb);
                    const Point base = FromDirectionFrame(dir, Point{r.left, r.baseline});
                    r.left = x;
                    r.right = std::max(rr, x);
                    r.top = rt;
                    r.bottom = rb;
                    r.baseline = (dir == kDirDown || dir == kDirUp) ? base.x : base.y;
                    x += 0.001;
                }
                model->regions.push_back(std::vector<LineModel>{std::move(l)});
            }
        }
    }
}

}  // namespace halvane
