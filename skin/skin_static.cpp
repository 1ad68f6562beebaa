#include "skin_static.h"

IMPLEMENT_DYNAMIC(qrn_SkinStatic, CStatic)

BEGIN_MESSAGE_MAP(qrn_SkinStatic, CStatic)
ON_WM_PAINT()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

qrn_SkinStatic::qrn_SkinStatic() : m_hBackBrush(::CreateSolidBrush(m_clrBack))
{
    m_font.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
}

qrn_SkinStatic::~qrn_SkinStatic()
{
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
}

void qrn_SkinStatic::SetBackColor(COLORREF color)
{
    m_clrBack = color;
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
    m_hBackBrush = ::CreateSolidBrush(color);
}

void qrn_SkinStatic::OnPaint()
{
    if (!m_bDrawSelf) {
        CStatic::OnPaint();
        return;
    }
    CPaintDC dc(this);
    wchar_t text[260] = {};
    GetWindowText(text, 260);
    CRect client;
    GetClientRect(&client);
    const int saved = dc.SaveDC();
    dc.FillRect(&client, m_hBackBrush);
    dc.SetTextColor(m_clrText);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(m_font.m_hObject ? m_font.m_hObject : ::GetStockObject(DEFAULT_GUI_FONT));
    dc.DrawText(text, -1, &client, m_nFormat);
    dc.RestoreDC(saved);
}

void qrn_SkinStatic::OnMouseMove(UINT flags, CPoint point)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    CStatic::OnMouseMove(flags, point);
}

void qrn_SkinStatic::OnLButtonDown(UINT flags, CPoint point)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    CStatic::OnLButtonDown(flags, point);
}

HBRUSH qrn_SkinStatic::CtlColor(CDC* dc, UINT)
{
    dc->SetTextColor(m_clrText);
    dc->SetBkColor(m_clrBack);
    dc->SetBkMode(TRANSPARENT);
    return m_hBackBrush;
}
