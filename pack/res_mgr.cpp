#include "res_mgr.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "failure_box.h"
#include "module_folder.h"
#include "res_tables.h"
#include "text_table.h"

HRESULT CopyToCallerBuffer(const wchar_t* text, wchar_t** pBuffer, const LONG* pCapacity)
{
    if (!pBuffer || !*pBuffer || !pCapacity)
        return E_POINTER;
    if (*pCapacity < 1)
        return E_INVALIDARG;
    const size_t capacity = static_cast<size_t>(*pCapacity);
    const size_t length = wcslen(text);
    const size_t copied = length < capacity ? length : capacity - 1;
    wmemcpy(*pBuffer, text, copied);
    (*pBuffer)[copied] = L'\0';
    return copied == length ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CResMgr::Init(LONG lLoadType, const wchar_t* strResPath)
{
    if (lLoadType == OSTREL_LOAD_FROM_FOLDER) {
        const size_t length = strResPath ? wcsnlen(strResPath, OSTREL_RES_PATH_CHARS) : 0;
        if (length >= OSTREL_RES_PATH_CHARS)
            return E_INVALIDARG;  // would not fit: keep the current state
        wmemcpy(m_szResFolder, strResPath ? strResPath : L"", length);
        m_szResFolder[length] = L'\0';
    }
    m_lLoadType = lLoadType;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryTxt(LONG lTxtId, wchar_t** pStrTxt, LONG* plBufLen)
{
    const stTxtRecord* row = FindText(lTxtId);
    if (!row)
        return E_FAIL;
    return CopyToCallerBuffer(row->szTxt, pStrTxt, plBufLen);
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryTxtInfo(BYTE** ppTxt, LONG* plTxtBytes)
{
    if (!ppTxt || !plTxtBytes)
        return E_POINTER;
    *ppTxt = reinterpret_cast<BYTE*>(const_cast<stTxtRecord*>(TextTable()));
    *plTxtBytes = static_cast<LONG>(TextTableRows() * sizeof(stTxtRecord));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryResById(LONG nResId, stResInfo* pResInfo)
{
    if (!pResInfo)
        return E_POINTER;
    memset(pResInfo, 0, sizeof(*pResInfo));
    if (const stResInfo* row = FindBitmap(nResId))
        *pResInfo = *row;
    return S_OK;
}

bool CResMgr::BuildBitmapPath(LONG nResId, wchar_t (&path)[OSTREL_RES_PATH_CHARS]) const
{
    path[0] = L'\0';
    const stResInfo* row = FindBitmap(nResId);
    if (!row)
        return false;
    wchar_t base[OSTREL_RES_PATH_CHARS] = {};
    if (m_szResFolder[0])
        wcscpy(base, m_szResFolder);
    else if (!GetModuleFolder(base))
        return false;
    // The host folder already ends with a backslash; the doubled one is harmless to the file system.
    const int n = _snwprintf(path, OSTREL_RES_PATH_CHARS, L"%ls\\%ls", base, row->szResPathName);
    if (n < 0 || n >= OSTREL_RES_PATH_CHARS) {
        path[0] = L'\0';
        return false;
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CResMgr::QueryResPathById(LONG nResId, wchar_t** pStrPath, LONG* pBufLen)
{
    wchar_t path[OSTREL_RES_PATH_CHARS];
    if (!BuildBitmapPath(nResId, path))
        return S_OK;
    return CopyToCallerBuffer(path, pStrPath, pBufLen);
}

qrn_ResHandle CResMgr::LoadFromFolder(LONG nResId) const
{
    wchar_t path[OSTREL_RES_PATH_CHARS] = {};
    if (OstrelResClass(nResId) == OSTREL_CLASS_BITMAP && BuildBitmapPath(nResId, path)) {
        HANDLE h = LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        if (h)
            return reinterpret_cast<qrn_ResHandle>(h);
    }
    ShowResFailure(path);
    return 0;
}

qrn_ResHandle CResMgr::LoadFromPack(LONG nResId) const
{
    const HINSTANCE pack = OstrelModule().Instance();
    HANDLE h = nullptr;
    switch (OstrelResClass(nResId)) {
    case OSTREL_CLASS_BITMAP: {
        const stResInfo* row = FindBitmap(nResId);
        const WORD number = row ? LOWORD(row->nResource) : 0;
        if (number)
            h = LoadImageW(pack, MAKEINTRESOURCEW(number), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        break;
    }
    case OSTREL_CLASS_DIALOG: {
        const stResInfo* row = FindDialog(nResId);
        const WORD number = row ? LOWORD(row->nResource) : 0;
        if (number) {
            if (HRSRC found = FindResourceW(pack, MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(5)))
                h = LoadResource(pack, found);
        }
        break;
    }
    default:
        break;
    }
    if (h)
        return reinterpret_cast<qrn_ResHandle>(h);
    wchar_t text[16];
    _snwprintf(text, 16, L"%d", static_cast<int>(nResId));
    text[15] = L'\0';
    ShowResFailure(text);
    return 0;
}

HRESULT STDMETHODCALLTYPE CResMgr::LoadRes(LONG nResId, LONG nResType, qrn_ResHandle* pHandle)
{
    if (!pHandle)
        return E_POINTER;
    *pHandle = 0;
    if (m_lLoadType == OSTREL_LOAD_FROM_FOLDER)
        *pHandle = LoadFromFolder(nResId);
    else if (m_lLoadType == OSTREL_LOAD_FROM_PACK)
        *pHandle = LoadFromPack(nResId);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::FreeRes(qrn_ResHandle hRes)
{
    if (hRes)
        DeleteObject(reinterpret_cast<HGDIOBJ>(hRes));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetBmpSizeById(LONG nResId, LONG* pWidth, LONG* pHeight)
{
    if (!pWidth || !pHeight)
        return E_POINTER;
    qrn_ResHandle h = 0;
    LoadRes(nResId, 2, &h);
    if (h) {
        GetBmpSize(h, pWidth, pHeight);
        FreeRes(h);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResMgr::GetBmpSize(qrn_ResHandle hBmp, LONG* pWidth, LONG* pHeight)
{
    if (!pWidth || !pHeight)
        return E_POINTER;
    BITMAP bm = {};
    if (hBmp && GetObjectW(reinterpret_cast<HGDIOBJ>(hBmp), sizeof(bm), &bm) == sizeof(bm)) {
        *pWidth = bm.bmWidth;
        *pHeight = bm.bmHeight;
    }
    return S_OK;
}
