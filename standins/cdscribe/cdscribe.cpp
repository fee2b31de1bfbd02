// CdScribe.dll: the CD-writing library as a stand-in. Its drives are the
// virtual drives of the settings file (standins/common/virtual_drives.h); a
// burn writes each cue sheet's image, track by track, and the sheet itself
// into the folder that stands for the disc; an erase empties it. Burns,
// erases and video scans run on a thread of their own and report through the
// callbacks, in the order a real drive would: process events, then finalize
// and burn done (or erase done, or scan done).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/base/vcd_messages.h"
#include "standins/cdscribe/cue_sheet.h"
#include "standins/cdscribe/video_judge.h"
#include "standins/common/folders.h"
#include "standins/common/standin_trace.h"
#include "standins/common/virtual_drives.h"
#include "standins/include/cdscribe.h"

// Exported by name through CdScribe.def.
#define CD_EXPORT extern "C"

namespace {

const char kLib[] = "CdScribe";

// Everything the library keeps between calls; guarded by g_lock. The worker
// thread reads its own copy of what it needs.
struct LibraryState {
  bool initialized = false;
  int project = 0;                      // kCdProject*, 0 none
  char device = 0;                      // selected drive letter
  CdScribeOptions options = {};
  std::vector<CdScribeFile> files;      // the project's files
  bool prepared = false;                // Prepare passed since the last change
  int64_t preparedSectors = 0;
  CdFinalizeCallback finalize = nullptr;
  void* finalizeUser = nullptr;
  CdBurnDoneCallback burnDone = nullptr;
  void* burnDoneUser = nullptr;
  CdProcessCallback process = nullptr;
  void* processUser = nullptr;
  CdEraseDoneCallback eraseDone = nullptr;
  void* eraseDoneUser = nullptr;
  CdVideoScannerCallback scanner = nullptr;
  void* scannerUser = nullptr;
  CdVideoScanDoneCallback scanDone = nullptr;
  void* scanDoneUser = nullptr;
};

CRITICAL_SECTION g_lock;
LibraryState g;
volatile LONG g_busy = 0;   // a worker runs
volatile LONG g_abort = 0;  // the running burn or erase is to stop

class Lock {
public:
  Lock() { EnterCriticalSection(&g_lock); }
  ~Lock() { LeaveCriticalSection(&g_lock); }
};

const char* CodeText(int code) {
  switch (code) {
    case kCdOk: return "no error";
    case kCdNotInitialized: return "the library is not initialized";
    case kCdNoProject: return "no project has been created";
    case kCdBadArgument: return "invalid argument";
    case kCdNoDevice: return "no such writer drive";
    case kCdBusy: return "the writer is busy";
    case kCdCannotRead: return "a file of the project cannot be read";
    case kCdBadImage: return "the disc image (cue sheet) cannot be used";
    case kCdImageTooLarge: return "the project does not fit on the disc";
    case kCdNotPrepared: return "the project has not been prepared";
    case kCdEmptyProject: return "the project is empty";
    case kCdWriteFailed: return "writing the disc failed";
    case kCdNotErasable: return "the disc is not rewritable";
    case kCdDeviceListFull: return "too many drives";
    case kCdSettings: return "the drive settings cannot be read or written";
    case kCdNotWritable: return "the disc in the drive is not writable";
    case kCdNotBlank: return "the disc in the drive is not blank";
    case kCdNoMedium: return "no disc in the drive";
    default: return NULL;
  }
}

int32_t Result(const char* call, int32_t code) {
  StandinTrace(kLib, "%s -> %d", call, static_cast<int>(code));
  return code;
}

// The selected drive with its current medium.
int32_t SelectedDrive(VirtualDrive* drive) {
  if (!g.initialized) return kCdNotInitialized;
  if (g.device == 0 || !LoadVirtualDrive(g.device, drive)) return kCdNoDevice;
  return kCdOk;
}

// A project path: absolute as it stands, else beside the cue sheet.
std::string ResolveBeside(const std::string& sheet, const std::string& name) {
  if (name.size() >= 2 && (name[1] == ':' || name[0] == '\\' || name[0] == '/')) return name;
  return FolderOf(sheet) + name;
}

std::string ReadText(const std::string& path, bool* ok) {
  std::string text;
  *ok = false;
  int64_t size = FileSize(path);
  if (size < 0 || size > (1 << 20)) return text;
  FILE* f = fopen(path.c_str(), "rb");
  if (f == NULL) return text;
  text.resize(static_cast<size_t>(size));
  *ok = size == 0 || fread(&text[0], 1, text.size(), f) == text.size();
  fclose(f);
  return text;
}

// One piece of work of a burn: a range of a source file to the end of a
// file on the disc.
struct BurnPiece {
  std::string source;
  std::string target;       // file on the disc, relative to its folder
  int64_t offset;
  int64_t length;
  int64_t sectors;
  int track;                // 0 for plain files
};

// The burn's pieces from the project, in order; the sectors they take.
int32_t PlanBurn(const std::vector<CdScribeFile>& files, std::vector<BurnPiece>* pieces, int64_t* sectors,
                 std::string* why) {
  pieces->clear();
  *sectors = 0;
  int trackNumber = 0;
  for (const CdScribeFile& file : files) {
    std::string path(file.path, strnlen(file.path, sizeof file.path));
    if (file.kind == kCdFileImage) {
      bool ok = false;
      std::string text = ReadText(path, &ok);
      if (!ok) {
        *why = "cannot read " + path;
        return kCdCannotRead;
      }
      std::vector<CueFile> cue;
      if (ParseCueSheet(text, &cue, why) != 0) return kCdBadImage;
      for (const CueFile& image : cue) {
        std::string source = ResolveBeside(path, image.name);
        int64_t size = FileSize(source);
        std::vector<TrackRange> ranges;
        if (size < 0) {
          *why = "cannot read " + source;
          return kCdCannotRead;
        }
        if (!TrackRanges(image, size, &ranges)) {
          *why = "the tracks do not fit " + source;
          return kCdBadImage;
        }
        for (const TrackRange& range : ranges) {
          pieces->push_back(BurnPiece{source, BaseName(source), range.offset, range.length, range.sectors,
                                      ++trackNumber});
          *sectors += range.sectors;
        }
      }
      int64_t sheetSize = FileSize(path);
      pieces->push_back(BurnPiece{path, BaseName(path), 0, sheetSize, 0, 0});
    } else if (file.kind == kCdFileData) {
      int64_t size = FileSize(path);
      if (size < 0) {
        *why = "cannot read " + path;
        return kCdCannotRead;
      }
      std::string folder(file.destination, strnlen(file.destination, sizeof file.destination));
      while (!folder.empty() && (folder[0] == '\\' || folder[0] == '/')) folder.erase(0, 1);
      std::string target = folder.empty() ? BaseName(path) : WithBackslash(folder) + BaseName(path);
      pieces->push_back(BurnPiece{path, target, 0, size, (size + 2047) / 2048, 0});
      *sectors += (size + 2047) / 2048;
    }
  }
  if (pieces->empty()) return kCdEmptyProject;
  return kCdOk;
}

struct BurnJob {
  char letter;
  CdScribeOptions options;
  std::vector<CdScribeFile> files;
  CdFinalizeCallback finalize;
  void* finalizeUser;
  CdBurnDoneCallback burnDone;
  void* burnDoneUser;
  CdProcessCallback process;
  void* processUser;
};

void ReportProcess(const BurnJob& job, float percent, int track, int tracks, int64_t done, int64_t total) {
  if (job.process != nullptr)
    job.process(percent, track, tracks, 100, 100, static_cast<int32_t>(done), static_cast<int32_t>(total),
                job.processUser);
}

DWORD WINAPI BurnThread(void* parameter) {
  BurnJob* job = static_cast<BurnJob*>(parameter);
  std::vector<BurnPiece> pieces;
  int64_t sectors = 0;
  std::string why;
  std::string failure;
  VirtualDrive drive;
  LoadVirtualDrive(job->letter, &drive);
  int64_t writtenSectors = 0;  // whole pieces written
  int64_t reachedSectors = 0;  // with the piece being written
  if (PlanBurn(job->files, &pieces, &sectors, &why) != kCdOk) {
    failure = "Writing failed: " + why;
  } else {
    std::string disc = DiscFolder(job->letter);
    EnsureFolder(disc);
    EmptyFolder(disc);
    int64_t totalBytes = 0, doneBytes = 0;
    int tracks = 0;
    for (const BurnPiece& piece : pieces) {
      totalBytes += piece.length;
      if (piece.track > tracks) tracks = piece.track;
    }
    ReportProcess(*job, 0.0f, 1, tracks, 0, sectors);
    for (size_t n = 0; n < pieces.size() && failure.empty(); ++n) {
      const BurnPiece& piece = pieces[n];
      std::string target = disc + piece.target;
      EnsureFolder(FolderOf(target));
      bool appending = n > 0 && pieces[n - 1].target == piece.target;
      HANDLE source = CreateFileA(piece.source.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                                  NULL);
      HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, NULL, appending ? OPEN_ALWAYS : CREATE_ALWAYS,
                               0, NULL);
      if (source == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE) {
        failure = "Writing failed: cannot open " + (source == INVALID_HANDLE_VALUE ? piece.source : target);
      } else {
        SetFilePointer(out, 0, NULL, FILE_END);
        int64_t before = doneBytes;
        int copied = CopyRange(source, piece.offset, piece.length, out, drive.speedKBps, [&](int64_t bytes) {
          doneBytes = before + bytes;
          int64_t doneSectors =
              writtenSectors + (piece.length > 0 ? piece.sectors * bytes / piece.length : 0);
          reachedSectors = doneSectors;
          float percent = totalBytes > 0 ? static_cast<float>(doneBytes * 100.0 / totalBytes) : 100.0f;
          ReportProcess(*job, percent, piece.track > 0 ? piece.track : tracks, tracks, doneSectors, sectors);
          return g_abort == 0;
        });
        if (copied == 3)
          failure = "Burn aborted by the user.";
        else if (copied != 0)
          failure = copied == 1 ? "Writing failed: cannot read " + piece.source : "Writing failed: disc write error";
        else
          writtenSectors += piece.sectors;
      }
      if (source != INVALID_HANDLE_VALUE) CloseHandle(source);
      if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    }
  }
  if (failure.empty()) {
    StandinTrace(kLib, "burn: finalizing %c:", job->letter);
    if (job->finalize != nullptr) job->finalize(job->finalizeUser);
  }
  // A write-once disc that was written to, even in part, is no longer blank.
  if (!failure.empty() && reachedSectors > writtenSectors) writtenSectors = reachedSectors;
  if (LoadVirtualDrive(job->letter, &drive)) {
    if (writtenSectors > 0 || failure.empty()) {
      drive.blank = false;
      drive.used = writtenSectors;
      drive.label.assign(job->options.volumeLabel, strnlen(job->options.volumeLabel, sizeof job->options.volumeLabel));
    }
    SaveMediumState(drive);
    if (failure.empty() && job->options.ejectWhenDone) EjectVirtualDisc(&drive);
  }
  StandinTrace(kLib, "burn done: \"%s\" sectors=%lld", failure.c_str(), static_cast<long long>(writtenSectors));
  CdBurnDoneCallback done = job->burnDone;
  void* user = job->burnDoneUser;
  delete job;
  InterlockedExchange(&g_busy, 0);
  if (done != nullptr) done(failure.c_str(), user);
  return 0;
}

