// DvdScribe.dll: the DVD-writing library as a stand-in, exported by ordinal
// only (DvdScribe.def). Its drives are the virtual drives of the settings
// file; a device's address is its place in the list. A write copies the
// files of the UDF tree into the folder standing for the disc, under their
// paths on the disc, reporting progress through the burner's callback on the
// calling thread; a cancel from another thread stops it.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "standins/common/folders.h"
#include "standins/common/standin_trace.h"
#include "standins/common/virtual_drives.h"
#include "standins/include/dvdscribe.h"

#define DVD_EXPORT extern "C"

namespace {

const char kLib[] = "DvdScribe";
volatile LONG g_started = 0;  // engine start count

struct Burner {
  char letter;
  DvdProgressCallback callback;
  void* context;
  volatile LONG cancel;
  int32_t underrunProtection;
  int32_t writeSpeed;
};

struct TreeNode {
  std::string name;            // on the disc
  std::string source;          // files only
  bool folder = false;
  TreeNode* parent = nullptr;
  std::vector<TreeNode*> children;
};

struct UdfImage {
  TreeNode* root;
  std::string label;
  int64_t sectors;
  int64_t bytes;
};

int32_t Fail(DvdFault* fault, const char* call, int32_t exception, int32_t status, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
int32_t Fail(DvdFault* fault, const char* call, int32_t exception, int32_t status, const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (fault != NULL) {
    fault->exception = exception;
    fault->status = status;
    snprintf(fault->text, sizeof fault->text, "%s", text);
  }
  StandinTrace(kLib, "%s failed: exception %d, status %d, %s", call, static_cast<int>(exception),
               static_cast<int>(status), text);
  return exception;
}

int32_t Ok(DvdFault* fault) {
  if (fault != NULL) {
    fault->exception = kDvdExNone;
    fault->status = 0;
    fault->text[0] = '\0';
  }
  return kDvdExNone;
}

// The drive a burner stands for, with its medium as it is now.
int32_t DriveOf(DvdFault* fault, const char* call, Burner* burner, VirtualDrive* drive) {
  StandinTrace(kLib, "%s(%c:)", call, burner != NULL ? burner->letter : '?');
  if (g_started <= 0) return Fail(fault, call, kDvdExNotStarted, 0, "engine not started");
  if (burner == NULL) return Fail(fault, call, kDvdExBadArgument, 0, "no burner object");
  if (!LoadVirtualDrive(burner->letter, drive)) return Fail(fault, call, kDvdExNoDevice, 0, "drive gone");
  return kDvdExNone;
}

int32_t NeedMedium(DvdFault* fault, const char* call, const VirtualDrive& drive) {
  if (drive.medium.empty()) return Fail(fault, call, kDvdExNotReady, 2, "medium not present");
  return kDvdExNone;
}

bool DriveAt(const DvdDeviceAddress* address, VirtualDrive* drive) {
  if (address == NULL) return false;
  std::vector<VirtualDrive> drives;
  LoadVirtualDrives(&drives);
  if (address->port != 0 || address->bus != 0 || address->lun != 0 || address->target >= drives.size())
    return false;
  *drive = drives[address->target];
  return true;
}

int32_t DiscTypeOf(const std::string& medium) {
  static const struct {
    const char* name;
    int32_t code;
  } kTypes[] = {{"CD-ROM", kDvdDiscCdRom},   {"CD-R", kDvdDiscCdR},
                {"CD-RW", kDvdDiscCdRw},     {"DVD-ROM", kDvdDiscDvdRom},
                {"DVD-R", kDvdDiscDvdR},     {"DVD-RW", kDvdDiscDvdRwSequential},
                {"DVD+RW", kDvdDiscDvdPlusRw}, {"DVD+R", kDvdDiscDvdPlusR},
                {"DVD-RAM", kDvdDiscDvdRam}, {"DVD+R DL", kDvdDiscDvdPlusRDualLayer}};
  for (const auto& type : kTypes)
    if (medium == type.name) return type.code;
  return kDvdDiscNone;
}

void FreeNode(TreeNode* node) {
  if (node == nullptr) return;
  for (TreeNode* child : node->children) FreeNode(child);
  delete node;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

// Files of the tree with their disc paths, depth first.
void Collect(const TreeNode* node, const std::string& prefix,
             std::vector<std::pair<std::string, std::string>>* files, std::vector<std::string>* folders) {
  for (const TreeNode* child : node->children) {
    std::string path = prefix.empty() ? child->name : prefix + "\\" + child->name;
    if (child->folder) {
      folders->push_back(path);
      Collect(child, path, files, folders);
    } else {
      files->push_back(std::make_pair(path, child->source));
    }
  }
}

}  // namespace

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_StartUp(DvdFault* fault, const char* key, int32_t cacheKB) {
  InterlockedIncrement(&g_started);
  StandinTrace(kLib, "StartUp(\"%s\", %d)", key ? key : "", static_cast<int>(cacheKB));
  return Ok(fault);
}

DVD_EXPORT void OUTSIDE_CALL DvdScribe_ShutDown(void) {
  if (InterlockedDecrement(&g_started) < 0) InterlockedExchange(&g_started, 0);
  StandinTrace(kLib, "ShutDown()");
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_FindDevices(DvdFault* fault, int32_t scope, DvdFindCallback callback,
                                               void* context) {
  if (g_started <= 0) return Fail(fault, "FindDevices", kDvdExNotStarted, 0, "engine not started");
  if (callback == NULL) return Fail(fault, "FindDevices", kDvdExBadArgument, 0, "no callback");
  std::vector<VirtualDrive> drives;
  LoadVirtualDrives(&drives);
  StandinTrace(kLib, "FindDevices(%d) -> %u drive(s)", static_cast<int>(scope), static_cast<unsigned>(drives.size()));
  for (size_t n = 0; n < drives.size() && n < 255; ++n) {
    DvdDeviceAddress address = {sizeof(DvdDeviceAddress), 0, 0, static_cast<uint8_t>(n), 0, {0, 0, 0}};
    if (callback(kDvdEventDeviceFound, static_cast<int32_t>(n + 1), &address, context) != 0) break;
  }
  return Ok(fault);
}

DVD_EXPORT void OUTSIDE_CALL DvdScribe_Destroy(DvdBurner burner) {
  StandinTrace(kLib, "Destroy()");
  delete static_cast<Burner*>(burner);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_DeviceName(DvdFault* fault, const DvdDeviceAddress* address, char* name,
                                              int32_t size) {
  VirtualDrive drive;
  StandinTrace(kLib, "DeviceName(target %d)", address != NULL ? address->target : -1);
  if (g_started <= 0) return Fail(fault, "DeviceName", kDvdExNotStarted, 0, "engine not started");
  if (name == NULL || size < 3) return Fail(fault, "DeviceName", kDvdExBadArgument, 0, "no room for the name");
  if (!DriveAt(address, &drive)) return Fail(fault, "DeviceName", kDvdExNoDevice, 0, "no drive at that address");
  snprintf(name, static_cast<size_t>(size), "%c:", drive.letter);
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_Create(DvdFault* fault, DvdBurner* burner, const DvdDeviceAddress* address,
                                          DvdProgressCallback callback, void* context) {
  VirtualDrive drive;
  if (g_started <= 0) return Fail(fault, "Create", kDvdExNotStarted, 0, "engine not started");
  if (burner == NULL) return Fail(fault, "Create", kDvdExBadArgument, 0, "no place for the burner");
  if (!DriveAt(address, &drive)) return Fail(fault, "Create", kDvdExNoDevice, 0, "no drive at that address");
  *burner = new Burner{drive.letter, callback, context, 0, 0, 0};
  StandinTrace(kLib, "Create(%c:)", drive.letter);
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_DeviceInformation(DvdFault* fault, DvdBurner burner, char* vendor,
                                                     char* product, char* revision) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "DeviceInformation", static_cast<Burner*>(burner), &drive)) return e;
  if (vendor != NULL) snprintf(vendor, 64, "%s", drive.vendor.c_str());
  if (product != NULL) snprintf(product, 64, "%s", drive.product.c_str());
  if (revision != NULL) snprintf(revision, 64, "1.00");
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_Capabilities(DvdFault* fault, DvdBurner burner, uint32_t* flags) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "Capabilities", static_cast<Burner*>(burner), &drive)) return e;
  if (flags == NULL) return Fail(fault, "Capabilities", kDvdExBadArgument, 0, "no flags");
  *flags = kDvdCapReadDvd | kDvdCapBufferUnderrun |
           (drive.writesDvd ? kDvdCapWriteDvdR | kDvdCapWriteDvdRw | kDvdCapWriteDvdPlus : 0);
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_CapabilityBytes(DvdFault* fault, DvdBurner burner, DvdCapabilityBytes* bytes) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "CapabilityBytes", static_cast<Burner*>(burner), &drive)) return e;
  if (bytes == NULL) return Fail(fault, "CapabilityBytes", kDvdExBadArgument, 0, "no record");
  memset(bytes, 0, sizeof *bytes);
  bytes->readDvd = 1;
  bytes->writeDvd = drive.writesDvd ? 1 : 0;
  bytes->writeCd = drive.writesCd ? 1 : 0;
  bytes->underrunProtection = 1;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_TestUnitReady(DvdFault* fault, DvdBurner burner) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "TestUnitReady", static_cast<Burner*>(burner), &drive)) return e;
  if (int32_t e = NeedMedium(fault, "TestUnitReady", drive)) return e;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_GetUnderrunProtection(DvdFault* fault, DvdBurner burner, int32_t* available,
                                                         int32_t* enabled) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "GetUnderrunProtection", static_cast<Burner*>(burner), &drive)) return e;
  if (available != NULL) *available = 1;
  if (enabled != NULL) *enabled = static_cast<Burner*>(burner)->underrunProtection;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_SetUnderrunProtection(DvdFault* fault, DvdBurner burner, int32_t enable) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "SetUnderrunProtection", static_cast<Burner*>(burner), &drive)) return e;
  static_cast<Burner*>(burner)->underrunProtection = enable ? 1 : 0;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_GetSpeeds(DvdFault* fault, DvdBurner burner, int32_t* read, int32_t* write) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "GetSpeeds", static_cast<Burner*>(burner), &drive)) return e;
  if (int32_t e = NeedMedium(fault, "GetSpeeds", drive)) return e;
  if (read != NULL) *read = 22160;
  if (write != NULL) *write = drive.speedKBps > 0 ? drive.speedKBps : 11080;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_SetSpeeds(DvdFault* fault, DvdBurner burner, int32_t read, int32_t write) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "SetSpeeds", static_cast<Burner*>(burner), &drive)) return e;
  static_cast<Burner*>(burner)->writeSpeed = write;
  StandinTrace(kLib, "SetSpeeds(%d, %d)", static_cast<int>(read), static_cast<int>(write));
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_SendOpc(DvdFault* fault, DvdBurner burner) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "SendOpc", static_cast<Burner*>(burner), &drive)) return e;
  if (int32_t e = NeedMedium(fault, "SendOpc", drive)) return e;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_TrackInformation(DvdFault* fault, DvdBurner burner, int32_t track,
                                                    DvdTrackInformation* info) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "TrackInformation", static_cast<Burner*>(burner), &drive)) return e;
  if (int32_t e = NeedMedium(fault, "TrackInformation", drive)) return e;
  if (info == NULL) return Fail(fault, "TrackInformation", kDvdExBadArgument, 0, "no record");
  memset(info, 0, sizeof *info);
  int64_t used = drive.blank ? 0 : (drive.used > 0 ? drive.used : 1);
  info->trackNumber = track == 255 ? (drive.blank ? 1 : 2) : track;
  info->sessionNumber = 1;
  info->startSector = static_cast<int32_t>(used);
  info->freeSectors = static_cast<int32_t>(Capacity(drive) - used);
  info->usedSectors = static_cast<int32_t>(used);
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_DiscInformation(DvdFault* fault, DvdBurner burner, DvdDiscInformation* info) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "DiscInformation", static_cast<Burner*>(burner), &drive)) return e;
  if (int32_t e = NeedMedium(fault, "DiscInformation", drive)) return e;
  if (info == NULL) return Fail(fault, "DiscInformation", kDvdExBadArgument, 0, "no record");
  memset(info, 0, sizeof *info);
  info->discStatus = drive.blank ? 0 : 2;
  info->lastSession = 1;
  info->sessions = drive.blank ? 0 : 1;
  info->erasable = IsRewritableMedium(drive.medium) ? 1 : 0;
  info->capacitySectors = static_cast<int32_t>(Capacity(drive));
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_ProbeWriteModes(DvdFault* fault, DvdBurner burner, uint32_t* modes) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "ProbeWriteModes", static_cast<Burner*>(burner), &drive)) return e;
  if (modes == NULL) return Fail(fault, "ProbeWriteModes", kDvdExBadArgument, 0, "no modes");
  *modes = drive.writesDvd ? kDvdWriteTrackAtOnce | kDvdWriteSessionAtOnce : 0;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_DiscType(DvdFault* fault, DvdBurner burner, int32_t* type) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "DiscType", static_cast<Burner*>(burner), &drive)) return e;
  if (type == NULL) return Fail(fault, "DiscType", kDvdExBadArgument, 0, "no type");
  *type = DiscTypeOf(drive.medium);
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_Cancel(DvdBurner burner) {
  if (burner == NULL) return kDvdExBadArgument;
  InterlockedExchange(&static_cast<Burner*>(burner)->cancel, 1);
  StandinTrace(kLib, "Cancel()");
  return kDvdExNone;
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_Eject(DvdFault* fault, DvdBurner burner) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "Eject", static_cast<Burner*>(burner), &drive)) return e;
  if (!EjectVirtualDisc(&drive)) return Fail(fault, "Eject", kDvdExSettings, 0, "cannot save the drive state");
  StandinTrace(kLib, "Eject(%c:) ejects=%d", drive.letter, drive.ejects);
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_Erase(DvdFault* fault, DvdBurner burner, int32_t quick) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "Erase", static_cast<Burner*>(burner), &drive)) return e;
  if (int32_t e = NeedMedium(fault, "Erase", drive)) return e;
  if (!IsRewritableMedium(drive.medium))
    return Fail(fault, "Erase", kDvdExMedium, 0x30, "%s cannot be erased", drive.medium.c_str());
  Sleep(quick ? 50 : 200);
  if (!EmptyFolder(DiscFolder(drive.letter)))
    return Fail(fault, "Erase", kDvdExWrite, 0, "cannot empty the disc folder");
  drive.blank = true;
  drive.used = 0;
  drive.label.clear();
  if (!SaveMediumState(drive)) return Fail(fault, "Erase", kDvdExSettings, 0, "cannot save the drive state");
  StandinTrace(kLib, "Erase(%c:, %d)", drive.letter, static_cast<int>(quick));
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_TreeAddFolder(DvdFault* fault, DvdTreeNode parent, const char* name,
                                                 DvdTreeNode* folder) {
  StandinTrace(kLib, "TreeAddFolder(\"%s\")", name != NULL ? name : "");
  if (folder == NULL) return Fail(fault, "TreeAddFolder", kDvdExBadArgument, 0, "no place for the folder");
  TreeNode* node = new TreeNode;
  node->folder = true;
  node->name = name != NULL ? Upper(name) : std::string();
  TreeNode* up = static_cast<TreeNode*>(parent);
  if (up != nullptr) {
    if (!up->folder || node->name.empty()) {
      delete node;
      return Fail(fault, "TreeAddFolder", kDvdExBadArgument, 0, "a folder needs a name and a parent folder");
    }
    for (TreeNode* child : up->children)
      if (child->name == node->name) {
        delete node;
        return Fail(fault, "TreeAddFolder", kDvdExBadArgument, 0, "%s is there already", name);
      }
    node->parent = up;
    up->children.push_back(node);
  }
  *folder = node;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_TreeAddFile(DvdFault* fault, DvdTreeNode parent, const char* path,
                                               DvdTreeNode* file) {
  StandinTrace(kLib, "TreeAddFile(\"%s\")", path != NULL ? path : "");
  TreeNode* up = static_cast<TreeNode*>(parent);
  if (up == nullptr || !up->folder || path == NULL)
    return Fail(fault, "TreeAddFile", kDvdExBadArgument, 0, "a file needs a path and a folder");
  if (!FileExists(path)) return Fail(fault, "TreeAddFile", kDvdExFile, 2, "cannot find %s", path);
  TreeNode* node = new TreeNode;
  node->name = Upper(BaseName(path));
  node->source = path;
  for (TreeNode* child : up->children)
    if (child->name == node->name) {
      delete node;
      return Fail(fault, "TreeAddFile", kDvdExBadArgument, 0, "%s is there already", path);
    }
  node->parent = up;
  up->children.push_back(node);
  if (file != NULL) *file = node;
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_CreateUdf(DvdFault* fault, DvdTreeNode root, const char* volumeLabel,
                                             DvdUdfImage* image) {
  TreeNode* top = static_cast<TreeNode*>(root);
  if (top == nullptr || top->parent != nullptr || image == NULL)
    return Fail(fault, "CreateUdf", kDvdExBadArgument, 0, "needs the root of a tree");
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::string> folders;
  Collect(top, "", &files, &folders);
  // File system structures: a few hundred sectors, then every file whole.
  int64_t sectors = 272 + static_cast<int64_t>(folders.size() + files.size());
  int64_t bytes = 0;
  for (const auto& file : files) {
    int64_t size = FileSize(file.second);
    if (size < 0) return Fail(fault, "CreateUdf", kDvdExFile, 2, "cannot read %s", file.second.c_str());
    sectors += (size + 2047) / 2048;
    bytes += size;
  }
  *image = new UdfImage{top, volumeLabel != NULL ? volumeLabel : "", sectors, bytes};
  StandinTrace(kLib, "CreateUdf(\"%s\") -> %u file(s), %lld sectors", volumeLabel ? volumeLabel : "",
               static_cast<unsigned>(files.size()), static_cast<long long>(sectors));
  return Ok(fault);
}

DVD_EXPORT void OUTSIDE_CALL DvdScribe_FreeUdf(DvdUdfImage image) {
  StandinTrace(kLib, "FreeUdf()");
  delete static_cast<UdfImage*>(image);
}

DVD_EXPORT void OUTSIDE_CALL DvdScribe_FreeTree(DvdTreeNode root) {
  StandinTrace(kLib, "FreeTree()");
  FreeNode(static_cast<TreeNode*>(root));
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_TrackAtOnceFromTree(DvdFault* fault, DvdBurner burner, DvdUdfImage image,
                                                       int32_t testWrite) {
  const char* call = "TrackAtOnceFromTree";
  Burner* b = static_cast<Burner*>(burner);
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, call, b, &drive)) return e;
  if (int32_t e = NeedMedium(fault, call, drive)) return e;
  UdfImage* udf = static_cast<UdfImage*>(image);
  if (udf == nullptr) return Fail(fault, call, kDvdExBadArgument, 0, "no file system");
  if (!IsDvdMedium(drive.medium) || !IsWritableMedium(drive.medium) || !drive.writesDvd)
    return Fail(fault, call, kDvdExMedium, 0x30, "%s cannot be written here", drive.medium.c_str());
  if (!drive.blank) return Fail(fault, call, kDvdExMedium, 0x30, "the disc is not blank");
  if (udf->sectors > Capacity(drive))
    return Fail(fault, call, kDvdExTooLarge, 0, "%lld sectors do not fit on %lld",
                static_cast<long long>(udf->sectors), static_cast<long long>(Capacity(drive)));
  InterlockedExchange(&b->cancel, 0);
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::string> folders;
  Collect(udf->root, "", &files, &folders);
  std::string disc = DiscFolder(drive.letter);
  if (!testWrite) {
    EnsureFolder(disc);
    EmptyFolder(disc);
    for (const std::string& folder : folders) EnsureFolder(disc + folder);
  }
  StandinTrace(kLib, "%s(%c:, %u file(s)%s)", call, drive.letter, static_cast<unsigned>(files.size()),
               testWrite ? ", test" : "");
  const int64_t total = udf->bytes > 0 ? udf->bytes : 1;
  int64_t done = 0;
  int32_t failure = kDvdExNone;
  std::string why;
  for (const auto& file : files) {
    if (failure != kDvdExNone) break;
    int64_t size = FileSize(file.second);
    HANDLE source = CreateFileA(file.second.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE out = testWrite ? CreateFileA("NUL", GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL)
                           : CreateFileA((disc + file.first).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (size < 0 || source == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE) {
      failure = kDvdExFile;
      why = "cannot copy " + file.second;
    } else {
      int64_t before = done;
      int copied = CopyRange(source, 0, size, out, drive.speedKBps, [&](int64_t bytes) {
        done = before + bytes;
        if (b->callback != nullptr) b->callback(kDvdEventProgress, b->context, total, done);
        return b->cancel == 0;
      });
      if (copied == 3) failure = kDvdExCancelled;
      else if (copied != 0) {
        failure = copied == 1 ? kDvdExFile : kDvdExWrite;
        why = "cannot copy " + file.second;
      }
    }
    if (source != INVALID_HANDLE_VALUE) CloseHandle(source);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  }
  if (failure == kDvdExNone && b->callback != nullptr) b->callback(kDvdEventFinalizing, b->context, total, total);
  if (!testWrite && LoadVirtualDrive(drive.letter, &drive) && (failure == kDvdExNone || done > 0)) {
    // A write-once disc that was written to, even in part, is used up.
    drive.blank = false;
    drive.used = failure == kDvdExNone ? udf->sectors : (done + 2047) / 2048;
    drive.label = udf->label;
    SaveMediumState(drive);
  }
  if (failure == kDvdExCancelled) return Fail(fault, call, kDvdExCancelled, kDvdStatusCancelled, "cancelled");
  if (failure != kDvdExNone) return Fail(fault, call, failure, 0, "%s", why.c_str());
  StandinTrace(kLib, "%s done: %lld bytes", call, static_cast<long long>(done));
  return Ok(fault);
}

DVD_EXPORT int32_t OUTSIDE_CALL DvdScribe_CloseSession(DvdFault* fault, DvdBurner burner) {
  VirtualDrive drive;
  if (int32_t e = DriveOf(fault, "CloseSession", static_cast<Burner*>(burner), &drive)) return e;
  return Ok(fault);
}

// The exports keep the interface's types.
static_assert(std::is_same<decltype(&DvdScribe_StartUp), DvdStartUpFn>::value, "5002");
static_assert(std::is_same<decltype(&DvdScribe_FindDevices), DvdFindDevicesFn>::value, "1001");
static_assert(std::is_same<decltype(&DvdScribe_Create), DvdCreateFn>::value, "3000");
static_assert(std::is_same<decltype(&DvdScribe_TrackAtOnceFromTree), DvdTrackAtOnceFromTreeFn>::value, "3009");
static_assert(std::is_same<decltype(&DvdScribe_TrackInformation), DvdTrackInformationFn>::value, "3018");
static_assert(std::is_same<decltype(&DvdScribe_Cancel), DvdCancelFn>::value, "3032");
static_assert(std::is_same<decltype(&DvdScribe_CreateUdf), DvdCreateUdfFn>::value, "4000");
static_assert(std::is_same<decltype(&DvdScribe_TreeAddFile), DvdTreeAddFileFn>::value, "4002");
static_assert(std::is_same<decltype(&DvdScribe_FreeTree), DvdFreeTreeFn>::value, "4006");
