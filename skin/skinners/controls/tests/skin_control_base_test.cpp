// The control skinner bases under Wine with the test skin: dialogs skinned
// from "Dialog" whose controls get a probe skinner (a SkinWindowBase that
// paints one colour), driven by messages. A parent can refuse a control;
// a per-control object places the control and gives it the skin font,
// which detach gives back; range controls never get the skin font; hover
// follows the mouse; a dying control leaves its parent's map; the
// scrollable base skins the scroll bars once through the hooks and draws
// the skin's border over the edge styles.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"
#include "skin/skinners/controls/skin_control_base.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;
using skintest::Height;
using skintest::Width;

const COLORREF kProbeColor = RGB(0x12, 0x34, 0x56);

// Paints its client in one colour and counts its paints.
class ProbeControl : public SkinWindowBase {
public:
    ProbeControl(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}
    void Draw(HDC hdc) override
    {
        ++draws;
        RECT r;
        GetClientRect(GetWindow(), &r);
        HBRUSH brush = CreateSolidBrush(kProbeColor);
        FillRect(hdc, &r, brush);
        DeleteObject(brush);
    }
    int draws = 0;
};

SkinWindowObject* MakeProbe(uint32_t type, SkinWindowObject* parent) { return new ProbeControl(parent, type); }

using skintest::g_hooks;
using skintest::HookLog;
using skintest::kFakeHooks;

class ControlBase : public skintest::ControlDialogTest {
protected:
    void SetUp() override
    {
        for (uint32_t kind : {kSkinStatic, kSkinProgressBar})
            saved_.push_back({kind, SkinManager::RegisterSkinner(kind, &MakeProbe)});
        // The IP address control's edits stay plain: only its own skinner counts.
        saved_.push_back({kSkinEdit, SkinManager::RegisterSkinner(kSkinEdit, nullptr)});
        skintest::ControlDialogTest::SetUp();
        g_hooks = HookLog();
    }
    void TearDown() override
    {
        skintest::ControlDialogTest::TearDown();
        for (auto& entry : saved_)
            SkinManager::RegisterSkinner(entry.first, entry.second);
    }
    void Show()
    {
        SetWindowPos(dialog, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
        guitest::PumpFor(150);
    }
    // Installs the test skin with a per-control Static object for id 10
    // in "Dialog" (placed, with the skin font) and the skin font on the
    // ProgressBar object.
    SkinControlData* InstallWithPlacedLabel()
    {
        std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
        if (!package)
            return nullptr;
        SkinDataObject* frame = package->FindObject("Dialog");
        std::unique_ptr<SkinDataObject> child = CreateSkinDataObject(kSkinStatic);
        auto* label = static_cast<SkinControlData*>(child.get());
        label->SetName("Label10");
        label->controlId = 10;
        label->autoPlace = 1;
        label->autoSkinFont = 1;
        label->rect = MakeSkinRect(5, 6, 65, 26);
        label->font = MakeSkinFont("Arial", -20, 700);
        label->Resolve(*package);
        frame->AddChild(std::move(child));
        if (auto* progress = dynamic_cast<SkinControlData*>(package->FindObjectByType(kSkinProgressBar)))
            progress->autoSkinFont = 1;
        if (!Install(std::move(package)))
            return nullptr;
        return label;
    }
    std::vector<std::pair<uint32_t, SkinnerFactory>> saved_;
};

TEST_F(ControlBase, ARefusingParentKeepsTheControlsSystemLook)
{
    skintest::RefusedId() = 11;
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Static(10, "skinned", 10, 10, 60, 12).Static(11, "refused", 10, 30, 60, 12);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    ProbeControl* skinned = SkinnerOf<ProbeControl>(GetDlgItem(dialog, 10));
    ASSERT_NE(skinned, nullptr);
    EXPECT_EQ(SkinnerOf<ProbeControl>(GetDlgItem(dialog, 11)), nullptr);
    EXPECT_EQ(skinned->GetKind(), kSkinStatic);
    EXPECT_EQ(skinned->GetParentWindow(), dialog);

    Show();
    guitest::SaveScreenshot(dialog, "control_base_refused");
    guitest::Capture one = guitest::Capture::OfWindow(GetDlgItem(dialog, 10));
    guitest::Capture two = guitest::Capture::OfWindow(GetDlgItem(dialog, 11));
    ASSERT_TRUE(one.Valid() && two.Valid());
    // Painted through the memory DC by Draw, edge to edge.
    EXPECT_EQ(one.At(0, 0), kProbeColor);
    EXPECT_EQ(one.At(one.Width() - 1, one.Height() - 1), kProbeColor);
    EXPECT_GT(skinned->draws, 0);
    EXPECT_EQ(two.Count(RECT{0, 0, two.Width(), two.Height()}, kProbeColor), 0);
}

TEST_F(ControlBase, APerControlObjectPlacesTheControlAndLendsItsFontUntilDetach)
{
    SkinControlData* label = InstallWithPlacedLabel();
    ASSERT_NE(label, nullptr);
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Static(10, "placed", 40, 40, 30, 10).Static(12, "other", 10, 50, 30, 10);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    HWND placed = GetDlgItem(dialog, 10);
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(placed, WM_GETFONT, 0, 0));
    ProbeControl* skinner = SkinnerOf<ProbeControl>(placed);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->GetSkinData(), label);
    EXPECT_EQ(SkinnerOf<ProbeControl>(GetDlgItem(dialog, 12))->GetSkinData(),
              SkinManager::Instance().GetSkin()->FindObjectByType(kSkinStatic));

    auto where = [&]() {
        RECT r;
        GetWindowRect(placed, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT r = where();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(Width(r), 60);
    EXPECT_EQ(Height(r), 20);
    // The skin font comes by message, after the control's own is recorded.
    guitest::PumpFor(50);
    const HFONT skinFont = static_cast<HFONT>(label->GetFontHandle());
    ASSERT_NE(skinFont, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(placed, WM_GETFONT, 0, 0)), skinFont);
    EXPECT_TRUE(skinner->HasSavedFont());
    EXPECT_EQ(skinner->GetSavedFont(), dialogFont);

    // Every rebinding puts it back in its place.
    MoveWindow(placed, 70, 40, 30, 10, TRUE);
    skinner->BindSkinData(skinner->GetSkinData());
    r = where();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);

    ASSERT_TRUE(SkinDetachWindow(dialog));
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(placed), nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(placed, WM_GETFONT, 0, 0)), dialogFont);
}

