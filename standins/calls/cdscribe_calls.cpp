#include "standins/calls/cdscribe_calls.h"

#include <cstdio>

namespace {

void (*g_errorBox)(const char* text) = NULL;

// A call through an entry that may be missing.
template <class Fn, class... Args>
int32_t Call(Fn fn, Args... args) {
  return fn != nullptr ? fn(args...) : static_cast<int32_t>(kCdLibraryMissing);
}

}  // namespace

bool CdScribeCalls::Load(const char* name) {
  Free();
  if (!m_library.Load(name)) return false;
  bool all = true;
  all &= m_library.Bind("Initialize", &m.m_initialize);
  all &= m_library.Bind("CreateProject", &m.m_createProject);
  all &= m_library.Bind("SetFinalizeEventCallback", &m.m_setFinalize);
  all &= m_library.Bind("SetBurnDoneEventCallback", &m.m_setBurnDone);
  all &= m_library.Bind("SetProcessEventCallback", &m.m_setProcess);
  all &= m_library.Bind("SetEraseDoneEventCallback", &m.m_setEraseDone);
  all &= m_library.Bind("GetDevices", &m.m_getDevices);
  all &= m_library.Bind("SetDevice", &m.m_setDevice);
  all &= m_library.Bind("GetDeviceCapabilities", &m.m_getCapabilities);
  all &= m_library.Bind("GetMediumInformation", &m.m_getMedium);
  all &= m_library.Bind("GetOptions", &m.m_getOptions);
  all &= m_library.Bind("SetOptions", &m.m_setOptions);
  all &= m_library.Bind("ClearAll", &m.m_clearAll);
  all &= m_library.Bind("AddFile", &m.m_addFile);
  all &= m_library.Bind("Prepare", &m.m_prepare);
  all &= m_library.Bind("Burn", &m.m_burn);
  all &= m_library.Bind("Erase", &m.m_erase);
  all &= m_library.Bind("Abort", &m.m_abort);
  all &= m_library.Bind("EjectDevice", &m.m_eject);
  all &= m_library.Bind("GetText", &m.m_getText);
  // The burner's extras.
  m_library.Bind("DeleteProject", &m.m_deleteProject);
  m_library.Bind("SetVideoScannerEventCallback", &m.m_setScanner);
  m_library.Bind("SetVideoScanDoneEventCallback", &m.m_setScanDone);
  m_loaded = all;
  return all;
}

void CdScribeCalls::Free() {
  m_library.Free();
  m_loaded = false;
  m = Entries();
}

int32_t CdScribeCalls::Initialize(int32_t reserved, const char* owner, int32_t mode) {
  return Call(m.m_initialize, reserved, owner, mode);
}
int32_t CdScribeCalls::CreateProject(int32_t type) { return Call(m.m_createProject, type); }
int32_t CdScribeCalls::DeleteProject() { return Call(m.m_deleteProject); }
int32_t CdScribeCalls::SetFinalizeEventCallback(CdFinalizeCallback callback, void* user) {
  return Call(m.m_setFinalize, callback, user);
}
int32_t CdScribeCalls::SetBurnDoneEventCallback(CdBurnDoneCallback callback, void* user) {
  return Call(m.m_setBurnDone, callback, user);
}
int32_t CdScribeCalls::SetProcessEventCallback(CdProcessCallback callback, void* user) {
  return Call(m.m_setProcess, callback, user);
}
int32_t CdScribeCalls::SetEraseDoneEventCallback(CdEraseDoneCallback callback, void* user) {
  return Call(m.m_setEraseDone, callback, user);
}
int32_t CdScribeCalls::SetVideoScannerEventCallback(CdVideoScannerCallback callback, void* user) {
  return Call(m.m_setScanner, callback, user);
}
int32_t CdScribeCalls::SetVideoScanDoneEventCallback(CdVideoScanDoneCallback callback, void* user) {
  return Call(m.m_setScanDone, callback, user);
}
int32_t CdScribeCalls::GetDevices(CdScribeDevice* list, int32_t* count, int32_t flags) {
  return Call(m.m_getDevices, list, count, flags);
}
int32_t CdScribeCalls::SetDevice(int32_t driveLetter) { return Call(m.m_setDevice, driveLetter); }
int32_t CdScribeCalls::GetDeviceCapabilities(uint32_t* flags) { return Call(m.m_getCapabilities, flags); }
int32_t CdScribeCalls::GetMediumInformation(CdScribeMedium* medium) { return Call(m.m_getMedium, medium); }
int32_t CdScribeCalls::GetOptions(CdScribeOptions* options) { return Call(m.m_getOptions, options); }
int32_t CdScribeCalls::SetOptions(const CdScribeOptions& options) { return Call(m.m_setOptions, options); }
int32_t CdScribeCalls::ClearAll() { return Call(m.m_clearAll); }
int32_t CdScribeCalls::AddFile(const CdScribeFile& file) { return Call(m.m_addFile, file); }
int32_t CdScribeCalls::Prepare() { return Call(m.m_prepare); }
int32_t CdScribeCalls::Burn() { return Call(m.m_burn); }
int32_t CdScribeCalls::Erase(int32_t mode) { return Call(m.m_erase, mode); }
int32_t CdScribeCalls::Abort() { return Call(m.m_abort); }
int32_t CdScribeCalls::EjectDevice() { return Call(m.m_eject); }
int32_t CdScribeCalls::GetText(int32_t code, char* buffer, int32_t* size) {
  return Call(m.m_getText, code, buffer, size);
}

CdScribeCalls& CdScribe() {
  // Loaded on first use, on the user-interface thread at start-up.
  static CdScribeCalls calls;
  static bool tried = false;
  if (!tried) {
    tried = true;
    calls.Load();
  }
  return calls;
}

std::string BurnEngineErrorText(int32_t code) {
  char text[kCdTextBufferSize] = "";
  int32_t size = sizeof text;
  if (CdScribe().GetText(code, text, &size) != kCdOk) {
    if (code == kCdLibraryMissing)
      snprintf(text, sizeof text, "the CD-writing library CdScribe cannot be loaded");
    else
      snprintf(text, sizeof text, "unknown error %d", static_cast<int>(code));
  }
  text[sizeof text - 1] = '\0';
  return std::string("error: ") + text;
}

void ShowBurnEngineError(int32_t code) {
  if (code == 0) return;
  std::string text = BurnEngineErrorText(code);
  if (g_errorBox != NULL)
    g_errorBox(text.c_str());
  else
    MessageBoxA(NULL, text.c_str(), NULL, MB_OK | MB_ICONERROR);
}

void SetBurnEngineErrorBox(void (*box)(const char* text)) { g_errorBox = box; }
