#include "skin_scrollbar.h"

IMPLEMENT_DYNAMIC(qrn_SkinScrollBar, CStatic)
IMPLEMENT_DYNAMIC(qrn_SkinHScrollBar, qrn_SkinScrollBar)
IMPLEMENT_DYNAMIC(qrn_SkinVScrollBar, qrn_SkinScrollBar)

BEGIN_MESSAGE_MAP(qrn_SkinScrollBar, CStatic)
ON_WM_PAINT()
ON_WM_TIMER()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(qrn_SkinHScrollBar, qrn_SkinScrollBar)
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(qrn_SkinVScrollBar, qrn_SkinScrollBar)
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
enum { TIMER_REPEAT = 1, TIMER_DELAY = 2 };
}

qrn_SkinScrollBar::qrn_SkinScrollBar(int orientation)
    : m_nOrientation(orientation), m_hCursor(::LoadCursorW(nullptr, IDC_HAND))
{ }

qrn_SkinScrollBar::~qrn_SkinScrollBar() = default;
qrn_SkinHScrollBar::~qrn_SkinHScrollBar() = default;
qrn_SkinVScrollBar::~qrn_SkinVScrollBar() = default;

BOOL qrn_SkinScrollBar::CreateBar(CWnd* parent)
{
    if (!Create(L"", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY, CRect(0, 0, 0, 0), parent, 0xFFFF))
        return FALSE;
    ::SetClassLongPtrW(m_hWnd, GCL_STYLE, ::GetClassLongPtrW(m_hWnd, GCL_STYLE) & ~static_cast<LONG_PTR>(CS_DBLCLKS));
    return TRUE;
}

int qrn_SkinScrollBar::ScrollMax()
{
    return m_pScrollObj ? m_pScrollObj->GetScrollMax(m_nOrientation) : 0;
}

ScrollBarGeometry qrn_SkinScrollBar::Geometry()
{
    CRect client;
    GetClientRect(&client);
    ScrollBarGeometry g;
    g.vertical = m_nOrientation == 1;
    g.width = client.Width();
    g.height = client.Height();
    g.arrowWidth = m_nArrowWidth;
    g.arrowHeight = m_nArrowHeight;
    g.max = ScrollMax();
    g.ratio = m_pScrollObj ? m_pScrollObj->GetScrollRatio(m_nOrientation) : 0.0;
    g.position = m_nPos;
    return g;
}

void qrn_SkinScrollBar::StepTo(long long candidate, bool updateNow)
{
    const int pos = ClampScrollPosition(candidate, ScrollMax());
    if (pos == m_nPos)
        return;
    const bool forward = pos > m_nPos;
    m_nPos = pos;
    if (m_pScrollObj)
        m_pScrollObj->ScrollNotify(m_nOrientation * 2 + (forward ? 1 : 0));
    if (!m_hWnd)
        return;
    Invalidate(TRUE);
    if (updateNow)
        UpdateWindow();
}

void qrn_SkinScrollBar::PageDecrease()
{
    const int page = m_pScrollObj ? m_pScrollObj->GetScrollPage(m_nOrientation) : 0;
    StepTo(static_cast<long long>(m_nPos) - page, false);
}

void qrn_SkinScrollBar::PageIncrease()
{
    const int page = m_pScrollObj ? m_pScrollObj->GetScrollPage(m_nOrientation) : 0;
    StepTo(static_cast<long long>(m_nPos) + page, false);
}

void qrn_SkinScrollBar::HandleButtonDown(CPoint point)
{
    const int part = Geometry().HitTest(point);
    SetCapture();
    if (part != SSP_NONE && ScrollMax() > 0)
        ::SetCursor(m_hCursor);
    m_bTracking = TRUE;
    switch (part) {
    case SSP_FIRST_ARROW:
        LineDecrease();
        break;
    case SSP_SECOND_ARROW:
        LineIncrease();
        break;
    case SSP_TRACK_BEFORE:
        PageDecrease();
        break;
    case SSP_TRACK_AFTER:
        PageIncrease();
        break;
    case SSP_THUMB:
        m_nLastDrag = m_nOrientation ? point.y : point.x;
        break;
    default:
        break;
    }
    if (part != SSP_NONE && part != SSP_THUMB)
        SetTimer(TIMER_DELAY, 250);
    if (part != SSP_NONE)
        m_nPressedPart = part;
}

