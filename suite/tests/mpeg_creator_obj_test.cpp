// CMPEGCreatorObj under Wine as the programs use it: the control created
// in place of a dialog template's placeholder and bound by DDX_Control (the
// job dialogs' 1069), or created with Create (the list window's 1070); its
// events through the dialog's event sink map. The control is the stand-in
// MPEGCreator.dll, registered by the test as the suite's installer would.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_source.h"
#include "suite/mpeg_creator_obj.h"
#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "discimage/base/vcd_messages.h"
#include "mfc/mfc.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/include/convctl.h"
#include "testing/gui/gui_test.h"

using namespace test_support;

namespace {

enum { kJobControl = 1069, kListControl = 1070 };

std::string Mpeg(const std::string& name) { return FixturePath(name); }
std::string Own(const std::string& name) { return FixtureIn("QUORBEL_CONVCTL_FIXTURES", name); }
std::string OutputFolder() {
  std::string dir = FolderFromEnvironment("QUORBEL_CONVCTL_OUT");
  if (!dir.empty()) return dir + "\\";
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  return std::string(cwd) + "\\";
}

// ffprobe's duration of a fixture, from what the fixture scripts saved.
double FfprobeDuration(const std::string& name) {
  std::string flat = ReadText(Mpeg(name + ".ffprobe"));
  size_t at = flat.find("format.duration=\"");
  if (at != std::string::npos) return atof(flat.c_str() + at + 17);
  std::string own = ReadText(Own(name + ".duration"));
  return own.empty() ? -1 : atof(own.c_str());
}

// The job dialog's shape: the control as a placeholder, bound by
// DDX_Control, its events in the event sink map.
class ConversionDialog : public CDialog {
public:
  CMPEGCreatorObj conv;
  int started = 0;
  int finished = 0;
  std::vector<std::string> statuses;
  std::vector<std::string> errors;
  std::vector<long> errorCodes;
  bool stopOnEvents = true;  // as the job dialogs do on finish and error

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kJobControl, conv);
  }

  void OnStarted() { ++started; }
  void OnFinished() {
    ++finished;
    if (stopOnEvents) conv.Stop();
  }
  void OnStatus(long, LPCTSTR text) { statuses.push_back(text); }
  void OnError(long code, LPCTSTR text) {
    errors.push_back(text);
    errorCodes.push_back(code);
    if (stopOnEvents) conv.Stop();
  }

  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(ConversionDialog, CDialog)
  ON_EVENT(ConversionDialog, kJobControl, 1, OnStarted, VTS_NONE)
  ON_EVENT(ConversionDialog, kJobControl, 2, OnFinished, VTS_NONE)
  ON_EVENT(ConversionDialog, kJobControl, 3, OnStatus, VTS_I4 VTS_BSTR)
  ON_EVENT(ConversionDialog, kJobControl, 4, OnError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

guitest::DialogTemplate JobTemplate() {
  guitest::DialogTemplate t("Conversion host", 10, 10, 160, 60);
  t.Add("STATIC", kJobControl, CONVERSION_CONTROL_CLSID_TEXT, 5, 5, 20, 10, SS_LEFT)
      .Button(IDCANCEL, "Cancel", 100, 40, 50, 14);
  return t;
}

// The settings of one item, in the order the job dialogs make them.
struct Item {
  std::string input;
  long profile;
  double start, stop;
  std::string output;  // X ".mpg"
};

void StartItem(CMPEGCreatorObj& conv, const Item& item) {
  conv.Stop();
  conv.SetInputFile(item.input.c_str());
  conv.SetProfile(item.profile);
  conv.SetFlag26(FALSE);
  conv.SetFlag18(FALSE);
  conv.SetFlag16(FALSE);
  conv.SetFlag2(FALSE);
  if (item.profile == 6 || item.profile == 7) {
    conv.SetAudioBitRate(224);
    conv.SetVideoBitRate(6000);
  }
  conv.SetStartTime(item.start);
  conv.SetStopTime(item.stop);
  conv.SetOutputFile(item.output.c_str());
  conv.Start();
}

std::string Stream(const std::string& output, const char* kind) {
  return output.substr(0, output.size() - 4) + kind;
}

class ConversionControlTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    // Trace into the test's folder; the control reads the switch once.
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    SetEnvironmentVariableA("QUORBEL_TRACE_DIR", cwd);
    DeleteFileA((std::string(cwd) + "\\MPEGCreator.trace").c_str());
    // Registered as an installer would, from where it was built.
    ASSERT_TRUE(program_test::RegisterConversionControl(HostPath(QUORBEL_CONVCTL_DLL)));
  }

  void SetUp() override {
    guitest::InitCommonControlsOnce();
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
    ASSERT_TRUE(dlg_.CreateIndirect(t_.Get()));
    dlg_.ShowWindow(SW_SHOWNA);
    ASSERT_NE(nullptr, dlg_.conv.GetSafeHwnd()) << "the placeholder became the control";
  }
  void TearDown() override {
    guitest::CancelPending();
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
    if (dlg_.GetSafeHwnd() != NULL) dlg_.DestroyWindow();
  }

  bool WaitForEnd(DWORD ms = 20000) {
    return guitest::PumpUntil([&] { return dlg_.finished > 0 || !dlg_.errors.empty(); }, ms);
  }

  guitest::DialogTemplate t_ = JobTemplate();
  ConversionDialog dlg_;
};

