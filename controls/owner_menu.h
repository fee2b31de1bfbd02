// COwnerMenu: an owner-drawn popup menu with an icon column, drawn in a
// flat XP look or a classic 3-D look. Every item carries an item record
// (its text in UTF-16, its images, flags and command id) as item data;
// images come from a process-wide list keyed by command id. The look
// follows the Windows version and the desktop theme, read once per
// process (tests may set both).
#pragma once

#include <string>
#include <vector>

#include "mfc/mfc.h"

// One item of an owner-drawn menu. The menu owns its records and hands
// each to the system as the item's data.
struct OwnerMenuItem {
  std::wstring text;            // the item text, UTF-16
  int imageIndex = -1;          // in ownImages, -1 none
  int globalImageIndex = -1;    // in the process-wide image list, -1 none
  int reserved1 = 0;
  int ownImageMarker = -1;      // -1: the item has no image of its own
  UINT flags = 0;               // MF_ values the item was made with
  UINT_PTR id = 0;              // command id, or the submenu of a popup item
  int syncMark = 0;             // set while resynchronising with the real menu
  CImageList* ownImages = NULL; // the item's own image list, owned
  int reserved2 = 0;

  OwnerMenuItem() = default;
  ~OwnerMenuItem() { delete ownImages; }
  OwnerMenuItem(const OwnerMenuItem&) = delete;
  OwnerMenuItem& operator=(const OwnerMenuItem&) = delete;

  // The text in the ANSI code page, and set from it.
  CString GetText() const;
  void SetText(LPCSTR lpszText);
};

// Process-wide drawing settings; all 1 by default.
struct OwnerMenuSettings {
  int xpLookWithTheme = 1;  // 1: the XP look on XP with a theme
  int xpLookOtherwise = 1;  // 1: the XP look everywhere else too
  int selectDisabled = 1;   // the classic look may draw a grayed item selected
  int raisedIcons = 1;      // wider icon gap; faded and shadow copies of images
};

class COwnerMenu : public CMenu {
  DECLARE_DYNCREATE(COwnerMenu)
public:
  COwnerMenu();
  ~COwnerMenu() override;

  // Owner-draw entry points (the owner window routes them here).
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
  // From a menu resource: the number is cut to 16 bits.
  virtual BOOL LoadMenu(UINT nIDResource);
  virtual BOOL LoadMenu(LPCTSTR lpszResourceName);
  // Frees the records, images and nested menus, then the menu.
  BOOL DestroyMenu() override;

  // New empty menus, known to the process as owner-drawn ones.
  BOOL CreateMenu();
  BOOL CreatePopupMenu();

  // Appends an owner-drawn item: a non-zero id makes a command (or, with
  // MF_POPUP, a submenu: id is its handle), id 0 a separator.
  // imageResource: a bitmap (and toolbar) resource id whose image goes to
  // the command, an icon handle when image resources are icons, or -1 to
  // take the image the command already has. The result of AppendMenu.
  BOOL AppendItem(LPCSTR lpszText, UINT nFlags, UINT_PTR nID, INT_PTR imageResource = -1);

  // The text of an item by position (MF_BYPOSITION) or by command id (in
  // this menu or a nested one): TRUE when found.
  BOOL GetItemText(UINT nItem, CString& text, UINT nFlags = MF_BYPOSITION);
  // The WM_MENUCHAR answer for pMenu, an owner-drawn menu: MNC_EXECUTE
  // with the position of the first item whose text holds "&" and the
  // character (any case); 0 when none or when pMenu is no popup of ours.
  static LRESULT FindMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  // hMenu was made by a COwnerMenu (or appended to one as a submenu).
  static BOOL IsOwnMenu(HMENU hMenu);

  // Brings the records in line with the real menu after plain menu
  // functions changed it: records are matched by command id or submenu,
  // missing ones made, and those of vanished items freed.
  void SynchronizeItems();

  int GetItemCount() const { return static_cast<int>(m_items.size()); }
  OwnerMenuItem* GetItem(int nIndex) const;
  // The COwnerMenu objects this menu made for its submenus.
  int GetSubMenuObjectCount() const { return static_cast<int>(m_subMenuObjects.size()); }
  COwnerMenu* GetSubMenuObject(int nIndex) const;

  // ---- Appearance of this menu --------------------------------------------------------
  void SetIconSize(int cx, int cy) { m_nIconWidth = cx; m_nIconHeight = cy; }
  int GetIconWidth() const { return m_nIconWidth; }
  int GetIconHeight() const { return m_nIconHeight; }
  // Loaded bitmaps are masked with crBackground when bUse, else with the face colour.
  void SetBitmapBackground(COLORREF crBackground, BOOL bUse) {
    m_crBitmapBackground = crBackground;
    m_bMaskWithBitmapBackground = bUse;
  }
  // 0: embossed disabled images; 1: monochrome-mask copies.
  void SetDisabledImageStyle(int nStyle) { m_nDisabledImageStyle = nStyle; }
  // The check images (0: unselected, 1: selected) and the indexes that
  // enable them; bShared: the menu does not free the list.
  void SetCheckImages(CImageList* pImages, int nCheckedIndex, int nUncheckedIndex, BOOL bShared);
  // Image resource arguments are icon handles instead of resource ids.
  void SetImageResourcesAreIcons(BOOL bIcons) { m_bImagesAreIcons = bIcons; }

