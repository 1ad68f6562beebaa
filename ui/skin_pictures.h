// Skin pictures of the resource pack as the program's windows use them: fetched by id and
// handed back when the window goes. Each call tolerates an absent resource manager.
#ifndef MORVANE_UI_SKIN_PICTURES_H
#define MORVANE_UI_SKIN_PICTURES_H

#include <stdint.h>
#include <windows.h>

#include "ostrel.h"

// The resource manager of the running program, or null before start-up or after shut-down.
qrn_IResMgr* ResMgr();

// The bitmap of picture id (load type 1), or null when it cannot be supplied.
HBITMAP LoadPicture(int32_t id);

// Hands a bitmap from LoadPicture back to the resource manager; null is ignored.
void FreePicture(HBITMAP bitmap);

#endif
