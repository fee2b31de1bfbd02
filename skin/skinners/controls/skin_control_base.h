// The bases of the control skinners.
//
// SkinWindowBase: every control skinner (one per child-window kind, made by
// the skin manager's factory when a child of a skinned window appears). It
// finds the control's own skin object (by control id in the parent
// skinner's object, else the kind's first object), applies the skin font
// and placement, paints through a memory DC (Draw), tracks the mouse for
// hover looks and tooltips, and gives the control its font back on detach.
//
// SkinButtonBase: push button, check box and radio - takes the button's
// mouse and keyboard handling over, so the system button procedure never
// sees clicks.
//
// SkinScrollableBase: controls that paint their own content (edit, list
// box, list and tree views, IP address): skinned scroll bars, a skinned
// border, and on Windows 98 / ME the resynchronisation of the bars.
// Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_CONTROL_BASE_H
#define QUORBEL_SKIN_SKINNERS_SKIN_CONTROL_BASE_H

#include <windows.h>

#include <cstdint>
#include <functional>

#include "skin/core/skin_window.h"

class SkinControlData;

// Looks the skin gives for one orientation only are turned with the image
// class: the picture turned by angle degrees (90 clockwise, 270
// anticlockwise as shown) as a new bitmap the caller deletes; null on
// failure.
HBITMAP SkinRotateBitmap(HBITMAP picture, float angle);
// A bitmap stretched into dest; with key, that colour stays transparent.
void SkinBlitBitmap(HDC hdc, const RECT& dest, HBITMAP bitmap, const COLORREF* key);
// A memory DC's picture turned by angle and stretched into dest.
void SkinBlitRotated(HDC hdc, const RECT& dest, HDC pictureDC, int width, int height, float angle,
                     const COLORREF* key);
// For skins that draw a control lying down: drawLying paints a picture of
// dest's size on its side (0, 0, height, width), which is turned
// anticlockwise into dest (its left edge comes to the bottom).
void SkinDrawTurned(HDC hdc, const RECT& dest, const std::function<void(HDC, const RECT&)>& drawLying);

class SkinWindowBase : public SkinWindowObject {
public:
    // parent: the skinner of the window whose skin object holds the
    // control's own object (null without one); kind: the skin type.
    SkinWindowBase(SkinWindowObject* parent, uint32_t kind);
    ~SkinWindowBase() override;

    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    // The Tooltip child (id 0) of the parent skinner's object, else of the
    // own object, else the skin's.
    SkinDataObject* GetTooltipData() override;
    LRESULT OnNcDestroy() override;
    void Detach() override;
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Paints the client area into hdc; every control skinner has its own.
    virtual void Draw(HDC hdc) {}
    // The mouse left the control.
    virtual void OnMouseLeave();
    // WM_PAINT through a memory DC of the client size.
    virtual void PaintBuffered();
    // Draw() into a memory DC of the client size, then copied to dc, only
    // inside clip when one is given (on top of dc's own clipping).
    void DrawThroughMemory(HDC dc, HRGN clip = nullptr);
    // The message handled as usual, then the skin's picture repainted at
    // once (the control may have drawn over it); the window may be gone.
    LRESULT HandleThenRepaint(UINT message, WPARAM wParam, LPARAM lParam);

    uint32_t GetKind() const { return kind_; }
    HWND GetParentWindow() const { return parentWindow_; }
    bool IsHovered() const { return hover_; }
    // The bound object as a control object (null for other types).
    SkinControlData* ControlData() const;
    // The control's own object in the parent skinner's object (by kind and
    // control id; a rich edit also tries the edit kind), or null.
    SkinDataObject* FindPerControlObject(HWND window) const;
    // Posts the skin font (recording the control's own first); nothing for
    // progress bars, scroll bars, sliders and spins.
    void ApplySkinFont(HFONT font, BOOL redraw);
    // The font the control had before the skin's; valid when HasSavedFont.
    HFONT GetSavedFont() const { return savedFont_; }
    bool HasSavedFont() const { return hasSavedFont_; }

protected:
    // Kinds that keep their own font (they draw no text of the skin's).
    bool KeepsOwnFont() const;
    // The base procedure, with the recorded "Button" procedure standing in
    // for a procedure handle on Windows XP.
    LRESULT BaseProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The skin object's font and placement for the control.
    void ApplyObjectFontAndPlace(BOOL redrawFont);
    // The control procedure with WS_VISIBLE off meanwhile, so that the
    // system control does not paint its own look over the skin's.
    LRESULT CallHidden(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's font (WM_GETFONT), or null.
    HFONT ControlFont();
    // Windows XP hands out procedure handles instead of addresses for
    // some subclassed system controls.
    bool PreviousIsProcHandle() const;
    // Adds extended style bits the skin needs; Detach takes off again those
    // the control did not have. Returns the extended style as it was.
    LONG AddExStyleForSkin(HWND window, LONG bits);

    HFONT savedFont_ = nullptr;   // WM_GETFONT before the skin font came
    bool hasSavedFont_ = false;   // savedFont_ holds the control's font
    bool fontRecordPending_ = false;  // 6038 posted, not yet handled
    bool hover_ = false;          // the mouse is inside the control
    LONG addedExStyle_ = 0;       // extended style bits the skin added
    HWND parentWindow_ = nullptr; // the parent skinner's window, or null
    uint32_t kind_;               // skin type of the control
};

class SkinButtonBase : public SkinWindowBase {
public:
    SkinButtonBase(SkinWindowObject* parent, uint32_t kind);

