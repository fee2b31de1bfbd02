// CMenu and the routing of owner-drawn menu items.
#include "mfc/win/menu.h"

#include "mfc/win/app.h"
#include "mfc/win/gdi.h"
#include "mfc/win/internal.h"
#include "mfc/win/wnd.h"

using quorbel_mfc::GetThreadState;

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() { DestroyMenu(); }

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}
void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

CMenu* PASCAL CMenu::FromHandlePermanent(HMENU hMenu) {
  return hMenu == NULL ? NULL : quorbel_mfc::LookupMenu(hMenu);
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu) {
  if (hMenu == NULL) return NULL;
  CMenu* pMenu = quorbel_mfc::LookupMenu(hMenu);
  if (pMenu != NULL) return pMenu;
  auto& temps = GetThreadState().temps.menus;
  auto it = temps.find(hMenu);
  if (it != temps.end()) return it->second;
  pMenu = new CMenu;
  pMenu->m_hMenu = hMenu;
  temps[hMenu] = pMenu;
  return pMenu;
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (hMenu == NULL || m_hMenu != NULL) return FALSE;
  m_hMenu = hMenu;
  quorbel_mfc::MapMenu(hMenu, this);
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU hMenu = m_hMenu;
  if (hMenu != NULL && quorbel_mfc::LookupMenu(hMenu) == this) quorbel_mfc::UnmapMenu(hMenu);
  m_hMenu = NULL;
  return hMenu;
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == NULL) return FALSE;
  return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_MENU);
  if (hInst == NULL) return FALSE;
  return Attach(::LoadMenuA(hInst, lpszResourceName));
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const CBitmap* pBmp) {
  return ::AppendMenuA(m_hMenu, nFlags | MF_BITMAP, nIDNewItem,
                       reinterpret_cast<LPCSTR>(static_cast<HBITMAP>(pBmp->GetSafeHandle())));
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked,
                               const CBitmap* pBmpChecked) {
  return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags, static_cast<HBITMAP>(pBmpUnchecked->GetSafeHandle()),
                              static_cast<HBITMAP>(pBmpChecked->GetSafeHandle()));
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  // The popup being opened is where owner-drawn items are looked up first.
  GetThreadState().hTrackingMenu = m_hMenu;
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  int length = ::GetMenuStringA(m_hMenu, nIDItem, NULL, 0, nFlags);
  if (length <= 0) {
    rString.Empty();
    return 0;
  }
  char* buffer = rString.GetBuffer(length + 1);
  int got = ::GetMenuStringA(m_hMenu, nIDItem, buffer, length + 1, nFlags);
  rString.ReleaseBuffer(got < 0 ? 0 : got);
  return rString.GetLength();
}

namespace {

// The menu (hMenu or a submenu, depth-first) holding an item with that id
// and item data.
HMENU FindMenuOfItem(HMENU hMenu, UINT nID, ULONG_PTR dwItemData, int depth) {
  if (hMenu == NULL || depth > 16) return NULL;
  int count = ::GetMenuItemCount(hMenu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    if (!::GetMenuItemInfoA(hMenu, i, TRUE, &mii)) continue;
    if (mii.wID == nID && mii.dwItemData == dwItemData) return hMenu;
    HMENU found = FindMenuOfItem(mii.hSubMenu, nID, dwItemData, depth + 1);
    if (found != NULL) return found;
  }
  return NULL;
}

}  // namespace

CMenu* PASCAL CMenu::FindOwnerOfItem(HMENU hMenu, UINT nID, ULONG_PTR dwItemData) {
  HMENU hOwner = FindMenuOfItem(hMenu, nID, dwItemData, 0);
  return hOwner != NULL ? FromHandlePermanent(hOwner) : NULL;
}

CMenu* PASCAL CMenu::FindOwnerOfItemAnywhere(UINT nID, ULONG_PTR dwItemData) {
  std::unordered_map<HMENU, CMenu*> menus;
  quorbel_mfc::SnapshotMenus(menus);
  for (const auto& e : menus) {
    if (FindMenuOfItem(e.first, nID, dwItemData, 15) == e.first) return e.second;
  }
  return NULL;
}
