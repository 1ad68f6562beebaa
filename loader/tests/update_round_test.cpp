// One whole update round on loopback: the version reply announces a release, the real
// wexor.exe downloads it (a redirect, then a chunked reply) and leaves update.ini, Loader
// verifies the release and asks, and the release runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "http_client.h"
#include "loader_core.h"
#include "loopback_http_server.h"
#include "md5.h"
#include "test_paths.h"
#include "update_decision.h"
#include "version_check.h"

namespace {

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(Narrow(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The downloader is started for real, and waited for so the round can go on.
BOOL StartAndWait(const wchar_t* application, wchar_t* commandLine)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return FALSE;
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return TRUE;
}

int g_updateAsks = 0;
int g_loaderAsks = 0;
void NoBeep(UINT)
{ }
int AnswerYes(const wchar_t*, const wchar_t*)
{
    return ++g_updateAsks, IDYES;
}
int LoaderAnswerYes(const wchar_t*, const wchar_t*)
{
    return ++g_loaderAsks, IDYES;
}
BOOL MainProgramMustNotStart(const wchar_t*, wchar_t*, const wchar_t*)
{
    ADD_FAILURE() << "the main program was started instead of the release";
    return FALSE;
}

TEST(UpdateRound, VersionReplyToRunningRelease)
{
    ASSERT_TRUE(StartSockets());
    const std::wstring scratch = TestScratchFolderW("update_round");
    const std::wstring program = scratch + L"App\\";
    const std::wstring appData = scratch + L"AppData\\";
    const std::wstring data = appData + L"Quenby\\Talvern\\";
    CreateDirectoryW(program.c_str(), nullptr);
    const std::wstring bin = Widen(TestBinFolder());
    ASSERT_TRUE(CopyFileW((bin + L"wexor.exe").c_str(), (program + L"wexor.exe").c_str(), FALSE));

    // The release is a small program that records that it ran.
    const std::string release = ReadFile(bin + L"morvane_process_probe.exe");
    ASSERT_FALSE(release.empty());
    char md5[kMd5TextChars + 1];
    Md5Text(release.data(), release.size(), md5);

    LoopbackHttpServer server;
    ASSERT_TRUE(server.Start([&](const std::string& request) {
        if (request.find("GET /ver.asp?sid=3&src=0 ") == 0)
            return PlainReply("<ver>10002</ver><dwn>" + server.UrlA("dl/setup.exe") + "</dwn><md5>" + md5 + "</md5>");
        if (request.find("GET /dl/setup.exe ") == 0) {
            LoopbackReply moved;
            moved.pieces.push_back("HTTP/1.1 302 Found\r\nLocation: /files/setup.exe\r\nContent-Length: 0\r\n\r\n");
            return moved;
        }
        LoopbackReply file;
        file.pieces.push_back("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        for (size_t at = 0; at < release.size(); at += 9000) {
            const std::string piece = release.substr(at, 9000);
            char size[16];
            snprintf(size, sizeof(size), "%zx\r\n", piece.size());
            file.pieces.push_back(size + piece + "\r\n");
        }
        file.pieces.push_back("0\r\n\r\n");
        return file;
    }));

    // 1. The version check: a higher minor version, so the user is asked, and says yes.
    SetUpdateHooks({NoBeep, AnswerYes, StartAndWait});
    stVerCheck check = {};
    wcscpy(check.szAddress, server.Url("ver.asp?sid=3&src=0").c_str());
    CUpdateDecision decision(&check, 0x00010001, L"question", L"Morvane", data.c_str(), program.c_str());
    check.pSink = &decision;
    RunVersionCheck(&check);
    SetUpdateHooks(DefaultUpdateHooks());
    EXPECT_EQ(1, g_updateAsks);

    // 2. The downloader left the release and update.ini in the Update folder.
    const std::wstring update = data + L"Update\\";
    EXPECT_EQ(release, ReadFile(update + L"setup.exe"));
    wchar_t value[300] = {};
    GetPrivateProfileStringW(L"update", L"md5", L"", value, 300, (update + L"update.ini").c_str());
    EXPECT_EQ(Widen(md5), value);

    // 3. Loader at the next start: verifies, asks, and runs the release through the shell.
    SetLoaderHooks({LoaderAnswerYes, DefaultLoaderHooks().shellOpen, MainProgramMustNotStart});
    RunLoader(appData.c_str(), program.c_str());
    SetLoaderHooks(DefaultLoaderHooks());
    EXPECT_EQ(1, g_loaderAsks);

    std::string ran;
    for (int i = 0; i < 200 && ran.empty(); ++i) {
        Sleep(100);
        ran = ReadFile(update + L"setup.exe.txt");
    }
    EXPECT_NE(std::string::npos, ran.find("setup.exe")) << "the release did not run";
    EXPECT_EQ(3u, server.Requests().size());
}

}  // namespace
