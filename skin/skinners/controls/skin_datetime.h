// SkinDateTime: paints a "SysDateTimePick32" field and drop-down button
// from the skin's DateTime object and replaces the drop-down calendar with
// a month calendar popup of its own, run in a local message loop: a click
// on a date takes that date (the picker's time of day stays), a click
// anywhere else closes the popup and keeps the old date. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_DATETIME_H
#define QUORBEL_SKIN_SKINNERS_SKIN_DATETIME_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinDateTimeData;

class SkinDateTime : public SkinWindowBase {
public:
    // Width of the drop-down button at the right end.
    static const int kButtonWidth = 17;

    SkinDateTime(SkinWindowObject* parent, uint32_t kind);
    ~SkinDateTime() override;

    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    HWND GetPopup() const { return popup_; }
    SkinDateTimeData* Data() const;

private:
    // Opens the popup and runs its loop; 1 when a date was picked.
    LRESULT DropDown();
    static void NotifyParent(HWND picker, UINT code);
    void DrawBorder();

    HWND popup_ = nullptr;  // the popup calendar while open
    bool* gone_ = nullptr;  // the drop-down loop's flag, set when this skinner is deleted
};

#endif
