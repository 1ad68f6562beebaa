// The resource manager's static tables: skin bitmaps and dialog templates by resource id.
#ifndef MORVANE_PACK_RES_TABLES_H
#define MORVANE_PACK_RES_TABLES_H

#include <stddef.h>
#include <stdint.h>

#include "ostrel.h"

const stResInfo* BitmapTable();
size_t BitmapTableRows();

// The first row with nResId, or null.
const stResInfo* FindBitmap(int32_t nResId);
const stResInfo* FindDialog(int32_t nResId);

#endif
