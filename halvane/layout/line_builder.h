// Turns a page's placed glyphs and images into lines of runs grouped in regions, in reading
// order. Glyphs are banded by baseline, bands are cut into fragments at wide gaps, the
// fragments are split into regions (region_splitter.h), and each region's fragments are
// joined back into lines.
#ifndef HALVANE_LINE_BUILDER_H
#define HALVANE_LINE_BUILDER_H

#include <string>
#include <vector>

#include "halvane/layout/page_model.h"
#include "halvane/layout/text_collector.h"

namespace halvane {

void BuildPageModel(std::vector<PlacedGlyph>& glyphs, std::vector<PlacedImage>& images, PageModel* model);

// True for characters after which lines join without a space (Han, kana, hangul, full-width forms).
bool IsCjkChar(char32_t c);
bool StartsWithCjk(const std::u16string& s);
bool EndsWithCjk(const std::u16string& s);

}  // namespace halvane

#endif
