// COwnerMenu: item records, images, measuring, loading from a menu
// resource, resynchronisation, mnemonics and destruction. Drawing is in
// owner_menu_draw.cpp.
#include "controls/owner_menu.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <mutex>

#include "controls/color_math.h"
#include "controls/owner_menu_layout.h"

using namespace quorbel_controls;
using namespace owner_menu_detail;

IMPLEMENT_DYNCREATE(COwnerMenu, CMenu)

namespace {

// What all owner-drawn menus of the process share.
struct MenuProcessState {
  std::mutex lock;                  // guards ownMenus
  std::vector<HMENU> ownMenus;      // menus made by (or appended to) COwnerMenu objects
  CImageList globalImages;          // images by command id
  std::vector<UINT_PTR> globalIds;  // the command id of each global image
  OwnerMenuSettings settings;
  int versionClass = -1;            // detected once; -1 not yet
  int classicTheme = -1;            // detected once; -1 not yet
  int versionOverride = -1;         // test seam; -1 none
  int classicOverride = -1;         // test seam; -1 none
};

MenuProcessState& State() {
  static MenuProcessState state;
  return state;
}

void RegisterOwnMenu(HMENU hMenu) {
  if (hMenu == NULL) return;
  MenuProcessState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (std::find(s.ownMenus.begin(), s.ownMenus.end(), hMenu) == s.ownMenus.end()) s.ownMenus.push_back(hMenu);
}

void UnregisterOwnMenu(HMENU hMenu) {
  MenuProcessState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.ownMenus.erase(std::remove(s.ownMenus.begin(), s.ownMenus.end(), hMenu), s.ownMenus.end());
}

int DetectVersionClass() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExA(&info)) return kMenuOtherNt;
  return ComputeMenuVersionClass(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

// A copy of an icon-size bitmap in which every pixel that differs from the
// background pixel at (1, 1) is lightened (faded) or painted in a light
// shadow colour (shadow).
HBITMAP DeriveImage(HBITMAP hSource, int cx, int cy, bool shadow) {
  HDC hdcScreen = ::GetDC(NULL);
  HDC hdcSrc = ::CreateCompatibleDC(hdcScreen);
  HDC hdcDst = ::CreateCompatibleDC(hdcScreen);
  HBITMAP hResult = ::CreateCompatibleBitmap(hdcScreen, cx, cy);
  HGDIOBJ oldSrc = ::SelectObject(hdcSrc, hSource);
  HGDIOBJ oldDst = ::SelectObject(hdcDst, hResult);
  ::BitBlt(hdcDst, 0, 0, cx, cy, hdcSrc, 0, 0, SRCCOPY);
  COLORREF background = ::GetPixel(hdcSrc, 1, 1);
  COLORREF shade = LightenColor(::GetSysColor(COLOR_BTNSHADOW), 0.49);
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < cx; ++x) {
      COLORREF pixel = ::GetPixel(hdcSrc, x, y);
      if (pixel != background) ::SetPixel(hdcDst, x, y, shadow ? shade : LightenColor(pixel, 0.3));
    }
  }
  ::SelectObject(hdcSrc, oldSrc);
  ::SelectObject(hdcDst, oldDst);
  ::DeleteDC(hdcSrc);
  ::DeleteDC(hdcDst);
  ::ReleaseDC(NULL, hdcScreen);
  return hResult;
}

// Puts a bitmap into a list at index (or appends it with index -1), the
// face colour being transparent. The index it landed at, or -1.
int PutMasked(HIMAGELIST hList, int index, HBITMAP hBitmap, int cx, int cy) {
  COLORREF mask = ::GetSysColor(COLOR_BTNFACE);
  if (index < 0) return ImageList_AddMasked(hList, hBitmap, mask);
  HIMAGELIST hTemp = ImageList_Create(cx, cy, ILC_MASK | ILC_COLORDDB, 1, 1);
  int result = -1;
  if (hTemp != NULL && ImageList_AddMasked(hTemp, hBitmap, mask) >= 0) {
    HICON hIcon = ImageList_GetIcon(hTemp, 0, ILD_NORMAL);
    if (hIcon != NULL) {
      result = ImageList_ReplaceIcon(hList, index, hIcon);
      ::DestroyIcon(hIcon);
    }
  }
  if (hTemp != NULL) ImageList_Destroy(hTemp);
  return result;
}

// Appends the faded and the shadow copy of image nImage to hList (or, with
// replaceAt >= 0, puts them at replaceAt and replaceAt + 1). The indexes
// used, -1 for a copy that could not be made.
void PutDerivedCopies(HIMAGELIST hList, int nImage, int cx, int cy, int replaceAt, int& faded, int& shadow) {
  faded = shadow = -1;
  HBITMAP hRendered = RenderImage(hList, nImage, cx, cy);
  if (hRendered == NULL) return;
  HBITMAP hFaded = DeriveImage(hRendered, cx, cy, false);
  HBITMAP hShadow = DeriveImage(hRendered, cx, cy, true);
  faded = PutMasked(hList, replaceAt, hFaded, cx, cy);
  shadow = PutMasked(hList, replaceAt < 0 ? -1 : replaceAt + 1, hShadow, cx, cy);
  ::DeleteObject(hFaded);
  ::DeleteObject(hShadow);
  ::DeleteObject(hRendered);
}

