#include "seams.h"

#include <shellapi.h>

namespace {
// Plain functions in front of the system calls, so that the seams have one calling convention
// on both targets and tests can install ordinary functions and lambdas.
int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return ::MessageBoxW(owner, text, caption, type);
}
HINSTANCE SystemShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                             const wchar_t* directory, int show)
{
    return ::ShellExecuteW(owner, verb, file, parameters, directory, show);
}
BOOL SystemGetOpenFileName(OPENFILENAMEW* ofn)
{
    return ::GetOpenFileNameW(ofn);
}
PIDLIST_ABSOLUTE SystemBrowseForFolder(BROWSEINFOW* info)
{
    return ::SHBrowseForFolderW(info);
}
}  // namespace

AfxMessageBoxFn g_pfnAfxMessageBox = &SystemMessageBox;
AfxShellExecuteFn g_pfnAfxShellExecute = &SystemShellExecute;
AfxGetOpenFileNameFn g_pfnAfxGetOpenFileName = &SystemGetOpenFileName;
AfxBrowseForFolderFn g_pfnAfxBrowseForFolder = &SystemBrowseForFolder;
