// Groups the lines of one stretch of a column (or of a table cell) into paragraphs and works out
// each paragraph's properties: alignment against the column, indents, line spacing, list labels
// and contents lines.
#ifndef HALVANE_STRUCTURE_PARAGRAPHS_H
#define HALVANE_STRUCTURE_PARAGRAPHS_H

#include <vector>

#include "halvane/structure/layout_model.h"

namespace halvane {

struct ColumnRange {
    double left = 0, right = 0;
};

// lines: in reading order, top to bottom. Appends one block per paragraph to out.
// shortLinesEnd: whether a line that stops short of the column's edge ends its paragraph; not so
// in the cells of a table found from text alone, whose true width is unknown.
void BuildParagraphs(std::vector<LayoutLine> lines, const ColumnRange& column, std::vector<LayoutBlock>* out,
                     bool shortLinesEnd = true);

// The properties of one paragraph's lines against its column: alignment, indents, line spacing.
void MeasureParagraph(LayoutBlock* block, const ColumnRange& column);

// A contents line: title, leader and page number. Fills the block's leader and page reference
// and leaves only the title in its lines; false when the line is none.
bool SplitContentsLine(LayoutBlock* block, const ColumnRange& column);

// The label of a list item at the start of text ("•", "3.", "a)", "(iv)", "二、"); its length in
// code units, 0 for none. kind receives PDF_LIST_BULLET or PDF_LIST_NUMBER.
size_t ListLabelLength(const std::u16string& text, int* kind);

}  // namespace halvane

#endif
