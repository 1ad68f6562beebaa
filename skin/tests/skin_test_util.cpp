#include "skin_test_util.h"

#include <vector>

HBITMAP MakeBitmap32(int width, int height, const std::function<COLORREF(int, int)>& color)
{
    std::vector<unsigned char> bits(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            unsigned char* p = &bits[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = 0;
        }
    }
    return ::CreateBitmap(width, height, 1, 32, bits.data());
}

HBITMAP MakeStrip(int width, int height, const COLORREF (&frames)[5])
{
    const int frame = width / 5;
    return MakeBitmap32(width, height, [&](int x, int) { return frames[x / frame < 5 ? x / frame : 4]; });
}

COLORREF ReadPixel(HWND hWnd, int x, int y)
{
    HDC dc = ::GetDC(hWnd);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hWnd, dc);
    return c;
}

void PumpFor(int ms)
{
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (static_cast<LONG>(::GetTickCount() - end) < 0);
}
