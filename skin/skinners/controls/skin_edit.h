// SkinEdit: edit and rich edit controls ("Edit", "RICHEDIT"). The control
// paints its own text; the skin gives its colours (answered through the
// skinned parent's WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC), its border and
// its scroll bars. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_EDIT_H
#define QUORBEL_SKIN_SKINNERS_SKIN_EDIT_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinEdit : public SkinScrollableBase {
public:
    SkinEdit(SkinWindowObject* parent, uint32_t kind);
    ~SkinEdit() override;

    // New brushes, then the scrollable binding and (with a window) the
    // skin font; a rich edit takes the background colour too.
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    // An editable edit: the skin's background and text colours.
    LRESULT OnCtlColorEdit(HDC hdc) override;
    // A read-only or disabled edit: the object's third colour behind the
    // text.
    LRESULT OnCtlColorStatic(HDC hdc) override;

protected:
    bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetRichEditBackground();

    HBRUSH readOnlyBrush_ = nullptr;  // the third colour (key colour field)
    HBRUSH editBrush_ = nullptr;      // "BACKCOLOR"
};

#endif
