#include "skin/skinners/frames/skin_named_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_draw_geometry.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/frames/skin_frame.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/drawing/skin_monitor.h"
#include "skin/skinners/popups/skin_popup_menu_frame.h"

namespace {

SkinWindowObject* MakeNamedWindow() { return new SkinNamedWindow(); }
SkinnerRegistrar g_registrar(SkinTopLevelRole::kNamed, &MakeNamedWindow);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SkinNamedWindow::SkinNamedWindow() = default;

SkinNamedWindow::~SkinNamedWindow() = default;

bool SkinNamedWindow::IsFramed()
{
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    return (style & WS_DLGFRAME) || (style & DS_MODALFRAME);
}

SkinDataObject* SkinNamedWindow::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinWindowObject::BindSkinData(object);
    if (!window_)
        return previous;
    clientCache_.reset();
    if (IsFramed())
        FitFrameToClient();
    SetRectEmpty(&lastSize_);
    InvalidateRect(nullptr, nullptr, TRUE);
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW |
                     RDW_FRAME);
    return previous;
}

BOOL SkinNamedWindow::Attach(HWND window)
{
    const BOOL attached = SkinWindowObject::Attach(window);
    if (!attached)
        return FALSE;
    savedStyle_ = GetWindowLongA(window, GWL_STYLE);
    if (IsFramed())
        FitFrameToClient();
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return attached;
}

void SkinNamedWindow::RepaintFrame(HWND window)
{
    if (IsWindow(window))
        SendMessageA(window, WM_NCPAINT, 1, 0);
}

LRESULT SkinNamedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    LRESULT result = 0;
    if (ClientMessage(message, wParam, lParam, &result))
        return result;
    return IsFramed() ? FramedProc(message, wParam, lParam) : ClientOnlyProc(message, wParam, lParam);
}

bool SkinNamedWindow::ClientMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // Default processing may destroy the window and this skinner with it.
    HWND window = window_;
    switch (message) {
    case WM_SETTEXT:
        *result = WithUpdateLocked(message, wParam, lParam);
        RepaintFrame(window);
        return true;
    case WM_ERASEBKGND:
        *result = EraseClient(reinterpret_cast<HDC>(wParam)) ? 1 : DefaultProcessing(message, wParam, lParam);
        return true;
    case WM_CTLCOLORSTATIC:
        *result = OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case kSkinMsgChildBackground:
        if (!clientCache_)
            BuildClientCache();
        if (clientCache_)
            PaintChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), *clientCache_);
        *result = 1;
        return true;
    default:
        return false;
    }
}

