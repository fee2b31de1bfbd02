// The front end and the runner up to the build: the block's message
// settings, the print-only modes with their exact texts, the missing XML
// path, libxml2's error routing, and the runner's results.
#include <gtest/gtest.h>

#include <libxml/parser.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_support.h"
#include "discimage/run/vcd_frontend.h"
#include "discimage/run/vcd_runner.h"

namespace fs = std::filesystem;

namespace {

const char kUsageText[] =
    "zrDiscBuild 6.0.7.10(win32)\n"
    " Usage:  ('[...]'=optional, '<...>'=required)\n"
    " zrdiscbuild [/?] | [-h] | [/help] | [/u] | [-usage]\n"
    " zrdiscbuild [-V] | [/version]\n"
    " zrdiscbuild </x <PATH>>  [-i tocimg | cuebin | nrg]  [/c <PATH>]\n"
    "      [-bin-file <PATH>]  [/sector-2336]  [-p]  [/gui]  [/v <1 | 2 | 3>]\n"
    "\n"
    " remark -- Only with 'cuebin'|'bincue' and 'tocimg'|'imgtoc' :\n"
    "   If the 'bin'-param has not been entered but the 'cue' has, the same\n"
    "   path-base for the 'bin'|'img-base' as with the 'cue'-param will be used.\n"
    "   eg.: if ((cue == \"D:\\IMG\\videocd.cue\") && (bin == NULL))\n"
    "          then the 'bin' will be for 'cuebin' \"D:\\IMG\\videocd.bin\"\n"
    "          or the 'img-base' will be for 'imgtoc' \"D:\\IMG\\videocd\"\n";

// After the two credit lines.
const char kHelpTail[] =
    "This program takes a XML to build a (S)VCD with ISO9660-2 characteristics.\n"
    "\n"
    "Usage: zrdiscbuild [OPTION...] (paramters should begin with '-' or '/')\n"
    " [x|XML]        <PATH>    specify xml-input file to use\n"
    " [i|image-type] <TYPE>    specify image type for output, possible values:\n"
    "                           'cuebin'|'bincue', 'tocimg'|'imgtoc', 'nrg'\n"
    "                           (default: 'cuebin').\n"
    " [c|cue-file]   <PATH>    specify file for output (default: '.\\videocd.cue')\n"
    "                           use this also for your 'toc'-file, ignored with NRG\n"
    " [b|bin-file]   <PATH>    specify file for output (default: '.\\videocd.bin')\n"
    "                           use this also for your 'img'-base and 'nrg'-file\n"
    " [s|sector-2336]          use 2336 byte sectors for output (ignored with 'nrg')\n"
    " [p|progress]             show progress\n"
    " [v|verbose]    [LEVEL]   be verbose '1'=Normal, '2'=Debug, '3'=Silent\n"
    "                           level 3 only shows critical messages and warnings\n"
    "                           (default: level 1)\n"
    " [g|gui]                  enable GUI mode\n"
    " [V|version]              display version and copyright information and exit\n"
    "Help options:\n"
    " [?|h|help]               Show this help message\n"
    " [u|usage]                Display brief usage message\n";

// A block with every field filled, pointing its outputs into folder.
VcdBuildParams FullBlock(const fs::path& folder) {
  VcdBuildParams params;
  memset(&params, 0, sizeof params);
  strcpy(params.xmlPath, (folder / "vcd.xml").string().c_str());
  strcpy(params.cuePath, (folder / "videocd.cue").string().c_str());
  strcpy(params.binPath, (folder / "videocd.bin").string().c_str());
  params.imageType = 0;
  params.sector2336 = 1;
  params.progress = 1;
  params.verbosity = 1;
  return params;
}

bool IsEmptyFolder(const fs::path& folder) { return fs::directory_iterator(folder) == fs::directory_iterator(); }

std::string RunPrintOnly(VcdBuildParams& params, int* result) {
  ScratchStream out("print_only.txt");
  CVcdFrontEnd frontEnd(&params);
  frontEnd.SetOutputStreams(out.get(), out.get());
  *result = frontEnd.Run();
  return out.Contents();
}

TEST(FrontEndPrintOnly, UsageModeExactTextAndNoFiles) {
  fs::path folder = test_support::FreshFolder(fs::current_path() / "usage_mode");
  VcdBuildParams params = FullBlock(folder);
  params.usageMode = 1;
  int result = -5;
  EXPECT_EQ(RunPrintOnly(params, &result), kUsageText);
  EXPECT_EQ(result, kVcdResultOk);
  EXPECT_TRUE(IsEmptyFolder(folder));
}

TEST(FrontEndPrintOnly, HelpModeExactTextAndNoFiles) {
  fs::path folder = test_support::FreshFolder(fs::current_path() / "help_mode");
  VcdBuildParams params = FullBlock(folder);
  params.helpMode = 1;
  params.usageMode = 1;  // help is checked first
  int result = -5;
  std::string text = RunPrintOnly(params, &result);
  EXPECT_EQ(result, kVcdResultOk);
  const std::string first = "zrDiscBuild 6.0.7.10(win32)\n";
  ASSERT_EQ(text.compare(0, first.size(), first), 0) << text;
  // Two credit lines between the first line and the fixed tail.
  std::string middle = text.substr(first.size(), text.size() - first.size() - strlen(kHelpTail));
  EXPECT_EQ(std::count(middle.begin(), middle.end(), '\n'), 2) << middle;
  EXPECT_EQ(text.substr(text.size() - strlen(kHelpTail)), kHelpTail);
  EXPECT_TRUE(IsEmptyFolder(folder));
}

TEST(FrontEndPrintOnly, VersionModeWinsOverEveryOtherField) {
  fs::path folder = test_support::FreshFolder(fs::current_path() / "version_mode");
  VcdBuildParams params = FullBlock(folder);
  params.versionMode = 1;
  params.helpMode = 1;
  params.usageMode = 1;
  int result = -5;
  std::string text = RunPrintOnly(params, &result);
  EXPECT_EQ(result, kVcdResultOk);
  EXPECT_EQ(text.rfind("zrDiscBuild 6.0.7.10(win32)\n", 0), 0u) << text;
  EXPECT_EQ(text.find("Usage"), std::string::npos);
  EXPECT_TRUE(IsEmptyFolder(folder));
}

TEST(FrontEndPrintOnly, VersionAsXmlLineInGuiMode) {
  VcdBuildParams params = FullBlock(fs::current_path());
  params.versionMode = 1;
  params.xmlProgress = 1;
  int result = -5;
  EXPECT_EQ(RunPrintOnly(params, &result),
            "<version program=\"zrDiscBuild\" major=\"6.0\" minor=\"7\" micro=\"10\" "
            "platform=\"win32\" />\n");
  EXPECT_EQ(result, kVcdResultOk);
}

TEST(FrontEndPrintOnly, UsageLinesReachTheWindowOneByOne) {
  VcdBuildParams params = FullBlock(fs::current_path());
  params.usageMode = 1;
  CVcdFrontEnd frontEnd(&params);
  CaptureWindow window;
  window.Attach(frontEnd);
  EXPECT_EQ(frontEnd.Run(), kVcdResultOk);
  std::string joined;
  for (const CapturedMessage& m : window.messages) {
    EXPECT_EQ(m.wParam, static_cast<uintptr_t>(kVcdMsgPlain));
    joined += m.text;
  }
  EXPECT_EQ(window.messages.size(), 13u);
  EXPECT_EQ(joined, kUsageText);
}

TEST(FrontEndRun, MissingXmlPathFails) {
  VcdBuildParams params;
  memset(&params, 0, sizeof params);
  CVcdFrontEnd frontEnd(&params);
  CaptureWindow window;
  window.Attach(frontEnd);
  EXPECT_EQ(frontEnd.Run(), kVcdResultFailed);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].wParam, static_cast<uintptr_t>(kVcdMsgError));
  EXPECT_EQ(window.messages[0].text, "xml input file argument missing\n");
}

