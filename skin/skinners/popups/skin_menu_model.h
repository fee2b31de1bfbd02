// SkinMenuModel: what the popup menu window shows of an HMENU - one
// SkinMenuItem per position (separators too) with its text, accelerator
// letter, state and, for a submenu, the submenu's own model. The HMENU is
// read once by Fill; the model owns nothing of it. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_MENU_MODEL_H
#define QUORBEL_SKIN_SKINNERS_SKIN_MENU_MODEL_H

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class SkinMenuModel;

class SkinMenuItem {
public:
    // Reads position `position` of menu (recursing into its submenu).
    SkinMenuItem(HMENU menu, int position);

    // Neither MF_GRAYED nor MF_DISABLED in the item's state now.
    BOOL IsEnabled() const;

    UINT commandId = 0;            // GetMenuItemID (-1 for a submenu)
    std::string text;              // the item text as the menu holds it
    char accel = 0;                // upper-case accelerator letter, or 0
    UINT state = 0;                // GetMenuState by position when read
    HMENU owner = nullptr;         // the menu the item is in (not owned)
    int position = 0;              // its position there
    std::unique_ptr<SkinMenuModel> submenu;  // the submenu's items, or none
    int reserved1 = 0;             // kept for the popup window's use
    int reserved2 = 0;
};

class SkinMenuModel {
public:
    // Appends one item per position of menu; FALSE when menu is not one.
    BOOL Fill(HMENU menu);
    void Clear() { items_.clear(); }
    const std::vector<std::unique_ptr<SkinMenuItem>>& Items() const { return items_; }
    int Count() const { return int(items_.size()); }

private:
    std::vector<std::unique_ptr<SkinMenuItem>> items_;  // in menu order, owned
};

#endif
