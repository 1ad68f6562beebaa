// The properties of a paragraph (the content of w:pPr): style, keeping, page break, tab
// stops, spacing, indents, alignment.
#ifndef MORVANE_STROME_CORE_PARAGRAPH_XML_H
#define MORVANE_STROME_CORE_PARAGRAPH_XML_H

#include <stdint.h>

#include <string>

#include "formats.h"

namespace strome {

// Word refuses indents and spacing beyond 22 inches.
constexpr int64_t kMaxTwips = 31680;
// Indents leave a line at least this long (2 inches): text that starts further right than
// the line is wide would otherwise get one letter per line.
constexpr int64_t kMinLineTwips = 2880;
constexpr int kMaxHeadingLevel = 6;
constexpr size_t kMaxTabStops = 32;

int64_t ClampTwips(int64_t v, int64_t lo, int64_t hi);

// The content of w:pPr, empty when the paragraph has nothing to say. lineWidthTwips: the
// width of the lines where the paragraph stands (column or cell); firstLineHalfPoints: the
// size of the first line's text, when known (see ParagraphFormat::measuredBetweenGlyphBoxes).
std::string ParagraphPropertiesXml(const ParagraphFormat& format, int64_t lineWidthTwips, int64_t firstLineHalfPoints,
                                   bool pageBreakBefore);

}  // namespace strome

#endif
