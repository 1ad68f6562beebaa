// The XML of a run: its properties (w:rPr) and its text as w:t pieces, tabs and line breaks.
#ifndef MORVANE_STROME_CORE_RUN_XML_H
#define MORVANE_STROME_CORE_RUN_XML_H

#include <stdint.h>

#include <string>

#include "formats.h"

namespace strome {

// Word's limits of a run's size and character spacing.
constexpr int kMinHalfPoints = 2, kMaxHalfPoints = 3276;
constexpr int kMaxCharSpacingTwips = 1584;
constexpr int kMaxScalePercent = 600;

// The content of w:rPr for text of this format (empty when it has nothing to say);
// eastAsianText: the run holds Chinese characters, so shared punctuation takes the East
// Asian font.
std::string RunPropertiesXml(const RunFormat& format, bool eastAsianText);

// Text of one run as w:t pieces, with tabs as w:tab and line ends (LF, CR, CR LF) as w:br.
// Characters XML cannot carry are dropped; a piece whose ends are spaces, or that holds two
// spaces in a row, keeps them with xml:space="preserve".
void AppendRunText(std::string& out, const std::u16string& text);

bool HasEastAsian(const std::u16string& text);

// 0xRRGGBB as six hex digits.
std::string HexColor(int32_t rgb);

}  // namespace strome

#endif
