// SkinManager: the library's one process-wide registry. It owns the
// current skin, maps each skinned window to its skinner, maps window class
// names to skin types, and creates the top-level skinners (frame, shaped
// window, named object, toolbar).
//
// Skinner classes are not known here: each registers a factory. Control
// skinners register per skin type (RegisterSkinner; the window base asks
// for them by the kind of a child window), the top-level skinners per role
// (RegisterTopLevelSkinner). A type or role without a factory gets no
// skinner: the window keeps its system look. Windows only.
#ifndef QUORBEL_SKIN_CORE_SKIN_MANAGER_H
#define QUORBEL_SKIN_CORE_SKIN_MANAGER_H

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "skin/core/skin_messages.h"

class SkinDataObject;
class SkinPackage;
class SkinWindowObject;
class SkinTooltipService;

// Makes a control skinner of a skin type for the parent skinner (null for
// the toolbar path of floating tool windows).
typedef SkinWindowObject* (*SkinnerFactory)(uint32_t type, SkinWindowObject* parent);
// Makes a top-level skinner.
typedef SkinWindowObject* (*TopLevelSkinnerFactory)();

enum class SkinTopLevelRole { kFrame, kShape, kNamed };

class SkinManager {
public:
    SkinManager();
    ~SkinManager();
    SkinManager(const SkinManager&) = delete;
    SkinManager& operator=(const SkinManager&) = delete;

    // The process-wide manager.
    static SkinManager& Instance();

    // --- the skinner tables (filled by the skinner files) ---------------
    // Each returns the factory registered before (null when none).
    static SkinnerFactory RegisterSkinner(uint32_t type, SkinnerFactory factory);
    static TopLevelSkinnerFactory RegisterTopLevelSkinner(SkinTopLevelRole role, TopLevelSkinnerFactory factory);
    // A control skinner for the type, or null (no factory).
    static SkinWindowObject* CreateSkinner(uint32_t type, SkinWindowObject* parent);
    static SkinWindowObject* CreateTopLevelSkinner(SkinTopLevelRole role);

    // --- the window map ------------------------------------------------
    SkinWindowObject* FindSkinObject(HWND window);
    // Frame skinner with the named FrameWnd object (the first one without
    // a name). 0 when the window has a skinner, the object is missing or of
    // another type, or the skinner cannot attach.
    BOOL SetFrameSkin(HWND window, const char* objectName);
    // The same with a ShapeWnd object and the shaped-window skinner.
    BOOL SetShapeSkin(HWND window, const char* objectName);
    // The named-object skinner with an object of any type.
    BOOL SetNamedSkin(HWND window, const char* objectName);
    // Toolbar skinner with the skin's ToolBar object.
    BOOL SetToolBarSkin(HWND window);
    // Enters the pair when the window has no skinner; 1 when entered.
    BOOL AddSkinner(SkinWindowObject* skinner, HWND window);
    // Puts skinner in for the window; an earlier one is detached and deleted.
    BOOL ReplaceObject(SkinWindowObject* skinner, HWND window);
    // Detaches (for destruction when destroying) and deletes the window's
    // skinner; 1 when it had one.
    BOOL RemoveSkin(HWND window, BOOL destroying);
    // The window or nearest ancestor skinned with a frame or shaped-window
    // object (or with none); child windows without a skinner are passed.
    SkinWindowObject* FindFrameObject(HWND window);
    // Makes package the current skin (taking it over) and rebinds every
    // skinner to it. 0 for a null package.
    BOOL InstallSkin(SkinPackage* package);
    // The current skin (an empty package until one is installed).
    SkinPackage* GetSkin();
    // Whether a skin has been installed since the last RemoveAll.
    bool HasInstalledSkin();
    // The class table lookup; 0 when absent.
    uint32_t GetSkinType(const char* className);
    // Detaches and deletes every skinner; the skin goes, an empty one comes.
    void RemoveAll();
    // The library's tooltip window, or null.
    SkinTooltipService* GetSkinTooltip();

    // The library's own windows (popup menus, the tooltip) are no skinners
    // of the map but bind objects of the current skin: each is sent
    // kSkinMsgReskin when another skin comes, before the old one can go.
    void AddOwnWindow(HWND window);
    void RemoveOwnWindow(HWND window);
    // The current skin's object of that name, else the first of that type
    // (null for neither); the caller pins the skin while it uses it.
    SkinDataObject* FindCurrentObject(const char* name, uint32_t type);

