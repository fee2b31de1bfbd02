#include "skin/core/skin_item.h"

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

// ---------------------------------------------------------------------------
// SkinItem

SkinItem::~SkinItem()
{
    // The library's tooltip must not keep a dead owner.
    if (SkinTooltipService* tooltip = SkinLibGetTooltip())
        tooltip->HideFor(this);
    data_ = nullptr;
}

SkinDataObject* SkinItem::SetSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = data_;
    data_ = object;
    return previous;
}

SkinDataObject* SkinItem::GetTooltipData()
{
    return SkinManager::PinnedSkin()->FindObjectByType(kSkinTooltip);
}

void SkinItem::HideTooltip()
{
    if (SkinTooltipService* tooltip = SkinLibGetTooltip())
        tooltip->HideFor(this);
}

void SkinItem::ShowTooltip()
{
    const std::string name = GetName();
    if (!name.empty())
        ShowTooltipText(name.c_str());
}

void SkinItem::ShowTooltipText(const char* text)
{
    SkinTooltipService* tooltip = SkinLibGetTooltip();
    if (!tooltip)
        return;
    // The object stays while it is bound. A skin loaded by another thread
    // meanwhile may have rebound the tooltip before this bind: it is told
    // again.
    SkinManager::Pin pin;
    tooltip->ShowFor(this, GetTooltipData(), text);
    if (pin.SkinChanged())
        if (HWND window = tooltip->GetWindow())
            SendMessageA(window, kSkinMsgReskin, kSkinReskinRebind, 0);
}

// ---------------------------------------------------------------------------
// SkinElement

SkinElement::SkinElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object)
    : owner_(owner)
{
    rect_ = RECT{rect.left, rect.top, rect.right, rect.bottom};
    SetSkinData(object);
}

void SkinElement::Paint(HDC hdc)
{
    auto* data = dynamic_cast<SkinElementData*>(GetSkinData());
    if (data)
        SkinGdiUtil::DrawImageRef(hdc, rect_, data->image, data->backColor, TRUE);
}

SkinDataObject* SkinElement::GetTooltipData()
{
    if (owner_ && owner_->GetSkinData())
        if (SkinDataObject* tip = owner_->GetSkinData()->FindChild(kSkinTooltip, 0))
            return tip;
    return SkinItem::GetTooltipData();
}

BOOL SkinElement::SetEnabled(BOOL enabled)
{
    enabled_ = enabled;
    Repaint();
    return TRUE;
}

BOOL SkinElement::HitTest(int x, int y)
{
    const POINT p = {x, y};
    return IsShownInState() && PtInRect(&rect_, p);
}

void SkinElement::Layout(const RECT& window)
{
    SkinDataObject* object = GetSkinData();
    if (!object)
        return;
    const SkinRect& r = object->rect;
    rect_ = RECT{r.left, r.top, r.right, r.bottom};
    auto* frame = owner_ ? dynamic_cast<SkinPartsData*>(owner_->GetSkinData()) : nullptr;
    auto* element = dynamic_cast<SkinElementData*>(object);
    if (!frame || frame->GetType() != kSkinFrameWnd || !element)
        return;
    const SkinRect skin = frame->GetSizeRect();
    const int dx = (window.right - window.left) - skin.Width();
    const int dy = (window.bottom - window.top) - skin.Height();
    switch (element->elementValue) {
    case 2:
    case 8:
        OffsetRect(&rect_, 0, dy);
        break;
    case 4:
    case 6:
        OffsetRect(&rect_, dx, 0);
        break;
    case 5:
        OffsetRect(&rect_, dx, dy);
        break;
    default:
        break;
    }
}

int SkinElement::DispatchMouse(UINT message, int x, int y)
{
    switch (message) {
    case WM_MOUSEMOVE: OnMouseMove(x, y); break;
    case WM_LBUTTONDOWN: OnLButtonDown(x, y); break;
    case WM_LBUTTONUP: OnLButtonUp(x, y); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(x, y); break;
    case WM_RBUTTONDOWN: OnRButtonDown(x, y); break;
    case WM_RBUTTONUP: OnRButtonUp(x, y); break;
    default: break;
    }
    return 1;
}

bool SkinElement::IsShownInState() const
{
    auto* element = dynamic_cast<SkinElementData*>(GetSkinData());
    const uint32_t visibility = element ? element->visibility : 0;
    HWND w = owner_ ? owner_->GetWindow() : nullptr;
    const bool iconic = w && IsIconic(w), zoomed = w && IsZoomed(w);
    switch (visibility) {
    case 0: return true;
    case 1: return iconic;
    case 2: return !iconic;
    case 3: return zoomed;
    case 4: return !zoomed;
    case 5: return owner_ && owner_->IsActive();
    case 6: return !(owner_ && owner_->IsActive());
    case 7: return w && IsWindowEnabled(w);
    case 8: return !(w && IsWindowEnabled(w));
    case 9: return !zoomed && !iconic;
    default: return false;
    }
}

void SkinElement::Repaint()
{
    HWND w = owner_ ? owner_->GetWindow() : nullptr;
    if (!w)
        return;
    HDC dc = GetWindowDC(w);
    if (!dc)
        return;
    Paint(dc);
    ReleaseDC(w, dc);
}

// ---------------------------------------------------------------------------
// The element table

namespace {

SkinElement* MakeImageElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object)
{
    return new SkinElement(rect, owner, object);
}

SkinElementFactory& FactoryFor(uint32_t type)
{
    // Types 3, 22 and 38; filled from static constructors, so plain storage.
    static SkinElementFactory factories[3] = {nullptr, &MakeImageElement, nullptr};
    switch (type) {
    case kSkinCaptionButton: return factories[0];
    case kSkinCaptionStatic: return factories[2];
    default: return factories[1];
    }
}

}  // namespace

void RegisterSkinElementFactory(uint32_t type, SkinElementFactory factory)
{
    if (type == kSkinCaptionButton || type == kSkinArea || type == kSkinCaptionStatic)
        FactoryFor(type) = factory;
}

SkinElement* CreateSkinElement(uint32_t type, const SkinRect& rect, SkinWindowObject* owner,
                               SkinDataObject* object)
{
    if (type != kSkinCaptionButton && type != kSkinArea && type != kSkinCaptionStatic)
        return nullptr;
    SkinElementFactory factory = FactoryFor(type);
    if (!factory)
        factory = &MakeImageElement;  // no class of its own yet: drawn as an image
    return factory(rect, owner, object);
}
