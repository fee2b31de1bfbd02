// The static skinner's rules: refused styles, content kinds, text formats.
#include <gtest/gtest.h>

#include "skin/skinners/controls/skin_static_geometry.h"

namespace {

TEST(StaticRules, RefusedStylesAndContentKinds)
{
    EXPECT_TRUE(StaticIsRefused(0xB));   // SS_SIMPLE
    EXPECT_TRUE(StaticIsRefused(0xD));   // SS_OWNERDRAW
    EXPECT_TRUE(StaticIsRefused(0xF));   // SS_ENHMETAFILE
    EXPECT_FALSE(StaticIsRefused(0x0));
    EXPECT_FALSE(StaticIsRefused(0x3));
    EXPECT_EQ(StaticContentOfStyle(0x3), kStaticIcon);
    EXPECT_EQ(StaticContentOfStyle(0xE), kStaticBitmap);
    EXPECT_EQ(StaticContentOfStyle(0x1), kStaticText);
    EXPECT_EQ(StaticContentOfStyle(0xC), kStaticText);
}

TEST(StaticTextFormat, FromTheStyleBits)
{
    const struct {
        uint32_t style, exStyle, format;
    } cases[] = {
        {0x0, 0, 0x10},                 // left: word break
        {0x1, 0, 0x11},                 // SS_CENTER
        {0x2, 0, 0x12},                 // SS_RIGHT
        {0x201, 0, 0x25},               // centre image: single line, vertical centre
        {0x80, 0, 0x810},               // SS_NOPREFIX
        {0xC, 0, 0x20},                 // SS_LEFTNOWORDWRAP: single line
        {0x0, 0x2000, 0x20010},         // WS_EX_RTLREADING
        {0x2000, 0, 0x2010},            // SS_EDITCONTROL
    };
    for (const auto& c : cases)
        EXPECT_EQ(StaticTextFormat(c.style, c.exStyle), c.format) << std::hex << c.style;
}

}  // namespace
