// The DVD-writing library "DvdScribe", called by ordinal only (its exports
// have no names). Every call that can fail takes a DvdFault first and returns
// its exception number: 0 on success, else the fault holds the exception, a
// status and a text ("exception %ld, status %ld, text '%s'" in messages).
//
// Use: start the engine (5002) ... shut it down (5001). Devices are found by
// a callback (1001); a burner object is made for a device address (3000),
// asked and driven (3001-3052), and destroyed (1002). A disc is written from
// a UDF file system (4000) made from a tree of folders and files (4003,
// 4002), which is freed afterwards (4001, then 4006).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "standins/include/outside_abi.h"

typedef struct DvdFault {
  int32_t exception;   // kDvdEx*
  int32_t status;      // kDvdStatus*, or a system error number
  char text[256];
} DvdFault;

// Exception numbers.
enum {
  kDvdExNone = 0,
  kDvdExNotStarted = 1,    // engine not started
  kDvdExBadArgument = 2,
  kDvdExNoDevice = 3,      // no drive at that address
  kDvdExNotReady = 4,      // no disc
  kDvdExMedium = 5,        // the disc cannot do what was asked
  kDvdExFile = 6,          // a file of the tree cannot be read
  kDvdExTooLarge = 7,      // the tree does not fit on the disc
  kDvdExWrite = 8,         // writing the disc failed
  kDvdExSettings = 9,      // the drive settings cannot be read or written
  kDvdExCancelled = 14,    // with kDvdStatusCancelled
};
enum { kDvdStatusCancelled = 31 };

// Device address: byte 0 is the record's length, bytes 1 to 4 the port, bus,
// target id and logical unit.
typedef struct DvdDeviceAddress {
  uint8_t length;
  uint8_t port;
  uint8_t bus;
  uint8_t target;
  uint8_t lun;
  uint8_t reserved[3];
} DvdDeviceAddress;

// Callback events.
enum {
  kDvdEventDeviceFound = 10,  // find devices: one per drive
  kDvdEventFinalizing = 8,    // writing: the disc is being closed
  kDvdEventProgress = 12,     // writing: done of total bytes
};

// FindDevices callback: event, the count of devices found so far, the address
// (event 10), the context given to FindDevices. Return 0 to go on.
typedef int32_t(OUTSIDE_CALL* DvdFindCallback)(int32_t event, int32_t found,
                                               const DvdDeviceAddress* address, void* context);
// Burner callback: event, the context given to Create, bytes total and done.
typedef int32_t(OUTSIDE_CALL* DvdProgressCallback)(int32_t event, void* context, int64_t total,
                                                   int64_t done);

typedef void* DvdBurner;   // made by Create, destroyed by Destroy
typedef void* DvdTreeNode; // a folder or file of a tree; the root stands for the tree
typedef void* DvdUdfImage; // a UDF file system made from a tree

// Capability flags (3002) and capability bytes (3052).
enum {
  kDvdCapReadDvd = 0x01,
  kDvdCapWriteDvdR = 0x02,
  kDvdCapWriteDvdRw = 0x04,
  kDvdCapWriteDvdPlus = 0x08,
  kDvdCapBufferUnderrun = 0x10,
};
typedef struct DvdCapabilityBytes {
  uint8_t readDvd;
  uint8_t writeDvd;     // the DVD-writing flag: 1 for a DVD writer
  uint8_t writeCd;
  uint8_t underrunProtection;
  uint8_t reserved[12];
} DvdCapabilityBytes;

// Track information (3018). A blank disc has usedSectors 0.
typedef struct DvdTrackInformation {
  int32_t trackNumber;     // 0
  int32_t sessionNumber;   // 4
  int32_t startSector;     // 8
  int32_t freeSectors;     // 12
  int32_t usedSectors;     // 16
  int32_t reserved[3];     // 20
} DvdTrackInformation;

// Disc information (3019).
typedef struct DvdDiscInformation {
  uint8_t discStatus;      // 0 blank, 1 appendable, 2 complete
  uint8_t lastSession;     // 1
  uint8_t sessions;        // 2
  uint8_t erasable;        // 3: 1 for a rewritable disc
  int32_t capacitySectors; // 4: 2048-byte sectors
  int32_t reserved[2];     // 8
} DvdDiscInformation;

