#include "discjob/job_dvd_writer.h"

#include <cstdio>
#include <cstring>

#include "discjob/job_dvd_rules.h"
#include "discjob/job_dvd_video_ts.h"
#include "suite/app_text_utils.h"
#include "suite/app_utils.h"
#include "suite/worker_thread.h"
#include "mfc/mfc.h"
#include "standins/calls/dvdscribe_calls.h"

namespace {

// The fixed text buffer the texts are bounded by.
const size_t kTextBuffer = 1024;

// The engine's start-up key; any text does.
const char kEngineKey[] = "Quorbel";
enum { kEngineCacheKB = 1024, kFindAllDevices = 5, kTrackAtOnceWrite = 0, kHighestSpeed = 0xFFFF };

DvdWriterTable g_writers = {};

// The burner object of the running write, for the cancel from the
// user-interface thread; the worker clears it before destroying the object.
CRITICAL_SECTION* BurnLock() {
  static CRITICAL_SECTION lock;
  static bool ready = [] {
    InitializeCriticalSection(&lock);
    return true;
  }();
  (void)ready;
  return &lock;
}
DvdBurner g_runningBurner = NULL;
bool g_cancelRequested = false;  // a cancel before the write began

void Box(const std::string& text) { AfxMessageBox(text.c_str(), MB_OK | MB_ICONERROR); }
// A worker's box, owned by the dialog it works for: the dialog takes no
// input (no second Burn) while it is open.
void BoxFor(HWND window, const std::string& text) {
  AfxShowMessageBox(window, text.c_str(), AfxGetAppName(), MB_OK | MB_ICONERROR);
}

long Ex(const DvdFault& fault) { return static_cast<long>(fault.exception); }
long St(const DvdFault& fault) { return static_cast<long>(fault.status); }
const char* Tx(const DvdFault& fault) { return fault.text; }

DvdDeviceAddress AddressOf(int index) {
  DvdDeviceAddress address = {sizeof(DvdDeviceAddress), 0, 0, 0, 0, {0, 0, 0}};
  if (index < 0 || index >= g_writers.count) return address;
  const DvdWriterEntry& e = g_writers.entries[index];
  address.port = static_cast<uint8_t>(e.port);
  address.bus = static_cast<uint8_t>(e.bus);
  address.target = static_cast<uint8_t>(e.target);
  address.lun = static_cast<uint8_t>(e.lun);
  return address;
}

int32_t OUTSIDE_CALL FindDeviceCallback(int32_t event, int32_t, const DvdDeviceAddress* address, void* context) {
  if (event != kDvdEventDeviceFound || address == NULL) return 0;
  DvdWriterTable* table = static_cast<DvdWriterTable*>(context);
  if (table->count >= kMaxDvdWriters) return 0;
  DvdWriterEntry& row = table->entries[table->count];
  memset(&row, 0, sizeof row);
  row.port = address->port;
  row.bus = address->bus;
  row.target = address->target;
  row.lun = address->lun;
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  DvdBurner burner = NULL;
  if (dvd.Create(&fault, &burner, address, NULL, NULL) != kDvdExNone) {
    Box(FormatText(kTextBuffer,
                   "Start DVD Burner Engine failed! \n\nFindDeviceCallback:Create() failed, exception %ld, status %ld, "
                   "text '%s'\n",
                   Ex(fault), St(fault), Tx(fault)));
    return 0;
  }
  char revision[64] = "";
  uint32_t flags = 0;
  DvdCapabilityBytes bytes = {};
  dvd.DeviceInformation(&fault, burner, row.vendor, row.product, revision);
  row.vendor[sizeof row.vendor - 1] = 0;
  row.product[sizeof row.product - 1] = 0;
  dvd.Capabilities(&fault, burner, &flags);
  dvd.CapabilityBytes(&fault, burner, &bytes);
  char name[16] = "";
  if (dvd.DeviceName(&fault, address, name, sizeof name) != kDvdExNone) {
    Box(FormatText(kTextBuffer,
                   "Create DVD Burner Engine failed! \n\nFindDeviceback:GetDeviceNameByDeviceAddress() failed, "
                   "exception %d ( 0x%x )\n",
                   static_cast<int>(fault.exception), static_cast<unsigned>(fault.exception)));
  } else {
    row.driveName[0] = name[0];
    row.driveName[1] = name[0] != 0 ? name[1] : 0;
    row.driveName[2] = 0;
    row.writesDvd = bytes.writeDvd;
    if (row.writesDvd == 1) table->count += 1;
  }
  dvd.Destroy(burner);
  return 0;
}

// Files of the folder as the disc's tree takes them, through the library.
class ScribeTree : public VideoTsTree {
public:
  ~ScribeTree() override {
    if (root_ != NULL) DvdScribe().FreeTree(root_);
  }
  bool AddFolders() override {
    DvdScribeCalls& dvd = DvdScribe();
    DvdTreeNode audioTs = NULL;
    return dvd.TreeAddFolder(&fault_, NULL, "", &root_) == kDvdExNone &&
           dvd.TreeAddFolder(&fault_, root_, "VIDEO_TS", &videoTs_) == kDvdExNone &&
           dvd.TreeAddFolder(&fault_, root_, "AUDIO_TS", &audioTs) == kDvdExNone;
  }
  bool AddFile(const std::string& path) override {
    return DvdScribe().TreeAddFile(&fault_, videoTs_, path.c_str(), NULL) == kDvdExNone;
  }
  DvdTreeNode Root() const { return root_; }

private:
  DvdFault fault_ = {};
  DvdTreeNode root_ = NULL;
  DvdTreeNode videoTs_ = NULL;
};

class DiskFiles : public VideoTsFiles {
public:
  int64_t SizeOf(const std::string& path) override { return GetFileSizeBytes64(path.c_str()); }
};

// ---- Erase worker ---------------------------------------------------------------

struct EraseJob {
  HWND window;
  DvdDeviceAddress address;
};

// Everything the worker does to the drive is done before it reports: once
// the dialog has its result, the user may start the next operation.
DWORD WINAPI Blank(LPVOID parameter) {
  EraseJob job = *static_cast<EraseJob*>(parameter);
  delete static_cast<EraseJob*>(parameter);
  ::PostMessageA(job.window, kDvdEraseMessage, kDvdEraseStarted, 0);
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  if (dvd.StartUp(&fault, kEngineKey, kEngineCacheKB) != kDvdExNone) {
    BoxFor(job.window, FormatText(kTextBuffer,
                                  "Initialize DVD Burner Engine failed!\n\nBlank:UpStart() failed, exception %ld\n",
                                  Ex(fault)));
    ::PostMessageA(job.window, kDvdEraseMessage, kDvdEraseFailed, 0);
    return 0;
  }
  DvdBurner burner = NULL;
  if (dvd.Create(&fault, &burner, &job.address, NULL, NULL) != kDvdExNone) {
    dvd.ShutDown();
    BoxFor(job.window,
           FormatText(kTextBuffer,
                      "Start DVD Burner Engine failed!\n\nBlank:Create() failed, exception %ld, status %ld, text '%s'\n",
                      Ex(fault), St(fault), Tx(fault)));
    ::PostMessageA(job.window, kDvdEraseMessage, kDvdEraseFailed, 0);
    return 0;
  }
  std::string failure;
  int32_t read = 0, write = 0;
  if (dvd.TestUnitReady(&fault, burner) != kDvdExNone) {
    failure = "No disc in the writer. Please insert a writable dvd disc into the driver.";
  } else if (dvd.SetSpeeds(&fault, burner, kHighestSpeed, kHighestSpeed),
             dvd.GetSpeeds(&fault, burner, &read, &write) != kDvdExNone) {
    failure = FormatText(kTextBuffer,
                         "Get DVD Burner Engine speed failed!\n\nBlank:GetSpeeds() failed, exception %ld, status %ld, "
                         "text '%s'\n",
                         Ex(fault), St(fault), Tx(fault));
  } else if (dvd.Erase(&fault, burner, 1) != kDvdExNone) {
    failure = FormatText(kTextBuffer,
                         "Erase DVD disc failed!\n\nBlank: Erase() failed, exception %ld, status %ld, text '%s'\n",
                         Ex(fault), St(fault), Tx(fault));
  }
  if (!failure.empty()) dvd.Eject(&fault, burner);
  dvd.Destroy(burner);
  dvd.ShutDown();
  if (!failure.empty()) BoxFor(job.window, failure);
  ::PostMessageA(job.window, kDvdEraseMessage, failure.empty() ? kDvdEraseDone : kDvdEraseFailed, 0);
  return 0;
}

// ---- Burn worker ------------------------------------------------------------------

struct BurnJob {
  HWND window;
  std::string folder;  // the disc folder
  std::string label;
  DvdDeviceAddress address;
};

// The progress callback's context: where to post and what was posted last.
struct BurnProgress {
  HWND window;
  int lastPercent;
};

int32_t OUTSIDE_CALL DvdScribeProgressCallback(int32_t event, void* context, int64_t total, int64_t done) {
  BurnProgress* progress = static_cast<BurnProgress*>(context);
  if (event == kDvdEventFinalizing) {
    ::PostMessageA(progress->window, kDvdBurnMessage, kDvdBurnFinalizing, 0);
  } else if (event == kDvdEventProgress && total > 0) {
    int percent = static_cast<int>(done * 100 / total);
    if (percent != progress->lastPercent) {
      progress->lastPercent = percent;
      ::PostMessageA(progress->window, kDvdBurnMessage, kDvdBurnPercent, percent);
    }
  }
  // The write runs on this thread: keep its messages flowing.
  MSG msg;
  while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}

void SetRunningBurner(DvdBurner burner) {
  EnterCriticalSection(BurnLock());
  g_runningBurner = burner;
  LeaveCriticalSection(BurnLock());
}

// A worker takes back its own burner only: a later burn's stays cancellable.
void ClearRunningBurner(DvdBurner burner) {
  EnterCriticalSection(BurnLock());
  if (g_runningBurner == burner) g_runningBurner = NULL;
  LeaveCriticalSection(BurnLock());
}

bool CancelRequested() {
  EnterCriticalSection(BurnLock());
  bool requested = g_cancelRequested;
  LeaveCriticalSection(BurnLock());
  return requested;
}

// What a step of the write left: nothing, a failure with its box, or a
// cancel (no box); whether the disc goes out afterwards; a note for a box
// after a write that succeeded.
struct BurnOutcome {
  bool failed = false;
  bool silent = false;
  bool eject = false;
  std::string text;
  std::string note;
  void Fail(const std::string& why, bool ejectDisc) {
    failed = true;
    text = why;
    eject = ejectDisc;
  }
};

// Steps 4 to 12 of the write, with the list built; the burner object is
// made here and destroyed by the caller.
void WriteDisc(const BurnJob& job, DvdTreeNode root, DvdBurner* burner, BurnProgress* progress,
               BurnOutcome* out) {
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  DvdUdfImage image = NULL;
  if (dvd.CreateUdf(&fault, root, job.label.c_str(), &image) != kDvdExNone)
    return out->Fail(FormatText(kTextBuffer, "Create UDF system failed, exception %ld, status %ld, text '%s'",
                                Ex(fault), St(fault), Tx(fault)),
                     false);
  struct ImageRelease {
    DvdUdfImage image;
    ~ImageRelease() { DvdScribe().FreeUdf(image); }
  } release = {image};
  if (dvd.Create(&fault, burner, &job.address, DvdScribeProgressCallback, progress) != kDvdExNone)
    return out->Fail(FormatText(kTextBuffer,
                                "Construct DVD burner failed!\n\nDVDVideoBurn:Create() exception %ld, status %ld, "
                                "text '%s'",
                                Ex(fault), St(fault), Tx(fault)),
                     false);
  SetRunningBurner(*burner);
  char vendor[64] = "", product[64] = "", revision[64] = "";
  dvd.DeviceInformation(&fault, *burner, vendor, product, revision);
  uint32_t modes = 0;
  if (dvd.ProbeWriteModes(&fault, *burner, &modes) != kDvdExNone)
    return out->Fail(FormatText(kTextBuffer,
                                "Probe supported write modes failed!\n\nDVDVideoBurn:ProbeSupportedWriteModes() "
                                "exception %ld, status %ld, text '%s'",
                                Ex(fault), St(fault), Tx(fault)),
                     false);
  if ((modes & kDvdWriteTrackAtOnce) == 0) return out->Fail("Track-At-Once is unsupported!", false);
  if (dvd.TestUnitReady(&fault, *burner) != kDvdExNone)
    return out->Fail("No disc in the writer,please check if a disc in the writer.", true);
  DvdTrackInformation track = {};
  if (dvd.TrackInformation(&fault, *burner, 255, &track) != kDvdExNone)
    return out->Fail(
        FormatText(kTextBuffer, "DVDVideoBurn: GetTrackInformation() failed, exception %ld, status %ld, text '%s'\n",
                   Ex(fault), St(fault), Tx(fault)),
        false);
  DvdDiscInformation disc = {};
  if (dvd.DiscInformation(&fault, *burner, &disc) != kDvdExNone)
    return out->Fail(FormatText(kTextBuffer,
                                "Get disc information failed! DVDVideoBurn:GetDiscInformation() exception %ld, status "
                                "%ld, text '%s'\n",
                                Ex(fault), St(fault), Tx(fault)),
                     true);
  int32_t type = 0;
  dvd.DiscType(&fault, *burner, &type);
  if (!IsWritableDvdType(type))
    return out->Fail("The inserted disc is not a writable dvd disc. Please insert a writable dvd disc into the "
                     "driver.",
                     true);
  if (track.usedSectors != 0)
    return out->Fail("The inserted disc is not a empty dvd disc. Please insert a blank disc into the driver.", true);
  int32_t available = 0, enabled = 0;
  if (dvd.GetUnderrunProtection(&fault, *burner, &available, &enabled) != kDvdExNone)
    return out->Fail(FormatText(kTextBuffer,
                                "Getting buffer underrun protection failed!\n\nDVDVideoBurn:GetBUP() exception %ld, "
                                "status %ld, text '%s'\n",
                                Ex(fault), St(fault), Tx(fault)),
                     true);
  if (available && dvd.SetUnderrunProtection(&fault, *burner, 1) != kDvdExNone)
    return out->Fail(FormatText(kTextBuffer,
                                "Setting buffer underrun protection failed!\n\nDVDVideoBurn:SetBUP() exception %ld, "
                                "status %ld, text '%s'\n",
                                Ex(fault), St(fault), Tx(fault)),
                     true);
  dvd.SetSpeeds(&fault, *burner, kHighestSpeed, kHighestSpeed);
  dvd.SendOpc(&fault, *burner);  // its result changes nothing here
  progress->lastPercent = 0;
  ::PostMessageA(job.window, kDvdBurnMessage, kDvdBurnStarted, 0);
  if (CancelRequested()) {
    out->failed = out->silent = true;
    return;
  }
  if (dvd.TrackAtOnceFromTree(&fault, *burner, image, kTrackAtOnceWrite) != kDvdExNone) {
    if (fault.exception == kDvdExCancelled && fault.status == kDvdStatusCancelled) {
      out->failed = out->silent = out->eject = true;
      return;
    }
    return out->Fail(FormatText(kTextBuffer,
                                "Writting failed!\n\n DVDVideoBurn:TrackAtOnceFromTree() exception %ld, status %ld, "
                                "text '%s'\n",
                                Ex(fault), St(fault), Tx(fault)),
                     true);
  }
  dvd.CloseSession(&fault, *burner);
  if (dvd.Eject(&fault, *burner) != kDvdExNone)
    out->note = FormatText(kTextBuffer, "Ejecting the disc failed, exception %ld, status %ld, text '%s'\n",
                           Ex(fault), St(fault), Tx(fault));
}

// As the erase worker: the drive is done with and the burner taken back
// before the box and the report.
DWORD WINAPI DVDVideoBurn(LPVOID parameter) {
  BurnJob job = *static_cast<BurnJob*>(parameter);
  delete static_cast<BurnJob*>(parameter);
  ::PostMessageA(job.window, kDvdBurnMessage, kDvdBurnPreparing, 0);
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  if (dvd.StartUp(&fault, kEngineKey, kEngineCacheKB) != kDvdExNone) {
    BoxFor(job.window,
           FormatText(kTextBuffer,
                      "Initialize DVD Burner Engine failed! \n\nDVDVideoBurn: UpStart() failed, exception %ld\n",
                      Ex(fault)));
    ::PostMessageA(job.window, kDvdBurnMessage, kDvdBurnFailed, 0);
    return 0;
  }
  // The files sit in the folder itself or, as the authoring leaves them, in
  // its VIDEO_TS folder.
  DiskFiles files;
  std::string message;
  ScribeTree* tree = new ScribeTree;
  int listed = BuildVideoTsList(job.folder, files, *tree, &message);
  if (listed == kVideoTsListMissing) {
    delete tree;
    tree = new ScribeTree;
    listed = BuildVideoTsList(job.folder + "VIDEO_TS\\", files, *tree, &message);
  }
  BurnOutcome outcome;
  DvdBurner burner = NULL;
  BurnProgress progress = {job.window, 0};
  if (listed != kVideoTsListOk)
    outcome.Fail(message, false);
  else
    WriteDisc(job, tree->Root(), &burner, &progress, &outcome);
  if (outcome.failed && outcome.eject && burner != NULL) dvd.Eject(&fault, burner);
  delete tree;
  ClearRunningBurner(burner);
  if (burner != NULL) dvd.Destroy(burner);
  dvd.ShutDown();
  if (outcome.failed && !outcome.silent) BoxFor(job.window, outcome.text);
  if (!outcome.failed && !outcome.note.empty()) BoxFor(job.window, outcome.note);
  ::PostMessageA(job.window, kDvdBurnMessage, outcome.failed ? kDvdBurnFailed : kDvdBurnDone, 0);
  return 0;
}

}  // namespace

