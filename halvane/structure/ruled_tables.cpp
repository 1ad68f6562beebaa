#include "halvane/structure/ruled_tables.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace halvane {

namespace {

// A filled rectangle thinner than this (page units) is a rule drawn as a fill.
constexpr double kMaxRuleThickness = 2.5;
// Rule ends and crossings within this distance (page units) meet.
constexpr double kJoinTolerance = 2.0;
// Grid lines closer than this (page units) are one line.
constexpr double kGridMerge = 2.0;
// A rule covers a cell's edge when it runs along this share of it.
constexpr double kMinEdgeCover = 0.6;
// A grid cell is at least this large (page units) each way: closer lines draw a double rule.
constexpr double kMinCellSide = 4.0;
// Above this many rules a page is a drawing, not a document page with tables.
constexpr size_t kMaxRules = 5000;
// The grouping compares segments pairwise; above this many the page is a drawing as well.
constexpr size_t kMaxSegments = 3000;
// A fill covering this share of a cell shades it.
constexpr double kMinShadeCover = 0.8;

struct Segment {
    bool horizontal = true;
    double at = 0;  // y of a horizontal segment, x of a vertical one
    double from = 0, to = 0;
    double width = 0;
    uint32_t color = 0;
    bool drawn = true;  // false for the edges of a shaded box
    int rule = -1;
};

struct Fill {
    Box box;
    uint32_t color = 0;
    int rule = -1;
};

int Find(std::vector<int>& parent, int i)
{
    while (parent[static_cast<size_t>(i)] != i) {
        parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
        i = parent[static_cast<size_t>(i)];
    }
    return i;
}

void Collect(const std::vector<LayoutRule>& rules, std::vector<Segment>* segs, std::vector<Fill>* fills)
{
    for (size_t i = 0; i < rules.size(); ++i) {
        const LayoutRule& r = rules[i];
        const double x0 = std::min(r.x0, r.x1), x1 = std::max(r.x0, r.x1);
        const double y0 = std::min(r.y0, r.y1), y1 = std::max(r.y0, r.y1);
        const int id = static_cast<int>(i);
        auto add = [&](bool h, double at, double from, double to, double width, bool drawn) {
            if (to - from > kJoinTolerance)
                segs->push_back(Segment{h, at, from, to, width, r.color, drawn, id});
        };
        if (r.kind == PDF_RULE_LINE) {
            if (y1 - y0 <= 1.0)
                add(true, 0.5 * (y0 + y1), x0, x1, r.width, true);
            else if (x1 - x0 <= 1.0)
                add(false, 0.5 * (x0 + x1), y0, y1, r.width, true);
        } else if (r.kind == PDF_RULE_FRAME) {
            add(true, y0, x0, x1, r.width, true);
            add(true, y1, x0, x1, r.width, true);
            add(false, x0, y0, y1, r.width, true);
            add(false, x1, y0, y1, r.width, true);
        } else if (y1 - y0 <= kMaxRuleThickness && x1 - x0 > y1 - y0) {
            add(true, 0.5 * (y0 + y1), x0, x1, y1 - y0, true);
        } else if (x1 - x0 <= kMaxRuleThickness && y1 - y0 > x1 - x0) {
            add(false, 0.5 * (x0 + x1), y0, y1, x1 - x0, true);
        } else {
            fills->push_back(Fill{Box{x0, y0, x1, y1}, r.color, id});
            add(true, y0, x0, x1, 0, false);
            add(true, y1, x0, x1, 0, false);
            add(false, x0, y0, y1, 0, false);
            add(false, x1, y0, y1, 0, false);
        }
    }
}

bool Crosses(const Segment& h, const Segment& v)
{
    return v.at >= h.from - kJoinTolerance && v.at <= h.to + kJoinTolerance && h.at >= v.from - kJoinTolerance &&
           h.at <= v.to + kJoinTolerance;
}

std::vector<double> GridLines(std::vector<double> at)
{
    std::sort(at.begin(), at.end());
    std::vector<double> out;
    for (double a : at) {
        if (!out.empty() && a - out.back() <= kGridMerge)
            continue;
        out.push_back(a);
    }
    // Lines closer than a cell are one (a double rule).
    std::vector<double> spaced;
    for (double a : out)
        if (spaced.empty() || a - spaced.back() >= kMinCellSide)
            spaced.push_back(a);
    return spaced;
}

// The drawn segments of one grid line along [from, to] and their cover of it.
double Cover(const std::vector<Segment>& segs, bool horizontal, double at, double from, double to, LayoutBorder* border)
{
    double covered = 0;
    for (const Segment& s : segs) {
        if (s.horizontal != horizontal || std::fabs(s.at - at) > kGridMerge)
            continue;
        const double overlap = std::min(to, s.to) - std::max(from, s.from);
        if (overlap <= 0)
            continue;
        covered += overlap;
        if (s.drawn && border && s.width >= border->width) {
            border->width = std::max(s.width, 0.25);
            border->color = s.color;
        }
    }
    return to > from ? covered / (to - from) : 0;
}

}  // namespace

