// A library loaded by the interception tests after a redirection exists:
// its import of HookTargetImported is rewritten as it is loaded.
#include <windows.h>

extern "C" {
__declspec(dllimport) int HookTargetImported(int x);
__declspec(dllexport) int CallImportedTarget(int x) { return HookTargetImported(x) + 1; }
}
