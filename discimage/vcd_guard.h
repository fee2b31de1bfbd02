// Runs a piece of work so that a fault inside it ends the work, not the
// process. C++ exceptions are caught everywhere; on Windows processor faults
// (access violation, illegal instruction, division by zero, stack overflow
// and the like) are caught as well:
//
// mingw has no __try/__except, so a vectored exception handler watches the
// threads that are inside a guard. On a fault it rewrites the faulting
// thread's context to resume in a small function on a reserve stack inside
// the guard's frame, which jumps (__builtin_longjmp) back into the guard.
// The frames between are abandoned without running their destructors: what
// they held leaks, which is the price of going on after a fault.
#pragma once

#include <cstdint>

typedef int (*VcdGuardedFn)(void* context);

// fn(context)'s result, or kVcdResultException when it faulted or threw.
// exceptionCode, when given, receives the Windows exception code of a caught
// fault (0 for a C++ exception or no fault).
int VcdRunGuarded(VcdGuardedFn fn, void* context, uint32_t* exceptionCode = nullptr);
