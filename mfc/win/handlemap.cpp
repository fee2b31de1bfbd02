// Handle maps and per-thread state.
#include "mfc/win/internal.h"

#include <mutex>

#include "mfc/win/gdi.h"
#include "mfc/win/imagelist.h"
#include "mfc/win/menu.h"

namespace quorbel_mfc {

namespace {

// The maps and their locks are never destroyed: windows and menus held by
// static objects are detached during static destruction, in any order.
std::mutex& WindowMapLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
std::unordered_map<HWND, CWnd*>& WindowMap() {
  static auto* map = new std::unordered_map<HWND, CWnd*>;
  return *map;
}
std::mutex& MenuMapLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
std::unordered_map<HMENU, CMenu*>& MenuMap() {
  static auto* map = new std::unordered_map<HMENU, CMenu*>;
  return *map;
}

}  // namespace

// Per-thread state lives in a fiber-local slot rather than a C++
// thread_local: destructors of thread_local objects run late in thread
// exit with the mingw runtime, where they can deadlock or touch freed
// storage. Threads started by AfxBeginThread free theirs explicitly; the
// slot's callback frees the state of every other thread as it ends (a
// library's callback threads, plain workers).
namespace {

volatile LONG g_liveStates = 0;

void DeleteState(ThreadState* state) {
  if (state == nullptr) return;
  ::InterlockedDecrement(&g_liveStates);
  delete state;
}

void WINAPI FreeStateAtThreadEnd(void* data) { DeleteState(static_cast<ThreadState*>(data)); }

DWORD ThreadStateIndex() {
  static const DWORD index = ::FlsAlloc(&FreeStateAtThreadEnd);
  return index;
}

}  // namespace

ThreadState& GetThreadState() {
  ThreadState* state = static_cast<ThreadState*>(::FlsGetValue(ThreadStateIndex()));
  if (state == nullptr) {
    state = new ThreadState;
    ::InterlockedIncrement(&g_liveStates);
    ::FlsSetValue(ThreadStateIndex(), state);
  }
  return *state;
}

void FreeThreadState() {
  ThreadState* state = static_cast<ThreadState*>(::FlsGetValue(ThreadStateIndex()));
  ::FlsSetValue(ThreadStateIndex(), nullptr);
  DeleteState(state);
}

long LiveThreadStates() { return g_liveStates; }

void TempMaps::DeleteAll() {
  // Temporaries never own their handles: clear them before deleting.
  for (auto& e : windows) {
    e.second->m_hWnd = NULL;
    delete e.second;
  }
  windows.clear();
  for (auto& e : dcs) {
    e.second->m_hDC = e.second->m_hAttribDC = NULL;
    delete e.second;
  }
  dcs.clear();
  for (auto& e : gdiObjects) {
    e.second->m_hObject = NULL;
    delete e.second;
  }
  gdiObjects.clear();
  for (auto& e : menus) {
    e.second->m_hMenu = NULL;
    delete e.second;
  }
  menus.clear();
  for (auto& e : imageLists) {
    e.second->m_hImageList = NULL;
    delete e.second;
  }
  imageLists.clear();
}

void MapWindow(HWND hWnd, CWnd* pWnd) {
  std::lock_guard<std::mutex> guard(WindowMapLock());
  WindowMap()[hWnd] = pWnd;
}

void UnmapWindow(HWND hWnd) {
  std::lock_guard<std::mutex> guard(WindowMapLock());
  WindowMap().erase(hWnd);
}

CWnd* LookupWindow(HWND hWnd) {
  std::lock_guard<std::mutex> guard(WindowMapLock());
  auto it = WindowMap().find(hWnd);
  return it == WindowMap().end() ? NULL : it->second;
}

HWND FindWindowOfObject(const CWnd* pWnd) {
  std::lock_guard<std::mutex> guard(WindowMapLock());
  for (const auto& e : WindowMap()) {
    if (e.second == pWnd) return e.first;
  }
  return NULL;
}

void MapMenu(HMENU hMenu, CMenu* pMenu) {
  std::lock_guard<std::mutex> guard(MenuMapLock());
  MenuMap()[hMenu] = pMenu;
}

void UnmapMenu(HMENU hMenu) {
  std::lock_guard<std::mutex> guard(MenuMapLock());
  MenuMap().erase(hMenu);
}

CMenu* LookupMenu(HMENU hMenu) {
  std::lock_guard<std::mutex> guard(MenuMapLock());
  auto it = MenuMap().find(hMenu);
  return it == MenuMap().end() ? NULL : it->second;
}

void SnapshotMenus(std::unordered_map<HMENU, CMenu*>& out) {
  std::lock_guard<std::mutex> guard(MenuMapLock());
  out = MenuMap();
}

HINSTANCE ExeInstance() { return ::GetModuleHandleA(NULL); }

}  // namespace quorbel_mfc

void AFXAPI AfxDeleteTempMaps() { quorbel_mfc::GetThreadState().temps.DeleteAll(); }
