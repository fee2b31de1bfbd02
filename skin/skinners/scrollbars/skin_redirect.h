// ScrollApiRedirect: sends every scroll-bar call of the process (the
// system's own controls and other modules included) to the skinned scroll
// bars for windows that have them, and, on the NT family, has GetSysColor
// and GetSysColorBrush answer from the loaded skin's colour table.
//
// By the OS class: Windows 98 and ME rewrite the import entries of every
// module (and of modules loaded later); NT 4, 2000 and XP patch the USER32
// functions' code with trampolines; other systems get nothing. The library
// start installs it and its end removes it (a library part). Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_REDIRECT_H
#define QUORBEL_SKIN_SKINNERS_SKIN_REDIRECT_H

#include <windows.h>

// 1 when installed (or already in place), 0 for systems that get none.
BOOL InstallScrollApiRedirect();
// 1 when it was taken out (or there was none to take), 0 for systems that
// get none.
BOOL RemoveScrollApiRedirect();
// How it is installed now: 0 not, 1 import entries, 2 code trampolines.
int ScrollApiRedirectKind();

// The replacements themselves (what the redirected calls reach).
namespace ScrollApiRedirect {
BOOL WINAPI EnableScrollBar(HWND window, UINT bar, UINT arrows);
BOOL WINAPI GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
int WINAPI GetScrollPos(HWND window, int bar);
BOOL WINAPI GetScrollRange(HWND window, int bar, LPINT min, LPINT max);
int WINAPI SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
int WINAPI SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
BOOL WINAPI SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw);
BOOL WINAPI ShowScrollBar(HWND window, int bar, BOOL show);
DWORD WINAPI GetSysColor(int index);
HBRUSH WINAPI GetSysColorBrush(int index);
}  // namespace ScrollApiRedirect

#endif
