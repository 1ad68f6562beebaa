// The resource manager and the kernel data, in-process, with the failure box replaced by a
// recorder. Bitmaps from the pack's own resources are checked through ostrel.dat itself
// (pack_dll_test); here the failures, the folder mode and the texts.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "com_object.h"
#include "failure_box.h"
#include "kernel_data.h"
#include "ostrel.h"
#include "res_mgr.h"
#include "test_paths.h"

namespace {

struct FailureRecord {
    std::wstring text;
    std::wstring caption;
    UINT type;
    HWND owner;
};
std::vector<FailureRecord> g_failures;

int WINAPI RecordFailure(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    g_failures.push_back({text, caption, type, owner});
    return IDOK;
}

// A 24-bit bottom-up BMP file of the given size.
void WriteBmp(const std::wstring& path, int width, int height)
{
    const int row = (width * 3 + 3) & ~3;
    std::vector<unsigned char> file(14 + 40 + row * height, 0);
    BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(file.data());
    BITMAPINFOHEADER ih = {};
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(file.size());
    fh->bfOffBits = 14 + 40;
    ih.biSize = 40;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    memcpy(file.data() + 14, &ih, sizeof(ih));
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(nullptr, f);
    fwrite(file.data(), 1, file.size(), f);
    fclose(f);
}

class ResMgrTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_failures.clear();
        g_pfnResFailureBox = RecordFailure;
        ASSERT_EQ(S_OK, CPlainObject<CResMgr>::Create(IID_qrn_IResMgr, reinterpret_cast<void**>(&m_mgr)));
    }
    void TearDown() override
    {
        m_mgr->Release();
        g_pfnResFailureBox = MessageBoxW;
    }

    std::wstring Text(LONG id, LONG capacity = 1024, HRESULT expected = S_OK)
    {
        std::vector<wchar_t> buffer(capacity + 1, L'#');
        wchar_t* p = buffer.data();
        EXPECT_EQ(expected, m_mgr->QueryTxt(id, &p, &capacity)) << id;
        EXPECT_EQ(L'#', buffer[capacity]) << "wrote past the stated capacity";
        return std::wstring(buffer.data(), wcsnlen(buffer.data(), capacity));
    }

    qrn_IResMgr* m_mgr = nullptr;
};

TEST_F(ResMgrTest, PackModeReportsFailuresWithTheIdInDecimal)
{
    ASSERT_EQ(S_OK, m_mgr->Init(2, nullptr));
    struct Case {
        LONG id;
        const wchar_t* text;
    } const cases[] = {
        {0x1000001F, L"268435487"},  // bitmap class, not in the table
        {0x70000001, L"1879048193"},  // dialog class: the pack has no dialogs
        {static_cast<LONG>(0x80000001u), L"-2147483647"},  // top bit set: a negative class
        {0x20000001, L"536870913"},  // a text id is no picture
    };
    for (const Case& c : cases) {
        g_failures.clear();
        qrn_ResHandle h = 12345;
        EXPECT_EQ(S_OK, m_mgr->LoadRes(c.id, 1, &h));
        EXPECT_EQ(0u, h);
        ASSERT_EQ(1u, g_failures.size()) << c.id;
        EXPECT_EQ(c.text, g_failures[0].text);
        EXPECT_EQ(L"Load resource failed!", g_failures[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), g_failures[0].type);
        EXPECT_EQ(nullptr, g_failures[0].owner);
    }
}

TEST_F(ResMgrTest, FolderModeLoadsBitmapFilesFromTheResourceFolder)
{
    const std::wstring folder = TestScratchFolderW("resmgr_folder");
    WriteBmp(folder + L"btn_ok.bmp", 425, 25);
    const std::wstring noSlash = folder.substr(0, folder.size() - 1);
    ASSERT_EQ(S_OK, m_mgr->Init(1, noSlash.c_str()));

    qrn_ResHandle h = 0;
    EXPECT_EQ(S_OK, m_mgr->LoadRes(0x10000016, 1, &h));
    ASSERT_NE(0u, h);
    LONG w = 0, ht = 0;
    EXPECT_EQ(S_OK, m_mgr->GetBmpSize(h, &w, &ht));
    EXPECT_EQ(425, w);
    EXPECT_EQ(25, ht);
    EXPECT_EQ(S_OK, m_mgr->FreeRes(h));
    EXPECT_TRUE(g_failures.empty());

    // A missing file is reported with the path that was tried.
    EXPECT_EQ(S_OK, m_mgr->LoadRes(0x10000001, 1, &h));
    EXPECT_EQ(0u, h);
    ASSERT_EQ(1u, g_failures.size());
    EXPECT_EQ(noSlash + L"\\mwnd.bmp", g_failures[0].text);
}

