#include "skin/core/skin_manager.h"

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"
#include "skin/core/skin_window.h"
#include "skin/core/skin_window_geometry.h"

namespace {

// The factory tables are filled from static constructors of the skinner
// files, in any order relative to this file: plain arrays need none.
const int kMaxType = 128;
SkinnerFactory g_skinners[kMaxType];
TopLevelSkinnerFactory g_topLevel[3];

// The one manager, built before the program's code runs.
SkinManager g_manager;

}  // namespace

SkinManager::SkinManager() : skin_(new SkinPackage())
{
    InitializeCriticalSection(&lock_);
    size_t count = 0;
    const SkinClassEntry* table = SkinClassTable(&count);
    for (size_t i = 0; i < count; ++i)
        classes_[table[i].className] = table[i].type;
}

SkinManager::~SkinManager()
{
    // Process end: windows still tied to a skinner get their procedures
    // back (nothing is sent to them), then the skinners and the skin go.
    EnterCriticalSection(&lock_);
    std::map<HWND, SkinWindowObject*> windows;
    windows.swap(windows_);
    for (auto& entry : windows) {
        if (entry.second->GetWindow() == entry.first && IsWindow(entry.first))
            entry.second->DetachForDestroy();
    }
    for (auto& entry : windows)
        delete entry.second;
    skin_.reset();
    LeaveCriticalSection(&lock_);
    DeleteCriticalSection(&lock_);
}

SkinManager& SkinManager::Instance() { return g_manager; }

SkinnerFactory SkinManager::RegisterSkinner(uint32_t type, SkinnerFactory factory)
{
    if (type >= uint32_t(kMaxType))
        return nullptr;
    SkinnerFactory previous = g_skinners[type];
    g_skinners[type] = factory;
    return previous;
}

TopLevelSkinnerFactory SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole role, TopLevelSkinnerFactory factory)
{
    TopLevelSkinnerFactory previous = g_topLevel[int(role)];
    g_topLevel[int(role)] = factory;
    return previous;
}

SkinWindowObject* SkinManager::CreateSkinner(uint32_t type, SkinWindowObject* parent)
{
    // Rich edits share the edit skinner.
    if (type == kSkinRichEdit && !g_skinners[type])
        type = kSkinEdit;
    if (type >= uint32_t(kMaxType) || !g_skinners[type])
        return nullptr;
    return g_skinners[type](type, parent);
}

SkinWindowObject* SkinManager::CreateTopLevelSkinner(SkinTopLevelRole role)
{
    TopLevelSkinnerFactory factory = g_topLevel[int(role)];
    return factory ? factory() : nullptr;
}

SkinWindowObject* SkinManager::FindSkinObject(HWND window)
{
    SkinManagerLock lock;
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second;
}

BOOL SkinManager::SetTopLevelSkin(HWND window, SkinTopLevelRole role, uint32_t type, const char* objectName,
                                  bool anyType)
{
    Pin pin;
    SkinWindowObject* skinner = nullptr;
    SkinDataObject* object = nullptr;
    {
        SkinManagerLock lock;
        if (!window || windows_.count(window))
            return FALSE;
        if (anyType) {
            if (!objectName)
                return FALSE;
            object = skin_->FindObject(objectName);
        } else {
            object = objectName ? skin_->FindObject(objectName) : skin_->FindObjectByType(type);
            if (object && object->GetType() != type)
                object = nullptr;
        }
        if (!object)
            return FALSE;
        skinner = CreateTopLevelSkinner(role);
        if (!skinner)
            return FALSE;
        windows_[window] = skinner;
        attaching_.insert(skinner);
    }
    return AttachNew(skinner, window, object, pin);
}

BOOL SkinManager::AttachNew(SkinWindowObject* skinner, HWND window, SkinDataObject* object, const Pin& pin)
{
    // Binding and attaching send to the window: without the lock.
    skinner->BindSkinData(object);
    const BOOL attached = skinner->Attach(window);
    {
        SkinManagerLock lock;
        attaching_.erase(skinner);
    }
    if (!attached) {
        {
            SkinManagerLock lock;
            auto it = windows_.find(window);
            if (it != windows_.end() && it->second == skinner)
                windows_.erase(it);
        }
        delete skinner;
        return FALSE;
    }
    // A skin loaded meanwhile found the skinner not yet attached.
    if (pin.SkinChanged())
        Reskin(window, skinner, kSkinReskinRebind);
    return TRUE;
}

BOOL SkinManager::SetFrameSkin(HWND window, const char* objectName)
{
    return SetTopLevelSkin(window, SkinTopLevelRole::kFrame, kSkinFrameWnd, objectName, false);
}

BOOL SkinManager::SetShapeSkin(HWND window, const char* objectName)
{
    return SetTopLevelSkin(window, SkinTopLevelRole::kShape, kSkinShapeWnd, objectName, false);
}

BOOL SkinManager::SetNamedSkin(HWND window, const char* objectName)
{
    return SetTopLevelSkin(window, SkinTopLevelRole::kNamed, 0, objectName, true);
}