TEST(FrontEndRun, NoBlockFailsQuietly) {
  CVcdFrontEnd frontEnd(NULL);
  CaptureWindow window;
  window.Attach(frontEnd);
  EXPECT_EQ(frontEnd.Prepare(), 1);
  EXPECT_EQ(frontEnd.Run(), kVcdResultFailed);
  EXPECT_TRUE(window.messages.empty());
}

TEST(FrontEndRun, UnreadableXmlProjectFailsWithAnError) {
  VcdBuildParams params = FullBlock(fs::current_path());
  CVcdFrontEnd frontEnd(&params);
  CaptureWindow window;
  window.Attach(frontEnd);
  EXPECT_EQ(frontEnd.Run(), kVcdResultFailed);
  ASSERT_FALSE(window.messages.empty());
  EXPECT_EQ(window.messages.back().wParam, static_cast<uintptr_t>(kVcdMsgError));
  EXPECT_EQ(std::string(frontEnd.GetXmlPath()), params.xmlPath);
}

TEST(FrontEndPrepare, BlockSetsLevelProgressAndXmlFlag) {
  struct Case {
    int verbosity;
    int level;
  } cases[] = {{0, kVcdLevelNormal}, {1, kVcdLevelDebug}, {2, kVcdLevelQuiet}, {3, kVcdLevelNormal}};
  for (const Case& c : cases) {
    VcdBuildParams params = FullBlock(fs::current_path());
    params.verbosity = c.verbosity;
    params.progress = 1;
    params.xmlProgress = 1;
    CVcdFrontEnd frontEnd(&params);
    CaptureWindow window;
    window.Attach(frontEnd);
    frontEnd.Prepare();
    EXPECT_EQ(frontEnd.GetLevel(), c.level) << c.verbosity;
    EXPECT_EQ(frontEnd.GetProgress(), 1);
    EXPECT_EQ(frontEnd.GetXmlProgress(), 1);
  }
}

