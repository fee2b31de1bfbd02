#include "skin/skinners/frames/skin_caption_button.h"

#include <algorithm>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

const UINT kHoverInterval = 100;  // ms between looks at where the pointer is

SkinElement* MakeButtonElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object)
{
    return new SkinButtonElement(rect, owner, object);
}

const bool g_registered = (RegisterSkinElementFactory(kSkinCaptionButton, &MakeButtonElement), true);

// The image part of a reference, cropped out of its image in the current
// skin; false when the reference is empty or its image is not in the skin.
bool CropImageRef(const SkinImageRef& ref, CSkinImage* part)
{
    if (SkinGdiUtil::IsImageRefEmpty(ref))
        return false;
    const SkinManager::PinnedSkin skin;
    CSkinImage* image = skin->FindImage(ref.name);
    return image && image->Crop(ref.source.left, ref.source.top, ref.source.right, ref.source.bottom, part);
}

}  // namespace

SkinButtonElement::SkinButtonElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object)
    : SkinElement(rect, owner, object)
{
    SetSkinData(object);  // the base constructor could not reach the override
    if (owner) {
        keyColor_ = owner->GetKeyColor();
        transparent_ = owner->IsTransparent();
    }
    BuildHitRegion();
}

SkinButtonElement::~SkinButtonElement()
{
    if (hitRegion_)
        DeleteObject(hitRegion_);
    StopHoverTimer();
}

SkinDataObject* SkinButtonElement::SetSkinData(SkinDataObject* object)
{
    SetName(object ? object->GetName() : nullptr);
    return SkinElement::SetSkinData(object);
}

SkinCaptionButtonData* SkinButtonElement::Data() const
{
    return dynamic_cast<SkinCaptionButtonData*>(GetSkinData());
}

HWND SkinButtonElement::OwnerWindow() const { return owner_ ? owner_->GetWindow() : nullptr; }

bool SkinButtonElement::IsToggle() const
{
    SkinCaptionButtonData* data = Data();
    return data && data->toggle == 1;
}

uint32_t SkinButtonElement::ActionOf() const
{
    SkinCaptionButtonData* data = Data();
    return data ? data->action : uint32_t(kCommand);
}

void SkinButtonElement::BuildHitRegion()
{
    SkinCaptionButtonData* data = Data();
    if (!data || !transparent_)
        return;
    // The first image the button has gives its shape: hot, pressed, normal.
    CSkinImage part;
    if (!CropImageRef(data->hotImage, &part) && !CropImageRef(data->pressedImage, &part) &&
        !CropImageRef(data->image, &part))
        return;
    HWND window = OwnerWindow();
    HDC dc = GetDC(window);
    HBITMAP bitmap = part.MakeBitmap(dc);
    ReleaseDC(window, dc);
    if (!bitmap)
        return;
    hitRegion_ = SkinGdiUtil::RegionFromBitmap(bitmap, keyColor_);
    DeleteObject(bitmap);
}

BOOL SkinButtonElement::HitTest(int x, int y)
{
    if (!enabled_ || !SkinElement::HitTest(x, y))
        return FALSE;
    return !hitRegion_ || PtInRegion(hitRegion_, x - rect_.left, y - rect_.top);
}

