#include "drawing_xml.h"

#include <algorithm>

#include "ooxml_names.h"
#include "../units.h"
#include "xml_writer.h"

namespace strome {

namespace {

int64_t Clamp(int64_t v, int64_t lo, int64_t hi)
{
    return std::min(std::max(v, lo), hi);
}

const char* RelativeFromH(PictureRelativeTo r)
{
    switch (r) {
    case PictureRelativeTo::kPage:
        return "page";
    case PictureRelativeTo::kMargin:
        return "margin";
    default:
        return "column";
    }
}

const char* RelativeFromV(PictureRelativeTo r)
{
    switch (r) {
    case PictureRelativeTo::kPage:
        return "page";
    case PictureRelativeTo::kMargin:
        return "margin";
    default:
        return "paragraph";
    }
}

void WriteGraphic(XmlWriter& x, const PictureDrawing& p, const std::string& name)
{
    const int64_t zero = 0;
    x.Open("wp:docPr").Attr("id", p.id).Attr("name", name).Close();
    x.Open("wp:cNvGraphicFramePr")
        .Open("a:graphicFrameLocks")
        .Attr("xmlns:a", ns::kDrawingMain)
        .Attr("noChangeAspect", "1")
        .Close()
        .Close();
    x.Open("a:graphic").Attr("xmlns:a", ns::kDrawingMain);
    x.Open("a:graphicData").Attr("uri", ns::kPicture);
    x.Open("pic:pic").Attr("xmlns:pic", ns::kPicture);
    x.Open("pic:nvPicPr")
        .Open("pic:cNvPr")
        .Attr("id", p.id)
        .Attr("name", name)
        .Close()
        .Open("pic:cNvPicPr")
        .Close()
        .Close();
    x.Open("pic:blipFill").Open("a:blip").Attr("r:embed", p.relId).Close();
    const int32_t* crop = p.placement.crop;
    if (crop[0] != 0 || crop[1] != 0 || crop[2] != 0 || crop[3] != 0) {
        x.Open("a:srcRect");
        const char* names[4] = {"l", "t", "r", "b"};
        for (int i = 0; i < 4; ++i)
            if (crop[i] != 0)
                x.Attr(names[i], int64_t(Clamp(crop[i], 0, kWholeCrop - 1)));
        x.Close();
    }
    x.Open("a:stretch").Open("a:fillRect").Close().Close().Close();
    x.Open("pic:spPr").Open("a:xfrm");
    x.Open("a:off").Attr("x", zero).Attr("y", zero).Close();
    x.Open("a:ext").Attr("cx", p.widthEmu).Attr("cy", p.heightEmu).Close();
    x.Close();
    x.Open("a:prstGeom").Attr("prst", "rect").Open("a:avLst").Close().Close();
    x.Close();  // pic:spPr
    x.Close().Close().Close();  // pic:pic, a:graphicData, a:graphic
}

}  // namespace

void AppendPictureRun(std::string& out, const PictureDrawing& p)
{
    const int64_t zero = 0;
    const std::string name = "Picture " + std::to_string(p.id);
    XmlWriter x(out);
    x.Open("w:r").Open("w:drawing");
    const PicturePlacement& at = p.placement;
    if (!at.anchored) {
        x.Open("wp:inline").Attr("distT", zero).Attr("distB", zero).Attr("distL", zero).Attr("distR", zero);
        x.Open("wp:extent").Attr("cx", p.widthEmu).Attr("cy", p.heightEmu).Close();
        x.Open("wp:effectExtent").Attr("l", zero).Attr("t", zero).Attr("r", zero).Attr("b", zero).Close();
        WriteGraphic(x, p, name);
        x.Close();  // wp:inline
    } else {
        const int64_t gap = EmuFromTwips(Clamp(at.distanceTwips, 0, 1440));
        const bool behind = at.wrap == PictureWrap::kNoneBehind;
        // Pictures placed later lie above earlier ones, as on the PDF page.
        const int64_t relativeHeight = 251658240 + p.id;
        x.Open("wp:anchor")
            .Attr("distT", gap)
            .Attr("distB", gap)
            .Attr("distL", gap)
            .Attr("distR", gap)
            .Attr("simplePos", "0")
            .Attr("relativeHeight", relativeHeight)
            .Attr("behindDoc", behind ? "1" : "0")
            .Attr("locked", "0")
            .Attr("layoutInCell", "1")
            .Attr("allowOverlap", "1");
        x.Open("wp:simplePos").Attr("x", zero).Attr("y", zero).Close();
        const int64_t x0 = EmuFromTwips(Clamp(at.xTwips, -31680, 31680));
        const int64_t y0 = EmuFromTwips(Clamp(at.yTwips, -31680, 31680));
        x.Open("wp:positionH").Attr("relativeFrom", RelativeFromH(at.horizontalFrom));
        x.Open("wp:posOffset").Text(std::to_string(x0)).Close().Close();
        x.Open("wp:positionV").Attr("relativeFrom", RelativeFromV(at.verticalFrom));
        x.Open("wp:posOffset").Text(std::to_string(y0)).Close().Close();
        x.Open("wp:extent").Attr("cx", p.widthEmu).Attr("cy", p.heightEmu).Close();
        x.Open("wp:effectExtent").Attr("l", zero).Attr("t", zero).Attr("r", zero).Attr("b", zero).Close();
        switch (at.wrap) {
        case PictureWrap::kSquare:
            x.Open("wp:wrapSquare").Attr("wrapText", "bothSides").Close();
            break;
        case PictureWrap::kTopAndBottom:
            x.Open("wp:wrapTopAndBottom").Close();
            break;
        default:
            x.Open("wp:wrapNone").Close();
            break;
        }
        WriteGraphic(x, p, name);
        x.Close();  // wp:anchor
    }
    x.Close().Close();  // w:drawing, w:r
}

}  // namespace strome
