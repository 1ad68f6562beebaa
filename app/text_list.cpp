#include "text_list.h"

#include <string.h>

namespace {

// Finds item n of a separator-delimited text of at most capacity characters (the text may
// lack its terminating zero when a caller filled the record by hand).
template <typename Char> bool FindItem(const Char* text, int capacity, Char separator, int n, int* start, int* length)
{
    if (n < 0)
        return false;
    int itemStart = 0;
    int index = 0;
    for (int i = 0; i < capacity && text[i]; ++i) {
        if (text[i] != separator)
            continue;
        if (index == n) {
            *start = itemStart;
            *length = i - itemStart;
            return true;
        }
        ++index;
        itemStart = i + 1;
    }
    return false;
}

template <typename Char> int LoadList(const Char* source, Char* text, int capacity, Char separator)
{
    memset(text, 0, capacity * sizeof(Char));
    int length = 0;
    if (source)
        while (length < capacity - 1 && source[length]) {
            text[length] = source[length];
            ++length;
        }
    int count = 0;
    for (int i = 0; i < length; ++i)
        if (text[i] == separator)
            ++count;
    return count;
}

}  // namespace

int LoadTextList(const wchar_t* source, stTextList* list)
{
    if (!list)
        return 0;
    list->separator = L'\n';
    list->count = LoadList(source, list->text, kTextListChars, list->separator);
    return list->count;
}

int GetTextListItem(const stTextList* list, int n, wchar_t* item, int itemBytes)
{
    if (!item || itemBytes < (int)sizeof(wchar_t))
        return 0;
    memset(item, 0, (size_t)itemBytes);
    if (!list)
        return 0;
    int start = 0, length = 0;
    if (!FindItem(list->text, kTextListChars, L'\n', n, &start, &length))
        return 0;
    if (length > itemBytes / (int)sizeof(wchar_t) - 1)
        return 0;
    memcpy(item, list->text + start, (size_t)length * sizeof(wchar_t));
    return 1;
}

int LoadCharList(const char* source, stCharList* list)
{
    if (!list)
        return 0;
    list->separator = '*';
    list->count = LoadList(source, list->text, kCharListChars, list->separator);
    return list->count;
}

int GetCharListItem(const stCharList* list, int n, char* item)
{
    if (!item)
        return 0;
    memset(item, 0, kCharListItemBytes);
    if (!list)
        return 0;
    int start = 0, length = 0;
    if (!FindItem(list->text, kCharListChars, '*', n, &start, &length))
        return 0;
    if (length > kCharListItemMaxChars)
        return 0;
    memcpy(item, list->text + start, (size_t)length);
    return 1;
}
