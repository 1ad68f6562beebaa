// The class layer on real windows: message maps, reflection, subclassing, data exchange and
// the modal loop.
#include <gtest/gtest.h>

#include <stdexcept>

#include "afxwin.h"
#include "dialog_template.h"

namespace {

enum { IDC_DRAWN = 1001, IDC_LABEL = 1002, IDC_TEXT = 1003, IDC_PLAIN = 1004 };

class DrawnButton : public CButton {
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        ++draws;
        ::FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
};

class ColouredLabel : public CStatic {
public:
    CBrush brush{RGB(1, 2, 3)};
    HBRUSH CtlColor(CDC* dc, UINT)
    {
        dc->SetTextColor(RGB(9, 9, 9));
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ColouredLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CountingEdit : public CEdit {
public:
    int changes = 0;
    void OnChangeReflected() { ++changes; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CountingEdit, CEdit)
ON_CONTROL_REFLECT(EN_CHANGE, OnChangeReflected)
END_MESSAGE_MAP()

class TestDialog : public CDialog {
public:
    DrawnButton drawn;
    ColouredLabel label;
    CountingEdit text;
    CString value;
    int clicks = 0;
    int parentChanges = 0;
    int plainClicks = 0;
    bool initialised = false;
    bool throwOnTimer = false;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_DRAWN, drawn);
        DDX_Control(pDX, IDC_LABEL, label);
        DDX_Control(pDX, IDC_TEXT, text);
        DDX_Text(pDX, IDC_TEXT, value);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        initialised = true;
        return TRUE;
    }
    void OnDrawnClicked() { ++clicks; }
    void OnTextChanged() { ++parentChanges; }
    void OnPlainClicked() { ++plainClicks; }
    void OnTimer(UINT_PTR)
    {
        if (throwOnTimer)
            throw std::runtime_error("handler failure");
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_BN_CLICKED(IDC_DRAWN, OnDrawnClicked)
ON_BN_CLICKED(IDC_PLAIN, OnPlainClicked)
ON_EN_CHANGE(IDC_TEXT, OnTextChanged)
ON_WM_TIMER()
END_MESSAGE_MAP()

DialogTemplate MakeTemplate(DWORD visible)
{
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | visible, 10, 10, 200, 100, L"layer test");
    t.Add(L"BUTTON", L"drawn", IDC_DRAWN, BS_OWNERDRAW | WS_TABSTOP, 5, 5, 50, 14)
        .Add(L"STATIC", L"label", IDC_LABEL, SS_LEFT, 5, 25, 50, 10)
        .Add(L"EDIT", L"", IDC_TEXT, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 5, 40, 100, 12)
        .Add(L"BUTTON", L"plain", IDC_PLAIN, BS_PUSHBUTTON | WS_TABSTOP, 5, 60, 50, 14);
    return t;
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

TestDialog* g_running = nullptr;

// Presses Escape in the running dialog's focused control. When another program on the shared
// test display holds the foreground, this thread has no focus window: the key then goes to the
// dialog's first control, which the dialog manager treats the same way.
VOID CALLBACK PressEscapeOnce(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    HWND target = ::GetFocus();
    if (!target && g_running && g_running->m_hWnd)
        target = ::GetWindow(g_running->m_hWnd, GW_CHILD);
    ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}
VOID CALLBACK EndRunningDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_running->EndDialog(42);
}

}  // namespace

TEST(RuntimeClassTest, KnowsTheHierarchy)
{
    DrawnButton button;
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(button.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_STREQ(button.GetRuntimeClass()->m_lpszClassName, "CButton");
}

TEST(WindowLayerTest, ControlsAreSubclassedAndGetReflectedNotifications)
{
    DialogTemplate t = MakeTemplate(WS_VISIBLE);
    TestDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get()));
    EXPECT_TRUE(dlg.initialised);
    ASSERT_NE(dlg.drawn.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.drawn.m_hWnd), &dlg.drawn);
    EXPECT_EQ(dlg.GetDlgItem(IDC_LABEL), &dlg.label);

