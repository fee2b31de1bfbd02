// The source-file list window's rules without a window: durations read
// back from rows, the warning for a total that may not fit, the selection
// after a removal and the popup menu's states.
#include <gtest/gtest.h>

#include <string>

#include "suite/app_text_utils.h"
#include "suite/source_list_rules.h"
#include "suite/settings_values.h"

namespace {

TEST(MainDialogRules, DurationCellsReadBackWhatFormatDurationWrote) {
  for (double seconds : {0.0, 0.9, 59.95, 3725.46, 35999.9, 7 * 3600 + 5.5}) {
    CString cell = FormatDuration(seconds);
    double tenths = static_cast<long long>(seconds * 10) / 10.0;
    EXPECT_DOUBLE_EQ(tenths, DurationCellSeconds(cell)) << static_cast<const char*>(cell);
  }
}

TEST(MainDialogRules, DamagedDurationCellsNeverReadPastTheirEnd) {
  struct Case {
    const char* cell;
    double seconds;
  } cases[] = {
      {"", 0},
      {"01", 3600},
      {"01:0", 3600},
      {"00:01:02.", 62},
      {"ab:cd:ef.g", 0},
      {"99:99:99.9", 99 * 3600 + 99 * 60 + 99.9},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.seconds, DurationCellSeconds(c.cell)) << c.cell;
  EXPECT_EQ(0, DurationCellSeconds(nullptr));
}

// The warning starts one minute above each disc's limit, in whole minutes.
TEST(MainDialogRules, TooLongQuestionOnlyAboveTheLimit) {
  struct Case {
    int discType, fits, tooLong;
    const char* disc;
  } cases[] = {
      {kDiscTypeDvd, 120, 121, "DVD"},
      {kDiscTypeSvcd, 35, 36, "CD"},
      {kDiscTypeVcd, 70, 71, "CD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ("", TooLongQuestion(c.discType, c.fits));
    std::string question = TooLongQuestion(c.discType, c.tooLong);
    EXPECT_EQ("The total duration is larger than " + std::to_string(c.fits) +
                  " minutes.\nIt is possible the target file size is too large to fit on one " + c.disc +
                  " disc.\n\nDo you want to continue?",
              question);
  }
  EXPECT_EQ(120, ScaleMinutes(7259.9));
  EXPECT_EQ(121, ScaleMinutes(7260));
  EXPECT_EQ(0, ScaleMinutes(-5));
}

TEST(MainDialogRules, CapacityScalesOfTheDiscTypes) {
  struct Case {
    int discType;
    CapacityScale scale;
  } cases[] = {
      {kDiscTypeDvd, {150, 5, 15, 110, 120}},
      {kDiscTypeSvcd, {40, 1, 5, 32, 35}},
      {kDiscTypeVcd, {90, 1, 10, 65, 70}},
  };
  for (const Case& c : cases) {
    CapacityScale s = CapacityScaleFor(c.discType);
    EXPECT_EQ(c.scale.maximum, s.maximum);
    EXPECT_EQ(c.scale.tickStep, s.tickStep);
    EXPECT_EQ(c.scale.labelStep, s.labelStep);
    EXPECT_EQ(c.scale.warning, s.warning);
    EXPECT_EQ(c.scale.limit, s.limit);
  }
}

TEST(MainDialogRules, SelectionAfterRemoveStaysOnTheFirstRow) {
  EXPECT_EQ(0, SelectionAfterRemove(0, 2));   // the new first row
  EXPECT_EQ(-1, SelectionAfterRemove(0, 0));  // nothing left
  EXPECT_EQ(1, SelectionAfterRemove(2, 2));   // the last row: one up
  EXPECT_EQ(0, SelectionAfterRemove(1, 3));
}

TEST(MainDialogRules, ListMenuStates) {
  struct Case {
    int rows, selected;
    bool remove, removeAll, play, up, down;
  } cases[] = {
      {0, -1, false, false, false, false, false},
      {3, -1, false, true, false, false, false},
      {3, 0, true, true, true, false, true},
      {3, 1, true, true, true, true, true},
      {3, 2, true, true, true, true, false},
      {1, 0, true, true, true, false, false},
      {2, 5, false, true, false, false, false},  // a stale selection counts as none
  };
  for (const Case& c : cases) {
    ListMenuState s = ListMenuFor(c.rows, c.selected);
    SCOPED_TRACE(std::to_string(c.rows) + " rows, selected " + std::to_string(c.selected));
    EXPECT_EQ(c.remove, s.remove);
    EXPECT_EQ(c.removeAll, s.removeAll);
    EXPECT_EQ(c.play, s.play);
    EXPECT_EQ(c.up, s.moveUp);
    EXPECT_EQ(c.down, s.moveDown);
  }
}

TEST(MainDialogRules, TitlesAndStatics) {
  EXPECT_EQ("Zephon VCD Creator", MainWindowTitle(kDiscTypeVcd));
  EXPECT_EQ("Zephon SVCD Creator", MainWindowTitle(kDiscTypeSvcd));
  EXPECT_EQ("Zephon DVD Creator", MainWindowTitle(kDiscTypeDvd));
  EXPECT_EQ("Zephon VCD Creator ", ProgramTitle(kDiscTypeVcd));
  EXPECT_EQ("Zephon SVCD Creator ", ProgramTitle(kDiscTypeSvcd));
  EXPECT_EQ("Quorbel ", ProgramTitle(kDiscTypeDvd));
  EXPECT_EQ(" Disc Type: SVCD", DiscTypeStaticText(kDiscTypeSvcd));
  EXPECT_EQ(" Added 3 file(s)", FileCountText(3));
  EXPECT_EQ(" Total Duration: 01:02:05.4", TotalDurationText(3725.46));
  EXPECT_EQ("1.50", SizeCellText(1572864));
  EXPECT_EQ("Scanning video files, please wait...\n\nC:\\a.mpg", ScanningText("C:\\a.mpg"));
  EXPECT_EQ("Fail in initializing the file:\nC:\\a.avi\n\nThere is no CODEC for this file or can't support "
            "it.\nPlease read FAQ in HELP or contact us",
            ProbeRefusedText("C:\\a.avi"));
}

}  // namespace
