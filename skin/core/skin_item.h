// SkinItem: the root of everything the skin library attaches a skin data
// object to (window skinners and window elements); SkinElement: a window
// element, one piece of a window skin object's children that its window
// object draws into the non-client area and feeds with mouse messages.
//
// The window base creates one element per child object of types 3
// (CaptionButton), 22 (Area) and 38 (CaptionStatic) through the element
// table: RegisterSkinElementFactory puts a class in for a type. The plain
// image element (type 22) is registered here; the caption button
// (SkinButtonElement, skin/skinners/frames/skin_caption_button.h) and the caption
// text (SkinTextElement, skin/skinners/frames/skin_elements.h) register themselves
// from the skinners' files. A program linked without them draws those
// types as plain image elements.
// Windows only.
#ifndef QUORBEL_SKIN_CORE_SKIN_ITEM_H
#define QUORBEL_SKIN_CORE_SKIN_ITEM_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/core/skin_data.h"

class SkinWindowObject;

class SkinItem {
public:
    SkinItem() = default;
    SkinItem(const SkinItem&) = delete;
    SkinItem& operator=(const SkinItem&) = delete;
    virtual ~SkinItem();

    virtual void Paint(HDC hdc) {}
    // Attaches the object; returns the one attached before.
    virtual SkinDataObject* SetSkinData(SkinDataObject* object);
    virtual std::string GetName() const { return name_; }
    // Null sets "".
    virtual void SetName(const char* text) { name_ = text ? text : ""; }
    // The skin's Tooltip object (type 42), or null.
    virtual SkinDataObject* GetTooltipData();
    // Hides the library's tooltip when this item owns it.
    virtual void HideTooltip();
    // Shows the library's tooltip for this item's name (when not empty).
    virtual void ShowTooltip();

    // Shows the library's tooltip with text for this item after the
    // delay, the skin's Tooltip object bound (GetTooltipData).
    void ShowTooltipText(const char* text);

    SkinDataObject* GetSkinData() const { return data_; }
    // The attached object's NAME, or null.
    const char* GetSkinObjectName() const { return data_ ? data_->GetName() : nullptr; }
    // The attached object's type id; 0 without one.
    uint32_t GetSkinType() const { return data_ ? data_->GetType() : 0; }

private:
    std::string name_;              // tooltip key; "" at construction
    SkinDataObject* data_ = nullptr;  // attached skin object, not owned
};

// A window element: the plain image element (type 22) and the base of the
// caption text (type 38) and caption button (type 3) elements.
class SkinElement : public SkinItem {
public:
    // rect: window coordinates of the element (the object's RECT).
    SkinElement(const SkinRect& rect, SkinWindowObject* owner, SkinDataObject* object);

    // The object's image reference drawn into the rectangle, the object's
    // back colour as fallback.
    void Paint(HDC hdc) override;
    // The owner's skin object's Tooltip child, else the skin's.
    SkinDataObject* GetTooltipData() override;

    // Stores the flag and repaints the element on the owner window.
    virtual BOOL SetEnabled(BOOL enabled);
    virtual void OnRButtonUp(int x, int y) {}
    virtual void OnRButtonDown(int x, int y) {}
    virtual void OnMouseMove(int x, int y) {}
    virtual void OnLButtonUp(int x, int y) {}
    virtual void OnLButtonDown(int x, int y) {}
    virtual void OnLButtonDblClk(int x, int y) {}
    // Shown in the owner's state and the point (window-relative) inside.
    virtual BOOL HitTest(int x, int y);
    // Places the element for the owner's window rectangle (origin 0, 0):
    // on a FrameWnd owner the object's anchor value (ELEMENTVALUE) keeps it
    // to the right (4, 6), bottom (2, 8) or both (5) edges.
    virtual void Layout(const RECT& window);
    virtual void OnMouseLeave() {}

    // --- what the window base asks of every element -------------------
    // The caption button state (0 hot, 1 pressed, 3 normal); elements
    // without states answer 3.
    virtual int GetState() const { return 3; }
    // The non-client hit code a caption text element stands for; 0.
    virtual int GetHitTestCode() const { return 0; }
    // Combines the element's shape into the window region (caption text
    // elements); nothing here.
    virtual void CombineIntoRegion(HRGN region) {}

    // Calls the handler of the mouse message; returns 1.
    int DispatchMouse(UINT message, int x, int y);
    // The object's visibility condition against the owner window's state.
    bool IsShownInState() const;
    // Paints the element on the owner window's DC.
    void Repaint();

    const RECT& GetRect() const { return rect_; }
    void SetRect(const RECT& rect) { rect_ = rect; }
    BOOL IsEnabled() const { return enabled_; }
    SkinWindowObject* GetOwner() const { return owner_; }

protected:
    BOOL enabled_ = TRUE;        // disabled elements draw their disabled look
    RECT rect_;                  // window coordinates
    SkinWindowObject* owner_;    // the window object that holds the element
};

// Makes the element of a child object; registered per type.
typedef SkinElement* (*SkinElementFactory)(const SkinRect& rect, SkinWindowObject* owner,
                                           SkinDataObject* object);
void RegisterSkinElementFactory(uint32_t type, SkinElementFactory factory);
// The element for a child object of type 3, 22 or 38; null for others.
SkinElement* CreateSkinElement(uint32_t type, const SkinRect& rect, SkinWindowObject* owner,
                               SkinDataObject* object);

#endif
