#include "skin/skinners/controls/skin_view.h"

#include <commctrl.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"

namespace {

SkinWindowObject* MakeListView(uint32_t type, SkinWindowObject* parent) { return new SkinListView(parent, type); }
SkinWindowObject* MakeTreeView(uint32_t type, SkinWindowObject* parent) { return new SkinTreeView(parent, type); }
SkinnerRegistrar g_listView(kSkinListView, &MakeListView);
SkinnerRegistrar g_treeView(kSkinTreeView, &MakeTreeView);

bool IsListKey(WPARAM key) { return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_DELETE; }

// LVS_OWNERDRAWFIXED is a report-view style of the same value on every
// system.
const LONG kOwnerDrawFixed = 0x400;

}  // namespace

// ---------------------------------------------------------------------------
// SkinColoredView

SkinColoredView::SkinColoredView(SkinWindowObject* parent, uint32_t kind) : SkinScrollableBase(parent, kind) {}

SkinDataObject* SkinColoredView::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinScrollableBase::BindSkinData(object);
    if (window_)
        PostMessageA(window_, kSkinMsgApplyColors, 0, 0);
    return previous;
}

BOOL SkinColoredView::Attach(HWND window)
{
    if (!SkinScrollableBase::Attach(window))
        return FALSE;
    PostMessageA(window, kSkinMsgApplyColors, 0, 0);
    return TRUE;
}

LRESULT SkinColoredView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (previousProc_ && message == kSkinMsgApplyColors) {
        ApplyColors();
        return 1;
    }
    return SkinScrollableBase::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// SkinListView

SkinListView::SkinListView(SkinWindowObject* parent, uint32_t kind) : SkinColoredView(parent, kind) {}

BOOL SkinListView::Attach(HWND window)
{
    if (GetWindowLongA(window, GWL_STYLE) & kOwnerDrawFixed)
        return FALSE;
    return SkinColoredView::Attach(window);
}

void SkinListView::ApplyColors()
{
    SkinDataObject* data = GetSkinData();
    if (!data || !window_)
        return;
    SendMessageA(window_, LVM_SETBKCOLOR, 0, LPARAM(data->backColor));
    SendMessageA(window_, LVM_SETTEXTBKCOLOR, 0, LPARAM(data->backColor));
    SendMessageA(window_, LVM_SETTEXTCOLOR, 0, LPARAM(data->textColor));
    InvalidateRect(window_, nullptr, TRUE);
}

bool SkinListView::TrackThumb(UINT message, WPARAM wParam)
{
    if (LOWORD(wParam) != SB_THUMBTRACK)
        return false;
    const int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
    const int current = GetScrollPos(window_, bar);
    int delta = int(short(HIWORD(wParam))) - current;
    if (bar == SB_VERT && (GetWindowLongA(window_, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT)
        delta *= 16;
    SendMessageA(window_, LVM_SCROLL, bar == SB_HORZ ? WPARAM(delta) : 0, bar == SB_VERT ? LPARAM(delta) : 0);
    ResyncScrollBar(bar);
    return true;
}

LRESULT SkinListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (NeedsResync() && ScrollBarsSkinned() && TrackThumb(message, wParam))
            return 0;
        break;
    case WM_MOUSEWHEEL:
        if (NeedsResync() && ScrollBarsSkinned()) {
            const LRESULT result = SkinWindowBase::WindowProc(message, wParam, lParam);
            const bool list = (GetWindowLongA(window_, GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST;
            ResyncScrollBar(list ? SB_HORZ : SB_VERT);
            return result;
        }
        break;
    default:
        break;
    }
    return SkinColoredView::WindowProc(message, wParam, lParam);
}

bool SkinListView::ChangesContent(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return IsListKey(wParam);
    case WM_NOTIFY:
        return lParam && reinterpret_cast<const NMHDR*>(lParam)->code == UINT(-16);
    case WM_LBUTTONDBLCLK:
    case 0x1006: case 0x1007: case 0x1008: case 0x1009:
    case 0x100D: case 0x100F: case 0x1013:
    case 0x101A: case 0x101B: case 0x101C: case 0x101E:
    case LVM_SETICONSPACING:
    case LVM_SETCOLUMNORDERARRAY:
        return true;
    case WM_STYLECHANGED:
        return lParam && reinterpret_cast<const STYLESTRUCT*>(lParam)->styleOld !=
                             reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// SkinTreeView

SkinTreeView::SkinTreeView(SkinWindowObject* parent, uint32_t kind) : SkinColoredView(parent, kind) {}

void SkinTreeView::ApplyColors()
{
    SkinDataObject* data = GetSkinData();
    if (!data || !window_)
        return;
    SendMessageA(window_, TVM_SETTEXTCOLOR, 0, LPARAM(data->textColor));
    SendMessageA(window_, TVM_SETBKCOLOR, 0, LPARAM(data->backColor));
    if (auto* tree = dynamic_cast<SkinTreeViewData*>(data))
        SendMessageA(window_, TVM_SETLINECOLOR, 0, LPARAM(tree->lineColor));
    InvalidateRect(window_, nullptr, TRUE);
}

bool SkinTreeView::ChangesContent(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return IsListKey(wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case 0x1100: case 0x1101: case 0x1102:
    case TVM_SETINDENT:
    case TVM_SETIMAGELIST:
    case TVM_SELECTITEM:
    case TVM_SETITEMA:
    case 0x1113: case 0x1114: case 0x111A: case 0x111B:
        return true;
    default:
        return false;
    }
}
