#include "skin/skinners/frames/skin_frame.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_draw_geometry.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/frames/skin_menubar.h"
#include "skin/skinners/drawing/skin_monitor.h"
#include "skin/skinners/popups/skin_popup_menu_frame.h"

namespace {

SkinWindowObject* MakeFrame() { return new SkinFrame(); }
SkinnerRegistrar g_registrar(SkinTopLevelRole::kFrame, &MakeFrame);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// RDW_INVALIDATE|RDW_INTERNALPAINT|RDW_ERASE|RDW_ALLCHILDREN|RDW_UPDATENOW|
// RDW_ERASENOW|RDW_FRAME: the whole window at once.
const UINT kRedrawAll = 0x687;
const UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

SkinFrameData* FrameData(SkinDataObject* object) { return dynamic_cast<SkinFrameData*>(object); }
SkinPartsData* PartsData(SkinDataObject* object) { return dynamic_cast<SkinPartsData*>(object); }

POINT LParamPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool PlacedMaximized(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    return GetWindowPlacement(window, &placement) && placement.showCmd == SW_SHOWMAXIMIZED;
}

}  // namespace

SkinFrame::SkinFrame() : menuBar_(new SkinMenuBar(this)) {}

SkinFrame::~SkinFrame()
{
    menuBar_.reset();
    clientCache_.reset();
}

// ---------------------------------------------------------------------------
// Attach, detach, binding, menus

BOOL SkinFrame::Attach(HWND window)
{
    if (!window || !IsWindow(window))
        return FALSE;
    attachStyle_ = GetWindowLongA(window, GWL_STYLE);
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) {
        mdiChild_ = true;
        substituteStyle_ = attachStyle_ & ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
        if (!SkinWindowObject::Attach(window))
            return FALSE;
    } else {
        mdiChild_ = false;
        substituteStyle_ = LONG(0x96000000);
        savedMenu_ = ::GetMenu(window);
        menuBar_->SetMenu(savedMenu_);
        ::SetMenu(window, nullptr);
        DrawMenuBar(window);
        if (!SkinWindowObject::Attach(window)) {
            ::SetMenu(window, menuBar_->GetMenuHandle());
            DrawMenuBar(window);
            menuBar_->ForgetMenu();
            savedMenu_ = nullptr;
            return FALSE;
        }
        for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            char name[101] = {};
            GetClassNameA(child, name, 100);
            if (lstrcmpiA(name, "MDIClient") != 0)
                continue;
            SetWindowLongA(child, GWL_STYLE, GetWindowLongA(child, GWL_STYLE) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
            auto* client = new SkinMdiClient(this);
            SkinManager::Instance().ReplaceObject(client, child);
            if (client->Attach(child)) {
                mdiClient_ = client;
                mdiClientWindow_ = child;
                InvalidateRect(child, nullptr, TRUE);
                UpdateWindow(child);
            } else {
                SkinManager::Instance().RemoveSkin(child, FALSE);
            }
            break;
        }
    }
    if (IsSizable()) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
    } else {
        FitFrameToClient();
        SetRectEmpty(&lastSize_);
        RedrawWindow(window, nullptr, nullptr, kRedrawAll);
        InvalidateRect(nullptr, nullptr, TRUE);
    }
    return TRUE;
}

void SkinFrame::Detach()
{
    HWND window = window_;
    if (SkinMdiClient* client = GetMdiClient())
        if (!destroyed_)
            SkinManager::Instance().RemoveSkin(client->GetWindow(), FALSE);
    mdiClient_ = nullptr;
    mdiClientWindow_ = nullptr;
    menuBar_->ClosePopup();
    SkinWindowObject::Detach();
    if (HMENU menu = menuBar_->GetMenuHandle()) {
        menuBar_->ForgetMenu();
        if (window && IsWindow(window) && !destroyed_) {
            ::SetMenu(window, menu);
            DrawMenuBar(window);
        }
    }
}

