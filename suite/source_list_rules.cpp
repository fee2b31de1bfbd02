#include "suite/source_list_rules.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "suite/app_text_utils.h"
#include "suite/settings_values.h"

namespace {

// Two digits at text[at], at[at + 1]; anything else counts as 0.
int TwoDigits(const char* text, size_t length, size_t at) {
  int value = 0;
  for (size_t i = at; i < at + 2; ++i) {
    char c = i < length ? text[i] : '0';
    value = value * 10 + ((c >= '0' && c <= '9') ? c - '0' : 0);
  }
  return value;
}

std::string Format(const char* format, const char* text) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, format, text);
  return buffer;
}

}  // namespace

double DurationCellSeconds(const char* text) {
  if (text == nullptr) return 0;
  size_t length = strlen(text);
  int hours = TwoDigits(text, length, 0);
  int minutes = TwoDigits(text, length, 3);
  int seconds = TwoDigits(text, length, 6);
  int tenths = length > 9 && text[9] >= '0' && text[9] <= '9' ? text[9] - '0' : 0;
  return hours * 3600.0 + minutes * 60.0 + seconds + tenths / 10.0;
}

std::string SizeCellText(long long bytes) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(bytes) / 1048576.0);
  return buffer;
}

std::string DiscTypeName(int discType) {
  switch (discType) {
    case kDiscTypeVcd: return "VCD";
    case kDiscTypeSvcd: return "SVCD";
    default: return "DVD";
  }
}

std::string DiscTypeStaticText(int discType) { return Format(" Disc Type: %s", DiscTypeName(discType).c_str()); }

std::string FileCountText(int count) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, " Added %d file(s)", count);
  return buffer;
}

std::string TotalDurationText(double seconds) {
  return Format(" Total Duration: %s", static_cast<const char*>(FormatDuration(seconds)));
}

std::string MainWindowTitle(int discType) { return Format("Zephon %s Creator", DiscTypeName(discType).c_str()); }

std::string ProgramTitle(int discType) {
  switch (discType) {
    case kDiscTypeVcd: return "Zephon VCD Creator ";
    case kDiscTypeSvcd: return "Zephon SVCD Creator ";
    default: return "Quorbel ";
  }
}

CapacityScale CapacityScaleFor(int discType) {
  switch (discType) {
    case kDiscTypeVcd: return {90, 1, 10, 65, 70};
    case kDiscTypeSvcd: return {40, 1, 5, 32, 35};
    default: return {150, 5, 15, 110, 120};
  }
}

int ScaleMinutes(double totalSeconds) {
  if (!(totalSeconds > 0)) return 0;  // also NaN
  double minutes = std::floor(totalSeconds / 60.0);
  return minutes > 2147483647.0 ? 2147483647 : static_cast<int>(minutes);
}

std::string TooLongQuestion(int discType, int minutes) {
  int limit = CapacityScaleFor(discType).limit;
  if (minutes <= limit) return "";
  char buffer[256];
  snprintf(buffer, sizeof buffer,
           "The total duration is larger than %d minutes.\nIt is possible the target file size is too large to "
           "fit on one %s disc.\n\nDo you want to continue?",
           limit, discType == kDiscTypeVcd || discType == kDiscTypeSvcd ? "CD" : "DVD");
  return buffer;
}

int SelectionAfterRemove(int removed, int remaining) {
  if (removed == 0 && remaining > 0) return 0;
  return removed - 1;
}

std::string ProbeRefusedText(const std::string& path) {
  return "Fail in initializing the file:\n" + path +
         "\n\nThere is no CODEC for this file or can't support it.\nPlease read FAQ in HELP or contact us";
}

std::string ScanningText(const std::string& path) { return "Scanning video files, please wait...\n\n" + path; }

// Each entry's patterns follow its text; "Xvid Video" lists .xvid files and
// "ALL files" every file (an entry without patterns would end the list).
const char kAddFilesFilter[] =
    "All Video Files|*.avi;*.mpg;*.divx;*.xvid;*.mpeg;*.wmv;*.asf;*.asx;*.mpe;*.dat;*.mp4;*.mov;*.qt;|"
    "AVI files(*.avi)|*.avi;|"
    "MPEG files(*.mpeg,*.mpg,*.mpe,*.mp4)|*.mpeg;*.mpg;*.mpe;*.mp4;|"
    "Windows Video files(*.wmv,*.asf,*.asx)|*.wmv;*.asf;*.asx;|"
    "QuickTime file(*.mov,*.qt)|*.mov;*.qt;|"
    "DivX Video(*.divx)|*.divx;|"
    "Xvid Video(*.xvid)|*.xvid;|"
    "VCD DAT files(*.dat)|*.dat;|"
    "ALL files(*.*)|*.*||";
const char kAddFilesTitle[] = "Add video files";

ListMenuState ListMenuFor(int rowCount, int selected) {
  bool chosen = selected >= 0 && selected < rowCount;
  ListMenuState state;
  state.remove = chosen;
  state.removeAll = rowCount > 0;
  state.play = chosen;
  state.moveUp = chosen && selected > 0;
  state.moveDown = chosen && selected < rowCount - 1;
  return state;
}