TEST_F(ConversionControlTest, PlaceholderBecomesTheControlInItsPlace) {
  HWND control = dlg_.GetDlgItem(kJobControl)->GetSafeHwnd();
  EXPECT_EQ(dlg_.conv.GetSafeHwnd(), control);
  char cls[64] = "";
  GetClassNameA(control, cls, sizeof cls);
  EXPECT_STRNE("Static", cls);
  EXPECT_NE(nullptr, dlg_.conv.GetControlUnknown());
  EXPECT_EQ(&dlg_.conv, CWnd::FromHandlePermanent(control));
  RECT r;
  GetWindowRect(control, &r);
  EXPECT_GT(r.right - r.left, 0);
  EXPECT_EQ(dlg_.m_hWnd, GetParent(control));
}

// GetFileInfo as the list windows probe: duration as ffprobe has it and
// both flags for what can be converted; failure flags for the rest.
TEST_F(ConversionControlTest, GetFileInfoProbesRealFiles) {
  if (FixturesDir().empty() || Own("x").empty()) GTEST_SKIP() << "fixture folders not set";
  struct Case {
    std::string path;
    double ffprobe;  // < 0: no duration expected
    BOOL video, audio;
  } cases[] = {
      {Mpeg("pal-vcd.mpg"), FfprobeDuration("pal-vcd.mpg"), TRUE, TRUE},
      {Mpeg("ntsc-svcd.mpg"), FfprobeDuration("ntsc-svcd.mpg"), TRUE, TRUE},
      {Own("pal-dvd.mpg"), FfprobeDuration("pal-dvd.mpg"), TRUE, TRUE},
      {Own("ntsc-dvd.mpg"), FfprobeDuration("ntsc-dvd.mpg"), TRUE, TRUE},
      {Own("sample.avi"), 1.0, TRUE, TRUE},
      {Own("phone.mp4"), 4.0, TRUE, TRUE},
      {Own("clip.mkv"), 4.0, TRUE, TRUE},
      {Own("clip.wmv"), 2.0, TRUE, TRUE},
      {Own("lpcm-dvd.mpg"), 3.0, TRUE, TRUE},
      {Own("video-only.mpg"), 3.0, TRUE, FALSE},
      {Own("video-only.mp4"), -1, FALSE, FALSE},
      {Own("truncated.mp4"), -1, FALSE, FALSE},
      {Own("empty.mp4"), -1, FALSE, FALSE},
      {OutputFolder() + "no-such-file.mpg", -1, FALSE, FALSE},
  };
  for (const Case& c : cases) {
    double value = -1, duration = -1;
    BOOL flagA = 7, flagB = 7;
    long l1 = -1, l2 = -1, l3 = -1;
    BSTR text = SysAllocString(L"before");  // the caller's string, replaced by the control
    dlg_.conv.GetFileInfo(c.path.c_str(), &value, &duration, &flagA, &flagB, &l1, &l2, &l3, &text);
    EXPECT_EQ(S_OK, AfxGetLastControlResult()) << c.path;
    EXPECT_EQ(c.video, flagA) << c.path;
    EXPECT_EQ(c.audio, flagB) << c.path;
    if (c.ffprobe > 0) {
      EXPECT_NEAR(c.ffprobe, duration, 0.1) << c.path;
    } else {
      EXPECT_EQ(0, duration) << c.path;
    }
    ASSERT_NE(nullptr, text);
    EXPECT_STRNE(L"before", text);
    SysFreeString(text);
  }
}

