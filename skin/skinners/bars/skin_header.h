// SkinHeader: repaints "SysHeader32" from the skin's Header object - the
// background and every item's image and text. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_HEADER_H
#define QUORBEL_SKIN_SKINNERS_SKIN_HEADER_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinHeader : public SkinWindowBase {
public:
    SkinHeader(SkinWindowObject* parent, uint32_t kind);
    void Draw(HDC hdc) override;
};

#endif
