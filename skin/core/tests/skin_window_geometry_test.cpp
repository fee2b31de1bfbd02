// Frame parts laid out for a window size, the minimum frame and caption
// band, and the class table with the refinement of buttons and combo lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "skin/core/skin_window_geometry.h"

namespace {

// The default FrameWnd parts: a 276 x 160 frame.
const SkinRect kParts[9] = {
    {0, 0, 86, 30},    {86, 0, 173, 30},    {173, 0, 276, 30},
    {0, 30, 10, 148},  {10, 30, 266, 148},  {266, 30, 276, 148},
    {0, 148, 10, 160}, {10, 148, 266, 160}, {266, 148, 276, 160},
};

TEST(FrameParts, CornersKeepTheirSizeAndTheMiddleFills)
{
    SkinRect out[9];
    FitFrameParts(kParts, 400, 300, out);
    EXPECT_EQ(out[0], MakeSkinRect(0, 0, 86, 30));
    EXPECT_EQ(out[1], MakeSkinRect(86, 0, 297, 30));
    EXPECT_EQ(out[2], MakeSkinRect(297, 0, 400, 30));
    EXPECT_EQ(out[3], MakeSkinRect(0, 30, 10, 288));
    EXPECT_EQ(out[4], MakeSkinRect(10, 30, 390, 288));
    EXPECT_EQ(out[5], MakeSkinRect(390, 30, 400, 288));
    EXPECT_EQ(out[6], MakeSkinRect(0, 288, 10, 300));
    EXPECT_EQ(out[7], MakeSkinRect(10, 288, 390, 300));
    EXPECT_EQ(out[8], MakeSkinRect(390, 288, 400, 300));
    // The skin's own size gives the skin's rectangles back.
    FitFrameParts(kParts, 276, 160, out);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out[i], kParts[i]) << i;
}

TEST(FrameParts, HugeSizesSaturate)
{
    SkinRect out[9];
    FitFrameParts(kParts, INT32_MAX, INT32_MAX, out);
    EXPECT_EQ(out[8].right, INT32_MAX);
    EXPECT_LE(out[8].left, out[8].right);
}

TEST(FrameParts, MinimumSizeAndCaptionBand)
{
    int32_t w = 0, h = 0;
    MinimumFrameSize(kParts, &w, &h);
    EXPECT_EQ(w, 86 + 103 + 10);
    EXPECT_EQ(h, 30 + 5);
    EXPECT_EQ(FrameCaptionRect(kParts, 0), MakeSkinRect(0, 0, 276, 30));
    EXPECT_EQ(FrameCaptionRect(kParts, 19), MakeSkinRect(0, 0, 276, 49));
}

TEST(SkinClasses, TheTableHoldsFortyOneNames)
{
    size_t count = 0;
    const SkinClassEntry* table = SkinClassTable(&count);
    ASSERT_EQ(count, 41u);
    EXPECT_EQ(LookupSkinClassType("msctls_statusbar32"), 15u);
    EXPECT_EQ(LookupSkinClassType("AfxControlBar70sud"), 24u);
    EXPECT_EQ(LookupSkinClassType("SysIPAddress32"), 26u);
    EXPECT_EQ(LookupSkinClassType("Link Window"), 41u);
    EXPECT_EQ(LookupSkinClassType("RICHEDIT"), 30u);
    EXPECT_EQ(LookupSkinClassType("button"), 0u);  // case-sensitive
    EXPECT_EQ(LookupSkinClassType("#32770"), 0u);
    EXPECT_EQ(LookupSkinClassType(nullptr), 0u);
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(LookupSkinClassType(table[i].className), table[i].type) << table[i].className;
}

TEST(SkinClasses, ButtonsAreSortedByStyle)
{
    struct Case {
        uint32_t style;
        const char* name;
    } cases[] = {
        {0x0, "Button"},    // BS_PUSHBUTTON
        {0x1, "Button"},    // BS_DEFPUSHBUTTON
        {0x2, "CheckBox"},  // BS_CHECKBOX
        {0x3, "CheckBox"},  // BS_AUTOCHECKBOX
        {0x4, "Radio"},     // BS_RADIOBUTTON
        {0x5, "CheckBox"},  // BS_3STATE
        {0x6, "CheckBox"},  // BS_AUTO3STATE
        {0x7, "GroupBox"},  // BS_GROUPBOX
        {0x9, "Radio"},     // BS_AUTORADIOBUTTON
        {0xB, "CheckBox"},  // BS_OWNERDRAW
        {0x50010009, "Radio"},  // with window styles around it
    };
    for (const Case& c : cases)
        EXPECT_STREQ(SkinLookupName("Button", c.style, 0), c.name) << std::hex << c.style;
    EXPECT_EQ(SkinKindOfWindow("Button", 0x7, 0), 8u);
    EXPECT_EQ(SkinKindOfWindow("Button", 0x3, 0), 5u);
    EXPECT_EQ(SkinKindOfWindow("Button", 0x9, 0), 11u);
    EXPECT_EQ(SkinKindOfWindow("Button", 0x0, 0), 4u);
}

TEST(SkinClasses, OnlyASimpleComboBoxListIsAListBox)
{
    EXPECT_EQ(SkinKindOfWindow("ComboLBox", 0, 0x1), 9u);         // CBS_SIMPLE
    EXPECT_EQ(SkinKindOfWindow("ComboLBox", 0, 0x2), 0u);         // CBS_DROPDOWN
    EXPECT_EQ(SkinKindOfWindow("ComboLBox", 0, 0x3), 0u);         // CBS_DROPDOWNLIST
    EXPECT_EQ(SkinKindOfWindow("ComboLBox", 0, 0x50210101), 9u);  // simple, with window styles
    EXPECT_EQ(SkinKindOfWindow("Edit", 0, 0), 7u);
    EXPECT_EQ(SkinKindOfWindow("Unknown", 0, 0), 0u);
}

}  // namespace
