// SkinTab: repaints a "SysTabControl32" from the skin's Tab object - the
// background, the page frame and every tab in its state's image and text
// style, with left, right and bottom tabs turned or flipped from the top
// look - and paints the background of controls placed on it (6037).
// Owner-drawn tab controls keep the system look.
//
// SkinDrawTurned is the quarter-turn drawing the tab, toolbar and control
// bar skinners share: a picture painted at the swapped size, turned and
// put in with the key colour transparent. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_TAB_H
#define QUORBEL_SKIN_SKINNERS_SKIN_TAB_H

#include <windows.h>

#include <functional>

#include "skin/skinners/controls/skin_control_base.h"

class SkinTabData;

// paint draws into a DC of dest's size (turned a quarter: height x width)
// at (0, 0); the result is turned by angle (90 clockwise, 270
// anticlockwise; 180 flips it upside down) and copied to dest with key
// transparent. Nothing is drawn when the turn fails.
void SkinDrawTurned(HDC hdc, const RECT& dest, int angle, COLORREF key,
                    const std::function<void(HDC, const RECT&)>& paint);

class SkinTab : public SkinWindowBase {
public:
    SkinTab(SkinWindowObject* parent, uint32_t kind);

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    SkinTabData* Data() const;

private:
    void DrawItem(HDC hdc, int index, int side);
    // The state set of a tab: 0 normal, 1 pressed, 2 disabled, 3 hovered.
    int ItemSet(int index);
    void PaintWithChildrenClipped();
};

#endif
