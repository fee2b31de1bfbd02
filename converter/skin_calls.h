// The skin library as the converter calls it: "VeneerKit" loaded at run
// time and its operations taken by ordinal (1 start, 2 end, 4 load a skin
// resource, 5 skin a frame, 8 default dialog skin, 9 skin one dialog).
// Results are not tested: without the library the windows stay unskinned.
#pragma once

#include <windows.h>

namespace skin_calls {

void Start(HINSTANCE instance);                        // loads the library, ordinal 1
void LoadSkinResource(UINT id);                        // ordinal 4, type "RT_VENEERKIT"
void End();                                            // ordinal 2, then frees it
void SkinFrame(HWND window, const char* objectName);   // ordinal 5
void SetDefaultDialogSkin(const char* objectName);     // ordinal 8
void SkinDialog(HWND window, const char* objectName);  // ordinal 9
bool IsLoaded();

extern const char kDialogSkin[];  // "Dialog"

}  // namespace skin_calls
