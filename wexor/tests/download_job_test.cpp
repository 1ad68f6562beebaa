#include "download_job.h"

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "http_client.h"
#include "loopback_http_server.h"
#include "md5.h"
#include "test_paths.h"

namespace {

std::string Md5Of(const std::string& bytes)
{
    char text[kMd5TextChars + 1];
    Md5Text(bytes.data(), bytes.size(), text);
    return text;
}

std::wstring W(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(Narrow(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Release()
{
    std::string bytes;
    for (int i = 0; i < 30000; ++i)
        bytes += (char)(i * 7 + i / 256);
    return bytes;
}

LoopbackReply ChunkedReply(const std::string& body)
{
    LoopbackReply reply;
    reply.pieces.push_back("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (size_t at = 0; at < body.size(); at += 7000) {
        const std::string piece = body.substr(at, 7000);
        char size[16];
        snprintf(size, sizeof(size), "%zx", piece.size());
        reply.pieces.push_back(std::string(size) + "\r\n" + piece + "\r\n");
    }
    reply.pieces.push_back("0\r\n\r\n");
    reply.keepOpen = true;  // the last chunk, not the closing, ends the download
    return reply;
}

LoopbackReply Redirect(const std::string& location)
{
    LoopbackReply reply;
    reply.pieces.push_back("HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n");
    reply.keepOpen = true;
    return reply;
}

TEST(ParseDownloaderCommandLine, ReadsTheThreeSwitches)
{
    stDownloadJob job;
    ASSERT_TRUE(ParseDownloaderCommandLine(
        L" -sav\"C:\\U\\Update\\setup.exe\" -url\"http://h/f/setup.exe\" -md5\"abc\"", &job));
    EXPECT_EQ(L"C:\\U\\Update\\setup.exe", job.savePath);
    EXPECT_EQ(L"http://h/f/setup.exe", job.url);
    EXPECT_EQ(L"abc", job.md5);
    ASSERT_TRUE(ParseDownloaderCommandLine(L"\"C:\\App\\wexor.exe\" -sav\"\" -url\"u\" -md5\"m\"", &job));
    EXPECT_EQ(L"", job.savePath);
    EXPECT_FALSE(ParseDownloaderCommandLine(L" -sav\"a\" -url\"b\"", &job));
    EXPECT_FALSE(ParseDownloaderCommandLine(L" -sav\"a\" -url\"b\" -md5\"c", &job));
    EXPECT_FALSE(ParseDownloaderCommandLine(nullptr, &job));
}

TEST(ParseDownloaderCommandLine, EachValueEndsAtItsOwnQuote)
{
    // Save paths and addresses that contain the other switches' names keep them as text.
    stDownloadJob job;
    ASSERT_TRUE(ParseDownloaderCommandLine(L" -sav\"C:\\U\\a-url\" -url\"http://h/x-md5\" -md5\"abc\"", &job));
    EXPECT_EQ(L"C:\\U\\a-url", job.savePath);
    EXPECT_EQ(L"http://h/x-md5", job.url);
    EXPECT_EQ(L"abc", job.md5);
    ASSERT_TRUE(
        ParseDownloaderCommandLine(L"wexor.exe -sav\"C:\\-md5\\s.exe\" -url\"http://h/-sav\"\t-md5\"m\" ", &job));
    EXPECT_EQ(L"C:\\-md5\\s.exe", job.savePath);
    EXPECT_EQ(L"http://h/-sav", job.url);
    EXPECT_EQ(L"m", job.md5);

    for (const wchar_t* line : {L" -url\"u\" -sav\"s\" -md5\"m\"",  // out of order
                                L" -sav\"s\" -md5\"m\" -url\"u\"",
                                L" -sav\"s\"-url\"u\" -md5\"m\" trailing",  // something after the last switch
                                L" x y -sav\"s\" -url\"u\" -md5\"m\"",  // two words before the switches
                                L"\"C:\\wexor.exe -sav\"s\" -url\"u\" -md5\"m\""})
        EXPECT_FALSE(ParseDownloaderCommandLine(line, &job)) << Narrow(line);
}

class Download : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartSockets());
        folder = TestScratchFolderW(::testing::UnitTest::GetInstance()->current_test_info()->name());
        job.savePath = folder + L"setup.exe";
        job.md5 = W(Md5Of(release));
    }
    void ExpectNothingLeft()
    {
        EXPECT_FALSE(Exists(job.savePath));
        EXPECT_FALSE(Exists(job.savePath + L".part"));
        EXPECT_FALSE(Exists(folder + L"update.ini"));
    }

    const std::string release = Release();
    std::wstring folder;
    stDownloadJob job;
    LoopbackHttpServer server;
};

TEST_F(Download, ContentLengthReplyIsSavedAndUpdateIniWritten)
{
    ASSERT_TRUE(server.Start([&](const std::string&) { return PlainReply(release); }));
    job.url = server.Url("f/setup.exe");
    ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job));
    EXPECT_EQ(release, ReadFile(job.savePath));
    wchar_t value[300] = {};
    GetPrivateProfileStringW(L"update", L"file", L"", value, 300, (folder + L"update.ini").c_str());
    EXPECT_EQ(job.savePath, value);
    GetPrivateProfileStringW(L"update", L"md5", L"", value, 300, (folder + L"update.ini").c_str());
    EXPECT_EQ(job.md5, value);
    EXPECT_FALSE(Exists(job.savePath + L".part"));
}

