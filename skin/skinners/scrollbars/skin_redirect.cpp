#include "skin/skinners/scrollbars/skin_redirect.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "skin/core/api_hook.h"
#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/scrollbars/skin_scrollbar.h"

namespace {

// The redirected functions, in the order they are installed.
enum Function : int {
    kEnableScrollBar, kGetScrollInfo, kGetScrollPos, kGetScrollRange, kSetScrollInfo, kSetScrollPos,
    kSetScrollRange, kShowScrollBar, kGetSysColor, kGetSysColorBrush, kFunctionCount
};
const int kScrollFunctionCount = 8;

const char* const kNames[kFunctionCount] = {
    "EnableScrollBar", "GetScrollInfo", "GetScrollPos",     "GetScrollRange", "SetScrollInfo",
    "SetScrollPos",    "SetScrollRange", "ShowScrollBar", "GetSysColor",    "GetSysColorBrush",
};

void* const kReplacements[kFunctionCount] = {
    reinterpret_cast<void*>(&ScrollApiRedirect::EnableScrollBar),
    reinterpret_cast<void*>(&ScrollApiRedirect::GetScrollInfo),
    reinterpret_cast<void*>(&ScrollApiRedirect::GetScrollPos),
    reinterpret_cast<void*>(&ScrollApiRedirect::GetScrollRange),
    reinterpret_cast<void*>(&ScrollApiRedirect::SetScrollInfo),
    reinterpret_cast<void*>(&ScrollApiRedirect::SetScrollPos),
    reinterpret_cast<void*>(&ScrollApiRedirect::SetScrollRange),
    reinterpret_cast<void*>(&ScrollApiRedirect::ShowScrollBar),
    reinterpret_cast<void*>(&ScrollApiRedirect::GetSysColor),
    reinterpret_cast<void*>(&ScrollApiRedirect::GetSysColorBrush),
};

// The USER32 functions the trampolines move (read by their getters).
void* g_targets[kFunctionCount] = {};
// What each replacement calls to run the system's own function: a
// trampoline (NT family), an address from our own User32 handle (98, ME),
// or null while nothing is installed (the export is called then).
void* g_originals[kFunctionCount] = {};
// The patched trampolines (NT family), for removal.
bool g_codeHooked[kFunctionCount] = {};
int g_kind = 0;  // 0 none, 1 import entries, 2 code trampolines

HMODULE g_user32 = nullptr;  // our own reference (98, ME)
std::unique_ptr<ApiHookRecord> g_records[kFunctionCount];
bool g_loadersHooked = false;  // we switched the module-loader hooks on

}  // namespace

extern "C" {
void* SkinRedirectTargetEnableScrollBar() { return g_targets[kEnableScrollBar]; }
void* SkinRedirectTargetGetScrollInfo() { return g_targets[kGetScrollInfo]; }
void* SkinRedirectTargetGetScrollPos() { return g_targets[kGetScrollPos]; }
void* SkinRedirectTargetGetScrollRange() { return g_targets[kGetScrollRange]; }
void* SkinRedirectTargetSetScrollInfo() { return g_targets[kSetScrollInfo]; }
void* SkinRedirectTargetSetScrollPos() { return g_targets[kSetScrollPos]; }
void* SkinRedirectTargetSetScrollRange() { return g_targets[kSetScrollRange]; }
void* SkinRedirectTargetShowScrollBar() { return g_targets[kShowScrollBar]; }
void* SkinRedirectTargetGetSysColor() { return g_targets[kGetSysColor]; }
void* SkinRedirectTargetGetSysColorBrush() { return g_targets[kGetSysColorBrush]; }
}

SKIN_CODE_TRAMPOLINE(SkinRedirectEnableScrollBar, SkinRedirectTargetEnableScrollBar)
SKIN_CODE_TRAMPOLINE(SkinRedirectGetScrollInfo, SkinRedirectTargetGetScrollInfo)
SKIN_CODE_TRAMPOLINE(SkinRedirectGetScrollPos, SkinRedirectTargetGetScrollPos)
SKIN_CODE_TRAMPOLINE(SkinRedirectGetScrollRange, SkinRedirectTargetGetScrollRange)
SKIN_CODE_TRAMPOLINE(SkinRedirectSetScrollInfo, SkinRedirectTargetSetScrollInfo)
SKIN_CODE_TRAMPOLINE(SkinRedirectSetScrollPos, SkinRedirectTargetSetScrollPos)
SKIN_CODE_TRAMPOLINE(SkinRedirectSetScrollRange, SkinRedirectTargetSetScrollRange)
SKIN_CODE_TRAMPOLINE(SkinRedirectShowScrollBar, SkinRedirectTargetShowScrollBar)
SKIN_CODE_TRAMPOLINE(SkinRedirectGetSysColor, SkinRedirectTargetGetSysColor)
SKIN_CODE_TRAMPOLINE(SkinRedirectGetSysColorBrush, SkinRedirectTargetGetSysColorBrush)

