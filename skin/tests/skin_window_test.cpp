// The skin toolkit on real windows under a display: outline regions, button frames read back
// from the screen, the drag band, Enter and Escape, hover notifications, scroll bars, the list
// and the progress bar.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "dialog_template.h"
#include "skin.h"
#include "skin_test_util.h"

namespace {

enum {
    IDC_BTN = 1001,
    IDC_SYS = 1002,
    IDC_EDIT = 1003,
    IDC_LIST = 1004,
    IDC_PROGRESS = 1005,
    IDC_LABEL = 1006,
};

const COLORREF kFrames[5] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200)};
const COLORREF kBackground = RGB(60, 70, 80);

class FakeScrollObj : public qrn_IScrollObj {
public:
    int max = 10, page = 3, notifications = 0;
    double ratio = 0.5;
    int GetScrollMax(int) override { return max; }
    int GetScrollPage(int) override { return page; }
    double GetScrollRatio(int) override { return ratio; }
    int ScrollNotify(int) override { return ++notifications, 0; }
    int ScrollReserved(int) override { return 0; }
};

class SkinTestDlg : public qrn_SkinDlg {
public:
    SkinTestDlg() : qrn_SkinDlg(0) { }
    qrn_SkinBtn btn;
    qrn_SkinSysBtn sys;
    qrn_SkinEdit edit;
    qrn_SkinList list;
    qrn_SkinProgress progress;
    qrn_SkinStatic label;
    int entered = 0, left = 0, sysClicks = 0;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_BTN, btn);
        DDX_Control(pDX, IDC_SYS, sys);
        DDX_Control(pDX, IDC_EDIT, edit);
        DDX_Control(pDX, IDC_LIST, list);
        DDX_Control(pDX, IDC_PROGRESS, progress);
        DDX_Control(pDX, IDC_LABEL, label);
    }
    int LoadSkin() override
    {
        // 400 x 300 with 4-pixel magenta squares in the corners.
        m_imgBack.Attach(MakeBitmap32(400, 300, [](int x, int y) {
            const bool cornerX = x < 4 || x >= 396, cornerY = y < 4 || y >= 296;
            return cornerX && cornerY ? KEY_COLOR : kBackground;
        }));
        btn.SetImage(MakeStrip(250, 22, kFrames));
        sys.SetImage(MakeStrip(100, 20, kFrames));
        return 0;
    }
    int FreeSkin() override
    {
        ::DeleteObject(btn.ReleaseImage());
        ::DeleteObject(sys.ReleaseImage());
        ::DeleteObject(m_imgBack.Detach());
        return 0;
    }
    int LayoutControls() override
    {
        btn.SetWindowPos(nullptr, 20, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        sys.SetWindowPos(nullptr, 100, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        edit.SetWindowPos(nullptr, 150, 40, 150, 20, SWP_NOZORDER);
        list.SetWindowPos(nullptr, 20, 70, 300, 150, SWP_NOZORDER);
        progress.SetWindowPos(nullptr, 20, 260, 102, 16, SWP_NOZORDER);
        label.SetWindowPos(nullptr, 150, 260, 100, 16, SWP_NOZORDER);
        return 1;
    }
    void OnHover(NMHDR* nm, LRESULT* result)
    {
        (reinterpret_cast<NMSKINHOVER*>(nm)->entered ? entered : left)++;
        *result = 0;
    }
    void OnSysClicked() { ++sysClicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SkinTestDlg, qrn_SkinDlg)
ON_NOTIFY(SKBN_HOVER, IDC_BTN, OnHover)
ON_BN_CLICKED(IDC_SYS, OnSysClicked)
END_MESSAGE_MAP()

DialogTemplate MakeTemplate()
{
    DialogTemplate t(WS_POPUP | WS_SYSMENU, 0, 0, 100, 100);
    t.Add(L"BUTTON", L"", IDC_BTN, BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10)
        .Add(L"BUTTON", L"", IDC_SYS, BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10)
        .Add(L"EDIT", L"", IDC_EDIT, ES_AUTOHSCROLL | WS_TABSTOP, 0, 0, 10, 10)
        .Add(WC_LISTVIEWW, L"", IDC_LIST, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 10, 10)
        .Add(L"STATIC", L"", IDC_PROGRESS, 0, 0, 0, 10, 10)
        .Add(L"STATIC", L"label", IDC_LABEL, SS_LEFT, 0, 0, 10, 10);
    return t;
}

class SkinWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&icc);
        ASSERT_TRUE(dlg.CreateIndirect(tmpl.Get()));
        dlg.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        dlg.ShowWindow(SW_SHOW);
        dlg.UpdateWindow();
        PumpFor(20);
    }
    void TearDown() override
    {
        dlg.DestroyWindow();
        PumpFor(5);
    }
    DialogTemplate tmpl = MakeTemplate();
    SkinTestDlg dlg;
};

