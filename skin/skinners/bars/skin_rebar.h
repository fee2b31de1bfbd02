// SkinReBar: repaints "ReBarWindow32" from the skin's Rebar object - the
// background and every band's image and text. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_REBAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_REBAR_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinReBar : public SkinWindowBase {
public:
    SkinReBar(SkinWindowObject* parent, uint32_t kind);
    void Draw(HDC hdc) override;
};

#endif
