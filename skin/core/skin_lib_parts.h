// Where the window parts that live outside the library core plug in: the
// popup menu and tooltip windows (their classes and the one tooltip), the
// scroll-bar and system-colour redirection, and the skinned scroll bars'
// sizes. Each part registers a SkinLibPart once (a static
// SkinLibPartRegistrar in its own file); the library's start calls the
// parts in registration order, its end in reverse order. Windows only.
#ifndef QUORBEL_SKIN_CORE_SKIN_LIB_PARTS_H
#define QUORBEL_SKIN_CORE_SKIN_LIB_PARTS_H

#include <windows.h>

class SkinItem;
class SkinDataObject;

struct SkinLibPart {
    const char* name;
    // Registers the part's window classes under the library instance at
    // the first start; FALSE fails the start (no code). May be null.
    BOOL (*registerClasses)(HINSTANCE instance);
    void (*unregisterClasses)(HINSTANCE instance);
    // Creates the part's process-wide windows (the one tooltip).
    void (*createWindows)(HINSTANCE instance);
    void (*destroyWindows)();
    // Installs and removes the function redirection for the OS class.
    void (*installRedirection)(int osClass);
    void (*removeRedirection)(int osClass);
    // Applies the skin's scroll-bar sizes to every window with skinned
    // scroll bars (bar size, minimum thumb size).
    void (*refreshScrollBars)(int barSize, int minThumb);
};

void SkinLibRegisterPart(const SkinLibPart* part);
// Takes a part out again (tests).
void SkinLibUnregisterPart(const SkinLibPart* part);
// The parts in registration order; count out.
const SkinLibPart* const* SkinLibParts(int* count);

struct SkinLibPartRegistrar {
    explicit SkinLibPartRegistrar(const SkinLibPart* part) { SkinLibRegisterPart(part); }
};

// Registers a window class of the library's own windows; a class left
// registered by an earlier start (one of its windows outlived the end) is
// the same class, taken again.
BOOL SkinLibRegisterOwnClass(const WNDCLASSEXA& windowClass);
// Once the library has ended, unregisters such a class; it stays while
// windows of it are still up (the last one to go takes it).
void SkinLibUnregisterOwnClassAfterEnd(const char* className);

// The library's one tooltip window, as the skinned items use it.
class SkinTooltipService {
public:
    virtual ~SkinTooltipService() = default;
    // The tooltip's window, or null.
    virtual HWND GetWindow() = 0;
    // The item the tooltip shows its text for, or null.
    virtual SkinItem* GetOwnerItem() = 0;
    virtual void Hide() = 0;
    // Hides and forgets the item when it is the owner; any thread (an item
    // that goes on its own thread is never asked for its text again).
    virtual void HideFor(SkinItem* owner) = 0;
    // Binds the Tooltip object, makes the item the owner (and text source)
    // and shows its text after the delay; any thread.
    virtual void ShowFor(SkinItem* owner, SkinDataObject* tooltipData, const char* text) = 0;
};
// Set by the tooltip part when it creates its window; null clears.
void SkinLibSetTooltip(SkinTooltipService* tooltip);
SkinTooltipService* SkinLibGetTooltip();

// The popup menu window, as the keyboard hook uses it.
class SkinPopupMenuService {
public:
    virtual ~SkinPopupMenuService() = default;
    // For a popup menu window: the window of the last submenu open in its
    // chain (the popup's own when none is open).
    virtual HWND LastOpenSubmenu(HWND popupWindow) = 0;
};
void SkinLibSetPopupMenuService(SkinPopupMenuService* service);
SkinPopupMenuService* SkinLibGetPopupMenuService();

// The popup menu window class (compared without case).
constexpr const char* kSkinPopupMenuClass = "VeneerKitPopupMenuWnd";

#endif
