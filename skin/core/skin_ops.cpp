// The skin library's operations, its per-thread state and the two thread
// hooks: the call-window-procedure hook gives every new window of a
// started thread its skinner as it is created (through the skin manager),
// the keyboard hook routes menu keys to the skinned windows and menus.
//
// The popup menu and tooltip windows and the scroll-bar redirection plug in
// as library parts (skin_lib_parts.h); start and end run them in turn.
#include "skin/core/skin_ops.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"
#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_gdi_util.h"

namespace {

typedef BOOL(WINAPI* SetLayeredWindowAttributesFn)(HWND, COLORREF, BYTE, DWORD);

struct LibraryState {
    bool started = false;                   // set by the first successful start
    HINSTANCE instance = nullptr;           // window classes, hooks, resources
    SetLayeredWindowAttributesFn layered = nullptr;  // looked up in User32.dll
    WNDPROC buttonProc = nullptr;           // the system "Button" procedure at start
    int osClass = 1;                        // GetOsClass at the first start
    std::map<DWORD, HHOOK> callWndHooks;    // per started thread
    std::map<DWORD, HHOOK> keyboardHooks;   // per started thread
    std::map<HWND, AccelTable*> accelerators;  // owned; read by the keyboard hook
    char defaultDialogSkin[51] = {};        // object name for new dialogs
    char defaultFrameSkin[51] = {};         // object name for sizable tool windows
    bool ending = false;                    // the last end is tearing down
};

// The lock exists for the whole process, so error codes can be stored
// before the first start.
std::recursive_mutex g_lock;
LibraryState g_state;
std::map<DWORD, int> g_errors;  // last code per thread
// Set while no end is tearing the library down.
HANDLE g_notEnding = CreateEventA(nullptr, TRUE, TRUE, nullptr);

// Waits for the event and answers what other threads send to this
// thread's windows meanwhile (the end detaching them among it).
void WaitAnsweringSentMessages(HANDLE event)
{
    while (MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void SetError(int code)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    g_errors[GetCurrentThreadId()] = code;
}

// The library's code for a skin the reader refused.
int LoadErrorOf(int packageError)
{
    switch (packageError) {
    case kSkinPackageBadPacking: return kSkinLibSkinBadPacking;
    case kSkinPackageShort: return kSkinLibSkinShort;
    case kSkinPackageBadHeader: return kSkinLibSkinBadHeader;
    case kSkinPackageTooManyPixels: return kSkinLibSkinTooManyPixels;
    case kSkinPackageTooManyGdiObjects: return kSkinLibSkinTooManyGdiObjects;
    default: return kSkinLibSkinMalformed;
    }
}

bool CheckStarted()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    if (g_state.started)
        return true;
    g_errors[GetCurrentThreadId()] = kSkinLibNotStarted;
    return false;
}

// The module that holds this code: VeneerKit.dll in the shared-library
// form, the program itself when the library is linked in.
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

// A toolbar that floats in a tool window of its own gets the toolbar
// skinner from the hook (toolbars in rebars and control bars come with
// their parents).
bool IsFloatingToolbar(HWND window, const char* className, HWND parent)
{
    if (std::strcmp(className, "ToolbarWindow32") != 0)
        return false;
    char parentClass[100] = {};
    GetClassNameA(parent, parentClass, sizeof parentClass);
    if (std::strcmp(parentClass, "ReBarWindow32") == 0 || std::strncmp(parentClass, "AfxControlBar", 13) == 0)
        return false;
    return GetParent(parent) && (GetWindowLongA(parent, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

void OnWindowCreated(HWND window)
{
    char className[100] = {};
    if (!GetClassNameA(window, className, sizeof className))
        return;
    std::string dialogSkin, frameSkin;
    {
        std::lock_guard<std::recursive_mutex> guard(g_lock);
        dialogSkin = g_state.defaultDialogSkin;
        frameSkin = g_state.defaultFrameSkin;
    }
    SkinManager& manager = SkinManager::Instance();
    if (std::strcmp(className, "#32770") == 0 && !dialogSkin.empty()) {
        manager.SetNamedSkin(window, dialogSkin.c_str());
        return;
    }
    HWND parent = GetParent(window);
    if (!parent)
        return;
    // No lock while the new skinner attaches (it sends to the window): the
    // frame's skinner belongs to a window of this thread, and a new skin
    // or the library's end reach it through this thread's messages. The pin
    // keeps the skin's objects, and a skin loaded meanwhile is taken now.
    SkinManager::Pin pin;
    SkinWindowObject* frame = manager.FindFrameObject(parent);
    if (!frame) {
        if (IsFloatingToolbar(window, className, parent))
            manager.SetToolBarSkin(window);
        return;
    }
    if (!frame->CreateChildSkinner(window, frame->GetSkinData()) && SkinGdiUtil::IsSizableToolWindow(window) &&
        !frameSkin.empty()) {
        manager.SetFrameSkin(window, frameSkin.c_str());
        return;
    }
    if (pin.SkinChanged() && manager.FindSkinObject(window))
        SendMessageA(window, kSkinMsgReskin, kSkinReskinRebind, 0);
}

LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (!ThreadIsHooked())
        return 0;
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message && message->message == WM_CREATE) {
        try {
            OnWindowCreated(message->hwnd);
        } catch (...) {
            // The window keeps its own look; the system's code above us must
            // not see an exception.
        }
    }
    // A later window may get the same handle: it must not find this one's table.
    if (code == HC_ACTION && message && message->message == WM_NCDESTROY)
        SkinLibSetAcceleratorTable(message->hwnd, nullptr);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IsPopupMenuWindow(HWND window)
{
    char className[100] = {};
    return window && GetClassNameA(window, className, sizeof className) &&
           lstrcmpiA(className, kSkinPopupMenuClass) == 0;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (!ThreadIsHooked())
        return 0;
    if (code != HC_ACTION)
        return CallNextHookEx(nullptr, code, wParam, lParam);

    SkinManager& manager = SkinManager::Instance();
    HWND active = GetActiveWindow();
    HWND target = active;
    const bool popupActive = IsPopupMenuWindow(active);
    if (popupActive && GetPropA(active, "this")) {
        // From the last open submenu up to the window that owns the menu.
        HWND last = active;
        if (SkinPopupMenuService* menus = SkinLibGetPopupMenuService())
            if (HWND deepest = menus->LastOpenSubmenu(active))
                last = deepest;
        for (HWND parent = GetParent(last); parent; parent = GetParent(parent))
            last = parent;
        target = last;
    }
    SkinWindowObject* skinner = manager.FindSkinObject(target);

    const bool down = (lParam & 0x80000000) == 0;
    const bool altContext = (lParam & 0x20000000) != 0;
    if (skinner && down) {
        AccelTable* table = SkinLibFindAcceleratorTable(skinner->GetWindow());
        ACCEL accel;
        if (table && table->FindKey(WORD(wParam), &accel)) {
            HMENU menu = skinner->GetMenu();
            const UINT state = menu ? GetMenuState(menu, accel.cmd, MF_BYCOMMAND) : UINT(-1);
            if (state != UINT(-1) && (state & (MF_GRAYED | MF_DISABLED)))
                return 1;  // the command is off: the key does nothing
        }
    }
    HWND receiver = skinner ? skinner->GetWindow() : (popupActive ? target : nullptr);
    if (wParam == VK_F10 || (altContext && wParam != VK_MENU && down)) {
        if (receiver && SendMessageA(receiver, kSkinMsgMenuKey, wParam, lParam))
            return 1;
    } else if (wParam == VK_MENU) {
        if (!altContext)
            return 1;  // Alt let go alone opens no system menu
        if (receiver && SendMessageA(receiver, kSkinMsgMenuKey, WPARAM(-1), lParam))
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Registers a class that copies "BUTTON" and makes one window of it.
bool VisualStyleTest(HINSTANCE instance)
{
    const char* kClass = "VeneerKit_XP_Compatible";
    WNDCLASSA button = {};
    if (!GetClassInfoA(nullptr, "BUTTON", &button))
        return false;
    button.hInstance = instance;
    button.lpszClassName = kClass;
    if (!RegisterClassA(&button))
        return false;
    HWND window = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    const bool ok = window != nullptr;
    if (window)
        DestroyWindow(window);
    // Gone again, so that a later start can repeat the test.
    UnregisterClassA(kClass, instance);
    return ok;
}

// The parts, in start order; end runs them backwards.
template <typename F>
void ForEachPart(bool reverse, F f)
{
    int count = 0;
    const SkinLibPart* const* parts = SkinLibParts(&count);
    for (int i = 0; i < count; ++i)
        f(*parts[reverse ? count - 1 - i : i]);
}

void TearDownParts(HINSTANCE instance, int osClass, int registered)
{
    ForEachPart(true, [&](const SkinLibPart& p) {
        if (p.removeRedirection)
            p.removeRedirection(osClass);
    });
    ForEachPart(true, [](const SkinLibPart& p) {
        if (p.destroyWindows)
            p.destroyWindows();
    });
    int count = 0;
    const SkinLibPart* const* parts = SkinLibParts(&count);
    for (int i = registered - 1; i >= 0; --i)
        if (parts[i]->unregisterClasses)
            parts[i]->unregisterClasses(instance);
}

// The first start: everything process-wide. False leaves nothing behind.
bool StartLibrary(HINSTANCE instance)
{
    g_state.instance = instance;
    g_state.layered = reinterpret_cast<SetLayeredWindowAttributesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("User32.dll"), "SetLayeredWindowAttributes")));
    WNDCLASSA button = {};
    g_state.buttonProc = GetClassInfoA(nullptr, "BUTTON", &button) ? button.lpfnWndProc : nullptr;

    int count = 0;
    const SkinLibPart* const* parts = SkinLibParts(&count);
    for (int i = 0; i < count; ++i)
        if (parts[i]->registerClasses && !parts[i]->registerClasses(instance)) {
            for (int j = i - 1; j >= 0; --j)
                if (parts[j]->unregisterClasses)
                    parts[j]->unregisterClasses(instance);
            return false;
        }
    ForEachPart(false, [&](const SkinLibPart& p) {
        if (p.createWindows)
            p.createWindows(instance);
    });
    g_state.osClass = SkinGdiUtil::GetOsClass();
    ForEachPart(false, [](const SkinLibPart& p) {
        if (p.installRedirection)
            p.installRedirection(g_state.osClass);
    });
    if (g_state.osClass == 7 && !VisualStyleTest(instance)) {
        TearDownParts(instance, g_state.osClass, count);
        SetError(kSkinLibVisualStyleFailed);
        return false;
    }
    g_state.started = true;
    return true;
}

// Nothing thrown inside the library (an allocation a hostile skin made
// too large) may leave an exported operation for the caller's code: it ends
// there as the operation's failure.
template <typename Result, typename Body>
Result Guard(Result failed, Body body)
{
    try {
        return body();
    } catch (...) {
        return failed;
    }
}

template <typename Body>
void GuardVoid(Body body)
{
    try {
        body();
    } catch (...) {
    }
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
    SkinManager& manager = SkinManager::Instance();
    return manager.HasInstalledSkin() ? manager.GetSkin() : nullptr;
}

HINSTANCE SkinLibGetInstance()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return g_state.instance;
}

BOOL SkinLibSetLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags)
{
    SetLayeredWindowAttributesFn fn;
    {
        std::lock_guard<std::recursive_mutex> guard(g_lock);
        fn = g_state.layered;
    }
    return fn ? fn(window, key, alpha, flags) : FALSE;
}

