// Helpers of the skin window tests: bitmaps made in code, pixel read-back, message pumping.
#ifndef MORVANE_SKIN_TESTS_SKIN_TEST_UTIL_H
#define MORVANE_SKIN_TESTS_SKIN_TEST_UTIL_H

#include <windows.h>

#include <functional>

// A 32-bit device-dependent bitmap whose pixel (x, y) is color(x, y).
HBITMAP MakeBitmap32(int width, int height, const std::function<COLORREF(int, int)>& color);
// A five-frame strip, each frame filled with its own colour.
HBITMAP MakeStrip(int width, int height, const COLORREF (&frames)[5]);
// The colour on screen at client point (x, y) of a visible window.
COLORREF ReadPixel(HWND hWnd, int x, int y);
// Dispatches messages for `ms` milliseconds (at least once).
void PumpFor(int ms);

#endif
