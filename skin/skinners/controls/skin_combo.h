// SkinComboBox: drop-down and drop-down-list combo boxes, painted whole:
// the border image, the face in the skin's colours (focus and disabled
// looks), the selected item's text and the arrow image of the moment
// (normal, hot, pressed, disabled). The edit of a drop-down combo takes its
// colours from here. Simple and variable owner-drawn combos keep their
// system look; fixed owner-drawn ones paint their own face inside the
// skin's border and arrow. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_COMBO_H
#define QUORBEL_SKIN_SKINNERS_SKIN_COMBO_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinComboData;

class SkinComboBox : public SkinWindowBase {
public:
    enum ArrowState { kArrowNormal = 0, kArrowHot = 1, kArrowPressed = 2 };

    SkinComboBox(SkinWindowObject* parent, uint32_t kind);
    ~SkinComboBox() override;

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;
    void OnMouseLeave() override;

    // The arrow button in client coordinates.
    RECT ArrowRect();
    int GetArrowState() const { return arrowState_; }
    // Whether the combo or its edit has the focus.
    bool HasFocus();

private:
    SkinComboData* Data() const;
    void SetArrowState(int state);
    // The border and the arrow (Draw's frame) into hdc.
    void DrawFrameAndArrow(HDC hdc, const RECT& client);
    void PaintOwnerDrawn();
    RECT Inside(const RECT& client) const;

    HBRUSH normalBrush_ = nullptr;    // "COLOR.BACKCOLOR"
    HBRUSH disabledBrush_ = nullptr;  // "COLOR.DISABLEDBACKGROUND"
    bool ownerDrawFixed_ = false;     // CBS_OWNERDRAWFIXED
    int arrowState_ = kArrowNormal;
};

#endif
