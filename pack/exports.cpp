// The entry points of ostrel.dat (exported under their plain names by ostrel.def).
#include <windows.h>
#include <unknwn.h>

#include "com_module.h"
#include "registration.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInst, DWORD dwReason, LPVOID)
{
    OstrelModule().SetInstance(hInst);
    if (dwReason == DLL_PROCESS_ATTACH && OstrelModule().InitFailed())
        return FALSE;
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv)
{
    return OstrelModule().GetClassObject(clsid, iid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return OstrelModule().LockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    return RegisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    return UnregisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL bInstall, LPCWSTR pszCmdLine)
{
    return InstallServer(bInstall, pszCmdLine);
}
