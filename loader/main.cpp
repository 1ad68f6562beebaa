// Loader.exe: starts a waiting release or the main program. Windowless; exit code 0.
#include <windows.h>
#include <shlobj.h>

#include "loader_core.h"
#include "module_folder.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        appData[0] = 0;
    wchar_t folder[MAX_PATH] = {};
    GetModuleFolder(folder);
    RunLoader(appData, folder);
    return 0;
}