struct EraseJob {
  char letter;
  bool ejectWhenDone;
  CdProcessCallback process;
  void* processUser;
  CdEraseDoneCallback eraseDone;
  void* eraseDoneUser;
};

DWORD WINAPI EraseThread(void* parameter) {
  EraseJob* job = static_cast<EraseJob*>(parameter);
  int32_t result = kCdOk;
  for (int step = 0; step <= 10; ++step) {
    if (job->process != nullptr)
      job->process(static_cast<float>(step * 10), 0, 0, 100, 100, step, 10, job->processUser);
    if (g_abort != 0) {
      result = kCdWriteFailed;
      break;
    }
    Sleep(20);
  }
  VirtualDrive drive;
  if (result == kCdOk && !LoadVirtualDrive(job->letter, &drive)) result = kCdSettings;
  // A disc whose files stay is not erased: say so rather than mark it blank.
  if (result == kCdOk && !EmptyFolder(DiscFolder(job->letter))) result = kCdWriteFailed;
  if (result == kCdOk) {
    drive.blank = true;
    drive.used = 0;
    drive.label.clear();
    if (!SaveMediumState(drive)) result = kCdSettings;
    if (job->ejectWhenDone) EjectVirtualDisc(&drive);
  }
  StandinTrace(kLib, "erase done: %d", static_cast<int>(result));
  CdEraseDoneCallback done = job->eraseDone;
  void* user = job->eraseDoneUser;
  delete job;
  InterlockedExchange(&g_busy, 0);
  if (done != nullptr) done(result, user);
  return 0;
}

