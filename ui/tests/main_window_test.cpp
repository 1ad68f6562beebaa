// The real main window under Wine: start-up and first run, the file list, a conversion run with
// its progress and end, stopping, the folder chooser, the About dialog, the web links, and the
// end of the window during a run. Message boxes, the shell, the open-file dialog and the
// folder browser are answered through the class layer's seams.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <io.h>

#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about_dlg.h"
#include "module_folder.h"
#include "morvane_app.h"
#include "morvane_dlg.h"
#include "path_dlg.h"
#include "res_text.h"
#include "resource.h"
#include "seams.h"
#include "services.h"
#include "settings_dlg.h"
#include "settings_file.h"
#include "test_paths.h"
#include "update_decision.h"

namespace {

const wchar_t kProductName[] = L"QuenbyTalvern软件";
const wchar_t kBusy[] = L"转换过程中不能执行该操作,如需执行该操作请先停止转换.";
const wchar_t kNoJobs[] = L"列表中没有任何PDF文件, 请先添加一个或多个PDF文件后再执行该操作.";
const wchar_t kRunDone[] = L"转换已完成, 您是否要打开存放转换结果的文件夹?";
const wchar_t kRunStopped[] = L"转换过程被终止!";
const wchar_t kStopQuestion[] = L"您确定要终止转换吗?";
const wchar_t kDone[] = L"已完成转换";

// The three sample PDFs: 2, 4 and 1 pages.
const char* const kSamples[] = {"gen-v-images.pdf", "gen-v-impress-slides.pdf", "gen-v-notice.pdf"};
const int kSamplePages[] = {2, 4, 1};

// ---- what the seams saw and will answer ------------------------------------------------
struct stBox {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct stSeamLog {
    std::vector<stBox> boxes;
    std::deque<int> answers;  // for Yes/No questions; No when empty
    std::vector<std::wstring> opened;  // files given to the shell's "open"
    std::vector<std::wstring> selection;  // what the open-file dialog returns next
    std::function<void(BROWSEINFOW*)> browse;
};
stSeamLog* g_log = nullptr;

int FakeMessageBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type)
{
    g_log->boxes.push_back({text ? text : L"", caption ? caption : L"", type});
    if ((type & 0xF) != MB_YESNO)
        return IDOK;
    if (g_log->answers.empty())
        return IDNO;
    const int answer = g_log->answers.front();
    g_log->answers.pop_front();
    return answer;
}

HINSTANCE FakeShellExecute(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*, const wchar_t*, int)
{
    if (verb && std::wstring(verb) == L"open")
        g_log->opened.push_back(file ? file : L"");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

// The dialog's multi-select answer: the folder, then each name ("C:\d\0a.pdf\0b.pdf\0\0").
BOOL FakeOpenFileName(OPENFILENAMEW* ofn)
{
    if (g_log->selection.empty())
        return FALSE;
    std::wstring buffer;
    if (g_log->selection.size() == 1) {
        buffer = g_log->selection[0] + L'\0';
    } else {
        const std::wstring& first = g_log->selection[0];
        buffer = first.substr(0, first.rfind(L'\\')) + L'\0';
        for (const std::wstring& path : g_log->selection)
            buffer += path.substr(path.rfind(L'\\') + 1) + L'\0';
    }
    buffer += L'\0';
    if (buffer.size() > ofn->nMaxFile)
        return FALSE;
    std::copy(buffer.begin(), buffer.end(), ofn->lpstrFile);
    return TRUE;
}

PIDLIST_ABSOLUTE FakeBrowse(BROWSEINFOW* info)
{
    if (g_log->browse)
        g_log->browse(info);
    return nullptr;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

std::wstring Sample(int i)
{
    return TestSourcePathW(std::string("console/tests/data/") + kSamples[i]);
}

std::wstring FileNameOf(const std::wstring& path)
{
    return path.substr(path.rfind(L'\\') + 1);
}

// ---- the settings dialog, driven from a timer inside its modal run ---------------------
struct stSettingsScript {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    int extraTicks = 0;  // ticks after the last step with the dialog still open
};
stSettingsScript* g_settings = nullptr;

BOOL CALLBACK FindSettingsWindow(HWND hwnd, LPARAM found)
{
    if (::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, IDC_SETTINGS_LAYOUT)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void PressButton(HWND dialog, int id)
{
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void CALLBACK SettingsTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND settings = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindSettingsWindow, reinterpret_cast<LPARAM>(&settings));
    if (!settings || !g_settings)
        return;
    if (g_settings->next < g_settings->steps.size()) {
        g_settings->steps[g_settings->next++](settings);
    } else if (++g_settings->extraTicks > 20) {
        PressButton(settings, IDC_SETTINGS_CANCEL);  // a script that never closes it must not hang the test
    }
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[260] = {};
    ::GetDlgItemTextW(dialog, id, text, 260);
    return text;
}

std::wstring ComboItem(HWND dialog, int id, int index)
{
    HWND combo = ::GetDlgItem(dialog, id);
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0 || length >= 260)
        return L"<none>";
    wchar_t text[260] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int ComboSelection(HWND dialog, int id)
{
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

// ---- state texts written into the list, seen from a subclass of the list window ----------
struct stStateText {
    int row;
    std::wstring text;
};
std::vector<stStateText>* g_states = nullptr;
WNDPROC g_listProc = nullptr;

LRESULT CALLBACK ListSpy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LVM_SETITEMTEXTW && g_states) {
        const LVITEMW* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (item && item->iSubItem == 4 && item->pszText)
            g_states->push_back({static_cast<int>(wParam), item->pszText});
    }
    return CallWindowProcW(g_listProc, hwnd, message, wParam, lParam);
}

bool SameFolderName(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// ---- the fixture: services started, main window shown modeless -------------------------
class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_app = new CMorvaneApp;
        s_root = TestScratchFolderW("ui_main_window");
        memset(&s_folders, 0, sizeof(s_folders));
        GetModuleFolder(s_folders.szProgramFolder);
        wcscpy(s_folders.szAppData, (s_root + L"AppData").c_str());
        wcscpy(s_folders.szDocuments, (s_root + L"Documents").c_str());
        CreateDirectoryW(s_folders.szAppData, nullptr);
        CreateDirectoryW(s_folders.szDocuments, nullptr);
    }
    static void TearDownTestSuite()
    {
        delete s_app;
        s_app = nullptr;
    }

    void SetUp() override
    {
        g_log = &m_log;
        g_states = &m_states;
        m_seams.emplace_back(new AfxSeamOverride<AfxMessageBoxFn>(g_pfnAfxMessageBox, FakeMessageBox));
        m_shell.reset(new AfxSeamOverride<AfxShellExecuteFn>(g_pfnAfxShellExecute, FakeShellExecute));
        m_open.reset(new AfxSeamOverride<AfxGetOpenFileNameFn>(g_pfnAfxGetOpenFileName, FakeOpenFileName));
        m_browse.reset(new AfxSeamOverride<AfxBrowseForFolderFn>(g_pfnAfxBrowseForFolder, FakeBrowse));
    }

    void TearDown() override
    {
        CloseWindow();
        if (m_started)
            s_app->StopServices();
        m_browse.reset();
        m_open.reset();
        m_shell.reset();
        m_seams.clear();
        g_states = nullptr;
        g_log = nullptr;
    }

    void Start()
    {
        ASSERT_TRUE(s_app->StartServices(&s_folders));
        m_started = true;
    }

    void OpenWindow()
    {
        Start();
        m_dlg.reset(new CMorvaneDlg);
        ASSERT_TRUE(m_dlg->Create(MAKEINTRESOURCEW(IDD_MORVANE_DIALOG), nullptr));
        s_app->m_pMainWnd = m_dlg.get();
        HWND list = ::GetDlgItem(m_dlg->m_hWnd, IDC_FILE_LIST);
        g_listProc =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSpy)));
        Pump();
    }

    void CloseWindow()
    {
        if (m_dlg && m_dlg->m_hWnd)
            m_dlg->DestroyWindow();
        m_dlg.reset();
        if (s_app)
            s_app->m_pMainWnd = nullptr;
        Pump();
    }

    void Click(int id)
    {
        m_dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(m_dlg->m_hWnd, id)));
    }

    // Clicks Settings and plays the steps on the dialog while it runs; the number of steps played.
    size_t ClickSettings(std::vector<std::function<void(HWND)>> steps, int* extraTicks = nullptr)
    {
        stSettingsScript script;
        script.steps = std::move(steps);
        g_settings = &script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, SettingsTimer);
        Click(IDC_SETTINGS);  // returns when the dialog has closed
        KillTimer(nullptr, timer);
        g_settings = nullptr;
        if (extraTicks)
            *extraTicks = script.extraTicks;
        return script.next;
    }

    void AddSamples(std::initializer_list<int> which)
    {
        for (int i : which)
            m_log.selection.push_back(Sample(i));
        Click(IDC_ADD);
        m_log.selection.clear();
    }

    int Rows() { return m_dlg->m_listFiles.GetItemCount(); }
    std::wstring Cell(int row, int column) { return m_dlg->m_listFiles.GetItemText(row, column).GetString(); }
    bool Visible(int id) { return ::IsWindowVisible(::GetDlgItem(m_dlg->m_hWnd, id)) != FALSE; }
    bool RunOver() { return !m_dlg->IsRunning() && !m_dlg->Jobs().m_hThread; }

    // Points the output folder at a fresh scratch folder (typed into the box, taken at Convert).
    std::wstring UseOutputFolder(const std::string& name)
    {
        std::wstring folder = TestScratchFolderW(name);
        folder.pop_back();  // no trailing backslash, as the chooser gives it
        m_dlg->SetDlgItemText(IDC_OUTPUT_DIR, folder.c_str());
        return folder;
    }

    std::vector<std::wstring> BoxTexts()
    {
        std::vector<std::wstring> texts;
        for (const stBox& box : m_log.boxes)
            texts.push_back(box.text);
        return texts;
    }

    static CMorvaneApp* s_app;
    static std::wstring s_root;
    static stServiceFolders s_folders;

    stSeamLog m_log;
    std::vector<stStateText> m_states;
    std::vector<std::unique_ptr<AfxSeamOverride<AfxMessageBoxFn>>> m_seams;
    std::unique_ptr<AfxSeamOverride<AfxShellExecuteFn>> m_shell;
    std::unique_ptr<AfxSeamOverride<AfxGetOpenFileNameFn>> m_open;
    std::unique_ptr<AfxSeamOverride<AfxBrowseForFolderFn>> m_browse;
    std::unique_ptr<CMorvaneDlg> m_dlg;
    bool m_started = false;
};

