// zrdiscbuild: builds a VCD or SVCD image from a VideoCD XML project on the
// command line, through the same front end the disc programs use.
#include <cstdio>
#include <string>

#include "discimage/cli/build_options.h"
#include "discimage/vcd_frontend.h"
#include "discimage/vcd_guard.h"

namespace {

int RunFrontEnd(void* context) { return static_cast<CVcdFrontEnd*>(context)->Run(); }

}  // namespace

int main(int argc, char** argv) {
  VcdBuildParams params;
  std::string error;
  if (ParseBuildOptions(argc, argv, &params, &error) != 0) {
    fprintf(stderr, "zrdiscbuild: %s\nzrdiscbuild: '-?' lists the options.\n", error.c_str());
    return 2;
  }
  CVcdFrontEnd frontEnd(&params);
  return VcdRunGuarded(RunFrontEnd, &frontEnd);
}
