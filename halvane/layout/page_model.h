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
    std::string fontName;   // without subset prefix
    double size = 0;        // effective size on the page
    std::u16string text;
    uint32_t color = 0;     // 0x00BBGGRR
    uint32_t flags = 0;     // PDF_TEXT_* values
    // Image runs: PNG or JPEG file bytes.
    std::string imageData;
};

struct LineModel {
    double left = 0, top = 0, right = 0, bottom = 0;
    std::vector<RunModel> runs;
};

struct PageModel {
    double width = 0, height = 0;
    // Regions in reading order; lines within a region in any order of their tops.
    std::vector<std::vector<LineModel>> regions;
};

}  // namespace halvane

#endif
