// SkinListView and SkinTreeView: the common-control views keep painting
// their items; the skin sets their colours (private message 6030, posted
// at attach and at every rebinding), draws their border and skins their
// scroll bars. Owner-drawn list views keep their system look. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_VIEW_H
#define QUORBEL_SKIN_SKINNERS_SKIN_VIEW_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

// What both views share: the skin's colours set through 6030, posted at
// attach and at every rebinding.
class SkinColoredView : public SkinScrollableBase {
public:
    SkinColoredView(SkinWindowObject* parent, uint32_t kind);

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // 6030: the view's colours from the skin.
    virtual void ApplyColors() = 0;
};

class SkinListView : public SkinColoredView {
public:
    SkinListView(SkinWindowObject* parent, uint32_t kind);

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Background, text background and text colours.
    void ApplyColors() override;

protected:
    bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Windows 98 / ME: thumb tracking moves the list itself.
    bool TrackThumb(UINT message, WPARAM wParam);
};

class SkinTreeView : public SkinColoredView {
public:
    SkinTreeView(SkinWindowObject* parent, uint32_t kind);

    // Text, background and line colours.
    void ApplyColors() override;

protected:
    bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) override;
};

#endif
