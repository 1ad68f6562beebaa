#include "halvane/structure/columns.h"

#include <algorithm>
#include <numeric>

namespace halvane {

namespace {

// Pieces whose vertical extents overlap by less than this (in type sizes) lie one above the
// other: a column's last line may reach a little into the next band.
constexpr double kBandOverlapSlack = 0.3;
// Pieces side by side are apart by at least this gutter (in type sizes); closer ones overlap.
constexpr double kMinColumnGutter = 0.5;
// Bands of more columns than this are read as one (a chart's labels, a form's fields).
constexpr int kMaxColumns = 4;

struct Band {
    double top = 0, bottom = 0;
    std::vector<int> pieces;
    std::vector<std::pair<double, double>> columns;  // x ranges, left to right
};

}  // namespace

void FindSections(const std::vector<Box>& boxes, double textSize, std::vector<LayoutSection>* sections,
                  std::vector<PiecePlace>* places)
{
    sections->clear();
    places->assign(boxes.size(), PiecePlace());
    if (boxes.empty())
        return;
    const double size = std::max(1.0, textSize);
    Box content = Box::None();
    for (const Box& b : boxes)
        content.Add(b);
    // Bands: pieces chained by vertical overlap.
    std::vector<int> order(boxes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return boxes[a].y0 < boxes[b].y0; });
    std::vector<Band> bands;
    for (int id : order) {
        const Box& b = boxes[id];
        if (!bands.empty() && b.y0 < bands.back().bottom - kBandOverlapSlack * size) {
            bands.back().bottom = std::max(bands.back().bottom, b.y1);
            bands.back().pieces.push_back(id);
            continue;
        }
        Band band;
        band.top = b.y0;
        band.bottom = b.y1;
        band.pieces.push_back(id);
        bands.push_back(band);
    }
    // Columns of a band: pieces chained by horizontal overlap.
    for (Band& band : bands) {
        std::vector<int> byX(band.pieces);
        std::stable_sort(byX.begin(), byX.end(), [&](int a, int b) { return boxes[a].x0 < boxes[b].x0; });
        for (int id : byX) {
            const Box& b = boxes[id];
            if (!band.columns.empty() && b.x0 < band.columns.back().second + kMinColumnGutter * size)
                band.columns.back().second = std::max(band.columns.back().second, b.x1);
            else
                band.columns.emplace_back(b.x0, b.x1);
        }
        if (static_cast<int>(band.columns.size()) > kMaxColumns)
            band.columns.assign(1, std::make_pair(content.x0, content.x1));
        if (band.columns.size() == 1)
            band.columns[0] = std::make_pair(content.x0, content.x1);
    }
    // Neighbouring bands of the same column count whose columns overlap are one section.
    auto sameColumns = [](const Band& a, const Band& b) {
        if (a.columns.size() != b.columns.size())
            return false;
        for (size_t k = 0; k < a.columns.size(); ++k)
            if (a.columns[k].first >= b.columns[k].second || b.columns[k].first >= a.columns[k].second)
                return false;
        return true;
    };
    std::vector<Band> merged;
    for (Band& band : bands) {
        if (!merged.empty() && sameColumns(merged.back(), band)) {
            Band& m = merged.back();
            m.bottom = std::max(m.bottom, band.bottom);
            m.pieces.insert(m.pieces.end(), band.pieces.begin(), band.pieces.end());
            for (size_t k = 0; k < m.columns.size(); ++k) {
                m.columns[k].first = std::min(m.columns[k].first, band.columns[k].first);
                m.columns[k].second = std::max(m.columns[k].second, band.columns[k].second);
            }
            continue;
        }
        merged.push_back(std::move(band));
    }
    for (size_t s = 0; s < merged.size(); ++s) {
        const Band& band = merged[s];
        LayoutSection section;
        section.top = band.top;
        section.bottom = band.bottom;
        section.columnCount = static_cast<int>(band.columns.size());
        for (size_t k = 0; k < band.columns.size(); ++k) {
            section.columnLeft[k] = band.columns[k].first;
            section.columnRight[k] = band.columns[k].second;
        }
        sections->push_back(section);
        for (int id : band.pieces) {
            PiecePlace& place = (*places)[static_cast<size_t>(id)];
            place.section = static_cast<int>(s);
            place.column = 0;
            const double middle = 0.5 * (boxes[id].x0 + boxes[id].x1);
            for (size_t k = 0; k < band.columns.size(); ++k)
                if (middle >= band.columns[k].first - 0.01 && middle <= band.columns[k].second + 0.01)
                    place.column = static_cast<int>(k);
        }
    }
}

}  // namespace halvane