void qrn_SkinScrollBar::HandleMouseMove(CPoint point)
{
    const ScrollBarGeometry g = Geometry();
    if (g.HitTest(point) != SSP_NONE && g.max > 0)
        ::SetCursor(m_hCursor);
    if (m_bTracking && m_nPressedPart == SSP_THUMB) {
        const int along = m_nOrientation ? point.y : point.x;
        const long long steps = ThumbDragSteps(along - m_nLastDrag, PixelsPerStep(), g.max);
        if (steps != 0) {
            MoveBy(steps);
            m_nLastDrag = along;
        }
    }
}

void qrn_SkinScrollBar::HandleButtonUp()
{
    ::ReleaseCapture();
    m_bTracking = FALSE;
    m_nPressedPart = SSP_NONE;
}

BOOL qrn_SkinScrollBar::RepeatStep()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    switch (m_nPressedPart) {
    case SSP_FIRST_ARROW:
        LineDecrease();
        break;
    case SSP_SECOND_ARROW:
        LineIncrease();
        break;
    case SSP_TRACK_BEFORE:
        if (Geometry().HitTest(cursor) != SSP_TRACK_BEFORE)
            return FALSE;  // the thumb has reached the cursor
        PageDecrease();
        break;
    case SSP_TRACK_AFTER:
        if (Geometry().HitTest(cursor) != SSP_TRACK_AFTER)
            return FALSE;
        PageIncrease();
        break;
    default:
        break;
    }
    return TRUE;
}

void qrn_SkinScrollBar::OnTimer(UINT_PTR id)
{
    if (id == TIMER_DELAY) {
        KillTimer(TIMER_DELAY);
        SetTimer(TIMER_REPEAT, 50);
    } else if (id == TIMER_REPEAT) {
        if (!m_bTracking || !AutoRepeatStep())
            KillTimer(TIMER_REPEAT);
    }
    CStatic::OnTimer(id);
}

void qrn_SkinHScrollBar::OnLButtonDown(UINT flags, CPoint point)
{
    HandleButtonDown(point);
    CStatic::OnLButtonDown(flags, point);
}

void qrn_SkinHScrollBar::OnMouseMove(UINT flags, CPoint point)
{
    HandleMouseMove(point);
    CStatic::OnMouseMove(flags, point);
}

void qrn_SkinHScrollBar::OnLButtonUp(UINT flags, CPoint point)
{
    HandleButtonUp();
    CStatic::OnLButtonUp(flags, point);
}

void qrn_SkinVScrollBar::OnLButtonDown(UINT flags, CPoint point)
{
    HandleButtonDown(point);
    CStatic::OnLButtonDown(flags, point);
}

void qrn_SkinVScrollBar::OnMouseMove(UINT flags, CPoint point)
{
    HandleMouseMove(point);
    CStatic::OnMouseMove(flags, point);
}

void qrn_SkinVScrollBar::OnLButtonUp(UINT flags, CPoint point)
{
    HandleButtonUp();
    CStatic::OnLButtonUp(flags, point);
}

// ---------------------------------------------------------------- painting

namespace {
void Line(CDC* dc, COLORREF color, int x0, int y0, int x1, int y1)
{
    CPen pen(PS_SOLID, 1, color);
    HGDIOBJ old = dc->SelectObject(&pen);
    dc->MoveTo(x0, y0);
    dc->LineTo(x1, y1);
    dc->SelectObject(old);
}

void Triangle(CDC* dc, COLORREF color, POINT a, POINT b, POINT c)
{
    CPen pen(PS_SOLID, 1, color);
    CBrush brush(color);
    HGDIOBJ oldPen = dc->SelectObject(&pen);
    HGDIOBJ oldBrush = dc->SelectObject(&brush);
    const POINT points[3] = {a, b, c};
    dc->Polygon(points, 3);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}
}  // namespace

