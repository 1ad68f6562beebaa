#include "skin_img.h"

#include <vector>

int qrn_SkinImg::Width() const
{
    BITMAP bm{};
    return GetBitmap(&bm) ? bm.bmWidth : 0;
}

int qrn_SkinImg::Height() const
{
    BITMAP bm{};
    return GetBitmap(&bm) ? bm.bmHeight : 0;
}

namespace {

// A memory context holding the image, released on every path.
class ImageDC {
public:
    ImageDC(CDC* dst, qrn_SkinImg* img)
    {
        if (!dst || !dst->m_hDC || !img || !img->m_hObject)
            return;
        m_dc = ::CreateCompatibleDC(dst->m_hDC);
        if (m_dc)
            m_old = ::SelectObject(m_dc, img->m_hObject);
        if (m_dc && !m_old) {  // a bitmap selected elsewhere or not a bitmap
            ::DeleteDC(m_dc);
            m_dc = nullptr;
        }
    }
    ~ImageDC()
    {
        if (!m_dc)
            return;
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    HDC Get() const { return m_dc; }

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The image's pixels as 32-bit rows (blue, green, red, x), top row first. A 32-bit bitmap is
// read as it is; any other depth is converted, so the scan never reads past what was copied.
bool ReadPixels32(HBITMAP bitmap, const BITMAP& bm, std::vector<uint8_t>& pixels, size_t& stride)
{
    if (bm.bmBitsPixel == 32) {
        stride = (static_cast<size_t>(bm.bmWidthBytes) + 3) & ~static_cast<size_t>(3);
        pixels.assign(stride * static_cast<size_t>(bm.bmHeight), 0);
        const LONG copied = ::GetBitmapBits(bitmap, static_cast<LONG>(pixels.size()), pixels.data());
        if (copied <= 0)
            return false;
        pixels.resize(static_cast<size_t>(copied));
        return true;
    }
    stride = static_cast<size_t>(bm.bmWidth) * 4;
    pixels.assign(stride * static_cast<size_t>(bm.bmHeight), 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    const int rows =
        ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows <= 0)
        return false;
    pixels.resize(stride * static_cast<size_t>(rows));
    return true;
}

}  // namespace

BOOL BltImagePart(CDC* dst, qrn_SkinImg* img, int x, int y, int width, int height, int srcX, int srcY)
{
    ImageDC src(dst, img);
    if (!src.Get())
        return FALSE;
    return ::BitBlt(dst->m_hDC, x, y, width, height, src.Get(), srcX, srcY, SRCCOPY);
}

BOOL StretchImagePart(CDC* dst, qrn_SkinImg* img, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                      int srcHeight)
{
    ImageDC src(dst, img);
    if (!src.Get())
        return FALSE;
    return ::StretchBlt(dst->m_hDC, x, y, width, height, src.Get(), srcX, srcY, srcWidth, srcHeight, SRCCOPY);
}

BOOL BltImage(qrn_SkinImg* img, CDC* dst, int x, int y)
{
    if (!img)
        return FALSE;
    return BltImagePart(dst, img, x, y, img->Width(), img->Height(), 0, 0);
}

BOOL StretchImage(qrn_SkinImg* img, CDC* dst, int x, int y, int width, int height)
{
    if (!img)
        return FALSE;
    return StretchImagePart(dst, img, x, y, width, height, 0, 0, img->Width(), img->Height());
}

BOOL BuildImageRegion(qrn_SkinImg* img, CRgn* rgn)
{
    return BuildImageRegionSized(img, rgn, img ? img->Width() : 0, img ? img->Height() : 0);
}

BOOL BuildImageRegionSized(qrn_SkinImg* img, CRgn* rgn, int, int)
{
    if (!rgn)
        return FALSE;
    rgn->CreateRectRgn(0, 0, 0, 0);
    BITMAP bm{};
    if (!img || !img->GetBitmap(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return TRUE;
    std::vector<uint8_t> pixels;
    size_t stride = 0;
    if (!ReadPixels32(static_cast<HBITMAP>(img->m_hObject), bm, pixels, stride))
        return TRUE;
    HRGN target = static_cast<HRGN>(rgn->m_hObject);
    ForEachOpaqueRun(pixels.data(), pixels.size(), bm.bmWidth, bm.bmHeight, stride, [target](int y, int x0, int x1) {
        HRGN strip = ::CreateRectRgn(x0, y, x1, y + 1);
        ::CombineRgn(target, target, strip, RGN_OR);
        ::DeleteObject(strip);
    });
    return TRUE;
}
