#include "standins/calls/dvdscribe_calls.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t Missing(DvdFault* fault) {
  if (fault != NULL) {
    fault->exception = kDvdExNotStarted;
    fault->status = 0;
    snprintf(fault->text, sizeof fault->text, "the DVD-writing library DvdScribe cannot be loaded");
  }
  return kDvdExNotStarted;
}

}  // namespace

bool DvdScribeCalls::Load(const char* name) {
  Free();
  if (!m_library.Load(name)) return false;
  bool all = true;
#define DVDSCRIBE_BIND(entry, ordinal, type) all &= m_library.Bind(ordinal, &m.entry);
  DVDSCRIBE_ENTRIES(DVDSCRIBE_BIND)
#undef DVDSCRIBE_BIND
  m_loaded = all;
  return all;
}

void DvdScribeCalls::Free() {
  m_library.Free();
  m_loaded = false;
  m = Entries();
}

int32_t DvdScribeCalls::StartUp(DvdFault* fault, const char* key, int32_t cacheKB) {
  return m.StartUp ? m.StartUp(fault, key, cacheKB) : Missing(fault);
}
void DvdScribeCalls::ShutDown() {
  if (m.ShutDown) m.ShutDown();
}
int32_t DvdScribeCalls::FindDevices(DvdFault* fault, int32_t scope, DvdFindCallback callback, void* context) {
  return m.FindDevices ? m.FindDevices(fault, scope, callback, context) : Missing(fault);
}
void DvdScribeCalls::Destroy(DvdBurner burner) {
  if (m.Destroy) m.Destroy(burner);
}
int32_t DvdScribeCalls::DeviceName(DvdFault* fault, const DvdDeviceAddress* address, char* name, int32_t size) {
  return m.DeviceName ? m.DeviceName(fault, address, name, size) : Missing(fault);
}
int32_t DvdScribeCalls::Create(DvdFault* fault, DvdBurner* burner, const DvdDeviceAddress* address,
                               DvdProgressCallback callback, void* context) {
  return m.Create ? m.Create(fault, burner, address, callback, context) : Missing(fault);
}
int32_t DvdScribeCalls::DeviceInformation(DvdFault* fault, DvdBurner burner, char* vendor, char* product,
                                          char* revision) {
  return m.DeviceInformation ? m.DeviceInformation(fault, burner, vendor, product, revision) : Missing(fault);
}
int32_t DvdScribeCalls::Capabilities(DvdFault* fault, DvdBurner burner, uint32_t* flags) {
  return m.Capabilities ? m.Capabilities(fault, burner, flags) : Missing(fault);
}
int32_t DvdScribeCalls::TestUnitReady(DvdFault* fault, DvdBurner burner) {
  return m.TestUnitReady ? m.TestUnitReady(fault, burner) : Missing(fault);
}
int32_t DvdScribeCalls::GetUnderrunProtection(DvdFault* fault, DvdBurner burner, int32_t* available,
                                              int32_t* enabled) {
  return m.GetUnderrunProtection ? m.GetUnderrunProtection(fault, burner, available, enabled) : Missing(fault);
}
int32_t DvdScribeCalls::SetUnderrunProtection(DvdFault* fault, DvdBurner burner, int32_t enable) {
  return m.SetUnderrunProtection ? m.SetUnderrunProtection(fault, burner, enable) : Missing(fault);
}
int32_t DvdScribeCalls::GetSpeeds(DvdFault* fault, DvdBurner burner, int32_t* read, int32_t* write) {
  return m.GetSpeeds ? m.GetSpeeds(fault, burner, read, write) : Missing(fault);
}
int32_t DvdScribeCalls::SetSpeeds(DvdFault* fault, DvdBurner burner, int32_t read, int32_t write) {
  return m.SetSpeeds ? m.SetSpeeds(fault, burner, read, write) : Missing(fault);
}
int32_t DvdScribeCalls::SendOpc(DvdFault* fault, DvdBurner burner) {
  return m.SendOpc ? m.SendOpc(fault, burner) : Missing(fault);
}
int32_t DvdScribeCalls::TrackAtOnceFromTree(DvdFault* fault, DvdBurner burner, DvdUdfImage image,
                                            int32_t testWrite) {
  return m.TrackAtOnceFromTree ? m.TrackAtOnceFromTree(fault, burner, image, testWrite) : Missing(fault);
}
int32_t DvdScribeCalls::CloseSession(DvdFault* fault, DvdBurner burner) {
  return m.CloseSession ? m.CloseSession(fault, burner) : Missing(fault);
}
int32_t DvdScribeCalls::Eject(DvdFault* fault, DvdBurner burner) {
  return m.Eject ? m.Eject(fault, burner) : Missing(fault);
}
int32_t DvdScribeCalls::Erase(DvdFault* fault, DvdBurner burner, int32_t quick) {
  return m.Erase ? m.Erase(fault, burner, quick) : Missing(fault);
}
int32_t DvdScribeCalls::TrackInformation(DvdFault* fault, DvdBurner burner, int32_t track,
                                         DvdTrackInformation* info) {
  return m.TrackInformation ? m.TrackInformation(fault, burner, track, info) : Missing(fault);
}
int32_t DvdScribeCalls::DiscInformation(DvdFault* fault, DvdBurner burner, DvdDiscInformation* info) {
  return m.DiscInformation ? m.DiscInformation(fault, burner, info) : Missing(fault);
}
int32_t DvdScribeCalls::ProbeWriteModes(DvdFault* fault, DvdBurner burner, uint32_t* modes) {
  return m.ProbeWriteModes ? m.ProbeWriteModes(fault, burner, modes) : Missing(fault);
}
int32_t DvdScribeCalls::DiscType(DvdFault* fault, DvdBurner burner, int32_t* type) {
  return m.DiscType ? m.DiscType(fault, burner, type) : Missing(fault);
}
int32_t DvdScribeCalls::Cancel(DvdBurner burner) {
  return m.Cancel ? m.Cancel(burner) : Missing(NULL);
}
int32_t DvdScribeCalls::CapabilityBytes(DvdFault* fault, DvdBurner burner, DvdCapabilityBytes* bytes) {
  return m.CapabilityBytes ? m.CapabilityBytes(fault, burner, bytes) : Missing(fault);
}
int32_t DvdScribeCalls::CreateUdf(DvdFault* fault, DvdTreeNode root, const char* volumeLabel,
                                  DvdUdfImage* image) {
  return m.CreateUdf ? m.CreateUdf(fault, root, volumeLabel, image) : Missing(fault);
}
void DvdScribeCalls::FreeUdf(DvdUdfImage image) {
  if (m.FreeUdf) m.FreeUdf(image);
}
int32_t DvdScribeCalls::TreeAddFile(DvdFault* fault, DvdTreeNode parent, const char* path, DvdTreeNode* file) {
  return m.TreeAddFile ? m.TreeAddFile(fault, parent, path, file) : Missing(fault);
}
int32_t DvdScribeCalls::TreeAddFolder(DvdFault* fault, DvdTreeNode parent, const char* name,
                                      DvdTreeNode* folder) {
  return m.TreeAddFolder ? m.TreeAddFolder(fault, parent, name, folder) : Missing(fault);
}
void DvdScribeCalls::FreeTree(DvdTreeNode root) {
  if (m.FreeTree) m.FreeTree(root);
}

DvdScribeCalls& DvdScribe() {
  static DvdScribeCalls calls;
  static bool tried = false;
  if (!tried) {
    tried = true;
    calls.Load();
  }
  return calls;
}

std::string FormatDvdFault(const DvdFault& fault) {
  char text[sizeof fault.text + 64];
  char message[sizeof fault.text];
  memcpy(message, fault.text, sizeof message);
  message[sizeof message - 1] = '\0';
  snprintf(text, sizeof text, "exception %ld, status %ld, text '%s'", static_cast<long>(fault.exception),
           static_cast<long>(fault.status), message);
  return text;
}