CMorvaneApp* MainWindow::s_app = nullptr;
std::wstring MainWindow::s_root;
stServiceFolders MainWindow::s_folders;

// Runs first (gtest keeps declaration order): the scratch data folder starts empty.
TEST_F(MainWindow, FirstRunCreatesFoldersSettingsAndOpensWelcomeOnce)
{
    const std::wstring pubIni = std::wstring(s_folders.szProgramFolder) + L"pub.ini";
    Start();
    const std::wstring dataFolder = std::wstring(s_folders.szAppData) + L"\\Quenby\\Talvern\\";
    EXPECT_EQ(0, _waccess(dataFolder.c_str(), 0));
    EXPECT_EQ(dataFolder + L"morvane.cfg", std::wstring(g_szCfgPath));
    EXPECT_EQ(pubIni, std::wstring(g_szPubIniPath));
    const std::wstring output = std::wstring(s_folders.szDocuments) + L"\\Talvern";
    wchar_t stored[MAX_PATH];
    CfgGetOutputDir(g_szCfgPath, stored);
    EXPECT_EQ(output, std::wstring(stored));
    EXPECT_EQ(0, _waccess(output.c_str(), 0));
    ASSERT_EQ(1u, m_log.opened.size());
    const std::wstring welcome =
        L"www.example.com/index.aspx?sid=" + std::to_wstring(KernelAppId()) + L"&src=" + std::to_wstring(PubIniSrc());
    EXPECT_EQ(welcome, m_log.opened[0]);
    EXPECT_STREQ(kProductName, AfxGetApp()->m_pszAppName);
    s_app->StopServices();
    m_started = false;
    EXPECT_EQ(nullptr, g_ppResMgr);
    EXPECT_EQ(nullptr, g_pKernelData);

    // The second start opens no page and keeps a changed folder.
    Start();
    CfgSetOutputDir(g_szCfgPath, L"C:\\Kept");
    s_app->StopServices();
    Start();
    EXPECT_EQ(1u, m_log.opened.size());
    CfgGetOutputDir(g_szCfgPath, stored);
    EXPECT_STREQ(L"C:\\Kept", stored);

    // A file that is not a settings store makes the next start a first run again.
    const std::wstring cfg = g_szCfgPath;
    s_app->StopServices();
    std::ofstream(Narrow(cfg), std::ios::binary | std::ios::trunc) << "qrnXXX damaged";
    Start();
    EXPECT_EQ(2u, m_log.opened.size());
    CfgGetOutputDir(g_szCfgPath, stored);
    EXPECT_EQ(output, std::wstring(stored));
}

