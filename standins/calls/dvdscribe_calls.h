// The programs' side of the DVD-writing library "DvdScribe": its entries
// looked up by ordinal once and called through named members. A call into a
// library that could not be loaded fails like any other call: exception
// kDvdExNotStarted with a text saying so.
#pragma once

#include <string>

#include "standins/calls/outside_library.h"
#include "standins/include/dvdscribe.h"

// name, ordinal, type of every entry.
#define DVDSCRIBE_ENTRIES(X)                                               \
  X(StartUp, kDvdOrdStartUp, DvdStartUpFn)                                 \
  X(ShutDown, kDvdOrdShutDown, DvdShutDownFn)                              \
  X(FindDevices, kDvdOrdFindDevices, DvdFindDevicesFn)                     \
  X(Destroy, kDvdOrdDestroy, DvdDestroyFn)                                 \
  X(DeviceName, kDvdOrdDeviceName, DvdDeviceNameFn)                        \
  X(Create, kDvdOrdCreate, DvdCreateFn)                                    \
  X(DeviceInformation, kDvdOrdDeviceInformation, DvdDeviceInformationFn)   \
  X(Capabilities, kDvdOrdCapabilities, DvdCapabilitiesFn)                  \
  X(TestUnitReady, kDvdOrdTestUnitReady, DvdTestUnitReadyFn)               \
  X(GetUnderrunProtection, kDvdOrdGetUnderrunProtection, DvdGetUnderrunProtectionFn) \
  X(SetUnderrunProtection, kDvdOrdSetUnderrunProtection, DvdSetUnderrunProtectionFn) \
  X(GetSpeeds, kDvdOrdGetSpeeds, DvdGetSpeedsFn)                           \
  X(SetSpeeds, kDvdOrdSetSpeeds, DvdSetSpeedsFn)                           \
  X(SendOpc, kDvdOrdSendOpc, DvdSendOpcFn)                                 \
  X(TrackAtOnceFromTree, kDvdOrdTrackAtOnceFromTree, DvdTrackAtOnceFromTreeFn) \
  X(CloseSession, kDvdOrdCloseSession, DvdCloseSessionFn)                  \
  X(Eject, kDvdOrdEject, DvdEjectFn)                                       \
  X(Erase, kDvdOrdErase, DvdEraseFn)                                       \
  X(TrackInformation, kDvdOrdTrackInformation, DvdTrackInformationFn)      \
  X(DiscInformation, kDvdOrdDiscInformation, DvdDiscInformationFn)         \
  X(ProbeWriteModes, kDvdOrdProbeWriteModes, DvdProbeWriteModesFn)         \
  X(DiscType, kDvdOrdDiscType, DvdDiscTypeFn)                              \
  X(Cancel, kDvdOrdCancel, DvdCancelFn)                                    \
  X(CapabilityBytes, kDvdOrdCapabilityBytes, DvdCapabilityBytesFn)         \
  X(CreateUdf, kDvdOrdCreateUdf, DvdCreateUdfFn)                           \
  X(FreeUdf, kDvdOrdFreeUdf, DvdFreeUdfFn)                                 \
  X(TreeAddFile, kDvdOrdTreeAddFile, DvdTreeAddFileFn)                     \
  X(TreeAddFolder, kDvdOrdTreeAddFolder, DvdTreeAddFolderFn)               \
  X(FreeTree, kDvdOrdFreeTree, DvdFreeTreeFn)

class DvdScribeCalls {
public:
  // Loads the library and looks up every ordinal; true when all are there.
  bool Load(const char* name = DVDSCRIBE_LIBRARY_NAME);
  void Free();
  bool IsLoaded() const { return m_loaded; }

  int32_t StartUp(DvdFault* fault, const char* key, int32_t cacheKB);
  void ShutDown();
  int32_t FindDevices(DvdFault* fault, int32_t scope, DvdFindCallback callback, void* context);
  void Destroy(DvdBurner burner);
  int32_t DeviceName(DvdFault* fault, const DvdDeviceAddress* address, char* name, int32_t size);
  int32_t Create(DvdFault* fault, DvdBurner* burner, const DvdDeviceAddress* address,
                 DvdProgressCallback callback, void* context);
  int32_t DeviceInformation(DvdFault* fault, DvdBurner burner, char* vendor, char* product, char* revision);
  int32_t Capabilities(DvdFault* fault, DvdBurner burner, uint32_t* flags);
  int32_t TestUnitReady(DvdFault* fault, DvdBurner burner);
  int32_t GetUnderrunProtection(DvdFault* fault, DvdBurner burner, int32_t* available, int32_t* enabled);
  int32_t SetUnderrunProtection(DvdFault* fault, DvdBurner burner, int32_t enable);
  int32_t GetSpeeds(DvdFault* fault, DvdBurner burner, int32_t* read, int32_t* write);
  int32_t SetSpeeds(DvdFault* fault, DvdBurner burner, int32_t read, int32_t write);
  int32_t SendOpc(DvdFault* fault, DvdBurner burner);
  int32_t TrackAtOnceFromTree(DvdFault* fault, DvdBurner burner, DvdUdfImage image, int32_t testWrite);
  int32_t CloseSession(DvdFault* fault, DvdBurner burner);
  int32_t Eject(DvdFault* fault, DvdBurner burner);
  int32_t Erase(DvdFault* fault, DvdBurner burner, int32_t quick);
  int32_t TrackInformation(DvdFault* fault, DvdBurner burner, int32_t track, DvdTrackInformation* info);
  int32_t DiscInformation(DvdFault* fault, DvdBurner burner, DvdDiscInformation* info);
  int32_t ProbeWriteModes(DvdFault* fault, DvdBurner burner, uint32_t* modes);
  int32_t DiscType(DvdFault* fault, DvdBurner burner, int32_t* type);
  int32_t Cancel(DvdBurner burner);
  int32_t CapabilityBytes(DvdFault* fault, DvdBurner burner, DvdCapabilityBytes* bytes);
  int32_t CreateUdf(DvdFault* fault, DvdTreeNode root, const char* volumeLabel, DvdUdfImage* image);
  void FreeUdf(DvdUdfImage image);
  int32_t TreeAddFile(DvdFault* fault, DvdTreeNode parent, const char* path, DvdTreeNode* file);
  int32_t TreeAddFolder(DvdFault* fault, DvdTreeNode parent, const char* name, DvdTreeNode* folder);
  void FreeTree(DvdTreeNode root);

private:
  OutsideLibrary m_library;
  bool m_loaded = false;
  struct Entries {
#define DVDSCRIBE_MEMBER(name, ordinal, type) type name = nullptr;
    DVDSCRIBE_ENTRIES(DVDSCRIBE_MEMBER)
#undef DVDSCRIBE_MEMBER
  } m;
};

// The process-wide library; the first call loads "DvdScribe".
DvdScribeCalls& DvdScribe();

// "exception %ld, status %ld, text '%s'" of a failed call.
std::string FormatDvdFault(const DvdFault& fault);
