// SkinMonthCal: a "SysMonthCal32" in the skin's MonthCalendar colours,
// over its background image, with the previous and next month buttons
// drawn from the skin's images in their pressed, normal or disabled look.
// Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_CALENDAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_CALENDAR_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinMonthCalData;

class SkinMonthCal : public SkinWindowBase {
public:
    enum Button { kNone = 0, kPrevious = 1, kNext = 2 };

    SkinMonthCal(SkinWindowObject* parent, uint32_t kind);

    BOOL Attach(HWND window) override;
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    int GetPressed() const { return pressed_; }
    const RECT& GetButtonRect(int button) const { return button == kPrevious ? previous_ : next_; }
    SkinMonthCalData* Data() const;

private:
    void ApplyColors();
    void FindButtons();
    int ButtonAt(LPARAM point) const;

    RECT previous_ = {};  // previous-month button, client coordinates
    RECT next_ = {};      // next-month button
    int pressed_ = kNone;  // the button held down
};

#endif
