#include "suite/app_skin.h"

namespace app_skin {

const char kDialogSkin[] = "Dialog";

namespace {

typedef BOOL(WINAPI* StartFn)(HINSTANCE, LPCSTR, LPCSTR, int);
typedef void(WINAPI* EndFn)();
typedef BOOL(WINAPI* LoadResourceFn)(HINSTANCE, LPCSTR, LPCSTR);
typedef BOOL(WINAPI* WindowNameFn)(HWND, LPCSTR);
typedef BOOL(WINAPI* WindowFn)(HWND);
typedef BOOL(WINAPI* NameFn)(LPCSTR);

enum {
  kOrdinalStart = 1,
  kOrdinalEnd = 2,
  kOrdinalLoadResource = 4,
  kOrdinalSkinFrame = 5,
  kOrdinalDetach = 7,
  kOrdinalDefaultDialogSkin = 8,
  kOrdinalSkinDialog = 9,
};

HMODULE g_library = NULL;  // "VeneerKit", loaded by Start

template <class Fn>
Fn Entry(int ordinal) {
  if (g_library == NULL) return nullptr;
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(g_library, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

void Start(HINSTANCE instance) {
  if (g_library == NULL) g_library = LoadLibraryA("VeneerKit");
  // The two strings are not read by the library; they name the program.
  if (StartFn start = Entry<StartFn>(kOrdinalStart)) start(instance, "Vantrel", "Vantrel", 0);
}

void LoadSkinResource(UINT id) {
  if (LoadResourceFn load = Entry<LoadResourceFn>(kOrdinalLoadResource))
    load(NULL, MAKEINTRESOURCEA(id), "RT_VENEERKIT");
}

void End() {
  if (EndFn end = Entry<EndFn>(kOrdinalEnd)) end();
  if (g_library != NULL) FreeLibrary(g_library);
  g_library = NULL;
}

void SkinFrame(HWND window, const char* objectName) {
  if (WindowNameFn fn = Entry<WindowNameFn>(kOrdinalSkinFrame)) fn(window, objectName);
}

void Detach(HWND window) {
  if (WindowFn fn = Entry<WindowFn>(kOrdinalDetach)) fn(window);
}

void SetDefaultDialogSkin(const char* objectName) {
  if (NameFn fn = Entry<NameFn>(kOrdinalDefaultDialogSkin)) fn(objectName);
}

void SkinDialog(HWND window, const char* objectName) {
  if (WindowNameFn fn = Entry<WindowNameFn>(kOrdinalSkinDialog)) fn(window, objectName);
}

}  // namespace app_skin
