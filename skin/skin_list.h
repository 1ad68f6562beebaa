// The report-view list of the toolkit. It keeps the list-view control's data handling but
// paints its rows itself into an off-screen bitmap, draws its own one-pixel border, scrolls
// through a pair of skin scroll bars placed outside its window (5 pixels per horizontal step,
// one row per vertical step), and subclasses its header with a flat skin header.
#ifndef MORVANE_SKIN_SKIN_LIST_H
#define MORVANE_SKIN_SKIN_LIST_H

#include "afxwin.h"
#include "skin_img.h"
#include "skin_scrollbar.h"

class qrn_SkinHeader : public CHeaderCtrl {
    DECLARE_DYNAMIC(qrn_SkinHeader)
public:
    qrn_SkinHeader();
    ~qrn_SkinHeader() override;

    // Fills the header's client rectangle, cut to `width`, and returns the header's height.
    virtual int DrawBackground(HDC dc, int width);
    virtual void DrawHeader(HDC dc, int width, int height, RECT area);

    COLORREF m_clrBack = RGB(20, 142, 195);
    COLORREF m_clrText = RGB(255, 255, 255);
    COLORREF m_clrLine = RGB(100, 100, 100);
    HFONT m_hFont;  // not owned

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return FALSE; }
    DECLARE_MESSAGE_MAP()
};

// Skin settings an owning dialog passes to AttachSkin; a field counts only when its mask bit is set.
struct SkinListStyle {
    DWORD dwHeaderMask;  // bit 0 background, bit 1 line, bit 2 text colour
    COLORREF clrHeaderBack;
    COLORREF clrHeaderLine;
    COLORREF clrHeaderText;
    DWORD dwListMask;  // bit 0 no border, bit 1 no vertical bar, bit 2 no horizontal bar, bit 3 selection fill
    BOOL bNoBorder;
    BOOL bNoVScroll;
    BOOL bNoHScroll;
    COLORREF clrSelFill;
};

// The pure scroll arithmetic of the list: steps are whole multiples of `unit` pixels.
int SkinListScrollMax(int total, int visible, int unit);

class qrn_SkinList : public CListCtrl, public qrn_IScrollObj {
    DECLARE_DYNAMIC(qrn_SkinList)
public:
    qrn_SkinList();
    ~qrn_SkinList() override;

    virtual void DrawRows(HDC dc);
    virtual qrn_SkinHeader* CreateHeaderObject();
    virtual void DeleteHeaderObject(qrn_SkinHeader* header);
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Called once by the owner after the list exists: shrinks the list for the bars, sets the
    // extended style, applies `style` (may be null), creates and places the skin bars.
    void AttachSkin(const SkinListStyle* style);
    void PlaceScrollBars();
    void UpdateScrollBar(int orientation);

    int GetScrollMax(int orientation) override;
    int GetScrollPage(int orientation) override;
    double GetScrollRatio(int orientation) override;
    int ScrollNotify(int code) override;
    int ScrollReserved(int) override { return 0; }

    qrn_SkinHeader* GetSkinHeader() const { return m_pHeader; }

    int m_nBarSize = 17;
    int m_nHStep = 5;
    int m_nHOffset = 0;
    int m_nRowHeight = 0;  // measured from the first row, 0 until there is one
    int m_nVOffset = 0;
    BOOL m_bNoBorder = FALSE;
    BOOL m_bNoHScroll = FALSE;
    BOOL m_bNoVScroll = FALSE;
    BOOL m_bVBarShown = FALSE;
    qrn_SkinHeader* m_pHeader;
    qrn_SkinHScrollBar m_hBar;
    qrn_SkinVScrollBar m_vBar;
    COLORREF m_clrBorder = RGB(51, 114, 153);
    COLORREF m_clrBack = RGB(255, 255, 255);
    COLORREF m_clrText = RGB(87, 117, 159);
    COLORREF m_clrSelLine = RGB(58, 110, 165);
    COLORREF m_clrSelFill = RGB(249, 240, 178);
    HFONT m_hFont;  // not owned
    qrn_SkinImg m_imgBack;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void SubclassHeader();
    void DrawRow(HDC dc, int item, int columns);
    int RowHeight();
    int TotalWidth();
    int VisibleWidth();
    int TotalHeight();
    int VisibleHeight();

    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return FALSE; }
    void OnNcPaint();
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnItemInserted(NMHDR* nm, LRESULT* result);
    void OnItemDeleted(NMHDR* nm, LRESULT* result);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT, UINT, UINT) { }
    void OnRButtonDown(UINT, CPoint) { }
    void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()
};

#endif
