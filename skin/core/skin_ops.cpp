// The skin library's operations and its per-thread state.
//
// The skin manager, the window skinners and the hook work that gives each
// new window its skinner are built on top of this file; until they are,
// the operations that need them answer as the manager does when it cannot
// skin a window (0), and the installed skin is kept here.
#include "skin/core/skin_ops.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"

namespace {

struct LibraryState {
    bool started = false;                   // set by the first successful start
    HINSTANCE instance = nullptr;           // window classes, hooks, resources
    std::map<DWORD, HHOOK> callWndHooks;    // per started thread
    std::map<DWORD, HHOOK> keyboardHooks;   // per started thread
    char defaultDialogSkin[51] = {};        // object name for new dialogs
    std::unique_ptr<SkinPackage> skin;      // the installed skin
};

// The lock exists for the whole process, so error codes can be stored
// before the first start.
std::recursive_mutex g_lock;
LibraryState g_state;
std::map<DWORD, int> g_errors;  // last code per thread

void SetError(int code)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    g_errors[GetCurrentThreadId()] = code;
}

bool CheckStarted()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    if (g_state.started)
        return true;
    g_errors[GetCurrentThreadId()] = kSkinLibNotStarted;
    return false;
}

// The module that holds this code: the DLL in the shared-library form.
HMODULE OwnModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &module);
    return module;
}

bool ThreadIsHooked()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return g_state.callWndHooks.count(GetCurrentThreadId()) != 0;
}

LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (!ThreadIsHooked())
        return 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (!ThreadIsHooked())
        return 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Takes the new skin in; the previous one is released.
BOOL InstallSkin(std::unique_ptr<SkinPackage> package)
{
    if (!package)
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    SetSkinStreamVersion(package->GetMajor(), package->GetMinor());
    g_state.skin = std::move(package);
    return TRUE;
}

}  // namespace

bool SkinLibIsStarted()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return g_state.started;
}

void SkinLibSetError(int code) { SetError(code); }

const char* SkinLibGetDefaultDialogSkin() { return g_state.defaultDialogSkin; }

SkinPackage* SkinLibGetSkin()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return g_state.skin.get();
}

extern "C" {

BOOL WINAPI SkinLibInit(HINSTANCE instance, LPCSTR, LPCSTR, int)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    if (g_state.callWndHooks.empty()) {
#ifdef QUORBEL_SKIN_DLL
        g_state.instance = OwnModule();
#else
        g_state.instance = instance ? instance : GetModuleHandleA(nullptr);
#endif
        g_state.started = true;
    }
    const DWORD thread = GetCurrentThreadId();
    if (!g_state.callWndHooks.count(thread)) {
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndHook, OwnModule(), thread);
        if (!hook) {
            SetError(kSkinLibCallWndHookFailed);
            return FALSE;
        }
        g_state.callWndHooks[thread] = hook;
    }
    if (!g_state.keyboardHooks.count(thread)) {
        HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, OwnModule(), thread);
        if (!hook) {
            SetError(kSkinLibKeyboardHookFailed);
            return FALSE;
        }
        g_state.keyboardHooks[thread] = hook;
    }
    SetError(kSkinLibOk);
    return TRUE;
}

void WINAPI SkinLibExit(void)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    if (!g_state.started)
        return;
    const DWORD thread = GetCurrentThreadId();
    auto hook = g_state.callWndHooks.find(thread);
    if (hook != g_state.callWndHooks.end()) {
        UnhookWindowsHookEx(hook->second);
        g_state.callWndHooks.erase(hook);
    }
    hook = g_state.keyboardHooks.find(thread);
    if (hook != g_state.keyboardHooks.end()) {
        UnhookWindowsHookEx(hook->second);
        g_state.keyboardHooks.erase(hook);
    }
    if (!g_state.callWndHooks.empty())
        return;
    // The last started thread ends the library.
    g_state.defaultDialogSkin[0] = '\0';
    g_state.skin.reset();
    g_state.started = false;
}

BOOL WINAPI SkinLoadResource(HINSTANCE instance, LPCSTR name, LPCSTR type)
{
    if (!CheckStarted())
        return FALSE;
    HMODULE module = instance ? instance : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name, type);
    if (!found) {
        SetError(kSkinLibFindResourceFailed);
        return FALSE;
    }
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) {
        SetError(kSkinLibLoadResourceFailed);
        return FALSE;
    }
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    SkinMemoryStream source(bytes, bytes ? size : 0, SkinMemoryStream::kDefaultGrowth);
    std::unique_ptr<SkinPackage> package(new SkinPackage());
    if (!package->Read(source))
        return FALSE;  // the previous skin stays
    const BOOL installed = InstallSkin(std::move(package));
    SkinRefreshScrollBars();
    return installed;
}

BOOL WINAPI SkinSetFrameWindow(HWND window, LPCSTR objectName)
{
    if (!CheckStarted())
        return FALSE;
    return FALSE;  // no frame skinner yet
}

BOOL WINAPI SkinDetachWindow(HWND window)
{
    if (!CheckStarted())
        return FALSE;
    return FALSE;  // no window has a skinner yet
}

BOOL WINAPI SkinSetDefaultDialogSkin(LPCSTR objectName)
{
    if (!CheckStarted())
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    CopySkinText(g_state.defaultDialogSkin, sizeof g_state.defaultDialogSkin, objectName);
    return TRUE;
}

BOOL WINAPI SkinSetDialogWindow(HWND window, LPCSTR objectName)
{
    if (!CheckStarted())
        return FALSE;
    return FALSE;  // no named-object skinner yet
}

BOOL WINAPI SkinAttachWindow(HWND window, LPCSTR objectName)
{
    if (!CheckStarted())
        return FALSE;
    return FALSE;  // no shaped-window skinner yet
}

BOOL WINAPI SkinClearDefaultDialogSkin(void)
{
    if (!CheckStarted())
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    g_state.defaultDialogSkin[0] = '\0';
    return TRUE;
}

BOOL WINAPI SkinQueryElementState(HWND window, LPCSTR elementName, int* state)
{
    // No window has a skinner yet.
    SetError(kSkinLibNoSkinner);
    return FALSE;
}

void WINAPI SkinRefreshScrollBars(void)
{
    if (!SkinLibIsStarted())
        return;
    // Windows with skinned scroll bars come with the scroll-bar skinners.
}

int WINAPI SkinGetLastError(void)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    auto it = g_errors.find(GetCurrentThreadId());
    return it == g_errors.end() ? 0 : it->second;
}

}  // extern "C"