bool SkinLibHasLayeredAttributes()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return g_state.layered != nullptr;
}

WNDPROC SkinLibGetButtonProc()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return g_state.buttonProc;
}

int SkinLibThreadCount()
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    return int(g_state.callWndHooks.size());
}

void SkinLibSetAcceleratorTable(HWND window, AccelTable* table)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    auto it = g_state.accelerators.find(window);
    if (it != g_state.accelerators.end()) {
        if (it->second == table)
            return;
        delete it->second;
        g_state.accelerators.erase(it);
    }
    if (table)
        g_state.accelerators[window] = table;
}

AccelTable* SkinLibFindAcceleratorTable(HWND window)
{
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    auto it = g_state.accelerators.find(window);
    return it == g_state.accelerators.end() ? nullptr : it->second;
}

BOOL SkinLibSetDefaultFrameSkin(const char* objectName)
{
    if (!CheckStarted())
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(g_lock);
    CopySkinText(g_state.defaultFrameSkin, sizeof g_state.defaultFrameSkin, objectName);
    return TRUE;
}

extern "C" {

BOOL WINAPI SkinLibInit(HINSTANCE instance, LPCSTR, LPCSTR, int)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        std::unique_lock<std::recursive_mutex> guard(g_lock);
        // An end tearing the library down on another thread is waited for;
        // it may send to this thread's windows.
        while (g_state.ending) {
            guard.unlock();
            WaitAnsweringSentMessages(g_notEnding);
            guard.lock();
        }
        if (g_state.callWndHooks.empty()) {
            // The shared library uses its own module; linked in, the caller's.
            HMODULE own = OwnModule();
            HINSTANCE libraryInstance = own != GetModuleHandleA(nullptr) ? own
                                        : instance                        ? instance
                                                                          : GetModuleHandleA(nullptr);
            if (!g_state.started && !StartLibrary(libraryInstance))
                return FALSE;
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
    });
}

