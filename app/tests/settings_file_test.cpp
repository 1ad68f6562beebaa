#include "settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job_list.h"
#include "test_paths.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = TestScratchFolderW(std::string("cfg_") + info->name()) + L"morvane.cfg";
    }

    std::vector<uint8_t> FileBytes() const
    {
        std::vector<uint8_t> bytes;
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return bytes;
        bytes.resize(GetFileSize(file, nullptr));
        DWORD got = 0;
        ReadFile(file, bytes.data(), (DWORD)bytes.size(), &got, nullptr);
        CloseHandle(file);
        bytes.resize(got);
        return bytes;
    }

    void WriteFileBytes(const std::vector<uint8_t>& bytes) const
    {
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
    }

    bool Exists() const { return GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring m_path;
};

uint32_t At(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | ((uint32_t)bytes[offset + 3] << 24);
}

struct FileHolder {
    HANDLE file;
    DWORD holdMs;
};

DWORD WINAPI ReleaseLater(void* param)
{
    FileHolder* holder = static_cast<FileHolder*>(param);
    Sleep(holder->holdMs);
    CloseHandle(holder->file);
    return 0;
}

}  // namespace

TEST_F(SettingsFile, MissingFileIsNotValidAndLeavesAnEmptyFile)
{
    EXPECT_FALSE(CfgIsValid(m_path.c_str()));
    EXPECT_TRUE(Exists());
    EXPECT_EQ(FileBytes().size(), 0u);
}

TEST_F(SettingsFile, FirstRunSequenceGivesValidStoreWithTheOutputFolder)
{
    ASSERT_TRUE(CfgReset(m_path.c_str()));
    EXPECT_TRUE(CfgIsValid(m_path.c_str()));
    CfgSetOutputDir(m_path.c_str(), L"C:\\Users\\me\\Documents\\Talvern");
    const std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 1748u);
    EXPECT_EQ(At(bytes, 0), 0x00010001u);
    EXPECT_EQ(At(bytes, 4), 1u);
    EXPECT_EQ(At(bytes, 28), 5u);
    EXPECT_EQ(At(bytes, 32), 1228u);
    EXPECT_EQ(At(bytes, 36), 520u);

    wchar_t folder[260];
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 520);
    EXPECT_STREQ(folder, L"C:\\Users\\me\\Documents\\Talvern");
    EXPECT_TRUE(CfgIsValid(m_path.c_str()));
}

TEST_F(SettingsFile, StoreThatWasNeverResetStaysInvalid)
{
    CfgSetOutputDir(m_path.c_str(), L"D:\\out");
    EXPECT_FALSE(CfgIsValid(m_path.c_str()));
    wchar_t folder[260];
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 520);
    EXPECT_STREQ(folder, L"D:\\out");
}

TEST_F(SettingsFile, OutputFolderEdgeCases)
{
    wchar_t folder[260];
    wmemset(folder, L'#', 260);
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 0);  // no item: buffer left all zero
    EXPECT_EQ(std::wstring(folder, 260), std::wstring(260, L'\0'));

    const std::wstring longest(259, L'a'), tooLong(260, L'b');
    CfgSetOutputDir(m_path.c_str(), longest.c_str());
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 520);
    EXPECT_EQ(folder, longest);
    CfgSetOutputDir(m_path.c_str(), tooLong.c_str());
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 520);
    EXPECT_STREQ(folder, L"");
    CfgSetOutputDir(m_path.c_str(), nullptr);
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 520);
    EXPECT_STREQ(folder, L"");
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), nullptr), 0);

    wchar_t small[130];
    EXPECT_EQ(CfgReadItem(m_path.c_str(), CFG_ID_OUTPUT_DIR, small, sizeof(small)), 0);
}