std::vector<LayoutTable> FindRuledTables(std::vector<LayoutRule>* rules)
{
    std::vector<LayoutTable> tables;
    if (rules->empty() || rules->size() > kMaxRules)
        return tables;
    std::vector<Segment> segs;
    std::vector<Fill> fills;
    Collect(*rules, &segs, &fills);
    if (segs.size() > kMaxSegments)
        return tables;
    // Groups of segments that meet.
    std::vector<int> parent(segs.size());
    std::iota(parent.begin(), parent.end(), 0);
    for (size_t a = 0; a < segs.size(); ++a)
        for (size_t b = a + 1; b < segs.size(); ++b) {
            const Segment& s = segs[a];
            const Segment& t = segs[b];
            bool meet;
            if (s.horizontal != t.horizontal)
                meet = s.horizontal ? Crosses(s, t) : Crosses(t, s);
            else
                meet = std::fabs(s.at - t.at) <= kGridMerge && s.from <= t.to + kJoinTolerance &&
                       t.from <= s.to + kJoinTolerance;
            if (meet)
                parent[static_cast<size_t>(Find(parent, static_cast<int>(a)))] = Find(parent, static_cast<int>(b));
        }
    std::vector<std::vector<int>> groups(segs.size());
    for (size_t i = 0; i < segs.size(); ++i)
        groups[static_cast<size_t>(Find(parent, static_cast<int>(i)))].push_back(static_cast<int>(i));
    for (const std::vector<int>& group : groups) {
        if (group.size() < 4)
            continue;
        std::vector<Segment> gs;
        std::vector<double> xs, ys;
        bool anyDrawn = false;
        for (int id : group) {
            const Segment& s = segs[static_cast<size_t>(id)];
            gs.push_back(s);
            (s.horizontal ? ys : xs).push_back(s.at);
            anyDrawn = anyDrawn || s.drawn;
        }
        if (!anyDrawn)
            continue;  // shaded boxes alone draw no table
        const std::vector<double> colEdges = GridLines(xs), rowEdges = GridLines(ys);
        if (colEdges.size() < 2 || rowEdges.size() < 2)
            continue;
        const size_t rows = rowEdges.size() - 1, cols = colEdges.size() - 1;
        if (rows * cols < 2 || rows * cols > 10000)
            continue;  // one box around text is a frame, not a table
        // Merge grid cells across missing rules.
        std::vector<int> owner(rows * cols);
        std::iota(owner.begin(), owner.end(), 0);
        for (size_t r = 0; r < rows; ++r)
            for (size_t c = 0; c < cols; ++c) {
                const int id = static_cast<int>(r * cols + c);
                if (c + 1 < cols &&
                    Cover(gs, false, colEdges[c + 1], rowEdges[r], rowEdges[r + 1], nullptr) < kMinEdgeCover)
                    owner[static_cast<size_t>(Find(owner, id + 1))] = Find(owner, id);
                if (r + 1 < rows &&
                    Cover(gs, true, rowEdges[r + 1], colEdges[c], colEdges[c + 1], nullptr) < kMinEdgeCover)
                    owner[static_cast<size_t>(Find(owner, id + static_cast<int>(cols)))] = Find(owner, id);
            }
        // Each merged area must be a rectangle of grid cells; where it is not, the cells stay apart.
        std::vector<int> root(rows * cols);
        for (size_t i = 0; i < root.size(); ++i)
            root[i] = Find(owner, static_cast<int>(i));
        std::vector<char> done(rows * cols, 0);
        LayoutTable t;
        t.ruled = true;
        t.columnEdges = colEdges;
        t.rowEdges = rowEdges;
        t.box = Box{colEdges.front(), rowEdges.front(), colEdges.back(), rowEdges.back()};
        for (size_t r = 0; r < rows; ++r)
            for (size_t c = 0; c < cols; ++c) {
                if (done[r * cols + c])
                    continue;
                const int rt = root[r * cols + c];
                size_t c1 = c, r1 = r;
                while (c1 + 1 < cols && root[r * cols + c1 + 1] == rt && !done[r * cols + c1 + 1])
                    ++c1;
                while (r1 + 1 < rows && root[(r1 + 1) * cols + c] == rt)
                    ++r1;
                bool rectangle = true;
                for (size_t rr = r; rr <= r1 && rectangle; ++rr)
                    for (size_t cc = c; cc <= c1; ++cc)
                        if (root[rr * cols + cc] != rt || done[rr * cols + cc])
                            rectangle = false;
                if (!rectangle) {
                    c1 = c;
                    r1 = r;
                }
                for (size_t rr = r; rr <= r1; ++rr)
                    for (size_t cc = c; cc <= c1; ++cc)
                        done[rr * cols + cc] = 1;
                LayoutCell cell;
                cell.row = static_cast<int>(r);
                cell.column = static_cast<int>(c);
                cell.rowSpan = static_cast<int>(r1 - r + 1);
                cell.columnSpan = static_cast<int>(c1 - c + 1);
                cell.box = Box{colEdges[c], rowEdges[r], colEdges[c1 + 1], rowEdges[r1 + 1]};
                Cover(gs, true, cell.box.y0, cell.box.x0, cell.box.x1, &cell.border[PDF_EDGE_TOP]);
                Cover(gs, true, cell.box.y1, cell.box.x0, cell.box.x1, &cell.border[PDF_EDGE_BOTTOM]);
                Cover(gs, false, cell.box.x0, cell.box.y0, cell.box.y1, &cell.border[PDF_EDGE_LEFT]);
                Cover(gs, false, cell.box.x1, cell.box.y0, cell.box.y1, &cell.border[PDF_EDGE_RIGHT]);
                const double area = cell.box.Width() * cell.box.Height();
                for (const Fill& f : fills) {
                    const double w = std::min(f.box.x1, cell.box.x1) - std::max(f.box.x0, cell.box.x0);
                    const double h = std::min(f.box.y1, cell.box.y1) - std::max(f.box.y0, cell.box.y0);
                    if (w > 0 && h > 0 && w * h >= kMinShadeCover * area && f.color != 0xFFFFFF) {
                        cell.shading = f.color;
                        (*rules)[static_cast<size_t>(f.rule)].flags |= PDF_RULE_OF_TABLE;
                    }
                }
                t.cells.push_back(cell);
            }
        for (const Segment& s : gs)
            if (s.drawn)
                (*rules)[static_cast<size_t>(s.rule)].flags |= PDF_RULE_OF_TABLE;
        tables.push_back(std::move(t));
    }
    std::sort(tables.begin(), tables.end(),
              [](const LayoutTable& a, const LayoutTable& b) { return a.box.y0 < b.box.y0; });
    return tables;
}

}  // namespace halvane
