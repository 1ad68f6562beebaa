#include "address_template.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

int FormatAddressTemplate(const wchar_t* templateText, int first, int second, wchar_t* address, int capacity)
{
    if (!templateText || !address || capacity <= 0)
        return 0;
    const int values[2] = {first, second};
    int used = 0;
    int length = 0;
    for (const wchar_t* p = templateText; *p; ++p) {
        wchar_t piece[16] = {*p, 0};
        if (*p == L'%') {
            if (p[1] == L'%') {
                ++p;
            } else if (p[1] == L'd' && used < 2) {
                swprintf(piece, 16, L"%d", values[used++]);
                ++p;
            } else {
                address[0] = 0;
                return 0;
            }
        }
        const int pieceLength = (int)wcslen(piece);
        if (length + pieceLength >= capacity) {
            address[0] = 0;
            return 0;
        }
        wmemcpy(address + length, piece, pieceLength);
        length += pieceLength;
    }
    address[length] = 0;
    return length;
}
