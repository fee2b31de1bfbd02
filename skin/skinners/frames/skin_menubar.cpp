#include "skin/skinners/frames/skin_menubar.h"

#include <algorithm>
#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/frames/skin_frame.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/frames/skin_menubar_geometry.h"
#include "skin/skinners/drawing/skin_monitor.h"

namespace {

const UINT kHoverMs = 100;

RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
SkinRect ToSkinRect(const RECT& r) { return MakeSkinRect(r.left, r.top, r.right, r.bottom); }

SkinMenuBarData* BarData(SkinItem* item) { return dynamic_cast<SkinMenuBarData*>(item->GetSkinData()); }

// The timer id is the bar itself.
void CALLBACK HoverTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    reinterpret_cast<SkinMenuBar*>(id)->OnHoverTimer();
}

// The four text styles of the bar data: three records, then one more
// after the hot image.
const SkinRect& TextRecord(const SkinMenuBarData& data, int which)
{
    return which < 3 ? data.rects[which] : data.rect4;
}

}  // namespace

// ---------------------------------------------------------------------------
// SkinMenuBarItem

SkinMenuBarItem::SkinMenuBarItem(SkinWindowObject* owner, HMENU menu, int position_)
    : SkinElement(SkinRect(), owner, nullptr), position(position_), ownerMenu(menu)
{
    const char* read = SkinGdiUtil::GetMenuItemText(menu, UINT(position_), TRUE);
    text = read ? read : "";
    accel = GetAccelChar(text.c_str());
    submenu = GetSubMenu(menu, position_);
    commandId = GetMenuItemID(menu, position_);
}

SkinMenuBarItem::~SkinMenuBarItem() { ClosePopup(); }

BOOL SkinMenuBarItem::IsEnabled() const
{
    const UINT state_ = GetMenuState(ownerMenu, UINT(position), MF_BYPOSITION);
    return state_ != UINT(-1) && !(state_ & (MF_GRAYED | MF_DISABLED));
}

HWND SkinMenuBarItem::GetPopupWindow() const { return popup_ ? popup_->GetWindow() : nullptr; }

bool SkinMenuBarItem::IsPopupClosed() const { return !popup_ || popup_->IsClosed(); }

void SkinMenuBarItem::OpenPopup()
{
    HWND frame = owner_->GetWindow();
    if (!submenu || !frame)
        return;
    SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu), position);
    RECT onScreen = rect_;
    const POINT origin = owner_->WindowToScreen(POINT{0, 0});
    OffsetRect(&onScreen, origin.x, origin.y);
    RECT work;
    GetMonitorRectOfRect(onScreen, &work, TRUE);

    popup_.reset(CreatePopupMenuWindow(frame, 0));
    if (!popup_ || !popup_->Create()) {
        // No skinned popup menu: the system's menu shows the submenu (its
        // own loop runs until it closes).
        popup_.reset();
        state = 2;
        systemFallback_ = true;
        TrackPopupMenuEx(submenu, TPM_LEFTALIGN | TPM_TOPALIGN, onScreen.left, onScreen.bottom, frame, nullptr);
        systemFallback_ = false;
        state = 0;
        return;
    }
    popup_->AttachMenu(submenu);
    // The popup window is rebound when another skin comes (its own window).
    if (SkinDataObject* object = SkinManager::PinnedSkin()->FindObjectByType(kSkinPopupMenu))
        popup_->BindSkin(object);
    const SIZE size = popup_->GetMenuSize();
    const SkinRect placed = PlaceMenuBarPopup(ToSkinRect(onScreen), size.cx, size.cy, ToSkinRect(work));
    MoveWindow(popup_->GetWindow(), placed.left, placed.top, placed.Width(), placed.Height(), TRUE);
    ShowWindow(popup_->GetWindow(), SW_SHOW);
    state = 2;
}

