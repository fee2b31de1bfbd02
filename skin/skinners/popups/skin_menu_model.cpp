#include "skin/skinners/popups/skin_menu_model.h"

#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/frames/skin_menubar_geometry.h"

namespace {

// Menus can hold menus that hold them; a real menu is never this deep.
const int kMaxMenuDepth = 16;

}  // namespace

SkinMenuItem::SkinMenuItem(HMENU menu, int position_) : owner(menu), position(position_)
{
    commandId = GetMenuItemID(menu, position);
    const char* read = SkinGdiUtil::GetMenuItemText(menu, UINT(position), TRUE);
    text = read ? read : "";
    accel = GetAccelChar(text.c_str());
    state = GetMenuState(menu, UINT(position), MF_BYPOSITION);
}

BOOL SkinMenuItem::IsEnabled() const
{
    const UINT now = GetMenuState(owner, UINT(position), MF_BYPOSITION);
    return now != UINT(-1) && !(now & (MF_GRAYED | MF_DISABLED));
}

BOOL SkinMenuModel::Fill(HMENU menu)
{
    if (!menu || !IsMenu(menu))
        return FALSE;
    static thread_local int depth = 0;
    if (depth >= kMaxMenuDepth)
        return FALSE;
    ++depth;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<SkinMenuItem> item(new SkinMenuItem(menu, i));
        if (HMENU sub = GetSubMenu(menu, i)) {
            item->submenu.reset(new SkinMenuModel());
            item->submenu->Fill(sub);
        }
        items_.push_back(std::move(item));
    }
    --depth;
    return TRUE;
}
