// SkinStatusBar: repaints "msctls_statusbar32" from the skin's StatusBar
// object - background, each part's item image and text - after the
// control's own paint. Without a StatusBar object in the skin it draws
// from a default object of its own. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_STATUSBAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_STATUSBAR_H

#include <windows.h>

#include <memory>

#include "skin/skinners/controls/skin_control_base.h"

class SkinStatusBarData;

class SkinStatusBar : public SkinWindowBase {
public:
    SkinStatusBar(SkinWindowObject* parent, uint32_t kind);
    ~SkinStatusBar() override;

    BOOL Attach(HWND window) override;
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    SkinStatusBarData* Data() const;

private:
    std::unique_ptr<SkinStatusBarData> own_;  // used when the skin has none
};

#endif
