// zrdiscbuild: builds a VCD or SVCD image from a VideoCD XML project on the
// command line, through the same front end the disc programs use.
#include <csignal>
#include <cstdio>
#include <string>
#include <type_traits>

#include "discimage/cli/build_options.h"
#include "discimage/run/vcd_frontend.h"
#include "discimage/run/vcd_guard.h"

namespace {

int RunFrontEnd(void* context) { return static_cast<CVcdFrontEnd*>(context)->Run(); }

// Ctrl+C asks the build to stop as the disc programs' Cancel button does:
// the run ends at the next packet or sector with the cancel text and 1.
static_assert(std::is_same<std::sig_atomic_t, int>::value, "the cancel flag is an int");
volatile std::sig_atomic_t g_cancel = 0;

extern "C" void OnInterrupt(int) { g_cancel = 1; }

}  // namespace

int main(int argc, char** argv) {
  VcdBuildParams params;
  std::string error;
  if (ParseBuildOptions(argc, argv, &params, &error) != 0) {
    fprintf(stderr, "zrdiscbuild: %s\nzrdiscbuild: '-?' lists the options.\n", error.c_str());
    return 2;
  }
  CVcdFrontEnd frontEnd(&params);
  frontEnd.SetCancelFlag(&g_cancel);
  signal(SIGINT, OnInterrupt);
  return VcdRunGuarded(RunFrontEnd, &frontEnd);
}
