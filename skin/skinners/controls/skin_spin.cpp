#include "skin/skinners/controls/skin_spin.h"

#include <commctrl.h>
#include <windowsx.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/controls/skin_control_base_geometry.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

SkinWindowObject* MakeUpDown(uint32_t type, SkinWindowObject* parent) { return new SkinUpDown(parent, type); }
SkinnerRegistrar g_upDown(kSkinSpin, &MakeUpDown);

enum Block { kNormal, kHover, kPressed, kDisabled };

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SkinUpDown::SkinUpDown(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinSpinData* SkinUpDown::Data() const { return dynamic_cast<SkinSpinData*>(GetSkinData()); }

bool SkinUpDown::IsHorizontal() const { return (GetWindowLongA(window_, GWL_STYLE) & UDS_HORZ) != 0; }

bool SkinUpDown::HasHorizontalLook() const
{
    SkinSpinData* data = Data();
    if (!data || SkinManager::PinnedSkin()->GetMinor() <= 12)
        return false;
    return !IsImageRefEmpty(data->horizontal[kNormal].up) || !IsImageRefEmpty(data->horizontal[kNormal].down);
}

void SkinUpDown::SetState(int state)
{
    if (state == state_)
        return;
    state_ = state;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
}

void SkinUpDown::OnMouseLeave()
{
    SkinWindowBase::OnMouseLeave();
    SetState(kNone);
}

void SkinUpDown::DrawButtons(HDC hdc, const RECT& rect, bool horizontalSet, bool sideBySide)
{
    SkinSpinData* data = Data();
    const SkinSpinBlock* blocks = horizontalSet ? data->horizontal : data->vertical;
    // Each button's image: the state's, else the normal one.
    auto pick = [blocks](int block, bool first) -> const SkinImageRef& {
        const SkinImageRef& want = first ? blocks[block].up : blocks[block].down;
        return IsImageRefEmpty(want) ? (first ? blocks[kNormal].up : blocks[kNormal].down) : want;
    };
    int firstBlock = kNormal, secondBlock = kNormal;
    if (!IsWindowEnabled(window_)) {
        firstBlock = secondBlock = kDisabled;
    } else {
        switch (state_) {
        case kFirstPressed: firstBlock = kPressed; break;
        case kSecondPressed: secondBlock = kPressed; break;
        case kFirstHot: firstBlock = kHover; break;
        case kSecondHot: secondBlock = kHover; break;
        default: break;
        }
    }
    RECT first = rect, second = rect;
    if (sideBySide)
        first.right = second.left = rect.left + Width(rect) / 2;
    else
        first.bottom = second.top = rect.top + Height(rect) / 2;
    SkinGdiUtil::DrawImageRef(hdc, first, pick(firstBlock, true), 0, FALSE);
    SkinGdiUtil::DrawImageRef(hdc, second, pick(secondBlock, false), 0, FALSE);
}

void SkinUpDown::Draw(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    SkinGdiUtil::FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
    if (!Data())
        return;
    if (!IsHorizontal()) {
        DrawButtons(hdc, client, false, false);
        return;
    }
    if (HasHorizontalLook()) {
        DrawButtons(hdc, client, true, true);
        return;
    }
    // The vertical look, lying, turned anticlockwise: its top button
    // comes to the left.
    SkinDrawTurned(hdc, client, [this](HDC picture, const RECT& lying) {
        SkinGdiUtil::FillSolidRect(picture, lying, GetSysColor(COLOR_BTNFACE));
        DrawButtons(picture, lying, false, false);
    });
}

LRESULT SkinUpDown::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        RECT client;
        GetClientRect(window_, &client);
        const int half = SpinHitTest(MakeSkinRect(client.left, client.top, client.right, client.bottom),
                                     GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), IsHorizontal());
        int state = kNone;
        if (half) {
            const bool pressed = message == WM_LBUTTONDOWN || (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON));
            state = pressed ? half : half + 2;
        }
        SetState(state);
        break;  // the control keeps spinning
    }
    default:
        break;
    }
    return SkinWindowBase::WindowProc(message, wParam, lParam);
}
