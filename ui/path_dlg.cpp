#include "path_dlg.h"

#include <string.h>
#include <wchar.h>

#include "folder_check.h"

BEGIN_MESSAGE_MAP(qrn_PathDlgEdit, CWnd)
ON_BN_CLICKED(IDOK, OnOK)
ON_EN_CHANGE(IDC_PATH_TYPED, OnTypedPathChange)
END_MESSAGE_MAP()

void qrn_PathDlgEdit::OnOK()
{
    memset(m_szPath, 0, sizeof(m_szPath));
    ::GetDlgItemTextW(m_hWnd, IDC_PATH_TYPED, m_szPath, MAX_PATH);
    if (ConfirmOutputFolder(m_szPath) != 0) {
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_PATH_TYPED));
        return;
    }
    m_nResult = 1;
    ::EndDialog(m_hWnd, 1);
}

void qrn_PathDlgEdit::OnTypedPathChange()
{
    memset(m_szPath, 0, sizeof(m_szPath));
    ::GetDlgItemTextW(m_hWnd, IDC_PATH_TYPED, m_szPath, MAX_PATH);
    SendMessage(BFFM_ENABLEOK, 0, m_szPath[0] ? TRUE : FALSE);
}

qrn_PathDlg::qrn_PathDlg(const wchar_t* caption, const wchar_t* initialFolder) : m_hook(this)
{
    memset(&m_bi, 0, sizeof(m_bi));
    memset(m_szCaption, 0, sizeof(m_szCaption));
    memset(m_szInitialFolder, 0, sizeof(m_szInitialFolder));
    if (caption)
        wcsncpy(m_szCaption, caption, MAX_PATH - 1);
    if (initialFolder)
        wcsncpy(m_szInitialFolder, initialFolder, MAX_PATH - 1);
    m_pOwnerWnd = CWnd::GetSafeOwner(nullptr);
    m_bi.hwndOwner = m_pOwnerWnd ? m_pOwnerWnd->m_hWnd : nullptr;
    m_bi.pidlRoot = nullptr;
    m_bi.lpszTitle = L"Please select a directory ...";
    m_bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    m_bi.lpfn = BrowseCallback;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
    m_bi.iImage = 0;
}

int qrn_PathDlg::DoModal()
{
    m_hook.m_nResult = -1;
    memset(m_szDisplayName, 0, sizeof(m_szDisplayName));
    m_bi.pszDisplayName = m_szDisplayName;
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator)
        return m_hook.m_nResult;
    if (PIDLIST_ABSOLUTE item = AfxBrowseForFolder(&m_bi))
        allocator->Free(item);
    allocator->Release();
    // The browser is gone; let go of its window if it was still taken over.
    if (m_hook.m_hWnd)
        m_hook.UnsubclassWindow();
    return m_hook.m_nResult;
}

int CALLBACK qrn_PathDlg::BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data)
{
    qrn_PathDlg* self = reinterpret_cast<qrn_PathDlg*>(data);
    if (!self)
        return 0;
    if (message == BFFM_INITIALIZED)
        self->OnInitialized(browser);
    else if (message == BFFM_SELCHANGED)
        self->OnSelectionChanged(reinterpret_cast<LPCITEMIDLIST>(lParam));
    return 0;
}

void qrn_PathDlg::OnInitialized(HWND browser)
{
    m_hBrowser = browser;
    if (m_szCaption[0])
        ::SetWindowTextW(browser, m_szCaption);
    m_hook.SubclassWindow(browser);
    if (HWND status = ::GetDlgItem(browser, IDC_BROWSER_STATUS))
        ::ShowWindow(status, SW_HIDE);

    RECT tree = {};
    if (HWND treeWnd = ::GetDlgItem(browser, IDC_BROWSER_TREE))
        ::GetWindowRect(treeWnd, &tree);
    RECT line = {tree.left, tree.top - 27, tree.right, tree.top - 4};
    ::MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&line), 2);
    HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                  line.left, line.top, line.right - line.left, line.bottom - line.top, browser, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (edit) {
        ::SetWindowLongPtrW(edit, GWLP_ID, IDC_PATH_TYPED);
        ::ShowWindow(edit, SW_SHOW);
        ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(browser, WM_GETFONT, 0, 0), TRUE);
    }

    wchar_t initial[MAX_PATH] = {};
    if (m_szInitialFolder[0])
        wcsncpy(initial, m_szInitialFolder, MAX_PATH - 1);
    else
        GetCurrentDirectoryW(MAX_PATH, initial);
    ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initial));
}

void qrn_PathDlg::OnSelectionChanged(LPCITEMIDLIST item)
{
    wchar_t path[MAX_PATH] = {};
    // Only drive paths can hold the output; network places and virtual folders cannot.
    if (!item || !SHGetPathFromIDListW(item, path) || path[1] != L':')
        path[0] = 0;
    ::SendMessageW(m_hBrowser, BFFM_ENABLEOK, 0, path[0] ? TRUE : FALSE);
    ::SendMessageW(m_hBrowser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    ::SetDlgItemTextW(m_hBrowser, IDC_PATH_TYPED, path);
}
