// Paragraph and run formatting of the document model, in the package's own units.
#ifndef MORVANE_STROME_CORE_FORMATS_H
#define MORVANE_STROME_CORE_FORMATS_H

#include <stdint.h>

#include <string>

#include "font_names.h"

namespace strome {

enum class Alignment { kDefault, kLeft, kCenter, kRight, kJustify };

struct ParagraphFormat {
    int64_t leftTwips = 0;
    int64_t firstLineTwips = 0;  // negative: a hanging indent
    int64_t spaceBeforeTwips = 0;
    Alignment alignment = Alignment::kDefault;
};

struct RunFormat {
    FontChoice font;
    int halfPoints = 0;   // 0: the default size
    int32_t rgb = -1;     // 0xRRGGBB, -1: automatic colour
};

inline bool operator==(const RunFormat& a, const RunFormat& b)
{
    return a.font.family == b.font.family && a.font.latinOnly == b.font.latinOnly && a.font.bold == b.font.bold &&
           a.font.italic == b.font.italic && a.halfPoints == b.halfPoints && a.rgb == b.rgb;
}
inline bool operator!=(const RunFormat& a, const RunFormat& b) { return !(a == b); }

// Page geometry of the single section: A4 portrait with narrow margins (0.25 inch). Every PDF
// page starts a new Word page, and the layout places the page's leftmost text at the left
// margin and its first block at the top margin, so the margins only shift the text: narrow
// ones leave the most room for the PDF's lines to stay one Word line each and for its page to
// stay one Word page (measured with tools/bench/docx_structure.py: wider margins, or the PDF's
// own page size, make more pages overflow). Pictures are scaled down to the text area.
struct PageLayout {
    int64_t widthTwips = 11906;
    int64_t heightTwips = 16838;
    int64_t topTwips = 360;
    int64_t bottomTwips = 360;
    int64_t leftTwips = 360;
    int64_t rightTwips = 360;

    int64_t textWidthTwips() const { return widthTwips - leftTwips - rightTwips; }
    int64_t textHeightTwips() const { return heightTwips - topTwips - bottomTwips; }
};

}  // namespace strome

#endif
