#include "halvane/layout/hyphenation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "halvane/layout/line_builder.h"

namespace halvane {

namespace {

bool IsHyphen(char16_t c)
{
    return c == u'-' || c == 0x00AD || c == 0x2010;
}

bool IsLowerLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9) ||
           (c >= 0x430 && c <= 0x45F);
}

bool IsLetter(char16_t c)
{
    return IsLowerLetter(c) || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) ||
           (c >= 0x391 && c <= 0x3A9) || (c >= 0x400 && c <= 0x42F);
}

bool HasCjk(const LineModel& line)
{
    for (const RunModel& r : line.runs)
        for (char16_t c : r.text)
            if (IsCjkChar(c) || (c >= 0xD800 && c <= 0xDBFF))
                return true;
    return false;
}

RunModel* LastTextRun(LineModel& line)
{
    RunModel* last = nullptr;
    for (RunModel& r : line.runs)
        if (!r.isImage && !r.text.empty() && (!last || r.left >= last->left))
            last = &r;
    return last;
}

RunModel* FirstTextRun(LineModel& line)
{
    RunModel* first = nullptr;
    for (RunModel& r : line.runs)
        if (!r.isImage && !r.text.empty() && (!first || r.left < first->left))
            first = &r;
    return first;
}

// The leftmost text run of a line that lies under [left, right): the start of that line's part
// of a column or of a table cell.
RunModel* FirstTextRunUnder(LineModel& line, double left, double right)
{
    RunModel* first = nullptr;
    for (RunModel& r : line.runs)
        if (!r.isImage && !r.text.empty() && r.left < right && r.right > left && (!first || r.left < first->left))
            first = &r;
    return first;
}

// Whether start, in the line below a run that ends inside its line, continues that run's cell:
// the run is not followed by leader dots, start is aligned with it on the left or on the centre
// (cells of a table are set flush or centred), within
// the cell's column (under none of the other cells of the upper line), and with nothing of the
// line below between the cell's start and it.
bool StartsCellOf(const LineModel& upper, const RunModel& end, const LineModel& lower, const RunModel& start,
                  double height)
{
    const double tolerance = 0.5 * height;
    const bool flush = std::fabs(start.left - end.left) <= tolerance;
    const bool centred = std::fabs((start.left + start.right) - (end.left + end.right)) <= 2 * tolerance;
    if (!flush && !centred)
        return false;
    // Leader dots after the run end an entry of a contents list or an index on this line: its
    // hyphen is part of the name.
    const RunModel* next = nullptr;
    for (const RunModel& r : upper.runs)
        if (&r != &end && !r.isImage && !r.text.empty() && r.left >= end.right - tolerance &&
            (!next || r.left < next->left))
            next = &r;
    if (next && (next->text[0] == u'.' || next->text[0] == 0x2026))
        return false;
    for (const RunModel& r : upper.runs)
        if (&r != &end && !r.isImage && !r.text.empty() && r.left < start.right - tolerance &&
            r.right > start.left + tolerance)
            return false;
    for (const RunModel& r : lower.runs)
        if (&r != &start && !r.isImage && !r.text.empty() && r.left < start.left && r.right > end.left + tolerance)
            return false;
    return true;
}

// The hyphen's position when the run ends in a letter, a hyphen and white space at most.
bool HyphenAtEnd(const std::u16string& text, size_t* hyphen)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    if (end < 3 || !IsHyphen(text[end - 1]) || !IsLetter(text[end - 2]))
        return false;
    *hyphen = end - 1;
    return true;
}

}  // namespace

namespace {

// Moves the first word of start up behind the hyphen of end. Returns whether start is now empty.
bool MoveWordUp(RunModel* end, size_t hyphen, RunModel* start)
{
    size_t wordEnd = 0;
    while (wordEnd < start->text.size() && start->text[wordEnd] != u' ')
        ++wordEnd;
    size_t restStart = wordEnd;
    while (restStart < start->text.size() && start->text[restStart] == u' ')
        ++restStart;
    end->text.erase(hyphen);
    end->text.append(start->text, 0, wordEnd);
    end->text.push_back(u' ');
    // What is left of the run starts further right, in proportion to the characters moved.
    const double share = static_cast<double>(restStart) / static_cast<double>(start->text.size());
    start->left += share * (start->right - start->left);
    start->text.erase(0, restStart);
    return start->text.empty();
}

}  // namespace

void JoinHyphenatedWords(std::vector<LineModel>& lines)
{
    if (lines.size() < 2)
        return;
    std::vector<size_t> order(lines.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return lines[a].top < lines[b].top; });
    bool emptied = false;
    for (size_t k = 0; k + 1 < order.size(); ++k) {
        LineModel& upper = lines[order[k]];
        if (HasCjk(upper))
            continue;
        const double height = upper.bottom - upper.top;
        RunModel* last = LastTextRun(upper);
        // Any run may end a line of its own column: a table row holds one run per cell, and a
        // cell's text wraps inside the cell.
        for (RunModel& end : upper.runs) {
            size_t hyphen = 0;
            if (end.isImage || !HyphenAtEnd(end.text, &hyphen))
                continue;
            const bool endsLine = &end == last;
            // The next line of the same column or cell: the first line below, and close, with
            // text under this one. Lines of other cells of the row may come in between.
            for (size_t j = k + 1; j < order.size(); ++j) {
                LineModel& lower = lines[order[j]];
                if (lower.top > upper.bottom + 1.5 * height)
                    break;
                if (lower.top < upper.top + 0.5 * height)
                    continue;
                RunModel* start = nullptr;
                if (endsLine && lower.left < upper.right && lower.right > upper.left) {
                    start = FirstTextRun(lower);
                    if (start && !IsLowerLetter(start->text[0]))
                        start = nullptr;
                }
                if (!start) {
                    // A word wrapped inside a table cell: the cell's text goes on under the run.
                    start = FirstTextRunUnder(lower, end.left, end.right);
                    if (!start)
                        continue;
                    if (!StartsCellOf(upper, end, lower, *start, height))
                        break;
                }
                if (start && IsLowerLetter(start->text[0]) && !HasCjk(lower) && MoveWordUp(&end, hyphen, start))
                    emptied = true;
                break;
            }
        }
    }
    if (!emptied)
        return;
    for (LineModel& line : lines)
        line.runs.erase(std::remove_if(line.runs.begin(), line.runs.end(),
                                       [](const RunModel& r) { return !r.isImage && r.text.empty(); }),
                        line.runs.end());
    lines.erase(std::remove_if(lines.begin(), lines.end(), [](const LineModel& l) { return l.runs.empty(); }),
                lines.end());
}

}  // namespace halvane
