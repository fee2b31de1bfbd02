#include "discimage/run/vcd_guard.h"

#include "discimage/run/vcd_build_params.h"

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
  void* jump[5];                             // __builtin_setjmp buffer
  VcdGuardedFn fn;                           // the work
  void* context;                             // and its argument
  volatile DWORD code;                       // exception code taken, 0 if none
  alignas(16) unsigned char reserve[16384];  // stack to leave on after a fault
};

__attribute__((noinline, noreturn)) void LeaveGuard(GuardFrame* frame) {
  __builtin_longjmp(frame->jump, 1);
}

// Nothing inside the work handled the exception: the guard takes it and
// resumes in LeaveGuard on the reserve stack (the faulting stack may be
// exhausted), not where it was raised - so even an exception raised as not
// continuable can go on there.
EXCEPTION_DISPOSITION TakeException(GuardFrame* frame, EXCEPTION_RECORD* record, CONTEXT* context) {
  frame->code = record->ExceptionCode;
  record->ExceptionFlags &= ~static_cast<DWORD>(EXCEPTION_NONCONTINUABLE);
  uintptr_t top = reinterpret_cast<uintptr_t>(frame->reserve + sizeof frame->reserve) &
                  ~static_cast<uintptr_t>(15);
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
  return ExceptionContinueExecution;
}

bool IsUnwinding(const EXCEPTION_RECORD* record) {
  return (record->ExceptionFlags & EXCEPTION_UNWIND) != 0;
}

int RunWork(GuardFrame* frame) { return RunCatchingCxx(frame->fn, frame->context); }

// The head of the thread's handler chain (the first word of its TIB).
void* ChainHead() {
  void* head;
#ifdef _WIN64
  asm volatile("movq %%gs:0, %0" : "=r"(head));
#else
  asm volatile("movl %%fs:0, %0" : "=r"(head));
#endif
  return head;
}

void SetChainHead(void* head) {
#ifdef _WIN64
  asm volatile("movq %0, %%gs:0" : : "r"(head) : "memory");
#else
  asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
#endif
}

#ifdef _WIN64

// CallWithHandler (frame): RunWork (frame) from a frame whose unwind entry
// names GuardHandler, with the GuardFrame kept at 32 above the frame's stack
// pointer - the establisher frame the system hands the handler.
extern "C" int QuorbelGuardCall(GuardFrame* frame);
extern "C" EXCEPTION_DISPOSITION QuorbelGuardHandler(EXCEPTION_RECORD* record, void* establisher,
                                                     CONTEXT* context, void* dispatcher);
extern "C" int QuorbelGuardRunWork(GuardFrame* frame) { return RunWork(frame); }

asm(R"(
	.text
	.p2align 4
	.def	QuorbelGuardCall; .scl 2; .type 32; .endef
	.seh_proc	QuorbelGuardCall
QuorbelGuardCall:
	subq	$40, %rsp
	.seh_stackalloc	40
	.seh_endprologue
	movq	%rcx, 32(%rsp)
	call	QuorbelGuardRunWork
	nop
	addq	$40, %rsp
	ret
	.seh_handler	QuorbelGuardHandler, @except
	.seh_endproc
)");

extern "C" EXCEPTION_DISPOSITION QuorbelGuardHandler(EXCEPTION_RECORD* record, void* establisher,
                                                     CONTEXT* context, void* /*dispatcher*/) {
  if (IsUnwinding(record)) return ExceptionContinueSearch;
  GuardFrame* frame = *reinterpret_cast<GuardFrame**>(static_cast<char*>(establisher) + 32);
  return TakeException(frame, record, context);
}

int CallWithHandler(GuardFrame* frame) { return QuorbelGuardCall(frame); }

#else

// A record of the thread's handler chain (fs:0), with the guard behind it.
struct Registration {
  Registration* next;
  PEXCEPTION_ROUTINE handler;
  GuardFrame* frame;
};

EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, void* establisher,
                                         CONTEXT* context, void* /*dispatcher*/) {
  if (IsUnwinding(record)) return ExceptionContinueSearch;
  return TakeException(static_cast<Registration*>(establisher)->frame, record, context);
}

__attribute__((noinline)) int CallWithHandler(GuardFrame* frame) {
  Registration registration;
  registration.next = static_cast<Registration*>(ChainHead());
  registration.handler = GuardHandler;
  registration.frame = frame;
  SetChainHead(&registration);
  int result = RunWork(frame);
  SetChainHead(registration.next);
  return result;
}

#endif

}  // namespace

int VcdRunGuarded(VcdGuardedFn fn, void* context, uint32_t* exceptionCode) {
  uint32_t* volatile codeOut = exceptionCode;
  if (codeOut != nullptr) *codeOut = 0;
  GuardFrame frame;
  frame.fn = fn;
  frame.context = context;
  frame.code = 0;
  // Code inside that registers handlers in the thread's chain (x86, and
  // Wine's own functions on x86-64 too) leaves them behind when the work is
  // abandoned: the chain is put back as it was.
  void* volatile chain = ChainHead();
  volatile int result = kVcdResultException;
  if (__builtin_setjmp(frame.jump) == 0) result = CallWithHandler(&frame);
  SetChainHead(chain);
  if (frame.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();  // re-arm the guard page
  if (codeOut != nullptr) *codeOut = frame.code;
  return result;
}

#endif
