#include "services.h"

stComSvrList* g_pComSvrList = nullptr;
wchar_t* g_szPubIniPath = nullptr;
qrn_IResMgr** g_ppResMgr = nullptr;
wchar_t* g_szCfgPath = nullptr;
stKernelDataRef* g_pKernelData = nullptr;
