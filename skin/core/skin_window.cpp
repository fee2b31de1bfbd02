#include "skin/core/skin_window.h"

#include <windowsx.h>

#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_proc_chain.h"
#include "skin/core/skin_window_geometry.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

SkinPartsData* PartsOf(SkinDataObject* object) { return dynamic_cast<SkinPartsData*>(object); }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SkinWindowObject::SkinWindowObject()
{
    std::memset(parts_, 0, sizeof parts_);
    SetRectEmpty(&lastSize_);
}

SkinWindowObject::~SkinWindowObject()
{
    // A window still tied to this object must not reach it any more.
    if (window_ && previousProc_ && IsWindow(window_) &&
        GetPropA(window_, kObjectProperty) == static_cast<HANDLE>(this))
        DetachForDestroy();
    elements_.clear();
    children_.clear();
}

// ---------------------------------------------------------------------------
// Virtual operations

void SkinWindowObject::Paint(HDC hdc)
{
    DrawFrame(hdc, FALSE);
    DrawBackground(hdc, FALSE);
}

SkinDataObject* SkinWindowObject::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SetSkinData(object);
    const SkinManager::PinnedSkin skin;
    if (auto* app = dynamic_cast<SkinFileInfo*>(skin->FindObjectByType(kSkinApplication))) {
        keyColor_ = app->keyColor;
        transparent_ = app->useTransparentColor != 0;
    } else {
        keyColor_ = 0xFF00FF;
        transparent_ = FALSE;
    }
    elements_.clear();
    ++elementsBuilt_;
    if (!object)
        return previous;

    drawCaptionText_ = true;
    for (const auto& entry : object->Children()) {
        SkinDataObject* child = entry.second.get();
        const uint32_t type = child->GetType();
        if (type != kSkinCaptionButton && type != kSkinArea && type != kSkinCaptionStatic)
            continue;
        if (auto* text = dynamic_cast<SkinCaptionStaticData*>(child))
            if (text->textSource == 1)
                drawCaptionText_ = false;  // the element shows the window's title
        if (SkinElement* element = CreateSkinElement(type, child->rect, this, child))
            elements_.emplace_back(element);
    }
    SetRectEmpty(&lastSize_);
    SkinChildren(window_, object);
    if (SkinPartsData* parts = PartsOf(object))
        for (int i = 0; i < 9; ++i)
            parts_[i] = ToRect(parts->GetPartRect(i));
    else
        std::memset(parts_, 0, sizeof parts_);
    return previous;
}

HMENU SkinWindowObject::GetMenu() { return ::GetMenu(window_); }

BOOL SkinWindowObject::SetMenu(HMENU menu) { return ::SetMenu(window_, menu); }

LRESULT SkinWindowObject::OnNcDestroy()
{
    destroyed_ = true;
    HWND window = window_;
    WNDPROC previous = previousProc_;
    // The manager detaches and deletes this object; one that is not in the
    // manager's map (made and attached by its owner) only lets go.
    if (!SkinManager::Instance().RemoveSkin(window, TRUE))
        DetachForDestroy();
    if (!previous)
        return DefWindowProcA(window, WM_NCDESTROY, 0, 0);
    return CallWindowProcA(previous, window, WM_NCDESTROY, 0, 0);
}

void SkinWindowObject::GetWindowRect(RECT* out) { ::GetWindowRect(window_, out); }

void SkinWindowObject::DrawBackground(HDC hdc, BOOL active)
{
    RECT client;
    GetClientRect(window_, &client);
    SkinPartsData* parts = PartsOf(GetSkinData());
    if (!parts)
        return;
    int index = active ? kPartClient : 9 + kPartClient;
    if (!parts->GetResolvedPart(index).bitmap)
        index = kPartClient;
    const SkinResolvedPart* part = &parts->GetResolvedPart(index);
    const SkinImageRef& ref = parts->GetPartImage(index);
    if (!part->bitmap || !part->bitmap->IsValid()) {
        SkinGdiUtil::FillSolidRect(hdc, client, parts->thirdColor);
        return;
    }
    CSkinImage* image = part->bitmap.get();
    switch (ref.drawMode) {
    case 0: {
        // Stretched, with the key colour left out (a view of the part that
        // carries the transparency, so the part itself stays as it is).
        CSkinImage keyed;
        keyed.Ghost(image);
        SkinGdiUtil::MakeKeyTransparent(keyed, keyColor_);
        keyed.Stretch(hdc, client.left, client.top, Width(client), Height(client));
        break;
    }
    case 1:
        image->Tile(hdc, &client);
        break;
    default:
        image->StretchOpaque(hdc, client.left, client.top, Width(client), Height(client));
        break;
    }
}

