// Message maps: a static table of entries per class, each naming a window
// message (or command / notification / reflected message), a signature and
// a handler. CWnd::OnWndMsg finds the first matching entry, walking from the
// most derived class to its bases, and one flat switch on the signature
// unpacks WPARAM/LPARAM and calls the handler. No registration at start-up.
#pragma once

#include <cstring>

#include "mfc/object.h"
#include "mfc/types.h"
#include "mfc/win/geometry.h"

class CCmdTarget;
class CWnd;
class CDC;
class CMenu;
class CScrollBar;

// Member functions such as GetSafeHwnd are called through NULL object
// pointers by design (pParent->GetSafeHwnd()). The compiler may assume
// 'this' is never NULL and drop the test, so the test reads the pointer
// through this barrier.
inline const void* QuorbelOpaquePointer(const void* p) {
  asm("" : "+r"(p));
  return p;
}

// Marks message handlers in class bodies; expands to nothing.
#define afx_msg
#ifndef AFXAPI
#define AFXAPI
#endif

// Messages a control receives back from its parent ("reflected"): the
// original message plus this base. WM_CTLCOLOR stands for all WM_CTLCOLOR*.
#define WM_REFLECT_BASE 0xBC00
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
// Kept for code that names the reflected WM_CTLCOLOR as "=WM_CTLCOLOR".
#define WM_CTLCOLOR_REFLECT (WM_REFLECT_BASE + WM_CTLCOLOR)

typedef void (CCmdTarget::*AFX_PMSG)();

// Handler shapes. The name spells the return and argument types:
// v void, b BOOL, i int, u UINT, l LRESULT/LPARAM, w WPARAM, t UINT_PTR,
// p CPoint, W CWnd*, D CDC*, M CMenu*, h HBRUSH, hc HCURSOR.
enum AfxSig : UINT {
  AfxSig_end = 0,
  AfxSig_lwl,        // LRESULT (WPARAM, LPARAM)              ON_MESSAGE, ON_REGISTERED_MESSAGE
  AfxSig_vv,         // void ()                               commands, WM_PAINT, WM_DESTROY, ...
  AfxSig_vu,         // void (UINT nID)                       ON_COMMAND_RANGE, ON_CONTROL_RANGE
  AfxSig_bv,         // BOOL ()                               ON_CONTROL_REFLECT_EX
  AfxSig_bu,         // BOOL (UINT nID)                       ON_COMMAND_EX
  AfxSig_vNMHDRpl,   // void (NMHDR*, LRESULT*)               ON_NOTIFY, ON_NOTIFY_REFLECT
  AfxSig_vuNMHDRpl,  // void (UINT nID, NMHDR*, LRESULT*)     ON_NOTIFY_RANGE
  AfxSig_bNMHDRpl,   // BOOL (NMHDR*, LRESULT*)               ON_NOTIFY_REFLECT_EX
  AfxSig_buNMHDRpl,  // BOOL (UINT nID, NMHDR*, LRESULT*)     ON_NOTIFY_EX
  AfxSig_iCREATE,    // int (LPCREATESTRUCT)                  WM_CREATE
  AfxSig_bD,         // BOOL (CDC*)                           WM_ERASEBKGND
  AfxSig_vt,         // void (UINT_PTR)                       WM_TIMER
  AfxSig_vup,        // void (UINT, CPoint)                   mouse messages
  AfxSig_bWuu,       // BOOL (CWnd*, UINT, UINT)              WM_SETCURSOR
  AfxSig_hDWu,       // HBRUSH (CDC*, CWnd*, UINT)            WM_CTLCOLOR*
  AfxSig_hDu,        // HBRUSH (CDC*, UINT)                   reflected WM_CTLCOLOR*
  AfxSig_viDRAW,     // void (int, LPDRAWITEMSTRUCT)          WM_DRAWITEM
  AfxSig_viMEASURE,  // void (int, LPMEASUREITEMSTRUCT)       WM_MEASUREITEM
  AfxSig_vDRAW,      // void (LPDRAWITEMSTRUCT)               reflected WM_DRAWITEM
  AfxSig_vMEASURE,   // void (LPMEASUREITEMSTRUCT)            reflected WM_MEASUREITEM
  AfxSig_vMub,       // void (CMenu*, UINT, BOOL)             WM_INITMENUPOPUP
  AfxSig_vuii,       // void (UINT, int, int)                 WM_SIZE
  AfxSig_vii,        // void (int, int)                       WM_MOVE
  AfxSig_vul,        // void (UINT, LPARAM)                   WM_SYSCOMMAND
  AfxSig_hcv,        // HCURSOR ()                            WM_QUERYDRAGICON
  AfxSig_vW,         // void (CWnd*)                          WM_SETFOCUS, WM_KILLFOCUS
  AfxSig_vuWb,       // void (UINT, CWnd*, BOOL)              WM_ACTIVATE
  AfxSig_vb,         // void (BOOL)                           WM_ENABLE
  AfxSig_vbh,        // void (BOOL, DWORD)                    WM_ACTIVATEAPP
  AfxSig_uv,         // UINT ()                               WM_GETDLGCODE
  AfxSig_luuM,       // LRESULT (UINT, UINT, CMenu*)          WM_MENUCHAR
  AfxSig_vuuu,       // void (UINT, UINT, UINT)               key messages
  AfxSig_vuuS,       // void (UINT, UINT, CScrollBar*)        WM_HSCROLL, WM_VSCROLL
  AfxSig_vbu,        // void (BOOL, UINT)                     WM_SHOWWINDOW
  AfxSig_vWp,        // void (CWnd*, CPoint)                  WM_CONTEXTMENU
  AfxSig_lp,         // LRESULT (CPoint)                      WM_NCHITTEST
  AfxSig_vPOS,       // void (WINDOWPOS*)                     WM_WINDOWPOSCHANGING/CHANGED
  AfxSig_vMMI,       // void (MINMAXINFO*)                    WM_GETMINMAXINFO
  AfxSig_bup,        // BOOL (UINT, short, CPoint)            WM_MOUSEWHEEL
  AfxSig_vuuM,       // void (UINT, UINT, HMENU)              WM_MENUSELECT
  AfxSig_vHDROP,     // void (HDROP)                          WM_DROPFILES
  AfxSig_vuu,        // void (UINT, UINT)                     reflected WM_HSCROLL/WM_VSCROLL
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;          // window message; WM_COMMAND / WM_NOTIFY for controls
  UINT nCode;             // notification code (commands and notifications)
  UINT nID;               // first control id
  UINT nLastID;           // last control id (same as nID for one control)
  UINT nSig;              // AfxSig: how the handler is called
  AFX_PMSG pfn;           // the handler, cast to the common type
  const UINT* pnRegisteredMessage;  // ON_REGISTERED_MESSAGE: where the id is kept
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // NULL at the root
  const AFX_MSGMAP_ENTRY* lpEntries;     // ends with an AfxSig_end entry
};

