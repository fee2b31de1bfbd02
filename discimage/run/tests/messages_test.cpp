// The message layer: levels against the verbosity, the texts' final line
// feed, stream prefixes, the line clearing after progress lines, and the
// progress records and texts.
#include <gtest/gtest.h>

#include <string>

#include "discimage/tests/capture_window.h"
#include "discimage/base/vcd_messages.h"

namespace {

struct LevelCase {
  int verbosity;  // block value
  int level;      // message level sent
  bool shown;
};

class LevelVerbosity : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelVerbosity, TextReachesWindowOnlyWhenLevelShown) {
  const LevelCase& c = GetParam();
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  sink.SetLevel(VcdLevelFromVerbosity(c.verbosity));
  sink.Send(c.level, "text %d", 1);
  if (c.shown) {
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].wParam, static_cast<uintptr_t>(c.level));
    EXPECT_EQ(window.messages[0].text, "text 1\n");
  } else {
    EXPECT_TRUE(window.messages.empty());
  }
}

// Verbosity 1 debug, 2 quiet, anything else normal; levels 5 and 0 are
// never shown.
INSTANTIATE_TEST_SUITE_P(
    Table, LevelVerbosity,
    ::testing::Values(LevelCase{1, kVcdMsgDebug, true}, LevelCase{1, kVcdMsgInfo, true},
                      LevelCase{1, kVcdMsgWarning, true}, LevelCase{1, kVcdMsgError, true},
                      LevelCase{0, kVcdMsgDebug, false}, LevelCase{0, kVcdMsgInfo, true},
                      LevelCase{0, kVcdMsgWarning, true}, LevelCase{7, kVcdMsgDebug, false},
                      LevelCase{7, kVcdMsgInfo, true}, LevelCase{2, kVcdMsgDebug, false},
                      LevelCase{2, kVcdMsgInfo, false}, LevelCase{2, kVcdMsgWarning, true},
                      LevelCase{2, kVcdMsgError, true}, LevelCase{2, kVcdMsgProgress, true},
                      LevelCase{2, kVcdMsgPlain, true}, LevelCase{1, 5, false},
                      LevelCase{1, 0, false}, LevelCase{1, 8, false}));

TEST(MessageText, LineFeedAppendedUnlessTextEndsInCrOrLf) {
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  sink.Info("one");
  sink.Info("two\n");
  sink.Info("three\r");
  sink.Info("%s", "");  // nothing to say: nothing sent
  EXPECT_EQ(window.Texts(), (std::vector<std::string>{"one\n", "two\n", "three\r"}));
}

TEST(MessageText, FormattedTextIsCutAt1023Characters) {
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  std::string longText(3000, 'x');
  sink.Warning("%s", longText.c_str());
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].text, std::string(1023, 'x') + "\n");
}

TEST(MessageStreams, PrefixesAndStreamsWithoutWindow) {
  ScratchStream out("messages_out.txt"), err("messages_err.txt");
  ASSERT_TRUE(out.get() && err.get());
  CVcdMessageSink sink;
  sink.SetOutputStreams(out.get(), err.get());
  sink.SetLevel(kVcdLevelDebug);
  sink.Debug("d");
  sink.Info("i");
  sink.Warning("w");
  sink.Error("e %d", 4);
  sink.ProgressText("p");
  sink.Send(kVcdMsgPlain, "plain");
  EXPECT_EQ(out.Contents(), "--DEBUG: d\n   INFO: i\n++ WARN: w\nPROGRES: p\nplain\n");
  EXPECT_EQ(err.Contents(), "**ERROR: e 4\n");
}

TEST(MessageStreams, PlainTextIsPrintedAsDataNotAsFormat) {
  ScratchStream out("plain_out.txt");
  CVcdMessageSink sink;
  sink.SetOutputStreams(out.get(), out.get());
  sink.SendText(kVcdMsgPlain, "100% %s %n done");
  sink.SendText(kVcdMsgInfo, "file%d.mpg");
  EXPECT_EQ(out.Contents(), "100% %s %n done\n   INFO: file%d.mpg\n");
}

TEST(MessageStreams, ProgressLineIsClearedBeforeTheNextText) {
  ScratchStream out("clear_out.txt");
  CVcdMessageSink sink;
  sink.SetOutputStreams(out.get(), out.get());
  sink.SetProgress(1);
  VcdScanState scan = {"C:\\media\\a.mpg", 3, 500, 1000};
  sink.ReportScanProgress(&scan);
  sink.ReportScanProgress(&scan);  // CR after CR: no clearing between them
  sink.Info("next");
  sink.Info("again");
  const std::string line = "PROGRES: #scan[a.mpg]: 500/1000 (50%)            \r";
  const std::string blank = std::string(77, ' ') + "\r";
  EXPECT_EQ(out.Contents(), line + line + blank + "   INFO: next\n   INFO: again\n");
}

