// MD5 (RFC 1321 test suite) and SHA-2 (FIPS 180 / NIST examples) against published digests.
#include <gtest/gtest.h>

#include <string>

#include "halvane/crypto/md5.h"
#include "halvane/crypto/sha2.h"
#include "hex.h"

namespace halvane {
namespace {

using halvane_test::DigestHex;

struct Md5Case {
    const char* message;
    const char* digest;
};

TEST(Md5Test, Rfc1321Suite)
{
    const Md5Case kCases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Md5Case& c : kCases) {
        EXPECT_EQ(DigestHex(Md5::Hash(c.message)), c.digest) << '"' << c.message << '"';
    }
}

// Feeding a message in uneven pieces must give the one-shot digest: this crosses the
// 64-byte block boundary with a partly filled buffer and the 56-byte padding limit.
TEST(Md5Test, PiecewiseUpdateMatchesOneShot)
{
    std::string message;
    for (int i = 0; i < 300; ++i)
        message.push_back(char('a' + i % 26));
    for (size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 300u}) {
        const std::string_view part(message.data(), length);
        Md5 md5;
        for (size_t at = 0; at < length; at += 7)
            md5.Update(part.substr(at, 7));
        EXPECT_EQ(DigestHex(md5.Final()), DigestHex(Md5::Hash(part))) << length;
    }
}

TEST(Md5Test, FinalStartsOver)
{
    Md5 md5;
    md5.Update("garbage");
    md5.Final();
    md5.Update("abc");
    EXPECT_EQ(DigestHex(md5.Final()), "900150983cd24fb0d6963f7d28e17f72");
}

const char kTwoBlock256[] = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
const char kTwoBlock512[] =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";

struct ShaCase {
    std::string message;
    const char* sha256;
    const char* sha384;
    const char* sha512;
};

TEST(Sha2Test, NistExamples)
{
    const ShaCase kCases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
         "38b060a751ac96384cd9327eb1b1e36a21fdb71114be07434c0cc7bf63f6e1da274edebfe76f65fbd51ad2f14898b95b",
         "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
         "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
         "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
         "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {kTwoBlock256, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
         "3391fdddfc8dc7393707a65b1b4709397cf8b1d162af05abfe8f450de5f36bc6b0455a8520bc4e6f5fe95b1fe3c8452b",
         "204a8fc6dda82f0a0ced7beb8e08a41657c16ef468b228a8279be331a703c335"
         "96fd15c13b1b07f9aa1d3bea57789ca031ad85c7a71dd70354ec631238ca3445"},
        {kTwoBlock512, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1",
         "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039",
         "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
         "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
         "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd87f3d8985",
         "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
         "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
    };
    for (const ShaCase& c : kCases) {
        const std::string label = c.message.substr(0, 16) + " (" + std::to_string(c.message.size()) + ")";
        EXPECT_EQ(DigestHex(Sha256::Hash(c.message)), c.sha256) << label;
        EXPECT_EQ(DigestHex(Sha512::Hash384(c.message)), c.sha384) << label;
        EXPECT_EQ(DigestHex(Sha512::Hash512(c.message)), c.sha512) << label;
    }
}

TEST(Sha2Test, PiecewiseUpdateMatchesOneShot)
{
    const std::string message = std::string(kTwoBlock512) + kTwoBlock512 + kTwoBlock256;
    for (size_t piece : {1u, 13u, 64u, 127u}) {
        Sha256 sha256;
        Sha512 sha512;
        for (size_t at = 0; at < message.size(); at += piece) {
            sha256.Update(std::string_view(message).substr(at, piece));
            sha512.Update(std::string_view(message).substr(at, piece));
        }
        Sha512Digest digest512;
        sha512.Final(digest512.data());
        EXPECT_EQ(DigestHex(sha256.Final()), DigestHex(Sha256::Hash(message))) << piece;
        EXPECT_EQ(DigestHex(digest512), DigestHex(Sha512::Hash512(message))) << piece;
    }
}

}  // namespace
}  // namespace halvane