// A WM_NOTIFY on its way through OnCmdMsg.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

// The root of message-map owners: windows (CWnd) and threads (CWinThread).
class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
public:
  CCmdTarget() = default;
  ~CCmdTarget() override = default;

  // Routes a command (pExtra NULL) or a notification (pExtra an AFX_NOTIFY*)
  // to this object's message map. TRUE when a handler took it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

  // Wait cursor for the calling thread; nested calls count.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The first entry of one map matching (message, code, id), or NULL.
// Registered messages match through their stored id.
const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg,
                                                   UINT nCode, UINT nID);
// Calls one entry's handler. message/wParam/lParam are the real Win32 values
// (for commands: WM_COMMAND; for notifications: WM_NOTIFY with the NMHDR).
// Returns whether the handler took the message; *pResult gets its result.
BOOL AFXAPI AfxDispatchMsgEntry(CCmdTarget* pTarget, const AFX_MSGMAP_ENTRY* lpEntry,
                                UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

// ---- Declaring and defining maps ----------------------------------------

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
  static const AFX_MSGMAP* GetThisMessageMap();        \
  virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                              \
    typedef theClass ThisClass;                                                  \
    typedef baseClass TheBaseClass;                                              \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                        \
      {0, 0, 0, 0, AfxSig_end, static_cast<AFX_PMSG>(0), nullptr}};              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,      \
                                          &_messageEntries[0]};                  \
    return &messageMap;                                                          \
  }