TEST_F(MainWindow, MissingResourcePackIsReportedInEnglishAndStopsStartUp)
{
    stServiceFolders folders = s_folders;
    const std::wstring empty = TestScratchFolderW("ui_no_pack");
    wcscpy(folders.szProgramFolder, empty.c_str());
    EXPECT_FALSE(s_app->StartServices(&folders));
    m_started = true;  // what was created is released in TearDown
    ASSERT_EQ(1u, m_log.boxes.size());
    EXPECT_EQ(L"Morvane", m_log.boxes[0].caption);
    EXPECT_NE(std::wstring::npos, m_log.boxes[0].text.find(L"ostrel.dat was not found in " + empty));
    EXPECT_EQ(nullptr, *g_ppResMgr);
}

TEST_F(MainWindow, StartsIdleWithItsTextsAndIgnoresEnterEscapeAndAltF4)
{
    OpenWindow();
    EXPECT_TRUE(Visible(IDC_CONVERT));
    EXPECT_FALSE(Visible(IDC_STOP));
    wchar_t title[260];
    m_dlg->GetWindowText(title, 260);
    EXPECT_STREQ(L"QuenbyTalvern软件 - www.example.com", title);
    EXPECT_EQ(2, m_dlg->m_comboConvertTo.GetCount());
    EXPECT_EQ(0, m_dlg->m_comboConvertTo.GetCurSel());
    CString kind;
    m_dlg->m_comboConvertTo.GetLBText(1, kind);
    EXPECT_STREQ(L"文本文件(.txt)", kind.GetString());
    const std::vector<std::wstring> columns = {L"文件名", L"文件大小", L"页数", L"转换范围", L"转换状态"};
    CHeaderCtrl* header = m_dlg->m_listFiles.GetHeaderCtrl();
    ASSERT_EQ(5, header->GetItemCount());
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        header->GetItem(i, &item);
        EXPECT_EQ(columns[i], std::wstring(text));
    }
    EXPECT_EQ(300, m_dlg->m_listFiles.GetColumnWidth(0));
    EXPECT_EQ(160, m_dlg->m_listFiles.GetColumnWidth(4));
    CString folder;
    m_dlg->m_editOutputDir.GetWindowText(folder);
    EXPECT_EQ(std::wstring(s_folders.szDocuments) + L"\\Talvern", folder.Str());
    RECT client;
    m_dlg->GetClientRect(&client);
    EXPECT_EQ(900, client.right);  // the size of the background picture

    // The system menu's extra entry follows a separator.
    HMENU menu = ::GetSystemMenu(m_dlg->m_hWnd, FALSE);
    const int count = GetMenuItemCount(menu);
    wchar_t entry[64] = {};
    GetMenuStringW(menu, IDM_ABOUTBOX, entry, 64, MF_BYCOMMAND);
    EXPECT_STREQ(L"&About Morvane...", entry);
    EXPECT_EQ(MF_SEPARATOR, GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);

    m_dlg->SendMessage(WM_COMMAND, IDOK, 0);
    m_dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    m_dlg->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_TRUE(m_dlg->IsWindowVisible());
    ClickSettings({[](HWND settings) { PressButton(settings, IDC_SETTINGS_CANCEL); }});
    EXPECT_TRUE(m_log.boxes.empty());
    EXPECT_TRUE(m_log.opened.empty());
    Click(IDC_SYS_MIN);
    EXPECT_TRUE(m_dlg->IsIconic());
    m_dlg->ShowWindow(SW_RESTORE);
    Click(IDC_EXIT);
    EXPECT_FALSE(m_dlg->IsWindowVisible());
}

