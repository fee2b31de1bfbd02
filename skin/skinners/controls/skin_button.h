// Skinners of the "Button" class. The skin manager refines a button by its
// style into four kinds: push button (SkinButton, Button data), check box
// (SkinCheckBox, CheckBox data), radio button (SkinRadio, Radio data) and
// group box (SkinGroupBox, GroupBox data). The first three take the
// button's mouse and keyboard handling over (SkinButtonBase); the check
// state stays where the button itself keeps it. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_BUTTON_H
#define QUORBEL_SKIN_SKINNERS_SKIN_BUTTON_H

#include <windows.h>

#include "skin/skinners/controls/skin_control_base.h"

class SkinButtonData;
class SkinCheckData;
class SkinGroupBoxData;
struct SkinStateBlock;
struct SkinTextEffect;

// The family's text: measured, placed by the button style (check-box
// styles keep it at the left) and drawn with the effect in the control's
// font.
void DrawButtonText(HDC hdc, HWND button, HFONT font, const RECT& area, const char* text,
                    const SkinTextEffect& effect, bool checkLike);

class SkinButton : public SkinButtonBase {
public:
    // The states of the Button object, in stored order.
    enum State { kNormal, kPressed, kDefault, kFocused, kHighlighted, kDisabled };

    SkinButton(SkinWindowObject* parent, uint32_t kind);

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;
    // Parent's background (6037), then Draw, through a memory DC.
    void Redraw() override;

    // The state whose image the button shows now.
    State ChooseState();
    bool IsDefault() const { return default_; }

private:
    SkinButtonData* Data() const;
    // The window region: the normal image's pixels that are not the key.
    void BuildButtonRegion();
    void PaintInto(HDC target);
};

// Check box and radio: the same drawing on their own data.
class SkinCheckBase : public SkinButtonBase {
public:
    // The sets of the CheckBox / Radio object, in stored order.
    enum Set {
        kNormal, kSelected, kDisabled, kGrayedNormal, kGrayedSelected, kHighlightedNormal, kHighlightedSelected
    };
    // The set a state shows, and the sets its background and box fall
    // back to (-1: none), for the state the button is in now.
    struct Look {
        int set;
        int background[2];
        int box[2];
    };

    SkinCheckBase(SkinWindowObject* parent, uint32_t kind);

    void Draw(HDC hdc) override;
    Look ChooseLook();

protected:
    SkinCheckData* Data() const;
};

class SkinCheckBox : public SkinCheckBase {
public:
    SkinCheckBox(SkinWindowObject* parent, uint32_t kind) : SkinCheckBase(parent, kind) {}
    // Auto check boxes: unchecked -> checked -> unchecked; auto three-state
    // boxes also pass through indeterminate.
    void OnClick() override;
};

class SkinRadio : public SkinCheckBase {
public:
    SkinRadio(SkinWindowObject* parent, uint32_t kind) : SkinCheckBase(parent, kind) {}
    // Auto radio buttons check themselves and uncheck the rest of their
    // group (up to the next sibling with WS_GROUP).
    void OnClick() override;
};

class SkinGroupBox : public SkinWindowBase {
public:
    SkinGroupBox(SkinWindowObject* parent, uint32_t kind);

    // Transparent while skinned, so that what lies inside shows through.
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(HDC hdc) override;

    // The caption band drawn last (full frame width), client coordinates.
    const RECT& LastCaption() const { return lastCaption_; }

private:
    SkinGroupBoxData* Data() const;
    // Copies the background owner's picture of rect into hdc.
    void PaintOwnerBackground(HDC hdc, const RECT& rect);
    void InvalidateInParent(const RECT& rect);

    bool restoreCaption_ = false;  // the old caption band must be repainted first
    RECT lastCaption_ = {};        // caption band of the last paint
};

#endif
