// SkinListView and SkinTreeView: the common-control views keep painting
// their items; the skin sets their colours (private message 6030, posted
// at attach and at every rebinding), draws their border and skins their
// scroll bars. Owner-drawn list views keep their system look. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_VIEW_H
#define QUORBEL_SKIN_SKINNERS_SKIN_VIEW_H

#include <windows.h>

#include "skin/skinners/skin_control_base.h"

class SkinListView : public SkinScrollableBase {
public:
    SkinListView(SkinWindowObject* parent, uint32_t kind);

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // 6030: background, text background and text colours from the skin.
    void ApplyColors();

protected:
    bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Windows 98 / ME: thumb tracking moves the list itself.
    bool TrackThumb(UINT message, WPARAM wParam);
};

class SkinTreeView : public SkinScrollableBase {
public:
    SkinTreeView(SkinWindowObject* parent, uint32_t kind);

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // 6030: text, background and line colours from the skin.
    void ApplyColors();

protected:
    bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) override;
};

#endif