TEST_F(MainWindow, AddShowsRowsAtTheTopWithSizePagesAndRangeAndSkipsDuplicates)
{
    OpenWindow();
    AddSamples({0, 1, 2});
    ASSERT_EQ(3, Rows());
    for (int row = 0; row < 3; ++row) {
        const int sample = 2 - row;  // the last added is on top
        EXPECT_EQ(FileNameOf(Sample(sample)), Cell(row, 0));
        EXPECT_EQ(std::to_wstring(kSamplePages[sample]), Cell(row, 2));
        EXPECT_EQ(L"1 - " + std::to_wstring(kSamplePages[sample]), Cell(row, 3));
        EXPECT_EQ(L"", Cell(row, 4));
        EXPECT_EQ(static_cast<DWORD_PTR>(sample), m_dlg->m_listFiles.GetItemData(row));
    }
    EXPECT_EQ(L"40.80KB", Cell(0, 1));  // gen-v-notice.pdf is 41 784 bytes

    AddSamples({1});
    EXPECT_EQ(3, Rows()) << "a listed path is skipped";

    // A path longer than a job can hold and a file that is no PDF are skipped without a word.
    const std::wstring folder = TestScratchFolderW("ui_add_odd");
    std::ofstream(Narrow(folder + L"broken.pdf")) << "not a pdf";
    m_log.selection = {std::wstring(L"C:\\") + std::wstring(290, L'a') + L".pdf"};
    Click(IDC_ADD);
    m_log.selection = {folder + L"broken.pdf"};
    Click(IDC_ADD);
    EXPECT_EQ(3, Rows());
    EXPECT_TRUE(m_log.boxes.empty());
}

TEST_F(MainWindow, EmptyListRefusesToConvert)
{
    OpenWindow();
    Click(IDC_CONVERT);
    ASSERT_EQ(1u, m_log.boxes.size());
    EXPECT_EQ(kNoJobs, m_log.boxes[0].text);
    EXPECT_EQ(kProductName, m_log.boxes[0].caption);
    EXPECT_TRUE(Visible(IDC_CONVERT));
}

TEST_F(MainWindow, FullRunShowsStatesAndBarAndOffersTheOutputFolder)
{
    OpenWindow();
    AddSamples({0, 1, 2});
    const std::wstring output = UseOutputFolder("ui_full_run_out");
    m_log.answers = {IDYES};
    Click(IDC_CONVERT);
    EXPECT_FALSE(Visible(IDC_CONVERT));
    EXPECT_TRUE(Visible(IDC_STOP));
    ASSERT_TRUE(PumpUntil([&] { return RunOver(); }));
    EXPECT_TRUE(Visible(IDC_CONVERT));
    EXPECT_FALSE(Visible(IDC_STOP));

    EXPECT_EQ(3 + 2 * (2 + 4 + 1), m_dlg->m_progress.m_nRange);
    EXPECT_EQ(m_dlg->m_progress.m_nRange, m_dlg->m_progress.m_nPos) << "the bar ends full";
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(kDone, Cell(row, 4));
    // The top row (one page) is converted first: analysed, written, done.
    ASSERT_GE(m_states.size(), 3u);
    EXPECT_EQ(0, m_states[0].row);
    EXPECT_EQ(L"文件分析(100.00)", m_states[0].text);
    EXPECT_EQ(L"页面转换(100.00)", m_states[1].text);
    EXPECT_EQ(kDone, m_states[2].text);
    // The four-page file reports a quarter at a time.
    std::vector<std::wstring> middle;
    for (const stStateText& state : m_states)
        if (state.row == 1)
            middle.push_back(state.text);
    const std::vector<std::wstring> expected = {L"文件分析(25.00)",  L"文件分析(50.00)",  L"文件分析(75.00)",
                                                L"文件分析(100.00)", L"页面转换(25.00)",  L"页面转换(50.00)",
                                                L"页面转换(75.00)",  L"页面转换(100.00)", kDone};
    EXPECT_EQ(expected, middle);

    ASSERT_EQ(1u, m_log.boxes.size());
    EXPECT_EQ(kRunDone, m_log.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), m_log.boxes[0].type);
    ASSERT_EQ(1u, m_log.opened.size());
    EXPECT_TRUE(SameFolderName(output, m_log.opened[0]));
    for (int i = 0; i < 3; ++i) {
        std::wstring name = FileNameOf(Sample(i));
        name = output + L"\\" + name.substr(0, name.size() - 4) + L".docx";
        EXPECT_EQ(0, _waccess(name.c_str(), 0)) << Narrow(name);
    }
    wchar_t stored[MAX_PATH];
    CfgGetOutputDir(g_szCfgPath, stored);
    EXPECT_TRUE(SameFolderName(output, stored)) << "the typed folder is stored at Convert";
}