void SkinWindowObject::DrawPart(HDC hdc, int i, BOOL active)
{
    SkinPartsData* parts = PartsOf(GetSkinData());
    if (!parts)
        return;
    const SkinImageRef& activeRef = parts->GetPartImage(i);
    const SkinImageRef& inactiveRef = parts->GetPartImage(9 + i);
    if (active)
        SkinGdiUtil::DrawImageRef(hdc, parts_[i], activeRef, parts->activeColor, TRUE);
    else
        SkinGdiUtil::DrawImageRef(hdc, parts_[i], ::IsImageRefEmpty(inactiveRef) ? activeRef : inactiveRef,
                                  parts->inactiveColor, TRUE);
}

void SkinWindowObject::DrawFrame(HDC hdc, BOOL active)
{
    if (!IsIconic(window_)) {
        DrawPart(hdc, kPartMiddleLeft, active);
        DrawPart(hdc, kPartMiddleRight, active);
    }
    for (int i : {kPartTopLeft, kPartMiddleTop, kPartTopRight, kPartBottomLeft, kPartBottomMiddle,
                  kPartBottomRight})
        DrawPart(hdc, i, active);
    DrawCaption(hdc, active);
    AfterFrame(hdc);
}

void SkinWindowObject::Detach()
{
    UnskinChildren(window_);
    // Child skinners of windows that are no longer children go as well.
    while (!children_.empty()) {
        HWND child = children_.begin()->first;
        children_.erase(children_.begin());
        SkinManager::Instance().RemoveSkin(child, FALSE);
    }
    if (!previousProc_)
        return;
    if (!destroyed_ && hasRegion_) {
        SetWindowRgn(window_, nullptr, FALSE);  // the system frees the region it held
        hasRegion_ = false;
    }
    LeaveProcedureChain();
    if (!destroyed_)
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    previousProc_ = nullptr;
    window_ = nullptr;
}

void SkinWindowObject::LeaveProcedureChain()
{
    RemovePropA(window_, kObjectProperty);
    ProcChain().Leave(window_);
}

void SkinWindowObject::DetachForDestroy()
{
    if (window_ && previousProc_)
        LeaveProcedureChain();
    hasRegion_ = false;  // the window's region dies with it
    previousProc_ = nullptr;
    window_ = nullptr;
}

BOOL SkinWindowObject::Attach(HWND window)
{
    if (!window || !IsWindow(window))
        return FALSE;
    // A second skinner would save the first one's procedure as its own
    // successor and call itself on the window's next message.
    const HANDLE holder = GetPropA(window, kObjectProperty);
    if (holder && holder != static_cast<HANDLE>(this))
        return FALSE;
    window_ = window;
    SkinChildren(window, GetSkinData());
    SetPropA(window, kObjectProperty, static_cast<HANDLE>(this));
    // Our procedure may still lie in the chain as a pass-through, under a
    // subclass made while the window was skinned before: it takes the
    // object again where it is, so no message runs through us twice.
    previousProc_ = ProcChain().Enter(window);
    if (!previousProc_) {
        // Nothing may keep pointing at an object the caller will delete.
        RemovePropA(window, kObjectProperty);
        UnskinChildren(window);
        window_ = nullptr;
        return FALSE;
    }
    UpdateCaptionButtons();
    if (GetSkinData())
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

void SkinWindowObject::UpdateCaptionButtons()
{
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    for (const auto& element : elements_) {
        auto* button = dynamic_cast<SkinCaptionButtonData*>(element->GetSkinData());
        if (!button || button->GetType() != kSkinCaptionButton)
            continue;
        switch (button->action) {
        case 1:
        case 5: element->SetEnabled((style & WS_SYSMENU) != 0); break;
        case 3: element->SetEnabled((style & WS_MAXIMIZEBOX) != 0); break;
        case 4: element->SetEnabled((style & WS_MINIMIZEBOX) != 0); break;
        default: break;
        }
    }
}

LRESULT SkinWindowObject::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    return CallWindowProcA(previousProc_, window_, message, wParam, lParam);
}

