#include "skin/skinners/popups/skin_tooltip.h"

#include <algorithm>
#include <cstring>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/popups/skin_popup_menu_frame.h"
#include "skin/skinners/popups/skin_tooltip_geometry.h"

namespace {


int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

SkinRect ToSkinRect(const RECT& r) { return MakeSkinRect(r.left, r.top, r.right, r.bottom); }

SkinTooltip* g_tooltip = nullptr;  // the library's one tooltip

}  // namespace

SkinTooltip::SkinTooltip() : defaults_(new SkinTooltipData())
{
    SetSkinData(defaults_.get());
    renderer_.SetStyleSheet(nullptr);
}

SkinTooltip::~SkinTooltip()
{
    Destroy();
    SetSkinData(nullptr);
}

SkinTooltipData* SkinTooltip::Data()
{
    auto* bound = dynamic_cast<SkinTooltipData*>(GetSkinData());
    return bound ? bound : defaults_.get();
}

BOOL SkinTooltip::Create(HWND owner)
{
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTooltipClass, nullptr, WS_POPUP, 0, 0, 0, 0,
                                  owner, nullptr, SkinLibGetInstance(), static_cast<SkinWindowObject*>(this));
    return window != nullptr;
}

void SkinTooltip::Destroy()
{
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
}

SkinDataObject* SkinTooltip::BindSkinData(SkinDataObject* object)
{
    auto* tooltip = dynamic_cast<SkinTooltipData*>(object);
    // A skin's Tooltip object brings its own rules, none when its sheet is
    // empty; the embedded defaults keep the built-in sheet.
    if (!tooltip || tooltip->GetType() != kSkinTooltip || tooltip == defaults_.get()) {
        tooltip = defaults_.get();
        renderer_.SetStyleSheet(nullptr);
    } else {
        renderer_.SetStyleSheet(tooltip->styleSheet.c_str());
    }
    return SkinWindowObject::BindSkinData(tooltip);
}

void SkinTooltip::OnSkinReplaced()
{
    std::lock_guard<std::recursive_mutex> guard(state_);
    SkinWindowObject::OnSkinReplaced();
}

void SkinTooltip::SetName(const char* text)
{
    std::lock_guard<std::recursive_mutex> guard(state_);
    SkinWindowObject::SetName(text);
    text_ = text ? text : "";
}

std::string SkinTooltip::GetText() const
{
    std::lock_guard<std::recursive_mutex> guard(state_);
    return text_;
}

POINT SkinTooltip::GetPoint() const
{
    std::lock_guard<std::recursive_mutex> guard(state_);
    return point_;
}

SkinItem* SkinTooltip::GetOwnerItem()
{
    std::lock_guard<std::recursive_mutex> guard(state_);
    return ownerItem_;
}

bool SkinTooltip::OnOwnThread() const
{
    return GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId();
}

void SkinTooltip::Hide()
{
    if (!window_) {
        tracked_ = false;
        return;
    }
    // Only the window's thread owns its timers; another thread's hide is
    // posted (sending could wait for a thread waiting for the lock).
    if (!OnOwnThread()) {
        PostMessageA(window_, kSkinMsgTooltipShow, 0, 0);
        return;
    }
    ShowWindow(window_, SW_HIDE);
    KillTimer(window_, kShowTimer);
    KillTimer(window_, kHideTimer);
    tracked_ = false;
}

void SkinTooltip::HideFor(SkinItem* owner)
{
    {
        std::lock_guard<std::recursive_mutex> guard(state_);
        if (!owner || ownerItem_ != owner)
            return;
        ownerItem_ = nullptr;
        if (source_ == dynamic_cast<SkinTooltipTextSource*>(owner))
            source_ = nullptr;
    }
    Hide();
}

void SkinTooltip::ShowText(const char* text, const POINT* point)
{
    {
        std::lock_guard<std::recursive_mutex> guard(state_);
        if (point)
            point_ = *point;
        else
            GetCursorPos(&point_);
        text_ = text ? text : "";
    }
    if (window_ && !OnOwnThread())
        PostMessageA(window_, kSkinMsgTooltipShow, 1, 0);
    else
        StartShowDelay();
}

void SkinTooltip::StartShowDelay()
{
    Hide();
    UINT delay = 0;
    {
        std::lock_guard<std::recursive_mutex> guard(state_);
        if (text_.empty() || !window_)
            return;
        delay = Data()->showDelay;
    }
    SetTimer(window_, kShowTimer, delay, nullptr);
}

void SkinTooltip::ShowFor(SkinItem* owner, SkinDataObject* tooltipData, const char* text)
{
    {
        std::lock_guard<std::recursive_mutex> guard(state_);
        BindSkinData(tooltipData);
        ownerItem_ = owner;
        SetTextSource(dynamic_cast<SkinTooltipTextSource*>(owner));
    }
    ShowText(text, nullptr);
}

