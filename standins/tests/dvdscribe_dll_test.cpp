// DvdScribe.dll by ordinal through the programs' call layer, in the order the
// disc programs use it: engine, device search, disc checks, a UDF tree of a
// VIDEO_TS folder written to a virtual DVD (a copy of the files), erase,
// cancel from another thread, eject; faults with their three parts.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "standins/calls/dvdscribe_calls.h"
#include "standins/tests/win_test_util.h"

using namespace standin_test;

namespace {

const char kDrives[] =
    "[drives]\r\nletters=DEFG\r\n"
    "[D]\r\nproduct=CD Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[E]\r\nvendor=QUORBEL\r\nproduct=DVD-R Writer\r\nwrites=cd,dvd\r\nmedium=DVD-R\r\nblank=1\r\n"
    "[F]\r\nproduct=DVD-RW Writer\r\nwrites=dvd\r\nmedium=DVD-RW\r\nblank=0\r\nused=5000\r\n"
    "[G]\r\nproduct=Slow Writer\r\nwrites=dvd\r\nmedium=DVD+R\r\nblank=1\r\nspeed=400\r\n";

struct Found {
  std::vector<DvdDeviceAddress> addresses;
};

int32_t OUTSIDE_CALL OnFound(int32_t event, int32_t, const DvdDeviceAddress* address, void* context) {
  if (event == kDvdEventDeviceFound) static_cast<Found*>(context)->addresses.push_back(*address);
  return 0;
}

struct Progress {
  std::atomic<int> progress{0};
  std::atomic<int> finalizing{0};
  int64_t lastDone = 0;
  int64_t total = 0;
  DvdBurner burner = nullptr;
  bool cancelOnProgress = false;
};

DWORD WINAPI CancelThread(void* burner) {
  return static_cast<DWORD>(DvdScribe().Cancel(static_cast<DvdBurner>(burner)));
}

int32_t OUTSIDE_CALL OnProgress(int32_t event, void* context, int64_t total, int64_t done) {
  Progress* p = static_cast<Progress*>(context);
  if (event == kDvdEventProgress) {
    p->progress++;
    p->lastDone = done;
    p->total = total;
    if (p->cancelOnProgress && p->progress == 2) {
      // The programs cancel from their user-interface thread.
      HANDLE thread = CreateThread(NULL, 0, CancelThread, p->burner, 0, NULL);
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
    }
  } else if (event == kDvdEventFinalizing) {
    p->finalizing++;
  }
  return 0;
}

class DvdScribeTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableA("QUORBEL_TRACE_DIR", CurrentFolder().c_str());
    UseOwnDrives(kDrives);
    ASSERT_TRUE(DvdScribe().IsLoaded()) << "DvdScribe.dll beside the test";
    ASSERT_EQ(kDvdExNone, DvdScribe().StartUp(&fault, "standins test", 1024));
    ASSERT_EQ(kDvdExNone, DvdScribe().FindDevices(&fault, 5, OnFound, &found));
  }
  void TearDown() override {
    if (burner != nullptr) DvdScribe().Destroy(burner);
    DvdScribe().ShutDown();
  }
  DvdBurner Open(size_t index, Progress* progress = nullptr) {
    DvdBurner b = nullptr;
    EXPECT_EQ(kDvdExNone, DvdScribe().Create(&fault, &b, &found.addresses.at(index),
                                             progress ? OnProgress : nullptr, progress));
    return b;
  }
  // A VIDEO_TS folder and its UDF tree, as the burn thread builds it.
  DvdUdfImage MakeImage(size_t vobBytes, DvdTreeNode* root) {
    std::string folder = CurrentFolder() + "source\\";
    CreateDirectoryA(folder.c_str(), NULL);
    const char* names[5] = {"video_ts.ifo", "video_ts.bup", "vts_01_0.ifo", "vts_01_1.vob", "vts_01_0.bup"};
    DvdScribeCalls& dvd = DvdScribe();
    DvdTreeNode videoTs = nullptr, audioTs = nullptr;
    EXPECT_EQ(kDvdExNone, dvd.TreeAddFolder(&fault, nullptr, "", root));
    EXPECT_EQ(kDvdExNone, dvd.TreeAddFolder(&fault, *root, "VIDEO_TS", &videoTs));
    EXPECT_EQ(kDvdExNone, dvd.TreeAddFolder(&fault, *root, "AUDIO_TS", &audioTs));
    for (int i = 0; i < 5; ++i) {
      WriteBytes(folder + names[i], Pattern(i == 3 ? vobBytes : 8192, static_cast<uint32_t>(i)));
      EXPECT_EQ(kDvdExNone, dvd.TreeAddFile(&fault, videoTs, (folder + names[i]).c_str(), nullptr));
    }
    DvdUdfImage image = nullptr;
    EXPECT_EQ(kDvdExNone, dvd.CreateUdf(&fault, *root, "MY DVD", &image));
    return image;
  }

  DvdFault fault = {};
  Found found;
  DvdBurner burner = nullptr;
};

