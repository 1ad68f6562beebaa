// A piece of a line: glyphs of one band (baseline) between two wide gaps, or one picture.
// Fragments are what the reading order works with: they are grouped into regions (columns,
// blocks, table rows) and joined back into lines within each region.
#ifndef HALVANE_FRAGMENT_H
#define HALVANE_FRAGMENT_H

#include <algorithm>
#include <cstddef>
#include <vector>

#include "halvane/layout/page_model.h"
#include "halvane/layout/text_collector.h"

namespace halvane {

struct Fragment {
    double u0 = 0, u1 = 0, top = 0, bottom = 0;
    int band = 0;
    int dir = kDirRight;
    size_t chars = 0;
    bool isImage = false;
    std::vector<RunModel> runs;  // boxes in the direction frame until the page is assembled
};

// The middle value (the upper one of an even count); 0 for none.
inline double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace halvane

#endif
