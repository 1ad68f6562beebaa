#include "docx_records.h"

#include "../core/font_names.h"

namespace strome {

namespace {

// Word's limit of lengths on a page: 22 inches.
constexpr int32_t kMaxLength = 31680;
// The smallest page and text area that still make a page: half an inch, a quarter inch.
constexpr int32_t kMinPage = 720;
constexpr int32_t kMinText = 360;
constexpr int32_t kDefaultHeaderDistance = 360;
constexpr int32_t kMaxAutoLine = 2400;  // ten lines
constexpr int32_t kMaxCharSpacing = 1584;
constexpr int32_t kMaxScale = 600;
constexpr int32_t kMaxWrapDistance = 1440;
constexpr int32_t kWholeCrop = 100000;

bool In(int64_t v, int64_t lo, int64_t hi)
{
    return v >= lo && v <= hi;
}

// 0x00BBGGRR into 0xRRGGBB; STROME_COLOR_AUTO into -1; false for anything else.
bool ColorFrom(int32_t color, int32_t& rgb)
{
    if (color == STROME_COLOR_AUTO) {
        rgb = -1;
        return true;
    }
    if (color < 0 || color > 0xFFFFFF)
        return false;
    const uint32_t c = uint32_t(color);
    rgb = int32_t(((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16));
    return true;
}

bool BorderFrom(const stBorder& b, BorderLine& out)
{
    if (!In(b.nStyle, STROME_BORDER_INHERIT, STROME_BORDER_THICK))
        return false;
    if (b.nWidth != 0 && !In(b.nWidth, 2, 96))
        return false;
    out.style = BorderStyle(b.nStyle);
    out.eighthPoints = b.nWidth == 0 ? 4 : b.nWidth;
    return ColorFrom(b.nColor, out.rgb);
}

std::string Utf8Field(const char* field, size_t size)
{
    return std::string(field, strnlen(field, size));
}

}  // namespace

bool SectionFrom(const stSectionProps* given, SectionFormat& out)
{
    stSectionProps p;
    if (!given || !ReadRecord(given, p))
        return false;
    if (!In(p.nPageWidth, kMinPage, kMaxLength) || !In(p.nPageHeight, kMinPage, kMaxLength))
        return false;
    const int32_t margins[4] = {p.nMarginTop, p.nMarginRight, p.nMarginBottom, p.nMarginLeft};
    for (int32_t m : margins)
        if (!In(m, 0, kMaxLength))
            return false;
    if (int64_t(p.nPageWidth) - p.nMarginLeft - p.nMarginRight < kMinText ||
        int64_t(p.nPageHeight) - p.nMarginTop - p.nMarginBottom < kMinText)
        return false;
    if (!In(p.nHeaderDistance, 0, kMaxLength) || !In(p.nFooterDistance, 0, kMaxLength))
        return false;
    if (!In(p.nBreak, STROME_SECTION_NEXT_PAGE, STROME_SECTION_ODD_PAGE))
        return false;
    if (!In(p.nColumns, 0, STROME_MAX_COLUMNS) || !In(p.nColumnSpace, 0, kMaxLength))
        return false;
    SectionFormat s;
    s.page.widthTwips = p.nPageWidth;
    s.page.heightTwips = p.nPageHeight;
    s.page.topTwips = p.nMarginTop;
    s.page.rightTwips = p.nMarginRight;
    s.page.bottomTwips = p.nMarginBottom;
    s.page.leftTwips = p.nMarginLeft;
    s.page.headerTwips = p.nHeaderDistance == 0 ? kDefaultHeaderDistance : p.nHeaderDistance;
    s.page.footerTwips = p.nFooterDistance == 0 ? kDefaultHeaderDistance : p.nFooterDistance;
    s.start = SectionStart(p.nBreak);
    s.columns = p.nColumns == 0 ? 1 : p.nColumns;
    s.columnSpaceTwips = p.nColumnSpace;
    s.lineBetween = (p.nFlags & STROME_SECTION_FLAG_LINE_BETWEEN) != 0;
    bool widthsGiven = false;
    for (int i = 0; i < STROME_MAX_COLUMNS; ++i)
        widthsGiven = widthsGiven || p.nColumnWidth[i] != 0;
    if (widthsGiven && s.columns > 1) {
        int64_t total = 0;
        for (int i = 0; i < s.columns; ++i) {
            if (!In(p.nColumnWidth[i], 1, kMaxLength) || !In(p.nColumnGap[i], 0, kMaxLength))
                return false;
            s.columnWidthsTwips.push_back(p.nColumnWidth[i]);
            s.columnGapsTwips.push_back(p.nColumnGap[i]);
            total += p.nColumnWidth[i] + (i + 1 < s.columns ? p.nColumnGap[i] : 0);
        }
        if (total > p.nPageWidth)
            return false;
    }
    out = s;
    return true;
}

bool ParagraphFrom(const stParagraphProps* given, ParagraphFormat& out)
{
    stParagraphProps p;
    if (!ReadRecord(given, p))
        return false;
    if (!In(p.nAlignment, STROME_ALIGN_DEFAULT, STROME_ALIGN_JUSTIFY))
        return false;
    if (!In(p.nLeft, -kMaxLength, kMaxLength) || !In(p.nRight, -kMaxLength, kMaxLength) ||
        !In(p.nFirstLine, -kMaxLength, kMaxLength))
        return false;
    if (!In(p.nBefore, 0, kMaxLength) || !In(p.nAfter, 0, kMaxLength))
        return false;
    if (!In(p.nLineRule, STROME_LINE_AUTO, STROME_LINE_AT_LEAST) ||
        !In(p.nLine, 0, p.nLineRule == STROME_LINE_AUTO ? kMaxAutoLine : kMaxLength))
        return false;
    if (!In(p.nHeadingLevel, 0, 6) || !In(p.nTabCount, 0, STROME_MAX_TABS))
        return false;
    ParagraphFormat f;
    f.measuredBetweenGlyphBoxes = false;
    static const Alignment kAlign[] = {Alignment::kDefault, Alignment::kLeft, Alignment::kCenter, Alignment::kRight,
                                       Alignment::kJustify};
    f.alignment = kAlign[p.nAlignment];
    f.leftTwips = p.nLeft;
    f.rightTwips = p.nRight;
    f.firstLineTwips = p.nFirstLine;
    f.spaceBeforeTwips = p.nBefore;
    f.spaceAfterTwips = p.nAfter;
    f.line = p.nLine;
    f.lineRule = LineRule(p.nLineRule);
    f.keepNext = (p.nFlags & STROME_PARA_KEEP_NEXT) != 0;
    f.keepLines = (p.nFlags & STROME_PARA_KEEP_LINES) != 0;
    f.pageBreakBefore = (p.nFlags & STROME_PARA_PAGE_BREAK_BEFORE) != 0;
    f.widowControl = (p.nFlags & STROME_PARA_WIDOW_CONTROL) != 0;
    f.contextualSpacing = (p.nFlags & STROME_PARA_CONTEXTUAL_SPACING) != 0;
    f.headingLevel = p.nHeadingLevel;
    for (int i = 0; i < p.nTabCount; ++i) {
        const stTabStop& t = p.tabs[i];
        if (!In(t.nPos, -kMaxLength, kMaxLength) || !In(t.nKind, STROME_TAB_LEFT, STROME_TAB_DECIMAL) ||
            !In(t.nLeader, STROME_LEADER_NONE, STROME_LEADER_MIDDLE_DOT))
            return false;
        f.tabs.push_back(TabStop{t.nPos, TabKind(t.nKind), TabLeader(t.nLeader)});
    }
    out = std::move(f);
    return true;
}

bool RunFrom(const stRunFormat* given, RunFormat& out)
{
    stRunFormat p;
    if (!ReadRecord(given, p))
        return false;
    if (!given)
        p.nColor = STROME_COLOR_AUTO;  // no record: every field its default
    if (p.nSize != 0 && !In(p.nSize, 2, 3276))
        return false;
    if (!In(p.nUnderline, STROME_UNDERLINE_NONE, STROME_UNDERLINE_WORDS) ||
        !In(p.nVertAlign, STROME_VERTALIGN_BASELINE, STROME_VERTALIGN_SUBSCRIPT) ||
        !In(p.nCharSpacing, -kMaxCharSpacing, kMaxCharSpacing) || !In(p.nScale, 0, kMaxScale))
        return false;
    RunFormat f;
    if (!ColorFrom(p.nColor, f.rgb))
        return false;
    if (p.nFlags & STROME_RUN_PDF_FONT_NAME) {
        f.font = MapPdfFontName(p.szFont, sizeof p.szFont);
    } else {
        // A family named here is for Latin text; Chinese text has its own field.
        f.font.family = Utf8Field(p.szFont, sizeof p.szFont);
        f.font.latinOnly = true;
        f.eastAsiaFamily = Utf8Field(p.szEastAsiaFont, sizeof p.szEastAsiaFont);
    }
    f.font.bold = f.font.bold || (p.nFlags & STROME_RUN_BOLD) != 0;
    f.font.italic = f.font.italic || (p.nFlags & STROME_RUN_ITALIC) != 0;
    f.strike = (p.nFlags & STROME_RUN_STRIKE) != 0;
    f.halfPoints = p.nSize;
    f.underline = Underline(p.nUnderline);
    f.verticalAlign = VerticalAlign(p.nVertAlign);
    f.charSpacingTwips = p.nCharSpacing;
    f.scalePercent = p.nScale;
    out = std::move(f);
    return true;
}

bool TableFrom(const stTableProps* given, const int32_t* widths, int count, TableFormat& out,
               std::vector<int64_t>& grid)
{
    stTableProps p;
    if (!ReadRecord(given, p) || !widths || !In(count, 1, 63))
        return false;
    if (!In(p.nAlignment, STROME_ALIGN_DEFAULT, STROME_ALIGN_RIGHT) || !In(p.nIndent, -kMaxLength, kMaxLength))
        return false;
    TableFormat t;
    t.align = p.nAlignment == STROME_ALIGN_CENTER  ? TableAlign::kCenter
              : p.nAlignment == STROME_ALIGN_RIGHT ? TableAlign::kRight
                                                   : TableAlign::kLeft;
    t.indentTwips = p.nIndent;
    t.fixedLayout = (p.nFlags & STROME_TABLE_FIXED_LAYOUT) != 0;
    t.hasCellMargins = (p.nFlags & STROME_TABLE_CELL_MARGINS) != 0;
    for (int i = 0; i < 4; ++i) {
        if (t.hasCellMargins && !In(p.nCellMargin[i], 0, kMaxLength))
            return false;
        t.cellMarginTwips[i] = t.hasCellMargins ? p.nCellMargin[i] : 0;
    }
    for (int i = 0; i < 6; ++i)
        if (!BorderFrom(p.borders[i], t.borders[i]))
            return false;
    std::vector<int64_t> g;
    for (int i = 0; i < count; ++i) {
        if (!In(widths[i], 1, kMaxLength))
            return false;
        g.push_back(widths[i]);
    }
    out = t;
    grid = std::move(g);
    return true;
}

bool RowFrom(const stRowProps* given, RowFormat& out)
{
    stRowProps p;
    if (!ReadRecord(given, p))
        return false;
    if (!In(p.nHeight, 0, kMaxLength) || !In(p.nHeightRule, STROME_HEIGHT_AUTO, STROME_HEIGHT_EXACT))
        return false;
    RowFormat r;
    r.heightTwips = p.nHeight;
    r.heightRule = HeightRule(p.nHeightRule);
    r.header = (p.nFlags & STROME_ROW_HEADER) != 0;
    r.cantSplit = (p.nFlags & STROME_ROW_CANT_SPLIT) != 0;
    out = r;
    return true;
}

bool CellFrom(const stCellProps* given, CellFormat& out)
{
    stCellProps p;
    if (!ReadRecord(given, p))
        return false;
    if (!In(p.nGridSpan, 0, 63) || !In(p.nVMerge, STROME_VMERGE_NONE, STROME_VMERGE_CONTINUE) ||
        !In(p.nVAlign, STROME_VALIGN_TOP, STROME_VALIGN_BOTTOM))
        return false;
    CellFormat c;
    if ((p.nFlags & STROME_CELL_SHADED) && (!ColorFrom(p.nShading, c.shadingRgb) || c.shadingRgb < 0))
        return false;
    c.gridSpan = p.nGridSpan == 0 ? 1 : p.nGridSpan;
    c.verticalMerge = VerticalMerge(p.nVMerge);
    c.verticalAlign = CellAlign(p.nVAlign);
    c.noWrap = (p.nFlags & STROME_CELL_NO_WRAP) != 0;
    c.hasMargins = (p.nFlags & STROME_CELL_MARGINS) != 0;
    for (int i = 0; i < 4; ++i) {
        if (c.hasMargins && !In(p.nMargin[i], 0, kMaxLength))
            return false;
        c.marginTwips[i] = c.hasMargins ? p.nMargin[i] : 0;
        if (!BorderFrom(p.borders[i], c.borders[i]))
            return false;
    }
    out = c;
    return true;
}

bool PictureFrom(const stPictureProps* given, int objectWidthPoints, int objectHeightPoints, PicturePlacement& out,
                 int64_t& widthTwips, int64_t& heightTwips)
{
    stPictureProps p;
    if (!ReadRecord(given, p))
        return false;
    if (!In(p.nWidth, 0, kMaxLength) || !In(p.nHeight, 0, kMaxLength))
        return false;
    for (int32_t c : p.nCrop)
        if (!In(c, 0, kWholeCrop - 1))
            return false;
    if (p.nCrop[0] + p.nCrop[2] >= kWholeCrop || p.nCrop[1] + p.nCrop[3] >= kWholeCrop)
        return false;
    if (!In(p.nPlacement, STROME_PLACE_INLINE, STROME_PLACE_ANCHOR) ||
        !In(p.nWrap, STROME_WRAP_SQUARE, STROME_WRAP_NONE_BEHIND))
        return false;
    if (!In(p.nHorzFrom, STROME_FROM_PAGE, STROME_FROM_COLUMN) ||
        !(p.nVertFrom == STROME_FROM_PAGE || p.nVertFrom == STROME_FROM_MARGIN || p.nVertFrom == STROME_FROM_PARAGRAPH))
        return false;
    if (!In(p.nX, -kMaxLength, kMaxLength) || !In(p.nY, -kMaxLength, kMaxLength) ||
        !In(p.nDistance, 0, kMaxWrapDistance))
        return false;
    PicturePlacement at;
    at.anchored = p.nPlacement == STROME_PLACE_ANCHOR;
    at.horizontalFrom = PictureRelativeTo(p.nHorzFrom);
    at.verticalFrom = PictureRelativeTo(p.nVertFrom);
    at.xTwips = p.nX;
    at.yTwips = p.nY;
    at.wrap = PictureWrap(p.nWrap);
    at.distanceTwips = p.nDistance;
    for (int i = 0; i < 4; ++i)
        at.crop[i] = p.nCrop[i];
    widthTwips = p.nWidth != 0 ? p.nWidth : int64_t(objectWidthPoints) * 20;
    heightTwips = p.nHeight != 0 ? p.nHeight : int64_t(objectHeightPoints) * 20;
    out = at;
    return true;
}

}  // namespace strome
