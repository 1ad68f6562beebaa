// The pack's table of user-visible texts and web-address templates, looked up by id.
#ifndef MORVANE_PACK_TEXT_TABLE_H
#define MORVANE_PACK_TEXT_TABLE_H

#include <stddef.h>
#include <stdint.h>

enum { OSTREL_TEXT_CHARS = 1024 };

// One row as it lies in the pack (2052 bytes); the whole table is handed out by address.
struct stTxtRecord {
    int32_t nTxtId;
    wchar_t szTxt[OSTREL_TEXT_CHARS];  // zero-terminated, zero-padded
};
static_assert(sizeof(stTxtRecord) == 2052, "a text record is 2052 bytes");

const stTxtRecord* TextTable();
size_t TextTableRows();

// The first row with id nTxtId, or null.
const stTxtRecord* FindText(int32_t nTxtId);

#endif
