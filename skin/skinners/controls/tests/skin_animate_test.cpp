// The animation skinner under Wine with a 5-frame 32 x 24 clip that ffmpeg
// makes for the run (fixture animate_fixtures): opening a file sizes the
// control to the frames, ACM_PLAY with repeat 1 shows each frame once and
// rests on the last, repeat -1 runs until ACM_STOP, ACN_START and ACN_STOP
// reach the parent (ACN_STOP only when something played), a clip opened
// from an "AVI" resource leaves no file in the temporary folder once it is
// closed, and a failed open answers 0 and leaves none either.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/skinners/controls/skin_animate.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;
const int kAnimate = 10;

std::vector<int> g_codes;  // ACN_ codes the dialog heard
int g_destroyOn = -1;      // the dialog destroys the control at this code

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kAnimate)
        g_codes.push_back(HIWORD(wParam));
    if (message == WM_COMMAND && HIWORD(wParam) == g_destroyOn) {
        g_destroyOn = -1;
        DestroyWindow(reinterpret_cast<HWND>(lParam));
    }
    return message == WM_INITDIALOG;
}

std::string ReadFile(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// Files of the temporary folder that the skinner's names could take.
int TempFiles()
{
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "SM*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

class AnimateSkinner : public testing::Test {
protected:
    void SetUp() override
    {
        g_codes.clear();
        clip = skintest::AnimateClipPath();
        ASSERT_FALSE(clip.empty()) << "QUORBEL_ANIMATE_FIXTURES is not set";
        guitest::InitCommonControlsOnce();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
        guitest::DialogTemplate t("Animation", 0, 0, 160, 80);
        t.Add("SysAnimate32", kAnimate, "", 10, 10, 100, 50, WS_CHILD | WS_VISIBLE);
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &DialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        animate = GetDlgItem(dialog, kAnimate);
        skinner = dynamic_cast<SkinAnimate*>(SkinManager::Instance().FindSkinObject(animate));
        ASSERT_NE(skinner, nullptr) << "Video for Windows missing?";
        SetWindowPos(dialog, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        guitest::PumpFor(50);
    }
    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        if (module)
            FreeLibrary(module);
        if (!copy.empty())
            DeleteFileA(copy.c_str());
        SkinLibExit();
    }
    int Count(int code)
    {
        int n = 0;
        for (int c : g_codes)
            n += c == code;
        return n;
    }
    std::string clip, copy;
    HMODULE module = nullptr;
    HWND dialog = nullptr, animate = nullptr;
    SkinAnimate* skinner = nullptr;
};

TEST_F(AnimateSkinner, PlaysOncePerRepeatAndRestsOnTheLastFrame)
{
    ASSERT_EQ(SendMessageA(animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    RECT r;
    GetWindowRect(animate, &r);
    EXPECT_EQ(r.right - r.left, 32);
    EXPECT_EQ(r.bottom - r.top, 24);

    EXPECT_EQ(SendMessageA(animate, ACM_STOP, 0, 0), 1);
    EXPECT_EQ(Count(ACN_STOP), 0) << "nothing was playing";

    ASSERT_EQ(SendMessageA(animate, ACM_PLAY, 1, MAKELONG(0, -1)), 1);
    EXPECT_EQ(Count(ACN_START), 1);
    EXPECT_TRUE(guitest::PumpUntil([&] { return !skinner->IsRunning(); }, 5000));
    EXPECT_EQ(skinner->CurrentFrame(), 4);
    guitest::SaveScreenshot(dialog, "skinned_animation");
    guitest::Capture c = guitest::Capture::OfWindow(animate);
    ASSERT_TRUE(c.Valid());
    const RECT all = {0, 0, c.Width(), c.Height()};
    EXPECT_LT(c.Count(all, c.At(0, 0)), c.Width() * c.Height()) << "a frame is on screen";
    EXPECT_EQ(SendMessageA(animate, ACM_STOP, 0, 0), 1);
    EXPECT_EQ(Count(ACN_STOP), 1);
    SendMessageA(animate, ACM_STOP, 0, 0);
    EXPECT_EQ(Count(ACN_STOP), 1);
}

TEST_F(AnimateSkinner, EndlessPlayRunsUntilStopped)
{
    ASSERT_EQ(SendMessageA(animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(animate, ACM_PLAY, WPARAM(-1), MAKELONG(1, 3)), 1);
    guitest::PumpFor(1200);  // 12 frame times: four passes of frames 1..3
    EXPECT_TRUE(skinner->IsRunning());
    EXPECT_GE(skinner->CurrentFrame(), 1);
    EXPECT_LE(skinner->CurrentFrame(), 3);
    SendMessageA(animate, ACM_STOP, 0, 0);
    EXPECT_FALSE(skinner->IsPlaying());
    EXPECT_EQ(Count(ACN_STOP), 1);
}

// A skinner that lets go of a playing animation (the skin removed, the
// library ended) stops its thread first and hands the clip over: the
// control plays on by itself and says so when it stops.
TEST_F(AnimateSkinner, LettingGoWhilePlayingHandsTheClipToTheControl)
{
    ASSERT_EQ(SendMessageA(animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1);
    ASSERT_EQ(SendMessageA(animate, ACM_PLAY, WPARAM(-1), MAKELONG(0, -1)), 1);
    guitest::PumpFor(250);
    ASSERT_TRUE(skinner->IsRunning());
    ASSERT_TRUE(SkinManager::Instance().RemoveSkin(animate, FALSE));
    skinner = nullptr;
    EXPECT_EQ(Count(ACN_STOP), 1) << "the skinner's playback ends as a stop";
    guitest::PumpFor(300);
    EXPECT_EQ(Count(ACN_START), 2) << "the control starts playing";
    guitest::SaveScreenshot(dialog, "animation_handed_back");
    guitest::Capture c = guitest::Capture::OfWindow(animate);
    ASSERT_TRUE(c.Valid());
    const RECT all = {0, 0, c.Width(), c.Height()};
    EXPECT_LT(c.Count(all, c.At(0, 0)), c.Width() * c.Height()) << "the control shows a frame";
    EXPECT_TRUE(SendMessageA(animate, ACM_STOP, 0, 0));
    guitest::PumpFor(50);  // the control may post its notifications
    EXPECT_EQ(Count(ACN_STOP), 2) << "the control reports its own stop";
}

TEST_F(AnimateSkinner, AResourceClipLeavesNoTemporaryFile)
{
    // This test program copied with the clip as "AVI" resource 7.
    char self[MAX_PATH] = {}, folder[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    GetTempPathA(sizeof folder, folder);
    copy = std::string(folder) + "quorbel_animate_res.exe";
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    const std::string bytes = ReadFile(clip);
    ASSERT_FALSE(bytes.empty());
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(UpdateResourceA(update, "AVI", MAKEINTRESOURCEA(7), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                const_cast<char*>(bytes.data()), DWORD(bytes.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    module = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);

    const int before = TempFiles();
    EXPECT_EQ(SendMessageA(animate, ACM_OPENA, reinterpret_cast<WPARAM>(module), reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(7))),
              1);
    ASSERT_EQ(SendMessageA(animate, ACM_PLAY, 1, MAKELONG(0, -1)), 1);
    EXPECT_TRUE(guitest::PumpUntil([&] { return !skinner->IsRunning(); }, 5000));
    EXPECT_EQ(skinner->CurrentFrame(), 4);
    // The open clip holds its temporary copy; closing it takes the file away.
    EXPECT_EQ(SendMessageA(animate, ACM_OPENA, 0, 0), 1);
    EXPECT_EQ(TempFiles(), before);
    // A resource that is not there, and a file that is not there.
    EXPECT_EQ(SendMessageA(animate, ACM_OPENA, reinterpret_cast<WPARAM>(module), reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(8))),
              0);
    EXPECT_EQ(SendMessageA(animate, ACM_OPENA, 0, reinterpret_cast<LPARAM>("Z:\\no\\such\\clip.avi")), 0);
    EXPECT_EQ(TempFiles(), before);
    // NULL closes whatever is open.
    EXPECT_EQ(SendMessageA(animate, ACM_OPENA, 0, 0), 1);
}

// Playing again or opening another clip stops the playing one first, and
// the parent hears ACN_STOP from inside the message: a parent that destroys
// the control there leaves the deleted skinner untouched.
TEST_F(AnimateSkinner, AParentDestroyingTheControlOnItsStopLeavesItUntouched)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinAnimate));
    struct Case {
        const char* name;
        std::function<void(HWND)> stopFromInside;
    } cases[] = {
        {"played again", [](HWND w) { SendMessageA(w, ACM_PLAY, 1, MAKELONG(0, -1)); }},
        {"another clip opened", [&](HWND w) {
             SendMessageA(w, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str()));
         }},
    };
    for (const Case& c : cases) {
        HWND w = CreateWindowExA(0, "SysAnimate32", "", WS_CHILD | WS_VISIBLE, 10, 70, 40, 30, dialog,
                                 reinterpret_cast<HMENU>(INT_PTR(kAnimate + 1)), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(w, nullptr) << c.name;
        ASSERT_NE(dynamic_cast<SkinAnimate*>(SkinManager::Instance().FindSkinObject(w)), nullptr) << c.name;
        ASSERT_EQ(SendMessageA(w, ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())), 1) << c.name;
        ASSERT_EQ(SendMessageA(w, ACM_PLAY, WPARAM(-1), MAKELONG(0, -1)), 1) << c.name;
        const int touches = skintest::TouchesOfFreedBlocks();
        g_destroyOn = ACN_STOP;
        c.stopFromInside(w);
        guitest::PumpFor(30);
        EXPECT_FALSE(IsWindow(w)) << c.name;
        EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << c.name << ": the deleted skinner was used";
        g_destroyOn = -1;
        if (IsWindow(w))
            DestroyWindow(w);
    }
    skintest::TrapFreedBlocksOfSize(0);
}

}  // namespace
