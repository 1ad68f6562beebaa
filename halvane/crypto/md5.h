// MD5 message digest (RFC 1321) in the form the security handler's key derivation uses.
// The digest itself is the project's shared implementation in common/; this adapter only gives
// it value-returning calls. Not for anything that needs collision resistance.
#ifndef HALVANE_CRYPTO_MD5_H
#define HALVANE_CRYPTO_MD5_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "../../common/md5.h"

namespace halvane {

using Md5Digest = std::array<uint8_t, 16>;

class Md5 {
public:
    void Update(const void* data, size_t size) { impl_.Update(data, size); }
    void Update(std::string_view data) { impl_.Update(data.data(), data.size()); }
    // Finishes the digest; the object starts over afterwards.
    Md5Digest Final()
    {
        Md5Digest digest;
        impl_.Final(digest.data());
        impl_.Reset();
        return digest;
    }

    static Md5Digest Hash(std::string_view data)
    {
        Md5 md5;
        md5.Update(data);
        return md5.Final();
    }

private:
    ::Md5 impl_;
};

}  // namespace halvane

#endif
