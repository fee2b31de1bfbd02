// Fuzz target: the command-line parser and the string routines that take
// text from outside (arguments, paths, identifiers). Input: NUL-separated
// arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "discimage/cli/build_options.h"
#include "discimage/base/vcd_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  args.push_back("zrdiscbuild");
  size_t start = 0;
  for (size_t i = 0; i <= input.size(); ++i) {
    if (i == input.size() || input[i] == '\0') {
      args.push_back(input.substr(start, i - start));
      start = i + 1;
    }
  }
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  VcdBuildParams params;
  std::string error;
  if (ParseBuildOptions(static_cast<int>(argv.size()), argv.data(), &params, &error) == 0) {
    if (params.xmlPath[sizeof params.xmlPath - 1] != '\0') abort();
  } else if (error.empty()) {
    abort();  // a refusal always says why
  }

  const char* text = args.back().c_str();
  char** parts = SplitString(text, '/');
  char* joined = JoinStrings(parts, StringArrayCount(parts), "/");
  free(joined);
  FreeStringArray(parts);
  char identifier[32];
  CopyIdentifier(NULL, identifier, text, static_cast<int>(sizeof identifier), kVcdCheckDChars);
  char* upper = UpperCaseCopy(text);
  free(upper);
  return 0;
}
