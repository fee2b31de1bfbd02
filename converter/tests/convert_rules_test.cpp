// The converter's window-free rules: clip ranges, the names a clip goes
// through, texts, and which context-menu entries are greyed.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "converter/convert_rules.h"

namespace {

TEST(ConvertRulesTest, ClipRangesCutSourcesAtTheSplitLength) {
  struct Case {
    double seconds;
    int clipLength;
    int index;
    SplitClip expected;
  } cases[] = {
      // 150 minutes at "70 minutes": 0-4200, 4200-8400, 8400-end.
      {9000, 4200, 0, {3, 0, 4200}},
      {9000, 4200, 1, {3, 4200, 8400}},
      {9000, 4200, 2, {3, 8400, 9000}},
      // Shorter than one clip, and no split at all.
      {3.2, 2700, 0, {1, 0, 3.2}},
      {9000, 0, 0, {1, 0, 9000}},
      // An exact multiple gets no empty last clip.
      {8400, 4200, 1, {2, 4200, 8400}},
      {4200, 4200, 0, {1, 0, 4200}},
      // A damaged duration cell gives one empty clip, not a negative count.
      {-5, 4200, 0, {1, 0, 0}},
  };
  for (const Case& c : cases) {
    SplitClip r = SplitClipFor(c.seconds, c.clipLength, c.index);
    EXPECT_EQ(c.expected.count, r.count) << c.seconds << " / " << c.clipLength;
    EXPECT_DOUBLE_EQ(c.expected.start, r.start) << c.seconds << " #" << c.index;
    EXPECT_DOUBLE_EQ(c.expected.stop, r.stop) << c.seconds << " #" << c.index;
  }
}

TEST(ConvertRulesTest, SplitChoicesAndTheirLengths) {
  EXPECT_EQ((std::vector<std::string>{"80 minutes", "70 minutes", "65 minutes"}), SplitLengthChoices(0));
  EXPECT_EQ((std::vector<std::string>{"40 minutes", "35 minutes", "32 minutes"}), SplitLengthChoices(1));
  EXPECT_EQ((std::vector<std::string>{"45 minutes", "30 minutes", "15 minutes"}), SplitLengthChoices(2));
  EXPECT_EQ(4200, ClipLengthSeconds("70 minutes"));
  EXPECT_EQ(900, ClipLengthSeconds("15 minutes"));
  EXPECT_EQ(0, ClipLengthSeconds(nullptr));
  EXPECT_EQ(0, ClipLengthSeconds("minutes"));
  EXPECT_EQ(300, ClipLengthSeconds("5"));
}

// The names of a clip from the control's output to the final file.
TEST(ConvertRulesTest, ClipNamesFromOutputToFinalFile) {
  std::set<std::string> taken;
  auto exists = [&](const std::string& name) { return taken.count(name) > 0; };
  const std::string folder = "C:\\out\\";

  ClipName clip = ClipNameFor(folder, "D:\\films\\film.avi", 0, 3, 2);
  int k = -1;
  EXPECT_EQ("C:\\out\\film_ToVcd_clp2_con.mpg", FreshConvertedName(clip, exists, &k));
  EXPECT_EQ(0, k);
  EXPECT_EQ("C:\\out\\film_ToVcd_clp2.mpg", FinalName("C:\\out\\film_ToVcd_clp2_con.mpg", 0, exists));

  // A DVD source of one clip whose first name is taken.
  ClipName dvd = ClipNameFor(folder, "D:\\a.b\\film.vob", 2, 1, 0);
  taken.insert("C:\\out\\film_ToDvd_con.mpg");
  std::string converted = FreshConvertedName(dvd, exists, &k);
  EXPECT_EQ("C:\\out\\film_ToDvd_1_con.mpg", converted);
  EXPECT_EQ(1, k);
  EXPECT_EQ(converted, ConvertedName(dvd, k));
  EXPECT_EQ("C:\\out\\film_ToDvd_1.VOB", FinalName(converted, 2, exists));
  taken.insert("C:\\out\\film_ToDvd_1.VOB");
  EXPECT_EQ("C:\\out\\film_ToDvd_1_1.VOB", FinalName(converted, 2, exists));

  EXPECT_EQ("C:\\out\\x_vid.mpg", VideoStreamName("C:\\out\\x.mpg"));
  EXPECT_EQ("C:\\out\\x_aud.mpg", AudioStreamName("C:\\out\\x.mpg"));
  EXPECT_EQ("_ToSvcd", ClipNameFor(folder, "noext", 1, 1, 0).kind);
  EXPECT_EQ("noext", ClipNameFor(folder, "noext", 1, 1, 0).base);

  // A folder where every name is taken ends the search instead of hanging.
  auto always = [](const std::string&) { return true; };
  EXPECT_FALSE(FreshConvertedName(dvd, always, &k).empty());
  EXPECT_FALSE(FinalName(converted, 2, always).empty());
}

// A job ends with what happened: "Done" only when every file was converted.
TEST(ConvertRulesTest, JobEndSaysWhatWasConverted) {
  using Lines = std::vector<std::string>;
  struct Case {
    int files;
    Lines failed;
    ConvertJobOutcome outcome;
    Lines lines;
  } cases[] = {
      {2, {}, kAllFilesConverted, {"Done"}},
      {3, {"C:\\a.avi"}, kSomeFilesConverted, {"Converted 2 of 3 files.", "Not converted: C:\\a.avi"}},
      {3, {"C:\\a.avi", "C:\\c.wmv"}, kSomeFilesConverted,
       {"Converted 1 of 3 files.", "Not converted: C:\\a.avi", "Not converted: C:\\c.wmv"}},
      {1, {"C:\\a.avi"}, kNoFileConverted, {"Converted 0 of 1 files.", "Not converted: C:\\a.avi", "Failed."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    EXPECT_EQ(c.outcome, JobOutcomeFor(c.files, static_cast<int>(c.failed.size())));
    EXPECT_EQ(c.lines, JobEndLogLines(c.files, c.failed));
  }
}

TEST(ConvertRulesTest, Titles) {
  EXPECT_EQ("Zephon Video to SVCD Converter ", ConverterTitle(1));
  EXPECT_EQ("Zephon Video to DVD Converter", ConverterWindowTitle(2));
  EXPECT_EQ("Zephon Video to VCD Converter", ConverterWindowTitle(0));
}

}  // namespace
