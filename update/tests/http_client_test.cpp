#include "http_client.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "loopback_http_server.h"

namespace {

const char kExpectedHeaders[] =
    "Host: 127.0.0.1\r\n"
    "Connection: Keep-Alive\r\n"
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 1.1.4322; .NET CLR 2.0.50727)\r\n"
    "Accept: */*\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "Accept-Language: en-us,en\r\n"
    "Accept-Charset: GBK,utf-8;q=0.7,*;q=0.3\r\n"
    "\r\n";

std::string Fetch(const std::wstring& url, const HttpFetchLimits& limits = HttpFetchLimits())
{
    HttpResponse response;
    if (!FetchResponse(url.c_str(), &response, limits))
        return std::string();
    return std::string(response.data.get(), response.length);
}

class HttpClient : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartSockets()); }
    LoopbackHttpServer server;
};

TEST(ParseHttpUrl, SplitsHostPortAndPath)
{
    struct Case {
        const wchar_t* url;
        const wchar_t* host;
        int port;
        const wchar_t* path;
    } cases[] = {
        {L"http://example:8080/a/b?x=1", L"example", 8080, L"a/b?x=1"},
        {L"https://example/a", L"example", 80, L"a"},  // the scheme is ignored: plain HTTP
        {L"http://example", L"example", 80, L""},
        {L"http://example/", L"example", 80, L""},
        {L"//example:81/x", L"example", 81, L"x"},
        {L"http://example:8080x/y", L"example", 8080, L"y"},  // leading digits make the port
        {L"http://h/v.asp?sid=3&src=7//x", L"h", 80, L"v.asp?sid=3&src=7//x"},
    };
    for (const Case& c : cases) {
        UrlParts parts;
        ASSERT_TRUE(ParseHttpUrl(c.url, &parts)) << std::string(c.url, c.url + wcslen(c.url));
        EXPECT_EQ(c.host, parts.host);
        EXPECT_EQ(c.port, parts.port);
        EXPECT_EQ(c.path, parts.path);
    }
}

TEST(ParseHttpUrl, RefusesWhatCannotBeFetched)
{
    UrlParts parts;
    for (const wchar_t* url : {L"", L"example/a", L"http:/example/a", L"http:///a", L"http://:80/a", L"http://h:0/",
                               L"http://h:x/", L"http://h:65536/", L"http://h:99999999999/"})
        EXPECT_FALSE(ParseHttpUrl(url, &parts)) << std::string(url, url + wcslen(url));
    EXPECT_FALSE(ParseHttpUrl(nullptr, &parts));
    EXPECT_FALSE(ParseHttpUrl(L"http://h/", nullptr));
    const std::wstring tooLong = L"http://h/" + std::wstring(kHttpMaxUrlChars, L'a');
    EXPECT_FALSE(ParseHttpUrl(tooLong.c_str(), &parts));
}

TEST(BuildGetRequest, RefusesARequestThatDoesNotFit)
{
    char buffer[kHttpRequestBytes];
    EXPECT_GT(BuildGetRequest(L"a", L"h", buffer, sizeof(buffer)), 0);
    EXPECT_EQ(0, BuildGetRequest(std::wstring(5000, L'a'), L"h", buffer, sizeof(buffer)));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(0, BuildGetRequest(L"a", L"h", nullptr, 100));
}

TEST_F(HttpClient, SendsExactlyTheRequestAndReturnsTheWholeReply)
{
    const LoopbackReply reply = PlainReply("<ver>10002</ver>");
    ASSERT_TRUE(server.Start([&](const std::string&) { return reply; }));
    const std::string got = Fetch(server.Url("a/b?x=1"));
    EXPECT_EQ(reply.pieces[0], got) << "status line and headers are part of the result";
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(std::string("GET /a/b?x=1 HTTP/1.1\r\n") + kExpectedHeaders, requests[0]);
}

TEST_F(HttpClient, HttpsAddressIsFetchedWithPlainHttp)
{
    ASSERT_TRUE(server.Start([](const std::string&) { return PlainReply("plain"); }));
    const std::wstring url = L"https://127.0.0.1:" + std::to_wstring(server.Port()) + L"/s";
    EXPECT_NE(std::string::npos, Fetch(url).find("plain"));
}

TEST_F(HttpClient, UnresolvableHostGivesNothing)
{
    EXPECT_EQ((SOCKET)0, ConnectToHost(L"no-such-host.invalid", 80));
    EXPECT_EQ("", Fetch(L"http://no-such-host.invalid/v"));
}

TEST_F(HttpClient, RefusedConnectionGivesNothing)
{
    ASSERT_TRUE(server.Start([](const std::string&) { return PlainReply("x"); }));
    const std::wstring url = server.Url("x");
    server.Stop();  // nothing listens on that port any more
    EXPECT_EQ("", Fetch(url));
}

TEST_F(HttpClient, KeptAliveConnectionEndsAfterSixSecondsOfSilence)
{
    LoopbackReply reply = PlainReply("kept");
    reply.keepOpen = true;
    ASSERT_TRUE(server.Start([&](const std::string&) { return reply; }));
    const DWORD start = GetTickCount();
    const std::string got = Fetch(server.Url("k"));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(reply.pieces[0], got);
    EXPECT_GE(elapsed, 5500u) << "the reply is only complete once the receive time-out has passed";
}

TEST_F(HttpClient, LargeReplyArrivesInSeveralChunksInOrder)
{
    std::string body;
    for (int i = 0; body.size() < 12000; ++i)
        body += std::to_string(i) + ",";
    body.resize(12000);
    LoopbackReply reply;
    reply.pieces = {body.substr(0, 4000), body.substr(4000, 4000), body.substr(8000)};
    reply.pauseMs = 100;
    ASSERT_TRUE(server.Start([&](const std::string&) { return reply; }));

    HttpChunkList chunks;
    EXPECT_EQ(12000, FetchUrl(server.Url("big").c_str(), chunks));
    EXPECT_GE(chunks.size(), 3u);
    std::string joined;
    for (const HttpChunk& chunk : chunks) {
        EXPECT_LE(chunk.length, kHttpChunkBytes);
        joined.append(chunk.data.get(), chunk.length);
    }
    EXPECT_EQ(body, joined);
    EXPECT_EQ(body, Fetch(server.Url("big")));
}

TEST_F(HttpClient, ChunkedReplyIsReturnedRaw)
{
    const std::string raw =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n<ver>\r\n6\r\n10002<\r\n5\r\n/ver>\r\n0\r\n\r\n";
    LoopbackReply reply;
    reply.pieces = {raw};
    ASSERT_TRUE(server.Start([&](const std::string&) { return reply; }));
    EXPECT_EQ(raw, Fetch(server.Url("c")));
}

TEST_F(HttpClient, EndlessReplyStopsAtTheCap)
{
    LoopbackReply reply;
    reply.pieces = {"HTTP/1.1 200 OK\r\n\r\n"};
    for (int i = 0; i < 40; ++i)
        reply.pieces.push_back(std::string(64 * 1024, 'z'));  // 2.5 MiB, more than the cap
    reply.keepOpen = true;
    ASSERT_TRUE(server.Start([&](const std::string&) { return reply; }));
    HttpFetchLimits limits;
    limits.receiveTimeoutMs = 1000;
    const std::string got = Fetch(server.Url("endless"), limits);
    EXPECT_EQ((size_t)kHttpResponseCap, got.size());
    EXPECT_EQ(0u, got.find("HTTP/1.1 200 OK"));
}

}  // namespace