TEST(MessageStreams, HiddenTextDoesNotClearTheProgressLine) {
  ScratchStream out("hidden_out.txt");
  CVcdMessageSink sink;
  sink.SetOutputStreams(out.get(), out.get());
  sink.SetProgress(1);
  VcdWriteState write = {"image.bin", 75, 300, 1, 2};
  sink.ReportWriteProgress(&write);
  sink.Debug("hidden at the normal level");
  EXPECT_EQ(out.Contents(), "PROGRES: #write[1/2]: 75/300 (25%)          \r");
}

TEST(MessageStreams, ScanTextNamesTheFilePartOfThePath) {
  struct Case {
    const char* name;
    const char* shown;
  } cases[] = {{"D:\\dir\\sub\\movie.mpg", "movie.mpg"},
               {"movie.mpg", "movie.mpg"},
               {"/home/u/movie.mpg", "movie.mpg"},
               {NULL, ""}};
  for (const Case& c : cases) {
    CVcdMessageSink sink;
    ScratchStream out("scan_name.txt");
    sink.SetOutputStreams(out.get(), out.get());
    sink.SetProgress(1);
    VcdScanState scan = {c.name, 0, 1, 3};
    sink.ReportScanProgress(&scan);
    EXPECT_EQ(out.Contents(), std::string("PROGRES: #scan[") + c.shown + "]: 1/3 (33%)            \r");
  }
}

TEST(MessageStreams, ScanTextShowsPositionsBeyond2GiB) {
  ScratchStream out("scan_big.txt");
  CVcdMessageSink sink;
  sink.SetOutputStreams(out.get(), out.get());
  sink.SetProgress(1);
  VcdScanState scan = {"big.mpg", 0, 3000000000LL, 6000000000LL};
  sink.ReportScanProgress(&scan);
  EXPECT_EQ(out.Contents(), "PROGRES: #scan[big.mpg]: 3000000000/6000000000 (50%)            \r");
}

TEST(ProgressRecords, NothingWhenProgressOffOrNoState) {
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  VcdScanState scan = {"a.mpg", 1, 1, 2};
  VcdWriteState write = {"b.bin", 1, 2, 1, 1};
  EXPECT_EQ(sink.ReportScanProgress(&scan), 0);
  EXPECT_EQ(sink.ReportWriteProgress(&write), 0);
  sink.SetProgress(1);
  EXPECT_EQ(sink.ReportScanProgress(NULL), 0);
  EXPECT_EQ(sink.ReportWriteProgress(NULL), 0);
  EXPECT_TRUE(window.messages.empty());
}

TEST(ProgressRecords, ScanRecordGivesTotalFirstAndPercentRoundedUp) {
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  sink.SetProgress(1);
  VcdScanState scan = {"C:\\a.mpg", 7, 1, 1000};
  sink.ReportScanProgress(&scan);
  ASSERT_EQ(window.messages.size(), 1u);
  const CapturedMessage& m = window.messages[0];
  EXPECT_EQ(m.wParam, static_cast<uintptr_t>(kVcdMsgProgress));
  EXPECT_TRUE(m.isRecord);
  EXPECT_EQ(ProgressFields::Of(m), (ProgressFields{kVcdPhaseScan, "C:\\a.mpg", 1, 1000, 1, 7, 0}));
}

TEST(ProgressRecords, WriteRecordGivesDoneFirst) {
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  sink.SetProgress(1);
  VcdWriteState write = {"videocd.bin", 150, 300, 2, 3};
  sink.ReportWriteProgress(&write);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(ProgressFields::Of(window.messages[0]),
            (ProgressFields{kVcdPhaseWrite, "videocd.bin", 50, 150, 300, 2, 3}));
}

TEST(ProgressRecords, PercentRoundsUpWithoutFloatingPointError) {
  struct Case {
    int64_t done, total;
    int percent;
  } cases[] = {{1, 1000, 1},   {0, 1000, 0},   {3, 100, 3},     {7, 100, 7},  {999, 1000, 100},
               {1000, 1000, 100}, {1, 3, 34},  {5, 0, 0},       {-1, 10, 0},
               {4000000000LL, 8000000000LL, 50}};
  for (const Case& c : cases)
    EXPECT_EQ(VcdPercentRoundedUp(c.done, c.total), c.percent) << c.done << "/" << c.total;
}

TEST(ProgressRecords, ClearingLineGoesToTheWindowAsPlainText) {
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  sink.ProgressText("step\r");
  sink.Info("done");
  ASSERT_EQ(window.messages.size(), 3u);
  EXPECT_EQ(window.messages[1].wParam, static_cast<uintptr_t>(kVcdMsgPlain));
  EXPECT_EQ(window.messages[1].text, std::string(77, ' ') + "\r");
  EXPECT_EQ(window.messages[2].text, "done\n");
}

TEST(MessageSink, CancelFlagIsReadThroughTheCallersInteger) {
  CVcdMessageSink sink;
  EXPECT_FALSE(sink.IsCancelled());
  volatile int cancel = 0;
  sink.SetCancelFlag(&cancel);
  EXPECT_FALSE(sink.IsCancelled());
  cancel = 1;
  EXPECT_TRUE(sink.IsCancelled());
}

}  // namespace
