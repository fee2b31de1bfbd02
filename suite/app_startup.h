// The start-up steps every disc program (creator, burner, converter) takes
// before its first window, in this order: the DirectX check, the
// registration of the conversion control's filter libraries (creator and
// converter), the multiplexer library, then the skin library with the
// program's stored skin. Each failing step has shown its message box when
// it returns FALSE; the program then ends.
#pragma once

#include <windows.h>

#include "mfc/mfc.h"

// The minimum DirectX version (8.0) and its refusal.
enum { kMinimumDirectXVersion = 80 };
extern const char kDirectXTooOldText[];  // "This program needs directX 8.0 or greater to run!   "
// The filter libraries registered at every start: in the system folder,
// then in the program folder.
extern const char* const kSystemFilterLibraries[3];  // "\MPEGFilter.dll", ...
extern const char kProgramFilterLibrary[];           // "RealMedia.dll"

namespace app_startup {

// FALSE after the refusal when the installed version is below 8.0.
BOOL CheckDirectX(int installedVersion);

// Registers one filter library: loads it and calls its DllRegisterServer.
// 1 on success (the library stays loaded for the conversion control), else
// 0 after its message box.
int RegisterDll(const char* path);

// The three system-folder filters (systemFolder without a trailing
// backslash), then the program folder's (with one); FALSE at the first
// that fails.
BOOL RegisterFilterLibraries(const CString& systemFolder, const CString& programFolder);

// Loads the multiplexer library (kept until the program frees it); FALSE
// after its message when the library or its entry is missing.
BOOL LoadMultiplexer();

// Starts the skin library and loads the program's stored skin resource.
void StartSkin(HINSTANCE instance, UINT skinResource);

}  // namespace app_startup
