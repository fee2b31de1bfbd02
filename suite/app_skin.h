// The skin library as the disc programs use it: the shared library
// "VeneerKit" called by ordinal (1 start, 2 end, 4 load a skin resource,
// 5 skin a frame, 7 take a window's skin off, 8 set the default dialog
// skin, 9 skin one dialog). Results are ignored, as the programs do: a
// library that is missing or failing leaves the windows drawn by the
// system.
#pragma once

#include <windows.h>

namespace app_skin {

// Loads "VeneerKit" (once) and starts the library on this thread with the
// program's instance (ordinal 1).
void Start(HINSTANCE instance);
// Ordinal 4: the skin stored in the program's own module as resource id
// of type "RT_VENEERKIT".
void LoadSkinResource(UINT id);
// Ordinal 2, then the library is freed.
void End();

void SkinFrame(HWND window, const char* objectName);      // ordinal 5
void Detach(HWND window);                                  // ordinal 7
void SetDefaultDialogSkin(const char* objectName);         // ordinal 8
void SkinDialog(HWND window, const char* objectName);      // ordinal 9

// The skin object every dialog of the disc programs is drawn with.
extern const char kDialogSkin[];  // "Dialog"

}  // namespace app_skin
