// MD5 message digest (RFC 1321). Used by the standard security handler's key derivation;
// not for anything that needs collision resistance.
#ifndef HALVANE_CRYPTO_MD5_H
#define HALVANE_CRYPTO_MD5_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace halvane {

using Md5Digest = std::array<uint8_t, 16>;

class Md5 {
 public:
  Md5();
  void Update(const void* data, size_t size);
  void Update(std::string_view data) { Update(data.data(), data.size()); }
  // Finishes the digest; the object starts over afterwards.
  Md5Digest Final();

  static Md5Digest Hash(std::string_view data);

 private:
  void Reset();
  void Transform(const uint8_t block[64]);

  uint32_t state_[4];
  uint64_t total_bytes_;
  uint8_t buffer_[64];
};

}  // namespace halvane

#endif