// The list window's control: created with Create, hidden, probing.
TEST_F(ConversionControlTest, CreatedControlProbesToo) {
  if (FixturesDir().empty()) GTEST_SKIP();
  CMPEGCreatorObj probe;
  RECT rect = {0, 0, 10, 10};
  ASSERT_TRUE(probe.Create(NULL, WS_CHILD, rect, &dlg_, kListControl));
  EXPECT_FALSE(IsWindowVisible(probe.GetSafeHwnd()));
  EXPECT_EQ(kListControl, probe.GetDlgCtrlID());
  double value = 0, duration = 0;
  BOOL flagA = FALSE, flagB = FALSE;
  long l1 = 0, l2 = 0, l3 = 0;
  BSTR text = SysAllocString(L"");
  probe.GetFileInfo(Mpeg("pal-vcd.mpg").c_str(), &value, &duration, &flagA, &flagB, &l1, &l2, &l3, &text);
  SysFreeString(text);
  EXPECT_TRUE(flagA && flagB);
  EXPECT_NEAR(FfprobeDuration("pal-vcd.mpg"), duration, 0.1);
  EXPECT_EQ(352, l1);
  EXPECT_EQ(288, l2);
  // Properties read back through the same ids.
  probe.SetInputFile("C:\\some\\file.avi");
  EXPECT_STREQ("C:\\some\\file.avi", probe.GetInputFile());
}

// A wrapper not bound to any control: calls fail quietly and refuse files.
TEST_F(ConversionControlTest, UnboundWrapperRefusesEverything) {
  CMPEGCreatorObj nothing;
  double value = 5, duration = 5;
  BOOL flagA = TRUE, flagB = TRUE;
  long l1 = 1, l2 = 1, l3 = 1;
  BSTR text = NULL;
  nothing.GetFileInfo("C:\\x.mpg", &value, &duration, &flagA, &flagB, &l1, &l2, &l3, &text);
  EXPECT_FALSE(SUCCEEDED(AfxGetLastControlResult()));
  EXPECT_FALSE(flagA);
  EXPECT_FALSE(flagB);
  EXPECT_EQ(0, duration);
  EXPECT_EQ(0, nothing.GetPosition());
  EXPECT_FALSE(nothing.Start());
  nothing.Stop();
}

struct ClipCase {
  const char* name;
  bool own;
  long profile;
  bool remux;     // the muxTools stand-in takes the streams
  int muxFormat;  // 1 VCD, 4 SVCD, 8 DVD
  bool copied;    // a program stream that fits is cut, not transcoded
  bool ac3;       // the sound is AC-3, which a DVD carries in private stream 1
};

// The substream number of the first private stream 1 packet's payload
// (0x80-0x87 for AC-3), or -1 when the file has none.
int FirstPrivateStream1Substream(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == NULL) return -1;
  std::vector<unsigned char> data(1 << 20);
  size_t n = fread(data.data(), 1, data.size(), f);
  fclose(f);
  for (size_t i = 0; i + 9 < n; ++i) {
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1 || data[i + 3] != 0xBD) continue;
    size_t payload = i + 9 + data[i + 8];  // after the MPEG-2 PES header's own data
    return payload < n ? data[payload] : -1;
  }
  return -1;
}