void WINAPI SkinLibExit(void)
{
    GuardVoid([&] {
        HINSTANCE instance = nullptr;
        int osClass = 1;
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
            // The last started thread ends the library. Starts wait until
            // the tear-down is over; other operations find it ended.
            g_state.defaultDialogSkin[0] = '\0';
            g_state.defaultFrameSkin[0] = '\0';
            g_state.started = false;
            g_state.ending = true;
            ResetEvent(g_notEnding);
            instance = g_state.instance;
            osClass = g_state.osClass;
        }
        // No lock held: the tear-down sends to windows of other threads.
        int count = 0;
        SkinLibParts(&count);
        TearDownParts(instance, osClass, count);
        SkinManager::Instance().RemoveAll();
        std::lock_guard<std::recursive_mutex> guard(g_lock);
        for (auto& entry : g_state.accelerators)
            delete entry.second;
        g_state.accelerators.clear();
        g_state.ending = false;
        SetEvent(g_notEnding);
    });
}

BOOL WINAPI SkinLoadResource(HINSTANCE instance, LPCSTR name, LPCSTR type)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
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
        if (!package->Read(source)) {
            SetError(LoadErrorOf(package->GetLastError()));
            return FALSE;  // the previous skin stays
        }
        const BOOL installed = SkinManager::Instance().InstallSkin(package.release());
        SkinRefreshScrollBars();
        return installed;
    });
}

