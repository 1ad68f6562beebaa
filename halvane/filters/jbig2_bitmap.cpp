#include "halvane/filters/jbig2_bitmap.h"

#include <algorithm>

namespace halvane::jbig2 {

bool Bitmap::Allocate(int64_t width, int64_t height, int value, int64_t maxPixels)
{
    width_ = height_ = 0;
    stride_ = 0;
    bits_.clear();
    if (width < 0 || height < 0 || width > maxPixels || height > maxPixels || (width > 0 && height > maxPixels / width))
        return false;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    stride_ = (static_cast<size_t>(width_) + 7) / 8;
    bits_.assign(stride_ * static_cast<size_t>(height_), value ? 0xFF : 0x00);
    return true;
}

void Bitmap::GrowTo(int newHeight, int value)
{
    if (newHeight <= height_)
        return;
    bits_.resize(stride_ * static_cast<size_t>(newHeight), value ? 0xFF : 0x00);
    height_ = newHeight;
}

void Bitmap::Compose(const Bitmap& src, int64_t x, int64_t y, ComboOp op)
{
    const int64_t x0 = std::max<int64_t>(0, x);
    const int64_t y0 = std::max<int64_t>(0, y);
    const int64_t x1 = std::min<int64_t>(width_, x + src.width_);
    const int64_t y1 = std::min<int64_t>(height_, y + src.height_);
    if (x0 >= x1 || y0 >= y1)
        return;
    // Whole bytes when source and destination bits line up (regions placed at x = 0 mostly).
    const bool aligned = (x & 7) == 0;
    for (int64_t dy = y0; dy < y1; ++dy) {
        const uint8_t* s = src.Row(static_cast<int>(dy - y));
        uint8_t* d = Row(static_cast<int>(dy));
        int64_t dx = x0;
        if (aligned) {
            for (; dx + 8 <= x1; dx += 8) {
                const uint8_t sv = s[(dx - x) >> 3];
                uint8_t& b = d[dx >> 3];
                switch (op) {
                case ComboOp::Or:
                    b = static_cast<uint8_t>(b | sv);
                    break;
                case ComboOp::And:
                    b = static_cast<uint8_t>(b & sv);
                    break;
                case ComboOp::Xor:
                    b = static_cast<uint8_t>(b ^ sv);
                    break;
                case ComboOp::Xnor:
                    b = static_cast<uint8_t>(~(b ^ sv));
                    break;
                default:
                    b = sv;
                    break;
                }
            }
        }
        for (; dx < x1; ++dx) {
            const int64_t sx = dx - x;
            const int sv = (s[sx >> 3] >> (7 - (sx & 7))) & 1;
            uint8_t& b = d[dx >> 3];
            const int shift = 7 - static_cast<int>(dx & 7);
            const int dv = (b >> shift) & 1;
            int v;
            switch (op) {
            case ComboOp::Or:
                v = dv | sv;
                break;
            case ComboOp::And:
                v = dv & sv;
                break;
            case ComboOp::Xor:
                v = dv ^ sv;
                break;
            case ComboOp::Xnor:
                v = 1 - (dv ^ sv);
                break;
            default:
                v = sv;
                break;
            }
            b = static_cast<uint8_t>((b & ~(1 << shift)) | (v << shift));
        }
    }
}

}  // namespace halvane::jbig2
