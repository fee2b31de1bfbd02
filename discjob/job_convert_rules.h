// The disc job's rules that need no window: the conversion profile of a
// disc, how a source is cut into clips, how much room a job needs and what
// the dialog says when it lacks it, and the texts of the log, the clock,
// the hint line and the temporary drive list. DiscJobDialog applies them.
#pragma once

#include <string>
#include <vector>

// DVD sources are converted in clips of this many seconds, each with its
// own output number.
enum { kJobClipSeconds = 900 };

// Conversion profiles of the conversion control.
enum {
  kProfileVcdNtsc = 1,
  kProfileVcdPal = 2,
  kProfileSvcdNtsc = 4,
  kProfileSvcdPal = 5,
  kProfileDvdNtsc = 6,
  kProfileDvdPal = 7,
};

// The profile for a disc and TV type; any other disc type converts for an
// NTSC VCD.
int ConversionProfile(int discType, int tvType);
bool IsDvdProfile(int profile);

// One conversion of a source: how many clips the source gives and the
// range of the source (seconds) that clip clipIndex covers.
struct ClipRange {
  int clipCount;
  double start;
  double end;
};
// DVD profiles cut into kJobClipSeconds clips, the last one ending at the
// total. A total that is an exact multiple of the clip length ends with a
// full clip: no empty clip starting at the total follows (the conversion
// control finds nothing to convert in it and the job would fail). Other
// profiles give one clip of the whole source.
ClipRange ClipRangeFor(double totalSeconds, int clipIndex, bool dvdProfile);

// Megabytes a job needs on each drive: whole duration in minutes times 10
// (VCD), 21 (SVCD) or 39 (DVD).
double RequiredSpaceMB(double totalSeconds, int discType);

// The output folder's drive letter: its first character, 'C' for a folder
// that begins with a backslash (or is empty).
char OutputDriveOf(const char* outputFolder);

// The outcome of the free-space check: ok, or the box's text.
struct SpaceCheck {
  bool ok;
  std::string message;
};
// The drives and their free megabytes (-1: unreadable, which is not enough);
// on one drive (letters compared without case) the need is doubled.
SpaceCheck CheckJobSpace(char outputDrive, int outputFreeMB, char tempDrive, int tempFreeMB,
                         double requiredMB);

// "Elapsed Time : %02d:%02d:%02d " of elapsed milliseconds.
std::string ElapsedTimeText(unsigned long elapsedMs);
// One log line: "hh:mm:ss  text\r\n".
std::string LogLine(int hour, int minute, int second, const char* text);

// The hint line when the clock stops; it names only buttons that work.
const char* JobHintText(bool imageReady, bool finished, bool startEnabled);

// The temp drive list's entry of a drive: "%s%s      Free Space %d MB" of
// the root "C:\", "tmpQuorbel\" and the free megabytes.
std::string TempDriveEntryText(char drive, int freeMB);
// The entry to select: the most free megabytes, the first of equals; the
// first entry when none has more. -1 for no entries.
int PickTempDrive(const std::vector<int>& freeMB);

// "Converting the file:%s", or "Converting the clip %d/%d of file:%s" when
// the source gives more than one clip.
std::string ConvertingLogText(int clipIndex, int clipCount, const char* source);
// "%s %.1f%%" of the control's status and its progress; the bar's integer
// percent (0 when the total is not above 0).
std::string ConversionStatusText(const char* prefix, double position, double total);
int ConversionPercent(double position, double total);
// The multiplexing ratio (output size / input size, at most 1; 0 without
// input) and "Multiplexing... %.1f%% " of it.
double MuxRatio(long long outputBytes, long long inputBytes);
std::string MuxStatusText(double ratio);
