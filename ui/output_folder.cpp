// Change folder and Open folder of the main window.
#include "morvane_dlg.h"
#include "path_dlg.h"
#include "res_text.h"
#include "services.h"
#include "settings_file.h"

namespace {

bool IsExistingFolder(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CMorvaneDlg::OnChangeFolder()
{
    wchar_t caption[MAX_PATH];
    QueryText(12, caption, MAX_PATH);
    qrn_PathDlg chooser(caption, m_strOutputDir);
    if (chooser.DoModal() != 1)
        return;
    m_strOutputDir = chooser.m_hook.m_szPath;
    if (g_szCfgPath)
        CfgSetOutputDir(g_szCfgPath, m_strOutputDir);
    UpdateData(FALSE);
}

void CMorvaneDlg::OnOpenFolder()
{
    // Only an existing folder goes to the shell: "open" on other text could start a program.
    if (IsExistingFolder(m_strOutputDir))
        AfxShellExecute(nullptr, L"open", m_strOutputDir, nullptr, nullptr, SW_SHOWNORMAL);
}