#if OUTSIDE_LAYOUT_32
static_assert(offsetof(DvdTrackInformation, usedSectors) == 16, "DvdTrackInformation layout");
static_assert(offsetof(DvdDiscInformation, erasable) == 3, "DvdDiscInformation layout");
static_assert(sizeof(DvdDeviceAddress) == 8, "DvdDeviceAddress layout");
#endif

// Disc type codes (3031); 5 to 9 and 13 are writable DVDs.
enum {
  kDvdDiscNone = 0,
  kDvdDiscCdRom = 1,
  kDvdDiscCdR = 2,
  kDvdDiscCdRw = 3,
  kDvdDiscDvdRom = 4,
  kDvdDiscDvdR = 5,
  kDvdDiscDvdRwSequential = 6,
  kDvdDiscDvdRwRestricted = 7,
  kDvdDiscDvdPlusRw = 8,
  kDvdDiscDvdPlusR = 9,
  kDvdDiscDvdRam = 10,
  kDvdDiscDvdPlusRDualLayer = 13,
};

// Write modes (3022).
enum {
  kDvdWriteTrackAtOnce = 0x01,
  kDvdWriteSessionAtOnce = 0x02,
};

// The ordinals.
enum {
  kDvdOrdFindDevices = 1001,
  kDvdOrdDestroy = 1002,
  kDvdOrdDeviceName = 1003,
  kDvdOrdCreate = 3000,
  kDvdOrdDeviceInformation = 3001,
  kDvdOrdCapabilities = 3002,
  kDvdOrdTestUnitReady = 3003,
  kDvdOrdGetUnderrunProtection = 3004,
  kDvdOrdSetUnderrunProtection = 3005,
  kDvdOrdGetSpeeds = 3006,
  kDvdOrdSetSpeeds = 3007,
  kDvdOrdSendOpc = 3008,
  kDvdOrdTrackAtOnceFromTree = 3009,
  kDvdOrdCloseSession = 3014,
  kDvdOrdEject = 3015,
  kDvdOrdErase = 3017,
  kDvdOrdTrackInformation = 3018,
  kDvdOrdDiscInformation = 3019,
  kDvdOrdProbeWriteModes = 3022,
  kDvdOrdDiscType = 3031,
  kDvdOrdCancel = 3032,
  kDvdOrdCapabilityBytes = 3052,
  kDvdOrdCreateUdf = 4000,
  kDvdOrdFreeUdf = 4001,
  kDvdOrdTreeAddFile = 4002,
  kDvdOrdTreeAddFolder = 4003,
  kDvdOrdFreeTree = 4006,
  kDvdOrdShutDown = 5001,
  kDvdOrdStartUp = 5002,
};

// 5002: key is any text; cacheKB the engine's buffer (1024 in the programs).
typedef int32_t(OUTSIDE_CALL* DvdStartUpFn)(DvdFault* fault, const char* key, int32_t cacheKB);
// 5001.
typedef void(OUTSIDE_CALL* DvdShutDownFn)(void);
// 1001: scope 5 = every drive. The callback runs before the call returns.
typedef int32_t(OUTSIDE_CALL* DvdFindDevicesFn)(DvdFault* fault, int32_t scope,
                                                DvdFindCallback callback, void* context);
// 1002.
typedef void(OUTSIDE_CALL* DvdDestroyFn)(DvdBurner burner);
// 1003: drive name of an address, e.g. "E:".
typedef int32_t(OUTSIDE_CALL* DvdDeviceNameFn)(DvdFault* fault, const DvdDeviceAddress* address,
                                               char* name, int32_t size);
// 3000: callback may be NULL.
typedef int32_t(OUTSIDE_CALL* DvdCreateFn)(DvdFault* fault, DvdBurner* burner,
                                           const DvdDeviceAddress* address,
                                           DvdProgressCallback callback, void* context);
// 3001: vendor, product and revision texts (buffers of 64 characters).
typedef int32_t(OUTSIDE_CALL* DvdDeviceInformationFn)(DvdFault* fault, DvdBurner burner,
                                                      char* vendor, char* product, char* revision);
// 3002.
typedef int32_t(OUTSIDE_CALL* DvdCapabilitiesFn)(DvdFault* fault, DvdBurner burner,
                                                 uint32_t* flags);
