#include "afx_dialog.h"

#include "afx_app.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

// ---------------------------------------------------------------- data exchange

HWND CDataExchange::PrepareCtrl(int id)
{
    HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, id) : nullptr;
    if (!control)
        m_bFailed = TRUE;
    m_hWndLastControl = control;
    return control;
}

void CDataExchange::Fail()
{
    m_bFailed = TRUE;
    if (m_hWndLastControl)
        ::SetFocus(m_hWndLastControl);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND window = pDX->PrepareCtrl(id);
    if (!window || !control.SubclassWindow(window))
        pDX->m_bFailed = TRUE;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    HWND window = pDX->PrepareCtrl(id);
    if (!window)
        return;
    if (pDX->m_bSaveAndValidate) {
        CWnd::FromHandle(window)->GetWindowText(value);
    } else {
        ::SetWindowTextW(window, value);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    HWND window = pDX->PrepareCtrl(id);
    if (!window)
        return;
    if (pDX->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageW(window, CB_GETCURSEL, 0, 0));
    } else {
        ::SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    HWND window = pDX->PrepareCtrl(id);
    if (!window)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(window, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(window, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

// ---------------------------------------------------------------- dialog

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDHelp(templateId), m_lpszTemplateName(MAKEINTRESOURCEW(templateId)), m_pParentWnd(parent)
{ }

CDialog::CDialog(const wchar_t* templateName, CWnd* parent) : m_lpszTemplateName(templateName), m_pParentWnd(parent)
{
    if (IS_INTRESOURCE(templateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(templateName));
}

CDialog::~CDialog() = default;

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CDialog)))
        return TRUE;
    try {
        return static_cast<CDialog*>(wnd)->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

BOOL CDialog::Create(const wchar_t* templateName, CWnd* parent)
{
    m_lpszTemplateName = templateName;
    if (IS_INTRESOURCE(templateName) && m_nIDHelp == 0) {
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(templateName));
    }
    HINSTANCE instance = AfxFindResourceHandle(templateName, RT_DIALOG);
    HRSRC resource = ::FindResourceW(instance, templateName, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    return CreateIndirect(loaded, parent, instance);
}

BOOL CDialog::CreateIndirect(HGLOBAL dialogTemplate, CWnd* parent, HINSTANCE instance)
{
    if (!dialogTemplate)
        return FALSE;
    return CreateIndirect(static_cast<LPCDLGTEMPLATEW>(::LockResource(dialogTemplate)), parent, instance);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEW dialogTemplate, CWnd* parent, HINSTANCE instance)
{
    if (!parent)
        parent = m_pParentWnd;
    return CreateDlgIndirect(dialogTemplate, parent, instance ? instance : AfxGetResourceHandle());
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEW dialogTemplate, CWnd* parent)
{
    m_lpDialogTemplate = dialogTemplate;
    m_pParentWnd = parent;
    return dialogTemplate != nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATEW dialogTemplate, CWnd* parent, HINSTANCE instance)
{
    if (!dialogTemplate || m_hWnd)
        return FALSE;
    if (!instance)
        instance = AfxGetResourceHandle();
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    AfxHookWindowCreate(this);
    HWND created =
        ::CreateDialogIndirectParamW(instance, dialogTemplate, parent ? parent->m_hWnd : nullptr, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!created || m_hWnd != created) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        if (created && m_hWnd != created)
            ::DestroyWindow(created);
        return FALSE;
    }
    return TRUE;
}

HWND CDialog::PreModal()
{
    AfxUnhookWindowCreate();
    CWnd* owner = GetSafeOwner(m_pParentWnd);
    m_hWndTop = owner ? owner->m_hWnd : nullptr;
    return m_hWndTop;
}

void CDialog::PostModal()
{
    AfxUnhookWindowCreate();
    if (m_hWnd)
        Detach();
    m_hWndTop = nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATEW dialogTemplate = m_lpDialogTemplate;
    HGLOBAL loaded = m_hDialogTemplate;
    HINSTANCE instance = AfxGetResourceHandle();
    if (m_lpszTemplateName) {
        instance = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
        HRSRC resource = ::FindResourceW(instance, m_lpszTemplateName, RT_DIALOG);
        loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    }
    if (loaded)
        dialogTemplate = static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded));
    if (!dialogTemplate)
        return -1;

    HWND parent = PreModal();
    bool enableParent = false;
    if (parent && parent != ::GetDesktopWindow() && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        enableParent = true;
    }
    if (CreateDlgIndirect(dialogTemplate, CWnd::FromHandle(parent), instance)) {
        if (m_nFlags & WF_CONTINUEMODAL) {
            DWORD flags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG)
                flags |= MLF_NOIDLEMSG;
            RunModalLoop(flags);
        }
        if (m_hWnd) {
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    if (enableParent)
        ::EnableWindow(parent, TRUE);
    if (parent && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(parent);
    DestroyWindow();
    PostModal();
    return m_nModalResult;
}

namespace {
// Messages that say the user is doing something (and so end an idle period).
bool IsIdleMessage(const MSG& msg, POINT& lastMouse, UINT& lastMouseMessage)
{
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        if (msg.message == lastMouseMessage && msg.pt.x == lastMouse.x && msg.pt.y == lastMouse.y)
            return false;
        lastMouse = msg.pt;
        lastMouseMessage = msg.message;
        return true;
    }
    return msg.message != WM_PAINT && msg.message != WM_TIMER && msg.message != 0x0118 /* system timer */;
}
}  // namespace

int CDialog::RunModalLoop(DWORD flags)
{
    bool idle = true;
    bool showOnIdle = (flags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND parent = ::GetParent(m_hWnd);
    POINT lastMouse{-1, -1};
    UINT lastMouseMessage = 0;
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    MSG msg{};
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showOnIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showOnIdle = false;
            }
            if (!(flags & MLF_NOIDLEMSG) && parent) {
                ::SendMessageW(parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            }
            AfxDeleteTempMap();
            idle = false;
        }
        do {
            if (!::GetMessageW(&msg, nullptr, 0, 0)) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));  // let the outer loop see it too
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            if (!AfxWalkPreTranslateTree(nullptr, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (!ContinueModal()) {
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return m_nModalResult;
            }
            if (IsIdleMessage(msg, lastMouse, lastMouseMessage))
                idle = true;
        } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CDialog::ContinueModal()
{
    // A window destroyed behind the loop's back ends the loop as well.
    return (m_nFlags & WF_CONTINUEMODAL) && m_hWnd && ::IsWindow(m_hWnd);
}

void CDialog::EndModalLoop(int result)
{
    m_nModalResult = result;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if it waits for a message
    }
}

void CDialog::EndDialog(int result)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(result);
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    const bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                       (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    if (!input || !m_hWnd)
        return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

HBRUSH CDialog::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return CWnd::OnCtlColor(dc, wnd, ctlColor);
}
