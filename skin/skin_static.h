// A label drawn in flat skin colours; with SS_NOTIFY it is a clickable text with the hand cursor.
#ifndef MORVANE_SKIN_SKIN_STATIC_H
#define MORVANE_SKIN_SKIN_STATIC_H

#include "afxwin.h"

class qrn_SkinStatic : public CStatic {
    DECLARE_DYNAMIC(qrn_SkinStatic)
public:
    qrn_SkinStatic();
    ~qrn_SkinStatic() override;

    // Replaces the background colour and its brush (the old brush is deleted).
    void SetBackColor(COLORREF color);

    COLORREF m_clrText = RGB(50, 50, 155);
    COLORREF m_clrBack = RGB(225, 235, 238);
    HBRUSH m_hBackBrush;  // owned
    UINT m_nFormat = DT_WORDBREAK;
    CFont m_font;
    BOOL m_bDrawSelf = TRUE;  // FALSE: the system control paints

protected:
    void DrawItem(LPDRAWITEMSTRUCT) override { }
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    DECLARE_MESSAGE_MAP()
};

#endif
