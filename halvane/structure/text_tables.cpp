#include "halvane/structure/text_tables.h"

#include <algorithm>
#include <cmath>

#include "halvane/layout/fragment.h"
#include "halvane/structure/layout_text.h"

namespace halvane {

namespace {

// Runs of one line set further apart than this (in type sizes) stand in different cells; the
// line builder keeps word gaps well below it.
constexpr double kCellGap = 0.9;
// A table has at least this many rows with two or more cells.
constexpr size_t kMinTableRows = 2;
// Rows of a table follow each other at most this far apart (baseline to baseline, in sizes).
constexpr double kMaxRowPitch = 3.5;
// A line of one cell between rows is a cell's wrapped text when it follows this closely.
constexpr double kMaxWrapPitch = 1.6;
// Two columns of long pieces are columns of prose, not a table: a table of two columns has
// cells of at most this many characters (in the median).
constexpr size_t kMaxTwoColumnCellChars = 30;
// Column edges of the rows agree within this (in sizes) to count as the same column.
constexpr double kColumnSlack = 0.5;

double SizeOf(const LayoutLine& l)
{
    const double s = LineSize(l);
    return s > 0 ? s : std::max(1.0, l.box.Height());
}

struct Row {
    size_t line;
    std::vector<LayoutLine> cells;
};

// Column ranges from rows with the most cells: cell k of every such row lies in column k.
bool ColumnsOf(const std::vector<Row>& rows, double size, std::vector<std::pair<double, double>>* columns)
{
    size_t most = 0;
    for (const Row& r : rows)
        most = std::max(most, r.cells.size());
    if (most < 2)
        return false;
    columns->assign(most, std::make_pair(1e300, -1e300));
    size_t fullRows = 0;
    for (const Row& r : rows) {
        if (r.cells.size() != most)
            continue;
        ++fullRows;
        for (size_t k = 0; k < most; ++k) {
            (*columns)[k].first = std::min((*columns)[k].first, r.cells[k].box.x0);
            (*columns)[k].second = std::max((*columns)[k].second, r.cells[k].box.x1);
        }
    }
    // The columns must not overlap each other.
    for (size_t k = 1; k < most; ++k)
        if ((*columns)[k].first < (*columns)[k - 1].second - kColumnSlack * size)
            return false;
    return fullRows >= 1;
}

// The column of each cell of a row; false when two cells fall in one column.
bool PlaceCells(const Row& row, const std::vector<std::pair<double, double>>& columns, double size,
                std::vector<std::pair<int, int>>* spans)
{
    spans->clear();
    int last = -1;
    for (const LayoutLine& cell : row.cells) {
        int from = -1, to = -1;
        for (size_t k = 0; k < columns.size(); ++k) {
            const double overlap = std::min(cell.box.x1, columns[k].second + kColumnSlack * size) -
                                   std::max(cell.box.x0, columns[k].first - kColumnSlack * size);
            if (overlap > 0) {
                if (from < 0)
                    from = static_cast<int>(k);
                to = static_cast<int>(k);
            }
        }
        if (from < 0) {
            // In a gap between columns: the nearer one.
            double best = 1e300;
            for (size_t k = 0; k < columns.size(); ++k) {
                const double d =
                    std::min(std::fabs(cell.box.x0 - columns[k].second), std::fabs(cell.box.x1 - columns[k].first));
                if (d < best) {
                    best = d;
                    from = to = static_cast<int>(k);
                }
            }
        }
        if (from <= last)
            return false;
        spans->emplace_back(from, to);
        last = to;
    }
    return true;
}

bool ProseLike(const std::vector<Row>& rows, size_t columns)
{
    if (columns > 2)
        return false;
    std::vector<double> chars;
    for (const Row& r : rows)
        for (const LayoutLine& c : r.cells)
            chars.push_back(static_cast<double>(Trimmed(LineText(c)).size()));
    return Median(chars) > static_cast<double>(kMaxTwoColumnCellChars);
}

void BuildTable(const std::vector<Row>& rows, const std::vector<std::pair<double, double>>& columns,
                const std::vector<std::vector<std::pair<int, int>>>& spans,
                const std::vector<std::vector<std::pair<int, LayoutLine>>>& wraps, TextTableFind* find)
{
    LayoutTable& t = find->table;
    t.ruled = false;
    const size_t n = columns.size();
    t.columnEdges.push_back(columns[0].first);
    for (size_t k = 1; k < n; ++k)
        t.columnEdges.push_back(0.5 * (columns[k - 1].second + columns[k].first));
    t.columnEdges.push_back(columns[n - 1].second);
    std::vector<std::pair<double, double>> rowBoxes;
    for (size_t r = 0; r < rows.size(); ++r) {
        double top = 1e300, bottom = -1e300;
        for (const LayoutLine& c : rows[r].cells) {
            top = std::min(top, c.box.y0);
            bottom = std::max(bottom, c.box.y1);
        }
        for (const auto& w : wraps[r])
            bottom = std::max(bottom, w.second.box.y1);
        rowBoxes.emplace_back(top, bottom);
    }
    t.rowEdges.push_back(rowBoxes[0].first);
    for (size_t r = 1; r < rows.size(); ++r)
        t.rowEdges.push_back(0.5 * (rowBoxes[r - 1].second + rowBoxes[r].first));
    t.rowEdges.push_back(rowBoxes.back().second);
    t.box = Box{t.columnEdges.front(), t.rowEdges.front(), t.columnEdges.back(), t.rowEdges.back()};
    for (size_t r = 0; r < rows.size(); ++r) {
        // Every position of the grid gets a cell; a cell over several columns spans them.
        std::vector<int> owner(n, -1);
        for (size_t c = 0; c < spans[r].size(); ++c)
            for (int k = spans[r][c].first; k <= spans[r][c].second; ++k)
                owner[static_cast<size_t>(k)] = static_cast<int>(c);
        for (size_t k = 0; k < n;) {
            LayoutCell cell;
            cell.row = static_cast<int>(r);
            cell.column = static_cast<int>(k);
            std::vector<LayoutLine> lines;
            size_t next = k + 1;
            if (owner[k] >= 0) {
                const size_t c = static_cast<size_t>(owner[k]);
                next = static_cast<size_t>(spans[r][c].second) + 1;
                lines.push_back(rows[r].cells[c]);
                for (const auto& w : wraps[r])
                    if (w.first == static_cast<int>(k))
                        lines.push_back(w.second);
            }
            cell.columnSpan = static_cast<int>(next - k);
            cell.box = Box{t.columnEdges[k], t.rowEdges[r], t.columnEdges[next], t.rowEdges[r + 1]};
            t.cells.push_back(cell);
            find->cellLines.push_back(std::move(lines));
            k = next;
        }
    }
    // A first row set in bold over rows that are not is the table's header.
    if (rows.size() >= 2) {
        auto bold = [](const Row& r) {
            return std::all_of(r.cells.begin(), r.cells.end(), [](const LayoutLine& c) { return LineIsBold(c); });
        };
        if (bold(rows[0]) && !bold(rows[1]))
            t.headerRows = 1;
    }
}

}  // namespace

std::vector<LayoutLine> SplitLineIntoCells(const LayoutLine& line)
{
    std::vector<LayoutLine> cells;
    for (const LayoutRun& r : line.runs) {
        if (r.text.empty() && !cells.empty())
            continue;
        const double size = std::max(1.0, r.size > 0 ? r.size : r.box.Height());
        if (cells.empty() || r.box.x0 - cells.back().box.x1 > kCellGap * size) {
            LayoutLine cell;
            cell.box = r.box;
            cell.baseline = line.baseline;
            cells.push_back(cell);
        }
        LayoutLine& cell = cells.back();
        cell.box.Add(r.box);
        cell.runs.push_back(r);
    }
    for (LayoutLine& c : cells)
        c.box.x0 = c.runs.empty() ? c.box.x0 : c.runs.front().box.x0;
    return cells;
}

std::vector<TextTableFind> FindTextTables(const std::vector<LayoutLine>& lines)
{
    std::vector<TextTableFind> found;
    std::vector<std::vector<LayoutLine>> cells(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        cells[i] = SplitLineIntoCells(lines[i]);
    size_t i = 0;
    while (i < lines.size()) {
        if (cells[i].size() < 2) {
            ++i;
            continue;
        }
        // Grow a stretch of rows; a single-cell line that follows a row closely may be a wrapped cell.
        std::vector<Row> rows;
        std::vector<std::vector<std::pair<int, LayoutLine>>> wraps;
        std::vector<std::pair<double, double>> columns;
        std::vector<std::vector<std::pair<int, int>>> spans;
        size_t j = i;
        size_t end = i;
        while (j < lines.size()) {
            const double size = SizeOf(lines[j]);
            if (!rows.empty()) {
                const double pitch = lines[j].baseline - lines[rows.back().line].baseline;
                if (pitch <= 0 || pitch > kMaxRowPitch * size)
                    break;
            }
            if (cells[j].size() >= 2) {
                std::vector<Row> trial(rows);
                trial.push_back(Row{j, cells[j]});
                std::vector<std::pair<double, double>> cols;
                if (!ColumnsOf(trial, size, &cols))
                    break;
                std::vector<std::vector<std::pair<int, int>>> trialSpans;
                bool ok = true;
                for (const Row& r : trial) {
                    std::vector<std::pair<int, int>> s;
                    if (!PlaceCells(r, cols, size, &s)) {
                        ok = false;
                        break;
                    }
                    trialSpans.push_back(std::move(s));
                }
                if (!ok)
                    break;
                rows = std::move(trial);
                columns = std::move(cols);
                spans = std::move(trialSpans);
                wraps.emplace_back();
                end = j + 1;
                ++j;
                continue;
            }
            // One piece: a wrapped cell when it follows the last line closely and sits in a column.
            if (rows.empty() || cells[j].empty())
                break;
            const double pitch = lines[j].baseline - lines[j - 1].baseline;
            if (pitch > kMaxWrapPitch * size)
                break;
            int column = -1;
            // It starts within the column and stops short of the next one.
            for (size_t k = 0; k < columns.size(); ++k) {
                const double nextLeft = k + 1 < columns.size() ? columns[k + 1].first : 1e300;
                if (cells[j][0].box.x0 >= columns[k].first - kColumnSlack * size &&
                    cells[j][0].box.x0 < columns[k].second && cells[j][0].box.x1 < nextLeft)
                    column = static_cast<int>(k);
            }
            if (column < 0)
                break;
            wraps.back().emplace_back(column, cells[j][0]);
            ++j;
            end = j;
        }
        // Trailing wrapped lines that no row followed stay with the table only when the table
        // goes on below them, so a paragraph after a table is never swallowed.
        if (rows.size() >= kMinTableRows && !ProseLike(rows, columns.size())) {
            size_t last = rows.back().line + 1;
            if (!wraps.back().empty() && end > last) {
                wraps.back().clear();
                end = last;
            }
            TextTableFind f;
            f.first = i;
            f.end = end;
            BuildTable(rows, columns, spans, wraps, &f);
            found.push_back(std::move(f));
            i = end;
        } else {
            ++i;
        }
    }
    return found;
}

}  // namespace halvane
