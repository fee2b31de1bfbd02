#include "discimage/cli/build_options.h"

#include <cstring>
#include <strings.h>

namespace {

enum OptionId {
  kOptXml,
  kOptImageType,
  kOptCueFile,
  kOptBinFile,
  kOptSector2336,
  kOptProgress,
  kOptVerbose,
  kOptGui,
  kOptVersion,
  kOptHelp,
  kOptUsage,
};

enum ValueKind { kNoValue, kValue, kOptionalValue };

struct OptionDef {
  char shortName;        // matched exactly ('V' is not 'v')
  const char* longName;  // matched without regard to case; NULL for none
  ValueKind value;
  OptionId id;
};

const OptionDef kOptions[] = {
    {'x', "XML", kValue, kOptXml},
    {'i', "image-type", kValue, kOptImageType},
    {'c', "cue-file", kValue, kOptCueFile},
    {'b', "bin-file", kValue, kOptBinFile},
    {'s', "sector-2336", kNoValue, kOptSector2336},
    {'p', "progress", kNoValue, kOptProgress},
    {'v', "verbose", kOptionalValue, kOptVerbose},
    {'g', "gui", kNoValue, kOptGui},
    {'V', "version", kNoValue, kOptVersion},
    {'?', NULL, kNoValue, kOptHelp},
    {'h', "help", kNoValue, kOptHelp},
    {'u', "usage", kNoValue, kOptUsage},
};

bool IsOption(const char* arg) { return arg[0] == '-' || arg[0] == '/'; }

const OptionDef* FindOption(const char* name) {
  for (const OptionDef& def : kOptions) {
    if (name[0] == def.shortName && name[1] == '\0') return &def;
    if (def.longName != NULL && strcasecmp(name, def.longName) == 0) return &def;
  }
  return NULL;
}

bool CopyPath(char* field, const char* value, const char* option, std::string* error) {
  size_t length = strlen(value);
  if (length >= kVcdPathSize) {
    *error = std::string("path of option '") + option + "' is longer than " +
             std::to_string(kVcdPathSize - 1) + " characters";
    return false;
  }
  memcpy(field, value, length + 1);
  return true;
}

bool ParseImageType(const char* value, int32_t* type) {
  if (strcasecmp(value, "cuebin") == 0 || strcasecmp(value, "bincue") == 0)
    *type = kVcdImageCueBin;
  else if (strcasecmp(value, "tocimg") == 0 || strcasecmp(value, "imgtoc") == 0)
    *type = kVcdImageTocImg;
  else if (strcasecmp(value, "nrg") == 0)
    *type = kVcdImageNrg;
  else
    return false;
  return true;
}

// The help text's levels: 1 normal, 2 debug, 3 silent.
bool ParseLevel(const char* value, int32_t* verbosity) {
  if (strcmp(value, "1") == 0)
    *verbosity = kVcdVerbosityNormal;
  else if (strcmp(value, "2") == 0)
    *verbosity = kVcdVerbosityDebug;
  else if (strcmp(value, "3") == 0)
    *verbosity = kVcdVerbosityQuiet;
  else
    return false;
  return true;
}

}  // namespace

int ParseBuildOptions(int argc, const char* const* argv, VcdBuildParams* params,
                      std::string* error) {
  memset(params, 0, sizeof *params);
  error->clear();
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!IsOption(arg) || arg[1] == '\0') {
      *error = std::string("unexpected argument '") + arg + "'";
      return -1;
    }
    const OptionDef* def = FindOption(arg + 1);
    if (def == NULL) {
      *error = std::string("unknown option '") + arg + "'";
      return -1;
    }
    const char* value = NULL;
    if (def->value == kValue) {
      if (i + 1 >= argc) {
        *error = std::string("option '") + arg + "' needs a value";
        return -1;
      }
      value = argv[++i];
    } else if (def->value == kOptionalValue && i + 1 < argc && !IsOption(argv[i + 1])) {
      value = argv[++i];
    }

    switch (def->id) {
      case kOptXml:
        if (!CopyPath(params->xmlPath, value, arg, error)) return -1;
        break;
      case kOptCueFile:
        if (!CopyPath(params->cuePath, value, arg, error)) return -1;
        break;
      case kOptBinFile:
        if (!CopyPath(params->binPath, value, arg, error)) return -1;
        break;
      case kOptImageType:
        if (!ParseImageType(value, &params->imageType)) {
          *error = std::string("bad image type '") + value +
                   "' (use cuebin, bincue, tocimg, imgtoc or nrg)";
          return -1;
        }
        break;
      case kOptVerbose:
        params->verbosity = kVcdVerbosityNormal;
        if (value != NULL && !ParseLevel(value, &params->verbosity)) {
          *error = std::string("bad verbosity level '") + value + "' (use 1, 2 or 3)";
          return -1;
        }
        break;
      case kOptSector2336: params->sector2336 = 1; break;
      case kOptProgress: params->progress = 1; break;
      case kOptGui: params->xmlProgress = 1; break;
      case kOptVersion: params->versionMode = 1; break;
      case kOptHelp: params->helpMode = 1; break;
      case kOptUsage: params->usageMode = 1; break;
    }
  }
  return 0;
}