// Records the command of a newly appended global image.
void RecordGlobalId(int index, UINT_PTR nID) {
  std::vector<UINT_PTR>& ids = State().globalIds;
  if (index < 0) return;
  if (ids.size() <= static_cast<size_t>(index)) ids.resize(static_cast<size_t>(index) + 1, ~static_cast<UINT_PTR>(0));
  ids[static_cast<size_t>(index)] = nID;
}

// Little-endian reads of a menu template, each bounded by its end.
bool ReadWord(const BYTE*& p, const BYTE* end, WORD& value) {
  if (end - p < 2) return false;
  value = static_cast<WORD>(p[0] | (p[1] << 8));
  p += 2;
  return true;
}

bool ReadText(const BYTE*& p, const BYTE* end, std::wstring& text) {
  text.clear();
  for (;;) {
    WORD ch;
    if (!ReadWord(p, end, ch)) return false;
    if (ch == 0) return true;
    text.push_back(static_cast<wchar_t>(ch));
  }
}

// Deepest nesting of popups a menu resource may have.
const int kMaxMenuDepth = 16;

// Makes the item at a position a plain text item; a popup keeps its submenu.
void SetPlainItem(HMENU hMenu, int pos, const CString& text) {
  HMENU hSub = ::GetSubMenu(hMenu, pos);
  if (hSub != NULL)
    ::ModifyMenuA(hMenu, static_cast<UINT>(pos), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(hSub), text);
  else
    ::ModifyMenuA(hMenu, static_cast<UINT>(pos), MF_BYPOSITION, ::GetMenuItemID(hMenu, pos), text);
}

}  // namespace

// ---- Helpers shared with the drawing -------------------------------------------------------

namespace owner_menu_detail {

HFONT CreateMenuFont() {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof(metrics);
  BOOL ok = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  if (!ok) {
    // Systems before Vista know the record without its last field.
    metrics.cbSize = static_cast<UINT>(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth));
    ok = ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  }
  HFONT hFont = ok ? ::CreateFontIndirectA(&metrics.lfMenuFont) : NULL;
  return hFont != NULL ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HWND MeasuringWindow() {
  HWND hWnd = AfxGetMainWnd()->GetSafeHwnd();
  return hWnd != NULL ? hWnd : ::GetDesktopWindow();
}

HBITMAP RenderImage(HIMAGELIST hList, int nImage, int cx, int cy) {
  HICON hIcon = hList != NULL ? ImageList_GetIcon(hList, nImage, ILD_NORMAL) : NULL;
  if (hIcon == NULL) return NULL;
  HDC hdcScreen = ::GetDC(NULL);
  HDC hdcMem = ::CreateCompatibleDC(hdcScreen);
  HBITMAP hBitmap = ::CreateCompatibleBitmap(hdcScreen, cx, cy);
  HGDIOBJ old = ::SelectObject(hdcMem, hBitmap);
  ::DrawIconEx(hdcMem, 0, 0, hIcon, cx, cy, 0, ::GetSysColorBrush(COLOR_BTNFACE), DI_NORMAL);
  ::SelectObject(hdcMem, old);
  ::DeleteDC(hdcMem);
  ::ReleaseDC(NULL, hdcScreen);
  ::DestroyIcon(hIcon);
  return hBitmap;
}

std::wstring Widen(LPCSTR lpsz) {
  if (lpsz == NULL || *lpsz == '\0') return std::wstring();
  int length = ::MultiByteToWideChar(CP_ACP, 0, lpsz, -1, NULL, 0);
  if (length <= 1) return std::wstring();
  std::wstring text(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, lpsz, -1, &text[0], length);
  text.resize(static_cast<size_t>(length) - 1);
  return text;
}

CString Narrow(const std::wstring& text) {
  if (text.empty()) return CString();
  int wide = static_cast<int>(text.size());
  int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), wide, NULL, 0, NULL, NULL);
  if (length <= 0) return CString();
  CString result;
  char* buffer = result.GetBuffer(length);
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), wide, buffer, length, NULL, NULL);
  result.ReleaseBuffer(length);
  return result;
}

}  // namespace owner_menu_detail

// ---- Item records ------------------------------------------------------------------------------

CString OwnerMenuItem::GetText() const { return Narrow(text); }
void OwnerMenuItem::SetText(LPCSTR lpszText) { text = Widen(lpszText); }