// The scanner's messages go nowhere; its progress goes to the callback.
class ScanSink : public CVcdMessageSink {
public:
  ScanSink(CdVideoScannerCallback callback, void* user, int fileIndex)
      : m_callback(callback), m_user(user), m_fileIndex(fileIndex) {
    m_null = fopen("NUL", "w");
    SetOutputStreams(m_null, m_null);
    SetLevel(kVcdLevelQuiet);
    SetProgress(1);
  }
  ~ScanSink() override {
    if (m_null != NULL) fclose(m_null);
  }
  int ReportScanProgress(const VcdScanState* state) override {
    if (state == NULL || m_callback == nullptr || state->size <= 0) return 0;
    float percent = static_cast<float>(state->position * 100.0 / state->size);
    if (static_cast<int>(percent) != m_lastPercent) {
      m_lastPercent = static_cast<int>(percent);
      m_callback(percent, m_fileIndex, m_user);
    }
    return 0;
  }

private:
  CdVideoScannerCallback m_callback;
  void* m_user;
  int m_fileIndex;
  int m_lastPercent = -1;
  FILE* m_null;
};

struct ScanJob {
  std::string path;
  int project;
  int fileIndex;
  CdVideoScannerCallback scanner;
  void* scannerUser;
  CdVideoScanDoneCallback scanDone;
  void* scanDoneUser;
};

