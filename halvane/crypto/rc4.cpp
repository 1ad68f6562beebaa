#include "halvane/crypto/rc4.h"

#include <cstring>
#include <utility>

namespace halvane {

Rc4::Rc4(const uint8_t* key, size_t keySize)
{
    static const uint8_t kZero = 0;
    if (keySize == 0) {
        key = &kZero;
        keySize = 1;
    }
    if (keySize > 256)
        keySize = 256;
    for (int n = 0; n < 256; ++n)
        s_[n] = uint8_t(n);
    uint8_t j = 0;
    for (int n = 0; n < 256; ++n) {
        j = uint8_t(j + s_[n] + key[size_t(n) % keySize]);
        std::swap(s_[n], s_[j]);
    }
}

void Rc4::Process(const uint8_t* in, uint8_t* out, size_t size)
{
    // A local copy of the state: writes through `out` could alias the member array and would
    // make the compiler reload it for every byte.
    uint8_t s[256];
    std::memcpy(s, s_, sizeof s);
    uint8_t i = i_, j = j_;
    for (size_t n = 0; n < size; ++n) {
        i = uint8_t(i + 1);
        const uint8_t si = s[i];
        j = uint8_t(j + si);
        const uint8_t sj = s[j];
        s[i] = sj;
        s[j] = si;
        out[n] = in[n] ^ s[uint8_t(si + sj)];
    }
    std::memcpy(s_, s, sizeof s);
    i_ = i;
    j_ = j;
}

std::string Rc4::Crypt(std::string_view key, std::string_view data)
{
    std::string out(data);
    Rc4 rc4(key);
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&out[0]);
    rc4.Process(bytes, bytes, out.size());
    return out;
}

}  // namespace halvane
