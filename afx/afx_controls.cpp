#include "afx_controls.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace {
// Owner-draw messages a control answers itself once its parent reflects them.
BOOL HandleOwnerDraw(UINT message, LPARAM lParam, LRESULT* pResult, void (*draw)(CWnd*, LPDRAWITEMSTRUCT),
                     void (*measure)(CWnd*, LPMEASUREITEMSTRUCT), CWnd* self)
{
    if (message == WM_DRAWITEM && draw) {
        draw(self, reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    } else if (message == WM_MEASUREITEM && measure) {
        measure(self, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    } else {
        return FALSE;
    }
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}
}  // namespace

BOOL CButton::Create(const wchar_t* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"BUTTON", caption, style, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{ }

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (HandleOwnerDraw(
            message, lParam, pResult, [](CWnd* w, LPDRAWITEMSTRUCT d) { static_cast<CButton*>(w)->DrawItem(d); },
            nullptr, this)) {
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"STATIC", text, style, rect, parent, id);
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT)
{ }

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (HandleOwnerDraw(
            message, lParam, pResult, [](CWnd* w, LPDRAWITEMSTRUCT d) { static_cast<CStatic*>(w)->DrawItem(d); },
            nullptr, this)) {
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"EDIT", nullptr, style, rect, parent, id);
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"COMBOBOX", nullptr, style, rect, parent, id);
}

void CComboBox::GetLBText(int index, CString& text) const
{
    text.Empty();
    const int length = static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    if (length < 0)
        return;
    wchar_t* buffer = text.GetBufferSetLength(length + 1);
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
}

BOOL CComboBox::GetComboBoxInfo(COMBOBOXINFO* info) const
{
    info->cbSize = sizeof(COMBOBOXINFO);
    return ::GetComboBoxInfo(m_hWnd, info);
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT)
{ }

void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT)
{ }

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (HandleOwnerDraw(
            message, lParam, pResult, [](CWnd* w, LPDRAWITEMSTRUCT d) { static_cast<CComboBox*>(w)->DrawItem(d); },
            [](CWnd* w, LPMEASUREITEMSTRUCT m) { static_cast<CComboBox*>(w)->MeasureItem(m); }, this)) {
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"LISTBOX", nullptr, style, rect, parent, id);
}

void CListBox::GetText(int index, CString& text) const
{
    text.Empty();
    const int length = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
    if (length < 0)
        return;
    wchar_t* buffer = text.GetBufferSetLength(length + 1);
    SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT)
{ }

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT)
{ }

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (HandleOwnerDraw(
            message, lParam, pResult, [](CWnd* w, LPDRAWITEMSTRUCT d) { static_cast<CListBox*>(w)->DrawItem(d); },
            [](CWnd* w, LPMEASUREITEMSTRUCT m) { static_cast<CListBox*>(w)->MeasureItem(m); }, this)) {
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
}

BOOL CListCtrl::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::CreateEx(exStyle, WC_LISTVIEWW, nullptr, style | WS_CHILD, rect, parent, id);
}

int CListCtrl::InsertColumn(int index, const wchar_t* heading, int format, int width, int subItem)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.fmt = format;
    column.pszText = const_cast<wchar_t*>(heading ? heading : L"");
    if (width != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    if (subItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = subItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const wchar_t* text)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int index, int subItem, const wchar_t* text)
{
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text ? text : L"");
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemText(int index, int subItem, wchar_t* buffer, int capacity) const
{
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = L'\0';
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = capacity;
    return static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int index, int subItem) const
{
    // Grow the buffer until the text fits (the control reports the characters it copied).
    for (int capacity = 260;; capacity *= 4) {
        CString text;
        wchar_t* buffer = text.GetBufferSetLength(capacity);
        const int copied = GetItemText(index, subItem, buffer, capacity);
        text.ReleaseBuffer();
        if (copied < capacity - 1 || capacity >= (1 << 20))
            return text;
    }
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data)
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask)
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::GetItemRect(int index, LPRECT r, UINT code) const
{
    r->left = static_cast<LONG>(code);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(r)));
}

BOOL CListCtrl::GetSubItemRect(int index, int subItem, int code, LPRECT r) const
{
    r->top = subItem;
    r->left = code;
    return static_cast<BOOL>(SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(r)));
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const
{
    LVHITTESTINFO info{};
    info.pt = point;
    const int index = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags)
        *flags = info.flags;
    return index;
}
