#include "skin_progress.h"

IMPLEMENT_DYNAMIC(qrn_SkinProgress, CWnd)

BEGIN_MESSAGE_MAP(qrn_SkinProgress, CWnd)
ON_WM_PAINT()
ON_WM_NCPAINT()
END_MESSAGE_MAP()

int ProgressFillWidth(int innerWidth, int range, int position)
{
    if (range <= 0 || innerWidth <= 0)
        return 0;
    const double filled = static_cast<double>(innerWidth) / range * position;
    if (!(filled > 0.0))
        return 0;
    if (filled >= innerWidth)
        return innerWidth;
    return static_cast<int>(filled);
}

qrn_SkinProgress::qrn_SkinProgress()
    : m_hBackBrush(::CreateSolidBrush(RGB(239, 239, 239))), m_hBarBrush{::CreateSolidBrush(RGB(75, 145, 180)),
                                                                        ::CreateSolidBrush(RGB(33, 217, 9))}
{ }

qrn_SkinProgress::~qrn_SkinProgress()
{
    ::DeleteObject(m_hBackBrush);
    ::DeleteObject(m_hBarBrush[0]);
    ::DeleteObject(m_hBarBrush[1]);
}

void qrn_SkinProgress::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CDC mem;
    if (!mem.CreateCompatibleDC(&dc))
        return;
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
    HGDIOBJ oldBitmap = mem.SelectObject(&bitmap);
    CPen pen(PS_SOLID, 1, m_clrBorder);
    HGDIOBJ oldPen = mem.SelectObject(&pen);
    HGDIOBJ oldBrush = mem.SelectObject(m_hBackBrush);
    mem.Rectangle(&client);
    CRect inner(client);
    inner.DeflateRect(1, 1);
    const int filled = ProgressFillWidth(inner.Width(), m_nRange, m_nPos);
    if (filled > 0) {
        const RECT bar{inner.left, inner.top, inner.left + filled, inner.bottom};
        mem.FillRect(&bar, m_hBarBrush[m_nBarBrush == 1 ? 1 : 0]);
    }
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBrush);
    mem.SelectObject(oldPen);
    mem.SelectObject(oldBitmap);
}