LRESULT SkinNamedWindow::FramedProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Default processing may destroy the window and this skinner with it.
    HWND window = window_;
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    switch (message) {
    case WM_ENABLE:
    case WM_SETICON:
    case WM_INITMENU:
    case WM_INITMENUPOPUP: {
        // The system would draw its own caption for these.
        const LRESULT result = WithStyle(style & ~WS_SYSMENU, message, wParam, lParam);
        RepaintFrame(window);
        return result;
    }
    case WM_SETCURSOR:
        return WithStyle(style & ~WS_SYSMENU, message, wParam, lParam);
    case WM_GETMINMAXINFO:
        GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
    case WM_NCRBUTTONDOWN:
        return 0;
    case WM_NCCALCSIZE: {
        if (auto* parts = dynamic_cast<SkinPartsData*>(GetSkinData()))
            NarrowToFrameClient(reinterpret_cast<RECT*>(lParam), *parts, 0);
        return 0;
    }
    case WM_NCHITTEST:
        return NcHitTest(ScreenToWindow(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    case WM_NCPAINT:
        OnNcPaint(reinterpret_cast<HRGN>(wParam));
        return 0;
    case WM_NCACTIVATE: {
        // The system draws no caption of its own for a plain popup; the
        // visibility and enabled bits stay as they are.
        const LRESULT result = WithStyle(WS_POPUP | (style & (WS_VISIBLE | WS_DISABLED)), message, wParam, lParam);
        RepaintFrame(window);
        return result;
    }
    case WM_NCMOUSEMOVE: {
        const LRESULT result = WithStyle(style & ~WS_SYSMENU, message, wParam, lParam);
        if (StillSkinnedBy(window, this)) {
            const POINT p = ScreenToWindow(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            MouseToElements(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        }
        return result;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP: {
        const POINT p = ScreenToWindow(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        const UINT mouse = message == WM_NCLBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        if (!MouseToElements(mouse, 0, MAKELPARAM(p.x, p.y)) && !IsZoomed(window))
            WithStyle(style & ~WS_SYSMENU, message, wParam, lParam);
        return 0;
    }
    case WM_NCLBUTTONDBLCLK: {
        // A caption button answers for itself (the system-menu button
        // closes) and never maximises the dialog.
        const POINT p = ScreenToWindow(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (MouseToElements(WM_LBUTTONDBLCLK, 0, MAKELPARAM(p.x, p.y)) || !IsSizable())
            return 0;
        const LRESULT result = WithUpdateLocked(message, wParam, lParam);
        RepaintFrame(window);
        return result;
    }
    default:
        return DefaultProcessing(message, wParam, lParam);
    }
}

LRESULT SkinNamedWindow::ClientOnlyProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCDESTROY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return DefaultProcessing(message, wParam, lParam);
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    default:
        return CallPrevious(message, wParam, lParam);
    }
}

int SkinNamedWindow::NcHitTest(POINT point)
{
    if (NcHitTestElements(point) == HTCAPTION)
        return HTCAPTION;
    SkinRect parts[9];
    for (int i = 0; i < 9; ++i)
        parts[i] = MakeSkinRect(parts_[i].left, parts_[i].top, parts_[i].right, parts_[i].bottom);
    const int hit = FrameHitTest(parts, point.x, point.y, IsSizable() && !IsZoomed(window_));
    return hit == kHitError ? HTNOWHERE : hit;
}

void SkinNamedWindow::OnNcPaint(HRGN region)
{
    const RECT bounds = GetWindowBounds();
    LayoutParts(SIZE{Width(bounds), Height(bounds)});
    if (SizeChanged()) {
        BuildClientCache();
        ::GetWindowRect(window_, &lastSize_);
        ApplyWindowRegion(BuildRegion(), TRUE);
        RepaintFrame(window_);
        UpdateWindow(window_);
        return;
    }
    auto* parts = dynamic_cast<SkinPartsData*>(GetSkinData());
    if (IsIconic(window_)) {
        if (parts)
            DrawIconic(parts->activeIconic, parts->inactiveIconic);
        return;
    }
    HDC windowDC = GetWindowDC(window_);
    if (!windowDC)
        return;
    {
        SkinMemDC memory(windowDC, Width(bounds), Height(bounds));
        const FrameUpdateClip clip(window_, region, windowDC, memory);
        SetBkMode(memory, TRANSPARENT);
        DrawFrame(memory, IsActive());
        DrawElements(memory);
        CopyFrameStrips(window_, windowDC, memory);
    }
    ReleaseDC(window_, windowDC);
}

void SkinNamedWindow::DrawCaption(HDC hdc, BOOL active)
{
    auto* parts = dynamic_cast<SkinPartsData*>(GetSkinData());
    if (parts && DrawsCaptionText())
        DrawWindowCaptionText(hdc, window_, *parts, parts_[kPartMiddleTop], savedStyle_);
}

void SkinNamedWindow::BuildClientCache()
{
    clientCache_.reset();
    auto* parts = dynamic_cast<SkinPartsData*>(GetSkinData());
    if (!parts || !window_)
        return;
    RECT client;
    GetClientRect(window_, &client);
    HDC windowDC = GetDC(window_);
    clientCache_.reset(new SkinMemDC(windowDC, std::max(1, Width(client)), std::max(1, Height(client))));
    ReleaseDC(window_, windowDC);
    const SkinImageRef& image = parts->GetPartImage(kPartClient);
    SkinGdiUtil::DrawImageRef(*clientCache_, client, image, parts->thirdColor, TRUE);
    eraseOnce_ = image.drawMode == 2;
}

BOOL SkinNamedWindow::EraseClient(HDC hdc)
{
    auto* frame = dynamic_cast<SkinFrameData*>(GetSkinData());
    if (!frame || !frame->skinClient)
        return FALSE;
    RECT client;
    GetClientRect(window_, &client);
    if (!clientCache_ || clientCache_->Width() != Width(client) || clientCache_->Height() != Height(client)) {
        if (SizeChanged())
            ::GetWindowRect(window_, &lastSize_);
        BuildClientCache();
    }
    if (!clientCache_)
        return FALSE;
    return EraseFromClientCache(window_, hdc, client, *clientCache_, eraseOnce_);
}

void SkinNamedWindow::GetMinMaxInfo(MINMAXINFO* info)
{
    if (!info)
        return;
    RECT work;
    GetMonitorRectOfWindow(window_, &work, TRUE);
    MINMAXINFO mine = *info;
    mine.ptMaxPosition = POINT{work.left, work.top};
    mine.ptMaxSize = POINT{Width(work), Height(work)};
    SetFrameTrackLimits(&mine, dynamic_cast<SkinPartsData*>(GetSkinData()));
    MINMAXINFO copy = mine;
    DefaultProcessing(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&copy));
    MergeTrackLimits(&mine, copy);
    *info = mine;
}