  // ---- Process-wide state ---------------------------------------------------------------
  static OwnerMenuSettings& Settings();
  static int VersionClass();
  static BOOL ClassicTheme();
  // XP with a theme: version class 7 and not the classic theme.
  static BOOL XpWithTheme();
  // The XP look (before the palette check of DrawItem).
  static BOOL XpLook();
  // Test seam: use this version class and theme result instead of asking
  // the system (-1 keeps detecting that one).
  static void OverrideEnvironment(int nVersionClass, int nClassicTheme);
  // Forgets overrides and cached results; the next use detects again.
  static void ResetEnvironment();
  // Reads the theme setting from the registry now (what ClassicTheme caches).
  static BOOL DetectClassicTheme();

  // The process-wide image list, by command id.
  static CImageList* GetGlobalImages();
  // The index of the first entry of the command, or -1.
  static int FindGlobalImage(UINT_PTR nID);
  // The command owns three entries in a row from index (image, faded, shadow).
  static BOOL HasThreeGlobalEntries(int nIndex);
  // Adds (or replaces in place) image nImage of pList for the command; the
  // command's first index, or -1.
  int AddGlobalImage(CImageList* pList, int nImage, UINT_PTR nID);
  // Empties the process-wide image list (tests; program end).
  static void ResetGlobalImages();

protected:
  // Shared by AppendItem and the resource loader: the text is UTF-16.
  BOOL AppendItemW(const std::wstring& text, UINT nFlags, UINT_PTR nID, INT_PTR imageResource);
  // The image index of a command in a toolbar resource; TRUE when found.
  BOOL FindToolbarImage(UINT nResourceID, UINT_PTR nID, int& nImage);
  // Loads an image resource (or icon) into pList; TRUE when something was added.
  BOOL LoadImageResource(CImageList* pList, INT_PTR imageResource);
  // Pads each label before a TAB to the widest label plus one space.
  void AlignShortcuts();
  // Re-sets the top-level popups as plain text items (after a resource load).
  void KeepTopLevelPlain();
  // The record behind an item's data, when it is one of this menu's.
  OwnerMenuItem* FindRecord(ULONG_PTR itemData) const;
  // The menu and position holding a command id (this menu or nested ones).
  COwnerMenu* FindCommand(UINT_PTR nID, int& nPosition);
  // Frees records, nested menu objects and images; unregisters handles.
  void ReleaseContents();

  // ---- Drawing (owner_menu_draw.cpp) ------------------------------------------------------
  void DrawXpItem(CDC* pDC, const DRAWITEMSTRUCT& dis, OwnerMenuItem& item);
  void DrawClassicItem(CDC* pDC, const DRAWITEMSTRUCT& dis, OwnerMenuItem& item);
  // The disabled copy of an image rendered over the face colour, at (x, y) on crBack.
  void DrawDisabledImage(CDC* pDC, HBITMAP hImage, int x, int y, COLORREF crBack);

  std::vector<OwnerMenuItem*> m_items;          // one record per item, in menu order, owned
  std::vector<HMENU> m_subMenus;                // popup submenus appended to this menu
  std::vector<COwnerMenu*> m_subMenuObjects;    // nested menus this menu made, owned
  int m_nIconWidth = 16;
  int m_nIconHeight = 15;
  COLORREF m_crBitmapBackground = RGB(192, 192, 192);  // mask colour of loaded bitmaps...
  BOOL m_bMaskWithBitmapBackground = FALSE;     // ...when set; else the face colour
  int m_nDisabledImageStyle = 0;                // 0 embossed, 1 monochrome mask
  CImageList* m_pCheckImages = NULL;            // 0: unselected, 1: selected
  BOOL m_bSharedCheckImages = FALSE;            // FALSE: the menu frees m_pCheckImages
  int m_nCheckedImage = -1;
  int m_nUncheckedImage = -1;
  BOOL m_bImagesAreIcons = FALSE;               // image arguments are icon handles
  BOOL m_bTopLevelPlain = FALSE;                // set by a resource load
};

// Helpers shared by the menu's files.
namespace owner_menu_detail {
// The menu font of the system (SPI_GETNONCLIENTMETRICS).
HFONT CreateMenuFont();
// The window whose DC measures texts: the thread's main window, else the desktop.
HWND MeasuringWindow();
// An icon-size bitmap of a list's image drawn over the face colour; the
// caller deletes it. NULL when the image cannot be taken.
HBITMAP RenderImage(HIMAGELIST hList, int nImage, int cx, int cy);
std::wstring Widen(LPCSTR lpsz);
CString Narrow(const std::wstring& text);
}  // namespace owner_menu_detail
