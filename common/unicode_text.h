// Unicode helpers the reader and the writer share: UTF-16 and UTF-8 encoding and decoding of
// scalar values, and the ranges of Chinese, Japanese and Korean characters.
#ifndef MORVANE_COMMON_UNICODE_TEXT_H
#define MORVANE_COMMON_UNICODE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvane {

constexpr uint32_t kReplacementChar = 0xFFFD;

constexpr bool IsHighSurrogate(uint32_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(uint32_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}
constexpr bool IsSurrogate(uint32_t u)
{
    return u >= 0xD800 && u <= 0xDFFF;
}
constexpr uint32_t CombineSurrogates(uint32_t high, uint32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Appends one scalar value (below U+110000, not a surrogate): one unit in the basic plane, a
// surrogate pair above it.
inline void AppendUtf16(uint32_t scalar, std::u16string* out)
{
    if (scalar >= 0x10000) {
        out->push_back(static_cast<char16_t>(0xD800 + ((scalar - 0x10000) >> 10)));
        out->push_back(static_cast<char16_t>(0xDC00 + ((scalar - 0x10000) & 0x3FF)));
    } else {
        out->push_back(static_cast<char16_t>(scalar));
    }
}

// What DecodeUtf16 does with a surrogate that is not part of a pair: by default it is skipped.
constexpr uint32_t kSkipLoneSurrogate = 0xFFFFFFFFu;

// Calls emit(scalar) for each character of UTF-16 text (any 16-bit unit type): a surrogate pair
// gives one scalar; a lone surrogate gives `lone`, or nothing when that is kSkipLoneSurrogate.
template <class Unit, class Emit>
void DecodeUtf16(const Unit* text, size_t length, Emit emit, uint32_t lone = kSkipLoneSurrogate)
{
    for (size_t i = 0; i < length; ++i) {
        const uint32_t c = static_cast<uint16_t>(text[i]);
        if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(static_cast<uint16_t>(text[i + 1]))) {
            emit(CombineSurrogates(c, static_cast<uint16_t>(text[i + 1])));
            ++i;
        } else if (IsSurrogate(c)) {
            if (lone != kSkipLoneSurrogate)
                emit(lone);
        } else {
            emit(c);
        }
    }
}

// Appends one scalar value as UTF-8 (one to four bytes).
inline void AppendUtf8(uint32_t c, std::string* out)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Chinese, Japanese and Korean characters: CJK radicals to unified ideographs, hangul syllables
// and jamo, compatibility ideographs and forms, full- and half-width forms, and the
// supplementary ideograph planes. Lines of such text join without a space, and the text takes
// an East Asian font.
constexpr bool IsCjk(uint32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x1100 && c <= 0x11FF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

}  // namespace morvane

#endif