void qrn_SkinScrollBar::DrawPlainArrows(CDC* dc, const CRect& client)
{
    const int W = client.Width(), H = client.Height(), aw = m_nArrowWidth, ah = m_nArrowHeight;
    CPen pen(PS_SOLID, 1, m_clrArrowBorder);
    CBrush brush(m_clrArrowFill);
    HGDIOBJ oldPen = dc->SelectObject(&pen);
    HGDIOBJ oldBrush = dc->SelectObject(&brush);
    if (m_nOrientation == 0) {
        dc->Rectangle(0, 0, aw, ah);
        dc->Rectangle(W - aw, 0, W, ah);
    } else {
        dc->Rectangle(0, 0, aw, ah);
        dc->Rectangle(0, H - ah, aw, H);
    }
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
    if (m_nOrientation == 0) {
        const int hw = (aw - 8) / 2, hh = (ah - 8) / 2;
        Triangle(dc, m_clrArrowGlyph, POINT{10 - hw, 8}, POINT{10, 8 - hh}, POINT{10, 8 + hh});
        const int c = W - aw + 6;
        Triangle(dc, m_clrArrowGlyph, POINT{c + hw, 8}, POINT{c, 8 - hh}, POINT{c, 8 + hh});
    } else {
        const int hw = (aw - 9) / 2, hh = (ah - 9) / 2;
        Triangle(dc, m_clrArrowGlyph, POINT{8, 9 - hh}, POINT{8 - hw, 9}, POINT{8 + hw, 9});
        const int r = H - ah + 6;
        Triangle(dc, m_clrArrowGlyph, POINT{8, r + hh}, POINT{8 - hw, r}, POINT{8 + hw, r});
    }
}

void qrn_SkinScrollBar::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bDrawEnabled)
        return;
    CRect client;
    GetClientRect(&client);
    const int W = client.Width(), H = client.Height();
    dc.FillSolidRect(&client, m_clrBack);

    if (m_imgTrack.m_hObject) {
        StretchImage(&m_imgTrack, &dc, 0, 0, W, H);
    } else if (m_nOrientation == 0) {
        Line(&dc, m_clrTrackLine1, 0, 0, W, 0);
        Line(&dc, m_clrTrackLine2, 0, H - 1, W, H - 1);
    } else {
        Line(&dc, m_clrTrackLine1, 0, 0, 0, H);
        Line(&dc, m_clrTrackLine2, W - 1, 0, W - 1, H);
    }

    if (m_imgArrow1.m_hObject && m_imgArrow2.m_hObject) {
        if (m_nOrientation == 0) {
            StretchImage(&m_imgArrow1, &dc, 0, 0, m_nArrowWidth, m_nArrowWidth);
            StretchImage(&m_imgArrow2, &dc, W - m_nArrowWidth, 0, m_nArrowWidth, m_nArrowWidth);
        } else {
            StretchImage(&m_imgArrow1, &dc, 0, 0, m_nArrowHeight, m_nArrowHeight);
            StretchImage(&m_imgArrow2, &dc, 0, H - m_nArrowHeight, m_nArrowHeight, m_nArrowHeight);
        }
    } else {
        DrawPlainArrows(&dc, client);
    }

    const ScrollBarGeometry g = Geometry();
    if (g.max <= 0)
        return;
    const CRect thumb = g.PartRect(SSP_THUMB);
    const int tw = thumb.Width(), th = thumb.Height();
    const int iw = m_imgThumb.Width(), ih = m_imgThumb.Height();
    if (m_imgThumb.m_hObject && m_nOrientation == 0 && tw >= 9 && iw >= 5) {
        BltImagePart(&dc, &m_imgThumb, thumb.left, thumb.top, 4, th, 0, 0);
        StretchImagePart(&dc, &m_imgThumb, thumb.left + 4, thumb.top, tw - 8, th, 4, 0, iw - 8, th);
        BltImagePart(&dc, &m_imgThumb, thumb.right - 4, thumb.top, 4, th, iw - 4, 0);
    } else if (m_imgThumb.m_hObject && m_nOrientation == 1 && th >= 9 && ih >= 5) {
        BltImagePart(&dc, &m_imgThumb, thumb.left, thumb.top, tw, 4, 0, 0);
        StretchImagePart(&dc, &m_imgThumb, thumb.left, thumb.top + 4, tw, th - 8, 0, 4, tw, ih - 8);
        BltImagePart(&dc, &m_imgThumb, thumb.left, thumb.bottom - 4, tw, 4, 0, ih - 4);
    } else if (m_imgThumb.m_hObject) {
        StretchImage(&m_imgThumb, &dc, thumb.left, thumb.top, tw, th);
    } else {
        CPen pen(PS_SOLID, 1, m_clrThumbBorder);
        CBrush brush(m_clrThumbFill);
        HGDIOBJ oldPen = dc.SelectObject(&pen);
        HGDIOBJ oldBrush = dc.SelectObject(&brush);
        dc.Rectangle(&thumb);
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
    }
}
