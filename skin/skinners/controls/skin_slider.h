// SkinTrackBar: the slider ("msctls_trackbar32"). The control keeps
// working; the skin paints its background, channel and thumb (marks on
// both sides: TBS_BOTH while skinned). Vertical sliders are drawn lying and
// turned, unless the skin has a vertical thumb. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_SLIDER_H
#define QUORBEL_SKIN_SKINNERS_SKIN_SLIDER_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinSliderData;

class SkinTrackBar : public SkinWindowBase {
public:
    SkinTrackBar(SkinWindowObject* parent, uint32_t kind);

    BOOL Attach(HWND window) override;
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    LONG SavedStyle() const { return savedStyle_; }

private:
    SkinSliderData* Data() const;
    // The background (the owner's picture with "TRANSPARENT") into hdc.
    void DrawBackground(HDC hdc, const RECT& rect);
    void DrawVertical(HDC hdc, const RECT& client, const RECT& channel, const RECT& thumb);

    LONG savedStyle_ = 0;  // GWL_STYLE before TBS_BOTH was added
};

#endif
