// The programs' side of the CD-writing library "CdScribe": every entry looked
// up by name once, called through members of the same names, and the error
// report of a failed call ("error: %s" with the library's text for the
// code). A call into a library that could not be loaded returns
// kCdLibraryMissing instead of crashing.
#pragma once

#include <string>

#include "standins/calls/outside_library.h"
#include "standins/include/cdscribe.h"

enum { kCdLibraryMissing = -1 };

class CdScribeCalls {
public:
  // Loads the library and looks up its entries; true when every entry the
  // disc creator needs is there (the burner's extra ones may be missing and
  // then answer kCdLibraryMissing).
  bool Load(const char* name = CDSCRIBE_LIBRARY_NAME);
  void Free();
  bool IsLoaded() const { return m_loaded; }

  int32_t Initialize(int32_t reserved, const char* owner, int32_t mode);
  int32_t CreateProject(int32_t type);
  int32_t DeleteProject();
  int32_t SetFinalizeEventCallback(CdFinalizeCallback callback, void* user);
  int32_t SetBurnDoneEventCallback(CdBurnDoneCallback callback, void* user);
  int32_t SetProcessEventCallback(CdProcessCallback callback, void* user);
  int32_t SetEraseDoneEventCallback(CdEraseDoneCallback callback, void* user);
  int32_t SetVideoScannerEventCallback(CdVideoScannerCallback callback, void* user);
  int32_t SetVideoScanDoneEventCallback(CdVideoScanDoneCallback callback, void* user);
  int32_t GetDevices(CdScribeDevice* list, int32_t* count, int32_t flags);
  int32_t SetDevice(int32_t driveLetter);
  int32_t GetDeviceCapabilities(uint32_t* flags);
  int32_t GetMediumInformation(CdScribeMedium* medium);
  int32_t GetOptions(CdScribeOptions* options);
  int32_t SetOptions(const CdScribeOptions& options);
  int32_t ClearAll();
  int32_t AddFile(const CdScribeFile& file);
  int32_t Prepare();
  int32_t Burn();
  int32_t Erase(int32_t mode);
  int32_t Abort();
  int32_t EjectDevice();
  int32_t GetText(int32_t code, char* buffer, int32_t* size);

private:
  OutsideLibrary m_library;
  bool m_loaded = false;
  // Every entry; reset as a whole when the library is freed.
  struct Entries {
    CdInitializeFn m_initialize = nullptr;
    CdCreateProjectFn m_createProject = nullptr;
    CdDeleteProjectFn m_deleteProject = nullptr;
    CdSetFinalizeEventCallbackFn m_setFinalize = nullptr;
    CdSetBurnDoneEventCallbackFn m_setBurnDone = nullptr;
    CdSetProcessEventCallbackFn m_setProcess = nullptr;
    CdSetEraseDoneEventCallbackFn m_setEraseDone = nullptr;
    CdSetVideoScannerEventCallbackFn m_setScanner = nullptr;
    CdSetVideoScanDoneEventCallbackFn m_setScanDone = nullptr;
    CdGetDevicesFn m_getDevices = nullptr;
    CdSetDeviceFn m_setDevice = nullptr;
    CdGetDeviceCapabilitiesFn m_getCapabilities = nullptr;
    CdGetMediumInformationFn m_getMedium = nullptr;
    CdGetOptionsFn m_getOptions = nullptr;
    CdSetOptionsFn m_setOptions = nullptr;
    CdClearAllFn m_clearAll = nullptr;
    CdAddFileFn m_addFile = nullptr;
    CdPrepareFn m_prepare = nullptr;
    CdBurnFn m_burn = nullptr;
    CdEraseFn m_erase = nullptr;
    CdAbortFn m_abort = nullptr;
    CdEjectDeviceFn m_eject = nullptr;
    CdGetTextFn m_getText = nullptr;
  } m = {};
};

// The process-wide library; the first call loads "CdScribe".
CdScribeCalls& CdScribe();

// "error: " and the library's text for the code (GetText with a buffer of
// 2048 characters).
std::string BurnEngineErrorText(int32_t code);
// Nothing for 0; otherwise a message box with BurnEngineErrorText.
void ShowBurnEngineError(int32_t code);
// Tests watch the boxes: box(text) instead of the message box; NULL restores it.
void SetBurnEngineErrorBox(void (*box)(const char* text));
