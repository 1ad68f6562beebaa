#include "section_xml.h"

#include <algorithm>

#include "xml_writer.h"

namespace strome {

int64_t SectionFormat::ColumnWidthTwips() const
{
    const int64_t text = page.textWidthTwips();
    if (columns <= 1)
        return text;
    if (!columnWidthsTwips.empty())
        return *std::min_element(columnWidthsTwips.begin(), columnWidthsTwips.end());
    return std::max<int64_t>(0, (text - columnSpaceTwips * (columns - 1)) / columns);
}

namespace {

constexpr int64_t kMinPageTwips = 720, kMaxPageTwips = 31680, kMinTextTwips = 360;

bool In(int64_t v, int64_t lo, int64_t hi)
{
    return v >= lo && v <= hi;
}

}  // namespace

bool SectionFormat::Usable() const
{
    const PageLayout& p = page;
    if (!In(p.widthTwips, kMinPageTwips, kMaxPageTwips) || !In(p.heightTwips, kMinPageTwips, kMaxPageTwips))
        return false;
    for (int64_t m : {p.topTwips, p.bottomTwips, p.leftTwips, p.rightTwips, p.headerTwips, p.footerTwips})
        if (!In(m, 0, kMaxPageTwips))
            return false;
    if (p.textWidthTwips() < kMinTextTwips || p.textHeightTwips() < kMinTextTwips)
        return false;
    if (!In(columns, 1, kMaxColumns) || !In(columnSpaceTwips, 0, kMaxPageTwips))
        return false;
    if (columnWidthsTwips.empty() && columnGapsTwips.empty())
        return true;
    if (columnWidthsTwips.size() != size_t(columns) || columnGapsTwips.size() != size_t(columns))
        return false;
    int64_t total = 0;
    for (int i = 0; i < columns; ++i) {
        if (!In(columnWidthsTwips[size_t(i)], 1, kMaxPageTwips) || !In(columnGapsTwips[size_t(i)], 0, kMaxPageTwips))
            return false;
        total += columnWidthsTwips[size_t(i)] + (i + 1 < columns ? columnGapsTwips[size_t(i)] : 0);
    }
    return total <= p.widthTwips;
}

std::string SectionPropertiesXml(const SectionFormat& s)
{
    static const char* const kReferenceType[kHeaderFooterKinds] = {"default", "first", "default", "first"};
    std::string out;
    XmlWriter x(out);
    x.Open("w:sectPr");
    bool firstPageOwn = false;
    for (int i = 0; i < kHeaderFooterKinds; ++i) {
        if (s.headerFooterRelIds[i].empty())
            continue;
        const bool header = i == int(HeaderFooterKind::kHeaderDefault) || i == int(HeaderFooterKind::kHeaderFirst);
        x.Open(header ? "w:headerReference" : "w:footerReference")
            .Attr("w:type", kReferenceType[i])
            .Attr("r:id", s.headerFooterRelIds[i])
            .Close();
        firstPageOwn =
            firstPageOwn || i == int(HeaderFooterKind::kHeaderFirst) || i == int(HeaderFooterKind::kFooterFirst);
    }
    switch (s.start) {
    case SectionStart::kContinuous:
        x.Open("w:type").Attr("w:val", "continuous").Close();
        break;
    case SectionStart::kEvenPage:
        x.Open("w:type").Attr("w:val", "evenPage").Close();
        break;
    case SectionStart::kOddPage:
        x.Open("w:type").Attr("w:val", "oddPage").Close();
        break;
    default:
        break;  // a new page, Word's default
    }
    const PageLayout& page = s.page;
    x.Open("w:pgSz").Attr("w:w", page.widthTwips).Attr("w:h", page.heightTwips);
    if (page.widthTwips > page.heightTwips)
        x.Attr("w:orient", "landscape");
    x.Close();
    x.Open("w:pgMar")
        .Attr("w:top", page.topTwips)
        .Attr("w:right", page.rightTwips)
        .Attr("w:bottom", page.bottomTwips)
        .Attr("w:left", page.leftTwips)
        .Attr("w:header", page.headerTwips)
        .Attr("w:footer", page.footerTwips)
        .Attr("w:gutter", int64_t(0))
        .Close();
    x.Open("w:cols");
    if (s.columns > 1)
        x.Attr("w:num", int64_t(s.columns));
    if (s.lineBetween && s.columns > 1)
        x.Attr("w:sep", "1");
    x.Attr("w:space", s.columnSpaceTwips);
    const size_t given = std::min(s.columnWidthsTwips.size(), s.columnGapsTwips.size());
    if (s.columns > 1 && given == size_t(s.columns)) {
        x.Attr("w:equalWidth", "0");
        for (size_t i = 0; i < given; ++i) {
            x.Open("w:col").Attr("w:w", s.columnWidthsTwips[i]);
            if (i + 1 < given)
                x.Attr("w:space", s.columnGapsTwips[i]);
            x.Close();
        }
    }
    x.Close();  // w:cols
    if (firstPageOwn)
        x.Open("w:titlePg").Close();
    x.Close();
    return out;
}

}  // namespace strome
