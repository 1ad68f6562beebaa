// Point, size and rectangle values with the member names Win32 code expects.
#ifndef MORVANE_AFX_TYPES_H
#define MORVANE_AFX_TYPES_H

#include <windows.h>

class CSize : public SIZE {
public:
    CSize()
    {
        cx = 0;
        cy = 0;
    }
    CSize(int x, int y)
    {
        cx = x;
        cy = y;
    }
};

class CPoint : public POINT {
public:
    CPoint()
    {
        x = 0;
        y = 0;
    }
    CPoint(int px, int py)
    {
        x = px;
        y = py;
    }
    CPoint(POINT p)
    {
        x = p.x;
        y = p.y;
    }
    // A point packed into a message's lParam: x in the low word, y in the high word, both signed.
    explicit CPoint(LPARAM packed)
    {
        x = static_cast<short>(LOWORD(packed));
        y = static_cast<short>(HIWORD(packed));
    }
    bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const { return !(*this == o); }
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& r)
    {
        left = r.left;
        top = r.top;
        right = r.right;
        bottom = r.bottom;
    }
    CRect(POINT topLeft, SIZE size)
    {
        left = topLeft.x;
        top = topLeft.y;
        right = left + size.cx;
        bottom = top + size.cy;
    }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
    void SetRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(int l, int t, int r, int b)
    {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    bool operator==(const RECT& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const RECT& o) const { return !(*this == o); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

#endif