    // Owner-drawn buttons keep their own look (0).
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A click by mouse or space bar: check boxes and radios change state.
    virtual void OnClick() {}
    // Draws the button now (outside WM_PAINT).
    virtual void Redraw();

    bool IsPressed() const { return pressed_; }

protected:
    // Tells the parent: WM_COMMAND with BN_CLICKED, posted.
    void PostClicked();
    bool InsideClient(LPARAM point) const;
    // Ends a press without a click: the capture goes, the look comes back.
    void EndPress();

    bool pressed_ = false;   // mouse or space bar held on the button
    bool default_ = false;   // BS_DEFPUSHBUTTON (push buttons)
    int state_ = 0;          // spare state (0)
};

// What the scrollable controls need of the skinned scroll bars. Their
// own file fills it in; without it the controls keep the system's bars.
struct SkinScrollBarHooks {
    BOOL (*initialize)(HWND window);
    HRESULT (*uninitialize)(HWND window);
    BOOL (*setStyle)(HWND window, int bar, int style);
    BOOL (*setSize)(HWND window, int bar, int length, int width);
    BOOL (*setMinThumbSize)(HWND window, int bar, int size);
    BOOL (*getScrollInfo)(HWND window, int bar, SCROLLINFO* info);
    int (*setScrollInfo)(HWND window, int bar, SCROLLINFO* info, BOOL redraw);
};
// null takes the hooks out again.
void SkinSetScrollBarHooks(const SkinScrollBarHooks* hooks);
const SkinScrollBarHooks* SkinGetScrollBarHooks();

class SkinScrollableBase : public SkinWindowBase {
public:
    SkinScrollableBase(SkinWindowObject* parent, uint32_t kind);

    // Control binding, then the scroll-bar sizes again.
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    // The skinned scroll bars go first.
    void Detach() override;
    // Control attach, then 6029 posted (skin the bars once the control
    // has settled).
    BOOL Attach(HWND window) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The border from the skin around what the control paints itself.
    virtual void OnNcPaint(HRGN region);
    // Border widths of the extended styles: client edge, modal frame,
    // static edge.
    SIZE BorderWidths() const;
    // New style = (style & ~remove) | add; 0 when unchanged. With flags,
    // SetWindowPos(flags | no size, move, z-order, activation).
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags);
    void Invalidate();

    bool ScrollBarsSkinned() const { return scrollBarsSkinned_; }

protected:
    // Whether the control's content (and so its scroll bars) may have
    // moved by this message; such messages are followed by 6042 on
    // Windows 98 and ME.
    virtual bool ChangesContent(UINT message, WPARAM wParam, LPARAM lParam) { return false; }
    // Windows 98 / ME, after the control processed a message: 6042 after
    // content changes, the bar reloaded after scrolling.
    void ResyncAfter(UINT message, WPARAM wParam, LPARAM lParam);
    // 6029: the control's bars become skinned bars of the skin's ScrollBar
    // object.
    void SkinScrollBars();
    // Sizes of the ScrollBar object applied to both bars.
    void ApplyScrollBarSizes();
    // 6042 (Windows 98 / ME): the skinned bars take the control's own
    // scroll information over.
    void ResyncScrollBars();
    void ResyncScrollBar(int bar);
    // Windows 98 and ME keep the system's scroll information apart.
    static bool NeedsResync();

    bool scrollBarsSkinned_ = false;  // 6029 handled with a ScrollBar object
};

#endif
