#include "skin_list.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(qrn_SkinHeader, CHeaderCtrl)
IMPLEMENT_DYNAMIC(qrn_SkinList, CListCtrl)

BEGIN_MESSAGE_MAP(qrn_SkinHeader, CHeaderCtrl)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(qrn_SkinList, CListCtrl)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_NCPAINT()
ON_WM_NCCALCSIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_NOTIFY_REFLECT(LVN_INSERTITEM, OnItemInserted)
ON_NOTIFY_REFLECT(LVN_DELETEITEM, OnItemDeleted)
ON_WM_MOUSEWHEEL()
ON_WM_LBUTTONDOWN()
ON_WM_KEYDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

namespace {
// Posted to itself after a row is deleted: the control announces a deletion before it happens.
const UINT kRowsChangedMessage = ::RegisterWindowMessageW(L"qrn_SkinList.RowsChanged");
}  // namespace

int SkinListScrollMax(int total, int visible, int unit)
{
    if (unit <= 0)
        return 0;
    const int hidden = total - visible;
    return hidden > 0 ? (hidden + unit - 1) / unit : hidden / unit;
}

// ---------------------------------------------------------------- header

qrn_SkinHeader::qrn_SkinHeader() : m_hFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)))
{ }

qrn_SkinHeader::~qrn_SkinHeader() = default;

int qrn_SkinHeader::DrawBackground(HDC dc, int width)
{
    if (!m_hWnd)
        return 0;
    CRect client;
    GetClientRect(&client);
    client.right = client.left + width;
    CDC target;
    target.Attach(dc);
    target.FillSolidRect(&client, m_clrBack);
    target.Detach();
    return client.Height();
}

void qrn_SkinHeader::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CDC mem;
    if (!mem.CreateCompatibleDC(&dc))
        return;
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
    HGDIOBJ old = mem.SelectObject(&bitmap);
    mem.SetTextColor(m_clrText);
    DrawHeader(mem.m_hDC, client.Width(), client.Height(), client);
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}

void qrn_SkinHeader::DrawHeader(HDC dc, int, int, RECT area)
{
    const int saved = ::SaveDC(dc);
    HBRUSH brush = ::CreateSolidBrush(m_clrBack);
    HPEN pen = ::CreatePen(PS_SOLID, 1, m_clrLine);
    ::SelectObject(dc, pen);
    ::SetBkMode(dc, TRANSPARENT);
    ::SelectObject(dc, m_hFont);
    ::FillRect(dc, &area, brush);
    const int count = GetItemCount();
    for (int i = 0; i < count; ++i) {
        RECT r{};
        GetItemRect(i, &r);
        wchar_t text[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = 260;
        GetItem(i, &item);
        ::MoveToEx(dc, r.right, r.top, nullptr);
        ::LineTo(dc, r.right, r.bottom);
        r.top += 4;
        ::DrawTextW(dc, text, -1, &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::RestoreDC(dc, saved);
    ::DeleteObject(brush);
    ::DeleteObject(pen);
}

// ---------------------------------------------------------------- list

qrn_SkinList::qrn_SkinList()
    : m_pHeader(new qrn_SkinHeader), m_hFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)))
{ }

qrn_SkinList::~qrn_SkinList()
{
    DestroyWindow();  // the header's object goes below; its window must go first
    DeleteHeaderObject(m_pHeader);
    m_pHeader = nullptr;
}

qrn_SkinHeader* qrn_SkinList::CreateHeaderObject()
{
    return new qrn_SkinHeader;
}

void qrn_SkinList::DeleteHeaderObject(qrn_SkinHeader* header)
{
    delete header;
}

void qrn_SkinList::SubclassHeader()
{
    HWND header = GetHeaderHandle();
    if (header && m_pHeader && !m_pHeader->m_hWnd)
        m_pHeader->SubclassWindow(header);
}

BOOL qrn_SkinList::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CListCtrl::Create(style, rect, parent, id))
        return FALSE;
    SubclassHeader();
    return TRUE;
}

BOOL qrn_SkinList::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CListCtrl::CreateEx(exStyle, style, rect, parent, id))
        return FALSE;
    SubclassHeader();
    return TRUE;
}

void qrn_SkinList::PreSubclassWindow()
{
    SubclassHeader();  // a list being created has no header yet; Create subclasses it later
    CListCtrl::PreSubclassWindow();
}