namespace {

const SkinTrampolineBody kTrampolines[kFunctionCount] = {
    &SkinRedirectEnableScrollBar, &SkinRedirectGetScrollInfo,  &SkinRedirectGetScrollPos,
    &SkinRedirectGetScrollRange,  &SkinRedirectSetScrollInfo,  &SkinRedirectSetScrollPos,
    &SkinRedirectSetScrollRange,  &SkinRedirectShowScrollBar,  &SkinRedirectGetSysColor,
    &SkinRedirectGetSysColorBrush,
};

template <typename Fn>
Fn Original(Function f, Fn exported)
{
    return g_originals[f] ? reinterpret_cast<Fn>(g_originals[f]) : exported;
}

// Points the skinned bars' fallbacks at the originals (or back at USER32).
void ShareOriginals(bool installed)
{
    if (!installed) {
        CustomSB_SetSystemCalls(nullptr);
        return;
    }
    CustomSBSystemCalls calls = {};
    calls.getScrollInfo = reinterpret_cast<decltype(calls.getScrollInfo)>(g_originals[kGetScrollInfo]);
    calls.getScrollPos = reinterpret_cast<decltype(calls.getScrollPos)>(g_originals[kGetScrollPos]);
    calls.getScrollRange = reinterpret_cast<decltype(calls.getScrollRange)>(g_originals[kGetScrollRange]);
    calls.setScrollInfo = reinterpret_cast<decltype(calls.setScrollInfo)>(g_originals[kSetScrollInfo]);
    calls.setScrollPos = reinterpret_cast<decltype(calls.setScrollPos)>(g_originals[kSetScrollPos]);
    calls.setScrollRange = reinterpret_cast<decltype(calls.setScrollRange)>(g_originals[kSetScrollRange]);
    calls.showScrollBar = reinterpret_cast<decltype(calls.showScrollBar)>(g_originals[kShowScrollBar]);
    CustomSB_SetSystemCalls(&calls);
}

// The skin's colour for a system colour index (out-of-range indexes read
// colour 0); false when the skin has no colour table.
bool SkinColourOf(int index, COLORREF* color)
{
    // Called on any thread: a skin loaded meanwhile is freed after the pin.
    const SkinManager::PinnedSkin skin;
    SkinSysColorTable* table = skin->GetColorTable();
    if (!table)
        return false;
    *color = table->GetColor(index >= 0 && index <= 30 ? index : 0);
    return true;
}

// Callers keep the brushes they are given (class backgrounds) past the
// next load or the end: one brush per colour, kept for the life of the
// process. Past the bound, the system's own brushes are handed out.
const size_t kMaxLastingBrushes = 256;

HBRUSH LastingBrush(COLORREF color)
{
    static std::mutex lock;
    static auto* brushes = new std::map<COLORREF, HBRUSH>();  // never freed, as its brushes
    std::lock_guard<std::mutex> guard(lock);
    auto it = brushes->find(color);
    if (it != brushes->end())
        return it->second;
    if (brushes->size() >= kMaxLastingBrushes)
        return nullptr;
    HBRUSH brush = CreateSolidBrush(color);
    if (brush)
        (*brushes)[color] = brush;
    return brush;
}

void PartInstall(int) { InstallScrollApiRedirect(); }
void PartRemove(int) { RemoveScrollApiRedirect(); }

const SkinLibPart kRedirectPart = {
    "scroll-bar and system-colour redirection", nullptr, nullptr, nullptr, nullptr, &PartInstall, &PartRemove,
    nullptr,
};
SkinLibPartRegistrar g_register(&kRedirectPart);

}  // namespace

