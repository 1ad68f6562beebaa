#include "loader_core.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "md5.h"
#include "test_paths.h"

namespace {

struct Recorded {
    int asks = 0;
    std::wstring question, caption;
    int answer = IDYES;
    BOOL shellResult = TRUE;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> applications, commands, folders;
};
Recorded g_recorded;

int RecordAsk(const wchar_t* text, const wchar_t* caption)
{
    ++g_recorded.asks;
    g_recorded.question = text;
    g_recorded.caption = caption;
    return g_recorded.answer;
}
BOOL RecordOpen(const wchar_t* file)
{
    g_recorded.opened.push_back(file);
    return g_recorded.shellResult;
}
BOOL RecordStart(const wchar_t* application, wchar_t* commandLine, const wchar_t* folder)
{
    g_recorded.applications.push_back(application ? application : L"");
    g_recorded.commands.push_back(commandLine);
    g_recorded.folders.push_back(folder ? folder : L"");
    return TRUE;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(Narrow(path), std::ios::binary);
    out << bytes;
}

std::string Md5Of(const std::string& bytes)
{
    char text[kMd5TextChars + 1];
    Md5Text(bytes.data(), bytes.size(), text);
    return text;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'f')
            c = (char)(c - 'a' + 'A');
    return text;
}

class Loader : public ::testing::Test {
public:
    void SetUp() override
    {
        g_recorded = Recorded();
        SetLoaderHooks({RecordAsk, RecordOpen, RecordStart});
        scratch = TestScratchFolderW(::testing::UnitTest::GetInstance()->current_test_info()->name());
        appData = scratch + L"AppData\\";
        update = appData + L"Quenby\\Talvern\\Update\\";
        program = scratch + L"App\\";
        for (const std::wstring& f : {appData, appData + L"Quenby\\", appData + L"Quenby\\Talvern\\", update, program})
            CreateDirectoryW(f.c_str(), nullptr);
        WritePrivateProfileStringW(L"run", L"file", L"Main.exe", (program + L"loader.ini").c_str());
    }
    void TearDown() override { SetLoaderHooks(DefaultLoaderHooks()); }

    void OfferRelease(const std::string& bytes, const std::string& md5)
    {
        release = update + L"setup.exe";
        WriteBytes(release, bytes);
        const std::wstring ini = update + L"update.ini";
        WritePrivateProfileStringW(L"update", L"file", release.c_str(), ini.c_str());
        WritePrivateProfileStringW(L"update", L"md5", Widen(md5).c_str(), ini.c_str());
    }
    void ExpectMainProgramStarted(size_t times = 1)
    {
        ASSERT_EQ(times, g_recorded.commands.size());
        EXPECT_EQ(program + L"Main.exe -Loader", g_recorded.commands.back());
        EXPECT_EQ(program, g_recorded.folders.back());
    }

    std::wstring scratch, appData, update, program, release;
};

TEST_F(Loader, VerifiedReleaseIsOfferedAndRunOnYes)
{
    OfferRelease("release bytes", Md5Of("release bytes"));
    RunLoader(appData.c_str(), program.c_str());
    EXPECT_EQ(1, g_recorded.asks);
    EXPECT_EQ(L"软件已经更新,您是否现在升级?", g_recorded.question);
    EXPECT_EQ(L"更新提示", g_recorded.caption);
    EXPECT_EQ(std::vector<std::wstring>{release}, g_recorded.opened);
    EXPECT_TRUE(g_recorded.commands.empty()) << "Loader ends without starting the main program";
}

TEST_F(Loader, CapitalHexDigestDoesNotMatch)
{
    OfferRelease("release bytes", Upper(Md5Of("release bytes")));
    RunLoader(appData.c_str(), program.c_str());
    EXPECT_EQ(0, g_recorded.asks);
    ExpectMainProgramStarted();
}

TEST_F(Loader, EmptyFileWithTheDigestOfNoDataIsOffered)
{
    OfferRelease("", "d41d8cd98f00b204e9800998ecf8427e");
    RunLoader(appData.c_str(), program.c_str());
    EXPECT_EQ(1, g_recorded.asks);
}

TEST_F(Loader, NoStartsTheMainProgramAndAsksAgainNextTime)
{
    OfferRelease("release bytes", Md5Of("release bytes"));
    g_recorded.answer = IDNO;
    RunLoader(appData.c_str(), program.c_str());
    RunLoader(appData.c_str(), program.c_str());
    EXPECT_EQ(2, g_recorded.asks);
    EXPECT_TRUE(g_recorded.opened.empty());
    ExpectMainProgramStarted(2);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(release.c_str())) << "Loader changes no file";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((update + L"update.ini").c_str()));
}

