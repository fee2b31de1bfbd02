// SkinLink: the "Link Window" control (SysLink) over the skin's Static
// background: the control paints itself into a buffer that is laid over the
// background with COLOR_WINDOW transparent. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_LINK_H
#define QUORBEL_SKIN_SKINNERS_SKIN_LINK_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinLink : public SkinWindowBase {
public:
    SkinLink(SkinWindowObject* parent, uint32_t kind);
    void PaintBuffered() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

#endif
