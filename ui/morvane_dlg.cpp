#include "morvane_dlg.h"

#include <shellapi.h>
#include <string.h>

#include "about_dlg.h"
#include "ostrel.h"
#include "res_text.h"
#include "resource.h"
#include "services.h"
#include "settings_dlg.h"
#include "settings_file.h"
#include "skin_pictures.h"
#include "text_list.h"
#include "update_decision.h"
#include "web_address.h"

namespace {

const COLORREF kDarkText = RGB(64, 64, 64);
const COLORREF kLightBack = RGB(241, 241, 241);
const COLORREF kBlueBorder = RGB(91, 147, 209);

const int kTxtFileFilter = 0x10000002;
const int kTxtConvertKinds = 0x1000000d;
const int kTxtWindowTitle = 13;
const int kTxtUpdateQuestion = 0x1000000e;
const int kTxtUpdateAddress = 2;
const int kTxtHelpPage = 3;
const int kTxtServicePage = 8;
const int kPicBackground = 0x10000001;

// Pictures of the window's buttons (five-frame strips of the resource pack).
const int32_t kPicSysHelp = 0x10000002;
const int32_t kPicSysMin = 0x10000003;
const int32_t kPicSysClose = 0x10000004;
const int32_t kPicConvert = 0x10000005;
const int32_t kPicStop = 0x10000006;
const int32_t kPicAdd = 0x10000007;
const int32_t kPicRemove = 0x10000008;
const int32_t kPicRemoveAll = 0x10000009;
const int32_t kPicService = 0x1000000a;
const int32_t kPicHelp = 0x1000000c;
const int32_t kPicSettings = 0x1000000d;
const int32_t kPicAbout = 0x1000000e;
const int32_t kPicExit = 0x1000000f;
const int32_t kPicChangeFolder = 0x10000010;
const int32_t kPicOpenFolder = 0x10000011;

// Tooltip texts of the window's buttons.
const int32_t kTipSysHelp = 0x20000001;
const int32_t kTipSysMin = 0x20000002;
const int32_t kTipSysClose = 0x20000003;
const int32_t kTipAdd = 0x20000004;
const int32_t kTipStop = 0x20000005;
const int32_t kTipRemoveAll = 0x20000006;
const int32_t kTipConvert = 0x20000007;
const int32_t kTipRemove = 0x20000008;
const int32_t kTipService = 0x20000009;
const int32_t kTipHelp = 0x2000000b;
const int32_t kTipSettings = 0x2000000c;
const int32_t kTipAbout = 0x2000000d;
const int32_t kTipExit = 0x2000000e;
const int32_t kTipChangeFolder = 0x2000000f;
const int32_t kTipOpenFolder = 0x20000010;

// The button member a row of the control table stands for.
using ButtonOf = qrn_SkinBtn& (*)(CMorvaneDlg&);

template <auto Member> qrn_SkinBtn& Button(CMorvaneDlg& dlg)
{
    return dlg.*Member;
}

// A button of the window with its member, picture, tooltip and place. Placed from the right
// edge when fromRight is set (the caption buttons). The rows are in the order in which the
// buttons are bound and their pictures fetched.
struct stButtonRow {
    int nId;
    ButtonOf member;
    int32_t nPicture;
    int32_t nToolTip;
    int x, y;
    bool fromRight;
};

const stButtonRow kButtons[] = {
    {IDC_SYS_HELP, Button<&CMorvaneDlg::m_btnSysHelp>, kPicSysHelp, kTipSysHelp, 95, 0, true},
    {IDC_SYS_MIN, Button<&CMorvaneDlg::m_btnSysMin>, kPicSysMin, kTipSysMin, 66, 0, true},
    {IDC_SYS_CLOSE, Button<&CMorvaneDlg::m_btnSysClose>, kPicSysClose, kTipSysClose, 37, 0, true},
    {IDC_CONVERT, Button<&CMorvaneDlg::m_btnConvert>, kPicConvert, kTipConvert, 17, 53, false},
    {IDC_STOP, Button<&CMorvaneDlg::m_btnStop>, kPicStop, kTipStop, 17, 53, false},
    {IDC_ADD, Button<&CMorvaneDlg::m_btnAdd>, kPicAdd, kTipAdd, 17, 338, false},
    {IDC_REMOVE, Button<&CMorvaneDlg::m_btnRemove>, kPicRemove, kTipRemove, 17, 385, false},
    {IDC_REMOVE_ALL, Button<&CMorvaneDlg::m_btnRemoveAll>, kPicRemoveAll, kTipRemoveAll, 17, 432, false},
    {IDC_SERVICE, Button<&CMorvaneDlg::m_btnService>, kPicService, kTipService, 517, 34, false},
    {IDC_HELP_PAGE, Button<&CMorvaneDlg::m_btnHelp>, kPicHelp, kTipHelp, 639, 34, false},
    {IDC_SETTINGS, Button<&CMorvaneDlg::m_btnSettings>, kPicSettings, kTipSettings, 700, 34, false},
    {IDC_ABOUT, Button<&CMorvaneDlg::m_btnAbout>, kPicAbout, kTipAbout, 761, 34, false},
    {IDC_EXIT, Button<&CMorvaneDlg::m_btnExit>, kPicExit, kTipExit, 822, 34, false},
    {IDC_CHANGE_FOLDER, Button<&CMorvaneDlg::m_btnChangeFolder>, kPicChangeFolder, kTipChangeFolder, 430, 65, false},
    {IDC_OPEN_FOLDER, Button<&CMorvaneDlg::m_btnOpenFolder>, kPicOpenFolder, kTipOpenFolder, 455, 65, false},
};

// The order in which the tooltips are added: the caption buttons, then by control id.
const int kToolTipOrder[] = {IDC_SYS_HELP,   IDC_SYS_MIN, IDC_SYS_CLOSE, IDC_ADD,           IDC_STOP,
                             IDC_REMOVE_ALL, IDC_CONVERT, IDC_REMOVE,    IDC_SERVICE,       IDC_HELP_PAGE,
                             IDC_SETTINGS,   IDC_ABOUT,   IDC_EXIT,      IDC_CHANGE_FOLDER, IDC_OPEN_FOLDER};

const stButtonRow* FindButtonRow(int id)
{
    for (const stButtonRow& row : kButtons)
        if (row.nId == id)
            return &row;
    return nullptr;
}

void ReplaceBrush(HBRUSH& brush, COLORREF colour)
{
    if (brush)
        DeleteObject(brush);
    brush = CreateSolidBrush(colour);
}

}  // namespace

