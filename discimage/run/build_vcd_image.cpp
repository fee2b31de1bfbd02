#include "discimage/run/build_vcd_image.h"

#include "discimage/run/vcd_runner.h"

namespace {

// The message layer's window delivery.
intptr_t SendToWindow(void* window, unsigned int message, uintptr_t wParam, intptr_t lParam) {
  return static_cast<intptr_t>(SendMessageA(static_cast<HWND>(window), message,
                                            static_cast<WPARAM>(wParam),
                                            static_cast<LPARAM>(lParam)));
}

}  // namespace

extern "C" int BuildVcdImage(HWND owner, const char* messageName, const VcdBuildParams* params,
                             const volatile int* cancelFlag) {
  if (owner == NULL) owner = GetActiveWindow();
  if (owner == NULL) return kVcdResultBadParameters;
  if (messageName == NULL || messageName[0] == '\0' || params == NULL)
    return kVcdResultBadParameters;
  UINT message = RegisterWindowMessageA(messageName);
  if (message == 0) return kVcdResultBadParameters;
  return VcdRunBuild(owner, message, SendToWindow, params, cancelFlag);
}
