// An edit box with a flat one-pixel border in skin colours.
#ifndef MORVANE_SKIN_SKIN_EDIT_H
#define MORVANE_SKIN_SKIN_EDIT_H

#include "afxwin.h"

// Draws a one-pixel frame of `color` around the whole window on its window DC.
void DrawWindowBorder(HWND hWnd, COLORREF color);

class qrn_SkinEdit : public CEdit {
    DECLARE_DYNAMIC(qrn_SkinEdit)
public:
    qrn_SkinEdit();
    ~qrn_SkinEdit() override;

    // Replaces the background colour and its brush (the old brush is deleted).
    void SetBackColor(COLORREF color);

    COLORREF m_clrText = RGB(13, 76, 123);
    COLORREF m_clrBorder = RGB(64, 64, 64);
    COLORREF m_clrBack = RGB(255, 255, 255);
    HBRUSH m_hBackBrush;  // owned
    BOOL m_bDrawBorder = TRUE;

protected:
    void PaintBorder();
    void OnNcPaint() { PaintBorder(); }
    void OnFocusChanged() { PaintBorder(); }
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT, CPoint) { PaintBorder(); }
    void OnMouseLeave() { PaintBorder(); }
    void OnChar(UINT ch, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()
};

#endif
