// The bitmap type every skin control holds, the helpers that put an image (or part of one) on a
// device context, and the builder that turns an image into a window region. Skin bitmaps use
// pure magenta as the transparent key colour; button pictures are strips of five frames.
#ifndef MORVANE_SKIN_SKIN_IMG_H
#define MORVANE_SKIN_SKIN_IMG_H

#include <cstddef>
#include <cstdint>

#include "afxwin.h"

#define KEY_COLOR RGB(255, 0, 255)

// A skin picture: a CBitmap under its own name so that image members are recognisable.
// Empty until the owning dialog attaches a handle; a handle still attached is deleted with it.
class qrn_SkinImg : public CBitmap {
public:
    int Width() const;
    int Height() const;
};

// Each helper draws through its own memory context with SRCCOPY and returns the copy's
// result; an empty image or a context that cannot be made draws nothing and returns FALSE.
BOOL BltImagePart(CDC* dst, qrn_SkinImg* img, int x, int y, int width, int height, int srcX, int srcY);
BOOL StretchImagePart(CDC* dst, qrn_SkinImg* img, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                      int srcHeight);
BOOL BltImage(qrn_SkinImg* img, CDC* dst, int x, int y);
BOOL StretchImage(qrn_SkinImg* img, CDC* dst, int x, int y, int width, int height);

// Attaches to `rgn` (an empty CRgn) a region covering exactly the non-key pixels of the image,
// in the image's coordinates. The scan covers the whole image whatever width and height say.
BOOL BuildImageRegion(qrn_SkinImg* img, CRgn* rgn);
BOOL BuildImageRegionSized(qrn_SkinImg* img, CRgn* rgn, int width, int height);

// The opaque runs of 32-bit pixel rows (blue, green, red, ignored), top row first: calls
// `run(y, xStart, xEnd)` for each maximal run of pixels that are not the key colour, xEnd
// exclusive. Rows that `size` bytes do not fully hold are not scanned.
template <typename RunFn>
void ForEachOpaqueRun(const uint8_t* pixels, size_t size, int width, int height, size_t stride, RunFn run)
{
    if (!pixels || width <= 0 || height <= 0 || stride < static_cast<size_t>(width) * 4)
        return;
    for (int y = 0; y < height; ++y) {
        const size_t rowStart = static_cast<size_t>(y) * stride;
        if (rowStart + static_cast<size_t>(width) * 4 > size)
            return;
        const uint8_t* row = pixels + rowStart;
        int x = 0;
        while (x < width) {
            const int start = x;
            while (x < width) {
                const uint8_t* p = row + static_cast<size_t>(x) * 4;
                if (p[0] == 255 && p[1] == 0 && p[2] == 255)
                    break;  // blue, green, red of the key
                ++x;
            }
            if (x > start)
                run(y, start, x);
            ++x;  // the key pixel that ended the run (or the row's end)
        }
    }
}

#endif
