#include "app_services.h"

#include <objbase.h>
#include <shlobj.h>

#include <io.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <new>

#include "cambrel.h"
#include "file_utils.h"
#include "module_folder.h"
#include "ostrel.h"
#include "services.h"
#include "settings_file.h"
#include "web_address.h"

namespace {

const int kPathChars = MAX_PATH;
const wchar_t kPackFile[] = L"ostrel.dat";

// The classes of the resource pack that start-up binds, in this order.
const stComSvrItem kComServers[] = {
    {L"ostrel.dat", &CLSID_ResMgr},
    {L"ostrel.dat", &CLSID_KernelData},
};

HRESULT g_lastError = S_OK;
bool g_comInitialised = false;

// dst = a + b (+ c), or false (dst empty) when it does not fit a path.
bool JoinPath(wchar_t* dst, const wchar_t* a, const wchar_t* b, const wchar_t* c = L"")
{
    const int n = swprintf(dst, kPathChars, L"%ls%ls%ls", a, b, c);
    if (n < 0 || n >= kPathChars) {
        dst[0] = 0;
        return false;
    }
    return true;
}

void RegisterComServers(const wchar_t* programFolder)
{
    ComMgrInit();
    for (int i = 0; i < g_pComSvrList->nCount; ++i) {
        const stComSvrItem& row = g_pComSvrList->pItems[i];
        wchar_t path[kPathChars];
        if (JoinPath(path, programFolder, row.szFileName))
            ComRegSvr(path, *row.pClsid);
    }
}

void UnregisterComServers()
{
    for (int i = 0; i < g_pComSvrList->nCount; ++i)
        ComUnregSvr(*g_pComSvrList->pItems[i].pClsid);
    ComMgrUninit();
}

HRESULT CreateResMgr()
{
    void* object = nullptr;
    const HRESULT hr = ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IResMgr, &object);
    if (FAILED(hr) || !object)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    *g_ppResMgr = static_cast<qrn_IResMgr*>(object);
    return (*g_ppResMgr)->Init(OSTREL_LOAD_FROM_PACK, nullptr);
}

HRESULT LoadKernelData()
{
    void* object = nullptr;
    const HRESULT hr = ComCreateInst(CLSID_KernelData, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IKernelData, &object);
    if (FAILED(hr) || !object)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    g_pKernelData->pKernelData = static_cast<qrn_IKernelData*>(object);
    LONG size = 0;
    if (FAILED(g_pKernelData->pKernelData->QueryDataSize(&size)) || size < (LONG)sizeof(_stKernelHead) ||
        size > 0x10000)
        return E_UNEXPECTED;
    delete[] g_pKernelData->pData;
    // The pack copies a whole block; never let it write past a smaller announced size.
    const LONG bytes = size < (LONG)OSTREL_KERNEL_DATA_BYTES ? (LONG)OSTREL_KERNEL_DATA_BYTES : size;
    g_pKernelData->pData = new (std::nothrow) unsigned char[bytes]();
    if (!g_pKernelData->pData)
        return E_OUTOFMEMORY;
    const HRESULT copied =
        g_pKernelData->pKernelData->QueryKernelData(reinterpret_cast<_stKernelHead*>(g_pKernelData->pData));
    if (FAILED(copied)) {
        delete[] g_pKernelData->pData;
        g_pKernelData->pData = nullptr;
        return copied;
    }
    return S_OK;
}

void OpenWelcomePage()
{
    wchar_t address[kWebAddressChars];
    if (BuildWebAddress(7, true, address, kWebAddressChars))
        OpenWebAddress(address);
}

// A missing or damaged settings file: a fresh store, the default output folder, the welcome page.
void FirstRun(const stServiceFolders& folders)
{
    DeleteFileW(g_szCfgPath);
    CfgReset(g_szCfgPath);
    wchar_t output[kPathChars];
    if (JoinPath(output, folders.szDocuments, L"\\", L"Talvern")) {
        CreateFolderPath(output);
        CfgSetOutputDir(g_szCfgPath, output);
    }
    OpenWelcomePage();
}

}  // namespace

bool GetSystemServiceFolders(stServiceFolders* folders)
{
    memset(folders, 0, sizeof(*folders));
    if (!GetModuleFolder(folders->szProgramFolder))
        return false;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folders->szAppData)))
        return false;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folders->szDocuments)))
        return false;
    return true;
}