BOOL InstallScrollApiRedirect()
{
    const int os = SkinGdiUtil::GetOsClass();
    if (os < 3)
        return FALSE;
    if (g_kind)
        return TRUE;
    if (os == 3 || os == 4) {
        g_user32 = LoadLibraryA("User32.dll");
        for (int i = 0; i < kScrollFunctionCount; ++i)
            g_originals[i] = g_user32 ? reinterpret_cast<void*>(GetProcAddress(g_user32, kNames[i])) : nullptr;
        HookModuleLoaders();
        g_loadersHooked = true;
        for (int i = 0; i < kScrollFunctionCount; ++i)
            g_records[i].reset(new ApiHookRecord("USER32.dll", kNames[i], kReplacements[i]));
        g_kind = 1;
    } else {
        HMODULE user = GetModuleHandleA("User32.dll");
        bool missed = false;
        for (int i = 0; i < kFunctionCount; ++i) {
            g_targets[i] = user ? reinterpret_cast<void*>(GetProcAddress(user, kNames[i])) : nullptr;
            // The trampoline runs the original before, while and after it is
            // patched, so it stands in from before the patch on (no call can
            // come back into the replacement through the export).
            g_originals[i] = g_targets[i] ? SkinTrampolineAddress(kTrampolines[i]) : nullptr;
            g_codeHooked[i] = g_targets[i] &&
                              InstallCodeHook(SkinTrampolineAddress(kTrampolines[i]), kReplacements[i]);
            missed |= g_targets[i] && !g_codeHooked[i];
        }
        // A function whose code cannot be moved (some systems start them
        // with a jump elsewhere) is redirected in the import entries
        // instead, so that the process's own calls still reach the bars.
        if (missed) {
            HookModuleLoaders();
            g_loadersHooked = true;
            for (int i = 0; i < kFunctionCount; ++i)
                if (g_targets[i] && !g_codeHooked[i]) {
                    g_originals[i] = g_targets[i];
                    g_records[i].reset(new ApiHookRecord("USER32.dll", kNames[i], kReplacements[i]));
                }
        }
        CustomSB_SetEnableProc(reinterpret_cast<CustomSBEnableProc>(g_originals[kEnableScrollBar]));
        g_kind = 2;
    }
    ShareOriginals(true);
    return TRUE;
}

BOOL RemoveScrollApiRedirect()
{
    const int os = SkinGdiUtil::GetOsClass();
    if (os < 3 && !g_kind)
        return FALSE;
    for (int i = 0; i < kFunctionCount; ++i) {
        if (g_codeHooked[i])
            RemoveCodeHook(SkinTrampolineAddress(kTrampolines[i]), kReplacements[i]);
        g_codeHooked[i] = false;
        g_records[i].reset();  // puts the import entries back
        g_originals[i] = nullptr;
    }
    if (g_kind == 2)
        CustomSB_SetEnableProc(nullptr);
    if (g_loadersHooked)
        UnhookModuleLoaders();
    g_loadersHooked = false;
    if (g_user32)
        FreeLibrary(g_user32);
    g_user32 = nullptr;
    g_kind = 0;
    ShareOriginals(false);
    return TRUE;
}

int ScrollApiRedirectKind() { return g_kind; }

// ---------------------------------------------------------------------------
// The replacements

namespace ScrollApiRedirect {

BOOL WINAPI EnableScrollBar(HWND window, UINT bar, UINT arrows)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_EnableScrollBar(window, bar, arrows);
    return Original(kEnableScrollBar, &::EnableScrollBar)(window, bar, arrows);
}

BOOL WINAPI GetScrollInfo(HWND window, int bar, LPSCROLLINFO info)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_GetScrollInfo(window, bar, info);
    return Original(kGetScrollInfo, &::GetScrollInfo)(window, bar, info);
}

int WINAPI GetScrollPos(HWND window, int bar)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_GetScrollPos(window, bar);
    return Original(kGetScrollPos, &::GetScrollPos)(window, bar);
}

BOOL WINAPI GetScrollRange(HWND window, int bar, LPINT min, LPINT max)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_GetScrollRange(window, bar, min, max);
    return Original(kGetScrollRange, &::GetScrollRange)(window, bar, min, max);
}

int WINAPI SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_SetScrollInfo(window, bar, info, redraw);
    return Original(kSetScrollInfo, &::SetScrollInfo)(window, bar, info, redraw);
}

int WINAPI SetScrollPos(HWND window, int bar, int pos, BOOL redraw)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_SetScrollPos(window, bar, pos, redraw);
    return Original(kSetScrollPos, &::SetScrollPos)(window, bar, pos, redraw);
}

BOOL WINAPI SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_SetScrollRange(window, bar, min, max, redraw);
    return Original(kSetScrollRange, &::SetScrollRange)(window, bar, min, max, redraw);
}

BOOL WINAPI ShowScrollBar(HWND window, int bar, BOOL show)
{
    if (CustomSB_IsInitialized(window))
        return CustomSB_ShowScrollBar(window, bar, show);
    return Original(kShowScrollBar, &::ShowScrollBar)(window, bar, show);
}

DWORD WINAPI GetSysColor(int index)
{
    COLORREF color;
    if (SkinColourOf(index, &color))
        return color;
    return Original(kGetSysColor, &::GetSysColor)(index);
}

HBRUSH WINAPI GetSysColorBrush(int index)
{
    COLORREF color;
    if (SkinColourOf(index, &color))
        if (HBRUSH brush = LastingBrush(color))
            return brush;
    return Original(kGetSysColorBrush, &::GetSysColorBrush)(index);
}

}  // namespace ScrollApiRedirect
