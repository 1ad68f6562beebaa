// The structure analysis of one page: from the page model (lines of runs in regions, in reading
// order) and the page's rules to its layout: sections and columns, tables (ruled and aligned),
// paragraphs with their properties, headings, list items, contents lines, footnotes, headers and
// footers.
#ifndef HALVANE_STRUCTURE_PAGE_ANALYSIS_H
#define HALVANE_STRUCTURE_PAGE_ANALYSIS_H

#include <vector>

#include "halvane/layout/page_model.h"
#include "halvane/structure/layout_model.h"
#include "halvane/structure/running_heads.h"

namespace halvane {

// model: its rules and image data move into the layout. number: the page's 1-based number.
// heads: the document's running heads, or null when no block is to be taken for a header or
// footer.
PageLayout AnalysePage(PageModel& model, int number, const RunningHeads* heads);

}  // namespace halvane

#endif
