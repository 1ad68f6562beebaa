// Push buttons painted from a five-frame strip (normal, hover, pressed, disabled, unused),
// the caption-button variant that hands the focus back, and the shared tooltip window.
#ifndef MORVANE_SKIN_SKIN_BTN_H
#define MORVANE_SKIN_SKIN_BTN_H

#include "afxwin.h"
#include "skin_img.h"

// WM_NOTIFY code a skin button sends its parent when the mouse enters or leaves it.
#define SKBN_HOVER 0x5001

struct NMSKINHOVER {
    NMHDR hdr;  // hwndFrom = the button, idFrom = its control id, code = SKBN_HOVER
    int entered;  // 1 entered, 0 left
};

// The frame of the strip for an owner-draw item state: disabled 3, pressed 2, hover 1, else 0.
int SkinBtnFrameIndex(UINT itemState, bool hovering);

class qrn_SkinBtn : public CButton {
    DECLARE_DYNAMIC(qrn_SkinBtn)
public:
    qrn_SkinBtn();
    ~qrn_SkinBtn() override;

    // Attaches a strip: drawn unscaled from now on, and the button takes the size of one frame.
    void SetImage(HBITMAP strip);
    // Detaches the strip and returns its handle to the caller.
    HBITMAP ReleaseImage();
    // Resizes the button to one frame: strip width / 5 by strip height.
    void SizeToFrame();

    BOOL m_bStretch = TRUE;  // TRUE: the frame is stretched over the client rectangle
    bool m_bHover = false;
    qrn_SkinImg m_img;
    HCURSOR m_hCursor;  // shared system cursor

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    void MakeOwnerDraw();
    void NotifyHover(int entered);

    int OnCreate(LPCREATESTRUCT cs);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

// A caption button (minimise, close): reports its own click and gives the focus back to the
// window that had it.
class qrn_SkinSysBtn : public qrn_SkinBtn {
    DECLARE_DYNAMIC(qrn_SkinSysBtn)
public:
    ~qrn_SkinSysBtn() override;

    // The window that had the focus before the button (kept as a handle: it may be gone later).
    HWND m_hWndPrevFocus = nullptr;

protected:
    void OnSetFocus(CWnd* oldWnd);
    void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// The one tooltip window of the process: created at start-up, shared by every dialog.
HWND CreateSharedToolTip();
void DestroySharedToolTip();
HWND GetSharedToolTip();
// Adds a tooltip for the control `id` of `parent`; the tooltip keeps its own copy of the text.
BOOL AddControlToolTip(CWnd* parent, const wchar_t* text, UINT id);

#endif
