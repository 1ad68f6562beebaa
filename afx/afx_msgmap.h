// Message maps: each class keeps a table of the messages it handles and the base class's
// table behind it. An entry holds a small function that unpacks the message's parameters and
// calls the handler member, so a handler has its natural signature (OnPaint(),
// OnLButtonDown(UINT, CPoint), ...). A handler that wants the default processing calls the
// base class's handler, which ends in CWnd::Default().
#ifndef MORVANE_AFX_MSGMAP_H
#define MORVANE_AFX_MSGMAP_H

#include <windows.h>

#include "afx_object.h"

class CCmdTarget;

// Notifications a parent passes back to the control they came from arrive there as
// WM_REFLECT_BASE + the original message.
#define WM_REFLECT_BASE 0xBC00
// All WM_CTLCOLORxxx messages share one map entry under this number.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// Unpacks one message for one handler; returns TRUE when the message was handled.
typedef BOOL (*AFX_MSGTHUNK)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message (WM_COMMAND, WM_NOTIFY, WM_REFLECT_BASE + ..., ...)
    UINT nCode;  // notification code for WM_COMMAND and WM_NOTIFY entries
    UINT nID;  // first control identifier (command entries)
    UINT nLastID;  // last control identifier (command entries)
    AFX_MSGTHUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The first entry of the map chain (derived class first) that matches, or null.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);

class CCmdTarget : public CObject {
public:
    static const CRuntimeClass classCCmdTarget;
    const CRuntimeClass* GetRuntimeClass() const override;
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP* GetThisMessageMap();                                                                      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                                  \
    {                                                                                                                  \
        return GetThisMessageMap();                                                                                    \
    }                                                                                                                  \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                                    \
    {                                                                                                                  \
        using ThisClass [[maybe_unused]] = theClass;                                                                   \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {                                                                                                                  \
        0, 0, 0, 0, nullptr                                                                                            \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

// The handler call for an entry; `self` is the object, wParam/lParam/pResult the message.
#define AFX_THUNK(call)                                                                                                \
    [](CCmdTarget* _target, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL {                                  \
        ThisClass* self = static_cast<ThisClass*>(_target);                                                            \
        (void)self;                                                                                                    \
        (void)wParam;                                                                                                  \
        (void)lParam;                                                                                                  \
        (void)pResult;                                                                                                 \
        call;                                                                                                          \
        return TRUE;                                                                                                   \
    }

#define AFX_MSG_ENTRY(msg, call) {static_cast<UINT>(msg), 0, 0, 0, AFX_THUNK(call)},

// ---- general messages, handler LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) AFX_MSG_ENTRY(message, *pResult = self->memberFxn(wParam, lParam))

// ---- commands and control notifications (WM_COMMAND), handler void fn()
#define ON_CONTROL(code, id, memberFxn)                                                                                \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), AFX_THUNK(self->memberFxn())},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

// ---- WM_NOTIFY from a child, handler void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, memberFxn)                                                                                 \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id),                                 \
     AFX_THUNK(self->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))},

// ---- notifications reflected back to the control object that sent them
#define ON_CONTROL_REFLECT(code, memberFxn)                                                                            \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0, AFX_THUNK(self->memberFxn())},
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                                             \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,                                                       \
     AFX_THUNK(self->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))},
// HBRUSH CtlColor(CDC*, UINT nCtlColor); a null brush lets the parent colour the control.
#define ON_WM_CTLCOLOR_REFLECT()                                                                                       \
    {WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0,                                                                           \
     [](CCmdTarget* _target, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL {                                 \
         CDC dc;                                                                                                       \
         dc.Attach(reinterpret_cast<HDC>(wParam));                                                                     \
         HBRUSH brush = static_cast<ThisClass*>(_target)->CtlColor(&dc, AfxCurrentCtlColorType());                     \
         dc.Detach();                                                                                                  \
         *pResult = reinterpret_cast<LRESULT>(brush);                                                                  \
         return brush != nullptr;                                                                                      \
     }},

// ---- window messages with their parameters unpacked
#define AFX_DC_CALL(expr)                                                                                              \
    {                                                                                                                  \
        CDC dc;                                                                                                        \
        dc.Attach(reinterpret_cast<HDC>(wParam));                                                                      \
        expr;                                                                                                          \
        dc.Detach();                                                                                                   \
    }
#define AFX_POINT CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))

#define ON_WM_CREATE() AFX_MSG_ENTRY(WM_CREATE, *pResult = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, self->OnDestroy())
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, self->OnClose())
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, self->OnPaint())
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, self->OnNcPaint())
#define ON_WM_NCCALCSIZE()                                                                                             \
    AFX_MSG_ENTRY(WM_NCCALCSIZE,                                                                                       \
                  self->OnNcCalcSize(static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)))
#define ON_WM_ERASEBKGND() AFX_MSG_ENTRY(WM_ERASEBKGND, AFX_DC_CALL(*pResult = self->OnEraseBkgnd(&dc)))
#define ON_WM_CTLCOLOR()                                                                                               \
    AFX_MSG_ENTRY(WM_CTLCOLOR,                                                                                         \
                  AFX_DC_CALL(*pResult = reinterpret_cast<LRESULT>(self->OnCtlColor(                                   \
                                  &dc, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), AfxCurrentCtlColorType()))))
#define ON_WM_SIZE() AFX_MSG_ENTRY(WM_SIZE, self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_SHOWWINDOW()                                                                                             \
    AFX_MSG_ENTRY(WM_SHOWWINDOW, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_SETFOCUS() AFX_MSG_ENTRY(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KILLFOCUS()                                                                                              \
    AFX_MSG_ENTRY(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_SETCURSOR()                                                                                              \
    AFX_MSG_ENTRY(WM_SETCURSOR, *pResult = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),         \
                                                             LOWORD(lParam), HIWORD(lParam)))
#define AFX_MOUSE_ENTRY(msg, fn) AFX_MSG_ENTRY(msg, self->fn(static_cast<UINT>(wParam), AFX_POINT))
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEHOVER() AFX_MOUSE_ENTRY(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, self->OnMouseLeave())
// The wheel message carries a screen point.
#define ON_WM_MOUSEWHEEL()                                                                                             \
    AFX_MSG_ENTRY(WM_MOUSEWHEEL, *pResult = self->OnMouseWheel(GET_KEYSTATE_WPARAM(wParam),                            \
                                                               GET_WHEEL_DELTA_WPARAM(wParam), AFX_POINT))
#define AFX_KEY_ENTRY(msg, fn) AFX_MSG_ENTRY(msg, self->fn(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define AFX_SCROLL_ENTRY(msg, fn)                                                                                      \
    AFX_MSG_ENTRY(msg, self->fn(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),                                    \
                                reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)))))
#define ON_WM_HSCROLL() AFX_SCROLL_ENTRY(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() AFX_SCROLL_ENTRY(WM_VSCROLL, OnVScroll)
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(wParam), lParam))
#define ON_WM_QUERYDRAGICON()                                                                                          \
    AFX_MSG_ENTRY(WM_QUERYDRAGICON, *pResult = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))
#define ON_WM_DRAWITEM()                                                                                               \
    AFX_MSG_ENTRY(WM_DRAWITEM, self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); \
                  *pResult = TRUE)
#define ON_WM_MEASUREITEM()                                                                                            \
    AFX_MSG_ENTRY(WM_MEASUREITEM,                                                                                      \
                  self->OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));        \
                  *pResult = TRUE)

#endif
