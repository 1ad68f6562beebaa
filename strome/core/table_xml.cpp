#include "table_xml.h"

#include <algorithm>

#include "paragraph_xml.h"
#include "run_xml.h"
#include "xml_writer.h"

namespace strome {

namespace {

const char* BorderValue(BorderStyle s)
{
    switch (s) {
    case BorderStyle::kNone:
        return "nil";
    case BorderStyle::kSingle:
        return "single";
    case BorderStyle::kDouble:
        return "double";
    case BorderStyle::kDotted:
        return "dotted";
    case BorderStyle::kDashed:
        return "dashed";
    case BorderStyle::kThick:
        return "thick";
    default:
        return nullptr;
    }
}

void WriteBorder(XmlWriter& x, const char* name, const BorderLine& b)
{
    const char* value = BorderValue(b.style);
    if (!value)
        return;
    x.Open(name).Attr("w:val", value);
    if (b.style != BorderStyle::kNone) {
        x.Attr("w:sz", int64_t(std::min(std::max(b.eighthPoints, kMinBorderEighths), kMaxBorderEighths)))
            .Attr("w:space", int64_t(0))
            .Attr("w:color", b.rgb >= 0 ? HexColor(b.rgb & 0xFFFFFF) : std::string("auto"));
    }
    x.Close();
}

bool AnyBorder(const BorderLine* borders, int count)
{
    for (int i = 0; i < count; ++i)
        if (BorderValue(borders[i].style))
            return true;
    return false;
}

void WriteMargins(XmlWriter& x, const char* name, const int64_t* m)
{
    static const char* const kSides[4] = {"w:top", "w:left", "w:bottom", "w:right"};
    x.Open(name);
    for (int i = 0; i < 4; ++i)
        x.Open(kSides[i]).Attr("w:w", ClampTwips(m[i], 0, kMaxTwips)).Attr("w:type", "dxa").Close();
    x.Close();
}

const char* const kEdgeNames[6] = {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"};

}  // namespace

std::string TableStartXml(const TableFormat& t, const std::vector<int64_t>& grid)
{
    std::string out = "<w:tbl>";
    XmlWriter x(out);
    int64_t total = 0;
    for (int64_t w : grid)
        total += ClampTwips(w, 1, kMaxTwips);
    x.Open("w:tblPr");
    x.Open("w:tblW").Attr("w:w", total).Attr("w:type", "dxa").Close();
    if (t.align != TableAlign::kLeft)
        x.Open("w:jc").Attr("w:val", t.align == TableAlign::kCenter ? "center" : "right").Close();
    if (t.indentTwips != 0 && t.align == TableAlign::kLeft)
        x.Open("w:tblInd").Attr("w:w", ClampTwips(t.indentTwips, -kMaxTwips, kMaxTwips)).Attr("w:type", "dxa").Close();
    if (AnyBorder(t.borders, 6)) {
        x.Open("w:tblBorders");
        for (int i = 0; i < 6; ++i)
            WriteBorder(x, kEdgeNames[i], t.borders[i]);
        x.Close();
    }
    if (t.fixedLayout)
        x.Open("w:tblLayout").Attr("w:type", "fixed").Close();
    if (t.hasCellMargins)
        WriteMargins(x, "w:tblCellMar", t.cellMarginTwips);
    x.Close();  // w:tblPr
    x.Open("w:tblGrid");
    for (int64_t w : grid)
        x.Open("w:gridCol").Attr("w:w", ClampTwips(w, 1, kMaxTwips)).Close();
    x.Close();
    return out;
}

std::string RowStartXml(const RowFormat& r)
{
    std::string out = "<w:tr>";
    const bool height = r.heightRule != HeightRule::kAuto && r.heightTwips > 0;
    if (!height && !r.header && !r.cantSplit)
        return out;
    XmlWriter x(out);
    x.Open("w:trPr");
    if (r.cantSplit)
        x.Open("w:cantSplit").Close();
    if (height)
        x.Open("w:trHeight")
            .Attr("w:val", ClampTwips(r.heightTwips, 1, kMaxTwips))
            .Attr("w:hRule", r.heightRule == HeightRule::kExact ? "exact" : "atLeast")
            .Close();
    if (r.header)
        x.Open("w:tblHeader").Close();
    x.Close();
    return out;
}

std::string CellStartXml(const CellFormat& c, int64_t widthTwips)
{
    std::string out = "<w:tc>";
    XmlWriter x(out);
    x.Open("w:tcPr");
    x.Open("w:tcW").Attr("w:w", ClampTwips(widthTwips, 0, kMaxTwips * 2)).Attr("w:type", "dxa").Close();
    if (c.gridSpan > 1)
        x.Open("w:gridSpan").Attr("w:val", int64_t(std::min(c.gridSpan, kMaxGridColumns))).Close();
    if (c.verticalMerge == VerticalMerge::kRestart)
        x.Open("w:vMerge").Attr("w:val", "restart").Close();
    else if (c.verticalMerge == VerticalMerge::kContinue)
        x.Open("w:vMerge").Close();
    if (AnyBorder(c.borders, 4)) {
        x.Open("w:tcBorders");
        for (int i = 0; i < 4; ++i)
            WriteBorder(x, kEdgeNames[i], c.borders[i]);
        x.Close();
    }
    if (c.shadingRgb >= 0)
        x.Open("w:shd")
            .Attr("w:val", "clear")
            .Attr("w:color", "auto")
            .Attr("w:fill", HexColor(c.shadingRgb & 0xFFFFFF))
            .Close();
    if (c.noWrap)
        x.Open("w:noWrap").Close();
    if (c.hasMargins)
        WriteMargins(x, "w:tcMar", c.marginTwips);
    if (c.verticalAlign != CellAlign::kTop)
        x.Open("w:vAlign").Attr("w:val", c.verticalAlign == CellAlign::kCenter ? "center" : "bottom").Close();
    x.Close();  // w:tcPr
    return out;
}

}  // namespace strome