TEST_F(SettingsFile, WordLayoutRoundTripBesideTheOutputFolder)
{
    ASSERT_TRUE(CfgReset(m_path.c_str()));
    EXPECT_EQ(CfgGetWordLayout(m_path.c_str()), WORD_LAYOUT_DEFAULT);  // never chosen
    CfgSetOutputDir(m_path.c_str(), L"D:\\out");
    EXPECT_TRUE(CfgSetWordLayout(m_path.c_str(), WORD_LAYOUT_FAITHFUL));
    EXPECT_EQ(CfgGetWordLayout(m_path.c_str()), WORD_LAYOUT_FAITHFUL);
    EXPECT_TRUE(CfgSetWordLayout(m_path.c_str(), WORD_LAYOUT_CLASSIC));
    EXPECT_EQ(CfgGetWordLayout(m_path.c_str()), WORD_LAYOUT_CLASSIC);

    // Item 6 follows item 5 and stays 4 bytes whatever is written; the folder is untouched.
    const std::vector<uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 1228u + 520u + 4u);
    EXPECT_EQ(At(bytes, 4), 2u);
    EXPECT_EQ(At(bytes, 40), (uint32_t)CFG_ID_WORD_LAYOUT);
    EXPECT_EQ(At(bytes, 44), 1748u);
    EXPECT_EQ(At(bytes, 48), 4u);
    EXPECT_EQ(At(bytes, 1748), (uint32_t)WORD_LAYOUT_CLASSIC);
    wchar_t folder[260];
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 520);
    EXPECT_STREQ(folder, L"D:\\out");
    EXPECT_TRUE(CfgIsValid(m_path.c_str()));

    // A value that is no layout is refused and the stored choice kept.
    for (int bad : {-1, 2, 0x7FFFFFFF})
        EXPECT_FALSE(CfgSetWordLayout(m_path.c_str(), bad)) << bad;
    EXPECT_EQ(CfgGetWordLayout(m_path.c_str()), WORD_LAYOUT_CLASSIC);
    EXPECT_EQ(CfgGetWordLayout(nullptr), WORD_LAYOUT_DEFAULT);
    EXPECT_EQ(CfgGetWordLayout(L"Q:\\no\\such\\folder\\morvane.cfg"), WORD_LAYOUT_DEFAULT);
}

