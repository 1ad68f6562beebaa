// Separator-delimited text lists. The wide list splits the multi-line texts of the text
// table (items end with a line feed); the 8-bit list splits the '*'-separated search
// patterns of the version check. An item is the text before its separator, so the text
// "a\nb\n" holds the items a and b, and text after the last separator is not an item.
#ifndef MORVANE_APP_TEXT_LIST_H
#define MORVANE_APP_TEXT_LIST_H

const int kTextListChars = 1024;
const int kCharListChars = 2048;
const int kCharListItemBytes = 1024;  // the item buffer of GetCharListItem
const int kCharListItemMaxChars = 511;

struct stTextList {
    wchar_t text[kTextListChars];  // zero-terminated
    wchar_t separator;  // always line feed
    int count;  // number of separators in text
};

struct stCharList {
    char text[kCharListChars];  // zero-terminated
    char separator;  // always '*'
    int count;  // number of '*' in text
};

// Copies source (at most 1023 characters; a longer text is cut and its partial last item
// dropped with it) into the list and returns the number of items. No source gives an
// empty list.
int LoadTextList(const wchar_t* source, stTextList* list);

// Zeroes itemBytes bytes of item, then copies item n (from 0) into it, zero-terminated.
// Returns 1 when item n exists and fits into itemBytes / sizeof(wchar_t) - 1 characters,
// else 0 (the buffer stays zeroed).
int GetTextListItem(const stTextList* list, int n, wchar_t* item, int itemBytes);

// The same for 8-bit text with the separator '*': at most 2047 characters of source.
int LoadCharList(const char* source, stCharList* list);

// Item n into a buffer of kCharListItemBytes bytes; an item longer than 511 characters is
// refused (0), never cut, so a search pattern is never silently shortened.
int GetCharListItem(const stCharList* list, int n, char* item);

#endif
