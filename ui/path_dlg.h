// The output-folder chooser: the system's folder browser with a line above its tree in which
// the user may type a path. The typed path is what is chosen; it is checked (and a missing
// folder offered for creation) before the browser closes.
#ifndef MORVANE_UI_PATH_DLG_H
#define MORVANE_UI_PATH_DLG_H

#include <windows.h>
#include <shlobj.h>

#include "afxwin.h"

#define IDC_PATH_TYPED 14148  // the typed-path line
#define IDC_BROWSER_TREE 14145  // the browser's folder tree
#define IDC_BROWSER_STATUS 14147  // the browser's status text

class qrn_PathDlg;

// Takes over the browser's dialog window to see its OK command and the typed line's changes.
class qrn_PathDlgEdit : public CWnd {
public:
    explicit qrn_PathDlgEdit(qrn_PathDlg* owner) : m_pOwner(owner) { m_szPath[0] = 0; }

    qrn_PathDlg* m_pOwner;
    int m_nResult = -1;  // 1 once a checked path was accepted
    wchar_t m_szPath[MAX_PATH];  // the typed path

    void OnOK();
    void OnTypedPathChange();

protected:
    DECLARE_MESSAGE_MAP()
};

class qrn_PathDlg {
public:
    qrn_PathDlg(const wchar_t* caption, const wchar_t* initialFolder);
    virtual ~qrn_PathDlg() = default;

    // 1 when the user accepted a checked path (in m_hook.m_szPath), else -1.
    virtual int DoModal();

    // The browse callback; public so that a test standing in for the browser can call it.
    static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);

    BROWSEINFOW m_bi;
    CWnd* m_pOwnerWnd;
    wchar_t m_szCaption[MAX_PATH];
    wchar_t m_szInitialFolder[MAX_PATH];
    HWND m_hBrowser = nullptr;
    wchar_t m_szDisplayName[MAX_PATH];  // the browser's answer, not used: the typed path counts
    qrn_PathDlgEdit m_hook;

private:
    void OnInitialized(HWND browser);
    void OnSelectionChanged(LPCITEMIDLIST item);
};

#endif
