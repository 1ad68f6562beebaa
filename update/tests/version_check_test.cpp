#include "version_check.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "loopback_http_server.h"
#include "test_paths.h"
#include "update_decision.h"

namespace {

// ---- recorded hooks -------------------------------------------------------------------

struct Recorded {
    int beeps = 0;
    int asks = 0;
    std::wstring question, caption;
    int answer = IDYES;
    std::vector<std::wstring> applications, commands;
};
Recorded g_recorded;

void RecordBeep(UINT type)
{
    if (type == MB_ICONEXCLAMATION)
        ++g_recorded.beeps;
}
int RecordAsk(const wchar_t* text, const wchar_t* caption)
{
    ++g_recorded.asks;
    g_recorded.question = text;
    g_recorded.caption = caption;
    return g_recorded.answer;
}
BOOL RecordStart(const wchar_t* application, wchar_t* commandLine)
{
    g_recorded.applications.push_back(application);
    g_recorded.commands.push_back(commandLine);
    return TRUE;
}

class RecordingSink : public qrn_IVerSink {
public:
    void OnVersion(int32_t nVersion) override { versions.push_back(nVersion); }
    std::vector<int32_t> versions;
};

const wchar_t kQuestion[] = L"检查到有新版本软件,您是否要下载更新?";
const wchar_t kCaption[] = L"Morvane";
const wchar_t kDataFolder[] = L"C:\\Users\\u\\AppData\\Roaming\\Quenby\\Talvern\\";
const wchar_t kProgramFolder[] = L"C:\\App\\";

class VersionCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartSockets());
        g_recorded = Recorded();
        stUpdateHooks hooks = {RecordBeep, RecordAsk, RecordStart};
        SetUpdateHooks(hooks);
    }
    void TearDown() override { SetUpdateHooks(DefaultUpdateHooks()); }

    // Runs one check against the loopback server answering body, deciding with own version 0x00010001.
    void CheckAgainst(const std::string& body, const wchar_t* dataFolder = kDataFolder)
    {
        LoopbackHttpServer server;
        ASSERT_TRUE(server.Start([&](const std::string&) { return PlainReply(body); }));
        check = stVerCheck();
        wcscpy(check.szAddress, server.Url("ver.asp?sid=3&src=0").c_str());
        CUpdateDecision decision(&check, 0x00010001, kQuestion, kCaption, dataFolder, kProgramFolder);
        check.pSink = &decision;
        RunVersionCheck(&check);
    }

    stVerCheck check;
};

TEST_F(VersionCheck, ExtractsTheThreeValuesAndReportsTheVersion)
{
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Start([](const std::string&) {
        return PlainReply("<VER>10002</VER><dwn>http://h/f/setup.exe</dwn><md5>abc</md5>");
    }));
    RecordingSink sink;
    stVerCheck record = {};
    wcscpy(record.szAddress, server.Url("v").c_str());
    record.pSink = &sink;
    RunVersionCheck(&record);
    EXPECT_EQ(std::vector<int32_t>{0x10002}, sink.versions);
    EXPECT_STREQ("http://h/f/setup.exe", record.szDownUrl);
    EXPECT_EQ(20, record.nDownUrlLen);
    EXPECT_STREQ("abc", record.szMd5);
    EXPECT_EQ(3, record.nMd5Len);
}

TEST_F(VersionCheck, NoReplyReportsZeroAndKeepsTheFields)
{
    RecordingSink sink;
    stVerCheck record = {};
    wcscpy(record.szAddress, L"http://no-such-host.invalid/v");
    strcpy(record.szMd5, "kept");
    record.nMd5Len = 4;
    record.pSink = &sink;
    RunVersionCheck(&record);
    EXPECT_EQ(std::vector<int32_t>{0}, sink.versions);
    EXPECT_STREQ("kept", record.szMd5);
    RunVersionCheck(nullptr);
}

TEST_F(VersionCheck, MinorUpdateBeepsAsksAndOnYesStartsTheDownloader)
{
    CheckAgainst("<VER>10002</VER><dwn>http://h/f/setup.exe</dwn><md5>abc</md5>");
    EXPECT_EQ(1, g_recorded.beeps);
    EXPECT_EQ(1, g_recorded.asks);
    EXPECT_EQ(kQuestion, g_recorded.question);
    EXPECT_EQ(kCaption, g_recorded.caption);
    ASSERT_EQ(1u, g_recorded.commands.size());
    EXPECT_EQ(L"C:\\App\\wexor.exe", g_recorded.applications[0]);
    EXPECT_EQ(std::wstring(L" -sav\"") + kDataFolder + L"Update\\setup.exe\" -url\"http://h/f/setup.exe\" -md5\"abc\"",
              g_recorded.commands[0]);
}