// Handler pointer casts: the inner cast checks the handler's exact type
// against CWnd's (or CCmdTarget's) shape, the outer one stores it.
template <class F> using QuorbelWndMember = F CWnd::*;
template <class F> using QuorbelCmdMember = F CCmdTarget::*;
// Stored and read back bit for bit (all member-function pointers of one
// class share a layout); a reinterpret_cast would do the same but warns.
template <class F>
inline AFX_PMSG QuorbelStoreHandler(QuorbelCmdMember<F> pfn) {
  static_assert(sizeof(AFX_PMSG) == sizeof(pfn), "member pointers differ in size");
  AFX_PMSG stored;
  std::memcpy(&stored, &pfn, sizeof(stored));
  return stored;
}
template <class F>
inline QuorbelCmdMember<F> QuorbelLoadHandler(AFX_PMSG stored) {
  QuorbelCmdMember<F> pfn;
  static_assert(sizeof(AFX_PMSG) == sizeof(pfn), "member pointers differ in size");
  std::memcpy(&pfn, &stored, sizeof(pfn));
  return pfn;
}
#define QUORBEL_WND_FN(type, fn)              \
  QuorbelStoreHandler<type>(static_cast<QuorbelCmdMember<type>>( \
      static_cast<QuorbelWndMember<type>>(&ThisClass::fn)))
#define QUORBEL_CMD_FN(type, fn) \
  QuorbelStoreHandler<type>(static_cast<QuorbelCmdMember<type>>(&ThisClass::fn))

#define QUORBEL_WM_ENTRY(msg, sig, type, fn) {msg, 0, 0, 0, sig, QUORBEL_WND_FN(type, fn), nullptr},

// ---- Generic and command entries -----------------------------------------

#define ON_MESSAGE(message, memberFxn) \
  {message, 0, 0, 0, AfxSig_lwl, QUORBEL_WND_FN(LRESULT(WPARAM, LPARAM), memberFxn), nullptr},
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                        \
  {0xC000, 0, 0, 0, AfxSig_lwl, QUORBEL_WND_FN(LRESULT(WPARAM, LPARAM), memberFxn), \
   &nMessageVariable},

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), AfxSig_vv, QUORBEL_CMD_FN(void(), memberFxn), nullptr},
#define ON_COMMAND_EX(id, memberFxn) \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), AfxSig_bu, QUORBEL_CMD_FN(BOOL(UINT), memberFxn), nullptr},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(idLast), AfxSig_vu, QUORBEL_CMD_FN(void(UINT), memberFxn), nullptr},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                           \
  {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
   AfxSig_vv, QUORBEL_CMD_FN(void(), memberFxn), nullptr},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                \
  {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), \
   AfxSig_vu, QUORBEL_CMD_FN(void(UINT), memberFxn), nullptr},
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                               \
  {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
   AfxSig_vNMHDRpl, QUORBEL_CMD_FN(void(NMHDR*, LRESULT*), memberFxn), nullptr},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                     \
  {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), \
   AfxSig_vuNMHDRpl, QUORBEL_CMD_FN(void(UINT, NMHDR*, LRESULT*), memberFxn), nullptr},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                            \
  {WM_NOTIFY, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
   AfxSig_buNMHDRpl, QUORBEL_CMD_FN(BOOL(UINT, NMHDR*, LRESULT*), memberFxn), nullptr},

// Control notifications by name.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// ---- Reflected to the control itself ---------------------------------------

#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                    \
  {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0, AfxSig_vv,       \
   QUORBEL_CMD_FN(void(), memberFxn), nullptr},
// The handler returns TRUE to keep the notification from the parent.
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                 \
  {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(wNotifyCode), 0, 0, AfxSig_bv,       \
   QUORBEL_CMD_FN(BOOL(), memberFxn), nullptr},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                     \
  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0, AfxSig_vNMHDRpl,  \
   QUORBEL_CMD_FN(void(NMHDR*, LRESULT*), memberFxn), nullptr},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                  \
  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(wNotifyCode), 0, 0, AfxSig_bNMHDRpl,  \
   QUORBEL_CMD_FN(BOOL(NMHDR*, LRESULT*), memberFxn), nullptr},
#define ON_WM_CTLCOLOR_REFLECT() \
  QUORBEL_WM_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, AfxSig_hDu, HBRUSH(CDC*, UINT), CtlColor)
#define ON_WM_DRAWITEM_REFLECT() \
  QUORBEL_WM_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, AfxSig_vDRAW, void(LPDRAWITEMSTRUCT), DrawItem)
#define ON_WM_MEASUREITEM_REFLECT() \
  QUORBEL_WM_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, AfxSig_vMEASURE, void(LPMEASUREITEMSTRUCT), MeasureItem)
#define ON_WM_HSCROLL_REFLECT() \
  QUORBEL_WM_ENTRY(WM_REFLECT_BASE + WM_HSCROLL, AfxSig_vuu, void(UINT, UINT), HScroll)
#define ON_WM_VSCROLL_REFLECT() \
  QUORBEL_WM_ENTRY(WM_REFLECT_BASE + WM_VSCROLL, AfxSig_vuu, void(UINT, UINT), VScroll)

