// MD5 message digest (RFC 1321), incremental. Used to check downloaded releases.
#ifndef MORVANE_COMMON_MD5_H
#define MORVANE_COMMON_MD5_H

#include <stddef.h>
#include <stdint.h>

const int kMd5DigestBytes = 16;
const int kMd5TextChars = 32;  // lowercase hexadecimal digits, without the terminating zero

class Md5 {
public:
    Md5();
    void Update(const void* data, size_t length);
    // Completes the digest; the object must be Reset before it is fed again.
    void Final(uint8_t digest[kMd5DigestBytes]);
    void Reset();

private:
    void Transform(const uint8_t block[64]);

    uint32_t m_state[4];
    uint64_t m_totalBytes;
    uint8_t m_buffer[64];
    size_t m_buffered;
};

// Writes the digest as 32 lowercase hexadecimal digits and a terminating zero
// (text must hold kMd5TextChars + 1 characters).
void Md5DigestText(const uint8_t digest[kMd5DigestBytes], char text[kMd5TextChars + 1]);

// The lowercase hexadecimal MD5 of a byte range.
void Md5Text(const void* data, size_t length, char text[kMd5TextChars + 1]);

#endif