class ClipConversion : public ConversionControlTest, public ::testing::WithParamInterface<ClipCase> {};

// A clip of 1.0-2.5 s: the events in order, progress that only rises and
// ends at the total, both streams written; muxTools joins them into what
// the image builder's scanner accepts. ffprobe reads the files afterwards.
TEST_P(ClipConversion, WritesBothStreamsOfTheClip) {
  const ClipCase& c = GetParam();
  std::string input = c.own ? Own(c.name) : Mpeg(c.name);
  if (input.empty() || FixturesDir().empty()) GTEST_SKIP() << "fixture folders not set";
  // pal-vcd.mpg gives pal-vcd, clip.avi clip-avi.
  std::string stem = c.name;
  if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".mpg") == 0) stem.resize(stem.size() - 4);
  else stem[stem.rfind('.')] = '-';
  Item item = {input, c.profile, 1.0, 2.5, OutputFolder() + stem + "_clip.mpg"};
  std::string video = Stream(item.output, "_vid.mpg"), audio = Stream(item.output, "_aud.mpg");
  DeleteFileA(video.c_str());
  DeleteFileA(audio.c_str());
  // Slow enough to watch the progress move.
  SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", "20");
  StartItem(dlg_.conv, item);
  std::vector<double> positions;
  double total = 0;
  ASSERT_TRUE(guitest::PumpUntil(
      [&] {
        positions.push_back(dlg_.conv.GetPosition());
        total = dlg_.conv.GetTotalTime();
        return dlg_.finished > 0 || !dlg_.errors.empty();
      },
      20000));
  ASSERT_TRUE(dlg_.errors.empty()) << dlg_.errors[0];
  EXPECT_EQ(1, dlg_.finished);
  EXPECT_EQ(1, dlg_.started);
  ASSERT_FALSE(dlg_.statuses.empty());
  EXPECT_EQ(c.copied, dlg_.statuses[0].find("not transcoded") != std::string::npos) << dlg_.statuses[0];
  EXPECT_NEAR(1.5, total, 1e-9);
  for (size_t i = 1; i < positions.size(); ++i) ASSERT_GE(positions[i], positions[i - 1]) << i;
  EXPECT_GT(positions.size(), 2u);
  EXPECT_DOUBLE_EQ(total, dlg_.conv.GetPosition()) << "the position ends at the total";
  EXPECT_EQ(input, std::string(dlg_.conv.GetInputFile()));
  EXPECT_GT(FileSize(video), 0);
  EXPECT_GT(FileSize(audio), 0);
  EXPECT_EQ(-1, FileSize(item.output)) << "the control writes only the two streams";
  if (!c.remux) return;

  ASSERT_EQ(kMplexLoaded, LoadMplexLibrary(HostPath(QUORBEL_MUXTOOLS_DLL).c_str()));
  std::string muxed = OutputFolder() + stem + "_mux.mpg";
  DeleteFileA(muxed.c_str());
  ASSERT_EQ(kMuxResultOk, CallMplex(c.muxFormat, video.c_str(), audio.c_str(), muxed.c_str()));
  FreeMplexLibrary();
  CVcdMessageSink sink;
  sink.SetLevel(kVcdLevelQuiet);
  CVcdMpegSource source(&sink, muxed.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, muxed.c_str()));
  const MpegStreamInfo* info = source.GetStreamInfo();
  EXPECT_TRUE(info->video[0].seen);
  if (c.ac3) {
    // The image builder reads MPEG sound only: a DVD's AC-3 is looked for
    // where the multiplexer puts it.
    EXPECT_EQ(0x80, FirstPrivateStream1Substream(muxed));
  } else {
    EXPECT_TRUE(info->audio[0].seen);
  }
  EXPECT_NEAR(1.8, info->playingTime, 0.7);
}