void SkinMenuBarItem::ClosePopup()
{
    if (popup_) {
        std::unique_ptr<SkinPopupMenuWindow> popup(std::move(popup_));
        if (HWND w = popup->GetWindow())
            ShowWindow(w, SW_HIDE);
        popup->Close();
    }
    state = 0;
}

// ---------------------------------------------------------------------------
// SkinMenuBar

SkinMenuBar::SkinMenuBar(SkinFrame* frame) : SkinElement(SkinRect(), frame, nullptr), frame_(frame) {}

SkinMenuBar::~SkinMenuBar()
{
    StopTimer();
    items_.clear();
    if (font_)
        DeleteObject(font_);
}

HWND SkinMenuBar::FrameWindow() const { return frame_->GetWindow(); }

BOOL SkinMenuBar::SetMenu(HMENU menu)
{
    hover_ = open_ = nullptr;
    StopTimer();
    items_.clear();
    menu_ = menu;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        const char* text = SkinGdiUtil::GetMenuItemText(menu, UINT(i), TRUE);
        if (!text || !*text)
            continue;  // separators and items without text
        items_.emplace_back(new SkinMenuBarItem(frame_, menu, i));
        items_.back()->SetSkinData(GetSkinData());
    }
    return TRUE;
}

void SkinMenuBar::ForgetMenu()
{
    ClosePopup();
    hover_ = nullptr;
    StopTimer();
    items_.clear();
    menu_ = nullptr;
}

void SkinMenuBar::BindSkinData(SkinMenuBarData* data)
{
    SetSkinData(data);
    for (auto& item : items_)
        item->SetSkinData(data);
    if (font_) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    static const int kImages[4][3] = {{9, 10, 11}, {0, 1, 2}, {3, 4, 5}, {6, 7, 8}};
    for (int b = 0; b < 4; ++b)
        for (int s = 0; s < 3; ++s)
            buttons_[b].images[s] = data ? &data->itemImages[kImages[b][s]] : nullptr;
}

HFONT SkinMenuBar::GetFont()
{
    if (!font_) {
        LOGFONTA logFont = {};
        if (SkinMenuBarData* data = BarData(this)) {
            static_assert(sizeof logFont == sizeof data->font.logFont, "menu font holds a LOGFONTA");
            std::memcpy(&logFont, &data->font.logFont, sizeof logFont);
            logFont.lfFaceName[sizeof logFont.lfFaceName - 1] = 0;
        } else {
            logFont.lfHeight = -12;
            logFont.lfWeight = FW_NORMAL;
            lstrcpyA(logFont.lfFaceName, "Arial");
        }
        font_ = CreateFontIndirectA(&logFont);
    }
    return font_;
}

COLORREF SkinMenuBar::TextColor(int which) const
{
    auto* data = dynamic_cast<SkinMenuBarData*>(GetSkinData());
    if (!data)
        return which == 1 ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_MENUTEXT);
    SkinTextEffect effect;
    static_assert(sizeof effect == sizeof(SkinRect), "the bar's text styles are 16-byte records");
    std::memcpy(&effect, &TextRecord(*data, which), sizeof effect);
    return SkinGdiUtil::UnpackColor24(effect.textColor);
}

std::vector<SIZE> SkinMenuBar::ItemSizes()
{
    std::vector<SIZE> sizes;
    if (items_.empty())
        return sizes;
    HWND window = FrameWindow();
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, GetFont());
    int padX = 0, padY = 0;
    if (SkinMenuBarData* data = BarData(this)) {
        padX = std::max(data->image1.marginLeft, data->image2.marginLeft) +
               std::max(data->image1.marginRight, data->image2.marginRight);
        padY = std::max(data->image1.marginTop, data->image2.marginTop) +
               std::max(data->image1.marginBottom, data->image2.marginBottom);
    }
    for (auto& item : items_) {
        SIZE extent = {};
        GetTextExtentPoint32A(dc, item->text.c_str(), int(item->text.size()), &extent);
        sizes.push_back(SIZE{extent.cx + padX, extent.cy + padY});
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return sizes;
}

