// AES (FIPS 197 appendix C, SP 800-38A CBC) and RC4 (RFC 6229) against published vectors,
// plus the padding and length handling the security handler relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "halvane/crypto/aes.h"
#include "halvane/crypto/rc4.h"
#include "hex.h"

namespace halvane {
namespace {

using halvane_test::FromHex;
using halvane_test::ToHex;

struct BlockCase {
    const char* key;
    const char* ciphertext;
};

TEST(AesTest, Fips197AppendixC)
{
    const std::string plaintext = FromHex("00112233445566778899aabbccddeeff");
    const BlockCase kCases[] = {
        {"000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const BlockCase& c : kCases) {
        Aes aes;
        ASSERT_TRUE(aes.SetKey(FromHex(c.key)));
        uint8_t block[16];
        aes.EncryptBlock(reinterpret_cast<const uint8_t*>(plaintext.data()), block);
        EXPECT_EQ(ToHex(block, 16), c.ciphertext) << c.key;
        aes.DecryptBlock(block, block);  // in place
        EXPECT_EQ(ToHex(block, 16), ToHex(plaintext)) << c.key;
    }
}

TEST(AesTest, RejectsBadKeySizes)
{
    Aes aes;
    for (size_t size : {0u, 15u, 17u, 31u, 33u}) {
        EXPECT_FALSE(aes.SetKey(std::string(size, 'k'))) << size;
    }
    std::string out = "stale";
    EXPECT_FALSE(AesCbcDecrypt(std::string(20, 'k'), std::string(16, 0), std::string(32, 0), true, &out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(AesCbcDecrypt(std::string(16, 'k'), std::string(15, 0), std::string(32, 0), true, &out));
}

const char kSp80038aIv[] = "000102030405060708090a0b0c0d0e0f";
const char kSp80038aPlaintext[] = "6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51"
                                  "30c81c46a35ce411e5fbc1191a0a52ef f69f2445df4f9b17ad2b417be66c3710";

TEST(AesTest, Sp80038aCbc)
{
    const BlockCase kCases[] = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "7649abac8119b246cee98e9b12e9197d 5086cb9b507219ee95db113a917678b2"
                                             "73bed6b8e3c1743b7116e69e22229516 3ff1caa1681fac09120eca307586e1a7"},
        {"8e73b0f7da0e6452c810f32b809079e562f8ead2522c6b7b",
         "4f021db243bc633d7178183a9fa071e8 b4d9ada9ad7dedf4e5e738763f69145a"
         "571b242012fb7ae07fa9baac3df102e0 08b0e27988598881d920a9e64f5615cd"},
        {"603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
         "f58c4c04d6e5f1ba779eabfb5f7bfbd6 9cfc4e967edb808d679f777bc6702c7d"
         "39f23369a9d9bacfa530e26304231461 b2eb05e2c39be9fcda6c19078c6a9d1b"},
    };
    const std::string iv = FromHex(kSp80038aIv);
    const std::string plaintext = FromHex(kSp80038aPlaintext);
    for (const BlockCase& c : kCases) {
        const std::string key = FromHex(c.key);
        std::string out;
        ASSERT_TRUE(AesCbcEncrypt(key, iv, plaintext, &out));
        EXPECT_EQ(ToHex(out), ToHex(FromHex(c.ciphertext))) << c.key;
        ASSERT_TRUE(AesCbcDecrypt(key, iv, FromHex(c.ciphertext), false, &out));
        EXPECT_EQ(ToHex(out), ToHex(plaintext)) << c.key;
    }
}

TEST(AesTest, CbcEncryptNeedsWholeBlocks)
{
    std::string out;
    EXPECT_FALSE(AesCbcEncrypt(std::string(16, 'k'), std::string(16, 0), std::string(17, 'x'), &out));
    EXPECT_TRUE(AesCbcEncrypt(std::string(16, 'k'), std::string(16, 0), "", &out));
    EXPECT_TRUE(out.empty());
}

// Encrypts `plaintext` (whole blocks) so the decryption cases below start from known data.
std::string Encrypt(const std::string& key, const std::string& iv, const std::string& plaintext)
{
    std::string out;
    EXPECT_TRUE(AesCbcEncrypt(key, iv, plaintext, &out));
    return out;
}

TEST(AesTest, CbcDecryptPadding)
{
    const std::string key(16, '\x42'), iv(16, '\x07');
    struct Case {
        std::string plaintext;  // as encrypted, padding included
        size_t truncateTo;  // ciphertext length handed to the decryptor
        std::string expected;
    };
    const Case kCases[] = {
        // A proper PKCS#7 pad is removed.
        {std::string("hello world") + std::string(5, '\x05'), 16, "hello world"},
        // A whole block of padding leaves nothing.
        {std::string(16, '\x10'), 16, ""},
        // A last byte beyond 16 is data, not padding: nothing is dropped.
        {std::string(15, 'a') + "\x20", 16, std::string(15, 'a') + "\x20"},
        // A zero last byte is not padding either.
        {std::string(15, 'b') + std::string(1, '\0'), 16, std::string(15, 'b') + std::string(1, '\0')},
        // A trailing partial block is dropped, and then nothing counts as padding.
        {std::string(16, 'c') + std::string(16, '\x03'), 31, std::string(16, 'c')},
    };
    for (const Case& c : kCases) {
        const std::string ciphertext = Encrypt(key, iv, c.plaintext).substr(0, c.truncateTo);
        std::string out;
        ASSERT_TRUE(AesCbcDecrypt(key, iv, ciphertext, true, &out));
        EXPECT_EQ(ToHex(out), ToHex(c.expected));
    }
    std::string out = "stale";
    EXPECT_TRUE(AesCbcDecrypt(key, iv, "short", true, &out));
    EXPECT_TRUE(out.empty());
}

struct Rc4Case {
    const char* key;
    size_t offset;
    const char* keystream;
};

TEST(Rc4Test, Rfc6229KeyStream)
{
    const Rc4Case kCases[] = {
        {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8 6982944f18fc82d589c403a47a0d0919"},
        {"0102030405", 240, "28cb1132c96ce286421dcaadb8b69eae 1cfcf62b03eddb641d77dfcf7f8d8c93"},
        {"0102030405", 4080, "068326a2118416d21f9d04b2cd1ca050 ff25b58995996707e51fbdf08b34d875"},
        {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97 5248c4959014126a6e8a84f11d1a9e1c"},
        {"0102030405060708090a0b0c0d0e0f10", 4080, "ff38265c1642c1abe8d3c2fe5e572bf8 a36a4c301ae8ac13610ccbc12256cacc"},
    };
    for (const Rc4Case& c : kCases) {
        const std::string expected = FromHex(c.keystream);
        // Encrypting zeros yields the key stream.
        const std::string stream = Rc4::Crypt(FromHex(c.key), std::string(c.offset + expected.size(), '\0'));
        EXPECT_EQ(ToHex(stream.substr(c.offset)), ToHex(expected)) << c.key << " @" << c.offset;
    }
}

TEST(Rc4Test, IncrementalProcessContinuesTheStream)
{
    const std::string key = FromHex("0102030405");
    const std::string whole = Rc4::Crypt(key, std::string(4096, '\0'));
    Rc4 rc4(key);
    std::string pieces(4096, '\0');
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&pieces[0]);
    for (size_t at = 0; at < pieces.size(); at += 1000) {
        rc4.Process(bytes + at, bytes + at, std::min<size_t>(1000, pieces.size() - at));
    }
    EXPECT_EQ(pieces, whole);
}

}  // namespace
}  // namespace halvane
