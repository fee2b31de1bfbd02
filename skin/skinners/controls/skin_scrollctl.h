// SkinScrollBarCtrl: the scroll bar control ("ScrollBar"). Once it has read
// the control's scroll information (private message 6030, posted at
// attach) it keeps its own copy, answers the scroll-bar messages from it,
// operates the bar itself (arrows and page areas repeat every 50 ms while
// held, the thumb is dragged) and tells the parent with WM_HSCROLL /
// WM_VSCROLL, painting arrows, track and thumb from the skin's ScrollBar
// object (the V... images for vertical bars). Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_SCROLLCTL_H
#define QUORBEL_SKIN_SKINNERS_SKIN_SCROLLCTL_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"
#include "skin/skinners/controls/skin_control_base_geometry.h"

class SkinScrollBarData;

class SkinScrollBarCtrl : public SkinWindowBase {
public:
    // The repeat timer of held arrows and page areas.
    static constexpr UINT_PTR kRepeatTimer = 200;
    static constexpr UINT kRepeatMs = 50;

    SkinScrollBarCtrl(SkinWindowObject* parent, uint32_t kind);

    // Arrow lengths and minimum thumbs of both orientations from the
    // object, then the control binding.
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    // Ends a press first: no repeat timer outlives the skinner.
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;
    void OnMouseLeave() override;

    bool IsLoaded() const { return loaded_; }
    bool IsVertical() const;
    // Arrows and thumb for the current state (the track position while
    // the thumb is dragged).
    ScrollCtlGeometry Geometry() const;
    const SCROLLINFO& Info() const { return info_; }
    int PressedPart() const { return pressed_ ? pressedPart_ : kScrollCtlNone; }
    int HotPart() const { return hotPart_; }

private:
    SkinScrollBarData* Data() const;
    // The coordinate of a client point along the bar.
    int Along(LPARAM point) const;
    int Along(POINT point) const;
    // Tells the parent; false when the parent destroyed the bar or took
    // its skin off meanwhile (this object is gone then).
    bool Notify(int code, int position = 0);
    void LoadInfo();
    LRESULT SetInfo(BOOL redraw, const SCROLLINFO* in);
    void Repaint();
    void OnPress(LPARAM point);
    void OnRelease(LPARAM point);
    // Ends a press: the repeat stops and the capture goes; with notify the
    // parent hears the end (after a thumb drag, its position first).
    // False when this object went with a notification.
    bool EndPress(bool notify, int thumbPosition);
    // False when this object went with a notification.
    bool OnMove(WPARAM keys, LPARAM point);
    void OnRepeat();

    SCROLLINFO info_ = {};       // the bar's range, page, position and track position
    bool loaded_ = false;        // info_ read from the control
    int pressedPart_ = kScrollCtlNone;  // part the press began on
    bool pressed_ = false;       // the left button is held on the bar
    bool dragging_ = false;      // the thumb is being dragged
    int dragOffset_ = 0;         // cursor less thumb start at the press
    int hotPart_ = kScrollCtlNone;  // part under the mouse (no button)
    int arrow_[2] = {0, 0};      // arrow length: horizontal, vertical
    int minThumb_[2] = {0, 0};   // minimum thumb length: horizontal, vertical
};

#endif
