// The writer's projects as the disc programs use them: written beside
// multiplexed MPEG files whose folder name needs escaping, then built into
// a cue/bin image by the image builder (BuildVcdImage on Windows, the same
// run natively). The builder opens every file by the path it read back, so
// a build that finds its files proves the paths came back byte for byte.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "discimage/run/build_vcd_image.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include "discimage/run/vcd_runner.h"
#endif

#include "suite/vcd_xml_writer.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "discimage/run/vcd_build_params.h"

using namespace test_support;

namespace {

#ifdef _WIN32
const char kSep[] = "\\";
// Ampersand, apostrophe and Latin-1 letters: all legal in a Windows name.
const char kFolderName[] = "Tom & Jerry's caf\xe9 \xc5ngstr\xf6m";
const char kFileName[] = "c\xe9 \xfc.mpg";
#else
const char kSep[] = "/";
// Natively names are bytes the reader gives back as UTF-8, so only ASCII
// that needs escaping here.
const char kFolderName[] = "Tom & Jerry's <\"best\">";
const char kFileName[] = "c&d <\"e\">.mpg";
#endif

std::string CurrentFolder() {
  char buffer[1024] = {0};
#ifdef _WIN32
  GetCurrentDirectoryA(sizeof buffer, buffer);
#else
  if (getcwd(buffer, sizeof buffer) == NULL) buffer[0] = 0;
#endif
  return buffer;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
  return CreateDirectoryA(path.c_str(), NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
#else
  return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
#endif
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::string bytes;
  return ReadWhole(from, &bytes) && WriteText(to, bytes);
}

int RunBuilder(const VcdBuildParams& params) {
#ifdef _WIN32
  // The builder reports to a window, as to the job dialogs; a hidden one of
  // this thread takes its messages.
  HWND owner = CreateWindowExA(0, "STATIC", "builder reports", 0, 0, 0, 0, 0, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
  int result = BuildVcdImage(owner, "msg_zrDiscImage", &params, NULL);
  DestroyWindow(owner);
  return result;
#else
  return VcdRunBuild(NULL, 0, NULL, &params, NULL);
#endif
}

class VcdXmlBuild : public ::testing::Test {
protected:
  void SetUp() override {
    m_fixtures = FixturesDir();
    if (m_fixtures.empty()) GTEST_SKIP() << "QUORBEL_FIXTURES not set (run through ctest)";
    m_folder = CurrentFolder() + kSep + kFolderName;
    ASSERT_TRUE(MakeFolder(m_folder)) << m_folder;
  }

  // Copies the fixture under each name into the folder, writes the project
  // and builds the image; returns the builder's result.
  void Build(int discClass, const char* fixture, const std::vector<std::string>& names) {
    VcdXmlWriter writer;
    writer.SetDiscClass(discClass);
    writer.SetVolumeId("Tom & Jerry");
    long long total = 0;
    for (const std::string& name : names) {
      std::string path = m_folder + kSep + name;
      ASSERT_TRUE(CopyFile(m_fixtures + kSep + fixture, path)) << path;
      total += FileSize(path);
      writer.AddSequenceItem(path.c_str());
    }
    std::string xml = m_folder + kSep + "vcd.xml";
    ASSERT_EQ(writer.Write(xml.c_str()), 0);

    VcdBuildParams params;
    memset(&params, 0, sizeof params);
    std::string cue = m_folder + kSep + "VideoCD.cue";
    std::string bin = m_folder + kSep + "VideoCD.bin";
    ASSERT_LT(bin.size(), sizeof params.binPath);
    strcpy(params.xmlPath, xml.c_str());
    strcpy(params.cuePath, cue.c_str());
    strcpy(params.binPath, bin.c_str());
    params.imageType = kVcdImageCueBin;
    params.verbosity = kVcdVerbosityQuiet;
    remove(bin.c_str());
    ASSERT_EQ(RunBuilder(params), kVcdResultOk) << xml;

    // Every MPEG file went in: the raw image holds more than their bytes.
    long long image = FileSize(bin);
    EXPECT_GT(image, total);
    EXPECT_EQ(image % 2352, 0);
    EXPECT_GT(FileSize(cue), 0);
  }

  std::string m_fixtures;
  std::string m_folder;
};

TEST_F(VcdXmlBuild, VcdOfThreeFilesWithEscapedNames) {
  Build(kVcdClassVcd20, "pal-vcd.mpg", {"000.mpg", "a&b.mpg", kFileName});
}

TEST_F(VcdXmlBuild, SvcdOfTwoFilesWithEscapedNames) {
  Build(kVcdClassSvcd, "pal-svcd.mpg", {"000.mpg", kFileName});
}

}  // namespace