TEST_F(MainWindow, TextOutputAndRemovedMiddleRowKeepRowsOnTheirJobs)
{
    OpenWindow();
    AddSamples({0, 1, 2});
    m_dlg->m_listFiles.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    Click(IDC_REMOVE);
    ASSERT_EQ(2, Rows());
    EXPECT_EQ(FileNameOf(Sample(2)), Cell(0, 0));
    EXPECT_EQ(FileNameOf(Sample(0)), Cell(1, 0));
    EXPECT_EQ(1u, m_dlg->m_listFiles.GetItemData(0));
    EXPECT_EQ(0u, m_dlg->m_listFiles.GetItemData(1));

    const std::wstring output = UseOutputFolder("ui_text_run_out");
    m_dlg->m_comboConvertTo.SetCurSel(1);
    Click(IDC_CONVERT);
    m_dlg->m_comboConvertTo.SetCurSel(0);  // a change during the run has no effect on it
    ASSERT_TRUE(PumpUntil([&] { return RunOver(); }));
    EXPECT_EQ(kDone, Cell(0, 4));
    EXPECT_EQ(kDone, Cell(1, 4));
    EXPECT_EQ(2 + 2 * (1 + 2), m_dlg->m_progress.m_nPos);
    for (int i : {0, 2}) {
        std::wstring name = FileNameOf(Sample(i));
        name = output + L"\\" + name.substr(0, name.size() - 4) + L".txt";
        EXPECT_EQ(0, _waccess(name.c_str(), 0)) << Narrow(name);
    }
    std::wstring removed = FileNameOf(Sample(1));
    removed = output + L"\\" + removed.substr(0, removed.size() - 4) + L".txt";
    EXPECT_NE(0, _waccess(removed.c_str(), 0));

    // Remove all clears the list; on an empty list it does nothing visible.
    Click(IDC_REMOVE_ALL);
    EXPECT_EQ(0, Rows());
    EXPECT_EQ(0, m_dlg->Jobs().GetJobCount());
    Click(IDC_REMOVE_ALL);
    Click(IDC_REMOVE);
    EXPECT_EQ(1u, m_log.boxes.size()) << "only the end-of-run question";
}

TEST_F(MainWindow, ListChangesAreRefusedDuringARunAndStopAsksFirst)
{
    OpenWindow();
    AddSamples({0, 1});
    UseOutputFolder("ui_stop_out");
    Click(IDC_CONVERT);
    // The worker waits for this thread at its first row text, so the run is surely going.
    ASSERT_TRUE(m_dlg->Jobs().m_hThread);
    m_log.selection = {Sample(2)};
    Click(IDC_ADD);
    m_dlg->m_listFiles.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    Click(IDC_REMOVE);
    Click(IDC_REMOVE_ALL);
    EXPECT_EQ((std::vector<std::wstring>{kBusy, kBusy, kBusy}), BoxTexts());
    EXPECT_EQ(2, Rows());
    EXPECT_EQ(2, m_dlg->Jobs().GetJobCount());

    m_log.boxes.clear();
    m_log.answers = {IDNO};
    Click(IDC_STOP);
    ASSERT_EQ(1u, m_log.boxes.size());
    EXPECT_EQ(kStopQuestion, m_log.boxes[0].text);
    EXPECT_EQ(0, m_dlg->Jobs().m_bStop.load());

    m_log.answers = {IDYES};
    Click(IDC_STOP);
    EXPECT_EQ(1, m_dlg->Jobs().m_bStop.load());
    ASSERT_TRUE(PumpUntil([&] { return RunOver(); }));
    ASSERT_EQ(3u, m_log.boxes.size());
    EXPECT_EQ(kRunStopped, m_log.boxes[2].text);
    EXPECT_EQ(0, m_dlg->m_progress.m_nPos);
    EXPECT_TRUE(Visible(IDC_CONVERT));
    EXPECT_TRUE(m_log.opened.empty());
}

DWORD WINAPI FinishLate(void* param)
{
    Sleep(300);
    static_cast<CJobList*>(param)->m_hThread = nullptr;
    return 0;
}

TEST_F(MainWindow, ConvertWaitsForAWorkerThatIsStillLeaving)
{
    OpenWindow();
    AddSamples({2});
    UseOutputFolder("ui_late_worker_out");
    // The previous run has been reported over, but its thread has not let go yet.
    m_dlg->Jobs().m_hThread = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2));
    HANDLE leaving = CreateThread(nullptr, 0, FinishLate, &m_dlg->Jobs(), 0, nullptr);
    Click(IDC_CONVERT);
    ASSERT_TRUE(PumpUntil([&] { return RunOver(); }));
    WaitForSingleObject(leaving, INFINITE);
    CloseHandle(leaving);
    EXPECT_EQ(kDone, Cell(0, 4)) << "the new run went through";
    ASSERT_EQ(1u, m_log.boxes.size());
    EXPECT_EQ(kRunDone, m_log.boxes[0].text);
}

TEST_F(MainWindow, InvalidTypedOutputFolderStopsConvert)
{
    OpenWindow();
    AddSamples({2});
    m_dlg->SetDlgItemText(IDC_OUTPUT_DIR, L"Out\\New");
    Click(IDC_CONVERT);
    ASSERT_EQ(1u, m_log.boxes.size());
    EXPECT_EQ(L"Out\\New\n\nThe path is invalidate,please input again! ", m_log.boxes[0].text);
    EXPECT_FALSE(m_dlg->Jobs().m_hThread);
    EXPECT_TRUE(Visible(IDC_CONVERT));
}