CRect WindowRectIn(CWnd& parent, CWnd& child)
{
    CRect r;
    child.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

}  // namespace

TEST_F(SkinWindowTest, BackgroundGivesSizeAndOutline)
{
    CRect r;
    dlg.GetWindowRect(&r);
    EXPECT_EQ(r.Width(), 400);
    EXPECT_EQ(r.Height(), 300);
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(dlg.m_hWnd, rgn), ERROR);
    EXPECT_FALSE(::PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(::PtInRegion(rgn, 399, 299));
    EXPECT_TRUE(::PtInRegion(rgn, 4, 0));
    EXPECT_TRUE(::PtInRegion(rgn, 200, 150));
    ::DeleteObject(rgn);
    EXPECT_EQ(ReadPixel(dlg.m_hWnd, 200, 5), kBackground);  // the picture is painted
}

TEST(SkinRegionTest, OtherDepthsAreConvertedBeforeTheScan)
{
    // A 24-bit DIB section (3 bytes a pixel): magenta at (0, 0) only.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    unsigned char* p = static_cast<unsigned char*>(bits);
    for (int i = 0; i < 8 * 3 * 2 + 8; ++i)
        p[i] = 0x40;
    p[0] = 255, p[1] = 0, p[2] = 255;
    qrn_SkinImg img;
    img.Attach(dib);
    CRgn rgn;
    BuildImageRegion(&img, &rgn);
    EXPECT_FALSE(rgn.PtInRegion(0, 0));
    EXPECT_TRUE(rgn.PtInRegion(1, 0));
    EXPECT_TRUE(rgn.PtInRegion(7, 1));
    EXPECT_FALSE(rgn.PtInRegion(8, 1));

    qrn_SkinImg none;
    CRgn empty;
    EXPECT_TRUE(BuildImageRegion(&none, &empty));
    RECT box{};
    EXPECT_EQ(::GetRgnBox(empty, &box), NULLREGION);
}

TEST_F(SkinWindowTest, ButtonShowsTheFrameOfItsState)
{
    CRect r;
    dlg.btn.GetWindowRect(&r);
    EXPECT_EQ(r.Width(), 50);  // 250 / 5
    EXPECT_EQ(r.Height(), 22);
    auto shown = [&] {
        dlg.btn.Invalidate(FALSE);
        dlg.btn.UpdateWindow();
        return ReadPixel(dlg.btn.m_hWnd, 25, 11);
    };
    EXPECT_EQ(shown(), kFrames[0]);
    dlg.btn.m_bHover = true;
    EXPECT_EQ(shown(), kFrames[1]);
    dlg.btn.SetState(TRUE);  // pressed under the mouse
    EXPECT_EQ(shown(), kFrames[2]);
    dlg.btn.SetState(FALSE);
    dlg.btn.EnableWindow(FALSE);  // disabled under the mouse
    EXPECT_EQ(shown(), kFrames[3]);
    dlg.btn.EnableWindow(TRUE);
    dlg.btn.m_bHover = false;
    EXPECT_EQ(shown(), kFrames[0]);
}

TEST_F(SkinWindowTest, DragBandEndsAtTheCaptionHeight)
{
    auto startsDrag = [&](int y) {
        MSG msg;
        while (::PeekMessageW(&msg, dlg.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE)) {
        }
        dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, y));
        const bool posted =
            ::PeekMessageW(&msg, dlg.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) && msg.wParam == HTCAPTION;
        dlg.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, y));
        return posted;
    };
    EXPECT_TRUE(startsDrag(0));
    EXPECT_TRUE(startsDrag(25));
    EXPECT_FALSE(startsDrag(26));
    dlg.m_bDragEnabled = FALSE;
    EXPECT_FALSE(startsDrag(10));
}

TEST_F(SkinWindowTest, HoverIsNotifiedOnceEachWay)
{
    CRect r;
    dlg.btn.GetWindowRect(&r);
    ::SetCursorPos(r.left + 10, r.top + 10);
    PumpFor(30);
    for (int i = 0; i < 3; ++i)
        dlg.btn.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10 + i, 10));
    EXPECT_EQ(dlg.entered, 1);
    EXPECT_EQ(dlg.left, 0);
    ::SetCursorPos(1200, 1000);
    for (int waited = 0; dlg.left == 0 && waited < 1500; waited += 50)
        PumpFor(50);
    EXPECT_EQ(dlg.entered, 1);
    EXPECT_EQ(dlg.left, 1);
    EXPECT_FALSE(dlg.btn.m_bHover);
}

