// The job's rules that need no window: profiles, listed durations, clips,
// the space a job needs and the texts the dialog shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discjob/job_convert_rules.h"
#include "suite/settings_values.h"

namespace {

TEST(JobRules, ProfileByDiscAndTvType) {
  struct Case {
    int discType, tvType, profile;
  } cases[] = {
      {kDiscTypeVcd, kTvTypeNtsc, 1}, {kDiscTypeVcd, kTvTypePal, 2},  {kDiscTypeSvcd, kTvTypeNtsc, 4},
      {kDiscTypeSvcd, kTvTypePal, 5}, {kDiscTypeDvd, kTvTypeNtsc, 6}, {kDiscTypeDvd, kTvTypePal, 7},
      {3, kTvTypePal, 1},             {-1, kTvTypeNtsc, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.profile, ConversionProfile(c.discType, c.tvType)) << c.discType << "/" << c.tvType;
    EXPECT_EQ(c.profile >= 6, IsDvdProfile(c.profile));
  }
}

TEST(JobRules, DvdSourcesAreCutIntoQuarterHourClips) {
  struct Case {
    double total;
    bool dvd;
    int clipIndex;
    ClipRange range;
  } cases[] = {
      {2000, true, 0, {3, 0, 900}},      {2000, true, 1, {3, 900, 1800}},  {2000, true, 2, {3, 1800, 2000}},
      {899.9, true, 0, {1, 0, 899.9}},   {900, true, 0, {1, 0, 900}},       {1800, true, 1, {2, 900, 1800}},
      {1800.1, true, 2, {3, 1800, 1800.1}}, {3, true, 0, {1, 0, 3}},
      {2000, false, 0, {1, 0, 2000}},    {5400, false, 0, {1, 0, 5400}},
  };
  for (const Case& c : cases) {
    ClipRange r = ClipRangeFor(c.total, c.clipIndex, c.dvd);
    EXPECT_EQ(c.range.clipCount, r.clipCount) << c.total << " clip " << c.clipIndex;
    EXPECT_DOUBLE_EQ(c.range.start, r.start) << c.total << " clip " << c.clipIndex;
    EXPECT_DOUBLE_EQ(c.range.end, r.end) << c.total << " clip " << c.clipIndex;
  }
}

TEST(JobRules, RequiredSpaceAndDrives) {
  EXPECT_DOUBLE_EQ(100.0, RequiredSpaceMB(600, kDiscTypeVcd));
  EXPECT_DOUBLE_EQ(210.0, RequiredSpaceMB(600, kDiscTypeSvcd));
  EXPECT_DOUBLE_EQ(390.0, RequiredSpaceMB(600, kDiscTypeDvd));
  EXPECT_DOUBLE_EQ(19.5, RequiredSpaceMB(30, kDiscTypeDvd));
  EXPECT_EQ('D', OutputDriveOf("D:\\Quorbel\\"));
  EXPECT_EQ('C', OutputDriveOf("\\Quorbel\\"));
  EXPECT_EQ('C', OutputDriveOf(""));
  EXPECT_EQ('C', OutputDriveOf(NULL));
}

TEST(JobRules, FreeSpaceCheck) {
  struct Case {
    char outputDrive;
    int outputFree;
    char tempDrive;
    int tempFree;
    double required;
    const char* message;  // NULL: passes
  } cases[] = {
      // One drive: twice the need.
      {'C', 150, 'C', 150, 100, "There is not enough free space on driver C:.\n\nRequired space on dirive C: is "
                                "200.0 MB.\nFree space on drive C: is 150 MB.\n\nPlease change Output Folder or "
                                "Temp Folder."},
      {'c', 200, 'C', 200, 100, NULL},
      // Two drives: the temporary drive first.
      {'D', 50, 'C', 50, 100, "There is not enough free space for Temp Folder.\n\nRequired space on dirive C: is "
                              "100.0 MB.\nFree space on drive C: is 50 MB.\n\nPlease change Temp Folder."},
      {'D', 50, 'C', 150, 100, "There is not enough free space for Output Folder.\n\nRequired space on dirive D: "
                               "is 100.0 MB.\nFree space on drive D: is 50 MB.\n\nPlease change Output Folder."},
      {'D', 100, 'C', 100, 100, NULL},
      // An unreadable drive is not enough.
      {'D', -1, 'C', 500, 0.5, "There is not enough free space for Output Folder.\n\nRequired space on dirive D: "
                               "is 0.5 MB.\nFree space on drive D: is -1 MB.\n\nPlease change Output Folder."},
  };
  for (const Case& c : cases) {
    SpaceCheck check = CheckJobSpace(c.outputDrive, c.outputFree, c.tempDrive, c.tempFree, c.required);
    EXPECT_EQ(c.message == NULL, check.ok) << c.outputDrive << c.tempDrive << c.required;
    EXPECT_EQ(c.message != NULL ? c.message : "", check.message);
  }
}

TEST(JobRules, Texts) {
  EXPECT_EQ("Elapsed Time : 00:00:00 ", ElapsedTimeText(999));
  EXPECT_EQ("Elapsed Time : 01:01:01 ", ElapsedTimeText(3661000));
  EXPECT_EQ("Elapsed Time : 26:00:05 ", ElapsedTimeText(93605000));
  EXPECT_EQ("09:05:01  Starting...\r\n", LogLine(9, 5, 1, "Starting..."));
  EXPECT_EQ("C:\\tmpQuorbel\\      Free Space 1234 MB", TempDriveEntryText('C', 1234));
  EXPECT_EQ("Converting the file:C:\\a.avi", ConvertingLogText(0, 1, "C:\\a.avi"));
  EXPECT_EQ("Converting the clip 2/3 of file:C:\\a.avi", ConvertingLogText(1, 3, "C:\\a.avi"));
  EXPECT_STREQ("Click \"Start\" to create a disc; Click \"Cancel\" to return.", JobHintText(false, false, true));
  EXPECT_STREQ("Click \"Finish\" to close the program.", JobHintText(false, true, true));
  EXPECT_STREQ("Click \"Burn\" to burn a copy; Click \"Cancel\" to return.", JobHintText(true, false, true));
  EXPECT_STREQ("Click \"Burn\" to burn another copy; Click \"Finish\" to close the program.", JobHintText(true, true, true));
  // Start (or Burn) disabled, as after a failed authoring: only Cancel or Finish.
  EXPECT_STREQ("Click \"Cancel\" to return.", JobHintText(false, false, false));
  EXPECT_STREQ("Click \"Cancel\" to return.", JobHintText(true, false, false));
  EXPECT_STREQ("Click \"Finish\" to close the program.", JobHintText(false, true, false));
}

TEST(JobRules, TempDrivePick) {
  EXPECT_EQ(-1, PickTempDrive({}));
  EXPECT_EQ(0, PickTempDrive({0, 0, 0}));
  EXPECT_EQ(1, PickTempDrive({10, 30, 30, 5}));
  EXPECT_EQ(0, PickTempDrive({-1, -1}));
  EXPECT_EQ(2, PickTempDrive({-1, 0, 7}));
}

TEST(JobRules, ProgressTexts) {
  EXPECT_EQ("Copying 25.0%", ConversionStatusText("Copying", 1, 4));
  EXPECT_EQ(" 0.0%", ConversionStatusText("", 1, 0));
  EXPECT_EQ(33, ConversionPercent(1, 3));
  EXPECT_EQ(0, ConversionPercent(5, 0));
  EXPECT_EQ(100, ConversionPercent(7, 5));
  EXPECT_DOUBLE_EQ(0.5, MuxRatio(50, 100));
  EXPECT_DOUBLE_EQ(1.0, MuxRatio(150, 100));
  EXPECT_DOUBLE_EQ(0.0, MuxRatio(-1, 100));
  EXPECT_DOUBLE_EQ(0.0, MuxRatio(50, 0));
  EXPECT_EQ("Multiplexing... 50.0% ", MuxStatusText(0.5));
}

}  // namespace
