#include "converter/convert_rules.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "suite/app_text_utils.h"

namespace {

// The fixed text buffer the texts are bounded by.
const size_t kTextBuffer = 512;

// Bounds the name searches: a folder full of taken names must not hang the
// dialog.
const int kMaxNameTries = 100000;

}  // namespace

std::string ConverterTitle(int discType) { return "Zephon Video to " + DiscTypeName(discType) + " Converter "; }
std::string ConverterWindowTitle(int discType) { return "Zephon Video to " + DiscTypeName(discType) + " Converter"; }

std::vector<std::string> SplitLengthChoices(int discType) {
  switch (discType) {
    case 0: return {"80 minutes", "70 minutes", "65 minutes"};
    case 1: return {"40 minutes", "35 minutes", "32 minutes"};
    default: return {"45 minutes", "30 minutes", "15 minutes"};
  }
}

int ClipLengthSeconds(const char* choice) {
  if (choice == nullptr) return 0;
  int minutes = 0;
  for (int i = 0; i < 2 && choice[i] >= '0' && choice[i] <= '9'; ++i) minutes = minutes * 10 + (choice[i] - '0');
  return minutes * 60;
}

SplitClip SplitClipFor(double seconds, int clipLength, int index) {
  if (!(seconds > 0)) seconds = 0;
  SplitClip r = {1, 0, seconds};
  if (clipLength <= 0) return r;
  r.count = static_cast<int>(seconds / clipLength + 1);
  // An exact multiple would leave a last clip from the end to the end.
  if (r.count > 1 && static_cast<double>(clipLength) * (r.count - 1) >= seconds) --r.count;
  if (index < 0) index = 0;
  r.start = static_cast<double>(clipLength) * index;
  r.stop = index < r.count - 1 ? static_cast<double>(clipLength) * (index + 1) : seconds;
  return r;
}

ClipName ClipNameFor(const std::string& folder, const std::string& sourcePath, int discType, int clipCount,
                     int clipIndex) {
  ClipName n;
  n.folder = folder;
  size_t slash = sourcePath.rfind('\\');
  n.base = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
  size_t dot = n.base.rfind('.');
  if (dot != std::string::npos) n.base.erase(dot);
  n.kind = discType == 0 ? "_ToVcd" : discType == 1 ? "_ToSvcd" : "_ToDvd";
  if (clipCount > 1) n.clip = FormatText(kTextBuffer, "_clp%d", clipIndex);
  return n;
}

std::string ConvertedName(const ClipName& name, int k) {
  std::string counter = k > 0 ? FormatText(kTextBuffer, "_%d", k) : std::string();
  return name.folder + name.base + name.kind + counter + name.clip + "_con.mpg";
}

std::string FreshConvertedName(const ClipName& name, const std::function<bool(const std::string&)>& exists, int* k) {
  int tries = 0;
  *k = 0;
  std::string candidate = ConvertedName(name, 0);
  while (exists(candidate) && ++tries < kMaxNameTries) candidate = ConvertedName(name, ++*k);
  return candidate;
}

static std::string StreamName(const std::string& output, const char* suffix) {
  return (output.size() >= 4 ? output.substr(0, output.size() - 4) : output) + suffix;
}
std::string VideoStreamName(const std::string& output) { return StreamName(output, "_vid.mpg"); }
std::string AudioStreamName(const std::string& output) { return StreamName(output, "_aud.mpg"); }

std::string FinalName(const std::string& converted, int discType,
                      const std::function<bool(const std::string&)>& exists) {
  const size_t kConSuffix = 8;  // "_con.mpg"
  std::string stem = converted.size() >= kConSuffix ? converted.substr(0, converted.size() - kConSuffix) : converted;
  const char* ext = discType == 2 ? ".VOB" : ".mpg";
  std::string candidate = stem + ext;
  for (int n = 1; exists(candidate) && n < kMaxNameTries; ++n)
    candidate = stem + FormatText(kTextBuffer, "_%d", n) + ext;
  return candidate;
}

ConvertJobOutcome JobOutcomeFor(int fileCount, int failedCount) {
  if (failedCount <= 0) return kAllFilesConverted;
  return failedCount < fileCount ? kSomeFilesConverted : kNoFileConverted;
}

std::vector<std::string> JobEndLogLines(int fileCount, const std::vector<std::string>& failedFiles) {
  int failed = static_cast<int>(failedFiles.size());
  ConvertJobOutcome outcome = JobOutcomeFor(fileCount, failed);
  if (outcome == kAllFilesConverted) return {"Done"};
  int converted = fileCount > failed ? fileCount - failed : 0;
  std::vector<std::string> lines = {FormatText(kTextBuffer, "Converted %d of %d files.", converted, fileCount)};
  for (const std::string& file : failedFiles) lines.push_back("Not converted: " + file);
  if (outcome == kNoFileConverted) lines.push_back("Failed.");
  return lines;
}
