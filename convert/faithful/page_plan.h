// The plan of one page of the faithful layout: its geometry (page size, margins from where the
// content lies, header and footer distances), its sections of one to four columns with the
// blocks of each column in reading order, and for every block the vertical spacing that puts
// its lines where the PDF shows them. Pure: it reads the reader's layout and writes nothing.
#ifndef MORVANE_CONVERT_FAITHFUL_PAGE_PLAN_H
#define MORVANE_CONVERT_FAITHFUL_PAGE_PLAN_H

#include <vector>

#include "halvane.h"

namespace faithful {

struct Geometry {
    double width = 0, height = 0;  // the page, points
    double marginLeft = 0, marginRight = 0;  // text area's edges from the page's edges
    double marginTop = 0, marginBottom = 0;
    double headerDistance = 0, footerDistance = 0;  // page edge to header top / footer bottom; 0 none
};

// A block of a column flow with its vertical placement, in points.
struct PlannedBlock {
    int block = -1;  // into ppBlocks
    double before = 0;  // space above it
    double line = 0;  // exact line height of its lines; 0: automatic (pictures)
    double lines = 0;  // lines it is expected to take (a table or picture: 0)
    double height = 0;  // height it takes in the flow, spacing above excluded
    bool anchored = false;  // a picture placed at its position with text flowing beside it
    // Blocks side by side on one band of the column (margin notes, a label and its value, a
    // form's fields): set as one row of a borderless table, a cell per block column, so that
    // they stand beside each other instead of one under the other. Empty for a single block.
    std::vector<int> band;
    std::vector<double> bandEdges;  // the cells' edges on the page, left to right
};

struct PlannedSection {
    int columns = 1;
    double left[4] = {}, right[4] = {};  // columns' edges on the page
    std::vector<PlannedBlock> flow[4];  // per column, top to bottom
};

struct PagePlan {
    Geometry geometry;
    std::vector<PlannedSection> sections;  // top to bottom; footnotes end the last one
    std::vector<int> headers, footers;  // blocks, top to bottom
    double estimatedHeight = 0;  // of the body flow, after fitting
    double available = 0;  // text area's height
    double fitShare = 1;  // the share of its spacing the page kept (1: all)
};

// The line height a text block's lines get in Word: its baseline pitch, or for one line the
// font's usual height; never below what shows the glyphs whole.
double LineHeightOf(const stPdfPageLayout& page, const stPdfBlock& block);
// The largest type size of a text block's runs, 0 when it has none.
double LargestSize(const stPdfPageLayout& page, const stPdfBlock& block);

PagePlan PlanPage(const stPdfPageLayout& page);

// Reduces the plan's spacing until its estimated height fits the text area; never the text.
void FitPage(PagePlan& plan);

// Groups the blocks of a flow that lie side by side into bands (see PlannedBlock::band).
void FormBands(const stPdfPageLayout& page, std::vector<PlannedBlock>& flow);

// Gap by which a block's lines may run past its column's right edge (see kWrapSlackShare).
double WrapSlack(const PagePlan& plan, const PlannedSection& section, int column);

}  // namespace faithful

#endif