// ---- Window messages ---------------------------------------------------------

#define ON_WM_CREATE() QUORBEL_WM_ENTRY(WM_CREATE, AfxSig_iCREATE, int(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY() QUORBEL_WM_ENTRY(WM_DESTROY, AfxSig_vv, void(), OnDestroy)
#define ON_WM_NCDESTROY() QUORBEL_WM_ENTRY(WM_NCDESTROY, AfxSig_vv, void(), OnNcDestroy)
#define ON_WM_PAINT() QUORBEL_WM_ENTRY(WM_PAINT, AfxSig_vv, void(), OnPaint)
#define ON_WM_NCPAINT() QUORBEL_WM_ENTRY(WM_NCPAINT, AfxSig_vv, void(), OnNcPaint)
#define ON_WM_CLOSE() QUORBEL_WM_ENTRY(WM_CLOSE, AfxSig_vv, void(), OnClose)
#define ON_WM_CANCELMODE() QUORBEL_WM_ENTRY(WM_CANCELMODE, AfxSig_vv, void(), OnCancelMode)
#define ON_WM_SYSCOLORCHANGE() QUORBEL_WM_ENTRY(WM_SYSCOLORCHANGE, AfxSig_vv, void(), OnSysColorChange)
#define ON_WM_MOUSELEAVE() QUORBEL_WM_ENTRY(WM_MOUSELEAVE, AfxSig_vv, void(), OnMouseLeave)
#define ON_WM_CAPTURECHANGED() QUORBEL_WM_ENTRY(WM_CAPTURECHANGED, AfxSig_vW, void(CWnd*), OnCaptureChanged)
#define ON_WM_ERASEBKGND() QUORBEL_WM_ENTRY(WM_ERASEBKGND, AfxSig_bD, BOOL(CDC*), OnEraseBkgnd)
#define ON_WM_TIMER() QUORBEL_WM_ENTRY(WM_TIMER, AfxSig_vt, void(UINT_PTR), OnTimer)
#define ON_WM_MOUSEMOVE() QUORBEL_WM_ENTRY(WM_MOUSEMOVE, AfxSig_vup, void(UINT, CPoint), OnMouseMove)
#define ON_WM_LBUTTONDOWN() QUORBEL_WM_ENTRY(WM_LBUTTONDOWN, AfxSig_vup, void(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() QUORBEL_WM_ENTRY(WM_LBUTTONUP, AfxSig_vup, void(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QUORBEL_WM_ENTRY(WM_LBUTTONDBLCLK, AfxSig_vup, void(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QUORBEL_WM_ENTRY(WM_RBUTTONDOWN, AfxSig_vup, void(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() QUORBEL_WM_ENTRY(WM_RBUTTONUP, AfxSig_vup, void(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() QUORBEL_WM_ENTRY(WM_RBUTTONDBLCLK, AfxSig_vup, void(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() QUORBEL_WM_ENTRY(WM_MBUTTONDOWN, AfxSig_vup, void(UINT, CPoint), OnMButtonDown)
#define ON_WM_MBUTTONUP() QUORBEL_WM_ENTRY(WM_MBUTTONUP, AfxSig_vup, void(UINT, CPoint), OnMButtonUp)
#define ON_WM_NCLBUTTONDOWN() QUORBEL_WM_ENTRY(WM_NCLBUTTONDOWN, AfxSig_vup, void(UINT, CPoint), OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() QUORBEL_WM_ENTRY(WM_NCLBUTTONUP, AfxSig_vup, void(UINT, CPoint), OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() QUORBEL_WM_ENTRY(WM_NCLBUTTONDBLCLK, AfxSig_vup, void(UINT, CPoint), OnNcLButtonDblClk)
#define ON_WM_NCMOUSEMOVE() QUORBEL_WM_ENTRY(WM_NCMOUSEMOVE, AfxSig_vup, void(UINT, CPoint), OnNcMouseMove)
#define ON_WM_MOUSEWHEEL() QUORBEL_WM_ENTRY(WM_MOUSEWHEEL, AfxSig_bup, BOOL(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_SETCURSOR() QUORBEL_WM_ENTRY(WM_SETCURSOR, AfxSig_bWuu, BOOL(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_CTLCOLOR() QUORBEL_WM_ENTRY(WM_CTLCOLOR, AfxSig_hDWu, HBRUSH(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_DRAWITEM() QUORBEL_WM_ENTRY(WM_DRAWITEM, AfxSig_viDRAW, void(int, LPDRAWITEMSTRUCT), OnDrawItem)
#define ON_WM_MEASUREITEM() QUORBEL_WM_ENTRY(WM_MEASUREITEM, AfxSig_viMEASURE, void(int, LPMEASUREITEMSTRUCT), OnMeasureItem)
#define ON_WM_INITMENUPOPUP() QUORBEL_WM_ENTRY(WM_INITMENUPOPUP, AfxSig_vMub, void(CMenu*, UINT, BOOL), OnInitMenuPopup)
#define ON_WM_MENUSELECT() QUORBEL_WM_ENTRY(WM_MENUSELECT, AfxSig_vuuM, void(UINT, UINT, HMENU), OnMenuSelect)
#define ON_WM_MENUCHAR() QUORBEL_WM_ENTRY(WM_MENUCHAR, AfxSig_luuM, LRESULT(UINT, UINT, CMenu*), OnMenuChar)
#define ON_WM_SIZE() QUORBEL_WM_ENTRY(WM_SIZE, AfxSig_vuii, void(UINT, int, int), OnSize)
#define ON_WM_MOVE() QUORBEL_WM_ENTRY(WM_MOVE, AfxSig_vii, void(int, int), OnMove)
#define ON_WM_SYSCOMMAND() QUORBEL_WM_ENTRY(WM_SYSCOMMAND, AfxSig_vul, void(UINT, LPARAM), OnSysCommand)
#define ON_WM_QUERYDRAGICON() QUORBEL_WM_ENTRY(WM_QUERYDRAGICON, AfxSig_hcv, HCURSOR(), OnQueryDragIcon)
#define ON_WM_SETFOCUS() QUORBEL_WM_ENTRY(WM_SETFOCUS, AfxSig_vW, void(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS() QUORBEL_WM_ENTRY(WM_KILLFOCUS, AfxSig_vW, void(CWnd*), OnKillFocus)
#define ON_WM_ACTIVATE() QUORBEL_WM_ENTRY(WM_ACTIVATE, AfxSig_vuWb, void(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ACTIVATEAPP() QUORBEL_WM_ENTRY(WM_ACTIVATEAPP, AfxSig_vbh, void(BOOL, DWORD), OnActivateApp)
#define ON_WM_ENABLE() QUORBEL_WM_ENTRY(WM_ENABLE, AfxSig_vb, void(BOOL), OnEnable)
#define ON_WM_GETDLGCODE() QUORBEL_WM_ENTRY(WM_GETDLGCODE, AfxSig_uv, UINT(), OnGetDlgCode)
#define ON_WM_KEYDOWN() QUORBEL_WM_ENTRY(WM_KEYDOWN, AfxSig_vuuu, void(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() QUORBEL_WM_ENTRY(WM_KEYUP, AfxSig_vuuu, void(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR() QUORBEL_WM_ENTRY(WM_CHAR, AfxSig_vuuu, void(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN() QUORBEL_WM_ENTRY(WM_SYSKEYDOWN, AfxSig_vuuu, void(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_HSCROLL() QUORBEL_WM_ENTRY(WM_HSCROLL, AfxSig_vuuS, void(UINT, UINT, CScrollBar*), OnHScroll)
#define ON_WM_VSCROLL() QUORBEL_WM_ENTRY(WM_VSCROLL, AfxSig_vuuS, void(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_SHOWWINDOW() QUORBEL_WM_ENTRY(WM_SHOWWINDOW, AfxSig_vbu, void(BOOL, UINT), OnShowWindow)
#define ON_WM_CONTEXTMENU() QUORBEL_WM_ENTRY(WM_CONTEXTMENU, AfxSig_vWp, void(CWnd*, CPoint), OnContextMenu)
#define ON_WM_NCHITTEST() QUORBEL_WM_ENTRY(WM_NCHITTEST, AfxSig_lp, LRESULT(CPoint), OnNcHitTest)
#define ON_WM_WINDOWPOSCHANGING() QUORBEL_WM_ENTRY(WM_WINDOWPOSCHANGING, AfxSig_vPOS, void(WINDOWPOS*), OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() QUORBEL_WM_ENTRY(WM_WINDOWPOSCHANGED, AfxSig_vPOS, void(WINDOWPOS*), OnWindowPosChanged)
#define ON_WM_GETMINMAXINFO() QUORBEL_WM_ENTRY(WM_GETMINMAXINFO, AfxSig_vMMI, void(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_DROPFILES() QUORBEL_WM_ENTRY(WM_DROPFILES, AfxSig_vHDROP, void(HDROP), OnDropFiles)
