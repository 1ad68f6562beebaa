#include "hyphenation.h"

#include <algorithm>
#include <numeric>

#include "line_builder.h"

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
        LineModel& lower = lines[order[k + 1]];
        RunModel* end = LastTextRun(upper);
        RunModel* start = FirstTextRun(lower);
        size_t hyphen = 0;
        if (!end || !start || !HyphenAtEnd(end->text, &hyphen) || !IsLowerLetter(start->text[0]))
            continue;
        // The next line of the same column: below, close, and overlapping horizontally.
        const double height = upper.bottom - upper.top;
        if (lower.top < upper.top + 0.5 * height || lower.top > upper.bottom + 1.5 * height ||
            lower.left >= upper.right || lower.right <= upper.left)
            continue;
        if (HasCjk(upper) || HasCjk(lower))
            continue;
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
        if (start->text.empty())
            emptied = true;
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
