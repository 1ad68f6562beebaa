#include "tag_value.h"

#include <string.h>

#include "text_list.h"

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Position of needle in text[from, length), ignoring ASCII case; -1 when absent.
int FindNoCase(const char* text, int length, int from, const char* needle)
{
    const int needleLength = (int)strlen(needle);
    for (int at = from; at + needleLength <= length; ++at) {
        int i = 0;
        while (i < needleLength && AsciiLower(text[at + i]) == AsciiLower(needle[i]))
            ++i;
        if (i == needleLength)
            return at;
    }
    return -1;
}

// Finds the pieces of pattern in turn from position from. On success gives where the first
// piece begins and where the last one ends.
bool FindPattern(const char* pattern, const char* text, int length, int from, int* firstStart, int* lastEnd)
{
    stCharList pieces;
    const int count = LoadCharList(pattern, &pieces);
    if (count <= 0)
        return false;
    int at = from;
    for (int n = 0; n < count; ++n) {
        char piece[kCharListItemBytes];
        if (!GetCharListItem(&pieces, n, piece))
            return false;
        const int found = FindNoCase(text, length, at, piece);
        if (found < 0)
            return false;
        if (n == 0)
            *firstStart = found;
        at = found + (int)strlen(piece);
    }
    *lastEnd = at;
    return true;
}

}  // namespace

int FindTagValue(const char* beginPattern, const char* endPattern, const char* response, int responseLength,
                 char* target, int capacity)
{
    if (!beginPattern || !endPattern || !response || responseLength <= 0 || !target || capacity <= 0)
        return 0;
    int ignored = 0, valueStart = 0, valueEnd = 0;
    if (!FindPattern(beginPattern, response, responseLength, 0, &ignored, &valueStart))
        return 0;
    if (!FindPattern(endPattern, response, responseLength, valueStart, &valueEnd, &ignored))
        return 0;
    const int length = valueEnd - valueStart;
    if (length <= 0 || length >= capacity)
        return 0;
    memset(target, 0, capacity);
    memcpy(target, response + valueStart, length);
    return length;
}