TEST_F(MainWindow, ClosingDuringARunStopsTheWorkerAndLeavesAWholeOutput)
{
    OpenWindow();
    AddSamples({1});
    const std::wstring output = UseOutputFolder("ui_close_out");
    Click(IDC_CONVERT);
    ASSERT_TRUE(PumpUntil([&] {
        for (const stStateText& state : m_states)
            if (state.text.find(L"页面转换") == 0)
                return true;
        return false;
    }));
    Click(IDC_SYS_CLOSE);
    m_dlg->DestroyWindow();  // what the modal run does once its loop has ended
    EXPECT_FALSE(m_dlg->Jobs().m_hThread);
    Pump();
    // The document being written was closed properly: a complete zip package.
    std::ifstream docx(Narrow(output + L"\\gen-v-impress-slides.docx"), std::ios::binary);
    ASSERT_TRUE(docx.good());
    const std::string bytes((std::istreambuf_iterator<char>(docx)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 22u);
    EXPECT_EQ("PK", bytes.substr(0, 2));
    EXPECT_NE(std::string::npos, bytes.rfind(std::string("PK\x05\x06", 4)));
}

TEST_F(MainWindow, WebLinksCarrySidAndSrc)
{
    OpenWindow();
    const std::wstring pubIni = TestScratchFolderW("ui_pub_ini") + L"pub.ini";
    std::ofstream(Narrow(pubIni)) << "[PubInfo]\nsrc=7\n";
    wcscpy(g_szPubIniPath, pubIni.c_str());
    const std::wstring sid = std::to_wstring(KernelAppId());
    Click(IDC_HELP_PAGE);
    Click(IDC_SYS_HELP);
    Click(IDC_SERVICE);
    wcscpy(g_szPubIniPath, (pubIni + L".missing").c_str());
    Click(IDC_SERVICE);
    const std::vector<std::wstring> expected = {
        L"www.example.com/helper.aspx?sid=" + sid, L"www.example.com/helper.aspx?sid=" + sid,
        L"www.example.com/kefu.aspx?sid=" + sid + L"&src=7", L"www.example.com/kefu.aspx?sid=" + sid + L"&src=0"};
    EXPECT_EQ(expected, m_log.opened);
}

// ---- the version check's answer ---------------------------------------------------------
struct stUpdateLog {
    std::vector<std::wstring> questions;
    std::vector<std::wstring> captions;
    std::vector<std::wstring> started;
};
stUpdateLog* g_update = nullptr;

void NoBeep(UINT)
{ }
int AskNo(const wchar_t* text, const wchar_t* caption)
{
    g_update->questions.push_back(text);
    g_update->captions.push_back(caption);
    return IDNO;
}
BOOL RecordStart(const wchar_t* application, wchar_t* commandLine)
{
    g_update->started.push_back(std::wstring(application ? application : L"") + L"|" +
                                (commandLine ? commandLine : L""));
    return TRUE;
}

TEST_F(MainWindow, AnnouncedVersionsAskOrDownloadAsTheirNumbersSay)
{
    OpenWindow();
    stUpdateLog log;
    g_update = &log;
    const stUpdateHooks saved = UpdateHooks();
    SetUpdateHooks({NoBeep, AskNo, RecordStart});
    const char url[] = "http://update.example.net/talvern-1.1.exe";
    strcpy(m_dlg->m_verCheck.szDownUrl, url);
    m_dlg->m_verCheck.nDownUrlLen = (int)strlen(url);
    strcpy(m_dlg->m_verCheck.szMd5, "0123456789abcdef0123456789abcdef");
    m_dlg->m_verCheck.nMd5Len = 32;

    const uint32_t own = KernelAppVer();
    m_dlg->OnVersion((int32_t)own);
    EXPECT_TRUE(log.questions.empty()) << "the same version asks nothing";
    m_dlg->OnVersion((int32_t)(own + 1));
    ASSERT_EQ(1u, log.questions.size());
    EXPECT_EQ(L"检查到有新版本软件,您是否要下载更新?", log.questions[0]);
    EXPECT_EQ(kProductName, log.captions[0]);
    EXPECT_TRUE(log.started.empty()) << "answered No";
    m_dlg->OnVersion((int32_t)((own & 0xFFFF0000u) + 0x00010000u));
    EXPECT_EQ(1u, log.questions.size()) << "a higher major downloads without asking";
    ASSERT_EQ(1u, log.started.size());
    EXPECT_NE(std::wstring::npos, log.started[0].find(L"wexor.exe"));
    EXPECT_NE(std::wstring::npos, log.started[0].find(L"-url\"http://update.example.net/talvern-1.1.exe\""));
    SetUpdateHooks(saved);
    g_update = nullptr;
}

// ---- the About dialog, driven from a timer inside its modal run ------------------------
struct stAboutScript {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    bool sawAbout = false;
    bool stillOpenAfterEscape = false;
};
stAboutScript* g_about = nullptr;

BOOL CALLBACK FindAboutWindow(HWND hwnd, LPARAM found)
{
    if (::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, IDC_ABOUT_OK)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AboutTimer(HWND, UINT, UINT_PTR, DWORD)
{
    HWND about = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindAboutWindow, reinterpret_cast<LPARAM>(&about));
    if (!about || !g_about || g_about->next >= g_about->steps.size())
        return;
    g_about->sawAbout = true;
    g_about->steps[g_about->next++](about);
}

TEST_F(MainWindow, AboutIgnoresEscapeClosesOnOkAndOpensItsLinks)
{
    OpenWindow();
    stAboutScript script;
    script.steps = {
        [&](HWND about) {
            wchar_t caption[64] = {};
            // The skin caption is drawn, not the window text; check what the dialog shows instead.
            ::GetDlgItemTextW(about, IDC_ABOUT_NAME, caption, 64);
            EXPECT_STREQ(L"QuenbyTalvern软件 1.0.0.8", caption);
            ::SendMessageW(about, WM_COMMAND, IDCANCEL, 0);  // what Escape becomes
            ::SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_MAIL, STN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(about, IDC_ABOUT_MAIL)));
            ::SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_MAIL2, STN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(about, IDC_ABOUT_MAIL2)));
            ::SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_WEB, STN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(about, IDC_ABOUT_WEB)));
        },
        [&](HWND about) {
            script.stillOpenAfterEscape = true;
            ::SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(about, IDC_ABOUT_OK)));
        },
    };
    g_about = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AboutTimer);
    Click(IDC_ABOUT);  // returns when the dialog has closed
    EXPECT_TRUE(script.sawAbout);
    EXPECT_TRUE(script.stillOpenAfterEscape);
    EXPECT_EQ(2u, script.next);
    const std::vector<std::wstring> expected = {L"mailto:support@example.com", L"mailto:service@example.org",
                                                L"www.example.com"};
    EXPECT_EQ(expected, m_log.opened);

    // The system-menu entry opens the same dialog; its close button ends it.
    stAboutScript viaMenu;
    viaMenu.steps = {[&](HWND about) {
        ::SendMessageW(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_CLOSE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(about, IDC_ABOUT_CLOSE)));
    }};
    g_about = &viaMenu;
    m_dlg->SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_EQ(1u, viaMenu.next);
    KillTimer(nullptr, timer);
    g_about = nullptr;
}