TEST_F(VersionCheck, AnsweringNoStartsNothing)
{
    g_recorded.answer = IDNO;
    CheckAgainst("<ver>10002</ver><dwn>http://h/f/setup.exe</dwn><md5>abc</md5>");
    EXPECT_EQ(1, g_recorded.asks);
    EXPECT_TRUE(g_recorded.commands.empty());
}

TEST_F(VersionCheck, DecisionByAnnouncedVersion)
{
    struct Case {
        const char* ver;
        int asks;
        int starts;
    } cases[] = {
        {"20000", 0, 1},  // higher major: at once, without asking
        {"10001", 0, 0},  // the same version
        {"10000", 0, 0},  // older
        {"0x10003", 1, 1},  // major 1, minor 3
        {"5", 1, 1},  // major 0, minor 5: only the minors count when the major is not higher
        {"zz", 0, 0},  // no number
    };
    for (const Case& c : cases) {
        g_recorded = Recorded();
        CheckAgainst(std::string("<ver>") + c.ver + "</ver><dwn>http://h/r.exe</dwn><md5>m</md5>");
        EXPECT_EQ(c.asks, g_recorded.asks) << c.ver;
        EXPECT_EQ(c.asks, g_recorded.beeps) << c.ver;
        EXPECT_EQ(c.starts, (int)g_recorded.commands.size()) << c.ver;
    }
}

TEST_F(VersionCheck, ReplyWithoutTagsStartsAndShowsNothing)
{
    CheckAgainst("<html>maintenance</html>");
    EXPECT_EQ(0, g_recorded.beeps);
    EXPECT_EQ(0, g_recorded.asks);
    EXPECT_TRUE(g_recorded.commands.empty());
}

TEST_F(VersionCheck, DownloadAddressEndingInSlashGivesAnEmptySavePath)
{
    CheckAgainst("<ver>20000</ver><dwn>http://h/f/</dwn><md5>abc</md5>");
    ASSERT_EQ(1u, g_recorded.commands.size());
    EXPECT_EQ(L" -sav\"\" -url\"http://h/f/\" -md5\"abc\"", g_recorded.commands[0]);
}

TEST_F(VersionCheck, MissingDwnAndMd5GiveEmptySwitches)
{
    CheckAgainst("<ver>20000</ver>");
    ASSERT_EQ(1u, g_recorded.commands.size());
    EXPECT_EQ(L" -sav\"\" -url\"\" -md5\"\"", g_recorded.commands[0]);
}

TEST_F(VersionCheck, HostileDownloadNamesNeverLeaveTheUpdateFolderOrAddSwitches)
{
    CheckAgainst("<ver>20000</ver><dwn>http://h/..\\..\\evil.exe</dwn><md5>abc</md5>");
    ASSERT_EQ(1u, g_recorded.commands.size());
    EXPECT_EQ(0u, g_recorded.commands[0].find(L" -sav\"\" -url")) << "no save path outside the Update folder";

    g_recorded = Recorded();
    CheckAgainst("<ver>20000</ver><dwn>http://h/a.exe\" -sav\"C:\\x.exe</dwn><md5>abc</md5>");
    EXPECT_TRUE(g_recorded.commands.empty()) << "a quote would end the switch";
}

TEST_F(VersionCheck, DeviceNamesAndControlCharactersGiveNoSavePath)
{
    // Saved under such a name the release would go to a device, not into the Update folder.
    for (const char* name : {"CON", "nul.exe", "Com1.exe", "LPT9", "set\x01up.exe"}) {
        g_recorded = Recorded();
        CheckAgainst(std::string("<ver>20000</ver><dwn>http://h/f/") + name + "</dwn><md5>abc</md5>");
        ASSERT_EQ(1u, g_recorded.commands.size()) << name;
        EXPECT_EQ(0u, g_recorded.commands[0].find(L" -sav\"\" -url\"http://h/f/")) << name;
    }
    g_recorded = Recorded();
    CheckAgainst("<ver>20000</ver><dwn>http://h/f/console.exe</dwn><md5>abc</md5>");
    ASSERT_EQ(1u, g_recorded.commands.size());
    EXPECT_NE(std::wstring::npos, g_recorded.commands[0].find(L"Update\\console.exe\" -url"))
        << "a name that only starts like one";
}

