// Picks one value out of a server reply by begin and end patterns. A pattern is a list of
// pieces, each followed by '*' ("<ver>*"); the pieces are found one after the other with an
// ASCII case-insensitive search, and the value lies between the last begin piece and the
// first end piece.
#ifndef MORVANE_UPDATE_TAG_VALUE_H
#define MORVANE_UPDATE_TAG_VALUE_H

// Copies the value into the zeroed target and returns its length; 0 when a piece is
// missing, the value is empty, or it does not fit capacity with a terminating zero. Only the
// first responseLength bytes of response are read; they need no terminating zero.
int FindTagValue(const char* beginPattern, const char* endPattern, const char* response, int responseLength,
                 char* target, int capacity);

#endif