BOOL SkinManager::SetToolBarSkin(HWND window)
{
    Pin pin;
    SkinWindowObject* skinner = nullptr;
    SkinDataObject* object = nullptr;
    {
        SkinManagerLock lock;
        if (!window || windows_.count(window))
            return FALSE;  // one skinner per window, as for the top-level roads
        object = skin_->FindObjectByType(kSkinToolBar);
        if (!object)
            return FALSE;
        skinner = CreateSkinner(kSkinToolBar, nullptr);
        if (!skinner)
            return FALSE;
        windows_[window] = skinner;
        attaching_.insert(skinner);
    }
    return AttachNew(skinner, window, object, pin);
}

BOOL SkinManager::AddSkinner(SkinWindowObject* skinner, HWND window)
{
    SkinManagerLock lock;
    if (!skinner || !window || windows_.count(window))
        return FALSE;
    windows_[window] = skinner;
    return TRUE;
}

BOOL SkinManager::ReplaceObject(SkinWindowObject* skinner, HWND window)
{
    if (!skinner || !window)
        return FALSE;
    SkinWindowObject* old = nullptr;
    {
        SkinManagerLock lock;
        auto it = windows_.find(window);
        if (it != windows_.end() && it->second != skinner)
            old = it->second;
        windows_[window] = skinner;
    }
    if (old) {
        old->Detach();  // sends to the window: without the lock
        delete old;
    }
    return TRUE;
}

BOOL SkinManager::RemoveSkin(HWND window, BOOL destroying)
{
    SkinWindowObject* skinner = nullptr;
    {
        SkinManagerLock lock;
        auto it = windows_.find(window);
        if (it == windows_.end())
            return FALSE;
        skinner = it->second;
        // Out of the map first: the detach comes back here for children.
        windows_.erase(it);
    }
    // Detaching sends to the window: without the lock.
    if (destroying)
        skinner->DetachForDestroy();
    else
        skinner->Detach();
    delete skinner;
    return TRUE;
}

SkinWindowObject* SkinManager::FindFrameObject(HWND window)
{
    SkinManagerLock lock;
    while (window) {
        auto it = windows_.find(window);
        if (it != windows_.end()) {
            const uint32_t type = it->second->GetSkinType();
            if (type == kSkinFrameWnd || type == kSkinShapeWnd || !it->second->GetSkinData())
                return it->second;
        } else {
            const LONG style = GetWindowLongA(window, GWL_STYLE);
            const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
            if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD))
                return nullptr;
        }
        window = GetParent(window);
    }
    return nullptr;
}

