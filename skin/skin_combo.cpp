#include "skin_combo.h"

#include "skin_edit.h"

IMPLEMENT_DYNAMIC(qrn_SkinListBox, CListBox)
IMPLEMENT_DYNAMIC(qrn_SkinComboBox, CComboBox)

BEGIN_MESSAGE_MAP(qrn_SkinListBox, CListBox)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(qrn_SkinComboBox, CComboBox)
ON_WM_PAINT()
ON_MESSAGE(WM_CTLCOLORLISTBOX, OnCtlColorListBox)
ON_WM_DESTROY()
END_MESSAGE_MAP()

qrn_SkinListBox::~qrn_SkinListBox() = default;

void qrn_SkinListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    // Sized by the item's real length: a long item never overruns a fixed buffer.
    CString text;
    if (static_cast<int>(dis->itemID) >= 0)
        GetText(static_cast<int>(dis->itemID), text);
    DrawWindowBorder(m_hWnd, m_clrBorder);
    const bool focused = (dis->itemState & ODS_FOCUS) != 0;
    CDC dc;
    dc.Attach(dis->hDC);
    dc.FillSolidRect(&dis->rcItem, focused ? m_clrFocusBack : m_clrItemBack);
    CRect box(dis->rcItem);
    box.left += 5;
    const int saved = dc.SaveDC();
    dc.SetBkMode(TRANSPARENT);
    HFONT font = GetFontHandle();
    if (font)
        dc.SelectObject(font);
    dc.SetTextColor(focused ? m_clrFocusText : m_clrItemText);
    dc.DrawText(text, -1, &box, DT_SINGLELINE | DT_VCENTER);
    dc.RestoreDC(saved);
    dc.Detach();
}

qrn_SkinComboBox::qrn_SkinComboBox() : m_hBackBrush(::CreateSolidBrush(RGB(229, 239, 243)))
{ }

qrn_SkinComboBox::~qrn_SkinComboBox()
{
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
}

void qrn_SkinComboBox::PreSubclassWindow()
{
    const DWORD style =
        (GetStyle() & ~static_cast<DWORD>(0xC)) | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
    CComboBox::PreSubclassWindow();
}

void qrn_SkinComboBox::PaintClosedBox(HDC hdc, const RECT& box)
{
    CDC dc;
    dc.Attach(hdc);
    const CRect R(box);
    const int saved = dc.SaveDC();
    dc.FillRect(&R, m_hBackBrush);
    DrawWindowBorder(m_hWnd, m_clrBorder);

    CPen boxPen(PS_SOLID, 1, m_clrArrowBox);
    dc.SelectObject(&boxPen);
    dc.Rectangle(R.right - 18, R.top + 4, R.right - 3, R.bottom - 4);
    CPen glyphPen(PS_SOLID, 1, m_clrArrowGlyph);
    dc.SelectObject(&glyphPen);
    dc.MoveTo(R.right - 14, R.top + 11);
    dc.LineTo(R.right - 11, R.top + 14);
    dc.LineTo(R.right - 7, R.top + 10);

    wchar_t text[260] = {};
    GetWindowText(text, 260);
    CRect textBox(R.left + 5, R.top, R.right, R.bottom);
    HFONT font = GetFontHandle();
    dc.SelectObject(font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    dc.SetTextColor(m_clrText);
    dc.SetBkColor(m_clrTextBack);
    dc.DrawText(text, -1, &textBox, DT_SINGLELINE | DT_VCENTER);
    dc.RestoreDC(saved);
    dc.Detach();

    if (m_list.m_hWnd)
        DrawWindowBorder(m_list.m_hWnd, m_list.m_clrBorder);
}

void qrn_SkinComboBox::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintClosedBox(dc.m_hDC, client);
}

void qrn_SkinComboBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (dis->itemID == static_cast<UINT>(-1))
        return;
    CRect client;
    GetClientRect(&client);
    PaintClosedBox(dis->hDC, client);
}

LRESULT qrn_SkinComboBox::OnCtlColorListBox(WPARAM, LPARAM lParam)
{
    HWND list = reinterpret_cast<HWND>(lParam);
    if (!m_list.m_hWnd && list && list != m_hWnd)
        m_list.SubclassWindow(list);
    return Default();
}

void qrn_SkinComboBox::OnDestroy()
{
    if (m_list.m_hWnd)
        m_list.UnsubclassWindow();
    CComboBox::OnDestroy();
}