TEST_F(Download, ChunkedReplyAfterTwoRedirects)
{
    ASSERT_TRUE(server.Start([&](const std::string& request) {
        if (request.find("GET /first ") == 0)
            return Redirect(server.UrlA("second"));
        if (request.find("GET /second ") == 0)
            return Redirect("/files/setup.exe");
        return ChunkedReply(release);
    }));
    job.url = server.Url("first");
    const DWORD start = GetTickCount();
    ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job));
    EXPECT_LT(GetTickCount() - start, 20000u) << "complete replies must not wait for the server to close";
    EXPECT_EQ(release, ReadFile(job.savePath));
    EXPECT_EQ(3u, server.Requests().size());
}

TEST_F(Download, RedirectsResolvedAgainstTheAddressThatSentThem)
{
    // A path with "//" stays on this host; a relative name is taken from the current folder;
    // a scheme-relative address names the host itself.
    ASSERT_TRUE(server.Start([&](const std::string& request) {
        if (request.find("GET /start ") == 0)
            return Redirect("/a//b/next");
        if (request.find("GET /a//b/next ") == 0)
            return Redirect("c/setup.exe");
        if (request.find("GET /a//b/c/setup.exe ") == 0)
            return PlainReply(release);
        return PlainReply("wrong place", "404 Not Found");
    }));
    job.url = server.Url("start");
    ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job));
    EXPECT_EQ(release, ReadFile(job.savePath));
    EXPECT_EQ(3u, server.Requests().size());

    LoopbackHttpServer second;
    ASSERT_TRUE(second.Start([&](const std::string& request) {
        if (request.find("GET /r ") == 0)
            return Redirect("//127.0.0.1:" + std::to_string(server.Port()) + "/a//b/c/setup.exe");
        return PlainReply("wrong place", "404 Not Found");
    }));
    DeleteFileW(job.savePath.c_str());
    job.url = second.Url("r");
    ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job));
    EXPECT_EQ(release, ReadFile(job.savePath));
}

TEST_F(Download, ManySmallChunksSplitAnywhere)
{
    // Ten thousand chunks of a few bytes, cut into pieces that end inside size lines and data.
    std::string chunked;
    for (size_t at = 0; at < release.size(); at += 3)
        chunked += "3\r\n" + release.substr(at, 3) + "\r\n";
    chunked += "0\r\n\r\n";
    ASSERT_TRUE(server.Start([&](const std::string&) {
        LoopbackReply reply;
        reply.pieces.push_back("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        for (size_t at = 0; at < chunked.size(); at += 1001)
            reply.pieces.push_back(chunked.substr(at, 1001));
        reply.keepOpen = true;
        return reply;
    }));
    job.url = server.Url("f/setup.exe");
    ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job));
    EXPECT_EQ(release, ReadFile(job.savePath));
}

size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

