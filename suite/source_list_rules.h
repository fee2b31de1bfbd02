// The source-file list window's rules that need no window: the texts of
// its rows and statics, the duration read back from a row, the capacity
// scale of each disc type and the warning for a total that may not fit.
// Platform-neutral, so they are tested natively too.
#pragma once

#include <string>

// Columns of the source list (list control 1007). The job dialog reads the
// path and the duration of every row from it.
enum SourceListColumn {
  kSourceColumnPath = 0,      // "   Source Video Files": the full path
  kSourceColumnDuration = 1,  // " Duration": "%02d:%02d:%02d.%01d"
  kSourceColumnSize = 2,      // "Size(MB)": "%.2f"
};

// The seconds of a duration cell: hours from characters 0-1, minutes 3-4,
// seconds 6-7, tenths character 9. Missing or non-digit characters count
// as 0, so a damaged cell never reads past its end.
double DurationCellSeconds(const char* text);

// The size cell of a file of that many bytes: megabytes as "%.2f".
std::string SizeCellText(long long bytes);

// " Disc Type: %s", " Added %d file(s)", " Total Duration: %s".
std::string DiscTypeName(int discType);  // "VCD", "SVCD" or "DVD" (DVD for others)
std::string DiscTypeStaticText(int discType);
std::string FileCountText(int count);
std::string TotalDurationText(double seconds);
// The list window's title: "Zephon %s Creator".
std::string MainWindowTitle(int discType);
// The program title set once the disc type is chosen.
std::string ProgramTitle(int discType);

// The capacity scale of a disc type, in minutes.
struct CapacityScale {
  int maximum;      // scale end
  int tickStep;     // short ticks
  int labelStep;    // labelled ticks
  int warning;      // marker and band from here: may not fit
  int limit;        // marker and band from here: does not fit
};
CapacityScale CapacityScaleFor(int discType);
// Colours (0x00BBGGRR) of the scale's bands: from 0, from the warning and
// from the limit.
enum : unsigned {
  kScaleBandColour = 0xD87E23,
  kScaleWarningColour = 0x0AC8F7,
  kScaleLimitColour = 0x0511DA,
};

// The scale's value for a total: whole minutes.
int ScaleMinutes(double totalSeconds);

// The question asked before the job when the total (whole minutes) is
// above what one disc of that type holds (DVD 120, SVCD 35, VCD 70), or
// "" when it fits.
std::string TooLongQuestion(int discType, int minutes);

// The selection after removing row `removed` from a list that now has
// `remaining` rows: one up, except that removing the first row keeps the
// selection on the new first row (or -1 when the list is empty).
int SelectionAfterRemove(int removed, int remaining);

// "Fail in initializing the file:\n" ... for a file the control refused.
std::string ProbeRefusedText(const std::string& path);
// "Scanning video files, please wait...\n\n%s".
std::string ScanningText(const std::string& path);

// The filter of the add-files dialog and its title.
extern const char kAddFilesFilter[];
extern const char kAddFilesTitle[];
// Characters of the add-files dialog's name buffer: the folder and every
// chosen name, room for a few hundred files at once.
const unsigned kAddFilesNameChars = 64 * 1024;

// Which items of the list's popup menu are enabled ("Add Files" always is)
// for a list of rowCount rows with row `selected` chosen (-1: none).
struct ListMenuState {
  bool remove;
  bool removeAll;
  bool play;
  bool moveUp;
  bool moveDown;
};
ListMenuState ListMenuFor(int rowCount, int selected);
