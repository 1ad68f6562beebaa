#include "md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Md5Case {
    const char* input;
    const char* digest;
};

// The test suite of RFC 1321, appendix A.5.
const Md5Case kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, MatchesTheRfc1321TestSuite)
{
    for (const Md5Case& c : kRfc1321Suite) {
        char text[kMd5TextChars + 1];
        Md5Text(c.input, std::string(c.input).size(), text);
        EXPECT_STREQ(c.digest, text) << '"' << c.input << '"';
    }
}

TEST(Md5, PiecesOfEveryAlignmentGiveTheDigestOfTheWhole)
{
    std::vector<unsigned char> data(1000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (unsigned char)(i * 31 + 7);
    char whole[kMd5TextChars + 1];
    Md5Text(data.data(), data.size(), whole);

    for (size_t piece : {1u, 55u, 56u, 63u, 64u, 65u, 333u}) {
        Md5 md5;
        for (size_t at = 0; at < data.size(); at += piece)
            md5.Update(data.data() + at, std::min(piece, data.size() - at));
        unsigned char digest[kMd5DigestBytes];
        md5.Final(digest);
        char text[kMd5TextChars + 1];
        Md5DigestText(digest, text);
        EXPECT_STREQ(whole, text) << "pieces of " << piece;
    }
}

TEST(Md5, PaddingBoundaryLengths)
{
    // 55, 56 and 64 bytes straddle the one-block/two-block padding boundary.
    const std::string a55(55, 'a'), a56(56, 'a'), a64(64, 'a');
    char text[kMd5TextChars + 1];
    Md5Text(a55.data(), a55.size(), text);
    EXPECT_STREQ("ef1772b6dff9a122358552954ad0df65", text);
    Md5Text(a56.data(), a56.size(), text);
    EXPECT_STREQ("3b0c8ac703f828b04c6c197006d17218", text);
    Md5Text(a64.data(), a64.size(), text);
    EXPECT_STREQ("014842d480b571495a4a0363793f7367", text);
}

}  // namespace
