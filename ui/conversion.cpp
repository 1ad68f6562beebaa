// The conversion run of the main window: Convert and Stop, the worker's notifications, the
// end of a run, and the end of the window while a worker still runs.
#include <windows.h>
#include <shellapi.h>
#include <wchar.h>

#include "folder_check.h"
#include "job_state_text.h"
#include "morvane_dlg.h"
#include "res_text.h"
#include "services.h"
#include "settings_file.h"
#include "text_list.h"

namespace {

const int kTxtStates = 0x10000003;
const int kTxtNoJobs = 0x10000006;
const int kTxtRunEnd = 0x10000007;
const int kTxtStopQuestion = 0x10000008;
const int kStateColumn = 4;

}  // namespace

void CMorvaneDlg::ShowConvertButton(bool convert)
{
    m_btnConvert.ShowWindow(convert ? SW_SHOW : SW_HIDE);
    m_btnStop.ShowWindow(convert ? SW_HIDE : SW_SHOW);
}

void CMorvaneDlg::RepaintProgress()
{
    if (m_progress.m_hWnd)
        ::InvalidateRect(m_progress.m_hWnd, nullptr, TRUE);
}

void CMorvaneDlg::WaitForWorker()
{
    // The worker sends the list its row texts and waits for them to be taken, so this thread
    // keeps taking sent messages while it waits; posted ones stay queued.
    while (m_jobList.m_hThread) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The folder typed into the box is taken like one chosen with Change folder: checked (with the
// offer to create it) and stored, so the box never disagrees with where the files go.
bool CMorvaneDlg::AcceptTypedOutputFolder()
{
    m_strOutputDir.Trim();
    if (ConfirmOutputFolder(m_strOutputDir) != 0)
        return false;
    if (g_szCfgPath) {
        wchar_t stored[MAX_PATH] = {};
        CfgGetOutputDir(g_szCfgPath, stored);
        if (m_strOutputDir != stored)
            CfgSetOutputDir(g_szCfgPath, m_strOutputDir);
    }
    return true;
}

void CMorvaneDlg::OnConvert()
{
    const int jobs = m_jobList.GetJobCount();
    UpdateData(TRUE);
    if (jobs == 0) {
        wchar_t text[kTextListChars];
        QueryText(kTxtNoJobs, text, kTextListChars);
        AfxMessageBox(text, MB_OK);
        return;
    }
    if (m_bRunning)
        return;
    if (!AcceptTypedOutputFolder())
        return;
    // The previous worker has reported its end but may still be leaving: let it go first.
    WaitForWorker();

    // The Word layout is read for every run: the settings dialog may have changed it.
    m_jobList.m_nWordLayout = CfgGetWordLayout(g_szCfgPath);
    ShowConvertButton(false);
    m_bRunning = true;
    if (!m_jobList.StartConvert(static_cast<IP2DMsgSink*>(this), m_nConvType)) {
        m_bRunning = false;
        ShowConvertButton(true);
        AfxMessageBox(L"The conversion could not be started: the system refused a new thread.", MB_OK | MB_ICONSTOP);
    }
}

void CMorvaneDlg::OnStop()
{
    MessageBeep(MB_ICONEXCLAMATION);
    wchar_t text[kTextListChars];
    QueryText(kTxtStopQuestion, text, kTextListChars);
    if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES)
        m_jobList.m_bStop = 1;
}

void CMorvaneDlg::SetTotalSteps(int steps)
{
    if (m_bClosing)
        return;
    m_progress.m_nRange = steps;
    m_progress.m_nPos = 0;
    RepaintProgress();
}

void CMorvaneDlg::ConvertDone(int result)
{
    if (!m_bClosing)
        PostMessage(WM_CONVERT_DONE, static_cast<WPARAM>(result), 0);
}

void CMorvaneDlg::JobProgress(int job, int stage, int value)
{
    if (m_bClosing)
        return;
    wchar_t states[MAX_PATH];
    QueryText(kTxtStates, states, MAX_PATH);

    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = job;
    const int row = static_cast<int>(
        ::SendMessageW(m_listFiles.m_hWnd, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (row >= 0) {
        int first = 0;
        int last = 0;
        // The list does not change while a worker exists, so the record is safe to read here.
        if (const stJobInfo* info = m_jobList.GetJob(job)) {
            first = info->nFirstPage;
            last = info->nLastPage;
        }
        wchar_t text[MAX_PATH];
        FormatJobState(states, stage, JobPercent(value, first, last), text, MAX_PATH);
        m_listFiles.SetItemText(row, kStateColumn, text);
    }
    m_progress.m_nPos = m_progress.m_nPos + 1;
    RepaintProgress();
}

LRESULT CMorvaneDlg::OnConvertDone(WPARAM wParam, LPARAM)
{
    m_bRunning = false;
    ShowConvertButton(true);
    wchar_t lines[kTextListChars];
    QueryText(kTxtRunEnd, lines, kTextListChars);
    stTextList list;
    LoadTextList(lines, &list);
    wchar_t text[kTextListChars];
    if (wParam == 0) {
        GetTextListItem(&list, 0, text, sizeof(text));
        MessageBeep(MB_ICONEXCLAMATION);
        if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) == IDYES)
            AfxShellExecute(nullptr, L"open", m_strOutputDir, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (wParam == 1) {
        GetTextListItem(&list, 1, text, sizeof(text));
        AfxMessageBox(text, MB_OK);
        m_progress.m_nPos = 0;
        RepaintProgress();
    }
    return 0;
}

void CMorvaneDlg::OnDestroy()
{
    // A run still going is stopped before the window goes: the worker finishes its current
    // page, closes the output it is writing and ends without touching the window again.
    if (m_jobList.m_hThread) {
        m_jobList.m_bStop = 1;
        m_bClosing = true;
        WaitForWorker();
    }
    m_bRunning = false;
    DragAcceptFiles(m_hWnd, FALSE);
    qrn_SkinDlg::OnDestroy();
}
