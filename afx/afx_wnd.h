// Windows as objects. A CWnd is bound to its HWND through the thread's handle map: either
// created by the object (Create/CreateEx, subclassed while it is being created) or an
// existing window taken over with SubclassWindow/SubclassDlgItem. Messages go through the
// object's message map; anything not handled goes to the window's previous procedure.
// Notifications a child sends to its parent (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*,
// WM_DRAWITEM, WM_MEASUREITEM, scroll messages) are first offered back to the child's own
// object ("reflection"), so a control class can paint and colour itself.
#ifndef MORVANE_AFX_WND_H
#define MORVANE_AFX_WND_H

#include <windows.h>

#include "afx_gdi.h"
#include "afx_msgmap.h"
#include "afx_string.h"
#include "afx_types.h"

class CScrollBar;
class CMenu;

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;  // destroys a window the object still owns

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Handle map
    static CWnd* FromHandle(HWND hWnd);  // permanent object, or a temporary one (null for null)
    static CWnd* FromHandlePermanent(HWND hWnd);  // the object bound to hWnd, or null
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // Subclassing: the object takes over an existing window's messages.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow();

    // Creation
    virtual BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    virtual BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual void PostNcDestroy();

    // Message processing
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL IsFrameWnd() const { return FALSE; }
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers the message being processed to the object of the child window; TRUE if it handled it.
    static BOOL ReflectLastMsg(HWND child, LRESULT* pResult = nullptr);
    LRESULT Default();  // the message being processed, to the previous window procedure

    // Window operations
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int id) { return static_cast<int>(::SetWindowLongPtrW(m_hWnd, GWLP_ID, id)); }
    CWnd* GetTopLevelParent() const;
    static CWnd* GetSafeOwner(CWnd* parent = nullptr);
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    void MoveWindow(LPCRECT r, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, r->left, r->top, r->right - r->left, r->bottom - r->top, repaint);
    }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
    }
    void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const;
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT r = nullptr, HRGN rgn = nullptr, UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, r, rgn, flags);
    }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    int GetWindowText(wchar_t* buffer, int capacity) const { return ::GetWindowTextW(m_hWnd, buffer, capacity); }
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetFont(CFont* font, BOOL redraw = TRUE);
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFontHandle() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    int SetWindowRgn(HRGN rgn, BOOL redraw) { return ::SetWindowRgn(m_hWnd, rgn, redraw); }
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    CMenu* GetSystemMenu(BOOL revert) const;
    BOOL SetDlgItemText(int id, const wchar_t* text) { return ::SetDlgItemTextW(m_hWnd, id, text); }
    int GetDlgItemText(int id, CString& text) const;
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(class CDataExchange* pDX);

protected:
    WNDPROC m_pfnSuper = nullptr;  // the window procedure before the object took the window over

    // Default handlers: each passes the message on (Default()) unless told otherwise.
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnClose();
    void OnNcDestroy();
    void OnPaint();
    void OnNcPaint();
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);  // reflects to the control first
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);  // reflects to the control
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);  // reflects to the control
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    void OnMouseLeave();
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);  // reflects to a scroll-bar control
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnSysCommand(UINT id, LPARAM lParam);
    HCURSOR OnQueryDragIcon();

    friend LRESULT AfxCallWndProc(CWnd* wnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    friend LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every window bound to an object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT AfxCallWndProc(CWnd* wnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Binds the next window this thread creates to `wnd` (a CBT hook for the time of the creation).
void AfxHookWindowCreate(CWnd* wnd);
BOOL AfxUnhookWindowCreate();
// The message being processed on this thread (zeroes outside a window procedure).
const MSG* AfxGetCurrentMessage();
// For a WM_CTLCOLORxxx message being processed: CTLCOLOR_MSGBOX ... CTLCOLOR_STATIC.
UINT AfxCurrentCtlColorType();
// Frees the temporary objects that FromHandle made for unbound windows; called when idle.
void AfxDeleteTempMap();
// Runs PreTranslateMessage from the message's window up to (not beyond) `stop`.
BOOL AfxWalkPreTranslateTree(HWND stop, MSG* msg);

class CMenu : public CObject {
    DECLARE_DYNAMIC(CMenu)
public:
    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr)
    {
        return ::AppendMenuW(m_hMenu, flags, id, text);
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
};

#endif
