// Splits a page's fragments into regions in reading order by whitespace cuts: a vertical cut
// between columns or blocks set side by side (not between the cells of a table row, nor
// between a label and its value), and cuts above and below full-width blocks (titles, wide
// paragraphs, footers) that interrupt the columns.
#ifndef HALVANE_REGION_SPLITTER_H
#define HALVANE_REGION_SPLITTER_H

#include <vector>

#include "halvane/layout/fragment.h"

namespace halvane {

// Appends the regions of ids (indexes into frags) to regions, in reading order. Tables are
// looked for in horizontal text only: vertical writing sets its columns in tiers, whose
// columns line up across the gutter between the tiers.
void SplitIntoRegions(const std::vector<Fragment>& frags, bool findTables, std::vector<int> ids,
                      std::vector<std::vector<int>>* regions);

}  // namespace halvane

#endif
