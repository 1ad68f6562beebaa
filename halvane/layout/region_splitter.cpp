#include "halvane/layout/region_splitter.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace halvane {

namespace {

// Column cuts need a gutter at least this wide (in median font sizes, and at least 3 units).
constexpr double kMinGutter = 0.7;
// Fragments with fewer characters than this read as table cells, not column lines.
constexpr size_t kMinColumnLineChars = 15;
// Blocks set beside each other have lines of at least this many characters (in the median).
constexpr size_t kMinBlockLineChars = 8;
// Lines of one block follow each other at most this far apart (in font sizes).
constexpr double kMaxStackPitch = 1.45;
// Blocks where more than this share of the pieces are figures are tables, read row by row.
constexpr double kMaxFigureShare = 0.3;
// A side where more than this share of the pieces are figures is the body of a table.
constexpr double kMinTableFigureShare = 0.5;
// Baselines closer than this (in font sizes) are one baseline.
constexpr double kBaselineTolerance = 0.1;
// Alignment of baselines only tells tables from side-by-side blocks with this many rows.
constexpr size_t kMinAlignedBands = 4;
// Columns found under or over full-width rows have lines at least this share of the width
// they share (in the median): three columns of a leaflet do, a table's figures do not.
constexpr double kMinPeeledColumnShare = 0.25;
// Fragments overlapping by less than this share of their height lie in different rows.
constexpr double kRowOverlapSlack = 0.1;
// Above this many fragments a page is read as one region (keeps the cut search bounded).
constexpr size_t kMaxFragmentsForCuts = 4000;

class RegionSplitter {
public:
    RegionSplitter(const std::vector<Fragment>& frags, bool findTables) : frags_(frags), findTables_(findTables)
    {
        figures_.reserve(frags.size());
        for (const Fragment& f : frags)
            figures_.push_back(IsFigure(f));
    }

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
        // Full-width rows above or below columns (a paper's title and abstract over its two
        // columns, a footnote under them) are set apart first, however many they are.
        if (PeelFullWidthRows(ids, regions, depth))
            return;
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
    // Rows of one fragment each at the top and the bottom, when what lies between them splits
    // into columns while the whole does not: the rows go to regions of their own, above and
    // below the columns.
    bool PeelFullWidthRows(const std::vector<int>& ids, std::vector<std::vector<int>>* regions, int depth)
    {
        std::vector<int> sorted(ids);
        std::sort(sorted.begin(), sorted.end(), [&](int a, int b) {
            return frags_[static_cast<size_t>(a)].top < frags_[static_cast<size_t>(b)].top;
        });
        std::vector<std::vector<int>> rows;
        double rowBottom = -1e300;
        for (int id : sorted) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            if (rows.empty() || f.top > rowBottom - kRowOverlapSlack * (f.bottom - f.top)) {
                rows.emplace_back();
                rowBottom = -1e300;
            }
            rows.back().push_back(id);
            rowBottom = std::max(rowBottom, f.bottom);
        }
        size_t head = 0, tail = rows.size();
        while (head < tail && rows[head].size() == 1)
            ++head;
        while (tail > head && rows[tail - 1].size() == 1)
            --tail;
        if ((head == 0 && tail == rows.size()) || tail - head < 2)
            return false;
        std::vector<int> middle;
        for (size_t r = head; r < tail; ++r)
            middle.insert(middle.end(), rows[r].begin(), rows[r].end());
        double g0, g1;
        if (!FindVerticalCut(middle, &g0, &g1) && !FindInterruptedGutter(middle, &g0, &g1))
            return false;
        // Columns of text, each a good part of the width: not a table's labels beside its
        // figures, nor text running around a small picture.
        double x0 = 1e300, x1 = -1e300;
        std::vector<int> left, right;
        for (int id : middle) {
            const Fragment& f = frags_[static_cast<size_t>(id)];
            x0 = std::min(x0, f.u0);
            x1 = std::max(x1, f.u1);
            const double mid = 0.5 * (f.u0 + f.u1);
            (mid < 0.5 * (g0 + g1) ? left : right).push_back(id);
        }
        auto medianWidth = [&](const std::vector<int>& side) {
            std::vector<double> w;
            for (int id : side)
                w.push_back(frags_[static_cast<size_t>(id)].u1 - frags_[static_cast<size_t>(id)].u0);
            return Median(w);
        };
        const double minWidth = kMinPeeledColumnShare * (x1 - x0);
        if (MedianChars(left) < kMinColumnLineChars || MedianChars(right) < kMinColumnLineChars ||
            medianWidth(left) < minWidth || medianWidth(right) < minWidth)
            return false;
        std::vector<int> above, below;
        for (size_t r = 0; r < head; ++r)
            above.insert(above.end(), rows[r].begin(), rows[r].end());
        for (size_t r = tail; r < rows.size(); ++r)
            below.insert(below.end(), rows[r].begin(), rows[r].end());
        if (!above.empty())
            regions->push_back(std::move(above));
        Split(std::move(middle), regions, depth + 1);
        if (!below.empty())
            regions->push_back(std::move(below));
        return true;
    }

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
                    crossing * 3 > static_cast<int>(std::min(left.size(), right.size())) || !IsColumnCut(left, right))
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
        std::sort(sorted.begin(), sorted.end(),
                  [&](int a, int b) { return frags_[static_cast<size_t>(a)].u0 < frags_[static_cast<size_t>(b)].u0; });
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
        const double figuresLeft = FigureShare(left), figuresRight = FigureShare(right);
        const bool figures = figuresLeft > kMinTableFigureShare || figuresRight > kMinTableFigureShare;
        if (fewerBands >= kMinAlignedBands && AlignedBands(left, right, figures) * 2 < fewerBands)
            return true;
        const double charsLeft = MedianChars(left), charsRight = MedianChars(right);
        if (charsLeft >= kMinColumnLineChars && charsRight >= kMinColumnLineChars)
            return true;
        // Lines stacked tightly on both sides are blocks set beside each other (address blocks,
        // the columns of an index); table rows are set further apart. Figures mark a table,
        // whose rows read across however tightly they are set, and a column of bullets, numbers
        // or labels belongs to the lines beside it.
        return charsLeft >= kMinBlockLineChars && charsRight >= kMinBlockLineChars && figuresLeft < kMaxFigureShare &&
               figuresRight < kMaxFigureShare && IsTightStack(left) && IsTightStack(right);
    }

    // A text fragment that is a figure (an amount, a date, a time, a code of digits).
    static bool IsFigure(const Fragment& f)
    {
        if (f.isImage)
            return false;
        size_t digits = 0, letters = 0;
        for (const RunModel& r : f.runs)
            for (char16_t c : r.text) {
                if (c >= u'0' && c <= u'9')
                    ++digits;
                else if (c > u' ' && !(c == u'.' || c == u',' || c == u':' || c == u'-' || c == u'/' || c == u'%' ||
                                       c == u'+' || c == u'(' || c == u')' || c == u'$'))
                    ++letters;
            }
        return digits > 0 && letters <= digits / 4;
    }

    // The share of text fragments that are figures.
    double FigureShare(const std::vector<int>& ids) const
    {
        size_t text = 0, figures = 0;
        for (int id : ids) {
            if (frags_[static_cast<size_t>(id)].isImage)
                continue;
            ++text;
            figures += figures_[static_cast<size_t>(id)] ? 1 : 0;
        }
        return text ? static_cast<double>(figures) / static_cast<double>(text) : 0;
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
    // asked, sit at the offset most such pairs share.
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
    std::vector<char> figures_;  // per fragment: IsFigure
};

}  // namespace

void SplitIntoRegions(const std::vector<Fragment>& frags, bool findTables, std::vector<int> ids,
                      std::vector<std::vector<int>>* regions)
{
    RegionSplitter(frags, findTables).Split(std::move(ids), regions, 0);
}

}  // namespace halvane