TEST_F(SkinWindowTest, CaptionButtonReportsEachClickOnceAndGivesTheFocusBack)
{
    CRect client;
    dlg.sys.GetClientRect(&client);
    auto click = [&](int x, int y) {
        dlg.sys.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        dlg.sys.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpFor(5);
    };
    dlg.edit.SetFocus();
    click(client.right, client.bottom);  // the edge pixel still counts
    EXPECT_EQ(dlg.sysClicks, 1);
    EXPECT_EQ(::GetFocus(), dlg.edit.m_hWnd);

    // No window to give the focus back to: still one report per click.
    dlg.sys.SetFocus();
    dlg.sys.m_hWndPrevFocus = nullptr;
    click(5, 5);
    EXPECT_EQ(dlg.sysClicks, 2);

    click(client.right + 1, 5);  // released outside
    EXPECT_EQ(dlg.sysClicks, 2);
}

TEST_F(SkinWindowTest, ScrollBarHitsAndSteps)
{
    FakeScrollObj target;
    qrn_SkinHScrollBar bar;
    ASSERT_TRUE(bar.CreateBar(&dlg));
    bar.m_pScrollObj = &target;
    bar.SetWindowPos(nullptr, 20, 230, 200, 17, SWP_NOZORDER);
    auto press = [&](int x) {
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
    };
    press(17);  // the border between the first arrow and the track
    EXPECT_EQ(target.notifications, 0);
    press(8);  // the first arrow at position 0
    EXPECT_EQ(target.notifications, 0);
    EXPECT_EQ(bar.GetPos(), 0);
    press(190);  // the second arrow
    EXPECT_EQ(bar.GetPos(), 1);
    EXPECT_EQ(target.notifications, 1);
    press(150);  // the track after the thumb: one page
    EXPECT_EQ(bar.GetPos(), 4);
    target.max = 2;
    bar.MoveBy(0);  // re-clamped after the extent shrank
    EXPECT_EQ(bar.GetPos(), 2);

    // Dragging the thumb: less than a step does nothing, then whole steps.
    target.max = 10;
    bar.MoveBy(-2);
    const int thumb = 17 + 20;
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumb, 8));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumb + 8, 8));
    EXPECT_EQ(bar.GetPos(), 0);
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumb + 17, 8));
    EXPECT_EQ(bar.GetPos(), 2);
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(thumb + 17, 8));
    bar.DestroyWindow();
}

TEST_F(SkinWindowTest, ListNarrowsForTheVerticalBarAndScrollsByRows)
{
    CRect before = WindowRectIn(dlg, dlg.list);
    const SkinListStyle style{7,     RGB(238, 237, 237), RGB(183, 184, 183), RGB(64, 64, 64), 15, FALSE, FALSE,
                              FALSE, RGB(231, 241, 254)};
    dlg.list.AttachSkin(&style);
    const CRect attached = WindowRectIn(dlg, dlg.list);
    EXPECT_EQ(attached.Width(), before.Width() - 17);
    EXPECT_EQ(attached.Height(), before.Height() - 17);
    dlg.list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 150);
    dlg.list.InsertColumn(1, L"页数", LVCFMT_CENTER, 80);
    EXPECT_FALSE(dlg.list.m_vBar.IsWindowVisible());

    int rows = 0;
    while (dlg.list.GetScrollMax(1) <= 0 && rows < 100)
        dlg.list.InsertItem(0, L"row"), ++rows;
    ASSERT_LT(rows, 100);
    EXPECT_TRUE(dlg.list.m_vBar.IsWindowVisible());
    EXPECT_EQ(WindowRectIn(dlg, dlg.list).Width(), attached.Width() - 16);
    EXPECT_EQ(WindowRectIn(dlg, dlg.list.m_vBar).left, WindowRectIn(dlg, dlg.list).right);

    for (int i = 0; i < 10; ++i)
        dlg.list.InsertItem(0, L"more");
    struct {
        short delta;
        int top;
    } wheel[] = {{-120, 1}, {-360, 2}, {120, 1}, {480, 0}, {120, 0}};
    for (const auto& w : wheel) {
        dlg.list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(w.delta)), MAKELPARAM(100, 100));
        EXPECT_EQ(dlg.list.GetTopIndex(), w.top) << "delta " << w.delta;
    }

    while (dlg.list.GetItemCount() > 1)
        dlg.list.DeleteItem(0);
    PumpFor(20);
    EXPECT_FALSE(dlg.list.m_vBar.IsWindowVisible());
    EXPECT_EQ(WindowRectIn(dlg, dlg.list).Width(), attached.Width());
}

