// A library that hooks the module loaders with its own copy of the
// interception code, as the skin library does: the tests free it after
// the end and call what GetProcAddress handed out meanwhile.
#include <windows.h>

#include "skin/core/api_hook.h"

extern "C" {
__declspec(dllexport) BOOL HookLoadersStart() { return HookModuleLoaders(); }
__declspec(dllexport) void HookLoadersEnd() { UnhookModuleLoaders(); }
}