TEST(BuildSavePath, CreatesTheUpdateFolder)
{
    const std::wstring data = TestScratchFolderW("save_path") + L"Quenby\\Talvern\\Update\\";
    wchar_t savePath[kSavePathChars];
    EXPECT_GT(BuildSavePath("http://h/f/setup.exe", data.c_str(), savePath), 0);
    EXPECT_EQ(data + L"setup.exe", savePath);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(data.c_str()));
    EXPECT_EQ(0, BuildSavePath("setup.exe", data.c_str(), savePath));  // no separator
    EXPECT_EQ(0, BuildSavePath(("http://h/" + std::string(300, 'n')).c_str(), data.c_str(), savePath));
    EXPECT_STREQ(L"", savePath);
    EXPECT_EQ(0, BuildSavePath(nullptr, data.c_str(), savePath));
    EXPECT_EQ(0, BuildSavePath("http://h/a", nullptr, savePath));
}

// The real thread and the real process start, with a stand-in downloader that records how
// it was started.
TEST(StartVersionCheck, StartsTheDownloaderWithItsCommandLine)
{
    ASSERT_TRUE(StartSockets());
    g_recorded = Recorded();
    stUpdateHooks hooks = DefaultUpdateHooks();
    hooks.beep = RecordBeep;
    hooks.ask = RecordAsk;
    SetUpdateHooks(hooks);

    const std::wstring scratch = TestScratchFolderW("version_check_thread");
    const std::wstring program = scratch + L"App\\";
    const std::wstring data = scratch + L"Quenby\\Talvern\\";
    CreateDirectoryW(program.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((Widen(TestBinFolder()) + L"morvane_process_probe.exe").c_str(),
                          (program + L"wexor.exe").c_str(), FALSE));

    LoopbackHttpServer server;
    ASSERT_TRUE(server.Start([](const std::string&) {
        return PlainReply("<ver>10002</ver><dwn>http://h/f/setup.exe</dwn><md5>abc</md5>");
    }));
    const std::wstring addressTemplate = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/v?sid=%d&src=%d";
    stVerCheckSetup setup = {addressTemplate.c_str(), 3, 7, 0x00010001, kQuestion, kCaption, data.c_str(),
                             program.c_str()};
    ASSERT_EQ(1, StartVersionCheck(setup));

    const std::string report = Narrow(program) + "wexor.exe.txt";
    std::string commandLine;
    for (int i = 0; i < 300 && commandLine.empty(); ++i) {
        Sleep(100);
        std::ifstream in(report, std::ios::binary);
        std::getline(in, commandLine);
    }
    SetUpdateHooks(DefaultUpdateHooks());
    EXPECT_EQ(" -sav\"" + Narrow(data) + "Update\\setup.exe\" -url\"http://h/f/setup.exe\" -md5\"abc\"", commandLine);
    EXPECT_EQ(1, g_recorded.asks);
    ASSERT_EQ(1u, server.Requests().size());
    EXPECT_EQ(0u, server.Requests()[0].find("GET /v?sid=3&src=7 HTTP/1.1\r\n"));
}

TEST(StartVersionCheck, RefusesABrokenAddressTemplate)
{
    stVerCheckSetup setup = {L"http://h/%s", 3, 7, 0x00010001, kQuestion, kCaption, kDataFolder, kProgramFolder};
    EXPECT_EQ(0, StartVersionCheck(setup));
    setup.szAddressTemplate = nullptr;
    EXPECT_EQ(0, StartVersionCheck(setup));
}

TEST(ReadPubIniSrc, ReadsSrcOrZero)
{
    const std::wstring folder = TestScratchFolderW("pub_ini");
    const std::wstring ini = folder + L"pub.ini";
    WritePrivateProfileStringW(L"PubInfo", L"src", L"7", ini.c_str());
    EXPECT_EQ(7, ReadPubIniSrc(ini.c_str()));
    EXPECT_EQ(0, ReadPubIniSrc((folder + L"missing.ini").c_str()));
    EXPECT_EQ(0, ReadPubIniSrc(nullptr));
}

}  // namespace
