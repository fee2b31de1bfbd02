#include "skin/skinners/controls/skin_listbox.h"

#include "skin/core/skin_data.h"
#include "skin/core/skin_manager.h"

namespace {

SkinWindowObject* MakeListBox(uint32_t type, SkinWindowObject* parent) { return new SkinListBox(parent, type); }
SkinnerRegistrar g_listBox(kSkinListBox, &MakeListBox);

}  // namespace

SkinListBox::SkinListBox(SkinWindowObject* parent, uint32_t kind) : SkinScrollableBase(parent, kind) {}

SkinListBox::~SkinListBox()
{
    if (brush_)
        DeleteObject(brush_);
}

SkinDataObject* SkinListBox::BindSkinData(SkinDataObject* object)
{
    if (brush_)
        DeleteObject(brush_);
    brush_ = object ? CreateSolidBrush(object->backColor) : nullptr;
    return SkinScrollableBase::BindSkinData(object);
}

BOOL SkinListBox::Attach(HWND window)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    comboList_ = lstrcmpiA(name, "ComboLBox") == 0;
    if (!comboList_ && (GetWindowLongA(window, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        return FALSE;
    return SkinScrollableBase::Attach(window);
}

LRESULT SkinListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lParam) == window_ && GetSkinData() && brush_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSkinData()->backColor);
            SetTextColor(dc, GetSkinData()->textColor);
            return reinterpret_cast<LRESULT>(brush_);
        }
        break;
    case WM_SETFONT: {
        const LRESULT result = SkinScrollableBase::WindowProc(message, wParam, lParam);
        // The list may have changed its height: what it left behind goes.
        HWND parent = GetParent(window_);
        HWND outer = parent ? GetParent(parent) : nullptr;
        if (outer) {
            RECT r;
            ::GetWindowRect(window_, &r);
            MapWindowPoints(nullptr, outer, reinterpret_cast<POINT*>(&r), 2);
            InvalidateRect(outer, &r, TRUE);
            UpdateWindow(outer);
        }
        return result;
    }
    default:
        break;
    }
    return SkinScrollableBase::WindowProc(message, wParam, lParam);
}

bool SkinListBox::ChangesContent(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return (wParam >= VK_PRIOR && wParam <= VK_DOWN) || wParam == VK_DELETE;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_SELITEMRANGEEX:
    case LB_SETSEL:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_DIR:
    case 0x194:
    case 0x196:
    case LB_SELITEMRANGE:
    case WM_LBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}
