// The runner: the front end as BuildVcdImage drives it, with the caller's
// cancel flag and a window to report to. Platform-neutral; the Windows entry
// point only finds the window, registers the message and supplies the
// SendMessageA delivery.
#pragma once

#include "discimage/run/vcd_build_params.h"
#include "discimage/run/vcd_frontend.h"

class CVcdRunner : public CVcdFrontEnd {
public:
  // Level normal, progress on, program name "UNSET" until the run begins.
  CVcdRunner(void* window, unsigned int message, VcdWindowSendFn send,
             const VcdBuildParams* params, const volatile int* cancelFlag);

  // Always the progress records (or texts without a window), never the XML
  // lines, whatever the block's XML progress field says.
  int ReportScanProgress(const VcdScanState* state) override;
  int ReportWriteProgress(const VcdWriteState* state) override;
};

// One build as BuildVcdImage makes it once its parameters are checked:
// creates the runner (kVcdResultNoRunner when that fails), runs it inside
// the exception guard (kVcdResultException when the run faults or throws),
// destroys it and returns the result.
int VcdRunBuild(void* window, unsigned int message, VcdWindowSendFn send,
                const VcdBuildParams* params, const volatile int* cancelFlag);