LRESULT SkinWindowObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_SHOWWINDOW:
        OnShowWindow(BOOL(wParam), lParam);
        return CallPrevious(message, wParam, lParam);
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_CTLCOLOREDIT: {
        SkinWindowObject* child = SkinManager::Instance().FindSkinObject(reinterpret_cast<HWND>(lParam));
        if (child && child->GetSkinType() == kSkinEdit)
            return child->OnCtlColorEdit(reinterpret_cast<HDC>(wParam));
        return CallPrevious(message, wParam, lParam);
    }
    case WM_CTLCOLORLISTBOX: {
        HWND control = reinterpret_cast<HWND>(lParam);
        auto* child = static_cast<SkinWindowObject*>(GetPropA(control, kObjectProperty));
        if (child && control != window_ && child == SkinManager::Instance().FindSkinObject(control) &&
            child->GetSkinType() == kSkinListBox)
            return SendMessageA(control, message, wParam, lParam);
        return CallPrevious(message, wParam, lParam);
    }
    case kSkinMsgChildDying:
        RemoveChild(reinterpret_cast<HWND>(wParam));
        return 0;
    case kSkinMsgMenuKey:
        return OnMenuKey(wParam, lParam);
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

LRESULT SkinWindowObject::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SkinWindowObject::WindowProc(message, wParam, lParam);
}

LRESULT SkinWindowObject::WithStyle(LONG style, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = window_;
    const LONG old = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, style);
    const LRESULT result = DefaultProcessing(message, wParam, lParam);
    if (IsWindow(window))
        SetWindowLongA(window, GWL_STYLE, old);
    return result;
}

LRESULT SkinWindowObject::WithUpdateLocked(UINT message, WPARAM wParam, LPARAM lParam)
{
    const BOOL locked = LockWindowUpdate(window_);
    const LRESULT result = DefaultProcessing(message, wParam, lParam);
    if (locked)
        LockWindowUpdate(nullptr);
    return result;
}

bool SkinWindowObject::StillSkinnedBy(HWND window, const SkinWindowObject* object)
{
    return window && IsWindow(window) && GetPropA(window, kObjectProperty) == object;
}

HRGN SkinWindowObject::BuildRegion()
{
    if (!transparent_)
        return nullptr;
    SkinPartsData* parts = PartsOf(GetSkinData());
    const RECT bounds = GetWindowBounds();
    if (IsIconic(window_) && parts && !IsLayoutImageEmpty(parts->activeIconic))
        return CreateRectRgnIndirect(&bounds);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int i = 0; i < 9; ++i) {
        HRGN part = RegionFromPart(i);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    for (const auto& element : elements_)
        if (element->GetSkinType() == kSkinCaptionStatic) {
            element->Layout(bounds);
            element->CombineIntoRegion(region);
        }
    return region;
}

// ---------------------------------------------------------------------------
// The procedure and the child skinners

LRESULT CALLBACK SkinWindowObject::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* object = static_cast<SkinWindowObject*>(GetPropA(window, kObjectProperty));
    if (!object)
        return ProcChain().PassOn(window, message, wParam, lParam);
    // Here, not in WindowProc: no skinner can keep it from the manager.
    if (message == kSkinMsgReskin)
        return SkinManager::Instance().OnReskinMessage(window, object, wParam);
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
        ProcChain().Forget(window);
    return result;
}

const SkinProcChain& SkinWindowObject::ProcChain()
{
    static const SkinProcChain chain(&StaticWindowProc, kPassThroughProperty);
    return chain;
}

LRESULT CALLBACK SkinWindowObject::OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* object = static_cast<SkinWindowObject*>(create ? create->lpCreateParams : nullptr);
        if (object) {
            SetPropA(window, kOwnObjectProperty, object);
            object->window_ = window;
            SkinManager::Instance().AddOwnWindow(window);
        }
    }
    auto* object = static_cast<SkinWindowObject*>(GetPropA(window, kOwnObjectProperty));
    if (message == WM_NCDESTROY)
        SkinManager::Instance().RemoveOwnWindow(window);
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == kSkinMsgReskin) {
        object->OnSkinReplaced();
        return kSkinReskinDone;
    }
    return object->WindowProc(message, wParam, lParam);
}

void SkinWindowObject::OnSkinReplaced()
{
    SkinManager::Pin pin;
    BindSkinData(SkinManager::Instance().FindCurrentObject(GetSkinObjectName(), GetSkinType()));
}

void SkinWindowObject::SkinChildren(HWND window, SkinDataObject* object)
{
    if (!window)
        return;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        CreateChildSkinner(child, object);
}