BEGIN_MESSAGE_MAP(CMorvaneDlg, qrn_SkinDlg)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_SYS_HELP, OnHelpPage)
ON_BN_CLICKED(IDC_HELP_PAGE, OnHelpPage)
ON_BN_CLICKED(IDC_SYS_MIN, OnSysMinimize)
ON_BN_CLICKED(IDC_SYS_CLOSE, OnCloseWindow)
ON_BN_CLICKED(IDC_EXIT, OnCloseWindow)
ON_BN_CLICKED(IDC_CONVERT, OnConvert)
ON_BN_CLICKED(IDC_STOP, OnStop)
ON_BN_CLICKED(IDC_ADD, OnAdd)
ON_BN_CLICKED(IDC_REMOVE, OnRemove)
ON_BN_CLICKED(IDC_REMOVE_ALL, OnRemoveAll)
ON_BN_CLICKED(IDC_SERVICE, OnServicePage)
ON_BN_CLICKED(IDC_SETTINGS, OnSettings)
ON_BN_CLICKED(IDC_ABOUT, OnAboutBox)
ON_BN_CLICKED(IDC_CHANGE_FOLDER, OnChangeFolder)
ON_BN_CLICKED(IDC_OPEN_FOLDER, OnOpenFolder)
ON_MESSAGE(WM_CONVERT_DONE, OnConvertDone)
ON_MESSAGE(WM_DROPFILES, OnDropFiles)
END_MESSAGE_MAP()

CMorvaneDlg::CMorvaneDlg() : qrn_SkinDlg(IDD_MORVANE_DIALOG), m_hIcon(nullptr), m_nConvType(0)
{
    m_fontHeader.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    memset(m_szFileFilter, 0, sizeof(m_szFileFilter));
    memset(&m_verCheck, 0, sizeof(m_verCheck));
    m_hIcon = static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                            LR_DEFAULTSIZE | LR_SHARED));
    m_clrCtlText = kDarkText;
    if (m_hCtlBrush)
        ReplaceBrush(m_hCtlBrush, kLightBack);
}

CMorvaneDlg::~CMorvaneDlg()
{
    // The window is gone by now (WM_DESTROY waited for the worker); the jobs go with it.
    m_fontHeader.DeleteObject();
    m_jobList.ClearJobs();
}

