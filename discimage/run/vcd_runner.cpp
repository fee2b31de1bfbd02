#include "discimage/run/vcd_runner.h"

#include <new>

#include "discimage/run/vcd_guard.h"
#include "discimage/base/vcd_version.h"

CVcdRunner::CVcdRunner(void* window, unsigned int message, VcdWindowSendFn send,
                       const VcdBuildParams* params, const volatile int* cancelFlag)
    : CVcdFrontEnd(params) {
  SetWindowTarget(window, message, send);
  SetCancelFlag(cancelFlag);
  SetLevel(kVcdLevelNormal);
  SetProgress(1);
  SetProgramName(VCD_UNSET_PROGRAM_NAME);
}

int CVcdRunner::ReportScanProgress(const VcdScanState* state) {
  return CVcdMessageSink::ReportScanProgress(state);
}

int CVcdRunner::ReportWriteProgress(const VcdWriteState* state) {
  return CVcdMessageSink::ReportWriteProgress(state);
}

namespace {

int RunRunner(void* context) { return static_cast<CVcdRunner*>(context)->Run(); }

int DestroyRunner(void* context) {
  delete static_cast<CVcdRunner*>(context);
  return 0;
}

}  // namespace

int VcdRunBuild(void* window, unsigned int message, VcdWindowSendFn send,
                const VcdBuildParams* params, const volatile int* cancelFlag) {
  CVcdRunner* runner = NULL;
  try {
    runner = new CVcdRunner(window, message, send, params, cancelFlag);
  } catch (const std::bad_alloc&) {
    return kVcdResultNoRunner;
  }
  int result = VcdRunGuarded(RunRunner, runner);
  // After a fault the runner's state may be broken: its teardown is guarded too.
  if (VcdRunGuarded(DestroyRunner, runner) != 0) result = kVcdResultException;
  return result;
}
