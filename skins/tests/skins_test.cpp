// The built skins load, hold the objects the programs look up, and the test
// skin's parts have the colours its description promises.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_package.h"

namespace {

bool LoadSkin(const char* name, SkinPackage& package)
{
    std::ifstream in(std::string(QUORBEL_SKINS_DIR) + "/" + name, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        return false;
    SkinMemoryStream source(bytes.data(), uint32_t(bytes.size()));
    return package.Read(source) == 1;
}

// The disc programs' skin: a version 1.11 stream of 25 objects and the
// images dialog.bmp and controls.bmp; the launcher's: the same objects and
// its window, a version 1.15 stream of 26 objects with the launcher's two
// images besides.
TEST(Skins, SuiteSkinsHoldTheObjectsAndVersionsTheProgramsUse)
{
    struct Expected {
        const char* name;
        uint32_t type;
    } objects[] = {
        {"Animate", 40}, {"Application", 25}, {"Button", 4}, {"CheckBox", 5}, {"ComboBox", 6},
        {"Dialog", 1}, {"Edit", 7}, {"GroupBox", 8}, {"Header", 37}, {"ListCtrl", 28},
        {"Listbox", 9}, {"MainFrame", 1}, {"Popup", 17}, {"ProgressBar", 10}, {"Radio", 11},
        {"RichEdit", 30}, {"ScrollBar", 12}, {"ScrollControl", 26}, {"Slider", 13}, {"Spin", 27},
        {"Static", 14}, {"StatusBar", 15}, {"Tab", 16}, {"ToolBar", 23}, {"TreeCtrl", 29},
    };
    struct Skin {
        const char* file;
        uint8_t minor;
        bool launcher;
    } skins[] = {{"quorbel.vks", 11, false}, {"launcher.vks", 15, true}};
    for (const Skin& s : skins) {
        SCOPED_TRACE(s.file);
        SkinPackage skin;
        ASSERT_TRUE(LoadSkin(s.file, skin)) << skin.GetLastError();
        EXPECT_EQ(skin.GetMinor(), s.minor);
        EXPECT_EQ(skin.Objects().size(), std::size(objects) + (s.launcher ? 1 : 0));
        for (const Expected& e : objects) {
            auto it = skin.Objects().find(e.name);
            ASSERT_NE(it, skin.Objects().end()) << e.name;
            EXPECT_EQ(it->second->GetType(), e.type) << e.name;
        }
        for (const char* child : {"CaptionButton1080821441", "DlgClose"})
            EXPECT_NE(skin.FindObject("Dialog")->FindChildByName(child), nullptr) << child;
        for (const char* child : {"Close", "Max", "Min", "Sys"})
            EXPECT_NE(skin.FindObject("MainFrame")->FindChildByName(child), nullptr) << child;
        for (const char* image : {"controls.bmp", "dialog.bmp"})
            EXPECT_NE(skin.FindImage(image), nullptr) << image;
        EXPECT_EQ(skin.Images().size(), s.launcher ? 4u : 2u);
        EXPECT_EQ(skin.Sounds().size(), 0u);
        EXPECT_EQ(skin.FindObjectByType(kSkinApplication)->keyColor, 0xFF00FFu);
        // The dialog frame's parts were cut out when the skin was read.
        auto* dialog = static_cast<SkinFrameData*>(skin.FindObject("Dialog"));
        EXPECT_EQ(dialog->GetResolvedPart(kPartTopLeft).width, 86);
        EXPECT_EQ(dialog->GetResolvedPart(kPartTopLeft).height, 30);
        EXPECT_EQ(skin.FindObject("Quorbel") != nullptr, s.launcher);
    }

    SkinPackage launcher;
    ASSERT_TRUE(LoadSkin("launcher.vks", launcher));
    struct Button {
        const char* name;
        uint32_t command, action;
    } buttons[] = {{"Vantrel", 6061, 0}, {"Pelzor", 6062, 0}, {"Skarven", 6063, 0}, {"About", 7071, 0},
                   {"Help", 7072, 0}, {"Home", 7073, 0}, {"QuorbelClose", 1000, 1}, {"QuorbelMin", 1000, 4}};
    for (const Button& b : buttons) {
        auto* button = dynamic_cast<SkinCaptionButtonData*>(launcher.FindObject("Quorbel")->FindChildByName(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->commandId, b.command) << b.name;
        EXPECT_EQ(button->action, b.action) << b.name;
    }
    for (const char* image : {"interface_normal.bmp", "interface_on.bmp"})
        EXPECT_NE(launcher.FindImage(image), nullptr) << image;
}

// Colour of cell (c, r) of test.bmp.
uint32_t Cell(int c, int r) { return SkinRgb(uint8_t(16 * c + 8), uint8_t(16 * r + 8), 0x40); }

TEST(Skins, TestSkinPartsHaveTheirCellColours)
{
    SkinPackage skin;
    ASSERT_TRUE(LoadSkin("test.vks", skin)) << skin.GetLastError();
    auto* frame = dynamic_cast<SkinFrameData*>(skin.FindObject("MainFrame"));
    ASSERT_NE(frame, nullptr);
    for (int part = 0; part < 9; ++part) {
        const SkinResolvedPart& active = frame->GetResolvedPart(part);
        const SkinResolvedPart& inactive = frame->GetResolvedPart(9 + part);
        ASSERT_NE(active.bitmap, nullptr) << part;
        ASSERT_NE(inactive.bitmap, nullptr) << part;
        EXPECT_EQ(active.bitmap->GetPixelColor(8, 8).ToColorRef(), Cell(part, 2)) << part;
        EXPECT_EQ(inactive.bitmap->GetPixelColor(8, 8).ToColorRef(), Cell(part, 3)) << part;
    }
    auto* button = dynamic_cast<SkinButtonData*>(skin.FindObject("Button"));
    ASSERT_NE(button, nullptr);
    CSkinImage* art = skin.FindImage("test.bmp");
    ASSERT_NE(art, nullptr);
    for (int s = 0; s < 6; ++s) {
        const SkinRect& src = button->states[s].image.source;
        // Pixel rows count from the bottom of the image.
        EXPECT_EQ(art->GetPixelColor(src.left + 8, art->GetHeight() - 1 - (src.top + 8)).ToColorRef(), Cell(s, 5));
    }
    // Row 15 carries the magenta key pixels.
    EXPECT_EQ(art->GetPixelColor(1, art->GetHeight() - 1 - 241).ToColorRef(), 0xFF00FFu);
    EXPECT_NE(skin.FindObject("Quorbel"), nullptr);
}

}  // namespace