    // WM_DRAWITEM goes to the dialog and comes back to the button object.
    dlg.drawn.Invalidate();
    dlg.drawn.UpdateWindow();
    EXPECT_GT(dlg.drawn.draws, 0);

    // BN_CLICKED reaches the dialog's message map (the button reflects nothing for it).
    dlg.drawn.SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.clicks, 1);

    // WM_CTLCOLORSTATIC: the label answers with its own brush through the dialog.
    CClientDC dc(&dlg.label);
    const LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                          reinterpret_cast<LPARAM>(dlg.label.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), static_cast<HBRUSH>(dlg.label.brush));
    EXPECT_EQ(::GetTextColor(dc.m_hDC), RGB(9, 9, 9));

    // A notification the control reflects is consumed by the control.
    const int changesBefore = dlg.text.changes;
    dlg.text.SetWindowText(L"typed");
    EXPECT_EQ(dlg.text.changes, changesBefore + 1);
    EXPECT_EQ(dlg.parentChanges, 0);

    // A window that is not subclassed still gets a (temporary) object.
    CWnd* plain = dlg.GetDlgItem(IDC_PLAIN);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain->m_hWnd), nullptr);
    plain->SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.plainClicks, 1);

    HWND button = dlg.drawn.m_hWnd;
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.drawn.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    AfxDeleteTempMap();
}

TEST(WindowLayerTest, DataExchangeMovesTextBothWays)
{
    DialogTemplate t = MakeTemplate(0);
    TestDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get()));
    dlg.value = L"D:\\Out";
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    CString shown;
    dlg.text.GetWindowText(shown);
    EXPECT_EQ(shown, L"D:\\Out");
    dlg.text.SetWindowText(L"E:\\Other");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.value, L"E:\\Other");
    dlg.DestroyWindow();
}

TEST(WindowLayerTest, HandlerExceptionsStayInsideTheWindowProcedure)
{
    DialogTemplate t = MakeTemplate(0);
    TestDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get()));
    dlg.throwOnTimer = true;
    EXPECT_EQ(dlg.SendMessage(WM_TIMER, 1), 0);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    dlg.DestroyWindow();
}

TEST(WindowLayerTest, ModalDialogEndsWithEscapeThroughTheDialogManager)
{
    DialogTemplate t = MakeTemplate(0);
    TestDialog dlg;
    dlg.InitModalIndirect(t.Get());
    g_running = &dlg;
    // Once the loop runs, press Escape in the edit box.
    ::SetTimer(nullptr, 0, 50, &PressEscapeOnce);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.initialised);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    Pump();
}

TEST(WindowLayerTest, ModalResultComesFromEndDialog)
{
    DialogTemplate t = MakeTemplate(0);
    TestDialog dlg;
    dlg.InitModalIndirect(t.Get());
    g_running = &dlg;
    ::SetTimer(nullptr, 0, 50, &EndRunningDialog);
    EXPECT_EQ(dlg.DoModal(), 42);
    Pump();
}

TEST(WindowLayerTest, MessageBoxCarriesTheApplicationName)
{
    CWinApp app(L"Talvern Test");
    static std::wstring caption;
    static UINT type;
    AfxSeamOverride<AfxMessageBoxFn> seam(g_pfnAfxMessageBox, [](HWND, const wchar_t*, const wchar_t* c, UINT t) {
        caption = c;
        type = t;
        return IDYES;
    });
    EXPECT_EQ(AfxMessageBox(L"Stop?", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(caption, L"Talvern Test");
    EXPECT_EQ(type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

TEST(WindowLayerTest, ShellOpenGoesThroughTheSeam)
{
    static std::wstring opened;
    AfxSeamOverride<AfxShellExecuteFn> seam(
        g_pfnAfxShellExecute, [](HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*, const wchar_t*, int) {
            opened = std::wstring(verb) + L" " + file;
            return reinterpret_cast<HINSTANCE>(42);
        });
    AfxShellExecute(nullptr, L"open", L"mailto:a@b.c", nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(opened, L"open mailto:a@b.c");
}