TEST_F(Loader, EveryOtherCaseIsAPlainStart)
{
    struct Case {
        const char* name;
        void (*prepare)(Loader*);
    } cases[] = {
        {"no update.ini", [](Loader*) {}},
        {"digest mismatch", [](Loader* t) { t->OfferRelease("release bytes", Md5Of("other bytes")); }},
        {"empty md5", [](Loader* t) { t->OfferRelease("release bytes", ""); }},
        {"missing release",
         [](Loader* t) {
             t->OfferRelease("release bytes", Md5Of("release bytes"));
             DeleteFileW(t->release.c_str());
         }},
        {"empty file value",
         [](Loader* t) {
             t->OfferRelease("x", Md5Of("x"));
             WritePrivateProfileStringW(L"update", L"file", L"", (t->update + L"update.ini").c_str());
         }},
        {"shell refuses",
         [](Loader* t) {
             t->OfferRelease("release bytes", Md5Of("release bytes"));
             g_recorded.shellResult = FALSE;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW((update + L"update.ini").c_str());
        g_recorded = Recorded();
        c.prepare(this);
        RunLoader(appData.c_str(), program.c_str());
        ExpectMainProgramStarted();
    }
}

TEST_F(Loader, ReleaseOpenedElsewhereIsNotRun)
{
    OfferRelease("release bytes", Md5Of("release bytes"));
    HANDLE other = CreateFileW(release.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    RunLoader(appData.c_str(), program.c_str());
    CloseHandle(other);
    EXPECT_EQ(0, g_recorded.asks);
    ExpectMainProgramStarted();
}

TEST_F(Loader, MainProgramCommandLineAndFolder)
{
    EXPECT_TRUE(LaunchMainProgram(L"C:\\App\\", L"Main.exe"));
    ASSERT_EQ(1u, g_recorded.commands.size());
    EXPECT_EQ(L"C:\\App\\Main.exe -Loader", g_recorded.commands[0]);
    EXPECT_EQ(L"C:\\App\\Main.exe", g_recorded.applications[0]);
    EXPECT_EQ(L"C:\\App\\", g_recorded.folders[0]);

    // No program named, or a line that does not fit: nothing is started.
    EXPECT_FALSE(LaunchMainProgram(L"C:\\App\\", L""));
    EXPECT_FALSE(LaunchMainProgram(L"C:\\App\\", std::wstring(250, L'm').c_str()));
    EXPECT_FALSE(LaunchMainProgram(nullptr, L"Main.exe"));
    EXPECT_EQ(1u, g_recorded.commands.size());
    DeleteFileW((program + L"loader.ini").c_str());
    RunLoader(appData.c_str(), program.c_str());
    EXPECT_EQ(1u, g_recorded.commands.size());
    RunLoader(nullptr, nullptr);
}

TEST(FileMd5Text, ThreeMebibytesInThreeBlocksEqualsHashingWhole)
{
    std::string bytes(3 * 1024 * 1024, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = (char)(i * 2654435761u >> 13);
    const std::wstring file = TestScratchFolderW("md5_blocks") + L"big.bin";
    WriteBytes(file, bytes);
    char text[kMd5TextChars + 1];
    int blocks = 0;
    EXPECT_EQ(kMd5TextChars, FileMd5Text(file.c_str(), text, &blocks));
    EXPECT_EQ(3, blocks);
    EXPECT_EQ(Md5Of(bytes), text);
}

TEST(FileMd5Text, MissingOrUnnamedFileGivesEmptyText)
{
    char text[kMd5TextChars + 1] = "x";
    EXPECT_EQ(0, FileMd5Text(L"C:\\no\\such\\file.exe", text));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, FileMd5Text(nullptr, text));
    EXPECT_EQ(0, FileMd5Text(L"", text));
    EXPECT_EQ(0, FileMd5Text(L"C:\\x", nullptr));
    EXPECT_FALSE(VerifyUpdateFile(L"C:\\no\\such\\file.exe", L""));
    EXPECT_FALSE(VerifyUpdateFile(nullptr, L"d41d8cd98f00b204e9800998ecf8427e"));
}

// Loader.exe itself, beside a loader.ini that names a stand-in main program.
TEST(LoaderProgram, StartsTheMainProgramFromItsOwnFolder)
{
    const std::wstring folder = TestScratchFolderW("loader_program");
    const std::wstring bin = Widen(TestBinFolder());
    ASSERT_TRUE(CopyFileW((bin + L"Loader.exe").c_str(), (folder + L"Loader.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((bin + L"morvane_process_probe.exe").c_str(), (folder + L"Main.exe").c_str(), FALSE));
    WritePrivateProfileStringW(L"run", L"file", L"Main.exe", (folder + L"loader.ini").c_str());

    const std::wstring exe = folder + L"Loader.exe";
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, bin.c_str(), &si, &pi));
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, code);

    std::string commandLine, current;
    for (int i = 0; i < 200 && current.empty(); ++i) {
        Sleep(100);
        std::ifstream in(Narrow(folder) + "Main.exe.txt", std::ios::binary);
        std::getline(in, commandLine);
        std::getline(in, current);
    }
    EXPECT_EQ(Narrow(folder) + "Main.exe -Loader", commandLine);
    EXPECT_EQ(Narrow(folder.substr(0, folder.size() - 1)), current);
}

}  // namespace