DvdWriterTable& DvdWriters() { return g_writers; }

int FindDevice() {
  g_writers.count = 0;
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  if (dvd.StartUp(&fault, kEngineKey, kEngineCacheKB) != kDvdExNone) {
    Box(FormatText(kTextBuffer,
                   "Initialize DVD Burner Engine failed!\n\nFindDevice:UpStartEx() failed, exception %ld\n",
                   Ex(fault)));
    return fault.exception;
  }
  dvd.FindDevices(&fault, kFindAllDevices, FindDeviceCallback, &g_writers);
  dvd.ShutDown();
  return 0;
}

std::string DvdWriterText(int index) {
  if (index < 0 || index >= g_writers.count) return std::string();
  const DvdWriterEntry& e = g_writers.entries[index];
  return DvdWriterEntryText(e.driveName, e.vendor, e.product);
}

InsertedDisc GetInsertedDiscInfo(int index) {
  InsertedDisc result = {0, 0, 0};
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  if (dvd.StartUp(&fault, kEngineKey, kEngineCacheKB) != kDvdExNone) {
    Box(FormatText(kTextBuffer,
                   "Initialize DVD Burner Engine failed! \n\nGetInsertedDiscInfo: UpStart() failed, exception %ld\n",
                   Ex(fault)));
    return result;
  }
  DvdDeviceAddress address = AddressOf(index);
  DvdBurner burner = NULL;
  if (index < 0 || index >= g_writers.count || dvd.Create(&fault, &burner, &address, NULL, NULL) != kDvdExNone) {
    if (index < 0 || index >= g_writers.count) {
      fault.exception = kDvdExNoDevice;
      snprintf(fault.text, sizeof fault.text, "no writer is selected");
    }
    Box(FormatText(
        kTextBuffer,
        "Start DVD Burner Engine failed! \n\nGetInsertedDiscInfo: Create() failed, exception %ld, status %ld, "
        "text '%s'\n",
        Ex(fault), St(fault), Tx(fault)));
    dvd.ShutDown();
    return result;
  }
  DvdTrackInformation track = {};
  DvdDiscInformation disc = {};
  int32_t type = 0;
  bool eject = true;
  if (dvd.TestUnitReady(&fault, burner) != kDvdExNone) {
    Box("No disc in the writer. Please insert a writable dvd disc into the driver.");
  } else if (dvd.TrackInformation(&fault, burner, 255, &track) != kDvdExNone) {
    Box("Please insert a blank writable DVD disc into the driver.");
  } else if (dvd.DiscInformation(&fault, burner, &disc) != kDvdExNone) {
    Box(FormatText(kTextBuffer,
                   "Get disc info failed. Please insert a writable dvd disc into the driver.\n\n"
                   "GetInsertedDiscInfo:GetDiscInformation() failed, exception %ld, status %ld, text '%s'\n",
                   Ex(fault), St(fault), Tx(fault)));
  } else {
    dvd.DiscType(&fault, burner, &type);
    result.writable = IsWritableDvdType(type) ? 1 : 0;
    result.erasable = disc.erasable;
    result.blank = track.usedSectors == 0 ? 1 : 0;
    if (result.writable && (result.erasable || result.blank)) {
      eject = false;
    } else if (result.writable) {
      Box("The inserted disc is not a empty dvd disc. Please insert a blank disc into the driver.");
      result.writable = 0;
    } else {
      Box("The inserted disc is not a writable dvd disc. Please insert a writable dvd disc into the driver.");
    }
  }
  if (eject) dvd.Eject(&fault, burner);
  dvd.Destroy(burner);
  dvd.ShutDown();
  return result;
}

BOOL StartEraseThread(HWND window, int index) {
  EraseJob* job = new EraseJob{window, AddressOf(index)};
  if (!StartWorkerThread(Blank, job)) {
    delete job;
    return FALSE;
  }
  return TRUE;
}

BOOL StartDvdBurnThread(HWND window, const char* folder, const char* volumeLabel, int index) {
  BurnJob* job = new BurnJob{window, folder != NULL ? folder : "", std::string(), AddressOf(index)};
  job->label.assign(volumeLabel != NULL ? volumeLabel : "", 0, 256);
  EnterCriticalSection(BurnLock());
  g_cancelRequested = false;
  LeaveCriticalSection(BurnLock());
  if (!StartWorkerThread(DVDVideoBurn, job)) {
    delete job;
    return FALSE;
  }
  return TRUE;
}

void AbortDvdBurn() {
  EnterCriticalSection(BurnLock());
  g_cancelRequested = true;
  if (g_runningBurner != NULL) DvdScribe().Cancel(g_runningBurner);
  LeaveCriticalSection(BurnLock());
}