TEST(FrontEndBlock, CopyTerminatesEveryPathField) {
  VcdBuildParams params;
  memset(&params, 'A', sizeof params);
  params.versionMode = 0;
  params.helpMode = 0;
  params.usageMode = 0;
  CVcdFrontEnd frontEnd(&params);
  const VcdBuildParams* copy = frontEnd.GetParams();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(strlen(copy->xmlPath), 259u);
  EXPECT_EQ(strlen(copy->cuePath), 259u);
  EXPECT_EQ(strlen(copy->binPath), 259u);
  // The caller's block is left as it was.
  EXPECT_EQ(params.xmlPath[259], 'A');
}

TEST(FrontEndProgress, XmlFormsWhenTheBlockAsksForThem) {
  VcdBuildParams params = FullBlock(fs::current_path());
  params.xmlProgress = 1;
  params.progress = 1;
  ScratchStream out("xml_progress.txt");
  CVcdFrontEnd frontEnd(&params);
  frontEnd.SetOutputStreams(out.get(), out.get());
  frontEnd.Prepare();
  VcdScanState scan = {"C:\\a&b\\\"x\".mpg", 4, 2048, 4096};
  VcdWriteState write = {"videocd.bin", 10, 20, 1, 2};
  frontEnd.ReportScanProgress(&scan);
  frontEnd.ReportWriteProgress(&write);
  EXPECT_EQ(out.Contents(),
            "PROGRES: <progress operation=\"scan\" id=\"C:\\a&amp;b\\&quot;x&quot;.mpg\" "
            "position=\"2048\" size=\"4096\" />\n"
            "PROGRES: <progress operation=\"write\" position=\"10\" size=\"20\" />\n");
}

TEST(FrontEndVersion, SplitTable) {
  struct Case {
    const char *text, *major, *minor, *micro;
  } cases[] = {{"6.0.7.10", "6.0", "7", "10"},
               {"1.2.3", "1", "2", "3"},
               {"1.2", "1", "", "2"},
               {"7", "7", "", ""},
               {"", "", "", ""}};
  for (const Case& c : cases) {
    std::string major, minor, micro;
    VcdSplitVersion(c.text, &major, &minor, &micro);
    EXPECT_EQ(major, c.major) << c.text;
    EXPECT_EQ(minor, c.minor) << c.text;
    EXPECT_EQ(micro, c.micro) << c.text;
  }
}