uint32_t SkinWindowObject::GetSkinKind(HWND child)
{
    char name[100] = {};
    if (!GetClassNameA(child, name, sizeof name))
        return 0;
    HWND parent = GetParent(child);
    const uint32_t parentStyle = parent ? uint32_t(GetWindowLongA(parent, GWL_STYLE)) : 0;
    return SkinKindOfWindow(name, uint32_t(GetWindowLongA(child, GWL_STYLE)), parentStyle);
}

SkinWindowObject* SkinWindowObject::CreateSkinner(uint32_t type, SkinWindowObject* parent)
{
    return SkinManager::CreateSkinner(type, parent);
}

int SkinWindowObject::CreateChildSkinner(HWND child, SkinDataObject* object)
{
    SkinChildren(child, object);
    const uint32_t kind = GetSkinKind(child);
    if (!kind)
        return 0;
    SkinManager& manager = SkinManager::Instance();
    const SkinManager::PinnedSkin skin;
    const int32_t id = int32_t(GetDlgCtrlID(child));
    SkinDataObject* childObject = nullptr;
    if (kind == kSkinLinkWnd) {
        childObject = object ? object->FindChild(kSkinStatic, id) : nullptr;
        if (!childObject)
            childObject = skin->FindObjectByType(kSkinStatic);
    } else {
        childObject = object ? object->FindChild(kind, id) : nullptr;
        if (!childObject)
            childObject = skin->FindObjectByType(kind);
    }

    auto it = children_.find(child);
    if (it != children_.end() && manager.FindSkinObject(child) != it->second) {
        // Its skinner went with a window that is gone (the handle may be in
        // use again): forget the entry without touching it.
        children_.erase(it);
        it = children_.end();
    }
    if (childObject) {
        if (it == children_.end()) {
            SkinWindowObject* skinner = CreateSkinner(kind, this);
            if (skinner) {
                if (manager.AddSkinner(skinner, child)) {
                    skinner->BindSkinData(childObject);
                    children_[child] = skinner;
                    if (!skinner->Attach(child)) {
                        // Refused (or failed): the control keeps its system
                        // look and no entry waits for a window it never got.
                        children_.erase(child);
                        manager.RemoveSkin(child, FALSE);
                    }
                } else {
                    delete skinner;
                }
            }
        } else if (it->second->GetWindow() == child) {
            it->second->BindSkinData(childObject);
        } else {
            children_.erase(it);
        }
    } else if (it != children_.end()) {
        children_.erase(it);
        manager.RemoveSkin(child, FALSE);
    }
    return 1;
}

void SkinWindowObject::UnskinChildren(HWND window)
{
    if (!window)
        return;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        UnskinChildren(child);
        SkinManager::Instance().RemoveSkin(child, FALSE);
        children_.erase(child);
    }
}

int SkinWindowObject::RemoveChild(HWND child) { return children_.erase(child) ? 1 : 0; }

// ---------------------------------------------------------------------------
// Geometry and drawing helpers

RECT SkinWindowObject::GetWindowBounds()
{
    RECT r = {};
    ::GetWindowRect(window_, &r);
    OffsetRect(&r, -r.left, -r.top);
    return r;
}

void SkinWindowObject::LayoutParts(SIZE size)
{
    SkinPartsData* parts = PartsOf(GetSkinData());
    if (!parts)
        return;
    SkinRect skin[9], fitted[9];
    for (int i = 0; i < 9; ++i)
        skin[i] = parts->GetPartRect(i);
    FitFrameParts(skin, size.cx, size.cy, fitted);
    for (int i = 0; i < 9; ++i)
        parts_[i] = ToRect(fitted[i]);
}

BOOL SkinWindowObject::IsSizable()
{
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    if ((style & WS_DLGFRAME) && (style & DS_MODALFRAME))
        return FALSE;
    return (style & WS_THICKFRAME) != 0;
}

BOOL SkinWindowObject::IsActive()
{
    WINDOWINFO info = {};
    info.cbSize = sizeof info;
    if (!window_ || !GetWindowInfo(window_, &info))
        return FALSE;
    return info.dwWindowStatus == WS_ACTIVECAPTION;
}

