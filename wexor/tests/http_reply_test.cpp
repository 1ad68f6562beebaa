#include "http_reply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(ParseReplyHead, StatusAndTheHeadersTheDownloaderNeeds)
{
    HttpReplyHead head;
    const std::string raw =
        "HTTP/1.1 302 Found\r\nlocation:  http://h/x.exe \r\nCONTENT-LENGTH: 12\r\nTransfer-Encoding: gzip, Chunked\r\n"
        "Content-Encoding:  GZip \r\n\r\nbody";
    ASSERT_EQ(ReplyState::Complete, ParseReplyHead(raw, &head));
    EXPECT_EQ(302, head.status);
    EXPECT_EQ("http://h/x.exe", head.location);
    EXPECT_TRUE(head.hasContentLength);
    EXPECT_EQ(12u, head.contentLength);
    EXPECT_TRUE(head.chunked);
    EXPECT_EQ("gzip", head.contentEncoding);
    EXPECT_EQ(raw.size() - 4, head.bodyOffset);
}

TEST(ParseReplyHead, RefusesWhatIsNotAReplyHead)
{
    HttpReplyHead head;
    EXPECT_EQ(ReplyState::Incomplete, ParseReplyHead("HTTP/1.1 200 OK\r\nA: b\r\n", &head));
    for (const char* raw : {"HTTX/1.1 200 OK\r\n\r\n", "HTTP/1.1 2x0 OK\r\n\r\n", "HTTP/1.1\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n"})
        EXPECT_EQ(ReplyState::Malformed, ParseReplyHead(raw, &head)) << raw;
    EXPECT_EQ(ReplyState::Malformed, ParseReplyHead(std::string(kMaxHeaderBytes + 10, 'h'), &head));
}

TEST(ReplyBody, ContentLengthDecidesTheEnd)
{
    std::string body;
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
    EXPECT_EQ(ReplyState::Incomplete, ReplyBody(head + "abc", false, &body));
    EXPECT_EQ(ReplyState::Malformed, ReplyBody(head + "abc", true, &body)) << "closed before the end";
    EXPECT_EQ(ReplyState::Complete, ReplyBody(head + "abcdeXX", false, &body));
    EXPECT_EQ("abcde", body);
}

TEST(ReplyBody, WithoutLengthTheServerClosingEndsIt)
{
    std::string body;
    EXPECT_EQ(ReplyState::Incomplete, ReplyBody("HTTP/1.0 200 OK\r\n\r\nabc", false, &body));
    EXPECT_EQ(ReplyState::Complete, ReplyBody("HTTP/1.0 200 OK\r\n\r\nabc", true, &body));
    EXPECT_EQ("abc", body);
}

TEST(DecodeChunkedBody, Cases)
{
    struct Case {
        const char* chunked;
        ReplyState state;
        const char* body;
    } cases[] = {
        {"5\r\nhello\r\n6;ext=1\r\n world\r\n0\r\n\r\n", ReplyState::Complete, "hello world"},
        {"A\r\n0123456789\r\n0\r\n", ReplyState::Complete, "0123456789"},
        {"5\r\nhel", ReplyState::Incomplete, ""},
        {"5\r\nhello\r\n", ReplyState::Incomplete, ""},
        {"5\r\nhelloXX0\r\n\r\n", ReplyState::Malformed, ""},  // data not followed by CRLF
        {"zz\r\nhello\r\n0\r\n\r\n", ReplyState::Malformed, ""},  // no size
        {"fffffffffffffffff\r\nx\r\n", ReplyState::Malformed, ""},  // size would overflow
        {"7fffffffffffffff\r\nx\r\n", ReplyState::Malformed, ""},
        {"ffffffff\r\nx\r\n", ReplyState::Incomplete, ""},  // huge but possible: wait for it
    };
    for (const Case& c : cases) {
        std::string body;
        EXPECT_EQ(c.state, DecodeChunkedBody(c.chunked, 0, &body)) << c.chunked;
        if (c.state == ReplyState::Complete) {
            EXPECT_EQ(c.body, body) << c.chunked;
        }
    }
}

// Fed in pieces of every size up to a few, the reader gives the same body and state as when
// the whole reply arrives at once.
TEST(HttpReplyReader, AnySplitOfTheBytesGivesTheSameReply)
{
    const std::string replies[] = {
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n1;x=y\r\n "
        "\r\n5\r\nworld\r\n0\r\n\r\nIGNORED",
        "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nhello worldIGNORED",
        "HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n",
    };
    for (const std::string& raw : replies) {
        std::string whole;
        ASSERT_EQ(ReplyState::Complete, ReplyBody(raw, false, &whole)) << raw;
        for (size_t piece = 1; piece <= 7; ++piece) {
            std::string body;
            HttpReplyReader reader([&](const char* data, size_t length) {
                body.append(data, length);
                return true;
            });
            ReplyState state = ReplyState::Incomplete;
            for (size_t at = 0; at < raw.size() && state == ReplyState::Incomplete; at += piece)
                state = reader.Feed(raw.data() + at, std::min(piece, raw.size() - at));
            EXPECT_EQ(ReplyState::Complete, state) << raw << " in pieces of " << piece;
            EXPECT_EQ(whole, body) << raw << " in pieces of " << piece;
        }
    }
}

TEST(HttpReplyReader, RefusesBrokenFramingAsItArrives)
{
    struct Case {
        std::string raw;
        bool closed;
        ReplyState state;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(kMaxChunkLineBytes + 1, '1'), false,
         ReplyState::Malformed},  // a size line that never ends
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcX", false, ReplyState::Malformed},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n", true, ReplyState::Malformed},
        {"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc", true, ReplyState::Malformed},
        {"HTTP/1.1 200 OK\r\n\r\nabc", true, ReplyState::Complete},
        {"HTTP/1.1 200 OK\r\nA: b", true, ReplyState::Malformed},
        {"HTTP/1.1 200 OK\r\nA: " + std::string(kMaxHeaderBytes, 'b'), false, ReplyState::Malformed},
    };
    for (const Case& c : cases) {
        HttpReplyReader reader([](const char*, size_t) { return true; });
        ReplyState state = ReplyState::Incomplete;
        for (size_t at = 0; at < c.raw.size() && state == ReplyState::Incomplete; at += 100)
            state = reader.Feed(c.raw.data() + at, std::min<size_t>(100, c.raw.size() - at));
        if (c.closed && state == ReplyState::Incomplete)
            state = reader.ServerClosed();
        EXPECT_EQ(c.state, state) << c.raw.substr(0, 80);
    }
    // A sink that refuses (a full disk, a body over the limit) ends the reply.
    HttpReplyReader refusing([](const char*, size_t) { return false; });
    EXPECT_EQ(ReplyState::Malformed, refusing.Feed("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", 41));
}

}  // namespace
