#include "file_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "test_paths.h"

namespace {

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring SizeText(unsigned long low, unsigned long high)
{
    wchar_t text[kFileSizeTextChars];
    EXPECT_EQ(1, FormatFileSize(text, low, high));
    return text;
}

TEST(FormatFileSize, UnitsAndRounding)
{
    struct Case {
        unsigned long low, high;
        const wchar_t* text;
    } cases[] = {
        {0, 0, L"0.00Bytes"},       {1024, 0, L"1024.00Bytes"},
        {1025, 0, L"1.00KB"},  // 1.0009765 rounded
        {2048, 0, L"2.00KB"},       {0x100000, 0, L"1024.00KB"},
        {0x100001, 0, L"1.00MB"},   {0x40000000, 0, L"1024.00MB"},
        {0x40000001, 0, L"1.00GB"}, {0x40000000, 1, L"5.00GB"},
        {0, 1, L"4.00GB"},          {1536, 0, L"1.50KB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.text), SizeText(c.low, c.high)) << c.low << " + " << c.high << " * 2^32";
}

TEST(FormatFileSize, NoBuffer)
{
    EXPECT_EQ(0, FormatFileSize(nullptr, 1, 0));
}

TEST(GetFileSizeText, ReadsTheFileSizeAndLeavesTheBufferAloneOnFailure)
{
    const std::wstring folder = TestScratchFolderW("file_size");
    const std::wstring file = folder + L"two_kb.bin";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    std::string bytes(2048, 'x');
    DWORD written = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(h);
    const std::wstring empty = folder + L"empty.bin";
    CloseHandle(CreateFileW(empty.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    wchar_t text[kFileSizeTextChars] = L"unchanged";
    GetFileSizeText(text, file.c_str());
    EXPECT_STREQ(L"2.00KB", text);
    GetFileSizeText(text, empty.c_str());
    EXPECT_STREQ(L"0.00Bytes", text);

    wcscpy(text, L"unchanged");
    GetFileSizeText(text, (folder + L"missing.bin").c_str());
    GetFileSizeText(text, L"");
    GetFileSizeText(text, nullptr);
    GetFileSizeText(text, folder.c_str());  // a folder is not a file
    EXPECT_STREQ(L"unchanged", text);
    GetFileSizeText(nullptr, file.c_str());
}

TEST(IsValidFolderName, Refusals)
{
    for (const wchar_t* name : {L"a", L"Talvern", L"a b", L"a.b", L"新建文件夹", L"x-y_z"})
        EXPECT_TRUE(IsValidFolderName(name)) << Narrow(name);
    for (const wchar_t* name : {L"", L" a", L"a ", L"\ta", L"a\t", L".a", L"a.", L".", L"..", L"a\"b", L"a*b", L"a/b",
                                L"a:b", L"a<b", L"a>b", L"a?b", L"a\\b", L"a|b"})
        EXPECT_FALSE(IsValidFolderName(name)) << Narrow(name);
    EXPECT_FALSE(IsValidFolderName(nullptr));
}

TEST(IsValidFolderName, RefusesDeviceNamesAndControlCharacters)
{
    for (const wchar_t* name : {L"CON", L"con", L"Prn", L"aux", L"NUL", L"nul.txt", L"NUL.tar.gz", L"COM1", L"com9.log",
                                L"LPT1", L"lpt9", L"Con .txt", L"COM\u00b9", L"CONIN$", L"conout$.x", L"a\tb",
                                L"a\x01"
                                L"b",
                                L"setup\x1f.exe", L"\x7f\x01"})
        EXPECT_FALSE(IsValidFolderName(name)) << Narrow(name);
    // Names that only look like a device stay usable.
    for (const wchar_t* name : {L"CONS", L"icon", L"NULL", L"COM", L"COM0", L"COM10", L"LPT", L"xCON", L"con_1",
                                L"AUX-file.txt", L"a.CON", L"setup.exe", L"a\x7f"})
        EXPECT_TRUE(IsValidFolderName(name)) << Narrow(name);
}

TEST(CreateFolderPath, RefusesADeviceNameAnywhereInThePath)
{
    const std::wstring folder = TestScratchFolderW("DeviceNames");
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((folder + L"CON\\sub").c_str()));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((folder + L"ok\\nul.txt").c_str()));
    EXPECT_EQ(kFolderPathReady, CreateFolderPath((folder + L"ok\\CONS").c_str()));
}

wchar_t MissingDriveLetter()
{
    const DWORD drives = GetLogicalDrives();
    for (int i = 25; i >= 3; --i)
        if (!(drives & (1u << i)))
            return (wchar_t)(L'A' + i);
    return 0;
}

TEST(IsDriveRootPath, NeedsALetterColonBackslashOfAnExistingDrive)
{
    EXPECT_TRUE(IsDriveRootPath(L"C:\\"));
    EXPECT_TRUE(IsDriveRootPath(L"c:\\Windows"));
    for (const wchar_t* path : {L"", L"C:", L"C:/", L"1:\\", L"\\\\server\\share", L"relative\\path"})
        EXPECT_FALSE(IsDriveRootPath(path)) << Narrow(path);
    EXPECT_FALSE(IsDriveRootPath(nullptr));
    const wchar_t missing[] = {MissingDriveLetter(), L':', L'\\', 0};
    ASSERT_NE(0, missing[0]);
    EXPECT_FALSE(IsDriveRootPath(missing));
}

TEST(CreateFolderPath, CreatesEveryMissingFolder)
{
    const std::wstring base = TestScratchFolderW("create_folder");
    EXPECT_EQ(kFolderPathReady, CreateFolderPath((base + L"Quenby\\Talvern").c_str()));
    EXPECT_TRUE(Exists(base + L"Quenby\\Talvern"));
    // Existing folders and a trailing backslash are fine.
    EXPECT_EQ(kFolderPathReady, CreateFolderPath((base + L"Quenby\\Talvern\\Update\\").c_str()));
    EXPECT_TRUE(Exists(base + L"Quenby\\Talvern\\Update"));
    EXPECT_EQ(kFolderPathReady, CreateFolderPath(L"C:\\"));
}

TEST(CreateFolderPath, Refusals)
{
    const std::wstring base = TestScratchFolderW("create_folder_refused");
    // A component ending in a dot is refused after the components before it were created.
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((base + L"made\\bad.\\never").c_str()));
    EXPECT_TRUE(Exists(base + L"made"));
    EXPECT_FALSE(Exists(base + L"made\\bad."));
    EXPECT_FALSE(Exists(base + L"made\\bad"));

    // A file where a folder should be is not a folder.
    CloseHandle(CreateFileW((base + L"file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((base + L"file").c_str()));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((base + L"file\\sub").c_str()));

    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((base + L"a\\\\b").c_str()));
    EXPECT_FALSE(Exists(base + L"a\\b"));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath((base + L"a?b").c_str()));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath(nullptr));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath(L""));
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath(L"relative\\folder"));

    const wchar_t missing[] = {MissingDriveLetter(), L':', L'\\', L'x', 0};
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath(missing));

    // Too long to be a path: refused whole, not cut to a shorter folder that would then exist.
    const std::wstring tooLong = base + L"long\\" + std::wstring(300 - base.size(), L'n');
    EXPECT_EQ(kFolderPathRefused, CreateFolderPath(tooLong.c_str()));
    EXPECT_FALSE(Exists(base + L"long"));
}

}  // namespace
