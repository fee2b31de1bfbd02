// BuildVcdImage: the image builder's one entry, for Windows callers (the
// disc programs' build threads). Exported undecorated with C linkage from
// zrDiscImage.dll, and in the static library quorbel_discimage_entry.
#pragma once

#include <windows.h>

#include "discimage/run/vcd_build_params.h"
#include "discimage/base/vcd_messages.h"

#if defined(QUORBEL_DISCIMAGE_DLL)
#define QUORBEL_DISCIMAGE_API __declspec(dllexport)
#else
#define QUORBEL_DISCIMAGE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Builds the image that params describes, reporting to owner (the thread's
// active window when NULL) under the message registered as messageName. Reads
// *cancelFlag (may be NULL) to stop early. Results: kVcdResult* (-1 bad
// parameters: nothing is sent; 0 done; 1 failed or cancelled; 2 a fault or
// exception; 3 out of memory).
QUORBEL_DISCIMAGE_API int BuildVcdImage(HWND owner, const char* messageName,
                                        const VcdBuildParams* params,
                                        const volatile int* cancelFlag);

#ifdef __cplusplus
}
#endif
