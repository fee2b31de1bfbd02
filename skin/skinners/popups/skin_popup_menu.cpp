#include "skin/skinners/popups/skin_popup_menu.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_proc_chain.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/popups/skin_menu_model.h"
#include "skin/skinners/popups/skin_popup_menu_frame.h"
#include "skin/skinners/popups/skin_popup_menu_geometry.h"

namespace {

const UINT_PTR kSubmenuTimer = 1001;     // 500 ms after an item became hot
const char* const kOwnerProcProperty = "SKIN_WNDPROC";
// Top-level popups up for the owner now (our subclass stays as a
// pass-through while another subclass lies over it).
const char* const kOwnerMenusProperty = "SKIN_MENUS";
const WPARAM kMenuClosed = 0xFFFF0000;   // WM_MENUSELECT: the menu ends

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

SkinRect ToSkinRect(const RECT& r) { return MakeSkinRect(r.left, r.top, r.right, r.bottom); }

bool IsSeparator(UINT state) { return (state & MF_SEPARATOR) && !(state & MF_POPUP); }
bool IsDisabled(UINT state) { return (state & (MF_GRAYED | MF_DISABLED)) != 0; }

// Re-entry guard of the frame painting (process-wide).
bool g_inNcPaint = false;

// The work area of the monitor that holds a window.
RECT WorkAreaOf(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return SkinGdiUtil::WorkAreaAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

int OwnerMenus(HWND window) { return int(reinterpret_cast<INT_PTR>(GetPropA(window, kOwnerMenusProperty))); }

LRESULT CALLBACK OwnerSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The owner's subclass in its window's chain; it stays there, passing
// messages on, while a later subclass lies over it.
const SkinProcChain& OwnerProcChain()
{
    static const SkinProcChain chain(&OwnerSubclassProc, kOwnerProcProperty);
    return chain;
}

LRESULT CALLBACK OwnerSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The owner's caption stays active while its menu is up.
    if (message == WM_NCACTIVATE && !wParam && OwnerMenus(window) > 0)
        return 1;
    if (message == WM_NCDESTROY)
        RemovePropA(window, kOwnerMenusProperty);
    return OwnerProcChain().PassOn(window, message, wParam, lParam);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and the interface of TrackPopupMenu

SkinPopupMenu::SkinPopupMenu(HWND owner, SkinPopupMenu* parent, int mode)
    : owner_(owner), parent_(parent), mode_(mode), defaults_(new SkinMenuData())
{
    // The defaults stand in until (and whenever) no skin object is bound.
    SetSkinData(defaults_.get());
}

SkinDataObject* SkinPopupMenu::BindSkinData(SkinDataObject* object)
{
    return SkinWindowObject::BindSkinData(object ? object : defaults_.get());
}

void SkinPopupMenu::OnSkinReplaced()
{
    SkinWindowObject::OnSkinReplaced();
    itemHeight_ = 0;
    if (!window_ || !IsWindowVisible(window_))
        return;
    if (!scrolling_) {
        const SIZE size = GetMenuSize();
        visible_ = GetItemCount();
        SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

SkinPopupMenu::~SkinPopupMenu()
{
    if (child_) {
        child_->alive_ = false;
        child_->Close();
        delete child_;
        child_ = nullptr;
    }
    if (window_ && IsWindow(window_)) {
        alive_ = false;
        SubclassOwner(false);
        RemovePropA(window_, kOwnObjectProperty);
        DestroyWindow(window_);
        SkinLibUnregisterOwnClassAfterEnd(kPopupMenuClass);
    }
}

BOOL SkinPopupMenu::Create()
{
    HWND parent = parent_ ? parent_->window_ : owner_;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupMenuClass, "", WS_POPUPWINDOW, 0, 0, 100,
                                  100, parent, nullptr, SkinLibGetInstance(), static_cast<SkinWindowObject*>(this));
    return window != nullptr;
}

void SkinPopupMenu::AttachMenu(HMENU menu)
{
    owned_.reset(new SkinMenuModel());
    owned_->Fill(menu);
    AttachModel(owned_.get(), menu);
}

void SkinPopupMenu::AttachModel(SkinMenuModel* model, HMENU menu)
{
    model_ = model;
    menu_ = menu;
    first_ = 0;
    scrolling_ = false;
    margin_ = 0;
    visible_ = GetItemCount();
    SetRectEmpty(&scrollUp_);
    SetRectEmpty(&scrollDown_);
    itemHeight_ = 0;
}

int SkinPopupMenu::GetItemCount() const { return model_ ? model_->Count() : 0; }

SkinMenuItem* SkinPopupMenu::Item(int i) const
{
    if (!model_ || i < 0 || i >= model_->Count())
        return nullptr;
    return model_->Items()[size_t(i)].get();
}

SkinMenuData* SkinPopupMenu::Data()
{
    auto* bound = dynamic_cast<SkinMenuData*>(GetSkinData());
    return bound ? bound : defaults_.get();
}

HFONT SkinPopupMenu::MakeItemFont()
{
    LOGFONTA font;
    static_assert(sizeof font == sizeof(SkinLogFont), "LOGFONTA layout");
    std::memcpy(&font, &Data()->captionFont.logFont, sizeof font);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    return CreateFontIndirectA(&font);
}

int SkinPopupMenu::GetItemHeight()
{
    if (itemHeight_ > 0)
        return itemHeight_;
    HDC dc = GetDC(window_);
    HFONT font = MakeItemFont();
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text = {};
    GetTextExtentPoint32A(dc, "TEST", 4, &text);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window_, dc);
    int icon = 0;
    int cx = 0, cy = 0;
    if (images_.normal && ImageList_GetIconSize(images_.normal, &cx, &cy))
        icon = std::max(cx, cy);
    const SkinLayoutImage& active = Data()->activeImage;
    itemHeight_ = std::max<int>(text.cy, icon) + active.marginTop + active.marginBottom + 2;
    return itemHeight_;
}

SIZE SkinPopupMenu::GetMenuSize()
{
    SkinMenuData* data = Data();
    const int itemHeight = GetItemHeight();
    HDC dc = GetDC(window_);
    HFONT font = MakeItemFont();
    HGDIOBJ old = SelectObject(dc, font);
    int widest = 0;
    SIZE spaces = {};
    GetTextExtentPoint32A(dc, "    ", 4, &spaces);
    for (int i = 0; i < GetItemCount(); ++i) {
        const std::string& text = Item(i)->text;
        const size_t tab = text.find('\t');
        auto measure = [&](const std::string& part) {
            RECT r = {0, 0, 0, 0};
            if (!part.empty())
                DrawTextA(dc, part.c_str(), int(part.size()), &r, DT_SINGLELINE | DT_CALCRECT);
            return Width(r);
        };
        int width = tab == std::string::npos
                        ? measure(text)
                        : measure(text.substr(0, tab)) + measure(text.substr(tab + 1)) + spaces.cx;
        widest = std::max(widest, width);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window_, dc);
    const SkinLayoutImage& active = data->activeImage;
    SIZE size;
    size.cx = widest + data->GetPartRect(kPartMiddleLeft).Width() + data->GetPartRect(kPartMiddleRight).Width() +
              active.marginLeft + active.marginRight + 2 * itemHeight + 1;
    size.cy = itemHeight * GetItemCount() + data->GetPartRect(kPartTopLeft).Height() +
              data->GetPartRect(kPartBottomLeft).Height();
    return size;
}

void SkinPopupMenu::Close()
{
    alive_ = false;
    CloseChild();
    if (window_ && IsWindow(window_)) {
        if (!parent_ && IsWindowVisible(window_))
            ShowWindow(window_, SW_HIDE);
        DestroyWindow(window_);
        SkinLibUnregisterOwnClassAfterEnd(kPopupMenuClass);
    }
    owned_.reset();
    model_ = nullptr;
}

void SkinPopupMenu::CloseChild()
{
    if (!child_)
        return;
    SkinPopupMenu* child = child_;
    child_ = nullptr;
    child->alive_ = false;
    child->Close();
    delete child;
}

SkinPopupMenu* SkinPopupMenu::GetRootPopup()
{
    SkinPopupMenu* p = this;
    while (p->parent_)
        p = p->parent_;
    return p;
}

SkinPopupMenu* SkinPopupMenu::FromWindow(HWND window)
{
    if (!window)
        return nullptr;
    return dynamic_cast<SkinPopupMenu*>(static_cast<SkinWindowObject*>(GetPropA(window, kOwnObjectProperty)));
}

// ---------------------------------------------------------------------------
// Geometry

RECT SkinPopupMenu::GetItemRect(int i)
{
    RECT client;
    GetClientRect(window_, &client);
    const int h = GetItemHeight();
    const int top = margin_ + (i - first_) * h;
    return RECT{client.left, top, client.right, top + h};
}

int SkinPopupMenu::HitTest(POINT client)
{
    RECT r;
    GetClientRect(window_, &r);
    if (client.x < r.left || client.x >= r.right)
        return -1;
    const int item = PopupItemAt(client.y, Height(r), GetItemHeight(), margin_, first_, GetItemCount());
    if (item >= 0 && scrolling_ && item >= first_ + visible_)
        return -1;
    return item;
}

void SkinPopupMenu::EnsureVisible(int i)
{
    if (!scrolling_ || i < 0)
        return;
    if (i < first_)
        first_ = i;
    else if (i >= first_ + visible_)
        first_ = std::max(i - visible_ + 1, 0);
}

// ---------------------------------------------------------------------------
// Painting

void SkinPopupMenu::Paint(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    SkinMemDC memory(hdc, std::max(Width(client), 1), std::max(Height(client), 1));
    // The client part of the frame, or the third colour.
    DrawBackground(memory, TRUE);
    const int last = std::min(GetItemCount(), first_ + (scrolling_ ? visible_ : GetItemCount()));
    for (int i = first_; i < last; ++i)
        PaintItem(memory, i);
    if (scrolling_) {
        const POINT c1 = {(scrollUp_.left + scrollUp_.right) / 2, (scrollUp_.top + scrollUp_.bottom) / 2};
        const POINT up[3] = {{c1.x - 4, c1.y + 2}, {c1.x + 4, c1.y + 2}, {c1.x, c1.y - 2}};
        SkinGdiUtil::DrawTriangle(memory, up, RGB(0, 0, 0));
        const POINT c2 = {(scrollDown_.left + scrollDown_.right) / 2, (scrollDown_.top + scrollDown_.bottom) / 2};
        const POINT down[3] = {{c2.x - 4, c2.y - 2}, {c2.x + 4, c2.y - 2}, {c2.x, c2.y + 2}};
        SkinGdiUtil::DrawTriangle(memory, down, RGB(0, 0, 0));
    }
    BitBlt(hdc, 0, 0, Width(client), Height(client), memory, 0, 0, SRCCOPY);
}

void SkinPopupMenu::DrawKeyedImage(HDC hdc, const RECT& rect, const SkinImageRef& image)
{
    const int w = Width(rect), h = Height(rect);
    if (w <= 0 || h <= 0)
        return;
    SkinMemDC square(hdc, w, h);
    const RECT all = {0, 0, w, h};
    SkinGdiUtil::FillSolidRect(square, all, keyColor_);
    SkinGdiUtil::DrawImageRef(square, all, image, keyColor_, TRUE);
    HBITMAP bitmap = square.DetachBitmap();
    SkinGdiUtil::TransparentBlitBitmap(hdc, rect.left, rect.top, w, h, bitmap, 0, 0, keyColor_);
    DeleteObject(bitmap);
}

void SkinPopupMenu::PaintItem(HDC hdc, int i)
{
    SkinMenuItem* item = Item(i);
    if (!item)
        return;
    SkinMenuData* data = Data();
    const RECT r = GetItemRect(i);
    const SkinLayoutImage& active = data->activeImage;
    const UINT state = item->state;
    if (IsSeparator(state)) {
        if (IsLayoutImageEmpty(data->separatorImage)) {
            RECT line = {r.left, (r.top + r.bottom) / 2, r.right, r.bottom};
            DrawEdge(hdc, &line, EDGE_ETCHED, BF_TOP);
        } else {
            const int band = std::min(data->separatorImage.source.Height(), Height(r));
            const int top = r.top + (Height(r) - band) / 2;
            const RECT strip = {r.left, top, r.right, top + band};
            SkinGdiUtil::DrawLayoutImageKeyed(hdc, strip, data->separatorImage, keyColor_);
        }
        return;
    }
    const int h = Height(r);
    const bool hot = i == hot_;
    const bool disabled = IsDisabled(state);
    if (hot) {
        if (IsLayoutImageEmpty(active))
            SkinGdiUtil::FillSolidRect(hdc, r, data->itemActiveColor);
        else
            SkinGdiUtil::DrawLayoutImageKeyed(hdc, r, active, keyColor_);
    }

    // The text colour: bytes 4 to 6 of the first, second (disabled) or
    // third (hot) record.
    const SkinRect& record = data->rects[disabled ? 1 : hot ? 2 : 0];
    uint8_t packed[16];
    std::memcpy(packed, &record, sizeof packed);
    const COLORREF color = SkinGdiUtil::UnpackColor24(packed + 4);
    RECT text = {r.left + active.marginLeft + h + 1, r.top + active.marginTop, r.right - active.marginRight - h,
                 r.bottom - active.marginBottom};
    HFONT font = MakeItemFont();
    HGDIOBJ oldFont = SelectObject(hdc, font);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, color);
    const std::string& label = item->text;
    const size_t tab = label.find('\t');
    if (tab == std::string::npos) {
        DrawTextA(hdc, label.c_str(), int(label.size()), &text, DT_SINGLELINE | DT_VCENTER);
    } else {
        DrawTextA(hdc, label.c_str(), int(tab), &text, DT_SINGLELINE | DT_VCENTER);
        DrawTextA(hdc, label.c_str() + tab + 1, int(label.size() - tab - 1), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldFont);
    DeleteObject(font);

    // The icon column: the check mark, or the item's image-list icon.
    const RECT icon = {r.left + active.marginLeft, r.top, r.left + active.marginLeft + h, r.bottom};
    if (state & MF_CHECKED) {
        if (::IsImageRefEmpty(data->checkImage)) {
            const POINT c = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
            const RECT box = {c.x - 3, c.y - 3, c.x + 3, c.y + 3};
            SkinGdiUtil::FillSolidRect(hdc, box, RGB(0, 0, 0));
        } else {
            DrawKeyedImage(hdc, icon, data->checkImage);
        }
    } else if (images_.normal) {
        for (const auto& entry : images_.table)
            if (entry.first == item->commandId) {
                HIMAGELIST list = images_.normal;
                if (hot && images_.hot)
                    list = images_.hot;
                else if (disabled && images_.disabled)
                    list = images_.disabled;
                ImageList_DrawEx(list, entry.second, hdc, icon.left, icon.top, h, h, CLR_NONE, CLR_NONE,
                                 ILD_TRANSPARENT);
                break;
            }
    }
    // The submenu mark at the right end.
    if (item->submenu) {
        const int right = r.right - active.marginRight;
        if (::IsImageRefEmpty(data->subMenuImage)) {
            const int tip = right - 4, cy = (r.top + r.bottom) / 2;
            const POINT arrow[3] = {{tip - 4, cy - 4}, {tip, cy}, {tip - 4, cy + 4}};
            SkinGdiUtil::DrawTriangle(hdc, arrow, RGB(0, 0, 0));
        } else {
            const RECT mark = {right - h, r.top, right, r.bottom};
            DrawKeyedImage(hdc, mark, data->subMenuImage);
        }
    }
}

void SkinPopupMenu::RepaintItems()
{
    if (window_) {
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }
}

LRESULT SkinPopupMenu::OnNcCalcSize(LPARAM lParam)
{
    NarrowPopupToFrameClient(*this, reinterpret_cast<RECT*>(lParam), *Data());
    return 0;
}

void SkinPopupMenu::OnNcPaint()
{
    if (g_inNcPaint)
        return;
    g_inNcPaint = true;
    PaintPopupFrame(*this, GetActiveWindow() == window_);
    g_inNcPaint = false;
}

// ---------------------------------------------------------------------------
// Showing, the owner's caption

HWND SkinPopupMenu::OwnerTopLevel() const
{
    HWND w = owner_;
    while (w && (GetWindowLongA(w, GWL_STYLE) & WS_CHILD))
        w = GetParent(w);
    return w;
}

void SkinPopupMenu::SubclassOwner(bool on)
{
    HWND top = OwnerTopLevel();
    if (!top || !IsWindow(top) || on == subclassed_)
        return;
    int menus = OwnerMenus(top);
    if (on) {
        // One subclass for all the popups of an owner, which count
        // themselves; a subclass entered anew starts the count anew.
        if (!GetPropA(top, kOwnerProcProperty))
            menus = 0;
        if (!OwnerProcChain().Enter(top))
            return;
        SetPropA(top, kOwnerMenusProperty, reinterpret_cast<HANDLE>(INT_PTR(menus + 1)));
        subclassed_ = true;
        return;
    }
    subclassed_ = false;
    menus = menus > 0 ? menus - 1 : 0;
    SetPropA(top, kOwnerMenusProperty, reinterpret_cast<HANDLE>(INT_PTR(menus)));
    // The last popup gone takes the subclass out when it lies on top; under
    // another subclass it stays and only passes messages on.
    if (menus == 0) {
        OwnerProcChain().Leave(top);
        if (!GetPropA(top, kOwnerProcProperty))
            RemovePropA(top, kOwnerMenusProperty);
    }
}

void SkinPopupMenu::OnShowWindow(BOOL shown, LPARAM)
{
    if (!parent_)
        SubclassOwner(shown != FALSE);
    if (shown) {
        itemHeight_ = 0;
        const int h = GetItemHeight();
        RECT client;
        GetClientRect(window_, &client);
        const PopupScrollLayout layout = LayoutPopupItems(Height(client), h, GetItemCount());
        scrolling_ = layout.scrolling;
        visible_ = layout.visible;
        margin_ = layout.margin;
        if (scrolling_) {
            scrollUp_ = RECT{client.left, client.top, client.right, client.top + margin_};
            scrollDown_ = RECT{client.left, client.bottom - margin_, client.right, client.bottom};
        } else {
            first_ = 0;
            SetRectEmpty(&scrollUp_);
            SetRectEmpty(&scrollDown_);
        }
        hot_ = -1;
    }
    if (!parent_) {
        if (shown)
            SetCapture(window_);
        else if (GetCapture() == window_)
            ReleaseCapture();
    }
}

// ---------------------------------------------------------------------------
// Notifications

void SkinPopupMenu::MenuSelect(WPARAM wParam, LPARAM lParam)
{
    SendMessageA(owner_, WM_MENUSELECT, wParam, lParam);
}

void SkinPopupMenu::PostCommand(UINT id)
{
    if (mode_ == 1)
        PostMessageA(owner_, WM_SYSCOMMAND, id, 0);
    else if (mode_ == 3)
        chosen_ = id;
    else
        PostMessageA(owner_, WM_COMMAND, id, 0);
}

void SkinPopupMenu::EndWithCommand(UINT id)
{
    alive_ = false;  // losing activation now says nothing more
    ShowWindow(window_, SW_HIDE);
    PostMessageA(owner_, kSkinMsgMenuEnded, 0, 0);
    closed_ = true;
    PostCommand(id);
}

void SkinPopupMenu::ChooseItem(int i)
{
    SkinMenuItem* item = Item(i);
    if (!item || IsSeparator(item->state) || !item->IsEnabled())
        return;
    if (item->submenu) {
        // Enter on a submenu item opens it, as Right does.
        hot_ = i;
        OpenSubmenu(false);
        return;
    }
    MenuSelect(kMenuClosed, 0);
    PostMessageA(parent_ ? parent_->window_ : window_, kSkinMsgMenuItemChosen, item->commandId, 0);
}

void SkinPopupMenu::SetHot(int i, bool byMouse)
{
    if (i == hot_)
        return;
    KillTimer(window_, kSubmenuTimer);
    if (child_) {
        CloseChild();
        SetForegroundWindow(window_);
    }
    hot_ = i;
    EnsureVisible(i);
    RepaintItems();
    if (SkinMenuItem* item = Item(i)) {
        const UINT id = item->submenu ? UINT(i) : item->commandId;
        MenuSelect(MAKEWPARAM(id, MF_HILITE | (byMouse ? MF_MOUSESELECT : 0) | (item->submenu ? MF_POPUP : 0)),
                   reinterpret_cast<LPARAM>(menu_));
        if (byMouse)
            SetTimer(window_, kSubmenuTimer, 500, nullptr);
    }
}

// ---------------------------------------------------------------------------
// Submenus

void SkinPopupMenu::OnSubmenuTimer()
{
    KillTimer(window_, kSubmenuTimer);
    OpenSubmenu(true);
}

void SkinPopupMenu::OpenSubmenu(bool adjust)
{
    SkinMenuItem* item = Item(hot_);
    if (!item || !item->submenu || !item->IsEnabled() || child_)
        return;
    auto* child = new SkinPopupMenu(owner_, this, mode_);
    child->images_ = images_;
    if (!child->Create()) {
        delete child;
        return;
    }
    child->AttachModel(item->submenu.get(), GetSubMenu(item->owner, item->position));
    child->BindSkinData(GetSkinData());
    const SIZE size = child->GetMenuSize();
    RECT r = GetItemRect(hot_);
    POINT topLeft = {r.left, r.top}, bottomRight = {r.right, r.bottom};
    ClientToScreen(window_, &topLeft);
    ClientToScreen(window_, &bottomRight);
    const SkinRect itemOnScreen = MakeSkinRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    SkinRect placed = MakeSkinRect(itemOnScreen.right, itemOnScreen.top, itemOnScreen.right + size.cx,
                                   itemOnScreen.top + size.cy);
    if (adjust)
        placed = PlaceSubmenu(itemOnScreen, size.cx, size.cy, ToSkinRect(WorkAreaOf(window_)));
    child_ = child;  // before it shows: this popup's deactivation is expected
    MoveWindow(child->window_, placed.left, placed.top, placed.Width(), placed.Height(), TRUE);
    ShowWindow(child->window_, SW_SHOW);
}

// ---------------------------------------------------------------------------
// Mouse

bool SkinPopupMenu::OnMouseMove(POINT screen)
{
    if (child_) {
        RECT c;
        ::GetWindowRect(child_->window_, &c);
        if (PtInRect(&c, screen) && child_->OnMouseMove(screen))
            return true;
    }
    POINT pt = screen;
    ScreenToClient(window_, &pt);
    const int item = HitTest(pt);
    if (item < 0) {
        if (child_)
            return child_->OnMouseMove(screen);
        RECT w;
        ::GetWindowRect(window_, &w);
        if (!PtInRect(&w, screen) && hot_ >= 0) {
            hot_ = -1;
            KillTimer(window_, kSubmenuTimer);
            RepaintItems();
        }
        if (mode_ == 0 && !parent_)
            PostMessageA(owner_, kSkinMsgPopupMouseOutside, 0, MAKELPARAM(screen.x, screen.y));
        return false;
    }
    if (item != hot_)
        SetHot(item, true);
    return true;
}

SkinPopupMenu::ClickResult SkinPopupMenu::OnClick(bool left, POINT screen, UINT* chosen)
{
    if (child_) {
        const ClickResult r = child_->OnClick(left, screen, chosen);
        if (r == kClickChosen) {
            if (parent_)
                return kClickChosen;
            MenuSelect(kMenuClosed, 0);
            CloseChild();
            EndWithCommand(*chosen);
            return kClickChosen;
        }
        if (r == kClickInside)
            return kClickInside;
    }
    POINT pt = screen;
    ScreenToClient(window_, &pt);
    if (!child_ && scrolling_) {
        if (PtInRect(&scrollDown_, pt)) {
            if (first_ + visible_ < GetItemCount())
                ++first_;
            RepaintItems();
            return kClickInside;
        }
        if (PtInRect(&scrollUp_, pt)) {
            if (first_ > 0)
                --first_;
            RepaintItems();
            return kClickInside;
        }
    }
    const int i = HitTest(pt);
    if (SkinMenuItem* item = Item(i)) {
        if (item->submenu || IsSeparator(item->state) || !item->IsEnabled())
            return kClickInside;
        *chosen = item->commandId;
        if (parent_) {
            ShowWindow(window_, SW_HIDE);
            return kClickChosen;
        }
        MenuSelect(kMenuClosed, 0);
        EndWithCommand(item->commandId);
        return kClickChosen;
    }
    RECT w;
    ::GetWindowRect(window_, &w);
    if (PtInRect(&w, screen))
        return kClickInside;
    if (parent_)
        return kClickOutside;
    MenuSelect(kMenuClosed, 0);
    alive_ = false;
    PostMessageA(owner_, kSkinMsgMenuEnded, 0, 0);
    closed_ = true;
    if (mode_ == 0)
        PostMessageA(owner_, left ? kSkinMsgPopupLeftClickOutside : kSkinMsgPopupRightClickOutside, 0,
                     MAKELPARAM(screen.x, screen.y));
    return kClickOutside;
}

// ---------------------------------------------------------------------------
// Keys

void SkinPopupMenu::OnKeyDown(WPARAM key)
{
    switch (key) {
    case VK_RETURN:
        ChooseItem(hot_);
        break;
    case VK_ESCAPE:
    case VK_LEFT:
        MenuSelect(kMenuClosed, 0);
        if (parent_) {
            PostMessageA(parent_->window_, kSkinMsgCloseSubmenu, 0, 0);
        } else if (key == VK_LEFT) {
            PostMessageA(owner_, kSkinMsgMenuKey, VK_LEFT, 0);
        } else {
            alive_ = false;
            ShowWindow(window_, SW_HIDE);
            PostMessageA(owner_, kSkinMsgMenuEnded, 0, 0);
            closed_ = true;
        }
        break;
    case VK_UP:
    case VK_DOWN: {
        std::vector<bool> separators;
        for (int i = 0; i < GetItemCount(); ++i)
            separators.push_back(IsSeparator(Item(i)->state));
        const int next = NextPopupItem(separators, hot_, key == VK_DOWN ? 1 : -1);
        if (next >= 0)
            SetHot(next, false);
        break;
    }
    case VK_RIGHT: {
        SkinMenuItem* item = Item(hot_);
        if (item && item->submenu)
            OpenSubmenu(false);
        else
            PostMessageA(owner_, kSkinMsgMenuKey, VK_RIGHT, 0);
        break;
    }
    default:
        for (int i = 0; i < GetItemCount(); ++i)
            if (Item(i)->accel && UINT(uint8_t(Item(i)->accel)) == UINT(key)) {
                if (Item(i)->IsEnabled()) {
                    hot_ = i;
                    ChooseItem(i);
                }
                break;
            }
        break;
    }
    if (window_ && IsWindow(window_))
        RepaintItems();
}

LRESULT SkinPopupMenu::OnMenuKey(WPARAM key, LPARAM keyData)
{
    if (!(keyData & 0x20000000))
        return 0;
    for (int i = 0; i < GetItemCount(); ++i)
        if (Item(i)->accel && UINT(uint8_t(Item(i)->accel)) == UINT(key)) {
            if (!Item(i)->IsEnabled())
                return 0;
            hot_ = i;
            ChooseItem(i);
            return 1;
        }
    if (mode_ == 2)
        GetRootPopup()->closed_ = true;
    else
        PostMessageA(owner_, kSkinMsgMenuKey, key, keyData);
    return 0;
}

// ---------------------------------------------------------------------------
// The window procedure

LRESULT SkinPopupMenu::OnNcDestroy()
{
    KillTimer(window_, kSubmenuTimer);
    if (!parent_)
        SubclassOwner(false);
    RemovePropA(window_, kOwnObjectProperty);
    return SkinWindowObject::OnNcDestroy();
}

LRESULT SkinPopupMenu::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        Paint(dc);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_NCCALCSIZE:
        return OnNcCalcSize(lParam);
    case WM_NCACTIVATE:
        if (wParam || child_)
            return 1;
        if (alive_)
            PostMessageA(owner_, kSkinMsgMenuEnded, 0, 0);
        closed_ = true;
        return 1;
    case WM_SHOWWINDOW:
        OnShowWindow(BOOL(wParam), lParam);
        return DefWindowProcA(window_, message, wParam, lParam);
    case WM_DRAWITEM:
        return SendMessageA(owner_, message, wParam, lParam);
    case WM_NCDESTROY:
        return OnNcDestroy();
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_CHAR:
        return 0;
    case WM_TIMER:
        if (wParam == kSubmenuTimer)
            OnSubmenuTimer();
        return DefWindowProcA(window_, message, wParam, lParam);
    case WM_MOUSEMOVE: {
        POINT screen = {short(LOWORD(lParam)), short(HIWORD(lParam))};
        ClientToScreen(window_, &screen);
        OnMouseMove(screen);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT screen = {short(LOWORD(lParam)), short(HIWORD(lParam))};
        ClientToScreen(window_, &screen);
        UINT chosen = 0;
        OnClick(message == WM_LBUTTONDOWN, screen, &chosen);
        return 0;
    }
    case kSkinMsgCloseSubmenu:
        if (child_) {
            CloseChild();
            SetForegroundWindow(window_);
            RepaintItems();
        }
        return 0;
    case kSkinMsgMenuItemChosen:
        if (parent_) {
            PostMessageA(parent_->window_, kSkinMsgMenuItemChosen, wParam, 0);
            return 0;
        }
        CloseChild();
        EndWithCommand(UINT(wParam));
        return 0;
    case kSkinMsgMenuKey:
        return OnMenuKey(wParam, lParam);
    default:
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------
// The library part: the window class, the factory, the keyboard hook's view

namespace {

SkinPopupMenuWindow* MakePopup(HWND owner, int mode) { return new SkinPopupMenu(owner, nullptr, mode); }

class PopupService : public SkinPopupMenuService {
public:
    HWND LastOpenSubmenu(HWND popupWindow) override
    {
        SkinPopupMenu* p = SkinPopupMenu::FromWindow(popupWindow);
        if (!p)
            return popupWindow;
        while (p->GetChild())
            p = p->GetChild();
        return p->GetWindow();
    }
} g_service;

BOOL RegisterPopupClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_SAVEBITS | CS_CLASSDC;
    wc.lpfnWndProc = &SkinWindowObject::OwnWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = kPopupMenuClass;
    if (!SkinLibRegisterOwnClass(wc))
        return FALSE;
    SkinLibSetPopupMenuService(&g_service);
    RegisterPopupMenuFactory(&MakePopup);
    return TRUE;
}

void UnregisterPopupClass(HINSTANCE instance)
{
    RegisterPopupMenuFactory(nullptr);
    SkinLibSetPopupMenuService(nullptr);
    UnregisterClassA(kPopupMenuClass, instance);
}

const SkinLibPart kPopupMenuPart = {
    "popup menu window", &RegisterPopupClass, &UnregisterPopupClass, nullptr, nullptr, nullptr, nullptr, nullptr,
};
SkinLibPartRegistrar g_register(&kPopupMenuPart);

}  // namespace
