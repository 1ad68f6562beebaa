#include "skin_edit.h"

IMPLEMENT_DYNAMIC(qrn_SkinEdit, CEdit)

BEGIN_MESSAGE_MAP(qrn_SkinEdit, CEdit)
ON_WM_NCPAINT()
ON_CONTROL_REFLECT(EN_SETFOCUS, OnFocusChanged)
ON_CONTROL_REFLECT(EN_KILLFOCUS, OnFocusChanged)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_CHAR()
END_MESSAGE_MAP()

void DrawWindowBorder(HWND hWnd, COLORREF color)
{
    HDC dc = ::GetWindowDC(hWnd);
    if (!dc)
        return;
    RECT r{};
    ::GetWindowRect(hWnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HPEN pen = ::CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = ::SelectObject(dc, pen);
    ::MoveToEx(dc, 0, 0, nullptr);
    ::LineTo(dc, w - 1, 0);
    ::LineTo(dc, w - 1, h - 1);
    ::LineTo(dc, 0, h - 1);
    ::LineTo(dc, 0, 0);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
    ::ReleaseDC(hWnd, dc);
}

qrn_SkinEdit::qrn_SkinEdit() : m_hBackBrush(::CreateSolidBrush(RGB(255, 255, 255)))
{ }

qrn_SkinEdit::~qrn_SkinEdit()
{
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
}

void qrn_SkinEdit::SetBackColor(COLORREF color)
{
    m_clrBack = color;
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
    m_hBackBrush = ::CreateSolidBrush(color);
}

void qrn_SkinEdit::PaintBorder()
{
    if (m_bDrawBorder && m_hWnd)
        DrawWindowBorder(m_hWnd, m_clrBorder);
}

HBRUSH qrn_SkinEdit::CtlColor(CDC* dc, UINT)
{
    PaintBorder();
    dc->SetTextColor(m_clrText);
    dc->SetBkColor(m_clrBack);
    dc->SetBkMode(TRANSPARENT);
    return m_hBackBrush;
}

void qrn_SkinEdit::OnMouseMove(UINT flags, CPoint point)
{
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = 0;
    ::_TrackMouseEvent(&track);
    CEdit::OnMouseMove(flags, point);
}

void qrn_SkinEdit::OnChar(UINT ch, UINT repeat, UINT flags)
{
    // The transparent text background needs the whole box repainted on every keystroke.
    Invalidate(TRUE);
    CEdit::OnChar(ch, repeat, flags);
}
