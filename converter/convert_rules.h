// The converter's rules that need no window: split lengths and clip ranges,
// the conversion profile, the names a clip goes through (the control's
// output, its two streams, the final file), the texts of the main window and
// the conversion dialog, and which context-menu entries are greyed.
// Platform-neutral, so they are tested natively too.
#pragma once

#include <functional>
#include <string>
#include <vector>

// ---- List rows -----------------------------------------------------------------

// Columns of the source list (list view 1003); the conversion dialog reads
// the path and the duration of every row back from it.
enum ConverterListColumn {
  kColumnPath = 0,      // "   Source Video Files"
  kColumnDuration = 1,  // " Duration": "%02d:%02d:%02d.%01d"
  kColumnSize = 2,      // "Size(MB)": "%.2f"
};

// The seconds of a duration cell: hours from characters 0-1, minutes 3-4,
// seconds 6-7, tenths 9. Missing or non-digit characters count as 0, so a
// damaged cell never reads past its end.
double DurationCellSeconds(const char* text);
// "%.2f" of bytes / 2^20.
std::string SizeCellText(long long bytes);

// The selection after row `removed` went, `remaining` rows left: one up;
// removing row 0 keeps row 0 while rows remain; -1 for an empty list.
int SelectionAfterRemove(int removed, int remaining);

// Which context-menu entries are greyed for a list of rowCount rows with
// row `selected` (-1: none) chosen.
struct ContextMenuGreying {
  bool remove, removeAll, play, moveUp, moveDown;
};
ContextMenuGreying GreyingFor(int rowCount, int selected);

// ---- Texts ----------------------------------------------------------------------------

std::string DiscTypeWord(int discType);        // "VCD", "SVCD", "DVD" (DVD for others)
std::string ApplicationTitle(int discType);    // "Zephon Video to %s Converter "
std::string MainWindowTitle(int discType);     // "Zephon Video to %s Converter"
std::string DiscTypeStaticText(int discType);  // " Disc Type: %s"
std::string FileCountText(int count);          // " Added %d file(s)"
std::string TotalDurationText(double seconds); // " Total Duration: %s"
// "Fail in initializing the file:\n" + path + the codec hint.
std::string ProbeRefusedText(const std::string& path);
// "Elapsed Time : %02d:%02d:%02d " of milliseconds.
std::string ElapsedTimeText(unsigned long ms);

// ---- Conversion -------------------------------------------------------------------------

// The split lengths offered for a disc type, in the combo box's order (the
// second is selected at first).
std::vector<std::string> SplitLengthChoices(int discType);
// The clip length in seconds of a split choice: its first two characters
// as a number, times 60; 0 (no split) for no choice or one without digits.
int ClipLengthSeconds(const char* choice);

// The clips of a source of `seconds` cut into clips of `clipLength`
// seconds (0: no split).
struct ClipRange {
  int count;     // clips of the source
  double start;  // of clip `index`, in seconds
  double stop;   // the full duration for the last clip
};
// A source that is an exact multiple of the clip length gets no empty last
// clip: the control finds nothing to convert in one.
ClipRange ClipRangeFor(double seconds, int clipLength, int index);

// The control's profile: VCD 1/2, SVCD 4/5, DVD 6/7 for NTSC/PAL; any
// other disc type converts for a VCD.
long ConversionProfile(int discType, int tvType);
bool IsDvdProfile(long profile);

// Names of one clip. folder ends with a backslash.
struct ClipName {
  std::string folder;  // output folder
  std::string base;    // source name without folder and extension
  std::string kind;    // "_ToVcd", "_ToSvcd", "_ToDvd"
  std::string clip;    // "" for a single clip, else "_clp%d"
};
ClipName ClipNameFor(const std::string& folder, const std::string& sourcePath, int discType,
                     int clipCount, int clipIndex);
// folder + base + kind [+ "_%d" of k when k > 0] + clip + "_con.mpg".
std::string ConvertedName(const ClipName& name, int k);
// The first ConvertedName with k = 0, 1, ... that does not exist; *k gets
// the k used. Gives up (returning the last name tried) after many tries.
std::string FreshConvertedName(const ClipName& name, const std::function<bool(const std::string&)>& exists,
                               int* k);
// The control's two streams of an output name X ".mpg": X "_vid.mpg", X "_aud.mpg".
std::string VideoStreamName(const std::string& output);
std::string AudioStreamName(const std::string& output);
// The final name of a "_con.mpg" file: without "_con.mpg", then ".VOB"
// (DVD) or ".mpg"; when taken, "_1", "_2", ... before the extension.
std::string FinalName(const std::string& converted, int discType,
                      const std::function<bool(const std::string&)>& exists);

// Progress of a conversion: the bar's value and the percent shown, 0 while
// the control has no total yet.
struct ConversionProgress {
  int bar;
  double percent;
};
ConversionProgress ConversionProgressOf(double position, double total);
// Multiplexing: the output's size over the input's, at most 1.
double MultiplexRatio(unsigned long long outputBytes, unsigned long long inputBytes);
