#include "converter/convert_rules.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "creator/app_text_utils.h"

namespace {

// A two-digit field of a duration cell; non-digits count as 0.
int CellDigits(const char* text, size_t length, size_t at, size_t count) {
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    char c = i < length ? text[i] : '0';
    value = value * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
  }
  return value;
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// Bounds the name searches: a folder full of taken names must not hang the
// dialog.
const int kMaxNameTries = 100000;

}  // namespace

double DurationCellSeconds(const char* text) {
  if (text == nullptr) return 0;
  size_t length = strlen(text);
  return CellDigits(text, length, 0, 2) * 3600.0 + CellDigits(text, length, 3, 2) * 60.0 +
         CellDigits(text, length, 6, 2) + CellDigits(text, length, 9, 1) * 0.1;
}

std::string SizeCellText(long long bytes) {
  return Printf("%.2f", static_cast<double>(bytes) / (1024.0 * 1024.0));
}

int SelectionAfterRemove(int removed, int remaining) {
  if (remaining <= 0) return -1;
  if (removed <= 0) return 0;
  return removed - 1 < remaining ? removed - 1 : remaining - 1;
}

ContextMenuGreying GreyingFor(int rowCount, int selected) {
  ContextMenuGreying g = {};
  bool none = selected < 0 || selected >= rowCount;
  g.remove = none;
  g.play = none || rowCount == 0;
  g.moveUp = none || selected == 0;
  g.moveDown = none || selected == rowCount - 1;
  g.removeAll = rowCount == 0;
  return g;
}

std::string DiscTypeWord(int discType) {
  switch (discType) {
    case 0: return "VCD";
    case 1: return "SVCD";
    default: return "DVD";
  }
}

std::string ApplicationTitle(int discType) { return "Zephon Video to " + DiscTypeWord(discType) + " Converter "; }
std::string MainWindowTitle(int discType) { return "Zephon Video to " + DiscTypeWord(discType) + " Converter"; }
std::string DiscTypeStaticText(int discType) { return " Disc Type: " + DiscTypeWord(discType); }
std::string FileCountText(int count) { return Printf(" Added %d file(s)", count); }
std::string TotalDurationText(double seconds) {
  return std::string(" Total Duration: ") + static_cast<const char*>(FormatDuration(seconds));
}

std::string ProbeRefusedText(const std::string& path) {
  return "Fail in initializing the file:\n" + path +
         "\n\nThere is no CODEC for this file or can't support it.\nPlease read FAQ in HELP or contact us";
}

std::string ElapsedTimeText(unsigned long ms) {
  unsigned long s = ms / 1000;
  return Printf("Elapsed Time : %02lu:%02lu:%02lu ", ms / 3600000, s % 3600 / 60, s % 60);
}

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

ClipRange ClipRangeFor(double seconds, int clipLength, int index) {
  if (!(seconds > 0)) seconds = 0;
  ClipRange r = {1, 0, seconds};
  if (clipLength <= 0) return r;
  r.count = static_cast<int>(seconds / clipLength + 1);
  // An exact multiple would leave a last clip from the end to the end.
  if (r.count > 1 && static_cast<double>(clipLength) * (r.count - 1) >= seconds) --r.count;
  if (index < 0) index = 0;
  r.start = static_cast<double>(clipLength) * index;
  r.stop = index < r.count - 1 ? static_cast<double>(clipLength) * (index + 1) : seconds;
  return r;
}

long ConversionProfile(int discType, int tvType) {
  bool pal = tvType == 1;
  switch (discType) {
    case 1: return pal ? 5 : 4;
    case 2: return pal ? 7 : 6;
    default: return pal ? 2 : 1;
  }
}

bool IsDvdProfile(long profile) { return profile == 6 || profile == 7; }

ClipName ClipNameFor(const std::string& folder, const std::string& sourcePath, int discType, int clipCount,
                     int clipIndex) {
  ClipName n;
  n.folder = folder;
  size_t slash = sourcePath.rfind('\\');
  n.base = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
  size_t dot = n.base.rfind('.');
  if (dot != std::string::npos) n.base.erase(dot);
  n.kind = discType == 0 ? "_ToVcd" : discType == 1 ? "_ToSvcd" : "_ToDvd";
  if (clipCount > 1) n.clip = Printf("_clp%d", clipIndex);
  return n;
}

std::string ConvertedName(const ClipName& name, int k) {
  std::string counter = k > 0 ? Printf("_%d", k) : std::string();
  return name.folder + name.base + name.kind + counter + name.clip + "_con.mpg";
}

std::string FreshConvertedName(const ClipName& name, const std::function<bool(const std::string&)>& exists,
                               int* k) {
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
  for (int n = 1; exists(candidate) && n < kMaxNameTries; ++n) candidate = stem + Printf("_%d", n) + ext;
  return candidate;
}

ConversionProgress ConversionProgressOf(double position, double total) {
  ConversionProgress p = {0, 0};
  if (!(total > 0) || !std::isfinite(position)) return p;
  p.percent = position / total * 100;
  p.bar = static_cast<int>(static_cast<int>(position * 100) / total);
  if (p.bar < 0) p.bar = 0;
  if (p.bar > 100) p.bar = 100;
  return p;
}

double MultiplexRatio(unsigned long long outputBytes, unsigned long long inputBytes) {
  if (inputBytes == 0) return outputBytes > 0 ? 1.0 : 0.0;
  double ratio = static_cast<double>(outputBytes) / static_cast<double>(inputBytes);
  return ratio > 1.0 ? 1.0 : ratio;
}
