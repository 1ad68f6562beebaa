#include "halvane/filters/jbig2_arith.h"

namespace halvane::jbig2 {

// Qe values and probability estimation (T.88, Table E.1).
const MqDecoder::QeEntry MqDecoder::kQe[47] = {
    {0x5601, 1, 1, 1},   {0x3401, 2, 6, 0},   {0x1801, 3, 9, 0},   {0x0AC1, 4, 12, 0},  {0x0521, 5, 29, 0},
    {0x0221, 38, 33, 0}, {0x5601, 7, 6, 1},   {0x5401, 8, 14, 0},  {0x4801, 9, 14, 0},  {0x3801, 10, 14, 0},
    {0x3001, 11, 17, 0}, {0x2401, 12, 18, 0}, {0x1C01, 13, 20, 0}, {0x1601, 29, 21, 0}, {0x5601, 15, 14, 1},
    {0x5401, 16, 14, 0}, {0x5101, 17, 15, 0}, {0x4801, 18, 16, 0}, {0x3801, 19, 17, 0}, {0x3401, 20, 18, 0},
    {0x3001, 21, 19, 0}, {0x2801, 22, 19, 0}, {0x2401, 23, 20, 0}, {0x2201, 24, 21, 0}, {0x1C01, 25, 22, 0},
    {0x1801, 26, 23, 0}, {0x1601, 27, 24, 0}, {0x1401, 28, 25, 0}, {0x1201, 29, 26, 0}, {0x1101, 30, 27, 0},
    {0x0AC1, 31, 28, 0}, {0x09C1, 32, 29, 0}, {0x08A1, 33, 30, 0}, {0x0521, 34, 31, 0}, {0x0441, 35, 32, 0},
    {0x02A1, 36, 33, 0}, {0x0221, 37, 34, 0}, {0x0141, 38, 35, 0}, {0x0111, 39, 36, 0}, {0x0085, 40, 37, 0},
    {0x0049, 41, 38, 0}, {0x0025, 42, 39, 0}, {0x0015, 43, 40, 0}, {0x0009, 44, 41, 0}, {0x0005, 45, 42, 0},
    {0x0001, 45, 43, 0}, {0x5601, 46, 46, 0},
};

MqDecoder::MqDecoder(const uint8_t* data, size_t size) : data_(data), size_(size)
{
    // INITDEC
    c_ = static_cast<uint32_t>(ByteAt(0)) << 16;
    ByteIn();
    c_ <<= 7;
    ct_ -= 7;
    a_ = 0x8000;
}

void MqDecoder::ByteIn()
{
    if (ByteAt(pos_) == 0xFF) {
        if (ByteAt(pos_ + 1) > 0x8F) {
            // A marker (or the end of the data): feed 1 bits without moving on.
            c_ += 0xFF00;
            ct_ = 8;
        } else {
            ++pos_;
            c_ += static_cast<uint32_t>(ByteAt(pos_)) << 9;
            ct_ = 7;
        }
    } else {
        ++pos_;
        c_ += static_cast<uint32_t>(ByteAt(pos_)) << 8;
        ct_ = 8;
    }
}

bool IntegerDecoder::Decode(MqDecoder& mq, int64_t* value)
{
    uint32_t prev = 1;
    auto bit = [&]() {
        const int d = mq.Decode(&contexts_[prev]);
        prev = prev < 256 ? (prev << 1 | d) : (((prev << 1 | d) & 511) | 256);
        return d;
    };
    const int sign = bit();
    int bits;
    int64_t offset;
    if (!bit()) {
        bits = 2;
        offset = 0;
    } else if (!bit()) {
        bits = 4;
        offset = 4;
    } else if (!bit()) {
        bits = 6;
        offset = 20;
    } else if (!bit()) {
        bits = 8;
        offset = 84;
    } else if (!bit()) {
        bits = 12;
        offset = 340;
    } else {
        bits = 32;
        offset = 4436;
    }
    int64_t v = 0;
    for (int i = 0; i < bits; ++i)
        v = (v << 1) | bit();
    v += offset;
    if (sign && v == 0)
        return false;
    *value = sign ? -v : v;
    return true;
}

uint32_t SymbolIdDecoder::Decode(MqDecoder& mq)
{
    uint32_t prev = 1;
    for (int i = 0; i < codeLength_; ++i)
        prev = (prev << 1) | static_cast<uint32_t>(mq.Decode(&contexts_[prev]));
    return prev - (static_cast<uint32_t>(1) << codeLength_);
}

}  // namespace halvane::jbig2