INSTANTIATE_TEST_SUITE_P(Sources, ClipConversion,
                         ::testing::Values(ClipCase{"pal-vcd.mpg", false, 2, true, 1, true, false},
                                           ClipCase{"pal-dvd.mpg", true, 7, false, 8, true, true},
                                           ClipCase{"pal-dvd-mp2.mpg", true, 7, true, 8, true, false},
                                           ClipCase{"phone.mp4", true, 2, true, 1, false, false},
                                           ClipCase{"clip.avi", true, 5, true, 4, false, false},
                                           ClipCase{"clip.mkv", true, 7, true, 8, false, true}),
                         [](const ::testing::TestParamInfo<ClipCase>& info) {
                           std::string out;
                           for (const char* p = info.param.name; *p; ++p)
                             if (isalnum(static_cast<unsigned char>(*p))) out += *p;
                           return out;
                         });

// Stop while converting: no finished event, no streams left; Stop when
// idle changes nothing; the next item converts as usual.
TEST_F(ConversionControlTest, StopEndsAConversionWithoutClaimingIt) {
  std::string input = Mpeg("pal-vcd.mpg");
  if (FixturesDir().empty()) GTEST_SKIP();
  dlg_.conv.Stop();  // idle: harmless
  EXPECT_EQ(0, dlg_.conv.GetPosition());
  Item item = {input, 2, 0, 3.2, OutputFolder() + "stopped.mpg"};
  std::string video = Stream(item.output, "_vid.mpg"), audio = Stream(item.output, "_aud.mpg");
  SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", "200");
  StartItem(dlg_.conv, item);
  ASSERT_TRUE(guitest::PumpUntil([&] { return dlg_.started > 0; }, 5000));
  dlg_.conv.Stop();
  guitest::PumpFor(1500);
  EXPECT_EQ(0, dlg_.finished);
  EXPECT_TRUE(dlg_.errors.empty());
  EXPECT_EQ(-1, FileSize(video));
  EXPECT_EQ(-1, FileSize(audio));
  dlg_.conv.Stop();
  dlg_.conv.Stop();
  guitest::PumpFor(200);
  EXPECT_EQ(0, dlg_.finished);

  SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
  StartItem(dlg_.conv, item);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(1, dlg_.finished);
  EXPECT_GT(FileSize(video), 0);
  EXPECT_GT(FileSize(audio), 0);
}

// What cannot be converted gets the error event with the reason, never a
// finished one, and leaves no stream behind.
TEST_F(ConversionControlTest, UnconvertibleSourcesGetTheErrorEvent) {
  if (FixturesDir().empty() || Own("x").empty()) GTEST_SKIP();
  struct Case {
    std::string input;
    long profile;
    const char* says;
  } cases[] = {
      {Own("video-only.mpg"), 2, "no audio"},
      {Own("video-only.mp4"), 7, "no audio"},
      {Own("audio-only.mp4"), 7, "no video"},
      {Own("truncated.mp4"), 2, "no video file"},
      {Own("corrupt.mp4"), 2, "no video file"},
      {Own("empty.mp4"), 5, "no video file"},
      {Own("truncated.avi"), 7, "cut short"},
      {Mpeg("pal-vcd.mpg"), 3, "Unknown profile"},
      {OutputFolder() + "no-such-file.mpg", 2, "cannot be opened"},
  };
  for (const Case& c : cases) {
    dlg_.errors.clear();
    dlg_.finished = 0;
    Item item = {c.input, c.profile, 0, 0, OutputFolder() + "refused.mpg"};
    StartItem(dlg_.conv, item);
    ASSERT_TRUE(WaitForEnd(20000)) << c.input;
    ASSERT_EQ(1u, dlg_.errors.size()) << c.input;
    EXPECT_NE(std::string::npos, dlg_.errors[0].find(c.says)) << dlg_.errors[0];
    guitest::PumpFor(100);
    EXPECT_EQ(0, dlg_.finished) << c.input;
    EXPECT_EQ(-1, FileSize(Stream(item.output, "_vid.mpg"))) << c.input;
    EXPECT_EQ(-1, FileSize(Stream(item.output, "_aud.mpg"))) << c.input;
  }
}