// A release far larger than any buffer goes through to the disk: the process's peak memory
// grows by much less than its size.
TEST_F(Download, LargeReleaseStreamsToDiskWithSmallMemory)
{
    const size_t kPiece = 64 * 1024, kPieces = 768;  // 48 MiB
    const auto piece = [](size_t n) {
        std::string bytes(64 * 1024, (char)n);
        for (size_t i = 0; i < bytes.size(); i += 251)
            bytes[i] = (char)(n * 31 + i);
        return bytes;
    };
    Md5 md5;
    for (size_t n = 0; n < kPieces; ++n) {
        const std::string bytes = piece(n);
        md5.Update(bytes.data(), bytes.size());
    }
    uint8_t digest[kMd5DigestBytes];
    md5.Final(digest);
    char text[kMd5TextChars + 1];
    Md5DigestText(digest, text);
    job.md5 = W(text);

    for (const bool chunked : {false, true}) {
        ASSERT_TRUE(server.Start([&](const std::string&) {
            LoopbackReply reply;
            reply.pieces.push_back(chunked ? "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                           : "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kPiece * kPieces) +
                                                 "\r\n\r\n");
            size_t next = 0;
            reply.more = [=]() mutable {
                if (next > kPieces)
                    return std::string();
                if (next == kPieces) {
                    ++next;
                    return std::string(chunked ? "0\r\n\r\n" : "");
                }
                const std::string bytes = piece(next++);
                return chunked ? "10000\r\n" + bytes + "\r\n" : bytes;
            };
            return reply;
        }));
        job.url = server.Url("big/setup.exe");
        const size_t before = PeakWorkingSet();
        ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job)) << (chunked ? "chunked" : "content-length");
        const size_t grown = PeakWorkingSet() - before;
        EXPECT_LT(grown, (size_t)24 << 20) << (chunked ? "chunked" : "content-length");
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExW(job.savePath.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(kPiece * kPieces, ((size_t)data.nFileSizeHigh << 32) | data.nFileSizeLow);
        DeleteFileW(job.savePath.c_str());
        server.Stop();
    }
    // The measure itself sees memory the process uses: a buffer of the release's size shows.
    const size_t before = PeakWorkingSet();
    std::string held(kPiece * kPieces, 'x');
    for (size_t i = 0; i < held.size(); i += 4096)
        held[i] = (char)i;
    EXPECT_GT(PeakWorkingSet() - before, kPiece * kPieces / 2);
}

TEST_F(Download, UnwritableSaveFolderIsAWriteFailure)
{
    ASSERT_TRUE(server.Start([&](const std::string&) { return PlainReply(release); }));
    job.url = server.Url("f/setup.exe");
    job.savePath = folder + L"missing\\setup.exe";
    EXPECT_EQ(DownloadResult::WriteFailed, RunDownloadJob(job));
    ExpectNothingLeft();
}

// A server that compresses whenever the request allows it, as most do.
LoopbackReply CompressingReply(const std::string& request, const std::string& body)
{
    std::string lower;
    for (char c : request)
        lower += (char)tolower((unsigned char)c);
    const size_t accept = lower.find("accept-encoding:");
    const bool gzipAllowed = accept != std::string::npos && lower.find("gzip", accept) < lower.find("\r\n", accept);
    if (!gzipAllowed)
        return PlainReply(body);
    LoopbackReply reply;
    const std::string compressed = std::string("\x1f\x8b\x08") + "compressed";  // stands for the gzip form
    reply.pieces.push_back("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: " +
                           std::to_string(compressed.size()) + "\r\n\r\n" + compressed);
    return reply;
}

