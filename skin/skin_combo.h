// A drop-down list in flat skin colours: the closed box is painted by the combo box, the open
// list by qrn_SkinListBox, which the combo box subclasses the first time the list asks for colours.
#ifndef MORVANE_SKIN_SKIN_COMBO_H
#define MORVANE_SKIN_SKIN_COMBO_H

#include "afxwin.h"

class qrn_SkinListBox : public CListBox {
    DECLARE_DYNAMIC(qrn_SkinListBox)
public:
    ~qrn_SkinListBox() override;

    COLORREF m_clrBorder = RGB(87, 117, 159);
    COLORREF m_clrItemBack = RGB(229, 239, 243);
    COLORREF m_clrItemText = RGB(87, 117, 159);
    COLORREF m_clrFocusBack = RGB(132, 159, 166);
    COLORREF m_clrFocusText = RGB(255, 255, 255);

    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    DECLARE_MESSAGE_MAP()
};

class qrn_SkinComboBox : public CComboBox {
    DECLARE_DYNAMIC(qrn_SkinComboBox)
public:
    qrn_SkinComboBox();
    ~qrn_SkinComboBox() override;

    COLORREF m_clrBorder = RGB(87, 117, 159);
    COLORREF m_clrTextBack = RGB(229, 239, 243);
    COLORREF m_clrArrowBox = RGB(87, 117, 159);
    COLORREF m_clrArrowGlyph = RGB(230, 130, 12);
    COLORREF m_clrText = RGB(87, 117, 159);
    HBRUSH m_hBackBrush;  // owned
    qrn_SkinListBox m_list;

    void DrawItem(LPDRAWITEMSTRUCT dis) override;

protected:
    void PreSubclassWindow() override;
    void PaintClosedBox(HDC dc, const RECT& box);
    void OnPaint();
    LRESULT OnCtlColorListBox(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

#endif
