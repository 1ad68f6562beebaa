#include "res_text.h"

#include <windows.h>
#include <string.h>

#include "ostrel.h"
#include "services.h"

bool QueryText(int32_t id, wchar_t* text, int capacity)
{
    if (!text || capacity <= 0)
        return false;
    memset(text, 0, sizeof(wchar_t) * capacity);
    if (!g_ppResMgr || !*g_ppResMgr)
        return false;
    LONG length = capacity;
    const HRESULT hr = (*g_ppResMgr)->QueryTxt(id, &text, &length);
    text[capacity - 1] = 0;  // whatever the pack did, the text ends inside the buffer
    if (FAILED(hr)) {
        text[0] = 0;
        return false;
    }
    return true;
}

namespace {

const _stKernelHead* KernelHead()
{
    if (!g_pKernelData || !g_pKernelData->pData)
        return nullptr;
    return reinterpret_cast<const _stKernelHead*>(g_pKernelData->pData);
}

}  // namespace

int32_t KernelAppId()
{
    const _stKernelHead* head = KernelHead();
    return head ? head->stVerInfo.nAppId : 0;
}

uint32_t KernelAppVer()
{
    const _stKernelHead* head = KernelHead();
    return head ? (uint32_t)head->stVerInfo.nAppVer : 0;
}

int PubIniSrc()
{
    if (!g_szPubIniPath || !*g_szPubIniPath)
        return 0;
    return (int)GetPrivateProfileIntW(L"PubInfo", L"src", 0, g_szPubIniPath);
}
