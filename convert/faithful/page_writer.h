// Shared by the writers of one page: where the flow is, what break the next block must carry.
#ifndef MORVANE_CONVERT_FAITHFUL_PAGE_WRITER_H
#define MORVANE_CONVERT_FAITHFUL_PAGE_WRITER_H

#include <vector>

#include "halvane.h"
#include "page_plan.h"
#include "strome.h"

namespace faithful {

struct FlowArea {
    double left = 0, right = 0;  // the column's (or cell's) edges on the page, points
    double slack = 0;  // how far lines may run past right
};

struct PageWriter {
    qrn_IDocx* docx = nullptr;
    const stPdfPageLayout* page = nullptr;
    const PagePlan* plan = nullptr;
    bool pageBreakBefore = false;  // the next body paragraph starts a new page
    bool columnBreakBefore = false;  // the next body paragraph starts a new column
    std::vector<int> pendingAnchors;  // pictures waiting for the next paragraph to anchor to
};

// Starts a body paragraph with props, giving it the pending page or column break and the
// pictures waiting to be anchored. Null when refused.
qrn_IDocxPara* BeginBodyParagraph(PageWriter& w, stParagraphProps props);
// An empty paragraph of the smallest height that carries the pending breaks and anchors.
void WriteCarrier(PageWriter& w);

// Paragraph props of a text block in an area, with the space above it and its line height.
stParagraphProps ParagraphPropsOf(const stPdfPageLayout& page, const stPdfBlock& block, const FlowArea& area,
                                  double before, double line);

// A text block (paragraph, heading, list item, contents line, footnote) in the body or a cell.
void WriteTextBlock(PageWriter& w, const stPdfBlock& block, const FlowArea& area, double before, double line,
                    bool body);
void WriteTable(PageWriter& w, const stPdfBlock& block, const FlowArea& area, double before);
// Blocks side by side: one row of a borderless table, a cell per column of the band.
void WriteBand(PageWriter& w, const PlannedBlock& band, const FlowArea& area);
void WritePicture(PageWriter& w, const stPdfBlock& block, const FlowArea& area, const PlannedBlock& planned);
// Anchors a picture block into para at its place on the page.
void AnchorPicture(PageWriter& w, qrn_IDocxPara* para, const stPdfBlock& block);
void WriteRunningHeads(PageWriter& w, const std::vector<int>& blocks, int kind);

}  // namespace faithful

#endif