TEST_F(MainWindow, SettingsChoosesTheWordLayoutOkStoresItCancelAndCloseLeaveIt)
{
    OpenWindow();
    ASSERT_TRUE(CfgSetWordLayout(g_szCfgPath, WORD_LAYOUT_CLASSIC));
    const std::wstring faithful = L"忠实于原文版式(表格,分栏,对齐)";
    const std::wstring classic = L"经典版式(连续段落)";

    // Its texts come from the text table; it shows the stored choice; Escape and Enter leave it open.
    bool stillOpen = false;
    int extraTicks = 0;
    size_t played =
        ClickSettings({[&](HWND settings) {
                           wchar_t title[64] = {};
                           ::GetWindowTextW(settings, title, 64);
                           EXPECT_STREQ(L"系统设置", title);
                           EXPECT_EQ(L"Word版式:", ItemText(settings, IDC_SETTINGS_LAYOUT_LABEL));
                           EXPECT_EQ(2, ::SendDlgItemMessageW(settings, IDC_SETTINGS_LAYOUT, CB_GETCOUNT, 0, 0));
                           EXPECT_EQ(faithful, ComboItem(settings, IDC_SETTINGS_LAYOUT, 0));
                           EXPECT_EQ(classic, ComboItem(settings, IDC_SETTINGS_LAYOUT, 1));
                           EXPECT_EQ(1, ComboSelection(settings, IDC_SETTINGS_LAYOUT));
                           EXPECT_EQ(L"确定", ItemText(settings, IDC_SETTINGS_OK));
                           EXPECT_EQ(L"取消", ItemText(settings, IDC_SETTINGS_CANCEL));
                           RECT client;
                           ::GetClientRect(settings, &client);
                           EXPECT_EQ(520, client.right) << "the size of the dialog frame picture";
                           ::SendDlgItemMessageW(settings, IDC_SETTINGS_LAYOUT, CB_SETCURSEL, 0, 0);
                           ::SendMessageW(settings, WM_COMMAND, IDCANCEL, 0);  // what Escape becomes
                           ::SendMessageW(settings, WM_COMMAND, IDOK, 0);  // what Enter becomes
                       },
                       [&](HWND settings) {
                           stillOpen = true;
                           PressButton(settings, IDC_SETTINGS_CANCEL);
                       }},
                      &extraTicks);
    EXPECT_EQ(2u, played);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(0, extraTicks);
    EXPECT_EQ(WORD_LAYOUT_CLASSIC, CfgGetWordLayout(g_szCfgPath)) << "Cancel stores nothing";

    // OK stores the choice.
    played = ClickSettings({[&](HWND settings) {
        EXPECT_EQ(1, ComboSelection(settings, IDC_SETTINGS_LAYOUT));
        ::SendDlgItemMessageW(settings, IDC_SETTINGS_LAYOUT, CB_SETCURSEL, 0, 0);
        PressButton(settings, IDC_SETTINGS_OK);
    }});
    EXPECT_EQ(1u, played);
    EXPECT_EQ(WORD_LAYOUT_FAITHFUL, CfgGetWordLayout(g_szCfgPath));

    // Shown again with the stored choice; the close caption button stores nothing.
    played = ClickSettings({[&](HWND settings) {
        EXPECT_EQ(0, ComboSelection(settings, IDC_SETTINGS_LAYOUT));
        ::SendDlgItemMessageW(settings, IDC_SETTINGS_LAYOUT, CB_SETCURSEL, 1, 0);
        PressButton(settings, IDC_SETTINGS_CLOSE);
    }});
    EXPECT_EQ(1u, played);
    EXPECT_EQ(WORD_LAYOUT_FAITHFUL, CfgGetWordLayout(g_szCfgPath));
    EXPECT_TRUE(m_log.boxes.empty());

    // A run takes the stored layout.
    AddSamples({2});
    const std::wstring output = UseOutputFolder("ui_settings_run_out");
    EXPECT_EQ(WORD_LAYOUT_DEFAULT, m_dlg->Jobs().m_nWordLayout);
    Click(IDC_CONVERT);
    ASSERT_TRUE(PumpUntil([&] { return RunOver(); }));
    EXPECT_EQ(WORD_LAYOUT_FAITHFUL, m_dlg->Jobs().m_nWordLayout);
    std::wstring name = FileNameOf(Sample(2));
    name = output + L"\\" + name.substr(0, name.size() - 4) + L".docx";
    EXPECT_EQ(0, _waccess(name.c_str(), 0)) << Narrow(name);
    CfgSetWordLayout(g_szCfgPath, WORD_LAYOUT_DEFAULT);  // the later runs of the suite use the default
}

