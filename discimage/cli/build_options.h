// The command line of zrdiscbuild: the options of the builder's help text,
// each beginning with '-' or '/', turned into a parameter block.
#pragma once

#include <string>

#include "discimage/run/vcd_build_params.h"

// Fills params (zeroed first) from argv[1..argc-1]. Returns 0, or -1 with a
// one-line reason in *error for an unknown option, a missing or bad value, a
// path that does not fit, or a stray argument.
int ParseBuildOptions(int argc, const char* const* argv, VcdBuildParams* params,
                      std::string* error);
