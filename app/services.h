// The process-wide services of the main program. Start-up creates them before the main window
// exists and shut-down releases them after it is gone, so every other part of the program
// (windows, conversion worker) reads them without locks. Each is null when absent.
#ifndef MORVANE_APP_SERVICES_H
#define MORVANE_APP_SERVICES_H

#include <windows.h>

class qrn_IResMgr;
class qrn_IKernelData;

// One class of the resource pack that start-up makes creatable from a file in the program folder.
struct stComSvrItem {
    wchar_t szFileName[32];  // relative to the program folder, zero-padded
    const GUID* pClsid;
};

struct stComSvrList {
    const stComSvrItem* pItems;
    int nCount;
};

struct stKernelDataRef {
    qrn_IKernelData* pKernelData;
    unsigned char* pData;  // the program's copy of the kernel-data block; null until loaded
};

extern stComSvrList* g_pComSvrList;  // the binding table of the resource pack's classes
extern wchar_t* g_szPubIniPath;  // 260 characters: full path of pub.ini
extern qrn_IResMgr** g_ppResMgr;  // cell holding the resource manager
extern wchar_t* g_szCfgPath;  // 260 characters: full path of the settings file morvane.cfg
extern stKernelDataRef* g_pKernelData;

#endif