TEST_F(ControlBase, RangeControlsNeverGetTheSkinFont)
{
    ASSERT_NE(InstallWithPlacedLabel(), nullptr);
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Static(10, "label", 10, 10, 60, 12).Add("msctls_progress32", 20, "", 10, 30, 100, 10, 0);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    HWND progress = GetDlgItem(dialog, 20);
    ASSERT_NE(SkinnerOf<ProbeControl>(progress), nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, progress, WM_SETFONT, WM_SETFONT, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, progress, kSkinMsgRecordFont, kSkinMsgRecordFont, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, GetDlgItem(dialog, 10), WM_SETFONT, WM_SETFONT, PM_NOREMOVE));
    guitest::PumpFor(30);
    EXPECT_FALSE(SkinnerOf<ProbeControl>(progress)->HasSavedFont());
}

TEST_F(ControlBase, HoverFollowsTheMouseAndRepaints)
{
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Static(10, "hover", 10, 10, 60, 12, SS_LEFT | SS_NOTIFY);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    Show();
    HWND control = GetDlgItem(dialog, 10);
    ProbeControl* skinner = SkinnerOf<ProbeControl>(control);
    ASSERT_NE(skinner, nullptr);
    const int before = skinner->draws;
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(skinner->IsHovered());
    EXPECT_GT(skinner->draws, before);
    const int hovered = skinner->draws;
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(skinner->draws, hovered);  // only entering repaints
    SendMessageA(control, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(skinner->IsHovered());
    EXPECT_GT(skinner->draws, hovered);
    // The erase is the skinner's (the memory DC covers every pixel).
    HDC dc = GetDC(control);
    EXPECT_EQ(SendMessageA(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(control, dc);
    EXPECT_EQ(SendMessageA(control, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0), 0);
}

TEST_F(ControlBase, ADyingControlLeavesItsParentsMap)
{
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Static(10, "dies", 10, 10, 60, 12).Static(11, "stays", 10, 30, 60, 12);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    SkinWindowObject* parent = SkinManager::Instance().FindSkinObject(dialog);
    ASSERT_NE(parent, nullptr);
    HWND dies = GetDlgItem(dialog, 10);
    ASSERT_EQ(parent->ChildSkinners().count(dies), 1u);
    DestroyWindow(dies);
    EXPECT_EQ(parent->ChildSkinners().count(dies), 0u);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(dies), nullptr);
    EXPECT_EQ(parent->ChildSkinners().count(GetDlgItem(dialog, 11)), 1u);
}

TEST_F(ControlBase, ScrollableControlsGetSkinnedBarsOnceAndABorderOverTheirEdges)
{
    SkinSetScrollBarHooks(&kFakeHooks);
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Add("SysIPAddress32", 30, "", 10, 10, 100, 14, WS_VISIBLE, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    HWND address = GetDlgItem(dialog, 30);
    auto* skinner = SkinnerOf<SkinScrollableBase>(address);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->GetSkinObjectName(), std::string("ScrollControl"));
    EXPECT_TRUE(g_hooks.initialized.empty());  // only once the control settled
    guitest::PumpFor(50);
    ASSERT_EQ(g_hooks.initialized.size(), 1u);
    EXPECT_EQ(g_hooks.initialized[0], address);
    EXPECT_TRUE(skinner->ScrollBarsSkinned());
    EXPECT_EQ(g_hooks.styles, std::vector<int>{2});
    // The ScrollBar object's arrow width and thumb height (16-pixel cells).
    EXPECT_EQ(g_hooks.sizes, std::vector<int>{16});
    EXPECT_EQ(g_hooks.thumbs, std::vector<int>{16});
    PostMessageA(address, kSkinMsgSkinScrollBars, 0, 0);
    guitest::PumpFor(30);
    EXPECT_EQ(g_hooks.initialized.size(), 1u);
    skinner->BindSkinData(skinner->GetSkinData());
    EXPECT_EQ(g_hooks.sizes.size(), 2u);

    const SIZE widths = skinner->BorderWidths();
    EXPECT_EQ(widths.cx, GetSystemMetrics(SM_CXEDGE) + 1);
    EXPECT_EQ(widths.cy, GetSystemMetrics(SM_CYEDGE) + 1);

    Show();
    RedrawWindow(address, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::PumpFor(50);
    guitest::SaveScreenshot(dialog, "control_base_border");
    guitest::Capture frame = guitest::Capture::OfWindow(address, false);
    ASSERT_TRUE(frame.Valid());
    // The border is ScrollControl's BORDER, cell 0,12, on every side.
    EXPECT_EQ(frame.At(0, frame.Height() / 2), Cell(0, 12)) << guitest::ColorText(frame.At(0, frame.Height() / 2));
    EXPECT_EQ(frame.At(frame.Width() / 2, frame.Height() - 1), Cell(0, 12));
    EXPECT_EQ(frame.At(frame.Width() - 1, frame.Height() / 2), Cell(0, 12));

    ASSERT_TRUE(SkinDetachWindow(dialog));
    ASSERT_EQ(g_hooks.uninitialized.size(), 1u);
    EXPECT_EQ(g_hooks.uninitialized[0], address);
}

TEST_F(ControlBase, TheModifyStyleHelperReportsRealChangesOnly)
{
    guitest::DialogTemplate t("Controls", 0, 0, 160, 80);
    t.Add("SysIPAddress32", 30, "", 10, 10, 100, 14, WS_VISIBLE);
    ASSERT_NE(MakeDialog(t, false), nullptr);
    auto* skinner = SkinnerOf<SkinScrollableBase>(GetDlgItem(dialog, 30));
    ASSERT_NE(skinner, nullptr);
    EXPECT_TRUE(skinner->ModifyStyle(0, WS_TABSTOP, SWP_FRAMECHANGED));
    EXPECT_FALSE(skinner->ModifyStyle(0, WS_TABSTOP, 0));
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, 30), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(skinner->ModifyStyle(WS_TABSTOP, 0, 0));
}

}  // namespace
