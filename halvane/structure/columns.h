// Sections and columns of a page: bands of the page from top to bottom, each set in one to four
// columns, worked out from the boxes of the page's pieces (text stretches, tables, images).
#ifndef HALVANE_STRUCTURE_COLUMNS_H
#define HALVANE_STRUCTURE_COLUMNS_H

#include <vector>

#include "halvane/structure/layout_model.h"

namespace halvane {

struct PiecePlace {
    int section = 0;
    int column = 0;
};

// boxes: the pieces' boxes; textSize: the page's usual type size. Fills sections (firstBlock and
// blockCount left 0) and, per piece, its section and column. Full-width bands are sections of
// one column spanning the content's width.
void FindSections(const std::vector<Box>& boxes, double textSize, std::vector<LayoutSection>* sections,
                  std::vector<PiecePlace>* places);

}  // namespace halvane

#endif