void SkinTooltip::Show()
{
    Hide();
    if (!window_)
        return;
    std::lock_guard<std::recursive_mutex> guard(state_);
    SkinTooltipData* data = Data();
    HDC dc = GetDC(window_);
    const SIZE text = renderer_.Measure(dc, text_.c_str());
    ReleaseDC(window_, dc);
    const int w = text.cx + data->GetPartRect(kPartMiddleLeft).Width() + data->GetPartRect(kPartMiddleRight).Width();
    const int h = text.cy + data->GetPartRect(kPartTopLeft).Height() + data->GetPartRect(kPartBottomLeft).Height();
    const RECT work = SkinGdiUtil::WorkAreaAt(point_);
    const SkinRect r = PlaceTooltip(point_.x, point_.y, w, h, data->placement, ToSkinRect(work));
    SetWindowPos(window_, HWND_TOPMOST, r.left, r.top, r.Width(), r.Height(),
                 SWP_NOCOPYBITS | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetTimer(window_, kHideTimer, data->hideDelay, nullptr);
}

void SkinTooltip::PaintClient(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    SkinMemDC memory(hdc, std::max(Width(client), 1), std::max(Height(client), 1));
    SkinTooltipData* data = Data();
    // The client part as a stretched image; where it is missing or keyed
    // out, the third colour shows.
    SkinGdiUtil::FillSolidRect(memory, client, data->thirdColor);
    const SkinImageRef& part = data->GetPartImage(kPartClient);
    if (!::IsImageRefEmpty(part)) {
        SkinLayoutImage image = MakeEmptyLayoutImage();
        std::memcpy(image.name, part.name, sizeof image.name);
        image.source = part.source;
        image.layoutMode = part.drawMode == 1 ? 0 : 1;
        SkinGdiUtil::DrawLayoutImageKeyed(memory, client, image, data->thirdColor);
    }
    renderer_.Draw(memory, text_.c_str(), client);
    BitBlt(hdc, 0, 0, Width(client), Height(client), memory, 0, 0, SRCCOPY);
}

LRESULT SkinTooltip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        {
            std::lock_guard<std::recursive_mutex> guard(state_);
            PaintClient(dc);
        }
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_NCCALCSIZE: {
        std::lock_guard<std::recursive_mutex> guard(state_);
        NarrowPopupToFrameClient(*this, reinterpret_cast<RECT*>(lParam), *Data());
        return 0;
    }
    case WM_NCPAINT: {
        std::lock_guard<std::recursive_mutex> guard(state_);
        PaintPopupFrame(*this, TRUE);
        return 0;
    }
    case kSkinMsgTooltipShow:
        if (wParam)
            StartShowDelay();
        else
            Hide();
        return 0;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(window_, kShowTimer);
            bool show = false;
            {
                // The source is asked under the lock: its item waits here
                // before it goes (HideFor).
                std::lock_guard<std::recursive_mutex> guard(state_);
                GetCursorPos(&point_);
                if (source_)
                    text_ = source_->GetTooltipText(point_);
                show = !text_.empty();
            }
            if (show)
                Show();
        } else if (wParam == kHideTimer) {
            Hide();
        }
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    case WM_MOUSEMOVE:
        if (!tracked_) {
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = window_;
            tracked_ = _TrackMouseEvent(&track) != FALSE;
        }
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    case WM_MOUSELEAVE:
        Hide();
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    case kSkinMsgDestroySelf:
        DestroyWindow(window_);
        return 0;
    case WM_NCDESTROY:
        RemovePropA(window_, kOwnObjectProperty);
        SkinWindowObject::OnNcDestroy();
        if (ownedByWindow_) {
            // Handed over by an end on another thread; the class was left
            // registered then, as it still had this window.
            const bool started = SkinLibIsStarted();
            delete this;
            if (!started)
                UnregisterClassA(kTooltipClass, SkinLibGetInstance());
        }
        return 0;
    default:
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    }
}

bool SkinTooltip::DestroyOnWindowThread()
{
    ownedByWindow_ = true;
    if (!PostMessageA(window_, kSkinMsgDestroySelf, 0, 0))
        ownedByWindow_ = false;  // the window went meanwhile: the caller deletes
    return ownedByWindow_;
}

SkinTooltip* GetSkinTooltipWindow() { return g_tooltip; }

// ---------------------------------------------------------------------------
// The library part: the window class and the one tooltip

namespace {

BOOL RegisterTooltipClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_SAVEBITS | CS_CLASSDC;
    wc.lpfnWndProc = &SkinWindowObject::OwnWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = kTooltipClass;
    // It may still be there from an earlier start whose tooltip window
    // lived on another thread.
    return SkinLibRegisterOwnClass(wc);
}

void UnregisterTooltipClass(HINSTANCE instance) { UnregisterClassA(kTooltipClass, instance); }

void CreateTooltip(HINSTANCE instance)
{
    auto* tooltip = new SkinTooltip();
    tooltip->Create(nullptr);
    tooltip->SetResourceInstance(instance);
    g_tooltip = tooltip;
    SkinLibSetTooltip(tooltip);
}

void DestroyTooltip()
{
    SkinLibSetTooltip(nullptr);
    SkinTooltip* tooltip = g_tooltip;
    g_tooltip = nullptr;
    if (!tooltip)
        return;
    // The last end may run on another thread than the one that made the
    // window; only that one can destroy it.
    HWND window = tooltip->GetWindow();
    if (window && IsWindow(window) && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId() &&
        tooltip->DestroyOnWindowThread())
        return;
    delete tooltip;
}

const SkinLibPart kTooltipPart = {
    "tooltip window", &RegisterTooltipClass, &UnregisterTooltipClass, &CreateTooltip, &DestroyTooltip,
    nullptr, nullptr, nullptr,
};
SkinLibPartRegistrar g_register(&kTooltipPart);

}  // namespace
