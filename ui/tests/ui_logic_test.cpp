// The pure parts of the main window: folder checks, state texts, web addresses, dropped files.
#include <gtest/gtest.h>

#include <windows.h>
#include <io.h>

#include <fstream>
#include <string>
#include <vector>

#include "dropped_files.h"
#include "folder_check.h"
#include "job_state_text.h"
#include "seams.h"
#include "test_paths.h"
#include "web_address.h"

namespace {

struct stFolderCase {
    const wchar_t* path;
    int expected;
};

TEST(FolderCheck, FormOfTypedPaths)
{
    const stFolderCase cases[] = {
        {L"C:\\", kFolderPathOk},          {L"c:\\Out\\New", kFolderPathOk},
        {L"C:\\Out\\", kFolderPathOk},     {L"C:\\a<b", kFolderPathInvalid},
        {L"C:\\ a", kFolderPathInvalid},   {L"C:\\a.", kFolderPathInvalid},
        {L"C:\\\\a", kFolderPathInvalid},  {L"C:\\a\\\\b", kFolderPathInvalid},
        {L"Out\\New", kFolderPathInvalid}, {L"\\\\server\\share", kFolderPathInvalid},
        {L"1:\\a", kFolderPathInvalid},    {L"C:", kFolderPathInvalid},
        {L"", kFolderPathInvalid},
    };
    for (const stFolderCase& c : cases)
        EXPECT_EQ(c.expected, CheckFolderPath(c.path, FALSE)) << Narrow(c.path);
    EXPECT_EQ(kFolderPathInvalid, CheckFolderPath(nullptr, FALSE));
    EXPECT_EQ(kFolderPathInvalid, CheckFolderPath(L"C:\\", TRUE)) << "a drive root cannot be created";
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(kFolderPathInvalid, CheckFolderPath(tooLong.c_str(), FALSE));
}

struct stBoxLog {
    std::vector<std::wstring> texts;
    int answer = IDYES;
};
stBoxLog* g_boxes = nullptr;

int RecordBox(HWND, const wchar_t* text, const wchar_t*, UINT)
{
    g_boxes->texts.push_back(text);
    return g_boxes->answer;
}

TEST(FolderCheck, MissingFolderIsOfferedAndCreatedOnYes)
{
    const std::wstring base = TestScratchFolderW("ui_confirm_folder");
    stBoxLog boxes;
    g_boxes = &boxes;
    AfxSeamOverride<AfxMessageBoxFn> seam(g_pfnAfxMessageBox, RecordBox);

    EXPECT_EQ(0, ConfirmOutputFolder(base.c_str()));
    EXPECT_TRUE(boxes.texts.empty()) << "an existing folder asks nothing";

    const std::wstring fresh = base + L"Out\\New";
    EXPECT_EQ(0, ConfirmOutputFolder(fresh.c_str()));
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ(fresh + L"\n\nThe directory not exist,are you want to create it?", boxes.texts[0]);
    EXPECT_EQ(0, _waccess(fresh.c_str(), 0));

    boxes.texts.clear();
    boxes.answer = IDNO;
    const std::wstring refused = base + L"Refused";
    EXPECT_NE(0, ConfirmOutputFolder(refused.c_str()));
    ASSERT_EQ(2u, boxes.texts.size());
    EXPECT_EQ(refused + L"\n\nThe path is invalidate,please input again! ", boxes.texts[1]);
    EXPECT_NE(0, _waccess(refused.c_str(), 0));

    boxes.texts.clear();
    EXPECT_NE(0, ConfirmOutputFolder(L"C:\\a<b"));
    ASSERT_EQ(1u, boxes.texts.size()) << "an invalid path is not offered for creation";
    g_boxes = nullptr;
}

TEST(JobStateText, StagesAndPercentages)
{
    const wchar_t* lines = L"文件分析(%4.2f)\n页面转换(%4.2f)\n已完成转换\n";
    wchar_t text[260];
    FormatJobState(lines, 0, JobPercent(1, 1, 3), text, 260);
    EXPECT_STREQ(L"文件分析(33.33)", text);
    FormatJobState(lines, 0, JobPercent(2, 1, 3), text, 260);
    EXPECT_STREQ(L"文件分析(66.67)", text);
    FormatJobState(lines, 1, JobPercent(3, 1, 3), text, 260);
    EXPECT_STREQ(L"页面转换(100.00)", text);
    FormatJobState(lines, 2, 0, text, 260);
    EXPECT_STREQ(L"已完成转换", text);
    // A job the worker could not analyse ends on stage 1 with 0 of an empty range.
    FormatJobState(lines, 1, JobPercent(0, 0, 0), text, 260);
    EXPECT_STREQ(L"页面转换(0.00)", text);
    EXPECT_EQ(0, FormatJobState(lines, 3, 0, text, 260));
}

TEST(JobStateText, DamagedLinesGiveNoText)
{
    wchar_t text[260];
    for (const wchar_t* lines : {L"%s(%4.2f)\n", L"%4.2f%d\n", L"no conversion\n", L"", L"文件分析(%4.2f)"})
        EXPECT_EQ(0, FormatJobState(lines, 0, 50.0, text, 260)) << Narrow(lines);
}

TEST(WebAddress, IntegersOnlyInTheirOrder)
{
    const int32_t values[] = {4711, 7};
    wchar_t address[kWebAddressChars];
    EXPECT_GT(FormatWebAddress(L"www.example.com/kefu.aspx?sid=%d&src=%d", values, 2, address, kWebAddressChars), 0);
    EXPECT_STREQ(L"www.example.com/kefu.aspx?sid=4711&src=7", address);
    EXPECT_GT(FormatWebAddress(L"a?sid=%d&src=%d&pos=%d", values, 2, address, kWebAddressChars), 0);
    EXPECT_STREQ(L"a?sid=4711&src=7&pos=0", address);
    EXPECT_GT(FormatWebAddress(L"100%%?sid=%d", values, 1, address, kWebAddressChars), 0);
    EXPECT_STREQ(L"100%?sid=4711", address);
    EXPECT_EQ(0, FormatWebAddress(L"a?x=%s", values, 2, address, kWebAddressChars));
    EXPECT_STREQ(L"", address);
    EXPECT_EQ(0, FormatWebAddress(L"a?sid=%d", values, 1, address, 6)) << "does not fit";
    EXPECT_STREQ(L"", address);
}

TEST(DroppedFiles, FilesAndFolderContents)
{
    const std::wstring folder = TestScratchFolderW("ui_dropped");
    for (const wchar_t* name : {L"b.pdf", L"a.PDF", L"notes.txt", L"c.pdfx"})
        std::ofstream(Narrow(folder + name)).put('x');
    CreateDirectoryW((folder + L"sub").c_str(), nullptr);
    std::ofstream(Narrow(folder + L"sub\\deep.pdf")).put('x');

    const std::vector<std::wstring> pdfs = CollectDroppedPdfs(
        {folder + L"notes.txt", folder + L"sub\\deep.pdf", folder, std::wstring(270, L'x') + L".pdf"});
    const std::vector<std::wstring> expected = {folder + L"sub\\deep.pdf", folder + L"a.PDF", folder + L"b.pdf"};
    EXPECT_EQ(expected, pdfs);
}

}  // namespace
