#include "gallery_images.h"

#include <vector>

namespace {

// A 32-bit DIB section to draw on, converted to a device-dependent bitmap at the end.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        m_dc = ::CreateCompatibleDC(nullptr);
        m_dib = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = ::SelectObject(m_dc, m_dib);
    }
    ~Canvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_dib);
        ::DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    void Fill(int x, int y, int w, int h, COLORREF c)
    {
        HBRUSH b = ::CreateSolidBrush(c);
        RECT r{x, y, x + w, y + h};
        ::FillRect(m_dc, &r, b);
        ::DeleteObject(b);
    }
    void Text(int x, int y, int w, int h, const wchar_t* text, COLORREF c, int height = -12, int weight = FW_BOLD)
    {
        HFONT f = ::CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        HGDIOBJ old = ::SelectObject(m_dc, f);
        ::SetBkMode(m_dc, TRANSPARENT);
        ::SetTextColor(m_dc, c);
        RECT r{x, y, x + w, y + h};
        ::DrawTextW(m_dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(m_dc, old);
        ::DeleteObject(f);
    }
    // A device-dependent copy, as the resource manager hands bitmaps out.
    HBITMAP Finish()
    {
        HDC screen = ::GetDC(nullptr);
        HBITMAP ddb = ::CreateCompatibleBitmap(screen, m_width, m_height);
        HDC to = ::CreateCompatibleDC(screen);
        HGDIOBJ old = ::SelectObject(to, ddb);
        ::BitBlt(to, 0, 0, m_width, m_height, m_dc, 0, 0, SRCCOPY);
        ::SelectObject(to, old);
        ::DeleteDC(to);
        ::ReleaseDC(nullptr, screen);
        return ddb;
    }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_dib;
    HGDIOBJ m_old;
    void* m_bits = nullptr;
};

COLORREF Shade(COLORREF c, int delta)
{
    auto f = [delta](int v) { return v + delta < 0 ? 0 : v + delta > 255 ? 255 : v + delta; };
    return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

}  // namespace

HBITMAP GalleryImages::FromFolder(const wchar_t* name) const
{
    if (m_folder.empty())
        return nullptr;
    const std::wstring path = m_folder + L"\\" + name;
    return static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

HBITMAP GalleryImages::Background(const wchar_t* name, int width, int height) const
{
    if (HBITMAP loaded = FromFolder(name))
        return loaded;
    Canvas c(width, height);
    c.Fill(0, 0, width, height, RGB(241, 241, 241));
    c.Fill(0, 0, width, 30, RGB(20, 142, 195));  // caption band
    c.Fill(0, 30, width, 2, RGB(91, 147, 209));
    // Rounded corners cut out with the key colour.
    const int radius = 6;
    for (int y = 0; y < radius; ++y) {
        for (int x = 0; x < radius; ++x) {
            const int dx = radius - x, dy = radius - y;
            if (dx * dx + dy * dy <= radius * radius)
                continue;
            const int xs[2] = {x, width - 1 - x}, ys[2] = {y, height - 1 - y};
            for (int xi : xs) {
                for (int yi : ys)
                    ::SetPixel(c.dc(), xi, yi, RGB(255, 0, 255));
            }
        }
    }
    return c.Finish();
}

HBITMAP GalleryImages::ButtonStrip(const wchar_t* name, int frameWidth, int height, const wchar_t* text,
                                   COLORREF base) const
{
    if (HBITMAP loaded = FromFolder(name))
        return loaded;
    Canvas c(frameWidth * 5, height);
    const COLORREF frames[5] = {base, Shade(base, 40), Shade(base, -50), RGB(170, 170, 170), RGB(255, 0, 255)};
    for (int i = 0; i < 5; ++i) {
        c.Fill(i * frameWidth, 0, frameWidth, height, Shade(frames[i], -30));
        c.Fill(i * frameWidth + 1, 1, frameWidth - 2, height - 2, frames[i]);
        c.Text(i * frameWidth, 0, frameWidth, height, text, i == 3 ? RGB(230, 230, 230) : RGB(255, 255, 255));
    }
    return c.Finish();
}
