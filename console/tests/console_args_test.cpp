#include "console_args.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "job_list.h"

namespace {

stConsoleArgs Parse(std::vector<const wchar_t*> args)
{
    args.insert(args.begin(), L"morvanec.exe");
    return ParseConsoleArgs((int)args.size(), args.data());
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring f = folder;
    if (f.back() != L'\\')
        f += L'\\';
    return f;
}

}  // namespace

TEST(ConsoleArgs, DefaultsAndOptions)
{
    stConsoleArgs a = Parse({L"C:\\in\\a.pdf"});
    EXPECT_TRUE(a.strError.empty());
    EXPECT_EQ(a.nConvType, CONV_TYPE_WORD);
    EXPECT_TRUE(a.strOutDir.empty());
    ASSERT_EQ(a.files.size(), 1u);
    EXPECT_EQ(a.files[0], L"C:\\in\\a.pdf");

    a = Parse({L"--to", L"txt", L"--out", L"D:/out/", L"C:/in/a.pdf", L"b.pdf"});
    EXPECT_TRUE(a.strError.empty());
    EXPECT_EQ(a.nConvType, CONV_TYPE_TEXT);
    EXPECT_EQ(a.strOutDir, L"D:\\out\\");
    ASSERT_EQ(a.files.size(), 2u);
    EXPECT_EQ(a.files[0], L"C:\\in\\a.pdf");
    EXPECT_EQ(a.files[1], CurrentFolder() + L"b.pdf");

    a = Parse({L"--to", L"docx", L"--", L"-odd.pdf", L"sub/../c.pdf"});
    EXPECT_TRUE(a.strError.empty());
    ASSERT_EQ(a.files.size(), 2u);
    EXPECT_EQ(a.files[0], CurrentFolder() + L"-odd.pdf");
    EXPECT_EQ(a.files[1], CurrentFolder() + L"c.pdf");

    EXPECT_EQ(Parse({L"a.pdf"}).nWordLayout, CONSOLE_LAYOUT_FROM_SETTINGS);
    EXPECT_EQ(Parse({L"--layout", L"faithful", L"a.pdf"}).nWordLayout, WORD_LAYOUT_FAITHFUL);
    a = Parse({L"--layout", L"faithful", L"--to", L"docx", L"--layout", L"classic", L"a.pdf"});
    EXPECT_TRUE(a.strError.empty());
    EXPECT_EQ(a.nWordLayout, WORD_LAYOUT_CLASSIC);  // the last one given counts
    ASSERT_EQ(a.files.size(), 1u);

    EXPECT_TRUE(Parse({L"--help"}).bHelp);
    EXPECT_TRUE(Parse({L"--help"}).strError.empty());
}

TEST(ConsoleArgs, UnusableCommandLines)
{
    const std::vector<std::vector<const wchar_t*>> cases = {
        {},
        {L"--to", L"pdf", L"a.pdf"},
        {L"--to"},
        {L"--out"},
        {L"--out", L"", L"a.pdf"},
        {L"--verbose", L"a.pdf"},
        {L"--to", L"txt"},
        {L"--layout", L"a.pdf"},
        {L"--layout", L"Faithful", L"a.pdf"},
        {L"--layout", L"", L"a.pdf"},
        {L"a.pdf", L"--layout"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Parse(c).strError.empty()) << c.size();
}
