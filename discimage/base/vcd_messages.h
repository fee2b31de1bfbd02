// The builder's message layer: texts at five levels, progress of the scan and
// write phases, and the records sent with them. With a window target every
// report is sent to that window; without one it is printed to the output and
// error streams behind a level prefix.
//
// The layer is platform-neutral: the window delivery is a function pointer
// that the Windows entry point sets (SendMessageA there), so the layer builds
// and is tested natively with a fake window.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "discimage/base/vcd_worker_threads.h"
#include "mfc/types.h"

// Message levels; also the wParam of what is sent to the window.
enum {
  kVcdMsgDebug = 1,
  kVcdMsgInfo = 2,
  kVcdMsgWarning = 3,
  kVcdMsgError = 4,
  kVcdMsgProgress = 6,  // progress text, or a VcdBuildProgress record
  kVcdMsgPlain = 7,     // plain text, or a VcdVersionRecord
};

// Lowest level shown, as set from the block's verbosity.
enum {
  kVcdLevelDebug = 1,
  kVcdLevelNormal = 2,
  kVcdLevelQuiet = 3,
};

// The level for a verbosity value of VcdBuildParams: 1 debug, 2 quiet (warnings
// and errors only), every other value normal.
int VcdLevelFromVerbosity(int verbosity);

// Delivers one message to a window (SendMessageA on Windows); the result is
// what the window returned and is not used.
typedef intptr_t (*VcdWindowSendFn)(void* window, unsigned int message, uintptr_t wParam,
                                    intptr_t lParam);

// Where the MPEG scanner stands.
struct VcdScanState {
  const char* name;  // source file path
  int packets;       // packets scanned so far
  int64_t position;  // bytes
  int64_t size;      // bytes
};

// Where the image writer stands.
struct VcdWriteState {
  const char* name;  // image file name
  int sectorsWritten;
  int sectorsTotal;
  int currentTrack;
  int trackCount;
};

enum {
  kVcdPhaseScan = 1,
  kVcdPhaseWrite = 2,
};

#pragma pack(push, 1)
// Sent with wParam kVcdMsgProgress, lParam its address; valid only during the
// send. The first byte is always 0 so that a window can tell it from a text.
// The two phases order their counts differently (scan: total first).
struct VcdBuildProgress {
  uint8_t kind;              // 0
  int32_t phase;             // kVcdPhaseScan or kVcdPhaseWrite
  const char* name;          // scanned file, or the image being written
  int32_t percent;           // done / total x 100, rounded up
  uint32_t sizeOrWritten;    // scan: size in bytes; write: sectors written
  uint32_t positionOrTotal;  // scan: position in bytes; write: sectors in total
  int32_t packetsOrTrack;    // scan: packets so far; write: current track
  int32_t trackCount;        // scan: 0; write: number of tracks
};

// Sent with wParam kVcdMsgPlain, lParam its address; first byte 0 as above.
struct VcdVersionRecord {
  uint8_t kind;          // 0
  const char* about;     // about text with the program name filled in
  const char* program;   // program name
  const char* major;     // "6.0"
  const char* minor;     // "7"
  const char* micro;     // "10"
  const char* platform;  // "win32"
};
#pragma pack(pop)

#if defined(_WIN32) && !defined(_WIN64)
// The 32-bit layout that window procedures built apart from the builder read.
static_assert(sizeof(VcdBuildProgress) == 29, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, phase) == 1, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, name) == 5, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, percent) == 9, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, sizeOrWritten) == 13, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, positionOrTotal) == 17, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, packetsOrTrack) == 21, "VcdBuildProgress layout");
static_assert(offsetof(VcdBuildProgress, trackCount) == 25, "VcdBuildProgress layout");
static_assert(sizeof(VcdVersionRecord) == 25, "VcdVersionRecord layout");
static_assert(offsetof(VcdVersionRecord, about) == 1, "VcdVersionRecord layout");
static_assert(offsetof(VcdVersionRecord, program) == 5, "VcdVersionRecord layout");
static_assert(offsetof(VcdVersionRecord, major) == 9, "VcdVersionRecord layout");
static_assert(offsetof(VcdVersionRecord, minor) == 13, "VcdVersionRecord layout");
static_assert(offsetof(VcdVersionRecord, micro) == 17, "VcdVersionRecord layout");
static_assert(offsetof(VcdVersionRecord, platform) == 21, "VcdVersionRecord layout");
#endif

