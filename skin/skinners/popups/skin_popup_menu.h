// SkinPopupMenu: the window that shows a menu - a popup, a submenu, the
// system menu or a drop-down of the skinned menu bar - painted from the
// skin's PopupMenu object (its own defaults when none is bound). It runs
// inside the modal loop of the library's TrackPopupMenu or of the menu
// bar, owns its chain of open submenus, and tells its owner window what
// happens: WM_MENUSELECT, WM_COMMAND / WM_SYSCOMMAND (or the chosen
// command, for popups that return it) and the library's private menu
// messages. The top-level popup holds the mouse capture while shown and
// keeps the owner's caption active. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_POPUP_MENU_H
#define QUORBEL_SKIN_SKINNERS_SKIN_POPUP_MENU_H

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <utility>
#include <vector>

#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

class SkinMenuData;
class SkinMenuItem;
class SkinMenuModel;

// The window class of every popup menu window.
constexpr const char* kPopupMenuClass = "VeneerKitPopupMenuWnd";

// Image lists for the items' icons, by command id; copied to submenus.
struct SkinPopupImages {
    HIMAGELIST normal = nullptr;    // the icons
    HIMAGELIST hot = nullptr;       // for the hot item, when given
    HIMAGELIST disabled = nullptr;  // for disabled items, when given
    std::vector<std::pair<UINT, int>> table;  // (command id, image index)
};

class SkinPopupMenu : public SkinWindowObject, public SkinPopupMenuWindow {
public:
    // mode: 0 menu-bar drop-down, 1 system menu, 2 ordinary popup, 3 popup
    // that returns its command.
    SkinPopupMenu(HWND owner, SkinPopupMenu* parent, int mode);
    ~SkinPopupMenu() override;

    // --- what TrackPopupMenu and the menu bar use ------------------------
    BOOL Create() override;
    // Builds (and owns) the item model of menu.
    void AttachMenu(HMENU menu) override;
    void BindSkin(SkinDataObject* popupMenuObject) override { BindSkinData(popupMenuObject); }
    SIZE GetMenuSize() override;
    HWND GetWindow() override { return window_; }
    bool IsClosed() override { return closed_; }
    UINT GetChosenCommand() override { return chosen_; }
    // Closes the open submenus, hides and destroys the window.
    void Close() override;

    // --- the window object ---------------------------------------------------
    void Paint(HDC hdc) override;
    // A PopupMenu object; none brings the defaults back.
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    // Takes the new skin's object, measures again and repaints.
    void OnSkinReplaced() override;
    LRESULT OnMenuKey(WPARAM key, LPARAM keyData) override;
    LRESULT OnNcDestroy() override;
    void OnShowWindow(BOOL shown, LPARAM status) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // A submenu's model (not owned) and its HMENU.
    void AttachModel(SkinMenuModel* model, HMENU menu);
    void SetImages(const SkinPopupImages& images) { images_ = images; }
    SkinPopupMenu* GetRootPopup();
    // The popup object of a popup menu window, or null.
    static SkinPopupMenu* FromWindow(HWND window);

    // --- state, for the keyboard hook and tests ------------------------------
    SkinPopupMenu* GetChild() const { return child_; }
    SkinPopupMenu* GetParentPopup() const { return parent_; }
    HMENU GetMenuHandle() const { return menu_; }
    int GetMode() const { return mode_; }
    int GetHotItem() const { return hot_; }
    int GetItemCount() const;
    int GetItemHeight();
    int GetFirstVisible() const { return first_; }
    int GetVisibleCount() const { return visible_; }
    bool IsScrolling() const { return scrolling_; }
    // Item i's rectangle in client coordinates (shown or not).
    RECT GetItemRect(int i);
    // The item under a client point, or -1.
    int HitTest(POINT client);

private:
    // Results of a click handed down the chain of popups.
    enum ClickResult { kClickOutside, kClickInside, kClickChosen };

    SkinMenuData* Data();
    SkinMenuItem* Item(int i) const;
    HFONT MakeItemFont();
    void PaintItem(HDC hdc, int i);
    void DrawKeyedImage(HDC hdc, const RECT& rect, const SkinImageRef& image);
    LRESULT OnNcCalcSize(LPARAM lParam);
    void OnNcPaint();
    bool OnMouseMove(POINT screen);
    ClickResult OnClick(bool left, POINT screen, UINT* chosen);
    void OnKeyDown(WPARAM key);
    void OnSubmenuTimer();
    // Opens the hot item's submenu; adjust keeps it in the work area.
    void OpenSubmenu(bool adjust);
    void CloseChild();
    // The top-level popup's end: hide, 6027, closed, command.
    void EndWithCommand(UINT id);
    void ChooseItem(int i);
    void PostCommand(UINT id);
    void MenuSelect(WPARAM wParam, LPARAM lParam);
    void SetHot(int i, bool byMouse);
    void EnsureVisible(int i);
    void RepaintItems();
    void SubclassOwner(bool on);
    HWND OwnerTopLevel() const;

    HWND owner_;                       // receives the notifications
    SkinPopupMenu* parent_;            // null for the top-level popup
    SkinPopupMenu* child_ = nullptr;   // the open submenu, owned
    HMENU menu_ = nullptr;             // the menu shown
    bool closed_ = false;              // the menu has ended (the loops watch it)
    UINT chosen_ = 0;                  // mode 3: the command chosen
    bool alive_ = true;                // cleared before a parent closes it
    int mode_;                         // 0 menu bar, 1 system, 2 popup, 3 returns
    SkinMenuModel* model_ = nullptr;   // the items (owned_ or the parent's)
    std::unique_ptr<SkinMenuModel> owned_;  // the top-level popup's model
    int hot_ = -1;                     // hot item, -1 none
    int first_ = 0;                    // first visible item
    int visible_ = 0;                  // visible item count
    int itemHeight_ = 0;               // 0 until measured
    bool scrolling_ = false;           // more items than fit
    RECT scrollUp_ = {};               // the strip above the items
    RECT scrollDown_ = {};             // the strip below them
    int margin_ = 0;                   // above the first visible item
    SkinPopupImages images_;           // icons by command id
    std::unique_ptr<SkinMenuData> defaults_;  // used while no object is bound
    bool subclassed_ = false;          // the owner's top level is subclassed
};

#endif