void SkinWindowObject::FitFrameToClient()
{
    SkinPartsData* parts = PartsOf(GetSkinData());
    if (!parts || !window_)
        return;
    RECT client, insets;
    GetClientRect(window_, &client);
    GetInsets(&insets);
    const int width = Width(client) + parts->GetPartRect(kPartMiddleLeft).Width() +
                      parts->GetPartRect(kPartMiddleRight).Width() + Width(insets);
    const int height = Height(client) + parts->GetPartRect(kPartTopLeft).Height() +
                       parts->GetPartRect(kPartBottomLeft).Height() + Height(insets);
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinWindowObject::DrawElements(HDC hdc)
{
    const RECT bounds = GetWindowBounds();
    for (const auto& element : elements_) {
        element->Layout(bounds);
        if (element->IsShownInState())
            element->Paint(hdc);
    }
}

int SkinWindowObject::MouseToElements(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    HWND window = window_;
    const unsigned built = elementsBuilt_;
    int hit = 0;
    for (size_t i = 0; i < elements_.size(); ++i) {
        SkinElement* element = elements_[i].get();
        if (element->GetSkinType() != kSkinCaptionStatic && element->HitTest(x, y))
            hit = 1;
        element->DispatchMouse(message, x, y);
        // An element's action may run a message loop of its own (the system
        // menu) in which the window is destroyed, unskinned or given a new
        // skin: the elements, or this object, are gone then.
        if (!StillSkinnedBy(window, this) || elementsBuilt_ != built)
            return 1;
    }
    return hit;
}

HRGN SkinWindowObject::RegionFromPart(int i)
{
    const RECT& rect = parts_[i];
    SkinPartsData* parts = PartsOf(GetSkinData());
    HRGN placed = nullptr;
    if (parts && parts->GetResolvedPart(i).region) {
        const SkinResolvedPart& part = parts->GetResolvedPart(i);
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, static_cast<HRGN>(part.region), nullptr, RGN_COPY);
        switch (parts->GetPartImage(i).drawMode) {
        case 0:
            OffsetRgn(copy, rect.left, rect.top);
            placed = copy;
            copy = nullptr;
            break;
        case 1:
            placed = SkinGdiUtil::TileRegion(copy, part.width, part.height, rect);
            break;
        default:
            if (part.width > 0 && part.height > 0)
                placed = SkinGdiUtil::TransformRegion(copy, float(Width(rect)) / float(part.width),
                                                      float(Height(rect)) / float(part.height), rect.left,
                                                      rect.top);
            break;
        }
        if (copy)
            DeleteObject(copy);
    }
    return placed ? placed : CreateRectRgnIndirect(&rect);
}

BOOL SkinWindowObject::SizeChanged()
{
    const RECT r = GetWindowBounds();
    return Width(r) != Width(lastSize_) || Height(r) != Height(lastSize_);
}

SIZE SkinWindowObject::GetMinimumSize()
{
    SkinPartsData* parts = PartsOf(GetSkinData());
    if (!parts)
        return SIZE{10, 10};
    SkinRect skin[9];
    for (int i = 0; i < 9; ++i)
        skin[i] = parts->GetPartRect(i);
    int32_t w, h;
    MinimumFrameSize(skin, &w, &h);
    return SIZE{w, h};
}

HWND SkinWindowObject::GetTopLevelWindow()
{
    HWND w = window_;
    for (HWND parent = w ? GetParent(w) : nullptr; parent; parent = GetParent(parent))
        w = parent;
    return w;
}

void SkinWindowObject::RedrawNcRect(const RECT& rect)
{
    // WM_NCPAINT takes its region in screen coordinates.
    RECT window;
    ::GetWindowRect(window_, &window);
    RECT onScreen = rect;
    OffsetRect(&onScreen, window.left, window.top);
    HRGN region = CreateRectRgnIndirect(&onScreen);
    SendMessageA(window_, WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    DeleteObject(region);
}

RECT SkinWindowObject::GetCaptionRect()
{
    SkinRect laid[9];
    for (int i = 0; i < 9; ++i)
        laid[i] = MakeSkinRect(parts_[i].left, parts_[i].top, parts_[i].right, parts_[i].bottom);
    RECT insets;
    GetInsets(&insets);
    return ToRect(FrameCaptionRect(laid, Height(insets)));
}

void SkinWindowObject::PaintChildBackground(HDC hdc, HWND child, HDC memoryDC)
{
    RECT r;
    ::GetWindowRect(child, &r);
    SkinGdiUtil::ScreenToClientRect(window_, &r);
    BitBlt(hdc, 0, 0, Width(r), Height(r), memoryDC, r.left, r.top, SRCCOPY);
}

LRESULT SkinWindowObject::OnCtlColorStatic(HDC hdc, HWND control)
{
    SkinWindowObject* child = SkinManager::Instance().FindSkinObject(control);
    if (child && child->GetSkinType() == kSkinStatic)
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    if (child && child->GetSkinType() == kSkinEdit)
        return child->OnCtlColorStatic(hdc);
    return CallPrevious(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control));
}

