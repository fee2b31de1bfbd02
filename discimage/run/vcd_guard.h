// Runs a piece of work so that a fault inside it ends the work, not the
// process. C++ exceptions are caught everywhere; on Windows every structured
// exception (access violation, division by zero, stack overflow, an
// exception another runtime raises, of any code) that nothing inside the
// work handles ends it as well. What code inside handles for itself -
// system functions probe memory under handlers of their own - is left to
// it.
//
// mingw has no __try/__except, so the guard calls the work through a frame
// of its own that carries an exception handler: on x86-64 a small
// assembler function with an unwind entry naming the handler, on x86 a
// registration record in the thread's handler chain. The system asks that
// handler only once every handler inside the work has declined. It then
// rewrites the thread's context to resume in a small function on a reserve
// stack inside the guard's frame, which jumps (__builtin_longjmp) back into
// the guard. The frames between are abandoned without running their
// destructors: what they held leaks, which is the price of going on after a
// fault.
#pragma once

#include <cstdint>

typedef int (*VcdGuardedFn)(void* context);

// fn(context)'s result, or kVcdResultException when it faulted or threw.
// exceptionCode, when given, receives the Windows exception code of a caught
// exception (0 for a C++ exception or none).
int VcdRunGuarded(VcdGuardedFn fn, void* context, uint32_t* exceptionCode = nullptr);
