// Units of the values that callers pass to the document writer, and their conversion into
// the units of the package (twips = 1/20 point for indents and spacing, EMU = 1/914400 inch
// for pictures, half-points for font sizes).
//
// The Word layout measures positions in PDF page units (1/72 inch, i.e. points) and scales
// them before handing them over: a left indent by 26, a first-line indent by 23, the space
// before a paragraph by 12, a font size by 2. The writer divides by the same factors, so one
// unit is:
//   stParaIndent::nLeft        1/26 point
//   stParaIndent::nFirstLine   1/23 point
//   stParaSpacing::nBefore     1/12 point
//   stRunProps::nSize          1/2 point (a half-point, as in a run's font size)
//   picture width and height   1 point
// With these units a block that starts 30 points right of its neighbours in the PDF starts
// 30 points right of them in Word, a gap of 30 points between two blocks stays 30 points and
// a 10.5-point font stays 10.5 points: the document keeps the proportions of the PDF page,
// which is what a reader comparing the two expects. Any other reading (for instance taking
// every value as twips) would make indents 1.3 times too wide and gaps 0.6 times too small.
#ifndef MORVANE_STROME_UNITS_H
#define MORVANE_STROME_UNITS_H

#include <stdint.h>

namespace strome {

constexpr int kLeftIndentUnitsPerPoint = 26;
constexpr int kFirstLineUnitsPerPoint = 23;
constexpr int kSpacingUnitsPerPoint = 12;
constexpr int kTwipsPerPoint = 20;
constexpr int64_t kEmuPerPoint = 12700;

// value / unitsPerPoint points in twips, rounded to the nearest twip (half away from zero).
constexpr int64_t TwipsFromUnits(int64_t value, int unitsPerPoint)
{
    return value >= 0 ? (value * kTwipsPerPoint + unitsPerPoint / 2) / unitsPerPoint
                      : -((-value * kTwipsPerPoint + unitsPerPoint / 2) / unitsPerPoint);
}

constexpr int64_t kEmuPerTwip = kEmuPerPoint / kTwipsPerPoint;

constexpr int64_t EmuFromPoints(int64_t points)
{
    return points * kEmuPerPoint;
}
constexpr int64_t EmuFromTwips(int64_t twips)
{
    return twips * kEmuPerTwip;
}

}  // namespace strome

#endif
