// Bounds-checked big-endian reads from an untrusted byte span.
#ifndef HALVANE_FONTS_BYTE_READER_H
#define HALVANE_FONTS_BYTE_READER_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace halvane {

class ByteSpan {
public:
    ByteSpan() = default;
    explicit ByteSpan(std::string_view data) : data_(data) { }

    size_t size() const { return data_.size(); }
    bool Has(size_t offset, size_t count) const { return offset <= data_.size() && count <= data_.size() - offset; }
    // The bytes [offset, offset + count) clipped to the span.
    ByteSpan Sub(size_t offset, size_t count) const
    {
        if (offset > data_.size())
            return ByteSpan();
        return ByteSpan(data_.substr(offset, count));
    }
    std::string_view View() const { return data_; }

    // Reads return false (and leave *v alone) when the bytes are not all there.
    bool U8(size_t offset, uint32_t* v) const { return Read(offset, 1, v); }
    bool U16(size_t offset, uint32_t* v) const { return Read(offset, 2, v); }
    bool U24(size_t offset, uint32_t* v) const { return Read(offset, 3, v); }
    bool U32(size_t offset, uint32_t* v) const { return Read(offset, 4, v); }
    bool Read(size_t offset, size_t count, uint32_t* v) const
    {
        if (count > 4 || !Has(offset, count))
            return false;
        uint32_t value = 0;
        for (size_t i = 0; i < count; ++i)
            value = (value << 8) | static_cast<uint8_t>(data_[offset + i]);
        *v = value;
        return true;
    }
    // Unchecked-looking helpers that give 0 past the end, for fields that default to 0.
    uint32_t U16Or0(size_t offset) const
    {
        uint32_t v = 0;
        U16(offset, &v);
        return v;
    }

private:
    std::string_view data_;
};

}  // namespace halvane

#endif  // HALVANE_FONTS_BYTE_READER_H