// Sources that cannot be cut as they are - another container, codec,
// picture or audio - are converted to the profile's streams.
TEST_F(ConversionControlTest, OtherSourcesAreConvertedForTheProfile) {
  if (FixturesDir().empty() || Own("x").empty()) GTEST_SKIP();
  struct Case {
    std::string input;
    long profile;
    const char* status;
  } cases[] = {
      {Own("sample.avi"), 2, "MPEG-1 video 352x288 25.00 fps, MPEG audio 44100 Hz"},
      {Mpeg("pal-vcd.mpg"), 7, "MPEG-2 video 720x576 25.00 fps, AC-3 audio 48000 Hz"},  // MPEG-1 for a DVD
      {Own("pal-dvd.mpg"), 2, "MPEG-1 video 352x288"},                                 // MPEG-2 for a VCD
      {Own("pal-dvd.mpg"), 5, "MPEG-2 video 480x576"},                                 // AC-3 for an SVCD
      {Own("lpcm-dvd.mpg"), 7, "MPEG-2 video 720x576"},
      {Mpeg("pal-svcd.mpg"), 7, "MPEG-2 video 720x576"},                               // an SVCD picture
      {Own("clip.wmv"), 1, "MPEG-1 video 352x240 29.97 fps"},
  };
  for (const Case& c : cases) {
    dlg_.errors.clear();
    dlg_.statuses.clear();
    dlg_.finished = 0;
    Item item = {c.input, c.profile, 0, 0, OutputFolder() + "converted.mpg"};
    StartItem(dlg_.conv, item);
    ASSERT_TRUE(WaitForEnd(60000)) << c.input;
    ASSERT_TRUE(dlg_.errors.empty()) << c.input << ": " << dlg_.errors[0];
    EXPECT_EQ(1, dlg_.finished) << c.input;
    ASSERT_FALSE(dlg_.statuses.empty());
    EXPECT_NE(std::string::npos, dlg_.statuses.back().find(c.status)) << dlg_.statuses.back();
    EXPECT_GT(FileSize(Stream(item.output, "_vid.mpg")), 0) << c.input;
    EXPECT_GT(FileSize(Stream(item.output, "_aud.mpg")), 0) << c.input;
  }
}

// The dialog goes while the control converts: the run ends with it.
TEST_F(ConversionControlTest, ClosingTheDialogEndsTheConversion) {
  if (FixturesDir().empty()) GTEST_SKIP();
  Item item = {Mpeg("pal-vcd.mpg"), 2, 0, 3.2, OutputFolder() + "closed.mpg"};
  SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", "200");
  StartItem(dlg_.conv, item);
  ASSERT_TRUE(guitest::PumpUntil([&] { return dlg_.started > 0; }, 5000));
  dlg_.DestroyWindow();
  EXPECT_EQ(nullptr, dlg_.conv.GetSafeHwnd());
  guitest::PumpFor(500);
  EXPECT_EQ(0, dlg_.finished);
  EXPECT_EQ(-1, FileSize(Stream(item.output, "_vid.mpg")));
}

TEST_F(ConversionControlTest, TraceHasOneLinePerCall) {
  dlg_.conv.SetProfile(5);
  dlg_.conv.SetStartTime(1.5);
  dlg_.conv.Stop();
  char cwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string trace = ReadText(std::string(cwd) + "\\MPEGCreator.trace");
  EXPECT_NE(std::string::npos, trace.find("DllRegisterServer")) << trace;
  EXPECT_NE(std::string::npos, trace.find("Advise")) << trace;
  EXPECT_NE(std::string::npos, trace.find("put 14 = 5")) << trace;
  EXPECT_NE(std::string::npos, trace.find("put 22 = 1.500")) << trace;
}

}  // namespace