void SkinWindowObject::SetPopupPlacement(const int32_t record[5])
{
    std::memcpy(popupPlacement_, record, sizeof popupPlacement_);
}

int SkinWindowObject::NcHitTestElements(POINT point)
{
    for (const auto& element : elements_) {
        if (!element->HitTest(point.x, point.y))
            continue;
        if (element->GetSkinType() == kSkinCaptionStatic)
            return element->GetHitTestCode();
        if (element->GetSkinType() == kSkinCaptionButton)
            return HTCAPTION;
    }
    return 0;
}

namespace {

template <typename Record, typename IsEmpty>
const Record& Choose(const Record& first, const Record& second, const Record* third, IsEmpty empty)
{
    if (!empty(first))
        return first;
    if (!empty(second))
        return second;
    if (third && !empty(*third))
        return *third;
    return second;
}

}  // namespace

const SkinImageRef& SkinWindowObject::ChooseImage(const SkinImageRef& first, const SkinImageRef& second,
                                                  const SkinImageRef* third)
{
    return Choose(first, second, third, [](const SkinImageRef& r) { return ::IsImageRefEmpty(r); });
}

const SkinLayoutImage& SkinWindowObject::ChooseImage(const SkinLayoutImage& first,
                                                     const SkinLayoutImage& second,
                                                     const SkinLayoutImage* third)
{
    return Choose(first, second, third, [](const SkinLayoutImage& r) { return IsLayoutImageEmpty(r); });
}

HWND SkinWindowObject::GetBackgroundOwner()
{
    HWND parent = GetParent(window_);
    if (!parent)
        return nullptr;
    RECT mine;
    ::GetWindowRect(window_, &mine);
    for (HWND sibling = ::GetWindow(parent, GW_CHILD); sibling; sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == window_)
            continue;
        char name[100] = {};
        if (!GetClassNameA(sibling, name, sizeof name) || lstrcmpiA(name, "SysTabControl32") != 0)
            continue;
        RECT tab, both;
        ::GetWindowRect(sibling, &tab);
        if (IntersectRect(&both, &tab, &mine) && EqualRect(&both, &mine))
            return sibling;
    }
    return parent;
}

BOOL SkinWindowObject::GetElementState(const char* name, int* out)
{
    if (!name)
        return FALSE;
    for (const auto& element : elements_) {
        if (element->GetSkinType() != kSkinCaptionButton)
            continue;
        const char* objectName = element->GetSkinObjectName();
        if (objectName && lstrcmpiA(objectName, name) == 0) {
            if (out)
                *out = element->GetState();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL SkinWindowObject::DrawIconic(const SkinLayoutImage& active, const SkinLayoutImage& inactive)
{
    if (!IsIconic(window_) || IsLayoutImageEmpty(active))
        return FALSE;
    const RECT bounds = GetWindowBounds();
    HDC windowDC = GetWindowDC(window_);
    if (!windowDC)
        return FALSE;
    {
        SkinMemDC memory(windowDC, Width(bounds), Height(bounds));
        const BOOL isActive = IsActive();
        const SkinLayoutImage& chosen = isActive || IsLayoutImageEmpty(inactive) ? active : inactive;
        SkinGdiUtil::DrawLayoutImage(memory, bounds, chosen, GetSysColor(COLOR_BTNFACE), TRUE);
        DrawCaption(memory, isActive);
        DrawElements(memory);
        BitBlt(windowDC, 0, 0, Width(bounds), Height(bounds), memory, 0, 0, SRCCOPY);
    }
    ReleaseDC(window_, windowDC);
    return TRUE;
}

BOOL SkinWindowObject::IsRtlReading() { return (GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0; }

POINT SkinWindowObject::ScreenToWindow(POINT point)
{
    RECT r;
    ::GetWindowRect(window_, &r);
    return POINT{point.x - r.left, point.y - r.top};
}

POINT SkinWindowObject::WindowToScreen(POINT point)
{
    RECT r;
    ::GetWindowRect(window_, &r);
    return POINT{point.x + r.left, point.y + r.top};
}

void SkinWindowObject::ApplyWindowRegion(HRGN region, BOOL redraw)
{
    if (!window_)
        return;
    SetWindowRgn(window_, region, redraw);
    hasRegion_ = region != nullptr;
}
