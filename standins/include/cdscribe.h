// The CD-writing library "CdScribe", called by name. Every function returns 0
// on success or one of the codes below; GetText gives the text of a code.
// Records are passed by value or filled through pointers. Callbacks run on a
// thread of the library, each with the user data given to its setter.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "standins/include/outside_abi.h"

// Result codes.
enum {
  kCdOk = 0,
  kCdNotInitialized = 1,    // Initialize was not called
  kCdNoProject = 2,         // no project (CreateProject)
  kCdBadArgument = 3,
  kCdNoDevice = 4,          // SetDevice was not called, or names no drive
  kCdBusy = 5,              // a burn, erase or scan is running
  kCdCannotRead = 6,        // a project file cannot be read
  kCdBadImage = 7,          // a cue sheet the library cannot use
  kCdImageTooLarge = 8,     // the project does not fit on the medium
  kCdNotPrepared = 9,       // Burn before Prepare, or the project changed since
  kCdEmptyProject = 10,
  kCdWriteFailed = 11,      // the medium cannot be written
  kCdNotErasable = 12,      // Erase on a medium that is not rewritable
  kCdDeviceListFull = 13,
  kCdSettings = 14,         // the drive settings cannot be read or written
  kCdNotWritable = 21,      // no usable blank disc: not a writable medium,
  kCdNotBlank = 22,         //   not blank,
  kCdNoMedium = 23,         //   or no medium at all
};

// Project types (CreateProject).
enum {
  kCdProjectImage = 1,  // burn disc images (cue sheets) and plain files
  kCdProjectVcd = 3,    // collect MPEG files for a VideoCD; AddFile scans them
  kCdProjectSvcd = 4,   // the same for a SuperVCD
};

// GetDeviceCapabilities bits.
enum {
  kCdCapReadCd = 0x001,
  kCdCapReadDvd = 0x002,
  kCdCapWriteCdR = 0x200,
  kCdCapWriteCdRw = 0x400,
  kCdCapWriteDvd = 0x800,
  kCdCapWriterMask = 0x600,  // any of these marks a CD writer
};

enum {
  kCdMaxDevices = 26,     // GetDevices' buffer holds this many entries
  kCdTextBufferSize = 2048,
};

// One GetDevices entry: drive letter first, then a description.
typedef struct CdScribeDevice {
  char text[50];
} CdScribeDevice;

// GetMediumInformation.
typedef struct CdScribeMedium {
  char type[28];           // 0: "CD-R", "CD-RW", "DVD-R", "DVD+RW", "CD-ROM", ...
  int32_t usedSectors;     // 28: 0 for a blank medium
  int32_t capacitySectors; // 32: 2352-byte sectors on a CD, 2048-byte on a DVD
  int32_t sessions;        // 36: closed sessions
  int32_t rewritable;      // 40: 1 for an erasable medium
  char label[32];          // 44: volume label of what was written, or empty
} CdScribeMedium;

// GetOptions / SetOptions (by value).
typedef struct CdScribeOptions {
  char volumeLabel[128];   // 0: label of the disc written next
  char publisher[128];     // 128
  char application[128];   // 256
  int32_t writeSpeed;      // 384: kB/s; 0 the highest
  int32_t writeMode;       // 388: 0 disc-at-once, 1 track-at-once
  int32_t reserved392[2];  // 392
  uint32_t cacheBytes;     // 400: write cache; 0x800000 in the programs
  uint8_t testWrite;       // 404: 1 simulates the write
  uint8_t ejectWhenDone;   // 405: open the tray after a burn or erase
  uint8_t reserved406[6];  // 406
} CdScribeOptions;

// AddFile (by value).
typedef struct CdScribeFile {
  char path[260];          // 0: source file
  char destination[260];   // 260: folder on the disc, "\" for the root
  uint8_t scanVideo;       // 520: 1 has the video scanner judge the file now
  uint8_t reserved521[3];  // 521
  int32_t kind;            // 524: kCdFile*
} CdScribeFile;

enum {
  kCdFileVideo = 0,  // an MPEG file of a VideoCD / SuperVCD project
  kCdFileData = 1,   // a plain file copied to the disc
  kCdFileImage = 2,  // a cue sheet: its image is written track by track
};

#if OUTSIDE_LAYOUT_32
static_assert(sizeof(CdScribeDevice) == 50, "CdScribeDevice layout");
static_assert(offsetof(CdScribeMedium, usedSectors) == 28, "CdScribeMedium layout");
static_assert(offsetof(CdScribeOptions, cacheBytes) == 400, "CdScribeOptions layout");
static_assert(offsetof(CdScribeOptions, ejectWhenDone) == 405, "CdScribeOptions layout");
static_assert(sizeof(CdScribeOptions) == 412, "CdScribeOptions layout");
static_assert(offsetof(CdScribeFile, destination) == 260, "CdScribeFile layout");
static_assert(offsetof(CdScribeFile, scanVideo) == 520, "CdScribeFile layout");
static_assert(offsetof(CdScribeFile, kind) == 524, "CdScribeFile layout");
static_assert(sizeof(CdScribeFile) == 528, "CdScribeFile layout");
#endif

