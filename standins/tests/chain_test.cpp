// The whole road of a job through the stand-ins with real data: ffmpeg's
// elementary streams joined by muxTools.dll; for a CD, the image builder
// makes a cue/bin of the joined files, CdScribe's video scanner accepts them
// and CdScribe burns the image; for a DVD, DVDAuthorDLL makes VIDEO_TS and
// DvdScribe writes it. Each disc folder ends up byte for byte what was made.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "discimage/run/build_vcd_image.h"
#include "discimage/xml/vcd_xml_names.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/calls/dvdauthor_calls.h"
#include "standins/calls/dvdscribe_calls.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/tests/es_fixtures.h"
#include "standins/tests/video_ts_check.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

using namespace standin_test;

namespace {

const char kDrives[] =
    "[drives]\r\nletters=EF\r\n"
    "[E]\r\nproduct=CD Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[F]\r\nproduct=DVD Writer\r\nwrites=cd,dvd\r\nmedium=DVD-R\r\nblank=1\r\n";

std::atomic<int> g_burnDone{0}, g_scanDone{0}, g_notCompatible{-1};
std::string g_burnText;
int g_authorCode = -1;

int32_t OUTSIDE_CALL OnBurnDone(const char* text, void*) {
  g_burnText = text != nullptr ? text : "";
  g_burnDone++;
  return 0;
}
int32_t OUTSIDE_CALL OnScanDone(const char*, int32_t, int32_t notCompatible, int32_t, int32_t, int32_t, int32_t,
                                double, int32_t, int32_t, void*) {
  g_notCompatible = notCompatible;
  g_scanDone++;
  return 0;
}

LRESULT CALLBACK JobWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAuthorDvdMessage && (wParam == kAuthorImageMade || wParam == kAuthorFailed))
    g_authorCode = static_cast<int>(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

class Chain : public ::testing::Test {
protected:
  void SetUp() override {
    if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
    UseOwnDrives(kDrives);
    window = guitest::CreateReceiverWindow("StandinChainJob", JobWindow);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(kMplexLoaded, LoadMplexLibrary());
  }
  void TearDown() override {
    if (window != NULL) DestroyWindow(window);
  }
  std::string Mux(const char* name, int format, const char* suffix) {
    std::string output = CurrentFolder() + name + suffix;
    std::string video = EsFixturePath(std::string(name) + (format == kMuxFormatVcd ? ".m1v" : ".m2v"));
    EXPECT_EQ(kMuxResultOk, CallMplex(format, video.c_str(), EsFixturePath(std::string(name) + ".mp2").c_str(),
                                      output.c_str()));
    return output;
  }
  HWND window = NULL;
};

struct CdCase {
  const char* stream;
  int format;
  const char* cls;
  const char* version;
  int32_t project;
};

class CdChain : public Chain, public ::testing::WithParamInterface<CdCase> {};

TEST_P(CdChain, MultiplexBuildScanAndBurn) {
  const CdCase& c = GetParam();
  std::string first = Mux(c.stream, c.format, "-000.mpg");
  std::string second = Mux(c.stream, c.format, "-001.mpg");

  // The job's VideoCD project and image.
  std::string folder = CurrentFolder() + "My " + c.cls + "\\";
  CreateDirectoryA(folder.c_str(), NULL);
  std::string xml = std::string("<?xml version=\"1.0\"?>\n<!DOCTYPE videocd PUBLIC \"") + VCD_XML_PUBLIC_ID +
                    "\" \"" + VCD_XML_SYSTEM_ID + "\">\n<videocd xmlns=\"" VCD_XML_NAMESPACE "\" class=\"" + c.cls +
                    "\" version=\"" + c.version + "\">\n<info/><pvd><volume-id>MY DISC</volume-id></pvd>\n"
                    "<sequence-items><sequence-item src=\"" + first + "\" id=\"seq0\"/><sequence-item src=\"" +
                    second + "\" id=\"seq1\"/></sequence-items>\n</videocd>\n";
  ASSERT_TRUE(WriteText(CurrentFolder() + "vcd.xml", xml));
  VcdBuildParams params = {};
  snprintf(params.xmlPath, sizeof params.xmlPath, "%svcd.xml", CurrentFolder().c_str());
  snprintf(params.cuePath, sizeof params.cuePath, "%sVideoCD.cue", folder.c_str());
  snprintf(params.binPath, sizeof params.binPath, "%sVideoCD.bin", folder.c_str());
  params.progress = 1;
  volatile int cancel = 0;
  ASSERT_EQ(kVcdResultOk, BuildVcdImage(window, "msg_zrDiscImage", &params, &cancel));

  // The burner's scanner takes the joined files for this disc type.
  CdScribeCalls& cd = CdScribe();
  ASSERT_EQ(kCdOk, cd.Initialize(0, "chain", 1));
  cd.SetVideoScanDoneEventCallback(OnScanDone, nullptr);
  ASSERT_EQ(kCdOk, cd.CreateProject(c.project));
  CdScribeFile file = {};
  snprintf(file.path, sizeof file.path, "%s", first.c_str());
  file.scanVideo = 1;
  int scans = g_scanDone;
  ASSERT_EQ(kCdOk, cd.AddFile(file));
  ASSERT_TRUE(WaitFor([&] { return g_scanDone > scans; }));
  EXPECT_EQ(0, g_notCompatible.load());
  WaitFor([] { return CdScribe().DeleteProject() != kCdBusy; });

  // The creator's burn.
  ASSERT_EQ(kCdOk, cd.CreateProject(kCdProjectImage));
  cd.SetBurnDoneEventCallback(OnBurnDone, nullptr);
  ASSERT_EQ(kCdOk, cd.SetDevice('E'));
  CdScribeOptions options;
  ASSERT_EQ(kCdOk, cd.GetOptions(&options));
  snprintf(options.volumeLabel, sizeof options.volumeLabel, "My %s", c.cls);
  options.cacheBytes = 0x800000;
  options.ejectWhenDone = 1;
  ASSERT_EQ(kCdOk, cd.SetOptions(options));
  ASSERT_EQ(kCdOk, cd.ClearAll());
  CdScribeFile image = {};
  snprintf(image.path, sizeof image.path, "%s", params.cuePath);
  snprintf(image.destination, sizeof image.destination, "\\");
  image.kind = kCdFileImage;
  ASSERT_EQ(kCdOk, cd.AddFile(image));
  ASSERT_EQ(kCdOk, cd.Prepare());
  int burns = g_burnDone;
  ASSERT_EQ(kCdOk, cd.Burn());
  ASSERT_TRUE(WaitFor([&] { return g_burnDone > burns; }));
  EXPECT_EQ("", g_burnText);
  std::string disc = CurrentFolder() + "discs\\E\\";
  Bytes bin = ReadBytes(params.binPath);
  EXPECT_GT(bin.size(), 0u);
  EXPECT_EQ(0u, bin.size() % 2352);
  EXPECT_TRUE(bin == ReadBytes(disc + "VideoCD.bin")) << "the disc holds the image as built";
  EXPECT_TRUE(ReadBytes(params.cuePath) == ReadBytes(disc + "VideoCD.cue"));
}

INSTANTIATE_TEST_SUITE_P(Discs, CdChain,
                         ::testing::Values(CdCase{"vcd-pal", kMuxFormatVcd, "vcd", "2.0", kCdProjectVcd},
                                           CdCase{"svcd-pal", kMuxFormatSvcd, "svcd", "1.0", kCdProjectSvcd}),
                         [](const auto& info) { return std::string(info.param.cls); });

int32_t OUTSIDE_CALL OnDvdProgress(int32_t, void*, int64_t, int64_t) { return 0; }

TEST_F(Chain, DvdMultiplexAuthorAndWrite) {
  std::string disc = CurrentFolder() + "My DVD\\";
  DvdAuthorCall& author = DvdAuthor();
  author.SetWindow(window);
  author.ClearFiles();
  author.AddFile(Mux("dvd-ntsc", kMuxFormatDvd, "-000.mpg"));
  author.AddFile(Mux("dvd-ntsc", kMuxFormatDvd, "-001.mpg"));
  author.SetOutputFolder(disc);
  author.SetVideoOptions(0, 1, 0);
  g_authorCode = -1;
  ASSERT_EQ(0, author.Run());
  ASSERT_TRUE(WaitFor([] { return g_authorCode >= 0; }, 60000));
  ASSERT_EQ(kAuthorImageMade, g_authorCode);
  EXPECT_EQ("", CheckVideoTs(disc, "chain-ntsc", 2, 6.0));

  // The burn thread's tree of the disc folder, written to the DVD-R in F:.
  DvdScribeCalls& dvd = DvdScribe();
  DvdFault fault = {};
  ASSERT_EQ(kDvdExNone, dvd.StartUp(&fault, "chain", 1024));
  DvdTreeNode root = nullptr, videoTs = nullptr, audioTs = nullptr;
  ASSERT_EQ(kDvdExNone, dvd.TreeAddFolder(&fault, nullptr, "", &root));
  ASSERT_EQ(kDvdExNone, dvd.TreeAddFolder(&fault, root, "VIDEO_TS", &videoTs));
  ASSERT_EQ(kDvdExNone, dvd.TreeAddFolder(&fault, root, "AUDIO_TS", &audioTs));
  const char* names[] = {"video_ts.ifo", "video_ts.bup", "vts_01_0.ifo", "vts_01_1.vob", "vts_01_0.bup"};
  for (const char* name : names)
    ASSERT_EQ(kDvdExNone, dvd.TreeAddFile(&fault, videoTs, (disc + "VIDEO_TS\\" + name).c_str(), nullptr))
        << FormatDvdFault(fault);
  DvdUdfImage image = nullptr;
  ASSERT_EQ(kDvdExNone, dvd.CreateUdf(&fault, root, "MY DVD", &image));
  DvdDeviceAddress address = {8, 0, 0, 1, 0, {0, 0, 0}};
  DvdBurner burner = nullptr;
  ASSERT_EQ(kDvdExNone, dvd.Create(&fault, &burner, &address, OnDvdProgress, nullptr));
  ASSERT_EQ(kDvdExNone, dvd.TrackAtOnceFromTree(&fault, burner, image, 0)) << FormatDvdFault(fault);
  for (const char* name : names) {
    std::string upper = name;
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(ReadBytes(disc + "VIDEO_TS\\" + name) ==
                ReadBytes(CurrentFolder() + "discs\\F\\VIDEO_TS\\" + upper))
        << name;
  }
  dvd.Destroy(burner);
  dvd.FreeUdf(image);
  dvd.FreeTree(root);
  dvd.ShutDown();
}

}  // namespace