TEST_F(DvdScribeTest, ExportsHaveOrdinalsOnly) {
  HMODULE module = LoadLibraryA("DvdScribe");
  ASSERT_NE(nullptr, module);
  EXPECT_EQ(nullptr, GetProcAddress(module, "DvdScribe_StartUp"));
  EXPECT_NE(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(kDvdOrdStartUp)));
  EXPECT_NE(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(kDvdOrdFreeTree)));
  FreeLibrary(module);
}

TEST_F(DvdScribeTest, FindsDevicesAndTellsWhatIsInThem) {
  ASSERT_EQ(4u, found.addresses.size());
  DvdScribeCalls& dvd = DvdScribe();
  char name[16];
  ASSERT_EQ(kDvdExNone, dvd.DeviceName(&fault, &found.addresses[1], name, sizeof name));
  EXPECT_STREQ("E:", name);
  struct Row {
    size_t index;
    int writeDvd;
    int32_t type;
    int used;
    int erasable;
  } rows[] = {{0, 0, kDvdDiscCdR, 0, 0},
              {1, 1, kDvdDiscDvdR, 0, 0},
              {2, 1, kDvdDiscDvdRwSequential, 5000, 1},
              {3, 1, kDvdDiscDvdPlusR, 0, 0}};
  for (const Row& row : rows) {
    DvdBurner b = Open(row.index);
    ASSERT_NE(nullptr, b);
    char vendor[64], product[64], revision[64];
    EXPECT_EQ(kDvdExNone, dvd.DeviceInformation(&fault, b, vendor, product, revision));
    DvdCapabilityBytes bytes;
    ASSERT_EQ(kDvdExNone, dvd.CapabilityBytes(&fault, b, &bytes));
    EXPECT_EQ(row.writeDvd, bytes.writeDvd) << product;
    EXPECT_EQ(kDvdExNone, dvd.TestUnitReady(&fault, b));
    DvdTrackInformation track;
    ASSERT_EQ(kDvdExNone, dvd.TrackInformation(&fault, b, 255, &track));
    EXPECT_EQ(row.used, track.usedSectors) << product;
    DvdDiscInformation disc;
    ASSERT_EQ(kDvdExNone, dvd.DiscInformation(&fault, b, &disc));
    EXPECT_EQ(row.erasable, disc.erasable) << product;
    int32_t type = -1;
    ASSERT_EQ(kDvdExNone, dvd.DiscType(&fault, b, &type));
    EXPECT_EQ(row.type, type) << product;
    dvd.Destroy(b);
  }
  DvdDeviceAddress nowhere = {8, 0, 0, 9, 0, {0, 0, 0}};
  DvdBurner b = nullptr;
  EXPECT_EQ(kDvdExNoDevice, dvd.Create(&fault, &b, &nowhere, nullptr, nullptr));
  EXPECT_EQ(kDvdExNoDevice, fault.exception);
  EXPECT_NE(std::string::npos, FormatDvdFault(fault).find("exception 3, status 0, text '"));
}

