// Contract of the resource pack ostrel.dat: its class and interface identifiers, the records
// that cross its COM boundary and the two interfaces qrn_IResMgr and qrn_IKernelData.
// The main program and the pack compile this one definition; the slot order of the
// interfaces and the byte layout of the records are fixed for the 32-bit program set.
//
// Buffers: texts and paths travel in caller-owned wide-character buffers whose capacity (in
// characters) the caller passes alongside; the pack never hands out system-allocated strings.
// Bitmap handles returned by LoadRes belong to the caller until it hands them back to FreeRes.
#ifndef MORVANE_COMMON_OSTREL_H
#define MORVANE_COMMON_OSTREL_H

#include <stddef.h>
#include <stdint.h>

#include "text16.h"

// ---- records ---------------------------------------------------------------------------

enum { OSTREL_RES_PATH_CHARS = 260 };

// One row of the pack's bitmap and dialog tables (also the answer of QueryResById).
struct stResInfo {
    int32_t nResId;  // resource id, class in the top four bits
    int32_t nResource;  // resource number inside the pack (low 16 bits)
    qrn_wchar szResPathName[OSTREL_RES_PATH_CHARS];  // file name when loaded from a folder
};

// Product constants; versions are high 16 bits major, low 16 bits minor.
struct _stKVerInfo {
    int32_t nAppId;  // sent as "sid" in every web address
    int32_t nAppType;
    int32_t nAppNo;
    int32_t nAppSrc;
    int32_t nAppVer;  // own version, compared with the one the version server announces
    int32_t nReserved;
    int32_t nParam0;
    int32_t nParam1;
    int32_t nParam2;
    int32_t nParam3;
};

// Head of the 256-byte kernel-data block; the rest of the block is zero.
struct _stKernelHead {
    uint32_t dwDataSize;  // size of the whole block in bytes
    _stKVerInfo stVerInfo;
};

enum { OSTREL_KERNEL_DATA_BYTES = 256 };

static_assert(sizeof(stResInfo) == 528, "stResInfo is 528 bytes");
static_assert(sizeof(_stKVerInfo) == 40, "_stKVerInfo is 40 bytes");
static_assert(sizeof(_stKernelHead) == 44, "_stKernelHead is 44 bytes");
static_assert(offsetof(_stKernelHead, stVerInfo) == 4, "version info follows the size");
static_assert(offsetof(_stKernelHead, stVerInfo) + offsetof(_stKVerInfo, nAppVer) == 20,
              "nAppVer lies at byte 20 of the block");

// Resource-id classes (the id shifted right arithmetically by 28 bits).
enum {
    OSTREL_CLASS_TEXT = 0,  // general texts and web-address templates
    OSTREL_CLASS_BITMAP = 1,  // bitmaps (LoadRes) and, separately numbered, messages (QueryTxt)
    OSTREL_CLASS_TOOLTIP = 2,
    OSTREL_CLASS_TITLE = 3,
    OSTREL_CLASS_DIALOG = 7
};

inline int32_t OstrelResClass(int32_t nResId)
{
    return nResId >> 28;
}

// ---- identifiers and interfaces (Windows) ----------------------------------------------
#ifdef _WIN32
#include <windows.h>
#include <unknwn.h>

// A bitmap handle as it crosses the pack's interface: 32 bits in the shipped 32-bit set,
// pointer-sized in the 64-bit build so that no handle is ever cut short.
typedef ULONG_PTR qrn_ResHandle;

inline constexpr GUID LIBID_OstrelLib = {0x1130976C, 0xF950, 0x44C7, {0xA5, 0x19, 0xF9, 0x80, 0x95, 0x3F, 0xDE, 0x0E}};
inline constexpr GUID CLSID_ResMgr = {0x4A525F89, 0x21F0, 0x4626, {0x9E, 0x82, 0xD5, 0x40, 0xBD, 0x73, 0xAA, 0xBF}};
inline constexpr GUID IID_qrn_IResMgr = {0x1F59DC4B, 0x282E, 0x4619, {0x8C, 0x41, 0xE3, 0x9F, 0x4F, 0x75, 0x1A, 0xE9}};
inline constexpr GUID CLSID_KernelData = {0xEDD108CA, 0xBCAB, 0x42A9, {0x9D, 0xE1, 0x76, 0x7B, 0xFF, 0xD4, 0x67, 0xC7}};
inline constexpr GUID IID_qrn_IKernelData = {
    0x90B7E15F, 0x691F, 0x4A65, {0xAC, 0xEC, 0x99, 0x58, 0x9D, 0xB6, 0xC8, 0x47}};

// Load types of qrn_IResMgr::Init.
enum { OSTREL_LOAD_FROM_FOLDER = 1, OSTREL_LOAD_FROM_PACK = 2 };

// Bitmaps and texts by id. Every operation returns an HRESULT.
struct qrn_IResMgr : public IUnknown {
    // Load type 1 takes bitmaps from strResPath (or the host program's folder when empty);
    // load type 2 takes them from the pack itself.
    virtual HRESULT STDMETHODCALLTYPE Init(LONG lLoadType, const wchar_t* strResPath) = 0;
    // Copies text lTxtId into *pStrTxt (capacity *plBufLen characters); E_FAIL when unknown.
    virtual HRESULT STDMETHODCALLTYPE QueryTxt(LONG lTxtId, wchar_t** pStrTxt, LONG* plBufLen) = 0;
    // The whole text table inside the pack (records of 2052 bytes) and its size in bytes.
    virtual HRESULT STDMETHODCALLTYPE QueryTxtInfo(BYTE** ppTxt, LONG* plTxtBytes) = 0;
    // The bitmap-table row of nResId, or an all-zero record.
    virtual HRESULT STDMETHODCALLTYPE QueryResById(LONG nResId, stResInfo* pResInfo) = 0;
    // Full file path of bitmap nResId into *pStrPath (capacity *pBufLen characters).
    virtual HRESULT STDMETHODCALLTYPE QueryResPathById(LONG nResId, wchar_t** pStrPath, LONG* pBufLen) = 0;
    // A new bitmap handle in *pHandle, 0 when nothing could be loaded.
    virtual HRESULT STDMETHODCALLTYPE LoadRes(LONG nResId, LONG nResType, qrn_ResHandle* pHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE FreeRes(qrn_ResHandle hRes) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBmpSizeById(LONG nResId, LONG* pWidth, LONG* pHeight) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBmpSize(qrn_ResHandle hBmp, LONG* pWidth, LONG* pHeight) = 0;
};

// The 256-byte block of product constants.
struct qrn_IKernelData : public IUnknown {
    // Copies the whole block; pKernelData must hold OSTREL_KERNEL_DATA_BYTES bytes.
    virtual HRESULT STDMETHODCALLTYPE QueryKernelData(_stKernelHead* pKernelData) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryDataSize(LONG* pDataSize) = 0;
};

static_assert(sizeof(wchar_t) == 2, "texts cross the pack's boundary as UTF-16");
#endif  // _WIN32

#endif
