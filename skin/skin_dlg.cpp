#include "skin_dlg.h"

IMPLEMENT_DYNAMIC(qrn_SkinDlg, CDialog)

BEGIN_MESSAGE_MAP(qrn_SkinDlg, CDialog)
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

qrn_SkinDlg::qrn_SkinDlg(UINT templateId)
    : CDialog(templateId, nullptr), m_hCtlBrush(::CreateSolidBrush(RGB(51, 50, 52))),
      m_hDragCursor(::LoadCursorW(nullptr, IDC_SIZEALL))
{
    m_fontCaption.CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

qrn_SkinDlg::~qrn_SkinDlg()
{
    if (m_hCtlBrush)
        ::DeleteObject(m_hCtlBrush);
    m_fontCaption.DeleteObject();
}

int qrn_SkinDlg::LoadSkin()
{
    return 0;
}

int qrn_SkinDlg::FreeSkin()
{
    return 0;
}

int qrn_SkinDlg::LayoutControls()
{
    return 1;
}

HGLOBAL qrn_SkinDlg::LoadTemplate()
{
    if (!m_lpszTemplateName)
        return nullptr;
    HINSTANCE instance = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC resource = ::FindResourceW(instance, m_lpszTemplateName, RT_DIALOG);
    return resource ? ::LoadResource(instance, resource) : nullptr;
}

BOOL qrn_SkinDlg::Create(const wchar_t* templateName, CWnd* parent)
{
    m_lpszTemplateName = templateName;
    if (IS_INTRESOURCE(templateName) && m_nIDHelp == 0) {
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(templateName));
    }
    return CDialog::CreateIndirect(LoadTemplate(), parent, AfxGetInstanceHandle());
}

BOOL qrn_SkinDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadSkin();
    BITMAP bm{};
    if (m_imgBack.GetBitmap(&bm)) {
        m_nWidth = bm.bmWidth;
        m_nHeight = bm.bmHeight;
        SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE);
        CRgn outline;
        BuildImageRegion(&m_imgBack, &outline);
        // The window owns the region from here on.
        SetWindowRgn(static_cast<HRGN>(outline.Detach()), TRUE);
        Invalidate(TRUE);
    }
    LayoutControls();
    return TRUE;
}

void qrn_SkinDlg::OnOK()
{
    if (!m_bIgnoreOK)
        CDialog::OnOK();
}

void qrn_SkinDlg::OnCancel()
{
    if (!m_bIgnoreCancel)
        CDialog::OnCancel();
}

BOOL qrn_SkinDlg::OnEraseBkgnd(CDC* dc)
{
    if (!m_imgBack.m_hObject)
        return CDialog::OnEraseBkgnd(dc);
    StretchImagePart(dc, &m_imgBack, 0, 0, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight);
    if (!m_strCaption.IsEmpty())
        DrawCaption(dc);
    return TRUE;
}

void qrn_SkinDlg::DrawCaption(CDC* dc)
{
    HGDIOBJ font = m_fontCaption.m_hObject ? m_fontCaption.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ oldFont = dc->SelectObject(font);
    dc->SetTextColor(m_clrCaption);
    dc->SetBkMode(TRANSPARENT);
    RECT box{m_nCaptionLeft, m_nCaptionTop, m_nWidth, m_nCaptionTop + m_nCaptionHeight};
    dc->DrawText(m_strCaption, -1, &box, 0);
    dc->SelectObject(oldFont);
}

HBRUSH qrn_SkinDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    if (!m_bSkinCtlColor)
        return CDialog::OnCtlColor(dc, wnd, ctlColor);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_clrCtlText);
    return m_hCtlBrush;
}

void qrn_SkinDlg::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_bDragEnabled && point.y <= m_nCaptionHeight) {
        ::SetCursor(m_hDragCursor);
        // The system moves the window as if its caption had been pressed.
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        return;
    }
    CDialog::OnLButtonDown(flags, point);
}

void qrn_SkinDlg::OnMouseMove(UINT flags, CPoint point)
{
    if (m_bDragEnabled && point.y <= m_nCaptionHeight)
        ::SetCursor(m_hDragCursor);
    CDialog::OnMouseMove(flags, point);
}

void qrn_SkinDlg::OnDestroy()
{
    CDialog::OnDestroy();
    FreeSkin();
}

INT_PTR qrn_SkinDlg::RunModal(HWND parent)
{
    LPCDLGTEMPLATEW dialogTemplate = m_lpDialogTemplate;
    HGLOBAL handle = m_lpszTemplateName ? LoadTemplate() : m_hDialogTemplate;
    if (handle)
        dialogTemplate = static_cast<LPCDLGTEMPLATEW>(::LockResource(handle));
    if (!dialogTemplate)
        return -1;

    if (!parent) {
        parent = PreModal();
    } else {
        AfxUnhookWindowCreate();
    }
    bool enableParent = false;
    if (parent && parent != ::GetDesktopWindow() && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        enableParent = true;
    }
    bool enableMain = false;
    CWnd* main = AfxGetMainWnd();
    if (main && main->m_hWnd && main->IsFrameWnd() && main->IsWindowEnabled()) {
        main->EnableWindow(FALSE);
        enableMain = true;
    }

    try {
        if (CreateDlgIndirect(dialogTemplate, CWnd::FromHandle(parent), AfxGetInstanceHandle()) &&
            (m_nFlags & WF_CONTINUEMODAL)) {
            DWORD loopFlags = MLF_SHOWONIDLE;
            if (GetStyle() & DS_NOIDLEMSG)
                loopFlags |= MLF_NOIDLEMSG;
            RunModalLoop(loopFlags);
        }
        if (m_hWnd) {
            SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    } catch (...) {
        m_nModalResult = -1;
    }

    if (enableMain)
        main->EnableWindow(TRUE);
    if (enableParent)
        ::EnableWindow(parent, TRUE);
    if (parent && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(parent);
    DestroyWindow();
    PostModal();
    return m_nModalResult;
}
