// The converter's rules that need no window: split lengths and clip ranges,
// the conversion profile, the names a clip goes through (the control's
// output, its two streams, the final file), the texts of the main window and
// the conversion dialog, and which context-menu entries are greyed.
// Platform-neutral, so they are tested natively too.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The list rows, the selection after a removal and the status texts are the
// disc creator's (DurationCellSeconds, SizeCellText, SelectionAfterRemove,
// DiscTypeName, DiscTypeStaticText, FileCountText, TotalDurationText,
// ProbeRefusedText) with its columns (kSourceColumn*), and so are the context menu rules (ListMenuFor) and the
// add-files dialog's filter and title.
#include "suite/source_list_rules.h"
// The conversion profile, the log, clock and progress texts are the disc
// job's (ConversionProfile, IsDvdProfile, ConvertingLogText,
// ConversionStatusText, ConversionPercent, MuxRatio, MuxStatusText,
// ElapsedTimeText, LogLine).
#include "discjob/job_convert_rules.h"

// ---- Texts ----------------------------------------------------------------------------

std::string ConverterTitle(int discType);        // "Zephon Video to %s Converter "
std::string ConverterWindowTitle(int discType);  // "Zephon Video to %s Converter"

// ---- Conversion -------------------------------------------------------------------------

// The split lengths offered for a disc type, in the combo box's order (the
// second is selected at first).
std::vector<std::string> SplitLengthChoices(int discType);
// The clip length in seconds of a split choice: its first two characters
// as a number, times 60; 0 (no split) for no choice or one without digits.
int ClipLengthSeconds(const char* choice);

// The clips of a source of `seconds` cut into clips of `clipLength`
// seconds (0: no split), for every disc type.
struct SplitClip {
  int count;     // clips of the source
  double start;  // of clip `index`, in seconds
  double stop;   // the full duration for the last clip
};
// A source that is an exact multiple of the clip length gets no empty last
// clip: the control finds nothing to convert in one.
SplitClip SplitClipFor(double seconds, int clipLength, int index);

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

// ---- The end of a job -----------------------------------------------------------------

// How a job came out: every file converted, some, or none.
enum ConvertJobOutcome { kAllFilesConverted, kSomeFilesConverted, kNoFileConverted };
ConvertJobOutcome JobOutcomeFor(int fileCount, int failedCount);
// The log's closing lines: "Done" when every file was converted; else
// "Converted %d of %d files.", one "Not converted: <path>" per failed
// file and, when none was converted, "Failed.".
std::vector<std::string> JobEndLogLines(int fileCount, const std::vector<std::string>& failedFiles);