void qrn_SkinList::AttachSkin(const SkinListStyle* style)
{
    CWnd* parent = GetParent();
    CRect r;
    GetWindowRect(&r);
    if (parent)
        parent->ScreenToClient(&r);
    MoveWindow(r.left, r.top, r.Width() - m_nBarSize, r.Height() - m_nBarSize);
    SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    if (style) {
        if (m_pHeader) {
            if (style->dwHeaderMask & 1)
                m_pHeader->m_clrBack = style->clrHeaderBack;
            if (style->dwHeaderMask & 2)
                m_pHeader->m_clrLine = style->clrHeaderLine;
            if (style->dwHeaderMask & 4)
                m_pHeader->m_clrText = style->clrHeaderText;
        }
        if (style->dwListMask & 1)
            m_bNoBorder = style->bNoBorder;
        if (style->dwListMask & 2)
            m_bNoVScroll = style->bNoVScroll;
        if (style->dwListMask & 4)
            m_bNoHScroll = style->bNoHScroll;
        if (style->dwListMask & 8)
            m_clrSelFill = style->clrSelFill;
    }
    if (!m_bNoHScroll && !m_hBar.m_hWnd && m_hBar.CreateBar(parent)) {
        m_hBar.m_pScrollObj = this;
        UpdateScrollBar(0);
    }
    if (!m_bNoVScroll && !m_vBar.m_hWnd && m_vBar.CreateBar(parent)) {
        m_vBar.m_pScrollObj = this;
        UpdateScrollBar(1);
    }
    PlaceScrollBars();
}

void qrn_SkinList::PlaceScrollBars()
{
    CWnd* parent = GetParent();
    CRect r;
    GetWindowRect(&r);
    if (parent)
        parent->ScreenToClient(&r);
    if (m_vBar.m_hWnd)
        m_vBar.SetWindowPos(nullptr, r.right, r.top, m_nBarSize, r.Height() + m_nBarSize, SWP_NOZORDER);
    if (m_hBar.m_hWnd)
        m_hBar.SetWindowPos(nullptr, r.left, r.bottom, r.Width() + 1, m_nBarSize, SWP_NOZORDER);
}

void qrn_SkinList::UpdateScrollBar(int orientation)
{
    const int max = GetScrollMax(orientation);
    if (orientation == 1) {
        if (m_bNoVScroll || !m_vBar.m_hWnd)
            return;
        CRect r;
        GetWindowRect(&r);
        if (max > 0) {
            if (!m_bVBarShown) {
                SetWindowPos(nullptr, 0, 0, r.Width() - m_nBarSize + 1, r.Height(), SWP_NOMOVE | SWP_NOZORDER);
                m_bVBarShown = TRUE;
                if (m_hBar.m_hWnd)
                    m_hBar.Invalidate();
            }
            m_vBar.ShowWindow(SW_SHOW);
            m_vBar.MoveBy(0);
            m_vBar.UpdateWindow();
        } else {
            if (m_bVBarShown) {
                SetWindowPos(nullptr, 0, 0, r.Width() + m_nBarSize - 1, r.Height(), SWP_NOMOVE | SWP_NOZORDER);
                m_bVBarShown = FALSE;
                Invalidate();
                if (m_hBar.m_hWnd)
                    m_hBar.Invalidate();
            }
            m_vBar.ShowWindow(SW_HIDE);
        }
        return;
    }
    if (m_bNoHScroll || !m_hBar.m_hWnd)
        return;
    if (max > 0) {
        m_hBar.ShowWindow(SW_SHOW);
        m_hBar.MoveBy(0);
        m_hBar.UpdateWindow();
    } else {
        m_hBar.ShowWindow(SW_HIDE);
    }
}

// ---------------------------------------------------------------- extent

int qrn_SkinList::TotalWidth()
{
    HWND header = GetHeaderHandle();
    if (!header)
        return 0;
    const int columns = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int total = 0;
    for (int c = 0; c < columns; ++c)
        total += GetColumnWidth(c);
    return total;
}

int qrn_SkinList::VisibleWidth()
{
    CRect client;
    GetClientRect(&client);
    return std::min(TotalWidth(), std::max(client.Width() - 12, 12));
}

int qrn_SkinList::RowHeight()
{
    if (m_nRowHeight == 0 && GetItemCount() > 0) {
        CRect row;
        if (GetItemRect(0, &row, LVIR_BOUNDS))
            m_nRowHeight = row.Height();
    }
    return m_nRowHeight;
}

