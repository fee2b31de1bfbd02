#include "discjob/job_convert_rules.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "suite/settings_values.h"

int ConversionProfile(int discType, int tvType) {
  bool pal = tvType == kTvTypePal;
  switch (discType) {
    case kDiscTypeVcd: return pal ? kProfileVcdPal : kProfileVcdNtsc;
    case kDiscTypeSvcd: return pal ? kProfileSvcdPal : kProfileSvcdNtsc;
    case kDiscTypeDvd: return pal ? kProfileDvdPal : kProfileDvdNtsc;
    default: return kProfileVcdNtsc;
  }
}

bool IsDvdProfile(int profile) { return profile == kProfileDvdNtsc || profile == kProfileDvdPal; }

ClipRange ClipRangeFor(double totalSeconds, int clipIndex, bool dvdProfile) {
  ClipRange range = {1, 0, totalSeconds};
  if (!dvdProfile) return range;
  double whole = std::floor(totalSeconds / kJobClipSeconds);
  range.clipCount = static_cast<int>(whole) + 1;
  if (range.clipCount > 1 && whole * kJobClipSeconds >= totalSeconds) range.clipCount -= 1;
  if (clipIndex < 0) clipIndex = 0;
  range.start = static_cast<double>(clipIndex) * kJobClipSeconds;
  range.end = clipIndex < range.clipCount - 1 ? range.start + kJobClipSeconds : totalSeconds;
  return range;
}

double RequiredSpaceMB(double totalSeconds, int discType) {
  double minutes = totalSeconds / 60.0;
  switch (discType) {
    case kDiscTypeVcd: return minutes * 10;
    case kDiscTypeSvcd: return minutes * 21;
    default: return minutes * 39;
  }
}

char OutputDriveOf(const char* outputFolder) {
  if (outputFolder == NULL || outputFolder[0] == 0 || outputFolder[0] == '\\') return 'C';
  return outputFolder[0];
}

SpaceCheck CheckJobSpace(char outputDrive, int outputFreeMB, char tempDrive, int tempFreeMB,
                         double requiredMB) {
  SpaceCheck check = {true, std::string()};
  char text[512];
  if (toupper(static_cast<unsigned char>(outputDrive)) == toupper(static_cast<unsigned char>(tempDrive))) {
    double required = 2 * requiredMB;
    if (tempFreeMB < required) {
      snprintf(text, sizeof text,
               "There is not enough free space on driver %c:.\n\nRequired space on dirive %c: is %.1f MB.\n"
               "Free space on drive %c: is %d MB.\n\nPlease change Output Folder or Temp Folder.",
               tempDrive, tempDrive, required, tempDrive, tempFreeMB);
      check = {false, text};
    }
    return check;
  }
  if (tempFreeMB < requiredMB) {
    snprintf(text, sizeof text,
             "There is not enough free space for Temp Folder.\n\nRequired space on dirive %c: is %.1f MB.\n"
             "Free space on drive %c: is %d MB.\n\nPlease change Temp Folder.",
             tempDrive, requiredMB, tempDrive, tempFreeMB);
    check = {false, text};
  } else if (outputFreeMB < requiredMB) {
    snprintf(text, sizeof text,
             "There is not enough free space for Output Folder.\n\nRequired space on dirive %c: is %.1f MB.\n"
             "Free space on drive %c: is %d MB.\n\nPlease change Output Folder.",
             outputDrive, requiredMB, outputDrive, outputFreeMB);
    check = {false, text};
  }
  return check;
}

std::string ElapsedTimeText(unsigned long elapsedMs) {
  unsigned long seconds = elapsedMs / 1000;
  char text[64];
  snprintf(text, sizeof text, "Elapsed Time : %02lu:%02lu:%02lu ", elapsedMs / 3600000, (seconds % 3600) / 60,
           seconds % 60);
  return text;
}

std::string LogLine(int hour, int minute, int second, const char* text) {
  char stamp[16];
  snprintf(stamp, sizeof stamp, "%02d:%02d:%02d", hour, minute, second);
  return std::string(stamp) + "  " + (text != NULL ? text : "") + "\r\n";
}

const char* JobHintText(bool imageReady, bool finished, bool startEnabled) {
  if (!startEnabled) return finished ? "Click \"Finish\" to close the program." : "Click \"Cancel\" to return.";
  if (imageReady && finished) return "Click \"Burn\" to burn another copy; Click \"Finish\" to close the program.";
  if (!imageReady && finished) return "Click \"Finish\" to close the program.";
  if (imageReady) return "Click \"Burn\" to burn a copy; Click \"Cancel\" to return.";
  return "Click \"Start\" to create a disc; Click \"Cancel\" to return.";
}

std::string TempDriveEntryText(char drive, int freeMB) {
  char text[96];
  snprintf(text, sizeof text, "%c:\\%s      Free Space %d MB", drive, "tmpQuorbel\\", freeMB);
  return text;
}

int PickTempDrive(const std::vector<int>& freeMB) {
  if (freeMB.empty()) return -1;
  int best = 0;
  for (size_t i = 1; i < freeMB.size(); ++i)
    if (freeMB[i] > freeMB[best]) best = static_cast<int>(i);
  return best;
}

std::string ConvertingLogText(int clipIndex, int clipCount, const char* source) {
  char text[1400];
  if (clipCount == 1)
    snprintf(text, sizeof text, "Converting the file:%s", source);
  else
    snprintf(text, sizeof text, "Converting the clip %d/%d of file:%s", clipIndex + 1, clipCount, source);
  return text;
}

std::string ConversionStatusText(const char* prefix, double position, double total) {
  double percent = total > 0 ? position / total * 100 : 0;
  char text[1200];
  snprintf(text, sizeof text, "%s %.1f%%", prefix != NULL ? prefix : "", percent);
  return text;
}

int ConversionPercent(double position, double total) {
  if (!(total > 0) || !(position > 0)) return 0;
  double percent = std::floor(std::floor(position * 100) / total);
  return percent > 100 ? 100 : static_cast<int>(percent);
}

double MuxRatio(long long outputBytes, long long inputBytes) {
  if (inputBytes <= 0 || outputBytes <= 0) return 0;
  double ratio = static_cast<double>(outputBytes) / static_cast<double>(inputBytes);
  return ratio > 1.0 ? 1.0 : ratio;
}

std::string MuxStatusText(double ratio) {
  char text[64];
  snprintf(text, sizeof text, "Multiplexing... %.1f%% ", ratio * 100);
  return text;
}