// ---- Process-wide state ------------------------------------------------------------------------

OwnerMenuSettings& COwnerMenu::Settings() { return State().settings; }

int COwnerMenu::VersionClass() {
  MenuProcessState& s = State();
  if (s.versionOverride >= 0) return s.versionOverride;
  if (s.versionClass < 0) s.versionClass = DetectVersionClass();
  return s.versionClass;
}

BOOL COwnerMenu::DetectClassicTheme() {
  HKEY hKey = NULL;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &hKey) !=
      ERROR_SUCCESS)
    return FALSE;
  char value[261] = "";
  DWORD size = 260;
  DWORD type = 0;
  LONG result = ::RegQueryValueExA(hKey, NULL, NULL, &type, reinterpret_cast<BYTE*>(value), &size);
  ::RegCloseKey(hKey);
  if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return FALSE;
  value[size < 260 ? size : 260] = '\0';
  return IsClassicThemeFile(value);
}

BOOL COwnerMenu::ClassicTheme() {
  MenuProcessState& s = State();
  if (s.classicOverride >= 0) return s.classicOverride;
  if (s.classicTheme < 0) s.classicTheme = DetectClassicTheme() ? 1 : 0;
  return s.classicTheme;
}

BOOL COwnerMenu::XpWithTheme() { return VersionClass() == kMenuWinXp && !ClassicTheme(); }

BOOL COwnerMenu::XpLook() {
  const OwnerMenuSettings& settings = Settings();
  return (XpWithTheme() ? settings.xpLookWithTheme : settings.xpLookOtherwise) == 1;
}

void COwnerMenu::OverrideEnvironment(int nVersionClass, int nClassicTheme) {
  State().versionOverride = nVersionClass;
  State().classicOverride = nClassicTheme;
}

void COwnerMenu::ResetEnvironment() {
  MenuProcessState& s = State();
  s.versionOverride = s.classicOverride = -1;
  s.versionClass = s.classicTheme = -1;
}

BOOL COwnerMenu::IsOwnMenu(HMENU hMenu) {
  MenuProcessState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return hMenu != NULL && std::find(s.ownMenus.begin(), s.ownMenus.end(), hMenu) != s.ownMenus.end();
}

// ---- Global images -----------------------------------------------------------------------------

CImageList* COwnerMenu::GetGlobalImages() {
  CImageList& images = State().globalImages;
  return images.GetSafeHandle() != NULL ? &images : NULL;
}