TEST_F(Download, AsksForTheBytesAsTheyAreAndRefusesAnEncodingItCannotRead)
{
    ASSERT_TRUE(server.Start([&](const std::string& request) { return CompressingReply(request, release); }));
    job.url = server.Url("f/setup.exe");
    ASSERT_EQ(DownloadResult::Done, RunDownloadJob(job));
    EXPECT_EQ(release, ReadFile(job.savePath));
    const std::string request = server.Requests().back();
    EXPECT_EQ(0u, request.find("GET /f/setup.exe HTTP/1.1\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"));
    server.Stop();
    DeleteFileW(job.savePath.c_str());
    DeleteFileW((folder + L"update.ini").c_str());

    // A body in an encoding is not the release, even when the server sends it unasked.
    for (const char* encoding : {"gzip", "Deflate", "br", "x-unknown"}) {
        ASSERT_TRUE(server.Start([&](const std::string&) {
            LoopbackReply reply;
            reply.pieces.push_back(std::string("HTTP/1.1 200 OK\r\nContent-Encoding: ") + encoding +
                                   "\r\nContent-Length: " + std::to_string(release.size()) + "\r\n\r\n" + release);
            return reply;
        }));
        job.url = server.Url("f/setup.exe");
        EXPECT_EQ(DownloadResult::FetchFailed, RunDownloadJob(job)) << encoding;
        ExpectNothingLeft();
        server.Stop();
    }
    ASSERT_TRUE(server.Start([&](const std::string&) {
        LoopbackReply reply;
        reply.pieces.push_back("HTTP/1.1 200 OK\r\nContent-Encoding: Identity\r\nContent-Length: " +
                               std::to_string(release.size()) + "\r\n\r\n" + release);
        return reply;
    }));
    job.url = server.Url("f/setup.exe");
    EXPECT_EQ(DownloadResult::Done, RunDownloadJob(job)) << "identity is the bytes as they are";
}

TEST_F(Download, ThirdRedirectIsRefused)
{
    ASSERT_TRUE(server.Start([&](const std::string&) { return Redirect("/again"); }));
    job.url = server.Url("again");
    EXPECT_EQ(DownloadResult::FetchFailed, RunDownloadJob(job));
    EXPECT_EQ(3u, server.Requests().size());
    ExpectNothingLeft();
}

TEST_F(Download, Md5MismatchLeavesNothing)
{
    ASSERT_TRUE(server.Start([&](const std::string&) { return PlainReply(release + "tampered"); }));
    job.url = server.Url("f/setup.exe");
    EXPECT_EQ(DownloadResult::Md5Mismatch, RunDownloadJob(job));
    ExpectNothingLeft();
}

TEST_F(Download, FailedFetchesLeaveNothing)
{
    ASSERT_TRUE(server.Start([&](const std::string& request) {
        if (request.find("GET /missing ") == 0)
            return PlainReply("no", "404 Not Found");
        LoopbackReply cut;  // promises more than it sends, then closes
        cut.pieces.push_back("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + release.substr(0, 1000));
        return cut;
    }));
    job.url = server.Url("missing");
    EXPECT_EQ(DownloadResult::FetchFailed, RunDownloadJob(job));
    job.url = server.Url("cut");
    EXPECT_EQ(DownloadResult::FetchFailed, RunDownloadJob(job));
    job.url = L"http://no-such-host.invalid/setup.exe";
    EXPECT_EQ(DownloadResult::FetchFailed, RunDownloadJob(job));
    ExpectNothingLeft();
}

TEST_F(Download, RefusesAnIncompleteJob)
{
    ASSERT_TRUE(server.Start([&](const std::string&) { return PlainReply(release); }));
    stDownloadJob bad = job;
    bad.url = server.Url("f/setup.exe");
    bad.savePath.clear();  // the main program gives no save path for an address without a file name
    EXPECT_EQ(DownloadResult::BadCommandLine, RunDownloadJob(bad));
    bad = job;
    bad.url = server.Url("f/setup.exe");
    bad.md5 = L"ABC";
    EXPECT_EQ(DownloadResult::BadCommandLine, RunDownloadJob(bad));
    EXPECT_TRUE(server.Requests().empty());
    ExpectNothingLeft();
}

// The program itself, started the way the main program starts it.
TEST_F(Download, WexorProgramDownloadsAndWritesUpdateIni)
{
    ASSERT_TRUE(server.Start([&](const std::string&) { return ChunkedReply(release); }));
    const std::wstring exe = Widen(TestBinFolder()) + L"wexor.exe";
    std::wstring command =
        L" -sav\"" + job.savePath + L"\" -url\"" + server.Url("r/setup.exe") + L"\" -md5\"" + job.md5 + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(release, ReadFile(job.savePath));
    EXPECT_TRUE(Exists(folder + L"update.ini"));
}

}  // namespace
