#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "afx_app.h"
#include "afx_filedlg.h"
#include "seams.h"

namespace {

// Copies `reply` (with its embedded zeros) into the caller's buffer, as the system would.
std::wstring g_reply;
BOOL AnswerWithReply(OPENFILENAMEW* ofn)
{
    if (g_reply.size() > ofn->nMaxFile)
        return FALSE;
    std::memcpy(ofn->lpstrFile, g_reply.data(), g_reply.size() * sizeof(wchar_t));
    return TRUE;
}
BOOL Cancel(OPENFILENAMEW*)
{
    return FALSE;
}

std::vector<std::wstring> AllPaths(const CFileDialog& dlg)
{
    std::vector<std::wstring> paths;
    for (POSITION pos = dlg.GetStartPosition(); pos;)
        paths.push_back(dlg.GetNextPathName(pos).Str());
    return paths;
}

const DWORD kMultiFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT | OFN_ENABLESIZING;

}  // namespace

TEST(CFileDialogTest, IteratesTheSelectionInDialogOrder)
{
    struct Case {
        const wchar_t* name;
        std::wstring reply;
        std::vector<std::wstring> paths;
    } cases[] = {
        {L"one file", std::wstring(L"C:\\in\\a.pdf\0\0", 14), {L"C:\\in\\a.pdf"}},
        {L"several",
         std::wstring(L"C:\\in\0a.pdf\0b.pdf\0c.pdf\0\0", 26),
         {L"C:\\in\\a.pdf", L"C:\\in\\b.pdf", L"C:\\in\\c.pdf"}},
        {L"drive root", std::wstring(L"D:\\\0x.pdf\0y.pdf\0\0", 17), {L"D:\\x.pdf", L"D:\\y.pdf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_reply = c.reply;
        AfxSeamOverride<AfxGetOpenFileNameFn> seam(g_pfnAfxGetOpenFileName, &AnswerWithReply);
        std::vector<wchar_t> buffer(66816, L'\0');
        CFileDialog dlg(TRUE, nullptr, nullptr, kMultiFlags, L"PDF (*.pdf)|*.pdf|All (*.*)|*.*||");
        dlg.m_ofn.lpstrFile = buffer.data();
        dlg.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(AllPaths(dlg), c.paths);
    }
}

TEST(CFileDialogTest, FilterReachesTheSystemWithZeroSeparators)
{
    static std::wstring seen;
    AfxSeamOverride<AfxGetOpenFileNameFn> seam(g_pfnAfxGetOpenFileName, [](OPENFILENAMEW* ofn) -> BOOL {
        const wchar_t* p = ofn->lpstrFilter;
        seen.clear();
        while (*p) {  // parts until the empty one
            seen += p;
            seen += L'|';
            p += wcslen(p) + 1;
        }
        return FALSE;
    });
    CFileDialog dlg(TRUE, nullptr, nullptr, kMultiFlags, L"PDF (*.pdf)|*.pdf|All (*.*)|*.*||");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(seen, L"PDF (*.pdf)|*.pdf|All (*.*)|*.*|");
}

TEST(CFileDialogTest, CancelGivesNoPaths)
{
    AfxSeamOverride<AfxGetOpenFileNameFn> seam(g_pfnAfxGetOpenFileName, &Cancel);
    CFileDialog dlg(TRUE, nullptr, nullptr, kMultiFlags, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.GetStartPosition(), nullptr);
}

TEST(CFileDialogTest, NeverReadsPastTheBuffer)
{
    // A buffer filled to its last character without the closing zeros.
    std::vector<wchar_t> buffer = {L'C', L':', L'\\', L'\0', L'a', L'.', L'p'};
    CFileDialog dlg(TRUE, nullptr, nullptr, kMultiFlags, nullptr);
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    EXPECT_EQ(AllPaths(dlg), (std::vector<std::wstring>{L"C:\\a.p"}));
}
