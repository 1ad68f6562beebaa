#include "afx_app.h"

#include "afx_wnd.h"
#include "seams.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;
}  // namespace

const CRuntimeClass CWinApp::classCWinApp = {"CWinApp", static_cast<int>(sizeof(CWinApp)), RUNTIME_CLASS(CCmdTarget)};

const CRuntimeClass* CWinApp::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CWinApp);
}

CWinApp::CWinApp(const wchar_t* appName)
{
    if (appName)
        SetAppName(appName);
    m_hInstance = ::GetModuleHandleW(nullptr);
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::SetAppName(const wchar_t* name)
{
    m_appName = name;
    m_pszAppName = m_appName;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    return AfxWalkPreTranslateTree(nullptr, msg);
}

int CWinApp::Run()
{
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            AfxDeleteTempMap();
    }
    ExitInstance();
    return static_cast<int>(msg.wParam);
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle ? g_resourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE instance)
{
    g_resourceHandle = instance;
}

HINSTANCE AfxFindResourceHandle(const wchar_t*, const wchar_t*)
{
    return AfxGetResourceHandle();
}

int AfxMessageBox(const wchar_t* text, UINT type, UINT)
{
    CWnd* owner = CWnd::GetSafeOwner(nullptr);
    const wchar_t* caption = g_app && g_app->m_pszAppName ? g_app->m_pszAppName : L"";
    return g_pfnAfxMessageBox(owner ? owner->m_hWnd : nullptr, text ? text : L"", caption, type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId)
{
    CString text;
    text.LoadString(promptId);
    return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? promptId : helpId);
}

HINSTANCE AfxShellExecute(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                          const wchar_t* directory, int show)
{
    return g_pfnAfxShellExecute(owner, verb, file, parameters, directory, show);
}

PIDLIST_ABSOLUTE AfxBrowseForFolder(BROWSEINFOW* info)
{
    return g_pfnAfxBrowseForFolder(info);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine ? commandLine : L"";
    app->m_nCmdShow = show;
    if (!app->InitApplication() || !app->InitInstance()) {
        const int result = app->ExitInstance();
        AfxDeleteTempMap();
        return result;
    }
    const int result = app->Run();
    AfxDeleteTempMap();
    return result;
}
