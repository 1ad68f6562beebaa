// Hex helpers for the crypto tests' vector tables.
#ifndef HALVANE_CRYPTO_TESTS_HEX_H
#define HALVANE_CRYPTO_TESTS_HEX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace halvane_test {

// Bytes from hex digits; spaces are skipped so long vectors can be grouped.
inline std::string FromHex(std::string_view hex)
{
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string out;
    int high = -1;
    for (char c : hex) {
        if (c == ' ')
            continue;
        if (high < 0) {
            high = nibble(c);
        } else {
            out.push_back(char(high << 4 | nibble(c)));
            high = -1;
        }
    }
    return out;
}

inline std::string ToHex(const uint8_t* data, size_t size)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 15]);
    }
    return out;
}

inline std::string ToHex(std::string_view bytes)
{
    return ToHex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

template <typename Digest> std::string DigestHex(const Digest& digest)
{
    return ToHex(digest.data(), digest.size());
}

}  // namespace halvane_test

#endif
