#include "afx_gdi.h"

#include "afx_app.h"
#include "afx_wnd.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CDC, CObject)

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    if (!handle)
        return FALSE;
    if (m_hObject && m_hObject != handle)
        DeleteObject();
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    HGDIOBJ handle = Detach();
    return ::DeleteObject(handle);
}

int CGdiObject::GetObject(int size, void* buffer) const
{
    return m_hObject ? ::GetObjectW(m_hObject, size, buffer) : 0;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, const wchar_t* faceName)
{
    return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                                outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* font)
{
    return Attach(::CreateFontIndirectW(font));
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    return Attach(::CreatePen(style, width, color));
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateRectRgn(left, top, right, bottom));
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode)
{
    return ::CombineRgn(static_cast<HRGN>(m_hObject), a ? static_cast<HRGN>(a->m_hObject) : nullptr,
                        b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
}

CDC::~CDC()
{
    if (m_bOwnsDC)
        DeleteDC();
}

BOOL CDC::Attach(HDC dc)
{
    if (!dc)
        return FALSE;
    m_hDC = dc;
    m_bOwnsDC = false;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    HDC created = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    if (!created)
        return FALSE;
    if (m_bOwnsDC)
        DeleteDC();
    m_hDC = created;
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    HDC dc = Detach();
    return ::DeleteDC(dc);
}

void CDC::FillSolidRect(LPCRECT r, COLORREF color)
{
    const COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int w, int h, COLORREF color)
{
    const RECT r{x, y, x + w, y + h};
    FillSolidRect(&r, color);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr)
{
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}
