// GDI objects and device contexts. A GDI object owns its handle: the destructor deletes what
// is still attached; Detach hands the handle back without deleting it.
#ifndef MORVANE_AFX_GDI_H
#define MORVANE_AFX_GDI_H

#include <windows.h>

#include "afx_object.h"
#include "afx_types.h"

class CWnd;

class CGdiObject : public CObject {
    DECLARE_DYNAMIC(CGdiObject)
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ handle);  // FALSE for a null handle; an object already attached is deleted first
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateCompatibleBitmap(class CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL LoadBitmap(UINT id);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, const wchar_t* faceName);
    BOOL CreateFontIndirect(const LOGFONTW* font);
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color);
};

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color);
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
};

// A device context. CDC itself deletes a context it created (CreateCompatibleDC); the
// paint, client and window contexts give theirs back to the system.
class CDC : public CObject {
    DECLARE_DYNAMIC(CDC)
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    ~CDC() override;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(const CGdiObject* object) { return ::SelectObject(m_hDC, object->m_hObject); }
    HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
    }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
    }
    void FillRect(LPCRECT r, HBRUSH brush) { ::FillRect(m_hDC, r, brush); }
    void FillSolidRect(LPCRECT r, COLORREF color);
    void FillSolidRect(int x, int y, int w, int h, COLORREF color);
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
    BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
    CPoint MoveTo(int x, int y)
    {
        POINT old{};
        ::MoveToEx(m_hDC, x, y, &old);
        return CPoint(old);
    }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    int DrawText(const wchar_t* text, int count, LPRECT r, UINT format)
    {
        return ::DrawTextW(m_hDC, text, count, r, format);
    }
    BOOL TextOut(int x, int y, const wchar_t* text, int count) { return ::TextOutW(m_hDC, x, y, text, count); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

private:
    bool m_bOwnsDC = false;  // created by CreateCompatibleDC
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};

#endif
