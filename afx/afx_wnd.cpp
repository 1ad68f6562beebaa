#include "afx_wnd.h"

#include <unordered_map>
#include <vector>

#include "afx_app.h"
#include "afx_dialog.h"

namespace {

// Per-thread state: windows belong to the thread that created them, and so do their objects.
struct ThreadState {
    std::unordered_map<HWND, CWnd*> permanent;  // objects bound to their windows
    std::unordered_map<HWND, CWnd*> temporary;  // wrappers made by FromHandle for unbound windows
    std::vector<CMenu*> tempMenus;
    MSG current{};  // the message being processed
    CWnd* wndInit = nullptr;  // object waiting for the window being created
    HHOOK cbtHook = nullptr;

    ~ThreadState()
    {
        DeleteTemporaries();
        if (cbtHook)
            ::UnhookWindowsHookEx(cbtHook);
    }
    void DeleteTemporaries()
    {
        for (auto& entry : temporary) {
            entry.second->m_hWnd = nullptr;  // never destroy a window we only wrapped
            delete entry.second;
        }
        temporary.clear();
        for (CMenu* menu : tempMenus)
            delete menu;
        tempMenus.clear();
    }
};

ThreadState& State()
{
    thread_local ThreadState state;
    return state;
}

bool MatchesId(const AFX_MSGMAP_ENTRY& e, UINT id)
{
    return id >= e.nID && id <= e.nLastID;
}

// Windows the system creates on our thread while we wait for our own (input-method windows).
bool IsSystemHelperWindow(HWND hWnd)
{
    wchar_t name[32] = {};
    ::GetClassNameW(hWnd, name, 32);
    return ::lstrcmpiW(name, L"IME") == 0 || ::lstrcmpiW(name, L"MSCTFIME UI") == 0;
}

}  // namespace

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id)
{
    const bool byId = message == WM_COMMAND || message == WM_NOTIFY;
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
            if (e->nMessage == message && e->nCode == code && (!byId || MatchesId(*e, id)))
                return e;
        }
    }
    return nullptr;
}

const CRuntimeClass CCmdTarget::classCCmdTarget = {"CCmdTarget", static_cast<int>(sizeof(CCmdTarget)),
                                                   RUNTIME_CLASS(CObject)};

const CRuntimeClass* CCmdTarget::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CCmdTarget);
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CMenu, CObject)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_CTLCOLOR()
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

// ---------------------------------------------------------------- window procedure

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return AfxCallWndProc(wnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* wnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ThreadState& state = State();
    const MSG saved = state.current;
    state.current.hwnd = hWnd;
    state.current.message = message;
    state.current.wParam = wParam;
    state.current.lParam = lParam;
    LRESULT result = 0;
    // Nothing may unwind through the system's window-procedure frames.
    try {
        if (message == WM_NCDESTROY) {
            wnd->OnNcDestroy();
        } else {
            result = wnd->WindowProc(message, wParam, lParam);
        }
    } catch (...) {
        result = 0;
    }
    state.current = saved;
    return result;
}

const MSG* AfxGetCurrentMessage()
{
    return &State().current;
}

UINT AfxCurrentCtlColorType()
{
    const UINT message = State().current.message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        return message - WM_CTLCOLORMSGBOX;
    return CTLCOLOR_STATIC;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    ThreadState& state = State();
    if (code == HCBT_CREATEWND && state.wndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsSystemHelperWindow(hWnd)) {
            CWnd* wnd = state.wndInit;
            state.wndInit = nullptr;
            wnd->Attach(hWnd);
            wnd->PreSubclassWindow();
            WNDPROC old = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
            if (old != &AfxWndProc)
                wnd->m_pfnSuper = old;
        }
    }
    return ::CallNextHookEx(state.cbtHook, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* wnd)
{
    ThreadState& state = State();
    if (!state.cbtHook) {
        state.cbtHook = ::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
    state.wndInit = wnd;
}

BOOL AfxUnhookWindowCreate()
{
    ThreadState& state = State();
    if (state.cbtHook) {
        ::UnhookWindowsHookEx(state.cbtHook);
        state.cbtHook = nullptr;
    }
    if (state.wndInit) {
        state.wndInit = nullptr;
        return FALSE;  // the hook never saw the window
    }
    return TRUE;
}

void AfxDeleteTempMap()
{
    State().DeleteTemporaries();
}

BOOL AfxWalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        CWnd* wnd = CWnd::FromHandlePermanent(h);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (h == stop)
            break;
    }
    return FALSE;
}

// ---------------------------------------------------------------- handle map

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // The derived parts are gone: let the window fall back to its own procedure first.
        if (m_pfnSuper)
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        HWND hWnd = Detach();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    ThreadState& state = State();
    auto it = state.permanent.find(hWnd);
    return it == state.permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd))
        return wnd;
    ThreadState& state = State();
    CWnd*& temp = state.temporary[hWnd];
    if (!temp) {
        temp = new CWnd;
        temp->m_hWnd = hWnd;
    }
    return temp;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd)
        return FALSE;
    State().permanent[hWnd] = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        ThreadState& state = State();
        auto it = state.permanent.find(hWnd);
        if (it != state.permanent.end() && it->second == this)
            state.permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent)
        return FALSE;
    HWND hWnd = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::PreSubclassWindow()
{ }

