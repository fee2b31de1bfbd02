// SkinControlBar: an MFC control bar window (the manager's class list)
// painted with the skin's ControlBar background, turned for a bar docked
// at the left or right. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_CONTROLBAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_CONTROLBAR_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinControlBar : public SkinWindowBase {
public:
    SkinControlBar(SkinWindowObject* parent, uint32_t kind);
    void Draw(HDC hdc) override;
};

#endif
