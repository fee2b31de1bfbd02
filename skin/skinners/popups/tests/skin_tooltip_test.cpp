// The library's tooltip window under Wine: made by the library start,
// shown after the Tooltip object's show delay at its placement near the
// cursor (another placement at the screen's edge), hidden after the hide
// delay, by the mouse entering and leaving it, or by a new text; texts
// asked from a text source at show time; skinned items showing their
// names; the frame and client painted from the object. Screenshots go to
// screenshots/.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/popups/skin_tooltip.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

// An item that is asked for its text when the tooltip shows.
class Source : public SkinItem, public SkinTooltipTextSource {
public:
    std::string GetTooltipText(POINT) override
    {
        ++asked;
        return text;
    }
    std::string text;
    int asked = 0;
};

// Runs work on a thread of its own while this one pumps its messages (the
// tooltip's window is this thread's).
void OnAnotherThread(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread other([&] {
        work();
        done = true;
    });
    guitest::PumpUntil([&] { return done.load(); });
    other.join();
}

class Tooltips : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        tooltip = GetSkinTooltipWindow();
        ASSERT_NE(tooltip, nullptr);
        ASSERT_EQ(SkinLibGetTooltip(), tooltip);
        ASSERT_NE(tooltip->GetWindow(), nullptr);
        // A quick Tooltip object whose client part is cell 4,11.
        std::unique_ptr<SkinTooltipData> data(new SkinTooltipData());
        data->SetName("Tip");
        data->showDelay = 100;
        data->hideDelay = 500;
        SkinImageRef& client = data->partImages[kPartClient];
        CopySkinText(client.name, sizeof client.name, "test.bmp");
        client.source = MakeSkinRect(64, 176, 80, 192);
        client.drawMode = 2;
        fast = data.get();
        ASSERT_TRUE(SkinManager::Instance().GetSkin()->AddObject(std::move(data)));
        SetCursorPos(400, 300);
    }
    void TearDown() override
    {
        guitest::ParkPointer();
        guitest::CancelPending();
        SkinLibExit();
    }
    bool Shown() { return IsWindowVisible(tooltip->GetWindow()) != FALSE; }
    RECT Placed()
    {
        RECT r;
        GetWindowRect(tooltip->GetWindow(), &r);
        return r;
    }
    SkinTooltip* tooltip = nullptr;
    SkinTooltipData* fast = nullptr;
};

TEST_F(Tooltips, AnEmptyTextHidesAndStartsNoTimer)
{
    tooltip->ShowFor(nullptr, fast, "Shown first");
    guitest::PumpFor(250);
    ASSERT_TRUE(Shown());
    const POINT at = {300, 300};
    tooltip->ShowText("", &at);
    EXPECT_FALSE(Shown());
    guitest::PumpFor(250);
    EXPECT_FALSE(Shown());
}

// A skin's Tooltip object hands over its style sheet as it is: an empty
// one leaves no rules; without an object the built-in sheet stands.
TEST_F(Tooltips, AnEmptyStyleSheetLeavesNoRules)
{
    ASSERT_NE(tooltip->GetRenderer().FindRule("big"), nullptr) << "the built-in sheet";
    ASSERT_TRUE(fast->styleSheet.empty());
    tooltip->BindSkinData(fast);
    EXPECT_EQ(tooltip->GetRenderer().FindRule("big"), nullptr);
    fast->styleSheet = "b {color:red}";
    tooltip->BindSkinData(fast);
    ASSERT_NE(tooltip->GetRenderer().FindRule("b"), nullptr);
    EXPECT_EQ(*tooltip->GetRenderer().FindRule("b"), "color:red");
    tooltip->BindSkinData(nullptr);
    EXPECT_NE(tooltip->GetRenderer().FindRule("big"), nullptr);
}

TEST_F(Tooltips, TheDefaultObjectWaitsASecond)
{
    tooltip->ShowFor(nullptr, nullptr, "Default delays");
    guitest::PumpFor(600);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1500));
    tooltip->Hide();
    EXPECT_FALSE(Shown());
}

