// DVDAuthorDLL.dll through the programs' call layer, reporting to a real
// window: streams joined by muxTools are authored into VIDEO_TS while the
// window's thread keeps running; the codes arrive in their order (VOB
// percent, image percent, finished, image made), or code 0 alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standins/calls/dvdauthor_calls.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/tests/es_fixtures.h"
#include "standins/tests/video_ts_check.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

using namespace standin_test;

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_reports;

LRESULT CALLBACK ReportWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAuthorDvdMessage) {
    g_reports.push_back(std::make_pair(wParam, lParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool Ended() {
  for (const auto& report : g_reports)
    if (report.first == kAuthorImageMade || report.first == kAuthorFailed) return true;
  return false;
}

class AuthorDvdWindow : public ::testing::Test {
protected:
  void SetUp() override {
    window = guitest::CreateReceiverWindow("StandinAuthorReports", ReportWindow);
    ASSERT_NE(nullptr, window);
    g_reports.clear();
    ASSERT_TRUE(DvdAuthor().IsLoaded()) << "DVDAuthorDLL.dll beside the test";
  }
  void TearDown() override { DestroyWindow(window); }

  // A program stream made by the multiplexer library, as a job makes it.
  std::string Multiplexed(const char* name, int format) {
    if (MplexEntry() == nullptr) {
      EXPECT_EQ(kMplexLoaded, LoadMplexLibrary());
    }
    std::string output = CurrentFolder() + name + (format == kMuxFormatDvd ? "-dvd.mpg" : "-cd.mpg");
    std::string video = EsFixturePath(std::string(name) + (format == kMuxFormatDvd ? ".m2v" : ".m1v"));
    EXPECT_EQ(kMuxResultOk, CallMplex(format, video.c_str(), EsFixturePath(std::string(name) + ".mp2").c_str(),
                                      output.c_str()));
    return output;
  }

  HWND window = NULL;
};

TEST_F(AuthorDvdWindow, PostsItsCodesToTheWindowInOrder) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  std::string disc = CurrentFolder() + "My DVD\\";
  DvdAuthorCall& author = DvdAuthor();
  author.SetWindow(window);
  author.ClearFiles();
  author.AddFile(Multiplexed("dvd-pal", kMuxFormatDvd));
  author.AddFile(Multiplexed("dvd-pal", kMuxFormatDvd));
  author.SetOutputFolder(disc);
  author.SetVideoOptions(1, 0, 1);
  ASSERT_EQ(0, author.Run());
  ASSERT_TRUE(WaitFor(Ended, 60000));
  ASSERT_GE(g_reports.size(), 4u);
  // 1..., 2..., 3, 6
  size_t n = 0;
  while (n < g_reports.size() && g_reports[n].first == kAuthorVobPercent) ++n;
  EXPECT_GT(n, 0u) << "VOB building percent first";
  EXPECT_EQ(100, g_reports[n - 1].second);
  size_t images = 0;
  while (n < g_reports.size() && g_reports[n].first == kAuthorImagePercent) ++n, ++images;
  EXPECT_GT(images, 0u);
  ASSERT_EQ(n + 2, g_reports.size());
  EXPECT_EQ(static_cast<WPARAM>(kAuthorFinished), g_reports[n].first);
  EXPECT_EQ(static_cast<WPARAM>(kAuthorImageMade), g_reports[n + 1].first);
  for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB", "VTS_01_0.BUP"})
    EXPECT_FALSE(ReadBytes(disc + "VIDEO_TS\\" + name).empty()) << name;
  EXPECT_EQ("", CheckVideoTs(disc, "dll-two-chapters", 2, 6.0));
}

TEST_F(AuthorDvdWindow, FailureIsCodeZeroAlone) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  DvdAuthorCall& author = DvdAuthor();
  author.SetWindow(window);
  author.ClearFiles();
  author.AddFile(Multiplexed("vcd-pal", kMuxFormatVcd));  // VideoCD packs
  author.SetOutputFolder(CurrentFolder() + "Not A DVD\\");
  ASSERT_EQ(0, author.Run());
  ASSERT_TRUE(WaitFor(Ended, 60000));
  ASSERT_EQ(1u, g_reports.size());
  EXPECT_EQ(static_cast<WPARAM>(kAuthorFailed), g_reports[0].first);
}

TEST_F(AuthorDvdWindow, AnUnusableBlockIsRefusedAtOnce) {
  DvdAuthorCall& author = DvdAuthor();
  author.SetWindow(window);
  author.ClearFiles();
  author.SetOutputFolder(CurrentFolder());
  EXPECT_EQ(-1, author.Run());
  ASSERT_TRUE(WaitFor(Ended, 5000));
  EXPECT_EQ(static_cast<WPARAM>(kAuthorFailed), g_reports[0].first);
  DvdAuthorCall missing;
  EXPECT_FALSE(missing.Load("no-such-library"));
  EXPECT_EQ(-1, missing.Run());
}

}  // namespace
