#include "discimage/vcd_guard.h"

#include "discimage/vcd_build_params.h"

#ifdef _WIN32
#include <malloc.h>
#include <windows.h>
#endif

namespace {

// Kept out of the guard's own frame: exception handling and the jump target
// do not mix in one function.
__attribute__((noinline)) int RunCatchingCxx(VcdGuardedFn fn, void* context) {
  try {
    return fn(context);
  } catch (...) {
    return kVcdResultException;
  }
}

}  // namespace

#ifndef _WIN32

int VcdRunGuarded(VcdGuardedFn fn, void* context, uint32_t* exceptionCode) {
  if (exceptionCode != nullptr) *exceptionCode = 0;
  return RunCatchingCxx(fn, context);
}

#else

namespace {

// One per active guard, in the guard's stack frame.
struct GuardFrame {
  void* jump[5];                   // __builtin_setjmp buffer
  GuardFrame* outer;               // the guard this one runs inside, or NULL
  volatile DWORD code;             // exception code of the fault, 0 if none
  alignas(16) unsigned char reserve[16384];  // stack to leave on after a fault
};

DWORD g_guardSlot = TLS_OUT_OF_INDEXES;  // TLS slot: innermost GuardFrame of the thread
INIT_ONCE g_installOnce = INIT_ONCE_STATIC_INIT;

// Exceptions that end a guarded run: faults and other system errors (NT
// error severity, not customer codes), plus the warning-class faults. Codes
// that software raises for itself (C++ throws of any runtime, RPC) are left
// to whoever raised them.
bool EndsGuardedRun(DWORD code) {
  switch (code) {
    case EXCEPTION_GUARD_PAGE:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_BREAKPOINT:
      return true;
    default:
      return (code & 0xF0000000u) == 0xC0000000u;
  }
}

__attribute__((noinline, noreturn)) void LeaveGuard(GuardFrame* frame) {
  __builtin_longjmp(frame->jump, 1);
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
  GuardFrame* frame = static_cast<GuardFrame*>(TlsGetValue(g_guardSlot));
  DWORD code = info->ExceptionRecord->ExceptionCode;
  if (frame == NULL || !EndsGuardedRun(code)) return EXCEPTION_CONTINUE_SEARCH;
  frame->code = code;
  // Resume in LeaveGuard on the reserve stack: the faulting stack may be
  // exhausted, and jumping from inside the dispatcher is not ours to do.
  uintptr_t top = reinterpret_cast<uintptr_t>(frame->reserve + sizeof frame->reserve) &
                  ~static_cast<uintptr_t>(15);
  CONTEXT* context = info->ContextRecord;
#ifdef _WIN64
  // As after a call: return slot, then the 32-byte home area of the caller.
  context->Rsp = top - 40;
  context->Rcx = reinterpret_cast<DWORD64>(frame);
  context->Rip = reinterpret_cast<DWORD64>(&LeaveGuard);
#else
  DWORD* stack = reinterpret_cast<DWORD*>(top - 16);
  stack[0] = 0;                                // return slot
  stack[1] = reinterpret_cast<DWORD>(frame);  // the argument
  context->Esp = reinterpret_cast<DWORD>(stack);
  context->Eip = reinterpret_cast<DWORD>(&LeaveGuard);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

BOOL CALLBACK InstallHandler(PINIT_ONCE, PVOID, PVOID*) {
  g_guardSlot = TlsAlloc();
  if (g_guardSlot == TLS_OUT_OF_INDEXES) return FALSE;
  return AddVectoredExceptionHandler(1, OnException) != NULL;
}

}  // namespace

int VcdRunGuarded(VcdGuardedFn fn, void* context, uint32_t* exceptionCode) {
  uint32_t* volatile codeOut = exceptionCode;
  if (codeOut != nullptr) *codeOut = 0;
  if (!InitOnceExecuteOnce(&g_installOnce, InstallHandler, NULL, NULL))
    return RunCatchingCxx(fn, context);  // no handler: C++ exceptions only

  GuardFrame frame;
  frame.outer = static_cast<GuardFrame*>(TlsGetValue(g_guardSlot));
  frame.code = 0;
  volatile int result = kVcdResultException;
  TlsSetValue(g_guardSlot, &frame);
  if (__builtin_setjmp(frame.jump) == 0) result = RunCatchingCxx(fn, context);
  TlsSetValue(g_guardSlot, frame.outer);
  if (frame.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();  // re-arm the guard page
  if (codeOut != nullptr) *codeOut = frame.code;
  return result;
}

#endif