TEST_F(SkinWindowTest, ListSelectsOneRowByClickAndIgnoresKeys)
{
    dlg.list.AttachSkin(nullptr);
    dlg.list.InsertColumn(0, L"name", LVCFMT_LEFT, 200);
    for (int i = 0; i < 5; ++i)
        dlg.list.InsertItem(i, L"row");
    auto clickRow = [&](int row) {
        CRect r;
        dlg.list.GetItemRect(row, &r, LVIR_BOUNDS);
        ::PostMessageW(dlg.list.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 2));
        dlg.list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 2));
        PumpFor(5);
    };
    auto selected = [&] {
        std::vector<int> rows;
        for (int i = 0; i < dlg.list.GetItemCount(); ++i) {
            if (dlg.list.GetItemState(i, LVIS_SELECTED))
                rows.push_back(i);
        }
        return rows;
    };
    clickRow(3);
    EXPECT_EQ(selected(), std::vector<int>{3});
    EXPECT_TRUE(dlg.list.GetItemState(3, LVIS_FOCUSED));
    clickRow(3);
    EXPECT_EQ(selected(), std::vector<int>{3});
    clickRow(1);
    EXPECT_EQ(selected(), std::vector<int>{1});
    dlg.list.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    dlg.list.SendMessage(WM_KEYDOWN, VK_END, 0);
    dlg.list.SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(5, 60));
    EXPECT_EQ(selected(), std::vector<int>{1});
}

TEST_F(SkinWindowTest, ListHorizontalMaximumCountsFivePixelSteps)
{
    dlg.list.AttachSkin(nullptr);
    CRect client;
    dlg.list.GetClientRect(&client);
    const int visible = client.Width() - 12;
    dlg.list.InsertColumn(0, L"a", LVCFMT_LEFT, 100);
    dlg.list.InsertColumn(1, L"b", LVCFMT_LEFT, visible + 300 - 100);
    EXPECT_EQ(dlg.list.GetScrollMax(0), 60);
    EXPECT_EQ(dlg.list.GetScrollPage(1), 0);  // no rows yet: no row height
}

TEST_F(SkinWindowTest, ProgressFillsItsInnerWidth)
{
    CRect client;
    dlg.progress.GetClientRect(&client);
    ASSERT_EQ(client.Width(), 102);
    const COLORREF blue = RGB(75, 145, 180), inside = RGB(239, 239, 239), border = RGB(28, 67, 115);
    dlg.progress.m_nRange = 100;
    dlg.progress.m_nPos = 50;
    dlg.progress.Invalidate();
    dlg.progress.UpdateWindow();
    EXPECT_EQ(ReadPixel(dlg.progress.m_hWnd, 0, 8), border);
    EXPECT_EQ(ReadPixel(dlg.progress.m_hWnd, 1, 8), blue);
    EXPECT_EQ(ReadPixel(dlg.progress.m_hWnd, 50, 8), blue);
    EXPECT_EQ(ReadPixel(dlg.progress.m_hWnd, 51, 8), inside);
    dlg.progress.m_nPos = 150;
    dlg.progress.m_nBarBrush = 1;
    dlg.progress.Invalidate();
    dlg.progress.UpdateWindow();
    EXPECT_EQ(ReadPixel(dlg.progress.m_hWnd, 100, 8), RGB(33, 217, 9));
    EXPECT_EQ(ReadPixel(dlg.progress.m_hWnd, 101, 8), border);
}

namespace {
SkinTestDlg* g_modal = nullptr;
bool g_stillOpen = false;
VOID CALLBACK PressEnterAndEscape(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    HWND focus = ::GetFocus();
    ::PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    ::PostMessageW(g_modal->m_hWnd, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageW(g_modal->m_hWnd, WM_COMMAND, IDOK, 0);
}
VOID CALLBACK CloseFromOwnButton(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_stillOpen = ::IsWindowVisible(g_modal->m_hWnd) != FALSE;
    g_modal->EndDialog(77);  // what a close button does
}
}  // namespace

TEST(SkinModalTest, EnterAndEscapeLeaveTheDialogOpen)
{
    DialogTemplate t = MakeTemplate();
    SkinTestDlg dlg;
    dlg.InitModalIndirect(t.Get());
    g_modal = &dlg;
    ::SetTimer(nullptr, 0, 60, &PressEnterAndEscape);
    ::SetTimer(nullptr, 0, 250, &CloseFromOwnButton);
    EXPECT_EQ(dlg.RunModal(nullptr), 77);
    EXPECT_TRUE(g_stillOpen);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_imgBack.m_hObject, nullptr);  // the skin was handed back on destruction
    PumpFor(5);
}

TEST(SkinModalTest, MissingTemplateRunsNothing)
{
    qrn_SkinDlg dlg(0);
    EXPECT_EQ(dlg.RunModal(nullptr), -1);
}
