// The application object and the process-wide helpers around it: resource and instance
// handles, message boxes captioned with the application name, the shell's "open".
#ifndef MORVANE_AFX_APP_H
#define MORVANE_AFX_APP_H

#include <windows.h>
#include <shlobj.h>

#include "afx_msgmap.h"
#include "afx_string.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    static const CRuntimeClass classCWinApp;
    const CRuntimeClass* GetRuntimeClass() const override;

    // The one application object of the process registers itself here.
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;

    const wchar_t* m_pszAppName = nullptr;  // caption of every AfxMessageBox
    HINSTANCE m_hInstance = nullptr;
    const wchar_t* m_lpCmdLine = L"";
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;

    // Keeps a copy of `name` and makes it the application name.
    void SetAppName(const wchar_t* name);

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();  // FALSE: no message loop, the program ends with ExitInstance()
    virtual int ExitInstance();
    virtual int Run();  // the message loop; ends with WM_QUIT
    virtual BOOL PreTranslateMessage(MSG* msg);

private:
    CString m_appName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);
// The module that holds a resource of that name and type (the program's own module here).
HINSTANCE AfxFindResourceHandle(const wchar_t* name, const wchar_t* type);

// A message box owned by the program's main window, captioned with the application name.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
// ShellExecute through the test seam.
HINSTANCE AfxShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                          const wchar_t* directory, int show);
// SHBrowseForFolder through the test seam.
PIDLIST_ABSOLUTE AfxBrowseForFolder(BROWSEINFOW* info);

// Runs the application object: InitApplication, InitInstance, then Run or ExitInstance.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

#endif
