// Texts of the resource pack's table and the constants of its kernel-data block, as every
// window reads them. Each call tolerates absent services (the buffer is then left empty).
#ifndef MORVANE_APP_RES_TEXT_H
#define MORVANE_APP_RES_TEXT_H

#include <stdint.h>

// Zero-fills text (capacity characters) and copies text id into it; false when the table has
// no such text or the resource manager is absent.
bool QueryText(int32_t id, wchar_t* text, int capacity);

// nAppId of the kernel-data block: the "sid" of every web address (0 without a block).
int32_t KernelAppId();
// nAppVer of the kernel-data block: own version, high 16 bits major (0 without a block).
uint32_t KernelAppVer();

// The "src" of section "PubInfo" of pub.ini (g_szPubIniPath), read afresh; 0 when absent.
int PubIniSrc();

#endif