void SkinButtonElement::PaintState(HDC hdc, int state)
{
    SkinCaptionButtonData* data = Data();
    if (!data || !hdc)
        return;
    if (data->action == kIcon) {
        SkinGdiUtil::DrawWindowIcon(OwnerWindow(), hdc, POINT{rect_.left, rect_.top});
        return;
    }
    const int width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
    if (width <= 0 || height <= 0)
        return;

    // The state's image, falling back to the normal one when it is missing.
    CSkinImage part;
    bool found = false;
    if (enabled_) {
        if (state == kHot)
            found = CropImageRef(data->hotImage, &part);
        else if (state == kPressed)
            found = CropImageRef(data->pressedImage, &part);
    } else {
        found = CropImageRef(data->disabledImage, &part);
    }
    if (!found)
        found = CropImageRef(data->image, &part);
    if (!found) {
        RECT r = rect_;
        DrawFrameControl(hdc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
        return;
    }
    if (!transparent_) {
        part.Draw(hdc, rect_.left, rect_.top, std::min<int>(width, part.GetWidth()),
                  std::min<int>(height, part.GetHeight()));
        return;
    }
    // Keyed pixels show what the window has under the button.
    SkinMemDC memory(hdc, width, height);
    BitBlt(memory, 0, 0, width, height, hdc, rect_.left, rect_.top, SRCCOPY);
    SkinGdiUtil::DrawImageKeyed(memory, part, RECT{0, 0, width, height}, keyColor_);
    BitBlt(hdc, rect_.left, rect_.top, width, height, memory, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// Mouse

void SkinButtonElement::OnRButtonDown(int x, int y)
{
    if (HitTest(x, y) && ActionOf() == kSystemMenu)
        SkinGdiUtil::TrackSystemMenu(OwnerWindow());
}

void SkinButtonElement::OnLButtonDblClk(int x, int y)
{
    if (HitTest(x, y) && ActionOf() == kSystemMenu)
        PostMessageA(OwnerWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void SkinButtonElement::OnLButtonDown(int x, int y)
{
    if (!HitTest(x, y))
        return;
    HideTooltip();
    if (ActionOf() == kSystemMenu) {
        DoAction();
        return;
    }
    if (!IsToggle())
        state_ = kPressed;
    pressed_ = true;
    RepaintState(kPressed);
}

void SkinButtonElement::OnMouseMove(int x, int y)
{
    if (!HitTest(x, y))
        return;
    if (!IsToggle()) {
        state_ = pressed_ ? kPressed : kHot;
        RepaintState(state_);
    } else {
        RepaintState(kHot);
    }
    if (!hoverCell_) {
        StartHoverTimer();
        ShowTooltip();
    }
}

void SkinButtonElement::OnLButtonUp(int x, int y)
{
    if (!HitTest(x, y) || !pressed_)
        return;
    switch (ActionOf()) {
    case kSystemMenu:
        return;
    case kMaximize:
    case kMinimize:
        // The window changes size at once; no hot look is left behind.
        pressed_ = false;
        state_ = kNormal;
        DoAction();
        return;
    default:
        break;
    }
    if (!IsToggle()) {
        if (hoverCell_) {
            pressed_ = false;
            state_ = kHot;
            RepaintState(state_);
        }
    } else {
        pressed_ = false;
        state_ = state_ == kPressed ? kNormal : kPressed;
        RepaintState(state_);
    }
    DoAction();
}

void SkinButtonElement::OnMouseLeave()
{
    if (!IsToggle()) {
        pressed_ = false;
        state_ = kNormal;
    }
    if (IsShownInState())
        RepaintState(state_);
}

void SkinButtonElement::RepaintState(int state)
{
    HWND window = OwnerWindow();
    if (!window)
        return;
    if (HDC dc = GetWindowDC(window)) {
        PaintState(dc, state);
        ReleaseDC(window, dc);
    }
}

void SkinButtonElement::DoAction()
{
    HWND window = OwnerWindow();
    SkinCaptionButtonData* data = Data();
    if (!window || !data)
        return;
    switch (data->action) {
    case kCommand:
        PostMessageA(window, WM_COMMAND, WPARAM(data->commandId), 0);
        break;
    case kClose:
        StopHoverTimer();
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case kMaximize:
        PostMessageA(window, WM_SYSCOMMAND, IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE, 0);
        break;
    case kMinimize:
        PostMessageA(window, WM_SYSCOMMAND, IsIconic(window) ? SC_RESTORE : SC_MINIMIZE, 0);
        break;
    case kSystemMenu:
        SkinGdiUtil::TrackSystemMenu(window);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Hover timer

void SkinButtonElement::StartHoverTimer()
{
    HWND window = OwnerWindow();
    if (!window || hoverCell_)
        return;
    hoverCell_ = new SkinButtonElement*(this);
    if (!SetTimer(window, reinterpret_cast<UINT_PTR>(hoverCell_), kHoverInterval, &HoverTimerProc)) {
        delete hoverCell_;
        hoverCell_ = nullptr;
        return;
    }
    timerWindow_ = window;
}

void SkinButtonElement::StopHoverTimer()
{
    if (!hoverCell_)
        return;
    // Killed on the window it was set on, even when the owner has let go.
    if (timerWindow_ && IsWindow(timerWindow_))
        KillTimer(timerWindow_, reinterpret_cast<UINT_PTR>(hoverCell_));
    delete hoverCell_;
    hoverCell_ = nullptr;
    timerWindow_ = nullptr;
}

void CALLBACK SkinButtonElement::HoverTimerProc(HWND window, UINT, UINT_PTR id, DWORD)
{
    SkinButtonElement* self = *reinterpret_cast<SkinButtonElement**>(id);
    POINT cursor;
    RECT bounds;
    if (GetCursorPos(&cursor) && ::GetWindowRect(window, &bounds) &&
        self->HitTest(cursor.x - bounds.left, cursor.y - bounds.top))
        return;
    self->StopHoverTimer();
    self->OnMouseLeave();
    self->HideTooltip();
}
