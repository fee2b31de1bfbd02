// SkinWindowObject: the base of every object that takes a window over to
// draw it from the skin (frame, shaped-window and dialog skinners, the
// popup menu and tooltip windows, every control skinner).
//
// Attach subclasses the window: the object is kept in the window property
// "OBJECT" and StaticWindowProc hands every message to WindowProc, which
// answers the few the base knows and passes the rest to the window's
// previous procedure. A subclass put over ours keeps working when the
// object goes: ours then stays in the chain and only passes messages on.
// BindSkinData takes a skin object, builds the window elements its
// children describe (caption buttons, images, caption texts) and skins the
// child windows. The nine frame parts are laid out for the window size
// (LayoutParts), drawn (DrawFrame, DrawBackground) and turned into a
// window region (BuildRegion) from the parts' key-colour regions.
//
// For the skinners: override the virtual operations below; keep every
// message you do not answer flowing to WindowProc of this base (or of your
// direct base). Give window regions to the window with ApplyWindowRegion,
// which leaves their deletion to the system. Windows only.
#ifndef QUORBEL_SKIN_CORE_SKIN_WINDOW_H
#define QUORBEL_SKIN_CORE_SKIN_WINDOW_H

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "skin/core/skin_data.h"
#include "skin/core/skin_item.h"

class SkinProcChain;

class SkinWindowObject : public SkinItem {
public:
    // The window property that ties a window to its object.
    static constexpr const char* kObjectProperty = "OBJECT";
    // The procedure StaticWindowProc passes on to, kept while it lies in
    // the window's chain: with no object it only passes messages on.
    static constexpr const char* kPassThroughProperty = "OBJECT_NEXT";

    SkinWindowObject();
    ~SkinWindowObject() override;

    // --- virtual operations, in the order the skinners know them ---------
    // DrawFrame (hdc, inactive) then DrawBackground (hdc, inactive).
    void Paint(HDC hdc) override;
    // Binds a skin object: key colour and transparency from the skin's
    // Application object, the elements of its children, the child windows'
    // skinners and the nine part rectangles. Returns the previous object.
    virtual SkinDataObject* BindSkinData(SkinDataObject* object);
    virtual HMENU GetMenu();
    virtual BOOL SetMenu(HMENU menu);
    // Private message 6036 (menu key); non-zero consumes the key.
    virtual LRESULT OnMenuKey(WPARAM key, LPARAM keyData) { return 0; }
    // Non-zero keeps the skinner when a new skin has no object for it.
    virtual BOOL KeepOnReskin() { return FALSE; }
    // An object of the library's own window class (OwnWindowProc): another
    // skin came; take its object of the bound one's name or type (none
    // when it has neither) before the old skin goes.
    virtual void OnSkinReplaced();
    // WM_NCDESTROY: the manager removes and deletes this object, then the
    // message reaches the previous procedure.
    virtual LRESULT OnNcDestroy();
    // The frame skinner's active MDI child; none here.
    virtual HWND GetActiveMdiChild(BOOL* maximized) { return nullptr; }
    virtual void GetWindowRect(RECT* out);
    virtual void DrawBackground(HDC hdc, BOOL active);
    virtual void DrawFrame(HDC hdc, BOOL active);
    // Unskins the children, gives the region back, restores the procedure
    // (when no later subclass lies over ours).
    virtual void Detach();
    // Takes the window over; 0 on failure (nothing is left changed).
    virtual BOOL Attach(HWND window);
    // Restores the procedure and property of a window in destruction (no
    // messages are sent).
    virtual void DetachForDestroy();
    virtual void OnShowWindow(BOOL shown, LPARAM status) {}
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Space taken off the frame below the top parts (the menu bar).
    virtual void GetInsets(RECT* out) { SetRectEmpty(out); }
    virtual void AfterFrame(HDC hdc) {}
    // The window region from the parts' key-colour regions (and caption
    // texts); null unless the skin uses its transparent colour.
    virtual HRGN BuildRegion();
    virtual void DrawCaption(HDC hdc, BOOL active) {}
    // Child skinners answer their parent's colour messages (edit, list box).
    virtual LRESULT OnCtlColorEdit(HDC hdc) { return 0; }
    virtual LRESULT OnCtlColorStatic(HDC hdc) { return 0; }

