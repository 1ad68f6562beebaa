// Tables drawn as grids: horizontal and vertical rules (and the edges of frames and shaded
// boxes) that meet form rows and columns; a missing rule between two grid cells merges them.
#ifndef HALVANE_STRUCTURE_RULED_TABLES_H
#define HALVANE_STRUCTURE_RULED_TABLES_H

#include <vector>

#include "halvane/structure/layout_model.h"

namespace halvane {

// Tables of the page's rules, cells without paragraphs. Rules that became borders or shading
// get PDF_RULE_OF_TABLE.
std::vector<LayoutTable> FindRuledTables(std::vector<LayoutRule>* rules);

}  // namespace halvane

#endif
