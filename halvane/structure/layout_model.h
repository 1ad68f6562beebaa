// The page layout as the structure analysis builds it: sections and columns, blocks in reading
// order with paragraph properties, styled lines, tables, images and rules. Positions are in page
// units, y down from the top of the visible page. The records of the contract are laid out from
// it (layout_records.h); tools print it (halvane-dump --structure).
#ifndef HALVANE_STRUCTURE_LAYOUT_MODEL_H
#define HALVANE_STRUCTURE_LAYOUT_MODEL_H

#include <cstdint>
#include <string>
#include <vector>

#include "halvane.h"

namespace halvane {

struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double Width() const { return x1 - x0; }
    double Height() const { return y1 - y0; }
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    void Add(const Box& b)
    {
        if (b.x1 < b.x0 || b.y1 < b.y0)
            return;
        if (x1 < x0 || y1 < y0) {
            *this = b;
            return;
        }
        x0 = b.x0 < x0 ? b.x0 : x0;
        y0 = b.y0 < y0 ? b.y0 : y0;
        x1 = b.x1 > x1 ? b.x1 : x1;
        y1 = b.y1 > y1 ? b.y1 : y1;
    }
    static Box None() { return Box{1, 1, 0, 0}; }
};

// A vector rule or filled rectangle after the current transformation, in page space.
struct LayoutRule {
    int kind = PDF_RULE_LINE;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double width = 0;  // stroke width; 0 for fills
    uint32_t color = 0;
    uint32_t flags = 0;  // PDF_RULE_OF_*
};

struct LayoutRun {
    Box box;
    double baseline = 0;
    std::u16string text;
    std::string family;  // clean family name
    std::string fontName;  // without subset tag
    double size = 0;
    uint32_t color = 0;
    uint32_t flags = 0;  // PDF_STYLE_*
    double charSpacing = 0;
    double rise = 0;
    int direction = PDF_DIR_LTR;
};

struct LayoutLine {
    Box box;
    double baseline = 0;
    std::vector<LayoutRun> runs;
    uint32_t flags = 0;  // PDF_LINE_*
};

struct LayoutBlock {
    int kind = PDF_BLOCK_PARAGRAPH;
    int section = -1;
    int column = -1;
    Box box;
    int align = PDF_ALIGN_LEFT;
    double leftIndent = 0, rightIndent = 0, firstLineIndent = 0;
    double lineSpacing = 0, spaceBefore = 0, spaceAfter = 0;
    int headingLevel = 0;
    std::vector<LayoutLine> lines;
    int table = -1;
    int image = -1;
    uint32_t flags = 0;  // PDF_BLOCK_HAS_PAGE_NUMBER, ...
    int listKind = PDF_LIST_NONE;
    std::u16string label;
    double labelLeft = 0, textLeft = 0;
    int leader = PDF_LEADER_NONE;
    std::u16string pageRef;
    double pageRefRight = 0;

    // The block's text: lines joined as they flow (a space between lines unless one ends in CJK).
    std::u16string Text() const;
    // The main type size of the block's text (the size most characters are set in); 0 for none.
    double MainSize() const;
};

struct LayoutBorder {
    double width = 0;
    uint32_t color = 0;
};

struct LayoutCell {
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    Box box;
    LayoutBorder border[4];  // PDF_EDGE_*
    uint32_t shading = PDF_NO_COLOR;
    std::vector<LayoutBlock> blocks;
};

struct LayoutTable {
    Box box;
    std::vector<double> columnEdges;  // columns + 1
    std::vector<double> rowEdges;  // rows + 1
    int headerRows = 0;
    bool ruled = false;
    std::vector<LayoutCell> cells;  // row by row
    int Rows() const { return rowEdges.empty() ? 0 : static_cast<int>(rowEdges.size()) - 1; }
    int Columns() const { return columnEdges.empty() ? 0 : static_cast<int>(columnEdges.size()) - 1; }
};

struct LayoutImage {
    Box box;
    double crop[4] = {0, 0, 0, 0};  // left, top, right, bottom share not shown
    int width = 0, height = 0;  // shown size, as the page records give it
    std::string data;  // PNG or JPEG bytes
};

struct LayoutSection {
    double top = 0, bottom = 0;
    int columnCount = 1;
    double columnLeft[4] = {0, 0, 0, 0};
    double columnRight[4] = {0, 0, 0, 0};
    int firstBlock = 0, blockCount = 0;
};

struct PageLayout {
    int number = 0;
    int rotate = 0;
    double width = 0, height = 0;
    double mediaBox[4] = {0, 0, 0, 0};
    double cropBox[4] = {0, 0, 0, 0};
    Box content = Box::None();
    int columnCount = 1;
    int writingMode = PDF_WRITING_HORIZONTAL;
    int textTurn = 0;
    std::vector<LayoutSection> sections;
    std::vector<LayoutBlock> blocks;  // reading order
    std::vector<LayoutTable> tables;
    std::vector<LayoutImage> images;
    std::vector<LayoutRule> rules;
    // The page's flow ends in the middle of a paragraph that goes on on the next page.
    bool endsOpen = false;
};

}  // namespace halvane

#endif