TEST_F(ResMgrTest, FolderModeWithoutAFolderUsesTheHostProgramsFolder)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring hostFolder(exe);
    hostFolder.erase(hostFolder.rfind(L'\\') + 1);
    const std::wstring expected = hostFolder + L"\\mwnd.bmp";  // doubled backslash, accepted by the file system

    wchar_t path[260] = {};
    wchar_t* p = path;
    LONG capacity = 260;
    EXPECT_EQ(S_OK, m_mgr->QueryResPathById(0x10000001, &p, &capacity));
    EXPECT_EQ(expected, path);

    qrn_ResHandle h = 0;
    EXPECT_EQ(S_OK, m_mgr->LoadRes(0x10000001, 1, &h));  // no mwnd.bmp beside the test program
    EXPECT_EQ(0u, h);
    ASSERT_EQ(1u, g_failures.size());
    EXPECT_EQ(expected, g_failures[0].text);

    // Not a bitmap: an empty path in the report, and no path built.
    g_failures.clear();
    EXPECT_EQ(S_OK, m_mgr->LoadRes(0x30000001, 1, &h));
    ASSERT_EQ(1u, g_failures.size());
    EXPECT_EQ(L"", g_failures[0].text);
    wchar_t untouched[8] = L"keep";
    p = untouched;
    capacity = 8;
    EXPECT_EQ(S_OK, m_mgr->QueryResPathById(0x1000001F, &p, &capacity));
    EXPECT_STREQ(L"keep", untouched);
}

TEST_F(ResMgrTest, OverLongResourceFolderIsRefusedAndChangesNothing)
{
    ASSERT_EQ(S_OK, m_mgr->Init(1, L"C:\\skin"));
    const std::wstring tooLong(260, L'a');
    EXPECT_EQ(E_INVALIDARG, m_mgr->Init(1, tooLong.c_str()));
    wchar_t path[260] = {};
    wchar_t* p = path;
    LONG capacity = 260;
    EXPECT_EQ(S_OK, m_mgr->QueryResPathById(0x10000002, &p, &capacity));
    EXPECT_STREQ(L"C:\\skin\\sbtn_help.bmp", path);

    // A folder whose file path would exceed 259 characters builds no path.
    const std::wstring nearlyFull(251, L'b');  // with "\mwnd.bmp": 260 characters, one too many
    ASSERT_EQ(S_OK, m_mgr->Init(1, nearlyFull.c_str()));
    wchar_t untouched[8] = L"keep";
    p = untouched;
    capacity = 8;
    EXPECT_EQ(S_OK, m_mgr->QueryResPathById(0x10000001, &p, &capacity));
    EXPECT_STREQ(L"keep", untouched);
}

TEST_F(ResMgrTest, OtherLoadTypesLoadNothingAndReportNothing)
{
    ASSERT_EQ(S_OK, m_mgr->Init(3, nullptr));
    qrn_ResHandle h = 7;
    EXPECT_EQ(S_OK, m_mgr->LoadRes(0x10000001, 1, &h));
    EXPECT_EQ(0u, h);
    EXPECT_TRUE(g_failures.empty());
    EXPECT_EQ(S_OK, m_mgr->FreeRes(0));
    LONG w = -1, ht = -1;
    EXPECT_EQ(S_OK, m_mgr->GetBmpSize(0, &w, &ht));
    EXPECT_EQ(-1, w);
    EXPECT_EQ(-1, ht);
}

TEST_F(ResMgrTest, QueryResByIdCopiesTheRowOrZeroes)
{
    stResInfo info;
    memset(&info, 0xAB, sizeof(info));
    EXPECT_EQ(S_OK, m_mgr->QueryResById(0x10000001, &info));
    EXPECT_EQ(0x10000001, info.nResId);
    EXPECT_EQ(422, info.nResource);
    EXPECT_STREQ(L"mwnd.bmp", info.szResPathName);

    memset(&info, 0xAB, sizeof(info));
    EXPECT_EQ(S_OK, m_mgr->QueryResById(0x1000000b, &info));  // a gap in the numbering
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&info);
    for (size_t i = 0; i < sizeof(info); ++i)
        ASSERT_EQ(0, bytes[i]) << "byte " << i;
}

TEST_F(ResMgrTest, TextsComeFromTheTable)
{
    EXPECT_EQ(L"QuenbyTalvern软件", Text(12, 260));
    const std::wstring states = Text(0x10000003);
    EXPECT_EQ(3, std::count(states.begin(), states.end(), L'\n'));
    EXPECT_EQ(L"文件分析(%4.2f)\n页面转换(%4.2f)\n已完成转换\n", states);
    EXPECT_EQ(L"帮助", Text(0x20000001));
    EXPECT_EQ(L"帮助", Text(0x2000000b));
    EXPECT_EQ(L"关于我们", Text(0x30000001));
    EXPECT_EQ(L"QuenbyTalvern软件 - " + Text(1), Text(13));
}

TEST_F(ResMgrTest, UnknownTextLeavesTheBufferAlone)
{
    wchar_t buffer[16] = L"before";
    wchar_t* p = buffer;
    LONG capacity = 16;
    EXPECT_EQ(E_FAIL, m_mgr->QueryTxt(99, &p, &capacity));
    EXPECT_EQ(E_FAIL, m_mgr->QueryTxt(5, &p, &capacity));
    EXPECT_STREQ(L"before", buffer);
}

