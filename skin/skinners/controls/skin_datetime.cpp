#include "skin/skinners/controls/skin_datetime.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/skinners/controls/skin_animate.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

SkinWindowObject* MakeDateTime(uint32_t type, SkinWindowObject* parent) { return new SkinDateTime(parent, type); }
SkinnerRegistrar g_dateTime(kSkinDateTime, &MakeDateTime);

// The up-down control of a picker with DTS_UPDOWN.
const int kSpinId = 1000;

SkinTextEffect TextStyle(const SkinRect& record)
{
    SkinTextEffect effect;
    static_assert(sizeof effect == sizeof record, "the picker's text styles are 16-byte records");
    std::memcpy(&effect, &record, sizeof effect);
    return effect;
}

bool IsBlank(const SkinRect& r) { return !r.left && !r.top && !r.right && !r.bottom; }

}  // namespace

SkinDateTime::SkinDateTime(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinDateTimeData* SkinDateTime::Data() const { return dynamic_cast<SkinDateTimeData*>(GetSkinData()); }

BOOL SkinDateTime::Attach(HWND window)
{
    if (!SkinWindowBase::Attach(window))
        return FALSE;
    // The skinner draws the text: the control's own parsing of typed input
    // would leave an edit over it.
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) & ~DTS_APPCANPARSE);
    return TRUE;
}

