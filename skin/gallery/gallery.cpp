// A test-only program that shows every skin control at once, so that one look (or one
// screenshot) shows the toolkit. Arguments: --res <folder of skin .bmp files> to use real
// pictures, --shot <file.bmp> to save a picture of the window and quit.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "dialog_template.h"
#include "gallery_images.h"
#include "skin.h"

namespace {

enum {
    IDC_LIST = 1000,
    IDC_PROGRESS = 1001,
    IDC_ADD = 1002,
    IDC_DISABLED = 1004,
    IDC_CONVERT = 1005,
    IDC_REMOVE = 1006,
    IDC_FOLDER = 1007,
    IDC_CLOSE = 1009,
    IDC_MIN = 1010,
    IDC_FOLDER_LABEL = 1012,
    IDC_KIND = 1021,
    IDC_KIND_LABEL = 1022,
    IDC_LINK = 1030,
};
const UINT_PTR kShotTimer = 1;

// Saves the window as it is on screen (the window must be visible and uncovered).
bool SaveWindowShot(HWND hWnd, const std::wstring& path)
{
    RECT r{};
    ::GetWindowRect(hWnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC src = ::GetWindowDC(hWnd);
    HDC mem = ::CreateCompatibleDC(src);
    HBITMAP bmp = ::CreateCompatibleBitmap(src, w, h);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, src, 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
    BITMAPINFOHEADER info{sizeof(info), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<unsigned char> bits(static_cast<size_t>(stride) * h);
    ::GetDIBits(mem, bmp, 0, static_cast<UINT>(h), bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(hWnd, src);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    ::WriteFile(out, &file, sizeof(file), &written, nullptr);
    ::WriteFile(out, &info, sizeof(info), &written, nullptr);
    ::WriteFile(out, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
    ::CloseHandle(out);
    return true;
}

class GalleryDlg : public qrn_SkinDlg {
public:
    GalleryDlg(const GalleryImages& images, const std::wstring& shot) : qrn_SkinDlg(0), m_images(images), m_shot(shot)
    {
        m_clrCtlText = RGB(64, 64, 64);
        ::DeleteObject(m_hCtlBrush);
        m_hCtlBrush = ::CreateSolidBrush(RGB(241, 241, 241));
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_MIN, m_min);
        DDX_Control(pDX, IDC_CLOSE, m_close);
        DDX_Control(pDX, IDC_CONVERT, m_convert);
        DDX_Control(pDX, IDC_ADD, m_add);
        DDX_Control(pDX, IDC_REMOVE, m_remove);
        DDX_Control(pDX, IDC_DISABLED, m_disabled);
        DDX_Control(pDX, IDC_LIST, m_list);
        DDX_Control(pDX, IDC_PROGRESS, m_progress);
        DDX_Control(pDX, IDC_FOLDER_LABEL, m_folderLabel);
        DDX_Control(pDX, IDC_FOLDER, m_folder);
        DDX_Control(pDX, IDC_KIND_LABEL, m_kindLabel);
        DDX_Control(pDX, IDC_KIND, m_kind);
        DDX_Control(pDX, IDC_LINK, m_link);
    }

    int LoadSkin() override
    {
        m_imgBack.Attach(m_images.Background(L"mwnd.bmp", 760, 430));
        m_min.SetImage(m_images.ButtonStrip(L"sbtn_min.bmp", 29, 22, L"_", RGB(20, 142, 195)));
        m_close.SetImage(m_images.ButtonStrip(L"sbtn_close.bmp", 37, 22, L"X", RGB(200, 60, 50)));
        m_convert.SetImage(m_images.ButtonStrip(L"btn_startconv.bmp", 140, 60, L"开始转换", RGB(33, 160, 60)));
        m_add.SetImage(m_images.ButtonStrip(L"btn_addpdf.bmp", 140, 40, L"添加文件", RGB(51, 114, 153)));
        m_remove.SetImage(m_images.ButtonStrip(L"btn_delpdf.bmp", 140, 40, L"删除文件", RGB(51, 114, 153)));
        m_disabled.SetImage(m_images.ButtonStrip(L"btn_clearpdfs.bmp", 140, 40, L"清除所有", RGB(51, 114, 153)));
        return 0;
    }

    int FreeSkin() override
    {
        for (qrn_SkinBtn* b : {static_cast<qrn_SkinBtn*>(&m_min), static_cast<qrn_SkinBtn*>(&m_close), &m_convert,
                               &m_add, &m_remove, &m_disabled}) {
            ::DeleteObject(b->ReleaseImage());
        }
        ::DeleteObject(m_imgBack.Detach());
        return 0;
    }

    int LayoutControls() override
    {
        const int W = m_nWidth;
        m_min.SetWindowPos(nullptr, W - 66, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_close.SetWindowPos(nullptr, W - 37, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_convert.SetWindowPos(nullptr, 17, 53, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_kindLabel.SetWindowPos(nullptr, 17, 130, 75, 18, SWP_NOZORDER);
        m_kind.SetWindowPos(nullptr, 17, 150, 140, 200, SWP_NOZORDER);
        m_add.SetWindowPos(nullptr, 17, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_remove.SetWindowPos(nullptr, 17, 297, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_disabled.SetWindowPos(nullptr, 17, 344, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_folderLabel.SetWindowPos(nullptr, 176, 45, 75, 18, SWP_NOZORDER);
        m_folder.SetWindowPos(nullptr, 176, 65, 300, 20, SWP_NOZORDER);
        m_link.SetWindowPos(nullptr, 490, 67, 240, 16, SWP_NOZORDER);
        m_list.SetWindowPos(nullptr, 176, 92, 570, 300, SWP_NOZORDER);
        m_progress.SetWindowPos(nullptr, 176, 404, 554, 16, SWP_NOZORDER);
        return 1;
    }

    BOOL OnInitDialog() override
    {
        qrn_SkinDlg::OnInitDialog();
        m_strCaption = L"Skin gallery - 皮肤控件一览";
        for (qrn_SkinStatic* label : {&m_folderLabel, &m_kindLabel, &m_link}) {
            label->m_clrText = RGB(64, 64, 64);
            label->SetBackColor(RGB(241, 241, 241));
        }
        m_link.m_clrText = RGB(20, 90, 200);
        m_folder.SetBackColor(RGB(241, 241, 241));
        m_folder.m_clrBorder = RGB(91, 147, 209);
        m_folder.SetWindowText(L"C:\\Users\\Reader\\Documents\\Talvern");
        m_kind.AddString(L"Word文件(.docx)");
        m_kind.AddString(L"文本文件(.txt)");
        m_kind.SetCurSel(0);
        m_disabled.EnableWindow(FALSE);

        const SkinListStyle style{7,     RGB(238, 237, 237), RGB(183, 184, 183), RGB(64, 64, 64), 15, FALSE, FALSE,
                                  FALSE, RGB(231, 241, 254)};
        m_list.m_clrBorder = RGB(91, 147, 209);
        m_list.AttachSkin(&style);
        const wchar_t* titles[] = {L"文件名", L"文件大小", L"页数", L"转换范围", L"转换状态"};
        const int widths[] = {300, 80, 80, 80, 160};
        for (int c = 0; c < 5; ++c)
            m_list.InsertColumn(c, titles[c], c ? LVCFMT_CENTER : LVCFMT_LEFT, widths[c]);
        for (int i = 0; i < 24; ++i) {
            CString name, pages, range, state;
            name.Format(L"报告-%02d.pdf", i + 1);
            pages.Format(L"%d", 3 + i % 7);
            range.Format(L"%d - %d", 1, 3 + i % 7);
            if (i < 3)
                state.Format(L"页面转换(%4.2f)", 100.0 * (i + 1) / 3);
            m_list.InsertItem(i, name);
            m_list.SetItemText(i, 1, L"2.00KB");
            m_list.SetItemText(i, 2, pages);
            m_list.SetItemText(i, 3, range);
            m_list.SetItemText(i, 4, state);
        }
        // The horizontal bar follows column changes (a user resizing a column).
        m_list.SetColumnWidth(4, widths[4] + 40);
        m_list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_progress.m_clrBorder = RGB(91, 147, 209);
        m_progress.m_nBarBrush = 1;
        m_progress.m_nRange = 100;
        m_progress.m_nPos = 60;
        AddControlToolTip(this, L"开始转换", IDC_CONVERT);
        AddControlToolTip(this, L"关闭", IDC_CLOSE);
        SetWindowText(L"Skin gallery");
        if (!m_shot.empty())
            SetTimer(kShotTimer, 600);
        return TRUE;
    }

    void OnClose() { CDialog::OnCancel(); }
    void OnMinimise() { ShowWindow(SW_MINIMIZE); }
    void OnTimer(UINT_PTR id)
    {
        if (id != kShotTimer)
            return;
        KillTimer(kShotTimer);
        m_kind.Invalidate();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SaveWindowShot(m_hWnd, m_shot);
        EndDialog(IDOK);
    }
    DECLARE_MESSAGE_MAP()

private:
    const GalleryImages& m_images;
    std::wstring m_shot;
    qrn_SkinSysBtn m_min, m_close;
    qrn_SkinBtn m_convert, m_add, m_remove, m_disabled;
    qrn_SkinList m_list;
    qrn_SkinProgress m_progress;
    qrn_SkinStatic m_folderLabel, m_kindLabel, m_link;
    qrn_SkinEdit m_folder;
    qrn_SkinComboBox m_kind;
};

BEGIN_MESSAGE_MAP(GalleryDlg, qrn_SkinDlg)
ON_BN_CLICKED(IDC_CLOSE, OnClose)
ON_BN_CLICKED(IDC_MIN, OnMinimise)
ON_WM_TIMER()
END_MESSAGE_MAP()

DialogTemplate MakeGalleryTemplate()
{
    DialogTemplate t(WS_POPUP | WS_SYSMENU | WS_VISIBLE, 20, 20, 300, 200, L"Skin gallery");
    const DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
    t.Add(L"BUTTON", L"", IDC_MIN, button, 0, 0, 10, 10)
        .Add(L"BUTTON", L"", IDC_CLOSE, button, 0, 0, 10, 10)
        .Add(L"BUTTON", L"", IDC_CONVERT, button, 0, 0, 10, 10)
        .Add(L"BUTTON", L"", IDC_ADD, button, 0, 0, 10, 10)
        .Add(L"BUTTON", L"", IDC_REMOVE, button, 0, 0, 10, 10)
        .Add(L"BUTTON", L"", IDC_DISABLED, button, 0, 0, 10, 10)
        .Add(L"STATIC", L"输出目录:", IDC_FOLDER_LABEL, SS_LEFT, 0, 0, 10, 10)
        .Add(L"EDIT", L"", IDC_FOLDER, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 0, 10, 10)
        .Add(L"STATIC", L"获取软件最新信息请访问官方网站", IDC_LINK, SS_LEFT | SS_NOTIFY, 0, 0, 10, 10)
        .Add(L"STATIC", L"转换成:", IDC_KIND_LABEL, SS_LEFT, 0, 0, 10, 10)
        .Add(L"COMBOBOX", L"", IDC_KIND,
             CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0, 0, 10, 60)
        .Add(WC_LISTVIEWW, L"", IDC_LIST, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 10, 10)
        .Add(L"STATIC", L"", IDC_PROGRESS, 0, 0, 0, 10, 10);
    return t;
}

class GalleryApp : public CWinApp {
public:
    GalleryApp() : CWinApp(L"Skin gallery") { }
    BOOL InitInstance() override
    {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        CreateSharedToolTip();
        std::wstring resources, shot;
        int argc = 0;
        wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
        for (int i = 1; argv && i + 1 < argc; ++i) {
            if (std::wstring(argv[i]) == L"--res")
                resources = argv[++i];
            else if (std::wstring(argv[i]) == L"--shot")
                shot = argv[++i];
        }
        ::LocalFree(argv);
        GalleryImages images(resources);
        DialogTemplate t = MakeGalleryTemplate();
        GalleryDlg dlg(images, shot);
        dlg.InitModalIndirect(t.Get());
        m_pMainWnd = &dlg;
        dlg.RunModal(nullptr);
        m_pMainWnd = nullptr;
        DestroySharedToolTip();
        return FALSE;
    }
};

GalleryApp theApp;

}  // namespace