TEST_F(DvdScribeTest, WritesTheTreeAsACopyOfTheFolder) {
  Progress progress;
  burner = Open(1, &progress);
  DvdScribeCalls& dvd = DvdScribe();
  DvdTreeNode root = nullptr;
  DvdUdfImage image = MakeImage(3 << 20, &root);
  ASSERT_NE(nullptr, image);
  DvdTreeNode twice = nullptr;
  EXPECT_EQ(kDvdExBadArgument, dvd.TreeAddFolder(&fault, root, "video_ts", &twice)) << "no name twice";
  int32_t available = 0, enabled = 0;
  ASSERT_EQ(kDvdExNone, dvd.GetUnderrunProtection(&fault, burner, &available, &enabled));
  ASSERT_EQ(kDvdExNone, dvd.SetUnderrunProtection(&fault, burner, 1));
  ASSERT_EQ(kDvdExNone, dvd.SetSpeeds(&fault, burner, 0xFFFF, 0xFFFF));
  ASSERT_EQ(kDvdExNone, dvd.SendOpc(&fault, burner));
  ASSERT_EQ(kDvdExNone, dvd.TrackAtOnceFromTree(&fault, burner, image, 0)) << FormatDvdFault(fault);
  EXPECT_EQ(kDvdExNone, dvd.CloseSession(&fault, burner));
  EXPECT_GT(progress.progress.load(), 0);
  EXPECT_EQ(1, progress.finalizing.load());
  EXPECT_EQ(progress.total, progress.lastDone);
  const std::string disc = CurrentFolder() + "discs\\E\\";
  EXPECT_EQ(ReadBytes(CurrentFolder() + "source\\vts_01_1.vob"), ReadBytes(disc + "VIDEO_TS\\VTS_01_1.VOB"));
  EXPECT_EQ(ReadBytes(CurrentFolder() + "source\\video_ts.ifo"), ReadBytes(disc + "VIDEO_TS\\VIDEO_TS.IFO"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES == GetFileAttributesA((disc + "AUDIO_TS").c_str()), false);
  DvdTrackInformation track;
  ASSERT_EQ(kDvdExNone, dvd.TrackInformation(&fault, burner, 255, &track));
  EXPECT_GT(track.usedSectors, (3 << 20) / 2048);
  // Written once: a second write and an erase are refused.
  EXPECT_EQ(kDvdExMedium, dvd.TrackAtOnceFromTree(&fault, burner, image, 0));
  EXPECT_EQ(kDvdExMedium, dvd.Erase(&fault, burner, 1));
  EXPECT_EQ(kDvdExNone, dvd.Eject(&fault, burner));
  EXPECT_EQ("1", IniValue("E", "ejects"));
  dvd.FreeUdf(image);
  dvd.FreeTree(root);
  Bytes bytes = ReadBytes(CurrentFolder() + "DvdScribe.trace");
  std::string trace(bytes.begin(), bytes.end());
  for (const char* call : {"StartUp(\"standins test\", 1024)", "Create(E:)", "TrackAtOnceFromTree(E:)", "FreeTree()"})
    EXPECT_NE(std::string::npos, trace.find(call)) << call;
}

// A used disc is erased whether its folder holds files or is not there at
// all (marked used in the drives file, never written here).
TEST_F(DvdScribeTest, EraseMakesARewritableDiscBlank) {
  burner = Open(2);
  DvdScribeCalls& dvd = DvdScribe();
  std::string disc = CurrentFolder() + "discs\\F\\";
  for (const char* file : {"", "old.vob"}) {
    SCOPED_TRACE(*file != 0 ? "a file in the disc folder" : "no disc folder");
    UseOwnDrives(kDrives);
    ASSERT_TRUE(LayUsedDisc(disc, file));
    ASSERT_EQ(kDvdExNone, dvd.Erase(&fault, burner, 1)) << fault.text;
    EXPECT_TRUE(ReadBytes(disc + "old.vob").empty());
    DvdTrackInformation track;
    ASSERT_EQ(kDvdExNone, dvd.TrackInformation(&fault, burner, 255, &track));
    EXPECT_EQ(0, track.usedSectors);
    EXPECT_EQ("1", IniValue("F", "blank"));
  }
}

TEST_F(DvdScribeTest, CancelStopsTheWriteWithException14Status31) {
  Progress progress;
  progress.cancelOnProgress = true;
  burner = Open(3, &progress);
  progress.burner = burner;
  DvdTreeNode root = nullptr;
  DvdUdfImage image = MakeImage(6 << 20, &root);
  DvdScribeCalls& dvd = DvdScribe();
  EXPECT_EQ(kDvdExCancelled, dvd.TrackAtOnceFromTree(&fault, burner, image, 0));
  EXPECT_EQ(14, fault.exception);
  EXPECT_EQ(31, fault.status);
  EXPECT_EQ(0, progress.finalizing.load());
  dvd.FreeUdf(image);
  dvd.FreeTree(root);
}

TEST_F(DvdScribeTest, RefusesWhatADriveCannotDo) {
  DvdScribeCalls& dvd = DvdScribe();
  DvdTreeNode root = nullptr;
  DvdUdfImage image = MakeImage(1 << 20, &root);
  burner = Open(0);  // a CD writer with a CD-R
  EXPECT_EQ(kDvdExMedium, dvd.TrackAtOnceFromTree(&fault, burner, image, 0));
  EXPECT_EQ(kDvdExFile, dvd.TreeAddFile(&fault, root, "C:\\no\\such.vob", nullptr));
  WritePrivateProfileStringA("E", "medium", "none", (CurrentFolder() + "drives.ini").c_str());
  DvdBurner empty = Open(1);
  EXPECT_EQ(kDvdExNotReady, dvd.TestUnitReady(&fault, empty));
  dvd.Destroy(empty);
  WritePrivateProfileStringA("E", "medium", "DVD-R", (CurrentFolder() + "drives.ini").c_str());
  WritePrivateProfileStringA("E", "capacity", "100", (CurrentFolder() + "drives.ini").c_str());
  DvdBurner small = Open(1);
  EXPECT_EQ(kDvdExTooLarge, dvd.TrackAtOnceFromTree(&fault, small, image, 0));
  dvd.Destroy(small);
  dvd.FreeUdf(image);
  dvd.FreeTree(root);
  DvdScribe().ShutDown();
  EXPECT_EQ(kDvdExNotStarted, dvd.FindDevices(&fault, 5, OnFound, &found));
  DvdScribe().StartUp(&fault, "again", 1024);
}

TEST(DvdScribeMissing, CallsFailWithAFault) {
  DvdScribeCalls missing;
  EXPECT_FALSE(missing.Load("no-such-library"));
  DvdFault fault = {};
  EXPECT_EQ(kDvdExNotStarted, missing.StartUp(&fault, "", 1024));
  EXPECT_NE(std::string::npos, FormatDvdFault(fault).find("cannot be loaded"));
}

}  // namespace
