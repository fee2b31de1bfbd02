// SkinShapeWindow: gives a window the outline of a ShapeWnd object's
// picture. The window loses caption and borders, takes the picture's size
// and a region of the pixels that are not the key colour, can become a
// layered window with a constant alpha, and is dragged by any point that
// is not a window element (when it had a caption). Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_SHAPED_H
#define QUORBEL_SKIN_SKINNERS_SKIN_SHAPED_H

#include <windows.h>

#include <memory>

#include "skin/core/skin_window.h"

class SkinMemDC;

class SkinShapeWindow : public SkinWindowObject {
public:
    SkinShapeWindow();
    ~SkinShapeWindow() override;

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    LRESULT OnMenuKey(WPARAM, LPARAM) override { return 0; }
    void Detach() override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The picture's pixels that differ from the key colour, with the
    // caption text elements combined in.
    HRGN BuildRegion() override;

    // Size, extended style, region and alpha from the skin object.
    void ApplyShape();
    bool HasCaption() const { return caption_; }

private:
    void BuildCache(int cx, int cy);

    LONG savedStyle_ = 0;                    // GWL_STYLE before attach
    LONG savedExStyle_ = 0;                  // GWL_EXSTYLE before attach
    bool caption_ = true;                    // the saved style had WS_CAPTION: drag anywhere
    std::unique_ptr<SkinMemDC> cache_;       // the picture
};

#endif