TEST(FrontEndXmlErrors, LibxmlMessagesBecomeErrorTextsOfTheCurrentFrontEnd) {
  CVcdFrontEnd outer(NULL);
  CaptureWindow outerWindow;
  outerWindow.Attach(outer);
  {
    CVcdFrontEnd inner(NULL);
    CaptureWindow innerWindow;
    innerWindow.Attach(inner);
    EXPECT_EQ(CVcdFrontEndBase::Current(), &inner);
    xmlDocPtr doc = xmlReadMemory("<a><b></a>", 10, "broken.xml", NULL, 0);
    EXPECT_EQ(doc, nullptr);
    ASSERT_FALSE(innerWindow.messages.empty());
    for (const CapturedMessage& m : innerWindow.messages)
      EXPECT_EQ(m.wParam, static_cast<uintptr_t>(kVcdMsgError));
    EXPECT_TRUE(outerWindow.messages.empty());
  }
  EXPECT_EQ(CVcdFrontEndBase::Current(), &outer);
  xmlDocPtr doc = xmlReadMemory("<a>", 3, "broken.xml", NULL, 0);
  EXPECT_EQ(doc, nullptr);
  EXPECT_FALSE(outerWindow.messages.empty());
}

TEST(FrontEndXmlErrors, NoCurrentFrontEndAfterTheLastOneEnds) {
  { CVcdFrontEnd frontEnd(NULL); }
  EXPECT_EQ(CVcdFrontEndBase::Current(), nullptr);
  // libxml2's own handler again: parsing bad input must not reach a dead object.
  xmlDocPtr doc = xmlReadMemory("<a>", 3, "broken.xml", NULL, XML_PARSE_NOERROR);
  EXPECT_EQ(doc, nullptr);
}

// ---------------------------------------------------------------------------
// The runner, as BuildVcdImage drives it.

TEST(Runner, VersionRecordToTheWindow) {
  VcdBuildParams params = FullBlock(fs::current_path());
  params.versionMode = 1;
  params.xmlProgress = 1;  // a window gets the record all the same
  CaptureWindow window;
  EXPECT_EQ(VcdRunBuild(&window, 0xC321, &CaptureWindow::Send, &params, NULL), kVcdResultOk);
  ASSERT_EQ(window.messages.size(), 1u);
  const CapturedMessage& m = window.messages[0];
  EXPECT_EQ(m.message, 0xC321u);
  EXPECT_EQ(m.wParam, static_cast<uintptr_t>(kVcdMsgPlain));
  EXPECT_TRUE(m.isRecord);
  EXPECT_EQ(m.program, "zrDiscBuild");
  EXPECT_EQ(m.about.rfind("zrDiscBuild 6.0.7.10(win32)\n", 0), 0u);
  EXPECT_EQ(m.major, "6.0");
  EXPECT_EQ(m.minor, "7");
  EXPECT_EQ(m.micro, "10");
  EXPECT_EQ(m.platform, "win32");
}

TEST(Runner, ProgressIsAlwaysRecordsAndStartsOn) {
  VcdBuildParams params = FullBlock(fs::current_path());
  params.xmlProgress = 1;
  CaptureWindow window;
  CVcdRunner runner(&window, 0xC321, &CaptureWindow::Send, &params, NULL);
  EXPECT_EQ(runner.GetProgress(), 1);
  EXPECT_EQ(runner.GetLevel(), kVcdLevelNormal);
  EXPECT_STREQ(runner.GetProgramName(), "UNSET");
  runner.Prepare();
  VcdScanState scan = {"a.mpg", 1, 1, 1000};
  runner.ReportScanProgress(&scan);
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_TRUE(window.messages[0].isRecord);
  EXPECT_EQ(window.messages[0].percent, 1);
}

TEST(Runner, EmptyXmlPathFailsWithTheErrorText) {
  VcdBuildParams params;
  memset(&params, 0, sizeof params);
  params.imageType = 5;
  CaptureWindow window;
  EXPECT_EQ(VcdRunBuild(&window, 0xC321, &CaptureWindow::Send, &params, NULL), kVcdResultFailed);
  EXPECT_EQ(window.Texts(), std::vector<std::string>{"xml input file argument missing\n"});
}

void ThrowingHook(CVcdFrontEnd&) { throw std::runtime_error("fault in the build"); }

TEST(Runner, ExceptionInsideTheRunGivesResult2) {
  VcdBuildParams params = FullBlock(fs::current_path());
  CaptureWindow window;
  CVcdFrontEnd::SetBuildHookForTests(ThrowingHook);
  int result = VcdRunBuild(&window, 0xC321, &CaptureWindow::Send, &params, NULL);
  CVcdFrontEnd::SetBuildHookForTests(NULL);
  EXPECT_EQ(result, kVcdResultException);
  EXPECT_EQ(CVcdFrontEndBase::Current(), nullptr);
}

}  // namespace
