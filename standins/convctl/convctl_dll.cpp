// MPEGCreator.dll: the in-process server of the conversion control - class
// factory, unloading and registration under HKEY_CLASSES_ROOT\CLSID.
#include <windows.h>
#include <ole2.h>

#include <cstring>
#include <string>

#include "standins/common/standin_trace.h"
#include "standins/convctl/convctl_control.h"
#include "standins/include/convctl.h"

namespace convctl {

HMODULE g_module = NULL;
LONG g_objects = 0;
LONG g_locks = 0;
const char kTraceName[] = "MPEGCreator";

namespace {

class ClassFactory : public IClassFactory {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == NULL) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
  }
  // The factory is static: its references do not keep the module.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == NULL) return E_POINTER;
    *ppv = NULL;
    if (outer != NULL) return CLASS_E_NOAGGREGATION;
    return CreateConversionControl(riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&g_locks);
    else
      InterlockedDecrement(&g_locks);
    return S_OK;
  }
};

ClassFactory g_factory;

const char kClsidKey[] = "CLSID\\" CONVERSION_CONTROL_CLSID_TEXT;

bool SetKeyValue(const std::string& path, const char* name, const char* value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                               static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

void DeleteTree(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) break;
    std::string child = std::string(path) + "\\" + name;
    DeleteTree(root, child.c_str());
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path);
}

}  // namespace
}  // namespace convctl

using namespace convctl;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  // The control's window class points into this module: it goes with it,
  // so that a later load registers it afresh.
  if (reason == DLL_PROCESS_DETACH) UnregisterControlWindowClass();
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (ppv == NULL) return E_POINTER;
  *ppv = NULL;
  if (!IsEqualCLSID(clsid, CLSID_ConversionControl)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow(void) {
  return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DllRegisterServer(void) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(g_module, path, sizeof path);
  std::string clsid = kClsidKey;
  bool ok = SetKeyValue(clsid, NULL, "Quorbel conversion control") &&
            SetKeyValue(clsid + "\\InprocServer32", NULL, path) &&
            SetKeyValue(clsid + "\\InprocServer32", "ThreadingModel", "Apartment") &&
            SetKeyValue(clsid + "\\Control", NULL, "") &&
            SetKeyValue(clsid + "\\MiscStatus", NULL, "132497");
  StandinTrace(kTraceName, "DllRegisterServer from \"%s\" -> %s", path, ok ? "ok" : "failed");
  return ok ? S_OK : E_FAIL;
}

extern "C" HRESULT WINAPI DllUnregisterServer(void) {
  DeleteTree(HKEY_CLASSES_ROOT, kClsidKey);
  StandinTrace(kTraceName, "DllUnregisterServer");
  return S_OK;
}
