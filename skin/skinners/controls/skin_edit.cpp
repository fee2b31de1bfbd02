#include "skin/skinners/controls/skin_edit.h"

#include <richedit.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"

namespace {

SkinWindowObject* MakeEdit(uint32_t type, SkinWindowObject* parent) { return new SkinEdit(parent, type); }
SkinnerRegistrar g_edit(kSkinEdit, &MakeEdit);
SkinnerRegistrar g_richEdit(kSkinRichEdit, &MakeEdit);

bool IsCaretKey(WPARAM key)
{
    return (key >= VK_END && key <= VK_DOWN) || key == VK_DELETE;
}

}  // namespace

SkinEdit::SkinEdit(SkinWindowObject* parent, uint32_t kind) : SkinScrollableBase(parent, kind) {}

SkinEdit::~SkinEdit()
{
    if (readOnlyBrush_)
        DeleteObject(readOnlyBrush_);
    if (editBrush_)
        DeleteObject(editBrush_);
}

void SkinEdit::SetRichEditBackground()
{
    if (kind_ == kSkinRichEdit && window_ && GetSkinData())
        SendMessageA(window_, EM_SETBKGNDCOLOR, 0, LPARAM(GetSkinData()->backColor));
}

SkinDataObject* SkinEdit::BindSkinData(SkinDataObject* object)
{
    if (readOnlyBrush_)
        DeleteObject(readOnlyBrush_);
    if (editBrush_)
        DeleteObject(editBrush_);
    readOnlyBrush_ = editBrush_ = nullptr;
    if (object) {
        readOnlyBrush_ = CreateSolidBrush(object->keyColor);
        editBrush_ = CreateSolidBrush(object->backColor);
    }
    SkinDataObject* previous = SkinScrollableBase::BindSkinData(object);
    if (window_) {
        if (SkinControlData* data = ControlData())
            ApplySkinFont(static_cast<HFONT>(data->GetFontHandle()), TRUE);
        SetRichEditBackground();
    }
    return previous;
}

BOOL SkinEdit::Attach(HWND window)
{
    if (!SkinScrollableBase::Attach(window))
        return FALSE;
    SetRichEditBackground();
    return TRUE;
}

LRESULT SkinEdit::OnCtlColorEdit(HDC hdc)
{
    SkinDataObject* data = GetSkinData();
    if (!data || !editBrush_)
        return 0;
    SetBkColor(hdc, data->backColor);
    SetTextColor(hdc, data->textColor);
    return reinterpret_cast<LRESULT>(editBrush_);
}

LRESULT SkinEdit::OnCtlColorStatic(HDC hdc)
{
    SkinDataObject* data = GetSkinData();
    if (!data || !readOnlyBrush_)
        return 0;
    SetBkColor(hdc, data->keyColor);
    SetTextColor(hdc, data->textColor);
    return reinterpret_cast<LRESULT>(readOnlyBrush_);
}

bool SkinEdit::ChangesContent(UINT message, WPARAM wParam, LPARAM)
{
    if (kind_ == kSkinRichEdit)
        return false;
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        return IsCaretKey(wParam);
    case WM_SETTEXT:
    case WM_CHAR:
    case WM_LBUTTONDBLCLK:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        return true;
    default:
        return false;
    }
}