    // --- the procedure and the child skinners ---------------------------
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The procedure of a window class the library registers for objects of
    // its own (popup menus, the tooltip): CreateWindowEx's parameter is the
    // SkinWindowObject*, kept in kOwnObjectProperty (the object removes it
    // when the window goes), and each message goes to its WindowProc.
    static constexpr const char* kOwnObjectProperty = "this";
    static LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Gives a child window its skinner (the child's own children first);
    // 0 when the child's class has no skin kind.
    int CreateChildSkinner(HWND child, SkinDataObject* object);
    void SkinChildren(HWND window, SkinDataObject* object);
    void UnskinChildren(HWND window);
    // Forgets a child skinner; 1 when there was one.
    int RemoveChild(HWND child);
    // The skin type that draws a window (its class, refined by style).
    static uint32_t GetSkinKind(HWND child);
    // A new skinner for a child window kind, from the skinner table.
    SkinWindowObject* CreateSkinner(uint32_t type, SkinWindowObject* parent);

    // --- geometry and drawing helpers -------------------------------------
    HWND GetWindow() const { return window_; }
    WNDPROC GetPreviousProc() const { return previousProc_; }
    bool IsDestroyed() const { return destroyed_; }
    // The window rectangle moved to 0, 0.
    RECT GetWindowBounds();
    // The nine parts of the skin object fitted to size (width, height).
    void LayoutParts(SIZE size);
    const RECT& GetPart(int i) const { return parts_[i]; }
    // 0 for a modal-frame dialog, else whether WS_THICKFRAME is set.
    BOOL IsSizable();
    BOOL IsActive();
    // Sizes the window so that its client area keeps its size inside the
    // frame parts and insets.
    void FitFrameToClient();
    void DrawElements(HDC hdc);
    // Non-zero when an element other than a caption text is under the point,
    // or when an element's action destroyed, unskinned or reskinned the
    // window: callers that get non-zero touch nothing more of this object.
    int MouseToElements(UINT message, WPARAM wParam, LPARAM lParam);
    HRGN RegionFromPart(int i);
    BOOL SizeChanged();
    SIZE GetMinimumSize();
    HWND GetTopLevelWindow();
    // Repaints a window-relative rectangle of the non-client area.
    void RedrawNcRect(const RECT& rect);
    RECT GetCaptionRect();
    // Copies what lies behind child from this window's painted background
    // (memoryDC, client coordinates) into hdc.
    void PaintChildBackground(HDC hdc, HWND child, HDC memoryDC);
    // A skinned Static child: NULL_BRUSH; a skinned Edit child: its static
    // colours; else the previous procedure.
    LRESULT OnCtlColorStatic(HDC hdc, HWND control);
    void SetPopupPlacement(const int32_t record[5]);
    const int32_t* GetPopupPlacement() const { return popupPlacement_; }
    // A caption text's hit code, HTCAPTION on a caption button, else 0.
    int NcHitTestElements(POINT point);
    // The first of the records that is not empty, else the second.
    static const SkinImageRef& ChooseImage(const SkinImageRef& first, const SkinImageRef& second,
                                           const SkinImageRef* third = nullptr);
    static const SkinLayoutImage& ChooseImage(const SkinLayoutImage& first, const SkinLayoutImage& second,
                                              const SkinLayoutImage* third = nullptr);
    // An enclosing sibling tab control, else the parent.
    HWND GetBackgroundOwner();
    // The state of the caption button named `name` (case ignored).
    BOOL GetElementState(const char* name, int* out);
    // Minimized: paints the iconic image (and caption, elements); 1 when painted.
    BOOL DrawIconic(const SkinLayoutImage& active, const SkinLayoutImage& inactive);
    BOOL IsRtlReading();
    POINT ScreenToWindow(POINT point);
    POINT WindowToScreen(POINT point);

    // Hands a region to the window (the system owns it from then on) and
    // remembers that the window has one.
    void ApplyWindowRegion(HRGN region, BOOL redraw);

    COLORREF GetKeyColor() const { return keyColor_; }
    BOOL IsTransparent() const { return transparent_; }
    BOOL DrawsCaptionText() const { return drawCaptionText_; }
    const std::vector<std::unique_ptr<SkinElement>>& Elements() const { return elements_; }
    const std::map<HWND, SkinWindowObject*>& ChildSkinners() const { return children_; }
    void SetLastSize(const RECT& rect) { lastSize_ = rect; }
    const RECT& GetLastSize() const { return lastSize_; }

protected:
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing: this base's WindowProc, which passes what it does
    // not answer to the previous procedure. It can run for long (the
    // system's move loop) and dispatch what destroys the window, deleting
    // this object: callers save the handle first and look at
    // StillSkinnedBy before they touch the object again.
    virtual LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing with another style on the window meanwhile; the
    // old style goes back to a window that still exists.
    LRESULT WithStyle(LONG style, UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing with the window's updates locked.
    LRESULT WithUpdateLocked(UINT message, WPARAM wParam, LPARAM lParam);
    // Whether window still exists and still has object in its "OBJECT"
    // property; reads nothing of object, which may be deleted.
    static bool StillSkinnedBy(HWND window, const SkinWindowObject* object);

    RECT parts_[9];              // the frame parts laid out for the window size
    HWND window_ = nullptr;      // the attached window
    WNDPROC previousProc_ = nullptr;  // its procedure before Attach
    std::vector<std::unique_ptr<SkinElement>> elements_;  // from the object's children
    unsigned elementsBuilt_ = 0;  // counts the rebuilds of elements_
    std::map<HWND, SkinWindowObject*> children_;  // child skinners made here (the manager owns them)
    RECT lastSize_;              // the window rectangle last laid out
    bool destroyed_ = false;     // WM_NCDESTROY has arrived
    bool drawCaptionText_ = true;  // no caption-text child shows the title
    int32_t popupPlacement_[5] = {};  // set by the popup menu code
    BOOL transparent_ = FALSE;   // the skin's USETRANSPARENTCOLOR
    COLORREF keyColor_ = 0xFF00FF;  // the skin's key colour
    bool hasRegion_ = false;     // a region was given to the window

private:
    // Takes the object off the window: the procedure goes back when ours
    // is on top, else ours stays in the chain as a pass-through.
    void LeaveProcedureChain();
    // Our procedure's place in the window's subclass chain.
    static const SkinProcChain& ProcChain();
    // Whether (and which) caption buttons the window's style allows.
    void UpdateCaptionButtons();
    void DrawPart(HDC hdc, int i, BOOL active);
};

#endif
