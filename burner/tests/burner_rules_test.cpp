// The burner's window-free rules: texts by disc type, row texts, the scale,
// the size question, the list commands and the burn dialog's steps.
#include <gtest/gtest.h>

#include <string>

#include "burner/burner_rules.h"
#include "suite/settings_values.h"

using namespace burner;

TEST(BurnerRulesTest, DiscTypeTextsAndUnknownTypesFallBackToDvd) {
  struct Row {
    int type;
    const char* title;
    const char* typeText;
    const char* label;
    bool cd;
  } rows[] = {
      {kDiscTypeVcd, "Zephon VCD Burner ", " Disc Type: VCD", "My VCD", true},
      {kDiscTypeSvcd, "Zephon SVCD Burner ", " Disc Type: SVCD", "My SVCD", true},
      {kDiscTypeDvd, "Zephon DVD Burner ", " Disc Type: DVD", "My DVD", false},
      {7, "Zephon DVD Burner ", " Disc Type: DVD", "My DVD", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    EXPECT_STREQ(AppTitleFor(r.type), r.title);
    EXPECT_STREQ(DiscTypeText(r.type), r.typeText);
    EXPECT_STREQ(DefaultDiscLabel(r.type), r.label);
    EXPECT_EQ(IsCdDiscType(r.type), r.cd);
  }
  EXPECT_EQ(CdProjectTypeFor(kDiscTypeVcd), 3);
  EXPECT_EQ(CdProjectTypeFor(kDiscTypeSvcd), 4);
  EXPECT_STREQ(AddFilesHint(kDiscTypeSvcd), " Please add SVCD compatible MPEG-2 files ... ");
}

TEST(BurnerRulesTest, ColumnsByDiscType) {
  int count = 0;
  const ListColumn* cd = ListColumnsFor(kDiscTypeVcd, &count);
  ASSERT_EQ(count, 5);
  EXPECT_STREQ(cd[2].title, " Solution");
  EXPECT_EQ(cd[0].width, 320);
  const ListColumn* dvd = ListColumnsFor(kDiscTypeDvd, &count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(dvd[0].width, 550);
  EXPECT_EQ(dvd[1].width, 80);
}

TEST(BurnerRulesTest, RowAndStatusTexts) {
  EXPECT_EQ(SizeMBText(1572864.0), "1.5");
  EXPECT_EQ(ResolutionText(352, 288), "352X288");
  EXPECT_EQ(FrameRateText(29.97002997), "29.97fps");
  EXPECT_EQ(FrameRateText(0.0 / 0.0), "0.00fps");
  EXPECT_EQ(BitRateText(1150000), "1123Kbits/s");
  EXPECT_EQ(ListStatusText(2, 3.0 * 1048576), " 2 file(s), Size: 3.0MB");
}

TEST(BurnerRulesTest, WholeMegabytesNeverNegative) {
  EXPECT_EQ(TotalWholeMB(0), 0);
  EXPECT_EQ(TotalWholeMB(-0.0001), 0);
  EXPECT_EQ(TotalWholeMB(1048575.0), 0);
  EXPECT_EQ(TotalWholeMB(700.0 * 1048576), 700);
  EXPECT_EQ(TotalWholeMB(1e30), 2147483647);
}

TEST(BurnerRulesTest, AsksFromOneMegabyteOverTheDisc) {
  EXPECT_FALSE(AsksBeforeBurning(kDiscTypeVcd, 700));
  EXPECT_TRUE(AsksBeforeBurning(kDiscTypeVcd, 701));
  EXPECT_TRUE(AsksBeforeBurning(kDiscTypeSvcd, 701));
  EXPECT_FALSE(AsksBeforeBurning(kDiscTypeDvd, 4300));
  EXPECT_TRUE(AsksBeforeBurning(kDiscTypeDvd, 4301));
  EXPECT_NE(std::string(OversizeQuestion(kDiscTypeDvd)).find("4300MB"), std::string::npos);
  ScaleSetup cd = ScaleSetupFor(kDiscTypeVcd);
  EXPECT_EQ(cd.end, 750);
  EXPECT_EQ(cd.limitAt, 700);
  ScaleSetup dvd = ScaleSetupFor(kDiscTypeDvd);
  EXPECT_EQ(dvd.labelStep, 500);
  EXPECT_EQ(dvd.warnAt, 4200);
}

TEST(BurnerRulesTest, ContextMenuCommands) {
  struct Row {
    int selected, count;
    bool play, remove, removeAll, up, down;
  } rows[] = {
      {-1, 0, false, false, false, false, false},
      {-1, 3, false, false, true, false, false},
      {0, 3, true, true, true, false, true},
      {1, 3, true, true, true, true, true},
      {2, 3, true, true, true, true, false},
      {0, 1, true, true, true, false, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.selected << "/" << r.count);
    ListCommands c = ListCommandsFor(r.selected, r.count);
    EXPECT_EQ(c.play, r.play);
    EXPECT_EQ(c.remove, r.remove);
    EXPECT_EQ(c.removeAll, r.removeAll);
    EXPECT_EQ(c.moveUp, r.up);
    EXPECT_EQ(c.moveDown, r.down);
  }
}

TEST(BurnerRulesTest, SelectionAfterRemove) {
  EXPECT_EQ(SelectionAfterRemove(0, 2), 0);
  EXPECT_EQ(SelectionAfterRemove(2, 2), 1);
  EXPECT_EQ(SelectionAfterRemove(1, 2), 0);
  EXPECT_EQ(SelectionAfterRemove(0, 0), -1);
}

TEST(BurnerRulesTest, InvalidFileTextsNameTypeAndPath) {
  EXPECT_EQ(InvalidFileText(kDiscTypeSvcd, "C:\\a.mpg"),
            "The file: C:\\a.mpg\n is not a SVCD compatible mpeg file,Can't burn it directly to video disc.");
  EXPECT_EQ(InvalidFileAdvice(kDiscTypeVcd),
            "You need to convert it to VCD format use the 'Skarven' function. Or use the 'Vantrel' "
            "function to do the job easily.");
  std::string longPath(3000, 'x');
  EXPECT_LE(InvalidFileText(kDiscTypeVcd, longPath.c_str()).size(), 1023u);
  EXPECT_EQ(CutVersion("1.2.3.4.5.6.7"), "1.2.3.4.5.");
  EXPECT_EQ(CutVersion(nullptr), "");
}

TEST(BurnerRulesTest, StepTable) {
  StepActions erasing = StepActionsFor(kStepErasing);
  EXPECT_TRUE(erasing.startEraseTimer);
  EXPECT_EQ(erasing.actionEnabled, 0);
  EXPECT_EQ(erasing.cancelEnabled, 0);

  StepActions erased = StepActionsFor(kStepErased);
  EXPECT_TRUE(erased.stopEraseTimer);
  EXPECT_TRUE(erased.backToIdle);
  EXPECT_FALSE(erased.endsOperation);

  StepActions burning = StepActionsFor(kStepBurning);
  EXPECT_STREQ(burning.actionText, kStopText);
  EXPECT_EQ(burning.actionEnabled, 1);
  EXPECT_EQ(burning.cancelEnabled, 0);

  // A DVD image failure leaves only Cancel.
  StepActions dvdFailed = StepActionsFor(kStepDvdImageFailed);
  EXPECT_STREQ(dvdFailed.actionText, kStartText);
  EXPECT_EQ(dvdFailed.actionEnabled, 0);
  EXPECT_EQ(dvdFailed.cancelEnabled, 1);
  EXPECT_TRUE(dvdFailed.endsOperation);

  StepActions imageFailed = StepActionsFor(kStepImageFailed);
  EXPECT_STREQ(imageFailed.status, "Fail to create image.");
  EXPECT_STREQ(imageFailed.log2, "Failed!");
  EXPECT_STREQ(StepActionsFor(kStepBurnEnded).actionText, kBurnText);
  EXPECT_FALSE(StepActionsFor(99).endsOperation);
}

TEST(BurnerRulesTest, HintsAndSpace) {
  EXPECT_STREQ(HintText(false, false), "Click \"Start\" to burn a copy; Click \"Cancel\" to return.");
  EXPECT_STREQ(HintText(true, false), "Click \"Burn\" to burn a copy; Click \"Cancel\" to return.");
  EXPECT_STREQ(HintText(false, true), "Click \"Finish\" to close the program.");
  EXPECT_STREQ(HintText(true, true),
               "Click \"Burn\" to burn another copy; Click \"Finish\" to close the program.");
  EXPECT_TRUE(EnoughFreeSpace(10, 9.9));
  EXPECT_FALSE(EnoughFreeSpace(9, 9.1));
  EXPECT_FALSE(EnoughFreeSpace(-1, 0.5));  // unknown free space does not pass
  EXPECT_EQ(FreeSpaceMessage('D', 12.25, 3),
            "There is not enough free space for Output Folder.\n\nRequired space on dirive D: is 12.2 "
            "MB.\nFree space on drive D: is 3 MB.\n\nPlease change Output Folder.");
}
