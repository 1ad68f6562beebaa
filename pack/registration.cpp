#include "registration.h"

#include <oleauto.h>
#include <wchar.h>

#include "com_module.h"
#include "resource_ids.h"

namespace {

// The system registrar that runs registry scripts.
const CLSID CLSID_Registrar = {0x44EC053A, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};
const IID IID_IRegistrar = {0x44EC053B, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};

struct IRegistrar : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
    virtual HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR file) = 0;
    virtual HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR file) = 0;
    virtual HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR data) = 0;
    virtual HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR data) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
};

typedef HRESULT(WINAPI* RegisterTypeLibForUserFn)(ITypeLib*, OLECHAR*, OLECHAR*);
typedef HRESULT(WINAPI* UnRegisterTypeLibForUserFn)(REFGUID, WORD, WORD, LCID, SYSKIND);

// Registration runs under the system default locale, whatever the calling thread uses.
class SystemLocaleScope {
public:
    SystemLocaleScope() : m_saved(GetThreadLocale()) { SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
    ~SystemLocaleScope() { SetThreadLocale(m_saved); }
    SystemLocaleScope(const SystemLocaleScope&) = delete;
    SystemLocaleScope& operator=(const SystemLocaleScope&) = delete;

private:
    LCID m_saved;
};

// In per-user mode the scripts' HKEY_CLASSES_ROOT is the user's HKCU\Software\Classes.
class PerUserClassesScope {
public:
    PerUserClassesScope() : m_key(nullptr)
    {
        if (!OstrelModule().PerUserRegistration())
            return;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                            nullptr) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        RegOverridePredefKey(HKEY_CLASSES_ROOT, m_key);
    }
    ~PerUserClassesScope()
    {
        if (!m_key)
            return;
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(m_key);
    }
    PerUserClassesScope(const PerUserClassesScope&) = delete;
    PerUserClassesScope& operator=(const PerUserClassesScope&) = delete;

private:
    HKEY m_key;
};

HRESULT LastErrorOr(HRESULT fallback)
{
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : fallback;
}

HRESULT PackFilePath(wchar_t (&path)[MAX_PATH])
{
    const DWORD n = GetModuleFileNameW(OstrelModule().Instance(), path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return LastErrorOr(E_FAIL);
    return S_OK;
}

HRESULT RunScript(UINT nScriptId, bool bRegister)
{
    if (!FindResourceW(OstrelModule().Instance(), MAKEINTRESOURCEW(nScriptId), L"REGISTRY"))
        return LastErrorOr(E_FAIL);
    wchar_t path[MAX_PATH];
    HRESULT hr = PackFilePath(path);
    if (FAILED(hr))
        return hr;
    IRegistrar* registrar = nullptr;
    hr = CoCreateInstance(CLSID_Registrar, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistrar,
                          reinterpret_cast<void**>(&registrar));
    if (FAILED(hr))
        return hr;
    hr = registrar->AddReplacement(L"APPID", OSTREL_APPID_TEXT);
    if (SUCCEEDED(hr)) {
        PerUserClassesScope classes;
        hr = bRegister ? registrar->ResourceRegister(path, nScriptId, L"REGISTRY")
                       : registrar->ResourceUnregister(path, nScriptId, L"REGISTRY");
    }
    registrar->Release();
    return hr;
}

FARPROC AutomationProc(const char* name)
{
    HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll");
    return oleaut ? GetProcAddress(oleaut, name) : nullptr;
}

HRESULT RegisterTypeLibrary()
{
    wchar_t path[MAX_PATH];
    HRESULT hr = PackFilePath(path);
    if (FAILED(hr))
        return hr;
    ITypeLib* typeLib = nullptr;
    hr = LoadTypeLib(path, &typeLib);
    if (FAILED(hr))
        return hr;
    // The help directory is the folder of the help file the library names, if it names one.
    wchar_t helpDir[MAX_PATH] = {};
    BSTR helpFile = nullptr;
    if (SUCCEEDED(typeLib->GetDocumentation(-1, nullptr, nullptr, nullptr, &helpFile)) && helpFile) {
        const wchar_t* slash = wcsrchr(helpFile, L'\\');
        const size_t length = slash ? static_cast<size_t>(slash - helpFile) : 0;
        if (length < MAX_PATH)
            wmemcpy(helpDir, helpFile, length);
        SysFreeString(helpFile);
    }
    OLECHAR* dir = helpDir[0] ? helpDir : nullptr;
    RegisterTypeLibForUserFn forUser = OstrelModule().PerUserRegistration()
                                           ? reinterpret_cast<RegisterTypeLibForUserFn>(
                                                 reinterpret_cast<void*>(AutomationProc("RegisterTypeLibForUser")))
                                           : nullptr;
    hr = forUser ? forUser(typeLib, path, dir) : RegisterTypeLib(typeLib, path, dir);
    typeLib->Release();
    return hr;
}

HRESULT UnregisterTypeLibrary()
{
    wchar_t path[MAX_PATH];
    HRESULT hr = PackFilePath(path);
    if (FAILED(hr))
        return hr;
    ITypeLib* typeLib = nullptr;
    hr = LoadTypeLib(path, &typeLib);
    if (FAILED(hr))
        return hr;
    TLIBATTR* attr = nullptr;
    hr = typeLib->GetLibAttr(&attr);
    if (SUCCEEDED(hr)) {
        UnRegisterTypeLibForUserFn forUser = OstrelModule().PerUserRegistration()
                                                 ? reinterpret_cast<UnRegisterTypeLibForUserFn>(reinterpret_cast<void*>(
                                                       AutomationProc("UnRegisterTypeLibForUser")))
                                                 : nullptr;
        hr = forUser ? forUser(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind)
                     : UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        typeLib->ReleaseTLibAttr(attr);
    }
    typeLib->Release();
    return hr;
}

}  // namespace

bool IsPerUserCommandLine(const wchar_t* pszCmdLine)
{
    return pszCmdLine && _wcsicmp(pszCmdLine, L"user") == 0;
}

HRESULT RegisterServer()
{
    SystemLocaleScope locale;
    HRESULT hr = RunScript(IDR_OSTREL_APPID, true);
    if (FAILED(hr))
        return hr;
    const OstrelObjectEntry* map = COstrelModule::ObjectMap();
    for (size_t i = 0; i < COstrelModule::ObjectMapSize(); ++i) {
        hr = RunScript(map[i].nRegistryScriptId, true);  // the classes have no categories
        if (FAILED(hr))
            return hr;
    }
    return RegisterTypeLibrary();
}

HRESULT UnregisterServer()
{
    SystemLocaleScope locale;
    const OstrelObjectEntry* map = COstrelModule::ObjectMap();
    for (size_t i = 0; i < COstrelModule::ObjectMapSize(); ++i) {
        HRESULT hr = RunScript(map[i].nRegistryScriptId, false);
        if (FAILED(hr))
            return hr;
    }
    HRESULT hr = UnregisterTypeLibrary();
    if (FAILED(hr))
        return hr;
    return RunScript(IDR_OSTREL_APPID, false);
}

HRESULT InstallServer(BOOL bInstall, const wchar_t* pszCmdLine)
{
    if (IsPerUserCommandLine(pszCmdLine))
        OstrelModule().SetPerUserRegistration(true);
    if (!bInstall)
        return UnregisterServer();
    const HRESULT hr = RegisterServer();
    if (FAILED(hr))
        UnregisterServer();
    return hr;
}
