#include "discjob/job_vcd_burn.h"

#include <cstring>

#include "discjob/job_vcd_rules.h"
#include "mfc/mfc.h"
#include "standins/calls/cdscribe_calls.h"

namespace {

// Shows a failed call's error box; true when the call succeeded.
bool Succeeded(int32_t code) {
  ShowBurnEngineError(code);
  return code == kCdOk;
}

}  // namespace

CdWriterList FindCdWriters() {
  CdWriterList writers;
  CdScribeCalls& cd = CdScribe();
  CdScribeDevice devices[kCdMaxDevices];
  memset(devices, 0, sizeof devices);
  int32_t count = 0;
  if (!Succeeded(cd.GetDevices(devices, &count, 0))) return writers;
  if (count < 0) count = 0;
  if (count > kCdMaxDevices) count = kCdMaxDevices;
  std::vector<bool> holdsCdR;
  for (int32_t i = 0; i < count; ++i) {
    std::string text(devices[i].text, strnlen(devices[i].text, sizeof devices[i].text));
    if (text.empty() || !Succeeded(cd.SetDevice(static_cast<unsigned char>(text[0])))) continue;
    uint32_t capabilities = 0;
    if (!Succeeded(cd.GetDeviceCapabilities(&capabilities)) || (capabilities & kCdCapWriterMask) == 0) continue;
    writers.entries.push_back(text);
    CdScribeMedium medium;
    memset(&medium, 0, sizeof medium);
    int32_t code = cd.GetMediumInformation(&medium);
    medium.type[sizeof medium.type - 1] = 0;
    if (code != kCdNoMedium) ShowBurnEngineError(code);
    holdsCdR.push_back(code == kCdOk && HoldsCdR(medium.type));
  }
  writers.selected = PickCdWriter(holdsCdR);
  return writers;
}

bool SelectCdWriter(const char* entry) {
  return Succeeded(CdScribe().SetDevice(entry != nullptr ? static_cast<unsigned char>(entry[0]) : 0));
}

int StartCdErase() {
  CdScribeCalls& cd = CdScribe();
  CdScribeOptions options;
  memset(&options, 0, sizeof options);
  if (!Succeeded(cd.GetOptions(&options))) return -1;
  options.ejectWhenDone = 0;
  if (!Succeeded(cd.SetOptions(options)) || !Succeeded(cd.Erase(1))) return -1;
  return 0;
}

int StartCueImageBurn(const char* label, const char* cuePath) {
  CdScribeCalls& cd = CdScribe();
  CdScribeOptions options;
  memset(&options, 0, sizeof options);
  if (!Succeeded(cd.GetOptions(&options))) return kCdBurnFailed;
  SetBurnOptions(&options, label);
  if (!Succeeded(cd.SetOptions(options)) || !Succeeded(cd.ClearAll())) return kCdBurnFailed;
  CdScribeFile file;
  // A path the record cannot hold would name another file: refuse it as
  // the library refuses a bad argument.
  if (!MakeCueImageFile(cuePath, &file)) {
    ShowBurnEngineError(kCdBadArgument);
    return kCdBurnFailed;
  }
  if (!Succeeded(cd.AddFile(file)) || !Succeeded(cd.Prepare())) return kCdBurnFailed;
  int32_t code = cd.Burn();
  if (code == kCdNotWritable || code == kCdNotBlank || code == kCdNoMedium) {
    AfxMessageBox("Please insert a blank writable disc into the driver.");
    cd.EjectDevice();
    return kCdBurnNoBlankDisc;
  }
  return Succeeded(code) ? kCdBurnStarted : kCdBurnFailed;
}
