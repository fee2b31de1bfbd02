// The CD side's rules: the job's multiplexed files, the builder's result
// texts, the writer the drive list selects, what Start does with a medium,
// and the CD-writing library's records as a burn fills them.
#include <gtest/gtest.h>

#include <cstring>

#include "discjob/job_vcd_rules.h"

namespace {

TEST(VcdRules, JobOutputFiles) {
  EXPECT_TRUE(JobOutputFiles("C:\\tmpQuorbel\\", -1).empty());
  EXPECT_EQ((std::vector<std::string>{"C:\\tmpQuorbel\\000.mpg", "C:\\tmpQuorbel\\001.mpg",
                                      "C:\\tmpQuorbel\\002.mpg"}),
            JobOutputFiles("C:\\tmpQuorbel\\", 2));
  EXPECT_EQ("T\\1000.mpg", JobOutputFiles("T\\", 1000).back());
}

TEST(VcdRules, BuilderResultTexts) {
  const std::string errors = "\"zrDiscBuild\" finished with ERRORS : ";
  EXPECT_EQ("\"zrDiscBuild\" finished successfully", BuilderResultText(0, false));
  EXPECT_EQ(errors + "Cancel Request from User", BuilderResultText(1, true));
  EXPECT_EQ(errors + "internal error of 'libxml' or 'discimage'", BuilderResultText(1, false));
  EXPECT_EQ(errors + "an exception occured (resulting in _memory leaks_)", BuilderResultText(2, true));
  EXPECT_EQ(errors + "missing or bad parameters", BuilderResultText(-1, false));
  EXPECT_EQ(errors + "internal error (in the library)", BuilderResultText(3, false));
  EXPECT_EQ(errors + "internal error (in the library)", BuilderResultText(103, false));
}

TEST(VcdRules, PickCdWriter) {
  EXPECT_EQ(-1, PickCdWriter({}));
  EXPECT_EQ(2, PickCdWriter({false, false, false}));  // none holds a CD-R: the last
  EXPECT_EQ(1, PickCdWriter({false, true, true}));    // the first that does
  EXPECT_TRUE(HoldsCdR("CD-R"));
  EXPECT_TRUE(HoldsCdR("CD-RW"));
  EXPECT_FALSE(HoldsCdR("cd-r"));  // the list's look-up is exact
  EXPECT_FALSE(HoldsCdR("DVD-R"));
  EXPECT_FALSE(HoldsCdR(nullptr));
}

TEST(VcdRules, JudgeCdMedium) {
  const char* blankCd = "Please insert a blank CD disc into the writer.";
  const char* writable = "Please insert a blank writable disc into the writer.";
  struct Case {
    const char* type;
    int32_t used;
    CdStartAction action;
    const char* refusal;
  } cases[] = {
      {"CD-R", 0, kCdStartGo, nullptr},
      {"cd-r", 0, kCdStartGo, nullptr},  // compared without case here
      {"CD-R", 120, kCdStartRefused, blankCd},
      {"CD-RW", 0, kCdStartGo, nullptr},  // a blank CD-RW is not asked about
      {"Cd-Rw", 5, kCdStartAskErase, nullptr},
      {"CD-ROM", 0, kCdStartRefused, writable},
      {"DVD-R", 0, kCdStartRefused, writable},
      {"", 0, kCdStartRefused, writable},
  };
  for (const Case& c : cases) {
    CdMediumVerdict verdict = JudgeCdMedium(c.type, c.used);
    EXPECT_EQ(c.action, verdict.action) << c.type << " " << c.used;
    EXPECT_STREQ(c.refusal, verdict.refusalText) << c.type << " " << c.used;
  }
}

TEST(VcdRules, BurnOptionsKeepWhatTheLibraryGave) {
  CdScribeOptions options;
  memset(&options, 0x5A, sizeof options);
  std::string label(200, 'L');
  SetBurnOptions(&options, label.c_str());
  EXPECT_EQ(std::string(127, 'L'), std::string(options.volumeLabel));  // cut to the field
  EXPECT_EQ(0x800000u, options.cacheBytes);
  EXPECT_EQ(1, options.ejectWhenDone);
  EXPECT_EQ(0x5A, options.testWrite);
  EXPECT_EQ(0x5A5A5A5A, options.writeMode);
  EXPECT_EQ('\x5A', options.publisher[0]);
}

TEST(VcdRules, CueImageFileRecord) {
  CdScribeFile file;
  ASSERT_TRUE(MakeCueImageFile("C:\\Quorbel\\My VCD\\VideoCD.cue", &file));
  EXPECT_STREQ("C:\\Quorbel\\My VCD\\VideoCD.cue", file.path);
  EXPECT_STREQ("\\", file.destination);
  EXPECT_EQ(0, file.scanVideo);
  EXPECT_EQ(kCdFileImage, file.kind);
  // A path the record cannot hold whole is refused, not cut.
  EXPECT_TRUE(MakeCueImageFile(std::string(259, 'a').c_str(), &file));
  EXPECT_FALSE(MakeCueImageFile(std::string(260, 'a').c_str(), &file));
  EXPECT_FALSE(MakeCueImageFile("", &file));
  EXPECT_FALSE(MakeCueImageFile(nullptr, &file));
}

}  // namespace
