// Dialogs from templates, modal and modeless, with data exchange between controls and members.
#ifndef MORVANE_AFX_DIALOG_H
#define MORVANE_AFX_DIALOG_H

#include <windows.h>

#include "afx_wnd.h"

// Flags of CDialog::m_nFlags and of RunModalLoop.
#define WF_CONTINUEMODAL 0x0001
#define WF_MODALLOOP 0x0002
#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlgWnd) { }
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
    CWnd* m_pDlgWnd;
    BOOL m_bFailed = FALSE;
    HWND m_hWndLastControl = nullptr;

    HWND PrepareCtrl(int id);  // the control's window, or null (and the exchange fails)
    void Fail();  // marks the exchange failed and puts the focus on the last control
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);  // subclasses the control once
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
void DDX_Check(CDataExchange* pDX, int id, int& value);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    CDialog(UINT templateId, CWnd* parent = nullptr);
    CDialog(const wchar_t* templateName, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modeless
    virtual BOOL Create(const wchar_t* templateName, CWnd* parent = nullptr);
    BOOL Create(UINT templateId, CWnd* parent = nullptr) { return Create(MAKEINTRESOURCEW(templateId), parent); }
    virtual BOOL CreateIndirect(LPCDLGTEMPLATEW dialogTemplate, CWnd* parent = nullptr, HINSTANCE instance = nullptr);
    virtual BOOL CreateIndirect(HGLOBAL dialogTemplate, CWnd* parent = nullptr, HINSTANCE instance = nullptr);
    // Modal
    BOOL InitModalIndirect(LPCDLGTEMPLATEW dialogTemplate, CWnd* parent = nullptr);
    virtual INT_PTR DoModal();
    int RunModalLoop(DWORD flags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int result);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;

    UINT m_nIDHelp = 0;
    const wchar_t* m_lpszTemplateName = nullptr;  // resource name or MAKEINTRESOURCE id
    HGLOBAL m_hDialogTemplate = nullptr;  // loaded (unlocked) template
    LPCDLGTEMPLATEW m_lpDialogTemplate = nullptr;  // in-memory template
    CWnd* m_pParentWnd = nullptr;
    HWND m_hWndTop = nullptr;  // the top-level owner disabled by a modal run
    int m_nModalResult = -1;
    DWORD m_nFlags = 0;

protected:
    // The owner of a modal run; also clears a creation hook that might still be set.
    HWND PreModal();
    void PostModal();
    BOOL CreateDlgIndirect(LPCDLGTEMPLATEW dialogTemplate, CWnd* parent, HINSTANCE instance);

    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    friend INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

#endif
