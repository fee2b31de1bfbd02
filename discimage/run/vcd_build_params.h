// The builder's parameter block and result codes: the record a build thread
// fills and hands to BuildVcdImage (or the command-line program fills from its
// options). The layout is fixed: it is shared with code built apart from the
// builder, so it holds no pointers and keeps the same bytes on every target.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
  kVcdPathSize = 260,  // each path field, including its terminating zero
};

// Image kinds of VcdBuildParams::imageType; every value other than 1 and 2
// writes cue/bin.
enum {
  kVcdImageCueBin = 0,
  kVcdImageTocImg = 1,
  kVcdImageNrg = 2,
};

// Values of VcdBuildParams::verbosity; anything else is the normal level.
enum {
  kVcdVerbosityNormal = 0,
  kVcdVerbosityDebug = 1,
  kVcdVerbosityQuiet = 2,
};

// Results of BuildVcdImage and of the front end's run.
enum {
  kVcdResultBadParameters = -1,  // no window, no message name or no block
  kVcdResultOk = 0,              // image written, or a print-only mode ran
  kVcdResultFailed = 1,          // the run failed or was cancelled
  kVcdResultException = 2,       // a fault or exception ended the run
  kVcdResultNoRunner = 3,        // the runner could not be allocated
};

#pragma pack(push, 1)
struct VcdBuildParams {
  char xmlPath[kVcdPathSize];  // VideoCD XML project; must not be empty
  int32_t imageType;           // kVcdImage*; other values mean cue/bin
  char cuePath[kVcdPathSize];  // cue sheet or TOC path; empty: the default
  char binPath[kVcdPathSize];  // bin file, img base or nrg file; empty: default
  int32_t sector2336;          // non-zero: 2336-byte sectors (cue/bin, toc/img)
  int32_t versionMode;         // non-zero: only report the version
  int32_t verbosity;           // kVcdVerbosity*
  int32_t progress;            // non-zero: send progress reports
  int32_t xmlProgress;         // non-zero: progress and version as XML lines
  int32_t helpMode;            // non-zero: only print the full help
  int32_t usageMode;           // non-zero: only print the brief usage
  int32_t reserved;            // not read
};
#pragma pack(pop)

// No pointers inside: the same layout on every target.
static_assert(offsetof(VcdBuildParams, imageType) == 260, "VcdBuildParams layout");
static_assert(offsetof(VcdBuildParams, cuePath) == 264, "VcdBuildParams layout");
static_assert(offsetof(VcdBuildParams, binPath) == 524, "VcdBuildParams layout");
static_assert(offsetof(VcdBuildParams, sector2336) == 784, "VcdBuildParams layout");
static_assert(offsetof(VcdBuildParams, verbosity) == 792, "VcdBuildParams layout");
static_assert(offsetof(VcdBuildParams, reserved) == 812, "VcdBuildParams layout");
static_assert(sizeof(VcdBuildParams) == 816, "VcdBuildParams layout");
