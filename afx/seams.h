// The few places where the program waits for a person or hands work to the shell. Each is a
// function pointer that the product leaves at the system call and a test may point elsewhere,
// so that tests answer message boxes and file dialogs themselves and see what would be opened.
#ifndef MORVANE_AFX_SEAMS_H
#define MORVANE_AFX_SEAMS_H

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

// Every AfxMessageBox ends here (MessageBoxW).
using AfxMessageBoxFn = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
extern AfxMessageBoxFn g_pfnAfxMessageBox;

// AfxShellExecute ends here (ShellExecuteW): web pages, mail links, the output folder.
using AfxShellExecuteFn = HINSTANCE (*)(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                                        const wchar_t* directory, int show);
extern AfxShellExecuteFn g_pfnAfxShellExecute;

// CFileDialog's open mode ends here (GetOpenFileNameW).
using AfxGetOpenFileNameFn = BOOL (*)(OPENFILENAMEW* ofn);
extern AfxGetOpenFileNameFn g_pfnAfxGetOpenFileName;

// AfxBrowseForFolder ends here (SHBrowseForFolderW); a test may call the browse callback itself.
using AfxBrowseForFolderFn = PIDLIST_ABSOLUTE (*)(BROWSEINFOW* info);
extern AfxBrowseForFolderFn g_pfnAfxBrowseForFolder;

// Replaces one seam for the lifetime of the object (tests).
template <typename Fn> class AfxSeamOverride {
public:
    AfxSeamOverride(Fn& seam, Fn replacement) : m_seam(seam), m_saved(seam) { m_seam = replacement; }
    ~AfxSeamOverride() { m_seam = m_saved; }
    AfxSeamOverride(const AfxSeamOverride&) = delete;
    AfxSeamOverride& operator=(const AfxSeamOverride&) = delete;

private:
    Fn& m_seam;
    Fn m_saved;
};

#endif
