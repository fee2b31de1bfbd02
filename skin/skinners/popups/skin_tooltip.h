// SkinTooltip: the library's one tooltip - a top-most popup that shows
// rich text (drawn by its HtmlTextRenderer) in a frame painted from the
// skin's Tooltip object (its own defaults when none is bound), after the
// object's show delay, near the cursor, and hides itself after the hide
// delay or when the mouse enters it and leaves again. The library start
// makes the one instance; skinned items ask it for their texts through
// SkinTooltipService, on any thread: its state is locked, and the window
// itself is shown and hidden only by its own thread. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_TOOLTIP_H
#define QUORBEL_SKIN_SKINNERS_SKIN_TOOLTIP_H

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_window.h"
#include "skin/richtext/html_text_renderer.h"

class SkinTooltipData;

// The tooltip's window class.
constexpr const char* kTooltipClass = "VeneerKitTooltip32";

// Something that knows the tooltip text for a screen point (the skinned
// item that asked for the tooltip may implement it).
class SkinTooltipTextSource {
public:
    virtual ~SkinTooltipTextSource() = default;
    virtual std::string GetTooltipText(POINT screen) = 0;
};

class SkinTooltip : public SkinWindowObject, public SkinTooltipService {
public:
    enum : UINT_PTR {
        kShowTimer = 1000,  // the show delay
        kHideTimer = 1010,  // the hide delay
    };

    SkinTooltip();
    ~SkinTooltip() override;

    BOOL Create(HWND owner);
    void Destroy();
    void SetResourceInstance(HINSTANCE module) { renderer_.SetResourceInstance(module); }
    void SetTextSource(SkinTooltipTextSource* source)
    {
        std::lock_guard<std::recursive_mutex> guard(state_);
        source_ = source;
    }
    // Hides, stores the text and the point (the cursor when null) and,
    // unless the text is "", shows it after the show delay.
    void ShowText(const char* text, const POINT* point);
    HtmlTextRenderer& GetRenderer() { return renderer_; }
    std::string GetText() const;
    POINT GetPoint() const;

    // --- the window object ----------------------------------------------
    // Only a Tooltip object is taken (its style sheet goes to the
    // renderer); anything else leaves the defaults in use.
    SkinDataObject* BindSkinData(SkinDataObject* object) override;
    void OnSkinReplaced() override;
    // The text to show.
    void SetName(const char* text) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- SkinTooltipService ------------------------------------------------
    HWND GetWindow() override { return window_; }
    SkinItem* GetOwnerItem() override;
    // Hides the window and stops both timers.
    void Hide() override;
    void HideFor(SkinItem* owner) override;
    void ShowFor(SkinItem* owner, SkinDataObject* tooltipData, const char* text) override;

    // For an end on another thread than the window's: Windows lets only
    // that thread destroy the window, so it is asked to, and the object
    // goes with its window there. False when the window could not be
    // asked (the caller deletes the object).
    bool DestroyOnWindowThread();

private:
    SkinTooltipData* Data();
    bool OnOwnThread() const;
    // Hides the window and starts the show delay for the stored text (none
    // for ""); on the window's thread.
    void StartShowDelay();
    // Measures, places and shows the stored text; starts the hide delay.
    void Show();
    void PaintClient(HDC hdc);

    std::unique_ptr<SkinTooltipData> defaults_;  // used while no Tooltip object is bound
    HtmlTextRenderer renderer_;                  // draws the text
    std::string text_;                           // the text to show
    POINT point_ = {};                           // where (screen)
    SkinTooltipTextSource* source_ = nullptr;    // asked for the text at show time
    SkinItem* ownerItem_ = nullptr;              // the item the text is for
    bool tracked_ = false;                       // WM_MOUSELEAVE requested
    bool ownedByWindow_ = false;                 // deleted as its window goes
    // Guards the bound object, the renderer, the text, the point, the
    // source and the owner: items of any thread change them while the
    // window's thread paints. Taken before the skin manager's lock.
    mutable std::recursive_mutex state_;
};

// The library's tooltip while the library runs, else null.
SkinTooltip* GetSkinTooltipWindow();

#endif
