#include "halvane/crypto/aes.h"

#include <array>

namespace halvane {
namespace {

// The S-box and the round tables are derived from GF(2^8) arithmetic at compile time,
// which keeps hand-typed constant tables (and their typos) out of the code.

constexpr uint8_t Times2(uint8_t x)
{
    return uint8_t((x << 1) ^ ((x & 0x80) ? 0x1b : 0));
}

constexpr uint8_t Multiply(uint8_t a, uint8_t b)
{
    uint8_t product = 0;
    for (; b != 0; b >>= 1, a = Times2(a)) {
        if (b & 1)
            product ^= a;
    }
    return product;
}

constexpr uint8_t RotateByteLeft(uint8_t x, int n)
{
    return uint8_t((x << n) | (x >> (8 - n)));
}

constexpr uint32_t RotateRight(uint32_t x, int n)
{
    return n == 0 ? x : (x >> n) | (x << (32 - n));
}

// encrypt[0] holds the column (2s, s, s, 3s), most significant byte first, for s = S-box;
// decrypt[0] the column (14t, 9t, 13t, 11t) for t = inverse S-box; [1..3] are the same
// columns rotated one byte further each, for the other rows of the state.
struct Tables {
    uint8_t sbox[256] = {};
    uint8_t inverseSbox[256] = {};
    uint32_t encrypt[4][256] = {};
    uint32_t decrypt[4][256] = {};
};

constexpr Tables MakeTables()
{
    Tables t;
    // Walk the multiplicative group with generator 3 (p) and its inverse 3^-1 (q) together,
    // so q is always p's inverse; the S-box is q's affine transform.
    uint8_t p = 1, q = 1;
    do {
        p = uint8_t(p ^ Times2(p));
        q = uint8_t(q ^ (q << 1));
        q = uint8_t(q ^ (q << 2));
        q = uint8_t(q ^ (q << 4));
        if (q & 0x80)
            q ^= 0x09;
        const uint8_t affine =
            uint8_t(q ^ RotateByteLeft(q, 1) ^ RotateByteLeft(q, 2) ^ RotateByteLeft(q, 3) ^ RotateByteLeft(q, 4));
        t.sbox[p] = uint8_t(affine ^ 0x63);
    } while (p != 1);
    t.sbox[0] = 0x63;
    for (int x = 0; x < 256; ++x)
        t.inverseSbox[t.sbox[x]] = uint8_t(x);
    for (int x = 0; x < 256; ++x) {
        const uint8_t s = t.sbox[x];
        const uint32_t e =
            uint32_t(Multiply(s, 2)) << 24 | uint32_t(s) << 16 | uint32_t(s) << 8 | uint32_t(Multiply(s, 3));
        const uint8_t v = t.inverseSbox[x];
        const uint32_t d = uint32_t(Multiply(v, 14)) << 24 | uint32_t(Multiply(v, 9)) << 16 |
                           uint32_t(Multiply(v, 13)) << 8 | uint32_t(Multiply(v, 11));
        for (int row = 0; row < 4; ++row) {
            t.encrypt[row][x] = RotateRight(e, 8 * row);
            t.decrypt[row][x] = RotateRight(d, 8 * row);
        }
    }
    return t;
}

constexpr Tables kTables = MakeTables();

inline uint8_t Byte(uint32_t x, int n)
{
    return uint8_t(x >> (24 - 8 * n));
}  // n = 0: top byte

inline uint32_t Load(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void Store(uint32_t v, uint8_t* p)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// Four bytes through an S-box, packed into a word (most significant first).
inline uint32_t Substitute(const uint8_t* box, uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return uint32_t(box[a]) << 24 | uint32_t(box[b]) << 16 | uint32_t(box[c]) << 8 | uint32_t(box[d]);
}

inline uint32_t SubWord(uint32_t w)
{
    return Substitute(kTables.sbox, Byte(w, 0), Byte(w, 1), Byte(w, 2), Byte(w, 3));
}

// One round column: the table lookup of each byte in its row.
inline uint32_t Column(const uint32_t (&table)[4][256], uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    return table[0][a] ^ table[1][b] ^ table[2][c] ^ table[3][d];
}

}  // namespace

bool Aes::SetKey(const uint8_t* key, size_t keySize)
{
    rounds_ = 0;
    if (keySize != 16 && keySize != 24 && keySize != 32)
        return false;
    const int nk = int(keySize / 4);
    const int rounds = nk + 6;
    const int words = 4 * (rounds + 1);
    for (int i = 0; i < nk; ++i)
        encryptKeys_[i] = Load(key + 4 * i);
    uint8_t rcon = 1;
    for (int i = nk; i < words; ++i) {
        uint32_t temp = encryptKeys_[i - 1];
        if (i % nk == 0) {
            temp = SubWord((temp << 8) | (temp >> 24)) ^ (uint32_t(rcon) << 24);
            rcon = Times2(rcon);
        } else if (nk > 6 && i % nk == 4) {
            temp = SubWord(temp);
        }
        encryptKeys_[i] = encryptKeys_[i - nk] ^ temp;
    }
    // Equivalent inverse cipher: round keys in reverse order, the inner ones passed through
    // InvMixColumns (the decrypt table applied to S-box output undoes the inverse S-box).
    for (int r = 0; r <= rounds; ++r) {
        for (int c = 0; c < 4; ++c) {
            uint32_t w = encryptKeys_[4 * (rounds - r) + c];
            if (r != 0 && r != rounds) {
                const uint8_t* s = kTables.sbox;
                w = Column(kTables.decrypt, s[Byte(w, 0)], s[Byte(w, 1)], s[Byte(w, 2)], s[Byte(w, 3)]);
            }
            decryptKeys_[4 * r + c] = w;
        }
    }
    rounds_ = rounds;
    return true;
}

void Aes::EncryptBlock(const uint8_t in[16], uint8_t out[16]) const
{
    const uint32_t* rk = encryptKeys_;
    uint32_t s[4], t[4];
    for (int c = 0; c < 4; ++c)
        s[c] = Load(in + 4 * c) ^ rk[c];
    for (int r = 1; r < rounds_; ++r) {
        rk += 4;
        const auto& te = kTables.encrypt;
        t[0] = Column(te, Byte(s[0], 0), Byte(s[1], 1), Byte(s[2], 2), Byte(s[3], 3)) ^ rk[0];
        t[1] = Column(te, Byte(s[1], 0), Byte(s[2], 1), Byte(s[3], 2), Byte(s[0], 3)) ^ rk[1];
        t[2] = Column(te, Byte(s[2], 0), Byte(s[3], 1), Byte(s[0], 2), Byte(s[1], 3)) ^ rk[2];
        t[3] = Column(te, Byte(s[3], 0), Byte(s[0], 1), Byte(s[1], 2), Byte(s[2], 3)) ^ rk[3];
        s[0] = t[0];
        s[1] = t[1];
        s[2] = t[2];
        s[3] = t[3];
    }
    rk += 4;
    for (int c = 0; c < 4; ++c) {
        const uint32_t v = Substitute(kTables.sbox, Byte(s[c], 0), Byte(s[(c + 1) % 4], 1), Byte(s[(c + 2) % 4], 2),
                                      Byte(s[(c + 3) % 4], 3));
        Store(v ^ rk[c], out + 4 * c);
    }
}

void Aes::DecryptBlock(const uint8_t in[16], uint8_t out[16]) const
{
    const uint32_t* rk = decryptKeys_;
    uint32_t s[4], t[4];
    for (int c = 0; c < 4; ++c)
        s[c] = Load(in + 4 * c) ^ rk[c];
    for (int r = 1; r < rounds_; ++r) {
        rk += 4;
        const auto& td = kTables.decrypt;
        t[0] = Column(td, Byte(s[0], 0), Byte(s[3], 1), Byte(s[2], 2), Byte(s[1], 3)) ^ rk[0];
        t[1] = Column(td, Byte(s[1], 0), Byte(s[0], 1), Byte(s[3], 2), Byte(s[2], 3)) ^ rk[1];
        t[2] = Column(td, Byte(s[2], 0), Byte(s[1], 1), Byte(s[0], 2), Byte(s[3], 3)) ^ rk[2];
        t[3] = Column(td, Byte(s[3], 0), Byte(s[2], 1), Byte(s[1], 2), Byte(s[0], 3)) ^ rk[3];
        s[0] = t[0];
        s[1] = t[1];
        s[2] = t[2];
        s[3] = t[3];
    }
    rk += 4;
    for (int c = 0; c < 4; ++c) {
        const uint32_t v = Substitute(kTables.inverseSbox, Byte(s[c], 0), Byte(s[(c + 3) % 4], 1),
                                      Byte(s[(c + 2) % 4], 2), Byte(s[(c + 1) % 4], 3));
        Store(v ^ rk[c], out + 4 * c);
    }
}

bool AesCbcDecrypt(std::string_view key, std::string_view iv, std::string_view data, bool stripPadding,
                   std::string* out)
{
    out->clear();
    Aes aes;
    if (iv.size() != kAesBlockSize || !aes.SetKey(key))
        return false;
    const size_t whole = data.size() / kAesBlockSize * kAesBlockSize;
    out->resize(whole);
    uint8_t chain[kAesBlockSize];
    for (size_t i = 0; i < kAesBlockSize; ++i)
        chain[i] = uint8_t(iv[i]);
    const uint8_t* in = reinterpret_cast<const uint8_t*>(data.data());
    uint8_t* dst = reinterpret_cast<uint8_t*>(&(*out)[0]);
    for (size_t at = 0; at < whole; at += kAesBlockSize) {
        uint8_t block[kAesBlockSize];
        aes.DecryptBlock(in + at, block);
        for (size_t i = 0; i < kAesBlockSize; ++i) {
            dst[at + i] = block[i] ^ chain[i];
            chain[i] = in[at + i];
        }
    }
    // Padding is only meaningful when the data ended on a block boundary.
    if (stripPadding && whole != 0 && whole == data.size()) {
        const uint8_t pad = dst[whole - 1];
        if (pad >= 1 && pad <= kAesBlockSize)
            out->resize(whole - pad);
    }
    return true;
}

bool AesCbcEncrypt(std::string_view key, std::string_view iv, std::string_view data, std::string* out)
{
    out->clear();
    Aes aes;
    if (iv.size() != kAesBlockSize || data.size() % kAesBlockSize != 0 || !aes.SetKey(key)) {
        return false;
    }
    out->resize(data.size());
    uint8_t chain[kAesBlockSize];
    for (size_t i = 0; i < kAesBlockSize; ++i)
        chain[i] = uint8_t(iv[i]);
    const uint8_t* in = reinterpret_cast<const uint8_t*>(data.data());
    uint8_t* dst = reinterpret_cast<uint8_t*>(&(*out)[0]);
    for (size_t at = 0; at < data.size(); at += kAesBlockSize) {
        for (size_t i = 0; i < kAesBlockSize; ++i)
            chain[i] ^= in[at + i];
        aes.EncryptBlock(chain, chain);
        for (size_t i = 0; i < kAesBlockSize; ++i)
            dst[at + i] = chain[i];
    }
    return true;
}

}  // namespace halvane