int COwnerMenu::FindGlobalImage(UINT_PTR nID) {
  const std::vector<UINT_PTR>& ids = State().globalIds;
  auto it = std::find(ids.begin(), ids.end(), nID);
  return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

BOOL COwnerMenu::HasThreeGlobalEntries(int nIndex) {
  const std::vector<UINT_PTR>& ids = State().globalIds;
  if (nIndex < 0 || static_cast<size_t>(nIndex) + 2 >= ids.size()) return FALSE;
  return ids[nIndex + 1] == ids[nIndex] && ids[nIndex + 2] == ids[nIndex];
}

void COwnerMenu::ResetGlobalImages() {
  State().globalImages.DeleteImageList();
  State().globalIds.clear();
}

int COwnerMenu::AddGlobalImage(CImageList* pList, int nImage, UINT_PTR nID) {
  MenuProcessState& s = State();
  if (s.globalImages.GetSafeHandle() == NULL &&
      !s.globalImages.Create(m_nIconWidth, m_nIconHeight, ILC_MASK | ILC_COLORDDB, 1, 1))
    return -1;
  HIMAGELIST hGlobal = s.globalImages.GetSafeHandle();
  HICON hIcon = pList != NULL ? ImageList_GetIcon(pList->GetSafeHandle(), nImage, ILD_NORMAL) : NULL;
  if (hIcon == NULL) return -1;
  int cx = 0, cy = 0;
  ImageList_GetIconSize(hGlobal, &cx, &cy);
  int first = FindGlobalImage(nID);
  int index = first;
  if (first >= 0) {
    ImageList_ReplaceIcon(hGlobal, first, hIcon);
  } else {
    index = ImageList_ReplaceIcon(hGlobal, -1, hIcon);
    RecordGlobalId(index, nID);
  }
  ::DestroyIcon(hIcon);
  if (index < 0) return -1;
  if (XpLook() && Settings().raisedIcons) {
    int faded, shadow;
    if (first < 0) {
      PutDerivedCopies(hGlobal, index, cx, cy, -1, faded, shadow);
      RecordGlobalId(faded, nID);
      RecordGlobalId(shadow, nID);
    } else if (HasThreeGlobalEntries(first)) {
      PutDerivedCopies(hGlobal, index, cx, cy, first + 1, faded, shadow);
    }
  }
  return index;
}

// ---- Construction and destruction -------------------------------------------------------------

COwnerMenu::COwnerMenu() = default;

COwnerMenu::~COwnerMenu() { DestroyMenu(); }

BOOL COwnerMenu::CreateMenu() {
  if (m_hMenu != NULL || !CMenu::CreateMenu()) return FALSE;
  RegisterOwnMenu(m_hMenu);
  return TRUE;
}

BOOL COwnerMenu::CreatePopupMenu() {
  if (m_hMenu != NULL || !CMenu::CreatePopupMenu()) return FALSE;
  RegisterOwnMenu(m_hMenu);
  return TRUE;
}

void COwnerMenu::ReleaseContents() {
  UnregisterOwnMenu(m_hMenu);
  for (HMENU hSub : m_subMenus) UnregisterOwnMenu(hSub);
  m_subMenus.clear();
  // The nested menus' handles go with this menu's handle.
  for (COwnerMenu* pSub : m_subMenuObjects) {
    pSub->ReleaseContents();
    pSub->Detach();
    delete pSub;
  }
  m_subMenuObjects.clear();
  for (OwnerMenuItem* pItem : m_items) delete pItem;
  m_items.clear();
}

BOOL COwnerMenu::DestroyMenu() {
  ReleaseContents();
  if (!m_bSharedCheckImages) delete m_pCheckImages;
  m_pCheckImages = NULL;
  m_bSharedCheckImages = FALSE;
  m_bTopLevelPlain = FALSE;
  return CMenu::DestroyMenu();
}

void COwnerMenu::SetCheckImages(CImageList* pImages, int nCheckedIndex, int nUncheckedIndex, BOOL bShared) {
  if (!m_bSharedCheckImages && m_pCheckImages != pImages) delete m_pCheckImages;
  m_pCheckImages = pImages;
  m_bSharedCheckImages = bShared;
  m_nCheckedImage = nCheckedIndex;
  m_nUncheckedImage = nUncheckedIndex;
}

OwnerMenuItem* COwnerMenu::GetItem(int nIndex) const {
  return nIndex >= 0 && nIndex < GetItemCount() ? m_items[static_cast<size_t>(nIndex)] : NULL;
}

COwnerMenu* COwnerMenu::GetSubMenuObject(int nIndex) const {
  return nIndex >= 0 && nIndex < GetSubMenuObjectCount() ? m_subMenuObjects[static_cast<size_t>(nIndex)] : NULL;
}

OwnerMenuItem* COwnerMenu::FindRecord(ULONG_PTR itemData) const {
  for (OwnerMenuItem* pItem : m_items) {
    if (reinterpret_cast<ULONG_PTR>(pItem) == itemData) return pItem;
  }
  return NULL;
}

// ---- Measuring ----------------------------------------------------------------------------------

void COwnerMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (lpMeasureItemStruct == NULL || lpMeasureItemStruct->CtlType != ODT_MENU) return;
  OwnerMenuItem* pItem = FindRecord(lpMeasureItemStruct->itemData);
  if (pItem == NULL) return;
  bool xp = XpLook() != FALSE;
  int gap = MenuIconGap(xp, Settings().raisedIcons != 0);
  int menuHeight = ::GetSystemMetrics(SM_CYMENU);
  if (pItem->flags & MF_SEPARATOR) {
    lpMeasureItemStruct->itemWidth = 0;
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(MenuSeparatorHeight(m_nIconHeight, gap, menuHeight));
    return;
  }
  HWND hWnd = MeasuringWindow();
  HDC hdc = ::GetDC(hWnd);
  HFONT hFont = CreateMenuFont();
  int versionClass = VersionClass();
  HGDIOBJ old = versionClass > kMenuOtherNt ? ::SelectObject(hdc, hFont) : NULL;
  int textWidth = 0;
  if (versionClass == kMenuWin3x) {
    CString text = pItem->GetText();
    RECT rect = {0, 0, 0, 0};
    ::DrawTextA(hdc, text, text.GetLength(), &rect, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    textWidth = rect.right - rect.left;
  } else {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(hdc, pItem->text.c_str(), static_cast<int>(pItem->text.size()), &size);
    textWidth = size.cx;
  }
  if (old != NULL) ::SelectObject(hdc, old);
  ::DeleteObject(hFont);
  ::ReleaseDC(hWnd, hdc);
  lpMeasureItemStruct->itemWidth =
      static_cast<UINT>(MenuItemWidth(textWidth, static_cast<int>(pItem->text.size()), m_nIconWidth, gap, xp));
  lpMeasureItemStruct->itemHeight = static_cast<UINT>(MenuItemHeight(m_nIconHeight, gap, menuHeight));
}

// ---- Appending ----------------------------------------------------------------------------------

BOOL COwnerMenu::AppendItem(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, INT_PTR imageResource) {
  return AppendItemW(Widen(lpszText), nFlags, nID, imageResource);
}

BOOL COwnerMenu::AppendItemW(const std::wstring& text, UINT nFlags, UINT_PTR nID, INT_PTR imageResource) {
  if (m_hMenu == NULL) return FALSE;
  UINT flags = nFlags;
  if (nID != 0) {
    flags |= MF_OWNERDRAW;
  } else {
    flags = MF_SEPARATOR | MF_OWNERDRAW | (nFlags & MF_BYPOSITION);
  }
  if (flags & MF_POPUP) {
    HMENU hSub = reinterpret_cast<HMENU>(nID);
    RegisterOwnMenu(hSub);
    m_subMenus.push_back(hSub);
  }
  OwnerMenuItem* pItem = new OwnerMenuItem;
  pItem->text = text;
  if (imageResource == -1) {
    pItem->globalImageIndex = FindGlobalImage(nID);
  } else {
    int toolbarImage = 0;
    // An icon handle names no toolbar.
    if (!m_bImagesAreIcons) FindToolbarImage(static_cast<UINT>(imageResource), nID, toolbarImage);
    delete pItem->ownImages;
    pItem->ownImages = NULL;
    CImageList loaded;
    if (loaded.Create(m_nIconWidth, m_nIconHeight, ILC_MASK | ILC_COLORDDB, 1, 1) &&
        LoadImageResource(&loaded, imageResource))
      pItem->globalImageIndex = AddGlobalImage(&loaded, toolbarImage, nID);
  }
  pItem->flags = flags;
  pItem->id = nID;
  m_items.push_back(pItem);
  BOOL ok = ::AppendMenuA(m_hMenu, flags, nID, reinterpret_cast<LPCSTR>(pItem));
  if (!ok) {
    // No item, no record: records stay in step with positions.
    m_items.pop_back();
    delete pItem;
    return FALSE;
  }
  if (m_bTopLevelPlain) KeepTopLevelPlain();
  return ok;
}

BOOL COwnerMenu::FindToolbarImage(UINT nResourceID, UINT_PTR nID, int& nImage) {
  nImage = 0;
  if (!IS_INTRESOURCE(static_cast<ULONG_PTR>(nResourceID))) return FALSE;
  CToolBar bar;
  if (!bar.Create(CWnd::FromHandle(MeasuringWindow()), WS_CHILD | CBRS_TOP, AFX_IDW_TOOLBAR)) return FALSE;
  BOOL found = FALSE;
  if (bar.LoadToolBar(nResourceID)) {
    int index = bar.CommandToIndex(static_cast<UINT>(nID));
    if (index >= 0) {
      UINT id = 0, style = 0;
      int image = 0;
      bar.GetButtonInfo(index, id, style, image);
      if (image > 0) nImage = image;
      found = TRUE;
    }
  }
  bar.DestroyWindow();
  return found;
}

BOOL COwnerMenu::LoadImageResource(CImageList* pList, INT_PTR imageResource) {
  HIMAGELIST hList = pList->GetSafeHandle();
  if (m_bImagesAreIcons) {
    HICON hIcon = reinterpret_cast<HICON>(imageResource);
    if (hIcon == NULL || ImageList_ReplaceIcon(hList, -1, hIcon) < 0) return FALSE;
  } else {
    if (imageResource < 0 || !IS_INTRESOURCE(static_cast<ULONG_PTR>(imageResource))) return FALSE;
    LPCSTR name = MAKEINTRESOURCEA(imageResource);
    HINSTANCE hInst = AfxFindResourceHandle(name, RT_BITMAP);
    HRSRC hRes = hInst != NULL ? ::FindResourceA(hInst, name, RT_BITMAP) : NULL;
    HGLOBAL hGlobal = hRes != NULL ? ::LoadResource(hInst, hRes) : NULL;
    const BITMAPINFOHEADER* header =
        hGlobal != NULL ? static_cast<const BITMAPINFOHEADER*>(::LockResource(hGlobal)) : NULL;
    if (header == NULL || ::SizeofResource(hInst, hRes) < sizeof(BITMAPINFOHEADER)) return FALSE;
    DWORD colours = header->biClrUsed;
    if (colours == 0) {
      switch (header->biBitCount) {
        case 1: colours = 2; break;
        case 4: colours = 16; break;
        case 8: colours = 256; break;
        default: colours = 0; break;
      }
    }
    // 16-colour artwork follows the current button colours.
    HBITMAP hBitmap = colours == 16 ? AfxLoadSysColorBitmap(hInst, hRes) : ::LoadBitmapA(hInst, name);
    if (hBitmap == NULL) return FALSE;
    COLORREF mask = m_bMaskWithBitmapBackground ? m_crBitmapBackground : ::GetSysColor(COLOR_BTNFACE);
    int added = ImageList_AddMasked(hList, hBitmap, mask);
    ::DeleteObject(hBitmap);
    if (added < 0) return FALSE;
  }
  if (XpLook() && Settings().raisedIcons) {
    int faded, shadow;
    PutDerivedCopies(hList, 0, m_nIconWidth, m_nIconHeight, -1, faded, shadow);
  }
  return TRUE;
}

// ---- Loading from a menu resource ----------------------------------------------------------------

BOOL COwnerMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEA(nIDResource & 0xFFFF)); }

