#include "paragraph_xml.h"

#include <algorithm>
#include <cmath>

#include "run_xml.h"
#include "xml_writer.h"

namespace strome {

namespace {

// The classic records' gap is measured between glyph boxes of one em (0.8 em above the
// baseline, 0.2 below); at single spacing a line of common fonts is about 1.15 em tall, so a
// paragraph's first line already takes this much of the gap above it, in twips per half-point.
constexpr double kLineBoxExtraTwipsPerHalfPoint = 0.15 * 10;
// Line spacing below a point is no line; an automatic spacing of more than ten lines is none
// a document means.
constexpr int64_t kMinExactLineTwips = 20;
constexpr int64_t kMaxAutoLine = 2400;

const char* AlignmentValue(Alignment a)
{
    switch (a) {
    case Alignment::kLeft:
        return "left";
    case Alignment::kCenter:
        return "center";
    case Alignment::kRight:
        return "right";
    case Alignment::kJustify:
        return "both";
    default:
        return nullptr;
    }
}

const char* TabValue(TabKind k)
{
    switch (k) {
    case TabKind::kCenter:
        return "center";
    case TabKind::kRight:
        return "right";
    case TabKind::kDecimal:
        return "decimal";
    default:
        return "left";
    }
}

const char* LeaderValue(TabLeader l)
{
    switch (l) {
    case TabLeader::kDot:
        return "dot";
    case TabLeader::kHyphen:
        return "hyphen";
    case TabLeader::kUnderscore:
        return "underscore";
    case TabLeader::kMiddleDot:
        return "middleDot";
    default:
        return nullptr;
    }
}

void WriteIndent(XmlWriter& x, int64_t left, int64_t right, int64_t first)
{
    if (left == 0 && right == 0 && first == 0)
        return;
    x.Open("w:ind");
    if (left != 0)
        x.Attr("w:left", left);
    if (right != 0)
        x.Attr("w:right", right);
    if (first > 0)
        x.Attr("w:firstLine", first);
    else if (first < 0)
        x.Attr("w:hanging", -first);
    x.Close();
}

// The classic records: space before less the first line box's extra, indents inside the line.
std::string ClassicProperties(const ParagraphFormat& f, int64_t lineWidth, int64_t firstLineHalfPoints,
                              bool pageBreakBefore)
{
    std::string out;
    XmlWriter x(out);
    const int64_t maxIndent = std::max<int64_t>(0, lineWidth - kMinLineTwips);
    const int64_t left = ClampTwips(f.leftTwips, 0, std::min(kMaxTwips, maxIndent));
    const int64_t first = ClampTwips(f.firstLineTwips, -kMaxTwips, std::min(kMaxTwips, maxIndent - left));
    const int64_t lineBoxExtra = static_cast<int64_t>(
        std::lround(kLineBoxExtraTwipsPerHalfPoint * ClampTwips(firstLineHalfPoints, 0, kMaxHalfPoints)));
    const int64_t before = ClampTwips(f.spaceBeforeTwips - lineBoxExtra, 0, kMaxTwips);
    if (pageBreakBefore)
        x.Open("w:pageBreakBefore").Close();
    if (before != 0)
        x.Open("w:spacing").Attr("w:before", before).Close();
    WriteIndent(x, left, 0, first);
    if (const char* jc = AlignmentValue(f.alignment))
        x.Open("w:jc").Attr("w:val", jc).Close();
    return out;
}

}  // namespace

int64_t ClampTwips(int64_t v, int64_t lo, int64_t hi)
{
    return std::min(std::max(v, lo), hi);
}

std::string ParagraphPropertiesXml(const ParagraphFormat& f, int64_t lineWidth, int64_t firstLineHalfPoints,
                                   bool pageBreakBefore)
{
    if (f.measuredBetweenGlyphBoxes)
        return ClassicProperties(f, lineWidth, firstLineHalfPoints, pageBreakBefore);
    std::string out;
    XmlWriter x(out);
    if (f.headingLevel >= 1 && f.headingLevel <= kMaxHeadingLevel)
        x.Open("w:pStyle").Attr("w:val", "Heading" + std::to_string(f.headingLevel)).Close();
    if (f.keepNext)
        x.Open("w:keepNext").Close();
    if (f.keepLines)
        x.Open("w:keepLines").Close();
    if (pageBreakBefore || f.pageBreakBefore)
        x.Open("w:pageBreakBefore").Close();
    if (f.widowControl)
        x.Open("w:widowControl").Close();
    if (!f.tabs.empty()) {
        x.Open("w:tabs");
        for (size_t i = 0; i < f.tabs.size() && i < kMaxTabStops; ++i) {
            const TabStop& t = f.tabs[i];
            x.Open("w:tab").Attr("w:val", TabValue(t.kind));
            if (const char* leader = LeaderValue(t.leader))
                x.Attr("w:leader", leader);
            x.Attr("w:pos", ClampTwips(t.positionTwips, -kMaxTwips, kMaxTwips)).Close();
        }
        x.Close();
    }
    const int64_t before = ClampTwips(f.spaceBeforeTwips, 0, kMaxTwips);
    const int64_t after = ClampTwips(f.spaceAfterTwips, 0, kMaxTwips);
    int64_t line = 0;
    if (f.line > 0)
        line = f.lineRule == LineRule::kAuto ? ClampTwips(f.line, 1, kMaxAutoLine)
                                             : ClampTwips(f.line, kMinExactLineTwips, kMaxTwips);
    if (before != 0 || after != 0 || line != 0) {
        x.Open("w:spacing");
        if (before != 0)
            x.Attr("w:before", before);
        if (after != 0)
            x.Attr("w:after", after);
        if (line != 0)
            x.Attr("w:line", line)
                .Attr("w:lineRule", f.lineRule == LineRule::kExact     ? "exact"
                                    : f.lineRule == LineRule::kAtLeast ? "atLeast"
                                                                       : "auto");
        x.Close();
    }
    // Indents may reach into the margins, and still leave a line.
    const int64_t maxIndent = std::max<int64_t>(0, lineWidth - kMinLineTwips);
    const int64_t left = ClampTwips(f.leftTwips, -kMaxTwips, std::min(kMaxTwips, maxIndent));
    const int64_t right = ClampTwips(f.rightTwips, -kMaxTwips,
                                     std::min(kMaxTwips, std::max<int64_t>(0, maxIndent - std::max<int64_t>(0, left))));
    const int64_t first = ClampTwips(f.firstLineTwips, -kMaxTwips,
                                     std::min(kMaxTwips, std::max<int64_t>(0, maxIndent - std::max<int64_t>(0, left) -
                                                                                  std::max<int64_t>(0, right))));
    WriteIndent(x, left, right, first);
    if (f.contextualSpacing)
        x.Open("w:contextualSpacing").Close();
    if (const char* jc = AlignmentValue(f.alignment))
        x.Open("w:jc").Attr("w:val", jc).Close();
    return out;
}

}  // namespace strome