int qrn_SkinList::TotalHeight()
{
    const int count = GetItemCount();
    if (count <= 0)
        return 0;
    CRect row;
    if (!GetItemRect(0, &row, LVIR_BOUNDS))
        return 0;
    return count * row.Height();
}

int qrn_SkinList::VisibleHeight()
{
    CRect client;
    GetClientRect(&client);
    CRect header;
    if (HWND h = GetHeaderHandle())
        ::GetClientRect(h, &header);
    return std::min(TotalHeight(), std::max(client.Height() - header.Height(), header.Height()));
}

int qrn_SkinList::GetScrollMax(int orientation)
{
    if (orientation == 0)
        return SkinListScrollMax(TotalWidth(), VisibleWidth(), m_nHStep);
    const int row = RowHeight();
    return row > 0 ? SkinListScrollMax(TotalHeight(), VisibleHeight(), row) : 0;
}

int qrn_SkinList::GetScrollPage(int orientation)
{
    if (orientation == 0)
        return m_nHStep > 0 ? VisibleWidth() / m_nHStep : 0;
    const int row = RowHeight();
    return row > 0 ? VisibleHeight() / row : 0;
}

double qrn_SkinList::GetScrollRatio(int orientation)
{
    const int total = orientation == 0 ? TotalWidth() : TotalHeight();
    if (total <= 0)
        return 1.0;  // nothing hidden
    const int visible = orientation == 0 ? VisibleWidth() : VisibleHeight();
    return static_cast<double>(visible) / total;
}

int qrn_SkinList::ScrollNotify(int code)
{
    if (code == 0 || code == 1) {
        SendMessage(WM_HSCROLL, static_cast<WPARAM>(code), 0);
    } else if (code == 2 || code == 3) {
        SendMessage(WM_VSCROLL, static_cast<WPARAM>(code - 2), 0);
    }
    UpdateWindow();
    return 0;
}

// ---------------------------------------------------------------- messages

LRESULT qrn_SkinList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRowsChangedMessage) {
        if (GetStyle() & WS_VISIBLE)
            UpdateScrollBar(1);
        return 0;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

BOOL qrn_SkinList::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (nm && (nm->code == HDN_ITEMCHANGEDA || nm->code == HDN_ITEMCHANGEDW)) {
        *pResult = 0;
        Invalidate(TRUE);
        UpdateScrollBar(0);
        *pResult = Default();
        return TRUE;
    }
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}

void qrn_SkinList::OnSize(UINT type, int cx, int cy)
{
    CListCtrl::OnSize(type, cx, cy);
    PlaceScrollBars();
    if (m_pHeader && m_pHeader->m_hWnd) {
        CRect header;
        m_pHeader->GetClientRect(&header);
        m_pHeader->SetWindowPos(nullptr, 0, 0, cx, header.Height(), SWP_NOZORDER);
    }
}

void qrn_SkinList::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const int cx = client.Width(), cy = client.Height();
    CDC mem;
    if (!mem.CreateCompatibleDC(&dc))
        return;
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, cx, cy);
    HGDIOBJ old = mem.SelectObject(&bitmap);
    const int h = m_pHeader ? m_pHeader->DrawBackground(mem.m_hDC, cx) : 0;
    const int top = client.top + h;
    if (m_imgBack.m_hObject) {
        BltImage(&m_imgBack, &mem, client.left, top);
    } else {
        mem.FillSolidRect(client.left, top, cx, cy - h, m_clrBack);
    }
    DrawRows(mem.m_hDC);
    dc.BitBlt(0, 0, cx, cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}

void qrn_SkinList::DrawRows(HDC dc)
{
    const int first = GetTopIndex();
    const int end = std::min(GetItemCount(), first + GetCountPerPage());  // whole rows only
    const int columns = m_pHeader && m_pHeader->m_hWnd ? m_pHeader->GetItemCount() : 1;
    const int saved = ::SaveDC(dc);
    HPEN dotted = ::CreatePen(PS_DOT, 1, m_clrSelLine);
    ::SelectObject(dc, m_hFont);
    ::SelectObject(dc, dotted);
    ::SetTextColor(dc, m_clrText);
    ::SetBkMode(dc, TRANSPARENT);
    for (int i = first; i < end; ++i)
        DrawRow(dc, i, columns);
    ::RestoreDC(dc, saved);
    ::DeleteObject(dotted);
}