// ---- the folder chooser, with a stand-in browser window --------------------------------
INT_PTR CALLBACK StandInProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A small dialog with the browser's tree, status text and OK button, made from memory.
HWND CreateStandInBrowser()
{
    struct {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
    } tmpl = {};
    tmpl.dlg.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    tmpl.dlg.cx = 200;
    tmpl.dlg.cy = 150;
    HWND browser = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tmpl.dlg, nullptr, StandInProc, 0);
    CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE, 10, 60, 200, 100, browser,
                    reinterpret_cast<HMENU>(IDC_BROWSER_TREE), nullptr, nullptr);
    CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 5, 200, 20, browser,
                    reinterpret_cast<HMENU>(IDC_BROWSER_STATUS), nullptr, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 170, 60, 20, browser, reinterpret_cast<HMENU>(IDOK),
                    nullptr, nullptr);
    return browser;
}

TEST_F(MainWindow, ChangeFolderChecksTheTypedPathAndStoresIt)
{
    OpenWindow();
    const std::wstring base = TestScratchFolderW("ui_chooser");
    CreateDirectoryW((base + L"Out").c_str(), nullptr);
    struct stCase {
        std::wstring typed;
        std::deque<int> answers;
        bool accepted;
        size_t boxes;
    } const cases[] = {
        {base + L"Out\\New", {IDNO}, false, 2},  // question, then the invalid-path message
        {L"C:\\a<b", {}, false, 1},
        {L"C:\\ a", {}, false, 1},
        {L"C:\\a.", {}, false, 1},
        {L"C:\\\\a", {}, false, 1},
        {L"Out\\New", {}, false, 1},
        {L"\\\\server\\share", {}, false, 1},
        {L"Q:\\", {IDYES}, false, 2},  // a missing drive root cannot be created
        {L"C:\\", {}, true, 0},
        {base + L"Out\\New", {IDYES}, true, 1},  // created on Yes
    };
    for (const stCase& c : cases) {
        m_log.boxes.clear();
        m_log.answers = c.answers;
        bool stayedOpen = false;
        m_log.browse = [&](BROWSEINFOW* info) {
            HWND browser = CreateStandInBrowser();
            info->lpfn(browser, BFFM_INITIALIZED, 0, info->lParam);
            HWND typed = ::GetDlgItem(browser, IDC_PATH_TYPED);
            EXPECT_TRUE(typed != nullptr);
            ::SetWindowTextW(typed, c.typed.c_str());
            ::SendMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(browser, IDOK)));
            stayedOpen = ::GetFocus() == typed;
            ::DestroyWindow(browser);
        };
        const CString before = m_dlg->OutputFolder();
        Click(IDC_CHANGE_FOLDER);
        if (c.accepted) {
            EXPECT_EQ(c.typed, m_dlg->OutputFolder().Str()) << Narrow(c.typed);
            wchar_t stored[MAX_PATH];
            CfgGetOutputDir(g_szCfgPath, stored);
            EXPECT_EQ(c.typed, std::wstring(stored));
            CString shown;
            m_dlg->m_editOutputDir.GetWindowText(shown);
            EXPECT_EQ(c.typed, shown.Str());
        } else {
            EXPECT_EQ(before.Str(), m_dlg->OutputFolder().Str()) << Narrow(c.typed);
            EXPECT_TRUE(stayedOpen) << Narrow(c.typed);
        }
        EXPECT_EQ(c.boxes, m_log.boxes.size()) << Narrow(c.typed);
        if (!c.accepted && !m_log.boxes.empty()) {
            EXPECT_NE(std::wstring::npos, m_log.boxes.back().text.find(L"The path is invalidate,please input again! "));
        }
    }
    EXPECT_EQ(0, _waccess((base + L"Out\\New").c_str(), 0));
    m_log.browse = nullptr;
}

TEST_F(MainWindow, DroppedFilesAndFoldersAreAddedAsByAdd)
{
    OpenWindow();
    const std::wstring folder = TestScratchFolderW("ui_drop");
    for (int i : {0, 2}) {
        const std::wstring target = folder + FileNameOf(Sample(i));
        CopyFileW(Sample(i).c_str(), target.c_str(), FALSE);
    }
    // An HDROP as the shell builds it: DROPFILES, then the wide paths, then an empty one.
    const std::wstring paths = folder.substr(0, folder.size() - 1) + L'\0' + Sample(1) + L'\0' + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + paths.size() * sizeof(wchar_t));
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, paths.data(), paths.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    m_dlg->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    ASSERT_EQ(3, Rows());
    EXPECT_EQ(FileNameOf(Sample(1)), Cell(0, 0));
    EXPECT_EQ(FileNameOf(Sample(2)), Cell(1, 0));
    EXPECT_EQ(FileNameOf(Sample(0)), Cell(2, 0));
}

}  // namespace
