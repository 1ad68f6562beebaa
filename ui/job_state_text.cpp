#include "job_state_text.h"

#include <stdio.h>
#include <wchar.h>

#include "text_list.h"

double JobPercent(int value, int firstPage, int lastPage)
{
    long long pages = (long long)lastPage - firstPage + 1;
    if (pages <= 0)
        pages = 1;
    return (double)value / (double)pages * 100.0;
}

namespace {

// True when format has exactly one conversion, of the form %[flags][width][.precision]f,
// and otherwise only "%%".
bool IsSinglePercentFormat(const wchar_t* format)
{
    int conversions = 0;
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%')
            continue;
        while (*p == L'-' || *p == L'+' || *p == L' ' || *p == L'0' || *p == L'#')
            ++p;
        while (*p >= L'0' && *p <= L'9')
            ++p;
        if (*p == L'.') {
            ++p;
            while (*p >= L'0' && *p <= L'9')
                ++p;
        }
        if (*p != L'f')
            return false;
        ++conversions;
    }
    return conversions == 1;
}

}  // namespace

int FormatJobState(const wchar_t* stateLines, int stage, double percent, wchar_t* text, int capacity)
{
    if (!text || capacity <= 0)
        return 0;
    text[0] = 0;
    if (stage < 0 || stage > 2)
        return 0;
    stTextList lines;
    LoadTextList(stateLines, &lines);
    wchar_t line[260];
    if (!GetTextListItem(&lines, stage, line, sizeof(line)))
        return 0;
    if (stage == 2) {
        const int n = swprintf(text, capacity, L"%ls", line);
        return n > 0 ? n : (text[0] = 0, 0);
    }
    if (!IsSinglePercentFormat(line))
        return 0;
    const int n = swprintf(text, capacity, line, percent);
    if (n < 0) {
        text[0] = 0;
        return 0;
    }
    return n;
}