// Bytes of the first pack: the distance to the second pack header.
int FirstPackSize(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == NULL) return 0;
  uint8_t head[8192];
  size_t got = fread(head, 1, sizeof head, f);
  fclose(f);
  if (got < 4 || head[0] != 0 || head[1] != 0 || head[2] != 1 || head[3] != 0xBA) return 0;
  for (size_t i = 4; i + 4 <= got; ++i)
    if (head[i] == 0 && head[i + 1] == 0 && head[i + 2] == 1 && head[i + 3] == 0xBA) return static_cast<int>(i);
  return static_cast<int>(got);
}

DWORD WINAPI ScanThread(void* parameter) {
  ScanJob* job = static_cast<ScanJob*>(parameter);
  int32_t scanResult = kCdOk;
  VideoVerdict verdict;
  {
    ScanSink sink(job->scanner, job->scannerUser, job->fileIndex);
    CVcdMpegSource source(&sink, job->path.c_str());
    int scanned = FileExists(job->path) ? source.Scan(1, 0, job->path.c_str()) : kMpegScanFailed;
    if (!FileExists(job->path)) {
      scanResult = kCdCannotRead;
      verdict.reason = "cannot read the file";
    } else if (scanned != kMpegScanOk) {
      scanResult = kCdBadImage;
      verdict.reason = "not an MPEG program stream";
    } else {
      verdict = JudgeVideo(*source.GetStreamInfo(), job->project, FirstPackSize(job->path));
    }
  }
  int notCompatible = verdict.compatible ? 0 : 1;
  StandinTrace(kLib, "scan done: \"%s\" compatible=%d %s", job->path.c_str(), verdict.compatible ? 1 : 0,
               verdict.reason.c_str());
  ScanJob copy = *job;
  delete job;
  InterlockedExchange(&g_busy, 0);
  if (copy.scanDone != nullptr)
    copy.scanDone(copy.path.c_str(), scanResult, notCompatible, verdict.mpegVersion, verdict.width,
                  verdict.height, verdict.bitRate, verdict.frameRate, verdict.durationMs, verdict.audioStreams,
                  copy.scanDoneUser);
  return 0;
}

// Starts a worker when none runs.
bool StartWorker(LPTHREAD_START_ROUTINE routine, void* job) {
  if (InterlockedCompareExchange(&g_busy, 1, 0) != 0) return false;
  InterlockedExchange(&g_abort, 0);
  HANDLE thread = CreateThread(NULL, 0, routine, job, 0, NULL);
  if (thread == NULL) {
    InterlockedExchange(&g_busy, 0);
    return false;
  }
  CloseHandle(thread);
  return true;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) InitializeCriticalSection(&g_lock);
  return TRUE;
}