BOOL SkinManager::InstallSkin(SkinPackage* package)
{
    if (!package)
        return FALSE;
    // The skinners still hold objects of the old skin until rebound.
    Pin pin;
    Replace(package);
    {
        SkinManagerLock lock;
        installed_ = true;
    }
    RebindOwnWindows();
    const BOOL locked = LockWindowUpdate(GetDesktopWindow());
    // Each window is told and rebound with no lock held: a window of another
    // thread answers only when that thread is free to, which may need the
    // lock. Rebinding may create and remove skinners: each is looked up
    // again.
    for (const auto& entry : Entries()) {
        if (!StillSkins(entry.first, entry.second))
            continue;
        SendMessageA(entry.first, WM_SYSCOLORCHANGE, 0, 0);
        if (StillSkins(entry.first, entry.second))
            Reskin(entry.first, entry.second, kSkinReskinRebind);
    }
    std::vector<SkinWindowObject*> stale;
    {
        SkinManagerLock lock;
        for (auto it = windows_.begin(); it != windows_.end();) {
            // Attached to another window since; one not attached yet is
            // left to the thread attaching it.
            HWND attached = it->second->GetWindow();
            if (attached && attached != it->first && !attaching_.count(it->second)) {
                stale.push_back(it->second);
                it = windows_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (SkinWindowObject* skinner : stale)
        delete skinner;
    {
        SkinManagerLock lock;
        SetSkinStreamVersion(skin_->GetMajor(), skin_->GetMinor());
    }
    if (locked)
        LockWindowUpdate(nullptr);
    return TRUE;
}

SkinDataObject* SkinManager::FindCurrentObject(const char* name, uint32_t type)
{
    SkinManagerLock lock;
    SkinDataObject* object = name ? skin_->FindObject(name) : nullptr;
    if (!object && type)
        object = skin_->FindObjectByType(type);
    return object;
}

void SkinManager::AddOwnWindow(HWND window)
{
    SkinManagerLock lock;
    ownWindows_.insert(window);
}

void SkinManager::RemoveOwnWindow(HWND window)
{
    SkinManagerLock lock;
    ownWindows_.erase(window);
}

void SkinManager::RebindOwnWindows()
{
    // Sent with no lock held, as to the skinners: each rebinds on its own
    // thread, where it paints.
    std::vector<HWND> windows;
    {
        SkinManagerLock lock;
        windows.assign(ownWindows_.begin(), ownWindows_.end());
    }
    for (HWND window : windows) {
        {
            SkinManagerLock lock;
            if (!ownWindows_.count(window))
                continue;  // gone meanwhile
        }
        SendMessageA(window, kSkinMsgReskin, kSkinReskinRebind, 0);
    }
}

void SkinManager::Replace(SkinPackage* package)
{
    SkinManagerLock lock;
    retired_.push_back(std::move(skin_));
    skin_.reset(package);
    ++generation_;
}

std::vector<std::pair<HWND, SkinWindowObject*>> SkinManager::Entries()
{
    SkinManagerLock lock;
    return std::vector<std::pair<HWND, SkinWindowObject*>>(windows_.begin(), windows_.end());
}

bool SkinManager::StillSkins(HWND window, SkinWindowObject* skinner)
{
    SkinManagerLock lock;
    auto it = windows_.find(window);
    return it != windows_.end() && it->second == skinner && !attaching_.count(skinner);
}

void SkinManager::Reskin(HWND window, SkinWindowObject* skinner, SkinReskinAction action)
{
    if (SendMessageA(window, kSkinMsgReskin, action, 0) == kSkinReskinDone)
        return;
    if (!StillSkins(window, skinner))
        return;  // it went meanwhile
    if (!IsWindow(window)) {
        RemoveSkin(window, TRUE);
        return;
    }
    if (skinner->GetWindow() != window)
        return;  // not attached yet: the thread attaching it rebinds
    if (action == kSkinReskinDetach)
        RemoveSkin(window, FALSE);
    else
        Rebind(window, skinner);
}

LRESULT SkinManager::OnReskinMessage(HWND window, SkinWindowObject* skinner, WPARAM action)
{
    if (StillSkins(window, skinner)) {
        if (action == kSkinReskinDetach)
            RemoveSkin(window, FALSE);
        else
            Rebind(window, skinner);
    }
    return kSkinReskinDone;
}

void SkinManager::Rebind(HWND window, SkinWindowObject* skinner)
{
    Pin pin;
    SkinDataObject* object = nullptr;
    {
        SkinManagerLock lock;
        auto it = windows_.find(window);
        if (it == windows_.end() || it->second != skinner)
            return;
        object = FindCurrentObject(skinner->GetSkinObjectName(), skinner->GetSkinType());
    }
    if (object) {
        skinner->BindSkinData(object);
    } else if (!skinner->KeepOnReskin()) {
        RemoveSkin(window, FALSE);
    } else if (skinner->GetSkinData()) {
        // Kept, but its object goes with the old skin.
        skinner->BindSkinData(nullptr);
    }
}

SkinManager::Pin::Pin()
{
    SkinManager& manager = SkinManager::Instance();
    SkinManagerLock lock;
    ++manager.pins_;
    generation_ = manager.generation_;
}

SkinManager::Pin::~Pin()
{
    SkinManager& manager = SkinManager::Instance();
    std::vector<std::unique_ptr<SkinPackage>> freed;
    {
        SkinManagerLock lock;
        if (--manager.pins_ == 0)
            freed.swap(manager.retired_);
    }
}

bool SkinManager::Pin::SkinChanged() const
{
    SkinManager& manager = SkinManager::Instance();
    SkinManagerLock lock;
    return manager.generation_ != generation_;
}

SkinPackage* SkinManager::GetSkin()
{
    SkinManagerLock lock;
    return skin_.get();
}

bool SkinManager::HasInstalledSkin()
{
    SkinManagerLock lock;
    return installed_;
}

uint32_t SkinManager::GetSkinType(const char* className)
{
    if (!className)
        return 0;
    SkinManagerLock lock;
    auto it = classes_.find(className);
    return it == classes_.end() ? 0 : it->second;
}

void SkinManager::RemoveAll()
{
    // The skinners hold objects of the old skin until they go.
    Pin pin;
    Replace(new SkinPackage());
    {
        SkinManagerLock lock;
        installed_ = false;
    }
    RebindOwnWindows();
    // Each window lets its skinner go on its own thread, no lock held; a
    // skinner still being attached by another thread is left to it (it
    // finds the empty skin and lets go itself).
    for (;;) {
        bool progress = false;
        for (const auto& entry : Entries()) {
            if (!StillSkins(entry.first, entry.second) || entry.second->GetWindow() != entry.first)
                continue;
            Reskin(entry.first, entry.second, kSkinReskinDetach);
            progress = true;
        }
        if (!progress)
            break;
    }
    // What is left never got its window (or lost it): it only goes.
    std::vector<SkinWindowObject*> left;
    {
        SkinManagerLock lock;
        for (auto it = windows_.begin(); it != windows_.end();) {
            if (attaching_.count(it->second)) {
                ++it;
            } else {
                left.push_back(it->second);
                it = windows_.erase(it);
            }
        }
    }
    for (SkinWindowObject* skinner : left)
        delete skinner;
}

SkinTooltipService* SkinManager::GetSkinTooltip() { return SkinLibGetTooltip(); }

std::vector<HWND> SkinManager::Windows()
{
    SkinManagerLock lock;
    std::vector<HWND> list;
    for (const auto& entry : windows_)
        list.push_back(entry.first);
    return list;
}
