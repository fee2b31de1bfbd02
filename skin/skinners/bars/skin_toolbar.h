// SkinToolBar: repaints a "ToolbarWindow32" from the skin's ToolBar object
// after the control has painted (so its own state stays right): the
// background (turned for a bar docked at a side of an MFC control bar),
// each button in its state's image with its icon and text, a drop-down
// arrow, and the hot button; the non-client area in the background; the
// library tooltip with the button's string-table text. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_TOOLBAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_TOOLBAR_H

#include <windows.h>

#include <string>

#include "skin/skinners/controls/skin_control_base.h"

class SkinToolBarData;

class SkinToolBar : public SkinWindowBase {
public:
    SkinToolBar(SkinWindowObject* parent, uint32_t kind);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    // Button images: 0 normal, 1 pressed, 2 hot, 3 disabled.
    static int ButtonImage(BYTE state, bool hot);
    SkinToolBarData* Data() const;
    int GetHotItem() const { return hotItem_; }

private:
    void DrawBackground(HDC hdc, const RECT& rect);
    void DrawButton(HDC hdc, int index, bool hot, bool anyText);
    // A button's text, at most kMaxButtonText characters of it.
    std::string ButtonText(int command);
    static const size_t kMaxButtonText = 100;
    void OnMouseMove(LPARAM lParam);
    void PaintNonClient();
    // The part after the first newline of the command's string-table text.
    std::string TooltipText(int command);

    int hotItem_ = -1;  // the button the tooltip shows, -1 none
    std::string tipText_;  // what the tooltip shows now
};

#endif
