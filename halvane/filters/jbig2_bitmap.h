// A bi-level bitmap as JBIG2 builds it: rows of packed bits, most significant bit first,
// 1 = black. Reads outside the bitmap see 0, writes outside it are dropped.
#ifndef HALVANE_FILTERS_JBIG2_BITMAP_H
#define HALVANE_FILTERS_JBIG2_BITMAP_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace halvane::jbig2 {

// Combination operators (T.88, 7.4.1.5 and 7.4.8.5); the text region operators are the first four.
enum class ComboOp { Or = 0, And = 1, Xor = 2, Xnor = 3, Replace = 4 };

class Bitmap {
public:
    Bitmap() = default;
    // Allocates width x height pixels of the given value; false (and an empty bitmap) when the
    // size is negative or above maxPixels.
    bool Allocate(int64_t width, int64_t height, int value, int64_t maxPixels);
    // Adds rows at the bottom (filled with value) up to newHeight.
    void GrowTo(int newHeight, int value);

    int Width() const { return width_; }
    int Height() const { return height_; }
    size_t Stride() const { return stride_; }
    uint8_t* Row(int y) { return bits_.data() + static_cast<size_t>(y) * stride_; }
    const uint8_t* Row(int y) const { return bits_.data() + static_cast<size_t>(y) * stride_; }

    int Get(int64_t x, int64_t y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return 0;
        return (bits_[static_cast<size_t>(y) * stride_ + static_cast<size_t>(x >> 3)] >> (7 - (x & 7))) & 1;
    }
    void Set(int x, int y, int value)
    {
        uint8_t& b = bits_[static_cast<size_t>(y) * stride_ + static_cast<size_t>(x >> 3)];
        const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
        b = value ? static_cast<uint8_t>(b | mask) : static_cast<uint8_t>(b & ~mask);
    }

    // Combines src into this bitmap with its top left corner at (x, y), clipped to this bitmap.
    void Compose(const Bitmap& src, int64_t x, int64_t y, ComboOp op);

private:
    int width_ = 0;
    int height_ = 0;
    size_t stride_ = 0;
    std::vector<uint8_t> bits_;
};

}  // namespace halvane::jbig2

#endif