namespace {

// One level of a standard menu template into pMenu; nested popups become
// nested COwnerMenu objects that share the parent's check images.
struct MenuTemplateWalker {
  const BYTE* end;

  bool Walk(const BYTE*& p, COwnerMenu* pMenu, int depth,
            const std::function<COwnerMenu*(COwnerMenu*)>& makeSubMenu,
            const std::function<BOOL(COwnerMenu*, const std::wstring&, UINT, UINT_PTR)>& append,
            const std::function<void(COwnerMenu*)>& finishSubMenu) {
    for (;;) {
      WORD flags = 0, id = 0;
      if (!ReadWord(p, end, flags)) return false;
      if (!(flags & MF_POPUP) && !ReadWord(p, end, id)) return false;
      std::wstring text;
      if (!ReadText(p, end, text)) return false;
      bool last = (flags & MF_END) != 0;
      UINT itemFlags = flags & ~static_cast<UINT>(MF_END);
      if (itemFlags & MF_POPUP) {
        if (depth >= kMaxMenuDepth) return false;
        COwnerMenu* pSub = makeSubMenu(pMenu);
        if (pSub == NULL) return false;
        append(pMenu, text, itemFlags, reinterpret_cast<UINT_PTR>(pSub->GetSafeHmenu()));
        if (!Walk(p, pSub, depth + 1, makeSubMenu, append, finishSubMenu)) return false;
        finishSubMenu(pSub);
      } else {
        append(pMenu, text, itemFlags, id);
      }
      if (last) return true;
    }
  }
};

}  // namespace

