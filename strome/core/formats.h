// Paragraph and run formatting of the document model, in the package's own units.
#ifndef MORVANE_STROME_CORE_FORMATS_H
#define MORVANE_STROME_CORE_FORMATS_H

#include <stdint.h>

#include <string>
#include <vector>

#include "font_names.h"

namespace strome {

enum class Alignment { kDefault, kLeft, kCenter, kRight, kJustify };

enum class TabKind { kLeft, kCenter, kRight, kDecimal };
enum class TabLeader { kNone, kDot, kHyphen, kUnderscore, kMiddleDot };

struct TabStop {
    int64_t positionTwips = 0;
    TabKind kind = TabKind::kLeft;
    TabLeader leader = TabLeader::kNone;
};

enum class LineRule { kAuto, kExact, kAtLeast };

struct ParagraphFormat {
    int64_t leftTwips = 0;
    int64_t firstLineTwips = 0;  // negative: a hanging indent
    int64_t spaceBeforeTwips = 0;
    Alignment alignment = Alignment::kDefault;
    // The classic records measure the space before a paragraph between glyph boxes of one em,
    // and indents from the text area's left edge only: the writer takes off what the first
    // line box already fills and keeps indents inside the text area. Paragraphs of the later
    // records give Word's own values.
    bool measuredBetweenGlyphBoxes = true;
    int64_t rightTwips = 0;
    int64_t spaceAfterTwips = 0;
    int64_t line = 0;  // 0: the default; kAuto: 240ths of a line, else twips
    LineRule lineRule = LineRule::kAuto;
    bool keepNext = false;
    bool keepLines = false;
    bool pageBreakBefore = false;
    bool widowControl = false;
    bool contextualSpacing = false;
    int headingLevel = 0;  // 1..6: the "heading N" style
    std::vector<TabStop> tabs;
};

enum class Underline { kNone, kSingle, kDouble, kThick, kDotted, kDashed, kWords };
enum class VerticalAlign { kBaseline, kSuperscript, kSubscript };

struct RunFormat {
    FontChoice font;
    int halfPoints = 0;  // 0: the default size
    int32_t rgb = -1;  // 0xRRGGBB, -1: automatic colour
    std::string eastAsiaFamily;  // UTF-8; empty: as font says
    bool strike = false;
    Underline underline = Underline::kNone;
    VerticalAlign verticalAlign = VerticalAlign::kBaseline;
    int charSpacingTwips = 0;
    int scalePercent = 0;  // 0: 100
};

inline bool operator==(const RunFormat& a, const RunFormat& b)
{
    return a.font.family == b.font.family && a.font.latinOnly == b.font.latinOnly && a.font.bold == b.font.bold &&
           a.font.italic == b.font.italic && a.halfPoints == b.halfPoints && a.rgb == b.rgb &&
           a.eastAsiaFamily == b.eastAsiaFamily && a.strike == b.strike && a.underline == b.underline &&
           a.verticalAlign == b.verticalAlign && a.charSpacingTwips == b.charSpacingTwips &&
           a.scalePercent == b.scalePercent;
}
inline bool operator!=(const RunFormat& a, const RunFormat& b)
{
    return !(a == b);
}

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

    int64_t headerTwips = 360;  // page edge to header and footer
    int64_t footerTwips = 360;

    int64_t textWidthTwips() const { return widthTwips - leftTwips - rightTwips; }
    int64_t textHeightTwips() const { return heightTwips - topTwips - bottomTwips; }
};

enum class SectionStart { kNextPage, kContinuous, kEvenPage, kOddPage };
enum class HeaderFooterKind { kHeaderDefault, kHeaderFirst, kFooterDefault, kFooterFirst };
constexpr int kHeaderFooterKinds = 4;
constexpr int kMaxColumns = 4;

// One section: its page, how it starts, its columns, and the header and footer parts it names.
struct SectionFormat {
    PageLayout page;
    SectionStart start = SectionStart::kNextPage;
    int columns = 1;
    int64_t columnSpaceTwips = 425;
    // Empty: columns of equal width; else one width and the gap after it per column.
    std::vector<int64_t> columnWidthsTwips, columnGapsTwips;
    bool lineBetween = false;
    std::string headerFooterRelIds[kHeaderFooterKinds];  // relationship ids, empty: none

    // The narrowest column's width: the longest line a paragraph of the body can have.
    int64_t ColumnWidthTwips() const;
    // A geometry Word and LibreOffice can lay out: a page of half an inch to 22 inches whose
    // margins leave a quarter inch of text each way, one to four columns that fit on it.
    bool Usable() const;
};

enum class BorderStyle { kInherit, kNone, kSingle, kDouble, kDotted, kDashed, kThick };

struct BorderLine {
    BorderStyle style = BorderStyle::kInherit;
    int eighthPoints = 4;
    int32_t rgb = -1;  // -1: automatic
};

enum class TableAlign { kLeft, kCenter, kRight };
enum Edge { kEdgeTop, kEdgeLeft, kEdgeBottom, kEdgeRight, kEdgeInsideH, kEdgeInsideV };

struct TableFormat {
    TableAlign align = TableAlign::kLeft;
    int64_t indentTwips = 0;
    bool fixedLayout = false;
    bool hasCellMargins = false;
    int64_t cellMarginTwips[4] = {0, 0, 0, 0};  // top, left, bottom, right
    BorderLine borders[6];
};

enum class HeightRule { kAuto, kAtLeast, kExact };

struct RowFormat {
    int64_t heightTwips = 0;
    HeightRule heightRule = HeightRule::kAuto;
    bool header = false;
    bool cantSplit = false;
};

enum class VerticalMerge { kNone, kRestart, kContinue };
enum class CellAlign { kTop, kCenter, kBottom };

struct CellFormat {
    int gridSpan = 1;
    VerticalMerge verticalMerge = VerticalMerge::kNone;
    CellAlign verticalAlign = CellAlign::kTop;
    int32_t shadingRgb = -1;  // -1: none
    bool noWrap = false;
    bool hasMargins = false;
    int64_t marginTwips[4] = {0, 0, 0, 0};
    BorderLine borders[4];
};

enum class PictureRelativeTo { kPage, kMargin, kColumn, kParagraph };
enum class PictureWrap { kSquare, kTopAndBottom, kNoneInFront, kNoneBehind };

// How a picture is placed: inline in its line, or anchored at a position with text wrapping.
struct PicturePlacement {
    bool anchored = false;
    PictureRelativeTo horizontalFrom = PictureRelativeTo::kColumn;
    int64_t xTwips = 0;
    PictureRelativeTo verticalFrom = PictureRelativeTo::kParagraph;
    int64_t yTwips = 0;
    PictureWrap wrap = PictureWrap::kSquare;
    int64_t distanceTwips = 0;
    int32_t crop[4] = {0, 0, 0, 0};  // left, top, right, bottom in 1/1000 %
};

enum class FieldKind { kPage, kNumPages };

}  // namespace strome

#endif