SkinDataObject* SkinFrame::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinWindowObject::BindSkinData(object);
    SkinFrameData* frame = FrameData(object);
    menuBar_->BindSkinData(frame ? &frame->menuBar : nullptr);
    if (!window_)
        return previous;
    clientCache_.reset();
    if (SkinMdiClient* client = GetMdiClient())
        InvalidateRect(client->GetWindow(), nullptr, TRUE);
    if (!IsIconic(window_)) {
        if (IsSizable()) {
            const SIZE minimum = GetMinimumSize();
            RECT r;
            ::GetWindowRect(window_, &r);
            if (Width(r) < minimum.cx || Height(r) < minimum.cy) {
                if (HWND parent = (GetWindowLongA(window_, GWL_STYLE) & WS_CHILD) ? GetParent(window_) : nullptr)
                    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
                MoveWindow(window_, r.left, r.top, std::max<int>(Width(r), minimum.cx),
                           std::max<int>(Height(r), minimum.cy), TRUE);
                return previous;
            }
        } else {
            FitFrameToClient();
            SetRectEmpty(&lastSize_);
            RedrawWindow(window_, nullptr, nullptr, kRedrawAll);
        }
    }
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, kFrameChanged);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    return previous;
}

HMENU SkinFrame::GetMenu() { return menuBar_->GetMenuHandle(); }

BOOL SkinFrame::SetMenu(HMENU menu)
{
    if (menuBar_->IsPopupOpen() || !menu || !IsMenu(menu))
        return FALSE;
    menuBar_->SetMenu(menu);
    if (window_) {
        ::SetMenu(window_, nullptr);
        RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
    }
    return TRUE;
}

void SkinFrame::AdoptWindowMenu()
{
    if (menuBar_->IsPopupOpen())
        return;
    HMENU menu = ::GetMenu(window_);
    if (menu && IsMenu(menu)) {
        menuBar_->SetMenu(menu);
        ::SetMenu(window_, nullptr);
    }
}

LRESULT SkinFrame::OnMenuKey(WPARAM key, LPARAM keyData)
{
    if (key == VK_LEFT || key == VK_RIGHT) {
        menuBar_->OnMenuKey(key);
        return 1;
    }
    if (key == VK_F10)
        return 1;
    if (keyData & 0x20000000)
        return menuBar_->OnMenuKey(key);
    return 0;
}

SkinMdiClient* SkinFrame::GetMdiClient()
{
    // The client window dies before its frame: its skinner may be gone.
    if (!mdiClient_ || SkinManager::Instance().FindSkinObject(mdiClientWindow_) != mdiClient_ ||
        mdiClient_->GetWindow() != mdiClientWindow_) {
        mdiClient_ = nullptr;
        mdiClientWindow_ = nullptr;
    }
    return mdiClient_;
}

