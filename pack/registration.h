// Registration of the pack with the system. The main program never needs it (it binds the
// pack by file path); the entry points exist for setups that want the classes registered.
// Registry scripts are resources of type "REGISTRY" run by the system's registrar; a script
// the pack does not carry fails its step, so registration stops before touching anything.
#ifndef MORVANE_PACK_REGISTRATION_H
#define MORVANE_PACK_REGISTRATION_H

#include <windows.h>

// The application id the scripts receive as the replacement "APPID".
#define OSTREL_APPID_TEXT L"{E00ABA6A-B703-4786-B81F-3E8013FE3DD1}"

// Scripts (application id, then every class), then the type library. Returns the first
// failing step's result unchanged.
HRESULT RegisterServer();
// Every class's script, the type library, then the application id's script.
HRESULT UnregisterServer();
// DllInstall: "user" (any case, nothing more) switches to per-user registration first; a
// failed registration is rolled back by unregistering and its error returned.
HRESULT InstallServer(BOOL bInstall, const wchar_t* pszCmdLine);

// True for a command line that asks for per-user registration.
bool IsPerUserCommandLine(const wchar_t* pszCmdLine);

#endif