// ---------------------------------------------------------------- creation

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&)
{
    return TRUE;
}

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs))
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    AfxUnhookWindowCreate();
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    const bool bound = FromHandlePermanent(m_hWnd) == this;
    HWND hWnd = m_hWnd;
    const BOOL destroyed = ::DestroyWindow(hWnd);
    if (!bound)
        m_hWnd = nullptr;  // a bound object is detached by WM_NCDESTROY
    return destroyed;
}

void CWnd::PostNcDestroy()
{ }

void CWnd::OnNcDestroy()
{
    const LONG_PTR procBefore = ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC);
    Default();
    // Give the window its own procedure back unless someone else has subclassed it meanwhile.
    if (::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == procBefore && m_pfnSuper) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();
}

// ---------------------------------------------------------------- dispatch

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        if (!OnNotify(wParam, lParam, &result))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    const AFX_MSGMAP* map = GetMessageMap();
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(map, message, 0, 0);
    if (!entry && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        entry = AfxFindMessageEntry(map, WM_CTLCOLOR, 0, 0);
    }
    if (!entry || !entry->pfn(this, wParam, lParam, &result))
        return FALSE;
    *pResult = result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = State().current;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        CWnd* child = FromHandlePermanent(control);
        LRESULT ignored = 0;
        if (child && child != this && child->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored))
            return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    LRESULT ignored = 0;
    return entry ? entry->pfn(this, wParam, lParam, &ignored) : FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header)
        return FALSE;
    CWnd* child = FromHandlePermanent(header->hwndFrom);
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    const AFX_MSGMAP_ENTRY* entry =
        AfxFindMessageEntry(GetMessageMap(), WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    return entry ? entry->pfn(this, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    const AFX_MSGMAP_ENTRY* entry = nullptr;
    switch (message) {
    case WM_COMMAND:
        entry = AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
        break;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header)
            entry = AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_NOTIFY, header->code, 0);
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        entry = AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
        if (!OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, &result))
            return FALSE;
        if (pResult)
            *pResult = result;
        return TRUE;
    default:
        return FALSE;
    }
    if (!entry || !entry->pfn(this, wParam, lParam, &result))
        return FALSE;
    if (pResult)
        *pResult = result;
    return TRUE;
}

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* pResult)
{
    const MSG& msg = State().current;
    CWnd* wnd = FromHandlePermanent(child);
    if (!wnd || wnd->m_hWnd == msg.hwnd)
        return FALSE;
    LRESULT result = 0;
    if (!wnd->OnChildNotify(msg.message, msg.wParam, msg.lParam, &result))
        return FALSE;
    if (pResult)
        *pResult = result;
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

// ---------------------------------------------------------------- default handlers

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}
void CWnd::OnDestroy()
{
    Default();
}
void CWnd::OnClose()
{
    Default();
}
void CWnd::OnPaint()
{
    Default();
}
void CWnd::OnNcPaint()
{
    Default();
}
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int)
{
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT)
{
    Default();
}
void CWnd::OnTimer(UINT_PTR)
{
    Default();
}
void CWnd::OnSetFocus(CWnd*)
{
    Default();
}
void CWnd::OnKillFocus(CWnd*)
{
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnMouseHover(UINT, CPoint)
{
    Default();
}
void CWnd::OnMouseLeave()
{
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}
HCURSOR CWnd::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(Default());
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* wnd, UINT)
{
    LRESULT result = 0;
    if (wnd && ReflectLastMsg(wnd->m_hWnd, &result))
        return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis)
{
    if (dis && dis->CtlType != ODT_MENU && ReflectLastMsg(dis->hwndItem))
        return;
    Default();
}

void CWnd::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis)
{
    if (mis && mis->CtlType != ODT_MENU && ReflectLastMsg(::GetDlgItem(m_hWnd, id)))
        return;
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar*)
{
    const MSG& msg = State().current;
    if (msg.lParam && ReflectLastMsg(reinterpret_cast<HWND>(msg.lParam)))
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*)
{
    const MSG& msg = State().current;
    if (msg.lParam && ReflectLastMsg(reinterpret_cast<HWND>(msg.lParam)))
        return;
    Default();
}

// ---------------------------------------------------------------- helpers

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags)
{
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return TRUE;
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND top = m_hWnd;
    for (HWND up = ::GetParent(top); up && (::GetWindowLongPtrW(top, GWL_STYLE) & WS_CHILD); up = ::GetParent(top)) {
        top = up;
    }
    return FromHandle(top);
}

CWnd* CWnd::GetSafeOwner(CWnd* parent)
{
    if (parent && ::IsWindow(parent->m_hWnd))
        return parent;
    CWnd* main = AfxGetMainWnd();
    if (main && ::IsWindow(main->m_hWnd))
        return main->GetTopLevelParent();
    HWND active = ::GetActiveWindow();
    return active ? FromHandle(active)->GetTopLevelParent() : nullptr;
}

void CWnd::ScreenToClient(LPRECT r) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::ClientToScreen(LPRECT r) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2);
}

void CWnd::GetWindowText(CString& text) const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buffer = text.GetBufferSetLength(length + 1);
    ::GetWindowTextW(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    text.Empty();
    if (!item)
        return 0;
    FromHandle(item)->GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const
{
    HMENU menu = ::GetSystemMenu(m_hWnd, revert);
    if (!menu)
        return nullptr;
    CMenu* wrapper = new CMenu;
    wrapper->m_hMenu = menu;
    State().tempMenus.push_back(wrapper);
    return wrapper;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CWnd::DoDataExchange(CDataExchange*)
{ }