BOOL COwnerMenu::LoadMenu(LPCTSTR lpszResourceName) {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_MENU);
  HRSRC hRes = hInst != NULL ? ::FindResourceA(hInst, lpszResourceName, RT_MENU) : NULL;
  HGLOBAL hGlobal = hRes != NULL ? ::LoadResource(hInst, hRes) : NULL;
  const BYTE* data = hGlobal != NULL ? static_cast<const BYTE*>(::LockResource(hGlobal)) : NULL;
  if (data == NULL) return FALSE;
  const BYTE* end = data + ::SizeofResource(hInst, hRes);

  // Built aside, sharing this menu's look and check images: a template
  // that turns out broken leaves this menu as it was.
  COwnerMenu loaded;
  loaded.m_nIconWidth = m_nIconWidth;
  loaded.m_nIconHeight = m_nIconHeight;
  loaded.m_crBitmapBackground = m_crBitmapBackground;
  loaded.m_bMaskWithBitmapBackground = m_bMaskWithBitmapBackground;
  loaded.m_nDisabledImageStyle = m_nDisabledImageStyle;
  loaded.m_pCheckImages = m_pCheckImages;
  loaded.m_bSharedCheckImages = TRUE;
  loaded.m_nCheckedImage = m_nCheckedImage;
  loaded.m_nUncheckedImage = m_nUncheckedImage;
  loaded.m_bImagesAreIcons = m_bImagesAreIcons;
  if (!loaded.CreateMenu()) return FALSE;

  const BYTE* p = data;
  WORD version = 0, offset = 0;
  bool ok = ReadWord(p, end, version) && ReadWord(p, end, offset) && version == 0 && offset <= end - p;
  if (ok) {
    p += offset;
    MenuTemplateWalker walker = {end};
    ok = walker.Walk(
        p, &loaded, 0,
        [](COwnerMenu* pParent) -> COwnerMenu* {
          COwnerMenu* pSub = new COwnerMenu;
          if (!pSub->CreatePopupMenu()) {
            delete pSub;
            return NULL;
          }
          pSub->m_nIconWidth = pParent->m_nIconWidth;
          pSub->m_nIconHeight = pParent->m_nIconHeight;
          pSub->m_pCheckImages = pParent->m_pCheckImages;
          pSub->m_bSharedCheckImages = TRUE;
          pSub->m_nCheckedImage = pParent->m_nCheckedImage;
          pSub->m_nUncheckedImage = pParent->m_nUncheckedImage;
          pParent->m_subMenuObjects.push_back(pSub);
          return pSub;
        },
        [](COwnerMenu* pMenu, const std::wstring& text, UINT flags, UINT_PTR id) {
          return pMenu->AppendItemW(text, flags, id, -1);
        },
        [](COwnerMenu* pSub) { pSub->AlignShortcuts(); });
  }
  if (!ok) return FALSE;  // the half-built menu goes with `loaded`

  // The old menu goes, its check images stay: they belong to this object.
  ReleaseContents();
  CMenu::DestroyMenu();
  Attach(loaded.Detach());
  m_items.swap(loaded.m_items);
  m_subMenus.swap(loaded.m_subMenus);
  m_subMenuObjects.swap(loaded.m_subMenuObjects);
  // The top level (a menu bar) stays plain text.
  int count = ::GetMenuItemCount(m_hMenu);
  for (int pos = 0; pos < count && pos < GetItemCount(); ++pos) {
    SetPlainItem(m_hMenu, pos, m_items[static_cast<size_t>(pos)]->GetText());
  }
  m_bTopLevelPlain = TRUE;
  return TRUE;
}

