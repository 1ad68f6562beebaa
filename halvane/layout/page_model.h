// A page as the reader delivers it, before it is laid out in the contract's records: text
// regions (columns and blocks in reading order), each a list of lines, each a list of runs.
#ifndef HALVANE_PAGE_MODEL_H
#define HALVANE_PAGE_MODEL_H

#include <cstdint>
#include <string>
#include <vector>

namespace halvane {

struct RunModel {
    bool isImage = false;
    double left = 0, top = 0, right = 0, bottom = 0, baseline = 0;
    // Text runs.
    std::string fontName;  // without subset prefix
    double size = 0;  // effective size on the page
    std::u16string text;
    uint32_t color = 0;  // 0x00BBGGRR
    uint32_t flags = 0;  // PDF_TEXT_* values
    // Image runs: PNG or JPEG file bytes.
    std::string imageData;
};

struct LineModel {
    double left = 0, top = 0, right = 0, bottom = 0;
    std::vector<RunModel> runs;
};

// A rule or filled rectangle the page draws, in page space after the current transformation:
// what table grids, underlines and shaded boxes are made of.
struct RuleModel {
    enum Kind { kLine = 0, kFill = 1, kFrame = 2 };  // stroked segment, filled box, stroked box
    int kind = kLine;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double width = 0;  // stroke width; 0 for fills
    uint32_t color = 0;  // 0x00BBGGRR
};

struct PageModel {
    double width = 0, height = 0;
    // Where the visible page comes from: the page's boxes in default user space and its turn.
    double mediaBox[4] = {0, 0, 0, 0};
    double cropBox[4] = {0, 0, 0, 0};
    int rotate = 0;
    // Degrees the visible page is turned clockwise for this model so that its text runs left to
    // right (0 unless the text runs up, down or leftwards); positions are in the turned page.
    int textTurn = 0;
    bool verticalWriting = false;  // the text is set in vertical lines (CJK), its columns right to left
    std::vector<RuleModel> rules;
    // Regions in reading order; lines within a region in any order of their tops.
    std::vector<std::vector<LineModel>> regions;
};

}  // namespace halvane

#endif