namespace {

std::vector<MenuBarItemSize> ToGeometry(const std::vector<SIZE>& sizes)
{
    std::vector<MenuBarItemSize> out;
    for (const SIZE& s : sizes)
        out.push_back(MenuBarItemSize{s.cx, s.cy});
    return out;
}

SkinRect BackgroundMargins(SkinItem* bar)
{
    if (SkinMenuBarData* data = BarData(bar))
        return MakeSkinRect(data->image3.marginLeft, data->image3.marginTop, data->image3.marginRight,
                            data->image3.marginBottom);
    return SkinRect();
}

}  // namespace

int SkinMenuBar::GetHeight(int width)
{
    if (items_.empty())
        return 0;
    return MenuBarHeight(width, ToGeometry(ItemSizes()), IsMdiChildMaximized() != 0, BackgroundMargins(this));
}

RECT SkinMenuBar::GetBarRect()
{
    RECT r;
    r.left = frame_->GetPart(kPartMiddleLeft).right;
    r.right = frame_->GetPart(kPartMiddleRight).left;
    r.top = frame_->GetPart(kPartMiddleTop).bottom;
    r.bottom = r.top + GetHeight(r.right - r.left);
    if (frame_->SizeChanged() && FrameWindow())
        SetWindowPos(FrameWindow(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    return r;
}

void SkinMenuBar::Layout(const RECT&)
{
    rect_ = GetBarRect();
    if (items_.empty())
        return;
    const MenuBarLayoutResult laid =
        LayoutMenuBar(ToSkinRect(rect_), ToGeometry(ItemSizes()), IsMdiChildMaximized() != 0, BackgroundMargins(this));
    for (size_t i = 0; i < items_.size(); ++i)
        items_[i]->SetRect(ToRect(laid.items[i]));
    for (int b = 0; b < 4; ++b)
        buttons_[b].rect = ToRect(laid.buttons[b]);
}

void SkinMenuBar::Paint(HDC hdc)
{
    Layout(RECT{});
    if (IsRectEmpty(&rect_))
        return;
    SkinMenuBarData* data = BarData(this);
    if (data)
        SkinGdiUtil::DrawLayoutImage(hdc, rect_, data->image3, data->backColor, TRUE);
    else
        SkinGdiUtil::FillSolidRect(hdc, rect_, GetSysColor(COLOR_MENU));
    for (auto& item : items_)
        DrawItem(hdc, *item);
    if (IsMdiChildMaximized())
        for (const SkinMdiButton& button : buttons_)
            DrawButton(hdc, button);
}

void SkinMenuBar::DrawItem(HDC hdc, SkinMenuBarItem& item)
{
    SkinMenuBarData* data = BarData(this);
    RECT textRect = item.GetRect();
    COLORREF color = TextColor(0);
    if (!item.IsEnabled()) {
        color = TextColor(1);
    } else if (item.state == 1 || item.state == 2) {
        const bool hot = item.state == 1;
        if (data) {
            const SkinLayoutImage& image = hot ? data->image1 : data->image2;
            SkinGdiUtil::DrawLayoutImage(hdc, item.GetRect(), image, hot ? data->color1 : data->color2, TRUE);
            textRect.left += image.marginLeft;
            textRect.top += image.marginTop;
            textRect.right -= image.marginRight;
            textRect.bottom -= image.marginBottom;
        } else {
            SkinGdiUtil::FillSolidRect(hdc, item.GetRect(), GetSysColor(COLOR_HIGHLIGHT));
        }
        color = TextColor(hot ? 2 : 3);
    }
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, color);
    HGDIOBJ oldFont = SelectObject(hdc, GetFont());
    DrawTextA(hdc, item.text.c_str(), int(item.text.size()), &textRect, DT_SINGLELINE | DT_VCENTER);
    SelectObject(hdc, oldFont);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
}

void SkinMenuBar::DrawButton(HDC hdc, const SkinMdiButton& button)
{
    static const SkinImageRef kEmpty = {};
    const SkinImageRef* normal = button.images[0] ? button.images[0] : &kEmpty;
    const SkinImageRef* chosen = button.images[button.state] ? button.images[button.state] : normal;
    if (SkinGdiUtil::IsImageRefEmpty(*chosen))
        chosen = normal;
    SkinGdiUtil::DrawImageRef(hdc, button.rect, *chosen, GetSysColor(COLOR_BTNFACE), TRUE);
}

void SkinMenuBar::Redraw()
{
    HWND window = FrameWindow();
    if (!window)
        return;
    Layout(RECT{});
    if (IsRectEmpty(&rect_))
        return;
    HDC windowDC = GetWindowDC(window);
    if (!windowDC)
        return;
    {
        SkinMemDC memory(windowDC, std::max(1L, rect_.right), std::max(1L, rect_.bottom));
        Paint(memory);
        BitBlt(windowDC, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory,
               rect_.left, rect_.top, SRCCOPY);
    }
    ReleaseDC(window, windowDC);
}

void SkinMenuBar::ClosePopup()
{
    if (!open_)
        return;
    SkinMenuBarItem* item = open_;
    open_ = nullptr;
    item->ClosePopup();
}

BOOL SkinMenuBar::IsMdiChildMaximized()
{
    BOOL maximized = FALSE;
    HWND child = frame_->GetActiveMdiChild(&maximized);
    if (!child || !maximized)
        return FALSE;
    return (SendMessageA(child, kSkinMsgAttachStyle, 0, 0) & WS_SYSMENU) != 0;
}

BOOL SkinMenuBar::HitTest(int x, int y)
{
    const POINT p = {x, y};
    return PtInRect(&rect_, p);
}

SkinMenuBarItem* SkinMenuBar::EnabledItemAt(int x, int y)
{
    const POINT p = {x, y};
    for (auto& item : items_)
        if (PtInRect(&item->GetRect(), p) && item->IsEnabled())
            return item.get();
    return nullptr;
}

int SkinMenuBar::ButtonAt(int x, int y)
{
    const POINT p = {x, y};
    for (int b = 0; b < 4; ++b)
        if (PtInRect(&buttons_[b].rect, p))
            return b;
    return -1;
}

void SkinMenuBar::StartTimer()
{
    if (HWND window = FrameWindow()) {
        SetTimer(window, reinterpret_cast<UINT_PTR>(this), kHoverMs, &HoverTimerProc);
        timerWindow_ = window;
    }
}

void SkinMenuBar::StopTimer()
{
    // The window it was set on, even when the frame has let go of it: a
    // timer left running would call a bar that is gone.
    if (timerWindow_ && IsWindow(timerWindow_))
        KillTimer(timerWindow_, reinterpret_cast<UINT_PTR>(this));
    timerWindow_ = nullptr;
}

void SkinMenuBar::OnLButtonDown(int x, int y)
{
    if (SkinMenuBarItem* item = EnabledItemAt(x, y)) {
        if (item == open_) {
            ClosePopup();
            item->state = 1;
            Redraw();
            hover_ = item;
            StartTimer();
            return;
        }
        if (open_) {
            ClosePopup();
        } else {
            SendMessageA(FrameWindow(), WM_INITMENU, reinterpret_cast<WPARAM>(menu_), 0);
        }
        if (hover_ && hover_ != item)
            hover_->state = 0;
        if (item->submenu) {
            hover_ = nullptr;
            StopTimer();
            OpenItem(item);
        } else {
            item->state = 0;
            open_ = hover_ = nullptr;
            StopTimer();
            Redraw();
            PostMessageA(FrameWindow(), WM_COMMAND, item->commandId, 0);
        }
        return;
    }
    if (open_) {
        ClosePopup();
        Redraw();
    }
    if (hover_) {
        hover_->state = 0;
        hover_ = nullptr;
    }
    StopTimer();
    if (IsMdiChildMaximized()) {
        const int button = ButtonAt(x, y);
        if (button == kMdiIcon) {
            frame_->MdiCommand(kMdiIcon);
        } else if (button > kMdiIcon) {
            buttons_[button].state = 2;
            Redraw();
        }
    }
}

void SkinMenuBar::OpenItem(SkinMenuBarItem* item)
{
    item->state = 2;
    Redraw();
    open_ = item;
    item->OpenPopup();
    if (open_ == item && !item->GetPopupWindow()) {
        // The system's menu ran and has closed again.
        open_ = nullptr;
        Redraw();
    }
}

void SkinMenuBar::OnLButtonUp(int x, int y)
{
    if (!IsMdiChildMaximized())
        return;
    const int button = ButtonAt(x, y);
    if (button > kMdiIcon) {
        buttons_[button].state = 1;
        frame_->MdiCommand(button);
    }
    Redraw();
}

void SkinMenuBar::OnMouseMove(int x, int y)
{
    SkinMenuBarItem* item = EnabledItemAt(x, y);
    if (item && item != open_) {
        if (open_) {
            SkinMenuBarItem* old = open_;
            if (item->submenu) {
                // Moving along the bar switches menus without a click.
                open_ = nullptr;
                old->ClosePopup();
                OpenItem(item);
            } else {
                open_ = nullptr;
                old->ClosePopup();
                item->state = 1;
                hover_ = item;
                StartTimer();
                Redraw();
            }
            return;
        }
        if (hover_ == item && item->state == 1)
            return;
        if (hover_)
            hover_->state = 0;
        else
            StartTimer();
        item->state = 1;
        for (SkinMdiButton& button : buttons_)
            button.state = 0;
        hover_ = item;
        Redraw();
        return;
    }
    if (item || open_)
        return;
    bool changed = false;
    if (hover_) {
        hover_->state = 0;
        hover_ = nullptr;
        StopTimer();
        changed = true;
    }
    if (IsMdiChildMaximized()) {
        const int under = ButtonAt(x, y);
        for (int b = 0; b < 4; ++b) {
            const int state = b == under ? 1 : 0;
            if (buttons_[b].state != state) {
                buttons_[b].state = state;
                changed = true;
            }
        }
        if (under >= 0)
            StartTimer();
    }
    if (changed)
        Redraw();
}

void SkinMenuBar::OnHoverTimer()
{
    HWND window = FrameWindow();
    if (!window)
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    const POINT p = frame_->ScreenToWindow(cursor);
    if (PtInRect(&rect_, p))
        return;
    for (SkinMdiButton& button : buttons_)
        button.state = 0;
    if (hover_) {
        hover_->state = 0;
        hover_ = nullptr;
    }
    StopTimer();
    Redraw();
}

void SkinMenuBar::OpenItem(SkinMenuBarItem& item)
{
    const RECT& r = item.GetRect();
    OnLButtonDown(r.left + 1, r.top + 1);
}

LRESULT SkinMenuBar::OnMenuKey(WPARAM key)
{
    Layout(RECT{});
    if (key == WPARAM(-1)) {
        // Alt alone: a press outside every item closes an open popup.
        OnLButtonDown(0, 0);
        return 1;
    }
    if (key == VK_LEFT || key == VK_RIGHT) {
        int open = -1;
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == open_)
                open = int(i);
        const int next = MenuBarNeighbour(open, int(items_.size()), key == VK_RIGHT);
        if (next >= 0)
            OpenItem(*items_[next]);
        return 1;
    }
    for (auto& item : items_)
        if (item->accel && WPARAM(static_cast<unsigned char>(item->accel)) == key) {
            OpenItem(*item);
            return 1;
        }
    return 0;
}
