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

// The IAx integer decoders (Annex A.2). Each keeps its own 512 contexts.
class IntegerDecoder {
public:
    IntegerDecoder() : contexts_(512, 0) {}
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
    {
    }
    uint32_t Decode(MqDecoder& mq);

private:
    int codeLength_;
    std::vector<MqContext> contexts_;
};

}  // namespace halvane::jbig2

#endif
