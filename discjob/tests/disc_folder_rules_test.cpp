// The disc folder rules both disc programs share: labels that name no
// folder of their own, joined paths that would not fit their buffer, and
// the contents that count as a DVD job's own.
#include "discjob/disc_folder_rules.h"

#include <gtest/gtest.h>

namespace {

using disc_folder::Entry;

TEST(DiscFolderRules, LabelsThatNameNoFolderOfTheirOwn) {
  struct Case {
    const char* label;
    bool ownFolder;
  } cases[] = {
      {"My DVD", true}, {"Documents", true}, {"a.", true},     {".hidden", true}, {"", false},
      {".", false},     {"..", false},       {" . ", false},   {"   ", false},    {"\t", false},
      {"a\\b", false},  {"..\\x", false},    {"a/b", false},   {"/", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.ownFolder, disc_folder::LabelNamesOwnFolder(c.label)) << c.label;
  EXPECT_FALSE(disc_folder::LabelNamesOwnFolder(NULL));
}

TEST(DiscFolderRules, JoinedPathIsRefusedWhenItWouldNotFitNeverCut) {
  std::string folder = "untouched";
  // "C:\out\" + "Disc" + "\" is 12 characters, 13 with the zero.
  EXPECT_FALSE(disc_folder::JoinDiscFolder("C:\\out\\", "Disc", 12, &folder));
  EXPECT_EQ("untouched", folder);
  ASSERT_TRUE(disc_folder::JoinDiscFolder("C:\\out\\", "Disc", 13, &folder));
  EXPECT_EQ("C:\\out\\Disc\\", folder);
  std::string longOutput = "C:\\" + std::string(250, 'o') + "\\";
  EXPECT_FALSE(disc_folder::JoinDiscFolder(longOutput.c_str(), "My DVD", 260, &folder));
}

Entry Folder(const char* name, std::vector<Entry> entries = {}) { return Entry{name, true, entries}; }
Entry File(const char* name) { return Entry{name, false, {}}; }

TEST(DiscFolderRules, OnlyWhatAnAuthoringRunWritesCountsAsADiscLayout) {
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    bool layout;
  } cases[] = {
      {"empty", {}, true},
      {"authored",
       {Folder("VIDEO_TS", {File("VIDEO_TS.IFO"), File("VIDEO_TS.BUP"), File("VIDEO_TS.VOB"), File("VTS_01_0.IFO"),
                            File("VTS_01_0.BUP"), File("VTS_01_1.VOB"), File("vts_12_9.vob")}),
        Folder("AUDIO_TS")},
       true},
      {"a user file beside", {Folder("VIDEO_TS", {File("VIDEO_TS.IFO")}), File("letter.doc")}, false},
      {"a user folder beside", {Folder("VIDEO_TS"), Folder("Photos")}, false},
      {"a user file inside", {Folder("VIDEO_TS", {File("VIDEO_TS.IFO"), File("notes.txt")})}, false},
      {"a folder inside", {Folder("VIDEO_TS", {Folder("VTS_01_1.VOB")})}, false},
      {"near names",
       {Folder("VIDEO_TS", {File("VTS_1_1.VOB"), File("VTS_01_1.MPG"), File("VTS_AB_1.VOB")})}, false},
      {"a file named like the folder", {File("VIDEO_TS")}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.layout, disc_folder::HoldsOnlyDiscLayout(c.entries)) << c.what;
}

}  // namespace
