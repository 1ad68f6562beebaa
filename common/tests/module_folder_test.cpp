#include "module_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "test_paths.h"

namespace {

TEST(ModuleFolderFromPath, TakesThePartInFrontOfTheBaseName)
{
    struct Case {
        const wchar_t* full;
        const wchar_t* base;
        const wchar_t* folder;  // empty: not found
    } cases[] = {
        {L"C:\\App\\Morvane.exe", L"Morvane.exe", L"C:\\App\\"},
        // A folder named like the program file: the program's own folder, not the outer one.
        {L"C:\\x\\Loader.exe\\Loader.exe", L"Loader.exe", L"C:\\x\\Loader.exe\\"},
        {L"C:\\Loader.exe.d\\Loader.exe", L"Loader.exe", L"C:\\Loader.exe.d\\"},
        // The base name must be the whole last component.
        {L"C:\\App\\MyLoader.exe", L"Loader.exe", L""},
        {L"C:\\App\\Other.exe", L"Loader.exe", L""},
        {L"Loader.exe", L"Loader.exe", L""},
        {L"", L"Loader.exe", L""},
        {L"C:\\App\\Loader.exe", L"", L""},
    };
    for (const Case& c : cases) {
        wchar_t folder[260];
        wmemset(folder, L'#', 260);
        const int length = ModuleFolderFromPath(c.full, c.base, folder, 260);
        EXPECT_EQ((int)wcslen(c.folder), length) << Narrow(c.full);
        if (length > 0)
            EXPECT_STREQ(c.folder, folder);
        else
            EXPECT_EQ(L'#', folder[0]) << "buffer must stay unchanged";
    }
}

TEST(ModuleFolderFromPath, RefusesAFolderThatDoesNotFitAndNullArguments)
{
    std::wstring longPath = L"C:\\" + std::wstring(300, L'f') + L"\\Morvane.exe";
    wchar_t folder[260] = {L'#'};
    EXPECT_EQ(0, ModuleFolderFromPath(longPath.c_str(), L"Morvane.exe", folder, 260));
    EXPECT_EQ(L'#', folder[0]);
    EXPECT_EQ(0, ModuleFolderFromPath(nullptr, L"a.exe", folder, 260));
    EXPECT_EQ(0, ModuleFolderFromPath(L"C:\\a.exe", nullptr, folder, 260));
    EXPECT_EQ(0, ModuleFolderFromPath(L"C:\\a.exe", L"a.exe", nullptr, 260));
    EXPECT_EQ(0, GetModuleFolder(nullptr));
}

TEST(GetModuleFolder, IsTheFolderOfTheRunningTestProgram)
{
    wchar_t folder[260] = {};
    const int length = GetModuleFolder(folder);
    EXPECT_EQ(Widen(TestBinFolder()), std::wstring(folder));
    EXPECT_EQ((int)wcslen(folder), length);
}

// Runs a copy of the probe program at exePath and returns the lines it recorded.
std::string RunProbe(const std::wstring& exePath)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::string();
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::ifstream in(Narrow(exePath) + ".txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GetModuleFolder, ProgramInAFolderNamedAfterItsOwnFile)
{
    const std::wstring probe = Widen(TestBinFolder()) + L"morvane_process_probe.exe";
    const std::wstring outer = TestScratchFolderW("module_folder") + L"probe.exe\\";
    const std::wstring inner = outer + L"probe.exe\\";
    ASSERT_TRUE(CreateDirectoryW(outer.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(probe.c_str(), (inner + L"probe.exe").c_str(), FALSE));

    const std::string report = RunProbe(inner + L"probe.exe");
    std::istringstream lines(report);
    std::string commandLine, current, folder;
    std::getline(lines, commandLine);
    std::getline(lines, current);
    std::getline(lines, folder);
    EXPECT_EQ(Narrow(inner), folder);
}

}  // namespace
