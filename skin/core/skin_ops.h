// The skin library's operations: start and end it on a thread, load a skin
// from a module resource, choose the dialog skin, skin or unskin a window.
// The launcher links them (quorbel_skin); the disc programs call them by
// ordinal in VeneerKit.dll (VeneerKit.def gives the ordinals). Windows only.
//
// Every operation but start, end, the scroll-bar refresh and the element
// query fails with code 19 while the library is not started. Codes are kept
// per thread; SkinGetLastError reads the calling thread's.
#ifndef QUORBEL_SKIN_CORE_SKIN_OPS_H
#define QUORBEL_SKIN_CORE_SKIN_OPS_H

#include <windows.h>

// Error codes stored for the calling thread.
enum SkinLibError : int {
    kSkinLibOk = 0,
    kSkinLibCallWndHookFailed = 2,
    kSkinLibKeyboardHookFailed = 3,
    // A skin resource that cannot be read gives the reader's reason: the
    // reader's own codes where they are free here, others moved past 19.
    kSkinLibSkinBadPacking = 5,
    kSkinLibSkinShort = 6,
    kSkinLibSkinBadHeader = 7,
    kSkinLibNoSkinner = 8,
    kSkinLibSkinTooManyPixels = 9,
    kSkinLibSkinTooManyGdiObjects = 10,
    kSkinLibLoadResourceFailed = 15,
    kSkinLibFindResourceFailed = 16,
    kSkinLibVisualStyleFailed = 17,
    kSkinLibNotStarted = 19,
    kSkinLibSkinMalformed = 20,
};

extern "C" {
// Ordinal 1. The two strings and the int are not read.
BOOL WINAPI SkinLibInit(HINSTANCE instance, LPCSTR unused1, LPCSTR unused2, int reserved);
// Ordinal 2.
void WINAPI SkinLibExit(void);
// Ordinal 4. instance NULL: the program's own module.
BOOL WINAPI SkinLoadResource(HINSTANCE instance, LPCSTR name, LPCSTR type);
// Ordinal 5.
BOOL WINAPI SkinSetFrameWindow(HWND window, LPCSTR objectName);
// Ordinal 7.
BOOL WINAPI SkinDetachWindow(HWND window);
// Ordinal 8. Keeps at most 50 characters.
BOOL WINAPI SkinSetDefaultDialogSkin(LPCSTR objectName);
// Ordinal 9.
BOOL WINAPI SkinSetDialogWindow(HWND window, LPCSTR objectName);
BOOL WINAPI SkinAttachWindow(HWND window, LPCSTR objectName);
BOOL WINAPI SkinClearDefaultDialogSkin(void);
BOOL WINAPI SkinQueryElementState(HWND window, LPCSTR elementName, int* state);
void WINAPI SkinRefreshScrollBars(void);
// The calling thread's last code (0 when it has none).
int WINAPI SkinGetLastError(void);
}

class AccelTable;
class SkinPackage;

// For the library's own parts (skin manager, hooks, skinners) in the same
// module.
bool SkinLibIsStarted();
void SkinLibSetError(int code);
// The default dialog skin name ("" = none).
const char* SkinLibGetDefaultDialogSkin();
// The installed skin, or null.
SkinPackage* SkinLibGetSkin();
// The library instance (window classes, hooks, resources); null before
// the first start.
HINSTANCE SkinLibGetInstance();
// SetLayeredWindowAttributes when the system has it (looked up at start).
bool SkinLibHasLayeredAttributes();
BOOL SkinLibSetLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
// The system "Button" window procedure, recorded at the first start.
WNDPROC SkinLibGetButtonProc();
// Number of started threads.
int SkinLibThreadCount();
// Gives a window an accelerator table for the keyboard hook (the library
// owns and deletes it; null removes the window's table).
void SkinLibSetAcceleratorTable(HWND window, AccelTable* table);
// The window's accelerator table, or null; a destroyed window has none.
AccelTable* SkinLibFindAcceleratorTable(HWND window);
// The frame object for new sizable tool windows ("" = none). Fails with
// code 19 while the library is not started.
BOOL SkinLibSetDefaultFrameSkin(const char* objectName);

#endif
