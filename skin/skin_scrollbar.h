// Skin scroll bars: separate notify-style static windows beside the control they scroll. A bar
// keeps its own position, asks the scrolled control (qrn_IScrollObj) for its extent, paints
// arrows, track and thumb, and tells the control after every change of position.
#ifndef MORVANE_SKIN_SKIN_SCROLLBAR_H
#define MORVANE_SKIN_SKIN_SCROLLBAR_H

#include "afxwin.h"
#include "scroll_geometry.h"
#include "skin_img.h"

// Implemented by the scrolled control. Orientation 0 horizontal, 1 vertical.
class qrn_IScrollObj {
public:
    virtual int GetScrollMax(int orientation) = 0;  // largest position in steps; <= 0: nothing to scroll
    virtual int GetScrollPage(int orientation) = 0;  // steps per page
    virtual double GetScrollRatio(int orientation) = 0;  // visible extent / whole extent
    virtual int ScrollNotify(int code) = 0;  // 0/1 from a horizontal bar, 2/3 from a vertical one
    virtual int ScrollReserved(int) = 0;  // never called by the bars

protected:
    ~qrn_IScrollObj() = default;
};

class qrn_SkinScrollBar : public CStatic {
    DECLARE_DYNAMIC(qrn_SkinScrollBar)
public:
    explicit qrn_SkinScrollBar(int orientation);
    ~qrn_SkinScrollBar() override;

    // Creates the bar window as a child of `parent` (control id 0xFFFF) and clears double
    // clicks from the static class so that fast clicks count as clicks.
    BOOL CreateBar(CWnd* parent);

    // Position steps; an unchanged position notifies and repaints nothing.
    void LineDecrease() { StepTo(m_nPos - 1LL, false); }
    void LineIncrease() { StepTo(m_nPos + 1LL, false); }
    void PageDecrease();
    void PageIncrease();
    void MoveBy(long long n) { StepTo(m_nPos + n, true); }
    int GetPos() const { return m_nPos; }

    virtual BOOL AutoRepeatStep() = 0;
    virtual double FreeTrackLength() = 0;
    virtual double ThumbLength() = 0;
    virtual double PixelsPerStep() = 0;

    int m_nPos = 0;
    int m_nArrowWidth = 17;
    int m_nArrowHeight = 17;
    int m_nOrientation;
    BOOL m_bDrawEnabled = TRUE;
    COLORREF m_clrBack = RGB(228, 238, 248);
    COLORREF m_clrArrowBorder = RGB(51, 114, 153);
    COLORREF m_clrArrowFill = RGB(184, 226, 247);
    COLORREF m_clrArrowGlyph = RGB(38, 142, 178);
    COLORREF m_clrTrackLine1 = RGB(101, 164, 203);
    COLORREF m_clrTrackLine2 = RGB(51, 114, 153);
    COLORREF m_clrThumbBorder = RGB(90, 180, 255);
    COLORREF m_clrThumbFill = RGB(250, 246, 143);
    qrn_SkinImg m_imgArrow1;
    qrn_SkinImg m_imgArrow2;
    qrn_SkinImg m_imgTrack;
    qrn_SkinImg m_imgThumb;
    qrn_IScrollObj* m_pScrollObj = nullptr;  // not owned
    int m_nPressedPart = SSP_NONE;
    BOOL m_bTracking = FALSE;
    int m_nLastDrag = 0;
    HCURSOR m_hCursor;

protected:
    ScrollBarGeometry Geometry();
    int ScrollMax();
    void StepTo(long long candidate, bool updateNow);
    // Shared mouse handling; `along` picks x or y of a point.
    void HandleButtonDown(CPoint point);
    void HandleMouseMove(CPoint point);
    void HandleButtonUp();
    BOOL RepeatStep();
    void DrawPlainArrows(CDC* dc, const CRect& client);

    void OnPaint();
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()
};

class qrn_SkinHScrollBar : public qrn_SkinScrollBar {
    DECLARE_DYNAMIC(qrn_SkinHScrollBar)
public:
    qrn_SkinHScrollBar() : qrn_SkinScrollBar(0) { }
    ~qrn_SkinHScrollBar() override;
    BOOL AutoRepeatStep() override { return RepeatStep(); }
    double FreeTrackLength() override { return Geometry().FreeTrackLength(); }
    double ThumbLength() override { return Geometry().ThumbLength(); }
    double PixelsPerStep() override { return Geometry().PixelsPerStep(); }

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id) { qrn_SkinScrollBar::OnTimer(id); }
    DECLARE_MESSAGE_MAP()
};

class qrn_SkinVScrollBar : public qrn_SkinScrollBar {
    DECLARE_DYNAMIC(qrn_SkinVScrollBar)
public:
    qrn_SkinVScrollBar() : qrn_SkinScrollBar(1) { }
    ~qrn_SkinVScrollBar() override;
    BOOL AutoRepeatStep() override { return RepeatStep(); }
    double FreeTrackLength() override { return Geometry().FreeTrackLength(); }
    double ThumbLength() override { return Geometry().ThumbLength(); }
    double PixelsPerStep() override { return Geometry().PixelsPerStep(); }

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id) { qrn_SkinScrollBar::OnTimer(id); }
    DECLARE_MESSAGE_MAP()
};

#endif
