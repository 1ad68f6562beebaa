// Tables set as text aligned in rows and columns without rules (a spreadsheet printed to PDF, a
// form, a price list): runs of lines whose pieces, set apart by wide gaps, line up in columns.
#ifndef HALVANE_STRUCTURE_TEXT_TABLES_H
#define HALVANE_STRUCTURE_TEXT_TABLES_H

#include <vector>

#include "halvane/structure/layout_model.h"

namespace halvane {

// The cells of a line: its runs grouped where a gap wider than a cell gap parts them.
std::vector<LayoutLine> SplitLineIntoCells(const LayoutLine& line);

struct TextTableFind {
    size_t first = 0, end = 0;  // lines [first, end) of the stretch make the table
    LayoutTable table;  // cells without paragraphs yet
    std::vector<std::vector<LayoutLine>> cellLines;  // per cell of table.cells
};

// Looks for tables in a stretch of lines (top to bottom), in order; no two overlap.
std::vector<TextTableFind> FindTextTables(const std::vector<LayoutLine>& lines);

}  // namespace halvane

#endif
