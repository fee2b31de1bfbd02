// SkinStatic: repaints "Static" controls from the skin's Static object -
// text statics with the skin's background (or their background owner's,
// when transparent) and text style, icon and bitmap statics over it. Simple,
// owner-drawn and metafile statics keep the system look.
//
// SkinPaintOwnerBackground is the background the transparent bar and
// static skinners share: what the control's background owner (an
// enclosing tab, else the parent) paints behind it (private message 6037).
// Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_STATIC_H
#define QUORBEL_SKIN_SKINNERS_SKIN_STATIC_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinStaticData;

// Fills client with COLOR_BTNFACE, then lets owner paint what lies behind
// control into hdc (an owner that does not answer leaves the face colour).
void SkinPaintOwnerBackground(HDC hdc, HWND owner, HWND control, const RECT& client);

class SkinStatic : public SkinWindowBase {
public:
    SkinStatic(SkinWindowObject* parent, uint32_t kind);

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    SkinStaticData* Data() const;

private:
    void DrawBackground(HDC hdc, const RECT& client);
    // The control procedure with WS_VISIBLE off, then a repaint.
    LRESULT HiddenThenRepaint(UINT message, WPARAM wParam, LPARAM lParam);
};

#endif
