#include "suite/app_startup.h"

#include "suite/app_skin.h"
#include "standins/calls/muxtools_calls.h"

const char kDirectXTooOldText[] = "This program needs directX 8.0 or greater to run!   ";
const char* const kSystemFilterLibraries[3] = {"\\MPEGFilter.dll", "\\MPEGWriteFilter.dll", "\\DVDEncoder.dll"};
const char kProgramFilterLibrary[] = "RealMedia.dll";

namespace app_startup {

namespace {

typedef HRESULT(WINAPI* DllRegisterServerFn)();

}  // namespace

BOOL CheckDirectX(int installedVersion) {
  if (installedVersion >= kMinimumDirectXVersion) return TRUE;
  AfxMessageBox(kDirectXTooOldText);
  return FALSE;
}

int RegisterDll(const char* path) {
  HMODULE library = LoadLibraryA(path);
  if (library == NULL) {
    AfxMessageBox(CString("LoadLibrary:") + path + " failed!");
    return 0;
  }
  DllRegisterServerFn registerServer = reinterpret_cast<DllRegisterServerFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
  if (registerServer == nullptr) {
    AfxMessageBox(CString("DllRegisterServer failed:") + path);
    return 0;
  }
  if (FAILED(registerServer())) {
    AfxMessageBox(CString("DllRegisterServer failed:") + path);
    FreeLibrary(library);
    return 0;
  }
  return 1;
}

BOOL RegisterFilterLibraries(const CString& systemFolder, const CString& programFolder) {
  for (const char* name : kSystemFilterLibraries)
    if (!RegisterDll(systemFolder + name)) return FALSE;
  return RegisterDll(programFolder + kProgramFilterLibrary) ? TRUE : FALSE;
}

BOOL LoadMultiplexer() {
  switch (LoadMplexLibrary()) {
    case kMplexNoLibrary: AfxMessageBox(kMplexCannotLoadText); return FALSE;
    case kMplexNoEntry: AfxMessageBox(kMplexNoEntryText); return FALSE;
    default: return TRUE;
  }
}

void StartSkin(HINSTANCE instance, UINT skinResource) {
  app_skin::Start(instance);
  app_skin::LoadSkinResource(skinResource);
}

}  // namespace app_startup
