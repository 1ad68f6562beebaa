// A progress bar drawn from scratch: a one-pixel frame, a light inside and a filled part.
#ifndef MORVANE_SKIN_SKIN_PROGRESS_H
#define MORVANE_SKIN_SKIN_PROGRESS_H

#include "afxwin.h"

// Filled pixels of an inner width for position/range: truncated, never below 0 nor above the
// inner width; 0 for a range of 0 or less.
int ProgressFillWidth(int innerWidth, int range, int position);

class qrn_SkinProgress : public CWnd {
    DECLARE_DYNAMIC(qrn_SkinProgress)
public:
    qrn_SkinProgress();
    ~qrn_SkinProgress() override;

    HBRUSH m_hBackBrush;  // owned
    HBRUSH m_hBarBrush[2];  // owned: blue, green
    int m_nBarBrush = 0;  // which bar brush fills
    int m_nRange = 1;
    int m_nPos = 0;
    COLORREF m_clrBorder = RGB(28, 67, 115);

protected:
    void OnPaint();
    void OnNcPaint() { }
    DECLARE_MESSAGE_MAP()
};

#endif