void COwnerMenu::AlignShortcuts() {
  HWND hWnd = MeasuringWindow();
  HDC hdc = ::GetDC(hWnd);
  HFONT hFont = CreateMenuFont();
  HGDIOBJ old = ::SelectObject(hdc, hFont);
  auto widthOf = [hdc](const CString& text) {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(hdc, text, text.GetLength(), &size);
    return static_cast<int>(size.cx);
  };
  auto labelOf = [](const CString& text) {
    int tab = text.Find('\t');
    return tab >= 0 ? text.Left(tab) : text;
  };
  int widest = 0;
  for (OwnerMenuItem* pItem : m_items) widest = std::max(widest, widthOf(labelOf(pItem->GetText()) + " "));
  for (OwnerMenuItem* pItem : m_items) {
    CString text = pItem->GetText();
    int tab = text.Find('\t');
    if (tab < 0) continue;
    CString label = text.Left(tab);
    int spaces = MenuPaddingSpaces(widest, [&](int n) { return widthOf(label + CString(' ', n)); });
    pItem->text = Widen(label + CString(' ', spaces) + text.Mid(tab));
  }
  ::SelectObject(hdc, old);
  ::DeleteObject(hFont);
  ::ReleaseDC(hWnd, hdc);
}

void COwnerMenu::KeepTopLevelPlain() {
  if (!m_bTopLevelPlain || m_hMenu == NULL) return;
  int count = ::GetMenuItemCount(m_hMenu);
  // Where the records start in the menu: at the first position whose text
  // equals a record's text.
  int start = 0;
  bool found = false;
  for (int pos = 0; pos < count && !found; ++pos) {
    CString text;
    GetMenuString(static_cast<UINT>(pos), text, MF_BYPOSITION);
    if (text.IsEmpty()) continue;
    for (int i = 0; i < GetItemCount(); ++i) {
      if (m_items[static_cast<size_t>(i)]->GetText() == text) {
        start = i > pos ? 0 : pos - i;
        found = true;
        break;
      }
    }
  }
  for (int i = 0; i < GetItemCount() && start + i < count; ++i) {
    int pos = start + i;
    HMENU hSub = ::GetSubMenu(m_hMenu, pos);
    if (hSub == NULL) continue;
    OwnerMenuItem* pItem = m_items[static_cast<size_t>(i)];
    pItem->flags = MF_BYPOSITION | MF_POPUP;
    SetPlainItem(m_hMenu, pos, pItem->GetText());
  }
}

// ---- Resynchronising -------------------------------------------------------------------------------

