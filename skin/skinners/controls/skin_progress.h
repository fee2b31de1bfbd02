// SkinProgress: the progress bar ("msctls_progress32"). It takes the bar's
// range, position and step over (private message 6031, posted at attach)
// and answers the progress-bar messages itself, so the control never
// paints; the skin's BACKGROUND and PROGRESSIMAGE draw it, stretched,
// revealed or in blocks ("STYLE" 0, 1, 2), turned for vertical bars. The
// state goes back to the control when the skin is taken off. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_PROGRESS_H
#define QUORBEL_SKIN_SKINNERS_SKIN_PROGRESS_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinProgressData;

class SkinProgress : public SkinWindowBase {
public:
    SkinProgress(SkinWindowObject* parent, uint32_t kind);

    BOOL Attach(HWND window) override;
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    bool IsActive() const { return active_; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Pos() const { return pos_; }
    int Step() const { return step_; }

private:
    SkinProgressData* Data() const;
    // 6031: range, position and step read from the control.
    void TakeStateOver();
    // The bar laid out horizontally in rect.
    void DrawBar(HDC hdc, const RECT& rect);
    void PaintBorder();
    void Changed();
    void Clamp();

    int min_ = 0, max_ = 100;  // the range
    int pos_ = 0;              // the position
    int step_ = 10;            // PBM_STEPIT's increment
    bool active_ = false;      // the state is ours (6031 handled)
};

#endif