    // The skinned windows, in map order (tests and diagnostics).
    std::vector<HWND> Windows();

    // kSkinMsgReskin as the window's own thread receives it: the skinner
    // takes the current skin's object or lets the window go. A window is
    // destroyed only by its own thread, so its skinner cannot go meanwhile.
    LRESULT OnReskinMessage(HWND window, SkinWindowObject* skinner, WPARAM action);

    // The manager lock, for callers that read skinners across calls. It
    // guards the tables only: nothing holding it sends to a window or takes
    // the library lock (skin_ops.cpp), so a thread waiting for it never
    // waits for another thread's window.
    void Lock() { EnterCriticalSection(&lock_); }
    void Unlock() { LeaveCriticalSection(&lock_); }

    // Keeps the skin objects alive while its holder binds them without the
    // lock: a skin replaced meanwhile is freed when the last pin goes, and
    // the holder learns that it has to rebind.
    class Pin {
    public:
        Pin();
        ~Pin();
        Pin(const Pin&) = delete;
        Pin& operator=(const Pin&) = delete;
        // Whether another skin came since the pin was taken.
        bool SkinChanged() const;

    private:
        uint64_t generation_;
    };

    // The current skin, kept alive for the scope of this object: for a
    // lookup whose result is used while another thread may load a skin.
    class PinnedSkin {
    public:
        PinnedSkin() : skin_(SkinManager::Instance().GetSkin()) {}
        SkinPackage* operator->() const { return skin_; }
        SkinPackage* get() const { return skin_; }

    private:
        Pin pin_;  // taken first: the skin read after it stays
        SkinPackage* skin_;
    };

private:
    BOOL SetTopLevelSkin(HWND window, SkinTopLevelRole role, uint32_t type, const char* objectName,
                         bool anyType);
    // Enters a new skinner that its caller attaches without the lock; the
    // attach that fails takes it out again and deletes it.
    BOOL AttachNew(SkinWindowObject* skinner, HWND window, SkinDataObject* object, const Pin& pin);
    // Asks the window's thread to do the action; where the message does not
    // arrive (the window is gone, a procedure above ours keeps it), the
    // calling thread does it.
    void Reskin(HWND window, SkinWindowObject* skinner, SkinReskinAction action);
    void Rebind(HWND window, SkinWindowObject* skinner);
    // Whether skinner is still the window's (read under the lock).
    bool StillSkins(HWND window, SkinWindowObject* skinner);
    // Makes package the current skin; the old one waits for the last pin.
    void Replace(SkinPackage* package);
    // Tells the own windows to rebind (the old skin is still pinned).
    void RebindOwnWindows();
    std::vector<std::pair<HWND, SkinWindowObject*>> Entries();

    std::map<HWND, SkinWindowObject*> windows_;  // owned skinners by window
    std::map<std::string, uint32_t> classes_;    // class name -> skin type
    std::unique_ptr<SkinPackage> skin_;          // the current skin
    bool installed_ = false;                     // a skin was installed
    uint64_t generation_ = 0;                    // counts skin changes
    int pins_ = 0;                               // live Pin objects
    std::vector<std::unique_ptr<SkinPackage>> retired_;  // replaced, still pinned
    std::set<SkinWindowObject*> attaching_;      // entered, attach under way
    std::set<HWND> ownWindows_;                  // popup menus, the tooltip
    CRITICAL_SECTION lock_;                      // guards all of the above
};

// Holds the manager lock for a scope.
class SkinManagerLock {
public:
    SkinManagerLock() { SkinManager::Instance().Lock(); }
    ~SkinManagerLock() { SkinManager::Instance().Unlock(); }
    SkinManagerLock(const SkinManagerLock&) = delete;
    SkinManagerLock& operator=(const SkinManagerLock&) = delete;
};

// Registers a factory from a skinner's own file:
//   static SkinnerRegistrar reg(kSkinButton, &MakeButton);
struct SkinnerRegistrar {
    SkinnerRegistrar(uint32_t type, SkinnerFactory factory) { SkinManager::RegisterSkinner(type, factory); }
    SkinnerRegistrar(SkinTopLevelRole role, TopLevelSkinnerFactory factory)
    {
        SkinManager::RegisterTopLevelSkinner(role, factory);
    }
};

#endif