// Callbacks. Their results are not used by the library.
typedef int32_t(OUTSIDE_CALL* CdFinalizeCallback)(void* user);
// text: "" on success, else what went wrong.
typedef int32_t(OUTSIDE_CALL* CdBurnDoneCallback)(const char* text, void* user);
// percent of the running burn or erase, then the track being written, the
// track count, the library's and the drive's buffer fill in percent, the
// sectors written and the sectors to write.
typedef int32_t(OUTSIDE_CALL* CdProcessCallback)(float percent, int32_t track, int32_t trackCount,
                                                 int32_t bufferPercent, int32_t deviceBufferPercent,
                                                 int32_t sectorsDone, int32_t sectorsTotal, void* user);
// result: 0 erased, else a code.
typedef int32_t(OUTSIDE_CALL* CdEraseDoneCallback)(int32_t result, void* user);
// Video scanner: percent of the file being scanned, its place in the project.
typedef int32_t(OUTSIDE_CALL* CdVideoScannerCallback)(float percent, int32_t fileIndex, void* user);
// Video scan done: the path; 0 or the code that stopped the scan; 1 when the
// file does not fit the project's disc type; the MPEG version (1, 2; 0
// unknown); picture width and height; video bit rate in bits per second;
// frame rate; playing time in milliseconds; audio streams found.
typedef int32_t(OUTSIDE_CALL* CdVideoScanDoneCallback)(const char* path, int32_t scanResult,
                                                       int32_t notCompatible, int32_t mpegVersion,
                                                       int32_t width, int32_t height,
                                                       int32_t bitRate, double frameRate,
                                                       int32_t durationMs, int32_t audioStreams,
                                                       void* user);

// The entries, by name.
typedef int32_t(OUTSIDE_CALL* CdInitializeFn)(int32_t reserved, const char* owner, int32_t mode);
typedef int32_t(OUTSIDE_CALL* CdCreateProjectFn)(int32_t type);
typedef int32_t(OUTSIDE_CALL* CdDeleteProjectFn)(void);
typedef int32_t(OUTSIDE_CALL* CdSetFinalizeEventCallbackFn)(CdFinalizeCallback callback, void* user);
typedef int32_t(OUTSIDE_CALL* CdSetBurnDoneEventCallbackFn)(CdBurnDoneCallback callback, void* user);
typedef int32_t(OUTSIDE_CALL* CdSetProcessEventCallbackFn)(CdProcessCallback callback, void* user);
typedef int32_t(OUTSIDE_CALL* CdSetEraseDoneEventCallbackFn)(CdEraseDoneCallback callback, void* user);
typedef int32_t(OUTSIDE_CALL* CdSetVideoScannerEventCallbackFn)(CdVideoScannerCallback callback,
                                                                void* user);
typedef int32_t(OUTSIDE_CALL* CdSetVideoScanDoneEventCallbackFn)(CdVideoScanDoneCallback callback,
                                                                 void* user);
// list: kCdMaxDevices entries; *count receives the number filled; flags 0.
typedef int32_t(OUTSIDE_CALL* CdGetDevicesFn)(CdScribeDevice* list, int32_t* count, int32_t flags);
typedef int32_t(OUTSIDE_CALL* CdSetDeviceFn)(int32_t driveLetter);
typedef int32_t(OUTSIDE_CALL* CdGetDeviceCapabilitiesFn)(uint32_t* flags);
typedef int32_t(OUTSIDE_CALL* CdGetMediumInformationFn)(CdScribeMedium* medium);
typedef int32_t(OUTSIDE_CALL* CdGetOptionsFn)(CdScribeOptions* options);
typedef int32_t(OUTSIDE_CALL* CdSetOptionsFn)(CdScribeOptions options);
typedef int32_t(OUTSIDE_CALL* CdClearAllFn)(void);
typedef int32_t(OUTSIDE_CALL* CdAddFileFn)(CdScribeFile file);
typedef int32_t(OUTSIDE_CALL* CdPrepareFn)(void);
typedef int32_t(OUTSIDE_CALL* CdBurnFn)(void);
// mode: 1 quick (the programs' value), 0 full.
typedef int32_t(OUTSIDE_CALL* CdEraseFn)(int32_t mode);
typedef int32_t(OUTSIDE_CALL* CdAbortFn)(void);
typedef int32_t(OUTSIDE_CALL* CdEjectDeviceFn)(void);
// *size: in, the buffer's size; out, the text's length.
typedef int32_t(OUTSIDE_CALL* CdGetTextFn)(int32_t code, char* buffer, int32_t* size);

#define CDSCRIBE_LIBRARY_NAME "CdScribe"
