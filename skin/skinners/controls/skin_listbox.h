// SkinListBox: list boxes and the list of a simple combo box ("ComboLBox").
// The control paints its own items on the skin's colours (it answers the
// WM_CTLCOLORLISTBOX its skinned parent relays to it); the skin gives the
// border and the scroll bars. Owner-drawn list boxes keep their system
// look. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_LISTBOX_H
#define QUORBEL_SKIN_SKINNERS_SKIN_LISTBOX_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinListBox : public SkinScrollableBase {
public:
    SkinListBox(SkinWindowObject* parent, uint32_t kind);
    ~SkinListBox() override;

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool IsComboList() const { return comboList_; }

protected:
    bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HBRUSH brush_ = nullptr;   // "BACKCOLOR"
    bool comboList_ = false;   // the list of a combo box
};

#endif