ServicesStatus InitServicesWith(const stServiceFolders& folders)
{
    g_lastError = S_OK;
    g_pComSvrList = new stComSvrList{kComServers, (int)(sizeof(kComServers) / sizeof(kComServers[0]))};
    g_szPubIniPath = new wchar_t[kPathChars]();
    g_ppResMgr = new qrn_IResMgr*();
    g_szCfgPath = new wchar_t[kPathChars]();
    g_pKernelData = new stKernelDataRef();

    g_comInitialised = SUCCEEDED(CoInitialize(nullptr));

    wchar_t dataFolder[kPathChars];
    wchar_t cfgPath[kPathChars] = {};
    if (JoinPath(dataFolder, folders.szAppData, L"\\Quenby\\Talvern\\")) {
        CreateFolderPath(dataFolder);
        JoinPath(cfgPath, dataFolder, L"morvane.cfg");
    }
    JoinPath(g_szPubIniPath, folders.szProgramFolder, L"pub.ini");

    // The pack must be there before anything is bound to it: Cambrel would only report a
    // load error, and the user needs to hear which file is missing.
    wchar_t packPath[kPathChars];
    if (!JoinPath(packPath, folders.szProgramFolder, kPackFile) || _waccess(packPath, 0) != 0) {
        g_lastError = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        return kServicesNoPack;
    }
    RegisterComServers(folders.szProgramFolder);

    HRESULT hr = CreateResMgr();
    if (FAILED(hr)) {
        g_lastError = hr;
        return kServicesNoResMgr;
    }
    hr = LoadKernelData();
    if (FAILED(hr)) {
        g_lastError = hr;
        return kServicesNoKernelData;
    }

    wcscpy(g_szCfgPath, cfgPath);
    if (g_szCfgPath[0] && !CfgIsValid(g_szCfgPath))
        FirstRun(folders);
    return kServicesReady;
}

ServicesStatus InitServices()
{
    stServiceFolders folders;
    if (!GetSystemServiceFolders(&folders)) {
        // Without the program folder the pack cannot be found; the other folders may stay empty.
        if (!folders.szProgramFolder[0]) {
            g_lastError = E_FAIL;
            return kServicesNoPack;
        }
    }
    return InitServicesWith(folders);
}

void ReleaseServices()
{
    delete[] g_szCfgPath;
    g_szCfgPath = nullptr;

    if (g_pKernelData) {
        if (g_pKernelData->pKernelData)
            g_pKernelData->pKernelData->Release();
        delete[] g_pKernelData->pData;
        delete g_pKernelData;
        g_pKernelData = nullptr;
    }
    if (g_ppResMgr) {
        if (*g_ppResMgr)
            (*g_ppResMgr)->Release();
        delete g_ppResMgr;
        g_ppResMgr = nullptr;
    }
    delete[] g_szPubIniPath;
    g_szPubIniPath = nullptr;

    if (g_pComSvrList) {
        UnregisterComServers();
        delete g_pComSvrList;
        g_pComSvrList = nullptr;
    }
    if (g_comInitialised) {
        CoUninitialize();
        g_comInitialised = false;
    }
}

HRESULT LastServicesError()
{
    return g_lastError;
}

void FormatServicesFailure(ServicesStatus status, HRESULT hr, const wchar_t* programFolder, wchar_t* text, int capacity)
{
    if (!text || capacity <= 0)
        return;
    const wchar_t* folder = programFolder && *programFolder ? programFolder : L"the program folder";
    switch (status) {
    case kServicesNoPack:
        swprintf(text, capacity,
                 L"The resource file ostrel.dat was not found in %ls.\n\n"
                 L"Morvane cannot start without it. Please reinstall the program.",
                 folder);
        break;
    case kServicesNoResMgr:
        swprintf(text, capacity,
                 L"The resource file ostrel.dat could not be loaded (error 0x%08lX).\n\n"
                 L"Morvane cannot start. Please reinstall the program.",
                 (unsigned long)hr);
        break;
    case kServicesNoKernelData:
        swprintf(text, capacity,
                 L"The product data of ostrel.dat could not be read (error 0x%08lX).\n\n"
                 L"Morvane cannot start. Please reinstall the program.",
                 (unsigned long)hr);
        break;
    default:
        text[0] = 0;
        break;
    }
    text[capacity - 1] = 0;
}
