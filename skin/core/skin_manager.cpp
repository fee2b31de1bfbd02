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
    SkinManagerLock lock;
    if (!window || windows_.count(window))
        return FALSE;
    SkinDataObject* object = nullptr;
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
    SkinWindowObject* skinner = CreateTopLevelSkinner(role);
    if (!skinner)
        return FALSE;
    windows_[window] = skinner;
    skinner->BindSkinData(object);
    if (!skinner->Attach(window)) {
        windows_.erase(window);
        delete skinner;
        return FALSE;
    }
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
    SkinManagerLock lock;
    if (!window || windows_.count(window))
        return FALSE;  // one skinner per window, as for the top-level roads
    SkinDataObject* object = skin_->FindObjectByType(kSkinToolBar);
    if (!object)
        return FALSE;
    SkinWindowObject* skinner = CreateSkinner(kSkinToolBar, nullptr);
    if (!skinner)
        return FALSE;
    skinner->BindSkinData(object);
    windows_[window] = skinner;
    if (skinner->Attach(window))
        return TRUE;
    windows_.erase(window);
    delete skinner;
    return FALSE;
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
    SkinManagerLock lock;
    if (!skinner || !window)
        return FALSE;
    auto it = windows_.find(window);
    if (it != windows_.end() && it->second != skinner) {
        SkinWindowObject* old = it->second;
        windows_.erase(it);
        old->Detach();
        delete old;
    }
    windows_[window] = skinner;
    return TRUE;
}

BOOL SkinManager::RemoveSkin(HWND window, BOOL destroying)
{
    SkinManagerLock lock;
    auto it = windows_.find(window);
    if (it == windows_.end())
        return FALSE;
    SkinWindowObject* skinner = it->second;
    // Out of the map first: the detach may come back here for children.
    windows_.erase(it);
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
    SkinManagerLock lock;
    const BOOL locked = LockWindowUpdate(GetDesktopWindow());
    std::unique_ptr<SkinPackage> previous(skin_.release());
    skin_.reset(package);
    installed_ = true;

    // Rebinding may create and remove skinners: walk a copy of the windows
    // and look each up again.
    std::vector<HWND> order;
    for (const auto& entry : windows_)
        order.push_back(entry.first);
    std::vector<HWND> unskin;
    for (HWND window : order) {
        auto it = windows_.find(window);
        if (it == windows_.end())
            continue;
        SkinWindowObject* skinner = it->second;
        SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
        it = windows_.find(window);
        if (it == windows_.end() || it->second != skinner)
            continue;
        const char* name = skinner->GetSkinObjectName();
        const uint32_t type = skinner->GetSkinType();
        SkinDataObject* object = name ? skin_->FindObject(name) : nullptr;
        if (!object && type)
            object = skin_->FindObjectByType(type);
        if (object) {
            skinner->BindSkinData(object);
        } else if (!skinner->KeepOnReskin()) {
            unskin.push_back(window);
        } else if (skinner->GetSkinData()) {
            // Kept, but its object goes with the old skin.
            skinner->BindSkinData(nullptr);
        }
    }
    for (HWND window : unskin)
        RemoveSkin(window, FALSE);
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->second->GetWindow() != it->first) {
            delete it->second;
            it = windows_.erase(it);
        } else {
            ++it;
        }
    }
    previous.reset();
    SetSkinStreamVersion(skin_->GetMajor(), skin_->GetMinor());
    if (locked)
        LockWindowUpdate(nullptr);
    return TRUE;
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
    SkinManagerLock lock;
    while (!windows_.empty()) {
        auto it = windows_.begin();
        SkinWindowObject* skinner = it->second;
        windows_.erase(it);
        skinner->Detach();
        delete skinner;
    }
    skin_.reset(new SkinPackage());
    installed_ = false;
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
