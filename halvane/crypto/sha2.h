// SHA-256, SHA-384 and SHA-512 (FIPS 180-4), as the AES-256 revisions of the standard
// security handler need them.
#ifndef HALVANE_CRYPTO_SHA2_H
#define HALVANE_CRYPTO_SHA2_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace halvane {

using Sha256Digest = std::array<uint8_t, 32>;
using Sha384Digest = std::array<uint8_t, 48>;
using Sha512Digest = std::array<uint8_t, 64>;

class Sha256 {
public:
    Sha256();
    void Update(const void* data, size_t size);
    void Update(std::string_view data) { Update(data.data(), data.size()); }
    // Finishes the digest; the object starts over afterwards.
    Sha256Digest Final();

    static Sha256Digest Hash(std::string_view data);

private:
    void Reset();
    void Transform(const uint8_t block[64]);

    uint32_t state_[8];
    uint64_t totalBytes_;
    uint8_t buffer_[64];
};

// SHA-512 and its truncated variant SHA-384 share one engine; only the initial state and
// the digest length differ.
class Sha512 {
public:
    enum class Variant { kSha384, kSha512 };

    explicit Sha512(Variant variant = Variant::kSha512);
    void Update(const void* data, size_t size);
    void Update(std::string_view data) { Update(data.data(), data.size()); }
    // Finishes the digest into `out` (48 bytes for SHA-384, 64 for SHA-512); starts over afterwards.
    void Final(uint8_t* out);

    static Sha384Digest Hash384(std::string_view data);
    static Sha512Digest Hash512(std::string_view data);

private:
    void Reset();
    void Transform(const uint8_t block[128]);

    Variant variant_;
    uint64_t state_[8];
    uint64_t totalBytes_;  // messages beyond 2^61 bytes are not a concern here
    uint8_t buffer_[128];
};

}  // namespace halvane

#endif