void CMorvaneDlg::DoDataExchange(CDataExchange* pDX)
{
    qrn_SkinDlg::DoDataExchange(pDX);
    for (const stButtonRow& row : kButtons)
        DDX_Control(pDX, row.nId, row.member(*this));
    DDX_Control(pDX, IDC_FILE_LIST, m_listFiles);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_OUTPUT_LABEL, m_lblOutputDir);
    DDX_Control(pDX, IDC_OUTPUT_DIR, m_editOutputDir);
    DDX_Control(pDX, IDC_CONVERT_TO_LABEL, m_lblConvertTo);
    DDX_Control(pDX, IDC_CONVERT_TO, m_comboConvertTo);
    DDX_Text(pDX, IDC_OUTPUT_DIR, m_strOutputDir);
    DDX_CBIndex(pDX, IDC_CONVERT_TO, m_nConvType);
}

BOOL CMorvaneDlg::OnInitDialog()
{
    m_bClosing = false;
    m_bRunning = false;
    qrn_SkinDlg::OnInitDialog();

    if (CMenu* sysMenu = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            sysMenu->AppendMenu(MF_SEPARATOR);
            sysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    wchar_t kinds[kTextListChars];
    QueryText(kTxtConvertKinds, kinds, kTextListChars);
    stTextList kindList;
    const int kindCount = LoadTextList(kinds, &kindList);
    for (int i = 0; i < kindCount; ++i) {
        wchar_t item[MAX_PATH];
        if (GetTextListItem(&kindList, i, item, sizeof(item)))
            m_comboConvertTo.AddString(item);
    }

    ApplySkinColours();
    SetupFileList();
    AddToolTips();

    wchar_t title[MAX_PATH];
    QueryText(kTxtWindowTitle, title, MAX_PATH);
    SetWindowText(title);

    m_btnStop.ShowWindow(SW_HIDE);
    m_progress.m_nRange = 100;
    m_progress.m_nPos = 0;
    RepaintProgress();

    wchar_t folder[MAX_PATH] = {};
    if (g_szCfgPath)
        CfgGetOutputDir(g_szCfgPath, folder);
    m_strOutputDir = folder;
    UpdateData(FALSE);

    DragAcceptFiles(m_hWnd, TRUE);
    StartUpdateCheck();
    return TRUE;
}

void CMorvaneDlg::ApplySkinColours()
{
    for (qrn_SkinStatic* label : {&m_lblOutputDir, &m_lblConvertTo}) {
        label->m_clrText = kDarkText;
        label->SetBackColor(kLightBack);
    }
    m_editOutputDir.SetBackColor(kLightBack);
    m_editOutputDir.m_clrBorder = kBlueBorder;
    m_listFiles.m_clrBorder = kBlueBorder;
    m_progress.m_clrBorder = kBlueBorder;
    m_progress.m_nBarBrush = 1;
}

void CMorvaneDlg::AddToolTips()
{
    for (int id : kToolTipOrder) {
        const stButtonRow* row = FindButtonRow(id);
        wchar_t tip[MAX_PATH];
        QueryText(row->nToolTip, tip, MAX_PATH);
        AddControlToolTip(this, tip, id);
    }
}

// The folder part of path, trailing backslash kept; empty without a path.
static void FolderOf(const wchar_t* path, wchar_t* folder)
{
    memset(folder, 0, MAX_PATH * sizeof(wchar_t));
    if (!path)
        return;
    wcsncpy(folder, path, MAX_PATH - 1);
    if (wchar_t* slash = wcsrchr(folder, L'\\'))
        slash[1] = 0;
    else
        folder[0] = 0;
}

static const wchar_t* ProductName()
{
    return AfxGetApp() && AfxGetApp()->m_pszAppName ? AfxGetApp()->m_pszAppName : L"";
}

void CMorvaneDlg::StartUpdateCheck()
{
    wchar_t addressTemplate[kWebAddressChars];
    wchar_t question[kWebAddressChars];
    QueryText(kTxtUpdateAddress, addressTemplate, kWebAddressChars);
    QueryText(kTxtUpdateQuestion, question, kWebAddressChars);
    wchar_t dataFolder[MAX_PATH];  // the per-user data folder holds the settings file
    wchar_t programFolder[MAX_PATH];  // pub.ini lies beside the program
    FolderOf(g_szCfgPath, dataFolder);
    FolderOf(g_szPubIniPath, programFolder);
    stVerCheckSetup setup = {};
    setup.szAddressTemplate = addressTemplate;
    setup.nAppId = KernelAppId();
    setup.nSrc = PubIniSrc();
    setup.nAppVer = KernelAppVer();
    setup.szQuestion = question;
    setup.szCaption = ProductName();
    setup.szDataFolder = dataFolder;
    setup.szProgramFolder = programFolder;
    // The check answers a decision object of its own, which outlives this window if need be.
    StartVersionCheck(setup);
}

// The same decision for an answer delivered to the window itself.
void CMorvaneDlg::OnVersion(int32_t nVersion)
{
    wchar_t question[kWebAddressChars];
    QueryText(kTxtUpdateQuestion, question, kWebAddressChars);
    wchar_t dataFolder[MAX_PATH];
    wchar_t programFolder[MAX_PATH];
    FolderOf(g_szCfgPath, dataFolder);
    FolderOf(g_szPubIniPath, programFolder);
    m_verCheck.nVersion = nVersion;
    CUpdateDecision decision(&m_verCheck, KernelAppVer(), question, ProductName(), dataFolder, programFolder);
    decision.OnVersion(nVersion);
}

qrn_SkinBtn* CMorvaneDlg::SkinButton(int id)
{
    const stButtonRow* row = FindButtonRow(id);
    return row ? &row->member(*this) : nullptr;
}

int CMorvaneDlg::LoadSkin()
{
    if (!ResMgr())
        return 0;
    QueryText(kTxtFileFilter, m_szFileFilter, MAX_PATH);
    m_imgBack.Attach(LoadPicture(kPicBackground));
    for (const stButtonRow& row : kButtons)
        row.member(*this).SetImage(LoadPicture(row.nPicture));
    return 0;
}

int CMorvaneDlg::FreeSkin()
{
    if (!ResMgr())
        return 0;
    FreePicture(static_cast<HBITMAP>(m_imgBack.Detach()));
    for (const stButtonRow& row : kButtons)
        FreePicture(row.member(*this).ReleaseImage());
    return 0;
}

int CMorvaneDlg::LayoutControls()
{
    RECT client;
    GetClientRect(&client);
    const int width = client.right - client.left;
    for (const stButtonRow& row : kButtons) {
        const int x = row.fromRight ? width - row.x : row.x;
        if (HWND button = ::GetDlgItem(m_hWnd, row.nId))
            ::SetWindowPos(button, nullptr, x, row.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    struct {
        int id, x, y, w, h;
    } const places[] = {
        {IDC_CONVERT_TO_LABEL, 17, 130, 75, 18}, {IDC_CONVERT_TO, 17, 150, 150, 18},
        {IDC_OUTPUT_LABEL, 176, 45, 75, 18},     {IDC_OUTPUT_DIR, 176, 65, 250, 20},
        {IDC_FILE_LIST, 176, 92, 727, 351},      {IDC_PROGRESS, 176, 454, 711, 16},
    };
    for (const auto& place : places)
        if (HWND control = ::GetDlgItem(m_hWnd, place.id))
            ::SetWindowPos(control, nullptr, place.x, place.y, place.w, place.h, SWP_NOZORDER);
    return 1;
}

void CMorvaneDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFFF) >= 0x0010 && (id & 0xFFFF) <= 0x001F) {
        OnAboutBox();
        return;
    }
    qrn_SkinDlg::OnSysCommand(id, lParam);
}

void CMorvaneDlg::OnPaint()
{
    if (!IsIconic()) {
        qrn_SkinDlg::OnPaint();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
}

HCURSOR CMorvaneDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMorvaneDlg::OnSysMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

// The close caption button and Exit end the window whatever the ignore-cancel flag says.
void CMorvaneDlg::OnCloseWindow()
{
    CDialog::OnCancel();
}

void CMorvaneDlg::OnHelpPage()
{
    wchar_t address[kWebAddressChars];
    BuildWebAddress(kTxtHelpPage, false, address, kWebAddressChars);
    OpenWebAddress(address);
}

void CMorvaneDlg::OnServicePage()
{
    wchar_t address[kWebAddressChars];
    BuildWebAddress(kTxtServicePage, true, address, kWebAddressChars);
    OpenWebAddress(address);
}

void CMorvaneDlg::OnSettings()
{
    CSettingsDlg settings;
    settings.RunModal(nullptr);
}

void CMorvaneDlg::OnAboutBox()
{
    CAboutDlg about;
    about.RunModal(nullptr);
}