void COwnerMenu::SynchronizeItems() {
  if (m_hMenu == NULL) return;
  for (OwnerMenuItem* pItem : m_items) pItem->syncMark = 0;
  auto takeUnmarked = [this](UINT_PTR id) -> OwnerMenuItem* {
    for (OwnerMenuItem* pItem : m_items) {
      if (pItem->syncMark == 0 && pItem->id == id) {
        pItem->syncMark = 1;
        return pItem;
      }
    }
    return NULL;
  };
  auto textAt = [this](int pos) {
    CString text;
    int length = ::GetMenuStringA(m_hMenu, static_cast<UINT>(pos), NULL, 0, MF_BYPOSITION);
    if (length > 0) {
      int size = 2 * length + 2;
      char* buffer = text.GetBuffer(size);
      int got = ::GetMenuStringA(m_hMenu, static_cast<UINT>(pos), buffer, size, MF_BYPOSITION);
      text.ReleaseBuffer(got > 0 ? got : 0);
    }
    return text;
  };

  std::vector<OwnerMenuItem*> ordered;
  int count = ::GetMenuItemCount(m_hMenu);
  for (int pos = 0; pos < count; ++pos) {
    UINT state = ::GetMenuState(m_hMenu, static_cast<UINT>(pos), MF_BYPOSITION);
    HMENU hSub = ::GetSubMenu(m_hMenu, pos);
    OwnerMenuItem* pItem = NULL;
    bool made = false;
    if (hSub != NULL) {
      UINT_PTR key = reinterpret_cast<UINT_PTR>(hSub);
      CString text = textAt(pos);
      pItem = takeUnmarked(key);
      if (pItem != NULL) {
        if (!text.IsEmpty()) pItem->SetText(text);
      } else {
        pItem = new OwnerMenuItem;
        pItem->flags = (LOBYTE(state) & ~static_cast<UINT>(MF_POPUP)) | MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP;
        pItem->id = key;
        pItem->SetText(text);
        made = true;
      }
    } else if (state & MF_SEPARATOR) {
      pItem = takeUnmarked(0);
      if (pItem != NULL) {
        ::ModifyMenuA(m_hMenu, static_cast<UINT>(pos), MF_BYPOSITION | MF_OWNERDRAW | MF_SEPARATOR, 0,
                      reinterpret_cast<LPCSTR>(pItem));
      } else {
        pItem = new OwnerMenuItem;
        pItem->flags = state | MF_BYPOSITION | MF_OWNERDRAW | MF_SEPARATOR;
        made = true;
      }
    } else {
      UINT id = ::GetMenuItemID(m_hMenu, pos);
      CString text = textAt(pos);
      UINT flags = state | MF_BYPOSITION | MF_OWNERDRAW;
      pItem = takeUnmarked(id);
      if (pItem != NULL) {
        pItem->flags = flags;
        if (!text.IsEmpty()) pItem->SetText(text);
        ::ModifyMenuA(m_hMenu, static_cast<UINT>(pos), flags, id, reinterpret_cast<LPCSTR>(pItem));
      } else {
        pItem = new OwnerMenuItem;
        pItem->flags = flags;
        pItem->id = id;
        pItem->SetText(text);
        made = true;
      }
    }
    if (made && (pItem->flags & MF_OWNERDRAW))
      ::ModifyMenuA(m_hMenu, static_cast<UINT>(pos), pItem->flags, pItem->id, reinterpret_cast<LPCSTR>(pItem));
    ordered.push_back(pItem);
  }
  // Records of items that are gone: new records are not in m_items, so
  // every unmarked one is stale.
  for (OwnerMenuItem* pItem : m_items) {
    if (pItem->syncMark == 0) delete pItem;
  }
  m_items.swap(ordered);
}

// ---- Texts and mnemonics -------------------------------------------------------------------------------

COwnerMenu* COwnerMenu::FindCommand(UINT_PTR nID, int& nPosition) {
  struct Finder {
    static COwnerMenu* Find(COwnerMenu* pMenu, UINT_PTR id, int& position, int depth) {
      if (pMenu->m_hMenu == NULL || depth > kMaxMenuDepth) return NULL;
      int count = ::GetMenuItemCount(pMenu->m_hMenu);
      for (int pos = 0; pos < count; ++pos) {
        HMENU hSub = ::GetSubMenu(pMenu->m_hMenu, pos);
        if (hSub != NULL) {
          COwnerMenu* pNested = dynamic_cast<COwnerMenu*>(CMenu::FromHandlePermanent(hSub));
          COwnerMenu* found = pNested != NULL ? Find(pNested, id, position, depth + 1) : NULL;
          if (found != NULL) return found;
        } else if (::GetMenuItemID(pMenu->m_hMenu, pos) == id) {
          position = pos;
          return pMenu;
        }
      }
      return NULL;
    }
  };
  return Finder::Find(this, nID, nPosition, 0);
}

BOOL COwnerMenu::GetItemText(UINT nItem, CString& text, UINT nFlags) {
  if (nFlags & MF_BYPOSITION) {
    if (nItem >= static_cast<UINT>(GetItemCount())) return FALSE;
    text = m_items[nItem]->GetText();
    return TRUE;
  }
  int position = -1;
  COwnerMenu* pHolder = FindCommand(nItem, position);
  return pHolder != NULL && pHolder->GetItemText(static_cast<UINT>(position), text, MF_BYPOSITION);
}

LRESULT COwnerMenu::FindMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
  if (pMenu == NULL || pMenu->GetSafeHmenu() == NULL || !(nFlags & MF_POPUP)) return 0;
  COwnerMenu* pOwn = dynamic_cast<COwnerMenu*>(CMenu::FromHandlePermanent(pMenu->GetSafeHmenu()));
  if (pOwn == NULL) return 0;
  char key[3] = {'&', static_cast<char>(nChar), '\0'};
  ::CharLowerA(key);
  int count = ::GetMenuItemCount(pOwn->m_hMenu);
  if (count != pOwn->GetItemCount()) pOwn->SynchronizeItems();
  for (int pos = 0; pos < count; ++pos) {
    CString text;
    if (!pOwn->GetItemText(static_cast<UINT>(pos), text, MF_BYPOSITION)) continue;
    int length = text.GetLength();
    ::CharLowerBuffA(text.GetBuffer(length), static_cast<DWORD>(length));
    text.ReleaseBuffer(length);
    if (text.Find(key) >= 0) return MAKELRESULT(pos, MNC_EXECUTE);
  }
  return 0;
}
