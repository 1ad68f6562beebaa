// Cambrel.dll: makes the classes of an in-process COM server creatable straight from the
// server's file, without any system registration. The main program binds the resource pack
// this way:
//   ComMgrInit();
//   ComRegSvr(L"C:\\App\\ostrel.dat", CLSID_ResMgr);
//   ComCreateInst(CLSID_ResMgr, nullptr, CLSCTX_INPROC_SERVER, IID_qrn_IResMgr, (void**)&p);
//   ...
//   ComUnregSvr(CLSID_ResMgr);
//   ComMgrUninit();
// Every call returns an HRESULT, negative on failure.
#ifndef MORVANE_CAMBREL_CAMBREL_H
#define MORVANE_CAMBREL_CAMBREL_H

#include <windows.h>
#include <unknwn.h>

#ifdef CAMBREL_BUILD_DLL
#define CAMBREL_API extern "C"
#else
#define CAMBREL_API extern "C" __declspec(dllimport)
#endif

// Starts the manager; calls nest, each needs its ComMgrUninit.
CAMBREL_API HRESULT WINAPI ComMgrInit();

// Loads the server file at path and takes the class object of clsid from its
// DllGetClassObject. A class registered again is bound to the new file.
// Failures: the Win32 error of the load (missing file), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)
// for a file without DllGetClassObject, the server's own result for a class it does not serve
// (CLASS_E_CLASSNOTAVAILABLE), E_UNEXPECTED before ComMgrInit.
CAMBREL_API HRESULT WINAPI ComRegSvr(const wchar_t* path, REFCLSID clsid);

// Creates an object of a registered class and returns interface iid through out. context must
// include CLSCTX_INPROC_SERVER. REGDB_E_CLASSNOTREG for a class that is not registered.
CAMBREL_API HRESULT WINAPI ComCreateInst(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);

// Drops the binding of clsid and lets its server file go. A server that still has live
// objects stays loaded, so their code never disappears under them.
CAMBREL_API HRESULT WINAPI ComUnregSvr(REFCLSID clsid);

// Ends the manager; the outermost call drops every binding left, as ComUnregSvr does.
CAMBREL_API HRESULT WINAPI ComMgrUninit();

#endif