HWND SkinFrame::GetActiveMdiChild(BOOL* maximized)
{
    if (maximized)
        *maximized = FALSE;
    SkinMdiClient* client = GetMdiClient();
    if (!client)
        return nullptr;
    return reinterpret_cast<HWND>(
        SendMessageA(client->GetWindow(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
}

void SkinFrame::MdiCommand(int button)
{
    HWND child = GetActiveMdiChild(nullptr);
    SkinMdiClient* client = GetMdiClient();
    if (!child || !client)
        return;
    switch (button) {
    case SkinMenuBar::kMdiMinimize:
        SendMessageA(child, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case SkinMenuBar::kMdiRestore:
        SendMessageA(client->GetWindow(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        break;
    case SkinMenuBar::kMdiClose:
        SendMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default: {
        // The menu's own message loop may destroy the frame, and the client
        // and its skinner with it.
        HWND clientWindow = client->GetWindow();
        SkinGdiUtil::TrackSystemMenu(child);
        if (IsWindow(clientWindow))
            RedrawWindow(clientWindow, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_NOERASE);
        break;
    }
    }
}

void SkinFrame::GetInsets(RECT* out)
{
    if (!out)
        return;
    // The menu bar band under the caption is the frame's only inset: it
    // adds height. Its width is the bar's own, which is no inset; counted
    // as one it widened every fixed-size frame fitted to its client area.
    const RECT bar = menuBar_->GetBarRect();
    SetRect(out, 0, 0, 0, bar.bottom - bar.top);
}

void SkinFrame::AfterFrame(HDC hdc) { menuBar_->Paint(hdc); }

// ---------------------------------------------------------------------------
// The window procedure

LRESULT SkinFrame::WithoutSysMenu(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WithStyle(GetWindowLongA(window_, GWL_STYLE) & ~WS_SYSMENU, message, wParam, lParam);
}

void SkinFrame::RepaintCaptionBand()
{
    if (window_)
        RedrawNcRect(GetCaptionRect());
}

LRESULT SkinFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    // Default processing may destroy the window and this skinner with it.
    HWND window = window_;
    switch (message) {
    case WM_DESTROY:
        if (mdiChild_) {
            RECT r;
            ::GetWindowRect(window_, &r);
            if (HWND parent = GetParent(window_)) {
                MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
                SendMessageA(parent, kSkinMsgMdiChildLeaving, 0, reinterpret_cast<LPARAM>(&r));
            }
        } else {
            menuBar_->ClosePopup();
            HMENU held = menuBar_->GetMenuHandle();
            ::SetMenu(window_, held ? held : savedMenu_);
            menuBar_->ForgetMenu();
        }
        return DefaultProcessing(message, wParam, lParam);
    case WM_SIZE:
        if (mdiChild_ && ::IsZoomed(window_)) {
            MINMAXINFO info = {};
            GetMinMaxInfo(&info);
            SetWindowPos(window_, nullptr, info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxSize.x,
                         info.ptMaxSize.y, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return DefaultProcessing(message, wParam, lParam);
    case WM_SETTEXT:
    case WM_SETICON: {
        const LRESULT result = mdiChild_ && message == WM_SETTEXT
                                   ? WithStyle(substituteStyle_, message, wParam, lParam)
                                   : WithUpdateLocked(message, wParam, lParam);
        if (StillSkinnedBy(window, this))
            RepaintCaptionBand();
        return result;
    }
    case WM_ERASEBKGND:
        if (EraseClient(reinterpret_cast<HDC>(wParam)))
            return 1;
        return DefaultProcessing(message, wParam, lParam);
    case WM_SETCURSOR:
        return WithoutSysMenu(message, wParam, lParam);
    case WM_NCMOUSEMOVE: {
        const LRESULT result = WithoutSysMenu(message, wParam, lParam);
        if (StillSkinnedBy(window, this))
            OnNcMouseMove(int(wParam), ScreenToWindow(LParamPoint(lParam)));
        return result;
    }
    case WM_GETMINMAXINFO:
        GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
        return 0;
    case WM_WINDOWPOSCHANGED:
        if (mdiChild_) {
            const LRESULT result = WithoutSysMenu(message, wParam, lParam);
            if (IsWindow(window))
                SendMessageA(window, WM_NCPAINT, 1, 0);
            return result;
        }
        return DefaultProcessing(message, wParam, lParam);
    case WM_NCCALCSIZE:
        OnNcCalcSize(reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_NCHITTEST:
        return NcHitTest(ScreenToWindow(LParamPoint(lParam)));
    case WM_NCPAINT:
        OnNcPaint(reinterpret_cast<HRGN>(wParam));
        return 0;
    case WM_NCACTIVATE:
        return OnNcActivate(wParam, lParam);
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(int(wParam), ScreenToWindow(LParamPoint(lParam)));
        return 0;
    case WM_NCLBUTTONUP:
        OnNcLButtonUp(int(wParam), ScreenToWindow(LParamPoint(lParam)));
        return 0;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(int(wParam), ScreenToWindow(LParamPoint(lParam)));
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return DefaultProcessing(message, wParam, lParam);
    case WM_INITMENU:
    case WM_INITMENUPOPUP: {
        const LRESULT result = WithStyle(substituteStyle_, message, wParam, lParam);
        if (IsWindow(window))
            SendMessageA(window, WM_NCPAINT, 1, 0);
        return result;
    }
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kSkinMsgPopupLeftClickOutside:
    case kSkinMsgPopupRightClickOutside:
        ForwardPopupClick(lParam);
        return 0;
    case kSkinMsgPopupMouseOutside:
        ForwardPopupMove(lParam);
        return 0;
    case kSkinMsgMenuEnded:
        // A drop-down left behind by a switch to the next menu says so as
        // it goes; only the end of the one open now closes it.
        if (!menuBar_->GetOpenItem() || menuBar_->GetOpenItem()->IsPopupClosed()) {
            menuBar_->ClosePopup();
            menuBar_->Redraw();
        }
        return DefaultProcessing(message, wParam, lParam);
    case kSkinMsgChildBackground: {
        RECT client;
        GetClientRect(window_, &client);
        if (!clientCache_)
            BuildClientCache(Width(client), Height(client));
        if (clientCache_)
            PaintChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), *clientCache_);
        return 1;
    }
    case kSkinMsgAttachStyle:
        return attachStyle_;
    default:
        return DefaultProcessing(message, wParam, lParam);
    }
}

void SkinFrame::OnNcCalcSize(RECT* r)
{
    SkinPartsData* parts = PartsData(GetSkinData());
    if (!r || !parts)
        return;
    // The bar's lines depend on the width between the side parts.
    const int width = (r->right - parts->GetPartRect(kPartMiddleRight).Width()) -
                      (r->left + parts->GetPartRect(kPartMiddleLeft).Width());
    NarrowToFrameClient(r, *parts, menuBar_->GetHeight(width));
}

void SkinFrame::OnNcPaint(HRGN region)
{
    if (!window_)
        return;
    const BOOL active = IsActive();
    AdoptWindowMenu();
    const RECT bounds = GetWindowBounds();
    LayoutParts(SIZE{Width(bounds), Height(bounds)});
    if (SizeChanged()) {
        ::GetWindowRect(window_, &lastSize_);
        RECT client;
        GetClientRect(window_, &client);
        BuildClientCache(Width(client), Height(client));
        HRGN built = BuildRegion();
        if (built) {
            RECT box;
            if (GetRgnBox(built, &box) == SIMPLEREGION && EqualRect(&box, &bounds)) {
                DeleteObject(built);
                built = nullptr;
            }
        }
        if (built || hasRegion_)
            ApplyWindowRegion(built, TRUE);  // the system frees the old one
        SendMessageA(window_, WM_NCPAINT, 1, 0);
        return;
    }
    if (IsIconic(window_)) {
        if (SkinPartsData* parts = PartsData(GetSkinData()))
            DrawIconic(parts->activeIconic, parts->inactiveIconic);
        return;
    }
    HDC windowDC = GetWindowDC(window_);
    if (!windowDC)
        return;
    {
        SkinMemDC memory(windowDC, std::max(1, Width(bounds)), std::max(1, Height(bounds)));
        const FrameUpdateClip clip(window_, region, windowDC, memory);
        SetBkMode(memory, TRANSPARENT);
        DrawFrame(memory, active);
        DrawElements(memory);
        menuBarRect_ = menuBar_->GetRect();
        CopyFrameStrips(window_, windowDC, memory);
    }
    ReleaseDC(window_, windowDC);
}

void SkinFrame::DrawCaption(HDC hdc, BOOL)
{
    SkinPartsData* parts = PartsData(GetSkinData());
    if (parts && DrawsCaptionText())
        DrawWindowCaptionText(hdc, window_, *parts, parts_[kPartMiddleTop], attachStyle_);
}

void DrawWindowCaptionText(HDC hdc, HWND window, const SkinPartsData& parts, const RECT& middleTop,
                           LONG attachStyle)
{
    if ((attachStyle & WS_CAPTION) != WS_CAPTION)
        return;
    LOGFONTA logFont;
    static_assert(sizeof logFont == sizeof parts.captionFont.logFont, "caption font holds a LOGFONTA");
    std::memcpy(&logFont, &parts.captionFont.logFont, sizeof logFont);
    logFont.lfFaceName[sizeof logFont.lfFaceName - 1] = 0;
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ oldFont = SelectObject(hdc, font);
    const COLORREF oldColor = SetTextColor(hdc, parts.captionFont.color);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    char text[301] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (exStyle & WS_EX_RTLREADING)
        format |= DT_RTLREADING;
    if (exStyle & WS_EX_RIGHT)
        format |= DT_RIGHT;
    RECT r = middleTop;
    DrawTextA(hdc, text, length, &r, format);
    SetBkMode(hdc, oldMode);
    SetTextColor(hdc, oldColor);
    SelectObject(hdc, oldFont);
    DeleteObject(font);
}

void SetFrameTrackLimits(MINMAXINFO* mine, const SkinPartsData* parts)
{
    if (!parts)
        return;
    const SkinRect p0 = parts->GetPartRect(kPartTopLeft), p2 = parts->GetPartRect(kPartTopRight);
    const SkinRect p6 = parts->GetPartRect(kPartBottomLeft), p8 = parts->GetPartRect(kPartBottomRight);
    mine->ptMinTrackSize.x = 2 + std::max(p0.Width() + p2.Width(), p6.Width() + p8.Width());
    mine->ptMinTrackSize.y = 2 + p0.Height() + p6.Height();
}

BOOL EraseFromClientCache(HWND window, HDC hdc, RECT client, const SkinMemDC& cache, bool& eraseOnce)
{
    if (eraseOnce) {
        eraseOnce = false;
        RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_ERASE | RDW_INVALIDATE);
        return TRUE;
    }
    RECT box;
    if (GetClipBox(hdc, &box) != NULLREGION)
        IntersectRect(&client, &client, &box);
    BitBlt(hdc, client.left, client.top, Width(client), Height(client), cache, client.left, client.top, SRCCOPY);
    return TRUE;
}

void MergeTrackLimits(MINMAXINFO* mine, const MINMAXINFO& system)
{
    mine->ptMaxTrackSize.x = std::min(mine->ptMaxTrackSize.x, system.ptMaxTrackSize.x);
    mine->ptMaxTrackSize.y = std::min(mine->ptMaxTrackSize.y, system.ptMaxTrackSize.y);
    mine->ptMinTrackSize.x = std::max(mine->ptMinTrackSize.x, system.ptMinTrackSize.x);
    mine->ptMinTrackSize.y = std::max(mine->ptMinTrackSize.y, system.ptMinTrackSize.y);
}

LRESULT SkinFrame::OnNcActivate(WPARAM wParam, LPARAM lParam)
{
    HWND window = window_;
    LRESULT result;
    if (mdiChild_) {
        result = WithStyle(substituteStyle_, WM_NCACTIVATE, wParam, lParam);
    } else {
        if (menuBar_->IsPopupOpen())
            return 1;  // the frame keeps its active look while its menu shows
        const BOOL locked = LockWindowUpdate(GetDesktopWindow());
        result = DefaultProcessing(WM_NCACTIVATE, wParam, lParam);
        if (locked)
            LockWindowUpdate(nullptr);
    }
    if (IsWindow(window))
        SendMessageA(window, WM_NCPAINT, 1, 0);
    return result;
}

// ---------------------------------------------------------------------------
// Hit test and the non-client mouse

int SkinFrame::NcHitTest(POINT point)
{
    if (PtInRect(&menuBarRect_, point))
        return HTMENU;
    const int element = NcHitTestElements(point);
    if (PlacedMaximized(window_)) {
        if (element == HTCAPTION || PtInRect(&parts_[kPartMiddleTop], point) ||
            PtInRect(&parts_[kPartTopLeft], point) || PtInRect(&parts_[kPartTopRight], point))
            return HTCAPTION;
        if (PtInRect(&parts_[kPartClient], point))
            return HTCLIENT;
        return HTNOWHERE;
    }
    if (element)
        return element;
    SkinRect parts[9];
    for (int i = 0; i < 9; ++i)
        parts[i] = MakeSkinRect(parts_[i].left, parts_[i].top, parts_[i].right, parts_[i].bottom);
    return FrameHitTest(parts, point.x, point.y, IsSizable() != 0);
}

void SkinFrame::SystemNcButton(UINT message, int hit, POINT point)
{
    HWND window = window_;
    const POINT screen = WindowToScreen(point);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    HWND top = mdiChild_ ? GetTopLevelWindow() : nullptr;
    const LONG topStyle = top ? GetWindowLongA(top, GWL_STYLE) : 0;
    SetWindowLongA(window, GWL_STYLE, style & ~WS_SYSMENU);
    if (top && top != window)
        SetWindowLongA(top, GWL_STYLE, topStyle & ~WS_SYSMENU);
    DefaultProcessing(message, WPARAM(hit), MAKELPARAM(screen.x, screen.y));
    if (IsWindow(window))
        SetWindowLongA(window, GWL_STYLE, style);
    if (top && top != window && IsWindow(top))
        SetWindowLongA(top, GWL_STYLE, topStyle);
}

void SkinFrame::OnNcLButtonDown(int hit, POINT point)
{
    if (MouseToElements(WM_LBUTTONDOWN, 0, MAKELPARAM(point.x, point.y)))
        return;
    if (PtInRect(&menuBarRect_, point)) {
        menuBar_->OnLButtonDown(point.x, point.y);
        return;
    }
    if (PlacedMaximized(window_))
        return;
    SystemNcButton(WM_NCLBUTTONDOWN, hit, point);
}

void SkinFrame::OnNcLButtonUp(int hit, POINT point)
{
    if (MouseToElements(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y)))
        return;
    if (!window_)
        return;
    if (PtInRect(&menuBarRect_, point))
        menuBar_->OnLButtonUp(point.x, point.y);
    if (!PlacedMaximized(window_)) {
        SystemNcButton(WM_NCLBUTTONUP, hit, point);
        return;
    }
    // The system saw no press on a maximised caption: a double click is
    // made from two button-ups within the same second.
    SYSTEMTIME now;
    GetSystemTime(&now);
    const int then = lastCaptionClick_.wSecond * 1000 + lastCaptionClick_.wMilliseconds;
    const int at = now.wSecond * 1000 + now.wMilliseconds;
    const bool sameMinute = now.wMinute == lastCaptionClick_.wMinute && now.wHour == lastCaptionClick_.wHour &&
                            now.wDay == lastCaptionClick_.wDay;
    lastCaptionClick_ = now;
    if (sameMinute && at - then >= 0 && at - then < 1000) {
        std::memset(&lastCaptionClick_, 0, sizeof lastCaptionClick_);
        OnNcLButtonDblClk(hit, point);
    }
}

LRESULT SkinFrame::OnNcLButtonDblClk(int hit, POINT point)
{
    // A caption button answers for itself (the system-menu button closes);
    // its HTCAPTION must not maximise the window.
    if (MouseToElements(WM_LBUTTONDBLCLK, 0, MAKELPARAM(point.x, point.y)))
        return 0;
    if (PtInRect(&menuBarRect_, point))
        return 0;
    if (hit != HTCAPTION || !window_)
        return 0;
    if (IsIconic(window_)) {
        SendMessageA(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
        return 0;
    }
    if (IsSizable() && (attachStyle_ & WS_MAXIMIZEBOX))
        SendMessageA(window_, WM_SYSCOMMAND, ::IsZoomed(window_) ? SC_RESTORE : SC_MAXIMIZE, 0);
    return 0;
}

void SkinFrame::OnNcMouseMove(int, POINT point)
{
    if (MouseToElements(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y)))
        return;
    menuBar_->OnMouseMove(point.x, point.y);
}

void SkinFrame::ForwardPopupClick(LPARAM screenPoint)
{
    const POINT screen = LParamPoint(screenPoint);
    RECT window;
    ::GetWindowRect(window_, &window);
    if (!PtInRect(&window, screen))
        return;
    RECT client;
    GetClientRect(window_, &client);
    POINT inClient = screen;
    ScreenToClient(window_, &inClient);
    if (PtInRect(&client, inClient)) {
        menuBar_->OnLButtonDown(-1, -1);
        SendMessageA(window_, WM_LBUTTONDOWN, 0, MAKELPARAM(inClient.x, inClient.y));
        return;
    }
    const int hit = NcHitTest(ScreenToWindow(screen));
    SendMessageA(window_, WM_NCLBUTTONDOWN, WPARAM(hit), screenPoint);
}

void SkinFrame::ForwardPopupMove(LPARAM screenPoint)
{
    const POINT point = ScreenToWindow(LParamPoint(screenPoint));
    OnNcMouseMove(NcHitTest(point), point);
}

void SkinFrame::GetMinMaxInfo(MINMAXINFO* info)
{
    if (!info || !window_)
        return;
    MINMAXINFO mine = *info;
    SkinPartsData* parts = PartsData(GetSkinData());
    const SkinRect none;
    const SkinRect& p0 = parts ? parts->GetPartRect(kPartTopLeft) : none;
    const SkinRect& p3 = parts ? parts->GetPartRect(kPartMiddleLeft) : none;
    const SkinRect& p5 = parts ? parts->GetPartRect(kPartMiddleRight) : none;
    const SkinRect& p6 = parts ? parts->GetPartRect(kPartBottomLeft) : none;
    HWND parent = mdiChild_ ? GetParent(window_) : nullptr;
    if (parent) {
        RECT client;
        GetClientRect(parent, &client);
        mine.ptMaxPosition = POINT{-p3.Width(), -p0.Height()};
        mine.ptMaxSize = POINT{Width(client) + p3.Width() + p5.Width(), Height(client) + p0.Height() + p6.Height()};
        RECT monitor;
        GetMonitorRectOfWindow(window_, &monitor, FALSE);
        mine.ptMaxTrackSize = POINT{Width(monitor), Height(monitor)};
    } else {
        RECT work;
        GetMonitorRectOfWindow(window_, &work, TRUE);
        mine.ptMaxPosition = POINT{work.left, work.top};
        mine.ptMaxSize = POINT{Width(work), Height(work)};
    }
    SetFrameTrackLimits(&mine, parts);
    MINMAXINFO copy = mine;
    DefaultProcessing(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&copy));
    MergeTrackLimits(&mine, copy);
    *info = mine;
}

// ---------------------------------------------------------------------------
// Client background

void SkinFrame::BuildClientCache(int cx, int cy)
{
    clientCache_.reset();
    if (!window_)
        return;
    HDC windowDC = GetDC(window_);
    clientCache_.reset(new SkinMemDC(windowDC, std::max(1, cx), std::max(1, cy)));
    ReleaseDC(window_, windowDC);
    SkinFrameData* frame = FrameData(GetSkinData());
    const RECT r = {0, 0, cx, cy};
    if (frame && frame->skinClient) {
        const SkinImageRef& image = frame->GetPartImage(kPartClient);
        SkinGdiUtil::DrawImageRef(*clientCache_, r, image, frame->thirdColor, TRUE);
        if (image.drawMode == 2)
            eraseOnce_ = true;
    } else {
        SendMessageA(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(clientCache_->GetDC()), 0);
    }
}

BOOL SkinFrame::EraseClient(HDC hdc)
{
    SkinFrameData* frame = FrameData(GetSkinData());
    if (!frame || !frame->skinClient)
        return FALSE;
    RECT client;
    GetClientRect(window_, &client);
    if (!clientCache_)
        BuildClientCache(Width(client), Height(client));
    if (!clientCache_)
        return FALSE;
    return EraseFromClientCache(window_, hdc, client, *clientCache_, eraseOnce_);
}

// ---------------------------------------------------------------------------
// SkinMdiClient

SkinMdiClient::~SkinMdiClient() = default;

LRESULT SkinMdiClient::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND: {
        SkinFrameData* data = frame_ ? FrameData(frame_->GetSkinData()) : nullptr;
        if (!data)
            return SkinWindowObject::WindowProc(message, wParam, lParam);
        RECT client;
        GetClientRect(window_, &client);
        SkinGdiUtil::DrawImageRef(reinterpret_cast<HDC>(wParam), client, data->mdiClient, data->thirdColor, TRUE);
        return 1;
    }
    case WM_MDICREATE: {
        BOOL maximized = FALSE;
        HWND active = reinterpret_cast<HWND>(SendMessageA(window_, WM_MDIGETACTIVE, 0,
                                                          reinterpret_cast<LPARAM>(&maximized)));
        if (active && maximized)
            SendMessageA(active, WM_SYSCOMMAND, SC_RESTORE, 0);
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    }
    case kSkinMsgMdiChildLeaving:
        if (!SendMessageA(window_, WM_MDIGETACTIVE, 0, 0) && lParam) {
            InvalidateRect(window_, reinterpret_cast<const RECT*>(lParam), TRUE);
            UpdateWindow(window_);
        }
        return 0;
    default:
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    }
}