void SkinDateTime::Draw(HDC hdc)
{
    SkinDateTimeData* data = Data();
    RECT client;
    GetClientRect(window_, &client);
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    const bool enabled = IsWindowEnabled(window_) != 0;
    char text[101] = {};
    int length = GetWindowTextA(window_, text, sizeof text);
    if (length <= 0) {
        // Controls that do not answer WM_GETTEXT: the date (or time) they hold.
        SYSTEMTIME st = {};
        if (SendMessageA(window_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
            length = (style & DTS_TIMEFORMAT)
                         ? GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text)
                         : GetDateFormatA(LOCALE_USER_DEFAULT, (style & DTS_LONGDATEFORMAT) ? DATE_LONGDATE
                                                                                            : DATE_SHORTDATE,
                                          &st, nullptr, text, sizeof text);
        length = length > 0 ? lstrlenA(text) : 0;
    }
    SkinGdiUtil::DrawImageRef(hdc, client, enabled ? data->ref1 : data->ref2, enabled ? data->backColor : data->color,
                              TRUE);
    SkinTextEffect effect = TextStyle(enabled ? data->rect1 : data->rect2);
    if (IsBlank(enabled ? data->rect1 : data->rect2))
        SkinGdiUtil::PackColor24(effect.textColor, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    const bool button = !(style & (DTS_UPDOWN | DTS_TIMEFORMAT));
    RECT textRect = client;
    textRect.left += 2;
    if (button)
        textRect.right -= kButtonWidth;
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SkinGdiUtil::DrawEffectText(hdc, effect, textRect, text, length, DT_VCENTER | DT_SINGLELINE);
    RestoreDC(hdc, saved);
    if (!button)
        return;
    RECT drop = client;
    drop.left = drop.right - kButtonWidth;
    const SkinLayoutImage& normal = data->images[0];
    const SkinLayoutImage& pressed = data->images[1];
    const SkinLayoutImage& disabled = data->images[2];
    const bool open = popup_ != nullptr;
    const SkinLayoutImage* chosen;
    if (!enabled)
        chosen = !IsLayoutImageEmpty(disabled) ? &disabled : &normal;
    else if (open)
        chosen = !IsLayoutImageEmpty(pressed) ? &pressed : &normal;
    else
        chosen = !IsLayoutImageEmpty(normal) ? &normal : &pressed;
    if (IsLayoutImageEmpty(*chosen))
        DrawFrameControl(hdc, &drop, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (enabled ? 0 : DFCS_INACTIVE) | (open ? DFCS_PUSHED : 0));
    else
        SkinGdiUtil::DrawLayoutImage(hdc, drop, *chosen, GetSysColor(COLOR_BTNFACE), TRUE);
}

void SkinDateTime::NotifyParent(HWND picker, UINT code)
{
    NMHDR header = {};
    header.hwndFrom = picker;
    header.idFrom = UINT_PTR(GetDlgCtrlID(picker));
    header.code = code;
    if (HWND parent = GetParent(picker))
        SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

SkinDateTime::~SkinDateTime()
{
    if (gone_)
        *gone_ = true;
}

LRESULT SkinDateTime::DropDown()
{
    // What is dispatched from here on may destroy the picker and delete
    // this skinner with it: the loop works on locals and touches the
    // skinner only while `gone` is still false.
    HWND picker = window_;
    HINSTANCE instance = SkinLibGetInstance();
    HWND popup = CreateWindowExA(0, "SysMonthCal32", "MonthCal32", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER,
                                 0, 0, 0, 0, GetParent(picker), nullptr,
                                 instance ? instance : GetModuleHandleA(nullptr), nullptr);
    if (!popup)
        return 0;
    bool gone = false;
    gone_ = &gone;
    popup_ = popup;
    auto closed = [&]() {
        if (!gone)
            popup_ = nullptr;
    };
    SYSTEMTIME date = {};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
    NotifyParent(picker, DTN_DROPDOWN);
    LRESULT picked = 0;
    if (!gone && IsWindow(picker) && IsWindow(popup)) {
        SendMessageA(popup, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
        RECT size = {};
        SendMessageA(popup, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&size));
        RECT below;
        ::GetWindowRect(picker, &below);
        const int borders = 2 * GetSystemMetrics(SM_CXBORDER);
        MoveWindow(popup, below.left, below.bottom, size.right - size.left + borders,
                   size.bottom - size.top + 2 * GetSystemMetrics(SM_CYBORDER), TRUE);
        InvalidateRect(picker, nullptr, FALSE);
    }
    MSG msg;
    while (!gone && IsWindow(picker) && IsWindow(popup)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(int(msg.wParam));  // the program's loop ends on it
            break;
        }
        const bool onPopup = msg.hwnd == popup || IsChild(popup, msg.hwnd);
        if (!onPopup && (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN))
            break;  // a press elsewhere closes the calendar, the date stays
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (gone || !IsWindow(picker) || !IsWindow(popup) || !onPopup || msg.message != WM_LBUTTONUP)
            continue;
        MCHITTESTINFO hit = {};
        hit.cbSize = 32;  // the first version of the record
        hit.pt.x = GET_X_LPARAM(msg.lParam);
        hit.pt.y = GET_Y_LPARAM(msg.lParam);
        SendMessageA(popup, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.uHit != MCHT_CALENDARDATE)
            continue;
        SYSTEMTIME chosen = {};
        SendMessageA(popup, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&chosen));
        date.wYear = chosen.wYear;
        date.wMonth = chosen.wMonth;
        date.wDayOfWeek = chosen.wDayOfWeek;
        date.wDay = chosen.wDay;
        DestroyWindow(popup);
        closed();
        NotifyParent(picker, DTN_CLOSEUP);
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
        picked = 1;
        break;
    }
    if (IsWindow(popup))
        DestroyWindow(popup);
    closed();
    if (!gone)
        gone_ = nullptr;
    if (IsWindow(picker))
        InvalidateRect(picker, nullptr, TRUE);
    return picked;
}

void SkinDateTime::DrawBorder()
{
    SkinDateTimeData* data = Data();
    if (!data || !DrawControlBorder(window_, data->background, data->backColor))
        CallPrevious(WM_NCPAINT, 1, 0);
}

LRESULT SkinDateTime::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        if (!Data())
            return CallPrevious(message, wParam, lParam);
        PaintBuffered();
        return 0;
    case WM_LBUTTONDOWN: {
        if (popup_)
            return 1;
        RECT client;
        GetClientRect(window_, &client);
        const LONG style = GetWindowLongA(window_, GWL_STYLE);
        if ((style & (DTS_UPDOWN | DTS_TIMEFORMAT)) || GET_X_LPARAM(lParam) < client.right - kButtonWidth)
            return SkinWindowBase::WindowProc(message, wParam, lParam);
        HideTooltip();
        SetFocus(window_);
        DropDown();
        return 0;
    }
    case WM_NCPAINT:
        DrawBorder();
        return 0;
    case WM_NOTIFY: {
        const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->idFrom == kSpinId && window_)
            InvalidateRect(window_, nullptr, FALSE);
        return result;
    }
    case DTM_GETMONTHCAL:
        return reinterpret_cast<LRESULT>(popup_);
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}
