#include "burner/burner_rules.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "suite/app_text_utils.h"
#include "suite/settings_values.h"

namespace burner {

namespace {

// The fixed text buffer the texts are bounded by.
const size_t kTextBuffer = 1024;

// Index of a disc type into the three-entry tables (DVD for anything else,
// the settings' default).
int TypeIndex(int discType) { return discType == kDiscTypeVcd ? 0 : discType == kDiscTypeSvcd ? 1 : 2; }

const double kBytesPerMB = 1024.0 * 1024.0;

}  // namespace

const char* AppTitleFor(int discType) {
  static const char* const kTitles[] = {"Zephon VCD Burner ", "Zephon SVCD Burner ",
                                        "Zephon DVD Burner "};
  return kTitles[TypeIndex(discType)];
}

const char* DiscTypeText(int discType) {
  static const char* const kTexts[] = {" Disc Type: VCD", " Disc Type: SVCD", " Disc Type: DVD"};
  return kTexts[TypeIndex(discType)];
}

const char* AddFilesHint(int discType) {
  static const char* const kTexts[] = {" Please add VCD compatible MPEG-1 files ...",
                                       " Please add SVCD compatible MPEG-2 files ... ",
                                       " Please add DVD compatible VOB files ... "};
  return kTexts[TypeIndex(discType)];
}

const char* DefaultDiscLabel(int discType) {
  static const char* const kLabels[] = {"My VCD", "My SVCD", "My DVD"};
  return kLabels[TypeIndex(discType)];
}

bool IsCdDiscType(int discType) { return TypeIndex(discType) != 2; }

int CdProjectTypeFor(int discType) { return discType == kDiscTypeSvcd ? 4 : 3; }

const ListColumn* ListColumnsFor(int discType, int* count) {
  static const ListColumn kCdColumns[] = {{" Source Files", 320}, {" Size(MB)", 60},
                                          {" Solution", 90},      {" Framerate", 100},
                                          {" Bitrate", 80}};
  static const ListColumn kDvdColumns[] = {{" Source Files", 550}, {" Size(MB)", 80}};
  if (IsCdDiscType(discType)) {
    *count = 5;
    return kCdColumns;
  }
  *count = 2;
  return kDvdColumns;
}

std::string SizeMBText(double bytes) { return FormatText(kTextBuffer, "%.1lf", bytes / kBytesPerMB); }

std::string ResolutionText(int width, int height) { return FormatText(kTextBuffer, "%iX%i", width, height); }

std::string FrameRateText(double framesPerSecond) {
  if (!std::isfinite(framesPerSecond)) framesPerSecond = 0;
  return FormatText(kTextBuffer, "%.2lffps", framesPerSecond);
}

std::string BitRateText(int32_t bitsPerSecond) { return FormatText(kTextBuffer, "%dKbits/s", bitsPerSecond / 1024); }

std::string ListStatusText(int count, double totalBytes) {
  return FormatText(kTextBuffer, " %d file(s), Size: %.1lfMB", count, totalBytes / kBytesPerMB);
}

int TotalWholeMB(double totalBytes) {
  // Removing rows subtracts sizes again; rounding noise must not show as -0.
  if (!(totalBytes > 0)) return 0;
  double mb = std::floor(totalBytes / kBytesPerMB);
  return mb > 2147483647.0 ? 2147483647 : static_cast<int>(mb);
}

ScaleSetup ScaleSetupFor(int discType) {
  if (IsCdDiscType(discType)) return {750, 10, 100, 650, 700, 0xD87E23, 0x0AC8F7, 0x0511DA};
  return {4800, 100, 500, 4200, 4300, 0xD87E23, 0x0AC8F7, 0x0511DA};
}

int DiscLimitMB(int discType) { return IsCdDiscType(discType) ? 700 : 4300; }

bool AsksBeforeBurning(int discType, int totalMB) { return totalMB >= DiscLimitMB(discType) + 1; }

const char* OversizeQuestion(int discType) {
  if (IsCdDiscType(discType))
    return "The total size is larger than 700MB.\nIt is possible the target file size is too "
           "large to fit on one CD disc.\n\nDo you want to continue?";
  return "The total size is larger than 4300MB.\nIt is possible the target file size is too "
         "large to fit on one DVD disc.\n\nDo you want to continue?";
}

ListCommands ListCommandsFor(int selected, int count) {
  ListCommands c = {true, true, true, true, true};
  bool hasRow = selected >= 0 && selected < count;
  if (!hasRow) c.play = c.remove = c.moveUp = c.moveDown = false;
  if (selected == 0) c.moveUp = false;
  if (selected >= count - 1) c.moveDown = false;
  if (count <= 0) c.play = c.remove = c.removeAll = false;
  return c;
}

int SelectionAfterRemove(int removed, int remaining) {
  if (remaining <= 0) return -1;
  if (removed <= 0) return 0;
  int above = removed - 1;
  return above < remaining ? above : remaining - 1;
}

std::string InvalidFileText(int discType, const char* path) {
  static const char* const kNames[] = {"VCD", "SVCD", "DVD"};
  return FormatText(kTextBuffer,
                    "The file: %s\n is not a %s compatible mpeg file,Can't burn it directly to video disc.",
                    path ? path : "", kNames[TypeIndex(discType)]);
}

std::string InvalidFileAdvice(int discType) {
  static const char* const kNames[] = {"VCD", "SVCD", "DVD"};
  return FormatText(kTextBuffer,
                    "You need to convert it to %s format use the 'Skarven' function. Or use the "
                    "'Vantrel' function to do the job easily.",
                    kNames[TypeIndex(discType)]);
}

std::string CutVersion(const char* version) {
  if (version == nullptr) return "";
  return std::string(version, strnlen(version, 10));
}

// ---- The burn dialog ---------------------------------------------------------------------

const char kStartText[] = "Start";
const char kStopText[] = "Stop";
const char kBurnText[] = "Burn";
const char kFinishText[] = "Finish";

StepActions StepActionsFor(int step) {
  //                log1, log2, status, progress, action text, action on, cancel on,
  //                erase timer on, erase timer off, ends the operation, back to idle
  switch (step) {
    case kStepErasing:
      return {"Erasing the disc...", "", "", -1, nullptr, 0, 0, true, false, false, false};
    case kStepErased:
      return {"Erased the disc successfully.", "", "", 0, nullptr, -1, -1, false, true, false, true};
    case kStepEraseFailed:
      return {"Failed to erase the disc.", "Failed!", "Failed to erase the disc.", 0, kStartText, 1, 1,
              false, true, true, true};
    case kStepBurning:
      return {"Burning...", "", "", 0, kStopText, 1, 0, false, false, false, false};
    case kStepBurnEnded:
      return {"", "", "", 0, kBurnText, 1, 1, false, false, true, true};
    case kStepBurnFailed:
      return {"Failed!", "", "", 0, kBurnText, 1, 1, false, false, true, true};
    case kStepFinalizing:
      return {"Finalize the driver...", "", "Finalize the driver...", 100, nullptr, 0, -1, false,
              false, false, false};
    case kStepBuildingImage:
      return {"Creating the cue image...", "", "", -1, kStopText, 1, 0, false, false, false, false};
    case kStepImageMade:
      return {"Created the cue image successfully.", "", "", 0, kBurnText, -1, -1, false, false, false, false};
    case kStepImageFailed:
      return {"Failed to create the cue image.", "Failed!", "Fail to create image.", 0, kStartText, 1,
              1, false, false, true, true};
    case kStepAuthoring:
      return {"Creating the DVD image...", "", "Prepare to create DVD Image.", -1, nullptr, 0, 0,
              false, false, false, false};
    case kStepDvdImageMade:
      return {"Created the DVD image successfully", "", "Create DVD image done", 100, nullptr, -1, -1,
              false, false, false, false};
    case kStepDvdImageFailed:
      return {"Failed to create DVD image", "Failed!", "Failed to create DVD image", 0, kStartText, 0,
              1, false, false, true, true};
    default:
      return {"", "", "", -1, nullptr, -1, -1, false, false, false, false};
  }
}

const char* HintText(bool imageMade, bool burned) {
  if (imageMade && burned)
    return "Click \"Burn\" to burn another copy; Click \"Finish\" to close the program.";
  if (burned) return "Click \"Finish\" to close the program.";
  if (imageMade) return "Click \"Burn\" to burn a copy; Click \"Cancel\" to return.";
  return "Click \"Start\" to burn a copy; Click \"Cancel\" to return.";
}

double RequiredMB(double totalBytes) { return totalBytes > 0 ? totalBytes / kBytesPerMB : 0; }

std::string FreeSpaceMessage(char drive, double requiredMB, int freeMB) {
  return FormatText(kTextBuffer,
                    "There is not enough free space for Output Folder.\n\nRequired space on dirive %c: "
                    "is %.1f MB.\nFree space on drive %c: is %d MB.\n\nPlease change Output Folder.",
                    drive, requiredMB, drive, freeMB);
}

bool EnoughFreeSpace(int freeMB, double requiredMB) {
  return static_cast<double>(freeMB) >= requiredMB;
}

const char kInvalidLabelMessage[] =
    "The Disc Label included following invalid character:\n / , \\ , : , * , ? , \" , < , > , |  "
    "\n\nPlease edit it again.";

}  // namespace burner
