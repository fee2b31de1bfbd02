#include "skin/skinners/frames/skin_elements.h"

#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

const int kMaxTitle = 300;  // characters of the window's text drawn

SkinElement* MakeTextElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object)
{
    return new SkinTextElement(rect, owner, object);
}

const bool g_registered = (RegisterSkinElementFactory(kSkinCaptionStatic, &MakeTextElement), true);

// Where the placement words of a CaptionStatic live.
bool AnchoredLeft(const SkinCaptionStaticData& d) { return d.layout[0] != 0; }
bool AnchoredTop(const SkinCaptionStaticData& d) { return d.layout[1] != 0; }
bool AnchoredRight(const SkinCaptionStaticData& d) { return d.layout[2] != 0; }
bool AnchoredBottom(const SkinCaptionStaticData& d) { return d.layout[3] != 0; }
uint32_t HorizontalAlignment(const SkinCaptionStaticData& d) { return d.layout[4]; }
uint32_t RegionMode(const SkinCaptionStaticData& d) { return d.value1; }
uint32_t VerticalAlignment(const SkinCaptionStaticData& d) { return d.value2; }
uint32_t SizingRole(const SkinCaptionStaticData& d) { return d.value3; }

UINT TextFormat(const SkinCaptionStaticData& d, HWND owner)
{
    UINT format = DT_SINGLELINE;
    switch (HorizontalAlignment(d)) {
    case 1: format |= DT_CENTER; break;
    case 2: format |= DT_RIGHT; break;
    default: format |= DT_LEFT; break;
    }
    switch (VerticalAlignment(d)) {
    case 1: format |= DT_VCENTER; break;
    case 2: format |= DT_BOTTOM; break;
    default: format |= DT_TOP; break;
    }
    if (owner && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_RTLREADING))
        format |= DT_RTLREADING;
    return format;
}

// One axis of the anchoring: the element keeps its distance from the far
// edge when anchored there, and stretches when anchored to both.
void AnchorAxis(bool nearAnchored, bool farAnchored, int objectNear, int objectFar, int growth, LONG* outNear,
                LONG* outFar)
{
    if (farAnchored) {
        *outFar = objectFar + growth;
        *outNear = nearAnchored ? objectNear : objectNear + growth;
    } else {
        *outNear = objectNear;
        *outFar = objectFar;
    }
}

}  // namespace

SkinTextElement::SkinTextElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object)
    : SkinElement(rect, owner, object)
{
}

SkinTextElement::~SkinTextElement()
{
    if (shape_)
        DeleteObject(shape_);
}

bool SkinTextElement::ShapeSource::operator==(const ShapeSource& o) const
{
    return EqualRect(&rect, &o.rect) && partRegion == o.partRegion && partWidth == o.partWidth &&
           partHeight == o.partHeight && drawMode == o.drawMode;
}

SkinCaptionStaticData* SkinTextElement::Data() const
{
    return dynamic_cast<SkinCaptionStaticData*>(GetSkinData());
}

HWND SkinTextElement::OwnerWindow() const { return owner_ ? owner_->GetWindow() : nullptr; }

void SkinTextElement::Layout(const RECT& window)
{
    SkinCaptionStaticData* data = Data();
    if (!data)
        return;
    const SkinRect& r = data->rect;
    rect_ = RECT{r.left, r.top, r.right, r.bottom};
    auto* parts = owner_ ? dynamic_cast<SkinPartsData*>(owner_->GetSkinData()) : nullptr;
    if (!parts || (parts->GetType() != kSkinFrameWnd && parts->GetType() != kSkinPopupMenu))
        return;
    const SkinRect skin = parts->GetSizeRect();
    const int dx = (window.right - window.left) - skin.Width();
    const int dy = (window.bottom - window.top) - skin.Height();
    AnchorAxis(AnchoredLeft(*data), AnchoredRight(*data), r.left, r.right, dx, &rect_.left, &rect_.right);
    AnchorAxis(AnchoredTop(*data), AnchoredBottom(*data), r.top, r.bottom, dy, &rect_.top, &rect_.bottom);
}

