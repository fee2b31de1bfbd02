// Private to the library: per-thread state and the handle maps.
#pragma once

#include <windows.h>

#include <unordered_map>
#include <utility>

#include "mfc/win/wnd.h"

class CWinThread;
class CDC;
class CGdiObject;
class CMenu;
class CImageList;
class CCommonDialog;

namespace quorbel_mfc {

struct PairHash {
  size_t operator()(const std::pair<const void*, const void*>& p) const {
    return std::hash<const void*>()(p.first) * 31 + std::hash<const void*>()(p.second);
  }
};

// Temporary wrappers handed out by FromHandle on one thread. They own no
// handle; AfxDeleteTempMaps detaches and frees them.
struct TempMaps {
  std::unordered_map<HWND, CWnd*> windows;
  std::unordered_map<HDC, CDC*> dcs;
  // keyed by (handle, the wrapper's run-time class) so CFont::FromHandle and
  // CGdiObject::FromHandle of one handle give objects of their own class
  std::unordered_map<std::pair<const void*, const void*>, CGdiObject*, PairHash> gdiObjects;
  std::unordered_map<HMENU, CMenu*> menus;
  std::unordered_map<HIMAGELIST, CImageList*> imageLists;
  void DeleteAll();
  ~TempMaps() { DeleteAll(); }
};

struct ThreadState {
  CWinThread* pThread = nullptr;        // the thread's object (app or AfxBeginThread)
  CWnd* pWndInit = nullptr;             // window whose creation is hooked
  bool bWndInitAttached = false;        // the CBT hook attached pWndInit
  HHOOK hHookCbt = nullptr;             // the CBT hook while a creation is hooked
  int nHookDepth = 0;                   // nested hooked creations
  MSG lastMsg = {};                     // message being handled (Default, reflection)
  HMENU hTrackingMenu = nullptr;        // popup of the last WM_INITMENUPOPUP
  int nWaitCursor = 0;                  // CWaitCursor / BeginWaitCursor depth
  HCURSOR hcurWaitRestore = nullptr;    // cursor before the wait cursor
  CCommonDialog* pCommonDialog = nullptr;  // common dialog about to run (hook attaches it)
  int nLoopDepth = 0;                   // message loops running on the thread
  HWND hLockoutNotifyWindow = nullptr;  // window inside UpdateData: its control notifications are dropped
  bool bOleInitialized = false;         // OleInitialize succeeded here (kept for the thread's life)
  HRESULT hrLastControlCall = S_OK;     // result of the last call into an ActiveX control
  TempMaps temps;
};

ThreadState& GetThreadState();
// Frees the calling thread's state (temporaries included) at its end.
void FreeThreadState();
// Thread states alive in the process (tests).
long LiveThreadStates();

// Thrown by CDataExchange::Fail, caught by UpdateData.
struct DataExchangeFailure {};

// Permanent map of windows, shared by all threads.
void MapWindow(HWND hWnd, CWnd* pWnd);
void UnmapWindow(HWND hWnd);
CWnd* LookupWindow(HWND hWnd);
// The window an object is attached to, found without touching the object
// (which may be gone); NULL when it is attached to none.
HWND FindWindowOfObject(const CWnd* pWnd);

// Permanent map of menus, shared by all threads.
void MapMenu(HMENU hMenu, CMenu* pMenu);
void UnmapMenu(HMENU hMenu);
CMenu* LookupMenu(HMENU hMenu);
// Every attached menu handle (a snapshot).
void SnapshotMenus(std::unordered_map<HMENU, CMenu*>& out);

// Walks the parents of hWnd up to its top-level window, giving each
// attached CWnd's PreTranslateMessage the message. TRUE when one took it.
BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

// One pass of a message loop: gets and dispatches one message. FALSE on WM_QUIT
// (reposted for the outer loop when bRepostQuit).
BOOL PumpMessage(bool bRepostQuit);

// Wait cursor of the calling thread: 1 adds a level, -1 removes one, 0
// shows it again.
void DoWaitCursor(int nCode);

// The main module; the resource handle defaults to it.
HINSTANCE ExeInstance();

// The standard and common control classes, registered once: dialogs and
// control wrappers may be made before any application object exists.
void EnsureCommonControls();

}  // namespace quorbel_mfc
