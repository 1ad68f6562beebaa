#include "halvane/structure/paragraphs.h"

#include <algorithm>
#include <cmath>

#include "halvane/layout/fragment.h"
#include "halvane/structure/layout_text.h"

namespace halvane {

namespace {

// All distances below are in type sizes of the lines concerned.

// Lines of one paragraph have sizes within this share of each other (a heading set larger, a
// footnote set smaller is a paragraph of its own).
constexpr double kSameSizeTolerance = 0.15;
// Baselines further apart than this never belong to one paragraph.
constexpr double kMaxLinePitch = 2.2;
// A pitch more than this factor (plus a tenth of a size) over the paragraph's own pitch, or
// over the stretch's usual pitch, is space between paragraphs.
constexpr double kPitchGrowth = 1.25;
// The pitch assumed when a stretch has no two lines to measure it (single spacing).
constexpr double kDefaultPitch = 1.2;
// Left or right ends within this distance count as aligned.
constexpr double kEdgeTolerance = 1.0;
// Right ends of justified lines agree this closely (CJK punctuation may hang a little).
constexpr double kJustifyTolerance = 0.5;
// A line starting this much further right than the paragraph's lines starts a new paragraph
// (a first-line indent).
constexpr double kIndentStep = 0.8;
// A line ends its paragraph when the first word of the next line would have fitted after it
// with this much room to spare: the writer broke the line on purpose.
constexpr double kWordFitSlack = 0.6;
// A centred line keeps at least this much room on its left.
constexpr double kMinCentreMargin = 2.0;
// Centred lines have their middles this close to the column's middle.
constexpr double kCentreTolerance = 1.5;
// A block narrower than the column by more than this on the right has a right indent of its own.
constexpr double kMinRightIndent = 3.0;
// Contents lines: the page number ends this close to the column's right edge, and a leader
// made only of white space is at least this wide.
constexpr double kContentsRightTolerance = 2.0;
constexpr double kMinSpaceLeader = 3.0;
// A leader has at least this many dots (or dashes, or rule characters).
constexpr size_t kMinLeaderChars = 3;
// A page number has at most this many characters ("xviii", "1234").
constexpr size_t kMaxPageRefChars = 6;

double Size(const LayoutLine& l)
{
    const double s = LineSize(l);
    return s > 0 ? s : std::max(1.0, l.box.Height());
}

bool IsCentred(const LayoutLine& l, const ColumnRange& c)
{
    const double size = Size(l);
    const double middle = 0.5 * (l.box.x0 + l.box.x1), colMiddle = 0.5 * (c.left + c.right);
    return std::fabs(middle - colMiddle) <= kCentreTolerance * size && l.box.x0 - c.left >= kMinCentreMargin * size &&
           c.right - l.box.x1 >= kMinCentreMargin * size;
}

bool IsBulletChar(char16_t c)
{
    static const char16_t kBullets[] = u"\u2022\u25E6\u25AA\u25AB\u2023\u2043\u25CF\u25CB\u25A0\u25A1\u25C6\u25C7"
                                       u"\u25BA\u25B6\u27A2\u27A4\u2713\u2714\u2756\u00B7\u30FB\u2219\u25B8\u25B9"
                                       u"\uF0B7\uF0A7\uF0D8\uF076";
    for (const char16_t* p = kBullets; *p; ++p)
        if (*p == c)
            return true;
    return false;
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsRomanChar(char16_t c)
{
    return c == u'i' || c == u'v' || c == u'x' || c == u'l' || c == u'c' || c == u'I' || c == u'V' || c == u'X' ||
           c == u'L' || c == u'C';
}

bool IsCjkNumeral(char16_t c)
{
    return std::u16string(u"一二三四五六七八九十百零〇").find(c) != std::u16string::npos;
}

bool IsLeaderChar(char16_t c, int* kind)
{
    if (c == u'.' || c == 0x00B7 || c == 0x2026 || c == 0x2025 || c == 0xFF0E || c == 0x30FB || c == 0x2219) {
        *kind = PDF_LEADER_DOTS;
        return true;
    }
    if (c == u'-' || c == 0x2013 || c == 0x2014 || c == 0x2212) {
        *kind = PDF_LEADER_DASHES;
        return true;
    }
    if (c == u'_' || c == 0x2500) {
        *kind = PDF_LEADER_LINE;
        return true;
    }
    return false;
}

// Digits, or lower-case roman numerals, short enough for a page number.
bool IsPageNumber(const std::u16string& s)
{
    if (s.empty() || s.size() > kMaxPageRefChars)
        return false;
    return std::all_of(s.begin(), s.end(), IsDigit) || std::all_of(s.begin(), s.end(), [](char16_t c) {
               return c == u'i' || c == u'v' || c == u'x' || c == u'l' || c == u'c';
           });
}

struct Group {
    std::vector<LayoutLine> lines;
    bool item = false;  // starts with a list label
    double textLeft = 0;  // items: where the text after the label starts
    bool contents = false;  // a contents line
};

// Where the text after a label of `length` code units starts on the line.
double TextLeftAfter(const LayoutLine& line, size_t length)
{
    size_t seen = 0;
    for (const LayoutRun& r : line.runs) {
        if (seen + r.text.size() <= length) {
            seen += r.text.size();
            continue;
        }
        size_t k = length - seen;
        while (k < r.text.size() && IsSpaceChar(r.text[k]))
            ++k;
        if (k == r.text.size()) {
            seen += r.text.size();
            length = seen;
            continue;
        }
        if (k == 0)
            return r.box.x0;
        return r.box.x0 + r.box.Width() * static_cast<double>(k) / static_cast<double>(r.text.size());
    }
    return line.box.x0;
}

bool LooksLikeContentsLine(const LayoutLine& line, const ColumnRange& column)
{
    LayoutBlock probe;
    probe.lines.push_back(line);
    return SplitContentsLine(&probe, column);
}

}  // namespace

// Leaves only the title, the text before leaderStart, in the contents line's runs.
bool CutContentsTitle(LayoutBlock* block, int leader, size_t leaderStart, const std::u16string& number);

size_t ListLabelLength(const std::u16string& text, int* kind)
{
    size_t i = 0;
    while (i < text.size() && IsSpaceChar(text[i]))
        ++i;
    if (i >= text.size())
        return 0;
    const size_t start = i;
    auto followedBySpace = [&](size_t at) { return at < text.size() && IsSpaceChar(text[at]); };
    const char16_t c = text[i];
    // Symbols that only ever serve as bullets need no space after them.
    if (IsBulletChar(c)) {
        *kind = PDF_LIST_BULLET;
        return i + 1;
    }
    if ((c == u'-' || c == u'*' || c == 0x2013 || c == 0x2014) && followedBySpace(i + 1)) {
        *kind = PDF_LIST_BULLET;
        return i + 1;
    }
    // Circled numbers.
    if (c >= 0x2460 && c <= 0x2473) {
        *kind = PDF_LIST_NUMBER;
        return i + 1;
    }
    // "(1)", "(a)", "(iv)", "（一）".
    if (c == u'(' || c == 0xFF08) {
        size_t j = i + 1;
        while (
            j < text.size() && j - i <= 5 &&
            (IsDigit(text[j]) || IsRomanChar(text[j]) || IsCjkNumeral(text[j]) || (text[j] >= u'a' && text[j] <= u'z')))
            ++j;
        if (j > i + 1 && j < text.size() && (text[j] == u')' || text[j] == 0xFF09)) {
            *kind = PDF_LIST_NUMBER;
            return j + 1;
        }
        return 0;
    }
    // "一、", "三．"
    if (IsCjkNumeral(c)) {
        size_t j = i;
        while (j < text.size() && j - i < 3 && IsCjkNumeral(text[j]))
            ++j;
        if (j < text.size() && (text[j] == 0x3001 || text[j] == 0xFF0E)) {
            *kind = PDF_LIST_NUMBER;
            return j + 1;
        }
        return 0;
    }
    // "1.", "12)", "1.2.3", "a.", "b)", "iv."
    size_t j = i;
    if (IsDigit(c)) {
        while (j < text.size() && j - start < 8 &&
               (IsDigit(text[j]) || (text[j] == u'.' && j + 1 < text.size() && IsDigit(text[j + 1]))))
            ++j;
        if (j - start > 6)
            return 0;
    } else if (IsRomanChar(c)) {
        while (j < text.size() && j - start < 5 && IsRomanChar(text[j]))
            ++j;
    } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
        j = i + 1;
    } else {
        return 0;
    }
    if (j < text.size() && (text[j] == u'.' || text[j] == u')') && followedBySpace(j + 1)) {
        *kind = PDF_LIST_NUMBER;
        return j + 1;
    }
    // Multi-level numbers stand without a closing dot ("2.1 Scope").
    if (IsDigit(c) && j > i + 1 && followedBySpace(j) && text.substr(i, j - i).find(u'.') != std::u16string::npos) {
        *kind = PDF_LIST_NUMBER;
        return j;
    }
    return 0;
}

bool SplitContentsLine(LayoutBlock* block, const ColumnRange& column)
{
    if (block->lines.size() != 1)
        return false;
    LayoutLine& line = block->lines[0];
    const std::u16string text = LineText(line);
    const double size = Size(line);
    if (column.right - line.box.x1 > kContentsRightTolerance * size)
        return false;
    // A page number set apart at the column's edge with only white space before it.
    if (line.runs.size() >= 2) {
        const LayoutRun& last = line.runs.back();
        const LayoutRun& before = line.runs[line.runs.size() - 2];
        const std::u16string number = Trimmed(last.text);
        if (IsPageNumber(number) && last.box.x0 - before.box.x1 >= kMinSpaceLeader * size) {
            int kind = PDF_LEADER_NONE;
            const std::u16string rest = Trimmed(before.text);
            const bool dotted = !rest.empty() && IsLeaderChar(rest.back(), &kind);
            if (!dotted && HasWordChar(text.substr(0, text.size() - last.text.size())))
                return CutContentsTitle(block, PDF_LEADER_SPACE, text.size() - last.text.size(), number);
        }
    }
    size_t end = text.size();
    while (end > 0 && IsSpaceChar(text[end - 1]))
        --end;
    size_t numStart = end;
    while (numStart > 0 && end - numStart < kMaxPageRefChars &&
           (IsDigit(text[numStart - 1]) || IsRomanChar(text[numStart - 1])))
        --numStart;
    int before = PDF_LEADER_NONE;
    // The number stands apart from the word before it ("Windows10" ends in no page number).
    if (numStart == end || numStart == 0 ||
        (!IsSpaceChar(text[numStart - 1]) && !IsLeaderChar(text[numStart - 1], &before)))
        return false;
    const std::u16string number = text.substr(numStart, end - numStart);
    if (!IsPageNumber(number))
        return false;
    // The leader: leader characters and spaces before the number.
    size_t leaderStart = numStart;
    size_t leaderChars = 0;
    int leader = PDF_LEADER_NONE;
    while (leaderStart > 0) {
        int kind = PDF_LEADER_NONE;
        const char16_t c = text[leaderStart - 1];
        if (IsLeaderChar(c, &kind)) {
            if (leader == PDF_LEADER_NONE)
                leader = kind;
            ++leaderChars;
        } else if (!IsSpaceChar(c)) {
            break;
        }
        --leaderStart;
    }
    if (leaderChars < kMinLeaderChars)
        return false;
    const std::u16string title = Trimmed(text.substr(0, leaderStart));
    if (!HasWordChar(title))
        return false;
    // Keep the title's runs only, cut where the leader starts.
    return CutContentsTitle(block, leader, leaderStart, number);
}

bool CutContentsTitle(LayoutBlock* block, int leader, size_t leaderStart, const std::u16string& number)
{
    LayoutLine& line = block->lines[0];
    std::vector<LayoutRun> runs;
    size_t seen = 0;
    for (LayoutRun& r : line.runs) {
        if (seen >= leaderStart)
            break;
        const size_t keep = std::min(r.text.size(), leaderStart - seen);
        seen += r.text.size();
        if (keep < r.text.size()) {
            const double perChar = r.box.Width() / static_cast<double>(std::max<size_t>(1, r.text.size()));
            r.box.x1 = r.box.x0 + perChar * static_cast<double>(keep);
            r.text.resize(keep);
        }
        while (!r.text.empty() && IsSpaceChar(r.text.back()))
            r.text.pop_back();
        if (!r.text.empty())
            runs.push_back(std::move(r));
    }
    if (runs.empty())
        return false;
    block->kind = PDF_BLOCK_CONTENTS;
    block->leader = leader;
    block->pageRef = number;
    block->pageRefRight = line.box.x1;
    line.runs = std::move(runs);
    line.box.x1 = line.runs.back().box.x1;
    return true;
}

void MeasureParagraph(LayoutBlock* b, const ColumnRange& column)
{
    if (b->lines.empty())
        return;
    const std::vector<LayoutLine>& lines = b->lines;
    const size_t n = lines.size();
    const double size = std::max(1.0, b->MainSize());
    b->box = Box::None();
    for (const LayoutLine& l : lines)
        b->box.Add(l.box);
    double maxRight = lines[0].box.x1, minLeft = lines[0].box.x0;
    for (const LayoutLine& l : lines) {
        maxRight = std::max(maxRight, l.box.x1);
        minLeft = std::min(minLeft, l.box.x0);
    }
    const bool allCentred =
        std::all_of(lines.begin(), lines.end(), [&](const LayoutLine& l) { return IsCentred(l, column); });
    // Lines after the first one start where the paragraph's left indent is.
    double otherLeft = n >= 2 ? lines[1].box.x0 : lines[0].box.x0;
    for (size_t i = 1; i < n; ++i)
        otherLeft = std::min(otherLeft, lines[i].box.x0);
    b->align = PDF_ALIGN_LEFT;
    if (allCentred && (n == 1 || std::fabs(lines[0].box.x0 - otherLeft) > kEdgeTolerance * size ||
                       std::fabs(lines[0].box.x1 - lines[n - 1].box.x1) > kEdgeTolerance * size)) {
        b->align = PDF_ALIGN_CENTER;
    } else if (n >= 2) {
        double bodyMin = lines[0].box.x1, bodyMax = lines[0].box.x1;
        for (size_t i = 0; i + 1 < n; ++i) {
            bodyMin = std::min(bodyMin, lines[i].box.x1);
            bodyMax = std::max(bodyMax, lines[i].box.x1);
        }
        const bool rightsFlush = bodyMax - bodyMin <= kJustifyTolerance * size;
        const bool reachesColumn = column.right - bodyMax <= kEdgeTolerance * size;
        double leftMin = minLeft, leftMax = minLeft;
        for (const LayoutLine& l : lines)
            leftMax = std::max(leftMax, l.box.x0);
        const bool leftsVary = leftMax - leftMin > kEdgeTolerance * size;
        const bool allRightsFlush =
            std::max(bodyMax, lines[n - 1].box.x1) - std::min(bodyMin, lines[n - 1].box.x1) <= kJustifyTolerance * size;
        if (leftsVary && allRightsFlush && minLeft - column.left > kMinCentreMargin * size)
            b->align = PDF_ALIGN_RIGHT;
        else if (rightsFlush && (n >= 3 || reachesColumn))
            b->align = PDF_ALIGN_JUSTIFY;
    } else if (column.right - lines[0].box.x1 <= kEdgeTolerance * size &&
               lines[0].box.x0 - column.left > 0.25 * (column.right - column.left)) {
        b->align = PDF_ALIGN_RIGHT;
    }
    b->leftIndent = b->rightIndent = b->firstLineIndent = 0;
    switch (b->align) {
    case PDF_ALIGN_CENTER:
        break;
    case PDF_ALIGN_RIGHT:
        b->rightIndent = std::max(0.0, column.right - maxRight);
        break;
    default:
        b->leftIndent = std::max(0.0, otherLeft - column.left);
        b->firstLineIndent = lines[0].box.x0 - otherLeft;
        if (b->listKind != PDF_LIST_NONE) {
            // The label hangs left of the text; continuation lines start where the text does.
            b->leftIndent = std::max(0.0, b->textLeft - column.left);
            b->firstLineIndent = b->labelLeft - b->textLeft;
        }
        if (b->align == PDF_ALIGN_JUSTIFY || (n >= 2 && column.right - maxRight > kMinRightIndent * size))
            b->rightIndent = std::max(0.0, column.right - maxRight);
        break;
    }
    std::vector<double> pitches;
    for (size_t i = 1; i < n; ++i)
        pitches.push_back(lines[i].baseline - lines[i - 1].baseline);
    b->lineSpacing = pitches.empty() ? 0 : std::max(0.0, Median(pitches));
}

void BuildParagraphs(std::vector<LayoutLine> lines, const ColumnRange& column, std::vector<LayoutBlock>* out,
                     bool shortLinesEnd)
{
    if (lines.empty())
        return;
    // The stretch's usual pitch between lines of one size.
    std::vector<double> pitches;
    for (size_t i = 1; i < lines.size(); ++i) {
        const double sa = Size(lines[i - 1]), sb = Size(lines[i]);
        const double pitch = lines[i].baseline - lines[i - 1].baseline;
        if (std::fabs(sa - sb) <= kSameSizeTolerance * std::max(sa, sb) && pitch > 0 && pitch <= kMaxLinePitch * sa)
            pitches.push_back(pitch / sa);
    }
    const double usualPitch = pitches.empty() ? kDefaultPitch : Median(pitches);

    std::vector<Group> groups;
    std::vector<char> contents(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        contents[i] = LooksLikeContentsLine(lines[i], column);
    for (size_t i = 0; i < lines.size(); ++i) {
        LayoutLine& b = lines[i];
        int kind = PDF_LIST_NONE;
        const std::u16string text = LineText(b);
        size_t label = ListLabelLength(text, &kind);
        if (label > 0 && !HasWordChar(text.substr(label)))
            label = 0;  // a dash alone in a cell is its content, not a label
        bool join = !groups.empty() && !groups.back().contents && !contents[i];
        if (join) {
            Group& g = groups.back();
            const LayoutLine& a = g.lines.back();
            const double sa = Size(a), sb = Size(b);
            const double size = std::max(sa, sb);
            const double pitch = b.baseline - a.baseline;
            const double ownPitch =
                g.lines.size() >= 2 ? (a.baseline - g.lines.front().baseline) / static_cast<double>(g.lines.size() - 1)
                                    : usualPitch * sa;
            const bool bothCentred = IsCentred(a, column) && IsCentred(b, column);
            const double rightEdge = std::max(column.right, a.box.x1);
            const bool aBrokenOnPurpose = rightEdge - a.box.x1 > FirstWordWidth(b) + kWordFitSlack * size;
            const bool aEndsSentenceShort = shortLinesEnd && aBrokenOnPurpose && !bothCentred;
            const bool styleChange = LineIsBold(a) != LineIsBold(b);
            bool indentFits;
            if (g.lines.size() == 1) {
                if (g.item)
                    indentFits = std::fabs(b.box.x0 - g.textLeft) <= kEdgeTolerance * size ||
                                 std::fabs(b.box.x0 - a.box.x0) <= kEdgeTolerance * size;
                else
                    indentFits = b.box.x0 <= a.box.x0 + kIndentStep * size;
            } else {
                indentFits = std::fabs(b.box.x0 - g.lines[1].box.x0) <= kEdgeTolerance * size;
            }
            const bool itemStarts = label > 0 && (kind == PDF_LIST_BULLET || aBrokenOnPurpose || g.item);
            join = std::fabs(sa - sb) <= kSameSizeTolerance * size && pitch > 0 && pitch <= kMaxLinePitch * size &&
                   pitch <= kPitchGrowth * ownPitch + 0.1 * size && !aEndsSentenceShort && !styleChange &&
                   (indentFits || bothCentred) && !itemStarts;
            if (join && bothCentred && aBrokenOnPurpose)
                g.lines.back().flags |= PDF_LINE_BREAK_AFTER;
        }
        if (!join) {
            groups.emplace_back();
            Group& g = groups.back();
            g.contents = contents[i];
            if (label > 0 && !g.contents) {
                g.item = true;
                g.textLeft = TextLeftAfter(b, label);
            }
        }
        groups.back().lines.push_back(std::move(b));
    }
    for (Group& g : groups) {
        LayoutBlock block;
        block.lines = std::move(g.lines);
        if (g.contents && SplitContentsLine(&block, column)) {
            // kind and leader set
        } else if (g.item) {
            int kind = PDF_LIST_NONE;
            const std::u16string text = LineText(block.lines[0]);
            const size_t label = ListLabelLength(text, &kind);
            block.kind = PDF_BLOCK_LIST_ITEM;
            block.listKind = kind;
            block.label = Trimmed(text.substr(0, label));
            block.labelLeft = block.lines[0].box.x0;
            block.textLeft = g.textLeft;
            // The label leaves the lines: cut it from the first runs.
            size_t drop = label;
            LayoutLine& first = block.lines[0];
            for (LayoutRun& r : first.runs) {
                if (drop == 0)
                    break;
                const size_t k = std::min(drop, r.text.size());
                size_t cut = k;
                while (cut < r.text.size() && IsSpaceChar(r.text[cut]))
                    ++cut;
                if (cut == k && k == r.text.size()) {
                    r.text.clear();
                } else {
                    const double perChar = r.box.Width() / static_cast<double>(std::max<size_t>(1, r.text.size()));
                    r.box.x0 += perChar * static_cast<double>(cut);
                    r.text.erase(0, cut);
                }
                drop -= k;
            }
            first.runs.erase(
                std::remove_if(first.runs.begin(), first.runs.end(), [](const LayoutRun& r) { return r.text.empty(); }),
                first.runs.end());
            if (!first.runs.empty())
                first.box.x0 = first.runs.front().box.x0;
        }
        MeasureParagraph(&block, column);
        out->push_back(std::move(block));
    }
}

}  // namespace halvane
