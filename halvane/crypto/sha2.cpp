#include "halvane/crypto/sha2.h"

#include <cstring>

namespace halvane {
namespace {

// First 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr uint32_t kRound256[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

// First 64 bits of the fractional parts of the cube roots of the first 80 primes.
constexpr uint64_t kRound512[80] = {
    0x428a2f98d728ae22ULL, 0x7137449123ef65cdULL, 0xb5c0fbcfec4d3b2fULL, 0xe9b5dba58189dbbcULL, 0x3956c25bf348b538ULL,
    0x59f111f1b605d019ULL, 0x923f82a4af194f9bULL, 0xab1c5ed5da6d8118ULL, 0xd807aa98a3030242ULL, 0x12835b0145706fbeULL,
    0x243185be4ee4b28cULL, 0x550c7dc3d5ffb4e2ULL, 0x72be5d74f27b896fULL, 0x80deb1fe3b1696b1ULL, 0x9bdc06a725c71235ULL,
    0xc19bf174cf692694ULL, 0xe49b69c19ef14ad2ULL, 0xefbe4786384f25e3ULL, 0x0fc19dc68b8cd5b5ULL, 0x240ca1cc77ac9c65ULL,
    0x2de92c6f592b0275ULL, 0x4a7484aa6ea6e483ULL, 0x5cb0a9dcbd41fbd4ULL, 0x76f988da831153b5ULL, 0x983e5152ee66dfabULL,
    0xa831c66d2db43210ULL, 0xb00327c898fb213fULL, 0xbf597fc7beef0ee4ULL, 0xc6e00bf33da88fc2ULL, 0xd5a79147930aa725ULL,
    0x06ca6351e003826fULL, 0x142929670a0e6e70ULL, 0x27b70a8546d22ffcULL, 0x2e1b21385c26c926ULL, 0x4d2c6dfc5ac42aedULL,
    0x53380d139d95b3dfULL, 0x650a73548baf63deULL, 0x766a0abb3c77b2a8ULL, 0x81c2c92e47edaee6ULL, 0x92722c851482353bULL,
    0xa2bfe8a14cf10364ULL, 0xa81a664bbc423001ULL, 0xc24b8b70d0f89791ULL, 0xc76c51a30654be30ULL, 0xd192e819d6ef5218ULL,
    0xd69906245565a910ULL, 0xf40e35855771202aULL, 0x106aa07032bbd1b8ULL, 0x19a4c116b8d2d0c8ULL, 0x1e376c085141ab53ULL,
    0x2748774cdf8eeb99ULL, 0x34b0bcb5e19b48a8ULL, 0x391c0cb3c5c95a63ULL, 0x4ed8aa4ae3418acbULL, 0x5b9cca4f7763e373ULL,
    0x682e6ff3d6b2b8a3ULL, 0x748f82ee5defb2fcULL, 0x78a5636f43172f60ULL, 0x84c87814a1f0ab72ULL, 0x8cc702081a6439ecULL,
    0x90befffa23631e28ULL, 0xa4506cebde82bde9ULL, 0xbef9a3f7b2c67915ULL, 0xc67178f2e372532bULL, 0xca273eceea26619cULL,
    0xd186b8c721c0c207ULL, 0xeada7dd6cde0eb1eULL, 0xf57d4f7fee6ed178ULL, 0x06f067aa72176fbaULL, 0x0a637dc5a2c898a6ULL,
    0x113f9804bef90daeULL, 0x1b710b35131c471bULL, 0x28db77f523047d84ULL, 0x32caab7b40c72493ULL, 0x3c9ebe0a15c9bebcULL,
    0x431d67c49c100d4cULL, 0x4cc5d4becb3e42b6ULL, 0x597f299cfc657e2aULL, 0x5fcb6fab3ad6faecULL, 0x6c44198c4a475817ULL,
};

// First 64 bits of the fractional parts of the square roots of the first eight primes.
constexpr uint64_t kInitial512[8] = {
    0x6a09e667f3bcc908ULL, 0xbb67ae8584caa73bULL, 0x3c6ef372fe94f82bULL, 0xa54ff53a5f1d36f1ULL,
    0x510e527fade682d1ULL, 0x9b05688c2b3e6c1fULL, 0x1f83d9abfb41bd6bULL, 0x5be0cd19137e2179ULL,
};

// The same for the ninth to sixteenth primes.
constexpr uint64_t kInitial384[8] = {
    0xcbbb9d5dc1059ed8ULL, 0x629a292a367cd507ULL, 0x9159015a3070dd17ULL, 0x152fecd8f70e5939ULL,
    0x67332667ffc00b31ULL, 0x8eb44a8768581511ULL, 0xdb0c2e0d64f98fa7ULL, 0x47b5481dbefa4fa4ULL,
};

inline uint32_t Rotr32(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}
inline uint64_t Rotr64(uint64_t x, int n)
{
    return (x >> n) | (x << (64 - n));
}

// Shared buffering: feeds whole blocks of `kBlock` bytes to `transform`.
template <size_t kBlock, typename Transform>
void Absorb(const void* data, size_t size, uint64_t* totalBytes, uint8_t* buffer, Transform transform)
{
    if (size == 0)
        return;
    const uint8_t* in = static_cast<const uint8_t*>(data);
    const size_t used = size_t(*totalBytes % kBlock);
    *totalBytes += size;
    if (used != 0) {
        const size_t take = size < kBlock - used ? size : kBlock - used;
        std::memcpy(buffer + used, in, take);
        in += take;
        size -= take;
        if (used + take < kBlock)
            return;
        transform(buffer);
    }
    for (; size >= kBlock; in += kBlock, size -= kBlock)
        transform(in);
    if (size != 0)
        std::memcpy(buffer, in, size);
}

}  // namespace

// ---- SHA-256 ----

Sha256::Sha256()
{
    Reset();
}

void Sha256::Reset()
{
    static constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::memcpy(state_, kInitial, sizeof state_);
    totalBytes_ = 0;
}

void Sha256::Transform(const uint8_t block[64])
{
    uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
        w[i] = uint32_t(block[4 * i]) << 24 | uint32_t(block[4 * i + 1]) << 16 | uint32_t(block[4 * i + 2]) << 8 |
               uint32_t(block[4 * i + 3]);
    }
    for (int i = 16; i < 64; ++i) {
        const uint32_t s0 = Rotr32(w[i - 15], 7) ^ Rotr32(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = Rotr32(w[i - 2], 17) ^ Rotr32(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; ++i) {
        const uint32_t t1 =
            h + (Rotr32(e, 6) ^ Rotr32(e, 11) ^ Rotr32(e, 25)) + ((e & f) ^ (~e & g)) + kRound256[i] + w[i];
        const uint32_t t2 = (Rotr32(a, 2) ^ Rotr32(a, 13) ^ Rotr32(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void Sha256::Update(const void* data, size_t size)
{
    Absorb<64>(data, size, &totalBytes_, buffer_, [this](const uint8_t* b) { Transform(b); });
}

Sha256Digest Sha256::Final()
{
    const uint64_t bitCount = totalBytes_ * 8;
    static const uint8_t kPad[64] = {0x80};
    const size_t used = size_t(totalBytes_ % 64);
    Update(kPad, used < 56 ? 56 - used : 120 - used);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = uint8_t(bitCount >> (56 - 8 * i));
    Update(length, 8);
    Sha256Digest digest;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = uint8_t(state_[i] >> (24 - 8 * j));
    }
    Reset();
    return digest;
}

Sha256Digest Sha256::Hash(std::string_view data)
{
    Sha256 sha;
    sha.Update(data);
    return sha.Final();
}

// ---- SHA-512 / SHA-384 ----

Sha512::Sha512(Variant variant) : variant_(variant)
{
    Reset();
}

void Sha512::Reset()
{
    std::memcpy(state_, variant_ == Variant::kSha384 ? kInitial384 : kInitial512, sizeof state_);
    totalBytes_ = 0;
}

void Sha512::Transform(const uint8_t block[128])
{
    uint64_t w[80];
    for (int i = 0; i < 16; ++i) {
        uint64_t v = 0;
        for (int j = 0; j < 8; ++j)
            v = v << 8 | block[8 * i + j];
        w[i] = v;
    }
    for (int i = 16; i < 80; ++i) {
        const uint64_t s0 = Rotr64(w[i - 15], 1) ^ Rotr64(w[i - 15], 8) ^ (w[i - 15] >> 7);
        const uint64_t s1 = Rotr64(w[i - 2], 19) ^ Rotr64(w[i - 2], 61) ^ (w[i - 2] >> 6);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint64_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint64_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 80; ++i) {
        const uint64_t t1 =
            h + (Rotr64(e, 14) ^ Rotr64(e, 18) ^ Rotr64(e, 41)) + ((e & f) ^ (~e & g)) + kRound512[i] + w[i];
        const uint64_t t2 = (Rotr64(a, 28) ^ Rotr64(a, 34) ^ Rotr64(a, 39)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

void Sha512::Update(const void* data, size_t size)
{
    Absorb<128>(data, size, &totalBytes_, buffer_, [this](const uint8_t* b) { Transform(b); });
}

void Sha512::Final(uint8_t* out)
{
    const uint64_t bitCount = totalBytes_ * 8;
    static const uint8_t kPad[128] = {0x80};
    const size_t used = size_t(totalBytes_ % 128);
    Update(kPad, used < 112 ? 112 - used : 240 - used);
    uint8_t length[16] = {};  // the high 64 bits of the 128-bit length stay zero
    for (int i = 0; i < 8; ++i)
        length[8 + i] = uint8_t(bitCount >> (56 - 8 * i));
    Update(length, 16);
    const int words = variant_ == Variant::kSha384 ? 6 : 8;
    for (int i = 0; i < words; ++i) {
        for (int j = 0; j < 8; ++j)
            out[8 * i + j] = uint8_t(state_[i] >> (56 - 8 * j));
    }
    Reset();
}

Sha384Digest Sha512::Hash384(std::string_view data)
{
    Sha512 sha(Variant::kSha384);
    sha.Update(data);
    Sha384Digest digest;
    sha.Final(digest.data());
    return digest;
}

Sha512Digest Sha512::Hash512(std::string_view data)
{
    Sha512 sha(Variant::kSha512);
    sha.Update(data);
    Sha512Digest digest;
    sha.Final(digest.data());
    return digest;
}

}  // namespace halvane
