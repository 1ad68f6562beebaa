#include "morvane_app.h"

#include <commctrl.h>
#include <string.h>

#include "morvane_dlg.h"
#include "res_text.h"
#include "services.h"
#include "skin_btn.h"
#include "strome.h"

namespace {

const int kProductNameText = 12;

void InitControls()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);
}

}  // namespace

CMorvaneApp::CMorvaneApp()
{
    memset(m_szAppTitle, 0, sizeof(m_szAppTitle));
}

bool CMorvaneApp::StartServices(const stServiceFolders* folders)
{
    m_bServicesStarted = true;
    const ServicesStatus status = folders ? InitServicesWith(*folders) : InitServices();
    if (status != kServicesReady) {
        // No text table: the message and its caption are the program's own English.
        stServiceFolders known = {};
        if (folders)
            known = *folders;
        else
            GetSystemServiceFolders(&known);
        wchar_t text[1024];
        FormatServicesFailure(status, LastServicesError(), known.szProgramFolder, text, 1024);
        SetAppName(L"Morvane");
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return false;
    }

    Docx_Init();
    m_bDocxStarted = true;

    QueryText(kProductNameText, m_szAppTitle, MAX_PATH);
    SetAppName(m_szAppTitle);

    InitControls();
    CreateSharedToolTip();
    return true;
}

void CMorvaneApp::StopServices()
{
    if (m_bDocxStarted) {
        Docx_Fini();
        m_bDocxStarted = false;
    }
    DestroySharedToolTip();
    if (m_bServicesStarted) {
        ReleaseServices();
        m_bServicesStarted = false;
    }
}

BOOL CMorvaneApp::InitInstance()
{
    if (!StartServices())
        return FALSE;
    CWinApp::InitInstance();

    CMorvaneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.RunModal(nullptr);
    m_pMainWnd = nullptr;
    return FALSE;
}

int CMorvaneApp::ExitInstance()
{
    StopServices();
    return CWinApp::ExitInstance();
}
