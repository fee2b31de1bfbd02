// Static and link skinners under Wine with the test skin (Static BACKIMAGE
// is cell 15,5), in dialogs skinned from "Dialog": text statics paint the
// skin's background, disabled text takes its disabled style, icon statics
// draw their icon over it, owner-drawn and simple statics keep the system
// look, and a transparent static shows what its parent paints behind it.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/controls/skin_static.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

class StaticSkinner : public skintest::ControlDialogTest {
protected:
    // The dialog shown with its statics painted again at once.
    HWND MakeDialog(guitest::DialogTemplate& t)
    {
        if (ControlDialogTest::MakeDialog(t, false))
            Show();
        return dialog;
    }
};

TEST_F(StaticSkinner, TextStaticsPaintTheSkinsBackground)
{
    guitest::DialogTemplate t("Statics", 0, 0, 200, 100);
    t.Static(10, "Enabled label", 10, 10, 80, 12)
        .Static(11, "Disabled label", 10, 30, 80, 12, SS_LEFT | WS_DISABLED)
        .Static(12, "Centred", 100, 10, 80, 12, SS_CENTER | SS_CENTERIMAGE)
        .Add("STATIC", 13, "", 100, 30, 20, 20, SS_ICON)
        .Static(14, "Owner drawn", 10, 50, 80, 12, SS_OWNERDRAW)
        .Static(15, "Simple", 100, 60, 80, 12, SS_SIMPLE);
    ASSERT_NE(MakeDialog(t), nullptr);
    SendDlgItemMessageA(dialog, 13, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_APPLICATION)), 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    guitest::PumpFor(50);
    ASSERT_NE(SkinnerOf<SkinStatic>(10), nullptr);
    ASSERT_NE(SkinnerOf<SkinStatic>(11), nullptr);
    ASSERT_NE(SkinnerOf<SkinStatic>(12), nullptr);
    ASSERT_NE(SkinnerOf<SkinStatic>(13), nullptr);
    EXPECT_EQ(SkinnerOf<SkinStatic>(14), nullptr) << "owner-drawn statics keep their system look";
    EXPECT_EQ(SkinnerOf<SkinStatic>(15), nullptr) << "simple statics keep their system look";

    guitest::SaveScreenshot(dialog, "skinned_statics");
    EXPECT_EQ(PixelOf(10, -2, -2), Cell(15, 5));
    EXPECT_EQ(PixelOf(11, -2, -2), Cell(15, 5));
    EXPECT_EQ(PixelOf(12, 1, 1), Cell(15, 5));
    // The icon is drawn over the background: some pixel differs from it.
    guitest::Capture icon = guitest::Capture::OfWindow(GetDlgItem(dialog, 13));
    ASSERT_TRUE(icon.Valid());
    const RECT all = {0, 0, icon.Width(), icon.Height()};
    EXPECT_LT(icon.Count(all, Cell(15, 5)), icon.Width() * icon.Height());

    // New text is painted by the skinner at once.
    SetDlgItemTextA(dialog, 10, "Changed");
    guitest::PumpFor(50);
    EXPECT_EQ(PixelOf(10, -2, -2), Cell(15, 5));
}

TEST_F(StaticSkinner, ATransparentStaticShowsItsParentsBackground)
{
    // Dialog's client painted from its ClIENT cell (4,0); the static is
    // transparent.
    auto* frame = dynamic_cast<SkinFrameData*>(SkinManager::Instance().GetSkin()->FindObject("Dialog"));
    auto* data = dynamic_cast<SkinStaticData*>(SkinManager::Instance().GetSkin()->FindObject("Static"));
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(data, nullptr);
    frame->skinClient = 1;
    data->transparent = 1;
    guitest::DialogTemplate t("Statics", 0, 0, 200, 60);
    t.Static(10, "See-through", 10, 10, 80, 12);
    ASSERT_NE(MakeDialog(t), nullptr);
    ASSERT_NE(SkinnerOf<SkinStatic>(10), nullptr);
    EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, 10), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(PixelOf(10, -2, -2), Cell(4, 0)) << guitest::ColorText(PixelOf(10, -2, -2));
}

// A static the parent keeps unskinned (0x83E8) is left as it was, without
// the transparency a transparent skin would have given it.
TEST_F(StaticSkinner, ARefusedStaticKeepsItsOwnExtendedStyle)
{
    auto* data = dynamic_cast<SkinStaticData*>(SkinManager::Instance().GetSkin()->FindObject("Static"));
    ASSERT_NE(data, nullptr);
    data->transparent = 1;
    skintest::RefusedId() = 10;
    guitest::DialogTemplate t("Statics", 0, 0, 200, 60);
    t.Static(10, "Kept", 10, 10, 80, 12).Static(11, "Skinned", 10, 30, 80, 12);
    ASSERT_NE(MakeDialog(t), nullptr);
    EXPECT_EQ(SkinnerOf<SkinStatic>(10), nullptr);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, 10), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    ASSERT_NE(SkinnerOf<SkinStatic>(11), nullptr);
    EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, 11), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
}