TEST_F(SettingsFile, UnknownOrGarbledWordLayoutReadsAsTheDefault)
{
    struct stCase {
        std::vector<uint8_t> item;
        const char* what;
    } const cases[] = {
        {{2, 0, 0, 0}, "a layout this program does not know"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
        {{1, 0, 0, 0x80}, "the sign bit set"},
        {{1, 0}, "too short"},
        {{1, 0, 0, 0, 0}, "too long"},
        {{}, "empty"},
    };
    for (const stCase& c : cases) {
        DeleteFileW(m_path.c_str());
        ASSERT_TRUE(CfgReset(m_path.c_str()));
        CfgWriteItem(m_path.c_str(), CFG_ID_WORD_LAYOUT, c.item.data(), (int)c.item.size());
        EXPECT_EQ(CfgGetWordLayout(m_path.c_str()), WORD_LAYOUT_DEFAULT) << c.what;
    }
    // A sound 4-byte item is taken over again by the next choice.
    DeleteFileW(m_path.c_str());
    const uint8_t unknown[4] = {9, 0, 0, 0};
    CfgWriteItem(m_path.c_str(), CFG_ID_WORD_LAYOUT, unknown, 4);
    EXPECT_TRUE(CfgSetWordLayout(m_path.c_str(), WORD_LAYOUT_FAITHFUL));
    EXPECT_EQ(CfgGetWordLayout(m_path.c_str()), WORD_LAYOUT_FAITHFUL);
}

TEST_F(SettingsFile, BadPathsAndArgumentsFailQuietly)
{
    char buffer[16];
    EXPECT_FALSE(CfgIsValid(nullptr));
    EXPECT_FALSE(CfgIsValid(L""));
    EXPECT_EQ(CfgReset(nullptr), 0);
    EXPECT_EQ(CfgWriteItem(nullptr, 1, "x", 1), 0);
    EXPECT_EQ(CfgReadItem(nullptr, 1, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(CfgWriteItem(L"Q:\\no\\such\\folder\\morvane.cfg", 1, "x", 1), 0);
    EXPECT_EQ(CfgWriteItem(m_path.c_str(), 1, nullptr, 4), 0);
    EXPECT_EQ(CfgReadItem(m_path.c_str(), 1, nullptr, 4), 0);
}

TEST_F(SettingsFile, DamagedStoreIsInvalidAndTheNextChangeReplacesIt)
{
    ASSERT_TRUE(CfgReset(m_path.c_str()));
    CfgSetOutputDir(m_path.c_str(), L"D:\\old");
    std::vector<uint8_t> bytes = FileBytes();
    bytes[36] = 0xFF;  // item 5's length now reaches far beyond the store
    bytes[37] = 0xFF;
    WriteFileBytes(bytes);

    EXPECT_FALSE(CfgIsValid(m_path.c_str()));
    wchar_t folder[260];
    EXPECT_EQ(CfgGetOutputDir(m_path.c_str(), folder), 0);
    EXPECT_EQ(CfgWriteItem(m_path.c_str(), 7, "abcd", 4), 1232);
    const std::vector<uint8_t> after = FileBytes();
    ASSERT_EQ(after.size(), 1232u);
    EXPECT_EQ(At(after, 4), 1u);
    EXPECT_EQ(At(after, 28), 7u);
}

TEST_F(SettingsFile, ForeignFileReadsAsEmptyAndIsReplacedByTheFirstChange)
{
    WriteFileBytes(std::vector<uint8_t>(5000, 'Q'));
    EXPECT_FALSE(CfgIsValid(m_path.c_str()));
    EXPECT_TRUE(CfgReset(m_path.c_str()));
    EXPECT_EQ(FileBytes().size(), 1228u);  // the old tail is cut off
    EXPECT_TRUE(CfgIsValid(m_path.c_str()));
}

TEST_F(SettingsFile, OpenerWaitsWhileAnotherHoldsTheFile)
{
    ASSERT_TRUE(CfgReset(m_path.c_str()));
    g_nCfgRetryWaitMs = 20;
    FileHolder holder = {
        CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), 300};
    ASSERT_NE(holder.file, INVALID_HANDLE_VALUE);
    HANDLE releaser = CreateThread(nullptr, 0, ReleaseLater, &holder, 0, nullptr);
    EXPECT_EQ(CfgWriteItem(m_path.c_str(), 8, "wait", 4), 1232);
    WaitForSingleObject(releaser, INFINITE);
    CloseHandle(releaser);
    char read[4] = {};
    EXPECT_EQ(CfgReadItem(m_path.c_str(), 8, read, 4), 4);
    g_nCfgRetryWaitMs = 200;
}

TEST_F(SettingsFile, OpenerGivesUpAfterTheLastAttempt)
{
    ASSERT_TRUE(CfgReset(m_path.c_str()));
    g_nCfgRetryWaitMs = 5;
    g_nCfgOpenAttempts = 3;
    HANDLE held = CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    char read[4];
    EXPECT_EQ(CfgWriteItem(m_path.c_str(), 8, "lost", 4), 0);
    EXPECT_EQ(CfgReadItem(m_path.c_str(), 8, read, 4), 0);
    EXPECT_FALSE(CfgIsValid(m_path.c_str()));
    CloseHandle(held);
    g_nCfgRetryWaitMs = 200;
    g_nCfgOpenAttempts = 1000;
    EXPECT_TRUE(CfgIsValid(m_path.c_str()));
    EXPECT_EQ(CfgReadItem(m_path.c_str(), 8, read, 4), 0);
}

// Two processes change the file at the same time, each its own items; the exclusive open
// and the retry serialise them, so every item of both arrives.
TEST_F(SettingsFile, TwoProcessesWritingAtOnceLoseNothing)
{
    ASSERT_TRUE(CfgReset(m_path.c_str()));
    const std::wstring child = Widen(TestBinFolder()) + L"cfg_writer_child.exe";
    const int count = 20, rounds = 4;
    const int firstIds[2] = {100, 200};
    PROCESS_INFORMATION processes[2] = {};
    for (int i = 0; i < 2; ++i) {
        std::wstring command = L"\"" + child + L"\" \"" + m_path + L"\" " + std::to_wstring(firstIds[i]) + L" " +
                               std::to_wstring(count) + L" " + std::to_wstring(rounds);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        ASSERT_TRUE(CreateProcessW(child.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                   nullptr, &startup, &processes[i]))
            << GetLastError();
    }
    for (PROCESS_INFORMATION& p : processes)
        ResumeThread(p.hThread);
    for (PROCESS_INFORMATION& p : processes) {
        ASSERT_EQ(WaitForSingleObject(p.hProcess, 120000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(p.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(p.hThread);
        CloseHandle(p.hProcess);
    }
    EXPECT_TRUE(CfgIsValid(m_path.c_str()));
    EXPECT_EQ(FileBytes().size(), 1228u + 2 * count * 64);
    for (int firstId : firstIds) {
        for (int id = firstId; id < firstId + count; ++id) {
            unsigned char data[64] = {};
            ASSERT_EQ(CfgReadItem(m_path.c_str(), id, data, sizeof(data)), 64) << id;
            EXPECT_EQ(data[0], id & 0xFF);
            EXPECT_EQ(data[63], id & 0xFF);
        }
    }
}
