#include "run_xml.h"

#include <algorithm>

#include "xml_text.h"
#include "xml_writer.h"

namespace strome {

namespace {

const char* UnderlineValue(Underline u)
{
    switch (u) {
    case Underline::kSingle:
        return "single";
    case Underline::kDouble:
        return "double";
    case Underline::kThick:
        return "thick";
    case Underline::kDotted:
        return "dotted";
    case Underline::kDashed:
        return "dash";
    case Underline::kWords:
        return "words";
    default:
        return nullptr;
    }
}

}  // namespace

std::string HexColor(int32_t rgb)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string s(6, '0');
    for (int i = 5; i >= 0; --i, rgb >>= 4)
        s[i] = kHex[rgb & 0xF];
    return s;
}

bool HasEastAsian(const std::u16string& text)
{
    bool found = false;
    DecodeUtf16(text.data(), text.size(), [&](uint32_t c) { found = found || morvane::IsCjk(c); });
    return found;
}

std::string RunPropertiesXml(const RunFormat& f, bool eastAsianText)
{
    std::string props;
    XmlWriter x(props);
    const std::string& eastAsia = !f.eastAsiaFamily.empty() ? f.eastAsiaFamily
                                  : f.font.latinOnly        ? std::string()
                                                            : f.font.family;
    if (!f.font.family.empty() || !eastAsia.empty() || eastAsianText) {
        x.Open("w:rFonts");
        if (!f.font.family.empty())
            x.Attr("w:ascii", f.font.family).Attr("w:hAnsi", f.font.family);
        if (!eastAsia.empty())
            x.Attr("w:eastAsia", eastAsia);
        if (!f.font.family.empty())
            x.Attr("w:cs", f.font.family);
        if (eastAsianText)
            x.Attr("w:hint", "eastAsia");
        x.Close();
    }
    if (f.font.bold)
        props += "<w:b/><w:bCs/>";
    if (f.font.italic)
        props += "<w:i/><w:iCs/>";
    if (f.strike)
        props += "<w:strike/>";
    if (f.rgb >= 0)
        props += "<w:color w:val=\"" + HexColor(f.rgb & 0xFFFFFF) + "\"/>";
    if (f.charSpacingTwips != 0)
        x.Open("w:spacing")
            .Attr("w:val", int64_t(std::min(std::max(f.charSpacingTwips, -kMaxCharSpacingTwips), kMaxCharSpacingTwips)))
            .Close();
    if (f.scalePercent > 0 && f.scalePercent != 100)
        x.Open("w:w").Attr("w:val", int64_t(std::min(f.scalePercent, kMaxScalePercent))).Close();
    if (f.halfPoints > 0) {
        std::string size = std::to_string(std::min(std::max(f.halfPoints, kMinHalfPoints), kMaxHalfPoints));
        props += "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/>";
    }
    if (const char* u = UnderlineValue(f.underline))
        x.Open("w:u").Attr("w:val", u).Close();
    if (f.verticalAlign != VerticalAlign::kBaseline)
        x.Open("w:vertAlign")
            .Attr("w:val", f.verticalAlign == VerticalAlign::kSuperscript ? "superscript" : "subscript")
            .Close();
    return props;
}

void AppendRunText(std::string& out, const std::u16string& text)
{
    std::string piece;
    bool firstSpace = false, lastSpace = false, doubleSpace = false, empty = true, afterCr = false;
    auto flush = [&] {
        if (empty)
            return;
        out += (firstSpace || lastSpace || doubleSpace) ? "<w:t xml:space=\"preserve\">" : "<w:t>";
        out += piece;
        out += "</w:t>";
        piece.clear();
        empty = true;
        firstSpace = lastSpace = doubleSpace = false;
    };
    DecodeUtf16(text.data(), text.size(), [&](uint32_t c) {
        bool wasCr = afterCr;
        afterCr = false;
        if (c == '\t') {
            flush();
            out += "<w:tab/>";
            return;
        }
        if (c == '\r' || c == '\n') {
            afterCr = c == '\r';
            if (c == '\n' && wasCr)
                return;
            flush();
            out += "<w:br/>";
            return;
        }
        if (!IsXmlChar(c))
            return;
        bool space = c == ' ';
        if (empty)
            firstSpace = space;
        else if (space && lastSpace)
            doubleSpace = true;
        lastSpace = space;
        empty = false;
        AppendXmlChar(piece, c, XmlSlot::kText);
    });
    flush();
}

}  // namespace strome
