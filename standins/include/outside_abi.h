// What every interface to an outside library shares: one calling convention
// for exports and callbacks (the callee removes the arguments on 32-bit
// Windows; x64 has one convention anyway) and plain C linkage.
#pragma once

#if defined(_WIN32)
#define OUTSIDE_CALL __stdcall
#else
#define OUTSIDE_CALL
#endif

#ifdef __cplusplus
#define OUTSIDE_EXTERN_C extern "C"
#else
#define OUTSIDE_EXTERN_C
#endif

// Layout checks that hold where the records were laid out: 32-bit Windows.
#if defined(_WIN32) && !defined(_WIN64)
#define OUTSIDE_LAYOUT_32 1
#else
#define OUTSIDE_LAYOUT_32 0
#endif
