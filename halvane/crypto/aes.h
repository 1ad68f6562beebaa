// AES block cipher (FIPS 197) with 128, 192 and 256-bit keys, and the CBC mode (SP 800-38A)
// the standard security handler uses: decryption with PKCS#7 padding for strings and streams,
// and unpadded encryption for the revision 6 password hash.
#ifndef HALVANE_CRYPTO_AES_H
#define HALVANE_CRYPTO_AES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace halvane {

constexpr size_t kAesBlockSize = 16;

class Aes {
public:
    // Expands a 16, 24 or 32-byte key; false (and an unusable object) for any other size.
    bool SetKey(const uint8_t* key, size_t keySize);
    bool SetKey(std::string_view key) { return SetKey(reinterpret_cast<const uint8_t*>(key.data()), key.size()); }

    // One 16-byte block; `in` and `out` may be the same buffer. Needs a successful SetKey.
    void EncryptBlock(const uint8_t in[16], uint8_t out[16]) const;
    void DecryptBlock(const uint8_t in[16], uint8_t out[16]) const;

private:
    int rounds_ = 0;
    uint32_t encryptKeys_[60] = {};
    uint32_t decryptKeys_[60] = {};
};

// CBC decryption of `data` (whole blocks only; a trailing partial block is dropped) with the
// 16-byte `iv`. With `stripPadding`, a final PKCS#7 pad of 1 to 16 bytes is removed; a last
// byte outside that range is taken as data, so bad padding never loses more than the pad.
// False for a bad key size or an IV that is not 16 bytes.
bool AesCbcDecrypt(std::string_view key, std::string_view iv, std::string_view data, bool stripPadding,
                   std::string* out);

// CBC encryption without padding; `data` must be a whole number of blocks.
bool AesCbcEncrypt(std::string_view key, std::string_view iv, std::string_view data, std::string* out);

}  // namespace halvane

#endif