TEST_F(ResMgrTest, SmallBuffersAreCutShortAndTerminated)
{
    EXPECT_EQ(L"Quenby", Text(12, 7, S_FALSE));
    EXPECT_EQ(L"", Text(12, 1, S_FALSE));
    EXPECT_EQ(L"QuenbyTalvern软件", Text(12, 16, S_OK));  // exactly fits with its zero

    wchar_t buffer[4] = L"abc";
    wchar_t* p = buffer;
    LONG capacity = 0;
    EXPECT_EQ(E_INVALIDARG, m_mgr->QueryTxt(12, &p, &capacity));
    EXPECT_STREQ(L"abc", buffer);
    wchar_t* none = nullptr;
    capacity = 4;
    EXPECT_EQ(E_POINTER, m_mgr->QueryTxt(12, &none, &capacity));
}

TEST_F(ResMgrTest, TextTableIsHandedOutWholeInItsOrder)
{
    BYTE* table = nullptr;
    LONG bytes = 0;
    ASSERT_EQ(S_OK, m_mgr->QueryTxtInfo(&table, &bytes));
    const LONG expectedIds[] = {
        1,          2,          3,          4,          6,          7,          8,          9,          10,
        11,         12,         13,         0x10000001, 0x10000002, 0x10000003, 0x10000004, 0x10000005, 0x10000006,
        0x10000007, 0x10000008, 0x1000000d, 0x1000000e, 0x10000020, 0x10000021, 0x20000001, 0x20000002, 0x20000003,
        0x20000004, 0x20000005, 0x20000006, 0x20000007, 0x20000008, 0x20000009, 0x2000000b, 0x2000000c, 0x2000000d,
        0x2000000e, 0x2000000f, 0x20000010, 0x20000011, 0x20000020, 0x30000001, 0x30000020,
    };
    const size_t rows = sizeof(expectedIds) / sizeof(expectedIds[0]);
    ASSERT_EQ(static_cast<LONG>(rows * 2052), bytes);
    for (size_t i = 0; i < rows; ++i) {
        int32_t id;
        memcpy(&id, table + i * 2052, 4);
        EXPECT_EQ(expectedIds[i], id) << "row " << i;
        const wchar_t* text = reinterpret_cast<const wchar_t*>(table + i * 2052 + 4);
        EXPECT_LT(wcsnlen(text, 1024), 1024u) << "row " << i << " is not terminated";
    }
}

bool IsReservedExampleHost(const std::wstring& host)
{
    for (const std::wstring domain : {L"example.com", L"example.org", L"example.net"}) {
        const std::wstring sub = L"." + domain;
        if (host == domain ||
            (host.size() > sub.size() && host.compare(host.size() - sub.size(), sub.size(), sub) == 0))
            return true;
    }
    return false;
}

// Every address the program can open or fetch stays under the domains reserved for examples.
TEST_F(ResMgrTest, WebAndMailAddressesUseReservedExampleDomains)
{
    for (LONG id : {1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 13}) {
        const std::wstring text = Text(id);
        const size_t at = text.find(L'@');
        std::wstring host = at != std::wstring::npos ? text.substr(at + 1) : text;
        if (host.compare(0, 7, L"http://") == 0)
            host.erase(0, 7);
        if (id == 13)
            host.erase(0, host.rfind(L' ') + 1);
        host = host.substr(0, host.find(L'/'));
        EXPECT_TRUE(IsReservedExampleHost(host)) << "text " << id << ": " << Narrow(text);
    }
}

TEST(KernelData, BlockBytes)
{
    qrn_IKernelData* data = nullptr;
    ASSERT_EQ(S_OK, CPlainObject<CKernelData>::Create(IID_qrn_IKernelData, reinterpret_cast<void**>(&data)));
    LONG size = 0;
    EXPECT_EQ(S_OK, data->QueryDataSize(&size));
    EXPECT_EQ(256, size);
    unsigned char block[256];
    memset(block, 0xCC, sizeof(block));
    EXPECT_EQ(S_OK, data->QueryKernelData(reinterpret_cast<_stKernelHead*>(block)));
    data->Release();

    const unsigned char head[24] = {
        0x00, 0x01, 0, 0,  // dwDataSize 256
        0x2B, 0x23, 0, 0,  // nAppId 9003
        1,    0,    0, 0,  // nAppType
        1,    0,    0, 0,  // nAppNo
        0,    0,    0, 0,  // nAppSrc
        1,    0,    1, 0,  // nAppVer 1.1
    };
    for (size_t i = 0; i < sizeof(head); ++i)
        EXPECT_EQ(head[i], block[i]) << "byte " << i;
    EXPECT_EQ(1, block[24]);  // nReserved
    for (size_t i = 25; i < 256; ++i)
        ASSERT_EQ(0, block[i]) << "byte " << i;
}

}  // namespace
