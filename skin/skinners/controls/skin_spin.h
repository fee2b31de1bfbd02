// SkinUpDown: the spin control ("msctls_updown32"). The control keeps
// spinning; the skin paints its two buttons in the state of the moment
// (normal, hot, pressed, disabled). A horizontal spin without horizontal
// images in the skin shows the vertical look turned by a quarter.
// Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_SPIN_H
#define QUORBEL_SKIN_SKINNERS_SKIN_SPIN_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinSpinData;

class SkinUpDown : public SkinWindowBase {
public:
    // Button states: none, first or second pressed, first or second hot.
    enum State { kNone = 0, kFirstPressed = 1, kSecondPressed = 2, kFirstHot = 3, kSecondHot = 4 };

    SkinUpDown(SkinWindowObject* parent, uint32_t kind);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;
    void OnMouseLeave() override;

    int GetState() const { return state_; }
    bool IsHorizontal() const;
    // Whether a horizontal spin is drawn from the skin's horizontal images.
    bool HasHorizontalLook() const;

private:
    SkinSpinData* Data() const;
    void SetState(int state);
    // The two buttons' images in hdc's rect, split across (horizontal) or
    // along.
    void DrawButtons(HDC hdc, const RECT& rect, bool horizontalSet, bool sideBySide);

    int state_ = kNone;
};

#endif
