#include "converter/skin_calls.h"

namespace skin_calls {

const char kDialogSkin[] = "Dialog";

namespace {

typedef BOOL(WINAPI* InitFn)(HINSTANCE, LPCSTR, LPCSTR, int);
typedef void(WINAPI* ExitFn)(void);
typedef BOOL(WINAPI* LoadFn)(HINSTANCE, LPCSTR, LPCSTR);
typedef BOOL(WINAPI* WindowFn)(HWND, LPCSTR);
typedef BOOL(WINAPI* NameFn)(LPCSTR);

HMODULE g_library = NULL;  // "VeneerKit", while started

template <class Fn>
Fn Ordinal(int ordinal) {
  if (g_library == NULL) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_library, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

void Start(HINSTANCE instance) {
  if (g_library == NULL) g_library = LoadLibraryA("VeneerKit");
  if (InitFn init = Ordinal<InitFn>(1)) init(instance, "", "", 0);
}

void LoadSkinResource(UINT id) {
  if (LoadFn load = Ordinal<LoadFn>(4)) load(NULL, MAKEINTRESOURCEA(id), "RT_VENEERKIT");
}

void End() {
  if (ExitFn exitFn = Ordinal<ExitFn>(2)) exitFn();
  if (g_library != NULL) FreeLibrary(g_library);
  g_library = NULL;
}

void SkinFrame(HWND window, const char* objectName) {
  if (WindowFn fn = Ordinal<WindowFn>(5)) fn(window, objectName);
}

void SetDefaultDialogSkin(const char* objectName) {
  if (NameFn fn = Ordinal<NameFn>(8)) fn(objectName);
}

void SkinDialog(HWND window, const char* objectName) {
  if (WindowFn fn = Ordinal<WindowFn>(9)) fn(window, objectName);
}

bool IsLoaded() { return g_library != NULL; }

}  // namespace skin_calls