BOOL WINAPI SkinSetFrameWindow(HWND window, LPCSTR objectName)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        if (!CheckStarted())
            return FALSE;
        return SkinManager::Instance().SetFrameSkin(window, objectName);
    });
}

BOOL WINAPI SkinDetachWindow(HWND window)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        if (!CheckStarted())
            return FALSE;
        return SkinManager::Instance().RemoveSkin(window, FALSE);
    });
}

BOOL WINAPI SkinSetDefaultDialogSkin(LPCSTR objectName)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        if (!CheckStarted())
            return FALSE;
        std::lock_guard<std::recursive_mutex> guard(g_lock);
        CopySkinText(g_state.defaultDialogSkin, sizeof g_state.defaultDialogSkin, objectName);
        return TRUE;
    });
}

BOOL WINAPI SkinSetDialogWindow(HWND window, LPCSTR objectName)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        if (!CheckStarted())
            return FALSE;
        return SkinManager::Instance().SetNamedSkin(window, objectName);
    });
}

BOOL WINAPI SkinAttachWindow(HWND window, LPCSTR objectName)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        if (!CheckStarted())
            return FALSE;
        return SkinManager::Instance().SetShapeSkin(window, objectName);
    });
}

BOOL WINAPI SkinClearDefaultDialogSkin(void)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        if (!CheckStarted())
            return FALSE;
        std::lock_guard<std::recursive_mutex> guard(g_lock);
        g_state.defaultDialogSkin[0] = '\0';
        return TRUE;
    });
}

BOOL WINAPI SkinQueryElementState(HWND window, LPCSTR elementName, int* state)
{
    return Guard<BOOL>(FALSE, [&]() -> BOOL {
        // The manager lock keeps the skinner while its elements are read
        // (nothing is sent); the library lock is not taken under it.
        bool skinned = false;
        BOOL answer = FALSE;
        {
            SkinManagerLock lock;
            if (SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(window)) {
                answer = skinner->GetElementState(elementName, state);
                skinned = true;
            }
        }
        if (!skinned) {
            SetError(kSkinLibNoSkinner);
            return FALSE;
        }
        return answer;
    });
}

void WINAPI SkinRefreshScrollBars(void)
{
    GuardVoid([&] {
        if (!SkinLibIsStarted())
            return;
        int size = 0, minThumb = 0;
        {
            SkinManagerLock lock;
            auto* bar = dynamic_cast<SkinScrollBarData*>(
                SkinManager::Instance().GetSkin()->FindObjectByType(kSkinScrollBar));
            if (!bar)
                return;
            // Bar size: the height of the normal first arrow; minimum thumb:
            // the width of the normal thumb.
            size = bar->horizontal[0].arrow1.source.Height();
            minThumb = bar->horizontal[0].thumb.source.Width();
        }
        // No lock held: the refresh reaches other threads' windows, whose
        // hooks take the locks.
        ForEachPart(false, [&](const SkinLibPart& p) {
            if (p.refreshScrollBars)
                p.refreshScrollBars(size, minThumb);
        });
    });
}

int WINAPI SkinGetLastError(void)
{
    return Guard<int>(0, [&]() -> int {
        std::lock_guard<std::recursive_mutex> guard(g_lock);
        auto it = g_errors.find(GetCurrentThreadId());
        return it == g_errors.end() ? 0 : it->second;
    });
}

}  // extern "C"
