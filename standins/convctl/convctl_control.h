// The conversion control object of MPEGCreator.dll and what the module
// shares with it.
#pragma once

#include <windows.h>

namespace convctl {

extern HMODULE g_module;   // this DLL
extern LONG g_objects;     // living COM objects (DllCanUnloadNow)
extern LONG g_locks;       // IClassFactory::LockServer count

// A new control; its interface riid in *ppv.
HRESULT CreateConversionControl(REFIID riid, void** ppv);
// Unregisters the controls' window class (the module is unloading).
void UnregisterControlWindowClass();

// The trace's library name.
extern const char kTraceName[];

}  // namespace convctl
