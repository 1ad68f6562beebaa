// The base of every window of the program: a template dialog turned into a borderless skinned
// window. It takes the size and outline of its background picture, paints it, draws its own
// caption, moves when dragged by the band at its top, colours its child controls, ignores
// Enter and Escape, and runs modally with its own modal run.
#ifndef MORVANE_SKIN_SKIN_DLG_H
#define MORVANE_SKIN_SKIN_DLG_H

#include "afxwin.h"
#include "skin_img.h"

class qrn_SkinDlg : public CDialog {
    DECLARE_DYNAMIC(qrn_SkinDlg)
public:
    explicit qrn_SkinDlg(UINT templateId);
    ~qrn_SkinDlg() override;

    BOOL Create(const wchar_t* templateName, CWnd* parent = nullptr) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Fetches and attaches the dialog's pictures; the base attaches nothing.
    virtual int LoadSkin();
    // Detaches the pictures and hands them back to their supplier; the base does nothing.
    virtual int FreeSkin();
    // The loaded (unlocked) template resource of the dialog's template name, or null.
    virtual HGLOBAL LoadTemplate();
    // Places the child controls once the window has its final size.
    virtual int LayoutControls();
    // Shows the dialog modally; the parent of a null argument comes from PreModal.
    virtual INT_PTR RunModal(HWND parent);

    qrn_SkinImg m_imgBack;  // background: gives size and outline
    int m_nCaptionLeft = 40;
    int m_nCaptionTop = 8;
    int m_nCaptionHeight = 25;  // also the depth of the drag band
    BOOL m_bDragEnabled = TRUE;
    BOOL m_bIgnoreCancel = TRUE;
    BOOL m_bIgnoreOK = TRUE;
    BOOL m_bSkinCtlColor = TRUE;  // colour child controls through WM_CTLCOLOR
    int m_nWidth = 0;  // background size, recorded at initialisation
    int m_nHeight = 0;
    COLORREF m_clrCtlText = RGB(182, 182, 182);
    COLORREF m_clrCaption = RGB(255, 255, 255);
    HBRUSH m_hCtlBrush;  // owned
    HCURSOR m_hDragCursor;  // shared system cursor
    CFont m_fontCaption;
    CString m_strCaption;

protected:
    void DrawCaption(CDC* dc);

    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

#endif