// The transparency a skinned static or group box is given goes when its
// skin goes (the skinner removed, the library ended); one the control had
// of its own stays.
TEST_F(StaticSkinner, TheTransparencyTheSkinGaveGoesWithTheSkin)
{
    auto* data = dynamic_cast<SkinStaticData*>(SkinManager::Instance().GetSkin()->FindObject("Static"));
    ASSERT_NE(data, nullptr);
    data->transparent = 1;
    const struct Control {
        int id;
        const char* kind;
        bool ownTransparency;
    } controls[] = {
        {10, "static", false},
        {11, "static", true},
        {12, "group box", false},
        {13, "group box", true},
    };
    guitest::DialogTemplate t("Statics", 0, 0, 200, 150);
    for (const Control& c : controls) {
        const int y = 10 + (c.id - 10) * 30;
        const DWORD ex = c.ownTransparency ? WS_EX_TRANSPARENT : 0;
        if (std::string(c.kind) == "static")
            t.Add("STATIC", c.id, "Label", 10, y, 80, 12, SS_LEFT, ex);
        else
            t.Add("BUTTON", c.id, "Group", 10, y, 80, 25, BS_GROUPBOX, ex);
    }
    ASSERT_NE(MakeDialog(t), nullptr);
    auto transparent = [&](int id) { return (GetWindowLongA(Item(id), GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0; };
    const struct Removal {
        const char* name;
        std::function<void(HWND)> remove;
    } removals[] = {
        {"skinner removed", [](HWND control) { SkinManager::Instance().RemoveSkin(control, FALSE); }},
        {"library ended", [](HWND) { SkinLibExit(); }},
    };
    for (const Removal& r : removals) {
        for (const Control& c : controls) {
            ASSERT_NE(SkinManager::Instance().FindSkinObject(Item(c.id)), nullptr) << c.kind << ", " << r.name;
            EXPECT_TRUE(transparent(c.id)) << c.kind << " " << c.id << " skinned";
        }
        for (const Control& c : controls)
            r.remove(Item(c.id));
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        guitest::SaveScreenshot(dialog, std::string("statics_unskinned_") + (r.name[0] == 's' ? "skinner" : "end"));
        for (const Control& c : controls) {
            EXPECT_EQ(SkinManager::Instance().FindSkinObject(Item(c.id)), nullptr);
            EXPECT_EQ(transparent(c.id), c.ownTransparency) << c.kind << " " << c.id << ", " << r.name;
        }
        // Skinned again for the next way of going.
        const bool ended = !SkinLibIsStarted();
        if (ended) {
            ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        }
        ASSERT_TRUE(InstallChanged([](SkinPackage& package) {
            auto* again = dynamic_cast<SkinStaticData*>(package.FindObject("Static"));
            return again && (again->transparent = 1);
        }));
        if (ended) {
            ASSERT_TRUE(SkinSetDialogWindow(dialog, "Dialog"));
        }
        ASSERT_TRUE(guitest::PumpUntil([&] {
            for (const Control& c : controls)
                if (!SkinManager::Instance().FindSkinObject(Item(c.id)))
                    return false;
            return true;
        }, 2000));
    }
}

// A stand-in for the system's link control: COLOR_WINDOW with a black
// square in its middle, painted for WM_PAINT and WM_PRINTCLIENT alike.
LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto paint = [window](HDC dc) {
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        RECT square = {r.right / 2 - 3, r.bottom / 2 - 3, r.right / 2 + 3, r.bottom / 2 + 3};
        FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    };
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        paint(BeginPaint(window, &ps));
        EndPaint(window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

TEST_F(StaticSkinner, ALinkIsLaidOverTheStaticBackground)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &LinkProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Link Window";
    RegisterClassA(&wc);
    guitest::DialogTemplate t("Link", 0, 0, 160, 60);
    t.Add("Link Window", 10, "", 10, 10, 80, 16, WS_CHILD | WS_VISIBLE);
    ASSERT_NE(MakeDialog(t), nullptr);
    ASSERT_NE(SkinManager::Instance().FindSkinObject(GetDlgItem(dialog, 10)), nullptr);
    guitest::Capture c = guitest::Capture::OfWindow(GetDlgItem(dialog, 10));
    ASSERT_TRUE(c.Valid());
    EXPECT_EQ(c.At(1, 1), Cell(15, 5)) << "COLOR_WINDOW lets the background through";
    EXPECT_EQ(c.At(c.Width() / 2, c.Height() / 2), RGB(0, 0, 0)) << "the control's own picture";
}

}  // namespace