CD_EXPORT int32_t OUTSIDE_CALL Initialize(int32_t reserved, const char* owner, int32_t mode) {
  Lock lock;
  g.initialized = true;
  g.options = CdScribeOptions();
  g.options.cacheBytes = 0x800000;
  g.options.ejectWhenDone = 1;
  StandinTrace(kLib, "Initialize(%d, \"%s\", %d)", static_cast<int>(reserved), owner ? owner : "",
               static_cast<int>(mode));
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL CreateProject(int32_t type) {
  Lock lock;
  if (!g.initialized) return Result("CreateProject", kCdNotInitialized);
  if (type != kCdProjectImage && type != kCdProjectVcd && type != kCdProjectSvcd)
    return Result("CreateProject", kCdBadArgument);
  if (g_busy) return Result("CreateProject", kCdBusy);
  g.project = type;
  g.files.clear();
  g.prepared = false;
  StandinTrace(kLib, "CreateProject(%d)", static_cast<int>(type));
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL DeleteProject() {
  Lock lock;
  if (g_busy) return Result("DeleteProject", kCdBusy);
  g.project = 0;
  g.files.clear();
  g.prepared = false;
  StandinTrace(kLib, "DeleteProject()");
  return kCdOk;
}

#define CD_CALLBACK_SETTER(Name, Type, field)                                  \
  CD_EXPORT int32_t OUTSIDE_CALL Name(Type callback, void* user) {            \
    Lock lock;                                                                 \
    g.field = callback;                                                        \
    g.field##User = user;                                                      \
    StandinTrace(kLib, #Name "(%s)", callback != nullptr ? "callback" : "none"); \
    return kCdOk;                                                              \
  }
CD_CALLBACK_SETTER(SetFinalizeEventCallback, CdFinalizeCallback, finalize)
CD_CALLBACK_SETTER(SetBurnDoneEventCallback, CdBurnDoneCallback, burnDone)
CD_CALLBACK_SETTER(SetProcessEventCallback, CdProcessCallback, process)
CD_CALLBACK_SETTER(SetEraseDoneEventCallback, CdEraseDoneCallback, eraseDone)
CD_CALLBACK_SETTER(SetVideoScannerEventCallback, CdVideoScannerCallback, scanner)
CD_CALLBACK_SETTER(SetVideoScanDoneEventCallback, CdVideoScanDoneCallback, scanDone)

CD_EXPORT int32_t OUTSIDE_CALL GetDevices(CdScribeDevice* list, int32_t* count, int32_t flags) {
  Lock lock;
  if (!g.initialized) return Result("GetDevices", kCdNotInitialized);
  if (list == NULL || count == NULL) return Result("GetDevices", kCdBadArgument);
  std::vector<VirtualDrive> drives;
  LoadVirtualDrives(&drives);
  int n = 0;
  for (const VirtualDrive& drive : drives) {
    if (n >= kCdMaxDevices) break;
    snprintf(list[n].text, sizeof list[n].text, "%c: %s %s", drive.letter, drive.vendor.c_str(),
             drive.product.c_str());
    ++n;
  }
  *count = n;
  StandinTrace(kLib, "GetDevices -> %d drive(s)", n);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL SetDevice(int32_t driveLetter) {
  Lock lock;
  if (!g.initialized) return Result("SetDevice", kCdNotInitialized);
  VirtualDrive drive;
  if (!LoadVirtualDrive(static_cast<char>(driveLetter), &drive)) return Result("SetDevice", kCdNoDevice);
  if (g_busy && drive.letter != g.device) return Result("SetDevice", kCdBusy);
  g.device = drive.letter;
  StandinTrace(kLib, "SetDevice(%c)", drive.letter);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL GetDeviceCapabilities(uint32_t* flags) {
  Lock lock;
  VirtualDrive drive;
  int32_t code = SelectedDrive(&drive);
  if (code != kCdOk || flags == NULL) return Result("GetDeviceCapabilities", code != kCdOk ? code : kCdBadArgument);
  *flags = kCdCapReadCd | (drive.writesCd ? kCdCapWriteCdR | kCdCapWriteCdRw : 0) |
           (drive.writesDvd ? kCdCapReadDvd | kCdCapWriteDvd : 0);
  StandinTrace(kLib, "GetDeviceCapabilities(%c) -> 0x%x", drive.letter, static_cast<unsigned>(*flags));
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL GetMediumInformation(CdScribeMedium* medium) {
  Lock lock;
  VirtualDrive drive;
  int32_t code = SelectedDrive(&drive);
  if (code != kCdOk || medium == NULL) return Result("GetMediumInformation", code != kCdOk ? code : kCdBadArgument);
  memset(medium, 0, sizeof *medium);
  if (drive.medium.empty()) return Result("GetMediumInformation", kCdNoMedium);
  snprintf(medium->type, sizeof medium->type, "%s", drive.medium.c_str());
  medium->usedSectors = drive.blank ? 0 : static_cast<int32_t>(drive.used > 0 ? drive.used : 1);
  medium->capacitySectors = static_cast<int32_t>(Capacity(drive));
  medium->sessions = drive.blank ? 0 : 1;
  medium->rewritable = IsRewritableMedium(drive.medium) ? 1 : 0;
  snprintf(medium->label, sizeof medium->label, "%s", drive.label.c_str());
  StandinTrace(kLib, "GetMediumInformation(%c) -> %s blank=%d", drive.letter, medium->type, drive.blank ? 1 : 0);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL GetOptions(CdScribeOptions* options) {
  Lock lock;
  if (!g.initialized) return Result("GetOptions", kCdNotInitialized);
  if (options == NULL) return Result("GetOptions", kCdBadArgument);
  *options = g.options;
  StandinTrace(kLib, "GetOptions()");
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL SetOptions(CdScribeOptions options) {
  Lock lock;
  if (!g.initialized) return Result("SetOptions", kCdNotInitialized);
  options.volumeLabel[sizeof options.volumeLabel - 1] = '\0';
  g.options = options;
  StandinTrace(kLib, "SetOptions(label \"%s\", cache %u, eject %d)", options.volumeLabel,
               static_cast<unsigned>(options.cacheBytes), options.ejectWhenDone);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL ClearAll() {
  Lock lock;
  if (g.project == 0) return Result("ClearAll", kCdNoProject);
  g.files.clear();
  g.prepared = false;
  StandinTrace(kLib, "ClearAll()");
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL AddFile(CdScribeFile file) {
  Lock lock;
  if (!g.initialized) return Result("AddFile", kCdNotInitialized);
  if (g.project == 0) return Result("AddFile", kCdNoProject);
  file.path[sizeof file.path - 1] = '\0';
  file.destination[sizeof file.destination - 1] = '\0';
  if (file.path[0] == '\0') return Result("AddFile", kCdBadArgument);
  StandinTrace(kLib, "AddFile(\"%s\", kind %d, scan %d)", file.path, static_cast<int>(file.kind), file.scanVideo);
  bool videoProject = g.project == kCdProjectVcd || g.project == kCdProjectSvcd;
  if (videoProject && file.kind == kCdFileVideo && file.scanVideo) {
    ScanJob* job = new ScanJob{file.path, g.project, static_cast<int>(g.files.size()), g.scanner, g.scannerUser,
                               g.scanDone, g.scanDoneUser};
    if (!StartWorker(ScanThread, job)) {
      delete job;
      return Result("AddFile", kCdBusy);
    }
  } else if (!FileExists(file.path)) {
    return Result("AddFile", kCdCannotRead);
  }
  g.files.push_back(file);
  g.prepared = false;
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL Prepare() {
  Lock lock;
  if (!g.initialized) return Result("Prepare", kCdNotInitialized);
  if (g.project == 0) return Result("Prepare", kCdNoProject);
  if (g.project != kCdProjectImage) return Result("Prepare", kCdBadArgument);
  std::vector<BurnPiece> pieces;
  std::string why;
  int32_t code = PlanBurn(g.files, &pieces, &g.preparedSectors, &why);
  if (code != kCdOk) {
    StandinTrace(kLib, "Prepare: %s", why.c_str());
    return Result("Prepare", code);
  }
  VirtualDrive drive;
  if (SelectedDrive(&drive) == kCdOk && !drive.medium.empty() && g.preparedSectors > Capacity(drive))
    return Result("Prepare", kCdImageTooLarge);
  g.prepared = true;
  StandinTrace(kLib, "Prepare() -> %lld sectors", static_cast<long long>(g.preparedSectors));
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL Burn() {
  Lock lock;
  VirtualDrive drive;
  int32_t code = SelectedDrive(&drive);
  if (code != kCdOk) return Result("Burn", code);
  if (g.project == 0) return Result("Burn", kCdNoProject);
  if (g_busy) return Result("Burn", kCdBusy);
  if (drive.medium.empty()) return Result("Burn", kCdNoMedium);
  if (!IsCdMedium(drive.medium) || !IsWritableMedium(drive.medium) || !drive.writesCd)
    return Result("Burn", kCdNotWritable);
  if (!drive.blank) return Result("Burn", kCdNotBlank);
  if (!g.prepared) return Result("Burn", kCdNotPrepared);
  StandinTrace(kLib, "Burn(%c:)", drive.letter);
  if (g.preparedSectors > Capacity(drive)) return Result("Burn", kCdImageTooLarge);
  BurnJob* job = new BurnJob{drive.letter, g.options, g.files, g.finalize, g.finalizeUser,
                             g.burnDone, g.burnDoneUser, g.process, g.processUser};
  if (!StartWorker(BurnThread, job)) {
    delete job;
    return Result("Burn", kCdBusy);
  }
  StandinTrace(kLib, "Burn() started on %c:", drive.letter);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL Erase(int32_t mode) {
  Lock lock;
  VirtualDrive drive;
  int32_t code = SelectedDrive(&drive);
  if (code != kCdOk) return Result("Erase", code);
  if (g_busy) return Result("Erase", kCdBusy);
  if (drive.medium.empty()) return Result("Erase", kCdNoMedium);
  if (!IsRewritableMedium(drive.medium)) return Result("Erase", kCdNotErasable);
  EraseJob* job = new EraseJob{drive.letter, g.options.ejectWhenDone != 0, g.process, g.processUser,
                               g.eraseDone, g.eraseDoneUser};
  if (!StartWorker(EraseThread, job)) {
    delete job;
    return Result("Erase", kCdBusy);
  }
  StandinTrace(kLib, "Erase(%d) started on %c:", static_cast<int>(mode), drive.letter);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL Abort() {
  InterlockedExchange(&g_abort, 1);
  StandinTrace(kLib, "Abort() %s", g_busy ? "stops the running work" : "with nothing running");
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL EjectDevice() {
  Lock lock;
  VirtualDrive drive;
  int32_t code = SelectedDrive(&drive);
  if (code != kCdOk) return Result("EjectDevice", code);
  if (g_busy) return Result("EjectDevice", kCdBusy);
  if (!EjectVirtualDisc(&drive)) return Result("EjectDevice", kCdSettings);
  StandinTrace(kLib, "EjectDevice(%c) ejects=%d", drive.letter, drive.ejects);
  return kCdOk;
}

CD_EXPORT int32_t OUTSIDE_CALL GetText(int32_t code, char* buffer, int32_t* size) {
  if (buffer == NULL || size == NULL || *size <= 0) return kCdBadArgument;
  const char* text = CodeText(code);
  char unknown[64];
  if (text == NULL) {
    snprintf(unknown, sizeof unknown, "unknown error %d", static_cast<int>(code));
    text = unknown;
  }
  snprintf(buffer, static_cast<size_t>(*size), "%s", text);
  *size = static_cast<int32_t>(strlen(buffer));
  StandinTrace(kLib, "GetText(%d) -> \"%s\"", static_cast<int>(code), buffer);
  return kCdOk;
}

// The exports keep the interface's types.
static_assert(std::is_same<decltype(&Initialize), CdInitializeFn>::value, "Initialize");
static_assert(std::is_same<decltype(&GetDevices), CdGetDevicesFn>::value, "GetDevices");
static_assert(std::is_same<decltype(&SetOptions), CdSetOptionsFn>::value, "SetOptions");
static_assert(std::is_same<decltype(&AddFile), CdAddFileFn>::value, "AddFile");
static_assert(std::is_same<decltype(&SetProcessEventCallback), CdSetProcessEventCallbackFn>::value, "callbacks");
static_assert(std::is_same<decltype(&SetVideoScanDoneEventCallback), CdSetVideoScanDoneEventCallbackFn>::value,
              "scanner");
static_assert(std::is_same<decltype(&GetText), CdGetTextFn>::value, "GetText");
