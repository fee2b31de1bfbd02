// SkinMenuBar: the window's menu drawn by a skinned frame in its
// non-client area, below the top frame parts. It lays the top-level items
// out in lines, tracks the hot and the open item (a 100 ms hover timer
// notices the mouse leaving), opens each submenu as a skinned popup menu
// window, follows Left, Right, Alt and accelerator letters, and shows the
// icon and the minimise, restore and close buttons of a maximised MDI
// child. Points are window-relative. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_MENUBAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_MENUBAR_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_item.h"

class SkinFrame;
class SkinMenuBarData;
class SkinPopupMenuWindow;

// One top-level item of the bar.
class SkinMenuBarItem : public SkinElement {
public:
    SkinMenuBarItem(SkinWindowObject* owner, HMENU menu, int position);
    ~SkinMenuBarItem() override;

    // Neither MF_GRAYED nor MF_DISABLED in the item's state now.
    BOOL IsEnabled() const;
    // Shows the submenu below the item (above it, or right-aligned, where
    // the work area ends); the state becomes 2.
    void OpenPopup();
    // Closes and deletes the popup; the state becomes 0.
    void ClosePopup();
    HWND GetPopupWindow() const;
    // The popup has ended by itself (or there is none).
    bool IsPopupClosed() const;

    std::string text;       // as the menu holds it
    char accel = 0;         // upper-case accelerator letter, or 0
    UINT commandId = 0;     // posted as WM_COMMAND when chosen
    int position = 0;       // real position in the owner menu
    HMENU submenu = nullptr;  // not owned
    HMENU ownerMenu = nullptr;  // not owned
    int state = 0;          // 0 normal, 1 hot, 2 pressed or open

private:
    std::unique_ptr<SkinPopupMenuWindow> popup_;  // while open
    bool systemFallback_ = false;  // no skinned popup: the system's menu ran
};

// The icon, minimise, restore and close buttons of a maximised MDI child.
struct SkinMdiButton {
    const SkinImageRef* images[3] = {};  // normal, hot, pressed (in the bar data)
    RECT rect = {};
    int state = 0;                        // 0 normal, 1 hot, 2 pressed
};

class SkinMenuBar : public SkinElement {
public:
    enum MdiButton { kMdiIcon, kMdiMinimize, kMdiRestore, kMdiClose };

    explicit SkinMenuBar(SkinFrame* frame);
    ~SkinMenuBar() override;

    // Drops the items and makes one for every position with text; 1.
    BOOL SetMenu(HMENU menu);
    HMENU GetMenuHandle() const { return menu_; }
    // Forgets the menu (given back to the window by the frame).
    void ForgetMenu();
    // The bar data embedded in the frame's skin object (null: defaults).
    void BindSkinData(SkinMenuBarData* data);

    int GetHeight(int width);
    // Below MIDDLETOP, between MIDDLELEFT and MIDDLERIGHT.
    RECT GetBarRect();
    void Layout(const RECT& window) override;
    void Paint(HDC hdc) override;
    // Draws the bar now on the frame's window DC.
    void Redraw();

    BOOL IsPopupOpen() const { return open_ != nullptr; }
    // Closes the open popup (its item turns normal).
    void ClosePopup();
    BOOL IsMdiChildMaximized();
    // Nonzero when the key was used: -1 (Alt alone), VK_LEFT, VK_RIGHT, or
    // an item's accelerator letter.
    LRESULT OnMenuKey(WPARAM key);

    void OnMouseMove(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    BOOL HitTest(int x, int y) override;
    // The hover timer's tick.
    void OnHoverTimer();

    const std::vector<std::unique_ptr<SkinMenuBarItem>>& Items() const { return items_; }
    SkinMenuBarItem* GetOpenItem() const { return open_; }
    SkinMenuBarItem* GetHoverItem() const { return hover_; }
    const SkinMdiButton& GetMdiButton(int i) const { return buttons_[i]; }
    HFONT GetFont();
    // Text colours from the bar data: normal, disabled, hot, pressed.
    COLORREF TextColor(int which) const;

private:
    // Shows the item pressed and opens its popup (which may run and close
    // at once: the system's own menu).
    void OpenItem(SkinMenuBarItem* item);
    std::vector<SIZE> ItemSizes();
    SkinMenuBarItem* EnabledItemAt(int x, int y);
    int ButtonAt(int x, int y);
    void StartTimer();
    void StopTimer();
    void DrawItem(HDC hdc, SkinMenuBarItem& item);
    void DrawButton(HDC hdc, const SkinMdiButton& button);
    void OpenItem(SkinMenuBarItem& item);
    HWND FrameWindow() const;

    SkinFrame* frame_;                                   // owner, not owned
    std::vector<std::unique_ptr<SkinMenuBarItem>> items_;  // in menu order
    HMENU menu_ = nullptr;                               // shown, not owned
    SkinMdiButton buttons_[4];                           // icon, min, restore, close
    SkinMenuBarItem* hover_ = nullptr;                   // hot while nothing is open
    SkinMenuBarItem* open_ = nullptr;                    // whose popup shows
    HWND timerWindow_ = nullptr;                         // where the hover timer is set, or null
    HFONT font_ = nullptr;                               // the menu font, owned
};

#endif