void SkinTextElement::Paint(HDC hdc)
{
    SkinCaptionStaticData* data = Data();
    if (!data || !hdc)
        return;
    HWND owner = OwnerWindow();
    LOGFONTA logFont;
    static_assert(sizeof logFont == sizeof data->font.logFont, "the font holds a LOGFONTA");
    std::memcpy(&logFont, &data->font.logFont, sizeof logFont);
    logFont.lfFaceName[sizeof logFont.lfFaceName - 1] = 0;
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = SelectObject(hdc, font);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const UINT format = TextFormat(*data, owner);

    char text[kMaxTitle + 1] = {};
    bool drawText = true;
    switch (data->textSource) {
    case 1:
        SkinGdiUtil::DrawImageRef(hdc, rect_, data->image, 0, FALSE);
        if (owner)
            GetWindowTextA(owner, text, sizeof text);
        break;
    case 11:
        if (owner) {
            // The window draws the field itself.
            DRAWITEMSTRUCT item = {};
            item.CtlType = ODT_STATIC;
            item.CtlID = data->commandId;
            item.itemID = UINT(-1);
            item.itemAction = ODA_DRAWENTIRE;
            item.itemState = 32;
            item.hwndItem = owner;
            item.hDC = hdc;
            item.rcItem = rect_;
            SendMessageA(owner, WM_DRAWITEM, WPARAM(data->commandId), reinterpret_cast<LPARAM>(&item));
            drawText = false;
        } else {
            lstrcpynA(text, "OD", sizeof text);
        }
        break;
    default:
        SkinGdiUtil::DrawImageRef(hdc, rect_, data->image, 0, FALSE);
        lstrcpynA(text, data->label, sizeof text);
        break;
    }
    if (drawText && text[0]) {
        const SkinTextEffect& effect = data->effect;
        SkinGdiUtil::DrawShadowText(hdc, rect_, effect.shadowOffset, effect.flags,
                                    SkinGdiUtil::UnpackColor24(effect.shadowColor),
                                    SkinGdiUtil::UnpackColor24(effect.textColor), text, lstrlenA(text), format);
    }
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldFont);
    DeleteObject(font);
}

HRGN SkinTextElement::GetRegion() const
{
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (HRGN shape = Shape())
        CombineRgn(copy, shape, nullptr, RGN_COPY);
    return copy;
}

HRGN SkinTextElement::Shape() const
{
    SkinCaptionStaticData* data = Data();
    ShapeSource now = {rect_, nullptr, 0, 0, 0};
    if (data) {
        const SkinResolvedPart& part = data->GetResolvedImage();
        now = ShapeSource{rect_, part.region, part.width, part.height, data->image.drawMode};
    }
    if (shape_ && now == shapeSource_)
        return shape_;
    if (shape_)
        DeleteObject(shape_);
    shape_ = BuildShape();
    shapeSource_ = now;
    return shape_;
}

HRGN SkinTextElement::BuildShape() const
{
    SkinCaptionStaticData* data = Data();
    HRGN placed = nullptr;
    if (data && data->GetResolvedImage().region) {
        const SkinResolvedPart& part = data->GetResolvedImage();
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, static_cast<HRGN>(part.region), nullptr, RGN_COPY);
        const int width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
        switch (data->image.drawMode) {
        case 0:
            OffsetRgn(copy, rect_.left, rect_.top);
            placed = copy;
            copy = nullptr;
            break;
        case 1:
            placed = SkinGdiUtil::TileRegion(copy, part.width, part.height, rect_);
            break;
        default:
            if (part.width > 0 && part.height > 0)
                placed = SkinGdiUtil::TransformRegion(copy, float(width) / float(part.width),
                                                      float(height) / float(part.height), rect_.left, rect_.top);
            break;
        }
        if (copy)
            DeleteObject(copy);
    }
    return placed ? placed : CreateRectRgnIndirect(&rect_);
}

BOOL SkinTextElement::HitTest(int x, int y)
{
    if (!IsShownInState())
        return FALSE;
    HRGN shape = Shape();
    return shape && PtInRegion(shape, x, y);
}

int SkinTextElement::GetHitTestCode() const
{
    SkinCaptionStaticData* data = Data();
    if (!data)
        return 0;
    switch (SizingRole(*data)) {
    case 1:
    case 10: return HTCAPTION;
    case 2: return HTLEFT;
    case 3: return HTTOPLEFT;
    case 4: return HTTOP;
    case 5: return HTTOPRIGHT;
    case 6: return HTRIGHT;
    case 7: return HTBOTTOMRIGHT;
    case 8: return HTBOTTOM;
    case 9: return HTBOTTOMLEFT;
    default: return 0;
    }
}

void SkinTextElement::CombineIntoRegion(HRGN region)
{
    SkinCaptionStaticData* data = Data();
    if (!data || !region)
        return;
    int mode;
    switch (RegionMode(*data)) {
    case 0: mode = RGN_AND; break;
    case 1: mode = RGN_DIFF; break;
    case 2: mode = RGN_OR; break;
    case 3: mode = RGN_XOR; break;
    case 4: {
        // The element's own shape replaces whatever the frame had there.
        HRGN box = CreateRectRgnIndirect(&rect_);
        CombineRgn(region, region, box, RGN_DIFF);
        DeleteObject(box);
        mode = RGN_OR;
        break;
    }
    default: return;
    }
    if (HRGN shape = Shape())
        CombineRgn(region, region, shape, mode);
}