TEST_F(Tooltips, ShownBelowTheCursorThenHiddenAfterTheDelay)
{
    tooltip->ShowFor(nullptr, fast, "<b>Bold</b> tip");
    EXPECT_FALSE(Shown());
    ASSERT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1000));
    const RECT r = Placed();
    EXPECT_EQ(r.left, 402);
    EXPECT_EQ(r.top, 322);
    EXPECT_GT(r.right - r.left, 2);
    guitest::SaveScreenScreenshot("skin_tooltip_shown");
    guitest::Capture shot = guitest::Capture::OfScreen(r);
    ASSERT_TRUE(shot.Valid());
    EXPECT_EQ(shot.At(0, 0), RGB(0, 0, 0));          // the 1-pixel frame, active colour
    EXPECT_EQ(shot.At(shot.Width() - 2, shot.Height() - 2), Cell(4, 11));  // the client part
    EXPECT_TRUE(guitest::PumpUntil([this] { return !Shown(); }, 1500));
}

TEST_F(Tooltips, AtTheRightEdgeItGoesLeftOfTheCursor)
{
    const RECT work = SkinGdiUtil::WorkAreaAt(POINT{400, 300});
    SetCursorPos(work.right - 5, 300);
    tooltip->ShowFor(nullptr, fast, "A tip near the edge");
    ASSERT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1000));
    const RECT r = Placed();
    EXPECT_EQ(r.right, work.right - 5 - 2);  // placement 2
    EXPECT_EQ(r.top, 322);
}

TEST_F(Tooltips, TheTextSourceIsAskedAtShowTime)
{
    Source source;
    source.text = "";
    tooltip->ShowFor(&source, fast, "Stale");
    guitest::PumpFor(300);
    EXPECT_GE(source.asked, 1);
    EXPECT_FALSE(Shown());  // the source had nothing to say
    source.text = "Fresh";
    tooltip->ShowFor(&source, fast, "Stale");
    ASSERT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1000));
    EXPECT_EQ(tooltip->GetText(), "Fresh");
    EXPECT_EQ(tooltip->GetOwnerItem(), &source);
    // An item hides the tooltip it owns; another's hide does nothing.
    Source other;
    other.HideTooltip();
    EXPECT_TRUE(Shown());
    source.HideTooltip();
    EXPECT_FALSE(Shown());
}

TEST_F(Tooltips, MouseInAndOutHidesAtOnce)
{
    tooltip->ShowFor(nullptr, fast, "Hover me");
    ASSERT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1000));
    PostMessageA(tooltip->GetWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    guitest::PumpFor(30);
    EXPECT_TRUE(Shown());
    PostMessageA(tooltip->GetWindow(), WM_MOUSELEAVE, 0, 0);
    guitest::PumpFor(30);
    EXPECT_FALSE(Shown());
}

TEST_F(Tooltips, SkinnedItemsShowTheirNames)
{
    SkinItem item;
    item.ShowTooltip();  // no name: nothing
    guitest::PumpFor(50);
    EXPECT_NE(tooltip->GetOwnerItem(), &item);
    item.SetName("Named item");
    item.ShowTooltip();
    EXPECT_EQ(tooltip->GetOwnerItem(), &item);
    EXPECT_EQ(tooltip->GetText(), "Named item");
    // The skin's Tooltip object (the quick one) is bound.
    EXPECT_EQ(tooltip->GetSkinData(), fast);
    ASSERT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1000));
}

// Items of other threads show and hide the one tooltip; its own thread
// shows, times and hides the window.
TEST_F(Tooltips, AnItemOfAnotherThreadShowsAndHidesIt)
{
    Source source;
    source.text = "From another thread";
    OnAnotherThread([&] { tooltip->ShowFor(&source, fast, "Stale"); });
    ASSERT_TRUE(guitest::PumpUntil([this] { return Shown(); }, 1500));
    EXPECT_EQ(tooltip->GetText(), "From another thread");
    OnAnotherThread([&] { source.HideTooltip(); });
    EXPECT_TRUE(guitest::PumpUntil([this] { return !Shown(); }, 1500));
    EXPECT_EQ(tooltip->GetOwnerItem(), nullptr);
}

}  // namespace
