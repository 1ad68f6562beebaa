// CResMgr: skin bitmaps and texts of the pack by resource id.
//
// Load type 1 (after construction) reads bitmaps from files in the resource folder, or beside
// the host program when no folder was given; load type 2 takes them from the pack's own
// resources. Texts always come from the pack's text table. A bitmap that cannot be loaded is
// reported with an error box ("Load resource failed!") and answered with a zero handle.
#ifndef MORVANE_PACK_RES_MGR_H
#define MORVANE_PACK_RES_MGR_H

#include "com_object.h"
#include "ostrel.h"

class CResMgr : public qrn_IResMgr, public CObjectRoot {
public:
    typedef qrn_IResMgr Interface;
    static const IID& InterfaceId() { return IID_qrn_IResMgr; }

    HRESULT STDMETHODCALLTYPE Init(LONG lLoadType, const wchar_t* strResPath) override;
    HRESULT STDMETHODCALLTYPE QueryTxt(LONG lTxtId, wchar_t** pStrTxt, LONG* plBufLen) override;
    HRESULT STDMETHODCALLTYPE QueryTxtInfo(BYTE** ppTxt, LONG* plTxtBytes) override;
    HRESULT STDMETHODCALLTYPE QueryResById(LONG nResId, stResInfo* pResInfo) override;
    HRESULT STDMETHODCALLTYPE QueryResPathById(LONG nResId, wchar_t** pStrPath, LONG* pBufLen) override;
    HRESULT STDMETHODCALLTYPE LoadRes(LONG nResId, LONG nResType, qrn_ResHandle* pHandle) override;
    HRESULT STDMETHODCALLTYPE FreeRes(qrn_ResHandle hRes) override;
    HRESULT STDMETHODCALLTYPE GetBmpSizeById(LONG nResId, LONG* pWidth, LONG* pHeight) override;
    HRESULT STDMETHODCALLTYPE GetBmpSize(qrn_ResHandle hBmp, LONG* pWidth, LONG* pHeight) override;

private:
    // The file path of bitmap nResId: base folder, "\", file name. False when the id is not a
    // bitmap or the path would not fit.
    bool BuildBitmapPath(LONG nResId, wchar_t (&path)[OSTREL_RES_PATH_CHARS]) const;
    qrn_ResHandle LoadFromFolder(LONG nResId) const;
    qrn_ResHandle LoadFromPack(LONG nResId) const;

    LONG m_lLoadType = OSTREL_LOAD_FROM_FOLDER;
    wchar_t m_szResFolder[OSTREL_RES_PATH_CHARS] = {};
};

// Copies a zero-terminated text into a caller's buffer of capacity characters, cutting it
// short (still terminated) when it does not fit. S_OK, S_FALSE when cut, E_POINTER or
// E_INVALIDARG (buffer untouched) for a missing buffer or a capacity below 1.
HRESULT CopyToCallerBuffer(const wchar_t* text, wchar_t** pBuffer, const LONG* pCapacity);

#endif