// done / total x 100 rounded up, in integers (no floating-point surprises at
// exact percentages); 0 when total is not positive.
int VcdPercentRoundedUp(int64_t done, int64_t total);

// The base of the front end and the runner: every report of the builder goes
// through one of these.
class CVcdMessageSink {
public:
  enum { kTextSize = 1024 };  // a formatted text keeps at most 1023 characters

  CVcdMessageSink();
  virtual ~CVcdMessageSink();

  // Do nothing and return 0 when the state is NULL or progress is off.
  virtual int ReportScanProgress(const VcdScanState* state);
  virtual int ReportWriteProgress(const VcdWriteState* state);
  // kVcdLevel*: the lowest level shown.
  virtual void SetLevel(int level);

  int GetLevel() const { return m_level; }
  void SetProgress(int progress) { m_progress = progress; }
  int GetProgress() const { return m_progress; }

  // The caller's cancel flag (NULL: nothing can cancel); only ever read.
  void SetCancelFlag(const volatile int* cancelFlag) { m_cancelFlag = cancelFlag; }
  bool IsCancelled() const { return m_cancelFlag != NULL && *m_cancelFlag != 0; }

  // Window delivery: every report goes to the window while window, message
  // and send function are all set.
  void SetWindowTarget(void* window, unsigned int message, VcdWindowSendFn send);
  bool HasWindow() const { return m_window != NULL && m_message != 0 && m_send != NULL; }
  void* GetWindow() const { return m_window; }
  unsigned int GetMessageId() const { return m_message; }

  // Streams used without a window (stdout and stderr by default).
  void SetOutputStreams(FILE* out, FILE* err);

  // The threads of the build this sink reports for. Every part of a build
  // reaches its sink, and the sink goes last in the build's teardown: the
  // threads still running then stop with it.
  CVcdWorkerThreads* GetWorkerThreads() { return &m_workerThreads; }

  // Formats (at most 1023 characters kept) and hands the text to the layer.
  void Send(int level, const char* format, ...) QUORBEL_PRINTF_LIKE(3, 4);
  void SendV(int level, const char* format, va_list args);
  void Debug(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  void Info(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  void Warning(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  void Error(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  void ProgressText(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  // Hands a finished text to the layer as it stands (no formatting): a line
  // feed is appended unless it ends in CR or LF; empty texts and levels the
  // setting hides are dropped; a CR-ended line shown last is cleared first.
  void SendText(int level, const char* text);

protected:
  // Sends a record (its first byte 0) to the window; the caller has checked
  // HasWindow().
  void SendRecord(int wParam, const void* record);
  bool LevelShown(int level) const;
  // Puts one finished text out, to the window or to the level's stream.
  void Deliver(int level, const char* text);

  const volatile int* m_cancelFlag;  // caller's cancel integer, or NULL
  int m_level;                       // lowest level shown, kVcdLevel*
  int m_progress;                    // non-zero: progress reports are made
  void* m_window;                    // owner window, or NULL
  unsigned int m_message;            // registered message, or 0
  VcdWindowSendFn m_send;            // delivery to m_window
  bool m_lineOpen;                   // the last text ended in CR: clear it first
  FILE* m_out;                       // stream for levels other than error
  FILE* m_err;                       // stream for errors
  CVcdWorkerThreads m_workerThreads;  // see GetWorkerThreads

private:
  CVcdMessageSink(const CVcdMessageSink&) = delete;
  CVcdMessageSink& operator=(const CVcdMessageSink&) = delete;
};