void qrn_SkinList::DrawRow(HDC dc, int item, int columns)
{
    if (GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED) {
        CRect bounds;
        GetItemRect(item, &bounds, LVIR_BOUNDS);
        bounds.right += 1000;
        const COLORREF oldBk = ::SetBkColor(dc, m_clrSelFill);
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bounds, nullptr, 0, nullptr);
        ::SetBkColor(dc, oldBk);
        ::MoveToEx(dc, bounds.left, bounds.top, nullptr);
        ::LineTo(dc, bounds.right, bounds.top);
        ::MoveToEx(dc, bounds.left, bounds.bottom, nullptr);
        ::LineTo(dc, bounds.right, bounds.bottom);
    }
    HIMAGELIST images = GetImageList(LVSIL_SMALL);
    for (int c = 0; c < columns; ++c) {
        if (c == 0 && images) {
            LVITEMW lv{};
            lv.mask = LVIF_IMAGE;
            lv.iItem = item;
            GetItem(&lv);
            CRect icon;
            GetSubItemRect(item, 0, LVIR_ICON, &icon);
            ::ImageList_Draw(images, lv.iImage, dc, icon.left, icon.top, ILD_TRANSPARENT);
        }
        CRect label;
        GetSubItemRect(item, c, LVIR_LABEL, &label);
        label.left += 3;
        wchar_t text[260] = {};
        GetItemText(item, c, text, 260);
        ::DrawTextW(dc, text, -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void qrn_SkinList::OnNcPaint()
{
    if (m_bNoBorder)
        return;
    CWindowDC dc(this);
    CRect r;
    GetWindowRect(&r);
    CPen pen(PS_SOLID, 1, m_clrBorder);
    HGDIOBJ old = dc.SelectObject(&pen);
    dc.MoveTo(0, 0);
    dc.LineTo(r.Width(), 0);
    dc.MoveTo(0, 0);
    dc.LineTo(0, r.Height());
    dc.SelectObject(old);
}

void qrn_SkinList::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params)
{
    // One pixel of border on the left and top; no system border, no system scroll bars.
    params->rgrc[0].left += 1;
    params->rgrc[0].top += 1;
}

void qrn_SkinList::OnHScroll(UINT, UINT, CScrollBar*)
{
    const int delta = m_hBar.m_nPos * m_nHStep - m_nHOffset;
    Scroll(delta, 0);
    m_nHOffset += delta;
    Invalidate(TRUE);
}

void qrn_SkinList::OnVScroll(UINT, UINT, CScrollBar*)
{
    const int delta = m_vBar.m_nPos * m_nRowHeight - m_nVOffset;
    Scroll(0, delta);
    m_nVOffset += delta;
    Invalidate(TRUE);
}

void qrn_SkinList::OnItemInserted(NMHDR*, LRESULT* result)
{
    *result = 0;
    if (GetStyle() & WS_VISIBLE)
        UpdateScrollBar(1);
}

void qrn_SkinList::OnItemDeleted(NMHDR*, LRESULT* result)
{
    *result = 0;
    // The row is still counted while the control announces its deletion: measure afterwards.
    PostMessage(kRowsChangedMessage);
}

BOOL qrn_SkinList::OnMouseWheel(UINT, short delta, CPoint)
{
    if (m_bNoVScroll || !m_vBar.m_hWnd)
        return TRUE;
    if (delta <= 0) {
        m_vBar.LineIncrease();
    } else {
        m_vBar.LineDecrease();
    }
    return TRUE;
}

void qrn_SkinList::OnLButtonDown(UINT flags, CPoint point)
{
    const int current = GetNextItem(-1, LVNI_SELECTED);
    const int hit = HitTest(point);
    if (hit >= 0 && hit != current) {
        const int count = GetItemCount();
        for (int i = 0; i < count; ++i)
            SetItemState(i, 0, LVIS_SELECTED);
        SetItemState(hit, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Invalidate(TRUE);
        UpdateWindow();
    }
    CListCtrl::OnLButtonDown(flags, point);
}

void qrn_SkinList::OnShowWindow(BOOL show, UINT status)
{
    CListCtrl::OnShowWindow(show, status);
    if (show) {
        UpdateScrollBar(1);
    } else {
        if (m_hBar.m_hWnd)
            m_hBar.ShowWindow(SW_HIDE);
        if (m_vBar.m_hWnd)
            m_vBar.ShowWindow(SW_HIDE);
    }
}
