#include "skin_btn.h"

#include <commctrl.h>

IMPLEMENT_DYNAMIC(qrn_SkinBtn, CButton)
IMPLEMENT_DYNAMIC(qrn_SkinSysBtn, qrn_SkinBtn)

BEGIN_MESSAGE_MAP(qrn_SkinBtn, CButton)
ON_WM_CREATE()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(qrn_SkinSysBtn, qrn_SkinBtn)
ON_WM_SETFOCUS()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

int SkinBtnFrameIndex(UINT itemState, bool hovering)
{
    if (itemState & ODS_DISABLED)
        return 3;
    if (itemState & ODS_SELECTED)
        return 2;
    return hovering ? 1 : 0;
}

qrn_SkinBtn::qrn_SkinBtn() : m_hCursor(::LoadCursorW(nullptr, IDC_HAND))
{ }

qrn_SkinBtn::~qrn_SkinBtn() = default;

void qrn_SkinBtn::SetImage(HBITMAP strip)
{
    m_bStretch = FALSE;
    m_img.Attach(strip);
    SizeToFrame();
    if (m_hWnd)
        Invalidate(FALSE);
}

HBITMAP qrn_SkinBtn::ReleaseImage()
{
    return static_cast<HBITMAP>(m_img.Detach());
}

void qrn_SkinBtn::SizeToFrame()
{
    if (!m_hWnd)
        return;
    SetWindowPos(nullptr, 0, 0, m_img.Width() / 5, m_img.Height(), SWP_NOMOVE);
}

void qrn_SkinBtn::MakeOwnerDraw()
{
    SendMessage(BM_SETSTYLE, (GetStyle() & 0xFFF4) | BS_OWNERDRAW, TRUE);
}

void qrn_SkinBtn::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    MakeOwnerDraw();
    // Quick second clicks arrive as ordinary clicks (this changes the class for the process).
    ::SetClassLongPtrW(m_hWnd, GCL_STYLE, ::GetClassLongPtrW(m_hWnd, GCL_STYLE) & ~static_cast<LONG_PTR>(CS_DBLCLKS));
}

int qrn_SkinBtn::OnCreate(LPCREATESTRUCT cs)
{
    if (CButton::OnCreate(cs) == -1)
        return -1;
    MakeOwnerDraw();
    return 0;
}

void qrn_SkinBtn::NotifyHover(int entered)
{
    HWND parent = ::GetParent(m_hWnd);
    if (!::IsWindow(parent))
        return;
    NMSKINHOVER nm{};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = SKBN_HOVER;
    nm.entered = entered;
    ::SendMessageW(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void qrn_SkinBtn::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bHover) {
        m_bHover = true;
        Invalidate(FALSE);
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = HOVER_DEFAULT;
        ::_TrackMouseEvent(&track);
        NotifyHover(1);
    }
    ::SetCursor(m_hCursor);
    CButton::OnMouseMove(flags, point);
}

void qrn_SkinBtn::OnMouseLeave()
{
    NotifyHover(0);
    m_bHover = false;
    Invalidate(FALSE);
}

BOOL qrn_SkinBtn::OnEraseBkgnd(CDC*)
{
    // No erasing: the picture covers the whole button.
    Invalidate(FALSE);
    UpdateWindow();
    return TRUE;
}

void qrn_SkinBtn::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC dc;
    dc.Attach(dis->hDC);
    CRect client;
    GetClientRect(&client);
    const int frameWidth = m_img.Width() / 5;
    const int srcX = SkinBtnFrameIndex(dis->itemState, m_bHover) * frameWidth;
    if (!m_bStretch) {
        BltImagePart(&dc, &m_img, 0, 0, client.Width(), client.Height(), srcX, 0);
    } else {
        StretchImagePart(&dc, &m_img, 0, 0, client.Width(), client.Height(), srcX, 0, frameWidth, m_img.Height());
    }
    dc.Detach();
}

qrn_SkinSysBtn::~qrn_SkinSysBtn() = default;

void qrn_SkinSysBtn::OnSetFocus(CWnd* oldWnd)
{
    m_hWndPrevFocus = oldWnd ? oldWnd->m_hWnd : nullptr;
    qrn_SkinBtn::OnSetFocus(oldWnd);
}

void qrn_SkinSysBtn::OnLButtonUp(UINT flags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    const bool inside =
        point.x >= client.left && point.x <= client.right && point.y >= client.top && point.y <= client.bottom;
    HWND self = m_hWnd;
    if (inside) {
        ::SendMessageW(::GetParent(self), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(self));
        if (!m_hWnd)
            return;  // the command destroyed the button
    }
    if (m_hWndPrevFocus && ::IsWindow(m_hWndPrevFocus))
        ::SetFocus(m_hWndPrevFocus);
    // The click has been reported: releasing the capture cancels the button's own BN_CLICKED,
    // which would otherwise report it a second time when the focus stayed on the button.
    if (inside && ::GetCapture() == self)
        ::ReleaseCapture();
    qrn_SkinBtn::OnLButtonUp(flags, point);
}

// ---------------------------------------------------------------- shared tooltip

namespace {
HWND g_sharedToolTip = nullptr;
}

HWND CreateSharedToolTip()
{
    if (g_sharedToolTip && ::IsWindow(g_sharedToolTip))
        return g_sharedToolTip;
    g_sharedToolTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                        AfxGetInstanceHandle(), nullptr);
    if (!g_sharedToolTip)
        return nullptr;
    ::SetWindowPos(g_sharedToolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    ::SendMessageW(g_sharedToolTip, TTM_ACTIVATE, TRUE, 0);
    return g_sharedToolTip;
}

void DestroySharedToolTip()
{
    if (g_sharedToolTip)
        ::DestroyWindow(g_sharedToolTip);
    g_sharedToolTip = nullptr;
}

HWND GetSharedToolTip()
{
    return g_sharedToolTip;
}

BOOL AddControlToolTip(CWnd* parent, const wchar_t* text, UINT id)
{
    if (!g_sharedToolTip || !parent)
        return FALSE;
    TOOLINFOW info{};
    // The record without its trailing reserved pointer: accepted by every common-controls version.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = parent->m_hWnd;
    info.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
    info.hinst = AfxGetInstanceHandle();
    info.lpszText = const_cast<wchar_t*>(text ? text : L"");
    return ::SendMessageW(g_sharedToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}
