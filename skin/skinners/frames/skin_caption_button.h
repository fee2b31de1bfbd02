// SkinButtonElement: a caption button (CaptionButton, type 3) that a window
// object draws into its non-client area (frame, dialog) or its client area
// (shaped window) and feeds with window-relative mouse messages. It lives in
// three states: 3 normal, 0 hot (under the mouse), 1 pressed; a click posts
// the object's action to the owner window (a command, close, maximise,
// minimise or the system menu). A 100 ms hover timer on the owner window
// notices when the pointer has left, since the owner sees no mouse message
// once the pointer is outside it.
// Windows only; registered for type 3 in the element table.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_CAPTION_BUTTON_H
#define QUORBEL_SKIN_SKINNERS_SKIN_CAPTION_BUTTON_H

#include <windows.h>

#include "skin/core/skin_item.h"

class SkinCaptionButtonData;

class SkinButtonElement : public SkinElement {
public:
    enum State { kHot = 0, kPressed = 1, kNormal = 3 };
    enum Action { kCommand = 0, kClose = 1, kIcon = 2, kMaximize = 3, kMinimize = 4, kSystemMenu = 5 };

    SkinButtonElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object);
    ~SkinButtonElement() override;

    void Paint(HDC hdc) override { PaintState(hdc, state_); }
    // Names the element after the object (the tooltip key), then attaches it.
    SkinDataObject* SetSkinData(SkinDataObject* object) override;

    void OnRButtonDown(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnLButtonDblClk(int x, int y) override;
    // Enabled, shown, in the rectangle and in the hit region (when any).
    BOOL HitTest(int x, int y) override;
    void OnMouseLeave() override;
    int GetState() const override { return state_; }

    // Draws the image of the given state (the window icon for action 2).
    void PaintState(HDC hdc, int state);
    // Posts what the button stands for to the owner window.
    void DoAction();

    bool IsPressed() const { return pressed_; }
    bool IsHoverTimerRunning() const { return hoverCell_ != nullptr; }

private:
    SkinCaptionButtonData* Data() const;
    HWND OwnerWindow() const;
    bool IsToggle() const;
    uint32_t ActionOf() const;
    void BuildHitRegion();
    // Paints the given state on the owner window's DC.
    void RepaintState(int state);
    void StartHoverTimer();
    void StopHoverTimer();
    static void CALLBACK HoverTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

    HRGN hitRegion_ = nullptr;               // relative to the rectangle's top-left; null = all of it
    COLORREF keyColor_ = 0xFF00FF;           // the skin's key colour
    BOOL transparent_ = FALSE;               // the skin's USETRANSPARENTCOLOR
    SkinButtonElement** hoverCell_ = nullptr;  // heap cell holding this; its address is the timer id
    HWND timerWindow_ = nullptr;             // the window the hover timer was set on
    bool pressed_ = false;                   // the left button went down on this button
    int state_ = kNormal;                    // 0 hot, 1 pressed, 3 normal
};

#endif
