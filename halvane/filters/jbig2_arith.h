// The arithmetic decoding of JBIG2 (ITU-T T.88): the MQ decoder of Annex E and the integer and
// symbol-ID decoding procedures of Annex A built on it.
#ifndef HALVANE_FILTERS_JBIG2_ARITH_H
#define HALVANE_FILTERS_JBIG2_ARITH_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace halvane::jbig2 {

// A context's adaptive state, packed as (probability-table index << 1) | more-probable symbol.
using MqContext = uint8_t;

class MqDecoder {
public:
    MqDecoder(const uint8_t* data, size_t size);
    // One binary decision in context cx.
    int Decode(MqContext* cx);

private:
    struct QeEntry {
        uint16_t qe;
        uint8_t nextMps;
        uint8_t nextLps;
        uint8_t switchMps;
    };
    static const QeEntry kQe[47];

    // Past the end of the data the decoder reads 0xFF bytes, as the standard prescribes, so a
    // short stream yields a definite (if meaningless) result instead of an error or a hang.
    uint8_t ByteAt(size_t i) const { return i < size_ ? data_[i] : 0xFF; }
    void ByteIn();

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint32_t c_ = 0;
    uint32_t a_ = 0;
    int ct_ = 0;
};

inline int MqDecoder::Decode(MqContext* cx)
{
    const int index = *cx >> 1;
    int mps = *cx & 1;
    const QeEntry& e = kQe[index < 47 ? index : 46];
    const uint32_t qe = e.qe;
    int decision;
    a_ -= qe;
    if ((c_ >> 16) >= qe) {
        // The more probable symbol's subinterval lies above the less probable one's.
        c_ -= qe << 16;
        if (a_ & 0x8000)
            return mps;
        // MPS_EXCHANGE
        if (a_ < qe) {
            decision = 1 - mps;
            if (e.switchMps)
                mps = 1 - mps;
            *cx = static_cast<MqContext>(e.nextLps << 1 | mps);
        } else {
            decision = mps;
            *cx = static_cast<MqContext>(e.nextMps << 1 | mps);
        }
    } else {
        // LPS_EXCHANGE
        if (a_ < qe) {
            decision = mps;
            *cx = static_cast<MqContext>(e.nextMps << 1 | mps);
        } else {
            decision = 1 - mps;
            if (e.switchMps)
                mps = 1 - mps;
            *cx = static_cast<MqContext>(e.nextLps << 1 | mps);
        }
        a_ = qe;
    }
    // RENORMD
    do {
        if (ct_ == 0)
            ByteIn();
        a_ <<= 1;
        c_ <<= 1;
        --ct_;
    } while ((a_ & 0x8000) == 0);
    return decision;
}

// The IAx integer decoders (Annex A.2). Each keeps its own 512 contexts.
class IntegerDecoder {
public:
    IntegerDecoder() : contexts_(512, 0) { }
    // False for the out-of-band value.
    bool Decode(MqDecoder& mq, int64_t* value);

private:
    std::vector<MqContext> contexts_;
};

// The IAID symbol-ID decoder (Annex A.3): codeLength bits, most significant first.
class SymbolIdDecoder {
public:
    explicit SymbolIdDecoder(int codeLength)
        : codeLength_(codeLength), contexts_(static_cast<size_t>(1) << codeLength, 0)
    { }
    uint32_t Decode(MqDecoder& mq);

private:
    int codeLength_;
    std::vector<MqContext> contexts_;
};

}  // namespace halvane::jbig2

#endif
