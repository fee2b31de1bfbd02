// The disc burner's rules that need no window: the texts its windows show
// for a disc type, the list's row texts, the capacity scale's set-up, the
// size limits, which list commands are open, and the burn dialog's step
// table, hint lines and medium checks. Platform-neutral, so they are tested
// natively; the dialogs only apply them.
#pragma once

#include <cstdint>
#include <string>

namespace burner {

// ---- The disc type ----------------------------------------------------------------

// "Zephon VCD Burner " (trailing blank kept), SVCD, DVD.
const char* AppTitleFor(int discType);
// " Disc Type: VCD" and so on.
const char* DiscTypeText(int discType);
// " Please add VCD compatible MPEG-1 files ..." and so on.
const char* AddFilesHint(int discType);
// "My VCD", "My SVCD", "My DVD".
const char* DefaultDiscLabel(int discType);
// True for the CD types (VCD, SVCD), which go through the video scanner and
// CdScribe; DVD takes VOB files as they are.
bool IsCdDiscType(int discType);
// CdScribe's project type for a CD disc type: 3 VCD, 4 SVCD.
int CdProjectTypeFor(int discType);

// ---- The file list ----------------------------------------------------------------

struct ListColumn {
  const char* title;
  int width;
};
// The columns of the list for the disc type; *count receives how many.
const ListColumn* ListColumnsFor(int discType, int* count);

// Row texts.
std::string SizeMBText(double bytes);                   // "%.1lf" of bytes / 2^20
std::string ResolutionText(int width, int height);      // "%iX%i"
std::string FrameRateText(double framesPerSecond);      // "%.2lffps"
std::string BitRateText(int32_t bitsPerSecond);         // "%dKbits/s" of bits / 1024
// " %d file(s), Size: %.1lfMB".
std::string ListStatusText(int count, double totalBytes);

// The capacity scale's value: whole megabytes of the total (never negative).
int TotalWholeMB(double totalBytes);

// What the capacity scale shows for a disc type, in MB.
struct ScaleSetup {
  int end;
  int tickStep;
  int labelStep;
  int warnAt;        // dotted marker and band
  int limitAt;       // dotted marker and band
  uint32_t baseColour, warnColour, limitColour;  // COLORREF values
};
ScaleSetup ScaleSetupFor(int discType);

// The most a disc takes (700 MB on a CD, 4300 MB on a DVD); a total from
// this plus one on asks the user first.
int DiscLimitMB(int discType);
bool AsksBeforeBurning(int discType, int totalMB);
// The question asked then.
const char* OversizeQuestion(int discType);

// Which commands of the list's context menu are open.
struct ListCommands {
  bool play;
  bool remove;
  bool removeAll;
  bool moveUp;
  bool moveDown;
};
// selected: the selected row, -1 for none; count: rows in the list.
ListCommands ListCommandsFor(int selected, int count);

// The row selected after row removed was taken out, with remaining rows
// left: the row above, or row 0 when the first went and rows remain; -1
// when the list is empty.
int SelectionAfterRemove(int removed, int remaining);

// The invalid-file dialog's two texts for a refused file.
std::string InvalidFileText(int discType, const char* path);
std::string InvalidFileAdvice(int discType);

// The About box's version: at most 10 characters of "AppVer".
std::string CutVersion(const char* version);

// ---- The burn dialog --------------------------------------------------------------

// Steps of the burn dialog's step machine.
enum BurnStep {
  kStepIdle = 0,
  kStepErasing = 1,
  kStepErased = 2,
  kStepEraseFailed = 3,
  kStepBurning = 4,
  kStepBurnEnded = 5,
  kStepBurnFailed = 6,
  kStepFinalizing = 7,
  kStepBuildingImage = 8,
  kStepImageMade = 9,
  kStepImageFailed = 10,
  kStepAuthoring = 11,
  kStepDvdImageMade = 12,
  kStepDvdImageFailed = 13,
};

// The action button's texts.
extern const char kStartText[];   // "Start"
extern const char kStopText[];    // "Stop"
extern const char kBurnText[];    // "Burn"
extern const char kFinishText[];  // "Finish" (Cancel once a burn has begun)

// What setting a step does, besides storing it. Empty texts mean nothing.
struct StepActions {
  const char* log1;         // first log line
  const char* log2;         // second log line
  const char* status;       // status line
  int progress;             // progress bar position, -1 unchanged
  // The action button: its text (NULL unchanged) and whether it is enabled
  // (-1 unchanged, 0 disabled, 1 enabled).
  const char* actionText;
  int actionEnabled;
  int cancelEnabled;        // button 2: -1 unchanged, 0, 1
  bool startEraseTimer;     // timer 135 on, counter 0
  bool stopEraseTimer;      // timer 135 off
  bool endsOperation;       // operation end (clock stopped, controls back)
  bool backToIdle;          // the step becomes kStepIdle afterwards
};
StepActions StepActionsFor(int step);

// The hint line at rest.
const char* HintText(bool imageMade, bool burned);

// Megabytes the listed files need.
double RequiredMB(double totalBytes);
// The refusal when free < required ("dirive" as the program has always
// spelled it).
std::string FreeSpaceMessage(char drive, double requiredMB, int freeMB);
// True when there is room: free MB (-1 unknown) against required MB.
bool EnoughFreeSpace(int freeMB, double requiredMB);

// The refusal of a label a folder name cannot hold.
extern const char kInvalidLabelMessage[];

}  // namespace burner
