// RC4 stream cipher, as the standard security handler's revisions 2 to 4 use it.
#ifndef HALVANE_CRYPTO_RC4_H
#define HALVANE_CRYPTO_RC4_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace halvane {

class Rc4 {
public:
    // Keys of 1 to 256 bytes; an empty key is treated as a single zero byte.
    Rc4(const uint8_t* key, size_t keySize);
    explicit Rc4(std::string_view key) : Rc4(reinterpret_cast<const uint8_t*>(key.data()), key.size()) { }

    // XORs `size` bytes with the key stream; `in` and `out` may be the same buffer.
    void Process(const uint8_t* in, uint8_t* out, size_t size);

    // Encrypts or decrypts `data` (the same operation) with a fresh key stream.
    static std::string Crypt(std::string_view key, std::string_view data);

private:
    uint8_t s_[256];
    uint8_t i_ = 0;
    uint8_t j_ = 0;
};

}  // namespace halvane

#endif