// 3003.
typedef int32_t(OUTSIDE_CALL* DvdTestUnitReadyFn)(DvdFault* fault, DvdBurner burner);
// 3004: available and current state of buffer-underrun protection.
typedef int32_t(OUTSIDE_CALL* DvdGetUnderrunProtectionFn)(DvdFault* fault, DvdBurner burner,
                                                          int32_t* available, int32_t* enabled);
// 3005.
typedef int32_t(OUTSIDE_CALL* DvdSetUnderrunProtectionFn)(DvdFault* fault, DvdBurner burner,
                                                          int32_t enable);
// 3006: kB/s.
typedef int32_t(OUTSIDE_CALL* DvdGetSpeedsFn)(DvdFault* fault, DvdBurner burner, int32_t* read,
                                              int32_t* write);
// 3007: 0xFFFF is the highest.
typedef int32_t(OUTSIDE_CALL* DvdSetSpeedsFn)(DvdFault* fault, DvdBurner burner, int32_t read,
                                              int32_t write);
// 3008: power calibration before a write.
typedef int32_t(OUTSIDE_CALL* DvdSendOpcFn)(DvdFault* fault, DvdBurner burner);
// 3009: writes the file system; progress and finalising come through the
// burner's callback on the calling thread. testWrite 1 simulates.
typedef int32_t(OUTSIDE_CALL* DvdTrackAtOnceFromTreeFn)(DvdFault* fault, DvdBurner burner,
                                                        DvdUdfImage image, int32_t testWrite);
// 3014.
typedef int32_t(OUTSIDE_CALL* DvdCloseSessionFn)(DvdFault* fault, DvdBurner burner);
// 3015.
typedef int32_t(OUTSIDE_CALL* DvdEjectFn)(DvdFault* fault, DvdBurner burner);
// 3017: quick 1.
typedef int32_t(OUTSIDE_CALL* DvdEraseFn)(DvdFault* fault, DvdBurner burner, int32_t quick);
// 3018: track 255 is the next writable one.
typedef int32_t(OUTSIDE_CALL* DvdTrackInformationFn)(DvdFault* fault, DvdBurner burner,
                                                     int32_t track, DvdTrackInformation* info);
// 3019.
typedef int32_t(OUTSIDE_CALL* DvdDiscInformationFn)(DvdFault* fault, DvdBurner burner,
                                                    DvdDiscInformation* info);
// 3022: kDvdWrite* bits.
typedef int32_t(OUTSIDE_CALL* DvdProbeWriteModesFn)(DvdFault* fault, DvdBurner burner,
                                                    uint32_t* modes);
// 3031: kDvdDisc*.
typedef int32_t(OUTSIDE_CALL* DvdDiscTypeFn)(DvdFault* fault, DvdBurner burner, int32_t* type);
// 3032: from any thread; the running write then fails with kDvdExCancelled.
typedef int32_t(OUTSIDE_CALL* DvdCancelFn)(DvdBurner burner);
// 3052.
typedef int32_t(OUTSIDE_CALL* DvdCapabilityBytesFn)(DvdFault* fault, DvdBurner burner,
                                                    DvdCapabilityBytes* bytes);
// 4003: parent NULL makes the root (and so a new tree); name is the folder's
// name on the disc.
typedef int32_t(OUTSIDE_CALL* DvdTreeAddFolderFn)(DvdFault* fault, DvdTreeNode parent,
                                                  const char* name, DvdTreeNode* folder);
// 4002: the file keeps its name, in capitals, on the disc.
typedef int32_t(OUTSIDE_CALL* DvdTreeAddFileFn)(DvdFault* fault, DvdTreeNode parent,
                                                const char* path, DvdTreeNode* file);
// 4000: the file system of the tree under root, with its volume label.
typedef int32_t(OUTSIDE_CALL* DvdCreateUdfFn)(DvdFault* fault, DvdTreeNode root,
                                              const char* volumeLabel, DvdUdfImage* image);
// 4001.
typedef void(OUTSIDE_CALL* DvdFreeUdfFn)(DvdUdfImage image);
// 4006: the whole tree of root.
typedef void(OUTSIDE_CALL* DvdFreeTreeFn)(DvdTreeNode root);

#define DVDSCRIBE_LIBRARY_NAME "DvdScribe"
