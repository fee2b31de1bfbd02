// The DVD side's rules: which disc codes are writable, the writer's drive
// list text, what Start does with the inserted disc, and the order and
// checks of the VIDEO_TS file list that the burn hands to DvdScribe.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "discjob/job_dvd_rules.h"
#include "discjob/job_dvd_video_ts.h"

namespace {

TEST(DvdRules, WritableDiscTypes) {
  std::vector<int> writable;
  for (int code = 0; code <= 20; ++code)
    if (IsWritableDvdType(code)) writable.push_back(code);
  EXPECT_EQ((std::vector<int>{5, 6, 7, 8, 9, 13}), writable);
}

TEST(DvdRules, WriterEntryText) {
  EXPECT_EQ("E: QUORBEL Virtual DVD-RW", DvdWriterEntryText("E:", "QUORBEL", "Virtual DVD-RW"));
  // A vendor text that begins with a blank is not shown, nor the drive.
  EXPECT_EQ("Virtual DVD-RW", DvdWriterEntryText("E:", " QUORBEL", "Virtual DVD-RW"));
  EXPECT_EQ("  ", DvdWriterEntryText(nullptr, nullptr, nullptr));
}

TEST(DvdRules, StartActionForInsertedDisc) {
  struct Case {
    InsertedDisc disc;
    DvdStartAction action;
  } cases[] = {
      {{0, 0, 1}, kDvdStartRefused},   // not writable, even when blank
      {{0, 1, 0}, kDvdStartRefused},
      {{1, 0, 1}, kDvdStartGo},        // blank write-once
      {{1, 1, 1}, kDvdStartGo},        // blank rewritable: no question
      {{1, 0, 0}, kDvdStartGo},        // GetInsertedDiscInfo refuses this one before
      {{1, 1, 0}, kDvdStartAskErase},  // rewritable with data
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.action, DvdStartActionFor(c.disc))
        << c.disc.writable << c.disc.erasable << c.disc.blank;
}

// A folder in memory and a tree that records what it was given.
class FakeFiles : public VideoTsFiles {
public:
  std::map<std::string, int64_t> sizes;
  int64_t SizeOf(const std::string& path) override {
    auto it = sizes.find(path);
    return it == sizes.end() ? -1 : it->second;
  }
};

class FakeTree : public VideoTsTree {
public:
  std::vector<std::string> added;
  bool foldersOk = true;
  std::string refuse;  // a path the tree refuses
  bool AddFolders() override { return foldersOk; }
  bool AddFile(const std::string& path) override {
    if (path == refuse) return false;
    added.push_back(path);
    return true;
  }
};

const char kDir[] = "D:\\out\\My DVD\\VIDEO_TS\\";

class VideoTsList : public ::testing::Test {
protected:
  void Have(std::initializer_list<const char*> names, int64_t size = 4096) {
    for (const char* name : names) files.sizes[std::string(kDir) + name] = size;
  }
  int Build() { return BuildVideoTsList(kDir, files, tree, &message); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const std::string& path : tree.added) names.push_back(path.substr(sizeof kDir - 1));
    return names;
  }
  FakeFiles files;
  FakeTree tree;
  std::string message;
};

TEST_F(VideoTsList, TakesFilesInDiscOrder) {
  Have({"video_ts.ifo", "video_ts.vob", "video_ts.bup", "vts_01_0.ifo", "vts_01_0.vob", "vts_01_1.vob",
        "vts_01_2.vob", "vts_01_0.bup", "vts_02_0.ifo", "vts_02_1.vob", "vts_02_0.bup", "vts_04_0.ifo"});
  EXPECT_EQ(kVideoTsListOk, Build());
  // Title set 4 is never reached: 3 has no information file.
  EXPECT_EQ((std::vector<std::string>{"video_ts.ifo", "video_ts.vob", "video_ts.bup", "vts_01_0.ifo",
                                      "vts_01_0.vob", "vts_01_1.vob", "vts_01_2.vob", "vts_01_0.bup",
                                      "vts_02_0.ifo", "vts_02_1.vob", "vts_02_0.bup"}),
            Names());
  EXPECT_EQ("", message);
}

TEST_F(VideoTsList, OptionalFilesMayBeMissing) {
  // No video_ts.vob, no menu VOB, and a title set without backup ends the list.
  Have({"video_ts.ifo", "video_ts.bup", "vts_01_0.ifo", "vts_01_1.vob", "vts_02_0.ifo", "vts_02_1.vob"});
  EXPECT_EQ(kVideoTsListOk, Build());
  EXPECT_EQ((std::vector<std::string>{"video_ts.ifo", "video_ts.bup", "vts_01_0.ifo", "vts_01_1.vob"}), Names());
}

TEST_F(VideoTsList, RequiredFilesMissing) {
  struct Case {
    std::vector<const char*> have;
    const char* missing;
  } cases[] = {
      {{}, "video_ts.ifo"},  // an empty folder: the caller tries its VIDEO_TS folder next
      {{"video_ts.ifo"}, "video_ts.bup"},
      {{"video_ts.ifo", "video_ts.bup", "vts_01_0.ifo", "vts_01_0.vob", "vts_01_2.vob"}, "vts_01_1.vob"},
  };
  for (const Case& c : cases) {
    files.sizes.clear();
    tree.added.clear();
    for (const char* name : c.have) Have({name});
    EXPECT_EQ(kVideoTsListMissing, Build()) << c.missing;
    EXPECT_EQ(std::string("Could not find file ") + kDir + c.missing, message);
  }
}

TEST_F(VideoTsList, RefusedFileOrFoldersFail) {
  Have({"video_ts.ifo", "video_ts.vob", "video_ts.bup"});
  tree.refuse = std::string(kDir) + "video_ts.vob";
  EXPECT_EQ(kVideoTsListMissing, Build());
  EXPECT_EQ(std::string("Could not find file ") + tree.refuse, message);
  tree.refuse.clear();
  tree.foldersOk = false;
  EXPECT_EQ(kVideoTsListMissing, Build());
}

TEST_F(VideoTsList, TooLargeForOneDisc) {
  const int64_t sector = 2048;
  Have({"video_ts.ifo", "video_ts.bup", "vts_01_0.ifo", "vts_01_0.bup"}, sector);
  // Four sectors of information files, then parts up to exactly the disc.
  files.sizes[std::string(kDir) + "vts_01_1.vob"] = (kDvdDiscSectors - 4) * sector;
  EXPECT_EQ(kVideoTsListOk, Build());
  // One sector more is refused.
  files.sizes[std::string(kDir) + "vts_01_2.vob"] = sector;
  EXPECT_EQ(kVideoTsListTooLarge, Build());
  EXPECT_EQ("DVD source is too large to fit on one disc.\r\n", message);
}

}  // namespace
