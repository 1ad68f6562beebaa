// The file list of the main window: set-up, Add, Remove, Remove all and dropped files.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <wchar.h>

#include <memory>
#include <new>

#include "dropped_files.h"
#include "file_utils.h"
#include "halvane.h"
#include "morvane_dlg.h"
#include "res_text.h"
#include "text_list.h"

namespace {

const int kTxtColumns = 0x10000001;
const int kTxtBusy = 0x10000004;
const int kColumnWidths[] = {300, 80, 80, 80, 160};
const int kOpenBufferChars = 66816;
const size_t kMaxJobPathChars = 259;

const wchar_t* FileNameOf(const wchar_t* path)
{
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}

}  // namespace

void CMorvaneDlg::SetupFileList()
{
    SkinListStyle style = {};
    style.dwHeaderMask = 7;
    style.clrHeaderBack = RGB(238, 237, 237);
    style.clrHeaderLine = RGB(183, 184, 183);
    style.clrHeaderText = RGB(64, 64, 64);
    style.dwListMask = 15;
    style.bNoBorder = FALSE;
    style.bNoVScroll = FALSE;
    style.bNoHScroll = FALSE;
    style.clrSelFill = RGB(231, 241, 254);
    m_listFiles.AttachSkin(&style);
    if (CHeaderCtrl* header = m_listFiles.GetHeaderCtrl())
        header->SetFont(&m_fontHeader);
    m_listFiles.SetExtendedStyle(m_listFiles.GetExtendedStyle() | LVS_EX_FULLROWSELECT);

    wchar_t titles[MAX_PATH];
    QueryText(kTxtColumns, titles, MAX_PATH);
    stTextList columns;
    const int count = LoadTextList(titles, &columns);
    for (int i = 0; i < count; ++i) {
        wchar_t title[MAX_PATH];
        GetTextListItem(&columns, i, title, sizeof(title));
        // Columns past the fifth (a longer table) get the state column's width.
        const int width = kColumnWidths[i < 5 ? i : 4];
        m_listFiles.InsertColumn(i, title, i == 0 ? LVCFMT_LEFT : LVCFMT_CENTER, width);
    }
}

bool CMorvaneDlg::RefuseWhileBusy()
{
    if (!m_jobList.m_hThread)
        return false;
    wchar_t text[kTextListChars];
    QueryText(kTxtBusy, text, kTextListChars);
    AfxMessageBox(text, MB_OK);
    return true;
}

void CMorvaneDlg::OnAdd()
{
    CFileDialog dialog(TRUE, nullptr, nullptr,
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT | OFN_ENABLESIZING, m_szFileFilter,
                       nullptr, 0, TRUE);
    if (RefuseWhileBusy())
        return;
    std::unique_ptr<wchar_t[]> names(new (std::nothrow) wchar_t[kOpenBufferChars]());
    if (!names)
        return;
    dialog.m_ofn.lpstrFile = names.get();
    dialog.m_ofn.nMaxFile = kOpenBufferChars;
    if (dialog.DoModal() != IDOK)
        return;
    std::vector<CString> paths;
    POSITION position = dialog.GetStartPosition();
    while (position)
        paths.push_back(dialog.GetNextPathName(position));
    AddFiles(paths);
}

int CMorvaneDlg::AddFiles(const std::vector<CString>& paths)
{
    int added = 0;
    for (const CString& path : paths)
        added += AddOneFile(path);
    return added;
}

int CMorvaneDlg::AddOneFile(const wchar_t* path)
{
    // A job holds at most 259 characters; a longer path is left out rather than cut to
    // another file's name.
    if (!path || !*path || wcslen(path) > kMaxJobPathChars)
        return 0;
    qrn_IPdfDoc* doc = nullptr;
    if (!LoadDoc(path, &doc) || !doc)
        return 0;
    stJobInfo job = {};
    wcsncpy(job.szPath, path, kMaxJobPathChars);
    job.nPages = doc->GetPageCount();
    job.nFirstPage = 1;
    job.nLastPage = job.nPages;
    const int index = m_jobList.AddJob(job);
    if (index >= 0) {
        wchar_t size[kFileSizeTextChars] = {};
        GetFileSizeText(size, job.szPath);
        wchar_t pages[32];
        wchar_t range[64];
        swprintf(pages, 32, L"%d", job.nPages);
        swprintf(range, 64, L"%d - %d", job.nFirstPage, job.nLastPage);
        const int row = m_listFiles.InsertItem(0, FileNameOf(job.szPath));
        m_listFiles.SetItemText(row, 1, size);
        m_listFiles.SetItemText(row, 2, pages);
        m_listFiles.SetItemText(row, 3, range);
        m_listFiles.SetItemData(row, static_cast<DWORD_PTR>(index));
    }
    FreeDoc(doc);
    return index >= 0 ? 1 : 0;
}

void CMorvaneDlg::OnRemove()
{
    const int row = m_listFiles.GetNextItem(-1, LVNI_SELECTED);
    if (RefuseWhileBusy())
        return;
    if (row < 0)
        return;
    const int job = static_cast<int>(m_listFiles.GetItemData(row));
    m_jobList.RemoveJob(job);
    m_listFiles.DeleteItem(row);
    // Each row keeps naming its own job: the jobs after the removed one moved down by one.
    const int rows = m_listFiles.GetItemCount();
    for (int i = 0; i < rows; ++i) {
        const int data = static_cast<int>(m_listFiles.GetItemData(i));
        if (data > job)
            m_listFiles.SetItemData(i, static_cast<DWORD_PTR>(data - 1));
    }
}

void CMorvaneDlg::OnRemoveAll()
{
    if (RefuseWhileBusy())
        return;
    m_jobList.ClearJobs();
    m_listFiles.DeleteAllItems();
}

LRESULT CMorvaneDlg::OnDropFiles(WPARAM wParam, LPARAM)
{
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    std::vector<std::wstring> dropped;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        if (length && DragQueryFileW(drop, i, &path[0], length + 1) == length)
            dropped.push_back(path);
    }
    DragFinish(drop);
    if (RefuseWhileBusy())
        return 0;
    std::vector<CString> paths;
    for (const std::wstring& path : CollectDroppedPdfs(dropped))
        paths.push_back(CString(path));
    AddFiles(paths);
    return 0;
}
